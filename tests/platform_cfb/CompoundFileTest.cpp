#include "platform/cfb/CompoundFileWriter.h"
#include "platform/cfb/Storage.h"
#include "platform/cfb/StorageError.h"
#include "platform/cfb/StorageModes.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>

namespace {

using testutil::TempDir;

constexpr std::uint32_t CreateMode = cfb::STGM_CREATE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_READWRITE;

// Reads every stream of a compound file with olefile (strict about defects) and dumps each into
// a file of the folder; prints one line "name<TAB>file<TAB>size" per stream.
const char* const DumpScript = R"(
import olefile, os, sys
path = sys.argv[1]
ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
out = path + '.dump'
os.makedirs(out, exist_ok=True)
for i, entry in enumerate(ole.listdir(streams=True, storages=False)):
    name = '/'.join(entry)
    data = ole.openstream(entry).read()
    with open(os.path.join(out, str(i)), 'wb') as f:
        f.write(data)
    print('%s\t%d\t%d' % (name, i, len(data)))
print('sectors\t%d\t%d' % (ole.nb_sect, ole.num_fat_sectors))
ole.close()
)";

std::vector<std::uint8_t> pattern(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 31 + seed + i / 251) % 256);
    return bytes;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string narrow(const std::u16string& s) {
    return std::string(s.begin(), s.end());
}

// Reads the file back; returns name -> content.
std::map<std::string, std::vector<std::uint8_t>> readBack(const std::filesystem::path& file) {
    const auto result = testutil::RunPython(DumpScript, file.string());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::map<std::string, std::vector<std::uint8_t>> streams;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, index, size;
        std::getline(fields, name, '\t');
        std::getline(fields, index, '\t');
        std::getline(fields, size, '\t');
        if (name == "sectors")
            continue;
        streams[name] = readFile(file.string() + ".dump/" + index);
    }
    return streams;
}

class CompoundFile : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testutil::PythonHasModule("olefile"))
            GTEST_SKIP() << "python3-olefile is not installed";
    }
    // Writes the streams into a new compound file and reads them back. Every other stream is handed
    // over at the commit by a source, in pieces of 777 bytes.
    void roundTrip(const std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>>& streams) {
        const auto file = dir_ / "test.cfb";
        auto storage = cfb::Storage::CreateDocfile(file.string(), CreateMode);
        for (std::size_t i = 0; i < streams.size(); ++i) {
            const std::u16string& name = streams[i].first;
            const std::vector<std::uint8_t>& bytes = streams[i].second;
            if (i % 2 == 1) {
                storage->CreateStream(name, CreateMode, bytes.size(), [&bytes](const cfb::ByteSink& sink) {
                    for (std::size_t at = 0; at < bytes.size(); at += 777)
                        sink(bytes.data() + at, std::min<std::size_t>(777, bytes.size() - at));
                });
                continue;
            }
            cfb::Stream stream = storage->CreateStream(name, CreateMode);
            ASSERT_EQ(stream.Write(bytes.data(), bytes.size()), bytes.size());
        }
        storage->Commit();
        EXPECT_EQ(std::filesystem::file_size(file) % 512, 0u);
        const auto read = readBack(file);
        ASSERT_EQ(read.size(), streams.size());
        for (const auto& [name, bytes] : streams) {
            auto it = read.find(narrow(name));
            ASSERT_NE(it, read.end()) << narrow(name);
            EXPECT_TRUE(it->second == bytes)
                << narrow(name) << ": " << it->second.size() << " bytes read, " << bytes.size() << " written";
        }
    }
    TempDir dir_;
};

TEST_F(CompoundFile, EmptyStorageIsAValidFile) {
    roundTrip({});
}

TEST_F(CompoundFile, StreamsAroundTheMiniStreamCutoffReadBackExactly) {
    roundTrip({{u"Workbook", pattern(100, 1)},
               {u"Empty", {}},
               {u"One", pattern(1, 2)},
               {u"MiniFull", pattern(64, 3)},
               {u"MiniEdge", pattern(4095, 4)},
               {u"Cutoff", pattern(4096, 5)},
               {u"Regular", pattern(4097, 6)},
               {u"Big", pattern(100000, 7)}});
}

TEST_F(CompoundFile, ManySmallStreamsNeedSeveralMiniFatAndDirectorySectors) {
    std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>> streams;
    for (int i = 0; i < 40; ++i) {
        std::u16string name = u"Stream";
        for (char c : std::to_string(i * 7919 % 1000))
            name.push_back(static_cast<char16_t>(c));
        streams.push_back({name, pattern(static_cast<std::size_t>(i * 97 + 1), static_cast<unsigned>(i))});
    }
    roundTrip(streams);
}

