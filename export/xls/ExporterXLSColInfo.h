#pragma once

#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace exporter {

// The width and format of one column.
struct TxlsColInfo {
    std::uint16_t Column = 0;
    std::uint16_t Width = 0; // in 1/256 of a character width
    std::uint16_t XFIndex = 0;
    std::uint16_t Options = 0;
};

// The column widths of a sheet, written as one COLINFO record per column in column order.
class TxlsColInfoList {
public:
    void Add(std::unique_ptr<TxlsColInfo> item);
    // Orders the entries by column (stable for equal columns).
    void Sort();
    // Sorts when needed, then writes the records: u16 0x007D, u16 11, first and last column (the
    // entry's column), width, XF index, options and one zero byte. A short write raises
    // TxlsWriteError.
    void SaveToStream(TxlsStream& stream);

    std::size_t Count() const { return items_.size(); }
    TxlsColInfo& Items(std::size_t index) { return *items_[index]; }
    bool Sorted() const { return sorted_; }

private:
    std::vector<std::unique_ptr<TxlsColInfo>> items_;
    bool sorted_ = false;
};

} // namespace exporter
