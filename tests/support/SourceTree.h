#pragma once

// The source tree for tests that read what it holds (the demo directory under data/demo).

#include <cstdlib>
#include <filesystem>

namespace test_support {

// CORMELIAN_SOURCE_DIR when it is set, else the tree this file stands in.
inline std::filesystem::path SourceFolder() {
    const char* configured = std::getenv("CORMELIAN_SOURCE_DIR");
    return configured != nullptr ? std::filesystem::path(configured)
                                 : std::filesystem::path(__FILE__).parent_path() / "../..";
}

} // namespace test_support
