#include "PickerFixture.h"

#include "browser/forms/backup2.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/ScriptedServices.h"
#include "directory/Tolvex.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

using browser::ScriptedServices;
using browser::TcForm;

// Lets events run until the form's first-show timer has built the tree.
void WaitForTree(TcForm& form) {
    QElapsedTimer clock;
    clock.start();
    while (form.Timer1->isActive() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& text) {
    for (int row = 0; node != nullptr && row < node->childCount(); ++row)
        if (node->child(row)->text(0) == text)
            return node->child(row);
    return nullptr;
}

QStringList ChildTexts(QTreeWidgetItem* node) {
    QStringList texts;
    for (int row = 0; row < node->childCount(); ++row)
        texts << node->child(row)->text(0);
    return texts;
}

class ObjectBrowserForm : public picker_test::PickerDirectory {
protected:
    void SetUp() override {
        PickerDirectory::SetUp();
        form = std::make_unique<TcForm>(services);
        form->SetTraceFile(QString::fromStdString((folder_.Path() / "testnoc.log").string()));
        form->SetEndProgram([this] { ++programEnds; });
    }
    void TearDown() override {
        form.reset();
        PickerDirectory::TearDown();
    }

    // Shows the dialog; script runs once the tree is built.
    int Show(std::function<void(TcForm&)> script) {
        services.queueDialog([this, script](QDialog&) {
            WaitForTree(*form);
            if (script)
                script(*form);
        });
        return services.showModal(*form);
    }

    QTreeWidgetItem* Root() const { return form->TV2->topLevelItem(0); }

    int Beeps() const { return services.count(ScriptedServices::Kind::Beep); }

    ScriptedServices services;
    std::unique_ptr<TcForm> form;
    int programEnds = 0;
};

TEST_F(ObjectBrowserForm, WithoutAContextItShowsTheInternalErrorAndEndsWith55) {
    // Run by the real modal loop: no window, no loop.
    EXPECT_EQ(form->exec(), TcForm::kNoContextResult);
    // Shown by other means: closed right after it appeared.
    services.queueDialog([](QDialog&) { QApplication::processEvents(); });
    EXPECT_EQ(services.showModal(*form), TcForm::kNoContextResult);
    EXPECT_EQ(services.messages(), QStringList({"Internal Error, context Handle not set",
                                                "Internal Error, context Handle not set"}));
    EXPECT_EQ(form->TV2->topLevelItemCount(), 0);
}

TEST_F(ObjectBrowserForm, AStartContextOfTwoComponentsGivesThreeNodesWithTheUnitSelected) {
    form->SetContext(context_);
    form->SetStartContext("Sales.ACME");
    EXPECT_EQ(form->GetStartContext(), "Sales.ACME");
    QString caption;
    const int result = Show([&](TcForm& f) {
        caption = f.windowTitle();
        ASSERT_EQ(f.TV2->topLevelItemCount(), 1);
        QTreeWidgetItem* root = f.TV2->topLevelItem(0);
        EXPECT_EQ(root->text(0), "[ROOT]");
        EXPECT_EQ(ChildTexts(root), QStringList{"ACME"});
        QTreeWidgetItem* org = root->child(0);
        EXPECT_EQ(ChildTexts(org), QStringList{"Sales"});
        QTreeWidgetItem* unit = org->child(0);
        EXPECT_EQ(f.TV2->currentItem(), unit);
        EXPECT_EQ(unit->childCount(), 0); // listed only when opened
        EXPECT_FALSE(f.IL2->icon(directory::IconIndexForClass("Organization")).isNull());

        // The path above the start context cannot be chosen, collapsed or reloaded.
        f.TV2->setCurrentItem(org);
        f.BitBtn2->click();
        EXPECT_TRUE(f.isVisible());
        org->setExpanded(false);
        EXPECT_TRUE(org->isExpanded());
        EXPECT_EQ(ChildTexts(org), QStringList{"Sales"});

        // The start context itself is an ordinary node.
        unit->setExpanded(true);
        EXPECT_EQ(ChildTexts(unit), QStringList{"empty"});
        f.TV2->setCurrentItem(unit);
        f.BitBtn2->click();
    });
    EXPECT_EQ(result, browser::mrOk);
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(form->ChosenObject(), "Sales.ACME");
    EXPECT_EQ(caption, "ACME: Select context");
    EXPECT_TRUE(form->windowTitle().isEmpty());
    EXPECT_TRUE(form->IconsLoaded());
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "testnoc.log"));

    // The next show keeps the loaded tree and reads "<tree>: ".
    const int again = Show([&](TcForm& f) {
        caption = f.windowTitle();
        EXPECT_FALSE(f.Timer1->isActive());
        EXPECT_EQ(ChildTexts(Root()->child(0)->child(0)), QStringList{"empty"});
    });
    EXPECT_EQ(again, browser::mrCancel);
    EXPECT_EQ(caption, "ACME: ");
}

