#include "platform/nwclient/Store.h"

#include "platform/nwclient/Schema.h"
#include "platform/nwclient/Values.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <unordered_map>

namespace nwclient {
namespace {

using Clock = std::chrono::steady_clock;

// Waits between tries for something another process holds: short at first, longer later.
class Backoff {
public:
    // Sleeps before the next try; false once the deadline has passed (try no more).
    bool wait(Clock::time_point deadline) {
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(delay_, deadline - now));
        delay_ = std::min(delay_ * 2, std::chrono::milliseconds(64));
        return true;
    }

private:
    std::chrono::milliseconds delay_{1};
};

// The lock file beside a store, held while a process opens the store: switching a new database to
// write-ahead logging and creating its tables does not wait for other processes as ordinary
// statements do, so processes opening one store at the same moment take their turns here.
class OpeningLock {
public:
    OpeningLock() = default;
    ~OpeningLock() {
        if (fd_ >= 0)
            ::close(fd_); // releases the lock
    }
    OpeningLock(const OpeningLock&) = delete;
    OpeningLock& operator=(const OpeningLock&) = delete;

    // False when another process held the lock until the deadline. A lock file that cannot be
    // made (a read-only folder) is no reason to fail: the opening then relies on its retries.
    bool acquire(const std::string& path, Clock::time_point deadline) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ < 0)
            return true;
        Backoff backoff;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return true;
            if (!backoff.wait(deadline))
                return false;
        }
        return true;
    }

private:
    int fd_ = -1;
};

bool isBusy(int code) {
    return (code & 0xFF) == SQLITE_BUSY;
}

constexpr const char* SCHEMA_SQL = R"sql(
CREATE TABLE IF NOT EXISTS trees(name TEXT PRIMARY KEY);
CREATE TABLE IF NOT EXISTS entries(
    id INTEGER PRIMARY KEY,
    tree TEXT NOT NULL,
    parent INTEGER NOT NULL,
    rdn TEXT NOT NULL,
    rdn_type TEXT NOT NULL,
    mtime INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS entries_by_tree ON entries(tree, id);
CREATE TABLE IF NOT EXISTS attributes(
    entry INTEGER NOT NULL,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    syntax INTEGER NOT NULL,
    value_list BLOB NOT NULL,
    PRIMARY KEY(entry, position)) WITHOUT ROWID;
)sql";

// A prepared statement that finalises itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    void bind(int i, int64_t v) { sqlite3_bind_int64(stmt_, i, v); }
    void bind(int i, std::string_view v) {
        sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    void bindBlob(int i, const std::string& v) {
        sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(stmt_); }
    std::string text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }
    std::string_view blob(int column) const {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string_view();
    }
    int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// The values of one attribute in one blob: count, then each value's encoded length and bytes.
std::string encodeValueList(const std::vector<Value>& list) {
    std::string out;
    auto put32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put32(static_cast<uint32_t>(list.size()));
    for (const Value& value : list) {
        std::string encoded = values::encode(value);
        put32(static_cast<uint32_t>(encoded.size()));
        out += encoded;
    }
    return out;
}

bool decodeValueList(uint32_t syntax, std::string_view in, std::vector<Value>& list) {
    auto get32 = [&in](uint32_t& v) {
        if (in.size() < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
        in.remove_prefix(4);
        return true;
    };
    uint32_t count = 0;
    if (!get32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!get32(length) || in.size() < length)
            return false;
        if (!values::decode(syntax, in.substr(0, length), list.emplace_back()))
            return false;
        in.remove_prefix(length);
    }
    return in.empty();
}

} // namespace

std::unique_ptr<Store> Store::open(const std::string& path, std::string& error) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(BUSY_TIMEOUT_MS);
    OpeningLock lock;
    if (path != ":memory:" && !lock.acquire(path + ".lock", deadline)) {
        error = lockedMessage(path);
        return nullptr;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = "cannot open the store " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Store> store(new Store(db, path));
    sqlite3_busy_timeout(db, BUSY_TIMEOUT_MS);
    if (!store->prepareSchema(deadline, error)) {
        if (!isBusy(sqlite3_errcode(db)))
            error = "cannot open the store " + path + ": " + error;
        return nullptr;
    }
    return store;
}

Store::~Store() {
    sqlite3_close(db_);
}

