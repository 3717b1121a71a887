#pragma once

#include "platform/cfb/Stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace commit {
class FileCommit;
}

namespace cfb {

// A compound file being written: a root storage holding streams. The streams are kept in memory;
// Commit writes the whole file through the commit path (an unpredictable temporary file beside the
// target, found through symbolic links), so an existing file is replaced only by a complete one.
class Storage {
public:
    // Prepares a new compound file (the structured-storage StgCreateDocfile). The mode must ask for
    // write access and exclusive sharing; without STGM_CREATE an existing file is an error, and an
    // existing file the user may not write is refused. The target's folder must exist and be
    // writable: the temporary file is created here. Raises StorageError.
    static std::unique_ptr<Storage> CreateDocfile(const std::string& fileName, std::uint32_t mode);

    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;
    // Without a Commit the temporary file is removed and the target stays as it was.
    ~Storage();

    // Adds a stream to the root storage (IStorage.CreateStream). The name has 1 to 31 UTF-16 code
    // units and none of '/', '\', ':', '!'; the mode must ask for write access and exclusive
    // sharing. An existing stream of that name (compared without regard to case) is replaced with
    // STGM_CREATE and is an error otherwise. Raises StorageError.
    Stream CreateStream(const std::u16string& name, std::uint32_t mode);

    // Writes the compound file and renames it over the target. Afterwards the storage and its
    // streams take no more writes. Raises StorageError; the target is then left untouched.
    void Commit();

    const std::string& FileName() const { return fileName_; }

private:
    Storage(std::string fileName, std::unique_ptr<commit::FileCommit> file);
    void Discard();

    std::string fileName_;
    std::unique_ptr<commit::FileCommit> file_; // null once committed or discarded
    std::vector<std::shared_ptr<StreamData>> streams_;
};

} // namespace cfb
