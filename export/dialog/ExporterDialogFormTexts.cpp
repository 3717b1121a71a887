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
        // The type pages' tabs (their controls follow ExportDialogPageTextIds).
        {"tshRTF", 34117, K::Tab},
        {"tshHTML", 34159, K::Tab},
        {"tshXLS", 34201, K::Tab},
    };
    return texts;
}

const std::vector<int>& ExportDialogPageTextIds(const std::string& page) {
    static const std::vector<int> rtf = {34118, 34119, 34120, 34121, 34122, 34123, 34124, 34125,
                                         34126, 34127, 34128, 34129, 34130, 34131, 34132, 34133,
                                         34134, 34135, 34136, 34137, 34138, 34139, 34140, 34141,
                                         34142, 34143, 34144, 34145, 34146, 34147, 34151};
    static const std::vector<int> html = {
        34160, 34161, 34162, 34163, 34164, 34165, 34166, 34167, 34168, 34169, 34170, 34171, 34172,
        34173, 34174, 34175, 34176, 34177, 34178, 34179, 34180, 34181, 34182, 34183, 34184, 34185,
        34186, 34187, 34188, 34189, 34190, 34191, 34192, 34193, 34194, 34195, 34196, 34197};
    static const std::vector<int> xls = {
        34202, 34203, 34204, 34205, 34206, 34207, 34208, 34209, 34210, 34211, 34212, 34213, 34214, 34215,
        34216, 34217, 34218, 34219, 34220, 34221, 34222, 34223, 34224, 34225, 34226, 34227, 34228, 34229,
        34230, 34231, 34232, 34233, 34234, 34235, 34236, 34237, 34238, 34239, 34240, 34241, 34242, 34249,
        34250, 34251, 34253, 34254, 34255, 34256, 34257, 34258, 34259, 34260, 34261, 34262, 34263, 34264,
        34265, 34266, 34267, 34268, 34269, 34270, 34271, 34272, 34273, 34274, 34275, 34276, 34277, 34278,
        34279, 34280, 34281, 34282, 34283, 34284, 34285, 34286, 34287, 34288, 34289, 34290, 34291, 34292,
        34294, 34295, 34297, 34298, 34299, 34300, 34301, 34302, 34303, 34304, 34306, 34307, 34309, 34310,
        34311, 34312, 34313, 34314, 34315, 34316, 34317, 34318, 34319, 34320, 34321, 34322, 34323, 34324,
        34325, 34326, 34327, 34328, 34329, 34330, 34331, 34332, 34333, 34334, 34335, 34336, 34337, 34338,
        34339, 34340, 34341, 34342, 34343, 34344, 34345, 34346, 34347, 34348, 34350, 34351, 34353, 34354,
        34355, 34356, 34357, 34149, 34151};
    // The margin and page size labels.
    static const std::vector<int> pdf = {34473, 34474, 34475, 34476, 34477, 34478};
    static const std::vector<int> none;
    return page == "tshRTF"    ? rtf
           : page == "tshHTML" ? html
           : page == "tshXLS"  ? xls
           : page == "tshPDF"  ? pdf
                               : none;
}

} // namespace exporter
