#pragma once

#include "browser/collection/TreeDirectory.h"
#include "browser/collection/TreeObj.h"

#include <optional>
#include <string>
#include <vector>

namespace browser {

// The text of a client result as the directory layer reports it: "Netware error -601 (0xFFFFFDA7)".
std::string NetwareErrorText(int result);

// Adds up to 50 tree names the client reports through context to list, then sorts it; a client
// error leaves the list as it was.
void ScanTreeNames(TreeDirectory& directory, ContextHandle context, std::vector<std::string>& list);

// Appends up to 50 tree names the client reports (sorted among themselves) to selected; a client
// error leaves the list unchanged.
void ListAvailableTrees(TreeDirectory& directory, ContextHandle mainContext,
                        std::vector<std::string>& selected);

// A new context pointed at treeName. On failure nothing stays allocated and error says why.
std::optional<ContextHandle> OpenTreeContext(TreeDirectory& directory, const std::string& treeName,
                                             std::string& error);

// The message shown when a tree cannot be given a context.
std::string TreeSkippedMessage(const std::string& treeName, const std::string& error);

// What ConnectTree needs of the windows.
class TreeConnectionUi {
public:
    virtual ~TreeConnectionUi() = default;
    // Shows the login dialog for the context (already pointed at the tree); true on OK.
    virtual bool ShowLogin(ContextHandle loginContext) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// Makes sure treeName has a context and a treeobj in the tree list. A tree the workstation does
// not see is logged in to through a duplicate of context. A tree whose context cannot be made or
// pointed at the tree is reported and gives false.
bool ConnectTree(TreeDirectory& directory, TreeList& trees, ContextHandle context,
                 const std::string& treeName, TreeConnectionUi& ui);

} // namespace browser
