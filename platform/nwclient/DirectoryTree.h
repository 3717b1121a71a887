// The in-memory index of one directory tree: entries by name and by id, and the
// subordinates of every entry. Entries are immutable once indexed; a change
// replaces the entry, so a reader holding an EntryPtr keeps a consistent view.
#pragma once

#include "platform/nwclient/NWClient.h"
#include "platform/nwclient/Names.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace nwclient {

struct Attribute {
    // Names are interned: every attribute of that name shares one copy, kept for the
    // life of the process (a store holds few distinct attribute names).
    std::string_view name; // directory spelling (or the LDIF spelling of an attribute the schema lacks)
    std::string_view key;  // schema::nameKey(name)
    uint32_t syntax = SYN_UNKNOWN;
    std::vector<Value> values; // stored order

    void setName(std::string_view attributeName);
};

struct Entry {
    int64_t id = 0;               // 0: the root
    int64_t parentId = 0;         // 0: below the root
    names::Components components; // full name, leaf first (empty for the root)
    std::string rdnType;          // naming attribute of the leaf component in LDAP DNs ("cn", "ou", ...)
    uint32_t modificationTime = 0;
    std::vector<Attribute> attributes;

    const std::string& rdn() const { return components.front(); }
    std::string fullName() const { return names::join(components); }
    std::string key() const { return names::key(components); }
    std::string baseClass() const;
    bool containerClass() const;
    const Attribute* find(std::string_view attributeKey) const;
    Attribute* find(std::string_view attributeKey);
    // Gives back the spare capacity of the entry's vectors (entries are kept for long).
    void compact();
};
using EntryPtr = std::shared_ptr<const Entry>;

class DirectoryTree {
public:
    explicit DirectoryTree(std::string name);

    const std::string& name() const { return name_; }
    EntryPtr root() const { return root_; }

    EntryPtr find(const names::Components& components) const;
    EntryPtr findByKey(const std::string& key) const;
    EntryPtr findById(int64_t id) const;
    // Subordinates ordered by name (case-insensitive).
    std::vector<EntryPtr> children(int64_t id) const;
    // The base and everything below it, in pre-order with subordinates by name, that
    // the predicate accepts (scope 0 base, 1 one level, 2 subtree with the base).
    template <typename Predicate>
    std::vector<EntryPtr> collect(const EntryPtr& base, int32_t scope, Predicate&& accept) const;

    ObjectInfo info(const Entry& entry) const;
    uint32_t subordinateCount(int64_t id) const;

    // Every entry but the root, in id order (parents before children).
    std::vector<EntryPtr> allEntries() const;
    std::size_t size() const;

    // Attributes the schema does not know, learned from the tree's data: key -> (name, syntax).
    std::optional<std::pair<std::string, uint32_t>> extraAttribute(const std::string& key) const;

    // Changes; the caller holds writeMutex().
    void insert(EntryPtr entry);
    void replace(EntryPtr entry);
    void remove(int64_t id);
    std::mutex& writeMutex() const { return writeMutex_; }

private:
    void indexLocked(const EntryPtr& entry);
    uint32_t flagsLocked(const Entry& entry) const;
    template <typename Predicate>
    void walkLocked(const EntryPtr& entry, int depthLeft, Predicate& accept,
                    std::vector<EntryPtr>& out) const;

    std::string name_;
    EntryPtr root_;
    mutable std::shared_mutex mutex_;
    mutable std::mutex writeMutex_;
    std::unordered_map<std::string, EntryPtr> byKey_;
    std::unordered_map<int64_t, EntryPtr> byId_;
    std::unordered_map<int64_t, std::map<std::string, int64_t>> children_; // parent -> lower rdn -> id
    std::unordered_map<std::string, std::pair<std::string, uint32_t>> extraAttributes_;
};

template <typename Predicate>
void DirectoryTree::walkLocked(const EntryPtr& entry, int depthLeft, Predicate& accept,
                               std::vector<EntryPtr>& out) const {
    if (accept(*entry))
        out.push_back(entry);
    if (depthLeft == 0)
        return;
    auto it = children_.find(entry->id);
    if (it == children_.end())
        return;
    for (const auto& [lowerRdn, childId] : it->second)
        walkLocked(byId_.at(childId), depthLeft - 1, accept, out);
}

template <typename Predicate>
std::vector<EntryPtr> DirectoryTree::collect(const EntryPtr& base, int32_t scope, Predicate&& accept) const {
    std::vector<EntryPtr> out;
    std::shared_lock lock(mutex_);
    if (scope == SCOPE_BASE) {
        if (accept(*base))
            out.push_back(base);
    } else if (scope == SCOPE_ONE_LEVEL) {
        auto it = children_.find(base->id);
        if (it != children_.end())
            for (const auto& [lowerRdn, childId] : it->second) {
                const EntryPtr& child = byId_.at(childId);
                if (accept(*child))
                    out.push_back(child);
            }
    } else {
        walkLocked(base, -1, accept, out);
    }
    return out;
}

} // namespace nwclient
