#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace browser {

// One row of an attribute pane: the caption ("Attribute"), its value text, whether it is a heading
// (drawn bold on the "Subnets" and "Misc" panes) and the number the "Misc" pane keeps with it (the
// index of the label-table entry that made it).
struct PaneRow {
    std::string caption;
    std::string value;
    bool heading = false;
    int data = 0;

    bool operator==(const PaneRow&) const = default;
};

using PaneRows = std::vector<PaneRow>;

// Test output of a row.
inline void PrintTo(const PaneRow& row, std::ostream* out) {
    *out << (row.heading ? "heading " : "") << '"' << row.caption << "\" = \"" << row.value << '"';
}

} // namespace browser
