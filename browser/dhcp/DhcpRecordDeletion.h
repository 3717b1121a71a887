#pragma once

// Deleting the directory objects of selected DHCP rows, and their rows.

#include "directory/NWHelper.h"

#include <string>
#include <vector>

namespace browser {

class RecordListModel;
class Services;
class TreeList;

inline constexpr const char* kDeleteQuestion = "Are you sure you want to delete the selected records?";
inline constexpr const char* kRestartServiceMessage =
    "You have to stop en start the DHCP service on your DHCP-server(s) to reflect the action just taken.";

// Removes a leaf object of the directory; raises the directory error on failure.
void RemoveDirectoryObject(directory::NWDSContextHandle context, const std::string& objectName);

struct DhcpDeletion {
    int removed = 0;        // rows whose object was removed (and the row with it)
    bool completed = false; // every selected row was done
    std::string message;    // why the deletion did not start, or stopped
};

// Removes the objects of the rows (indexes into the model), from the last row to the first, each
// with the context of the tree the row names, and deletes each row once its object is gone. Every
// row is checked first: a row without an object name, with a name of more than 255 characters or
// whose tree is not open refuses the whole deletion before anything is removed. A failed removal
// stops there; what was removed before stays removed. With a data directory given, the removed
// records also leave the local cache of their trees; a cache that cannot be written is reported in
// the message, the deletion itself stands.
DhcpDeletion DeleteDhcpRows(RecordListModel& model, std::vector<int> rows, const TreeList& trees,
                            const std::string& dataDirectory = {});

// The toolbar command: asks, deletes and reports. Nothing happens without selected rows.
void RunDhcpDeletion(Services& services, RecordListModel& model, const std::vector<int>& rows,
                     const TreeList& trees, const std::string& dataDirectory = {});

} // namespace browser
