// The record lists with 100,000 rows: sorting by address, by name and by a DHCP date, the CSV
// file and the HOSTS file; and with 120,000 rows (a large tree) a fill of the list view with and
// without its columns fitted, and the fitting alone. The fitting's share of the fill is
// FitDhcpColumns / FillDhcpList.

#include "browser/lists/ColumnFit.h"
#include "browser/lists/CsvExport.h"
#include "browser/lists/HostsWriter.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListSort.h"

#include "platform/rtl/DateUtils.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

using browser::RecordListKind;
using browser::RecordRow;

constexpr int kRows = 100000;
constexpr int kFillRows = 120000;

std::string Address(std::mt19937& random) {
    std::uniform_int_distribution<int> octet(0, 255);
    return "10." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "." +
           std::to_string(octet(random));
}

std::string Name(std::mt19937& random) {
    static const char* const words[] = {"host", "mail", "web", "db", "printer", "Desk", "lab", "srv"};
    std::uniform_int_distribution<int> word(0, 7);
    std::uniform_int_distribution<int> number(0, 99999);
    return std::string(words[word(random)]) + std::to_string(number(random));
}

std::vector<RecordRow> DhcpRows(int count = kRows) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> day(43000.0, 46000.0);
    std::vector<RecordRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        RecordRow row;
        row.list = RecordListKind::Dhcp;
        row.caption = Address(random);
        const std::string lastUsed =
            i % 10 == 0 ? "" : rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", day(random));
        row.subItems = {Name(random),
                        "Dynamic",
                        "00:11:22:33:44:55",
                        lastUsed,
                        rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", day(random)),
                        "",
                        "obj" + std::to_string(i)};
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<RecordRow> DnsARows() {
    std::mt19937 random(7);
    std::vector<RecordRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        RecordRow row;
        row.caption = Address(random);
        row.subItems = {Name(random), "A", "example.com", i % 3 == 0 ? "Server room" : "",
                        "obj" + std::to_string(i)};
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortBy(benchmark::State& state, const std::vector<RecordRow>& rows, RecordListKind list, int column) {
    const browser::ListDateReader dates;
    browser::RecordListModel model(
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"});
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        model.appendRows(rows);
        state.ResumeTiming();
        browser::SortRecordList(model, list, column, dates);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void SortDhcpByAddress(benchmark::State& state) {
    SortBy(state, DhcpRows(), RecordListKind::Dhcp, 0);
}
void SortDhcpByName(benchmark::State& state) {
    SortBy(state, DhcpRows(), RecordListKind::Dhcp, 1);
}
void SortDhcpByLastUsed(benchmark::State& state) {
    SortBy(state, DhcpRows(), RecordListKind::Dhcp, 4);
}

void CsvOfAllRows(benchmark::State& state) {
    const std::vector<RecordRow> rows = DhcpRows();
    std::vector<const RecordRow*> pointers;
    for (const RecordRow& row : rows)
        pointers.push_back(&row);
    QTemporaryDir dir;
    const std::string path = dir.filePath("dhcp.csv").toStdString();
    for (auto _ : state)
        browser::WriteCsvFile(path, pointers, browser::CsvColumnCount(RecordListKind::Dhcp));
    state.SetItemsProcessed(state.iterations() * kRows);
}

void HostsOfARows(benchmark::State& state) {
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    model.appendRows(DnsARows());
    browser::SortRecordList(model, RecordListKind::Dns, 0, browser::ListDateReader());
    QTemporaryDir dir;
    const std::string path = dir.filePath("HOSTS").toStdString();
    for (auto _ : state)
        browser::WriteHostsFile(path, browser::HostsLines(model.rows(), true));
    state.SetItemsProcessed(state.iterations() * kRows);
}

// The rows of a large tree's DHCP list, sorted by address; the widest name and comment stand in
// the last row, where only a measure of the whole list finds them.
std::vector<RecordRow> LargeDhcpList() {
    std::vector<RecordRow> rows = DhcpRows(kFillRows);
    rows.back().caption = "10.255.255.254";
    rows.back().subItems[0] = "the-widest-workstation-name-of-the-whole-list";
    rows.back().subItems[5] = "the comment of the very last row, which is the longest";
    browser::RecordListModel model({});
    model.appendRows(std::move(rows));
    browser::SortRecordList(model, RecordListKind::Dhcp, 0, browser::ListDateReader());
    return model.rows();
}

// The DHCP list's view filled with all rows and laid out, then, with fit on, its columns sized to
// their content as after every fill.
void FillDhcpView(benchmark::State& state, bool fit) {
    const std::vector<RecordRow> rows = LargeDhcpList();
    browser::RecordListModel model(
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"});
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(900, 500);
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        state.ResumeTiming();
        model.appendRows(rows);
        view.scrollToBottom(); // lays out every row, as showing the list does
        if (fit)
            browser::FitColumnsToContents(view);
    }
    state.SetItemsProcessed(state.iterations() * kFillRows);
}
void FillDhcpList(benchmark::State& state) {
    FillDhcpView(state, false);
}
void FillDhcpListAndFitColumns(benchmark::State& state) {
    FillDhcpView(state, true);
}

// The fitting alone, as after a sort of the filled list.
void FitDhcpColumns(benchmark::State& state) {
    browser::RecordListModel model(
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"});
    model.appendRows(LargeDhcpList());
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(900, 500);
    view.scrollToBottom();
    for (auto _ : state)
        browser::FitColumnsToContents(view);
    state.SetItemsProcessed(state.iterations() * kFillRows);
}

BENCHMARK(SortDhcpByAddress)->Unit(benchmark::kMillisecond);
BENCHMARK(SortDhcpByName)->Unit(benchmark::kMillisecond);
BENCHMARK(SortDhcpByLastUsed)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvOfAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(HostsOfARows)->Unit(benchmark::kMillisecond);
BENCHMARK(FillDhcpList)->Unit(benchmark::kMillisecond);
BENCHMARK(FillDhcpListAndFitColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(FitDhcpColumns)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
