#include "export/xls/ExporterXLSFile.h"

#include "platform/cfb/StorageModes.h"

namespace exporter {

namespace {

constexpr std::uint32_t WorkbookMode = cfb::STGM_CREATE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE;

} // namespace

void TOleStream::Seek(std::uint64_t position) {
    stream_.Seek(static_cast<std::int64_t>(position), cfb::SeekOrigin::Begin);
}

std::unique_ptr<TOleStream> CreateWorkbookStream(const std::string& FileName,
                                                 std::unique_ptr<cfb::Storage>& Storage) {
    auto storage = cfb::Storage::CreateDocfile(FileName, WorkbookMode);
    auto stream = std::make_unique<TOleStream>(storage->CreateStream(u"Workbook", WorkbookMode));
    Storage = std::move(storage);
    return stream;
}

} // namespace exporter
