// The library's C entries, called directly.

#include "platform/tolvex/tolvex.h"

#include "tests/tolvex/TolvexTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <set>
#include <string>
#include <vector>

using tolvex_test::ReadFile;
using tolvex_test::TempFolder;
using tolvex_test::WriteFile;

namespace {

const std::vector<std::string> kClassesWithIcons{"Tree Root",
                                                 "Tree",
                                                 "Country",
                                                 "Organization",
                                                 "Organizational Unit",
                                                 "Locality",
                                                 "domain",
                                                 "Volume",
                                                 "User",
                                                 "User-posixAccount",
                                                 "User-apple",
                                                 "Person",
                                                 "Person-posixAccount",
                                                 "Person-apple",
                                                 "Organizational Person",
                                                 "Organizational Person-posixAccount",
                                                 "Organizational Person-apple",
                                                 "Group",
                                                 "Alias",
                                                 "NCP Server",
                                                 "DNIP:Locator",
                                                 "DNIP:DNS Server",
                                                 "DNIP:DHCP Server",
                                                 "DNIP:DNS Zone",
                                                 "DNIP:DNS RRset",
                                                 "DNIP:Subnet",
                                                 "DNIP:Subnet Address Range",
                                                 "DNIP:Subnet Pool",
                                                 "DNIP:IP Address Configuration",
                                                 "Unknown2",
                                                 "_directorymap"};

const TolvexIconStrip& PreparedStrip() {
    EXPECT_EQ(get_icons_image(TOLVEX_STRIP_RGBA32), TOLVEX_OK);
    const TolvexIconStrip* strip = get_icons();
    EXPECT_NE(strip, nullptr);
    return *strip;
}

std::vector<uint8_t> IconOf(const TolvexIconStrip& strip, int number) {
    std::vector<uint8_t> icon;
    for (int y = 0; y < strip.height; ++y) {
        const uint8_t* row =
            strip.pixels + (static_cast<size_t>(y) * strip.width + number * strip.height) * 4;
        icon.insert(icon.end(), row, row + strip.height * 4);
    }
    return icon;
}

} // namespace

TEST(TolvexIcons, StripHasOneSquareIconPerNumber) {
    const auto& strip = PreparedStrip();
    EXPECT_EQ(strip.height, TOLVEX_ICON_SIZE);
    EXPECT_EQ(strip.width, strip.count * strip.height);
    ASSERT_GE(strip.count, static_cast<int>(kClassesWithIcons.size()));
    for (int i = 0; i < strip.count; ++i) {
        auto icon = IconOf(strip, i);
        int opaque = 0;
        for (size_t p = 3; p < icon.size(); p += 4)
            opaque += icon[p] == 255;
        EXPECT_GT(opaque, 30) << "icon " << i << " (" << get_icon_name(i) << ") is nearly empty";
    }
    EXPECT_EQ(get_icon_name(strip.count), nullptr);
    EXPECT_EQ(get_icon_name(-1), nullptr);
}

TEST(TolvexIcons, EveryIconLooksDifferent) {
    const auto& strip = PreparedStrip();
    std::set<std::vector<uint8_t>> seen;
    for (int i = 0; i < strip.count; ++i)
        EXPECT_TRUE(seen.insert(IconOf(strip, i)).second) << get_icon_name(i) << " repeats another icon";
}

TEST(TolvexIcons, UnknownFormatIsRefused) {
    EXPECT_NE(get_icons_image(0), TOLVEX_OK);
    EXPECT_NE(get_icons_image(TOLVEX_STRIP_RGBA32 + 1), TOLVEX_OK);
}

TEST(TolvexIcons, EveryShownClassHasItsOwnNumber) {
    std::set<int> numbers;
    for (const auto& name : kClassesWithIcons) {
        int number = get_nr_icon(name.c_str());
        ASSERT_GE(number, 0) << name;
        EXPECT_TRUE(numbers.insert(number).second) << name << " shares a number";
        EXPECT_STREQ(get_icon_name(number), name.c_str());
    }
}

TEST(TolvexIcons, RowKindsTheBrowserTellsApartDiffer) {
    const std::vector<std::string> kinds{"DNIP:Locator",     "DNIP:DNS Server", "DNIP:DHCP Server",
                                         "DNIP:Subnet Pool", "Group",           "Tree",
                                         "DNIP:DNS Zone",    "DNIP:Subnet"};
    const auto& strip = PreparedStrip();
    std::set<int> numbers;
    std::set<std::vector<uint8_t>> icons;
    for (const auto& kind : kinds) {
        numbers.insert(get_nr_icon(kind.c_str()));
        icons.insert(IconOf(strip, get_nr_icon(kind.c_str())));
    }
    EXPECT_EQ(numbers.size(), kinds.size());
    EXPECT_EQ(icons.size(), kinds.size());
}

TEST(TolvexIcons, ClassNamesIgnoreCaseAndUnknownOnesAreNegative) {
    EXPECT_EQ(get_nr_icon("dnip:dns zone"), get_nr_icon("DNIP:DNS Zone"));
    EXPECT_EQ(get_nr_icon("TREE ROOT"), get_nr_icon("Tree Root"));
    EXPECT_EQ(get_nr_icon("user-POSIXACCOUNT"), get_nr_icon("User-posixAccount"));
    EXPECT_LT(get_nr_icon("Printer Queue"), 0);
    EXPECT_LT(get_nr_icon(""), 0);
    EXPECT_LT(get_nr_icon("Tre"), 0);
    EXPECT_LT(get_nr_icon("Tree "), 0);
    EXPECT_LT(get_nr_icon(nullptr), 0);
}

