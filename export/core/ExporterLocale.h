#pragma once

#include <functional>
#include <map>
#include <string>

namespace exporter {

// Ids of the library's string table (34000-34509) that the engine itself uses. The dialog, the progress
// window and the format exporters use further ids of the same table through ExportLoadStr.
enum ExportStringId : int {
    SExportFirstString = 34000,
    SSourceNotAssigned = 34014,    // "Export source (%s) is not assigned"
    SSheetDefineError = 34015,     // "Sheet %s define with error: %s"
    SSourceClosed = 34016,         // "Export source (%s) is closed"
    SSourceEmpty = 34017,          // "Export source (%s) is empty"
    SAllowedEmpty = 34018,         // "Property Allowed cannot be empty"
    SAreYouSure = 34019,           // "Are you sure?"
    SAbortExport = 34020,          // "Do you want to abort export?"
    SNewFormatValue = 34021,       // "New format value"
    SEnterValue = 34022,           // "Enter Value:"
    SResultFileNotPresent = 34023, // "Result file name not present"
    SDirectoryNotFound = 34025,    // Directory "%s" not found and cannot be created
    SExportLastString = 34509
};

// The texts of the library. LoadStr asks the localisation callback first; when it gives no text (or is not
// set), the text comes from the resource table: the locale's own table when UseResourceModule is on, else
// the built-in English table. An id without a text gives an empty text.
class TExportLocale {
public:
    using TLocalizeEvent = std::function<void(int id, std::string& text)>;

    std::string LoadStr(int id) const;

    // A host installs its translation here (called with an empty text; a non-empty result wins).
    TLocalizeEvent OnLocalize;
    // The locale's own "resource module": a table of id to text used instead of the built-in one.
    void SetResourceStrings(std::map<int, std::string> strings) { resourceStrings_ = std::move(strings); }
    bool UseResourceModule = false;

private:
    std::map<int, std::string> resourceStrings_;
};

// The one locale object of the library, created on first use.
TExportLocale& ExportLocale();
// ExportLocale().LoadStr(id).
std::string ExportLoadStr(int id);
// The built-in English text of id (empty when the table has none).
std::string ExportBuiltInString(int id);

} // namespace exporter
