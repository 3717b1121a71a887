#include "browser/collection/CacheFiles.h"

#include "browser/records/RecordCache.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/SysUtils.h"

#include "directory/NWHelper.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace browser {

namespace {

constexpr char kKeySeparator = '\x01';

std::string Folded(const std::string& text) {
    return rtl::UpperCase(text);
}

// "key=value" into its halves (the key ends at the first "=").
bool SplitLine(const std::string& line, std::string& key, std::string& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

constexpr char kEscapeMark = '%';

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A character the escaped form writes as "%" and two hexadecimal digits: wherever it stands it
// could end the key, start a section or comment, be trimmed, or be taken for the mark.
bool NeedsEscape(char c) {
    return c == '=' || c == kEscapeMark || c == '[' || c == ';' || c == ' ' || IsControl(c);
}

bool CaptionNeedsEscape(const std::string& caption) {
    if (caption.empty()) {
        return false;
    }
    const char first = caption.front();
    if (first == '[' || first == ';' || first == kEscapeMark || IsBlank(first) || IsBlank(caption.back())) {
        return true;
    }
    for (char c : caption) {
        if (c == '=' || IsControl(c)) {
            return true;
        }
    }
    return false;
}

std::string EscapedCaption(const std::string& caption) {
    if (!CaptionNeedsEscape(caption)) {
        return caption;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key(1, kEscapeMark);
    for (char c : caption) {
        if (NeedsEscape(c)) {
            const auto byte = static_cast<unsigned char>(c);
            key += kEscapeMark;
            key += kHex[byte >> 4];
            key += kHex[byte & 0x0F];
        } else {
            key += c;
        }
    }
    return key;
}

// The caption of a key into caption (its storage reused): cut at the first character with code 1,
// then the escaped form undone. A key that is not exactly the escaped form of what it decodes to is
// the caption as it stands.
void ReadCaption(std::string_view key, std::string& caption) {
    caption.assign(key.substr(0, key.find(kKeySeparator)));
    if (caption.empty() || caption.front() != kEscapeMark) {
        return;
    }
    std::string plain;
    for (std::size_t i = 1; i < caption.size(); ++i) {
        if (caption[i] != kEscapeMark) {
            plain += caption[i];
            continue;
        }
        int byte = 0;
        const char* digits = caption.data() + i + 1;
        if (i + 2 >= caption.size() || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2) {
            return;
        }
        plain += static_cast<char>(byte);
        i += 2;
    }
    if (EscapedCaption(plain) == caption) {
        caption = plain;
    }
}

bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsControl);
}

bool ParseNumber(std::string_view text, int& number) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, number);
    return error == std::errc() && end == last && !text.empty();
}

// A key as the writer writes it: a caption without control characters (the escaped form has
// none), then, for a repeated caption, the character with code 1 and a running number.
bool WrittenKey(std::string_view key) {
    const std::size_t mark = key.find(kKeySeparator);
    int number = 0;
    return !HasControl(key.substr(0, mark)) &&
           (mark == std::string::npos || (ParseNumber(key.substr(mark + 1), number) && number > 0));
}

// The characters after which the run-time library quotes an item: blanks and control characters, the
// quote and the comma (a NUL byte never gets here).
constexpr std::array<bool, 256> kQuotedCharacters = [] {
    std::array<bool, 256> quoted{};
    for (int c = 0; c <= ' '; ++c) {
        quoted[static_cast<std::size_t>(c)] = true;
    }
    quoted['"'] = true;
    quoted[','] = true;
    return quoted;
}();

bool QuotedCharacter(char c) {
    return kQuotedCharacters[static_cast<unsigned char>(c)];
}

constexpr int kLowestCacheNumber = -1;   // no image, DNS list
constexpr int kHighestCacheNumber = 199; // REV-DNS list
constexpr std::size_t kDhcpSubItems = 7;

