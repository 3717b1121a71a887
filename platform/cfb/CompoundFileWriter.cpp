#include "platform/cfb/CompoundFileWriter.h"

#include "platform/cfb/DirectoryTree.h"
#include "platform/cfb/StorageError.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace cfb {

namespace {

constexpr std::uint32_t SectorSize = 512;
constexpr std::uint32_t MiniSectorSize = 64;
constexpr std::uint32_t MiniStreamCutoff = 4096;
constexpr std::uint32_t EntriesPerSector = SectorSize / 4; // FAT, mini FAT
constexpr std::uint32_t DifatEntriesPerSector = EntriesPerSector - 1;
constexpr std::uint32_t HeaderDifatEntries = 109;
constexpr std::uint32_t DirectoryEntrySize = 128;

constexpr std::uint32_t DIFSECT = 0xFFFFFFFC;
constexpr std::uint32_t FATSECT = 0xFFFFFFFD;
constexpr std::uint32_t ENDOFCHAIN = 0xFFFFFFFE;
constexpr std::uint32_t FREESECT = 0xFFFFFFFF;

constexpr std::uint8_t TypeStream = 2;
constexpr std::uint8_t TypeRoot = 5;
constexpr std::uint8_t ColorRed = 0;
constexpr std::uint8_t ColorBlack = 1;

std::uint32_t ceilDiv(std::uint64_t value, std::uint32_t unit) {
    return static_cast<std::uint32_t>((value + unit - 1) / unit);
}

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Marks a chain of consecutive sectors starting at first.
void chain(std::vector<std::uint32_t>& table, std::uint32_t first, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
        table[first + i] = i + 1 < count ? first + i + 1 : ENDOFCHAIN;
}

// Writes a table of u32 values as whole sectors.
void writeTable(const std::vector<std::uint32_t>& table, const ByteSink& sink) {
    std::vector<std::uint8_t> bytes(table.size() * 4);
    for (std::size_t i = 0; i < table.size(); ++i)
        put32(bytes.data() + 4 * i, table[i]);
    sink(bytes.data(), bytes.size());
}

// Writes a stream's bytes from its source, checking their count, then zeros up to a whole unit.
void writePadded(const StreamEntry& stream, std::uint32_t unit, const ByteSink& sink) {
    std::uint64_t handed = 0;
    stream.source([&](const std::uint8_t* data, std::size_t size) {
        handed += size;
        if (handed > stream.size)
            return;
        if (size > 0)
            sink(data, size);
    });
    if (handed != stream.size)
        throw StorageError(STG_E_WRITEFAULT, "The stream's content is not of the size announced for it");
    const std::uint64_t rest = stream.size % unit;
    if (rest != 0) {
        static const std::array<std::uint8_t, SectorSize> zeros{};
        sink(zeros.data(), unit - rest);
    }
}

struct DirectoryEntry {
    std::u16string name;
    std::uint8_t type = 0;
    std::uint8_t color = ColorRed;
    std::uint32_t left = NOSTREAM, right = NOSTREAM, child = NOSTREAM;
    std::uint32_t start = 0;
    std::uint32_t size = 0;

