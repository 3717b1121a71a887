// The main window's look-up page, start and stop service commands and About button, driven
// through scripted services: the look-up against a DNS responder on the loopback address, the
// module commands against the directory client.
#include "tests/browser_lookup/LoopbackDnsResponder.h"
#include "tests/browser_lookup/ModulesFixture.h"

#include "browser/collection/TreeObj.h"
#include "browser/forms/Aboutunit.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/StartParameters.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/lookup/BackgroundDnsLookup.h"
#include "browser/lookup/DnsLookup.h"
#include "platform/ini/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace browser {
namespace {

using testing::LoopbackDnsResponder;

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

class LookupPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TForm1>(services_, forms_);
        window_->LookupTimeout = std::chrono::milliseconds(2000);
    }

    void Ask(const QString& name, const QString& server, int typeIndex, bool recursive) {
        window_->cb2->setEditText(name);
        window_->cb3->setEditText(server);
        window_->qbox->setCurrentIndex(typeIndex);
        window_->CheckBox7->setChecked(recursive);
        window_->Button2->click();
        WaitForLookup();
    }

    // Lets the window's events run until the query running off its thread has shown its outcome.
    void WaitForLookup() {
        QElapsedTimer clock;
        clock.start();
        while (window_->LookupRunning() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(window_->LookupRunning());
    }

    ScriptedServices services_;
    Forms forms_;
    std::unique_ptr<TForm1> window_;
};

TEST_F(LookupPageTest, AddressIsAskedReversedAndTheAnswerShown) {
    LoopbackDnsResponder responder({"4.3.2.1.in-addr.arpa. 60 IN PTR host.example.com."});
    window_->LookupPort = responder.port();
    window_->RE2->setPlainText(QStringLiteral("old result"));
    Ask(QStringLiteral(" 1.2.3.4 "), QStringLiteral("127.0.0.1"), 8, true); // PTR
    EXPECT_TRUE(services_.messages().isEmpty()) << services_.messages().join('|').toStdString();
    EXPECT_EQ(window_->RE2->toPlainText(), QStringLiteral("PTR    - host.example.com"));
    const auto queries = responder.queries();
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].name, "4.3.2.1.IN-ADDR.ARPA");
    EXPECT_EQ(queries[0].type, LDNS_RR_TYPE_PTR);
    EXPECT_TRUE(queries[0].recursionDesired);
    EXPECT_TRUE(window_->Button2->isEnabled());
    // The trimmed texts went into the histories.
    EXPECT_EQ(Items(window_->cb2), QStringList{QStringLiteral("1.2.3.4")});
    EXPECT_EQ(Items(window_->cb3), QStringList{QStringLiteral("127.0.0.1")});
}

TEST_F(LookupPageTest, EmptyInputsAreRefusedBeforeAnything) {
    Ask(QString(), QStringLiteral("127.0.0.1"), 0, false);
    Ask(QStringLiteral("www.example.com"), QStringLiteral("  "), 0, false);
    EXPECT_EQ(services_.messages(), (QStringList{QString::fromLatin1(kNoResolveStringMessage),
                                                 QString::fromLatin1(kNoDnsServerMessage)}));
    EXPECT_EQ(window_->cb2->count(), 0);
    EXPECT_EQ(window_->cb3->count(), 0);
    EXPECT_TRUE(window_->Button2->isEnabled());
}

TEST_F(LookupPageTest, ResolverFailureIsShownAndTheButtonComesBack) {
    LoopbackDnsResponder responder({}, LDNS_RCODE_NXDOMAIN);
    window_->LookupPort = responder.port();
    Ask(QStringLiteral("missing.example.com"), QStringLiteral("127.0.0.1"), 0, false);
    ASSERT_EQ(services_.messages().size(), 1);
    EXPECT_TRUE(services_.messages().at(0).contains(QStringLiteral("NXDOMAIN")));
    EXPECT_TRUE(window_->RE2->toPlainText().isEmpty());
    EXPECT_TRUE(window_->Button2->isEnabled());
    EXPECT_FALSE(responder.queries().at(0).recursionDesired);
}

