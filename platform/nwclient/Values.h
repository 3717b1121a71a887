// Attribute values: which value kind a syntax takes, sizes, equality and the
// store's binary form.
#pragma once

#include "platform/nwclient/NWClient.h"

#include <string>
#include <string_view>

namespace nwclient::values {

// The Value alternative a syntax takes.
std::size_t alternativeFor(uint32_t syntax);
// True when the value's alternative is the one of the syntax.
bool fitsSyntax(uint32_t syntax, const Value& value);
// True for the syntaxes whose values are names of directory objects.
bool isNameSyntax(uint32_t syntax);
// True for syntaxes held as 32-bit integers (8 integer, 22 counter, 24 time, 27 interval).
bool isIntegerSyntax(uint32_t syntax);

// The size a reply gives for the value (valueSize).
uint32_t size(const Value& value);
// Two values are the same value of the syntax (case-insensitive strings where the syntax is).
bool equal(uint32_t syntax, const Value& a, const Value& b);

// The store's form of a value; decode gives false for bytes that are not a value of the syntax.
std::string encode(const Value& value);
bool decode(uint32_t syntax, std::string_view bytes, Value& value);

} // namespace nwclient::values
