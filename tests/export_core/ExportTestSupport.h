#pragma once

#include "export/core/Exporter.h"
#include "export/core/ExporterMemorySources.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace exporter::test {

// A scratch directory removed at the end of the test.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("export_core_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary);
    out << text;
}

// A subclass with its own last say on every cell (it appends the mark): its cells must take the general
// way, the one that asks GetColData.
template <class Exporter, char Mark = '!'> class MarkedCells : public Exporter {
protected:
    void GetColData(const TExportCol& col, std::string& text) override {
        Exporter::GetColData(col, text);
        text += Mark;
    }
};

// One row of a Boolean, a text and an integer cell ("Flag", "Text", "Count"): one cell of each kind the
// one-pass rows tell apart.
inline void FillFlagTextCount(TMemoryDataSet& ds, const std::string& flag) {
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddField({"Text", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddRow({flag, "a", "7"});
}

// Has the exporter's escaping set by a handler at the start of the export: each text in parentheses.
inline void EscapeInParenthesesOnBegin(TExporter& ex) {
    ex.OnBeginExport = [](TExporter& sender) {
        sender.Columns.SetEscape([](const std::string& s) { return "(" + s + ")"; });
    };
}

// Runs a shell command, returning its standard output and setting status.
std::string RunCommand(const std::string& command, int& status);

// Whether the shell finds the command.
bool HasCommand(const std::string& command);

// The right edge of the rightmost word pdftotext finds in the PDF beside the LaTeX file, and the page's
// width (points).
std::pair<double, double> RightmostWordAndPageWidth(const std::string& texFile);

// The fields Name (string 10), Count (integer), Price (float) and rows
// ("alpha", 1, 1.5) ... as given.
inline void FillDataSet(TMemoryDataSet& ds, int rows) {
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Price", TFieldType::ftFloat});
    for (int i = 1; i <= rows; ++i)
        ds.AddRow({"row" + std::to_string(i), std::to_string(i), std::to_string(i) + ".5"});
}

// Records every step of the loop and writes each data row as one line (unformatted cells joined by "|").
// A clipboard that keeps the text it is given.
class FakeClipboard : public TExportClipboard {
public:
    void SetText(const std::string& utf8) override { text = utf8; }
    std::string text;
};

class RecordingExporter : public TExporter {
public:
    std::vector<std::string> Steps;
    std::vector<std::string> Rows;

    using TExporter::Aborted;

protected:
    void BeginExport() override {
        Steps.push_back("BeginExport");
        TExporter::BeginExport();
    }
    void BeforeExport() override { Steps.push_back("BeforeExport"); }
    void AfterExport() override { Steps.push_back("AfterExport"); }
    void EndExport() override {
        Steps.push_back("EndExport");
        TExporter::EndExport();
    }
    void WriteCaptionRow() override { Steps.push_back("WriteCaptionRow"); }
    void WriteDataRow() override {
        std::string line;
        for (int i = 0; i < ExportRow.Count(); ++i)
            line += (i ? "|" : "") + ExportRow[i].GetText(false);
        Rows.push_back(line);
        Writer().WriteLn(line);
    }
};

} // namespace exporter::test