bool Store::prepareSchema(std::chrono::steady_clock::time_point deadline, std::string& error) {
    Backoff backoff;
    while (!exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;", error) ||
           !exec(SCHEMA_SQL, error)) {
        if (!isBusy(sqlite3_errcode(db_)) || !backoff.wait(deadline))
            return false;
    }
    return true;
}

bool Store::exec(const char* sql, std::string& error) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        error = isBusy(rc) ? lockedMessage(path_) : message ? message : "SQLite failure";
        sqlite3_free(message);
        return false;
    }
    return true;
}

std::string Store::failure() const {
    return isBusy(sqlite3_errcode(db_)) ? lockedMessage(path_) : std::string(sqlite3_errmsg(db_));
}

std::string Store::lockedMessage(const std::string& path) {
    return "the store " + path + " is locked by another process (waited " +
           std::to_string(BUSY_TIMEOUT_MS / 1000) + " seconds)";
}

bool Store::beginLocked(std::string& error) {
    return exec("BEGIN IMMEDIATE", error);
}

bool Store::commitLocked(std::string& error) {
    if (failNextWrite_) {
        failNextWrite_ = false;
        error = "store write failed (injected)";
        rollbackLocked();
        return false;
    }
    if (!exec("COMMIT", error)) {
        rollbackLocked();
        return false;
    }
    return true;
}

void Store::rollbackLocked() {
    std::string ignored;
    exec("ROLLBACK", ignored);
}

std::vector<std::string> Store::treeNames() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    Statement stmt(db_, "SELECT name FROM trees ORDER BY name");
    while (stmt && stmt.step() == SQLITE_ROW)
        out.push_back(stmt.text(0));
    return out;
}

bool Store::hasTree(const std::string& treeName) {
    std::lock_guard lock(mutex_);
    return hasTreeLocked(treeName);
}

bool Store::hasTreeLocked(const std::string& treeName) {
    Statement stmt(db_, "SELECT 1 FROM trees WHERE name = ?");
    stmt.bind(1, treeName);
    return stmt && stmt.step() == SQLITE_ROW;
}

std::unique_ptr<DirectoryTree> Store::loadTree(const std::string& treeName, std::string& error) {
    std::lock_guard lock(mutex_);
    // One read transaction: an import committed by another process meanwhile is seen whole or not at all.
    if (!exec("BEGIN", error))
        return nullptr;
    auto tree = loadTreeLocked(treeName, error);
    rollbackLocked();
    return tree;
}

std::unique_ptr<DirectoryTree> Store::loadOrImportTree(const std::string& treeName, const EntrySource& source,
                                                       std::string& error) {
    std::lock_guard lock(mutex_);
    // Most starts find the tree: read it from one snapshot without holding up other processes.
    if (!exec("BEGIN", error))
        return nullptr;
    if (hasTreeLocked(treeName)) {
        auto tree = loadTreeLocked(treeName, error);
        rollbackLocked();
        return tree;
    }
    rollbackLocked();
    std::vector<Entry> entries;
    if (!source(entries, error))
        return nullptr;
    if (!beginLocked(error))
        return nullptr;
    if (hasTreeLocked(treeName)) { // another process imported it in the meantime
        auto tree = loadTreeLocked(treeName, error);
        rollbackLocked();
        return tree;
    }
    if (!importTreeLocked(treeName, entries, error)) {
        rollbackLocked();
        return nullptr;
    }
    if (!commitLocked(error))
        return nullptr;
    auto tree = std::make_unique<DirectoryTree>(treeName);
    for (Entry& entry : entries)
        tree->insert(std::make_shared<Entry>(std::move(entry)));
    return tree;
}

