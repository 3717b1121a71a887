#include "browser/collection/RecordCollector.h"

#include "browser/records/CormelianLib.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "directory/NWHelper.h"
#include "platform/ini/IniFile.h"
#include "platform/nwclient/NWClient.h"

#include <algorithm>
#include <filesystem>

namespace browser {

namespace {

// A duplicate of a tree's context, freed when replaced or at the end.
class DuplicateContext {
public:
    ~DuplicateContext() { Free(); }

    ContextHandle For(ContextHandle source) {
        if (!valid_ || source != source_) {
            Free();
            nwclient::Context duplicate = 0;
            directory::CheckNWError(nwclient::duplicateContext(source, duplicate));
            duplicate_ = duplicate;
            source_ = source;
            valid_ = true;
        }
        return duplicate_;
    }

    void Free() {
        if (valid_) {
            nwclient::freeContext(duplicate_);
            valid_ = false;
        }
    }

private:
    bool valid_ = false;
    ContextHandle source_ = 0;
    ContextHandle duplicate_ = 0;
};

void ReadObject(CollectionKind kind, AttributeSource& source, const std::string& name,
                const RowOrigin& origin, std::vector<RecordRow>& rows) {
    if (kind == CollectionKind::Dns) {
        ListRRSet(source, name, rows, origin);
        return;
    }
    RecordRow row;
    row.list = RecordListKind::Dhcp;
    FillDhcpAddressRow(source, name, row, origin);
    row.list = RecordListKind::Dhcp;
    rows.push_back(std::move(row));
}

} // namespace

const char* CollectionClass(CollectionKind kind) {
    return kind == CollectionKind::Dns ? kRRSetClass : kAddressClass;
}

CollectionCache::CollectionCache(std::string dataDirectory, CollectionKind kind)
    : dataDirectory_(std::move(dataDirectory)), kind_(kind) {}

CollectionCache::~CollectionCache() {
    try {
        Close();
    } catch (...) {
        // Closing on the way out of a failure: the failure is what counts.
    }
}

void CollectionCache::OpenTree(const std::string& tree) {
    if (file_ && tree == tree_) {
        return;
    }
    Close();
    const std::string folder = CacheFolder(dataDirectory_, tree);
    // A folder that cannot be made shows as the cache file's own failure when it is written.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    file_ = std::make_unique<ini::IniFile>(
        folder + (kind_ == CollectionKind::Dns ? kZoneCacheFile : kSubnetCacheFile));
    sections_ = std::make_unique<RecordCacheSections>(*file_);
    tree_ = tree;
}

void CollectionCache::Close() {
    if (!file_) {
        return;
    }
    sections_.reset();
    std::unique_ptr<ini::IniFile> file = std::move(file_);
    tree_.clear();
    file->UpdateFile();
}

bool CollectionCache::HasSection(const std::string& section) const {
    return file_ && file_->SectionExists(section);
}

std::vector<RecordRow> CollectionCache::ReadSection(const std::string& section, const CachedRowOrigin& origin,
                                                    int& skipped) const {
    if (!file_) {
        return {};
    }
    return kind_ == CollectionKind::Dns ? ReadZoneCacheRows(*file_, section, origin, &skipped)
                                        : ReadSubnetCacheRows(*file_, section, origin, &skipped);
}

void CollectionCache::BeginSection(const std::string& section) {
    if (sections_) {
        sections_->BeginSection(section);
    }
}

void CollectionCache::WriteStamp(const std::string& section, rtl::TDateTime now) {
    if (!sections_) {
        return;
    }
    if (kind_ == CollectionKind::Dns) {
        sections_->WriteDateStamp(section, now);
    } else {
        sections_->WriteDateTimeStamp(section, now);
    }
}

void CollectionCache::WriteRows(const std::string& section, const std::vector<RecordRow>& rows) {
    if (sections_) {
        sections_->WriteRows(section, rows);
    }
}

bool CacheHoldsAnyOf(const std::string& dataDirectory, CollectionKind kind, const ScanList& list) {
    const char* fileName = kind == CollectionKind::Dns ? kZoneCacheFile : kSubnetCacheFile;
    std::string tree;
    std::optional<ini::IniFile> file;
    for (const ScanEntry& entry : list) {
        if (!file || entry.tree != tree) {
            tree = entry.tree;
            const std::string path = CacheFilePath(dataDirectory, tree, fileName);
            std::error_code error;
            if (!std::filesystem::exists(path, error)) {
                file.reset();
                continue;
            }
            file.emplace(path);
        }
        if (file->SectionExists(entry.name)) {
            return true;
        }
    }
    return false;
}

CollectionOutcome CollectRecords(CollectionKind kind, const ScanList& list, CollectionEvents& events,
                                 CollectionCache* cache, const std::optional<CachedRowOrigin>& reloadFrom) {
    CollectionOutcome outcome;
    DuplicateContext context;
    try {
        events.OuterMax(static_cast<int>(list.size()));
        for (const ScanEntry& entry : list) {
            if (events.ShouldStop(-1)) {
                outcome.stopped = true;
                break;
            }
            if (cache != nullptr) {
                cache->OpenTree(entry.tree);
            }
            if (reloadFrom && cache != nullptr && cache->HasSection(entry.name)) {
                CachedRowOrigin origin = *reloadFrom;
                origin.rowReference = entry.rowReference;
                origin.tree = entry.tree;
                int skipped = 0;
                events.Rows(cache->ReadSection(entry.name, origin, skipped));
                if (skipped > 0 && std::find(outcome.damagedTrees.begin(), outcome.damagedTrees.end(),
                                             entry.tree) == outcome.damagedTrees.end()) {
                    outcome.damagedTrees.push_back(entry.tree);
                }
                events.StepOuter();
                continue;
            }
            DirectoryAttributeSource source(context.For(entry.context));
            if (cache != nullptr) {
                cache->BeginSection(entry.name);
            }
            const std::vector<std::string> objects =
                ListObjectsOfClass(source, CollectionClass(kind), entry.name);
            if (cache != nullptr && !objects.empty()) {
                cache->WriteStamp(entry.name, rtl::Now());
            }
            events.InnerMax(static_cast<int>(objects.size()));
            const RowOrigin origin{entry.rowReference, entry.tree, entry.name};
            for (std::size_t j = 0; j < objects.size(); ++j) {
                std::vector<RecordRow> rows;
                ReadObject(kind, source, objects[j], origin, rows);
                if (cache != nullptr) {
                    cache->WriteRows(entry.name, rows);
                }
                events.Rows(std::move(rows));
                if (std::vector<std::string> warnings = source.TakeWarnings(); !warnings.empty()) {
                    events.Warnings(std::move(warnings));
                }
                events.StepInner();
                if (events.ShouldStop(static_cast<int>(j))) {
                    outcome.stopped = true;
                    break;
                }
            }
            if (outcome.stopped) {
                break;
            }
            events.StepOuter();
        }
    } catch (const ini::EIniFileError& error) {
        outcome.Fail(error.what(), true);
    } catch (const std::exception& error) {
        outcome.Fail(error.what(), false);
    } catch (...) {
        outcome.Fail("The collection ended with an unknown error", false);
    }
    context.Free();
    if (cache != nullptr) {
        try {
            cache->Close();
        } catch (const std::exception& error) {
            outcome.Fail(error.what(), true);
        }
    }
    return outcome;
}

} // namespace browser
