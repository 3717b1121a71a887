#pragma once

#include "browser/collection/CormelianSettings.h"
#include "browser/records/RecordRow.h"

#include <QPageLayout>

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
    // Landscape when the list's columns reach as far across as its page length runs down (the
    // DHCP layout: columns to 4800, page length 4700), else portrait.
    QPageLayout::Orientation OrientationFor(RecordListKind list) const;
};

// Where the columns of a list fall on a page of a given printable width, in printer units: each
// printed column's x position and the width its texts may take before the next column begins.
struct PrintColumnPlan {
    std::array<int, 7> x{};     // -1: not printed
    std::array<int, 7> width{}; // room up to the next column (less a gap) or the right edge
};

// The list's columns (the first `used` of them; DNS and REV-DNS use 3, DHCP 7) scaled so that the
// layout spans the printable width: the layout reaches from 0 to its last column's position plus
// the mean step between its columns.
PrintColumnPlan PlanPrintColumns(const PrintColumns& columns, int used, int printableWidth);

// Prints rows onto printer (a real printer or a PDF file): the titles in bold at the top of every
// page, then one line per row with the caption and the sub-items of the list's columns (DNS and
// REV-DNS: sub-items 0 and 1; DHCP: 0 to 5). Columns are placed by PlanPrintColumns on the
// printer's printable width, a text longer than its column's room is cut short with an ellipsis,
// and the page length is shrunk where the printable height is shorter. Returns false when the
// print job could not start.
bool PrintRecordRows(QPrinter& printer, const std::vector<const RecordRow*>& rows, RecordListKind list,
                     const ListPrintSettings& settings);

} // namespace browser
