#include "export/xls/ExporterXLSSST.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>
#include <vector>

namespace exporter {

namespace {

// FNV-1a over the code units.
std::uint32_t hashOf(std::u16string_view text) {
    std::uint32_t hash = 2166136261u;
    for (char16_t ch : text) {
        hash = (hash ^ static_cast<std::uint32_t>(ch & 0xFF)) * 16777619u;
        hash = (hash ^ static_cast<std::uint32_t>(ch >> 8)) * 16777619u;
    }
    return hash;
}

bool isHighSurrogate(char16_t ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}

// Collects the data of one record at a time and writes it with its header when it is full.
class TsstRecordWriter {
public:
    explicit TsstRecordWriter(TxlsStream& stream) : stream_(stream) { data_.reserve(MAX_RECORD_DATA_SIZE); }

    std::size_t Room() const { return MAX_RECORD_DATA_SIZE - data_.size(); }
    void U8(std::uint8_t v) { data_.push_back(v); }
    void U16(std::uint16_t v) {
        data_.push_back(static_cast<std::uint8_t>(v));
        data_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Chars(const char16_t* chars, std::size_t count, bool compressed) {
        for (std::size_t i = 0; i < count; ++i) {
            if (compressed)
                U8(static_cast<std::uint8_t>(chars[i]));
            else
                U16(static_cast<std::uint16_t>(chars[i]));
        }
    }
    // Writes the record collected so far; the next one is a CONTINUE.
    void Flush() {
        WriteWord(stream_, id_);
        WriteWord(stream_, static_cast<std::uint16_t>(data_.size()));
        if (!data_.empty())
            WriteBuffer(stream_, data_.data(), data_.size());
        data_.clear();
        id_ = BIFF_CONTINUE;
    }

private:
    TxlsStream& stream_;
    std::vector<std::uint8_t> data_;
    std::uint16_t id_ = BIFF_SST;
};

} // namespace

bool IsCompressible(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t ch) { return ch <= 0xFF; });
}

std::uint32_t TsstStrings::Add(const std::u16string& s) {
    ++totalCount_;
    const std::u16string_view key = std::u16string_view(s).substr(0, Utf16CutLength(s, MAX_CELL_TEXT_LENGTH));
    if (2 * (entries_.size() + 1) > slots_.size())
        grow();
    const std::uint32_t hash = hashOf(key);
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
        if (static_cast<std::uint32_t>(slots_[slot] >> 32) != hash)
            continue;
        const auto index = static_cast<std::uint32_t>(slots_[slot]) - 1;
        if (entries_[index].Text == key) {
            ++entries_[index].Occurrences;
            return index;
        }
    }
    const auto index = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(TsstEntry{index, std::u16string(key), 1});
    slots_[slot] = std::uint64_t(hash) << 32 | (index + 1);
    ++uniqueCount_;
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

void TsstStrings::SaveToStream(TxlsStream& stream) const {
    TsstRecordWriter out(stream);
    out.U32(totalCount_);
    out.U32(uniqueCount_);
    for (const TsstEntry& entry : entries_) {
        const std::u16string& text = entry.Text;
        const bool compressed = IsCompressible(text);
        const std::size_t charSize = compressed ? 1 : 2;
        // The 3 header bytes stay together with the first character (both halves of a pair).
        std::size_t first = text.empty() ? 0 : charSize;
        if (!compressed && !text.empty() && isHighSurrogate(text[0]))
            first *= 2;
        if (out.Room() < 3 + first)
            out.Flush();
        out.U16(static_cast<std::uint16_t>(text.size()));
        out.U8(compressed ? 0 : 1);
        std::size_t done = 0;
        while (done < text.size()) {
            const std::size_t part =
                Utf16CutLength(std::u16string_view(text).substr(done), out.Room() / charSize);
            if (part == 0) {
                out.Flush();
                out.U8(compressed ? 0 : 1);
                continue;
            }
            out.Chars(text.data() + done, part, compressed);
            done += part;
        }
    }
    out.Flush();
}

} // namespace exporter
