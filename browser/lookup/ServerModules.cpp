#include "browser/lookup/ServerModules.h"

#include "browser/collection/ObjectRows.h"
#include "directory/NWHelper2.h"
#include "directory/nwextra.h"
#include "platform/ini/IniFile.h"
#include "platform/nwclient/NWClient.h"

namespace browser {

namespace {

enum class ModuleCommand { Start, Stop };

std::string RunModuleCommand(ContextHandle context, const ServiceTarget& target, const std::string& caption,
                             const std::string& commandLine, ModuleCommand command) {
    nwclient::Connection connection = 0;
    const std::int32_t opened = nwclient::openConnectionByName(context, target.reference, connection);
    if (opened != 0)
        return "Connect to server " + caption + " failed.  Err=" + std::to_string(opened);

    std::string message;
    const std::int32_t authenticated = nwclient::authenticateConnection(context, connection);
    if (authenticated != 0) {
        message = "Authentication to server " + caption + " failed.  Err=" + std::to_string(authenticated);
    } else if (command == ModuleCommand::Start) {
        std::uint32_t moduleResult = 0;
        const std::int32_t code = nwclient::loadServerModule(connection, commandLine, moduleResult);
        if (code == nwclient::MODULE_LOAD_FAILED)
            message = "Falen......" + std::to_string(moduleResult);
        else if (code != 0)
            message = "Fail..." + std::to_string(code);
    } else {
        const std::int32_t code = nwclient::unloadServerModule(connection, commandLine);
        if (code != 0)
            message = "Fail..." + std::to_string(code);
    }
    nwclient::closeConnection(connection);
    return message;
}

} // namespace

const ServerModule& ServerModuleFor(ServerModuleKind kind) {
    static const ServerModule dns{"named", "DNIP:Server DN"};
    static const ServerModule dhcp{"DHCPSrvr", "DNIP:Primary Server Reference"};
    return kind == ServerModuleKind::Dns ? dns : dhcp;
}

std::optional<ServerModuleKind> ServerModuleKindForImage(int image, const ClassIconNumbers& icons) {
    if (image < 0)
        return std::nullopt;
    if (image == icons.dnsServer)
        return ServerModuleKind::Dns;
    if (image == icons.dhcpServer)
        return ServerModuleKind::Dhcp;
    return std::nullopt;
}

std::string ReadStartParameters(const ini::IniFile& settings, const std::string& module,
                                const std::string& serverCaption) {
    const std::string own = settings.ReadString(module, serverCaption, "");
    if (!own.empty())
        return own;
    return settings.ReadString(module, kDefaultParametersKey, "");
}

void SaveStartParameters(ini::IniFile& settings, const std::string& module, const std::string& serverCaption,
                         const std::string& parameters, bool forServer, bool asDefault) {
    if (forServer)
        settings.WriteString(module, serverCaption, parameters);
    if (asDefault)
        settings.WriteString(module, kDefaultParametersKey, parameters);
}

ServiceTarget FindServiceTarget(ContextHandle context, const std::string& objectName, ServerModuleKind kind) {
    const ServerModule& module = ServerModuleFor(kind);
    ServiceTarget target;
    target.module = module.module;
    target.reference = directory::ReadAttributeText(context, objectName, module.referenceAttribute, false);
    if (target.reference.empty()) {
        target.error = "Error, server reference not given for " + objectName;
        return target;
    }
    target.serverName = directory::GetNameComponent(target.reference, 0);
    return target;
}

std::string StartDialogCaption(const ServiceTarget& target) {
    return "Start service " + target.module + " on server " + target.serverName;
}

std::string StartServerModule(ContextHandle context, const ServiceTarget& target, const std::string& caption,
                              const std::string& commandLine) {
    return RunModuleCommand(context, target, caption, commandLine, ModuleCommand::Start);
}

std::string StopServerModule(ContextHandle context, const ServiceTarget& target, const std::string& caption,
                             const std::string& commandLine) {
    return RunModuleCommand(context, target, caption, commandLine, ModuleCommand::Stop);
}

} // namespace browser
