#include "browser/startup/DirectoryStartup.h"

#include "browser/collection/StartupText.h"
#include "directory/NWHelper.h"
#include "directory/NWHelper2.h"
#include "directory/Tolvex.h"
#include "platform/ini/IniFile.h"
#include "platform/nwclient/Config.h"
#include "platform/nwclient/NWClient.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace browser {

namespace fs = std::filesystem;

LayerTreeDirectory::LayerTreeDirectory(std::string clientConfigPath)
    : clientConfigPath_(std::move(clientConfigPath)) {}

int LayerTreeDirectory::InitClient() {
    return nwclient::initialize(clientConfigPath_);
}

std::vector<std::string> LayerTreeDirectory::TreeFolders() {
    const std::string config = ClientConfigFile();
    std::vector<std::string> folders{fs::path(config).parent_path().string()};
    nwclient::ClientConfig loaded;
    std::string error;
    if (nwclient::loadConfig(config, loaded, error)) {
        for (const nwclient::TreeConfig& tree : loaded.trees) {
            const std::string folder = fs::path(tree.ldifPath).parent_path().string();
            if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(folder);
        }
    }
    return folders;
}

std::string LayerTreeDirectory::ClientProblem() {
    return nwclient::lastError();
}

std::string LayerTreeDirectory::TreeProblem(const std::string& treeName) {
    return nwclient::treeProblem(treeName);
}

std::vector<std::string> LayerTreeDirectory::TreeProblems() {
    return nwclient::treeProblems();
}

void LayerTreeDirectory::EndClient() {
    nwclient::terminate();
}

ContextHandle LayerTreeDirectory::CreateDSContext(bool& ok) {
    return directory::CreateDSContext(false, false, ok);
}

int LayerTreeDirectory::DuplicateContext(ContextHandle context, ContextHandle& duplicate) {
    nwclient::Context copy = 0;
    const int result = nwclient::duplicateContext(context, copy);
    duplicate = copy;
    return result;
}

void LayerTreeDirectory::FreeContext(ContextHandle context) {
    nwclient::freeContext(context);
}

int LayerTreeDirectory::SelectTree(ContextHandle context, const std::string& treeName, bool setPreferred) {
    return directory::SelectTree(context, treeName, setPreferred);
}

std::string LayerTreeDirectory::GetContextTreeName(ContextHandle context) {
    return directory::GetContextTreeName(context);
}

void LayerTreeDirectory::SetContextConfidence(ContextHandle context, int confidence) {
    directory::CheckNWError(
        nwclient::setContextKey(context, nwclient::KEY_CONFIDENCE, static_cast<std::uint32_t>(confidence)));
}

int LayerTreeDirectory::ListTreeNames(ContextHandle context, int capacity, std::vector<std::string>& names) {
    std::uint32_t count = 0;
    std::vector<std::string> found;
    const int result = nwclient::scanTreeNames(context, static_cast<std::uint32_t>(capacity), count, found);
    if (result != 0)
        return result;
    if (found.size() > count)
        found.resize(count);
    names = std::move(found);
    return 0;
}

std::vector<std::string> LayerTreeDirectory::ScanAvailableTrees(ContextHandle context) {
    return directory::ScanAvailableTrees(context);
}

bool LayerTreeDirectory::PathOnServerVolume(const std::string& path) {
    nwclient::Connection connection = 0;
    std::uint32_t flags = 0;
    std::string volumePath;
    if (nwclient::mapPathToConnection(path, connection, flags, volumePath) != 0)
        return false;
    nwclient::closeConnection(connection);
    return true;
}

std::string LayerTreeDirectory::LoggedInUserName(ContextHandle context) {
    std::string user;
    directory::CheckNWError(nwclient::whoAmI(context, user));
    return user;
}

std::string LayerTreeDirectory::ReadAttributeText(ContextHandle context, const std::string& objectName,
                                                  const std::string& attributeName) {
    return directory::ReadAttributeText(context, objectName, attributeName, false);
}

