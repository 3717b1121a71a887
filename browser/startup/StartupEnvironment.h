#pragma once

#include "browser/collection/TreeDirectory.h"
#include "browser/startup/DirectoryStartup.h"
#include "browser/startup/HelperLibrary.h"
#include "browser/startup/StartupSequence.h"

#include <string>
#include <vector>

namespace browser {

// What the main window's start-up works through: the directory, the helper library "Tolvex",
// the directory layer's time settings and the program's folder. The program hands in its own
// (DirectoryEnvironment); tests hand in fakes or the real layer over a configuration of their own.
struct StartupEnvironment {
    TreeDirectory& directory;
    HelperLibrary& helper;
    DirectoryTimeSettings& timeSettings;
    std::string programFolder;
    // The program's arguments after its own name, in order.
    std::vector<std::string> commandLine;
};

// The program's environment over the directory access layer, the client and the helper library.
class DirectoryEnvironment {
public:
    // clientConfigPath empty: the client's own search (CORMELIAN_CLIENT_CONFIG, then the program
    // folder's "nwclient/client.ini").
    DirectoryEnvironment(std::string programFolder, std::vector<std::string> commandLine,
                         std::string clientConfigPath = {});
    DirectoryEnvironment(const DirectoryEnvironment&) = delete;
    DirectoryEnvironment& operator=(const DirectoryEnvironment&) = delete;

    StartupEnvironment& environment() { return environment_; }

private:
    LayerTreeDirectory directory_;
    TolvexHelperLibrary helper_;
    LayerTimeSettings timeSettings_;
    StartupEnvironment environment_;
};

} // namespace browser
