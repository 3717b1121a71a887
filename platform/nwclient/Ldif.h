// LDIF (RFC 2849) import and export of directory trees, with the conventions of
// the directory's LDAP interface (see CONFIG.md).
#pragma once

#include "platform/nwclient/DirectoryTree.h"

#include <string>
#include <vector>

namespace nwclient::ldif {

struct Error {
    std::string file;
    int line = 0;
    std::string reason;
    bool unopened = false; // the file itself could not be opened
    // "file:line: reason", or "file: reason" for a fault of the whole file (line 0)
    std::string message() const;
};

// Reads LDIF text into entries ready for Store::importTree: parents first, ids provisional
// (1, 2, ...), parentId referring to them (0 = the root). All or nothing: false with error.
bool read(const std::string& text, const std::string& fileName, std::vector<Entry>& entries, Error& error);
bool readFile(const std::string& path, std::vector<Entry>& entries, Error& error);

// The tree as LDIF text: "version: 1", then every entry in id order.
std::string write(const DirectoryTree& tree);
// Writes the LDIF through the commit path (the old file stays on any failure); error then holds
// "Cannot create file ..." or "Cannot write file ..." with the reason.
bool writeFile(const DirectoryTree& tree, const std::string& path, std::string& error);

// Base64 (RFC 4648) used by LDIF.
std::string base64Encode(std::string_view bytes);
bool base64Decode(std::string_view text, std::string& bytes);

// GeneralizedTime "YYYYMMDDHHMMSSZ" <-> seconds since 1970 (unsigned 32-bit range).
bool parseGeneralizedTime(std::string_view text, uint32_t& seconds);
std::string formatGeneralizedTime(uint32_t seconds);

} // namespace nwclient::ldif
