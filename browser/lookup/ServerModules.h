#pragma once

// Starting and stopping the DNS or DHCP server module on the server that a DNS or DHCP server
// object refers to, and the start parameters kept for it in the settings file.

#include "browser/collection/TreeDirectory.h"

#include <optional>
#include <string>

namespace ini {
class IniFile;
}

namespace browser {

struct ClassIconNumbers;

enum class ServerModuleKind { Dns, Dhcp };

struct ServerModule {
    const char* module;             // the module's name, also the settings section of its parameters
    const char* referenceAttribute; // the attribute naming the server the module runs on
};
const ServerModule& ServerModuleFor(ServerModuleKind kind);

// The kind of an object list row by its class icon: DNS server, DHCP server, or neither.
std::optional<ServerModuleKind> ServerModuleKindForImage(int image, const ClassIconNumbers& icons);

// The key under which the parameters for all servers of a module are kept.
inline constexpr const char* kDefaultParametersKey = "D";

// The start parameters for a server: its own value, or, when that is empty, the module's default.
std::string ReadStartParameters(const ini::IniFile& settings, const std::string& module,
                                const std::string& serverCaption);
// Keeps the parameters under the server's key and/or as the module's default.
void SaveStartParameters(ini::IniFile& settings, const std::string& module, const std::string& serverCaption,
                         const std::string& parameters, bool forServer, bool asDefault);

// The server a module command goes to: read from the object's reference attribute.
struct ServiceTarget {
    std::string module;
    std::string reference;  // the server's full name; empty when not given
    std::string serverName; // component 0 of the reference
    std::string error;      // the message when the reference is not given
    bool ok() const { return error.empty(); }
};
// objectName is the object's full name (caption + "." + context). Directory failures raise.
ServiceTarget FindServiceTarget(ContextHandle context, const std::string& objectName, ServerModuleKind kind);

// "Start service <module> on server <server>".
std::string StartDialogCaption(const ServiceTarget& target);

// Connects to the target's server, authenticates and loads (start) or unloads (stop) the module with
// the command line. caption names the server object in the messages. The connection is closed on
// every path once it was opened. Returns the message to show; empty on success.
std::string StartServerModule(ContextHandle context, const ServiceTarget& target, const std::string& caption,
                              const std::string& commandLine);
std::string StopServerModule(ContextHandle context, const ServiceTarget& target, const std::string& caption,
                             const std::string& commandLine);

} // namespace browser
