#include "browser/lists/RecordListPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace browser {

namespace {

// Printer units per inch: the print layout's numbers are meant for a 600 dpi printer.
constexpr double kUnitsPerInch = 600.0;

PrintColumns Columns(const std::vector<PrintColumn>& columns) {
    PrintColumns result;
    for (std::size_t i = 0; i < result.size() && i < columns.size(); ++i)
        result[i] = columns[i];
    return result;
}

// Draws texts at printer-unit positions, whatever the printer's resolution.
class PageWriter {
public:
    PageWriter(QPrinter& printer, QPainter& painter, const PrintColumns& columns)
        : printer_(printer), painter_(painter), columns_(columns),
          scale_(printer.resolution() / kUnitsPerInch) {
        normal_ = QFont(QStringLiteral("Sans Serif"));
        normal_.setPointSizeF(8);
        bold_ = normal_;
        bold_.setBold(true);
    }

    void Text(int column, int y, const std::string& text) {
        const int x = columns_[static_cast<std::size_t>(column)].position;
        if (x < 0 || text.empty())
            return;
        const QFontMetricsF metrics(painter_.font(), &printer_);
        painter_.drawText(QPointF(x * scale_, y * scale_ + metrics.ascent()), QString::fromStdString(text));
    }

    void Titles(int y) {
        painter_.setFont(bold_);
        for (std::size_t column = 0; column < columns_.size(); ++column)
            Text(static_cast<int>(column), y, columns_[column].title);
        painter_.setFont(normal_);
    }

private:
    QPrinter& printer_;
    QPainter& painter_;
    const PrintColumns& columns_;
    double scale_;
    QFont normal_;
    QFont bold_;
};

} // namespace

ListPrintSettings ListPrintSettings::From(const CormelianSettings& settings) {
    ListPrintSettings result;
    result.dy = settings.printDy;
    result.ytop = settings.printYtop;
    result.ph = settings.printPh;
    result.ph2 = settings.printPh2;
    result.dns = Columns(settings.dnsColumns);
    result.reverse = Columns(settings.reverseColumns);
    result.dhcp = Columns(settings.dhcpColumns);
    if (settings.dhcpColumns.size() < result.dhcp.size())
        result.dhcp.back() = kDhcpCommentColumn;
    return result;
}

const PrintColumns& ListPrintSettings::ColumnsFor(RecordListKind list) const {
    switch (list) {
    case RecordListKind::RevDns:
        return reverse;
    case RecordListKind::Dhcp:
        return dhcp;
    case RecordListKind::Dns:
        break;
    }
    return dns;
}

int ListPrintSettings::PageLengthFor(RecordListKind list) const {
    return list == RecordListKind::Dhcp ? ph2 : ph;
}

bool PrintRecordRows(QPrinter& printer, const std::vector<const RecordRow*>& rows, RecordListKind list,
                     const ListPrintSettings& settings) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const PrintColumns& columns = settings.ColumnsFor(list);
    const int pageLength = settings.PageLengthFor(list);
    // Caption and sub-items 0, 1; the DHCP list also sub-items 2 to 5.
    const int lastSubItem = list == RecordListKind::Dhcp ? 5 : 1;
    PageWriter page(printer, painter, columns);

    int y = settings.ytop;
    page.Titles(y);
    y += settings.dy + settings.dy / 2;
    for (const RecordRow* row : rows) {
        // A page is begun only for a row that still follows, so no page ends up with titles alone.
        if (y > pageLength) {
            printer.newPage();
            y = settings.ytop;
            page.Titles(y);
            y += settings.dy + settings.dy / 2;
        }
        page.Text(0, y, row->caption);
        for (int item = 0; item <= lastSubItem; ++item) {
            if (static_cast<std::size_t>(item) < row->subItems.size())
                page.Text(item + 1, y, row->subItems[static_cast<std::size_t>(item)]);
        }
        y += settings.dy;
    }
    painter.end();
    return true;
}

} // namespace browser
