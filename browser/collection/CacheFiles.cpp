#include "browser/collection/CacheFiles.h"

#include "browser/records/RecordCache.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

#include <charconv>
#include <cmath>

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

std::string CaptionOfKey(const std::string& key) {
    return key.substr(0, key.find(kKeySeparator));
}

std::vector<std::string> SubItemsOf(const std::string& commaText) {
    rtl::TStringList list;
    list.SetCommaText(commaText);
    std::vector<std::string> items;
    items.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        items.push_back(list.Strings(i));
    }
    return items;
}

bool ParseNumber(const std::string& text, int& number) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, number);
    return error == std::errc() && end == last && !text.empty();
}

// Reads the section's lines and hands every row line, with its caption, age class and origin set,
// to makeRow.
template <typename MakeRow>
void ReadSectionRows(const ini::IniFile& file, const std::string& section, const CachedRowOrigin& origin,
                     MakeRow makeRow) {
    std::string stamp;
    bool stamped = false;
    std::vector<std::pair<std::string, std::string>> lines;
    for (const std::string& line : file.ReadSectionValues(section)) {
        std::string key;
        std::string value;
        if (!SplitLine(line, key, value)) {
            continue;
        }
        if (!stamped && rtl::SameText(key, kStampKey)) {
            stamp = value;
            stamped = true;
            continue;
        }
        lines.emplace_back(std::move(key), std::move(value));
    }
    const int age = CacheAgeClass(stamp, origin.now, origin.thresholds);
    for (auto& [key, value] : lines) {
        RecordRow row;
        row.caption = CaptionOfKey(key);
        row.stateIndex = age;
        row.rowReference = origin.rowReference;
        row.tree = origin.tree;
        row.container = section;
        makeRow(value, row);
    }
}

} // namespace

std::string CacheFolder(const std::string& dataDirectory, const std::string& tree) {
    return dataDirectory + "data/" + tree + "/";
}

std::string CacheFilePath(const std::string& dataDirectory, const std::string& tree, const char* fileName) {
    return CacheFolder(dataDirectory, tree) + fileName;
}

int CacheAgeClass(const std::string& stamp, rtl::TDateTime now, const AgeThresholds& thresholds) {
    rtl::TDateTime when = 0;
    if (stamp.empty() || !(rtl::TryStrToDateTime(stamp, when) || rtl::TryStrToDate(stamp, when))) {
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
    file_.WriteString(section, kStampKey, rtl::DateToStr(std::trunc(now)));
}

void RecordCacheSections::WriteDateTimeStamp(const std::string& section, rtl::TDateTime now) {
    file_.WriteString(section, kStampKey, rtl::DateTimeToStr(now));
}

std::string RecordCacheSections::UniqueKey(const std::string& section, const std::string& caption) {
    auto& used = used_[Folded(section)];
    if (used.empty()) {
        used[Folded(kStampKey)] = 1;
    }
    const int seen = used[Folded(caption)]++;
    if (seen == 0) {
        return caption;
    }
    return caption + kKeySeparator + std::to_string(seen);
}

void RecordCacheSections::WriteRows(const std::string& section, const std::vector<RecordRow>& rows) {
    for (const RecordRow& row : rows) {
        const std::string value = row.list == RecordListKind::Dhcp
                                      ? DhcpCacheValue(row)
                                      : DnsCacheValue(row, row.list == RecordListKind::RevDns);
        file_.WriteString(section, UniqueKey(section, row.caption), value);
    }
}

std::vector<RecordRow> ReadZoneCacheRows(const ini::IniFile& file, const std::string& section,
                                         const CachedRowOrigin& origin) {
    std::vector<RecordRow> rows;
    ReadSectionRows(file, section, origin, [&rows](const std::string& value, RecordRow& row) {
        const std::size_t mark = value.rfind(kKeySeparator);
        int number = 0;
        if (mark == std::string::npos || !ParseNumber(value.substr(mark + 1), number)) {
            return false;
        }
        if (number >= 99) {
            row.list = RecordListKind::RevDns;
            row.imageIndex = number - 100;
        } else {
            row.list = RecordListKind::Dns;
            row.imageIndex = number;
        }
        row.subItems = SubItemsOf(value.substr(0, mark));
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

std::vector<RecordRow> ReadSubnetCacheRows(const ini::IniFile& file, const std::string& section,
                                           const CachedRowOrigin& origin) {
    std::vector<RecordRow> rows;
    ReadSectionRows(file, section, origin, [&rows](const std::string& value, RecordRow& row) {
        row.list = RecordListKind::Dhcp;
        row.subItems = SubItemsOf(value);
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

std::vector<std::string> ReadCacheList(const ini::IniFile& file, const std::string& section) {
    std::vector<std::string> items;
    for (const std::string& line : file.ReadSectionValues(section)) {
        std::string key;
        std::string value;
        if (SplitLine(line, key, value)) {
            items.push_back(std::move(value));
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
