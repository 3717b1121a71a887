#include "browser/startup/CaptionText.h"

#include "browser/startup/ProgramInfo.h"

#include <cstdio>

namespace browser {

std::string CaptionText::TitlePart(const std::string& applicationTitle) {
    char version[32];
    const ProgramVersion program = CurrentProgramVersion();
    std::snprintf(version, sizeof version, " v%d.%2.2d.%2.2d", program.major, program.minor, program.release);
    return applicationTitle + version;
}

std::string CaptionText::Build(const std::string& applicationTitle, int windowWidth, int platformCode,
                               const TextWidth& textWidth) {
    const bool xpLike = platformCode == 201;
    const double margin = xpLike ? 80 : 110;
    const double textFactor = xpLike ? 1.4 : 1.1;
    const double blankFactor = xpLike ? 1.4 : 1.0;

    const std::string title = TitlePart(applicationTitle);
    const std::string mark = kMark;
    const double room = windowWidth - margin - (textWidth(title) + textWidth(mark)) * textFactor;

    std::string blanks;
    while (title.size() + blanks.size() + mark.size() < kMaxLength && textWidth(blanks) * blankFactor < room)
        blanks += ' ';
    std::string caption = title + blanks + mark;
    if (caption.size() > kMaxLength)
        caption.resize(kMaxLength);
    return caption;
}

} // namespace browser
