#pragma once

// Facts about the operating system the program runs on, for the About box: the system's name and
// version, the kernel's release and the physical memory.

#include <cstdint>
#include <optional>
#include <string>

namespace sysinfo {

struct OperatingSystem {
    std::string name;          // "Debian GNU/Linux 12 (bookworm)"
    std::string kernelRelease; // "6.1.0-18-amd64"
};

// The system's display name from an os-release file (PRETTY_NAME, else NAME and VERSION, else
// "Linux"); quotes and backslash escapes of the file's shell-like syntax are removed.
std::string OsNameFromOsRelease(const std::string& text);
// The total physical memory in bytes from the text of /proc/meminfo ("MemTotal: ... kB");
// nullopt when the line is missing or malformed.
std::optional<std::uint64_t> TotalMemoryFromMeminfo(const std::string& text);

// The running system: /etc/os-release (else /usr/lib/os-release) and uname.
OperatingSystem CurrentOperatingSystem();
// The running system's physical memory in bytes (0 when it cannot be read).
std::uint64_t TotalPhysicalMemory();

} // namespace sysinfo