std::unique_ptr<DirectoryTree> Store::loadTreeLocked(const std::string& treeName, std::string& error) {
    auto tree = std::make_unique<DirectoryTree>(treeName);
    Statement entries(db_, "SELECT id, parent, rdn, rdn_type, mtime FROM entries WHERE tree = ? ORDER BY id");
    Statement attributes(db_,
                         "SELECT a.entry, a.name, a.syntax, a.value_list FROM attributes a JOIN entries e "
                         "ON e.id = a.entry WHERE e.tree = ? ORDER BY a.entry, a.position");
    if (!entries || !attributes) {
        error = isBusy(sqlite3_errcode(db_)) ? failure() : "store is broken: " + failure();
        return nullptr;
    }
    entries.bind(1, treeName);
    attributes.bind(1, treeName);
    std::unordered_map<int64_t, std::shared_ptr<Entry>> loaded;
    std::vector<std::shared_ptr<Entry>> order;
    std::unordered_map<int64_t, names::Components> componentsById{{0, {}}};
    int rc;
    while ((rc = entries.step()) == SQLITE_ROW) {
        auto entry = std::make_shared<Entry>();
        entry->id = entries.integer(0);
        entry->parentId = entries.integer(1);
        entry->rdnType = entries.text(3);
        entry->modificationTime = static_cast<uint32_t>(entries.integer(4));
        auto parent = componentsById.find(entry->parentId);
        if (parent == componentsById.end()) {
            error = "store is broken: entry " + std::to_string(entry->id) + " of tree " + treeName +
                    " has no parent";
            return nullptr;
        }
        entry->components.push_back(entries.text(2));
        entry->components.insert(entry->components.end(), parent->second.begin(), parent->second.end());
        componentsById.emplace(entry->id, entry->components);
        loaded.emplace(entry->id, entry);
        order.push_back(entry);
    }
    if (rc != SQLITE_DONE) {
        error = isBusy(sqlite3_errcode(db_)) ? failure() : "store is broken: " + failure();
        return nullptr;
    }
    while ((rc = attributes.step()) == SQLITE_ROW) {
        auto it = loaded.find(attributes.integer(0));
        if (it == loaded.end())
            continue;
        Attribute attribute;
        attribute.setName(attributes.text(1));
        attribute.syntax = static_cast<uint32_t>(attributes.integer(2));
        if (!decodeValueList(attribute.syntax, attributes.blob(3), attribute.values)) {
            error = "store is broken: bad values of " + std::string(attribute.name) + " in entry " +
                    std::to_string(it->first);
            return nullptr;
        }
        it->second->attributes.push_back(std::move(attribute));
    }
    if (rc != SQLITE_DONE) {
        error = isBusy(sqlite3_errcode(db_)) ? failure() : "store is broken: " + failure();
        return nullptr;
    }
    for (auto& entry : order) {
        entry->compact();
        tree->insert(entry);
    }
    return tree;
}

bool Store::writeAttributesLocked(const Entry& entry, std::string& error) {
    Statement remove(db_, "DELETE FROM attributes WHERE entry = ?");
    remove.bind(1, entry.id);
    if (!remove || remove.step() != SQLITE_DONE) {
        error = failure();
        return false;
    }
    Statement insert(db_,
                     "INSERT INTO attributes(entry, position, name, syntax, value_list) VALUES(?,?,?,?,?)");
    int64_t position = 0;
    for (const Attribute& attribute : entry.attributes) {
        insert.reset();
        insert.bind(1, entry.id);
        insert.bind(2, position++);
        insert.bind(3, attribute.name);
        insert.bind(4, static_cast<int64_t>(attribute.syntax));
        insert.bindBlob(5, encodeValueList(attribute.values));
        if (insert.step() != SQLITE_DONE) {
            error = failure();
            return false;
        }
    }
    return true;
}

bool Store::insertEntryLocked(const std::string& treeName, Entry& entry, std::string& error) {
    Statement insert(db_, "INSERT INTO entries(tree, parent, rdn, rdn_type, mtime) VALUES(?,?,?,?,?)");
    insert.bind(1, treeName);
    insert.bind(2, entry.parentId);
    insert.bind(3, entry.rdn());
    insert.bind(4, entry.rdnType);
    insert.bind(5, static_cast<int64_t>(entry.modificationTime));
    if (!insert || insert.step() != SQLITE_DONE) {
        error = failure();
        return false;
    }
    entry.id = sqlite3_last_insert_rowid(db_);
    return writeAttributesLocked(entry, error);
}

bool Store::importTree(const std::string& treeName, std::vector<Entry>& entries, std::string& error,
                       ExistingTree existing) {
    std::lock_guard lock(mutex_);
    if (!beginLocked(error))
        return false;
    if (existing == ExistingTree::Keep && hasTreeLocked(treeName)) {
        error = "the store holds tree " + treeName + " already";
        rollbackLocked();
        return false;
    }
    if (!importTreeLocked(treeName, entries, error)) {
        rollbackLocked();
        return false;
    }
    return commitLocked(error);
}

