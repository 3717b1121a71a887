#include "export/xls/ExporterXLSSheetName.h"

#include <QString>

#include <algorithm>

namespace exporter {

namespace {

constexpr std::size_t MaxSheetNameLength = 31;

std::u16string cut(std::u16string name, std::size_t length) {
    if (name.size() <= length)
        return name;
    if (length > 0 && name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF)
        --length;
    name.resize(length);
    return name;
}

bool isUsed(const std::u16string& name, const std::vector<std::u16string>& used) {
    const QString candidate = QString::fromStdU16String(name);
    return std::any_of(used.begin(), used.end(), [&](const std::u16string& u) {
        return QString::fromStdU16String(u).compare(candidate, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

std::u16string LegalSheetName(const std::u16string& title, const std::vector<std::u16string>& used,
                              const std::u16string& fallback) {
    std::u16string name = title;
    for (char16_t& ch : name)
        if (std::u16string_view(u":\\/?*[]").find(ch) != std::u16string_view::npos)
            ch = u'_';
    if (!name.empty() && name.front() == u'\'')
        name.front() = u'_';
    if (!name.empty() && name.back() == u'\'')
        name.back() = u'_';
    if (QString::fromStdU16String(name).trimmed().isEmpty())
        name = fallback;
    name = cut(name, MaxSheetNameLength);
    if (!isUsed(name, used))
        return name;
    for (int n = 2;; ++n) {
        const std::u16string suffix = u" (" + QString::number(n).toStdU16String() + u")";
        const std::u16string candidate = cut(name, MaxSheetNameLength - suffix.size()) + suffix;
        if (!isUsed(candidate, used))
            return candidate;
    }
}

} // namespace exporter
