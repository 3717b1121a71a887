// The start-up over the real directory layer and client, on a small configuration of its own.
#include "StartupFakes.h"

#include "browser/startup/DirectoryStartup.h"
#include "browser/startup/SetFormLogic.h"
#include "browser/startup/StartupSequence.h"
#include "browser/startup/TreeDialogsLogic.h"
#include "platform/ini/IniFile.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace startup_test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kAcmeLdif = "dn: o=ACME\nobjectClass: organization\no: ACME\n\n"
                                  "dn: ou=Sales,o=ACME\nobjectClass: organizationalUnit\nou: Sales\n\n"
                                  "dn: cn=admin,o=ACME\nobjectClass: inetOrgPerson\ncn: admin\n\n"
                                  "dn: cn=joe,ou=Sales,o=ACME\nobjectClass: inetOrgPerson\ncn: joe\n\n";
constexpr const char* kLabLdif = "dn: o=LAB\nobjectClass: organization\no: LAB\n\n"
                                 "dn: cn=admin,o=LAB\nobjectClass: inetOrgPerson\ncn: admin\n\n";
constexpr const char* kHiddenLdif = "dn: o=HIDDEN\nobjectClass: organization\no: HIDDEN\n\n"
                                    "dn: cn=admin,o=HIDDEN\nobjectClass: inetOrgPerson\ncn: admin\n\n";

class ClientStartupTest : public ::testing::Test {
protected:
    TempFolder client;
    TempFolder program;
    Journal journal;
    browser::LayerTreeDirectory directory{client.file("client.ini")};
    FakeHelper helper{journal};
    browser::LayerTimeSettings time;
    RecordingHost host{journal};
    browser::StartupSequence sequence{directory, helper, time, host, program.path().string()};

    void SetUp() override {
        WriteFile(client.file("ACME.ldif"), kAcmeLdif);
        WriteFile(client.file("LAB.ldif"), kLabLdif);
        WriteFile(client.file("HIDDEN.ldif"), kHiddenLdif);
        WriteFile(client.file("client.ini"), "[Client]\nPreferredTree=ACME\nStore=:memory:\n"
                                             "[Trees]\nACME=visible\nLAB=visible\nHIDDEN=hidden\n"
                                             "[Tree ACME]\nUser=admin.ACME\n[Users ACME]\nadmin.ACME=secret\n"
                                             "[Tree LAB]\nUser=admin.LAB\n"
                                             "[Users HIDDEN]\nadmin.HIDDEN=pw\n"
                                             "[Server FS1]\nTree=ACME\nAddresses=10.0.0.1\n");
    }
    void TearDown() override { sequence.Shutdown(); }
};

} // namespace

TEST_F(ClientStartupTest, StartsOnTheChosenTreeAndEndsCleanly) {
    WriteFile(program.file("Cormelian.ini"), "[TREES]\nACME=.Sales.ACME\nLAB=[root]\n");
    host.onTreeChoice = [](browser::DNSTreesLogic& choice) {
        ASSERT_EQ(choice.Items().size(), 2u);
        choice.SetChecked(0, true);
    };
    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    ASSERT_TRUE(sequence.Run({}));

    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"ACME", "LAB"}));
    const browser::treeobj* acme = sequence.Trees().Find("ACME");
    EXPECT_EQ(directory.GetContextTreeName(acme->context), "ACME");
    EXPECT_EQ(directory.GetContextTreeName(sequence.Trees().Find("LAB")->context), "LAB");
    EXPECT_EQ(acme->startContext, "Sales.ACME");
    // MASTER defaulted to true: the tree's context reads from the master replica.
    std::uint32_t confidence = 0;
    ASSERT_EQ(nwclient::getContextKey(acme->context, nwclient::KEY_CONFIDENCE, confidence), 0);
    EXPECT_EQ(confidence, 2u);

    sequence.Shutdown();
    EXPECT_FALSE(nwclient::isInitialized());
}