TEST_F(CompoundFile, StreamLargerThanSevenMegabytesUsesDifatSectors) {
    const std::size_t size = 9 * 1024 * 1024 + 123;
    roundTrip({{u"Workbook", pattern(size, 9)}, {u"Tail", pattern(700, 10)}});
    // The header names DIFAT sectors once more than 109 FAT sectors are needed.
    const auto bytes = readFile(dir_ / "test.cfb");
    const std::uint32_t fatSectors = bytes[44] | bytes[45] << 8 | bytes[46] << 16 | bytes[47] << 24;
    const std::uint32_t difatSectors = bytes[72] | bytes[73] << 8 | bytes[74] << 16 | bytes[75] << 24;
    EXPECT_GT(fatSectors, 109u);
    EXPECT_EQ(difatSectors, 1u);
}

TEST_F(CompoundFile, StreamNeedingSeveralDifatSectors) {
    // 127 FAT entries per DIFAT sector: 109 + 127 FAT sectors cover about 15.5 MB.
    roundTrip({{u"Workbook", pattern(17 * 1024 * 1024, 11)}});
    const auto bytes = readFile(dir_ / "test.cfb");
    EXPECT_EQ(bytes[72], 2);
}

TEST(CompoundFileLayout, ASourceOfAnotherSizeFailsTheCommitAndKeepsTheTarget) {
    TempDir dir;
    const auto file = dir / "kept.cfb";
    std::ofstream(file) << "old";
    const std::vector<std::uint8_t> bytes = pattern(5000, 3);
    for (std::size_t announced : {4999u, 5001u, 100u}) {
        auto storage = cfb::Storage::CreateDocfile(file.string(), CreateMode);
        storage->CreateStream(u"Workbook", CreateMode, announced,
                              [&](const cfb::ByteSink& sink) { sink(bytes.data(), bytes.size()); });
        try {
            storage->Commit();
            ADD_FAILURE() << "committed with " << announced << " bytes announced";
        } catch (const cfb::StorageError& error) {
            EXPECT_EQ(error.Code(), cfb::STG_E_WRITEFAULT) << announced;
        }
        EXPECT_EQ(readFile(file), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(CompoundFileLayout, HeaderOfASingleSmallStream) {
    std::vector<std::uint8_t> out;
    const std::vector<std::uint8_t> data(10, 0xAB);
    cfb::WriteCompoundFile({cfb::MemoryStreamEntry(u"Workbook", data)},
                           [&](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); });
    // header, directory, mini FAT, mini stream, FAT
    ASSERT_EQ(out.size(), 5u * 512);
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    EXPECT_EQ(std::memcmp(out.data(), signature, 8), 0);
    auto u32 = [&](std::size_t at) {
        return out[at] | out[at + 1] << 8 | out[at + 2] << 16 | out[at + 3] << 24;
    };
    EXPECT_EQ(u32(44), 1u);          // one FAT sector
    EXPECT_EQ(u32(48), 0u);          // directory in sector 0
    EXPECT_EQ(u32(60), 1u);          // mini FAT in sector 1
    EXPECT_EQ(u32(68), 0xFFFFFFFEu); // no DIFAT
    EXPECT_EQ(u32(76), 3u);          // FAT in sector 3
    // FAT: directory end, mini FAT end, mini stream end, FATSECT, then free
    const std::size_t fat = 512 + 3 * 512;
    EXPECT_EQ(u32(fat), 0xFFFFFFFEu);
    EXPECT_EQ(u32(fat + 4), 0xFFFFFFFEu);
    EXPECT_EQ(u32(fat + 8), 0xFFFFFFFEu);
    EXPECT_EQ(u32(fat + 12), 0xFFFFFFFDu);
    EXPECT_EQ(u32(fat + 16), 0xFFFFFFFFu);
    // The stream's entry: start mini sector 0, size 10; the root holds a 64-byte mini stream.
    EXPECT_EQ(u32(512 + 116), 2u);
    EXPECT_EQ(u32(512 + 120), 64u);
    EXPECT_EQ(u32(512 + 128 + 116), 0u);
    EXPECT_EQ(u32(512 + 128 + 120), 10u);
    EXPECT_EQ(out[2 * 512 + 512], 0xAB); // mini stream data in sector 2
}

} // namespace
