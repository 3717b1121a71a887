#pragma once

// The benchmark sheet of the workbook writer: rows of ten columns (three texts with about half of
// their values repeated, integers, floats, a date and a date-time), the same data the peer script
// writes with python3-xlwt.

#include "export/core/ExporterMemorySources.h"
#include "export/xls/ExporterXLS.h"

#include <string>

namespace xlsbench {

// The columns and rows of the benchmark sheet.
void FillBenchSheet(exporter::TMemoryDataSet& data, int rows);

// Points the exporter at the data: as its own sheet when sheets is 1, else as that many sheets.
void UseSheets(exporter::TExporterXLS& xls, exporter::TMemoryDataSet& data, int sheets);

// Returns freed memory to the system and forgets the process's peak memory so far (the kernel's
// high-water mark), so that a later PeakMiB() measures from now on; false where the kernel does not
// allow it.
bool ResetPeakMemory();
// The process's resident memory now and at its peak, in MiB (0 when unknown).
double ResidentMiB();
double PeakMiB();

} // namespace xlsbench
