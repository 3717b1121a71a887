// nwstore: the command-line tool for the directory client's store.
#include "platform/commit/FileCommit.h"
#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Store.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const USAGE =
    "Usage:\n"
    "  nwstore import [--replace] STORE TREE FILE.ldif   load an LDIF file as tree TREE (all or nothing)\n"
    "  nwstore export STORE TREE FILE.ldif               write tree TREE as LDIF\n"
    "  nwstore list STORE                                list the trees held by the store\n"
    "  nwstore --help                                    show this text\n"
    "\n"
    "STORE is the SQLite file of the directory client (created when missing).\n"
    "An import refuses a tree the store holds already unless --replace is given.\n"
    "Exit status: 0 success, 1 failure (reason on standard error), 2 wrong usage.\n";

int usage() {
    std::cerr << USAGE;
    return 2;
}

std::unique_ptr<nwclient::Store> openStore(const std::string& path) {
    std::string error;
    auto store = nwclient::Store::open(path, error);
    if (!store)
        std::cerr << "nwstore: " << error << "\n";
    return store;
}

int importTree(bool replace, const std::string& storePath, const std::string& tree, const std::string& file) {
    std::vector<nwclient::Entry> entries;
    nwclient::ldif::Error ldifError;
    if (!nwclient::ldif::readFile(file, entries, ldifError)) {
        std::cerr << "nwstore: " << ldifError.message() << "\n";
        return 1;
    }
    auto store = openStore(storePath);
    if (!store)
        return 1;
    std::string error;
    const auto existing =
        replace ? nwclient::Store::ExistingTree::Replace : nwclient::Store::ExistingTree::Keep;
    if (!store->importTree(tree, entries, error, existing)) {
        if (!replace && store->hasTree(tree))
            std::cerr << "nwstore: " << error << " (use --replace)\n";
        else
            std::cerr << "nwstore: cannot store tree " << tree << ": " << error << "\n";
        return 1;
    }
    std::cout << "imported " << entries.size() << " objects into tree " << tree << "\n";
    return 0;
}

int exportTree(const std::string& storePath, const std::string& tree, const std::string& file) {
    auto store = openStore(storePath);
    if (!store)
        return 1;
    if (!store->hasTree(tree)) {
        std::cerr << "nwstore: the store holds no tree " << tree << "\n";
        return 1;
    }
    std::string error;
    auto loaded = store->loadTree(tree, error);
    if (!loaded || !nwclient::ldif::writeFile(*loaded, file, error)) {
        std::cerr << "nwstore: " << error << "\n";
        return 1;
    }
    std::cout << "exported " << loaded->size() << " objects of tree " << tree << "\n";
    return 0;
}

int listTrees(const std::string& storePath) {
    auto store = openStore(storePath);
    if (!store)
        return 1;
    for (const std::string& tree : store->treeNames())
        std::cout << tree << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // A write beyond the file-size limit is then an error the writer reports, not a silent end.
    commit::IgnoreFileSizeSignal();
    // A run of many files (an HTML export of thousands of pages) may use every descriptor it is allowed.
    commit::RaiseOpenFileLimit();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << USAGE;
        return 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "import") {
        bool replace = !args.empty() && args[0] == "--replace";
        if (replace)
            args.erase(args.begin());
        return args.size() == 3 ? importTree(replace, args[0], args[1], args[2]) : usage();
    }
    if (command == "export")
        return args.size() == 3 ? exportTree(args[0], args[1], args[2]) : usage();
    if (command == "list")
        return args.size() == 1 ? listTrees(args[0]) : usage();
    std::cerr << "nwstore: unknown command " << command << "\n";
    return usage();
}
