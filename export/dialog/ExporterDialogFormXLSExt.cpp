#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "export/dialog/ExporterDialogWidgets.h"

#include "export/core/ExporterLocale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace exporter {

namespace {

constexpr int KindRole = Qt::UserRole + 1;
constexpr int ObjectRole = Qt::UserRole;

// Texts of the string table.
constexpr int idHyperlinks = 34293, idHyperlink = 34296, idNotes = 34305, idNote = 34308, idCharts = 34349,
              idChart = 34352, idSeries = 34403, idCells = 34413, idCellCaption = 34416, idMergedRoot = 34428,
              idMerged = 34431;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string CellCaption(const TxlsCell& cell) {
    std::string text = ExportLoadStr(idCellCaption);
    for (int value : {int(cell.Col), int(cell.Row)}) {
        const auto at = text.find("%d");
        if (at != std::string::npos)
            text.replace(at, 2, std::to_string(value));
    }
    return text;
}

// Calls the function when the edit is left.
class TExitFilter : public QObject {
public:
    TExitFilter(QObject* parent, std::function<void()> onExit)
        : QObject(parent), onExit_(std::move(onExit)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut)
            onExit_();
        return false;
    }

private:
    std::function<void()> onExit_;
};

} // namespace

std::int64_t ExtensionNumberFromText(const std::string& text, std::int64_t maximum) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ptr != end) // not a number (an overflow clamps below)
        return 0;
    if (ec == std::errc::result_out_of_range)
        return text[0] == '-' ? 0 : maximum;
    return std::clamp<std::int64_t>(value, 0, maximum);
}

// --- the tree ---

int TExportXLSExtensions::Kind(const QTreeWidgetItem* node) {
    return node ? node->data(0, KindRole).toInt() : -1;
}

int TExportXLSExtensions::Level(const QTreeWidgetItem* node) {
    int level = -1;
    for (; node; node = node->parent())
        ++level;
    return level;
}

