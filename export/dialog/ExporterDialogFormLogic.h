#pragma once

// What the export dialog's window does, without the window: taking over the component's settings when
// the form is made, the type change (file extension, which pages show, the captions grid), the field
// choice, the user formats and the caption row. The window shows the state this works on and calls it
// from its handlers.

#include "export/dialog/ExporterDialogTypes.h"
#include "export/dialog/ExporterFormState.h"

#include <string>
#include <vector>

namespace exporter {

class TExporterDialog;

// The pages of the form's page control, in tab order.
enum class TExportFormPage {
    tshExportType,
    tshFields,
    tshFormats,
    tshHeaderFooter,
    tshCaptions,
    tshRTF,
    tshXML,
    tshSQL,
    tshHTML,
    tshXLS,
    tshASCII,
    tshPDF
};
constexpr int ExportFormPageCount = 12;

// The character a separator or quote text stands for: one character as itself, "#" and a code 0-255 as
// that code, "\t" or "tab" (any case) as a tab, the empty text as character 0 (none). Any other text
// cannot be one: false, ch unchanged.
bool SeparatorFromText(const std::string& text, char& ch);
// The message for a text that cannot be a separator or quote.
std::string SeparatorTextError(const std::string& text);

// The page's control name ("tshFields", ...).
const char* ExportFormPageName(TExportFormPage page);
// Whether the page's tab shows for the type with the component's common options.
bool IsPageVisible(TExportFormPage page, TAllowedExport type, const TCommonOptions& options);
// Whether the page belongs to the type (the common options not consulted): when the active page does
// not, the type change goes back to the export-type page.
bool IsPageOfType(TExportFormPage page, TAllowedExport type);

// The captions grid for a type: its columns (field name, caption, then align and/or width), their
// widths and the page's title.
struct TCaptionsGridLayout {
    int AlignColumn = -1;
    int WidthColumn = -1;
    std::vector<int> ColumnWidths;
    std::string Title;
    int ColumnCount() const { return int(ColumnWidths.size()); }
};
TCaptionsGridLayout CaptionsGridLayout(TAllowedExport type);
// The header texts of the grid's columns for the type ("Field name", "Caption", "Align"/"Width", ...).
std::vector<std::string> CaptionsGridHeader(TAllowedExport type);

// The texts of the align choices in their order: left, center, right.
std::vector<std::string> ColumnAlignChoices();
std::string ColumnAlignText(TExportColAlign align);

// The form's caption: "Export dialog", or with a file name "Export dialog -- Export to [name]".
std::string ExportDialogCaption(const std::string& fileName);

// The format samples the user-format combo offers for a column type.
std::vector<std::string> UserFormatSamples(TExportColType type);

// A Windows file filter ("Text (*.txt)|*.txt|All files (*.*)|*.*") in the form Qt's file dialogs take
// ("Text (*.txt);;All files (*)").
std::string QtFileFilter(const std::string& windowsFilter);

class TExportFormModel {
public:
    TExportFormModel(TExporterDialog& dialog, TExportFormState& state) : dialog_(dialog), state_(state) {}

    TExporterDialog& Dialog() const { return dialog_; }
    TExportFormState& State() const { return state_; }

    // Takes over the component's settings: the field, user-format and caption lists, the formats,
    // header and footer, the general settings, the offered types (the first is chosen), the caption
    // settings and the copies of the option objects the type pages edit. Then runs the type change.
    void InitializeState();
    // The field, user-format and caption lists from the component's columns.
    void FillLists();

    // The type change: the file's extension (AutoChangeFileExt), which pages show, the captions grid.
    // A type that is not offered changes nothing; returns whether the type is now the chosen one.
    bool ChangeType(TAllowedExport type);
    // The captions grid's rows take the layout of the current type with the columns' align and width.
    void UpdateCaptionsGrid();
    bool PageVisible(TExportFormPage page) const;
    // The start button is enabled with a file name, or for the clipboard.
    bool StartEnabled() const;
    // The save dialog's filter and default extension of the current type (Windows form; empty for the
    // clipboard).
    std::string SaveFilter() const;

    // --- field choice ---
    // The selected available field goes to the end of the exported list; returns its new index (-1
    // when there is no such item).
    int AddExportedField(int availableIndex);
    // Every available field goes in front of the exported ones, in available order.
    void AddAllExportedFields();
    // The exported field goes back to the available list at its source position; returns its new index.
    int DeleteExportedField(int exportedIndex);
    void DeleteAllExportedFields();
    // Moves an exported item within the exported list; returns its new index.
    int MoveExportedField(int from, int target);
    // Drag and drop. On the exported list: the dragged item (of either list) goes to its end. On the
    // available list: an exported item goes back to its source position; an available item dropped on
    // another one takes that one's place (after it when dropped below). Return the new index (-1: none).
    int DropOnExported(bool fromExported, int index);
    int DropAvailableOnAvailable(int from, int target);
    // Where an item with that column index goes back into the available list to keep source order.
    int AvailableInsertIndex(int columnIndex) const;

    // --- user formats ---
    // Replaces the field's user format (one row per field); returns the row's index, -1 for an empty
    // text or field.
    int AddUserFormat(const std::string& fieldName, const std::string& format);
    void DeleteUserFormat(int index);
    void ClearUserFormats();

    // --- records and captions ---
    // A strict integer text sets the count; any other text changes nothing. Returns whether it was taken.
    bool SetExportRecCountText(const std::string& text);
    bool SetSkipRecCountText(const std::string& text);
    // A caption row text that is not an integer keeps the old one; then the captions come from the
    // source grid.
    void SetCaptionRowText(const std::string& text);
    // The caption cells from the component's string grid's caption row (rows naming a grid column).
    void ReadCaptionsFromGrid();
    // The caption row controls show only for a string-grid source.
    bool CaptionRowVisible() const;

private:
    TExporterDialog& dialog_;
    TExportFormState& state_;
};

} // namespace exporter
