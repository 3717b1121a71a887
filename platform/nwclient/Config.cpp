#include "platform/nwclient/Config.h"

#include "platform/nwclient/Names.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace nwclient {
namespace {

namespace fs = std::filesystem;

struct IniLine {
    std::string key;
    std::string value;
    int line;
};
struct IniSection {
    std::string name;
    std::vector<IniLine> lines;

    const IniLine* find(std::string_view key) const {
        for (const IniLine& line : lines)
            if (names::equalsIgnoreCase(line.key, key))
                return &line;
        return nullptr;
    }
    std::string value(std::string_view key, const std::string& fallback = {}) const {
        const IniLine* line = find(key);
        return line ? line->value : fallback;
    }
};

std::string trim(std::string_view text) {
    std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos)
        return {};
    std::size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string item =
            trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!item.empty())
            items.push_back(item);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return items;
}

bool readIni(const std::string& path, std::vector<IniSection>& sections, std::string& error) {
    errno = 0;
    std::ifstream in(path);
    if (!in) {
        const int cause = errno;
        error = "cannot read the client configuration " + path;
        if (cause != 0)
            error += ": " + std::generic_category().message(cause);
        return false;
    }
    std::string text;
    int number = 0;
    IniSection* current = nullptr;
    while (std::getline(in, text)) {
        ++number;
        std::string line = trim(text);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']') {
                error = path + ":" + std::to_string(number) + ": unterminated section name";
                return false;
            }
            sections.push_back({trim(std::string_view(line).substr(1, line.size() - 2)), {}});
            current = &sections.back();
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || !current) {
            error = path + ":" + std::to_string(number) + ": expected key=value inside a section";
            return false;
        }
        current->lines.push_back({trim(line.substr(0, equals)), trim(line.substr(equals + 1)), number});
    }
    return true;
}

std::string absoluteIn(const std::string& folder, const std::string& path) {
    if (path.empty() || path == ":memory:" || fs::path(path).is_absolute())
        return path;
    return (fs::path(folder) / path).lexically_normal().string();
}

// "Tree ACME" -> "ACME" when the section's first word is prefix.
bool sectionArgument(const std::string& section, std::string_view prefix, std::string& argument) {
    if (section.size() <= prefix.size() + 1 ||
        !names::equalsIgnoreCase(section.substr(0, prefix.size()), prefix) || section[prefix.size()] != ' ')
        return false;
    argument = trim(section.substr(prefix.size() + 1));
    return !argument.empty();
}

std::string programFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path().string() : exe.parent_path().string();
}

} // namespace

const TreeConfig* ClientConfig::findTree(const std::string& name) const {
    for (const TreeConfig& tree : trees)
        if (names::equalsIgnoreCase(tree.name, name))
            return &tree;
    return nullptr;
}

