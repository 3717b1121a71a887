#include "directory/nwextra.h"

#include "directory/Tolvex.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace directory {

namespace {

// Stands in for an escaped "\." while a name is cut.
constexpr char kEscapedDot = '\x01';

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    std::string::size_type pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

std::string HideEscapes(const std::string& name) {
    return ReplaceAll(name, "\\.", std::string(1, kEscapedDot));
}

std::string RestoreEscapes(std::string name, bool keepEscapes) {
    if (keepEscapes) {
        return ReplaceAll(std::move(name), std::string(1, kEscapedDot), "\\.");
    }
    std::replace(name.begin(), name.end(), kEscapedDot, '.');
    return name;
}

// Drops the leading component up to and including the first separator, count
// times, stopping when no separator remains.
std::string DropLeading(std::string text, int count, char separator) {
    for (int i = 0; i < count; ++i) {
        const auto pos = text.find(separator);
        if (pos == std::string::npos) {
            break;
        }
        text.erase(0, pos + 1);
    }
    return text;
}

std::string Component(const std::string& text, int index, char separator) {
    std::string rest = DropLeading(text, index, separator);
    const auto pos = rest.find(separator);
    return pos == std::string::npos ? rest : rest.substr(0, pos);
}

std::string EscapeDots(const std::string& text) {
    return ReplaceAll(text, ".", "\\.");
}

bool IsAnonymousTop(const std::string& text) {
    return rtl::SameText(text, "[Root]") || rtl::SameText(text, "[Public]");
}

} // namespace

std::string GetNameComponent(const std::string& name, int index) {
    return RestoreEscapes(Component(HideEscapes(name), index, '.'), false);
}

std::string DropLeadingComponents(const std::string& name, int count, bool keepEscapes) {
    const std::string hidden = HideEscapes(name);
    if (hidden.find('.') == std::string::npos) {
        return {};
    }
    return RestoreEscapes(DropLeading(hidden, count, '.'), keepEscapes);
}

std::string DropTrailingComponents(const std::string& name, int count, bool returnTail, char separator) {
    const std::string hidden = HideEscapes(name);
    std::string head = hidden;
    for (int i = 0; i < count; ++i) {
        const auto pos = head.rfind(separator);
        head = pos == std::string::npos ? std::string() : head.substr(0, pos);
    }
    if (!returnTail) {
        return RestoreEscapes(head, true);
    }
    if (head.empty()) {
        return name;
    }
    const auto tailStart = std::min(head.size() + 1, hidden.size());
    return RestoreEscapes(hidden.substr(tailStart), true);
}

std::string GetPathComponent(const std::string& path, int index) {
    return Component(path, index, '\\');
}

std::string NodePathToDN(const ITreeNode* node) {
    if (node == nullptr) {
        return {};
    }
    const ITreeNode* parent = node->Parent();
    if (parent == nullptr) {
        return node->Text();
    }
    std::string result = EscapeDots(node->Text());
    if (parent->Parent() == nullptr) {
        const std::string top = parent->Text();
        if (!IsAnonymousTop(top)) {
            result += "." + top;
        }
        return result;
    }
    return result + "." + NodePathToDN(parent);
}

std::string NodePathToReversedName(const ITreeNode* node, char separator) {
    if (node == nullptr) {
        return {};
    }
    const ITreeNode* parent = node->Parent();
    if (parent == nullptr) {
        return node->Text();
    }
    const std::string own = EscapeDots(node->Text());
    if (parent->Parent() == nullptr) {
        const std::string top = parent->Text();
        return IsAnonymousTop(top) ? own : top + separator + own;
    }
    return NodePathToReversedName(parent, separator) + separator + own;
}

int WindowsPlatformCode(bool isWindowsNT, int majorVersion, int minorVersion) {
    if (!isWindowsNT) {
        return 1;
    }
    if (majorVersion < 5) {
        return 2;
    }
    switch (minorVersion) {
    case 0:
        return 200;
    case 1:
        return 201;
    case 2:
        return 202;
    default:
        return 299;
    }
}

int GetWindowsPlatform() {
    return WindowsPlatformCode(false, 0, 0);
}

std::uint32_t SwapBytes32(std::uint32_t value) {
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
           ((value & 0xFF000000u) >> 24);
}

int IconIndexForClass(const std::string& className) {
    const int icon = GetIconNumber(className);
    return icon >= 0 ? icon : GetIconNumber("Unknown2");
}

} // namespace directory
