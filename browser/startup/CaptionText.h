#pragma once

#include <functional>
#include <string>

namespace browser {

// The main window's caption: "Cormelian v2.08.04" (the program's version), blanks, and a short mark at the
// right end, the blanks filling the window's width as far as the caption font's text widths tell.
class CaptionText {
public:
    // Width of a text in the caption font, in pixels.
    using TextWidth = std::function<double(const std::string&)>;

    static constexpr const char* kMark = "Tolvex";
    static constexpr std::size_t kMaxLength = 255;

    // The title part: the application title formatted by "%s v%d.%2.2d.%2.2d" with the parts of the
    // program's version (2.8.4 gives "v2.08.04").
    static std::string TitlePart(const std::string& applicationTitle);

    // The caption for a window windowWidth pixels wide on the given platform code.
    static std::string Build(const std::string& applicationTitle, int windowWidth, int platformCode,
                             const TextWidth& textWidth);
};

} // namespace browser
