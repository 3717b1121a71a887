#pragma once

// What the program says about itself in the About box: its description, legal notice and version
// (the version of the build), and the addresses its links open.

#include <string>

namespace browser {

struct ProgramInfo {
    std::string description;
    std::string legalNotice;
    std::string fileVersion;
    std::string mailAddress; // the maker's mail address; empty: no mail link
    std::string webPage1;    // the web pages the two web labels show and open; empty: hidden
    std::string webPage2;
    std::string forumAddress; // empty: the forum link is hidden
};

// The program's own facts, as built.
ProgramInfo CurrentProgramInfo();

// The parts of the program's version: the one the About box shows and the main window's caption.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
};
ProgramVersion CurrentProgramVersion();

} // namespace browser
