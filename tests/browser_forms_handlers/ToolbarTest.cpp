// The main window's tool bar: every button shows its whole caption, in a wide and a narrow window,
// and every button is within reach.
#include "browser/forms/Aboutunit.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/lists/ScriptedServices.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace browser {
namespace {

class Toolbar : public ::testing::Test {
protected:
    void Show(int width) {
        window_->resize(width, 500);
        window_->show();
        QApplication::processEvents();
    }

    QList<QToolButton*> Buttons() const {
        return window_->ToolBar1->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    }

    // The buttons on screen, each checked to be wide enough for its caption.
    QStringList ShownButtons() const {
        QStringList shown;
        for (QToolButton* button : Buttons()) {
            if (button->objectName().startsWith(QLatin1String("qt_")) || !button->isVisible())
                continue; // the bar's own extension button
            shown << button->objectName();
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
            EXPECT_LE(button->geometry().right(), window_->ToolBar1->width())
                << button->objectName().toStdString();
        }
        return shown;
    }

    ScriptedServices services_;
    Forms forms_;
    std::unique_ptr<TForm1> window_ = std::make_unique<TForm1>(services_, forms_);
};

TEST_F(Toolbar, IsAFixedBarOfTheWindowWithTheApplicationsButtonHidden) {
    EXPECT_EQ(window_->findChild<QToolBar*>(QStringLiteral("ToolBar1")), window_->ToolBar1);
    EXPECT_EQ(window_->toolBarArea(window_->ToolBar1), Qt::TopToolBarArea);
    EXPECT_FALSE(window_->ToolBar1->isMovable());
    EXPECT_EQ(window_->ToolBar1->parentWidget(), window_.get());
    for (const char* name : {"ToolButton2", "SelectTrees", "SettingsBut", "IniBut", "DNSSearch", "DHCPSearch",
                             "MiscSearch", "StopBut", "ToolButton4", "PrintBut", "MakeHosts", "SaveBut",
                             "AllBut", "NoneBut", "DelDHCPRecs", "AboutBut", "ToolButton8"})
        EXPECT_NE(window_->ToolBar1->findChild<QToolButton*>(QString::fromLatin1(name)), nullptr) << name;
    Show(2000);
    EXPECT_TRUE(window_->ToolButton8->isHidden());
    const QStringList shown = ShownButtons();
    EXPECT_EQ(shown.size(), 16) << shown.join(' ').toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("ToolButton8")));
}

TEST_F(Toolbar, TheDefaultSizeShowsTheWholeBarWithinTheScreen) {
    const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
    const int barWidth = window_->ToolBar1->sizeHint().width();
    EXPECT_GE(window_->width(), std::min(barWidth, screen.width() - 40));
    EXPECT_LE(window_->width(), screen.width() - 40);
    EXPECT_LE(window_->height(), screen.height() - 40);
}

TEST_F(Toolbar, ANarrowWindowLeavesOutButtonsRatherThanCuttingCaptions) {
    Show(420);
    const QStringList shown = ShownButtons();
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_LT(shown.size(), 16);
    EXPECT_EQ(shown.first(), QStringLiteral("ToolButton2"));
    // The rest is offered by the extension button.
    auto* extension = window_->ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(extension, nullptr);
    EXPECT_TRUE(extension->isVisible());
    EXPECT_TRUE(window_->ToolButton8->isHidden());
}

// At the size the window opens with on a common screen and at 1024 x 768, in the program's style and
// with the collect buttons' images, every button is on the bar or in the extension's menu, where its
// entry presses it.
TEST(ToolbarReach, EveryButtonIsOnTheBarOrInTheExtensionMenu) {
    ASSERT_EQ(QApplication::style()->name(), QStringLiteral("fusion")) << "the style the program gets";
    for (const QSize size : {QSize(1363, 600), QSize(1024, 768)}) {
        SCOPED_TRACE(size.width());
        ScriptedServices services;
        TAbout about(services);
        Forms forms;
        forms.About = &about;
        TForm1 window(services, forms);
        window.resize(size);
        window.show();
        QApplication::processEvents();
        window.ToolBar1->setEnabled(true);
        QToolBar* bar = window.ToolBar1;
        auto* extension = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        ASSERT_NE(extension, nullptr);
        QStringList offered;
        if (extension->isVisible()) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), extension->mapToGlobal(QPointF(2, 2)),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(extension, &press);
            QApplication::processEvents();
            auto* menu = bar->findChild<QMenu*>(QStringLiteral("ToolBar1Overflow"));
            ASSERT_NE(menu, nullptr);
            EXPECT_TRUE(menu->isVisible());
            for (QAction* entry : menu->actions())
                offered << entry->text();
            menu->close();
            EXPECT_FALSE(window.AboutBut->isVisible()) << "the bar stays one row";
        }
        for (QToolButton* button : {window.ToolButton2, window.SelectTrees, window.SettingsBut, window.IniBut,
                                    window.DNSSearch, window.DHCPSearch, window.MiscSearch, window.StopBut,
                                    window.ToolButton4, window.PrintBut, window.MakeHosts, window.SaveBut,
                                    window.AllBut, window.NoneBut, window.DelDHCPRecs, window.AboutBut}) {
            const std::string name = button->objectName().toStdString();
            if (button->isVisible()) {
                const QRect onBar(button->mapTo(bar, QPoint(0, 0)), button->size());
                EXPECT_TRUE(bar->rect().contains(onBar)) << name;
                EXPECT_FALSE(onBar.intersects(extension->geometry()) && extension->isVisible()) << name;
            } else {
                EXPECT_TRUE(offered.contains(button->text())) << name;
            }
        }
        // The About entry, or the button, shows the About box.
        if (!window.AboutBut->isVisible()) {
            auto* menu = bar->findChild<QMenu*>(QStringLiteral("ToolBar1Overflow"));
            for (QAction* entry : menu->actions())
                if (entry->text() == QStringLiteral("About"))
                    entry->trigger();
        } else {
            window.AboutBut->click();
        }
        EXPECT_EQ(services.modalForms(), QStringList{QStringLiteral("TAbout")});
    }
}

} // namespace
} // namespace browser
