#pragma once

// Paths of the folder picker ("Directory List"): opening a start path below a root folder one
// component at a time, and the chosen folder's path relative to the root.

#include <QString>
#include <QStringList>

namespace browser {

// The root that stands for the whole network: the picker opens no start path below it.
inline constexpr const char* kNetworkRoot = "rfNetwork";

// The folders to open for a start path below root, from the top down: each component (separated
// by "\" or "/") matched without regard to case against the sub-folders of the folder above.
// The walk ends at the first component without a matching folder.
QStringList StartPathFolders(const QString& root, const QString& startPath);

// The path of folder below root, its components joined by "\"; empty for the root itself or a
// folder outside it.
QString FolderPathBelowRoot(const QString& root, const QString& folder);

} // namespace browser
