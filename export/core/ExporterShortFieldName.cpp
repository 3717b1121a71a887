#include "export/core/ExporterShortFieldName.h"

#include "export/core/ExporterMarkup.h"

namespace exporter {

namespace {

// The base letters of U+00C0 .. U+00FF; "_" where the character is no letter.
constexpr char kLatin1Letters[] = "AAAAAAACEEEEIIIIDNOOOOO_OUUUUYTSAAAAAAACEEEEIIIIDNOOOOO_OUUUUYTY";

char LegalChar(char32_t ch) {
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_')
        return char(ch);
    if (ch >= 'a' && ch <= 'z')
        return char(ch - 'a' + 'A');
    if (ch >= 0xC0 && ch <= 0xFF)
        return kLatin1Letters[ch - 0xC0];
    return 0;
}

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

std::string TShortFieldNameGenerator::LegalName(const std::string& name) {
    std::string out;
    bool gap = false;
    size_t pos = 0;
    while (pos < name.size()) {
        char32_t ch = 0;
        const int length = ExportDecodeUtf8(name, pos, ch);
        pos += size_t(length > 0 ? length : 1);
        const char c = length > 0 ? LegalChar(ch) : 0;
        if (c == 0 || c == '_') {
            gap = gap || c == 0;
            if (c == '_') {
                out += '_';
                gap = false;
            }
            continue;
        }
        if (gap && !out.empty() && out.back() != '_')
            out += '_';
        gap = false;
        out += c;
    }
    bool hasLetterOrDigit = false;
    for (char c : out)
        hasLetterOrDigit = hasLetterOrDigit || c != '_';
    if (!hasLetterOrDigit)
        return "FIELD";
    if (!IsLetter(out[0]))
        out.insert(0, "F");
    return out.substr(0, MaxLength);
}

std::string TShortFieldNameGenerator::Generate(const std::string& name) {
    const std::string legal = LegalName(name);
    std::string result = legal;
    for (int n = 1; used_.count(result) != 0; ++n) {
        const std::string suffix = "_" + std::to_string(n);
        result = legal.substr(0, size_t(MaxLength) - suffix.size()) + suffix;
    }
    used_.insert(result);
    return result;
}

} // namespace exporter
