#include "tools/gentree/GeneratorRun.h"

#include "platform/commit/FileCommit.h"
#include "tools/gentree/ClientConfig.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace gentree {

namespace {

namespace fs = std::filesystem;

int ParseCount(const std::string& option, const std::string& text) {
    try {
        std::size_t used = 0;
        long value = std::stol(text, &used);
        if (used != text.size() || value < 0 || value > 100000000) {
            throw std::invalid_argument(text);
        }
        return static_cast<int>(value);
    } catch (const std::logic_error&) {
        throw std::invalid_argument(option + " needs a number, not '" + text + "'");
    }
}

bool SameTreeName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string Usage() {
    return "usage: gentree --demo FOLDER\n"
           "       gentree --out FOLDER [--tree NAME[:hidden]]... [--seed N] [--zones N] [--reverse-zones "
           "N]\n"
           "               [--rrsets N] [--records N] [--subnets N] [--addresses N] [--no-config]\n"
           "Writes one LDIF file and one manifest of expected rows per tree, and the client configuration\n"
           "client.ini. The same arguments always write the same files.\n";
}

GeneratorRun DemoRun(const std::string& outputFolder) {
    GeneratorRun run;
    run.outputFolder = outputFolder;
    TreeOptions acme{"ACME", 1, 20261207, TreeSize{2, 1, 8, 4, 2, 14}};
    TreeOptions globex{"GLOBEX", 2, 20261208, TreeSize{3, 2, 6, 3, 3, 10}};
    TreeOptions initech{"INITECH", 3, 20261209, TreeSize{1, 1, 4, 3, 1, 6}};
    run.trees = {acme, globex, initech};
    run.visible = {true, true, false};
    return run;
}

GeneratorRun ParseArguments(const std::vector<std::string>& arguments) {
    GeneratorRun run;
    TreeSize size;
    std::uint64_t seed = 1;
    std::vector<std::pair<std::string, bool>> trees;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) {
                throw std::invalid_argument(option + " needs a value");
            }
            return arguments[++i];
        };
        if (option == "--demo") {
            return DemoRun(value());
        } else if (option == "--out") {
            run.outputFolder = value();
        } else if (option == "--tree") {
            std::string name = value();
            bool visible = true;
            if (name.size() > 7 && name.compare(name.size() - 7, 7, ":hidden") == 0) {
                name.resize(name.size() - 7);
                visible = false;
            }
            trees.emplace_back(name, visible);
        } else if (option == "--seed") {
            seed = static_cast<std::uint64_t>(ParseCount(option, value()));
        } else if (option == "--zones") {
            size.zones = ParseCount(option, value());
        } else if (option == "--reverse-zones") {
            size.reverseZones = ParseCount(option, value());
        } else if (option == "--rrsets") {
            size.recordSetsPerZone = ParseCount(option, value());
        } else if (option == "--records") {
            size.recordsPerSet = ParseCount(option, value());
        } else if (option == "--subnets") {
            size.subnets = ParseCount(option, value());
        } else if (option == "--addresses") {
            size.addressesPerSubnet = ParseCount(option, value());
        } else if (option == "--no-config") {
            run.writeClientConfig = false;
        } else {
            throw std::invalid_argument("unknown option '" + option + "'");
        }
    }
    if (run.outputFolder.empty()) {
        throw std::invalid_argument("--out FOLDER is required");
    }
    if (trees.empty()) {
        trees.emplace_back("BENCH", true);
    }
    if (trees.size() > 16) {
        throw std::invalid_argument("at most 16 trees");
    }
    // Tree names compare without regard to case, as the directory compares them; a tree named twice
    // would be written once and counted twice.
    for (std::size_t t = 0; t < trees.size(); ++t) {
        for (std::size_t u = 0; u < t; ++u) {
            if (SameTreeName(trees[u].first, trees[t].first)) {
                throw std::invalid_argument("tree '" + trees[t].first + "' is named twice");
            }
        }
    }
    for (std::size_t t = 0; t < trees.size(); ++t) {
        run.trees.push_back(TreeOptions{trees[t].first, static_cast<int>(t + 1) % 16, seed + t, size});
        run.visible.push_back(trees[t].second);
    }
    return run;
}

std::size_t WriteRun(const GeneratorRun& run) {
    fs::path folder(run.outputFolder);
    fs::create_directories(folder);
    std::size_t objects = 0;
    std::vector<ClientTree> clientTrees;
    // The trees, their manifests and the configuration that names them replace the old ones together.
    commit::CommitGroup files;
    auto add = [&files](const fs::path& path, const std::string& content) {
        files.add(path.string()).write(content);
    };
    for (std::size_t t = 0; t < run.trees.size(); ++t) {
        GeneratedTree tree = GenerateTree(run.trees[t]);
        objects += tree.entries.size();
        std::ostringstream ldif;
        WriteLdif(ldif, tree.entries);
        add(folder / (tree.name + ".ldif"), ldif.str());
        std::ostringstream manifest;
        WriteManifest(manifest, tree.name, tree.rows);
        add(folder / (tree.name + ".manifest"), manifest.str());
        clientTrees.push_back(ClientTree{tree.name, run.visible.at(t), "admin.Users." + tree.name, "secret",
                                         tree.name + "-FS1",
                                         "10." + std::to_string(run.trees[t].index) + ".0.1"});
    }
    if (run.writeClientConfig) {
        std::ostringstream config;
        WriteClientConfig(config, clientTrees);
        add(folder / "client.ini", config.str());
    }
    files.commit();
    return objects;
}

} // namespace gentree
