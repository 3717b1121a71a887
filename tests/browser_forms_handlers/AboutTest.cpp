// The About box (its texts, fade-in and fade-out, links), the coloured button and the system facts
// the box shows.
#include "browser/forms/Aboutunit.h"
#include "browser/forms/BitBtnWithColor.h"
#include "browser/lists/Named.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/startup/CaptionText.h"
#include "platform/sysinfo/SystemInfo.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

namespace browser {
namespace {

const QColor kSkyBlue(0xA6, 0xCA, 0xF0);

TEST(SystemInfoTest, OsReleaseNames) {
    EXPECT_EQ(sysinfo::OsNameFromOsRelease(
                  "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(sysinfo::OsNameFromOsRelease("# comment\nNAME=Fedora\nVERSION='39 (Workstation)'\n"),
              "Fedora 39 (Workstation)");
    EXPECT_EQ(sysinfo::OsNameFromOsRelease("PRETTY_NAME=\"Say \\\"hi\\\"\" # trailing\n"), "Say \"hi\"");
    EXPECT_EQ(sysinfo::OsNameFromOsRelease(""), "Linux");
}

TEST(SystemInfoTest, MemoryFromMeminfo) {
    EXPECT_EQ(sysinfo::TotalMemoryFromMeminfo("MemFree:  10 kB\nMemTotal:       16318480 kB\n"),
              16318480ull * 1024);
    EXPECT_EQ(sysinfo::TotalMemoryFromMeminfo("MemTotal: 8000000000 kB\n"),
              8000000000ull * 1024); // above 4 TB
    EXPECT_FALSE(sysinfo::TotalMemoryFromMeminfo("MemFree: 10 kB\n"));
    EXPECT_FALSE(sysinfo::TotalMemoryFromMeminfo("MemTotal: lots\n"));
    EXPECT_FALSE(sysinfo::TotalMemoryFromMeminfo("MemTotal: 10 GB\n"));
}

TEST(SystemInfoTest, RunningSystemHasANameAndMemory) {
    const sysinfo::OperatingSystem system = sysinfo::CurrentOperatingSystem();
    EXPECT_FALSE(system.name.empty());
    EXPECT_FALSE(system.kernelRelease.empty());
    EXPECT_GT(sysinfo::TotalPhysicalMemory(), 0u);
}

class AboutTest : public ::testing::Test {
protected:
    // The show handler runs inside show() and starts the fade; the fade timer is stopped before any
    // event can run, so no tick can come before the test looks (the test steps the fade itself).
    void Show() {
        about_.show();
        fadeStarted_ = about_.Timer1->isActive();
        about_.Timer1->stop();
        QApplication::processEvents();
    }
    static void ClickLabel(QLabel* label) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), label->mapToGlobal(QPointF(1, 1)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), label->mapToGlobal(QPointF(1, 1)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &release);
    }

    ScriptedServices services_;
    TAbout about_{services_};
    bool fadeStarted_ = false;
};

TEST_F(AboutTest, ShowFillsTheTextsAndStartsTransparent) {
    about_.version.fileVersion = "1.2";
    about_.version.description = "the description";
    about_.version.legalNotice = "the notice";
    Show();
    const sysinfo::OperatingSystem system = sysinfo::CurrentOperatingSystem();
    EXPECT_EQ(about_.lblWindowsVersion->text(),
              QString::fromStdString(system.name + " (Build " + system.kernelRelease + ")"));
    EXPECT_TRUE(about_.lblMemory->text().endsWith(QStringLiteral(" KB")));
    EXPECT_EQ(about_.lblMemory->text(), MemoryText(sysinfo::TotalPhysicalMemory()));
    EXPECT_EQ(about_.Label1->text(), QStringLiteral("Build: 1.2"));
    EXPECT_EQ(about_.Label4->text(), QStringLiteral("the description"));
    EXPECT_EQ(about_.Label3->text(), QStringLiteral("the notice"));
    EXPECT_FALSE(about_.forum->isVisible()); // no forum address
    EXPECT_TRUE(fadeStarted_);
    EXPECT_EQ(about_.AlphaBlendValue(), 0);
    EXPECT_EQ(Tag(&about_), 4);
    about_.hide();
}

TEST(AboutTextsTest, VersionComesFromTheBuild) {
    const std::string version = CurrentProgramInfo().fileVersion;
    EXPECT_NE(version, "0.0"); // the fallback when the build gives none
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+(\\.\\d+)*$"))
                    .match(QString::fromStdString(version))
                    .hasMatch())
        << version;
    ScriptedServices services;
    TAbout about(services);
    EXPECT_EQ(about.version.fileVersion, version);
    // The caption names the same version as the About box.
    const QStringList parts = QString::fromStdString(version).split(QLatin1Char('.'));
    ASSERT_EQ(parts.size(), 3) << version;
    const QString caption = QStringLiteral("Cormelian v%1.%2.%3")
                                .arg(parts[0].toInt())
                                .arg(parts[1].toInt(), 2, 10, QLatin1Char('0'))
                                .arg(parts[2].toInt(), 2, 10, QLatin1Char('0'));
    EXPECT_EQ(QString::fromStdString(CaptionText::TitlePart("Cormelian")), caption);
}

