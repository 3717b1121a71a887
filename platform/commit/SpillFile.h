#pragma once

// A scratch file for content too large to keep in memory until it is copied into its real file: it
// has no name (or loses it at once), so it leaves nothing behind, and every write is checked.

#include <cstdint>
#include <functional>
#include <streambuf>
#include <string>
#include <vector>

namespace commit {

// Where scratch files go when no folder is given: $TMPDIR, else /tmp.
std::string TemporaryFolder();

// A buffered, write-only stream buffer over the scratch file. The first failing write sets the
// writing stream's badbit and is kept; copyRange() then reports it.
class SpillFile : public std::streambuf {
public:
    // Makes the file in `folder` (TemporaryFolder() when empty): O_TMPFILE where the file system has
    // it, else a random name created O_EXCL | O_NOFOLLOW and removed at once. Throws CommitError
    // (Stage::Create) with the folder as its path.
    explicit SpillFile(const std::string& folder = {});
    ~SpillFile() override;
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    const std::string& folder() const { return folder_; }
    // Bytes written so far, buffered ones included.
    std::int64_t size() const { return written_ + (pptr() - pbase()); }
    bool good() const { return error_ == 0; }

    // Hands the bytes [offset, offset + length) to `sink` in chunks. Throws CommitError (Stage::Write,
    // the folder as its path) when a write into the file or the read back failed.
    void copyRange(std::int64_t offset, std::int64_t length,
                   const std::function<void(const char*, std::size_t)>& sink);

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;
    // tellp: the bytes written so far; the file is written in order and cannot be repositioned.
    pos_type seekoff(off_type offset, std::ios_base::seekdir way, std::ios_base::openmode which) override;

private:
    bool flushBuffer();
    bool writeRaw(const char* data, std::size_t size);
    [[noreturn]] void fail() const;

    std::string folder_;
    int fd_ = -1;
    int error_ = 0;
    std::int64_t written_ = 0;
    std::vector<char> buffer_;
};

} // namespace commit