    void serialize(std::uint8_t* p) const {
        std::memset(p, 0, DirectoryEntrySize);
        for (std::size_t i = 0; i < name.size(); ++i)
            put16(p + 2 * i, name[i]);
        if (type != 0)
            put16(p + 64, static_cast<std::uint16_t>(2 * (name.size() + 1)));
        p[66] = type;
        p[67] = color;
        put32(p + 68, left);
        put32(p + 72, right);
        put32(p + 76, child);
        put32(p + 116, start);
        put32(p + 120, size);
    }
};

// Where every part of the file goes, in sectors.
struct Layout {
    std::uint32_t directorySectors = 0;
    std::uint32_t miniFatSectors = 0;
    std::uint32_t miniStreamSectors = 0;
    std::uint64_t miniStreamBytes = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    std::uint32_t firstMiniFat = 0, firstMiniStream = 0, firstFat = 0, firstDifat = 0;
    std::vector<std::uint32_t> start;  // per stream: first sector or mini sector
    std::vector<std::uint32_t> length; // per stream: sectors or mini sectors
    std::vector<bool> inMiniStream;
    std::uint32_t totalSectors = 0;
};

Layout plan(const std::vector<StreamEntry>& streams) {
    Layout l;
    const std::size_t n = streams.size();
    l.start.assign(n, ENDOFCHAIN);
    l.length.assign(n, 0);
    l.inMiniStream.assign(n, false);
    l.directorySectors = ceilDiv((n + 1) * DirectoryEntrySize, SectorSize);

    std::uint32_t miniSectors = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t size = streams[i].size;
        if (size > 0 && size < MiniStreamCutoff) {
            l.inMiniStream[i] = true;
            l.start[i] = miniSectors;
            l.length[i] = ceilDiv(size, MiniSectorSize);
            miniSectors += l.length[i];
        }
    }
    l.miniFatSectors = ceilDiv(std::uint64_t(miniSectors) * 4, SectorSize);
    l.miniStreamBytes = std::uint64_t(miniSectors) * MiniSectorSize;
    l.miniStreamSectors = ceilDiv(l.miniStreamBytes, SectorSize);

    std::uint32_t next = l.directorySectors;
    l.firstMiniFat = next;
    next += l.miniFatSectors;
    l.firstMiniStream = next;
    next += l.miniStreamSectors;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t size = streams[i].size;
        if (size >= MiniStreamCutoff) {
            l.start[i] = next;
            l.length[i] = ceilDiv(size, SectorSize);
            next += l.length[i];
        }
    }
    // The FAT must also cover its own sectors and the DIFAT sectors.
    const std::uint32_t dataSectors = next;
    std::uint32_t fat = ceilDiv(dataSectors, EntriesPerSector);
    for (;;) {
        const std::uint32_t difat =
            fat > HeaderDifatEntries ? ceilDiv(fat - HeaderDifatEntries, DifatEntriesPerSector) : 0;
        const std::uint32_t needed = ceilDiv(std::uint64_t(dataSectors) + fat + difat, EntriesPerSector);
        if (needed <= fat) {
            l.difatSectors = difat;
            break;
        }
        fat = needed;
    }
    l.fatSectors = fat;
    l.firstFat = dataSectors;
    l.firstDifat = dataSectors + fat;
    l.totalSectors = dataSectors + fat + l.difatSectors;
    return l;
}

std::vector<std::uint8_t> header(const Layout& l) {
    std::vector<std::uint8_t> h(SectorSize, 0);
    static const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(h.data(), signature, 8);
    put16(&h[24], 0x003E); // minor version
    put16(&h[26], 0x0003); // major version 3
    put16(&h[28], 0xFFFE); // little-endian
    put16(&h[30], 9);      // 512-byte sectors
    put16(&h[32], 6);      // 64-byte mini sectors
    put32(&h[44], l.fatSectors);
    put32(&h[48], 0); // first directory sector
    put32(&h[56], MiniStreamCutoff);
    put32(&h[60], l.miniFatSectors ? l.firstMiniFat : ENDOFCHAIN);
    put32(&h[64], l.miniFatSectors);
    put32(&h[68], l.difatSectors ? l.firstDifat : ENDOFCHAIN);
    put32(&h[72], l.difatSectors);
    for (std::uint32_t i = 0; i < HeaderDifatEntries; ++i)
        put32(&h[76 + 4 * i], i < l.fatSectors ? l.firstFat + i : FREESECT);
    return h;
}

} // namespace

StreamEntry MemoryStreamEntry(std::u16string name, const std::vector<std::uint8_t>& bytes) {
    return {std::move(name), bytes.size(),
            [&bytes](const ByteSink& sink) { sink(bytes.data(), bytes.size()); }};
}

