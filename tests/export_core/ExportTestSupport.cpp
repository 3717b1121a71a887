#include "ExportTestSupport.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace exporter::test {

namespace {
// Every suite runs with the fixed US-English locale facts.
const bool kFixedLocale = (::setenv("LC_ALL", "C", 1), ::setenv("LANG", "C", 1), true);
} // namespace

std::string RunCommand(const std::string& command, int& status) {
    (void)kFixedLocale;
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

} // namespace exporter::test
