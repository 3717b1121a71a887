// Trees, users, connections, volumes and server modules of the client.
#include "platform/nwclient/Client.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace nwclient {

namespace {

std::string firstWord(const std::string& text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return {};
    std::size_t end = text.find(' ', begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && names::equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// The rest of path below prefix ("" for the prefix itself), or false when path is not below it.
bool below(const std::string& path, const std::string& prefix, std::string& rest) {
    if (names::equalsIgnoreCase(path, prefix)) {
        rest.clear();
        return true;
    }
    std::string withSlash = prefix == "/" ? prefix : prefix + "/";
    if (!startsWithIgnoreCase(path, withSlash))
        return false;
    rest = path.substr(withSlash.size());
    while (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    return true;
}

} // namespace

// ------------------------------------------------------------------ trees and users
std::vector<std::string> Client::treeReports() {
    std::vector<std::string> reports;
    std::lock_guard lock(mutex_);
    for (const TreeConfig& tree : config_.trees) {
        if (!treeStates_[tree.name].visible)
            continue;
        std::size_t servers = 0;
        for (const ServerConfig& server : config_.servers)
            if (server.tree == tree.name) {
                reports.push_back(tree.name);
                ++servers;
            }
        if (servers == 0)
            reports.push_back(tree.name);
    }
    return reports;
}

int32_t Client::scanTreeName(Context context, int32_t& iteration, std::string& treeName) {
    if (int32_t result = checkContext(context); result != SUCCESS)
        return result;
    std::vector<std::string> reports = treeReports();
    std::size_t position = iteration < 0 ? 0 : static_cast<std::size_t>(iteration);
    if (position >= reports.size())
        return NO_MORE_TREES;
    treeName = reports[position];
    iteration = static_cast<int32_t>(position + 1);
    return SUCCESS;
}

int32_t Client::scanTreeNames(Context context, uint32_t capacity, uint32_t& count,
                              std::vector<std::string>& names) {
    if (int32_t result = checkContext(context); result != SUCCESS)
        return result;
    std::vector<std::string> reports = treeReports();
    if (reports.size() > capacity)
        reports.resize(capacity);
    count = static_cast<uint32_t>(reports.size());
    names = std::move(reports);
    return SUCCESS;
}

int32_t Client::whoAmI(Context context, std::string& userName) {
    ContextState state;
    if (int32_t result = contextState(context, state); result != SUCCESS)
        return result;
    std::lock_guard lock(mutex_);
    auto it = treeStates_.find(state.tree);
    if (it == treeStates_.end())
        return ERR_NO_CONNECTION;
    if (it->second.loggedInUser.empty())
        return ERR_NOT_LOGGED_IN;
    userName = it->second.loggedInUser;
    return SUCCESS;
}

int32_t Client::login(Context context, const std::string& userName, const std::string& password) {
    ContextState state;
    DirectoryTree* tree = nullptr;
    if (int32_t result = contextTree(context, state, tree); result != SUCCESS)
        return result;
    names::Components wanted;
    if (int32_t result = names::resolve(userName, state.nameContext, wanted); result != SUCCESS)
        return result;
    const TreeConfig* treeConfig = config_.findTree(state.tree);
    const UserAccount* account = nullptr;
    for (const UserAccount& candidate : treeConfig->users) {
        names::Components components;
        bool absolute = false;
        if (names::parse(candidate.name, components, absolute) == SUCCESS &&
            names::key(components) == names::key(wanted)) {
            account = &candidate;
            break;
        }
    }
    if (!account)
        return ERR_NO_SUCH_ENTRY;
    if (account->password != password)
        return ERR_FAILED_AUTHENTICATION;
    EntryPtr entry = tree->find(wanted);
    std::lock_guard lock(mutex_);
    TreeState& treeState = treeStates_[state.tree];
    treeState.visible = true;
    treeState.loggedInUser = entry ? entry->fullName() : names::join(wanted);
    return SUCCESS;
}

// ------------------------------------------------------------------ connections
int Client::findServer(const std::string& name) const {
    std::string wanted = name;
    names::Components components;
    bool absolute = false;
    if (names::parse(name, components, absolute) == SUCCESS && !components.empty())
        wanted = components.front();
    for (std::size_t i = 0; i < config_.servers.size(); ++i)
        if (names::equalsIgnoreCase(config_.servers[i].name, name) ||
            names::equalsIgnoreCase(config_.servers[i].name, wanted))
            return static_cast<int>(i);
    return -1;
}

Connection Client::newConnection(ConnectionState state) {
    Connection connection = nextConnection_++;
    connections_.emplace(connection, std::move(state));
    return connection;
}

int32_t Client::openConnectionByName(Context context, const std::string& serverName, Connection& connection) {
    if (int32_t result = checkContext(context); result != SUCCESS)
        return result;
    int server = findServer(serverName);
    if (server < 0)
        return ERR_SERVER_NOT_FOUND;
    std::lock_guard lock(mutex_);
    connection = newConnection({server, config_.servers[static_cast<std::size_t>(server)].tree, false});
    return SUCCESS;
}

int32_t Client::authenticateConnection(Context context, Connection connection) {
    if (int32_t result = checkContext(context); result != SUCCESS)
        return result;
    std::lock_guard lock(mutex_);
    auto it = connections_.find(connection);
    if (it == connections_.end())
        return ERR_INVALID_HANDLE;
    if (treeStates_[it->second.tree].loggedInUser.empty())
        return ERR_NOT_LOGGED_IN;
    it->second.authenticated = true;
    return SUCCESS;
}

int32_t Client::releaseConnectionAuthentication(Connection connection) {
    std::lock_guard lock(mutex_);
    auto it = connections_.find(connection);
    if (it == connections_.end())
        return ERR_INVALID_HANDLE;
    it->second.authenticated = false;
    return SUCCESS;
}

int32_t Client::primaryConnectionReference(ConnectionReference& reference) {
    std::lock_guard lock(mutex_);
    ConnectionState target;
    target.tree = preferredTree_;
    for (std::size_t i = 0; i < config_.servers.size(); ++i)
        if (config_.servers[i].tree == preferredTree_) {
            target.server = static_cast<int>(i);
            break;
        }
    for (std::size_t i = 0; i < references_.size(); ++i)
        if (references_[i].server == target.server && references_[i].tree == target.tree) {
            reference = static_cast<ConnectionReference>(i + 1);
            return SUCCESS;
        }
    references_.push_back(target);
    reference = static_cast<ConnectionReference>(references_.size());
    return SUCCESS;
}

int32_t Client::openConnection(ConnectionReference reference, Connection& connection) {
    std::lock_guard lock(mutex_);
    if (reference == 0 || reference > references_.size())
        return ERR_INVALID_HANDLE;
    connection = newConnection(references_[reference - 1]);
    return SUCCESS;
}

int32_t Client::closeConnection(Connection connection) {
    std::lock_guard lock(mutex_);
    return connections_.erase(connection) ? SUCCESS : ERR_INVALID_HANDLE;
}

int32_t Client::connectionInformation(Connection connection, uint32_t infoType, std::string& value) {
    std::lock_guard lock(mutex_);
    auto it = connections_.find(connection);
    if (it == connections_.end())
        return ERR_INVALID_HANDLE;
    if (infoType != CONN_INFO_TREE_NAME)
        return ERR_INVALID_REQUEST;
    value = it->second.tree;
    if (value.size() < 32)
        value.append(32 - value.size(), '_');
    return SUCCESS;
}

int32_t Client::attachToServerByAddress(const std::string& address, Connection& connection) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < config_.servers.size(); ++i) {
        const ServerConfig& server = config_.servers[i];
        if (std::find(server.addresses.begin(), server.addresses.end(), address) == server.addresses.end())
            continue;
        bool already = !attached_.insert(static_cast<int>(i)).second;
        connection = newConnection({static_cast<int>(i), server.tree, false});
        return already ? ALREADY_ATTACHED : SUCCESS;
    }
    return ERR_SERVER_NOT_FOUND;
}

// ------------------------------------------------------------------ volumes
int32_t Client::mapPathToConnection(const std::string& path, Connection& connection, uint32_t& flags,
                                    std::string& volumePath) {
    std::string normal = path.empty() ? path : std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    for (const VolumeMapping& mapping : config_.volumes) {
        std::string rest;
        if (!below(normal, mapping.localPrefix, rest))
            continue;
        int server = findServer(mapping.server);
        if (server < 0)
            return ERR_SERVER_NOT_FOUND;
        std::lock_guard lock(mutex_);
        connection = newConnection({server, config_.servers[static_cast<std::size_t>(server)].tree, false});
        flags = 1;
        volumePath = mapping.server + "/" + mapping.volume + ":" + rest;
        return SUCCESS;
    }
    return ERR_NOT_NETWARE_PATH;
}

bool Client::localDirectory(const std::string& directoryPath, std::string& local) const {
    // The folder must stay inside the mapped volume: ".." may not climb out of it.
    auto inside = [](const std::string& path, const VolumeMapping& mapping, std::string& normal) {
        normal = std::filesystem::path(path).lexically_normal().string();
        while (normal.size() > 1 && normal.back() == '/')
            normal.pop_back();
        std::string rest;
        return below(normal, mapping.localPrefix, rest);
    };
    std::size_t colon = directoryPath.find(':');
    std::size_t slash = directoryPath.find('/');
    if (colon != std::string::npos && slash != std::string::npos && slash < colon) {
        std::string server = directoryPath.substr(0, slash);
        std::string volume = directoryPath.substr(slash + 1, colon - slash - 1);
        std::string rest = directoryPath.substr(colon + 1);
        for (const VolumeMapping& mapping : config_.volumes)
            if (names::equalsIgnoreCase(mapping.server, server) &&
                names::equalsIgnoreCase(mapping.volume, volume))
                return inside(rest.empty() ? mapping.localPrefix : mapping.localPrefix + "/" + rest, mapping,
                              local);
        return false;
    }
    for (const VolumeMapping& mapping : config_.volumes) {
        std::string rest;
        if (below(directoryPath, mapping.localPrefix, rest))
            return inside(directoryPath, mapping, local);
    }
    return false;
}

int32_t Client::nextVolumeDirectoryEntry(Connection connection, const std::string& directoryPath,
                                         uint32_t attributeMask, int32_t& iteration, DirectoryEntry& entry) {
    {
        std::lock_guard lock(mutex_);
        if (!connections_.count(connection))
            return ERR_INVALID_HANDLE;
    }
    std::shared_ptr<Iteration> state;
    if (iteration == -1) {
        std::string local;
        if (!localDirectory(directoryPath, local))
            return ERR_NOT_NETWARE_PATH;
        namespace fs = std::filesystem;
        std::error_code ec;
        if (!fs::is_directory(local, ec))
            return ERR_NOT_NETWARE_PATH;
        state = std::make_shared<Iteration>();
        state->kind = Iteration::DirectoryKind;
        for (const fs::directory_entry& item : fs::directory_iterator(local, ec)) {
            DirectoryEntry found;
            found.name = item.path().filename().string();
            bool directory = item.is_directory(ec);
            if (directory && !(attributeMask & 0x10))
                continue;
            found.attributes = directory ? 0x10 : 0;
            if (!directory)
                found.size = item.file_size(ec);
            auto written = item.last_write_time(ec);
            if (!ec)
                found.modificationTime =
                    static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                              std::chrono::file_clock::to_sys(written).time_since_epoch())
                                              .count());
            state->directoryEntries.push_back(std::move(found));
        }
        std::sort(state->directoryEntries.begin(), state->directoryEntries.end(),
                  [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
        if (state->directoryEntries.empty())
            return NO_MORE_DIRECTORY_ENTRIES;
        registerIteration(state, iteration);
    } else {
        state = findIteration(iteration, Iteration::DirectoryKind);
        if (!state)
            return ERR_INVALID_ITERATION;
    }
    if (state->position >= state->directoryEntries.size()) {
        dropIteration(iteration);
        iteration = -1;
        return NO_MORE_DIRECTORY_ENTRIES;
    }
    entry = state->directoryEntries[state->position++];
    return SUCCESS;
}

// ------------------------------------------------------------------ server modules
void Client::logModule(const std::string& line) {
    moduleLog_.push_back(line);
    if (!config_.moduleLogPath.empty()) {
        std::ofstream log(config_.moduleLogPath, std::ios::app);
        log << line << '\n';
    }
}

int32_t Client::loggedInServer(Connection connection, std::size_t& serverIndex) const {
    auto it = connections_.find(connection);
    if (it == connections_.end())
        return ERR_INVALID_HANDLE;
    if (it->second.server < 0)
        return ERR_NO_CONNECTION;
    if (!it->second.authenticated)
        return ERR_NOT_LOGGED_IN;
    serverIndex = static_cast<std::size_t>(it->second.server);
    return SUCCESS;
}

int32_t Client::loadServerModule(Connection connection, const std::string& commandLine,
                                 uint32_t& moduleResult) {
    std::lock_guard lock(mutex_);
    std::size_t serverIndex = 0;
    if (int32_t result = loggedInServer(connection, serverIndex); result != SUCCESS)
        return result;
    const ServerConfig& server = config_.servers[serverIndex];
    std::string module = firstWord(commandLine);
    int32_t result = SUCCESS;
    moduleResult = 0;
    if (module.empty()) {
        result = ERR_INVALID_REQUEST;
    } else if (!server.failModule.empty() && names::equalsIgnoreCase(module, server.failModule)) {
        moduleResult = server.failCode;
        result = MODULE_LOAD_FAILED;
    } else {
        auto& loaded = loadedModules_[serverIndex];
        if (std::none_of(loaded.begin(), loaded.end(),
                         [&](const std::string& m) { return names::equalsIgnoreCase(m, module); }))
            loaded.push_back(module);
    }
    logModule("LOAD " + server.name + " " + commandLine + " -> " + std::to_string(result));
    return result;
}

int32_t Client::unloadServerModule(Connection connection, const std::string& moduleName) {
    std::lock_guard lock(mutex_);
    std::size_t serverIndex = 0;
    if (int32_t result = loggedInServer(connection, serverIndex); result != SUCCESS)
        return result;
    std::string module = firstWord(moduleName);
    auto& loaded = loadedModules_[serverIndex];
    auto found = std::find_if(loaded.begin(), loaded.end(),
                              [&](const std::string& m) { return names::equalsIgnoreCase(m, module); });
    int32_t result = found == loaded.end() ? ERR_MODULE_NOT_LOADED : SUCCESS;
    if (found != loaded.end())
        loaded.erase(found);
    logModule("UNLOAD " + config_.servers[serverIndex].name + " " + module + " -> " + std::to_string(result));
    return result;
}

std::vector<std::string> Client::moduleLog() {
    std::lock_guard lock(mutex_);
    return moduleLog_;
}

std::vector<std::string> Client::loadedModules(const std::string& serverName) {
    int server = findServer(serverName);
    std::lock_guard lock(mutex_);
    return server < 0 ? std::vector<std::string>() : loadedModules_[static_cast<std::size_t>(server)];
}

} // namespace nwclient
