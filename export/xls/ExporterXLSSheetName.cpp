#include "export/xls/ExporterXLSSheetName.h"

#include "export/xls/ExporterXLSUtils.h"

#include <QString>

#include <algorithm>

namespace exporter {

namespace {

constexpr std::size_t MaxSheetNameLength = 31;

// The name under full Unicode case folding, as readers compare sheet names: the full upper-case
// mapping (which turns "ß" into "SS" and "ﬁ" into "FI") followed by simple folding.
QString foldedName(const std::u16string& name) {
    return QString::fromStdU16String(name).toUpper().toCaseFolded();
}

bool isUsed(const std::u16string& name, const std::vector<std::u16string>& used) {
    const QString candidate = foldedName(name);
    return std::any_of(used.begin(), used.end(),
                       [&](const std::u16string& u) { return foldedName(u) == candidate; });
}

// Characters no sheet name may hold: the reserved punctuation and the control characters.
bool isForbidden(char16_t ch) {
    return std::u16string_view(u":\\/?*[]").find(ch) != std::u16string_view::npos || ch < 0x20 ||
           (ch >= 0x7F && ch <= 0x9F);
}

} // namespace

std::u16string LegalSheetName(const std::u16string& title, const std::vector<std::u16string>& used,
                              const std::u16string& fallback) {
    std::u16string name = title;
    for (char16_t& ch : name)
        if (isForbidden(ch))
            ch = u'_';
    if (!name.empty() && name.front() == u'\'')
        name.front() = u'_';
    if (!name.empty() && name.back() == u'\'')
        name.back() = u'_';
    if (QString::fromStdU16String(name).trimmed().isEmpty())
        name = fallback;
    name = CutUtf16(name, MaxSheetNameLength);
    if (!isUsed(name, used))
        return name;
    for (int n = 2;; ++n) {
        const std::u16string suffix = u" (" + QString::number(n).toStdU16String() + u")";
        const std::u16string candidate = CutUtf16(name, MaxSheetNameLength - suffix.size()) + suffix;
        if (!isUsed(candidate, used))
            return candidate;
    }
}

} // namespace exporter
