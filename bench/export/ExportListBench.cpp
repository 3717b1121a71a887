// A record list exported through the export dialog against the same rows exported from a memory data set,
// for CSV, PDF and XLS: the list path runs as the window runs it, with the dialog's run, the engine's
// progress window (offscreen unless QT_QPA_PLATFORM says otherwise) and the browser's list source over the
// record model. It prints each path's best processor time of several runs taken in turns, and the ratio
// list / data set (the target is at most 1.5). "per-row, via QVariant" is the list path with a message to the
// progress window and a round of events after every row and every cell read through the model's data(),
// as the dialog and the engine's general list source do it.
//
// Rows: 100,000 for CSV and PDF, 60,000 for XLS (a sheet holds 65,536), or EXPORT_LIST_BENCH_ROWS for
// all three. EXPORT_LIST_BENCH_FORMATS picks formats by name ("CSV,XLS"), for a profile of one.
// EXPORT_BENCH_KEEP names a folder where the last files stay (list.<extension> and dataset.<extension>), to
// compare two builds byte for byte.
#include "browser/lists/RecordListExportSource.h"
#include "browser/lists/RecordListModel.h"
#include "export/core/ExporterASCII.h"
#include "export/core/ExporterMemorySources.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterQtSources.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogForm.h"
#include "export/xls/ExporterXLS.h"

#include <QApplication>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

using namespace exporter;

const char* const kHeaders[] = {"IP-address", "Name", "Rec Type", "Zone", "Info"};
const char* const kTypes[] = {"A", "AAAA", "CNAME", "MX", "TXT", "PTR"};
const char* const kInfos[] = {"web", "mail relay", "Zürich office", "printer, 2nd floor", "", "São Paulo"};

// The texts of one DNS list row: caption and the four shown sub-items (the object name stays hidden).
std::vector<std::string> RowTexts(int i) {
    const std::string name = "host" + std::to_string(i);
    const std::string zone = "zone" + std::to_string(i % 97) + ".example.com";
    return {"10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
                std::to_string(i % 256),
            name,
            kTypes[i % 6],
            zone,
            kInfos[i % 6],
            name + "." + zone + ".DNS.ACME"};
}

// The width in characters the engine gives each column of the list (from the view's pixels).
std::vector<int> ColumnChars(browser::RecordListModel& model, QTreeView& view) {
    browser::RecordListExportSource source(&model, &view);
    TExporterDialog dialog;
    dialog.ExportSource = TExportSource::esListView;
    dialog.ListView = &source;
    dialog.Columns.Fill(true);
    std::vector<int> widths;
    for (int i = 0; i < dialog.Columns.Count(); ++i)
        widths.push_back(dialog.Columns[i].Width);
    return widths;
}

// The rows as a record model and as a memory data set, each source's rows allocated together (as the
// scan threads fill a list batch by batch), so that neither reads rows scattered among the other's. The
// data set's fields are as wide as the list's columns: both paths write the same file.
struct Lists {
    explicit Lists(int rows) : model(QStringList(std::begin(kHeaders), std::end(kHeaders))) {
        view.setModel(&model);
        const std::vector<int> widths = ColumnChars(model, view);
        for (std::size_t i = 0; i < std::size(kHeaders); ++i) {
            TExportField field(kHeaders[i], TFieldType::ftString, 40);
            field.DisplayWidth = widths.at(i);
            data.AddField(field);
        }
        std::vector<browser::RecordRow> records;
        for (int i = 0; i < rows; ++i) {
            std::vector<std::string> texts = RowTexts(i);
            data.AddRow({texts[0], texts[1], texts[2], texts[3], texts[4]});
        }
        for (int i = 0; i < rows; ++i) {
            std::vector<std::string> texts = RowTexts(i);
            browser::RecordRow row;
            row.caption = texts[0];
            row.subItems.assign(texts.begin() + 1, texts.end());
            records.push_back(std::move(row));
        }
        model.appendRows(std::move(records));
    }
    TMemoryDataSet data;
    browser::RecordListModel model;
    QTreeView view;
};

class NoShell : public TExportShell {
public:
    void Open(const std::string&) override {}
    void Print(const std::string&) override {}
};

// The dialog's form as the window's form runs it: the start button at once, every available field, the
// file shown afterwards (code 9 closes the progress window). perRow: a row message after every row.
class BenchForm : public TExporterDialogF {
public:
    BenchForm(TExporterDialog& owner, TAllowedExport type, const std::string& file, bool perRow)
        : TExporterDialogF(owner), perRow_(perRow) {
        Shell = &shell_;
        for (int i = 0; i < owner.Columns.Count(); ++i) {
            state_.AvailableFields.push_back({owner.Columns[i].Name, i});
            state_.Captions.push_back({owner.Columns[i].Name, owner.Columns[i].Caption});
        }
        state_.ExportType = type;
        state_.FileName = file;
        state_.ShowFile = true;
    }
    int ShowModal() override {
        bStartClick();
        return 1;
    }
    TExportFormState& FormState() override { return state_; }

protected:
    double ProgressClock() const override {
        return perRow_ ? (tick_ += 1.0) : TExporterDialogF::ProgressClock();
    }

private:
    TExportFormState state_;
    NoShell shell_;
    bool perRow_;
    mutable double tick_ = 0;
};

