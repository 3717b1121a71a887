#include "browser/startup/ProgramInfo.h"

#ifndef CORMELIAN_VERSION
#define CORMELIAN_VERSION "0.0"
#define CORMELIAN_VERSION_MAJOR 0
#define CORMELIAN_VERSION_MINOR 0
#define CORMELIAN_VERSION_PATCH 0
#endif

namespace browser {

ProgramInfo CurrentProgramInfo() {
    ProgramInfo info;
    info.description = "Cormelian - DNS and DHCP browser for directory trees";
    info.legalNotice = "Distributed without warranty of any kind.";
    info.fileVersion = CORMELIAN_VERSION;
    return info;
}

ProgramVersion CurrentProgramVersion() {
    return {CORMELIAN_VERSION_MAJOR, CORMELIAN_VERSION_MINOR, CORMELIAN_VERSION_PATCH};
}

} // namespace browser
