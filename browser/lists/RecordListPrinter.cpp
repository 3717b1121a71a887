#include "browser/lists/RecordListPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

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

// The room left free before the next column, so that a text cut short does not touch it.
constexpr int kColumnGap = 30;

// Draws texts at the planned positions, in printer units whatever the printer's resolution.
class PageWriter {
public:
    PageWriter(QPrinter& printer, QPainter& painter, const PrintColumns& columns, const PrintColumnPlan& plan,
               double yScale)
        : printer_(printer), painter_(painter), columns_(columns), plan_(plan),
          scale_(printer.resolution() / kUnitsPerInch), yScale_(yScale) {
        normal_ = QFont(QStringLiteral("Sans Serif"));
        normal_.setPointSizeF(8);
        bold_ = normal_;
        bold_.setBold(true);
    }

    void Text(int column, int y, const std::string& text) {
        const std::size_t at = static_cast<std::size_t>(column);
        const int x = plan_.x[at];
        if (x < 0 || text.empty())
            return;
        const QFontMetricsF metrics(painter_.font(), &printer_);
        const QString shown =
            metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, plan_.width[at] * scale_);
        painter_.drawText(QPointF(x * scale_, y * yScale_ * scale_ + metrics.ascent()), shown);
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
    const PrintColumnPlan& plan_;
    double scale_;
    double yScale_;
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

QPageLayout::Orientation ListPrintSettings::OrientationFor(RecordListKind list) const {
    int across = 0;
    for (const PrintColumn& column : ColumnsFor(list))
        across = std::max(across, column.position);
    return across >= PageLengthFor(list) ? QPageLayout::Landscape : QPageLayout::Portrait;
}

PrintColumnPlan PlanPrintColumns(const PrintColumns& columns, int used, int printableWidth) {
    used = std::clamp(used, 0, static_cast<int>(columns.size()));
    std::vector<int> positions;
    for (int column = 0; column < used; ++column) {
        if (columns[static_cast<std::size_t>(column)].position >= 0)
            positions.push_back(columns[static_cast<std::size_t>(column)].position);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());

    // The layout's span: its last column's position plus the mean step between its columns.
    double span = printableWidth;
    if (positions.size() > 1 && positions.back() > 0)
        span = positions.back() +
               static_cast<double>(positions.back()) / static_cast<double>(positions.size() - 1);
    const double scale = span > 0 ? printableWidth / span : 1.0;

    PrintColumnPlan plan;
    plan.x.fill(-1);
    plan.width.fill(0);
    for (int column = 0; column < used; ++column) {
        const std::size_t at = static_cast<std::size_t>(column);
        const int position = columns[at].position;
        if (position < 0)
            continue;
        const auto next = std::upper_bound(positions.begin(), positions.end(), position);
        const double end = next != positions.end() ? *next * scale - kColumnGap : printableWidth;
        plan.x[at] = static_cast<int>(position * scale);
        plan.width[at] = std::max(0, static_cast<int>(end) - plan.x[at]);
    }
    return plan;
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
    // The printable area in printer units (the painter's origin is its top left corner).
    const double unitsPerPixel = kUnitsPerInch / printer.resolution();
    const int printableWidth = static_cast<int>(printer.width() * unitsPerPixel);
    const double printableHeight = printer.height() * unitsPerPixel;
    const PrintColumnPlan plan = PlanPrintColumns(columns, lastSubItem + 2, printableWidth);
    // A page length meant for a taller page is shrunk, so that its last line is still printed.
    const double lineBottom = pageLength + settings.dy;
    const double yScale = lineBottom > printableHeight ? printableHeight / lineBottom : 1.0;
    PageWriter page(printer, painter, columns, plan, yScale);

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