TxlsCustomItem* TExportXLSExtensions::Object(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<TxlsCustomItem*>(node->data(0, ObjectRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* TExportXLSExtensions::Root(TXlsExtensionKind kind) const {
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        if (Kind(tree_->topLevelItem(i)) == kind)
            return tree_->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* TExportXLSExtensions::AddNode(QTreeWidgetItem* parent, const std::string& text, int kind,
                                               TxlsCustomItem* object) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    node->setText(0, Q(text));
    node->setData(0, KindRole, kind);
    node->setData(0, ObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
    return node;
}

void TExportXLSExtensions::AddChartNodes(TxlsChart& chart) {
    QTreeWidgetItem* node = AddNode(Root(xekChart), chart.Title, xekChart, &chart);
    QTreeWidgetItem* folder = AddNode(node, ExportLoadStr(idSeries), xekSeries, nullptr);
    for (std::size_t i = 0; i < chart.Series.Count(); ++i)
        AddNode(folder, chart.Series.Items(i).Title, xekSeries, &chart.Series.Items(i));
}

void TExportXLSExtensions::Rebuild() {
    tree_->clear();
    const std::pair<int, TXlsExtensionKind> roots[] = {{idHyperlinks, xekHyperlink},
                                                       {idNotes, xekNote},
                                                       {idCharts, xekChart},
                                                       {idCells, xekCell},
                                                       {idMergedRoot, xekMergedCells}};
    for (const auto& [text, kind] : roots)
        AddNode(nullptr, ExportLoadStr(text), kind, nullptr);
    for (std::size_t i = 0; i < options_.Hyperlinks.Count(); ++i)
        AddNode(Root(xekHyperlink), options_.Hyperlinks.Items(i).Title, xekHyperlink,
                &options_.Hyperlinks.Items(i));
    for (std::size_t i = 0; i < options_.Notes.Count(); ++i)
        AddNode(Root(xekNote), ExportLoadStr(idNote) + "_" + std::to_string(i + 1), xekNote,
                &options_.Notes.Items(i));
    for (std::size_t i = 0; i < options_.Charts.Count(); ++i)
        AddChartNodes(options_.Charts.Items(i));
    for (std::size_t i = 0; i < options_.Cells.Count(); ++i)
        AddNode(Root(xekCell), CellCaption(options_.Cells.Items(i)), xekCell, &options_.Cells.Items(i));
    for (std::size_t i = 0; i < options_.MergedCells.Count(); ++i)
        AddNode(Root(xekMergedCells), ExportLoadStr(idMerged) + " " + std::to_string(i + 1), xekMergedCells,
                &options_.MergedCells.Items(i));
    tree_->expandAll();
    tree_->setCurrentItem(tree_->topLevelItem(0));
}

int TExportXLSExtensions::NextExtensionNumber(const QTreeWidgetItem* parent, const std::string& prefix) {
    for (int n = 1;; ++n) {
        const QString text = Q(prefix + std::to_string(n));
        bool used = false;
        for (int i = 0; parent && i < parent->childCount() && !used; ++i)
            used = parent->child(i)->text(0) == text;
        if (!used)
            return n;
    }
}

QTreeWidgetItem* TExportXLSExtensions::Add() {
    QTreeWidgetItem* selected = tree_->currentItem();
    const int kind = Kind(selected);
    QTreeWidgetItem* node = nullptr;
    const auto numbered = [](QTreeWidgetItem* parent, const std::string& prefix) {
        return prefix + std::to_string(NextExtensionNumber(parent, prefix));
    };
    switch (kind) {
    case xekHyperlink: {
        QTreeWidgetItem* root = Root(xekHyperlink);
        TxlsHyperlink& link = options_.Hyperlinks.Add();
        link.Format.Assign(options_.HyperlinkFormat);
        link.Title = numbered(root, ExportLoadStr(idHyperlink) + "_");
        node = AddNode(root, link.Title, kind, &link);
        break;
    }
    case xekNote: {
        QTreeWidgetItem* root = Root(xekNote);
        node = AddNode(root, numbered(root, ExportLoadStr(idNote) + "_"), kind, &options_.Notes.Add());
        break;
    }
    case xekChart: {
        const std::string title = numbered(Root(xekChart), ExportLoadStr(idChart) + "_");
        TxlsChart& chart = options_.Charts.Add();
        chart.Title = title;
        AddChartNodes(chart);
        node = Root(xekChart)->child(Root(xekChart)->childCount() - 1);
        break;
    }
    case xekSeries: {
        QTreeWidgetItem* folder = Level(selected) == 3 ? selected->parent() : selected;
        if (Level(folder) != 2)
            return nullptr;
        auto* chart = dynamic_cast<TxlsChart*>(Object(folder->parent()));
        if (!chart)
            return nullptr;
        TxlsChartSeries& series = chart->Series.Add();
        series.Title = numbered(folder, ExportLoadStr(idSeries) + "_");
        node = AddNode(folder, series.Title, kind, &series);
        break;
    }
    case xekCell: {
        TxlsCell& cell = options_.Cells.Add();
        node = AddNode(Root(xekCell), CellCaption(cell), kind, &cell);
        break;
    }
    case xekMergedCells: {
        QTreeWidgetItem* root = Root(xekMergedCells);
        node =
            AddNode(root, numbered(root, ExportLoadStr(idMerged) + " "), kind, &options_.MergedCells.Add());
        break;
    }
    default:
        return nullptr;
    }
    if (node->parent())
        node->parent()->setExpanded(true);
    tree_->setCurrentItem(node);
    return node;
}

bool TExportXLSExtensions::CanDelete() const {
    const QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return false;
    const int level = Level(node);
    return level == 1 || level == 3 || node->childCount() > 0;
}

void TExportXLSExtensions::DeleteObject(QTreeWidgetItem* node) {
    TxlsCustomItem* object = Object(node);
    if (object && object->Collection())
        object->Collection()->Delete(std::size_t(object->Index()));
    delete node;
}

void TExportXLSExtensions::SelectAfterDelete(QTreeWidgetItem* parent, int index) {
    if (parent->childCount() > 0)
        tree_->setCurrentItem(parent->child(std::min(index, parent->childCount() - 1)));
    else
        tree_->setCurrentItem(parent);
}

void TExportXLSExtensions::Delete() {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return;
    switch (Level(node)) {
    case 0:
    case 2: // a root, or a chart's series folder: every object below it
        for (int i = node->childCount() - 1; i >= 0; --i)
            DeleteObject(node->child(i));
        tree_->setCurrentItem(node);
        break;
    case 1:
    case 3: {
        QTreeWidgetItem* parent = node->parent();
        const int index = parent->indexOfChild(node);
        DeleteObject(node);
        SelectAfterDelete(parent, index);
        break;
    }
    default:
        break;
    }
}

void TExportXLSExtensions::RefreshXlsHyperlinkFormats(const TxlsFormat& format) {
    for (std::size_t i = 0; i < options_.Hyperlinks.Count(); ++i)
        options_.Hyperlinks.Items(i).Format.Assign(format);
}

// --- the page ---

TExportXLSExtensionsPage::TExportXLSExtensionsPage(QWidget* page, TExportXLSOptions& options)
    : QObject(page), tvXLSExtensions(Named(new QTreeWidget, "tvXLSExtensions")), options_(options),
      extensions_(tvXLSExtensions, options) {
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* tools = new QHBoxLayout;
    tbtAddXLSExtension = Named(new QToolButton, "tbtAddXLSExtension");
    tbtAddXLSExtension->setText(QStringLiteral("+"));
    tbtDelXLSExtension = Named(new QToolButton, "tbtDelXLSExtension");
    tbtDelXLSExtension->setText(QStringLiteral("-"));
    tools->addWidget(tbtAddXLSExtension);
    tools->addWidget(tbtDelXLSExtension);
    tools->addStretch();
    left->addLayout(tools);
    tvXLSExtensions->setHeaderHidden(true);
    left->addWidget(tvXLSExtensions);
    layout->addLayout(left);
    pcXLSExtensions = Named(new QStackedWidget, "pcXLSExtensions");
    pcXLSExtensions->addWidget(BuildHyperlinkPage());
    pcXLSExtensions->addWidget(BuildNotePage());
    pcXLSExtensions->addWidget(BuildChartPage());
    pcXLSExtensions->addWidget(BuildSeriesPage());
    pcXLSExtensions->addWidget(BuildCellPage());
    pcXLSExtensions->addWidget(BuildMergedCellsPage());
    layout->addWidget(pcXLSExtensions, 1);
    Connect();
    ShowOptions();
}

QWidget* TExportXLSExtensionsPage::BuildHyperlinkPage() {
    auto* page = Named(new QWidget, "tshXLSHyperlinks");
    auto* form = new QFormLayout(page);
    edXLSHyperlinkRow = Named(new QLineEdit, "edXLSHyperlinkRow");
    edXLSHyperlinkCol = Named(new QLineEdit, "edXLSHyperlinkCol");
    auto* style = Named(new QGroupBox(QStringLiteral(" Style ")), "rgXLSHyperlinkStyle");
    auto* styles = new QHBoxLayout(style);
    hyperlinkStyles[0] = new QRadioButton(QStringLiteral("URL"));
    hyperlinkStyles[1] = new QRadioButton(QStringLiteral("Local file"));
    styles->addWidget(hyperlinkStyles[0]);
    styles->addWidget(hyperlinkStyles[1]);
    edXLSHyperlinkTitle = Named(new QLineEdit, "edXLSHyperlinkTitle");
    edXLSHyperlinkTarget = Named(new QLineEdit, "edXLSHyperlinkTarget");
    edXLSHyperlinkScreenTip = Named(new QLineEdit, "edXLSHyperlinkScreenTip");
    form->addRow(QStringLiteral("Row"), edXLSHyperlinkRow);
    form->addRow(QStringLiteral("Col"), edXLSHyperlinkCol);
    form->addRow(style);
    form->addRow(QStringLiteral("Title"), edXLSHyperlinkTitle);
    form->addRow(QStringLiteral("Target"), edXLSHyperlinkTarget);
    form->addRow(QStringLiteral("Screen Tip"), edXLSHyperlinkScreenTip);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildNotePage() {
    auto* page = Named(new QWidget, "tshXLSNotes");
    auto* form = new QFormLayout(page);
    edXLSNoteRow = Named(new QLineEdit, "edXLSNoteRow");
    edXLSNoteCol = Named(new QLineEdit, "edXLSNoteCol");
    mmXLSNoteLines = Named(new QPlainTextEdit, "mmXLSNoteLines");
    form->addRow(QStringLiteral("Row"), edXLSNoteRow);
    form->addRow(QStringLiteral("Col"), edXLSNoteCol);
    form->addRow(QStringLiteral("Text"), mmXLSNoteLines);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildChartPage() {
    auto* page = Named(new QWidget, "tshXLSCharts");
    auto* form = new QFormLayout(page);
    edXLSChartTitle = Named(new QLineEdit, "edXLSChartTitle");
    cbXLSChartStyle = Named(new QComboBox, "cbXLSChartStyle");
    for (const char* style : {"Column", "Column 3D", "Bar", "Bar 3D", "Line", "Line Mark", "Line 3D", "Pie",
                              "Pie 3D", "Area", "Area 3D", "Surface", "Surface 3D", "Radar", "Radar Area"})
        cbXLSChartStyle->addItem(QString::fromLatin1(style));
    chXLSChartShowLegend = Named(new QCheckBox(QStringLiteral("Show Legend")), "chXLSChartShowLegend");
    chXLSChartAutoColor = Named(new QCheckBox(QStringLiteral("Auto Color")), "chXLSChartAutoColor");
    form->addRow(QStringLiteral("Title"), edXLSChartTitle);
    form->addRow(QStringLiteral("Style"), cbXLSChartStyle);
    form->addRow(chXLSChartShowLegend);
    form->addRow(chXLSChartAutoColor);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildSeriesPage() {
    auto* page = Named(new QWidget, "tshXLSSeries");
    auto* form = new QFormLayout(page);
    edXLSSeriesTitle = Named(new QLineEdit, "edXLSSeriesTitle");
    form->addRow(QStringLiteral("Title"), edXLSSeriesTitle);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildCellPage() {
    auto* page = Named(new QWidget, "tshXLSCells");
    auto* form = new QFormLayout(page);
    edXLSCellCol = Named(new QLineEdit, "edXLSCellCol");
    edXLSCellRow = Named(new QLineEdit, "edXLSCellRow");
    form->addRow(QStringLiteral("Col"), edXLSCellCol);
    form->addRow(QStringLiteral("Row"), edXLSCellRow);
    cbXLSCellType = Named(new QComboBox, "cbXLSCellType");
    for (const char* type : {"Boolean", "DateTime", "Numeric", "String"})
        cbXLSCellType->addItem(QString::fromLatin1(type));
    edXLSCellDateTimeFormat = Named(new QLineEdit, "edXLSCellDateTimeFormat");
    edXLSCellNumericFormat = Named(new QLineEdit, "edXLSCellNumericFormat");
    edXLSCellValue = Named(new QLineEdit, "edXLSCellValue");
    form->addRow(QStringLiteral("Type"), cbXLSCellType);
    form->addRow(QStringLiteral("Date Time Format"), edXLSCellDateTimeFormat);
    form->addRow(QStringLiteral("Numeric Format"), edXLSCellNumericFormat);
    form->addRow(QStringLiteral("Value"), edXLSCellValue);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildMergedCellsPage() {
    auto* page = Named(new QWidget, "tshXLSMergedCells");
    auto* form = new QFormLayout(page);
    edXLSMergedCellsFirstCol = Named(new QLineEdit, "edXLSMergedCellsFirstCol");
    edXLSMergedCellsFirstRow = Named(new QLineEdit, "edXLSMergedCellsFirstRow");
    edXLSMergedCellsLastCol = Named(new QLineEdit, "edXLSMergedCellsLastCol");
    edXLSMergedCellsLastRow = Named(new QLineEdit, "edXLSMergedCellsLastRow");
    form->addRow(QStringLiteral("First Col"), edXLSMergedCellsFirstCol);
    form->addRow(QStringLiteral("First Row"), edXLSMergedCellsFirstRow);
    form->addRow(QStringLiteral("Last Col"), edXLSMergedCellsLastCol);
    form->addRow(QStringLiteral("Last Row"), edXLSMergedCellsLastRow);
    return page;
}

void TExportXLSExtensionsPage::Connect() {
    connect(tvXLSExtensions, &QTreeWidget::currentItemChanged, this, [this] { tvXLSExtensionsChange(); });
    connect(tbtAddXLSExtension, &QToolButton::clicked, this, [this] {
        extensions_.Add();
        tvXLSExtensionsChange();
    });
    connect(tbtDelXLSExtension, &QToolButton::clicked, this, [this] {
        extensions_.Delete();
        tvXLSExtensionsChange();
    });
    for (QLineEdit* edit :
         {edXLSHyperlinkRow, edXLSHyperlinkCol, edXLSCellCol, edXLSCellRow, edXLSMergedCellsFirstCol,
          edXLSMergedCellsFirstRow, edXLSMergedCellsLastCol, edXLSMergedCellsLastRow}) {
        edit->installEventFilter(new TExitFilter(edit, [this, edit] { NumberEditExit(edit); }));
        if (edit == edXLSCellCol || edit == edXLSCellRow)
            connect(edit, &QLineEdit::returnPressed, this, [this, edit] { NumberEditExit(edit); });
    }
    const auto hyperlink = [this]() -> TxlsHyperlink* {
        return showing_ ? nullptr
                        : dynamic_cast<TxlsHyperlink*>(
                              TExportXLSExtensions::Object(tvXLSExtensions->currentItem()));
    };
    connect(edXLSHyperlinkTitle, &QLineEdit::textEdited, this, [this, hyperlink](const QString& text) {
        if (TxlsHyperlink* link = hyperlink()) {
            link->Title = text.toStdString();
            tvXLSExtensions->currentItem()->setText(0, text);
        }
    });
    connect(edXLSHyperlinkTarget, &QLineEdit::textEdited, this, [hyperlink](const QString& text) {
        if (TxlsHyperlink* link = hyperlink())
            link->Target = text.toStdString();
    });
    connect(edXLSHyperlinkScreenTip, &QLineEdit::textEdited, this, [hyperlink](const QString& text) {
        if (TxlsHyperlink* link = hyperlink())
            link->ScreenTip = text.toStdString();
    });
    const auto object = [this]() -> TxlsCustomItem* {
        return showing_ ? nullptr : TExportXLSExtensions::Object(tvXLSExtensions->currentItem());
    };
    connect(mmXLSNoteLines, &QPlainTextEdit::textChanged, this, [this, object] {
        if (auto* note = dynamic_cast<TxlsNote*>(object())) {
            note->Lines.clear();
            for (const QString& line : mmXLSNoteLines->toPlainText().split(QLatin1Char('\n')))
                note->Lines.push_back(line.toStdString());
        }
    });
    connect(edXLSChartTitle, &QLineEdit::textEdited, this, [object](const QString& text) {
        if (auto* chart = dynamic_cast<TxlsChart*>(object()))
            chart->Title = text.toStdString();
    });
    connect(cbXLSChartStyle, &QComboBox::activated, this, [object](int index) {
        if (auto* chart = dynamic_cast<TxlsChart*>(object()))
            chart->Style = TxlsChartStyle(index);
    });
    connect(chXLSChartShowLegend, &QCheckBox::clicked, this, [object](bool on) {
        if (auto* chart = dynamic_cast<TxlsChart*>(object()))
            chart->ShowLegend = on;
    });
    connect(chXLSChartAutoColor, &QCheckBox::clicked, this, [object](bool on) {
        if (auto* chart = dynamic_cast<TxlsChart*>(object()))
            chart->AutoColor = on;
    });
    connect(edXLSSeriesTitle, &QLineEdit::textEdited, this, [object](const QString& text) {
        if (auto* series = dynamic_cast<TxlsChartSeries*>(object()))
            series->Title = text.toStdString();
    });
    connect(cbXLSCellType, &QComboBox::activated, this, [this, object](int index) {
        if (auto* cell = dynamic_cast<TxlsCell*>(object())) {
            cell->CellType = TxlsCellType(index);
            ShowNode(tvXLSExtensions->currentItem());
        }
    });
    connect(edXLSCellValue, &QLineEdit::textEdited, this, [object](const QString& text) {
        if (auto* cell = dynamic_cast<TxlsCell*>(object()))
            cell->SetValue(text.toStdString());
    });
    connect(edXLSCellDateTimeFormat, &QLineEdit::textEdited, this, [object](const QString& text) {
        if (auto* cell = dynamic_cast<TxlsCell*>(object()))
            cell->DateTimeFormat = text.toStdString();
    });
    connect(edXLSCellNumericFormat, &QLineEdit::textEdited, this, [object](const QString& text) {
        if (auto* cell = dynamic_cast<TxlsCell*>(object()))
            cell->NumericFormat = text.toStdString();
    });
    for (int i = 0; i < 2; ++i)
        connect(hyperlinkStyles[i], &QRadioButton::clicked, this, [hyperlink, i] {
            if (TxlsHyperlink* link = hyperlink())
                link->Style = TxlsHyperlinkStyle(i);
        });
}

void TExportXLSExtensionsPage::ShowOptions() {
    showing_ = true;
    extensions_.Rebuild();
    showing_ = false;
    tvXLSExtensionsChange();
}

void TExportXLSExtensionsPage::NumberEditExit(QLineEdit* edit) {
    QTreeWidgetItem* node = tvXLSExtensions->currentItem();
    TxlsCustomItem* object = TExportXLSExtensions::Object(node);
    if (showing_ || !object)
        return;
    const std::int64_t value = ExtensionNumberFromText(edit->text().toStdString(), 65535);
    const auto store = [&](std::uint16_t& field) {
        field = std::uint16_t(value);
        if (edit->text() != QString::number(field))
            edit->setText(QString::number(field));
    };
    if (auto* note = dynamic_cast<TxlsNote*>(object)) {
        if (edit == edXLSNoteRow)
            store(note->Row);
        else if (edit == edXLSNoteCol)
            store(note->Col);
    } else if (auto* link = dynamic_cast<TxlsHyperlink*>(object)) {
        if (edit == edXLSHyperlinkRow)
            store(link->Row);
        else if (edit == edXLSHyperlinkCol)
            store(link->Col);
    } else if (auto* cell = dynamic_cast<TxlsCell*>(object)) {
        if (edit == edXLSCellCol)
            store(cell->Col);
        else if (edit == edXLSCellRow)
            store(cell->Row);
        node->setText(0, Q(CellCaption(*cell)));
    } else if (auto* merged = dynamic_cast<TxlsMergedCells*>(object)) {
        if (edit == edXLSMergedCellsFirstCol)
            store(merged->FirstCol);
        else if (edit == edXLSMergedCellsFirstRow)
            store(merged->FirstRow);
        else if (edit == edXLSMergedCellsLastCol)
            store(merged->LastCol);
        else if (edit == edXLSMergedCellsLastRow)
            store(merged->LastRow);
    }
}

void TExportXLSExtensionsPage::tvXLSExtensionsChange() {
    QTreeWidgetItem* node = tvXLSExtensions->currentItem();
    tbtDelXLSExtension->setEnabled(extensions_.CanDelete());
    const int kind = TExportXLSExtensions::Kind(node);
    const std::pair<int, const char*> hints[] = {
        {xekHyperlink, "hyperlink"}, {xekNote, "note"}, {xekChart, "chart"},
        {xekSeries, "series"},       {xekCell, "cell"}, {xekMergedCells, "merged cells"}};
    for (const auto& [k, name] : hints)
        if (k == kind) {
            tbtAddXLSExtension->setToolTip(QStringLiteral("Add %1").arg(QString::fromLatin1(name)));
            tbtDelXLSExtension->setToolTip(QStringLiteral("Delete %1").arg(QString::fromLatin1(name)));
        }
    if (kind >= xekHyperlink && kind <= xekMergedCells)
        pcXLSExtensions->setCurrentIndex(kind - xekHyperlink);
    ShowNode(node);
}

void TExportXLSExtensionsPage::ShowNode(QTreeWidgetItem* node) {
    showing_ = true;
    TxlsCustomItem* object = TExportXLSExtensions::Object(node);
    const bool has = object != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{edXLSHyperlinkRow,
                                                      edXLSHyperlinkCol,
                                                      edXLSHyperlinkTitle,
                                                      edXLSHyperlinkTarget,
                                                      edXLSHyperlinkScreenTip,
                                                      hyperlinkStyles[0],
                                                      hyperlinkStyles[1],
                                                      edXLSCellCol,
                                                      edXLSCellRow,
                                                      edXLSMergedCellsFirstCol,
                                                      edXLSMergedCellsFirstRow,
                                                      edXLSMergedCellsLastCol,
                                                      edXLSMergedCellsLastRow,
                                                      edXLSNoteRow,
                                                      edXLSNoteCol,
                                                      mmXLSNoteLines,
                                                      edXLSChartTitle,
                                                      cbXLSChartStyle,
                                                      chXLSChartShowLegend,
                                                      chXLSChartAutoColor,
                                                      edXLSSeriesTitle,
                                                      cbXLSCellType,
                                                      edXLSCellValue,
                                                      edXLSCellDateTimeFormat,
                                                      edXLSCellNumericFormat})
        w->setEnabled(has);
    if (auto* note = dynamic_cast<TxlsNote*>(object)) {
        edXLSNoteRow->setText(QString::number(note->Row));
        edXLSNoteCol->setText(QString::number(note->Col));
        QStringList lines;
        for (const std::string& line : note->Lines)
            lines << Q(line);
        mmXLSNoteLines->setPlainText(lines.join(QLatin1Char('\n')));
    } else if (auto* chart = dynamic_cast<TxlsChart*>(object)) {
        edXLSChartTitle->setText(Q(chart->Title));
        cbXLSChartStyle->setCurrentIndex(chart->Style);
        chXLSChartShowLegend->setChecked(chart->ShowLegend);
        chXLSChartAutoColor->setChecked(chart->AutoColor);
    } else if (auto* series = dynamic_cast<TxlsChartSeries*>(object)) {
        edXLSSeriesTitle->setText(Q(series->Title));
    }
    if (auto* link = dynamic_cast<TxlsHyperlink*>(object)) {
        edXLSHyperlinkRow->setText(QString::number(link->Row));
        edXLSHyperlinkCol->setText(QString::number(link->Col));
        hyperlinkStyles[link->Style == hlsLocalFile ? 1 : 0]->setChecked(true);
        edXLSHyperlinkTitle->setText(Q(link->Title));
        edXLSHyperlinkTarget->setText(Q(link->Target));
        edXLSHyperlinkScreenTip->setText(Q(link->ScreenTip));
    } else if (auto* cell = dynamic_cast<TxlsCell*>(object)) {
        edXLSCellCol->setText(QString::number(cell->Col));
        edXLSCellRow->setText(QString::number(cell->Row));
        cbXLSCellType->setCurrentIndex(cell->CellType);
        // The value as text, converted as the cell converts its values.
        TxlsCell text;
        text.CellType = ctString;
        text.SetValue(cell->Value());
        edXLSCellValue->setText(Q(text.StringValue));
        edXLSCellDateTimeFormat->setText(Q(cell->DateTimeFormat));
        edXLSCellNumericFormat->setText(Q(cell->NumericFormat));
        edXLSCellDateTimeFormat->setEnabled(cell->CellType == ctDateTime);
        edXLSCellNumericFormat->setEnabled(cell->CellType == ctNumeric);
    } else if (auto* merged = dynamic_cast<TxlsMergedCells*>(object)) {
        edXLSMergedCellsFirstCol->setText(QString::number(merged->FirstCol));
        edXLSMergedCellsFirstRow->setText(QString::number(merged->FirstRow));
        edXLSMergedCellsLastCol->setText(QString::number(merged->LastCol));
        edXLSMergedCellsLastRow->setText(QString::number(merged->LastRow));
    }
    showing_ = false;
}

} // namespace exporter
