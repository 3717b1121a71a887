#pragma once

#include "browser/collection/TreeDirectory.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace browser {

// The record every opened tree keeps: its own directory context (owned), the start context of its
// searches (empty for the whole tree), its locator text from the settings file and the number of
// locators found when the tree was opened.
class treeobj {
public:
    explicit treeobj(ContextHandle context = 0) : context(context) {}

    ContextHandle context;
    std::string startContext;
    std::string locator;
    int locatorCount = 0;
};

// The tree list: tree name to its treeobj, in the order the trees were added. Names compare
// without regard to case. The list owns the records; their contexts are freed by FreeAll.
class TreeList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    const std::string& Name(int index) const { return entries_.at(index).first; }
    treeobj& Object(int index) const { return *entries_.at(index).second; }

    int IndexOf(const std::string& name) const;
    // The record of a tree, or nullptr.
    treeobj* Find(const std::string& name) const;
    // Adds a tree; returns its index.
    int Add(const std::string& name, std::unique_ptr<treeobj> tree);
    std::vector<std::string> Names() const;

    // Frees every record's context through the directory, then the records.
    void FreeAll(TreeDirectory& directory);

private:
    std::vector<std::pair<std::string, std::unique_ptr<treeobj>>> entries_;
};

} // namespace browser
