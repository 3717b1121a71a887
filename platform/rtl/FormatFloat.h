#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <string>
#include <string_view>

namespace rtl {

// Classic FormatFloat. The format has up to three sections separated by ';' (positive; negative;
// zero). In a section: '0' digit placeholder, '#' optional digit, '.' decimal separator (the first
// one), ',' thousands separators on (anywhere in the section), "E+" "E-" "e+" "e-" scientific
// notation, '"..."' and '\'...\'' literal text; anything else is copied. An empty format gives
// FloatToStr's result. A value that needs more than 18 integer digits falls back to ffGeneral.
std::string FormatFloat(std::string_view format, double value,
                        const LocaleFacts& facts = LocaleFacts::Current());

} // namespace rtl
