#include "platform/ini/IniFile.h"
#include "platform/commit/CommitTesting.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using ini::IniFile;
using Strings = std::vector<std::string>;

class IniFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name = "test.ini") const { return (folder_.Path() / name).string(); }

    void writeFile(const std::string& text, const std::string& name = "test.ini") const {
        folder_.Write(name, text);
    }
    std::string readFile(const std::string& name = "test.ini") const { return folder_.Read(name); }

    test_support::TempFolder folder_{"ini_test"};
};

const char* kSample = "; settings\n"
                      "[System]\n"
                      "Threads=3\n"
                      "Name = \"quoted value\" \n"
                      "Empty=\n"
                      "=no key\n"
                      "bare line\n"
                      "; a comment\n"
                      "threads=99\n"
                      "\n"
                      "[Trees]\n"
                      "Main=1\n"
                      "[SYSTEM]\n"
                      "Other=2\n";

TEST_F(IniFileTest, ReadsWithWindowsRules) {
    writeFile(kSample);
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("system", "THREADS", "x"), "3");             // case-insensitive, first key wins
    EXPECT_EQ(ini.ReadString("System", "Name", "x"), "\"quoted value\""); // raw: quotes stay
    EXPECT_EQ(ini.ReadString("System", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("System", "", "x"), "no key");
    EXPECT_EQ(ini.ReadString("System", "bare line", "x"), "");
    EXPECT_EQ(ini.ReadString("System", "Missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Nowhere", "Threads", "default"), "default");
    EXPECT_EQ(ini.ReadString("System", "Other", "first section wins"), "first section wins");
    EXPECT_EQ(ini.ReadSections(), (Strings{"System", "Trees"}));
    EXPECT_EQ(ini.ReadSection("SYSTEM"), (Strings{"Threads", "Name", "Empty", "", "bare line"}));
    EXPECT_EQ(ini.ReadSectionValues("system"),
              (Strings{"Threads=3", "Name=\"quoted value\"", "Empty=", "=no key", "bare line="}));
    Strings visited;
    ini.ReadSectionValues("system", [&visited](std::string_view key, std::string_view value) {
        visited.push_back(std::string(key) + "|" + std::string(value));
    });
    EXPECT_EQ(visited, (Strings{"Threads|3", "Name|\"quoted value\"", "Empty|", "|no key", "bare line|"}));
    EXPECT_TRUE(ini.SectionExists("trees"));
    EXPECT_FALSE(ini.SectionExists("none"));
    EXPECT_TRUE(ini.ValueExists("System", "empty"));
    EXPECT_FALSE(ini.ValueExists("System", "a comment"));
    EXPECT_FALSE(ini.ValueExists("System", "; a comment"));
}

