#include "ClientFixture.h"
#include "ReadHelpers.h"

#include <fstream>

using namespace nwclient;
using namespace nwclient_test;

using TreesTest = ClientFixture;

TEST_F(TreesTest, ScanReportsEachVisibleTreeOncePerServer) {
    std::vector<std::string> seen;
    int32_t iteration = -1;
    std::string name;
    int32_t result;
    while ((result = scanTreeName(context_, 0, 0, iteration, name)) == 0)
        seen.push_back(name);
    EXPECT_EQ(result, NO_MORE_TREES);
    EXPECT_EQ(seen, (std::vector<std::string>{"ACME", "ACME"})) << "two servers, hidden LAB left out";
    uint32_t count = 0;
    std::vector<std::string> names;
    ASSERT_EQ(scanTreeNames(context_, 50, count, names), 0);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(scanTreeNames(context_, 1, count, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"ACME"}));
}

TEST_F(TreesTest, LoginMakesAHiddenTreeVisible) {
    Context lab = 0;
    ASSERT_EQ(duplicateContext(context_, lab), 0);
    ASSERT_EQ(setContextKey(lab, KEY_TREE_NAME, std::string("LAB")), 0);
    ASSERT_EQ(setContextKey(lab, KEY_NAME_CONTEXT, std::string("LAB")), 0);
    std::string user;
    EXPECT_EQ(whoAmI(lab, user), ERR_NOT_LOGGED_IN);
    EXPECT_EQ(login(lab, 0, "nobody", "x"), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(login(lab, 0, "tester", "wrong"), ERR_FAILED_AUTHENTICATION);
    ASSERT_EQ(login(lab, 0, "TESTER", "lab"), 0) << "relative to the name context, any case";
    EXPECT_EQ(whoAmI(lab, user), 0);
    EXPECT_EQ(user, "tester.LAB");
    uint32_t count = 0;
    std::vector<std::string> names;
    ASSERT_EQ(scanTreeNames(context_, 50, count, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"ACME", "ACME", "LAB"}));
    EXPECT_EQ(whoAmI(context_, user), 0);
    EXPECT_EQ(user, "admin.ACME");
    freeContext(lab);
}

using ConnectionsTest = ClientFixture;

TEST_F(ConnectionsTest, PrimaryConnectionKnowsItsTree) {
    ConnectionReference reference = 0;
    ASSERT_EQ(primaryConnectionReference(reference), 0);
    Connection connection = 0;
    ASSERT_EQ(openConnection(reference, 2, 0, connection), 0);
    std::string tree;
    ASSERT_EQ(connectionInformation(connection, CONN_INFO_TREE_NAME, tree), 0);
    EXPECT_EQ(tree, "ACME" + std::string(28, '_'));
    EXPECT_EQ(connectionInformation(connection, 3, tree), ERR_INVALID_REQUEST);
    EXPECT_EQ(closeConnection(connection), 0);
    EXPECT_EQ(closeConnection(connection), ERR_INVALID_HANDLE);
}

TEST_F(ConnectionsTest, AttachByAddress) {
    Connection first = 0, second = 0;
    EXPECT_EQ(attachToServerByAddress("10.0.0.2", first), 0);
    EXPECT_EQ(attachToServerByAddress("10.0.0.2", second), ALREADY_ATTACHED);
    std::string tree;
    EXPECT_EQ(connectionInformation(second, CONN_INFO_TREE_NAME, tree), 0);
    EXPECT_EQ(tree.substr(0, 5), "ACME_");
    Connection none = 0;
    EXPECT_EQ(attachToServerByAddress("192.0.2.99", none), ERR_SERVER_NOT_FOUND);
}

