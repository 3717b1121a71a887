// gentree: writes generated directory trees (LDIF), their manifests of expected rows and the
// directory client's configuration.

#include "platform/commit/FileCommit.h"
#include "tools/gentree/GeneratorRun.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    // A write beyond the file-size limit is then an error the writer reports, not a silent end.
    commit::IgnoreFileSizeSignal();
    // A run of many files (an HTML export of thousands of pages) may use every descriptor it is allowed.
    commit::RaiseOpenFileLimit();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::cout << gentree::Usage();
        return arguments.empty() ? 2 : 0;
    }
    try {
        gentree::GeneratorRun run = gentree::ParseArguments(arguments);
        std::size_t objects = gentree::WriteRun(run);
        std::cout << "gentree: " << run.trees.size() << " tree(s), " << objects << " objects written to "
                  << run.outputFolder << "\n";
        return 0;
    } catch (const std::invalid_argument& error) {
        std::cerr << "gentree: " << error.what() << "\n" << gentree::Usage();
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "gentree: " << error.what() << "\n";
        return 1;
    }
}
