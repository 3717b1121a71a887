#include "ListRows.h"

#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RichTextSave.h"
#include "browser/lists/ScriptedServices.h"
#include "tests/support/TempFolder.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string ReadFile(const QString& path) {
    return test_support::ReadFile(path.toStdString());
}

// A page text as the check and look-up pages write it: plain lines and some coloured, bold ones.
void Fill(QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.insertText("Tree ACME {ok}\\");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(255, 0, 0));
    cursor.insertBlock();
    cursor.insertText("Caf\u00e9 \u20ac \u4e2d", bold);
    cursor.insertBlock();
    cursor.insertText("last\tline", QTextCharFormat());
}

TEST(PageText, RtfCarriesTextFormatsAndCodePage) {
    QTextDocument document;
    Fill(document);
    const std::string rtf = browser::DocumentToRtf(document);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Tree ACME \\{ok\\}\\\\"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\b\\cf1 Caf\\'e9 \\'80 ?}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("last\\tab line"), std::string::npos) << rtf;
    EXPECT_EQ(std::count(rtf.begin(), rtf.end(), '{'), std::count(rtf.begin(), rtf.end(), '}')) << rtf;
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST(PageText, PlainTextHasCrLfLines) {
    QTextDocument document;
    Fill(document);
    EXPECT_EQ(browser::DocumentToPlainText(document),
              "Tree ACME {ok}\\\r\nCaf\u00e9 \u20ac \u4e2d\r\nlast\tline\r\n");
}

TEST(PageText, CheckPageOffersTextAndLookupPageRichText) {
    QTemporaryDir dir;
    QTextDocument document;
    Fill(document);
    browser::ScriptedServices services;
    browser::FileDialogOptions save2;
    save2.filter = "RTF-files (*.RTF *.rtf);;TXT-Files (*.TXT *.txt)";

    services.queueFile(dir.filePath("check.txt"));
    EXPECT_TRUE(browser::SavePageTextAs(services, save2, document, 6));
    EXPECT_EQ(save2.selectedFilter, "TXT-Files (*.TXT *.txt)");
    EXPECT_EQ(ReadFile(dir.filePath("check.txt")), browser::DocumentToPlainText(document));

    services.queueFile(dir.filePath("lookup.rtf"));
    EXPECT_TRUE(browser::SavePageTextAs(services, save2, document, 7));
    EXPECT_EQ(ReadFile(dir.filePath("lookup.rtf")), browser::DocumentToRtf(document));

    // The user's choice of filter decides the form.
    services.queueFile(dir.filePath("other"), "RTF-files (*.RTF *.rtf)");
    EXPECT_TRUE(browser::SavePageTextAs(services, save2, document, 6));
    EXPECT_EQ(ReadFile(dir.filePath("other")), browser::DocumentToRtf(document));

    services.queueFile(std::nullopt);
    EXPECT_FALSE(browser::SavePageTextAs(services, save2, document, 7));
}

} // namespace
