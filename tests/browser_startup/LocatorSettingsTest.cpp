#include "browser/startup/LocatorSettings.h"
#include "platform/ini/IniFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace browser {
namespace {

TEST(AddLocatorToText, AddsTheObjectInSortedOrderOnce) {
    EXPECT_EQ(AddLocatorToText("", "Locator.DNS.ACME"), "Locator.DNS.ACME");
    EXPECT_EQ(AddLocatorToText("B.ACME,D.ACME", "C.ACME"), "B.ACME,C.ACME,D.ACME");
    // Present already, in another case: the list stays as it was.
    EXPECT_EQ(AddLocatorToText("B.ACME,D.ACME", "d.acme"), "B.ACME,D.ACME");
    // A text written in another order comes back sorted, without doubles.
    EXPECT_EQ(AddLocatorToText("Z.ACME,A.ACME,z.acme", "M.ACME"), "A.ACME,M.ACME,Z.ACME");
    // No object chosen: nothing is added.
    EXPECT_EQ(AddLocatorToText("B.ACME", ""), "B.ACME");
}

TEST(AddLocatorToText, NamesWithBlanksOrCommasStayWhole) {
    const std::string text = AddLocatorToText("B.ACME", "DNS Locator.Sales, East.ACME");
    EXPECT_EQ(text, "B.ACME,\"DNS Locator.Sales, East.ACME\"");
    EXPECT_EQ(AddLocatorToText(text, "DNS Locator.Sales, East.ACME"), text);
}

TEST(AddLocatorToSettings, WritesTheTreesKeyAndLeavesOthers) {
    const test_support::TempFolder folder("locator-settings");
    const std::string path = folder.Directory() + "Cormelian.ini";
    folder.Write("Cormelian.ini", "[LOCATOR]\nACME=Old.DNS.ACME\nGLOBEX=G.GLOBEX\n[SYSTEM]\nThreads=1\n");
    {
        ini::IniFile settings(path);
        EXPECT_EQ(AddLocatorToSettings(settings, "ACME", "New.DNS.ACME"), "New.DNS.ACME,Old.DNS.ACME");
        EXPECT_EQ(AddLocatorToSettings(settings, "TINY", "T.TINY"), "T.TINY");
    }
    // The file holds it once the settings object is gone.
    const ini::IniFile reread(path);
    EXPECT_EQ(reread.ReadString("LOCATOR", "ACME", ""), "New.DNS.ACME,Old.DNS.ACME");
    EXPECT_EQ(reread.ReadString("Locator", "TINY", ""), "T.TINY");
    EXPECT_EQ(reread.ReadString("LOCATOR", "GLOBEX", ""), "G.GLOBEX");
    EXPECT_EQ(reread.ReadString("SYSTEM", "Threads", ""), "1");
}

} // namespace
} // namespace browser
