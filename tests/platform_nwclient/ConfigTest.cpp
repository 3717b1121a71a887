#include "platform/nwclient/Config.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace nwclient;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    bool load(const std::string& text, ClientConfig& config, std::string& error) {
        std::ofstream(folder_ / "client.ini") << text;
        return loadConfig((folder_ / "client.ini").string(), config, error);
    }

    test_support::TempFolder temp_{"nwclient-config"};
    const std::filesystem::path folder_ = temp_.Path();
};

} // namespace

TEST_F(ConfigTest, ReadsEverySectionWithDefaults) {
    ClientConfig config;
    std::string error;
    ASSERT_TRUE(load(
        "; comment\n[trees]\nHIDDEN = hidden\nMain=VISIBLE\n"
        "[tree main]\nUser=admin.MAIN\n"
        "[Users Main]\nadmin.MAIN=pa=ss;word\n"
        "[Server FS1]\nTree=main\nAddresses=10.0.0.1, 10.0.0.2\nModules=A,B\nFailModule=B\nFailCode=0x11\n"
        "[Volumes]\n/srv/fs1/sys/=FS1/SYS\n",
        config, error))
        << error;
    ASSERT_EQ(config.trees.size(), 2u);
    EXPECT_FALSE(config.trees[0].visible);
    EXPECT_TRUE(config.trees[1].visible);
    EXPECT_EQ(config.preferredTree, "Main") << "the first visible tree";
    EXPECT_EQ(config.trees[1].defaultNameContext, "[Root]");
    EXPECT_EQ(config.trees[1].loggedInUser, "admin.MAIN");
    EXPECT_EQ(config.trees[1].users.at(0).password, "pa=ss;word");
    EXPECT_EQ(config.trees[1].ldifPath, (folder_ / "Main.ldif").string());
    EXPECT_EQ(config.storePath, (folder_ / "store.db").string());
    ASSERT_EQ(config.servers.size(), 1u);
    EXPECT_EQ(config.servers[0].tree, "Main");
    EXPECT_EQ(config.servers[0].addresses, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(config.servers[0].failCode, 17u);
    ASSERT_EQ(config.volumes.size(), 1u);
    EXPECT_EQ(config.volumes[0].localPrefix, "/srv/fs1/sys");
    EXPECT_EQ(config.volumes[0].volume, "SYS");
}

TEST_F(ConfigTest, MistakesAreReportedWithTheirLine) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"[Client]\nStore=x\n", "no trees"},
        {"[Trees]\nA=maybe\n", "client.ini:2: a tree is"},
        {"[Trees]\nA=visible\nA=hidden\n", "listed twice"},
        {"[Trees]\nA=visible\n[Server S]\nAddresses=1.2.3.4\n", "needs Tree="},
        {"[Trees]\nA=visible\n[Volumes]\n/x=NOVOLUME\n", "client.ini:4: a volume mapping"},
        {"[Trees]\nA=visible\n[Client]\nPreferredTree=B\n", "PreferredTree B"},
        {"[Trees]\nA=visible\n[Tree B]\n", "missing from [Trees]"},
        {"[Trees]\nA=visible\n[Colours]\n", "unknown section"},
        {"[Trees]\nA=visible\n[Client\n", "client.ini:3: unterminated"},
        {"stray=line\n", "client.ini:1: expected key=value"},
    };
    for (const Case& c : cases) {
        ClientConfig config;
        std::string error;
        EXPECT_FALSE(load(c.text, config, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " -> " << error;
    }
}
