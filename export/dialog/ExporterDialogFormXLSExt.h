#pragma once

// The workbook extensions: the tree of sheet objects the user places on the exported sheet (hyperlinks,
// notes, charts with their series, user cells, merged ranges). The objects live in the form's copy of
// the workbook options; each node refers to its object. TExportXLSExtensions is the tree's logic
// (numbering, adding, deleting, the hyperlinks' format); TExportXLSExtensionsPage builds the page.

#include "export/dialog/ExporterOptions.h"

#include <QObject>

#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace exporter {

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

// The extensions page with the hyperlink, cell and merged-range editors.
class TExportXLSExtensionsPage : public QObject {
public:
    TExportXLSExtensionsPage(QWidget* page, TExportXLSOptions& options);

    TExportXLSExtensions& Extensions() { return extensions_; }
    void ShowOptions();
    void tvXLSExtensionsChange();
    // An edit that holds a number was left.
    void NumberEditExit(QLineEdit* edit);

    QTreeWidget* tvXLSExtensions = nullptr;
    QToolButton *tbtAddXLSExtension = nullptr, *tbtDelXLSExtension = nullptr;
    QStackedWidget* pcXLSExtensions = nullptr;
    QLineEdit *edXLSHyperlinkRow = nullptr, *edXLSHyperlinkCol = nullptr, *edXLSHyperlinkTitle = nullptr,
              *edXLSHyperlinkTarget = nullptr, *edXLSHyperlinkScreenTip = nullptr;
    QRadioButton* hyperlinkStyles[2] = {};
    QLineEdit *edXLSNoteRow = nullptr, *edXLSNoteCol = nullptr;
    QPlainTextEdit* mmXLSNoteLines = nullptr;
    QLineEdit* edXLSChartTitle = nullptr;
    QComboBox* cbXLSChartStyle = nullptr;
    QCheckBox *chXLSChartShowLegend = nullptr, *chXLSChartAutoColor = nullptr;
    QLineEdit* edXLSSeriesTitle = nullptr;
    QLineEdit *edXLSCellCol = nullptr, *edXLSCellRow = nullptr;
    QComboBox* cbXLSCellType = nullptr;
    QLineEdit *edXLSCellValue = nullptr, *edXLSCellDateTimeFormat = nullptr,
              *edXLSCellNumericFormat = nullptr;
    QLineEdit *edXLSMergedCellsFirstCol = nullptr, *edXLSMergedCellsFirstRow = nullptr,
              *edXLSMergedCellsLastCol = nullptr, *edXLSMergedCellsLastRow = nullptr;

private:
    QWidget* BuildHyperlinkPage();
    QWidget* BuildNotePage();
    QWidget* BuildChartPage();
    QWidget* BuildSeriesPage();
    QWidget* BuildCellPage();
    QWidget* BuildMergedCellsPage();
    void Connect();
    void ShowNode(QTreeWidgetItem* node);

    TExportXLSOptions& options_;
    TExportXLSExtensions extensions_;
    bool showing_ = false;
};

} // namespace exporter
