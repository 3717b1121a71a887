#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ini {

class IniDocument;

// Raised when the document cannot be written back to disk.
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A Windows-style INI file.
//
// Sections and keys compare without regard to (ASCII) case and keep the case they were stored with.
// Values are returned exactly as stored (only the blanks around "=" are dropped; quotes are kept).
// Every IniFile opened on the same file (by canonical path) shares one in-memory document; all
// methods are safe to call from several threads. Changes are written to disk atomically (temporary
// file + rename) by UpdateFile() and when an IniFile is destroyed; an unchanged document is reloaded
// when the file changed on disk since it was read.
class IniFile {
public:
    // Opens (or, on the first write, creates) the file at fileName. A missing file is an empty document.
    explicit IniFile(const std::string& fileName);
    // Writes pending changes; errors are swallowed here (call UpdateFile() to see them).
    ~IniFile();

    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // The name the file was opened with.
    const std::string& FileName() const { return fileName_; }

    // Value of section/key; `def` when the key is missing ("" when it is present but empty).
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Replaces the first occurrence of key, else appends it after the last line of the section (the
    // section is appended to the end of the file when missing). Line breaks in the section, key or
    // value would break the file's structure and are written as blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Decimal, "$hex" or "0xhex"; `def` when the key is missing or the value is not a 32-bit integer.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);

    // ReadInteger(..., def ? 1 : 0) != 0; written as "1" / "0".
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Section names in file order (the first of duplicate sections only).
    std::vector<std::string> ReadSections() const;
    // Keys of a section in file order (comments and blank lines are not keys).
    std::vector<std::string> ReadSection(const std::string& section) const;
    // "key=value" lines of a section in file order.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;
    // The same lines handed to visit one at a time, split at their first "=" into key and value, without
    // copies. visit must not call an IniFile of the same file (the document is locked meanwhile).
    void
    ReadSectionValues(const std::string& section,
                      const std::function<void(std::string_view key, std::string_view value)>& visit) const;

    // True when the section holds at least one key (an empty section counts as missing, as on Windows).
    bool SectionExists(const std::string& section) const;
    // How many lines the section holds, comments and blank lines included (0 when it is missing): at
    // least as many as ReadSectionValues hands over, so that a reader can make room for them at once.
    std::size_t SectionLineCount(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // Removes the section (every section of that name) with all its lines.
    void EraseSection(const std::string& section);
    // Removes the key (every line of that key in the section).
    void DeleteKey(const std::string& section, const std::string& key);

    // Writes pending changes to disk now (temporary file + rename). Throws EIniFileError on failure,
    // leaving the previous file untouched.
    void UpdateFile();

private:
    std::string fileName_;
    std::shared_ptr<IniDocument> document_;
};

} // namespace ini
