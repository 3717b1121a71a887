#include "export/xls/ExporterXLSFile.h"

#include "platform/cfb/StorageError.h"
#include "platform/cfb/StorageModes.h"
#include "platform/commit/FileCommit.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace exporter {

namespace {

constexpr std::uint32_t WorkbookMode = cfb::STGM_CREATE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE;

// The folder the target really lies in (through its links): the scratch file goes beside the file.
std::string FolderOfTarget(const std::string& fileName) {
    const std::filesystem::path folder = std::filesystem::path(commit::ResolveTarget(fileName)).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TxlsSpillStream

TxlsSpillStream::TxlsSpillStream(const std::string& folder) : spill_(folder) {}

void TxlsSpillStream::append(const std::uint8_t* data, std::size_t count) {
    // A failure is kept by the scratch file and reported when the stream is handed over.
    spill_.sputn(reinterpret_cast<const char*>(data), std::streamsize(count));
    spilled_ += count;
}

std::size_t TxlsSpillStream::Write(const void* buffer, std::size_t count) {
    if (hasInsert_ || count == 0)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    if (position_ < spilled_) {
        const std::size_t over = std::size_t(std::min<std::uint64_t>(count, spilled_ - position_));
        patches_.push_back({position_, std::vector<std::uint8_t>(bytes, bytes + over)});
        done = over;
    }
    if (done < count) {
        static const std::uint8_t zeros[512] = {};
        for (std::uint64_t gap = position_ + done - spilled_; gap > 0;) {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(gap, sizeof zeros));
            append(zeros, n);
            gap -= n;
        }
        append(bytes + done, count - done);
    }
    position_ += count;
    return count;
}

void TxlsSpillStream::Insert(std::uint64_t position, const std::uint8_t* data, std::size_t size) {
    if (hasInsert_ || position > spilled_)
        throw std::logic_error("A workbook stream takes one insertion within its bytes");
    hasInsert_ = true;
    insertPosition_ = position;
    inserted_.assign(data, data + size);
    position_ = Size();
}

void TxlsSpillStream::copySpilled(std::uint64_t offset, std::uint64_t length, const cfb::ByteSink& sink) {
    std::vector<std::uint8_t> patched;
    spill_.copyRange(std::int64_t(offset), std::int64_t(length), [&](const char* data, std::size_t size) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
        const std::uint64_t end = offset + size;
        bool copied = false;
        for (const Patch& patch : patches_) {
            const std::uint64_t from = std::max(offset, patch.position);
            const std::uint64_t to = std::min(end, patch.position + patch.bytes.size());
            if (from >= to)
                continue;
            if (!copied) {
                patched.assign(bytes, bytes + size);
                copied = true;
            }
            std::memcpy(patched.data() + (from - offset), patch.bytes.data() + (from - patch.position),
                        std::size_t(to - from));
        }
        sink(copied ? patched.data() : bytes, size);
        offset = end;
    });
}

void TxlsSpillStream::CopyTo(const cfb::ByteSink& sink) {
    const std::uint64_t head = hasInsert_ ? insertPosition_ : spilled_;
    copySpilled(0, head, sink);
    if (!inserted_.empty())
        sink(inserted_.data(), inserted_.size());
    if (head < spilled_)
        copySpilled(head, spilled_ - head, sink);
}

// ---------------------------------------------------------------------------------------------------
// TxlsWorkbookFile

TxlsWorkbookFile::TxlsWorkbookFile(const std::string& FileName)
    : storage_(cfb::Storage::CreateDocfile(FileName, WorkbookMode)) {
    try {
        stream_ = std::make_unique<TxlsSpillStream>(FolderOfTarget(FileName));
    } catch (const commit::CommitError& error) {
        throw cfb::StorageError(cfb::STG_E_ACCESSDENIED,
                                "Cannot create the compound file \"" + FileName + "\": " + error.reason(),
                                error.reason());
    }
}

void TxlsWorkbookFile::Commit() {
    TxlsSpillStream* stream = stream_.get();
    storage_->CreateStream(u"Workbook", WorkbookMode, stream->Size(),
                           [stream](const cfb::ByteSink& sink) { stream->CopyTo(sink); });
    storage_->Commit();
}

} // namespace exporter