TEST(TolvexIcons, SingleImageCopiesOneIcon) {
    const auto& strip = PreparedStrip();
    int number = get_nr_icon("Volume");
    TolvexIconStrip* image = get_image(number);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->count, 1);
    EXPECT_EQ(image->width, TOLVEX_ICON_SIZE);
    EXPECT_EQ(image->height, TOLVEX_ICON_SIZE);
    auto expected = IconOf(strip, number);
    EXPECT_EQ(std::memcmp(image->pixels, expected.data(), expected.size()), 0);
    free_image(image);
    EXPECT_EQ(get_image(strip.count), nullptr);
    EXPECT_EQ(get_image(-1), nullptr);
    free_image(nullptr);
}

class TolvexSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(set_path(folder_.Path().c_str()), TOLVEX_OK); }
    std::string Get(const char* section, const char* key, const char* fallback, int32_t* outcome = nullptr) {
        char result[TOLVEX_VALUE_BUFFER];
        std::memset(result, 85, sizeof result);
        int32_t got = get_value(section, key, fallback, result);
        if (outcome)
            *outcome = got;
        return std::string(result, strnlen(result, sizeof result));
    }
    std::filesystem::path IniFile() const { return folder_.Path() / "Tolvex.ini"; }

    TempFolder folder_;
};

TEST_F(TolvexSettings, MissingValueGivesTheDefault) {
    int32_t outcome = -1;
    EXPECT_EQ(Get("TREES", "ACME", "[root]", &outcome), "[root]");
    EXPECT_EQ(outcome, 1);
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
}

TEST_F(TolvexSettings, StoredValueIsReadBackIgnoringCaseOfSectionAndKey) {
    ASSERT_EQ(set_value("TREES", "ACME_TREE", "OU=DNS.O=ACME"), TOLVEX_OK);
    int32_t outcome = -1;
    EXPECT_EQ(Get("trees", "acme_tree", "[root]", &outcome), "OU=DNS.O=ACME");
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(ReadFile(IniFile()), "[TREES]\r\nACME_TREE=OU=DNS.O=ACME\r\n");
}

TEST_F(TolvexSettings, ChangingAValueKeepsTheRestOfTheFile) {
    WriteFile(IniFile(), "; kept\n[TREES]\nA = first\nB=second\n\n[OTHER]\nA=other\n");
    ASSERT_EQ(set_value("trees", "a", "changed"), TOLVEX_OK);
    ASSERT_EQ(set_value("TREES", "C", "third"), TOLVEX_OK);
    ASSERT_EQ(set_value("NEW", "K", ""), TOLVEX_OK);
    EXPECT_EQ(ReadFile(IniFile()), "; kept\r\n[TREES]\r\na=changed\r\nB=second\r\nC=third\r\n\r\n[OTHER]\r\n"
                                   "A=other\r\n\r\n[NEW]\r\nK=\r\n");
    EXPECT_EQ(Get("OTHER", "A", "-"), "other");
    EXPECT_EQ(Get("NEW", "K", "-"), "");
    // Blanks around the key do not count; the value is taken as written.
    WriteFile(IniFile(), "[S]\r\n  key  = spaced \r\n");
    EXPECT_EQ(Get("s", "KEY", "-"), " spaced ");
}

TEST_F(TolvexSettings, TextsTheFileCannotHoldAreRefusedAndNothingChanges) {
    ASSERT_EQ(set_value("S", "K", "v"), TOLVEX_OK);
    const std::string before = ReadFile(IniFile());
    EXPECT_EQ(set_value("S", "K", "two\nlines"), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value("S]", "K", "v"), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value("S", "K=1", "v"), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value("S", "", "v"), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value("S", "[K", "v"), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value("S", "K", std::string(TOLVEX_VALUE_BUFFER, 'a').c_str()), TOLVEX_ERROR_TEXT);
    EXPECT_EQ(set_value(nullptr, "K", "v"), TOLVEX_ERROR_ARGUMENT);
    EXPECT_EQ(ReadFile(IniFile()), before);
    // The longest value that fits the result buffer is kept whole.
    const std::string longest(TOLVEX_VALUE_BUFFER - 1, 'z');
    ASSERT_EQ(set_value("S", "K", longest.c_str()), TOLVEX_OK);
    EXPECT_EQ(Get("S", "K", "-"), longest);
}

TEST_F(TolvexSettings, OverlongHandEditedValueIsCutWithoutSplittingACharacter) {
    std::string value = "a";
    for (int i = 0; i < 150; ++i)
        value += "\xC3\xA9"; // é
    WriteFile(IniFile(), "[S]\nK=" + value + "\n");
    std::string got = Get("S", "K", "-");
    EXPECT_EQ(got.size(), 255u);
    EXPECT_EQ(got, value.substr(0, 255));
}

TEST_F(TolvexSettings, FailedWriteIsReported) {
    ASSERT_EQ(set_path((folder_.Path() / "missing" / "folder").c_str()), TOLVEX_OK);
    EXPECT_EQ(set_value("S", "K", "v"), TOLVEX_ERROR_WRITE);
}

TEST_F(TolvexSettings, UnreadableFileIsNotReplaced) {
    std::filesystem::create_directory(IniFile()); // a folder where the file should be
    EXPECT_EQ(set_value("S", "K", "v"), TOLVEX_ERROR_WRITE);
    EXPECT_TRUE(std::filesystem::is_directory(IniFile()));
    EXPECT_EQ(Get("S", "K", "-"), "-");
}
