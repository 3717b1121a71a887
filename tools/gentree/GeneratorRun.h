#pragma once

#include "tools/gentree/TreeGenerator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gentree {

// What one run of the generator writes into its output folder.
struct GeneratorRun {
    std::string outputFolder;
    std::vector<TreeOptions> trees;
    std::vector<bool> visible; // per tree
    bool writeClientConfig = true;
};

// The demo directory: the visible trees ACME and GLOBEX and the hidden tree INITECH at a small size.
GeneratorRun DemoRun(const std::string& outputFolder);

// Parses the command line (without the program name). Throws std::invalid_argument with a message
// for bad arguments.
GeneratorRun ParseArguments(const std::vector<std::string>& arguments);

// Writes <tree>.ldif and <tree>.manifest per tree and client.ini as one commit: all replace the old
// files, or (commit::CommitError, a std::runtime_error) none does. Returns the number of objects
// written.
std::size_t WriteRun(const GeneratorRun& run);

// The text printed for --help.
std::string Usage();

} // namespace gentree
