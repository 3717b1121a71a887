#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini {

// The parsed contents of one INI file, kept with every line (comments, blank lines, duplicates) so
// that a rewrite changes only what was written. Not thread-safe by itself: IniDocument::Lock guards it.
class IniDocument {
public:
    // What identifies the file's state on disk, to notice changes made by others.
    struct FileStamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t mtimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    explicit IniDocument(std::string path);

    // The one document per canonical path, shared by every IniFile opened on it.
    static std::shared_ptr<IniDocument> Open(const std::string& fileName);

    std::mutex& Mutex() { return mutex_; }
    const std::string& Path() const { return path_; }

    // Re-reads the file when it changed on disk and nothing is pending here.
    void RefreshIfChanged();

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    void SetValue(std::string_view section, std::string_view key, const std::string& value);
    std::vector<std::string> SectionNames() const;
    // (key, value) pairs of the section in file order, the first of duplicate keys only.
    std::vector<std::pair<std::string, std::string>> SectionEntries(std::string_view section) const;
    // The same pairs handed to visit one at a time, without copies.
    void
    VisitSectionEntries(std::string_view section,
                        const std::function<void(std::string_view key, std::string_view value)>& visit) const;
    bool HasSection(std::string_view section) const;
    // The section exists and holds at least one key.
    bool HasKeys(std::string_view section) const;
    // The lines of the first section of the name (keys, comments, blank lines): at least its keys.
    std::size_t LineCount(std::string_view section) const;
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    bool Dirty() const { return dirty_; }
    // Writes the document through a temporary file and a rename when it has pending changes.
    // Throws EIniFileError on failure; the file on disk is then unchanged.
    void Flush();

    // The text that Flush writes.
    std::string Serialize() const;

private:
    struct Entry {
        bool isKey = false;
        std::string key;   // as stored
        std::string value; // as stored (blanks around it removed)
        std::string raw;   // the line as read when it is not key=value as they stand; empty once the
                           // entry changed or for new entries
    };
    using Entries = std::list<Entry>;
    struct Section {
        std::string name;
        std::string raw; // the header line as read
        Entries entries;
        std::unordered_map<std::string, Entries::iterator> firstKey; // folded key -> first entry
        // The section's lines as read (in text_) while they are not yet made entries: a section is made
        // entries when it is first looked up for anything but reading its keys in order, so that a large
        // file read once is not taken apart line by line.
        std::string_view lines;
        std::size_t lineCount = 0; // of lines
        bool pending = false;
    };
    using Sections = std::list<Section>;

    void load();
    void parse(std::string_view text);
    // The first section of the name, made entries.
    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    // The first section of the name as it is (its lines may be pending).
    const Section* lookUpSection(std::string_view name) const;
    // Makes a pending section's lines entries (a const document does it too: its content stays the same).
    void makeEntries(const Section& section) const;
    static void addLine(Section& section, std::string_view line);
    // Hands the key lines of a pending section to visit; false (nothing visited) when two keys may be
    // the same, which the entries tell apart.
    static bool
    visitPendingLines(const Section& section,
                      const std::function<void(std::string_view key, std::string_view value)>& visit);
    Section& sectionForWrite(std::string_view name);
    FileStamp currentStamp() const;

    std::string path_;
    std::mutex mutex_;
    std::unique_ptr<char[]> text_;      // the file as read: the pending sections' lines
    std::vector<std::string> preamble_; // lines before the first section
    Sections sections_;
    std::unordered_map<std::string, Sections::iterator> firstSection_; // folded name -> first section
    bool hadBom_ = false;
    bool dirty_ = false;
    bool unreadable_ = false; // the file exists but could not be read: never overwrite it
    FileStamp stamp_;
};

} // namespace ini