// Appends a row for every row line of the section to rows, made in place with its caption and origin
// set, and hands it to makeRow, which answers false for a line not of the written shape: that row goes
// again and the line is counted. The rows made take the age class of the section's STAMP as their
// state image.
template <typename MakeRow>
void AppendSectionRows(const ini::IniFile& file, const std::string& section, const CachedRowOrigin& origin,
                       std::vector<RecordRow>& rows, int* skipped, SpareRows* spare,
                       RecordListKind (*likelyList)(std::string_view value), MakeRow makeRow) {
    const std::size_t first = rows.size();
    std::string stamp;
    bool stamped = false;
    int refused = 0;
    file.ReadSectionValues(section, [&](std::string_view key, std::string_view value) {
        if (!stamped && rtl::SameText(key, kStampKey)) {
            stamp = value;
            stamped = true;
            return;
        }
        if (!WrittenKey(key)) {
            ++refused;
            return;
        }
        RecordRow& row = rows.emplace_back();
        if (spare != nullptr) {
            spare->Reuse(row, likelyList(value));
        }
        ReadCaption(key, row.caption);
        row.rowReference = origin.rowReference;
        row.tree = origin.tree;
        row.container = section;
        if (!makeRow(value, row)) {
            rows.pop_back();
            ++refused;
        }
    });
    if (skipped != nullptr) {
        *skipped += refused;
    }
    const int age = CacheAgeClass(stamp, origin.now, origin.thresholds);
    for (std::size_t i = first; i < rows.size(); ++i) {
        rows[i].stateIndex = age;
    }
}

} // namespace

namespace {

// The items of a written comma text into items, whose first strings are reused; count is how many
// items were read.
bool ReadCommaItems(std::string_view text, std::vector<std::string>& items, std::size_t& count) {
    const auto next = [&items, &count]() -> std::string& {
        if (count < items.size()) {
            std::string& item = items[count++];
            item.clear();
            return item;
        }
        ++count;
        return items.emplace_back();
    };
    // A NUL byte ends the text for the run-time library, so the items cannot give the text back.
    if (text.find('\0') != std::string_view::npos) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    if (text == "\"\"") {
        next(); // one empty item alone is written quoted
        return true;
    }
    items.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
    const char* p = text.data();
    const char* const end = p + text.size();
    for (;;) {
        std::string& item = next();
        if (p < end && *p == '"') {
            // Quoted: the quotes inside doubled, and something in it that needs the quotes.
            bool needed = false;
            ++p;
            for (;;) {
                const auto* quote =
                    static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
                if (quote == nullptr) {
                    return false; // not closed
                }
                needed = needed || std::any_of(p, quote, QuotedCharacter);
                item.append(p, quote);
                p = quote + 1;
                if (p < end && *p == '"') {
                    item += '"';
                    needed = true;
                    ++p;
                    continue;
                }
                break;
            }
            if (!needed) {
                return false;
            }
        } else {
            // Plain: nothing the library would have quoted; it may be empty.
            const char* const start = p;
            while (p < end && !QuotedCharacter(*p)) {
                ++p;
            }
            if (p < end && *p != ',') {
                return false;
            }
            item.assign(start, p);
        }
        if (p == end) {
            return true;
        }
        if (*p != ',') {
            return false; // something after a closing quote
        }
        ++p;
    }
}

} // namespace

bool ReadWrittenCommaText(std::string_view text, std::vector<std::string>& items) {
    std::size_t count = 0;
    const bool read = ReadCommaItems(text, items, count);
    items.resize(count);
    return read;
}

void SpareRows::Add(std::vector<RecordRow>&& rows) {
    if (!rows.empty()) {
        lists_[static_cast<std::size_t>(rows.front().list)].blocks.push_back(std::move(rows));
    }
}

RecordRow* SpareRows::Take(List& list) {
    while (list.block < list.blocks.size() && list.next == list.blocks[list.block].size()) {
        std::vector<RecordRow>().swap(list.blocks[list.block++]);
        list.next = 0;
    }
    return list.block == list.blocks.size() ? nullptr : &list.blocks[list.block][list.next++];
}

void SpareRows::Reuse(RecordRow& row, RecordListKind list) {
    // A row of the list the new one goes to first, in the order the list held them, so that the rows
    // read find texts of the lengths they had.
    RecordRow* spare = Take(lists_[static_cast<std::size_t>(list)]);
    for (std::size_t i = 0; spare == nullptr && i < lists_.size(); ++i) {
        spare = Take(lists_[i]);
    }
    if (spare == nullptr) {
        return;
    }
    row.caption.swap(spare->caption);
    row.caption.clear();
    row.subItems.swap(spare->subItems); // the readers reuse the strings in it
    row.tree.swap(spare->tree);
    row.tree.clear();
    row.container.swap(spare->container);
    row.container.clear();
}

