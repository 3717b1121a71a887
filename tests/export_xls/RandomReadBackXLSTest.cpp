// Seeded random data sets (tests/export_core/RandomDataSets.h) written by the workbook exporter and read
// back by xlrd in one run over all the workbooks: texts whole (UTF-16 holds every character), numbers as
// the same double, dates from 1/1/1900 on as date cells of their day (serials 1 to 59 before 3/1/1900,
// which xlrd refuses to turn into days) and earlier ones, 12/30/1899 among them, as text.

#include "export/xls/ExporterXLS.h"
#include "tests/export_core/RandomDataSets.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

using namespace exporter;
using exporter::test::Hex;
using exporter::test::TRandomRow;

TEST(RandomReadBackXLS, WorkbooksThroughXlrd) {
    const std::uint64_t seed = test::RandomSeed();
    SCOPED_TRACE(test::SeedTrace(seed));
    if (!testutil::PythonHasModule("xlrd"))
        GTEST_SKIP() << "python3-xlrd is not installed";
    test::TRandomData data(seed);
    test::TRandomPools pools;
    testutil::TempDir dir;
    std::vector<std::vector<TRandomRow>> sets;
    for (int i = 0; i < 60; ++i) {
        const std::vector<TRandomRow> rows = data.Rows(pools, 4);
        TMemoryDataSet ds;
        test::FillRandomDataSet(ds, rows, true);
        TExporterXLS xls;
        xls.DataSet = &ds;
        char name[32];
        std::snprintf(name, sizeof name, "set%03d.xls", i);
        xls.FileName = (dir.path() / name).string();
        xls.Execute();
        sets.push_back(rows);
    }
    const testutil::PythonResult result = testutil::RunPython(R"(
import glob, os, sys, xlrd
for i, name in enumerate(sorted(glob.glob(os.path.join(sys.argv[1], 'set*.xls')))):
    sheet = xlrd.open_workbook(name).sheet_by_index(0)
    for r in range(1, sheet.nrows):
        a, b, f, d = (sheet.cell(r, c) for c in range(1, 5))
        if d.ctype != 3:
            day = 'text:' + d.value
        elif d.value < 61: # xlrd takes no day before 3/1/1900 (the 1900 leap-year fault)
            day = 'serial:%g' % d.value
        else:
            day = '%04d-%02d-%02d' % xlrd.xldate_as_tuple(d.value, 0)[:3]
        print(i, r - 1, a.value.encode().hex() or '-', b.value.encode().hex() or '-', f.ctype, f.value.hex(), day)
)",
                                                              dir.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.output.substr(
        result.output.size() > 2000 ? result.output.size() - 2000 : 0);
    std::map<std::pair<int, int>, std::vector<std::string>> read;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        int set = -1, row = -1;
        words >> set >> row;
        for (std::string word; words >> word;)
            read[{set, row}].push_back(word == "-" ? std::string() : word);
    }
    size_t rows = 0;
    for (size_t s = 0; s < sets.size(); ++s)
        for (size_t r = 0; r < sets[s].size(); ++r, ++rows) {
            const TRandomRow& row = sets[s][r];
            const auto found = read.find({int(s), int(r)});
            ASSERT_NE(found, read.end()) << "set " << s << " row " << r;
            const std::vector<std::string>& v = found->second;
            ASSERT_EQ(v.size(), 5u) << "set " << s << " row " << r;
            EXPECT_EQ(v[0], Hex(test::StoredText(row.A)))
                << "set " << s << " row " << r << " A: " << Hex(row.A);
            EXPECT_EQ(v[1], Hex(test::StoredText(row.B)))
                << "set " << s << " row " << r << " B: " << Hex(row.B);
            EXPECT_EQ(v[2], "2") << "set " << s << " row " << r << ": a number cell";
            EXPECT_EQ(std::strtod(v[3].c_str(), nullptr), row.F) // the double's hex digits
                << "set " << s << " row " << r << ": " << row.NumberText() << " read " << v[3];
            if (row.Year == 1900 && row.Month <= 2) {
                // Serials 1 to 59: the days from 12/31/1899.
                EXPECT_EQ(v[4], "serial:" + std::to_string(row.Day + (row.Month == 2 ? 31 : 0)))
                    << "set " << s << " row " << r;
            } else if (row.Year >= 1900) {
                char day[16];
                std::snprintf(day, sizeof day, "%04d-%02d-%02d", row.Year, row.Month, row.Day);
                EXPECT_EQ(v[4], day) << "set " << s << " row " << r;
            } else {
                EXPECT_EQ(v[4].rfind("text:", 0), 0u)
                    << "set " << s << " row " << r << ": " << row.DateText();
            }
        }
    EXPECT_EQ(read.size(), rows);
}

} // namespace
