#include "export/xls/ExporterXLSSST.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace exporter {

namespace {

// FNV-1a with one step per code unit, the same whether the units come as UTF-16 or as the bytes
// of an ASCII text; the halves are folded together so that the low bits, which pick the slot,
// depend on every bit of every unit.
constexpr std::uint64_t HashSeed = 14695981039346656037ull;
constexpr std::uint64_t HashPrime = 1099511628211ull;

std::uint64_t hashStep(std::uint64_t hash, std::uint32_t unit) {
    return (hash ^ unit) * HashPrime;
}

std::uint32_t hashFinish(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash ^ (hash >> 29) ^ (hash >> 43));
}

// The first and the largest block of characters.
constexpr std::size_t FirstBlockSize = 4096;
constexpr std::size_t LargestBlockSize = std::size_t(1) << 20;

bool isHighSurrogate(std::uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(std::uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint16_t wideUnit(const std::uint8_t* bytes, std::size_t index) {
    return static_cast<std::uint16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

// Collects the data of one record at a time and writes it with its header when it is full.
class TsstRecordWriter {
public:
    explicit TsstRecordWriter(TxlsStream& stream) : stream_(stream) {}

    std::size_t Room() const { return MAX_RECORD_DATA_SIZE - size_; }
    void U8(std::uint8_t v) { record_[4 + size_++] = v; }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Bytes(const std::uint8_t* bytes, std::size_t count) {
        std::memcpy(record_.data() + 4 + size_, bytes, count);
        size_ += count;
    }
    // Writes the record collected so far; the next one is a CONTINUE.
    void Flush() {
        record_[0] = static_cast<std::uint8_t>(id_);
        record_[1] = static_cast<std::uint8_t>(id_ >> 8);
        record_[2] = static_cast<std::uint8_t>(size_);
        record_[3] = static_cast<std::uint8_t>(size_ >> 8);
        WriteBuffer(stream_, record_.data(), 4 + size_);
        size_ = 0;
        id_ = BIFF_CONTINUE;
    }

private:
    TxlsStream& stream_;
    std::array<std::uint8_t, 4 + MAX_RECORD_DATA_SIZE> record_;
    std::size_t size_ = 0;
    std::uint16_t id_ = BIFF_SST;
};

} // namespace

bool IsCompressible(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t ch) { return ch <= 0xFF; });
}

TsstStrings::TsstStrings() = default;
TsstStrings::~TsstStrings() = default;

void TsstStrings::reserveSlot() {
    if (2 * (entries_.size() + 1) > slots_.size())
        grow();
}

template <class Same> std::size_t TsstStrings::find(std::uint32_t hash, Same same) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
        if (static_cast<std::uint32_t>(slots_[slot] >> 32) == hash &&
            same(entries_[static_cast<std::uint32_t>(slots_[slot]) - 1]))
            break;
    }
    return slot;
}

template <class Fill>
std::uint32_t TsstStrings::insert(std::size_t slot, std::uint32_t hash, std::size_t length, bool wide, Fill fill) {
    const std::size_t bytes = wide ? 2 * length : length;
    if (blocks_.empty() || blockSize_ - blockUsed_ < bytes) {
        blockSize_ = std::max(bytes, blocks_.empty() ? FirstBlockSize : std::min(2 * blockSize_, LargestBlockSize));
        blocks_.push_back(std::make_unique<std::uint8_t[]>(blockSize_));
        blockUsed_ = 0;
    }
    Entry entry{static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(blockUsed_),
                static_cast<std::uint16_t>(length), wide, 1};
    fill(blocks_.back().get() + blockUsed_);
    blockUsed_ += bytes;
    const auto index = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(entry);
    slots_[slot] = std::uint64_t(hash) << 32 | (index + 1);
    ++uniqueCount_;
    return index;
}