void WriteCompoundFile(const std::vector<StreamEntry>& streams, const ByteSink& sink) {
    const Layout l = plan(streams);
    sink(header(l).data(), SectorSize);

    // Directory: the root entry, then one entry per stream, then free entries up to a whole sector.
    std::vector<std::u16string> names;
    for (const auto& s : streams)
        names.push_back(s.name);
    const DirectoryTree tree = BuildDirectoryTree(names);
    std::vector<std::uint8_t> directory(std::size_t(l.directorySectors) * SectorSize);
    DirectoryEntry root;
    root.name = u"Root Entry";
    root.type = TypeRoot;
    root.color = ColorBlack;
    root.child = tree.root == NOSTREAM ? NOSTREAM : tree.root + 1;
    root.start = l.miniStreamSectors ? l.firstMiniStream : ENDOFCHAIN;
    root.size = static_cast<std::uint32_t>(l.miniStreamBytes);
    root.serialize(directory.data());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        DirectoryEntry e;
        e.name = streams[i].name;
        e.type = TypeStream;
        e.color = tree.nodes[i].red ? ColorRed : ColorBlack;
        e.left = tree.nodes[i].left == NOSTREAM ? NOSTREAM : tree.nodes[i].left + 1;
        e.right = tree.nodes[i].right == NOSTREAM ? NOSTREAM : tree.nodes[i].right + 1;
        e.start = l.start[i];
        e.size = static_cast<std::uint32_t>(streams[i].size);
        e.serialize(directory.data() + (i + 1) * DirectoryEntrySize);
    }
    for (std::size_t i = streams.size() + 1; i < directory.size() / DirectoryEntrySize; ++i)
        DirectoryEntry{}.serialize(directory.data() + i * DirectoryEntrySize);
    sink(directory.data(), directory.size());

    // Mini FAT and mini stream.
    if (l.miniFatSectors) {
        std::vector<std::uint32_t> miniFat(std::size_t(l.miniFatSectors) * EntriesPerSector, FREESECT);
        for (std::size_t i = 0; i < streams.size(); ++i)
            if (l.inMiniStream[i])
                chain(miniFat, l.start[i], l.length[i]);
        writeTable(miniFat, sink);
        std::uint64_t written = 0;
        for (std::size_t i = 0; i < streams.size(); ++i)
            if (l.inMiniStream[i]) {
                writePadded(streams[i], MiniSectorSize, sink);
                written += std::uint64_t(l.length[i]) * MiniSectorSize;
            }
        if (written % SectorSize != 0) {
            static const std::array<std::uint8_t, SectorSize> zeros{};
            sink(zeros.data(), SectorSize - written % SectorSize);
        }
    }

    // Streams in regular sectors.
    for (std::size_t i = 0; i < streams.size(); ++i)
        if (!l.inMiniStream[i] && streams[i].size > 0)
            writePadded(streams[i], SectorSize, sink);

    // FAT, then DIFAT.
    std::vector<std::uint32_t> fat(std::size_t(l.fatSectors) * EntriesPerSector, FREESECT);
    chain(fat, 0, l.directorySectors);
    if (l.miniFatSectors)
        chain(fat, l.firstMiniFat, l.miniFatSectors);
    if (l.miniStreamSectors)
        chain(fat, l.firstMiniStream, l.miniStreamSectors);
    for (std::size_t i = 0; i < streams.size(); ++i)
        if (!l.inMiniStream[i] && l.length[i])
            chain(fat, l.start[i], l.length[i]);
    for (std::uint32_t i = 0; i < l.fatSectors; ++i)
        fat[l.firstFat + i] = FATSECT;
    for (std::uint32_t i = 0; i < l.difatSectors; ++i)
        fat[l.firstDifat + i] = DIFSECT;
    writeTable(fat, sink);

    if (l.difatSectors) {
        std::vector<std::uint32_t> difat(std::size_t(l.difatSectors) * EntriesPerSector, FREESECT);
        for (std::uint32_t k = HeaderDifatEntries; k < l.fatSectors; ++k) {
            const std::uint32_t j = k - HeaderDifatEntries;
            difat[(j / DifatEntriesPerSector) * EntriesPerSector + j % DifatEntriesPerSector] =
                l.firstFat + k;
        }
        for (std::uint32_t s = 0; s < l.difatSectors; ++s)
            difat[s * EntriesPerSector + DifatEntriesPerSector] =
                s + 1 < l.difatSectors ? l.firstDifat + s + 1 : ENDOFCHAIN;
        writeTable(difat, sink);
    }
}

} // namespace cfb
