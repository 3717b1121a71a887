#include "platform/sysinfo/SystemInfo.h"

#include <sys/utsname.h>

#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace sysinfo {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A value of an os-release assignment: unquoted, single- or double-quoted, with backslash escapes.
std::string Unquote(const std::string& raw) {
    std::string value = Trim(raw);
    std::string result;
    char quote = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (quote != 0 && c == quote) {
            quote = 0;
        } else if (c == '\\' && quote != '\'' && i + 1 < value.size()) {
            result += value[++i];
        } else if (quote == 0 && c == '#') {
            break; // a comment after an unquoted value
        } else {
            result += c;
        }
    }
    return Trim(result);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string OsNameFromOsRelease(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        values[Trim(line.substr(0, equals))] = Unquote(line.substr(equals + 1));
    }
    if (!values["PRETTY_NAME"].empty())
        return values["PRETTY_NAME"];
    std::string name = values["NAME"].empty() ? "Linux" : values["NAME"];
    if (!values["VERSION"].empty())
        name += " " + values["VERSION"];
    return name;
}

std::optional<std::uint64_t> TotalMemoryFromMeminfo(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("MemTotal:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(9));
        std::uint64_t amount = 0;
        std::string unit;
        if (!(fields >> amount))
            return std::nullopt;
        fields >> unit;
        std::uint64_t scale = 1;
        if (unit == "kB" || unit == "KB")
            scale = 1024;
        else if (unit == "mB" || unit == "MB")
            scale = 1024 * 1024;
        else if (!unit.empty())
            return std::nullopt;
        if (amount > std::numeric_limits<std::uint64_t>::max() / scale)
            return std::nullopt;
        return amount * scale;
    }
    return std::nullopt;
}

OperatingSystem CurrentOperatingSystem() {
    OperatingSystem system;
    std::string osRelease = ReadFile("/etc/os-release");
    if (osRelease.empty())
        osRelease = ReadFile("/usr/lib/os-release");
    system.name = OsNameFromOsRelease(osRelease);
    utsname names{};
    if (uname(&names) == 0)
        system.kernelRelease = names.release;
    return system;
}

std::uint64_t TotalPhysicalMemory() {
    return TotalMemoryFromMeminfo(ReadFile("/proc/meminfo")).value_or(0);
}

} // namespace sysinfo
