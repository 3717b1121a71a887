// The nwstore command-line tool, run as a program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef NWSTORE_PATH

namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class StoreToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("nwstore_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    int run(const std::string& arguments) {
        std::string command = std::string(NWSTORE_PATH) + " " + arguments + " >" +
                              (folder_ / "out.txt").string() + " 2>" + (folder_ / "err.txt").string();
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string store() const { return (folder_ / "store.db").string(); }

    std::filesystem::path folder_;
};

std::filesystem::path sourceData() {
    const char* root = std::getenv("CORMELIAN_SOURCE_DIR");
    return std::filesystem::path(root ? root : CORMELIAN_TEST_SOURCE_DIR) / "tests" / "platform_nwclient" /
           "data";
}

} // namespace

TEST_F(StoreToolTest, ImportsEverySyntaxAndExportsItBackIdentical) {
    const auto source = sourceData() / "every_syntax.ldif";
    ASSERT_EQ(run("import " + store() + " ACME " + source.string()), 0) << readAll(folder_ / "err.txt");
    ASSERT_EQ(run("export " + store() + " ACME " + (folder_ / "back.ldif").string()), 0);
    EXPECT_EQ(readAll(folder_ / "back.ldif"), readAll(source));
    ASSERT_EQ(run("list " + store()), 0);
    EXPECT_EQ(readAll(folder_ / "out.txt"), "ACME\n");
}

TEST_F(StoreToolTest, RefusesToOverwriteAndReportsBadInput) {
    const auto source = sourceData() / "every_syntax.ldif";
    ASSERT_EQ(run("import " + store() + " ACME " + source.string()), 0);
    EXPECT_EQ(run("import " + store() + " ACME " + source.string()), 1);
    EXPECT_EQ(run("import --replace " + store() + " ACME " + source.string()), 0);
    std::ofstream(folder_ / "bad.ldif")
        << "version: 1\n\ndn: o=X\nobjectClass: top\n\ndn: cn=y,o=Z\nobjectClass: top\n";
    EXPECT_EQ(run("import " + store() + " X " + (folder_ / "bad.ldif").string()), 1);
    EXPECT_NE(readAll(folder_ / "err.txt").find("bad.ldif:6: "), std::string::npos)
        << readAll(folder_ / "err.txt");
    EXPECT_EQ(run("export " + store() + " X " + (folder_ / "x.ldif").string()), 1)
        << "nothing was half-loaded";
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(readAll(folder_ / "out.txt").find("Usage:"), std::string::npos);
    EXPECT_EQ(run("frobnicate"), 2);
}

#endif
