// The client configuration file (format in CONFIG.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nwclient {

struct UserAccount {
    std::string name; // full dotted name
    std::string password;
};

struct TreeConfig {
    std::string name;
    bool visible = true;
    std::string defaultNameContext = "[Root]";
    std::string loggedInUser;
    std::vector<UserAccount> users;
    std::string ldifPath;
};

struct ServerConfig {
    std::string name;
    std::string tree;
    std::vector<std::string> addresses;
    std::vector<std::string> modules;
    std::string failModule;
    uint32_t failCode = 0;
};

struct VolumeMapping {
    std::string localPrefix; // without a trailing "/"
    std::string server;
    std::string volume;
};

struct ClientConfig {
    std::string path;   // of the INI file
    std::string folder; // of the INI file
    std::string preferredTree;
    std::string storePath;
    std::string moduleLogPath;
    std::vector<TreeConfig> trees;
    std::vector<ServerConfig> servers;
    std::vector<VolumeMapping> volumes;

    const TreeConfig* findTree(const std::string& name) const;
};

// The configuration file to use: explicitPath, else $CORMELIAN_CLIENT_CONFIG, else
// "nwclient/client.ini" in the program's folder.
std::string locateConfig(const std::string& explicitPath);
// Reads and checks the configuration; false with error set.
bool loadConfig(const std::string& path, ClientConfig& config, std::string& error);

} // namespace nwclient