TEST(AboutTextsTest, MemoryInWholeKilobytes) {
    EXPECT_EQ(MemoryText(16318480ull * 1024 + 1000), QStringLiteral("16318480 KB"));
    EXPECT_EQ(SystemVersionText(QStringLiteral("Debian 12"), QStringLiteral("6.1.0")),
              QStringLiteral("Debian 12 (Build 6.1.0)"));
}

TEST_F(AboutTest, FadesInByFourAndEndsAtExactly255) {
    Show();
    int ticks = 0;
    int last = about_.AlphaBlendValue();
    while (about_.AlphaBlendValue() < 255 && ticks < 100) {
        about_.Timer1Timer();
        ++ticks;
        const int now = about_.AlphaBlendValue();
        EXPECT_TRUE(now - last == 4 || now == 255) << last << " -> " << now;
        last = now;
    }
    EXPECT_EQ(about_.AlphaBlendValue(), 255);
    EXPECT_EQ(ticks, 63); // 0, 4, ... 248, then 255
    EXPECT_FALSE(about_.Timer1->isActive());
    EXPECT_TRUE(about_.isVisible());
    about_.hide();
}

TEST_F(AboutTest, CloseFadesOutBeforeTheBoxClosesWithOk) {
    Show();
    for (int i = 0; i < 63; ++i)
        about_.Timer1Timer();
    ASSERT_EQ(about_.AlphaBlendValue(), 255);
    int result = -1;
    QObject::connect(&about_, &QDialog::finished, [&result](int code) { result = code; });
    about_.BitBtnWithColor1->click();
    EXPECT_TRUE(about_.isVisible()); // not at once
    EXPECT_TRUE(about_.Timer1->isActive());
    about_.Timer1->stop();
    EXPECT_EQ(Tag(&about_), -4);
    int ticks = 0;
    while (about_.isVisible() && ticks < 100) {
        about_.Timer1Timer();
        ++ticks;
    }
    EXPECT_FALSE(about_.isVisible());
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(about_.AlphaBlendValue(), 3);
    EXPECT_EQ(ticks, 64);
}

TEST_F(AboutTest, LinksOpenTheirAddresses) {
    about_.version.webPage1 = "https://example.org/one";
    about_.version.mailAddress = "maker@example.org";
    about_.version.forumAddress = "https://example.org/forum";
    Show();
    EXPECT_TRUE(about_.forum->isVisible());
    EXPECT_FALSE(about_.webLabel2->isVisible());
    ClickLabel(about_.webLabel1);
    ClickLabel(about_.emailCaptionLabel);
    ClickLabel(about_.emailLabel);
    ClickLabel(about_.forum);
    QStringList opened;
    for (const ScriptedServices::Call& call : services_.calls())
        if (call.kind == ScriptedServices::Kind::OpenLink)
            opened << call.text;
    EXPECT_EQ(opened, (QStringList{QStringLiteral("https://example.org/one"),
                                   QStringLiteral("mailto:maker@example.org"),
                                   QStringLiteral("mailto:maker@example.org"),
                                   QStringLiteral("https://example.org/forum")}));
    about_.hide();
}

// The button's face colour a few pixels inside its top edge, middle of the width.
QColor FaceColour(TBitBtnWithColor& button) {
    const QImage image = button.grab().toImage();
    return image.pixelColor(image.width() / 2, 3);
}

class ColourButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.resize(200, 100);
        button_ = new TBitBtnWithColor(QStringLiteral("Close"), &window_);
        button_->setGeometry(10, 10, 90, 30);
        button_->SetColor(kSkyBlue);
        window_.show();
        QApplication::processEvents();
    }

    QDialog window_;
    TBitBtnWithColor* button_ = nullptr;
};

TEST_F(ColourButtonTest, FaceHasTheColourInEveryState) {
    EXPECT_EQ(FaceColour(*button_), kSkyBlue);
    button_->setDown(true);
    EXPECT_EQ(FaceColour(*button_), kSkyBlue);
    button_->setDown(false);
    button_->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(FaceColour(*button_), kSkyBlue);
    button_->SetColor(Qt::red);
    EXPECT_EQ(FaceColour(*button_), QColor(Qt::red));
}

TEST_F(ColourButtonTest, GlyphBackgroundFollowsTheColour) {
    // A 2-image strip: white background (the bottom-left pixel) with one coloured pixel per image.
    QImage strip(16, 8, QImage::Format_RGB32);
    strip.fill(Qt::white);
    strip.setPixel(3, 3, qRgb(0, 0, 255));
    strip.setPixel(11, 3, qRgb(255, 0, 0));
    button_->SetGlyph(QPixmap::fromImage(strip));
    EXPECT_EQ(button_->NumGlyphs(), 2);
    const QImage up = button_->GlyphImage(bsUp);
    ASSERT_EQ(up.size(), QSize(8, 8));
    EXPECT_EQ(up.pixelColor(0, 0), kSkyBlue);
    EXPECT_EQ(up.pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_EQ(button_->GlyphImage(bsDisabled).pixelColor(3, 3), QColor(Qt::red)); // its own image
    EXPECT_EQ(button_->GlyphImage(bsDown).pixelColor(0, 0), kSkyBlue);
    EXPECT_EQ(button_->GlyphImage(bsExclusive).pixelColor(0, 0).alpha(), 0); // drawn transparent
    button_->SetColor(Qt::green);
    EXPECT_EQ(button_->GlyphImage(bsUp).pixelColor(0, 0), QColor(Qt::green));
    // On the face the glyph's background is the face colour.
    const QImage face = button_->grab().toImage();
    QPoint mark(-1, -1);
    for (int y = 0; y < face.height() && mark.x() < 0; ++y)
        for (int x = 0; x < face.width() && mark.x() < 0; ++x)
            if (face.pixelColor(x, y) == QColor(Qt::blue))
                mark = QPoint(x, y);
    ASSERT_GE(mark.x(), 0);
    EXPECT_LT(mark.x(), face.width() / 2); // left of the caption
    EXPECT_EQ(face.pixelColor(mark - QPoint(3, 3)), QColor(Qt::green));
    EXPECT_EQ(face.pixelColor(mark + QPoint(4, 4)), QColor(Qt::green));
    EXPECT_EQ(FaceColour(*button_), QColor(Qt::green));
}

TEST_F(ColourButtonTest, KindGivesCaptionAndModalResultAndAHandlerMayCancelIt) {
    TBitBtnWithColor* ok = Named<TBitBtnWithColor>("ok", QString(), &window_);
    ok->SetKind(bkOK);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_FALSE(ok->IsCaptionStored());
    EXPECT_EQ(ok->ModalResult(), mrOk);
    ok->SetKind(bkCancel);
    EXPECT_EQ(ok->text(), QStringLiteral("Cancel")); // followed the kind
    ok->setText(QStringLiteral("Leave"));
    ok->SetKind(bkYes);
    EXPECT_EQ(ok->text(), QStringLiteral("Leave")); // an own caption stays
    EXPECT_TRUE(ok->IsCaptionStored());

    int result = -1;
    QObject::connect(&window_, &QDialog::finished, [&result](int code) { result = code; });
    bool cancel = true;
    QObject::connect(ok, &TBitBtnWithColor::Clicked, [&] {
        if (cancel)
            ok->CancelModalResult();
    });
    ok->click();
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(window_.isVisible());
    cancel = false;
    ok->click();
    EXPECT_EQ(result, mrYes);
}

} // namespace
} // namespace browser
