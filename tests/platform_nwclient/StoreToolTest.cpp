// The nwstore command-line tool, run as a program.
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef NWSTORE_PATH

namespace {

using test_support::ReadFile;

class StoreToolTest : public ::testing::Test {
protected:
    int run(const std::string& arguments) {
        std::string command = std::string(NWSTORE_PATH) + " " + arguments + " >" +
                              (folder_ / "out.txt").string() + " 2>" + (folder_ / "err.txt").string();
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string store() const { return (folder_ / "store.db").string(); }

    test_support::TempFolder temp_{"nwstore-test"};
    const std::filesystem::path folder_ = temp_.Path();
};

std::filesystem::path sourceData() {
    const char* root = std::getenv("CORMELIAN_SOURCE_DIR");
    return std::filesystem::path(root ? root : CORMELIAN_TEST_SOURCE_DIR) / "tests" / "platform_nwclient" /
           "data";
}

} // namespace

TEST_F(StoreToolTest, ImportsEverySyntaxAndExportsItBackIdentical) {
    const auto source = sourceData() / "every_syntax.ldif";
    ASSERT_EQ(run("import " + store() + " ACME " + source.string()), 0) << ReadFile(folder_ / "err.txt");
    ASSERT_EQ(run("export " + store() + " ACME " + (folder_ / "back.ldif").string()), 0);
    EXPECT_EQ(ReadFile(folder_ / "back.ldif"), ReadFile(source));
    ASSERT_EQ(run("list " + store()), 0);
    EXPECT_EQ(ReadFile(folder_ / "out.txt"), "ACME\n");
}

TEST_F(StoreToolTest, RefusesToOverwriteAndReportsBadInput) {
    const auto source = sourceData() / "every_syntax.ldif";
    ASSERT_EQ(run("import " + store() + " ACME " + source.string()), 0);
    EXPECT_EQ(run("import " + store() + " ACME " + source.string()), 1);
    EXPECT_EQ(ReadFile(folder_ / "err.txt"), "nwstore: the store holds tree ACME already (use --replace)\n");
    EXPECT_EQ(run("import --replace " + store() + " ACME " + source.string()), 0);
    std::ofstream(folder_ / "bad.ldif")
        << "version: 1\n\ndn: o=X\nobjectClass: top\n\ndn: cn=y,o=Z\nobjectClass: top\n";
    EXPECT_EQ(run("import " + store() + " X " + (folder_ / "bad.ldif").string()), 1);
    EXPECT_NE(ReadFile(folder_ / "err.txt").find("bad.ldif:6: "), std::string::npos)
        << ReadFile(folder_ / "err.txt");
    EXPECT_EQ(run("export " + store() + " X " + (folder_ / "x.ldif").string()), 1)
        << "nothing was half-loaded";
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(ReadFile(folder_ / "out.txt").find("Usage:"), std::string::npos);
    EXPECT_EQ(run("frobnicate"), 2);
}

#endif
