#include "browser/collection/TreeConnect.h"

#include "browser/collection/StartupText.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace browser {

namespace {
constexpr int kTreeNameCapacity = 50;

// A tree the context cannot be pointed at: the client's code, and the client's reason when it
// knows one (a tree whose data file is missing).
std::string SelectTreeError(TreeDirectory& directory, const std::string& treeName, int result) {
    const std::string problem = directory.TreeProblem(treeName);
    return problem.empty() ? NetwareErrorText(result) : NetwareErrorText(result) + ": " + problem;
}
} // namespace

std::string NetwareErrorText(int result) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Netware error %d (0x%X)", result,
                  static_cast<std::uint32_t>(result));
    return buffer;
}

void ScanTreeNames(TreeDirectory& directory, ContextHandle context, std::vector<std::string>& list) {
    std::vector<std::string> names;
    if (directory.ListTreeNames(context, kTreeNameCapacity, names) != 0)
        return;
    if (names.size() > kTreeNameCapacity)
        names.resize(kTreeNameCapacity);
    list.insert(list.end(), names.begin(), names.end());
    SortUniqueNames(list);
}

void ListAvailableTrees(TreeDirectory& directory, ContextHandle mainContext,
                        std::vector<std::string>& selected) {
    std::vector<std::string> names;
    if (directory.ListTreeNames(mainContext, kTreeNameCapacity, names) != 0)
        return;
    if (names.size() > kTreeNameCapacity)
        names.resize(kTreeNameCapacity);
    SortUniqueNames(names);
    selected.insert(selected.end(), names.begin(), names.end());
}

std::optional<ContextHandle> OpenTreeContext(TreeDirectory& directory, const std::string& treeName,
                                             std::string& error) {
    bool ok = false;
    const ContextHandle context = directory.CreateDSContext(ok);
    if (!ok) {
        error = "no directory context";
        return std::nullopt;
    }
    const int result = directory.SelectTree(context, treeName, false);
    if (result != 0) {
        directory.FreeContext(context);
        error = SelectTreeError(directory, treeName, result);
        return std::nullopt;
    }
    return context;
}

std::string TreeSkippedMessage(const std::string& treeName, const std::string& error) {
    return "Tree " + treeName + " can't be opened (" + error + ")";
}

bool ConnectTree(TreeDirectory& directory, TreeList& trees, ContextHandle context,
                 const std::string& treeName, TreeConnectionUi& ui) {
    std::vector<std::string> seen;
    ScanTreeNames(directory, context, seen);

    if (IndexOfName(seen, treeName) < 0) {
        ContextHandle duplicate = 0;
        int result = directory.DuplicateContext(context, duplicate);
        if (result != 0) {
            ui.ShowMessage(TreeSkippedMessage(treeName, NetwareErrorText(result)));
            return false;
        }
        result = directory.SelectTree(duplicate, treeName, false);
        if (result != 0) {
            directory.FreeContext(duplicate);
            ui.ShowMessage(TreeSkippedMessage(treeName, SelectTreeError(directory, treeName, result)));
            return false;
        }
        if (!ui.ShowLogin(duplicate)) {
            directory.FreeContext(duplicate);
            return false;
        }
        if (trees.Find(treeName) != nullptr) {
            // Logged in again to a tree that already has a context: keep the one in the list.
            directory.FreeContext(duplicate);
            return true;
        }
        trees.Add(treeName, std::make_unique<treeobj>(duplicate));
        return true;
    }

    if (trees.Find(treeName) == nullptr) {
        std::string error;
        const auto opened = OpenTreeContext(directory, treeName, error);
        if (!opened) {
            ui.ShowMessage(TreeSkippedMessage(treeName, error));
            return false;
        }
        trees.Add(treeName, std::make_unique<treeobj>(*opened));
    }
    return true;
}

} // namespace browser
