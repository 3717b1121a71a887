#include "export/core/ExporterShortFieldName.h"

#include "platform/rtl/SysUtils.h"

namespace exporter {

bool TShortFieldNameGenerator::TCaseInsensitiveLess::operator()(const std::string& a,
                                                                const std::string& b) const {
    return rtl::CompareText(a, b) < 0;
}

std::string TShortFieldNameGenerator::Generate(const std::string& name) {
    const std::string prefix = name.substr(0, MaxLength);
    auto [it, inserted] = prefixes_.try_emplace(prefix, 0);
    if (inserted)
        return prefix;
    const std::string suffix = "~" + std::to_string(++it->second);
    const size_t keep = suffix.size() < size_t(MaxLength) ? MaxLength - suffix.size() : 0;
    return prefix.substr(0, keep) + suffix;
}

} // namespace exporter
