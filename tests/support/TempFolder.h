#pragma once

// Files for tests: a temporary folder that goes with its owner, and whole-file reads and writes.

#include <filesystem>
#include <string>

namespace test_support {

// Writes text to the file as it stands (no line-end translation), replacing what was there.
void WriteFile(const std::filesystem::path& path, const std::string& text);
// The whole content of the file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// A fresh folder under the system's temporary folder, removed with its content when the object
// goes. Throws std::runtime_error when the folder cannot be made.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "cormelian-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder with a trailing separator, as the program's folders are given.
    std::string Directory() const { return path_.string() + "/"; }
    // Writes a file below the folder, making the folders on its way.
    void Write(const std::string& name, const std::string& text) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

} // namespace test_support
