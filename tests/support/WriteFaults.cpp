#include "tests/support/WriteFaults.h"

#include <algorithm>
#include <exception>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ChildOutcome RunUnderFileSizeLimit(std::size_t limitBytes, const std::function<void()>& write) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = rlim_t(limitBytes);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 0;
        std::string text;
        try {
            write();
        } catch (const std::exception& error) {
            code = 1;
            text = error.what();
        }
        (void)!::write(channel[1], text.data(), text.size());
        ::close(channel[1]);
        ::_exit(code);
    }
    ::close(channel[1]);
    ChildOutcome outcome;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(channel[0], chunk, sizeof chunk)) > 0)
        outcome.text.append(chunk, std::size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    return outcome;
}

void MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::filesystem::create_symlink(target, link);
}

} // namespace test_support
