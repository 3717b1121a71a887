#pragma once

// The workbook's compound file: its "Workbook" stream kept in a scratch file beside the target while
// the sheets are written, and copied into the file only when it is committed.

#include "export/xls/ExporterXLSStream.h"
#include "platform/cfb/Storage.h"
#include "platform/commit/SpillFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace exporter {

// A workbook stream whose bytes go to a scratch file as they are written, so that memory does not
// grow with the sheets. Bytes are appended in order; a write over bytes already written (a header
// filled in later) is kept as a patch, and Insert keeps its bytes aside: both are applied as the
// stream is handed over. The stream cannot be read back, and takes no writes after an Insert.
// A failing write of the scratch file is kept and reported by CopyTo, so every write is taken.
class TxlsSpillStream : public TxlsStream {
public:
    // Raises commit::CommitError when the scratch file cannot be made in the folder.
    explicit TxlsSpillStream(const std::string& folder);

    std::size_t Write(const void* buffer, std::size_t count) override;
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return spilled_ + inserted_.size(); }
    void Insert(std::uint64_t position, const std::uint8_t* data, std::size_t size) override;

    // Hands the whole stream to the sink in order. Raises commit::CommitError when a write of the
    // scratch file or its read back failed.
    void CopyTo(const cfb::ByteSink& sink);

private:
    struct Patch {
        std::uint64_t position;
        std::vector<std::uint8_t> bytes;
    };
    void append(const std::uint8_t* data, std::size_t count);
    // Hands over [offset, offset + length) of the scratch file with the patches applied.
    void copySpilled(std::uint64_t offset, std::uint64_t length, const cfb::ByteSink& sink);

    commit::SpillFile spill_;
    std::uint64_t spilled_ = 0; // bytes appended to the scratch file
    std::uint64_t position_ = 0;
    std::vector<Patch> patches_;
    bool hasInsert_ = false;
    std::uint64_t insertPosition_ = 0;
    std::vector<std::uint8_t> inserted_;
};

// The compound file FileName (replacing an existing one, mode 0x1012) with its "Workbook" stream,
// which is kept in a scratch file in the target's folder until Commit copies it into the file
// through the commit path. Without a Commit an existing file stays as it was and nothing is left
// behind.
class TxlsWorkbookFile {
public:
    // Raises cfb::StorageError when the file is refused or cannot be created.
    explicit TxlsWorkbookFile(const std::string& FileName);

    TxlsStream& Stream() { return *stream_; }
    // Writes the compound file and puts it in the target's place. Raises cfb::StorageError; the
    // target is then left untouched.
    void Commit();

private:
    std::unique_ptr<cfb::Storage> storage_;
    std::unique_ptr<TxlsSpillStream> stream_;
};

} // namespace exporter