TEST_F(ObjectBrowserForm, LocatorFilterShowsContainersAndLocatorsAndRefusesContainers) {
    form->ClearClassFilter();
    form->AddClassFilter("DNIP:Locator");
    form->SetLeafMode(true);
    form->SetContext(context_);
    const int result = Show([&](TcForm& f) {
        EXPECT_TRUE(f.All->isVisible());
        QTreeWidgetItem* root = Root();
        EXPECT_EQ(f.TV2->currentItem(), root);
        root->setExpanded(true);
        QTreeWidgetItem* org = Child(root, "ACME");
        ASSERT_NE(org, nullptr);
        org->setExpanded(true);
        QTreeWidgetItem* sales = Child(org, "Sales");
        ASSERT_NE(sales, nullptr);
        EXPECT_EQ(sales->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        sales->setExpanded(true);
        EXPECT_EQ(ChildTexts(sales), QStringList({"empty", "Locator"}));

        f.TV2->setCurrentItem(sales);
        f.BitBtn2->click(); // a container is not a locator
        EXPECT_TRUE(f.isVisible());
        f.TV2->setCurrentItem(Child(sales, "Locator"));
        f.BitBtn2->click();
    });
    EXPECT_EQ(result, browser::mrOk);
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(form->ChosenObject(), "Locator.Sales.ACME");
}

TEST_F(ObjectBrowserForm, AllLeafsListsEveryLeafAndCollapsingListsAfresh) {
    form->SetLeafMode(true);
    form->AddClassFilter("DNIP:Locator");
    form->SetAllLeafs(true);
    form->SetContext(context_);
    Show([&](TcForm& f) {
        f.ExpandToNode("Sales.ACME");
        QTreeWidgetItem* sales = f.TV2->currentItem();
        ASSERT_NE(sales, nullptr);
        EXPECT_EQ(sales->text(0), "Sales");
        sales->setExpanded(true);
        EXPECT_EQ(ChildTexts(sales), QStringList({"Alpha", "beta", "empty", "Locator"}));

        // Collapsing drops the children; the next opening reads the directory again.
        sales->setExpanded(false);
        EXPECT_EQ(sales->childCount(), 0);
        EXPECT_EQ(sales->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        ASSERT_EQ(directory::CreateDSObject(context_, "gamma.Sales.ACME", "DNIP:Locator"), 0);
        sales->setExpanded(true);
        EXPECT_EQ(ChildTexts(sales), QStringList({"Alpha", "beta", "empty", "gamma", "Locator"}));
    });
}

TEST_F(ObjectBrowserForm, ConfigurationChangesClearTheTree) {
    form->SetContext(context_);
    Show(nullptr);
    ASSERT_EQ(form->TV2->topLevelItemCount(), 1);
    form->SetContext(context_); // same tree: kept
    form->SetStartContext("");
    form->SetLeafMode(false);
    form->AddClassFilter("User");
    EXPECT_EQ(form->TV2->topLevelItemCount(), 1);
    form->SetAllLeafs(true);
    form->ClearClassFilter(); // kept while "all leafs" is checked
    EXPECT_EQ(form->TV2->topLevelItemCount(), 1);
    form->SetAllLeafs(false);
    form->ClearClassFilter();
    EXPECT_EQ(form->TV2->topLevelItemCount(), 0);
    Show(nullptr);
    form->SetLeafMode(true);
    EXPECT_EQ(form->TV2->topLevelItemCount(), 0);
    Show(nullptr);
    form->SetStartContext("DNS.ACME");
    EXPECT_EQ(form->TV2->topLevelItemCount(), 0);
}

TEST_F(ObjectBrowserForm, TheStartObjectIsOpenedAndSelected) {
    form->SetLeafMode(true);
    form->SetContext(context_);
    form->SetStartObject("a\\.b.example_com.DNS.ACME");
    Show([&](TcForm& f) {
        ASSERT_NE(f.TV2->currentItem(), nullptr);
        EXPECT_EQ(f.TV2->currentItem()->text(0), "a.b");
        EXPECT_EQ(f.TV2->currentItem()->parent()->text(0), "example_com");
    });
    // A name that leaves the tree stops the walk where it leaves it.
    form->ExpandToNode("nobody.Users.ACME");
    EXPECT_EQ(form->TV2->currentItem()->text(0), "a.b");
    form->ExpandToNode("beta.sales.ACME"); // case counts
    EXPECT_EQ(form->TV2->currentItem()->text(0), "a.b");
}

TEST_F(ObjectBrowserForm, FindShowsNothingOneOrAListOfHits) {
    form->SetLeafMode(true);
    form->SetContext(context_);
    services.queueInput(QString("nothing"));
    services.queueInput(QString("beta"));
    services.queueInput(QString("Locator*"));
    services.queueInput(std::nullopt);
    Show([&](TcForm& f) {
        f.BitBtn3->click();
        EXPECT_EQ(services.messages(), QStringList{"No Objects found"});

        f.BitBtn3->click();
        ASSERT_NE(f.TV2->currentItem(), nullptr);
        EXPECT_EQ(f.TV2->currentItem()->text(0), "beta");
        EXPECT_TRUE(f.lv->isHidden());

        f.BitBtn3->click();
        EXPECT_FALSE(f.lv->isHidden());
        ASSERT_EQ(f.lv->topLevelItemCount(), 2);
        EXPECT_EQ(f.lv->topLevelItem(0)->text(0), "Locator.Sales.ACME");
        EXPECT_EQ(f.lv->topLevelItem(1)->text(0), "Locator2.DNS.ACME");

        // Escape hides the list and keeps the dialog open.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f.TV2, &escape);
        EXPECT_TRUE(f.lv->isHidden());
        EXPECT_TRUE(f.isVisible());

        // Alt+Z presses Find (cancelled here); choosing a hit opens the tree down to it.
        QKeyEvent altZ(QEvent::KeyPress, Qt::Key_Z, Qt::AltModifier);
        QApplication::sendEvent(&f, &altZ);
        EXPECT_EQ(services.count(ScriptedServices::Kind::Input), 4);
        f.lv->show();
        f.lv->setCurrentItem(f.lv->topLevelItem(1));
        f.lvSelectItem();
        EXPECT_TRUE(f.lv->isHidden());
        EXPECT_EQ(f.TV2->currentItem()->text(0), "Locator2");
    });
    const auto& calls = services.calls();
    const auto input = std::find_if(calls.begin(), calls.end(), [](const auto& call) {
        return call.kind == ScriptedServices::Kind::Input;
    });
    ASSERT_NE(input, calls.end());
    EXPECT_EQ(input->title.toStdString(), "Find");
    EXPECT_EQ(input->text.toStdString(), "Entry the name of the object (no context)");
}

TEST_F(ObjectBrowserForm, DirectoryFailuresAreShownAndTheTreeKeepsWhatItHad) {
    form->SetContext(context_);
    Show([&](TcForm& f) {
        QTreeWidgetItem* root = Root();
        nwclient::injectFault(nwclient::Operation::ListContainers, 1, -601);
        root->setExpanded(true);
        EXPECT_EQ(root->childCount(), 0);
        ASSERT_EQ(services.messages().size(), 1);
        EXPECT_TRUE(services.messages().front().contains("-601"));
        root->setExpanded(false);
        root->setExpanded(true); // tried again
        EXPECT_EQ(ChildTexts(root), QStringList{"ACME"});
        EXPECT_TRUE(f.isVisible());
    });
}

TEST_F(ObjectBrowserForm, AnUnwritableTraceFileDoesNotStopTheDialog) {
    form->SetTraceFile(QString::fromStdString(folder_.Path().string())); // a folder, not a file
    form->SetContext(context_);
    Show([&](TcForm&) {
        ASSERT_NE(Root(), nullptr);
        EXPECT_EQ(Root()->text(0), "[ROOT]");
    });
    EXPECT_TRUE(form->IconsLoaded());
    EXPECT_TRUE(services.messages().isEmpty());
}

TEST_F(ObjectBrowserForm, WithoutTheIconStripTheProgramEnds) {
    directory::FreeHelperDll();
    form->SetContext(context_);
    const int result = Show(nullptr);
    EXPECT_EQ(result, browser::mrCancel);
    EXPECT_EQ(services.messages(), QStringList{"Error.....-1"});
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(form->IconsLoaded());
    // Called by the start-up alike.
    EXPECT_EQ(form->InitIcons(), -1);
    EXPECT_EQ(programEnds, 2);
}

} // namespace
