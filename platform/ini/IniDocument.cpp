#include "platform/ini/IniDocument.h"

#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace ini {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string canonicalPath(const std::string& fileName) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(fileName, ec);
    if (ec)
        return fileName;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(p, ec);
    return ec ? p.lexically_normal().string() : canonical.string();
}

[[noreturn]] void fail(const std::string& path, int error) {
    throw EIniFileError(commit::CommitError(commit::CommitError::Stage::Create, path, error).what());
}

} // namespace

IniDocument::IniDocument(std::string path) : path_(std::move(path)) {
    load();
}

std::shared_ptr<IniDocument> IniDocument::Open(const std::string& fileName) {
    static std::mutex registryMutex;
    static std::unordered_map<std::string, std::weak_ptr<IniDocument>> registry;
    std::string path = canonicalPath(fileName);
    std::lock_guard<std::mutex> lock(registryMutex);
    if (auto existing = registry[path].lock())
        return existing;
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() && it->first != path ? registry.erase(it) : std::next(it);
    auto document = std::make_shared<IniDocument>(path);
    registry[path] = document;
    return document;
}

IniDocument::FileStamp IniDocument::currentStamp() const {
    struct stat st {};
    FileStamp stamp;
    if (::stat(path_.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

void IniDocument::load() {
    preamble_.clear();
    sections_.clear();
    firstSection_.clear();
    text_.reset();
    hadBom_ = false;
    unreadable_ = false;
    dirty_ = false;
    stamp_ = currentStamp();
    if (!stamp_.exists)
        return;
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        unreadable_ = true;
        return;
    }
    // Read in one piece of the size the file has (a cache file holds megabytes) into storage that is not
    // filled first: no growing buffer and no copy. The byte beyond lets the read that finds the end need
    // no room; a file that grew meanwhile is read to its end all the same.
    struct stat st {};
    std::size_t capacity =
        (::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0) + 1;
    auto text = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(2 * capacity);
            std::memcpy(larger.get(), text.get(), size);
            text = std::move(larger);
            capacity *= 2;
        }
        const ssize_t read = ::read(fd, text.get() + size, capacity - size);
        if (read == 0)
            break;
        if (read < 0 && errno != EINTR) {
            ::close(fd);
            unreadable_ = true;
            return;
        }
        size += read > 0 ? static_cast<std::size_t>(read) : 0;
    }
    ::close(fd);
    text_ = std::move(text);
    parse(std::string_view(text_.get(), size));
}

void IniDocument::parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        hadBom_ = true;
        text.remove_prefix(3);
    }
    Section* current = nullptr;
    size_t linesStart = 0;
    const auto closeSection = [&](size_t linesEnd) {
        if (current && linesEnd > linesStart) {
            current->lines = text.substr(linesStart, linesEnd - linesStart);
            current->pending = true;
        }
    };
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t lineStart = pos;
        size_t end = text.find('\n', pos);
        std::string_view line =
            text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view t = trim(line);
        if (!t.empty() && t.front() == '[') {
            closeSection(lineStart);
            size_t close = t.find(']');
            std::string_view name =
                trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            Section& section = sections_.emplace_back();
            section.name = std::string(name);
            section.raw = std::string(line);
            auto it = std::prev(sections_.end());
            firstSection_.emplace(rtl::LowerCase(name), it);
            current = &section;
            linesStart = pos;
            continue;
        }
        if (current)
            ++current->lineCount;
        else
            preamble_.emplace_back(line);
    }
    closeSection(text.size());
}

namespace {

// What one line of a section holds: a key line's key and value (blanks around them removed), and
// whether the line is exactly key=value.
struct SectionLine {
    bool isKey = false;
    std::string_view key;
    std::string_view value;
    bool asWritten = false;
};

SectionLine ReadSectionLine(std::string_view line) {
    SectionLine read;
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';')
        return read;
    read.isKey = true;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        read.key = t;
        return read;
    }
    read.key = trim(t.substr(0, eq));
    read.value = trim(t.substr(eq + 1));
    read.asWritten = line.size() == read.key.size() + 1 + read.value.size();
    return read;
}

