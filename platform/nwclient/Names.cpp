#include "platform/nwclient/Names.h"

#include "platform/nwclient/NWClient.h"

#include <cctype>

namespace nwclient::names {
namespace {

constexpr char KEY_SEPARATOR = '\x1f';

char lowerChar(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = lowerChar(c);
    return lower;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

int32_t parse(std::string_view name, Components& components, bool& absolute) {
    components.clear();
    absolute = false;
    if (name.empty())
        return SUCCESS;
    if (name.front() == '.') {
        absolute = true;
        name.remove_prefix(1);
    }
    std::string current;
    bool escaped = false;
    bool currentHasEscape = false;
    for (char c : name) {
        if (escaped) {
            current.push_back(c);
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
            currentHasEscape = true;
        } else if (c == '.') {
            if (current.empty())
                return ERR_INVALID_OBJECT_NAME;
            components.push_back(std::move(current));
            current.clear();
            currentHasEscape = false;
        } else {
            current.push_back(c);
        }
    }
    if (escaped || current.empty())
        return ERR_INVALID_OBJECT_NAME;
    bool lastIsRoot = !currentHasEscape && equalsIgnoreCase(current, "[Root]");
    components.push_back(std::move(current));
    if (lastIsRoot) {
        components.pop_back();
        absolute = true;
    }
    for (const std::string& component : components)
        if (equalsIgnoreCase(component, "[Root]"))
            return ERR_INVALID_OBJECT_NAME; // the root can only be the last component
    return SUCCESS;
}

int32_t resolve(std::string_view name, std::string_view nameContext, Components& components) {
    bool absolute = false;
    if (int32_t result = parse(name, components, absolute); result != SUCCESS)
        return result;
    if (absolute)
        return SUCCESS;
    Components context;
    bool contextAbsolute = false;
    if (parse(nameContext, context, contextAbsolute) != SUCCESS)
        return ERR_INVALID_OBJECT_NAME;
    components.insert(components.end(), context.begin(), context.end());
    return SUCCESS;
}

std::string escapeComponent(std::string_view component) {
    std::string escaped;
    escaped.reserve(component.size());
    for (char c : component) {
        if (c == '.' || c == '\\')
            escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

std::string join(const Components& components, std::size_t from) {
    if (from >= components.size())
        return "[Root]";
    std::string dotted;
    for (std::size_t i = from; i < components.size(); ++i) {
        if (i > from)
            dotted.push_back('.');
        dotted += escapeComponent(components[i]);
    }
    return dotted;
}

std::string key(const Components& components, std::size_t from) {
    std::string result;
    for (std::size_t i = from; i < components.size(); ++i) {
        if (i > from)
            result.push_back(KEY_SEPARATOR);
        for (char c : components[i])
            result.push_back(lowerChar(c));
    }
    return result;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    // Iterative matcher with back-tracking to the last "*".
    std::size_t p = 0, t = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && lowerChar(pattern[p]) == lowerChar(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace nwclient::names
