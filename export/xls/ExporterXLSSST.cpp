#include "export/xls/ExporterXLSSST.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace exporter {

namespace {

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
    // At most three slots in four taken: the probes stay short, and the table small enough to
    // stay in the processor's caches longer.
    if (4 * (entries_.size() + 1) > 3 * slots_.size())
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

// A narrow string is hashed by its bytes (the same whether they come from UTF-16 or are an ASCII
// text), a wide one by its code units: a narrow and a wide string are never equal, so their hashes
// need not agree.
std::uint32_t TsstStrings::Add(std::u16string_view s) {
    const std::u16string_view key = s.substr(0, Utf16CutLength(s, MAX_CELL_TEXT_LENGTH));
    char16_t all = 0;
    for (const char16_t unit : key)
        all |= unit;
    if (all <= 0xFF) {
        narrow_.resize(key.size());
        std::transform(key.begin(), key.end(), narrow_.begin(), [](char16_t unit) { return static_cast<char>(unit); });
        return addNarrow(narrow_, HashBytes(narrow_));
    }
    ++totalCount_;
    reserveSlot();
    const std::uint32_t h = HashUnits(key);
    const std::size_t slot = find(h, [&](const Entry& entry) {
        if (!entry.Wide || entry.Length != key.size())
            return false;
        const std::uint8_t* bytes = bytesOf(entry);
        for (std::size_t i = 0; i < key.size(); ++i)
            if (wideUnit(bytes, i) != key[i])
                return false;
        return true;
    });
    if (slots_[slot] != 0)
        return found(slot);
    return insert(slot, h, key.size(), true, [&](std::uint8_t* out) {
        for (const char16_t unit : key) {
            *out++ = static_cast<std::uint8_t>(unit);
            *out++ = static_cast<std::uint8_t>(unit >> 8);
        }
    });
}

std::uint32_t TsstStrings::AddUtf8(std::string_view utf8) {
    if (utf8.size() > MAX_CELL_TEXT_LENGTH)
        return Add(Utf8ToWide(utf8));
    std::uint64_t bits = 0;
    const std::uint32_t hash = HashBytes(utf8, &bits);
    if ((bits & 0x8080808080808080ull) != 0) {
        Utf8ToWide(utf8, wide_);
        return Add(wide_);
    }
    // ASCII: its bytes are its compressed form.
    return addNarrow(utf8, hash);
}

std::uint32_t TsstStrings::addNarrow(std::string_view bytes, std::uint32_t hash) {
    ++totalCount_;
    reserveSlot();
    const std::size_t slot = find(hash, [&](const Entry& entry) {
        return !entry.Wide && entry.Length == bytes.size() &&
               (bytes.empty() || std::memcmp(bytesOf(entry), bytes.data(), bytes.size()) == 0);
    });
    if (slots_[slot] != 0)
        return found(slot);
    return insert(slot, hash, bytes.size(), false, [&](std::uint8_t* out) {
        if (!bytes.empty())
            std::memcpy(out, bytes.data(), bytes.size());
    });
}

std::uint32_t TsstStrings::found(std::size_t slot) {
    const auto index = static_cast<std::uint32_t>(slots_[slot]) - 1;
    ++entries_[index].Occurrences;
    return index;
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