std::string LayerTreeDirectory::ClientConfigFile() const {
    if (!clientConfigPath_.empty())
        return clientConfigPath_;
    if (const char* configured = std::getenv("CORMELIAN_CLIENT_CONFIG"); configured != nullptr && *configured)
        return configured;
    return (directory::ProgramFolder() / "nwclient" / "client.ini").string();
}

// The client maps local folders to server volumes ([Volumes] of its configuration: local prefix
// = SERVER/VOLUME); a home directory comes from the directory as "\\SERVER\VOLUME\path\" and is
// reached through the same mapping the other way round.
std::string LayerTreeDirectory::LocalPathOfServerPath(const std::string& serverPath) {
    std::string rest = serverPath;
    while (!rest.empty() && rest.front() == '\\')
        rest.erase(0, 1);
    const std::size_t serverEnd = rest.find('\\');
    if (serverEnd == std::string::npos)
        return {};
    const std::size_t volumeEnd = rest.find('\\', serverEnd + 1);
    const std::string volume =
        rest.substr(0, serverEnd) + "/" +
        rest.substr(serverEnd + 1,
                    volumeEnd == std::string::npos ? std::string::npos : volumeEnd - serverEnd - 1);
    std::string path = volumeEnd == std::string::npos ? std::string() : rest.substr(volumeEnd + 1);
    for (char& c : path)
        if (c == '\\')
            c = '/';

    const ini::IniFile config(ClientConfigFile());
    for (const auto& prefix : config.ReadSection("Volumes")) {
        if (!SameTextIgnoringCase(config.ReadString("Volumes", prefix, ""), volume))
            continue;
        fs::path local(prefix);
        if (local.is_relative())
            local = fs::path(ClientConfigFile()).parent_path() / local;
        return (local / path).string();
    }
    return {};
}

int LayerTreeDirectory::Login(ContextHandle context, const std::string& userName,
                              const std::string& password) {
    return nwclient::login(context, 0, userName, password);
}

int LayerTreeDirectory::AttachByAddress(const std::string& address, ConnectionHandle& connection) {
    nwclient::Connection attached = 0;
    const int result = nwclient::attachToServerByAddress(address, attached);
    connection = attached;
    return result;
}

int LayerTreeDirectory::ConnectionTreeName(ConnectionHandle connection, std::string& treeName) {
    return nwclient::connectionInformation(connection, nwclient::CONN_INFO_TREE_NAME, treeName);
}

std::string LayerTreeDirectory::GetObjectBaseClass(ContextHandle context, const std::string& objectName) {
    return directory::GetObjectBaseClass(context, objectName);
}

std::string LayerTreeDirectory::ResolveAlias(ContextHandle context, const std::string& objectName) {
    return directory::ResolveAlias(context, objectName);
}

void LayerTimeSettings::SetDateTimeFormat(const std::string& format) {
    directory::SetDateTimeFormat(format);
}

void LayerTimeSettings::SetDateFacts(const rtl::LocaleFacts& facts) {
    directory::SetDateFacts(facts);
}

void LayerTimeSettings::SetUtcConversion(bool on) {
    directory::SetNoUTCConversion(!on);
}

void LayerTimeSettings::SetConfidenceSetting(int confidence) {
    directory::SetConfidenceSetting(static_cast<std::uint32_t>(confidence));
}

bool TolvexHelperLibrary::Load(const std::string& programFolder) {
    return directory::LoadHelperDll(programFolder);
}

bool TolvexHelperLibrary::IsLoaded() const {
    return directory::HelperDll() != nullptr;
}

void TolvexHelperLibrary::Free() {
    directory::FreeHelperDll();
}

int TolvexHelperLibrary::Version() {
    return directory::HelperDllVersion();
}

int TolvexHelperLibrary::GetIconNumber(const std::string& className) {
    return directory::GetIconNumber(className);
}

std::string TolvexHelperLibrary::GetSettingValue(const std::string& section, const std::string& key,
                                                 const std::string& defaultValue) {
    return directory::GetSettingValue(section, key, defaultValue);
}

void TolvexHelperLibrary::SetSettingValue(const std::string& section, const std::string& key,
                                          const std::string& value) {
    directory::SetSettingValue(section, key, value);
}

} // namespace browser
