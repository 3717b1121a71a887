// The fuzz input as a file, for readers that take a path: written into a folder of this process (on
// tmpfs where there is one), replaced by every input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

class InputFile {
public:
    explicit InputFile(const char* name) {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/cormelian-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        folder_ = pattern;
        path_ = folder_ + "/" + name;
    }

    ~InputFile() {
        std::remove(path_.c_str());
        rmdir(folder_.c_str());
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }

    // Replaces the file with the bytes.
    void write(const uint8_t* data, size_t size) const {
        FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
            std::perror(path_.c_str());
            std::abort();
        }
    }

private:
    std::string folder_;
    std::string path_;
};

} // namespace fuzz
