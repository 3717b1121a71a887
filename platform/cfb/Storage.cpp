#include "platform/cfb/Storage.h"

#include "platform/cfb/CompoundFileWriter.h"
#include "platform/cfb/DirectoryTree.h"
#include "platform/cfb/StorageError.h"
#include "platform/cfb/StorageModes.h"
#include "platform/commit/FileCommit.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cfb {

namespace {

HRESULT resultOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return STG_E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return STG_E_MEDIUMFULL;
    case ENOMEM:
        return STG_E_INSUFFICIENTMEMORY;
    default:
        return STG_E_WRITEFAULT;
    }
}

bool writesWithExclusiveAccess(std::uint32_t mode) {
    const std::uint32_t access = mode & STGM_ACCESS_MASK;
    return (access == STGM_WRITE || access == STGM_READWRITE) &&
           (mode & STGM_SHARE_MASK) == STGM_SHARE_EXCLUSIVE && (mode & STGM_TRANSACTED) == 0;
}

// The result code of a file that could not be committed.
HRESULT resultOfCommitError(const commit::CommitError& error) {
    return resultOfErrno(error.code());
}

[[noreturn]] void failCommit(const commit::CommitError& error, const std::string& fileName) {
    const char* what = error.stage() == commit::CommitError::Stage::Create ? "Cannot create the compound file"
                                                                           : "Cannot write the compound file";
    throw StorageError(resultOfCommitError(error),
                       std::string(what) + " \"" + fileName + "\": " + error.reason(), error.reason());
}

} // namespace

std::unique_ptr<Storage> Storage::CreateDocfile(const std::string& fileName, std::uint32_t mode) {
    if (!writesWithExclusiveAccess(mode))
        throw StorageError(STG_E_INVALIDFLAG, "Invalid mode for a new compound file \"" + fileName + "\"");
    if (fileName.empty())
        throw StorageError(STG_E_INVALIDNAME, "No file name for the compound file");
    struct stat st {};
    if ((mode & STGM_CREATE) == 0 && ::stat(fileName.c_str(), &st) == 0)
        throw StorageError(STG_E_FILEALREADYEXISTS, "The file \"" + fileName + "\" already exists");
    try {
        return std::unique_ptr<Storage>(
            new Storage(fileName, std::make_unique<commit::FileCommit>(fileName)));
    } catch (const commit::CommitError& error) {
        failCommit(error, fileName);
    }
}

Storage::Storage(std::string fileName, std::unique_ptr<commit::FileCommit> file)
    : fileName_(std::move(fileName)), file_(std::move(file)) {}

Storage::~Storage() {
    Discard();
}

void Storage::Discard() {
    for (auto& stream : streams_)
        stream->reverted = true;
    file_.reset(); // the temporary file goes with it
}

Stream Storage::CreateStream(const std::u16string& name, std::uint32_t mode) {
    return Stream(addStream(name, mode));
}

void Storage::CreateStream(const std::u16string& name, std::uint32_t mode, std::uint64_t size,
                           StreamSource source) {
    if (size > Stream::MaxSize)
        throw StorageError(STG_E_MEDIUMFULL, "A compound-file stream cannot grow past 2 GiB");
    auto data = addStream(name, mode);
    data->source = std::move(source);
    data->sourceSize = size;
}

std::shared_ptr<StreamData> Storage::addStream(const std::u16string& name, std::uint32_t mode) {
    if (!file_)
        throw StorageError(STG_E_REVERTED, "The compound file \"" + fileName_ + "\" is closed");
    if (!writesWithExclusiveAccess(mode))
        throw StorageError(STG_E_INVALIDFLAG, "Invalid mode for a new stream");
    if (name.empty() || name.size() > 31 || name.find_first_of(u"/\\:!") != std::u16string::npos)
        throw StorageError(STG_E_INVALIDNAME, "Invalid stream name");
    for (auto it = streams_.begin(); it != streams_.end(); ++it) {
        if (CompareEntryNames((*it)->name, name) != 0)
            continue;
        if ((mode & STGM_CREATE) == 0)
            throw StorageError(STG_E_FILEALREADYEXISTS, "The stream already exists");
        (*it)->reverted = true;
        streams_.erase(it);
        break;
    }
    auto data = std::make_shared<StreamData>();
    data->name = name;
    streams_.push_back(data);
    return data;
}

void Storage::Commit() {
    if (!file_)
        throw StorageError(STG_E_REVERTED, "The compound file \"" + fileName_ + "\" is closed");
    std::vector<StreamEntry> entries;
    for (const auto& stream : streams_)
        entries.push_back(stream->source ? StreamEntry{stream->name, stream->sourceSize, stream->source}
                                         : MemoryStreamEntry(stream->name, stream->bytes));
    try {
        std::ostream& out = file_->stream();
        WriteCompoundFile(entries, [&out](const std::uint8_t* data, std::size_t size) {
            out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        });
        file_->commit();
    } catch (const commit::CommitError& error) {
        Discard();
        failCommit(error, fileName_);
    } catch (...) {
        Discard();
        throw;
    }
    Discard();
}

} // namespace cfb
