#pragma once

// The dialog's options file: the form's state saved to an INI file and read back. Each call opens the
// file, works and closes it; a save first erases every section, so the file holds only what it wrote.
// Loading never changes the component: its values are the defaults of what the file lacks.
//
// Sections, in the order written: GENERAL; FORMATS and USER_FORMATS (formats page visible); FIELDS;
// HEADER and FOOTER (header/footer page visible); CAPTIONS, ALIGN, WIDTH (captions page visible, ALIGN
// and WIDTH as the type's grid has those columns); then the chosen type's own sections (XLS with its
// XLS_FIELD_, XLS_OPTION_, XLS_STYLE_ items; RTF with RTF_STYLE_ and RTF_STRIP_STYLE_; HTML; PDF with
// PDF_OPTION_ fonts; XML; SQL; TXT; CSV).

#include "export/dialog/ExporterFormState.h"

#include <functional>
#include <string>

namespace ini {
class IniFile;
}

namespace exporter {

class TExporterDialog;

// Reads the list of the file's sections and erases each one.
void EraseAllIniSections(ini::IniFile& ini);
// True when the section holds at least one key.
bool IniSectionExists(const ini::IniFile& ini, const std::string& section);
// True when the key is one of the section's keys.
bool IniValueExists(const ini::IniFile& ini, const std::string& section, const std::string& key);

class TExportOptionsFile {
public:
    // The form's type change, run when a loaded file selects another type (the form refreshes its pages
    // and captions grid for it).
    using TTypeChange = std::function<void(TExportFormState& state)>;

    explicit TExportOptionsFile(const TExporterDialog& dialog) : dialog_(dialog) {}

    // Writes the state to the file; throws ini::EIniFileError when the file cannot be written.
    void SaveExportOptions(const std::string& fileName, const TExportFormState& state) const;
    // Reads the file into the state; a missing file gives every default.
    void LoadExportOptions(const std::string& fileName, TExportFormState& state) const;

    TTypeChange OnTypeChange;

private:
    void SaveXLS(ini::IniFile& ini, const TExportFormState& s) const;
    void SaveRTF(ini::IniFile& ini, const TExportFormState& s) const;
    void SaveHTML(ini::IniFile& ini, const TExportFormState& s) const;
    void SavePDF(ini::IniFile& ini, const TExportFormState& s) const;
    void LoadGeneral(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadFields(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadCaptions(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadXLS(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadRTF(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadHTML(const ini::IniFile& ini, TExportFormState& s) const;
    void LoadPDF(const ini::IniFile& ini, TExportFormState& s) const;

    const TExporterDialog& dialog_;
};

// The captions of the workbook's option items (HEADER, CAPTION, AGGREGATE, FOOTER, HYPERLINK) and of the
// RTF base styles (HEADER, CAPTION, DATA, FOOTER), from the string table.
std::string XLSOptionItemCaption(int item);
std::string RTFBaseStyleCaption(int item);

} // namespace exporter
