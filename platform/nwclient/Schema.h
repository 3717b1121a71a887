// The directory schema the client knows: attribute syntaxes and classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nwclient::schema {

struct AttributeDefinition {
    std::string_view name; // the directory's spelling
    uint32_t syntax;
    bool multiValued;
};

struct ClassDefinition {
    std::string_view name;     // the directory's spelling
    bool container;            // entries of the class hold subordinates (entry flag 4)
    std::string_view ldapName; // the class name in LDIF
    std::string_view rdnType;  // naming attribute used in LDAP DNs
};

// Attribute and class names compare without regard to case, blanks and ":".
std::string nameKey(std::string_view name);

// The definition of an attribute by any spelling (directory or LDIF), or null.
const AttributeDefinition* findAttribute(std::string_view name);
// The definition of a class by any spelling (directory or LDIF), or null.
const ClassDefinition* findClass(std::string_view name);

// The LDIF spelling of a directory attribute name ("DNIP:Zone Type" -> "dnipZoneType").
std::string ldapAttributeName(std::string_view directoryName);
// The LDIF spelling of a directory class name ("DNIP:DNS RRset" -> "dNIPDNSRRset").
std::string ldapClassName(std::string_view directoryName);
// The naming attribute for an entry of the class in an LDAP DN ("cn" when unknown).
std::string rdnTypeForClass(std::string_view className);

} // namespace nwclient::schema
