#include "platform/tolvex/SettingsStore.h"

#include "platform/commit/FileCommit.h"

#include "platform/tolvex/TextCompare.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace tolvex {
namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool HasLineBreakOrNul(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// The section name of a "[name]" line, none for other lines.
std::optional<std::string> SectionOf(const std::string& line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[')
        return std::nullopt;
    auto close = trimmed.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

// Key and value of a "key=value" line, none for comments and other lines.
std::optional<std::pair<std::string, std::string>> EntryOf(const std::string& line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[')
        return std::nullopt;
    auto equals = line.find('=');
    if (equals == std::string::npos)
        return std::nullopt;
    return std::make_pair(Trim(line.substr(0, equals)), line.substr(equals + 1));
}

enum class ReadOutcome { Read, Missing, Failed };

ReadOutcome ReadLines(const std::filesystem::path& path, std::vector<std::string>& lines) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return ReadOutcome::Missing;
    if (ec || status.type() != std::filesystem::file_type::regular)
        return ReadOutcome::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadOutcome::Failed;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return in.bad() ? ReadOutcome::Failed : ReadOutcome::Read;
}

// Writes the lines through the one commit path: the settings file keeps its mode and links, and a
// file the user may not write is refused rather than replaced.
bool ReplaceFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string data;
    for (const auto& line : lines)
        data += line + kLineEnd;
    try {
        commit::WriteFileAtomically(path.string(), data);
        return true;
    } catch (const commit::CommitError&) {
        return false;
    }
}

} // namespace

bool SettingsStore::IsStorableSection(const std::string& section) {
    return !HasLineBreakOrNul(section) && section.find(']') == std::string::npos && Trim(section) == section;
}

bool SettingsStore::IsStorableKey(const std::string& key) {
    return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string::npos &&
           Trim(key) == key && key[0] != ';' && key[0] != '[';
}

bool SettingsStore::IsStorableValue(const std::string& value) {
    return !HasLineBreakOrNul(value);
}

void SettingsStore::SetFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(mutex_);
    folder_ = folder;
}

std::filesystem::path SettingsStore::FilePath() const {
    return folder_ / kFileName;
}

std::optional<std::string> SettingsStore::Get(const std::string& section, const std::string& key) const {
    std::lock_guard lock(mutex_);
    if (folder_.empty())
        return std::nullopt;
    std::vector<std::string> lines;
    if (ReadLines(FilePath(), lines) != ReadOutcome::Read)
        return std::nullopt;
    bool inSection = false;
    for (const auto& line : lines) {
        if (auto name = SectionOf(line)) {
            inSection = SameIgnoringCase(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        auto entry = EntryOf(line);
        if (entry && SameIgnoringCase(entry->first, key))
            return entry->second;
    }
    return std::nullopt;
}

SettingsStore::Result SettingsStore::Set(const std::string& section, const std::string& key,
                                         const std::string& value) {
    if (!IsStorableSection(section) || !IsStorableKey(key) || !IsStorableValue(value))
        return Result::BadText;
    std::lock_guard lock(mutex_);
    if (folder_.empty())
        return Result::NoFolder;
    std::vector<std::string> lines;
    if (ReadLines(FilePath(), lines) == ReadOutcome::Failed)
        return Result::WriteFailed; // never replace a file that could not be read
    const std::string entryLine = key + "=" + value;

    bool inSection = false;
    std::optional<size_t> sectionEnd; // one past the last non-empty line of the section
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = SameIgnoringCase(*name, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        auto entry = EntryOf(lines[i]);
        if (entry && SameIgnoringCase(entry->first, key)) {
            lines[i] = entryLine;
            return ReplaceFile(FilePath(), lines) ? Result::Ok : Result::WriteFailed;
        }
        if (!Trim(lines[i]).empty())
            sectionEnd = i + 1;
    }
    if (sectionEnd) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entryLine);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entryLine);
    }
    return ReplaceFile(FilePath(), lines) ? Result::Ok : Result::WriteFailed;
}

} // namespace tolvex