TEST_F(IniFileTest, IntegersAndBooleans) {
    writeFile("[N]\nDec=42\nNeg=-7\nHex=$1F\nCHex=0x10\nBad=12abc\nEmpty=\nBig=99999999999\nTwo=2\nZero="
              "0\nWord=yes\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadInteger("N", "Dec", 0), 42);
    EXPECT_EQ(ini.ReadInteger("N", "Neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "CHex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "Bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "Empty", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "Big", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "Missing", 5), 5);
    EXPECT_TRUE(ini.ReadBool("N", "Two", false)); // non-zero is true
    EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "Word", true)); // not a number: the default
    EXPECT_FALSE(ini.ReadBool("N", "Word", false));
    ini.WriteBool("N", "Flag", true);
    ini.WriteBool("N", "Off", false);
    ini.WriteInteger("N", "Int", -603);
    EXPECT_EQ(ini.ReadString("N", "Flag", ""), "1");
    EXPECT_EQ(ini.ReadString("N", "Off", ""), "0");
    EXPECT_EQ(ini.ReadString("N", "Int", ""), "-603");
}

// The section's lines handed over one at a time split as the lines do: a key written with "=" in it
// splits at that "=", a duplicate key is left out.
TEST_F(IniFileTest, SectionValuesHandedOverSplitAsTheLines) {
    writeFile("[S]\nk=1\nK=2\nx = y = z\n");
    IniFile ini(path());
    ini.WriteString("S", "a=b", "c");
    EXPECT_EQ(ini.ReadSectionValues("S"), (Strings{"k=1", "x=y = z", "a=b=c"}));
    Strings visited;
    ini.ReadSectionValues("S", [&visited](std::string_view key, std::string_view value) {
        visited.push_back(std::string(key) + "|" + std::string(value));
    });
    EXPECT_EQ(visited, (Strings{"k|1", "x|y = z", "a|b=c"}));
}

// A section's lines are read in order straight from the file; reading a single value or writing takes
// them apart. Either way the same values come back, and a rewrite keeps every line it did not change.
TEST_F(IniFileTest, SectionsReadInOrderAndThenByKeyAgree) {
    writeFile("[A]\n"
              "one=1\n"
              "  two =  2 \r\n"
              "; note\n"
              "\n"
              "bare\n"
              "ONE=again\n"
              "[Notes]\n"
              "; only a comment\n"
              "[B]\n"
              "x=y=z\n"
              "last=line");
    IniFile ini(path());
    // Every line counts, comments and blank ones too, read straight from the file or taken apart.
    EXPECT_EQ(ini.SectionLineCount("a"), 6u);
    EXPECT_EQ(ini.SectionLineCount("b"), 2u); // the last line has no line break
    EXPECT_EQ(ini.SectionLineCount("missing"), 0u);
    const Strings a{"one=1", "two=2", "bare="};
    EXPECT_EQ(ini.ReadSectionValues("a"), a); // the duplicate ONE is left out
    EXPECT_EQ(ini.ReadSectionValues("B"), (Strings{"x=y=z", "last=line"}));
    EXPECT_TRUE(ini.SectionExists("A"));
    EXPECT_FALSE(ini.SectionExists("notes"));
    EXPECT_EQ(ini.ReadString("B", "LAST", "-"), "line");
    EXPECT_EQ(ini.ReadSectionValues("B"), (Strings{"x=y=z", "last=line"}));
    ini.WriteString("A", "three", "3");
    EXPECT_EQ(ini.ReadSectionValues("A"), (Strings{"one=1", "two=2", "bare=", "three=3"}));
    EXPECT_EQ(ini.SectionLineCount("A"), 7u);
    ini.UpdateFile();
    EXPECT_EQ(readFile(), "[A]\r\n"
                          "one=1\r\n"
                          "  two =  2 \r\n"
                          "; note\r\n"
                          "\r\n"
                          "bare\r\n"
                          "ONE=again\r\n"
                          "three=3\r\n"
                          "[Notes]\r\n"
                          "; only a comment\r\n"
                          "[B]\r\n"
                          "x=y=z\r\n"
                          "last=line\r\n");
}

TEST_F(IniFileTest, RewriteKeepsOrderCommentsAndUntouchedLines) {
    writeFile(kSample);
    {
        IniFile ini(path());
        ini.WriteString("SYSTEM", "threads", "4"); // replaces the first, keeps the stored key case
        ini.WriteString("System", "Added", "new"); // end of the section, before the blank line
        ini.WriteString("Trees", "Main", "1");     // unchanged
        ini.WriteString("Fresh", "Key", "v a l");  // new section at the end
    }
    EXPECT_EQ(readFile(), "; settings\r\n"
                          "[System]\r\n"
                          "Threads=4\r\n"
                          "Name = \"quoted value\" \r\n"
                          "Empty=\r\n"
                          "=no key\r\n"
                          "bare line\r\n"
                          "; a comment\r\n"
                          "threads=99\r\n"
                          "Added=new\r\n"
                          "\r\n"
                          "[Trees]\r\n"
                          "Main=1\r\n"
                          "[SYSTEM]\r\n"
                          "Other=2\r\n"
                          "\r\n"
                          "[Fresh]\r\n"
                          "Key=v a l\r\n");
}

TEST_F(IniFileTest, NewFileAndNoWriteWithoutChanges) {
    {
        IniFile ini(path());
        EXPECT_EQ(ini.ReadString("A", "b", "d"), "d");
        EXPECT_EQ(ini.FileName(), path());
    }
    EXPECT_FALSE(fs::exists(path())); // reading alone creates nothing
    {
        IniFile ini(path());
        ini.WriteString("A", "k1", "1");
        ini.WriteString("B", "k2", "2");
        ini.WriteString("A", "k3", "3");
    }
    EXPECT_EQ(readFile(), "[A]\r\nk1=1\r\nk3=3\r\n\r\n[B]\r\nk2=2\r\n");
}

TEST_F(IniFileTest, BomAndLineBreaks) {
    writeFile("\xEF\xBB\xBF[S]\r\nA=1\nB=2\r\n");
    {
        IniFile ini(path());
        EXPECT_EQ(ini.ReadSections(), (Strings{"S"}));
        EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
        EXPECT_EQ(ini.ReadString("S", "B", ""), "2");
        ini.WriteString("S", "C", "line1\r\nline2");
        ini.WriteString("S", "D\n[Evil]", "x");
    }
    EXPECT_EQ(readFile(), "\xEF\xBB\xBF[S]\r\nA=1\r\nB=2\r\nC=line1  line2\r\nD [Evil]=x\r\n");
    IniFile again(path());
    EXPECT_FALSE(again.SectionExists("Evil"));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    writeFile(kSample);
    {
        IniFile ini(path());
        ini.DeleteKey("system", "THREADS"); // every line of the key
        EXPECT_FALSE(ini.ValueExists("System", "Threads"));
        ini.DeleteKey("System", "Missing");
        ini.DeleteKey("Missing", "Threads");
        ini.EraseSection("system"); // every section of the name
        EXPECT_FALSE(ini.SectionExists("System"));
        EXPECT_EQ(ini.ReadString("System", "Other", "gone"), "gone");
        EXPECT_EQ(ini.ReadSections(), (Strings{"Trees"}));
    }
    EXPECT_EQ(readFile(), "; settings\r\n[Trees]\r\nMain=1\r\n");
}

TEST_F(IniFileTest, EmptySectionCountsAsMissing) {
    writeFile("[Empty]\n; only a comment\n[Full]\nk=v\n");
    IniFile ini(path());
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("Full"));
    EXPECT_EQ(ini.ReadSections(), (Strings{"Empty", "Full"}));
    EXPECT_TRUE(ini.ReadSection("Empty").empty());
}

