#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace gentree {

using Bytes = std::vector<std::uint8_t>;

// One attribute value: text, or octets written in base64.
struct LdifValue {
    std::string text;
    bool binary = false;
};

struct LdifAttribute {
    std::string name;
    LdifValue value;
};

// One directory entry: its DN in LDAP form and its attribute lines in order.
struct LdifEntry {
    std::string dn;
    std::vector<LdifAttribute> attributes;

    void Add(const std::string& name, const std::string& text) {
        attributes.push_back({name, {text, false}});
    }
    void AddOctets(const std::string& name, const Bytes& octets) {
        attributes.push_back({name, {std::string(octets.begin(), octets.end()), true}});
    }
};

std::string Base64(const std::string& data);

// Escapes a value for use inside a DN component (",", "+", quotes, "\", "<", ">", ";", "=", a
// leading "#" or blank, a trailing blank).
std::string EscapeDnValue(const std::string& value);

// Writes "version: 1" and the entries, each followed by an empty line. Values that are not safe
// LDIF text (control characters, bytes above 127, a leading blank, ":" or "<", a trailing blank) are
// written in base64.
void WriteLdif(std::ostream& out, const std::vector<LdifEntry>& entries);

} // namespace gentree