std::string locateConfig(const std::string& explicitPath) {
    if (!explicitPath.empty())
        return explicitPath;
    if (const char* fromEnvironment = std::getenv("CORMELIAN_CLIENT_CONFIG");
        fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return (fs::path(programFolder()) / "nwclient" / "client.ini").string();
}

bool loadConfig(const std::string& path, ClientConfig& config, std::string& error) {
    config = ClientConfig();
    std::vector<IniSection> sections;
    if (!readIni(path, sections, error))
        return false;
    config.path = path;
    config.folder = fs::absolute(fs::path(path)).parent_path().string();
    config.storePath = absoluteIn(config.folder, "store.db");
    auto fail = [&](const IniLine* line, const std::string& reason) {
        error = path;
        if (line)
            error.append(":").append(std::to_string(line->line));
        error.append(": ").append(reason);
        return false;
    };
    std::map<std::string, TreeConfig*> treesByKey;
    // [Trees] first: it fixes the trees and their order.
    for (const IniSection& section : sections) {
        if (!names::equalsIgnoreCase(section.name, "Trees"))
            continue;
        for (const IniLine& line : section.lines) {
            TreeConfig tree;
            tree.name = line.key;
            std::string visibility = names::lowerAscii(line.value);
            if (visibility == "visible" || visibility.empty())
                tree.visible = true;
            else if (visibility == "hidden")
                tree.visible = false;
            else
                return fail(&line, "a tree is \"visible\" or \"hidden\", not \"" + line.value + "\"");
            if (config.findTree(tree.name))
                return fail(&line, "tree " + tree.name + " is listed twice");
            tree.ldifPath = absoluteIn(config.folder, tree.name + ".ldif");
            config.trees.push_back(tree);
        }
    }
    if (config.trees.empty())
        return fail(nullptr, "no trees in section [Trees]");
    for (TreeConfig& tree : config.trees)
        treesByKey[names::lowerAscii(tree.name)] = &tree;
    auto treeNamed = [&](const std::string& name) -> TreeConfig* {
        auto it = treesByKey.find(names::lowerAscii(name));
        return it == treesByKey.end() ? nullptr : it->second;
    };
    for (const IniSection& section : sections) {
        std::string argument;
        if (names::equalsIgnoreCase(section.name, "Client")) {
            config.preferredTree = section.value("PreferredTree");
            if (const IniLine* store = section.find("Store"); store && !store->value.empty())
                config.storePath = absoluteIn(config.folder, store->value);
            config.moduleLogPath = absoluteIn(config.folder, section.value("ModuleLog"));
        } else if (sectionArgument(section.name, "Tree", argument)) {
            TreeConfig* tree = treeNamed(argument);
            if (!tree)
                return fail(nullptr, "section [" + section.name + "] names a tree missing from [Trees]");
            if (const IniLine* context = section.find("DefaultNameContext");
                context && !context->value.empty())
                tree->defaultNameContext = context->value;
            tree->loggedInUser = section.value("User");
            if (const IniLine* ldif = section.find("Ldif"); ldif && !ldif->value.empty())
                tree->ldifPath = absoluteIn(config.folder, ldif->value);
        } else if (sectionArgument(section.name, "Users", argument)) {
            TreeConfig* tree = treeNamed(argument);
            if (!tree)
                return fail(nullptr, "section [" + section.name + "] names a tree missing from [Trees]");
            for (const IniLine& line : section.lines)
                tree->users.push_back({line.key, line.value});
        } else if (sectionArgument(section.name, "Server", argument)) {
            ServerConfig server;
            server.name = argument;
            const IniLine* treeLine = section.find("Tree");
            TreeConfig* tree = treeLine ? treeNamed(treeLine->value) : nullptr;
            if (!tree)
                return fail(treeLine, "server " + argument + " needs Tree= naming a tree of [Trees]");
            server.tree = tree->name;
            server.addresses = splitList(section.value("Addresses"));
            server.modules = splitList(section.value("Modules"));
            server.failModule = section.value("FailModule");
            std::string code = section.value("FailCode", "0");
            char* end = nullptr;
            unsigned long parsed = std::strtoul(code.c_str(), &end, 0);
            if (end == code.c_str() || *end)
                return fail(section.find("FailCode"), "FailCode is not a number");
            server.failCode = static_cast<uint32_t>(parsed);
            config.servers.push_back(server);
        } else if (names::equalsIgnoreCase(section.name, "Volumes")) {
            for (const IniLine& line : section.lines) {
                std::size_t slash = line.value.find('/');
                if (slash == std::string::npos || slash == 0 || slash + 1 == line.value.size())
                    return fail(&line, "a volume mapping is SERVER/VOLUME");
                std::string prefix = line.key;
                while (prefix.size() > 1 && prefix.back() == '/')
                    prefix.pop_back();
                config.volumes.push_back({prefix, line.value.substr(0, slash), line.value.substr(slash + 1)});
            }
        } else if (!names::equalsIgnoreCase(section.name, "Trees")) {
            return fail(nullptr, "unknown section [" + section.name + "]");
        }
    }
    if (config.preferredTree.empty()) {
        for (const TreeConfig& tree : config.trees)
            if (tree.visible) {
                config.preferredTree = tree.name;
                break;
            }
        if (config.preferredTree.empty())
            config.preferredTree = config.trees.front().name;
    } else if (const TreeConfig* tree = config.findTree(config.preferredTree)) {
        config.preferredTree = tree->name;
    } else {
        return fail(nullptr, "PreferredTree " + config.preferredTree + " is not in [Trees]");
    }
    return true;
}

} // namespace nwclient