std::string CacheFolder(const std::string& dataDirectory, const std::string& tree) {
    return dataDirectory + "data/" + tree + "/";
}

std::string CacheFilePath(const std::string& dataDirectory, const std::string& tree, const char* fileName) {
    return CacheFolder(dataDirectory, tree) + fileName;
}

namespace {

// The facts of the ISO stamps: "yyyy-mm-dd" and "yyyy-mm-dd hh:nn:ss".
const rtl::LocaleFacts& IsoFacts() {
    static const rtl::LocaleFacts facts = [] {
        rtl::LocaleFacts iso = rtl::LocaleFacts::Default();
        iso.ShortDateFormat = "yyyy-mm-dd";
        iso.LongTimeFormat = "hh:nn:ss";
        iso.DateSeparator = '-';
        iso.TimeSeparator = ':';
        return iso;
    }();
    return facts;
}

bool ReadStamp(const std::string& stamp, const rtl::LocaleFacts& facts, rtl::TDateTime& when) {
    return rtl::TryStrToDateTime(stamp, when, facts) || rtl::TryStrToDate(stamp, when, facts);
}

} // namespace

int CacheAgeClass(const std::string& stamp, rtl::TDateTime now, const AgeThresholds& thresholds) {
    rtl::TDateTime when = 0;
    if (stamp.empty() ||
        !(ReadStamp(stamp, *directory::DateFacts(), when) || ReadStamp(stamp, IsoFacts(), when))) {
        return kOldestAgeClass;
    }
    const double hours = std::trunc(std::fabs(now - when) * 24.0 + 1e-9);
    for (std::size_t i = 0; i < thresholds.size(); ++i) {
        if (hours <= thresholds[i]) {
            return static_cast<int>(i);
        }
    }
    return kOldestAgeClass;
}

void RecordCacheSections::BeginSection(const std::string& section) {
    file_.EraseSection(section);
    auto& used = used_[Folded(section)];
    used.clear();
    used[Folded(kStampKey)] = 1; // a row captioned "STAMP" must not take the stamp's place
}

void RecordCacheSections::WriteDateStamp(const std::string& section, rtl::TDateTime now) {
    file_.WriteString(section, kStampKey, rtl::FormatDateTime("yyyy-mm-dd", std::trunc(now), IsoFacts()));
}