// Calls each(line) for the lines of a pending section, without their line ends; an each that answers
// a bool stops the walk with false.
template <typename Each> void ForEachLine(std::string_view lines, Each each) {
    size_t pos = 0;
    while (pos < lines.size()) {
        const size_t end = lines.find('\n', pos);
        std::string_view line =
            lines.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? lines.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if constexpr (std::is_same_v<decltype(each(line)), bool>) {
            if (!each(line))
                return;
        } else {
            each(line);
        }
    }
}

// A hash of a key that keys equal without regard to ASCII case share.
std::uint64_t FoldedHash(std::string_view key) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : key) {
        hash ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

void IniDocument::addLine(Section& section, std::string_view line) {
    const SectionLine read = ReadSectionLine(line);
    Entry entry;
    entry.isKey = read.isKey;
    entry.key = std::string(read.key);
    entry.value = std::string(read.value);
    // A line that is exactly key=value is written back from them; only a line with blanks around them
    // (or without "=") keeps its own text.
    if (!read.asWritten)
        entry.raw = std::string(line);
    section.entries.push_back(std::move(entry));
    if (read.isKey)
        section.firstKey.emplace(rtl::LowerCase(read.key), std::prev(section.entries.end()));
}

void IniDocument::makeEntries(const Section& section) const {
    if (!section.pending)
        return;
    // The document is locked by its caller; making entries changes how it holds its content, not the
    // content.
    Section& s = const_cast<Section&>(section);
    ForEachLine(s.lines, [&s](std::string_view line) { addLine(s, line); });
    s.lines = {};
    s.pending = false;
}

bool IniDocument::visitPendingLines(
    const Section& section, const std::function<void(std::string_view key, std::string_view value)>& visit) {
    std::vector<std::pair<std::string_view, std::string_view>> keys;
    ForEachLine(section.lines, [&keys](std::string_view line) {
        const SectionLine read = ReadSectionLine(line);
        if (read.isKey)
            keys.emplace_back(read.key, read.value);
    });
    // Keys whose folded hashes meet in an open-addressed table of twice their number may be the same.
    std::size_t slots = 16;
    while (slots < 2 * keys.size())
        slots *= 2;
    std::vector<std::uint64_t> table(slots, 0);
    for (const auto& entry : keys) {
        const std::uint64_t hash = FoldedHash(entry.first) | 1; // 0 marks a free slot
        for (std::size_t slot = hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
            if (table[slot] == hash)
                return false;
            if (table[slot] == 0) {
                table[slot] = hash;
                break;
            }
        }
    }
    for (const auto& [key, value] : keys)
        visit(key, value);
    return true;
}

void IniDocument::RefreshIfChanged() {
    if (dirty_)
        return; // our pending changes win; they are written over the file at the next flush
    if (currentStamp() != stamp_)
        load();
}

const IniDocument::Section* IniDocument::lookUpSection(std::string_view name) const {
    auto it = firstSection_.find(rtl::LowerCase(name));
    return it == firstSection_.end() ? nullptr : &*it->second;
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    const Section* section = lookUpSection(name);
    if (section)
        makeEntries(*section);
    return section;
}

IniDocument::Section& IniDocument::sectionForWrite(std::string_view name) {
    if (Section* existing = findSection(name))
        return *existing;
    // Keep a blank line between the previous section and the new one.
    if (!sections_.empty()) {
        Section& last = sections_.back();
        makeEntries(last);
        if (last.entries.empty() || !trim(last.entries.back().raw).empty() || last.entries.back().isKey)
            last.entries.push_back(Entry{});
    } else if (!preamble_.empty() && !trim(preamble_.back()).empty()) {
        preamble_.emplace_back();
    }
    Section& section = sections_.emplace_back();
    section.name = std::string(name);
    firstSection_.emplace(rtl::LowerCase(name), std::prev(sections_.end()));
    return section;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    auto it = s->firstKey.find(rtl::LowerCase(key));
    if (it == s->firstKey.end())
        return std::nullopt;
    return it->second->value;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, const std::string& value) {
    Section& s = sectionForWrite(section);
    std::string folded = rtl::LowerCase(key);
    auto found = s.firstKey.find(folded);
    if (found != s.firstKey.end()) {
        Entry& entry = *found->second;
        if (entry.value == value)
            return;
        entry.value = value;
        entry.raw.clear();
        dirty_ = true;
        return;
    }
    // New keys go after the last line of the section that is not blank.
    auto insertAt = s.entries.end();
    while (insertAt != s.entries.begin()) {
        auto previous = std::prev(insertAt);
        if (previous->isKey || !trim(previous->raw).empty())
            break;
        insertAt = previous;
    }
    Entry entry;
    entry.isKey = true;
    entry.key = std::string(key);
    entry.value = value;
    auto it = s.entries.insert(insertAt, std::move(entry));
    s.firstKey.emplace(std::move(folded), it);
    dirty_ = true;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        auto first = firstSection_.find(rtl::LowerCase(it->name));
        if (first != firstSection_.end() && first->second == it)
            names.push_back(it->name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> IniDocument::SectionEntries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> result;
    VisitSectionEntries(section, [&result](std::string_view key, std::string_view value) {
        result.emplace_back(std::string(key), std::string(value));
    });
    return result;
}

void IniDocument::VisitSectionEntries(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    const Section* s = lookUpSection(section);
    if (s && s->pending && visitPendingLines(*s, visit))
        return;
    s = findSection(section);
    if (!s)
        return;
    // Without duplicate keys (as many keys as first keys), every key is the first of its name.
    std::size_t keys = 0;
    for (const Entry& entry : s->entries)
        keys += entry.isKey ? 1 : 0;
    const bool unique = keys == s->firstKey.size();
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
        if (!it->isKey)
            continue;
        if (!unique) {
            auto first = s->firstKey.find(rtl::LowerCase(it->key));
            if (first == s->firstKey.end() || first->second != it)
                continue;
        }
        visit(it->key, it->value);
    }
}

bool IniDocument::HasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

bool IniDocument::HasKeys(std::string_view section) const {
    const Section* s = lookUpSection(section);
    if (s && s->pending) {
        bool keys = false;
        ForEachLine(s->lines, [&keys](std::string_view line) {
            keys = ReadSectionLine(line).isKey;
            return !keys;
        });
        return keys;
    }
    return s && !s->firstKey.empty();
}

std::size_t IniDocument::LineCount(std::string_view section) const {
    const Section* s = lookUpSection(section);
    if (!s)
        return 0;
    return s->pending ? s->lineCount : s->entries.size();
}

void IniDocument::EraseSection(std::string_view section) {
    std::string folded = rtl::LowerCase(section);
    if (firstSection_.erase(folded) == 0)
        return;
    for (auto it = sections_.begin(); it != sections_.end();)
        it = rtl::LowerCase(it->name) == folded ? sections_.erase(it) : std::next(it);
    dirty_ = true;
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (!s)
        return;
    std::string folded = rtl::LowerCase(key);
    if (s->firstKey.erase(folded) == 0)
        return;
    for (auto it = s->entries.begin(); it != s->entries.end();)
        it = it->isKey && rtl::LowerCase(it->key) == folded ? s->entries.erase(it) : std::next(it);
    dirty_ = true;
}

std::string IniDocument::Serialize() const {
    std::string out;
    if (hadBom_)
        out += "\xEF\xBB\xBF";
    for (const auto& line : preamble_) {
        out += line;
        out += "\r\n";
    }
    for (const auto& section : sections_) {
        out += section.raw.empty() ? "[" + section.name + "]" : section.raw;
        out += "\r\n";
        // Pending lines are written as they were read, which is what their entries would write.
        ForEachLine(section.lines, [&out](std::string_view line) {
            out += line;
            out += "\r\n";
        });
        for (const auto& entry : section.entries) {
            if (!entry.raw.empty() || !entry.isKey)
                out += entry.raw;
            else
                out += entry.key + "=" + entry.value;
            out += "\r\n";
        }
    }
    return out;
}

void IniDocument::Flush() {
    if (!dirty_)
        return;
    if (unreadable_)
        fail(path_, EACCES);
    try {
        commit::WriteFileAtomically(path_, Serialize());
    } catch (const commit::CommitError& error) {
        throw EIniFileError(error.what());
    }
    dirty_ = false;
    stamp_ = currentStamp();
}

} // namespace ini
