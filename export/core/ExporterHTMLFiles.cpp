#include "export/core/ExporterHTMLFiles.h"

#include "export/core/ExporterTypes.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <unistd.h>

namespace exporter {

namespace fs = std::filesystem;

namespace {

EExportError CreateError(const std::string& target) {
    return EExportError("Cannot create file \"" + target + "\"");
}
EExportError WriteError(const std::string& target) {
    return EExportError("Cannot write file \"" + target + "\"");
}

} // namespace

THTMLFileSet::~THTMLFileSet() {
    buffer_.close();
    if (committed_)
        return;
    for (const TEntry& entry : entries_) {
        std::error_code ec;
        fs::remove(entry.Temp, ec);
    }
}

const THTMLFileSet::TEntry& THTMLFileSet::EntryOf(const std::string& target) {
    for (const TEntry& entry : entries_)
        if (entry.Target == target)
            return entry;
    entries_.push_back({target, target + ".~export" + std::to_string(::getpid())});
    return entries_.back();
}

std::streambuf* THTMLFileSet::Open(const std::string& target) {
    Close();
    const TEntry& entry = EntryOf(target);
    if (!buffer_.open(entry.Temp, std::ios::out | std::ios::binary | std::ios::trunc))
        throw CreateError(target);
    open_ = target;
    return &buffer_;
}

void THTMLFileSet::Close() {
    if (!buffer_.is_open())
        return;
    const bool flushed = buffer_.pubsync() == 0;
    const bool closed = buffer_.close() != nullptr;
    const std::string target = open_;
    open_.clear();
    if (!flushed || !closed)
        throw WriteError(target);
}

void THTMLFileSet::WriteWhole(const std::string& target, const std::string& content) {
    const std::string temp = EntryOf(target).Temp;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
        throw CreateError(target);
    out.write(content.data(), std::streamsize(content.size()));
    out.close();
    if (out.fail())
        throw WriteError(target);
}

void THTMLFileSet::Insert(const std::string& target,
                          std::vector<std::pair<std::int64_t, std::string>> inserts) {
    const std::string temp = EntryOf(target).Temp;
    std::string content;
    {
        std::ifstream in(temp, std::ios::binary);
        if (!in)
            throw CreateError(target);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // From the last position back, so earlier positions stay where they were.
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [position, text] : inserts) {
        if (position < 0)
            continue;
        content.insert(size_t(std::min<std::int64_t>(position, std::int64_t(content.size()))), text);
    }
    WriteWhole(target, content);
}

void THTMLFileSet::Discard(const std::string& target) {
    if (open_ == target)
        Close();
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->Target == target) {
            std::error_code ec;
            fs::remove(it->Temp, ec);
            entries_.erase(it);
            return;
        }
}

void THTMLFileSet::Commit() {
    Close();
    for (const TEntry& entry : entries_) {
        std::error_code ec;
        fs::rename(entry.Temp, entry.Target, ec);
        if (ec)
            throw CreateError(entry.Target);
    }
    committed_ = true;
}

} // namespace exporter
