#pragma once

// The workbook extensions: the tree of sheet objects the user places on the exported sheet (hyperlinks,
// notes, charts with their series, user cells, merged ranges). The objects live in the form's copy of
// the workbook options; each node refers to its object. TExportXLSExtensions is the tree's logic
// (numbering, adding, deleting, the hyperlinks' format); TExportXLSExtensionsPage builds the page.

#include "export/dialog/ExporterOptions.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;
class QTabWidget;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QVBoxLayout;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace exporter {

class TExportDialogServices;
class TXlsPaintBox;

// The node kinds by their image index.
enum TXlsExtensionKind : int {
    xekHyperlink = 6,
    xekNote = 7,
    xekChart = 8,
    xekSeries = 9,
    xekCell = 10,
    xekMergedCells = 11
};

// A number typed in an edit: 0 when it is not a number, clamped to 0 .. maximum.
std::int64_t ExtensionNumberFromText(const std::string& text, std::int64_t maximum);

class TExportXLSExtensions {
public:
    TExportXLSExtensions(QTreeWidget* tree, TExportXLSOptions& options) : tree_(tree), options_(options) {}

    // The five roots with a node per object of the options.
    void Rebuild();

    static int Kind(const QTreeWidgetItem* node);
    static int Level(const QTreeWidgetItem* node);
    // The object a node stands for (null for the roots and a chart's series folder).
    static TxlsCustomItem* Object(const QTreeWidgetItem* node);
    QTreeWidgetItem* Root(TXlsExtensionKind kind) const;

    // The smallest n >= 1 for which no child of the parent reads prefix + n.
    static int NextExtensionNumber(const QTreeWidgetItem* parent, const std::string& prefix);

    // Adds an object of the selected node's kind and selects its node; returns it (null when nothing is
    // selected).
    QTreeWidgetItem* Add();
    // Deletes the selected node's object (or, on a root or series folder, every object below it).
    void Delete();
    // The delete button's state for the selected node.
    bool CanDelete() const;

    // Gives every hyperlink the format.
    void RefreshXlsHyperlinkFormats(const TxlsFormat& format);

private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text, int kind,
                             TxlsCustomItem* object);
    void AddChartNodes(TxlsChart& chart);
    void DeleteObject(QTreeWidgetItem* node);
    void SelectAfterDelete(QTreeWidgetItem* parent, int index);

    QTreeWidget* tree_;
    TExportXLSOptions& options_;
};

// The extensions page with the editors of the sheet objects. The colour buttons ask the services (the
// dialog's own when none is given).
class TExportXLSExtensionsPage : public QObject {
public:
    TExportXLSExtensionsPage(QWidget* page, TExportXLSOptions& options,
                             TExportDialogServices* services = nullptr);

    TExportXLSExtensions& Extensions() { return extensions_; }
    void ShowOptions();
    // The export column names the chart's and the series' column lists offer (sorted).
    void SetColumnNames(const std::vector<std::string>& names);
    void tvXLSExtensionsChange();
    // An edit that holds a number was left.
    void NumberEditExit(QLineEdit* edit);
    // The note's font size combo was left.
    void NoteFontSizeExit();
    void NoteFontColorClick();
    void NoteFillColorClick(bool background);
    void NoteFontButtonClick(QToolButton* button);
    void SeriesColorClick();
    // Told the cell shown after every change of the selected node (none for another node).
    std::function<void(TxlsCell*)> OnCellShown;

