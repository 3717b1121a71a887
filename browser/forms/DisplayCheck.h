#pragma once

#include <string>

namespace cormelian {

// Tells whether a GUI can be shown: a platform plug-in was chosen or an X11/Wayland display is set.
bool DisplayAvailable();

// The text printed when the program is started without any display.
std::string HeadlessHint(const std::string& programPath);

} // namespace cormelian
