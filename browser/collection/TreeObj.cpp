#include "browser/collection/TreeObj.h"

#include "browser/collection/StartupText.h"

namespace browser {

int TreeList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (SameTextIgnoringCase(entries_[i].first, name))
            return static_cast<int>(i);
    return -1;
}

treeobj* TreeList::Find(const std::string& name) const {
    const int index = IndexOf(name);
    return index < 0 ? nullptr : entries_[index].second.get();
}

int TreeList::Add(const std::string& name, std::unique_ptr<treeobj> tree) {
    entries_.emplace_back(name, std::move(tree));
    return static_cast<int>(entries_.size()) - 1;
}

std::vector<std::string> TreeList::Names() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const auto& entry : entries_)
        names.push_back(entry.first);
    return names;
}

void TreeList::FreeAll(TreeDirectory& directory) {
    for (auto& entry : entries_)
        if (entry.second)
            directory.FreeContext(entry.second->context);
    entries_.clear();
}

} // namespace browser
