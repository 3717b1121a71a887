#pragma once

// Helpers for the writers' fault-injection tests: what a folder holds, and running a write in a
// child process under a file-size limit (a real part-way failure).

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace test_support {

// The names of every entry in the folder (hidden ones too), sorted.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

// What a write run in a child process gave: its exit code (-1 when it died of a signal, with the
// signal in `signal`) and the text it reported.
struct ChildOutcome {
    int exitCode = -1;
    int signal = 0;
    std::string text;
};

// Runs `write` in a forked child whose file-size limit is `limitBytes`. The child's exit code is
// 0 when `write` returns, 1 when it throws (the exception's text is reported back).
ChildOutcome RunUnderFileSizeLimit(std::size_t limitBytes, const std::function<void()>& write);

// Creates a symbolic link `link` pointing at `target`.
void MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link);

} // namespace test_support