bool Store::importTreeLocked(const std::string& treeName, std::vector<Entry>& entries, std::string& error) {
    auto fail = [&](const std::string& message) {
        error = message;
        return false;
    };
    {
        Statement dropAttributes(
            db_, "DELETE FROM attributes WHERE entry IN (SELECT id FROM entries WHERE tree = ?)");
        Statement dropEntries(db_, "DELETE FROM entries WHERE tree = ?");
        Statement addTree(db_, "INSERT OR IGNORE INTO trees(name) VALUES(?)");
        dropAttributes.bind(1, treeName);
        dropEntries.bind(1, treeName);
        addTree.bind(1, treeName);
        if (dropAttributes.step() != SQLITE_DONE || dropEntries.step() != SQLITE_DONE ||
            addTree.step() != SQLITE_DONE)
            return fail(failure());
        Statement insertEntry(db_,
                              "INSERT INTO entries(tree, parent, rdn, rdn_type, mtime) VALUES(?,?,?,?,?)");
        Statement insertAttribute(
            db_, "INSERT INTO attributes(entry, position, name, syntax, value_list) VALUES(?,?,?,?,?)");
        std::unordered_map<int64_t, int64_t> idMap{{0, 0}};
        for (Entry& entry : entries) {
            auto parent = idMap.find(entry.parentId);
            if (parent == idMap.end())
                return fail("entry " + entry.fullName() + " comes before its parent");
            insertEntry.reset();
            insertEntry.bind(1, treeName);
            insertEntry.bind(2, parent->second);
            insertEntry.bind(3, entry.rdn());
            insertEntry.bind(4, entry.rdnType);
            insertEntry.bind(5, static_cast<int64_t>(entry.modificationTime));
            if (insertEntry.step() != SQLITE_DONE)
                return fail(failure());
            int64_t newId = sqlite3_last_insert_rowid(db_);
            idMap[entry.id] = newId;
            entry.id = newId;
            entry.parentId = parent->second;
            int64_t position = 0;
            for (const Attribute& attribute : entry.attributes) {
                insertAttribute.reset();
                insertAttribute.bind(1, newId);
                insertAttribute.bind(2, position++);
                insertAttribute.bind(3, attribute.name);
                insertAttribute.bind(4, static_cast<int64_t>(attribute.syntax));
                insertAttribute.bindBlob(5, encodeValueList(attribute.values));
                if (insertAttribute.step() != SQLITE_DONE)
                    return fail(failure());
            }
        }
    }
    return true;
}

bool Store::dropTree(const std::string& treeName, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!beginLocked(error))
        return false;
    Statement dropAttributes(db_,
                             "DELETE FROM attributes WHERE entry IN (SELECT id FROM entries WHERE tree = ?)");
    Statement dropEntries(db_, "DELETE FROM entries WHERE tree = ?");
    Statement dropTreeRow(db_, "DELETE FROM trees WHERE name = ?");
    dropAttributes.bind(1, treeName);
    dropEntries.bind(1, treeName);
    dropTreeRow.bind(1, treeName);
    if (dropAttributes.step() != SQLITE_DONE || dropEntries.step() != SQLITE_DONE ||
        dropTreeRow.step() != SQLITE_DONE) {
        error = failure();
        rollbackLocked();
        return false;
    }
    return commitLocked(error);
}

bool Store::insertEntry(const std::string& treeName, Entry& entry, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!beginLocked(error))
        return false;
    if (!insertEntryLocked(treeName, entry, error)) {
        rollbackLocked();
        return false;
    }
    return commitLocked(error);
}

bool Store::updateEntry(const Entry& entry, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!beginLocked(error))
        return false;
    Statement update(db_, "UPDATE entries SET mtime = ? WHERE id = ?");
    update.bind(1, static_cast<int64_t>(entry.modificationTime));
    update.bind(2, entry.id);
    if (update.step() != SQLITE_DONE || !writeAttributesLocked(entry, error)) {
        if (error.empty())
            error = failure();
        rollbackLocked();
        return false;
    }
    return commitLocked(error);
}

bool Store::deleteEntry(int64_t id, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!beginLocked(error))
        return false;
    Statement dropAttributes(db_, "DELETE FROM attributes WHERE entry = ?");
    Statement dropEntry(db_, "DELETE FROM entries WHERE id = ?");
    dropAttributes.bind(1, id);
    dropEntry.bind(1, id);
    if (dropAttributes.step() != SQLITE_DONE || dropEntry.step() != SQLITE_DONE) {
        error = failure();
        rollbackLocked();
        return false;
    }
    return commitLocked(error);
}

} // namespace nwclient
