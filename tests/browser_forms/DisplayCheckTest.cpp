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
    EXPECT_NE(cormelian::HeadlessHint("cormelian").find("QT_QPA_PLATFORM=offscreen cormelian"),
              std::string::npos);
}
