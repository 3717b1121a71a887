#pragma once

// The local cache of one tree: "dnsdhcp.ini" (the locators and the objects they reference),
// "zones.ini" (DNS and REV-DNS rows per zone) and "subnets.ini" (DHCP rows per subnet), in the
// folder "data/<tree>/" of the data directory.

#include "browser/records/RecordRow.h"
#include "platform/rtl/DateUtils.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini {
class IniFile;
}

namespace browser {

inline constexpr const char* kLocatorCacheFile = "dnsdhcp.ini";
inline constexpr const char* kZoneCacheFile = "zones.ini";
inline constexpr const char* kSubnetCacheFile = "subnets.ini";
inline constexpr const char* kLocatorSection = "LOCATOR";
inline constexpr const char* kStampKey = "STAMP";

// Hours up to which a cached section is of age class 0, 1, ... 5; above the last it is class 6.
using AgeThresholds = std::array<int, 6>;
inline constexpr AgeThresholds kDefaultAgeThresholds{2, 8, 48, 120, 240, 720};
inline constexpr int kOldestAgeClass = 6;

// dataDirectory (ending with a separator) + "data/" + tree + "/".
std::string CacheFolder(const std::string& dataDirectory, const std::string& tree);
std::string CacheFilePath(const std::string& dataDirectory, const std::string& tree, const char* fileName);

// The age class 0..6 of a STAMP value (a date, or a date and time) at the moment now: the whole
// hours between them, graded by the thresholds. The stamp is read in the program's date facts
// (directory::DateFacts), else in ISO form ("yyyy-mm-dd", "yyyy-mm-dd hh:nn:ss"), the form the
// stamps are written in so that they read back whatever the locale. An empty or unreadable stamp
// is of the oldest class.
int CacheAgeClass(const std::string& stamp, rtl::TDateTime now,
                  const AgeThresholds& thresholds = kDefaultAgeThresholds);

// Writes the rows of zones or subnets into their sections. Every row keeps its own line: a row
// whose caption is already a key of the section (keys compare without regard to case) is stored
// under the caption, the character with code 1 and a running number; readers cut the key there.
// A caption that an INI line cannot carry as it is (one holding "=", a control character or the
// escape mark "%", or starting with "[", ";" or a blank, or ending with a blank) is written as "%"
// followed by the caption with each such character as "%" and two hexadecimal digits; readers undo
// it. A key that is not of that form is read as it stands, so caches written without it read as
// before.
class RecordCacheSections {
public:
    explicit RecordCacheSections(ini::IniFile& file) : file_(file) {}

    // Empties the section and forgets its keys.
    void BeginSection(const std::string& section);
    // The zone stamp (today's date) and the subnet stamp (date and time now), in ISO form.
    void WriteDateStamp(const std::string& section, rtl::TDateTime now);
    void WriteDateTimeStamp(const std::string& section, rtl::TDateTime now);
    // One line per row: DNS and REV-DNS rows as the comma text of the sub-items, the character with
    // code 1 and the image index (plus 100 for a row of the REV-DNS list); DHCP rows as the comma
    // text of the sub-items.
    void WriteRows(const std::string& section, const std::vector<RecordRow>& rows);

private:
    std::string UniqueKey(const std::string& section, const std::string& caption);

    ini::IniFile& file_;
    // Per section (folded): how often each folded caption was written.
    std::unordered_map<std::string, std::unordered_map<std::string, int>> used_;
};

// What a reader knows about the rows it makes.
struct CachedRowOrigin {
    int rowReference = kNoRowReference;
    std::string tree;
    rtl::TDateTime now = 0;
    AgeThresholds thresholds = kDefaultAgeThresholds;
};

// The items of a comma text as the cache writer writes it (CommaTextOf), read in one pass; false, with
// items of no meaning, for a text the writer cannot have written (CommaTextOf of what the run-time
// library's comma text reading makes of it is not the text). The strings items holds are reused.
bool ReadWrittenCommaText(std::string_view text, std::vector<std::string>& items);

// The rows of a zone's section, in file order: the key up to its first character with code 1 is
// the caption; the value is split at its last character with code 1 into the comma text of the
// sub-items and the image number. A number of 99 or more marks a REV-DNS row with the image
// number - 100. Every row carries the age class of the section's STAMP as its state image.
// Lines that are not of the shape the writer writes (comma text as the run-time library writes
// it, a number from -1 to 199; for subnets one to seven sub-items) are skipped and added to
// *skipped when given.
std::vector<RecordRow> ReadZoneCacheRows(const ini::IniFile& file, const std::string& section,
                                         const CachedRowOrigin& origin, int* skipped = nullptr);
// The rows of a subnet's section: the whole value is the comma text of the sub-items.
std::vector<RecordRow> ReadSubnetCacheRows(const ini::IniFile& file, const std::string& section,
                                           const CachedRowOrigin& origin, int* skipped = nullptr);

// Rows taken off the lists whose texts' storage the cache readers reuse for the rows they make, so that
// a reload from the cache neither frees the old rows one text at a time nor allocates the new ones
// anew. Nothing else of a spare row is kept: a row made from one equals a row made new.
class SpareRows {
public:
    // Rows of one list.
    void Add(std::vector<RecordRow>&& rows);
    // Gives the fresh row the (emptied) texts of a spare row, of the list given when one is left, else
    // of any.
    void Reuse(RecordRow& row, RecordListKind list);

private:
    struct List {
        std::vector<std::vector<RecordRow>> blocks;
        std::size_t block = 0; // the first row not yet reused
        std::size_t next = 0;
    };
    static RecordRow* Take(List& list);

    std::array<List, 3> lists_; // by RecordListKind
};

// The same rows appended to rows, which keeps the rows it holds; with spare rows, their storage.
void AppendZoneCacheRows(const ini::IniFile& file, const std::string& section, const CachedRowOrigin& origin,
                         std::vector<RecordRow>& rows, int* skipped = nullptr, SpareRows* spare = nullptr);
void AppendSubnetCacheRows(const ini::IniFile& file, const std::string& section,
                           const CachedRowOrigin& origin, std::vector<RecordRow>& rows,
                           int* skipped = nullptr, SpareRows* spare = nullptr);

// Takes the lines of the DHCP records of the directory object objectName (the last sub-item,
// compared without regard to case) out of a subnet's section; the number of lines taken out.
int RemoveSubnetCacheRecord(ini::IniFile& file, const std::string& section, const std::string& objectName);

// Takes the records of rows whose objects were deleted out of the "subnets.ini" of their trees in
// the data directory (ending with a separator), so that a reload from the cache does not show them
// again. A tree without that file is left alone; raises when a file cannot be written.
void ForgetDeletedDhcpRecords(const std::string& dataDirectory, const std::vector<RecordRow>& rows);

// The list items of a "dnsdhcp.ini" section: the values in the order they stand in the file. A
// line whose key is not a decimal number or whose value is empty or holds a control character is
// skipped and added to *skipped when given.
std::vector<std::string> ReadCacheList(const ini::IniFile& file, const std::string& section,
                                       int* skipped = nullptr);
// Writes item i under the key that is the decimal text of i.
void WriteCacheList(ini::IniFile& file, const std::string& section, const std::vector<std::string>& items);

} // namespace browser
