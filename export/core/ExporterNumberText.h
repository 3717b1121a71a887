#pragma once

// Plain number texts: which cell texts SQL scripts and DIF files may carry as numbers.

#include "platform/rtl/LocaleFacts.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace exporter {

// The text with the locale's thousand separators removed and its decimal separator made ".".
std::string PlainNumberText(std::string_view text,
                            const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());
// What PutNumberLiteral gives for a text that is no number literal.
inline constexpr std::size_t kNoNumberLiteral = std::size_t(-1);
// Writes PlainNumberText(text) at out, which has room for text.size() bytes, and gives its size when it
// is a number literal (IsNumberLiteral); kNoNumberLiteral, with any bytes at out, when it is not.
std::size_t PutNumberLiteral(char* out, std::string_view text,
                             const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());

// Whether the text is a decimal number literal: an optional sign, digits with an optional "." and
// fraction (or "." and digits), an optional exponent ("e" or "E", optional sign, digits). Blanks,
// separators, NaN and infinity texts are not.
bool IsNumberLiteral(std::string_view text);

} // namespace exporter