// What killed writers left where the program reads is repaired before it reads, each repair told in
// one line: a tree's files written as one group (its LDIF and manifest, as gentree writes them) that
// ended between its renames are put back all old or all new before the client loads them, and a dead
// writer's file in a tree's cache folder is removed before the cache is read.
TEST_F(ClientStartupTest, InterruptedWritesAreRepairedBeforeTreesAndCachesAreRead) {
    const std::string newLdif =
        std::string(kAcmeLdif) + "dn: ou=New,o=ACME\nobjectClass: organizationalUnit\nou: New\n\n";
    WriteFile(client.file("ACME.manifest"), "old manifest");
    test_support::LeaveKilledGroup(
        {{client.file("ACME.ldif"), newLdif}, {client.file("ACME.manifest"), "new manifest"}}, 2);
    ASSERT_EQ(ReadFile(client.file("ACME.ldif")), newLdif); // the mixed set a crash left
    ASSERT_EQ(ReadFile(client.file("ACME.manifest")), "old manifest");

    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_NE(host.notices[0].find(client.path().string()), std::string::npos) << host.notices[0];
    const bool allOld = ReadFile(client.file("ACME.ldif")) == kAcmeLdif &&
                        ReadFile(client.file("ACME.manifest")) == "old manifest";
    const bool allNew = ReadFile(client.file("ACME.ldif")) == newLdif &&
                        ReadFile(client.file("ACME.manifest")) == "new manifest";
    EXPECT_TRUE(allOld || allNew);
    EXPECT_EQ(
        test_support::EntryNames(client.path()),
        (std::vector<std::string>{"ACME.ldif", "ACME.manifest", "HIDDEN.ldif", "LAB.ldif", "client.ini"}));

    WriteFile(program.file("Cormelian.ini"), "[SYSTEM]\nnoTrees=1\n");
    fs::create_directories(program.file("data/ACME"));
    WriteFile(program.file("data/ACME/zones.ini"), "cached zones");
    test_support::LeaveKilledWrite(program.file("data/ACME/zones.ini"), "partial zones");
    ASSERT_EQ(test_support::EntryNames(program.file("data/ACME")).size(), 2u);
    host.notices.clear();
    ASSERT_TRUE(sequence.Run({}));
    ASSERT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_NE(host.notices[0].find("data/ACME"), std::string::npos) << host.notices[0];
    EXPECT_EQ(test_support::EntryNames(program.file("data/ACME")), std::vector<std::string>{"zones.ini"});
    EXPECT_EQ(ReadFile(program.file("data/ACME/zones.ini")), "cached zones");
}

TEST_F(ClientStartupTest, LoginAndSettingsDialogAgainstTheTree) {
    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    WriteFile(program.file("Cormelian.ini"), "[SYSTEM]\nnoTrees=1\n");
    ASSERT_TRUE(sequence.Run({}));

    // A hidden tree is logged in to through "More".
    host.onLogin = [this](ContextHandle context) {
        browser::LoginFormLogic login;
        EXPECT_EQ(login.SetLoginContext(context, directory), "Login into tree: HIDDEN");
        EXPECT_TRUE(login.Login("admin.HIDDEN", "wrong", directory).has_value());
        return !login.Login("admin.HIDDEN", "pw", directory).has_value();
    };
    browser::DNSTreesLogic choice;
    choice.SetContext(sequence.MainContext());
    EXPECT_TRUE(choice.AddMoreTree("HIDDEN", directory, sequence.Trees(), host));
    ASSERT_NE(sequence.Trees().Find("HIDDEN"), nullptr);

    // The settings dialog checks the top object's class in the tree.
    browser::SetFormLogic dialog;
    sequence.PrepareSettingsDialog(dialog);
    EXPECT_EQ(dialog.TreeName(), "ACME");
    const std::string ini = sequence.DataIniPath();
    EXPECT_TRUE(dialog.Accept("Sales.ACME", false, false, ini, directory, helper).accepted);
    EXPECT_EQ(dialog.Accept("admin.ACME", false, false, ini, directory, helper).message,
              "Illegal object top!");
    EXPECT_EQ(dialog.Accept("nobody.ACME", false, false, ini, directory, helper).message,
              "Fill in correct object name, and no leading \".\"");
    EXPECT_EQ(ini::IniFile(ini).ReadString("TREES", "ACME", ""), "Sales.ACME");

    // "Add" by address asks the server for its tree.
    EXPECT_EQ(browser::TreesFormLogic::AddTree("10.0.0.1", directory).name,
              std::optional<std::string>("ACME"));
}

TEST_F(ClientStartupTest, ProgramOnAMappedVolumeUsesTheNetworkPath) {
    TempFolder data;
    WriteFile(client.file("client.ini"),
              ReadFile(client.file("client.ini")) + "[Volumes]\n" + program.path().string() + "=FS1/SYS\n");
    WriteFile(program.file("Cormelian.ini"), "[NETWORK]\npath=" + data.str() + "cormelian\n");
    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    ASSERT_TRUE(sequence.Run({}));
    EXPECT_EQ(sequence.DataDirectory(), data.str() + "cormelian/");
    EXPECT_TRUE(fs::exists(data.str() + "cormelian/Cormelian.ini"));
}

