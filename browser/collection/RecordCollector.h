#pragma once

// The reading core of a record collection, the same on the window's thread and in a scan thread:
// for each zone (subnet) of the scan list, list its record sets (address objects), decode them into
// rows and hand rows and progress, in order, to the road's events.

#include "browser/collection/CacheFiles.h"
#include "browser/collection/TreeDirectory.h"
#include "browser/records/RecordRow.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ini {
class IniFile;
}

namespace browser {

enum class CollectionKind { Dns, Dhcp };

// One zone or subnet to read, resolved when the scan list is built: its full name, the index of
// its row in zonelist or netslist, and its tree with that tree's context.
struct ScanEntry {
    std::string name;
    int rowReference = kNoRowReference;
    int treeIndex = -1;
    std::string tree;
    ContextHandle context = 0;
};
using ScanList = std::vector<ScanEntry>;

// The class a collection lists below each entry.
const char* CollectionClass(CollectionKind kind);

// What a road does with the steps of a collection.
class CollectionEvents {
public:
    virtual ~CollectionEvents() = default;
    virtual void OuterMax(int count) = 0;
    virtual void StepOuter() = 0;
    virtual void InnerMax(int count) = 0;
    virtual void StepInner() = 0;
    virtual void Rows(std::vector<RecordRow>&& rows) = 0;
    // Messages of the reads of one object (values that could not be read, each with the object's
    // name), for the window's thread to show.
    virtual void Warnings(std::vector<std::string>&& texts) = 0;
    // Asked before each entry (objectIndex -1) and after each object: true stops the collection.
    virtual bool ShouldStop(int objectIndex) = 0;
};

// The cache files a direct read writes (and a reload from the cache reads): "zones.ini" or
// "subnets.ini" of the tree being read. Each tree's file is flushed when the next tree's opens and
// when the cache closes.
class CollectionCache {
public:
    CollectionCache(std::string dataDirectory, CollectionKind kind);
    ~CollectionCache();

    void OpenTree(const std::string& tree);
    // Flushes and closes the open file; raises when it cannot be written.
    void Close();

    bool HasSection(const std::string& section) const;
    // The section's rows; lines not of the shape the cache writer writes are skipped and counted
    // in skipped.
    std::vector<RecordRow> ReadSection(const std::string& section, const CachedRowOrigin& origin,
                                       int& skipped) const;
    // Empties the section, writes its stamp and its rows.
    void BeginSection(const std::string& section);
    void WriteStamp(const std::string& section, rtl::TDateTime now);
    void WriteRows(const std::string& section, const std::vector<RecordRow>& rows);

private:
    std::string dataDirectory_;
    CollectionKind kind_;
    std::string tree_;
    std::unique_ptr<ini::IniFile> file_;
    std::unique_ptr<RecordCacheSections> sections_;
};

// Whether the cache file of the kind ("zones.ini", "subnets.ini") of an entry's tree has a section
// for at least one entry of the list.
bool CacheHoldsAnyOf(const std::string& dataDirectory, CollectionKind kind, const ScanList& list);

struct CollectionOutcome {
    bool stopped = false; // ShouldStop answered true
    bool failed = false;  // a failure ended the collection early
    std::string failure;  // its message
    bool cacheFailed = false; // the failure is a cache file that could not be written
    // Keeps the first failure's message; a cache file that could not be written wins over the
    // error that went before it, since the cache is what the user must then know about.
    void Fail(const std::string& message, bool cache) {
        if (!failed || (cache && !cacheFailed)) {
            failure = message;
            cacheFailed = cache;
        }
        failed = true;
    }
    // Trees whose cache file held lines that were skipped while reloading, in the order met.
    std::vector<std::string> damagedTrees;
};

// Reads the entries in order. Every tree's reads use a duplicate of its context, made when the
// first entry of that tree needs the directory and freed at the end. With a cache, each entry read
// from the directory has its section rewritten; with reloadFrom given, an entry whose section is in
// the cache is taken from there without reading the directory. Failures end the collection; the
// outcome says which.
CollectionOutcome CollectRecords(CollectionKind kind, const ScanList& list, CollectionEvents& events,
                                 CollectionCache* cache = nullptr,
                                 const std::optional<CachedRowOrigin>& reloadFrom = std::nullopt);

} // namespace browser
