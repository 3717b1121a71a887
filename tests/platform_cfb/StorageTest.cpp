#include "platform/cfb/Storage.h"
#include "platform/cfb/StorageError.h"
#include "platform/cfb/StorageModes.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testutil::TempDir;

constexpr std::uint32_t CreateMode = cfb::STGM_CREATE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE;

std::string fileContent(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

cfb::HRESULT errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const cfb::StorageError& e) {
        return e.Code();
    }
    return 0;
}

bool onlyFile(const TempDir& dir, const std::string& name) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++count;
        if (entry.path().filename() != name)
            return false;
    }
    return count == 1;
}

TEST(Storage, ExistingFileIsReplacedOnlyByACommit) {
    TempDir dir;
    const auto file = dir / "book.xls";
    writeText(file, "old content");
    {
        auto storage = cfb::Storage::CreateDocfile(file.string(), CreateMode);
        cfb::Stream stream = storage->CreateStream(u"Workbook", CreateMode);
        stream.Write("abc", 3);
        EXPECT_EQ(fileContent(file), "old content");
    } // released without a commit
    EXPECT_EQ(fileContent(file), "old content");
    EXPECT_TRUE(onlyFile(dir, "book.xls")) << "temporary file left behind";

    auto storage = cfb::Storage::CreateDocfile(file.string(), CreateMode);
    cfb::Stream stream = storage->CreateStream(u"Workbook", CreateMode);
    stream.Write("abc", 3);
    storage->Commit();
    EXPECT_EQ(fileContent(file).substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_TRUE(onlyFile(dir, "book.xls"));
    // A committed storage takes no more writes.
    EXPECT_EQ(stream.Write("x", 1), 0u);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(u"More", CreateMode); }), cfb::STG_E_REVERTED);
}

TEST(Storage, CreationFailuresRaiseTheirResultCodes) {
    TempDir dir;
    EXPECT_EQ(errorOf([&] { cfb::Storage::CreateDocfile((dir / "missing/book.xls").string(), CreateMode); }),
              cfb::STG_E_PATHNOTFOUND);
    EXPECT_EQ(errorOf([&] { cfb::Storage::CreateDocfile(dir.path().string(), CreateMode); }),
              cfb::STG_E_ACCESSDENIED);
    EXPECT_EQ(errorOf([&] { cfb::Storage::CreateDocfile((dir / "a.xls").string(), cfb::STGM_READ); }),
              cfb::STG_E_INVALIDFLAG);
    writeText(dir / "exists.xls", "x");
    EXPECT_EQ(errorOf([&] {
                  cfb::Storage::CreateDocfile((dir / "exists.xls").string(),
                                              cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE);
              }),
              cfb::STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(fileContent(dir / "exists.xls"), "x");
}

TEST(Storage, StreamNamesAndModesAreChecked) {
    TempDir dir;
    auto storage = cfb::Storage::CreateDocfile((dir / "a.cfb").string(), CreateMode);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(u"", CreateMode); }), cfb::STG_E_INVALIDNAME);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(std::u16string(32, u'a'), CreateMode); }),
              cfb::STG_E_INVALIDNAME);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(u"a/b", CreateMode); }), cfb::STG_E_INVALIDNAME);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(u"Ok", cfb::STGM_READWRITE); }), cfb::STG_E_INVALIDFLAG);
    EXPECT_EQ(errorOf([&] { storage->CreateStream(std::u16string(31, u'a'), CreateMode); }), 0);

    cfb::Stream first = storage->CreateStream(u"Workbook", CreateMode);
    first.Write("first", 5);
    EXPECT_EQ(
        errorOf([&] { storage->CreateStream(u"WORKBOOK", cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE); }),
        cfb::STG_E_FILEALREADYEXISTS);
    // With STGM_CREATE the old stream is replaced; its handle takes no more writes.
    cfb::Stream second = storage->CreateStream(u"Workbook", CreateMode);
    EXPECT_EQ(second.Size(), 0u);
    EXPECT_EQ(first.Write("more", 4), 0u);
}

TEST(Stream, SeekWriteAndReadLikeAFileStream) {
    TempDir dir;
    auto storage = cfb::Storage::CreateDocfile((dir / "a.cfb").string(), CreateMode);
    cfb::Stream stream = storage->CreateStream(u"S", CreateMode);
    EXPECT_EQ(stream.Write("hello", 5), 5u);
    EXPECT_EQ(stream.Seek(1, cfb::SeekOrigin::Begin), 1u);
    EXPECT_EQ(stream.Write("EL", 2), 2u);
    EXPECT_EQ(stream.Seek(2, cfb::SeekOrigin::End), 7u);
    EXPECT_EQ(stream.Write("!", 1), 1u); // the gap is filled with zero bytes
    EXPECT_EQ(stream.Size(), 8u);
    stream.Seek(0, cfb::SeekOrigin::Begin);
    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 8u);
    EXPECT_EQ(std::string(buffer, 8), std::string("hELlo\0\0!", 8));
    EXPECT_EQ(errorOf([&] { stream.Seek(-9, cfb::SeekOrigin::Current); }), cfb::STG_E_INVALIDFUNCTION);
    stream.SetSize(3);
    EXPECT_EQ(stream.Size(), 3u);
}

} // namespace
