#include "export/dialog/ExporterDialogTypes.h"

namespace exporter {

TAllowedExports AllAllowedExports() {
    TAllowedExports all;
    for (int i = 0; i < AllowedExportCount; ++i)
        all.insert(TAllowedExport(i));
    return all;
}

TCommonOptions AllCommonOptions() {
    return {TCommonOption::coOptions, TCommonOption::coFields, TCommonOption::coFormats,
            TCommonOption::coColons, TCommonOption::coCaptions};
}

namespace {
struct TypeFacts {
    int nameId;
    int filterId;
    const char* extension;
};
constexpr TypeFacts typeFacts[AllowedExportCount] = {
    {34052, 34000, "xls"}, {34054, 34002, "doc"}, {34055, 34003, "rtf"}, {34056, 34004, "html"},
    {34059, 34007, "xml"}, {34060, 34013, "dbf"}, {34057, 34005, "pdf"}, {34058, 34006, "txt"},
    {34061, 34008, "csv"}, {34062, 34009, "dif"}, {34063, 34010, "slk"}, {34064, 34011, "tex"},
    {34065, 34012, "sql"}, {34066, 0, ""}};
} // namespace

std::string ExportTypeExtension(TAllowedExport type) {
    return typeFacts[int(type)].extension;
}

int ExportTypeNameId(TAllowedExport type) {
    return typeFacts[int(type)].nameId;
}

int ExportTypeFilterId(TAllowedExport type) {
    return typeFacts[int(type)].filterId;
}

std::string ReplaceFileExtension(const std::string& fileName, const std::string& extension) {
    const auto slash = fileName.find_last_of("/\\");
    const auto dot = fileName.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? fileName.substr(0, dot) : fileName) + "." + extension;
}

int CaptionAlignColumn(TAllowedExport type) {
    switch (type) {
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
    case TAllowedExport::aePDF:
    case TAllowedExport::aeTXT:
    case TAllowedExport::aeHTML:
        return 2;
    default:
        return -1;
    }
}

int CaptionWidthColumn(TAllowedExport type) {
    switch (type) {
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
    case TAllowedExport::aePDF:
    case TAllowedExport::aeTXT:
        return 3;
    case TAllowedExport::aeXLS:
        return 2;
    default:
        return -1;
    }
}

} // namespace exporter