std::uint32_t TsstStrings::Add(std::u16string_view s) {
    ++totalCount_;
    const std::u16string_view key = s.substr(0, Utf16CutLength(s, MAX_CELL_TEXT_LENGTH));
    reserveSlot();
    std::uint64_t hash = HashSeed;
    char16_t all = 0;
    for (const char16_t unit : key) {
        hash = hashStep(hash, unit);
        all |= unit;
    }
    const bool wide = all > 0xFF;
    const std::uint32_t h = hashFinish(hash);
    const std::size_t slot = find(h, [&](const Entry& entry) {
        if (entry.Length != key.size() || entry.Wide != wide)
            return false;
        const std::uint8_t* bytes = bytesOf(entry);
        for (std::size_t i = 0; i < key.size(); ++i)
            if ((wide ? wideUnit(bytes, i) : bytes[i]) != key[i])
                return false;
        return true;
    });
    if (slots_[slot] != 0) {
        const auto index = static_cast<std::uint32_t>(slots_[slot]) - 1;
        ++entries_[index].Occurrences;
        return index;
    }
    return insert(slot, h, key.size(), wide, [&](std::uint8_t* out) {
        for (const char16_t unit : key) {
            *out++ = static_cast<std::uint8_t>(unit);
            if (wide)
                *out++ = static_cast<std::uint8_t>(unit >> 8);
        }
    });
}

std::uint32_t TsstStrings::AddUtf8(std::string_view utf8) {
    if (utf8.size() > MAX_CELL_TEXT_LENGTH)
        return Add(Utf8ToWide(utf8));
    std::uint64_t hash = HashSeed;
    unsigned char all = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        hash = hashStep(hash, byte);
        all |= byte;
    }
    if (all >= 0x80) {
        Utf8ToWide(utf8, wide_);
        return Add(wide_);
    }
    // ASCII: its bytes are its compressed form.
    ++totalCount_;
    reserveSlot();
    const std::uint32_t h = hashFinish(hash);
    const std::size_t slot = find(h, [&](const Entry& entry) {
        return !entry.Wide && entry.Length == utf8.size() &&
               (utf8.empty() || std::memcmp(bytesOf(entry), utf8.data(), utf8.size()) == 0);
    });
    if (slots_[slot] != 0) {
        const auto index = static_cast<std::uint32_t>(slots_[slot]) - 1;
        ++entries_[index].Occurrences;
        return index;
    }
    return insert(slot, h, utf8.size(), false, [&](std::uint8_t* out) {
        if (!utf8.empty())
            std::memcpy(out, utf8.data(), utf8.size());
    });
}

void TsstStrings::grow() {
    std::vector<std::uint64_t> slots(std::max<std::size_t>(1024, 2 * slots_.size()), 0);
    const std::size_t mask = slots.size() - 1;
    for (const std::uint64_t entry : slots_) {
        if (entry == 0)
            continue;
        std::size_t slot = static_cast<std::uint32_t>(entry >> 32) & mask;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = entry;
    }
    slots_ = std::move(slots);
}

TsstEntry TsstStrings::Items(std::size_t index) const {
    const Entry& entry = entries_.at(index);
    std::u16string text(entry.Length, u'\0');
    const std::uint8_t* bytes = bytesOf(entry);
    for (std::size_t i = 0; i < entry.Length; ++i)
        text[i] = entry.Wide ? static_cast<char16_t>(wideUnit(bytes, i)) : static_cast<char16_t>(bytes[i]);
    return TsstEntry{static_cast<std::uint32_t>(index), std::move(text), entry.Occurrences};
}

void TsstStrings::SaveToStream(TxlsStream& stream) const {
    TsstRecordWriter out(stream);
    out.U32(totalCount_);
    out.U32(uniqueCount_);
    for (const Entry& entry : entries_) {
        const std::uint8_t* bytes = bytesOf(entry);
        const std::size_t length = entry.Length;
        const std::size_t charSize = entry.Wide ? 2 : 1;
        const std::uint8_t option = entry.Wide ? 1 : 0;
        // The 3 header bytes stay together with the first character (both halves of a pair).
        std::size_t first = length == 0 ? 0 : charSize;
        if (entry.Wide && length > 0 && isHighSurrogate(wideUnit(bytes, 0)))
            first *= 2;
        if (out.Room() < 3 + first)
            out.Flush();
        out.U16(static_cast<std::uint16_t>(length));
        out.U8(option);
        std::size_t done = 0;
        while (done < length) {
            // As many characters as the record holds, one less where that would split a pair.
            std::size_t part = std::min(length - done, out.Room() / charSize);
            if (entry.Wide && part > 0 && done + part < length &&
                isHighSurrogate(wideUnit(bytes, done + part - 1)) && isLowSurrogate(wideUnit(bytes, done + part)))
                --part;
            if (part == 0) {
                out.Flush();
                out.U8(option);
                continue;
            }
            out.Bytes(bytes + done * charSize, part * charSize);
            done += part;
        }
    }
    out.Flush();
}

} // namespace exporter
