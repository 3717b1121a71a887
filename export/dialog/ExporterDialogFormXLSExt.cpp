#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormTexts.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "export/dialog/ExporterDialogWidgets.h"
#include "export/dialog/ExporterPalette.h"

#include "export/core/ExporterLocale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <optional>

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

// "Transparency - 40%".
QString TransparencyText(int percent) {
    return Q(ExportLoadStr(SXlsNoteTransparency)) + QStringLiteral(" - %1%").arg(percent);
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

TExportXLSExtensionsPage::TExportXLSExtensionsPage(QWidget* page, TExportXLSOptions& options,
                                                   TExportDialogServices* services)
    : QObject(page), tvXLSExtensions(Named(new QTreeWidget, "tvXLSExtensions")), options_(options),
      services_(services ? services : &QtExportDialogServices()), extensions_(tvXLSExtensions, options) {
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
    ConnectSwatches();
    ShowOptions();
}

void TExportXLSExtensionsPage::ConnectSwatches() {
    // Each swatch shows its colour of the selected note or series, as the Data Format page's swatches do.
    const auto noteSwatch = [this](TXlsPaintBox* box,
                                   std::function<rtl::TColor(const TxlsNoteFormat&)> color) {
        box->OnPaint = [this, color](QPaintDevice& device) {
            if (const auto* note = dynamic_cast<const TxlsNote*>(Current()))
                FillColorRect(device, color(note->Format));
        };
    };
    pbXLSNoteFontColor->OnPaint = [this](QPaintDevice& device) {
        if (const auto* note = dynamic_cast<const TxlsNote*>(Current()))
            FillXlsColorRect(device, note->Format.Font.Color);
    };
    noteSwatch(pbXLSNoteBackgroundColor, [](const TxlsNoteFormat& f) { return f.BackgroundColor; });
    noteSwatch(pbXLSNoteForegroundColor, [](const TxlsNoteFormat& f) { return f.ForegroundColor; });
    pbXLSSeriesColor->OnPaint = [this](QPaintDevice& device) {
        if (const auto* series = dynamic_cast<const TxlsChartSeries*>(Current()))
            FillXlsColorRect(device, series->Color);
    };
}

QLineEdit* TExportXLSExtensionsPage::NumberEdit(const char* name) {
    auto* edit = Named(new QLineEdit, name);
    numberEdits_.push_back(edit);
    objectControls_.push_back(edit);
    return edit;
}

QWidget* TExportXLSExtensionsPage::BuildHyperlinkPage() {
    auto* page = Named(new QWidget, "tshXLSHyperlinks");
    auto* form = new QFormLayout(page);
    edXLSHyperlinkRow = NumberEdit("edXLSHyperlinkRow");
    edXLSHyperlinkCol = NumberEdit("edXLSHyperlinkCol");
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
    objectControls_.insert(objectControls_.end(),
                           {hyperlinkStyles[0], hyperlinkStyles[1], edXLSHyperlinkTitle, edXLSHyperlinkTarget,
                            edXLSHyperlinkScreenTip});
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildNotePage() {
    pcXLSNotes = Named(new QTabWidget, "pcXLSNotes");
    auto* base = Named(new QWidget, "tshXLSNoteBase");
    auto* form = new QFormLayout(base);
    edXLSNoteRow = NumberEdit("edXLSNoteRow");
    edXLSNoteCol = NumberEdit("edXLSNoteCol");
    mmXLSNoteLines = Named(new QPlainTextEdit, "mmXLSNoteLines");
    objectControls_.push_back(mmXLSNoteLines);
    form->addRow(QStringLiteral("Row"), edXLSNoteRow);
    form->addRow(QStringLiteral("Col"), edXLSNoteCol);
    form->addRow(QStringLiteral("Text"), mmXLSNoteLines);
    pcXLSNotes->addTab(base, QStringLiteral("Base"));
    pcXLSNotes->addTab(BuildNoteFontPage(), QStringLiteral("Font"));
    pcXLSNotes->addTab(BuildNoteFillPage(), QStringLiteral("Fill"));
    auto* page = Named(new QWidget, "tshXLSNotes");
    (new QVBoxLayout(page))->addWidget(pcXLSNotes);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildNoteFontPage() {
    auto* page = Named(new QWidget, "tshXLSNoteFont");
    auto* grid = new QGridLayout(page);
    cbXLSNoteFont = Named(new QComboBox, "cbXLSNoteFont");
    cbXLSNoteFont->addItems(ExportFontFamilies());
    cbXLSNoteFontSize = Named(new QComboBox, "cbXLSNoteFontSize");
    cbXLSNoteFontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cbXLSNoteFontSize->addItem(QString::number(size));
    btnXLSNoteFontColor = Named(new QToolButton, "btnXLSNoteFontColor");
    btnXLSNoteFontColor->setText(QStringLiteral("Color"));
    pbXLSNoteFontColor = Named(new TXlsPaintBox, "pbXLSNoteFontColor");
    pbXLSNoteFontColor->setMinimumSize(24, 16);
    btnXLSNoteFontBold = ToggleButton("btnXLSNoteFontBold", QStringLiteral("B"));
    btnXLSNoteFontItalic = ToggleButton("btnXLSNoteFontItalic", QStringLiteral("I"));
    btnXLSNoteFontStrikeOut = ToggleButton("btnXLSNoteFontStrikeOut", QStringLiteral("S"));
    noteUnderlineButtons[0] = ToggleButton("btnXLSNoteUnderlineSingle", QStringLiteral("U"));
    noteUnderlineButtons[1] = ToggleButton("btnXLSNoteUnderlineSingleAccounting", QStringLiteral("Ua"));
    noteUnderlineButtons[2] = ToggleButton("btnXLSNoteUnderlineDouble", QStringLiteral("UU"));
    noteUnderlineButtons[3] = ToggleButton("btnXLSNoteUnderlineDoubleAccounting", QStringLiteral("UUa"));
    noteHorizontalButtons[0] = ToggleButton("btnXLSNoteHorizontalLeft", QStringLiteral("Left"));
    noteHorizontalButtons[1] = ToggleButton("btnXLSNoteHorizontalCenter", QStringLiteral("Center"));
    noteHorizontalButtons[2] = ToggleButton("btnXLSNoteHorizontalRight", QStringLiteral("Right"));
    noteHorizontalButtons[3] = ToggleButton("btnXLSNoteHorizontalFill", QStringLiteral("Fill"));
    noteVerticalButtons[0] = ToggleButton("btnXLSNoteVerticalTop", QStringLiteral("Top"));
    noteVerticalButtons[1] = ToggleButton("btnXLSNoteVerticalCenter", QStringLiteral("Middle"));
    noteVerticalButtons[2] = ToggleButton("btnXLSNoteVerticalBottom", QStringLiteral("Bottom"));
    rgXLSNoteOrientation = Named(new QGroupBox(QStringLiteral(" Orientation ")), "rgXLSNoteOrientation");
    auto* orientations = new QVBoxLayout(rgXLSNoteOrientation);
    const char* orientationTexts[] = {"No rotation", "Top to bottom", "Counter clock wise", "Clock wise"};
    for (int i = 0; i < 4; ++i) {
        noteOrientations[i] = new QRadioButton(QString::fromLatin1(orientationTexts[i]));
        orientations->addWidget(noteOrientations[i]);
    }
    grid->addWidget(cbXLSNoteFont, 0, 0, 1, 4);
    grid->addWidget(cbXLSNoteFontSize, 0, 4);
    grid->addWidget(btnXLSNoteFontColor, 0, 5);
    grid->addWidget(pbXLSNoteFontColor, 0, 6);
    grid->addWidget(btnXLSNoteFontBold, 1, 0);
    grid->addWidget(btnXLSNoteFontItalic, 1, 1);
    grid->addWidget(btnXLSNoteFontStrikeOut, 1, 2);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(noteUnderlineButtons[i], 2, i);
        grid->addWidget(noteHorizontalButtons[i], 3, i);
    }
    for (int i = 0; i < 3; ++i)
        grid->addWidget(noteVerticalButtons[i], 4, i);
    grid->addWidget(rgXLSNoteOrientation, 5, 0, 1, 7);
    objectControls_.insert(objectControls_.end(),
                           {cbXLSNoteFont, cbXLSNoteFontSize, btnXLSNoteFontColor, btnXLSNoteFontBold,
                            btnXLSNoteFontItalic, btnXLSNoteFontStrikeOut, rgXLSNoteOrientation});
    objectControls_.insert(objectControls_.end(), std::begin(noteUnderlineButtons),
                           std::end(noteUnderlineButtons));
    objectControls_.insert(objectControls_.end(), std::begin(noteHorizontalButtons),
                           std::end(noteHorizontalButtons));
    objectControls_.insert(objectControls_.end(), std::begin(noteVerticalButtons),
                           std::end(noteVerticalButtons));
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildNoteFillPage() {
    auto* page = Named(new QWidget, "tshXLSNoteFill");
    auto* grid = new QGridLayout(page);
    btnXLSNoteBackgroundColor = Named(new QToolButton, "btnXLSNoteBackgroundColor");
    btnXLSNoteBackgroundColor->setText(QStringLiteral("Background"));
    pbXLSNoteBackgroundColor = Named(new TXlsPaintBox, "pbXLSNoteBackgroundColor");
    btnXLSNoteForegroundColor = Named(new QToolButton, "btnXLSNoteForegroundColor");
    btnXLSNoteForegroundColor->setText(QStringLiteral("Foreground"));
    pbXLSNoteForegroundColor = Named(new TXlsPaintBox, "pbXLSNoteForegroundColor");
    for (TXlsPaintBox* box : {pbXLSNoteBackgroundColor, pbXLSNoteForegroundColor})
        box->setMinimumSize(24, 16);
    auto* fillType = Named(new QGroupBox(QStringLiteral(" Fill Type ")), "gbXLSNoteFillType");
    auto* fillLayout = new QVBoxLayout(fillType);
    rbXLSNoteFillSolid = Named(new QRadioButton(QStringLiteral("Solid")), "rbXLSNoteFillSolid");
    rbXLSNoteFillGradient = Named(new QRadioButton(QStringLiteral("Gradient")), "rbXLSNoteFillGradient");
    fillLayout->addWidget(rbXLSNoteFillSolid);
    fillLayout->addWidget(rbXLSNoteFillGradient);
    // The gradient buttons sit in a box of their own, so that they do not exclude the fill type.
    auto* gradients = new QWidget;
    auto* gradientLayout = new QGridLayout(gradients);
    const char* gradientNames[] = {"rbXLSNoteGradientHorizontal", "rbXLSNoteGradientVertical",
                                   "rbXLSNoteGradientDiagonalUp", "rbXLSNoteGradientDiagonalDown",
                                   "rbXLSNoteGradientFromCorner", "rbXLSNoteGradientFromCenter"};
    const char* gradientTexts[] = {"Horizontal",    "Vertical",    "Diagonal up",
                                   "Diagonal down", "From corner", "From center"};
    for (int i = 0; i < 6; ++i) {
        noteGradients[i] = Named(new QRadioButton(QString::fromLatin1(gradientTexts[i])), gradientNames[i]);
        gradientLayout->addWidget(noteGradients[i], i / 2, i % 2);
    }
    fillLayout->addWidget(gradients);
    trXLSNoteTransparency = Named(new QSlider(Qt::Horizontal), "trXLSNoteTransparency");
    trXLSNoteTransparency->setRange(0, 100);
    laXLSNoteTransparency =
        Named(new QLabel(Q(ExportLoadStr(SXlsNoteTransparency))), "laXLSNoteTransparency");
    grid->addWidget(btnXLSNoteBackgroundColor, 0, 0);
    grid->addWidget(pbXLSNoteBackgroundColor, 0, 1);
    grid->addWidget(btnXLSNoteForegroundColor, 1, 0);
    grid->addWidget(pbXLSNoteForegroundColor, 1, 1);
    grid->addWidget(fillType, 2, 0, 1, 3);
    grid->addWidget(laXLSNoteTransparency, 3, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("0%")), 4, 0);
    grid->addWidget(trXLSNoteTransparency, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("100%")), 4, 2);
    objectControls_.insert(objectControls_.end(),
                           {btnXLSNoteBackgroundColor, btnXLSNoteForegroundColor, rbXLSNoteFillSolid,
                            rbXLSNoteFillGradient, trXLSNoteTransparency});
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildChartPage() {
    pcXLSCharts = Named(new QTabWidget, "pcXLSCharts");
    auto* base = Named(new QWidget, "tshXLSChartBase");
    auto* form = new QFormLayout(base);
    edXLSChartTitle = Named(new QLineEdit, "edXLSChartTitle");
    cbXLSChartStyle = Named(new QComboBox, "cbXLSChartStyle");
    for (const char* style : {"Column", "Column 3D", "Bar", "Bar 3D", "Line", "Line Mark", "Line 3D", "Pie",
                              "Pie 3D", "Area", "Area 3D", "Surface", "Surface 3D", "Radar", "Radar Area"})
        cbXLSChartStyle->addItem(QString::fromLatin1(style));
    rgXLSChartLegendPosition =
        Named(new QGroupBox(QStringLiteral(" Legend Position ")), "rgXLSChartLegendPosition");
    auto* legend = new QVBoxLayout(rgXLSChartLegendPosition);
    const char* legendTexts[] = {"Bottom", "Corner", "Top", "Right", "Left"};
    for (int i = 0; i < 5; ++i) {
        legendPositions[i] = new QRadioButton(QString::fromLatin1(legendTexts[i]));
        legend->addWidget(legendPositions[i]);
    }
    chXLSChartShowLegend = Named(new QCheckBox(QStringLiteral("Show Legend")), "chXLSChartShowLegend");
    chXLSChartAutoColor = Named(new QCheckBox(QStringLiteral("Auto Color")), "chXLSChartAutoColor");
    form->addRow(QStringLiteral("Title"), edXLSChartTitle);
    form->addRow(QStringLiteral("Style"), cbXLSChartStyle);
    form->addRow(rgXLSChartLegendPosition);
    form->addRow(chXLSChartShowLegend);
    form->addRow(chXLSChartAutoColor);
    objectControls_.insert(objectControls_.end(), {edXLSChartTitle, cbXLSChartStyle, rgXLSChartLegendPosition,
                                                   chXLSChartShowLegend, chXLSChartAutoColor});
    pcXLSCharts->addTab(base, QStringLiteral("Base"));
    pcXLSCharts->addTab(BuildChartPositionPage(), QStringLiteral("Position"));
    pcXLSCharts->addTab(BuildChartLabelsPage(), QStringLiteral("Category Labels"));
    auto* page = Named(new QWidget, "tshXLSCharts");
    (new QVBoxLayout(page))->addWidget(pcXLSCharts);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildChartPositionPage() {
    auto* page = Named(new QWidget, "tshXLSChartPosition");
    auto* layout = new QVBoxLayout(page);
    rbXLSChartAutoPosition =
        Named(new QRadioButton(QStringLiteral("Auto Position")), "rbXLSChartAutoPosition");
    rgXLSChartPlacement = Named(new QGroupBox(QStringLiteral(" Placement ")), "rgXLSChartPlacement");
    auto* placement = new QHBoxLayout(rgXLSChartPlacement);
    chartPlacements[0] = new QRadioButton(QStringLiteral("Bottom"));
    chartPlacements[1] = new QRadioButton(QStringLiteral("Right"));
    placement->addWidget(chartPlacements[0]);
    placement->addWidget(chartPlacements[1]);
    auto* autoForm = new QFormLayout;
    edXLSChartLeft = NumberEdit("edXLSChartLeft");
    edXLSChartTop = NumberEdit("edXLSChartTop");
    edXLSChartHeight = NumberEdit("edXLSChartHeight");
    edXLSChartWidth = NumberEdit("edXLSChartWidth");
    autoForm->addRow(rgXLSChartPlacement);
    autoForm->addRow(QStringLiteral("Left"), edXLSChartLeft);
    autoForm->addRow(QStringLiteral("Top"), edXLSChartTop);
    autoForm->addRow(QStringLiteral("Height"), edXLSChartHeight);
    autoForm->addRow(QStringLiteral("Width"), edXLSChartWidth);
    rbXLSChartCustomPosition =
        Named(new QRadioButton(QStringLiteral("Custom Position")), "rbXLSChartCustomPosition");
    auto* customForm = new QFormLayout;
    edXLSChartPositionX1 = NumberEdit("edXLSChartPositionX1");
    edXLSChartPositionY1 = NumberEdit("edXLSChartPositionY1");
    edXLSChartPositionX2 = NumberEdit("edXLSChartPositionX2");
    edXLSChartPositionY2 = NumberEdit("edXLSChartPositionY2");
    customForm->addRow(QStringLiteral("X1"), edXLSChartPositionX1);
    customForm->addRow(QStringLiteral("Y1"), edXLSChartPositionY1);
    customForm->addRow(QStringLiteral("X2"), edXLSChartPositionX2);
    customForm->addRow(QStringLiteral("Y2"), edXLSChartPositionY2);
    layout->addWidget(rbXLSChartAutoPosition);
    layout->addLayout(autoForm);
    layout->addWidget(rbXLSChartCustomPosition);
    layout->addLayout(customForm);
    objectControls_.insert(objectControls_.end(),
                           {rbXLSChartAutoPosition, rbXLSChartCustomPosition, rgXLSChartPlacement});
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildChartLabelsPage() {
    auto* page = Named(new QWidget, "tshXLSChartCategoryLabels");
    auto* form = new QFormLayout(page);
    rbXLSChartCategoryLabelColumn =
        Named(new QRadioButton(QStringLiteral("Column")), "rbXLSChartCategoryLabelColumn");
    cbXLSChartCategoryLabelColumn = Named(new QComboBox, "cbXLSChartCategoryLabelColumn");
    rbXLSChartCategoryLabelCustom =
        Named(new QRadioButton(QStringLiteral("Custom")), "rbXLSChartCategoryLabelCustom");
    edXLSChartCategoryLabelsCol1 = NumberEdit("edXLSChartCategoryLabelsCol1");
    edXLSChartCategoryLabelsRow1 = NumberEdit("edXLSChartCategoryLabelsRow1");
    edXLSChartCategoryLabelsCol2 = NumberEdit("edXLSChartCategoryLabelsCol2");
    edXLSChartCategoryLabelsRow2 = NumberEdit("edXLSChartCategoryLabelsRow2");
    form->addRow(rbXLSChartCategoryLabelColumn, cbXLSChartCategoryLabelColumn);
    form->addRow(rbXLSChartCategoryLabelCustom);
    form->addRow(QStringLiteral("Col1"), edXLSChartCategoryLabelsCol1);
    form->addRow(QStringLiteral("Row1"), edXLSChartCategoryLabelsRow1);
    form->addRow(QStringLiteral("Col2"), edXLSChartCategoryLabelsCol2);
    form->addRow(QStringLiteral("Row2"), edXLSChartCategoryLabelsRow2);
    objectControls_.insert(
        objectControls_.end(),
        {rbXLSChartCategoryLabelColumn, cbXLSChartCategoryLabelColumn, rbXLSChartCategoryLabelCustom});
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildSeriesPage() {
    auto* page = Named(new QWidget, "tshXLSSeries");
    auto* form = new QFormLayout(page);
    edXLSSeriesTitle = Named(new QLineEdit, "edXLSSeriesTitle");
    btnXLSSeriesColor = Named(new QToolButton, "btnXLSSeriesColor");
    btnXLSSeriesColor->setText(QStringLiteral("Color"));
    pbXLSSeriesColor = Named(new TXlsPaintBox, "pbXLSSeriesColor");
    pbXLSSeriesColor->setMinimumSize(24, 16);
    auto* range = Named(new QGroupBox(QStringLiteral(" Data Range ")), "gbXLSSeriesDataRange");
    auto* rangeForm = new QFormLayout(range);
    rbXLSSeriesColumn = Named(new QRadioButton(QStringLiteral("Column")), "rbXLSSeriesColumn");
    cbXLSSeriesColumn = Named(new QComboBox, "cbXLSSeriesColumn");
    rbXLSSeriesCustom = Named(new QRadioButton(QStringLiteral("Custom")), "rbXLSSeriesCustom");
    edXLSSeriesDataRangeCol1 = NumberEdit("edXLSSeriesDataRangeCol1");
    edXLSSeriesDataRangeRow1 = NumberEdit("edXLSSeriesDataRangeRow1");
    edXLSSeriesDataRangeCol2 = NumberEdit("edXLSSeriesDataRangeCol2");
    edXLSSeriesDataRangeRow2 = NumberEdit("edXLSSeriesDataRangeRow2");
    rangeForm->addRow(rbXLSSeriesColumn, cbXLSSeriesColumn);
    rangeForm->addRow(rbXLSSeriesCustom);
    rangeForm->addRow(QStringLiteral("Col1"), edXLSSeriesDataRangeCol1);
    rangeForm->addRow(QStringLiteral("Row1"), edXLSSeriesDataRangeRow1);
    rangeForm->addRow(QStringLiteral("Col2"), edXLSSeriesDataRangeCol2);
    rangeForm->addRow(QStringLiteral("Row2"), edXLSSeriesDataRangeRow2);
    auto* color = new QHBoxLayout;
    color->addWidget(btnXLSSeriesColor);
    color->addWidget(pbXLSSeriesColor);
    color->addStretch();
    form->addRow(QStringLiteral("Title"), edXLSSeriesTitle);
    form->addRow(QStringLiteral("Color"), color);
    form->addRow(range);
    objectControls_.insert(objectControls_.end(), {edXLSSeriesTitle, btnXLSSeriesColor, rbXLSSeriesColumn,
                                                   cbXLSSeriesColumn, rbXLSSeriesCustom});
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildCellPage() {
    pcXLSCells = Named(new QTabWidget, "pcXLSCells");
    auto* base = Named(new QWidget, "tshXLSCellBase");
    auto* form = new QFormLayout(base);
    edXLSCellCol = NumberEdit("edXLSCellCol");
    edXLSCellRow = NumberEdit("edXLSCellRow");
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
    objectControls_.insert(objectControls_.end(),
                           {cbXLSCellType, edXLSCellDateTimeFormat, edXLSCellNumericFormat, edXLSCellValue});
    pcXLSCells->addTab(base, QStringLiteral("Base"));
    auto* page = Named(new QWidget, "tshXLSCells");
    cellPageLayout_ = new QVBoxLayout(page);
    cellPageLayout_->addWidget(pcXLSCells, 1);
    return page;
}

QWidget* TExportXLSExtensionsPage::BuildMergedCellsPage() {
    auto* page = Named(new QWidget, "tshXLSMergedCells");
    auto* form = new QFormLayout(page);
    edXLSMergedCellsFirstCol = NumberEdit("edXLSMergedCellsFirstCol");
    edXLSMergedCellsFirstRow = NumberEdit("edXLSMergedCellsFirstRow");
    edXLSMergedCellsLastCol = NumberEdit("edXLSMergedCellsLastCol");
    edXLSMergedCellsLastRow = NumberEdit("edXLSMergedCellsLastRow");
    form->addRow(QStringLiteral("First Col"), edXLSMergedCellsFirstCol);
    form->addRow(QStringLiteral("First Row"), edXLSMergedCellsFirstRow);
    form->addRow(QStringLiteral("Last Col"), edXLSMergedCellsLastCol);
    form->addRow(QStringLiteral("Last Row"), edXLSMergedCellsLastRow);
    return page;
}

TxlsCustomItem* TExportXLSExtensionsPage::Current() const {
    return showing_ ? nullptr : TExportXLSExtensions::Object(tvXLSExtensions->currentItem());
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
    for (QLineEdit* edit : numberEdits_) {
        edit->installEventFilter(new TExitFilter(edit, [this, edit] { NumberEditExit(edit); }));
        if (edit == edXLSCellCol || edit == edXLSCellRow)
            connect(edit, &QLineEdit::returnPressed, this, [this, edit] { NumberEditExit(edit); });
    }
    const auto hyperlink = [this] { return dynamic_cast<TxlsHyperlink*>(Current()); };
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
    for (int i = 0; i < 2; ++i)
        connect(hyperlinkStyles[i], &QRadioButton::clicked, this, [hyperlink, i] {
            if (TxlsHyperlink* link = hyperlink())
                link->Style = TxlsHyperlinkStyle(i);
        });
    ConnectNote();
    ConnectChart();
    const auto series = [this] { return dynamic_cast<TxlsChartSeries*>(Current()); };
    connect(edXLSSeriesTitle, &QLineEdit::textEdited, this, [series](const QString& text) {
        if (TxlsChartSeries* s = series())
            s->Title = text.toStdString();
    });
    connect(btnXLSSeriesColor, &QToolButton::clicked, this, [this] { SeriesColorClick(); });
    for (QRadioButton* radio : {rbXLSSeriesColumn, rbXLSSeriesCustom})
        connect(radio, &QRadioButton::clicked, this, [this, series, radio] {
            if (TxlsChartSeries* s = series()) {
                s->DataRangeType = radio == rbXLSSeriesColumn ? rtColumn : rtCustom;
                UpdateDependentControls();
            }
        });
    connect(cbXLSSeriesColumn, &QComboBox::activated, this, [this, series](int index) {
        if (TxlsChartSeries* s = series())
            s->DataColumn = cbXLSSeriesColumn->itemText(index).toStdString();
    });
    const auto cell = [this] { return dynamic_cast<TxlsCell*>(Current()); };
    connect(cbXLSCellType, &QComboBox::activated, this, [this, cell](int index) {
        if (TxlsCell* c = cell()) {
            c->CellType = TxlsCellType(index);
            ShowNode(tvXLSExtensions->currentItem());
        }
    });
    connect(edXLSCellValue, &QLineEdit::textEdited, this, [cell](const QString& text) {
        if (TxlsCell* c = cell())
            c->SetValue(text.toStdString());
    });
    connect(edXLSCellDateTimeFormat, &QLineEdit::textEdited, this, [cell](const QString& text) {
        if (TxlsCell* c = cell())
            c->DateTimeFormat = text.toStdString();
    });
    connect(edXLSCellNumericFormat, &QLineEdit::textEdited, this, [cell](const QString& text) {
        if (TxlsCell* c = cell())
            c->NumericFormat = text.toStdString();
    });
}

void TExportXLSExtensionsPage::ConnectNote() {
    const auto note = [this] { return dynamic_cast<TxlsNote*>(Current()); };
    connect(mmXLSNoteLines, &QPlainTextEdit::textChanged, this, [this, note] {
        if (TxlsNote* n = note()) {
            n->Lines.clear();
            for (const QString& line : mmXLSNoteLines->toPlainText().split(QLatin1Char('\n')))
                n->Lines.push_back(line.toStdString());
        }
    });
    connect(cbXLSNoteFont, &QComboBox::activated, this, [this, note](int index) {
        if (TxlsNote* n = note())
            n->Format.Font.Name = cbXLSNoteFont->itemText(index).toStdString();
    });
    cbXLSNoteFontSize->installEventFilter(new TExitFilter(cbXLSNoteFontSize, [this] { NoteFontSizeExit(); }));
    connect(cbXLSNoteFontSize, &QComboBox::activated, this, [this] { NoteFontSizeExit(); });
    connect(btnXLSNoteFontColor, &QToolButton::clicked, this, [this] { NoteFontColorClick(); });
    for (QToolButton* button : {btnXLSNoteFontBold, btnXLSNoteFontItalic, btnXLSNoteFontStrikeOut})
        connect(button, &QToolButton::clicked, this, [this, button] { NoteFontButtonClick(button); });
    for (auto* group : {std::begin(noteUnderlineButtons), std::begin(noteHorizontalButtons)})
        for (int i = 0; i < 4; ++i)
            connect(group[i], &QToolButton::clicked, this,
                    [this, button = group[i]] { NoteFontButtonClick(button); });
    for (QToolButton* button : noteVerticalButtons)
        connect(button, &QToolButton::clicked, this, [this, button] { NoteFontButtonClick(button); });
    for (int i = 0; i < 4; ++i)
        connect(noteOrientations[i], &QRadioButton::clicked, this, [note, i] {
            if (TxlsNote* n = note())
                n->Format.Orientation = TxlsOrientation(i);
        });
    connect(btnXLSNoteBackgroundColor, &QToolButton::clicked, this, [this] { NoteFillColorClick(true); });
    connect(btnXLSNoteForegroundColor, &QToolButton::clicked, this, [this] { NoteFillColorClick(false); });
    for (QRadioButton* radio : {rbXLSNoteFillSolid, rbXLSNoteFillGradient})
        connect(radio, &QRadioButton::clicked, this, [this, note, radio] {
            if (TxlsNote* n = note()) {
                n->Format.FillType = radio == rbXLSNoteFillSolid ? nftSolid : nftGradient;
                UpdateDependentControls();
            }
        });
    for (int i = 0; i < 6; ++i)
        connect(noteGradients[i], &QRadioButton::clicked, this, [note, i] {
            if (TxlsNote* n = note())
                n->Format.Gradient = TxlsNoteGradient(i);
        });
    connect(trXLSNoteTransparency, &QSlider::valueChanged, this, [this, note](int value) {
        laXLSNoteTransparency->setText(TransparencyText(value));
        if (TxlsNote* n = note())
            n->Format.Transparency = TxlsPercent(std::clamp(value, 0, 100));
    });
}

void TExportXLSExtensionsPage::ConnectChart() {
    const auto chart = [this] { return dynamic_cast<TxlsChart*>(Current()); };
    connect(edXLSChartTitle, &QLineEdit::textEdited, this, [chart](const QString& text) {
        if (TxlsChart* c = chart())
            c->Title = text.toStdString();
    });
    connect(cbXLSChartStyle, &QComboBox::activated, this, [chart](int index) {
        if (TxlsChart* c = chart())
            c->Style = TxlsChartStyle(index);
    });
    for (int i = 0; i < 5; ++i)
        connect(legendPositions[i], &QRadioButton::clicked, this, [chart, i] {
            if (TxlsChart* c = chart())
                c->LegendPlacement = TxlsChartLegendPlacement(i);
        });
    connect(chXLSChartShowLegend, &QCheckBox::clicked, this, [chart](bool on) {
        if (TxlsChart* c = chart())
            c->ShowLegend = on;
    });
    connect(chXLSChartAutoColor, &QCheckBox::clicked, this, [chart](bool on) {
        if (TxlsChart* c = chart())
            c->AutoColor = on;
    });
    for (QRadioButton* radio : {rbXLSChartAutoPosition, rbXLSChartCustomPosition})
        connect(radio, &QRadioButton::clicked, this, [this, chart, radio] {
            if (TxlsChart* c = chart()) {
                c->Position.PositionType = radio == rbXLSChartAutoPosition ? cptAuto : cptCustom;
                UpdateDependentControls();
            }
        });
    for (int i = 0; i < 2; ++i)
        connect(chartPlacements[i], &QRadioButton::clicked, this, [chart, i] {
            if (TxlsChart* c = chart())
                c->Position.AutoPosition.Placement = TxlsChartPlacement(i);
        });
    for (QRadioButton* radio : {rbXLSChartCategoryLabelColumn, rbXLSChartCategoryLabelCustom})
        connect(radio, &QRadioButton::clicked, this, [this, chart, radio] {
            if (TxlsChart* c = chart()) {
                c->CategoryLabelsType = radio == rbXLSChartCategoryLabelColumn ? rtColumn : rtCustom;
                UpdateDependentControls();
            }
        });
    connect(cbXLSChartCategoryLabelColumn, &QComboBox::activated, this, [this, chart](int index) {
        if (TxlsChart* c = chart())
            c->CategoryLabelsColumn = cbXLSChartCategoryLabelColumn->itemText(index).toStdString();
    });
}

void TExportXLSExtensionsPage::ShowOptions() {
    showing_ = true;
    extensions_.Rebuild();
    showing_ = false;
    tvXLSExtensionsChange();
}

void TExportXLSExtensionsPage::SetColumnNames(const std::vector<std::string>& names) {
    QStringList sorted;
    for (const std::string& name : names)
        sorted << Q(name);
    sorted.sort(Qt::CaseInsensitive);
    showing_ = true;
    for (QComboBox* list : {cbXLSChartCategoryLabelColumn, cbXLSSeriesColumn}) {
        list->clear();
        list->addItems(sorted);
    }
    showing_ = false;
    ShowNode(tvXLSExtensions->currentItem());
}

namespace {

// Stores the number typed into a field of the given width; returns the value stored.
template <typename Field> std::int64_t StoreNumber(Field& field, const std::string& text) {
    field = Field(ExtensionNumberFromText(text, std::numeric_limits<Field>::max()));
    return field;
}

} // namespace

void TExportXLSExtensionsPage::NumberEditExit(QLineEdit* edit) {
    QTreeWidgetItem* node = tvXLSExtensions->currentItem();
    TxlsCustomItem* object = Current();
    if (!object)
        return;
    const std::string text = edit->text().toStdString();
    std::optional<std::int64_t> stored;
    const auto store = [&](auto& field) { stored = StoreNumber(field, text); };
    const auto range = [&](TxlsDataRange& r, QLineEdit* col1, QLineEdit* row1, QLineEdit* col2,
                           QLineEdit* row2) {
        if (edit == col1)
            store(r.Col1);
        else if (edit == row1)
            store(r.Row1);
        else if (edit == col2)
            store(r.Col2);
        else if (edit == row2)
            store(r.Row2);
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
    } else if (auto* chart = dynamic_cast<TxlsChart*>(object)) {
        TxlsChartAutoPosition& autoPosition = chart->Position.AutoPosition;
        TxlsChartCustomPosition& custom = chart->Position.CustomPosition;
        if (edit == edXLSChartLeft)
            store(autoPosition.Left);
        else if (edit == edXLSChartTop)
            store(autoPosition.Top);
        else if (edit == edXLSChartHeight)
            store(autoPosition.Height);
        else if (edit == edXLSChartWidth)
            store(autoPosition.Width);
        else if (edit == edXLSChartPositionX1)
            store(custom.X1);
        else if (edit == edXLSChartPositionY1)
            store(custom.Y1);
        else if (edit == edXLSChartPositionX2)
            store(custom.X2);
        else if (edit == edXLSChartPositionY2)
            store(custom.Y2);
        else
            range(chart->CategoryLabels, edXLSChartCategoryLabelsCol1, edXLSChartCategoryLabelsRow1,
                  edXLSChartCategoryLabelsCol2, edXLSChartCategoryLabelsRow2);
    } else if (auto* series = dynamic_cast<TxlsChartSeries*>(object)) {
        range(series->DataRange, edXLSSeriesDataRangeCol1, edXLSSeriesDataRangeRow1, edXLSSeriesDataRangeCol2,
              edXLSSeriesDataRangeRow2);
    }
    if (stored && edit->text() != QString::number(*stored))
        edit->setText(QString::number(*stored));
}

void TExportXLSExtensionsPage::NoteFontSizeExit() {
    auto* note = dynamic_cast<TxlsNote*>(Current());
    if (!note)
        return;
    const std::string text = cbXLSNoteFontSize->currentText().toStdString();
    // Not a number gives 8; sizes beyond what a workbook font holds are clamped.
    const std::int64_t size = ExtensionNumberFromText(text, 409);
    note->Format.Font.Size = size > 0 ? int(size) : 8;
    if (cbXLSNoteFontSize->currentText() != QString::number(note->Format.Font.Size))
        cbXLSNoteFontSize->setCurrentText(QString::number(note->Format.Font.Size));
}

void TExportXLSExtensionsPage::NoteFontColorClick() {
    auto* note = dynamic_cast<TxlsNote*>(Current());
    if (!note)
        return;
    const TxlsColor before = note->Format.Font.Color;
    const TxlsColor chosen =
        RunXLSColorEditor(before, pcXLSExtensions->window(), [this](TfmExporterXLSColorEditor& editor) {
            return services_->RunXlsColorEditor(editor);
        });
    if (chosen == before)
        return;
    note->Format.Font.Color = chosen;
    RepaintSwatches();
}

void TExportXLSExtensionsPage::NoteFillColorClick(bool background) {
    auto* note = dynamic_cast<TxlsNote*>(Current());
    if (!note)
        return;
    rtl::TColor& field = background ? note->Format.BackgroundColor : note->Format.ForegroundColor;
    QColor color = ColorToQColor(field);
    if (!services_->PickColor(pcXLSExtensions->window(), color))
        return;
    const rtl::TColor chosen =
        rtl::TColor(color.red()) | rtl::TColor(color.green()) << 8 | rtl::TColor(color.blue()) << 16;
    if (chosen == field)
        return;
    field = chosen;
    RepaintSwatches();
}

void TExportXLSExtensionsPage::NoteFontButtonClick(QToolButton* button) {
    auto* note = dynamic_cast<TxlsNote*>(Current());
    if (!note)
        return;
    TxlsNoteFormat& format = note->Format;
    const bool down = button->isChecked();
    if (button == btnXLSNoteFontBold)
        SetXlsFontStyleElem(format.Font, xfsBold, down);
    else if (button == btnXLSNoteFontItalic)
        SetXlsFontStyleElem(format.Font, xfsItalic, down);
    else if (button == btnXLSNoteFontStrikeOut)
        SetXlsFontStyleElem(format.Font, xfsStrikeOut, down);
    const TxlsFontUnderline underlines[] = {fulSingle, fulSingleAccounting, fulDouble, fulDoubleAccounting};
    const TxlsHorizontalAlignment horizontals[] = {halLeft, halCenter, halRight, halFill};
    const TxlsVerticalAlignment verticals[] = {valTop, valCenter, valBottom};
    for (int i = 0; i < 4; ++i) {
        if (button == noteUnderlineButtons[i])
            format.Font.Underline = down ? underlines[i] : fulNone;
        if (button == noteHorizontalButtons[i])
            format.Alignment.Horizontal = down ? horizontals[i] : halGeneral;
    }
    // A vertical alignment is always set: pressing the one that is down keeps it.
    for (int i = 0; i < 3; ++i)
        if (button == noteVerticalButtons[i] && down)
            format.Alignment.Vertical = verticals[i];
    ShowNode(tvXLSExtensions->currentItem());
}

void TExportXLSExtensionsPage::SeriesColorClick() {
    auto* series = dynamic_cast<TxlsChartSeries*>(Current());
    if (!series)
        return;
    const TxlsColor chosen = RunXLSColorEditor(
        series->Color, pcXLSExtensions->window(),
        [this](TfmExporterXLSColorEditor& editor) { return services_->RunXlsColorEditor(editor); });
    if (chosen == series->Color)
        return;
    series->Color = chosen;
    RepaintSwatches();
}

void TExportXLSExtensionsPage::RepaintSwatches() {
    for (QWidget* box : std::initializer_list<QWidget*>{pbXLSNoteFontColor, pbXLSNoteBackgroundColor,
                                                        pbXLSNoteForegroundColor, pbXLSSeriesColor})
        box->update();
}

void TExportXLSExtensionsPage::tvXLSExtensionsChange() {
    QTreeWidgetItem* node = tvXLSExtensions->currentItem();
    tbtDelXLSExtension->setEnabled(extensions_.CanDelete());
    const int kind = TExportXLSExtensions::Kind(node);
    // The tools' hints name the kind of the selected node (hyperlink, note, chart, series, cell, merged
    // cells).
    if (kind >= xekHyperlink && kind <= xekMergedCells) {
        const int k = kind - xekHyperlink;
        tbtAddXLSExtension->setToolTip(Q(ExportLoadStr(SXlsExtensionHints[2 * k])));
        tbtDelXLSExtension->setToolTip(Q(ExportLoadStr(SXlsExtensionHints[2 * k + 1])));
    }
    if (kind >= xekHyperlink && kind <= xekMergedCells)
        pcXLSExtensions->setCurrentIndex(kind - xekHyperlink);
    ShowNode(node);
}

namespace {

// Checks the radio button of the index in a group (none when out of range).
void CheckRadio(QRadioButton* const* buttons, int count, int index) {
    for (int i = 0; i < count; ++i) {
        buttons[i]->setAutoExclusive(false);
        buttons[i]->setChecked(i == index);
        buttons[i]->setAutoExclusive(true);
    }
}

void SelectText(QComboBox* list, const std::string& text) {
    list->setCurrentIndex(list->findText(Q(text), Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

} // namespace

void TExportXLSExtensionsPage::ShowNote(const TxlsNote& note) {
    edXLSNoteRow->setText(QString::number(note.Row));
    edXLSNoteCol->setText(QString::number(note.Col));
    QStringList lines;
    for (const std::string& line : note.Lines)
        lines << Q(line);
    mmXLSNoteLines->setPlainText(lines.join(QLatin1Char('\n')));
    const TxlsNoteFormat& format = note.Format;
    cbXLSNoteFont->setCurrentIndex(cbXLSNoteFont->findText(Q(format.Font.Name), Qt::MatchFixedString));
    cbXLSNoteFontSize->setCurrentText(QString::number(format.Font.Size));
    btnXLSNoteFontBold->setChecked(format.Font.Has(xfsBold));
    btnXLSNoteFontItalic->setChecked(format.Font.Has(xfsItalic));
    btnXLSNoteFontStrikeOut->setChecked(format.Font.Has(xfsStrikeOut));
    const TxlsFontUnderline underlines[] = {fulSingle, fulSingleAccounting, fulDouble, fulDoubleAccounting};
    const TxlsHorizontalAlignment horizontals[] = {halLeft, halCenter, halRight, halFill};
    const TxlsVerticalAlignment verticals[] = {valTop, valCenter, valBottom};
    for (int i = 0; i < 4; ++i) {
        noteUnderlineButtons[i]->setChecked(format.Font.Underline == underlines[i]);
        noteHorizontalButtons[i]->setChecked(format.Alignment.Horizontal == horizontals[i]);
    }
    for (int i = 0; i < 3; ++i)
        noteVerticalButtons[i]->setChecked(format.Alignment.Vertical == verticals[i]);
    CheckRadio(noteOrientations, 4, format.Orientation);
    rbXLSNoteFillSolid->setChecked(format.FillType == nftSolid);
    rbXLSNoteFillGradient->setChecked(format.FillType == nftGradient);
    CheckRadio(noteGradients, 6, format.Gradient);
    trXLSNoteTransparency->setValue(format.Transparency);
    laXLSNoteTransparency->setText(TransparencyText(format.Transparency));
}

void TExportXLSExtensionsPage::ShowChart(const TxlsChart& chart) {
    edXLSChartTitle->setText(Q(chart.Title));
    cbXLSChartStyle->setCurrentIndex(chart.Style);
    CheckRadio(legendPositions, 5, chart.LegendPlacement);
    chXLSChartShowLegend->setChecked(chart.ShowLegend);
    chXLSChartAutoColor->setChecked(chart.AutoColor);
    rbXLSChartAutoPosition->setChecked(chart.Position.PositionType == cptAuto);
    rbXLSChartCustomPosition->setChecked(chart.Position.PositionType == cptCustom);
    const TxlsChartAutoPosition& autoPosition = chart.Position.AutoPosition;
    CheckRadio(chartPlacements, 2, autoPosition.Placement);
    edXLSChartLeft->setText(QString::number(autoPosition.Left));
    edXLSChartTop->setText(QString::number(autoPosition.Top));
    edXLSChartHeight->setText(QString::number(autoPosition.Height));
    edXLSChartWidth->setText(QString::number(autoPosition.Width));
    const TxlsChartCustomPosition& custom = chart.Position.CustomPosition;
    edXLSChartPositionX1->setText(QString::number(custom.X1));
    edXLSChartPositionY1->setText(QString::number(custom.Y1));
    edXLSChartPositionX2->setText(QString::number(custom.X2));
    edXLSChartPositionY2->setText(QString::number(custom.Y2));
    rbXLSChartCategoryLabelColumn->setChecked(chart.CategoryLabelsType == rtColumn);
    rbXLSChartCategoryLabelCustom->setChecked(chart.CategoryLabelsType == rtCustom);
    SelectText(cbXLSChartCategoryLabelColumn, chart.CategoryLabelsColumn);
    edXLSChartCategoryLabelsCol1->setText(QString::number(chart.CategoryLabels.Col1));
    edXLSChartCategoryLabelsRow1->setText(QString::number(chart.CategoryLabels.Row1));
    edXLSChartCategoryLabelsCol2->setText(QString::number(chart.CategoryLabels.Col2));
    edXLSChartCategoryLabelsRow2->setText(QString::number(chart.CategoryLabels.Row2));
}

void TExportXLSExtensionsPage::ShowSeries(const TxlsChartSeries& series) {
    edXLSSeriesTitle->setText(Q(series.Title));
    rbXLSSeriesColumn->setChecked(series.DataRangeType == rtColumn);
    rbXLSSeriesCustom->setChecked(series.DataRangeType == rtCustom);
    SelectText(cbXLSSeriesColumn, series.DataColumn);
    edXLSSeriesDataRangeCol1->setText(QString::number(series.DataRange.Col1));
    edXLSSeriesDataRangeRow1->setText(QString::number(series.DataRange.Row1));
    edXLSSeriesDataRangeCol2->setText(QString::number(series.DataRange.Col2));
    edXLSSeriesDataRangeRow2->setText(QString::number(series.DataRange.Row2));
}

void TExportXLSExtensionsPage::UpdateDependentControls() {
    TxlsCustomItem* object = TExportXLSExtensions::Object(tvXLSExtensions->currentItem());
    const auto* note = dynamic_cast<const TxlsNote*>(object);
    for (QRadioButton* radio : noteGradients)
        radio->setEnabled(note && note->Format.FillType == nftGradient);
    const auto* chart = dynamic_cast<const TxlsChart*>(object);
    const bool autoPosition = chart && chart->Position.PositionType == cptAuto;
    const bool customPosition = chart && chart->Position.PositionType == cptCustom;
    for (QWidget* w : std::initializer_list<QWidget*>{rgXLSChartPlacement, edXLSChartLeft, edXLSChartTop,
                                                      edXLSChartHeight, edXLSChartWidth})
        w->setEnabled(autoPosition);
    for (QWidget* w :
         {edXLSChartPositionX1, edXLSChartPositionY1, edXLSChartPositionX2, edXLSChartPositionY2})
        w->setEnabled(customPosition);
    cbXLSChartCategoryLabelColumn->setEnabled(chart && chart->CategoryLabelsType == rtColumn);
    for (QWidget* w : {edXLSChartCategoryLabelsCol1, edXLSChartCategoryLabelsRow1,
                       edXLSChartCategoryLabelsCol2, edXLSChartCategoryLabelsRow2})
        w->setEnabled(chart && chart->CategoryLabelsType == rtCustom);
    const auto* series = dynamic_cast<const TxlsChartSeries*>(object);
    cbXLSSeriesColumn->setEnabled(series && series->DataRangeType == rtColumn);
    for (QWidget* w : {edXLSSeriesDataRangeCol1, edXLSSeriesDataRangeRow1, edXLSSeriesDataRangeCol2,
                       edXLSSeriesDataRangeRow2})
        w->setEnabled(series && series->DataRangeType == rtCustom);
    const auto* cell = dynamic_cast<const TxlsCell*>(object);
    edXLSCellDateTimeFormat->setEnabled(cell && cell->CellType == ctDateTime);
    edXLSCellNumericFormat->setEnabled(cell && cell->CellType == ctNumeric);
}

void TExportXLSExtensionsPage::ShowNode(QTreeWidgetItem* node) {
    showing_ = true;
    TxlsCustomItem* object = TExportXLSExtensions::Object(node);
    for (QWidget* w : objectControls_)
        w->setEnabled(object != nullptr);
    if (auto* note = dynamic_cast<TxlsNote*>(object))
        ShowNote(*note);
    else if (auto* chart = dynamic_cast<TxlsChart*>(object))
        ShowChart(*chart);
    else if (auto* series = dynamic_cast<TxlsChartSeries*>(object))
        ShowSeries(*series);
    else if (auto* link = dynamic_cast<TxlsHyperlink*>(object)) {
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
    } else if (auto* merged = dynamic_cast<TxlsMergedCells*>(object)) {
        edXLSMergedCellsFirstCol->setText(QString::number(merged->FirstCol));
        edXLSMergedCellsFirstRow->setText(QString::number(merged->FirstRow));
        edXLSMergedCellsLastCol->setText(QString::number(merged->LastCol));
        edXLSMergedCellsLastRow->setText(QString::number(merged->LastRow));
    }
    UpdateDependentControls();
    RepaintSwatches();
    auto* cell = dynamic_cast<TxlsCell*>(object);
    pcXLSCells->setVisible(cell != nullptr);
    showing_ = false;
    if (OnCellShown)
        OnCellShown(cell);
}

} // namespace exporter