    QTreeWidget* tvXLSExtensions = nullptr;
    QToolButton *tbtAddXLSExtension = nullptr, *tbtDelXLSExtension = nullptr;
    QStackedWidget* pcXLSExtensions = nullptr;
    QLineEdit *edXLSHyperlinkRow = nullptr, *edXLSHyperlinkCol = nullptr, *edXLSHyperlinkTitle = nullptr,
              *edXLSHyperlinkTarget = nullptr, *edXLSHyperlinkScreenTip = nullptr;
    QRadioButton* hyperlinkStyles[2] = {};
    // Notes.
    QTabWidget* pcXLSNotes = nullptr;
    QLineEdit *edXLSNoteRow = nullptr, *edXLSNoteCol = nullptr;
    QPlainTextEdit* mmXLSNoteLines = nullptr;
    QComboBox *cbXLSNoteFont = nullptr, *cbXLSNoteFontSize = nullptr;
    QToolButton* btnXLSNoteFontColor = nullptr;
    TXlsPaintBox* pbXLSNoteFontColor = nullptr;
    QToolButton *btnXLSNoteFontBold = nullptr, *btnXLSNoteFontItalic = nullptr,
                *btnXLSNoteFontStrikeOut = nullptr;
    QToolButton* noteUnderlineButtons[4] = {};  // single, single accounting, double, double accounting
    QToolButton* noteHorizontalButtons[4] = {}; // left, center, right, fill
    QToolButton* noteVerticalButtons[3] = {};   // top, center, bottom
    QGroupBox* rgXLSNoteOrientation = nullptr;
    QRadioButton* noteOrientations[4] = {};
    QToolButton *btnXLSNoteBackgroundColor = nullptr, *btnXLSNoteForegroundColor = nullptr;
    TXlsPaintBox *pbXLSNoteBackgroundColor = nullptr, *pbXLSNoteForegroundColor = nullptr;
    QRadioButton *rbXLSNoteFillSolid = nullptr, *rbXLSNoteFillGradient = nullptr;
    QRadioButton* noteGradients[6] = {}; // horizontal ... from center
    QSlider* trXLSNoteTransparency = nullptr;
    QLabel* laXLSNoteTransparency = nullptr;
    // Charts.
    QTabWidget* pcXLSCharts = nullptr;
    QLineEdit* edXLSChartTitle = nullptr;
    QComboBox* cbXLSChartStyle = nullptr;
    QGroupBox* rgXLSChartLegendPosition = nullptr;
    QRadioButton* legendPositions[5] = {};
    QCheckBox *chXLSChartShowLegend = nullptr, *chXLSChartAutoColor = nullptr;
    QRadioButton *rbXLSChartAutoPosition = nullptr, *rbXLSChartCustomPosition = nullptr;
    QGroupBox* rgXLSChartPlacement = nullptr;
    QRadioButton* chartPlacements[2] = {};
    QLineEdit *edXLSChartLeft = nullptr, *edXLSChartTop = nullptr, *edXLSChartHeight = nullptr,
              *edXLSChartWidth = nullptr;
    QLineEdit *edXLSChartPositionX1 = nullptr, *edXLSChartPositionY1 = nullptr,
              *edXLSChartPositionX2 = nullptr, *edXLSChartPositionY2 = nullptr;
    QRadioButton *rbXLSChartCategoryLabelColumn = nullptr, *rbXLSChartCategoryLabelCustom = nullptr;
    QComboBox* cbXLSChartCategoryLabelColumn = nullptr;
    QLineEdit *edXLSChartCategoryLabelsCol1 = nullptr, *edXLSChartCategoryLabelsRow1 = nullptr,
              *edXLSChartCategoryLabelsCol2 = nullptr, *edXLSChartCategoryLabelsRow2 = nullptr;
    // Series.
    QLineEdit* edXLSSeriesTitle = nullptr;
    QToolButton* btnXLSSeriesColor = nullptr;
    TXlsPaintBox* pbXLSSeriesColor = nullptr;
    QRadioButton *rbXLSSeriesColumn = nullptr, *rbXLSSeriesCustom = nullptr;
    QComboBox* cbXLSSeriesColumn = nullptr;
    QLineEdit *edXLSSeriesDataRangeCol1 = nullptr, *edXLSSeriesDataRangeRow1 = nullptr,
              *edXLSSeriesDataRangeCol2 = nullptr, *edXLSSeriesDataRangeRow2 = nullptr;
    // Cells.
    QTabWidget* pcXLSCells = nullptr;
    QLineEdit *edXLSCellCol = nullptr, *edXLSCellRow = nullptr;
    QComboBox* cbXLSCellType = nullptr;
    QLineEdit *edXLSCellValue = nullptr, *edXLSCellDateTimeFormat = nullptr,
              *edXLSCellNumericFormat = nullptr;
    QLineEdit *edXLSMergedCellsFirstCol = nullptr, *edXLSMergedCellsFirstRow = nullptr,
              *edXLSMergedCellsLastCol = nullptr, *edXLSMergedCellsLastRow = nullptr;

    // The layout of the cells page: the format tabs, then (on the Font, Borders and Fill tabs) the sample
    // cell, below the tabs so that it covers none of their controls.
    QVBoxLayout* CellPageLayout() const { return cellPageLayout_; }

private:
    QWidget* BuildHyperlinkPage();
    QWidget* BuildNotePage();
    QWidget* BuildNoteFontPage();
    QWidget* BuildNoteFillPage();
    QWidget* BuildChartPage();
    QWidget* BuildChartPositionPage();
    QWidget* BuildChartLabelsPage();
    QWidget* BuildSeriesPage();
    QWidget* BuildCellPage();
    QWidget* BuildMergedCellsPage();
    void Connect();
    void ConnectNote();
    void ConnectChart();
    void ConnectSwatches();
    void ShowNode(QTreeWidgetItem* node);
    void ShowNote(const TxlsNote& note);
    void ShowChart(const TxlsChart& chart);
    void ShowSeries(const TxlsChartSeries& series);
    // The enabled states that follow the chosen fill type, position type and range types.
    void UpdateDependentControls();
    // The selected node's object (none while the page is being filled).
    TxlsCustomItem* Current() const;
    QLineEdit* NumberEdit(const char* name);
    void RepaintSwatches();

    TExportXLSOptions& options_;
    TExportDialogServices* services_;
    TExportXLSExtensions extensions_;
    // Every control that edits an object: enabled exactly when the selected node has one.
    std::vector<QWidget*> objectControls_;
    std::vector<QLineEdit*> numberEdits_;
    QVBoxLayout* cellPageLayout_ = nullptr;
    bool showing_ = false;
};

} // namespace exporter
