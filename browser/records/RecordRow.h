#pragma once

#include <string>
#include <vector>

namespace browser {

// The record list a row belongs to.
enum class RecordListKind {
    Dns,    // "DNS" (LV)
    RevDns, // "REV-DNS" (LV3)
    Dhcp,   // "DHCP" (LV2)
};

// No zone or subnet row stands behind a row (the DNS scan thread passes none).
inline constexpr int kNoRowReference = -1;

// Where the rows of one call come from: the index of the zone's or subnet's row in the zone or
// subnet list, and the names of the tree and of the zone or subnet.
struct RowOrigin {
    int rowReference = kNoRowReference;
    std::string tree;
    std::string container;
};

// One row of a record list as a plain value, so that worker threads can make rows and the window's
// thread can place them. The last sub-item holds the name of the directory object the row came from.
struct RecordRow {
    RecordListKind list = RecordListKind::Dns;
    std::string caption;
    std::vector<std::string> subItems;
    int imageIndex = -1;
    int stateIndex = -1;
    int rowReference = kNoRowReference;
    std::string tree;
    std::string container;

    // The directory object's name (the last sub-item), or empty.
    const std::string& ObjectName() const {
        static const std::string none;
        return subItems.empty() ? none : subItems.back();
    }
    bool operator==(const RecordRow&) const = default;
};

} // namespace browser
