#pragma once

// The workbook pages of the export dialog: the three format lists (fields, option formats, strip
// styles) with the format editor and the sample cell, the advanced page (page header and footer, sheet
// title, auto column width) and the strip-style file.
//
// TExportXLSFormatLists is the logic over the three lists: the current item, editing one attribute and
// copying exactly that attribute to every other selected item, resetting, and the style list's own
// operations. TExportXLSPages builds the controls on the dialog's workbook page and keeps the form's
// copy of the workbook options up to date.

#include "export/dialog/ExporterOptions.h"
#include "export/xls/ExporterXLSFormats.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

namespace exporter {

class TExportDialogServices;
class TExportXLSExtensionsPage;

// One attribute of a format that an editor control changes.
enum class TXlsFormatAttribute {
    FontName,
    FontSize,
    FontColor,
    Bold,
    Italic,
    StrikeOut,
    Underline,
    Horizontal,
    Vertical,
    BorderTopStyle,
    BorderBottomStyle,
    BorderLeftStyle,
    BorderRightStyle,
    BorderTopColor,
    BorderBottomColor,
    BorderLeftColor,
    BorderRightColor,
    Pattern,
    Background,
    Foreground,
    Aggregate
};

enum class TXlsBorderSide { Top, Bottom, Left, Right };

TxlsBorder& XlsBorderOf(TxlsFormat& format, TXlsBorderSide side);
const TxlsBorder& XlsBorderOf(const TxlsFormat& format, TXlsBorderSide side);

// Copies one attribute from source to target (the aggregate only between field formats).
void CopyXlsFormatAttribute(TXlsFormatAttribute attribute, const TxlsFormat& source, TxlsFormat& target);

// The strip-style file ("xst"): every section of the file is erased, then format i is written into
// "XLS_STYLE_" + i.
void SaveXLSStyles(const std::string& fileName, const std::vector<const TxlsFormat*>& formats);
// The sections named "XLS_STYLE_..." (without regard to case) in file order: the caption "ITEM_" + the
// rest of the section name and the format read from it. Other sections are ignored.
struct TXlsStyleEntry {
    std::string Caption;
    std::shared_ptr<TxlsFieldFormat> Format;
};
std::vector<TXlsStyleEntry> LoadXLSStyles(const std::string& fileName);

// The font size typed in the size combo; not a number gives 10.
int XlsFontSizeFromText(const std::string& text);

// What the selected items of the active list have in common with the current item; an empty value is
// shown as no value.
struct TXlsCommonFormat {
    std::optional<std::string> FontName;
    std::optional<int> FontSize;
    std::optional<TxlsBorderStyle> BorderStyles[4]; // top, bottom, left, right
    std::optional<TxlsPattern> Pattern;
    bool AggregateEnabled = false;
    std::optional<TxlsAggregate> Aggregate;
};

// The three format lists. Each item owns a TxlsFieldFormat (ListItemObject). The lists are not owned.
class TExportXLSFormatLists {
public:
    static constexpr int StyleImage = 2;

    TExportXLSFormatLists(QListWidget* fields, QListWidget* options, QListWidget* styles);

    QListWidget* Fields() const { return fields_; }
    QListWidget* Options() const { return options_; }
    QListWidget* Styles() const { return styles_; }

    // The active list (none while another page shows).
    QListWidget* ActiveList() const { return active_; }
    void SetActiveList(QListWidget* list);

    // The item whose format the editor shows and changes first.
    QListWidgetItem* CurrentItem() const { return current_; }
    // The current item's format when the active list has a selected item, else null.
    TxlsFieldFormat* CurrentFormat() const;
    // The format the swatches and the sample show: the selected item's when exactly one is selected, else
    // the current one.
    TxlsFieldFormat* ShownFormat() const;
    int SelectedCount() const;

