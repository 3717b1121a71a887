#pragma once

#include "browser/records/RecordRow.h"

#include <string>
#include <vector>

namespace browser {

// The CSV files of the record lists: one line per row, every field in double quotes.

// The file name the save dialog proposes: "dns.csv", "rev-dns.csv", "dhcp.csv".
std::string DefaultCsvFileName(RecordListKind list);
// The fields per line: DNS 5, REV-DNS 4, DHCP 7 (the caption and the shown sub-items).
int CsvColumnCount(RecordListKind list);

// One line without its end: the caption, then sub-items 0 .. columnCount - 2, each quoted; a
// sub-item the row lacks gives "missing data". A quote inside a field is doubled.
std::string CsvLine(const RecordRow& row, int columnCount);

// The whole file: every line ended by CR LF.
std::string CsvText(const std::vector<const RecordRow*>& rows, int columnCount);

// Writes the file (through a temporary file); raises ListFileError.
void WriteCsvFile(const std::string& path, const std::vector<const RecordRow*>& rows, int columnCount);

} // namespace browser
