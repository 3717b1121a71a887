// The nwstore command-line tool, run as a program, and the LDIF export it writes with.
#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Store.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

TEST(LdifExport, HostileTargetsAndFailedWritesKeepTheOldFile) {
    std::vector<nwclient::Entry> entries;
    nwclient::ldif::Error readError;
    ASSERT_TRUE(nwclient::ldif::read("version: 1\n\ndn: o=ACME\nobjectClass: organization\no: ACME\n\n",
                                     "t.ldif", entries, readError))
        << readError.message();
    nwclient::DirectoryTree tree("ACME");
    for (nwclient::Entry& entry : entries)
        tree.insert(std::make_shared<nwclient::Entry>(std::move(entry)));
    test_support::TempFolder folder{"ldif-export"};
    test_support::ExpectSafeCommits(folder.Path(), "ACME.ldif", [&](const std::string& path) {
        std::string error;
        if (!nwclient::ldif::writeFile(tree, path, error))
            throw std::runtime_error(error);
    });
}

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

TEST_F(StoreToolTest, AnExportNeverFollowsALinkAtATemporaryNameNorReplacesAProtectedFile) {
    ASSERT_EQ(run("import " + store() + " ACME " + (sourceData() / "every_syntax.ldif").string()), 0);
    test_support::WriteFile(folder_ / "victim.txt", "mine");
    test_support::MakeSymlink(folder_ / "victim.txt", folder_ / "out.ldif.tmp");
    ASSERT_EQ(run("export " + store() + " ACME " + (folder_ / "out.ldif").string()), 0)
        << ReadFile(folder_ / "err.txt");
    EXPECT_EQ(ReadFile(folder_ / "victim.txt"), "mine");
    EXPECT_FALSE(std::filesystem::is_symlink(folder_ / "out.ldif"));
    EXPECT_EQ(ReadFile(folder_ / "out.ldif"), ReadFile(sourceData() / "every_syntax.ldif"));

    const std::string locked = (folder_ / "locked.ldif").string();
    test_support::WriteFile(locked, "old");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    EXPECT_EQ(run("export " + store() + " ACME " + locked), 1);
    EXPECT_EQ(ReadFile(folder_ / "err.txt"),
              "nwstore: Cannot create file " + locked + ". Existing file " + locked + " is not writable\n");
    EXPECT_EQ(ReadFile(locked), "old");
}

#endif
