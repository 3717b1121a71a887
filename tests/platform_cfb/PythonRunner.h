#pragma once

// Runs python3 scripts that read written files back with the Debian reader modules.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testutil {

struct PythonResult {
    int exitCode = -1;
    std::string output; // standard output and standard error
};

// The interpreter that has the Debian modules (python3-olefile, python3-xlrd).
inline std::string PythonInterpreter() {
    if (::access("/usr/bin/python3", X_OK) == 0)
        return "/usr/bin/python3";
    return "python3";
}

inline PythonResult RunPython(const std::string& script, const std::string& argument) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("readback_" + std::to_string(::getpid()) + ".py");
    {
        std::ofstream out(file);
        out << script;
    }
    const std::string command = PythonInterpreter() + " '" + file.string() + "' '" + argument + "' 2>&1";
    PythonResult result;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.output.append(buffer, n);
        const int status = ::pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::filesystem::remove(file);
    return result;
}

// True when the interpreter can import the module.
inline bool PythonHasModule(const std::string& module) {
    return RunPython("import " + module + "\n", "").exitCode == 0;
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "cormelian_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("Cannot make a folder like " + pattern);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace testutil