TEST_F(ConnectionsTest, ServerModulesNeedAnAuthenticatedConnection) {
    Connection connection = 0;
    EXPECT_EQ(openConnectionByName(context_, "nosuch.ACME", connection), ERR_SERVER_NOT_FOUND);
    ASSERT_EQ(openConnectionByName(context_, "FS1.ACME", connection), 0);
    uint32_t out = 99;
    EXPECT_EQ(loadServerModule(connection, "NAMED -v", out), ERR_NOT_LOGGED_IN);
    ASSERT_EQ(authenticateConnection(context_, connection), 0);
    EXPECT_EQ(loadServerModule(connection, "NAMED -v", out), 0);
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(loadServerModule(connection, "dhcpsrvr -d", out), MODULE_LOAD_FAILED);
    EXPECT_EQ(out, 17u);
    EXPECT_EQ(loadedModules("FS1"), (std::vector<std::string>{"DNIPINST", "NAMED"}));
    EXPECT_EQ(unloadServerModule(connection, "named -v"), 0);
    EXPECT_EQ(unloadServerModule(connection, "NAMED"), ERR_MODULE_NOT_LOADED);
    EXPECT_EQ(releaseConnectionAuthentication(connection), 0);
    EXPECT_EQ(unloadServerModule(connection, "DNIPINST"), ERR_NOT_LOGGED_IN);
    EXPECT_EQ(closeConnection(connection), 0);
    std::vector<std::string> expected{"LOAD FS1 NAMED -v -> 0", "LOAD FS1 dhcpsrvr -d -> 212",
                                      "UNLOAD FS1 named -> 0",
                                      "UNLOAD FS1 NAMED -> " + std::to_string(ERR_MODULE_NOT_LOADED)};
    EXPECT_EQ(moduleLog(), expected);
    std::ifstream log(folder_ / "modules.log");
    std::string line;
    std::vector<std::string> fromFile;
    while (std::getline(log, line))
        fromFile.push_back(line);
    EXPECT_EQ(fromFile, expected);
}

TEST_F(ConnectionsTest, LoggedOutTreeRefusesAuthentication) {
    Context lab = 0;
    ASSERT_EQ(duplicateContext(context_, lab), 0);
    ASSERT_EQ(setContextKey(lab, KEY_TREE_NAME, std::string("LAB")), 0);
    Connection connection = 0;
    ASSERT_EQ(openConnectionByName(lab, "FS2", connection), 0);
    EXPECT_EQ(authenticateConnection(lab, connection), 0) << "FS2 serves ACME, where admin is logged in";
    freeContext(lab);
}

TEST_F(ConnectionsTest, VolumeMappingsAndDirectoryEntries) {
    const std::string local = (folder_ / "volumes" / "sys").string();
    Connection connection = 0;
    uint32_t flags = 0;
    std::string volumePath;
    EXPECT_EQ(mapPathToConnection("/tmp/elsewhere", connection, flags, volumePath), ERR_NOT_NETWARE_PATH);
    EXPECT_EQ(mapPathToConnection(local + "/../sys2", connection, flags, volumePath), ERR_NOT_NETWARE_PATH);
    std::string upper = local + "/USERS";
    ASSERT_EQ(mapPathToConnection(upper, connection, flags, volumePath), 0);
    EXPECT_EQ(volumePath, "FS1/SYS:USERS");
    EXPECT_EQ(flags, 1u);
    std::vector<std::string> names;
    int32_t iteration = -1;
    DirectoryEntry entry;
    int32_t result;
    while ((result = nextVolumeDirectoryEntry(connection, "FS1/SYS:", 0x16, iteration, entry)) == 0)
        names.push_back(entry.name + (entry.attributes & 0x10 ? "/" : ""));
    EXPECT_EQ(result, NO_MORE_DIRECTORY_ENTRIES);
    EXPECT_EQ(iteration, -1);
    EXPECT_EQ(names, (std::vector<std::string>{"readme.txt", "users/"}));
    iteration = -1;
    EXPECT_EQ(nextVolumeDirectoryEntry(connection, "FS1/SYS:users", 0x16, iteration, entry),
              NO_MORE_DIRECTORY_ENTRIES);
    EXPECT_EQ(nextVolumeDirectoryEntry(connection, "FS1/SYS:../..", 0x16, iteration, entry),
              ERR_NOT_NETWARE_PATH)
        << "a path may not climb out of its volume";
    EXPECT_EQ(nextVolumeDirectoryEntry(connection, local + "/users/../../..", 0x16, iteration, entry),
              ERR_NOT_NETWARE_PATH);
    closeConnection(connection);
}