std::string KeepOrTemp(const std::string& name) {
    if (const char* keep = std::getenv("EXPORT_BENCH_KEEP"); keep && *keep)
        return (std::filesystem::path(keep) / name).string();
    return (std::filesystem::temp_directory_path() /
            ("export_list_bench_" + std::to_string(::getpid()) + name))
        .string();
}

// Runs of each path, taken in turns: 15 (a busy machine seldom slows all of them), or
// EXPORT_LIST_BENCH_ROUNDS.
int Rounds() {
    const char* given = std::getenv("EXPORT_LIST_BENCH_ROUNDS");
    return given && std::atoi(given) > 0 ? std::atoi(given) : 15;
}

// The processor time the run took on this thread (user and system): on a busy machine it varies less
// than the time on the wall, which also counts the waits for a processor.
double Seconds(const std::function<void()>& run) {
    const auto now = [] {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = now();
    run();
    return now() - start;
}

struct Format {
    const char* name;
    const char* extension;
    TAllowedExport type;
    std::function<std::unique_ptr<TExporterText>()> make;
    int rows;
};

[[gnu::noinline]] void RunList(TExportListView& source, const Format& format, const std::string& file,
                               bool perRow) {
    TExporterDialog dialog;
    dialog.ExportSource = TExportSource::esListView;
    dialog.ListView = &source;
    dialog.FileName = file;
    dialog.FormFactory = [&](TExporterDialog& owner) {
        return std::make_unique<BenchForm>(owner, format.type, file, perRow);
    };
    dialog.Execute();
}

[[gnu::noinline]] void RunDataSet(Lists& lists, const Format& format, const std::string& file) {
    std::unique_ptr<TExporterText> exporter = format.make();
    exporter->DataSet = &lists.data;
    exporter->FileName = file;
    exporter->Execute();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const char* given = std::getenv("EXPORT_LIST_BENCH_ROWS");
    const int fixedRows = given ? std::atoi(given) : 0;
    const Format formats[] = {
        {"CSV", ".csv", TAllowedExport::aeCSV,
         [] {
             auto csv = std::make_unique<TExporterASCII>();
             csv->SetExportType(TExportASCIIType::etCSV);
             return csv;
         },
         100000},
        {"PDF", ".pdf", TAllowedExport::aePDF, [] { return std::make_unique<TExporterPDF>(); }, 100000},
        {"XLS", ".xls", TAllowedExport::aeXLS, [] { return std::make_unique<TExporterXLS>(); }, 60000},
    };
    std::printf("%-5s %8s %12s %12s %8s %22s\n", "", "rows", "data set s", "list s", "ratio",
                "per-row, via QVariant s");
    const char* only = std::getenv("EXPORT_LIST_BENCH_FORMATS");
    for (const Format& format : formats) {
        if (only && *only && !std::strstr(only, format.name))
            continue;
        const int rows = fixedRows > 0 ? fixedRows : format.rows;
        Lists lists(rows);
        browser::RecordListExportSource direct(&lists.model, &lists.view);
        const std::string listFile = KeepOrTemp(std::string("list") + format.extension);
        const std::string dataFile = KeepOrTemp(std::string("dataset") + format.extension);
        double best[2] = {1e9, 1e9};
        for (int round = 0; round < Rounds(); ++round) {
            best[0] = std::min(best[0], Seconds([&] { RunDataSet(lists, format, dataFile); }));
            best[1] = std::min(best[1], Seconds([&] { RunList(direct, format, listFile, false); }));
        }
        // The path as it was, once (it takes a hundred times as long; EXPORT_LIST_BENCH_NO_PER_ROW leaves it
        // out, for a profile of the others).
        exporter::TModelListView general(&lists.model, &lists.view);
        const std::string oldFile = KeepOrTemp(std::string("list-per-row") + format.extension);
        const double perRow = std::getenv("EXPORT_LIST_BENCH_NO_PER_ROW")
                                  ? 0.0
                                  : Seconds([&] { RunList(general, format, oldFile, true); });
        std::printf("%-5s %8d %12.4f %12.4f %8.2f %22.3f\n", format.name, rows, best[0], best[1],
                    best[1] / best[0], perRow);
        std::fflush(stdout);
        if (!std::getenv("EXPORT_BENCH_KEEP")) {
            std::filesystem::remove(listFile);
            std::filesystem::remove(dataFile);
            std::filesystem::remove(oldFile);
        }
    }
    return 0;
}
