// The persistent store of every tree: one SQLite database. Each change is one
// transaction, committed (and synchronised to disk) before the call returns.
#pragma once

#include "platform/nwclient/DirectoryTree.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace nwclient {

class Store {
public:
    // Opens or creates the store; ":memory:" keeps it in memory. Null with error set on failure.
    static std::unique_ptr<Store> open(const std::string& path, std::string& error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    std::vector<std::string> treeNames();
    bool hasTree(const std::string& treeName);
    // Loads a tree into a new index; null with error set when the data is broken.
    std::unique_ptr<DirectoryTree> loadTree(const std::string& treeName, std::string& error);
    // Replaces (or creates) a tree with the entries, in one transaction. Entries must
    // come parents first with parentId referring to earlier entries' ids (0 = root);
    // ids are assigned by the store and written back.
    bool importTree(const std::string& treeName, std::vector<Entry>& entries, std::string& error);
    bool dropTree(const std::string& treeName, std::string& error);

    // Single-entry changes, each its own transaction.
    bool insertEntry(const std::string& treeName, Entry& entry, std::string& error); // assigns entry.id
    bool updateEntry(const Entry& entry, std::string& error);
    bool deleteEntry(int64_t id, std::string& error);

    // Test hook: the next write fails after it has started (to check that nothing is left).
    void failNextWrite() { failNextWrite_ = true; }

private:
    explicit Store(sqlite3* db) : db_(db) {}
    bool exec(const char* sql, std::string& error);
    bool insertEntryLocked(const std::string& treeName, Entry& entry, std::string& error);
    bool writeAttributesLocked(const Entry& entry, std::string& error);
    bool beginLocked(std::string& error);
    bool commitLocked(std::string& error);
    void rollbackLocked();

    sqlite3* db_;
    std::mutex mutex_;
    bool failNextWrite_ = false;
};

} // namespace nwclient
