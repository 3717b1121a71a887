// The demo directory of data/ loads through the client (on a copy, so the store
// the client creates stays out of the source tree).
#include "platform/nwclient/NWClient.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

TEST(DemoDirectory, LoadsAndShowsItsTrees) {
    const char* root = std::getenv("CORMELIAN_SOURCE_DIR");
    fs::path demo = fs::path(root ? root : CORMELIAN_TEST_SOURCE_DIR) / "data" / "demo";
    if (!fs::exists(demo / "client.ini"))
        GTEST_SKIP() << "no demo directory";
    test_support::TempFolder folder("nwclient_demo");
    const fs::path& copy = folder.Path();
    for (const auto& item : fs::directory_iterator(demo))
        if (item.path().extension() == ".ini" || item.path().extension() == ".ldif")
            fs::copy_file(item.path(), copy / item.path().filename());

    ASSERT_EQ(nwclient::initialize((copy / "client.ini").string()), 0) << nwclient::lastError();
    nwclient::Context context = 0;
    ASSERT_EQ(nwclient::createContext(context), 0);
    std::set<std::string> trees;
    int32_t iteration = -1;
    std::string name;
    while (nwclient::scanTreeName(context, 0, 0, iteration, name) == 0)
        trees.insert(name);
    EXPECT_FALSE(trees.empty());
    for (const std::string& tree : trees) {
        ASSERT_EQ(nwclient::setContextKey(context, nwclient::KEY_TREE_NAME, tree), 0);
        std::string dn;
        nwclient::ObjectInfo info;
        ASSERT_EQ(nwclient::objectInfo(context, "[Root]", dn, info), 0);
        EXPECT_GT(info.subordinateCount, 0u) << tree;
    }
    nwclient::terminate();
}
