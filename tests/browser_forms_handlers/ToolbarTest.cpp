// The main window's tool bar: every button shows its whole caption, in a wide and a narrow window.
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/lists/ScriptedServices.h"

#include <QApplication>
#include <QScreen>
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

} // namespace
} // namespace browser
