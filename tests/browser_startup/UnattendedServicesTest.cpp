// A run without a user: every message goes to the error stream, nothing waits, and what only a
// user could have settled makes the exit code non-zero.

#include "browser/lists/UnattendedServices.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPrinter>

#include <gtest/gtest.h>

#include <sstream>

using namespace browser;

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_browser_startup";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr)
        new QApplication(argc, argv);
}

} // namespace

TEST(UnattendedServices, MessagesGoToTheStreamAndQuestionsAreAnsweredAsNobodyCan) {
    EnsureApplication();
    std::ostringstream errors;
    UnattendedServices services(errors);
    services.messageDialog(QStringLiteral("Default [root] set"), MessageKind::Information, QMessageBox::Ok);
    EXPECT_EQ(services.Problems(), 0);

    services.showMessage(QStringLiteral("No trees selected!"));
    EXPECT_EQ(services.messageDialog(QStringLiteral("Browse?"), MessageKind::Confirmation,
                                     QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
    EXPECT_EQ(services.messageDialog(QStringLiteral("Go on?"), MessageKind::Warning,
                                     QMessageBox::Ok | QMessageBox::Cancel),
              QMessageBox::Cancel);
    QString value = QStringLiteral("preset");
    EXPECT_FALSE(services.inputQuery(QStringLiteral("Name"), QStringLiteral("New name:"), value));
    FileDialogOptions file;
    file.title = QStringLiteral("Save list");
    EXPECT_FALSE(services.saveFileName(file));
    EXPECT_FALSE(services.openFileName(file));
    QColor colour;
    EXPECT_FALSE(services.chooseColor(colour));
    QPrinter printer;
    PrintDialogOptions print;
    EXPECT_FALSE(services.printDialog(printer, print));
    EXPECT_EQ(services.Problems(), 8);

    const std::string text = errors.str();
    EXPECT_EQ(text.rfind("Default [root] set\nNo trees selected!\nBrowse?\nGo on?\n", 0), 0u) << text;
    EXPECT_NE(text.find("New name:"), std::string::npos);
    EXPECT_NE(text.find("Save list"), std::string::npos);
}

TEST(UnattendedServices, FormsAreNotShownAndOnlyInformingOnesAreNoProblem) {
    EnsureApplication();
    std::ostringstream errors;
    UnattendedServices services(errors);
    QDialog warning;
    warning.setWindowTitle(QStringLiteral("WARNING"));
    new QLabel(QStringLiteral("More than one locator"), &warning);
    warning.setProperty(kInformationalDialogProperty, true);
    EXPECT_EQ(services.showModal(warning), mrCancel);
    EXPECT_FALSE(warning.isVisible());
    EXPECT_EQ(services.Problems(), 0);

    QDialog choice;
    choice.setWindowTitle(QStringLiteral("Select trees"));
    EXPECT_EQ(services.showModal(choice), mrCancel);
    EXPECT_EQ(services.Problems(), 1);
    EXPECT_EQ(errors.str(), "WARNING: More than one locator\nSelect trees\n");
}

TEST(UnattendedServices, OnlyABatchSwitchWithAutoCloseRunsUnattendedAndProblemsFailTheExit) {
    EXPECT_TRUE(UnattendedRun({"/alldns", "/autoclose"}));
    EXPECT_TRUE(UnattendedRun({"/autoclose", "/alldhcp"}));
    EXPECT_FALSE(UnattendedRun({"/alldns"}));
    EXPECT_FALSE(UnattendedRun({"/autoclose"}));
    EXPECT_FALSE(UnattendedRun({"/AllDNS", "/autoclose"}));

    std::ostringstream errors;
    UnattendedServices services(errors);
    EXPECT_EQ(UnattendedExitCode(0, services), 0);
    EXPECT_EQ(UnattendedExitCode(1, services), 1);
    services.showMessage(QStringLiteral("Cannot write dns.csv"));
    EXPECT_EQ(UnattendedExitCode(0, services), 1);
    EXPECT_EQ(UnattendedExitCode(3, services), 3);
}
