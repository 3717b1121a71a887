#include "export/xls/ExporterXLSSST.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>

namespace exporter {

namespace {

// A string taking more than a whole record is split at character boundaries: the first record
// holds its 3 header bytes and this many characters, every later one an option byte and at most
// ContinuedChars characters.
constexpr std::size_t FirstPartChars = (MAX_RECORD_DATA_SIZE - 3) / 2; // 4110
constexpr std::size_t ContinuedChars = (MAX_RECORD_DATA_SIZE - 1) / 2; // 4111
constexpr std::size_t FullPartSize = 3 + 2 * FirstPartChars;           // 8223
constexpr std::uint8_t UnicodeOption = 1;

std::size_t roomOf(std::size_t length) {
    return 2 * length + 3;
}

} // namespace

int CompareWideStrings(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return static_cast<std::uint16_t>(a[i]) < static_cast<std::uint16_t>(b[i]) ? -1 : 1;
    return 0;
}

std::uint32_t TsstStrings::Add(const std::u16string& s) {
    const std::u16string text = s.size() > MAX_CELL_TEXT_LENGTH ? s.substr(0, MAX_CELL_TEXT_LENGTH) : s;
    const auto position = std::lower_bound(
        sorted_.begin(), sorted_.end(), text,
        [](const TsstEntry* e, const std::u16string& t) { return CompareWideStrings(e->Text, t) < 0; });
    if (position != sorted_.end() && CompareWideStrings((*position)->Text, text) == 0) {
        ++(*position)->Occurrences;
        ++totalCount_;
        return (*position)->Index;
    }
    auto entry = std::make_unique<TsstEntry>(TsstEntry{static_cast<std::uint32_t>(entries_.size()), text, 1});
    sorted_.insert(position, entry.get());
    entries_.push_back(std::move(entry));
    planRoom(text.size());
    ++totalCount_;
    ++uniqueCount_;
    return entries_.back()->Index;
}

void TsstStrings::closeRecord(std::size_t size) {
    recordSizes_.push_back(size);
    recordSize_ = 0;
}

void TsstStrings::planRoom(std::size_t length) {
    std::size_t room = roomOf(length);
    if (recordSize_ + room > MAX_RECORD_DATA_SIZE)
        closeRecord(recordSize_);
    if (room > MAX_RECORD_DATA_SIZE) {
        closeRecord(FullPartSize);
        totalSize_ += FullPartSize;
        std::size_t remaining = length - FirstPartChars;
        while (remaining > ContinuedChars) {
            closeRecord(1 + 2 * ContinuedChars);
            totalSize_ += 1 + 2 * ContinuedChars;
            remaining -= ContinuedChars;
        }
        room = 1 + 2 * remaining;
    }
    recordSize_ += room;
    totalSize_ += room;
}

std::vector<std::size_t> TsstStrings::PlannedSizes() const {
    std::vector<std::size_t> sizes = recordSizes_;
    sizes.push_back(recordSize_);
    return sizes;
}

void TsstStrings::SaveToStream(TxlsStream& stream) const {
    const std::vector<std::size_t> sizes = PlannedSizes();
    std::size_t nextRecord = 0;
    auto openRecord = [&](std::uint16_t id) {
        WriteWord(stream, id);
        WriteWord(stream, static_cast<std::uint16_t>(sizes.at(nextRecord++)));
    };
    openRecord(BIFF_SST);
    WriteDWord(stream, totalCount_);
    WriteDWord(stream, uniqueCount_);

    std::size_t used = 8;
    for (const auto& entry : entries_) {
        const std::u16string& text = entry->Text;
        const std::size_t room = roomOf(text.size());
        if (used + room > MAX_RECORD_DATA_SIZE) {
            openRecord(BIFF_CONTINUE);
            used = 0;
        }
        WriteWord(stream, static_cast<std::uint16_t>(text.size()));
        WriteBuffer(stream, &UnicodeOption, 1);
        if (room <= MAX_RECORD_DATA_SIZE) {
            WriteWideChars(stream, text.data(), text.size());
            used += room;
            continue;
        }
        WriteWideChars(stream, text.data(), FirstPartChars);
        std::size_t done = FirstPartChars;
        while (done < text.size()) {
            const std::size_t part = std::min(text.size() - done, ContinuedChars);
            openRecord(BIFF_CONTINUE);
            WriteBuffer(stream, &UnicodeOption, 1);
            WriteWideChars(stream, text.data() + done, part);
            done += part;
            used = 1 + 2 * part;
        }
    }
}

} // namespace exporter
