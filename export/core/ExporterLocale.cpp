#include "export/core/ExporterLocale.h"

#include <map>

namespace exporter {

namespace {

// The built-in English texts. File filters are in the Windows form ("Name (*.ext)|*.ext"); the dialog
// turns them into Qt filters.
const std::map<int, std::string>& BuiltInTable() {
    static const std::map<int, std::string> table = {
        {34000, "MS Excel files (*.xls)|*.xls"},
        {34001, "MS Access files (*.mdb)|*.mdb"},
        {34002, "MS Word files (*.doc)|*.doc"},
        {34003, "RTF files (*.rtf)|*.rtf"},
        {34004, "HTML files (*.html)|*.html"},
        {34005, "PDF files (*.pdf)|*.pdf"},
        {34006, "Text files (*.txt)|*.txt"},
        {34007, "XML files (*.xml)|*.xml"},
        {34008, "CSV files (*.csv)|*.csv"},
        {34009, "DIF files (*.dif)|*.dif"},
        {34010, "SYLK files (*.slk)|*.slk"},
        {34011, "LaTeX files (*.tex)|*.tex"},
        {34012, "SQL files (*.sql)|*.sql"},
        {34013, "dBase files (*.dbf)|*.dbf"},
        {34014, "Export source (%s) is not assigned"},
        {34015, "Sheet %s define with error: %s"},
        {34016, "Export source (%s) is closed"},
        {34017, "Export source (%s) is empty"},
        {34018, "Property Allowed cannot be empty"},
        {34019, "Are you sure?"},
        {34020, "Do you want to abort export?"},
        {34021, "New format value"},
        {34022, "Enter Value:"},
        {34023, "Result file name not present"},
        {34025, "Directory \"%s\" not found and cannot be created"},
        {34040, "Export dialog"},
        {34041, "Export dialog -- Export to [%s]"},
        {34045, "Destination file"},
        {34046, "Select..."},
        {34047, "Open file after export"},
        {34048, "Print file after export"},
        {34049, "Export &Type"},
        {34050, " &Formats"},
        {34051, " Export to "},
        {34052, "MS Excel"},
        {34053, "MS Access"},
        {34054, "MS Word"},
        {34055, "RTF"},
        {34056, "HTML"},
        {34057, "PDF"},
        {34058, "Text File"},
        {34059, "XML"},
        {34060, "DBF"},
        {34061, "CSV File"},
        {34062, "DIF File"},
        {34063, "SYLK File"},
        {34064, "LaTeX"},
        {34065, "SQL"},
        {34066, "Windows Clipboard"},
        // The dialog form's general pages.
        {34067, "&Options"},
        {34068, " Constraints "},
        {34069, "Skip"},
        {34070, "record(s)"},
        {34071, "Go to first record"},
        {34072, "Export all records"},
        {34073, "Export only"},
        {34074, "Export current record only"},
        {34075, "Export empty records"},
        {34076, "Tools"},
        {34077, "Save Export Options..."},
        {34078, "Load Export Options..."},
        {34079, "&Start Export"},
        {34080, "&Close"},
        {34081, "F&ields"},
        {34082, "Available fields"},
        {34083, "Exported fields"},
        {34084, "Add the selected field"},
        {34085, "Add all fields"},
        {34086, "Remove the selected field"},
        {34087, "Remove all fields"},
        {34088, "&Formats"},
        {34089, " Standard formats "},
        {34090, "Integer"},
        {34091, "Float"},
        {34092, "Date"},
        {34093, "Time"},
        {34094, "DateTime"},
        {34095, "Currency"},
        {34096, "Boolean True"},
        {34097, "Boolean False"},
        {34098, "Null string"},
        {34099, " User formats "},
        {34100, "Add"},
        {34101, "Edit"},
        {34102, "Delete"},
        {34103, "Clear"},
        {34104, "Hea&der && Footer"},
        {34105, "Header"},
        {34106, "Footer"},
        {34107, "&Captions"},
        {34108, "Allow captions"},
        {34109, "Field name"},
        {34110, "Caption"},
        {34111, "Width"},
        {34112, "Align"},
        {34113, "Left"},
        {34114, "Right"},
        {34115, "Center"},
        {34116, "Caption row"},
        {34149, "Reset item"},
        {34150, "Reset selected"},
        {34152, "Attention!"},
        {34153, "All field formats will be reset the default values.\n\rAre you sure?"},
        {34154, "HEADER"},
        {34155, "CAPTION"},
        {34156, "DATA"},
        {34157, "FOOTER"},
        {34158, "ITEM_"},
        {34243, "HEADER"},
        {34244, "CAPTION"},
        {34246, "AGGREGATE"},
        {34247, "FOOTER"},
        {34248, "HYPERLINK"},
        {34252, "ITEM_"},
        {34293, "Hyperlinks"},
        {34296, "Hyperlink"},
        {34305, "Notes"},
        {34308, "Note"},
        {34349, "Charts"},
        {34352, "Chart"},
        {34403, "Series"},
        {34413, "Cells"},
        {34416, "Cell(Col: %d Row: %d)"},
        {34428, "Merged Cells"},
        {34431, "Merged Cells"},
        // The dialog form's XML, SQL, ASCII and PDF pages.
        {34441, "XML Options"},
        {34442, "Standalone"},
        {34443, "Encoding"},
        {34444, "&SQL Options"},
        {34445, "Table name"},
        {34446, "Add \"Create Table\" statement"},
        {34447, "Commit after"},
        {34448, "Commit after script"},
        {34449, "Commit statement"},
        {34450, "Export null values as"},
        {34451, "Statement term"},
        {34452, "ASCII Options"},
        {34453, "Calculate column width"},
        {34454, "Spacing"},
        {34455, "Quote strings"},
        {34456, "Comma"},
        {34457, "Quote"},
        {34458, "PDF Options"},
        {34459, "Grid Options"},
        {34460, "Page Options"},
        {34461, "Col Spacing"},
        {34462, "Row Spacing"},
        {34463, "Grid Line Width"},
        {34464, "Font Name"},
        {34465, "Font Encoding"},
        {34466, "Font Size"},
        {34467, "Font Color"},
        {34468, "Sample"},
        {34469, "Page Size"},
        {34470, "Units"},
        {34471, "Orientation"},
        {34472, "Margins"},
        {34473, "Letter"},
        {34474, "Legal"},
        {34475, "A3"},
        {34476, "A4"},
        {34477, "A5"},
        {34478, "B5(JIS)"},
        {34479, "US Std Fanfold"},
        {34480, "Fanfold"},
        {34481, "User"},
        {34482, "Inches"},
        {34483, "Millimeters"},
        {34484, "Dots"},
        {34485, "Portrait"},
        {34486, "Landscape"},
        {34487, "Header Font"},
        {34488, "Caption Font"},
        {34489, "Data Font"},
        {34490, "Footer Font"},
        {34491, "Exporting..."},
        {34492, "Status"},
        {34493, "Time"},
        {34494, "Speed"},
        {34495, "Preparing..."},
        {34496, "Skipping..."},
        {34497, "Skipped"},
        {34498, "Exporting..."},
        {34499, "Exported"},
        {34500, "Fetching..."},
        {34501, "Fetched"},
        {34502, "Pause"},
        {34503, "Cancel"},
        {34504, "OK"},
        {34505, "Aborted"},
        {34506, "Finished"},
        {34507, "%d rows/sec"},
        {34508, "h:nn:ss"},
    };
    return table;
}

std::string Lookup(const std::map<int, std::string>& table, int id) {
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

} // namespace

std::string TExportLocale::LoadStr(int id) const {
    if (OnLocalize) {
        std::string text;
        OnLocalize(id, text);
        if (!text.empty())
            return text;
    }
    return UseResourceModule ? Lookup(resourceStrings_, id) : ExportBuiltInString(id);
}

TExportLocale& ExportLocale() {
    static TExportLocale locale;
    return locale;
}

std::string ExportLoadStr(int id) {
    return ExportLocale().LoadStr(id);
}

std::string ExportBuiltInString(int id) {
    return Lookup(BuiltInTable(), id);
}

} // namespace exporter
