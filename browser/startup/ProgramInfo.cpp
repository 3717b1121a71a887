#include "browser/startup/ProgramInfo.h"

#ifndef CORMELIAN_VERSION
#define CORMELIAN_VERSION "0.0"
#endif

namespace browser {

ProgramInfo CurrentProgramInfo() {
    ProgramInfo info;
    info.description = "Cormelian - DNS and DHCP browser for directory trees";
    info.legalNotice = "Distributed without warranty of any kind.";
    info.fileVersion = CORMELIAN_VERSION;
    return info;
}

} // namespace browser