TEST_F(IniFileTest, ObjectsOnOneFileShareOneDocument) {
    fs::create_directories(folder_.Path() / "sub");
    IniFile first(path());
    IniFile second((folder_.Path() / "sub" / ".." / "." / "test.ini").string());
    first.WriteString("S", "k", "from first");
    EXPECT_EQ(second.ReadString("S", "K", ""), "from first"); // before any flush
    second.EraseSection("S");
    EXPECT_FALSE(first.SectionExists("S"));
}

TEST_F(IniFileTest, ConcurrentWritersLoseNothing) {
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([this, t] {
                IniFile ini(path());
                for (int i = 0; i < 500; ++i) {
                    ini.WriteInteger("T" + std::to_string(t), "k" + std::to_string(i), i);
                    if (i % 100 == 0)
                        ini.UpdateFile();
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
    }
    IniFile ini(path());
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(ini.ReadSection("T" + std::to_string(t)).size(), 500u);
        EXPECT_EQ(ini.ReadInteger("T" + std::to_string(t), "k499", -1), 499);
    }
}

TEST_F(IniFileTest, ReloadsWhenTheFileChangesOnDisk) {
    writeFile("[S]\nk=old\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("S", "k", ""), "old");
    writeFile("[S]\nk=new, and longer\n", "other.ini");
    fs::rename(path("other.ini"), path());
    EXPECT_EQ(ini.ReadString("S", "k", ""), "new, and longer");
    fs::remove(path());
    EXPECT_EQ(ini.ReadString("S", "k", "gone"), "gone");
}

TEST_F(IniFileTest, HostileTargetsAndFailedWritesKeepTheOldFile) {
    test_support::ExpectSafeCommits(folder_.Path(), "settings.ini", [](const std::string& file) {
        IniFile ini(file);
        ini.WriteString("Big", "data", std::string(1000, 'x'));
        ini.UpdateFile();
    });
}

TEST_F(IniFileTest, AFailedWriteKeepsTheChangeForTheNextFlush) {
    std::string original = "[Keep]\nthis=file\n";
    writeFile(original);
    IniFile ini(path());
    ini.WriteString("Big", "data", std::string(200000, 'x'));
    {
        commit::testing::ScopedWriteFault fault(65536, ENOSPC);
        EXPECT_THROW(ini.UpdateFile(), ini::EIniFileError);
    }
    EXPECT_EQ(readFile(), original);
    ini.UpdateFile(); // the pending change is still there and now goes through
    EXPECT_GT(fs::file_size(path()), 200000u);
    EXPECT_EQ(test_support::EntryNames(folder_.Path()), Strings{"test.ini"});
}

TEST_F(IniFileTest, HundredThousandKeysInOneSection) {
    const int count = 100000;
    {
        IniFile ini(path());
        for (int i = 0; i < count; ++i)
            ini.WriteString("Big", "key" + std::to_string(i), std::to_string(i));
        for (int i = 0; i < count; i += 997)
            ini.WriteString("Big", "KEY" + std::to_string(i), "changed");
    }
    IniFile ini(path());
    Strings keys = ini.ReadSection("Big");
    ASSERT_EQ(keys.size(), size_t(count));
    EXPECT_EQ(keys.front(), "key0");
    EXPECT_EQ(keys.back(), "key99999");
    EXPECT_EQ(ini.ReadString("Big", "key997", ""), "changed");
    EXPECT_EQ(ini.ReadString("Big", "key998", ""), "998");
}

} // namespace