    // The selection of a list changed at the item: it becomes current (or the first selected item when
    // the list has selected items but the changed one is not usable).
    void SelectionChanged(QListWidgetItem* changed);
    TXlsCommonFormat CommonFormat() const;

    // Changes one attribute of the current format and copies it to every other selected item of the
    // active list. Returns false (and changes nothing) without a current format.
    bool Edit(TXlsFormatAttribute attribute, const std::function<void(TxlsFieldFormat&)>& change);

    // Resets the current item and the other selected ones (the option list's CAPTION item to the caption
    // default).
    void ResetSelected();
    // Resets every item of the active list.
    void ResetList(QListWidget* list);
    // Before an options file is loaded: every item of the three lists.
    void ResetAll();

    // The style list.
    void AddStyle();
    void DeleteStyles();
    void MoveStyle(int delta);
    void RenumberStyles();
    struct TStyleButtons {
        bool Delete = false, Up = false, Down = false, Save = false;
    };
    TStyleButtons StyleButtons() const;
    void SaveStyles(const std::string& fileName) const;
    void LoadStyles(const std::string& fileName);

    // The lists from the options (the fields list one item per field name) and back.
    void LoadFromOptions(const TExportXLSOptions& options, const std::vector<std::string>& fieldNames);
    void StoreToOptions(TExportXLSOptions& options) const;

    static TxlsFieldFormat* FormatOf(const QListWidgetItem* item);

    // While a user cell of the extensions page is shown, the editor edits that cell's format instead of
    // the lists' items (none ends it). The format is not owned.
    void SetCellFormat(TxlsFormat* format);
    TxlsFormat* CellFormat() const { return cellFormat_; }

private:
    void ResetItem(QListWidgetItem& item, QListWidget* list) const;
    QListWidgetItem* AddItem(QListWidget* list, const std::string& caption, const TxlsFormat& format,
                             int image);

    QListWidget* fields_;
    QListWidget* options_;
    QListWidget* styles_;
    QListWidget* active_ = nullptr;
    QListWidgetItem* current_ = nullptr;
    TxlsFormat* cellFormat_ = nullptr;
    // The cell's format as the editor sees it; edits are copied back into the cell.
    std::shared_ptr<TxlsFieldFormat> cellEditor_ = std::make_shared<TxlsFieldFormat>();
};

// A swatch or sample box painted from a function.
class TXlsPaintBox : public QWidget {
public:
    std::function<void(QPaintDevice&)> OnPaint;
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The controls of the workbook pages, built on the dialog's "tshXLS" page.
class TExportXLSPages : public QObject {
public:
    TExportXLSPages(QWidget* page, TExportXLSOptions& options, TExportDialogServices& services);

    TExportXLSFormatLists& Lists() { return lists_; }
    TExportXLSExtensionsPage& Extensions() { return *extensions_; }
    // Shows the options again, the fields list holding the given field names.
    void ShowOptions(const std::vector<std::string>& fieldNames);
    // The setters of the advanced page's values: nothing happens when unchanged.
    void SetPageHeader(const std::string& value);
    void SetPageFooter(const std::string& value);
    void SetSheetTitle(const std::string& value);
    void SetAutoCalcColWidth(bool value);
    void SetStripType(TxlsStripType value);
    void SetPageBackground(const std::string& value);
    void bXLSPageBackgroundClick();

    // The handlers.
    void lstXLSFieldsChange(QListWidget* list);
    void pcXLSFormatsChange();
    // The Font, Borders and Fill pages and the sample cell follow the shown page: the Data Format page or
    // the user cell editor of the extensions page.
    void pcXLSChange();
    void pcXLSCellsChange();
    void ShowXlsFormat(const TxlsFieldFormat& format);
    void ShowXlsFormats();
    void PickColor(TXlsFormatAttribute attribute);
    void FontButtonClick(QToolButton* button);
    void BorderButtonClick(TXlsBorderSide side);
    void BorderComboChange(TXlsBorderSide side);
    void PatternChange();
    void btnXLSResetItemClick();
    void btnXLSResetAllClick();
    void tbtAddXLSStyleClick();
    void tbtDelXLSStyleClick();
    void tbtUpXLSStyleClick();
    void tbtDownXLSStyleClick();
    void tbtSaveXLSStyleClick();
    void tbtLoadXLSStyleClick();