// A server that keeps the query waiting: the window's events run meanwhile, the button stays
// disabled and a second query is refused; the answer, once given, is shown.
TEST_F(LookupPageTest, AQueryWaitingForItsAnswerLeavesTheWindowResponsive) {
    LoopbackDnsResponder slow({"www.example.com. 60 IN A 10.0.0.7"});
    slow.Hold();
    window_->LookupPort = slow.port();
    window_->LookupTimeout = std::chrono::milliseconds(60000);
    window_->cb2->setEditText(QStringLiteral("www.example.com"));
    window_->cb3->setEditText(QStringLiteral("127.0.0.1"));
    window_->Button2->click();
    ASSERT_TRUE(window_->LookupRunning()); // the click returned before the answer
    EXPECT_FALSE(window_->Button2->isEnabled());

    // The window's timers fire while the query waits at the server.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    QElapsedTimer clock;
    clock.start();
    while ((ticks < 3 || slow.Waiting() == 0) && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ticker.stop();
    EXPECT_GE(ticks, 3);
    ASSERT_EQ(slow.Waiting(), 1);
    ASSERT_TRUE(window_->LookupRunning());

    // A second query is refused while the first runs, even with the button forced back on: the histories
    // keep the first query's texts and it goes on running.
    window_->cb2->setEditText(QStringLiteral("other.example.com"));
    window_->cb3->setEditText(QStringLiteral("127.0.0.2"));
    window_->Button2->setEnabled(true);
    window_->Button2->click();
    EXPECT_TRUE(window_->LookupRunning());
    EXPECT_EQ(Items(window_->cb2), QStringList{QStringLiteral("www.example.com")});
    EXPECT_EQ(Items(window_->cb3), QStringList{QStringLiteral("127.0.0.1")});
    EXPECT_TRUE(services_.messages().isEmpty()) << services_.messages().join('|').toStdString();
    window_->Button2->setEnabled(false);

    slow.Release();
    WaitForLookup();
    EXPECT_TRUE(services_.messages().isEmpty()) << services_.messages().join('|').toStdString();
    EXPECT_EQ(window_->RE2->toPlainText(), QStringLiteral("A     - 10.0.0.7"));
    ASSERT_EQ(slow.queries().size(), 1u);
    EXPECT_EQ(slow.queries()[0].name, "www.example.com");
    EXPECT_TRUE(window_->Button2->isEnabled());
}

// The query's thread: a second start while one runs is refused and changes nothing; the first query's
// outcome comes once, with its own answer.
TEST(BackgroundDnsLookupTest, ASecondStartWhileOneRunsIsRefusedAndTheFirstAnswerComesOnce) {
    LoopbackDnsResponder slow({"www.example.com. 60 IN A 10.0.0.7", "other.example.com. 60 IN A 10.0.0.8"});
    slow.Hold();
    BackgroundDnsLookup lookup;
    std::vector<DnsLookupResult> results;
    QObject::connect(&lookup, &BackgroundDnsLookup::finished,
                     [&](const DnsLookupResult& result) { results.push_back(result); });
    DnsQuery first;
    first.name = "www.example.com";
    first.server = "127.0.0.1";
    first.port = slow.port();
    first.timeout = std::chrono::milliseconds(60000);
    ASSERT_TRUE(lookup.start(first));
    const auto waitFor = [](const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    waitFor([&] { return slow.Waiting() == 1; });
    ASSERT_EQ(slow.Waiting(), 1);

    DnsQuery second = first;
    second.name = "other.example.com";
    EXPECT_FALSE(lookup.start(second));
    EXPECT_TRUE(lookup.running());

    slow.Release();
    waitFor([&] { return !lookup.running(); });
    ASSERT_FALSE(lookup.running());
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50); // a second outcome would come now
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].ok) << results[0].error;
    EXPECT_EQ(results[0].lines, std::vector<std::string>{"A     - 10.0.0.7"});
    ASSERT_EQ(slow.queries().size(), 1u);
    EXPECT_EQ(slow.queries()[0].name, "www.example.com");
}

