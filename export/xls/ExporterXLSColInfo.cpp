#include "export/xls/ExporterXLSColInfo.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>

namespace exporter {

namespace {

constexpr std::uint16_t ColInfoDataSize = 11;

} // namespace

void TxlsColInfoList::Add(std::unique_ptr<TxlsColInfo> item) {
    items_.push_back(std::move(item));
    sorted_ = false;
}

void TxlsColInfoList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const auto& a, const auto& b) { return a->Column < b->Column; });
    sorted_ = true;
}

void TxlsColInfoList::SaveToStream(TxlsStream& stream) {
    if (!sorted_)
        Sort();
    for (const auto& item : items_) {
        std::uint8_t record[4 + ColInfoDataSize] = {};
        PutWord(record, 0, BIFF_COLINFO);
        PutWord(record, 2, ColInfoDataSize);
        PutWord(record, 4, item->Column);
        PutWord(record, 6, item->Column);
        PutWord(record, 8, item->Width);
        PutWord(record, 10, item->XFIndex);
        PutWord(record, 12, item->Options);
        WriteBuffer(stream, record, sizeof record);
    }
}

} // namespace exporter
