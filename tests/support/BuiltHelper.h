#pragma once

// Where the build places the helper library (libTolvex.so) for tests that load the real one.

#include <filesystem>

namespace test_support {

// <build>/browser, for a test executable running from <build>/tests/<suite>.
inline std::filesystem::path BuiltHelperFolder() {
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    return exe.parent_path().parent_path().parent_path() / "browser";
}

} // namespace test_support