// A query nobody answers ends at its timeout with the resolver's text and the cause.
TEST_F(LookupPageTest, AnUnansweredQueryNamesTheTimeout) {
    LoopbackDnsResponder silent({}, LDNS_RCODE_NOERROR, true);
    window_->LookupPort = silent.port();
    window_->LookupTimeout = std::chrono::milliseconds(300);
    Ask(QStringLiteral("www.example.com"), QStringLiteral("127.0.0.1"), 0, false);
    EXPECT_EQ(services_.messages(),
              QStringList{QStringLiteral(
                  "Could not send or receive, because of network error (Connection timed out)")});
    EXPECT_TRUE(window_->Button2->isEnabled());
}

TEST_F(LookupPageTest, HistoryKeepsTenEntriesNewestFirst) {
    LoopbackDnsResponder responder({}, LDNS_RCODE_NOERROR, false, 12);
    window_->LookupPort = responder.port();
    for (int i = 1; i <= 11; ++i)
        Ask(QStringLiteral("host%1.example.com").arg(i), QStringLiteral("127.0.0.1"), 0, false);
    const QStringList names = Items(window_->cb2);
    ASSERT_EQ(names.size(), 10);
    EXPECT_EQ(names.first(), QStringLiteral("host11.example.com"));
    EXPECT_EQ(names.last(), QStringLiteral("host2.example.com"));
    EXPECT_EQ(window_->cb2->currentText(), QStringLiteral("host11.example.com"));
    EXPECT_EQ(Items(window_->cb3), QStringList{QStringLiteral("127.0.0.1")});
    EXPECT_EQ(window_->LookupQueries().size(), 10u); // what is written to LOOKUP at close
}

class ServiceCommandsTest : public testing::ModulesDirectoryTest {
protected:
    void SetUp() override {
        ModulesDirectoryTest::SetUp();
        trees_.Add("ACME", std::make_unique<treeobj>(context_));
        icons_.dnsServer = 2;
        icons_.dhcpServer = 3;
        icons_.locator = 1;
        form4_ = std::make_unique<TForm4>(services_);
        forms_.Form4 = form4_.get();
        window_ = std::make_unique<TForm1>(services_, forms_);
        window_->SetPaneSources(&trees_, &icons_);
        window_->ModuleSettingsFile = IniPath();
    }

    void TearDown() override {
        window_.reset();
        trees_ = TreeList();
        ModulesDirectoryTest::TearDown();
    }

    void Select(const QString& caption, int image) {
        auto* item = new QTreeWidgetItem(window_->lv1, {caption, QStringLiteral("DNS.ACME")});
        item->setData(0, kObjectDataRole, 0);
        item->setData(0, kObjectImageRole, image);
        window_->lv1->setCurrentItem(item);
        item->setSelected(true);
    }

    // Answers the start dialog: records its caption and parameter text, then sets the answer.
    void AnswerStartDialog(const QString& parameters, bool forServer, bool asDefault, bool start) {
        services_.queueDialog([=, this](QDialog& dialog) {
            auto& form = static_cast<TForm4&>(dialog);
            shownCaption_ = form.windowTitle();
            shownParameters_ = form.Edit1->text();
            form.Edit1->setText(parameters);
            form.serverDefaultBox->setChecked(forServer);
            form.defaultBox->setChecked(asDefault);
            (start ? form.startButton : form.cancelButton)->click();
        });
    }

    ScriptedServices services_;
    TreeList trees_;
    ClassIconNumbers icons_;
    Forms forms_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm1> window_;
    QString shownCaption_;
    QString shownParameters_;
};

