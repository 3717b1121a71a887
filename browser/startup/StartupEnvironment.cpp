#include "browser/startup/StartupEnvironment.h"

#include <utility>

namespace browser {

DirectoryEnvironment::DirectoryEnvironment(std::string programFolder, std::vector<std::string> commandLine,
                                           std::string clientConfigPath)
    : directory_(std::move(clientConfigPath)), environment_{directory_, helper_, timeSettings_,
                                                            std::move(programFolder),
                                                            std::move(commandLine)} {}

} // namespace browser