TEST_F(ClientStartupTest, HomeDirectoryOfTheLoggedInUserHoldsTheData) {
    TempFolder volume;
    WriteFile(client.file("ACME.ldif"), std::string(kAcmeLdif) +
                                            "dn: cn=FS1,o=ACME\nobjectClass: ncpServer\ncn: FS1\n\n"
                                            "dn: cn=FS1_SYS,o=ACME\nobjectClass: volume\ncn: FS1_SYS\n"
                                            "hostServer: cn=FS1,o=ACME\nhostResourceName: SYS\n\n"
                                            "dn: cn=boss,o=ACME\nobjectClass: inetOrgPerson\ncn: boss\n"
                                            "homeDirectory: 0#cn=FS1_SYS,o=ACME#users\\boss\n\n");
    std::string config = ReadFile(client.file("client.ini"));
    config.replace(config.find("User=admin.ACME"), 15, "User=boss.ACME");
    WriteFile(client.file("client.ini"), config + "[Volumes]\n" + program.path().string() + "=FS1/APPS\n" +
                                             volume.path().string() + "=FS1/SYS\n");
    WriteFile(program.file("Cormelian.ini"), "[NETWORK]\npath=%HOMEDIR%/cormelian\n");

    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    ASSERT_TRUE(sequence.Run({})) << (host.messages.empty() ? "" : host.messages.front());
    EXPECT_EQ(sequence.DataDirectory(), volume.str() + "users/boss/cormelian/");
    EXPECT_TRUE(fs::exists(volume.str() + "users/boss/cormelian/Cormelian.ini"));
}

TEST_F(ClientStartupTest, UserWithoutHomeDirectoryIsTold) {
    std::string config = ReadFile(client.file("client.ini"));
    WriteFile(client.file("client.ini"), config + "[Volumes]\n" + program.path().string() + "=FS1/APPS\n");
    WriteFile(program.file("Cormelian.ini"), "[NETWORK]\npath=%homedir%\n");
    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    EXPECT_FALSE(sequence.Run({}));
    EXPECT_EQ(host.messages, (std::vector<std::string>{"User admin.ACME has no homedirectory!!"}));
}

// A configuration that cannot be read keeps the message and tells which file and why.
TEST_F(ClientStartupTest, ConfigurationFaultsNameTheFileAndTheCause) {
    struct Case {
        const char* name;
        std::function<void(const TempFolder&)> spoil;
        const char* cause;
    };
    const std::vector<Case> cases{
        {"missing file", [](const TempFolder& folder) { fs::remove(folder.file("client.ini")); },
         "No such file or directory"},
        {"unreadable file",
         [](const TempFolder& folder) { fs::permissions(folder.file("client.ini"), fs::perms::none); },
         "Permission denied"},
    };
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        TempFolder folder;
        WriteFile(folder.file("client.ini"), "[Trees]\nACME=visible\n");
        fault.spoil(folder);
        if (std::string(fault.name) == "unreadable file" && ::geteuid() == 0)
            continue; // the superuser reads every file
        Journal faultJournal;
        browser::LayerTreeDirectory faultDirectory{folder.file("client.ini")};
        RecordingHost faultHost{faultJournal};
        browser::StartupSequence faultSequence{faultDirectory, helper, time, faultHost,
                                               program.path().string()};
        EXPECT_FALSE(faultSequence.Prepare());
        EXPECT_EQ(faultHost.messages, (std::vector<std::string>{"No Novell Client?"}));
        ASSERT_EQ(faultHost.details.size(), 1u);
        EXPECT_NE(faultHost.details[0].find(folder.file("client.ini")), std::string::npos)
            << faultHost.details[0];
        EXPECT_NE(faultHost.details[0].find(fault.cause), std::string::npos) << faultHost.details[0];
    }
}

