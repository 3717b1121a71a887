#pragma once

// The export types and common pages the dialog offers, and the per-type facts its form and run share.

#include <set>
#include <string>

namespace exporter {

enum class TAllowedExport {
    aeXLS,
    aeWord,
    aeRTF,
    aeHTML,
    aeXML,
    aeDBF,
    aePDF,
    aeTXT,
    aeCSV,
    aeDIFF,
    aeSylk,
    aeLaTeX,
    aeSQL,
    aeClipboard
};
using TAllowedExports = std::set<TAllowedExport>;
constexpr int AllowedExportCount = 14;

// The general pages the form may show: options, fields, formats, header and footer, captions.
enum class TCommonOption { coOptions, coFields, coFormats, coColons, coCaptions };
using TCommonOptions = std::set<TCommonOption>;

TAllowedExports AllAllowedExports();
TCommonOptions AllCommonOptions();

// The default extension of a type without its dot ("xls", ...; empty for the clipboard).
std::string ExportTypeExtension(TAllowedExport type);
// The string ids of the type's name (34052 ...) and save filter (34000 ...; 0 for the clipboard).
int ExportTypeNameId(TAllowedExport type);
int ExportTypeFilterId(TAllowedExport type);

// The name with its last extension replaced by "." + extension (appended when it has none); a dot in a
// folder name is not an extension.
std::string ReplaceFileExtension(const std::string& fileName, const std::string& extension);

// What the captions grid holds after the caption for a type: an align column (HTML, Word, RTF, PDF, text)
// and a width column (workbook, Word, RTF, PDF, text); -1 when the type has none.
int CaptionAlignColumn(TAllowedExport type);
int CaptionWidthColumn(TAllowedExport type);

} // namespace exporter
