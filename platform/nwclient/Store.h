// The persistent store of every tree: one SQLite database. Each change is one
// transaction, committed (and synchronised to disk) before the call returns.
#pragma once

#include "platform/nwclient/DirectoryTree.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace nwclient {

class Store {
public:
    // How long a process waits for another one that holds the store (opening, creating or
    // writing it) before it gives up with a message that says so.
    static constexpr int BUSY_TIMEOUT_MS = 5000;

    // Opens or creates the store; ":memory:" keeps it in memory. Null with error set on failure.
    // Several processes may open the same file at once: its creation is serialised through the
    // lock file "<path>.lock" beside it, and each waits up to the busy timeout.
    static std::unique_ptr<Store> open(const std::string& path, std::string& error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    std::vector<std::string> treeNames();
    bool hasTree(const std::string& treeName);
    // Loads a tree into a new index from one snapshot of the store; null with error set when the
    // data is broken.
    std::unique_ptr<DirectoryTree> loadTree(const std::string& treeName, std::string& error);

    // What importTree does with a tree the store holds already.
    enum class ExistingTree { Replace, Keep };
    // Replaces (or creates) a tree with the entries, in one transaction. Entries must
    // come parents first with parentId referring to earlier entries' ids (0 = root);
    // ids are assigned by the store and written back. With Keep, a tree the store holds
    // already (checked in the same transaction) is left as it is and the call fails.
    bool importTree(const std::string& treeName, std::vector<Entry>& entries, std::string& error,
                    ExistingTree existing = ExistingTree::Replace);

    // Reads the tree's entries for loadOrImportTree (an LDIF file); false with error set.
    using EntrySource = std::function<bool(std::vector<Entry>&, std::string&)>;
    // The tree as the store holds it; a tree the store does not hold yet is read from the source
    // and imported first. Another process doing the same at the same moment imports it at most
    // once: the check and the import are one transaction, and a tree is only read whole.
    std::unique_ptr<DirectoryTree> loadOrImportTree(const std::string& treeName, const EntrySource& source,
                                                    std::string& error);
    bool dropTree(const std::string& treeName, std::string& error);

    // Single-entry changes, each its own transaction.
    bool insertEntry(const std::string& treeName, Entry& entry, std::string& error); // assigns entry.id
    bool updateEntry(const Entry& entry, std::string& error);
    bool deleteEntry(int64_t id, std::string& error);

    // Test hook: the next write fails after it has started (to check that nothing is left).
    void failNextWrite() { failNextWrite_ = true; }

private:
    Store(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    // Switches the store to write-ahead logging and creates its tables, retrying with back-off
    // while another process holds the store, up to the busy timeout.
    bool prepareSchema(std::chrono::steady_clock::time_point deadline, std::string& error);
    bool exec(const char* sql, std::string& error);
    // The reason of the last failure: a store held too long by another process says so.
    std::string failure() const;
    static std::string lockedMessage(const std::string& path);
    bool hasTreeLocked(const std::string& treeName);
    std::unique_ptr<DirectoryTree> loadTreeLocked(const std::string& treeName, std::string& error);
    bool importTreeLocked(const std::string& treeName, std::vector<Entry>& entries, std::string& error);
    bool insertEntryLocked(const std::string& treeName, Entry& entry, std::string& error);
    bool writeAttributesLocked(const Entry& entry, std::string& error);
    bool beginLocked(std::string& error);
    bool commitLocked(std::string& error);
    void rollbackLocked();

    sqlite3* db_;
    std::string path_;
    std::mutex mutex_;
    bool failNextWrite_ = false;
};

} // namespace nwclient