void RecordCacheSections::WriteDateTimeStamp(const std::string& section, rtl::TDateTime now) {
    file_.WriteString(section, kStampKey, rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", now, IsoFacts()));
}

std::string RecordCacheSections::UniqueKey(const std::string& section, const std::string& caption) {
    auto& used = used_[Folded(section)];
    if (used.empty()) {
        used[Folded(kStampKey)] = 1;
    }
    const int seen = used[Folded(caption)]++;
    if (seen == 0) {
        return EscapedCaption(caption);
    }
    return EscapedCaption(caption) + kKeySeparator + std::to_string(seen);
}

void RecordCacheSections::WriteRows(const std::string& section, const std::vector<RecordRow>& rows) {
    for (const RecordRow& row : rows) {
        const std::string value = row.list == RecordListKind::Dhcp
                                      ? DhcpCacheValue(row)
                                      : DnsCacheValue(row, row.list == RecordListKind::RevDns);
        file_.WriteString(section, UniqueKey(section, row.caption), value);
    }
}

namespace {

// A zone row line's value: the comma text of the sub-items, the character with code 1 and the number
// (of a REV-DNS row from 99 on).
bool ZoneRowNumber(std::string_view value, std::size_t& mark, int& number) {
    mark = value.rfind(kKeySeparator);
    return mark != std::string::npos && ParseNumber(value.substr(mark + 1), number) &&
           number >= kLowestCacheNumber && number <= kHighestCacheNumber;
}

RecordListKind ZoneRowList(std::string_view value) {
    std::size_t mark = 0;
    int number = 0;
    return ZoneRowNumber(value, mark, number) && number >= 99 ? RecordListKind::RevDns : RecordListKind::Dns;
}

bool MakeZoneRow(std::string_view value, RecordRow& row) {
    std::size_t mark = 0;
    int number = 0;
    if (!ZoneRowNumber(value, mark, number) || !ReadWrittenCommaText(value.substr(0, mark), row.subItems)) {
        return false;
    }
    if (number >= 99) {
        row.list = RecordListKind::RevDns;
        row.imageIndex = number - 100;
    } else {
        row.list = RecordListKind::Dns;
        row.imageIndex = number;
    }
    return true;
}

RecordListKind SubnetRowList(std::string_view) {
    return RecordListKind::Dhcp;
}

bool MakeSubnetRow(std::string_view value, RecordRow& row) {
    if (!ReadWrittenCommaText(value, row.subItems) || row.subItems.empty() ||
        row.subItems.size() > kDhcpSubItems) {
        return false;
    }
    row.list = RecordListKind::Dhcp;
    return true;
}

} // namespace

void AppendZoneCacheRows(const ini::IniFile& file, const std::string& section, const CachedRowOrigin& origin,
                         std::vector<RecordRow>& rows, int* skipped, SpareRows* spare) {
    AppendSectionRows(file, section, origin, rows, skipped, spare, ZoneRowList, MakeZoneRow);
}

void AppendSubnetCacheRows(const ini::IniFile& file, const std::string& section,
                           const CachedRowOrigin& origin, std::vector<RecordRow>& rows, int* skipped,
                           SpareRows* spare) {
    AppendSectionRows(file, section, origin, rows, skipped, spare, SubnetRowList, MakeSubnetRow);
}

std::vector<RecordRow> ReadZoneCacheRows(const ini::IniFile& file, const std::string& section,
                                         const CachedRowOrigin& origin, int* skipped) {
    std::vector<RecordRow> rows;
    rows.reserve(file.SectionLineCount(section));
    AppendZoneCacheRows(file, section, origin, rows, skipped);
    return rows;
}

std::vector<RecordRow> ReadSubnetCacheRows(const ini::IniFile& file, const std::string& section,
                                           const CachedRowOrigin& origin, int* skipped) {
    std::vector<RecordRow> rows;
    rows.reserve(file.SectionLineCount(section));
    AppendSubnetCacheRows(file, section, origin, rows, skipped);
    return rows;
}

int RemoveSubnetCacheRecord(ini::IniFile& file, const std::string& section, const std::string& objectName) {
    std::vector<std::string> keys;
    for (const std::string& line : file.ReadSectionValues(section)) {
        std::string key;
        std::string value;
        std::vector<std::string> items;
        if (SplitLine(line, key, value) && !rtl::SameText(key, kStampKey) &&
            ReadWrittenCommaText(value, items) && !items.empty() && rtl::SameText(items.back(), objectName)) {
            keys.push_back(std::move(key));
        }
    }
    for (const std::string& key : keys) {
        file.DeleteKey(section, key);
    }
    return static_cast<int>(keys.size());
}

void ForgetDeletedDhcpRecords(const std::string& dataDirectory, const std::vector<RecordRow>& rows) {
    std::vector<std::string> trees;
    for (const RecordRow& row : rows) {
        if (std::find(trees.begin(), trees.end(), row.tree) == trees.end()) {
            trees.push_back(row.tree);
        }
    }
    for (const std::string& tree : trees) {
        const std::string path = CacheFilePath(dataDirectory, tree, kSubnetCacheFile);
        std::error_code error;
        if (dataDirectory.empty() || !std::filesystem::exists(path, error)) {
            continue;
        }
        ini::IniFile file(path);
        int removed = 0;
        for (const RecordRow& row : rows) {
            if (row.tree == tree && !row.ObjectName().empty()) {
                removed += RemoveSubnetCacheRecord(file, row.container, row.ObjectName());
            }
        }
        if (removed > 0) {
            file.UpdateFile();
        }
    }
}

std::vector<std::string> ReadCacheList(const ini::IniFile& file, const std::string& section, int* skipped) {
    std::vector<std::string> items;
    for (const std::string& line : file.ReadSectionValues(section)) {
        std::string key;
        std::string value;
        int index = 0;
        if (SplitLine(line, key, value) && ParseNumber(key, index) && index >= 0 && !value.empty() &&
            !HasControl(value)) {
            items.push_back(std::move(value));
        } else if (skipped != nullptr) {
            ++*skipped;
        }
    }
    return items;
}

void WriteCacheList(ini::IniFile& file, const std::string& section, const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        file.WriteString(section, std::to_string(i), items[i]);
    }
}

} // namespace browser