// A tree whose data file is missing or malformed is left out with nothing of it loaded, named with
// its cause on the error stream (also when hidden) and when chosen; the good tree opens.
TEST_F(ClientStartupTest, ATreeFileThatFailsLeavesTheOtherTreesOpen) {
    struct Case {
        const char* name;
        const char* labLdif; // nullptr: no file
        const char* labState;
        const char* cause; // after the file name
    };
    const std::vector<Case> cases{
        {"missing file", nullptr, "visible", ": cannot open the file: No such file or directory"},
        {"line without a colon", "dn: o=LAB\nobjectClass: organization\nnot a line\n", "visible",
         ":3: missing \":\" after the attribute name"},
        {"cut short in a base64 value", "dn: o=LAB\nobjectClass: organization\ndescription:: SGVsbG8gd2",
         "visible", ":3: "},
        {"hidden and malformed", "dn: o=LAB\nobjectClass: organization\nnot a line\n", "hidden", ":3: "},
    };
    WriteFile(program.file("Cormelian.ini"), "[TREES]\nACME=[root]\nLAB=[root]\n");
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        TempFolder folder;
        WriteFile(folder.file("ACME.ldif"), kAcmeLdif);
        if (fault.labLdif != nullptr)
            WriteFile(folder.file("LAB.ldif"), fault.labLdif);
        WriteFile(folder.file("client.ini"), std::string("[Client]\nPreferredTree=ACME\nStore=:memory:\n"
                                                         "[Trees]\nACME=visible\nLAB=") +
                                                 fault.labState + "\n");
        Journal faultJournal;
        browser::LayerTreeDirectory faultDirectory{folder.file("client.ini")};
        RecordingHost faultHost{faultJournal};
        faultHost.onTreeChoice = [](browser::DNSTreesLogic& choice) {
            for (std::size_t i = 0; i < choice.Items().size(); ++i)
                choice.SetChecked(static_cast<int>(i), true);
        };
        browser::StartupSequence faultSequence{faultDirectory, helper, time, faultHost,
                                               program.path().string()};
        ::testing::internal::CaptureStderr();
        const bool prepared = faultSequence.Prepare();
        const std::string errors = ::testing::internal::GetCapturedStderr();
        ASSERT_TRUE(prepared) << nwclient::lastError();
        const std::string reason = "tree LAB: " + folder.file("LAB.ldif") + fault.cause;
        EXPECT_NE(errors.find(reason), std::string::npos) << errors;
        faultSequence.Run({});
        EXPECT_NE(faultSequence.Trees().Find("ACME"), nullptr);
        EXPECT_EQ(faultSequence.Trees().Find("LAB"), nullptr);
        bool ok = false;
        const ContextHandle probe = faultDirectory.CreateDSContext(ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(faultDirectory.SelectTree(probe, "LAB", false), nwclient::ERR_NO_CONNECTION)
            << "nothing of LAB loaded";
        faultDirectory.FreeContext(probe);
        if (std::string(fault.labState) == "visible") {
            ASSERT_FALSE(faultHost.messages.empty());
            const std::string& report = faultHost.messages.front();
            EXPECT_EQ(report.rfind("Tree LAB can't be opened (", 0), 0u) << report;
            EXPECT_NE(report.find(reason), std::string::npos) << report;
        }
        for (const std::string& message : faultHost.messages)
            EXPECT_EQ(message.find("No Novell Client?"), std::string::npos) << message;
        faultSequence.Shutdown();
    }
}

TEST(ClientStartupLibrary, ProgramWithoutTheHelperLibraryStops) {
    TempFolder program;
    Journal journal;
    browser::LayerTreeDirectory directory;
    browser::TolvexHelperLibrary helper;
    browser::LayerTimeSettings time;
    RecordingHost host{journal};
    browser::StartupSequence sequence{directory, helper, time, host, program.path().string()};
    EXPECT_FALSE(sequence.Prepare());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"Error: can't find Tolvex.dll"}));
    EXPECT_FALSE(nwclient::isInitialized());
    sequence.Shutdown();
}

TEST(ClientStartupDemo, StartsOnTheDemoDirectory) {
    const char* configured = std::getenv("CORMELIAN_SOURCE_DIR");
    const fs::path source =
        configured != nullptr ? fs::path(configured) : fs::path(__FILE__).parent_path() / "../..";
    TempFolder client;
    TempFolder program;
    fs::copy(source / "data" / "demo", client.path(), fs::copy_options::recursive);
    std::string config = ReadFile(client.file("client.ini"));
    config.replace(config.find("Store=store.db"), 14, "Store=:memory:");
    WriteFile(client.file("client.ini"), config);

    Journal journal;
    browser::LayerTreeDirectory directory{client.file("client.ini")};
    FakeHelper helper{journal};
    browser::LayerTimeSettings time;
    RecordingHost host{journal};
    browser::StartupSequence sequence{directory, helper, time, host, program.path().string()};
    host.onLogin = [&](ContextHandle context) {
        browser::LoginFormLogic login;
        login.SetLoginContext(context, directory);
        return !login.Login("admin.Users.INITECH", "secret", directory).has_value();
    };
    host.onTreeChoice = [&](browser::DNSTreesLogic& choice) {
        EXPECT_EQ(choice.Items().size(), 2u); // INITECH is hidden
        browser::TreesFormLogic more;
        more.SetContext(choice.Context());
        EXPECT_EQ(more.ListTrees(directory), (std::vector<std::string>{"ACME", "GLOBEX"}));
        EXPECT_TRUE(choice.AddMoreTree("INITECH", directory, sequence.Trees(), host));
    };

    ASSERT_TRUE(sequence.Prepare()) << nwclient::lastError();
    ASSERT_TRUE(sequence.Run({"/autoclose"}));
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"INITECH"}));
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"INITECH", "ACME", "GLOBEX"}));
    EXPECT_EQ(host.batchArguments, (std::vector<std::string>{"/autoclose"}));
    sequence.Shutdown();
    EXPECT_FALSE(nwclient::isInitialized());
}
