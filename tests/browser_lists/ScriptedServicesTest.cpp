#include "browser/lists/ScriptedServices.h"
#include "browser/lists/WorkbookExportForm.h"
#include "browser/lists/FormBase.h"

#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

using browser::FileDialogOptions;
using browser::MessageKind;
using browser::ScriptedServices;

namespace {

// A form that counts how often it was shown and hidden.
class ProbeForm : public browser::FormBase {
    Q_OBJECT
public:
    using FormBase::FormBase;
    int shows = 0;
    int hides = 0;

protected:
    void FormShow() override { ++shows; }
    void FormHide() override { ++hides; }
};

} // namespace

TEST(ScriptedServices, UnansweredQuestionsTakeTheCautiousAnswer) {
    ScriptedServices services;
    EXPECT_EQ(
        services.messageDialog("Delete?", MessageKind::Confirmation, QMessageBox::Ok | QMessageBox::Cancel),
        QMessageBox::Cancel);
    EXPECT_EQ(
        services.messageDialog("Continue?", MessageKind::Confirmation, QMessageBox::Yes | QMessageBox::No),
        QMessageBox::No);
    EXPECT_EQ(services.messageDialog("Note", MessageKind::Information, QMessageBox::Ok), QMessageBox::Ok);

    QString text = "preset";
    EXPECT_FALSE(services.inputQuery("New Tree", "Enter Treename or IP-address", text));
    EXPECT_EQ(text, "preset");
    FileDialogOptions file;
    file.fileName = "dns.csv";
    EXPECT_FALSE(services.saveFileName(file));
    EXPECT_EQ(file.fileName, "dns.csv");
    QColor colour(Qt::red);
    EXPECT_FALSE(services.chooseColor(colour));
    EXPECT_EQ(colour, QColor(Qt::red));
}

TEST(ScriptedServices, QueuedAnswersAreGivenInOrderAndEveryCallIsRecorded) {
    ScriptedServices services;
    services.queueButton(QMessageBox::Yes);
    services.queueButton(QMessageBox::No);
    services.queueInput(QString("TREE_A"));
    services.queueInput(std::nullopt);
    services.queueFile(QString("/tmp/out.csv"), "Csv-files (*.csv)");
    services.queueColour(QColor(Qt::blue));
    services.queuePrint(true);

    services.showMessage("Saved");
    EXPECT_EQ(services.messageDialog("First?", MessageKind::Confirmation, QMessageBox::Yes | QMessageBox::No),
              QMessageBox::Yes);
    EXPECT_EQ(
        services.messageDialog("Second?", MessageKind::Confirmation, QMessageBox::Yes | QMessageBox::No),
        QMessageBox::No);
    QString text;
    EXPECT_TRUE(services.inputQuery("New Tree", "Enter Treename or IP-address", text));
    EXPECT_EQ(text, "TREE_A");
    EXPECT_FALSE(services.inputQuery("Find", "Entry the name of the object (no context)", text));
    EXPECT_EQ(text, "TREE_A");
    FileDialogOptions file;
    file.title = "CSV";
    EXPECT_TRUE(services.saveFileName(file));
    EXPECT_EQ(file.fileName, "/tmp/out.csv");
    EXPECT_EQ(file.selectedFilter, "Csv-files (*.csv)");
    QColor colour;
    EXPECT_TRUE(services.chooseColor(colour));
    EXPECT_EQ(colour, QColor(Qt::blue));
    QPrinter printer;
    browser::PrintDialogOptions print;
    print.allowSelection = true;
    EXPECT_TRUE(services.printDialog(printer, print));
    EXPECT_TRUE(print.selectionOnly);
    services.beep();

    EXPECT_TRUE(services.allAnswersUsed());
    EXPECT_EQ(services.messages(), QStringList({"Saved", "First?", "Second?"}));
    EXPECT_EQ(services.count(ScriptedServices::Kind::Input), 2);
    EXPECT_EQ(services.count(ScriptedServices::Kind::SaveFile), 1);
    EXPECT_EQ(services.count(ScriptedServices::Kind::Beep), 1);
    ASSERT_EQ(services.calls().size(), 9u);
    EXPECT_EQ(services.calls()[1].messageKind, MessageKind::Confirmation);
    EXPECT_EQ(services.calls()[3].title, "New Tree");
}

TEST(ScriptedServices, PrintingTheSelectionNeedsTheDialogToAllowIt) {
    ScriptedServices services;
    services.queuePrint(true);
    QPrinter printer;
    browser::PrintDialogOptions print;
    EXPECT_TRUE(services.printDialog(printer, print));
    EXPECT_FALSE(print.selectionOnly);
    print.allowSelection = true;
    EXPECT_FALSE(services.printDialog(printer, print)); // unanswered: cancelled
}

TEST(ScriptedServices, ModalFormRunsTheScriptWhileShownAndReturnsItsResult) {
    ScriptedServices services;
    ProbeForm form(services);
    auto* ok = new QPushButton("OK", &form);
    QObject::connect(ok, &QPushButton::clicked, &form, [&form] { form.setModalResult(browser::mrOk); });

    bool visibleInScript = false;
    services.queueDialog([&](QDialog& dialog) {
        visibleInScript = dialog.isVisible();
        ok->click();
    });
    EXPECT_EQ(services.showModal(form), browser::mrOk);
    EXPECT_TRUE(visibleInScript);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.shows, 1);
    EXPECT_EQ(form.hides, 1);
    EXPECT_EQ(services.modalForms(), QStringList({"ProbeForm"}));
}

TEST(ScriptedServices, ModalFormLeftOpenOrEscapedEndsWithCancel) {
    ScriptedServices services;
    ProbeForm form(services);
    EXPECT_EQ(services.showModal(form), browser::mrCancel);         // no script: closed by the fake
    services.queueDialog([](QDialog& dialog) { dialog.reject(); }); // Esc or the close box
    EXPECT_EQ(services.showModal(form), browser::mrCancel);
    services.queueDialog([](QDialog&) {});
    EXPECT_EQ(services.showModal(form), browser::mrCancel);
    EXPECT_EQ(form.shows, 3);
    EXPECT_FALSE(form.isVisible());
}

TEST(ScriptedServices, AFormCanBeShownAgainAfterItClosed) {
    ScriptedServices services;
    ProbeForm form(services);
    services.queueDialog([](QDialog& dialog) { static_cast<ProbeForm&>(dialog).setModalResult(55); });
    services.queueDialog(
        [](QDialog& dialog) { static_cast<ProbeForm&>(dialog).setModalResult(browser::mrOk); });
    EXPECT_EQ(services.showModal(form), 55);
    EXPECT_EQ(services.showModal(form), browser::mrOk);
}

#include "ScriptedServicesTest.moc"

TEST(ScriptedServices, TheExportDialogsQuestionsDefaultToNo) {
    // Enter on "Do you want to abort export?" must not stop the export.
    ScriptedServices services;
    browser::ExportDialogServices exportServices(services);
    services.queueButton(QMessageBox::Yes);
    EXPECT_TRUE(exportServices.Question(nullptr, "Are you sure?", "Do you want to abort export?"));
    ASSERT_EQ(services.calls().size(), 1u);
    EXPECT_EQ(services.calls()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(services.calls()[0].defaultButton, QMessageBox::No);
}
