#include "browser/collection/StartupText.h"

#include <algorithm>
#include <cctype>

namespace browser {

namespace {
char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = Lower(a[i]);
        const char y = Lower(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Upper);
    return text;
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

int IndexOfName(const std::vector<std::string>& list, const std::string& name) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (SameTextIgnoringCase(list[i], name))
            return static_cast<int>(i);
    return -1;
}

void SortUniqueNames(std::vector<std::string>& names) {
    std::vector<std::string> unique;
    for (const auto& name : names)
        if (IndexOfName(unique, name) < 0)
            unique.push_back(name);
    std::stable_sort(unique.begin(), unique.end(), [](const std::string& a, const std::string& b) {
        return CompareTextIgnoringCase(a, b) < 0;
    });
    names = std::move(unique);
}

std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement) {
    if (pattern.empty())
        return text;
    const std::string lowerText = LowerCase(text);
    const std::string lowerPattern = LowerCase(pattern);
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = lowerText.find(lowerPattern, from);
        if (at == std::string::npos)
            break;
        result.append(text, from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string WithTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/")
        folder += '/';
    return folder;
}

} // namespace browser
