#include "export/core/ExporterHTMLFiles.h"

#include "export/core/Exporter.h"
#include "export/core/ExporterTypes.h"

#include <algorithm>
#include <filesystem>

namespace exporter {

namespace {

std::string FolderOf(const std::string& target) {
    const std::string folder = std::filesystem::path(target).parent_path().string();
    return folder.empty() ? "." : folder;
}

} // namespace

THTMLStraightBuffer::THTMLStraightBuffer() : GatheringBuffer(std::size_t(1) << 16) {}

void THTMLStraightBuffer::Attach(commit::FileCommit* file) {
    file_ = nullptr;
    flushBuffer(); // drops what a failed file left waiting
    file_ = file;
    sent_ = 0;
    error_.reset();
}

bool THTMLStraightBuffer::writeThrough(const char* data, std::size_t size) {
    if (error_ || !file_)
        return false;
    try {
        file_->write(std::string_view(data, size));
    } catch (const commit::CommitError& error) {
        error_ = error;
        return false;
    }
    sent_ += std::int64_t(size);
    return true;
}

void THTMLStraightBuffer::Flush() {
    flushBuffer();
    if (error_)
        throw ExportFileError(*error_);
}

THTMLStraightBuffer::pos_type THTMLStraightBuffer::seekoff(off_type offset, std::ios_base::seekdir way,
                                                           std::ios_base::openmode which) {
    if (offset != 0 || way != std::ios_base::cur || (which & std::ios_base::out) == 0)
        return pos_type(off_type(-1));
    return pos_type(off_type(sent_ + (pptr() - pbase())));
}

THTMLFileSet::TEntry* THTMLFileSet::Find(const std::string& target) {
    for (TEntry& entry : entries_)
        if (entry.Target == target)
            return &entry;
    return nullptr;
}

commit::FileCommit& THTMLFileSet::AddCommit(const std::string& target) {
    try {
        return group_.add(target);
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
}

void THTMLFileSet::Write(commit::FileCommit& file, std::string_view bytes) {
    try {
        file.write(bytes);
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
}

void THTMLFileSet::Finish(commit::FileCommit& file) {
    try {
        file.finish();
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
}

std::streambuf* THTMLFileSet::Open(const std::string& target, bool spilled) {
    Close();
    TEntry* entry = Find(target);
    if (entry && !entry->Spilled)
        throw EExportError("Cannot create file \"" + target + "\". It is written twice");
    if (!entry) {
        entries_.push_back({target});
        entry = &entries_.back();
    }
    entry->Spilled = spilled;
    open_ = target;
    if (!spilled) {
        entry->Straight = &AddCommit(target);
        straight_.Attach(entry->Straight);
        return &straight_;
    }
    if (!spill_) {
        try {
            spill_ = std::make_unique<commit::SpillFile>(FolderOf(target));
        } catch (const commit::CommitError& error) {
            throw EExportError("Cannot create file \"" + target + "\". " + error.reason());
        }
    }
    entry->Start = spill_->size();
    entry->End = -1;
    return spill_.get();
}

void THTMLFileSet::Close() {
    if (open_.empty())
        return;
    TEntry* entry = Find(open_);
    open_.clear();
    if (entry && entry->Spilled)
        entry->End = spill_->size();
    else if (entry && entry->Straight) {
        straight_.Flush();
        straight_.Attach(nullptr);
        Finish(*entry->Straight);
    }
}

void THTMLFileSet::WriteWhole(const std::string& target, const std::string& content) {
    if (Find(target))
        throw EExportError("Cannot create file \"" + target + "\". It is written twice");
    entries_.push_back({target});
    commit::FileCommit& file = AddCommit(target);
    Write(file, content);
    Finish(file);
}

void THTMLFileSet::CopySpilled(const TEntry& entry,
                               std::vector<std::pair<std::int64_t, std::string>> inserts) {
    commit::FileCommit& file = AddCommit(entry.Target);
    // In position order; a position past the content goes to its end, a negative one nowhere.
    const std::int64_t length = entry.End - entry.Start;
    inserts.erase(
        std::remove_if(inserts.begin(), inserts.end(), [](const auto& insert) { return insert.first < 0; }),
        inserts.end());
    for (auto& insert : inserts)
        insert.first = std::min(insert.first - entry.Start, length);
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::int64_t done = 0;
    const auto copy = [&](std::int64_t upTo) {
        try {
            spill_->copyRange(entry.Start + done, upTo - done, [&file](const char* data, std::size_t size) {
                Write(file, std::string_view(data, size));
            });
        } catch (const commit::CommitError& error) {
            throw EExportError("Cannot write file \"" + entry.Target + "\". " + error.reason());
        }
        done = upTo;
    };
    for (const auto& [position, text] : inserts) {
        copy(position);
        Write(file, text);
    }
    copy(length);
    Finish(file);
}

void THTMLFileSet::Insert(const std::string& target,
                          std::vector<std::pair<std::int64_t, std::string>> inserts) {
    if (open_ == target)
        Close();
    TEntry* entry = Find(target);
    if (!entry || !entry->Spilled)
        throw EExportError("Cannot write file \"" + target + "\"");
    CopySpilled(*entry, std::move(inserts));
    entry->Spilled = false; // written now
}

void THTMLFileSet::Discard(const std::string& target) {
    if (open_ == target)
        Close();
    entries_.erase(
        std::remove_if(entries_.begin(), entries_.end(),
                       [&](const TEntry& entry) { return entry.Target == target && entry.Spilled; }),
        entries_.end());
}

void THTMLFileSet::Commit() {
    Close();
    for (TEntry& entry : entries_)
        if (entry.Spilled) {
            CopySpilled(entry, {});
            entry.Spilled = false;
        }
    try {
        group_.commit();
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
}

} // namespace exporter
