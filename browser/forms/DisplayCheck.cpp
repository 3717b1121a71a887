#include "browser/forms/DisplayCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace cormelian {

namespace {
bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A word as the shell reads it back: as it stands when it holds only characters the shell takes
// literally, else in single quotes.
std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/._-+,:=@%", c) != nullptr;
    });
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

bool DisplayAvailable() {
    return EnvironmentSet("QT_QPA_PLATFORM") || EnvironmentSet("DISPLAY") ||
           EnvironmentSet("WAYLAND_DISPLAY");
}

std::string HeadlessHint(const std::vector<std::string>& commandLine) {
    std::string command;
    for (const std::string& word : commandLine)
        command += (command.empty() ? "" : " ") + ShellWord(word);
    return "No display found. Start the program headless with\n"
           "  QT_QPA_PLATFORM=offscreen " +
           command + "\nor in a virtual display with\n  xvfb-run -a " + command + "\n";
}

} // namespace cormelian
