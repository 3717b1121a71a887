#include "platform/ini/IniFile.h"

#include "platform/ini/IniDocument.h"
#include "platform/rtl/SysUtils.h"

namespace ini {

namespace {

// Locks the shared document and brings it up to date with the file on disk.
class Access {
public:
    explicit Access(IniDocument& document) : document_(document), lock_(document.Mutex()) {
        document_.RefreshIfChanged();
    }
    IniDocument* operator->() { return &document_; }

private:
    IniDocument& document_;
    std::lock_guard<std::mutex> lock_;
};

// A line break inside a name or value would end the line early and could start a section.
std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

IniFile::IniFile(const std::string& fileName) : fileName_(fileName), document_(IniDocument::Open(fileName)) {}

IniFile::~IniFile() {
    try {
        std::lock_guard<std::mutex> lock(document_->Mutex());
        document_->Flush();
    } catch (...) {
        // nothing to report to from a destructor; UpdateFile() reports write errors
    }
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    Access doc(*document_);
    return doc->Value(section, key).value_or(def);
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Access doc(*document_);
    doc->SetValue(oneLine(section), oneLine(key), oneLine(value));
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    return rtl::StrToIntDef(ReadString(section, key, ""), def);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSections() const {
    Access doc(*document_);
    return doc->SectionNames();
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
    Access doc(*document_);
    std::vector<std::string> keys;
    for (auto& [key, value] : doc->SectionEntries(section))
        keys.push_back(key);
    return keys;
}

std::vector<std::string> IniFile::ReadSectionValues(const std::string& section) const {
    Access doc(*document_);
    std::vector<std::string> lines;
    for (auto& [key, value] : doc->SectionEntries(section))
        lines.push_back(key + "=" + value);
    return lines;
}

void IniFile::ReadSectionValues(
    const std::string& section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    Access doc(*document_);
    std::string line;
    doc->VisitSectionEntries(section, [&](std::string_view key, std::string_view value) {
        // A key written with "=" in it splits, as its line would, at that first "=".
        if (key.find('=') == std::string_view::npos) {
            visit(key, value);
            return;
        }
        line = std::string(key) + "=" + std::string(value);
        const std::string_view whole(line);
        const std::size_t equals = whole.find('=');
        visit(whole.substr(0, equals), whole.substr(equals + 1));
    });
}

bool IniFile::SectionExists(const std::string& section) const {
    Access doc(*document_);
    return doc->HasKeys(section);
}

std::size_t IniFile::SectionLineCount(const std::string& section) const {
    Access doc(*document_);
    return doc->LineCount(section);
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    Access doc(*document_);
    return doc->Value(section, key).has_value();
}

void IniFile::EraseSection(const std::string& section) {
    Access doc(*document_);
    doc->EraseSection(section);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    Access doc(*document_);
    doc->DeleteKey(section, key);
}

void IniFile::UpdateFile() {
    std::lock_guard<std::mutex> lock(document_->Mutex());
    document_->Flush();
}

} // namespace ini
