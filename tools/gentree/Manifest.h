#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace gentree {

// A row the browser must show for a generated tree.
struct ExpectedRow {
    std::string list;      // "DNS", "REV-DNS" or "DHCP"
    std::string container; // dotted name of the zone or subnet it belongs to
    std::string caption;
    int image = -1;
    std::vector<std::string> subItems; // the last one is the object's dotted name

    bool operator==(const ExpectedRow&) const = default;
};

// The manifest: a comment line naming the tree, then one row per line, fields separated by tabs
// (list, container, caption, image, sub-items...). Backslash, tab, CR, LF and other control
// characters inside a field are written as \\, \t, \r, \n and \xHH.
void WriteManifest(std::ostream& out, const std::string& tree, const std::vector<ExpectedRow>& rows);

// Reads a manifest written by WriteManifest; throws std::runtime_error on a malformed line.
std::vector<ExpectedRow> ReadManifest(std::istream& in);

} // namespace gentree
