#include "browser/forms/DisplayCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(DisplayCheck, OffscreenPlatformCountsAsDisplay) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_TRUE(cormelian::DisplayAvailable());
}

TEST(DisplayCheck, NoDisplayAtAllIsDetectedAndExplained) {
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(cormelian::DisplayAvailable());
    // The switches come along, quoted where the shell would split or expand them.
    const std::string hint = cormelian::HeadlessHint({"/opt/x/cormelian", "/alldns", "/csv=a b", "it's"});
    EXPECT_NE(hint.find("QT_QPA_PLATFORM=offscreen /opt/x/cormelian /alldns '/csv=a b' 'it'\\''s'\n"),
              std::string::npos)
        << hint;
    EXPECT_NE(hint.find("xvfb-run -a /opt/x/cormelian /alldns '/csv=a b' 'it'\\''s'\n"), std::string::npos)
        << hint;
}
