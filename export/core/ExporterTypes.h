#pragma once

#include <stdexcept>
#include <string>

namespace exporter {

// The value type of an exported column.
enum class TExportColType {
    ectInteger,
    ectBigint,
    ectFloat,
    ectCurrency,
    ectDate,
    ectTime,
    ectDateTime,
    ectString,
    ectBoolean,
    ectUnknown
};

enum class TExportColAlign { ecaLeft, ecaCenter, ecaRight };

// The kind of object an export reads its rows from.
enum class TExportSource { esDataSet, esListView, esDBGrid, esStringGrid, esCustom };

// Every error the export library raises; the text comes from the library's string table.
class EExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "DataSet", "ListView", "DBGrid", "StringGrid", "CustomSource"; empty for anything else.
std::string ExportSourceName(TExportSource source);
// "Integer" (also for ectBigint), "Float", "Currency", "Date", "Time", "DateTime", "String", "Boolean",
// "Unknown".
std::string ExportColTypeName(TExportColType type);

inline int IntMin(int a, int b) {
    return a < b ? a : b;
}
inline int IntMax(int a, int b) {
    return a > b ? a : b;
}

// Number of characters of a UTF-8 text as it is written: a well-formed character counts once, and so does
// each byte of a malformed sequence, which becomes one U+FFFD.
int ExportTextLength(const std::string& text);

} // namespace exporter

namespace exporter {

// Colours are 32-bit values with red in the low byte, then green and blue.
using TExportColor = unsigned int;

// The font of a cell, as handed to OnGetCellParams by the exporters that draw cells (HTML, PDF).
struct TExportFont {
    std::string Name = "Arial";
    int Size = 10;
    TExportColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

// How the writer stores the UTF-8 texts it is given: as they are, or as Windows-1252 bytes (characters
// outside that code page become "?"), for formats that can carry only a single-byte code page.
enum class TExportTextEncoding { Utf8, Windows1252 };

} // namespace exporter
