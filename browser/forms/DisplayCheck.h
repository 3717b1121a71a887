#pragma once

#include <string>
#include <vector>

namespace cormelian {

// Tells whether a GUI can be shown: a platform plug-in was chosen or an X11/Wayland display is set.
bool DisplayAvailable();

// The text printed when the program is started without any display: the commands that start it
// headless, each with the whole command line (program and switches, quoted for the shell).
std::string HeadlessHint(const std::vector<std::string>& commandLine);

} // namespace cormelian
