// Workbooks written from the filled DNS and DHCP lists, by the export dialog's run and by the window's own
// workbook exporter, read back with xlrd.

#include "WorkbookTestSupport.h"

#include <QAction>

using namespace workbook_test;

namespace {

// Prints the sheet names, every row (cells joined by tabs), the weights of the first two rows' fonts,
// and whether the workbook stream holds the page footer.
const char* const ReadBackScript = R"(
import sys, olefile, xlrd
name = sys.argv[1]
book = xlrd.open_workbook(name, formatting_info=True)
print('sheets:' + '|'.join(book.sheet_names()))
sheet = book.sheet_by_index(0)
for r in range(sheet.nrows):
    print('\t'.join(str(sheet.cell_value(r, c)) for c in range(sheet.ncols)))
def weights(r):
    return ','.join(str(book.font_list[book.xf_list[sheet.cell_xf_index(r, c)].font_index].weight)
                    for c in range(sheet.ncols))
print('bold:' + weights(0) + ' data:' + weights(1))
stream = olefile.OleFileIO(name).openstream('Workbook').read()
print('footer:' + str(b'Page &P of &N' in stream))
)";

const std::string ExpectedDnsWorkbook = "sheets:Sheet 1\n"
                                        "IP-address\tName\tRec Type\tZone\tInfo\n"
                                        "10.0.0.10\tmail\tA\texample.com\tMail \"main\" server\n"
                                        "\t_sip._tcp\tSRV\texample.com\tPrio: 8, Weight:34\n"
                                        "10.0.0.10\tmail\tRP\texample.com\tRes. Pers. MB: hostmaster\n"
                                        "10.9.0.1\tzürich\tA\tbeta.org\t\n"
                                        "bold:700,700,700,700,700 data:400,400,400,400,400\n"
                                        "footer:True\n";

class WorkbookReadBack : public WorkbookWindow {
protected:
    void SetUp() override {
        if (!testutil::PythonHasModule("xlrd") || !testutil::PythonHasModule("olefile"))
            GTEST_SKIP() << "python3-xlrd or python3-olefile is not installed";
        WorkbookWindow::SetUp();
    }

    std::string ReadBack(const std::string& file) {
        const testutil::PythonResult result = testutil::RunPython(ReadBackScript, file);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        return result.output;
    }

    // "XLS-all" on the page, the dialog's run writing a workbook; what xlrd reads in it.
    std::string ExportedOnPage(int page, const std::string& name) {
        window->SetActivePage(page);
        script.start = true;
        script.type = exporter::TAllowedExport::aeXLS;
        script.fileName = File(name);
        window->XLS1->trigger();
        EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("\n").toStdString();
        return ReadBack(script.fileName);
    }
};

TEST_F(WorkbookReadBack, TheDialogsWorkbookOfTheDnsListReadsBack) {
    EXPECT_EQ(ExportedOnPage(browser::TForm1::PageDNS, "dns.xls"), ExpectedDnsWorkbook);
}

TEST_F(WorkbookReadBack, OnTheDhcpPageTheWorkbookHoldsTheDhcpList) {
    EXPECT_EQ(ExportedOnPage(browser::TForm1::PageDHCP, "dhcp.xls"),
              "sheets:Sheet 1\n"
              "IP-address\tName\tType\tMac-address\tLast Used\tExpire Date\tComment\n"
              "10.1.0.5\tpc5\tDynamic\t00:11:22:33:44:55\t\t\t\n"
              "bold:700,700,700,700,700,700,700 data:400,400,400,400,400,400,400\n"
              "footer:True\n");
}

TEST_F(WorkbookReadBack, TheWindowsOwnWorkbookExporterWritesTheSameSheet) {
    window->exls->FileName = File("direct.xls");
    window->exls->Execute();
    EXPECT_EQ(ReadBack(window->exls->FileName), ExpectedDnsWorkbook);
}

} // namespace
