#include "ExportTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterClipboard.h"
#include "export/core/ExporterQtSources.h"

#include <QApplication>
#include <QClipboard>
#include <QStandardItemModel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <sstream>

namespace exporter::test {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "export_core_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A record list like the browser's: caption column and sub-items, header captions.
std::unique_ptr<QStandardItemModel> RecordList() {
    auto model = std::make_unique<QStandardItemModel>(0, 3);
    model->setHorizontalHeaderLabels({"Name", "Type", "TTL"});
    const char* rows[][3] = {{"www", "A", "3600"}, {"mail", "MX", "600"}, {"ftp", "CNAME", "60"}};
    for (const auto& row : rows) {
        QList<QStandardItem*> items;
        for (const char* text : row)
            items.append(new QStandardItem(QString::fromUtf8(text)));
        model->appendRow(items);
    }
    return model;
}

TEST(QtSources, ListViewOverAModelExportsItsRows) {
    App();
    auto model = RecordList();
    QTreeView view;
    view.setModel(model.get());
    view.setColumnWidth(0, 10 * view.fontMetrics().horizontalAdvance(QStringLiteral("X")));
    view.selectionModel()->select(model->index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    TModelListView lv(model.get(), &view);
    EXPECT_EQ(lv.ColumnCount(), 3);
    EXPECT_EQ(lv.ColumnCaption(2), "TTL");
    EXPECT_EQ(lv.SelectedIndex(), 1);
    EXPECT_EQ(lv.ItemText(2, 1), "CNAME");
    EXPECT_EQ(lv.ItemText(9, 1), "");

    TExporterASCII ex;
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ex.ExportedFields.Add("TTL");
    ex.ExportedFields.Add("Name");
    ex.SkipRecCount = 1;
    std::ostringstream out;
    ex.ExportToStream(out);
    EXPECT_EQ(out.str(), "\"TTL\",\"Name\"\r\n\"600\",\"mail\"\r\n\"60\",\"ftp\"\r\n");
    EXPECT_EQ(ex.Columns[1].Width, 10);
    EXPECT_TRUE(view.updatesEnabled());
}

TEST(QtSources, StringGridOverAModelUsesFixedRowsAndTheCurrentRow) {
    App();
    auto model = RecordList();
    model->insertRow(0, {new QStandardItem("Host"), new QStandardItem("Kind"), new QStandardItem("Life")});
    TModelStringGrid grid(model.get(), 1);
    TExporterASCII ex;
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.CSVQuoteStrings = false;
    ex.ExportSource = TExportSource::esStringGrid;
    ex.StringGrid = &grid;
    ex.CaptionRow = 0;
    std::ostringstream out;
    ex.ExportToStream(out);
    EXPECT_EQ(out.str(), "Host,Kind,Life\r\nwww,A,3600\r\nmail,MX,600\r\nftp,CNAME,60\r\n");
}

TEST(QtSources, ClipboardExportPutsTheTextOnTheApplicationClipboard) {
    App();
    auto model = RecordList();
    TModelListView lv(model.get());
    TExporterClipboard ex;
    ex.Separator = '\t';
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ex.ExportRecCount = 1;
    ex.Execute();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Name\tType\tTTL\t\r\nwww\tA\t3600\t\r\n");
}

} // namespace
} // namespace exporter::test
