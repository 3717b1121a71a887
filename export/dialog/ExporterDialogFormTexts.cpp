#include "export/dialog/ExporterDialogFormTexts.h"

#include "export/core/ExporterLocale.h"

namespace exporter {

const std::vector<TFormText>& ExportDialogFormTexts() {
    using K = TFormTextKind;
    static const std::vector<TFormText> texts = {
        // File panel and buttons.
        {"laFileName", 34045, K::Text},
        {"bBrowse", 34046, K::Text},
        {"chShowFile", 34047, K::Text},
        {"chPrintFile", 34048, K::Text},
        {"bTools", 34076, K::Text},
        {"miSaveOptions", 34077, K::Text},
        {"miLoadOptions", 34078, K::Text},
        {"bStart", 34079, K::Text},
        {"bCancel", 34080, K::Text},
        // Export type and options.
        {"tshExportType", 34049, K::Tab},
        {"tshExportFormats", 34050, K::Tab},
        {"rgExportType", 34051, K::Title},
        {"tshExportOptions", 34067, K::Tab},
        {"gbExportConstraints", 34068, K::Title},
        {"laSkipRecCount_01", 34069, K::Text},
        {"laSkipRecCount_02", 34070, K::Text},
        {"chGoToFirstRecord", 34071, K::Text},
        {"rbExportAllRecords", 34072, K::Text},
        {"rbExportOnly", 34073, K::Text},
        {"laExportRecCount_02", 34070, K::Text},
        {"chCurrentRecordOnly", 34074, K::Text},
        {"chExportEmpty", 34075, K::Text},
        // Fields.
        {"tshFields", 34081, K::Tab},
        {"laAvailableFields", 34082, K::Text},
        {"laExportedFields", 34083, K::Text},
        {"bAddOneExportedField", 34084, K::Hint},
        {"bAddAllExportedField", 34085, K::Hint},
        {"bDelOneExportedField", 34086, K::Hint},
        {"bDelAllExportedField", 34087, K::Hint},
        // Formats.
        {"tshFormats", 34088, K::Tab},
        {"gbStandardFormats", 34089, K::Title},
        {"laIntegerFormat", 34090, K::Text},
        {"laFloatFormat", 34091, K::Text},
        {"laDateFormat", 34092, K::Text},
        {"laTimeFormat", 34093, K::Text},
        {"laDateTimeFormat", 34094, K::Text},
        {"laCurrencyFormat", 34095, K::Text},
        {"laBooleanTrue", 34096, K::Text},
        {"laBooleanFalse", 34097, K::Text},
        {"laNullString", 34098, K::Text},
        {"gbUserFormat", 34099, K::Title},
        {"bAddUserFormat", 34100, K::Text},
        {"bEditUserFormat", 34101, K::Text},
        {"bDeleteUserFormat", 34102, K::Text},
        {"bClearUserFormats", 34103, K::Text},
        // Header and footer, captions.
        {"tshHeaderFooter", 34104, K::Tab},
        {"laHeader", 34105, K::Text},
        {"laFooter", 34106, K::Text},
        {"tshCaptions", 34107, K::Tab},
        {"chAllowCaptions", 34108, K::Text},
        {"laCaptionRow", 34116, K::Text},
        // XML, SQL, ASCII and PDF pages.
        {"tshXML", 34441, K::Tab},
        {"chXMLStandalone", 34442, K::Text},
        {"laXMLEncoding", 34443, K::Text},
        {"tshSQL", 34444, K::Tab},
        {"laSQLTableName", 34445, K::Text},
        {"chSQLCreateTable", 34446, K::Text},
        {"laSQLCommitRecCount_01", 34447, K::Text},
        {"laSQLCommitRecCount_02", 34070, K::Text},
        {"chSQLCommitAfterScript", 34448, K::Text},
        {"laSQLCommitStatement", 34449, K::Text},
        {"laSQLNullString", 34450, K::Text},
        {"laSQLStatementTerm", 34451, K::Text},
        {"tshASCII", 34452, K::Tab},
        {"chTXTAutoCalcColWidth", 34453, K::Text},
        {"laTXTSpacing", 34454, K::Text},
        {"chCSVQuoteStrings", 34455, K::Text},
        {"laCSVComma", 34456, K::Text},
        {"laCSVQuote", 34457, K::Text},
        {"tshPDF", 34458, K::Tab},
        {"tshPDFGridOptions", 34459, K::Tab},
        {"tshPDFPageOptions", 34460, K::Tab},
        {"laPDFColSpacing", 34461, K::Text},
        {"laPDFRowSpacing", 34462, K::Text},
        {"laPDFGridLineWidth", 34463, K::Text},
        {"laPDFFontName", 34464, K::Text},
        {"laPDFFontEncoding", 34465, K::Text},
        {"laPDFFontSize", 34466, K::Text},
        {"sbPDFFontColor", 34467, K::Text},
        {"paPDFSample", 34468, K::Text},
        {"laPDFPageFormat", 34469, K::Text},
        {"laPDFPageUnits", 34470, K::Text},
        {"laPDFPageOrientation", 34471, K::Text},
        {"gbPDFMargins", 34472, K::Title},
    };
    return texts;
}

} // namespace exporter
