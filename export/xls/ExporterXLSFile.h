#pragma once

#include "export/xls/ExporterXLSStream.h"
#include "platform/cfb/Storage.h"

#include <memory>
#include <string>

namespace exporter {

// The "Workbook" stream of a compound file, as the workbook writer's output stream.
class TOleStream : public TxlsStream {
public:
    explicit TOleStream(cfb::Stream stream) : stream_(std::move(stream)) {}
    std::size_t Write(const void* buffer, std::size_t count) override { return stream_.Write(buffer, count); }
    std::size_t Read(void* buffer, std::size_t count) override { return stream_.Read(buffer, count); }
    void Seek(std::uint64_t position) override;
    std::uint64_t Position() const override { return stream_.Position(); }
    std::uint64_t Size() const override { return stream_.Size(); }

private:
    cfb::Stream stream_;
};

// Creates the compound file FileName (replacing an existing one, mode 0x1012) and its "Workbook"
// stream. The storage is handed to the caller, which commits it when the workbook is complete:
// only then is the file written (through a temporary file renamed into place). Releasing the
// storage without a commit leaves an existing file as it was. Raises cfb::StorageError.
std::unique_ptr<TOleStream> CreateWorkbookStream(const std::string& FileName,
                                                 std::unique_ptr<cfb::Storage>& Storage);

} // namespace exporter