    QTabWidget* pcXLS = nullptr;
    QTabWidget* pcXLSFormats = nullptr;
    QListWidget* lstXLSFields = nullptr;
    QListWidget* lstXLSOptions = nullptr;
    QListWidget* lstXLSStyles = nullptr;
    QGroupBox* rgXLSStripType = nullptr;
    QRadioButton* stripButtons[3] = {};
    QToolButton *tbtAddXLSStyle = nullptr, *tbtDelXLSStyle = nullptr, *tbtUpXLSStyle = nullptr,
                *tbtDownXLSStyle = nullptr, *tbtLoadXLSStyle = nullptr, *tbtSaveXLSStyle = nullptr;
    QTabWidget* pcXLSDataFormat = nullptr;
    QComboBox* cbxXLSFont = nullptr;
    QComboBox* cbxXLSFontSize = nullptr;
    QToolButton *btnFontColor = nullptr, *btnFontBold = nullptr, *btnFontItalic = nullptr,
                *btnFontStrikeOut = nullptr;
    QToolButton* underlineButtons[4] = {};  // single, single accounting, double, double accounting
    QToolButton* horizontalButtons[4] = {}; // left, center, right, fill
    QToolButton* verticalButtons[3] = {};   // top, center, bottom
    QToolButton* borderButtons[4] = {};
    QComboBox* borderCombos[4] = {};
    QToolButton* borderColorButtons[4] = {};
    TXlsPaintBox* borderSwatches[4] = {};
    TXlsPaintBox *pbFontColor = nullptr, *pbFillBackground = nullptr, *pbFillForeground = nullptr;
    QToolButton *btnFillBackground = nullptr, *btnFillForeground = nullptr;
    QComboBox* cmbPattern = nullptr;
    QWidget* tshXLSAggregate = nullptr;
    QWidget *tshXLSFont = nullptr, *tshXLSBorders = nullptr, *tshXLSFill = nullptr;
    QGroupBox* rgXLSFunction = nullptr;
    QRadioButton* functionButtons[5] = {};
    TXlsPaintBox* pbXLSCell = nullptr;
    QPushButton *btnXLSResetItem = nullptr, *btnXLSResetAll = nullptr;
    QLineEdit *edXLSPageHeader = nullptr, *edXLSPageFooter = nullptr, *edXLSSheetTitle = nullptr;
    QCheckBox* chXLSAutoCalcColWidth = nullptr;
    QLineEdit* edXLSPageBackground = nullptr;
    QPushButton* bXLSPageBackground = nullptr;

private:
    QWidget* BuildDataFormatPage();
    QWidget* BuildAdvancedPage();
    QWidget* BuildFontPage();
    QWidget* BuildBordersPage();
    QWidget* BuildFillPage();
    QWidget* BuildAggregatePage();
    void Connect();
    void EditAndRefresh(TXlsFormatAttribute attribute, const std::function<void(TxlsFieldFormat&)>& change);
    void Changed();
    void RefreshEditor();
    void UpdateXlsStyleButtons();
    void ShowAdvanced();
    void SetFunctionChoice(std::optional<TxlsAggregate> value);

    TExportXLSOptions& options_;
    TExportDialogServices& services_;
    TExportXLSFormatLists lists_;
    TExportXLSExtensionsPage* extensions_ = nullptr;
    QVBoxLayout* sampleLayout_ = nullptr;
    int sampleIndex_ = 0;
    bool formatPagesInCells_ = false;
    int dataFormatPage_ = 0;
    int cellPage_ = 0;
    bool showing_ = false;
};

} // namespace exporter
