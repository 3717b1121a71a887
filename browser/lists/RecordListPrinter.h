#pragma once

#include "browser/collection/CormelianSettings.h"
#include "browser/records/RecordRow.h"

#include <array>
#include <vector>

class QPrinter;

namespace browser {

// Titles and x positions of the seven columns of one list's print-out; a column with a negative
// position is not printed.
using PrintColumns = std::array<PrintColumn, 7>;

// The print layout of the three lists, in printer units (600 to the inch).
struct ListPrintSettings {
    int dy = 75;    // line step
    int ytop = 100; // top of every page
    int ph = 6500;  // page length of the DNS and REV-DNS print-outs
    int ph2 = 4700; // page length of the DHCP print-out
    PrintColumns dns;
    PrintColumns reverse;
    PrintColumns dhcp;

    // The layout of the settings file (PRT, PRTDNS, PRTREV, PRTDHCP); missing columns are empty.
    static ListPrintSettings From(const CormelianSettings& settings);
    const PrintColumns& ColumnsFor(RecordListKind list) const;
    int PageLengthFor(RecordListKind list) const;
};

// Prints rows onto printer (a real printer or a PDF file): the titles in bold at the top of every
// page, then one line per row with the caption and the sub-items of the list's columns (DNS and
// REV-DNS: sub-items 0 and 1; DHCP: 0 to 5). Returns false when the print job could not start.
bool PrintRecordRows(QPrinter& printer, const std::vector<const RecordRow*>& rows, RecordListKind list,
                     const ListPrintSettings& settings);

} // namespace browser
