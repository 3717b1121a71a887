#include "browser/forms/DisplayCheck.h"

#include <cstdlib>

namespace cormelian {

namespace {
bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
} // namespace

bool DisplayAvailable() {
    return EnvironmentSet("QT_QPA_PLATFORM") || EnvironmentSet("DISPLAY") ||
           EnvironmentSet("WAYLAND_DISPLAY");
}

std::string HeadlessHint(const std::string& programPath) {
    return "No display found. Start the program headless with\n"
           "  QT_QPA_PLATFORM=offscreen " +
           programPath + "\nor in a virtual display with\n  xvfb-run -a " + programPath + "\n";
}

} // namespace cormelian
