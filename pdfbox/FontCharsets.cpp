#include "pdfbox/FontCharsets.h"

#include "platform/rtl/SysUtils.h"

#include <array>

namespace pdfbox {

namespace {

struct TCharsetName {
    std::string_view Name;
    int Charset;
};

constexpr std::array<TCharsetName, 8> kCharsets{{
    {"ANSI", 0},
    {"ARABIC", 178},
    {"BALTIC", 186},
    {"EASTEUROPE", 238},
    {"GREEK", 161},
    {"HEBREW", 177},
    {"RUSSIAN", 204},
    {"TURKISH", 162},
}};

} // namespace

std::optional<int> FontCharsetByName(std::string_view name) {
    const std::string wanted = rtl::UpperCase(name);
    for (const TCharsetName& charset : kCharsets)
        if (charset.Name == wanted)
            return charset.Charset;
    return std::nullopt;
}

} // namespace pdfbox
