#pragma once

// Rows of the object lists (zonelist, netslist, lv1) as plain values: what a tree's opening or its
// cache gives, before the window places them.

#include "browser/records/LocatorTables.h"
#include "browser/records/RecordRow.h"

#include <string>
#include <vector>

namespace browser {

// State images of object-list rows.
inline constexpr int kStateNone = -1;
inline constexpr int kStateUnchecked = 1;
inline constexpr int kStateChecked = 2;
inline constexpr int kStateObject = 3; // an object of lv1: locator, server, pool, group
inline constexpr int kStateTree = 4;   // the tree row of lv1
// The data of the separator row that ends a tree's rows in zonelist and netslist.
inline constexpr int kSeparatorData = -5;

// Icon numbers of the classes the lists show, looked up once per load.
struct ClassIconNumbers {
    int locator = -1;
    int dnsServer = -1;
    int dhcpServer = -1;
    int subnetPool = -1;
    int group = -1;
    int tree = -1;
    int dnsZone = -1;
    int subnet = -1;
    int subnetAddressRange = -1;
};

struct ObjectRow {
    std::string caption; // component 0 of the object's name
    std::string context; // the name without its first component
    std::string name;    // the object's full dotted name as read (empty on tree and separator rows)
    int image = -1;
    int state = kStateNone;
    int data = 0; // index of the row's tree in the tree list; kSeparatorData on separators

    // The object's full name: as read, else caption + "." + context.
    std::string FullName() const;
    // A row for the object named name.
    static ObjectRow ForObject(const std::string& name, int image, int state, int data);

    bool operator==(const ObjectRow&) const = default;
};

// What opening a tree, or reading its cache, gives: the rows of each object list in order, and
// (from the cache) the record rows of its checked zones and subnets, whose row references are
// indexes into zones and subnets.
struct TreeRows {
    std::vector<ObjectRow> misc;
    std::vector<ObjectRow> zones;
    std::vector<ObjectRow> subnets;
    std::vector<RecordRow> records;
    // Lines of the tree's cache files that were skipped because they are not of the shape the
    // cache writer writes.
    int skippedCacheLines = 0;
};

// The order of two rows of an object list while it sorts: in zonelist and lv1 rows with the same
// image compare by caption and rows with different images are equal; in netslist all rows are equal.
int CompareObjectRows(ObjectListKind list, const ObjectRow& a, const ObjectRow& b);

// Sorts the object rows of one tree (rows [first, last)) by that order, as a stable sort within
// every run of rows with the same image, so that the order is well defined and the tree's block,
// its tree row and separator stay where they are.
void SortObjectRows(ObjectListKind list, std::vector<ObjectRow>& rows, std::size_t first, std::size_t last);

} // namespace browser
