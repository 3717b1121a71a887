#include "ExportTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <regex>
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

bool HasCommand(const std::string& command) {
    int status = 0;
    RunCommand("command -v " + command, status);
    return status == 0;
}

std::pair<double, double> RightmostWordAndPageWidth(const std::string& texFile) {
    const std::string pdf = std::filesystem::path(texFile).replace_extension(".pdf").string();
    int status = 0;
    const std::string html = RunCommand("pdftotext -bbox '" + pdf + "' -", status);
    EXPECT_EQ(status, 0) << html.substr(0, 500);
    double right = 0, page = 0;
    const std::regex word(R"re(<word xMin="[-0-9.]+" yMin="[-0-9.]+" xMax="([-0-9.]+)")re");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        right = std::max(right, std::stod((*it)[1]));
    std::smatch m;
    if (std::regex_search(html, m, std::regex(R"re(<page width="([0-9.]+)")re")))
        page = std::stod(m[1]);
    return {right, page};
}

} // namespace exporter::test
