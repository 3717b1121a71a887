#pragma once

// The export benchmark's data set: ids, names with quotes and commas, cities with accents, integers,
// floats, a currency, a date, a time, a date-time and a Boolean, the same rows that
// scripts/compare-csv-python.sh builds for Python's csv module and sqlite3.

#include "export/core/ExporterMemorySources.h"

namespace exportbench {

// The columns and the given number of rows.
void FillExportBenchData(exporter::TMemoryDataSet& data, int rows);

} // namespace exportbench
