#pragma once

// The benchmark sheet of the workbook writer: rows of ten columns (three texts with about half of
// their values repeated, integers, floats, a date and a date-time), the same data the peer script
// writes with python3-xlwt.

#include "export/core/ExporterMemorySources.h"

namespace xlsbench {

// The columns and rows of the benchmark sheet.
void FillBenchSheet(exporter::TMemoryDataSet& data, int rows);

} // namespace xlsbench