TEST_F(ServiceCommandsTest, StartAsksForParametersKeepsThemAndLoadsTheModule) {
    {
        ini::IniFile settings(IniPath());
        settings.WriteString("named", "D", "-default");
    }
    Select(QStringLiteral("DNS1"), 2);
    AnswerStartDialog(QStringLiteral("-x 5"), true, false, true);
    window_->StartServiceClick();
    EXPECT_EQ(shownCaption_, QStringLiteral("Start service named on server FS1"));
    EXPECT_EQ(shownParameters_, QStringLiteral("-default"));
    EXPECT_TRUE(services_.messages().isEmpty()) << services_.messages().join('|').toStdString();
    EXPECT_EQ(nwclient::moduleLog().back(), "LOAD FS1 named -x 5 -> 0");
    const ini::IniFile settings(IniPath());
    EXPECT_EQ(settings.ReadString("named", "DNS1", "?"), "-x 5");
    EXPECT_EQ(settings.ReadString("named", "D", "?"), "-default");

    // The next start offers the server's own value; stop uses the dialog's text.
    AnswerStartDialog(QStringLiteral("-y"), false, true, false);
    window_->StartServiceClick();
    EXPECT_EQ(shownParameters_, QStringLiteral("-x 5"));
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::LoadServerModule), 1u); // cancelled: nothing loaded
    EXPECT_EQ(ini::IniFile(IniPath()).ReadString("named", "D", "?"), "-default");
    window_->StopServiceClick();
    EXPECT_EQ(nwclient::moduleLog().back(), "UNLOAD FS1 named -> 0");
    EXPECT_TRUE(services_.messages().isEmpty());
}

TEST_F(ServiceCommandsTest, ServerWithoutReferenceShowsTheErrorAndTouchesNothing) {
    Select(QStringLiteral("DNS2"), 2);
    window_->StartServiceClick();
    window_->StopServiceClick();
    EXPECT_EQ(services_.messages(),
              (QStringList{QStringLiteral("Error, server reference not given for DNS2.DNS.ACME"),
                           QStringLiteral("Error, server reference not given for DNS2.DNS.ACME")}));
    EXPECT_EQ(services_.count(ScriptedServices::Kind::Modal), 0);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::OpenConnectionByName), 0u);
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(ServiceCommandsTest, DhcpModuleFailureAndOtherRowsDoNothing) {
    Select(QStringLiteral("DHCP1"), 3);
    AnswerStartDialog(QString(), false, false, true);
    window_->StartServiceClick();
    EXPECT_EQ(shownCaption_, QStringLiteral("Start service DHCPSrvr on server FS2"));
    EXPECT_EQ(services_.messages(), QStringList{QStringLiteral("Falen......17")});

    // A row that is no server: the commands do nothing.
    services_.clearCalls();
    Select(QStringLiteral("Locator"), 1);
    window_->StartServiceClick();
    window_->StopServiceClick();
    EXPECT_TRUE(services_.calls().empty());
}

TEST_F(ServiceCommandsTest, StopBeforeAnyStartUsesTheFieldsFirstText) {
    Select(QStringLiteral("DNS1"), 2);
    window_->StopServiceClick();
    EXPECT_EQ(nwclient::moduleLog().back(), "UNLOAD FS1 named -> 0");
    window_->StopServiceClick(); // no longer loaded
    EXPECT_EQ(services_.messages(),
              QStringList{QStringLiteral("Fail...%1").arg(nwclient::ERR_MODULE_NOT_LOADED)});
}

TEST(AboutButtonTest, ShowsTheAboutBoxModally) {
    ScriptedServices services;
    TAbout about(services);
    Forms forms;
    forms.About = &about;
    TForm1 window(services, forms);
    window.AboutBut->click();
    EXPECT_EQ(services.modalForms(), QStringList{QStringLiteral("TAbout")});
}

} // namespace
} // namespace browser
