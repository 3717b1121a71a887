// Typeless dotted directory names: parsing, escaping, resolution and patterns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nwclient::names {

// A name split into its components, leaf first, with escapes removed.
using Components = std::vector<std::string>;

// Splits a dotted name. A leading "." or a trailing "[Root]" component (any case)
// makes the name absolute; "[Root]" alone names the root (no components).
// Returns 0, or ERR_INVALID_OBJECT_NAME for an empty component or a stray escape.
int32_t parse(std::string_view name, Components& components, bool& absolute);

// The full components of a name: relative names are completed with the name context.
int32_t resolve(std::string_view name, std::string_view nameContext, Components& components);

// "." inside a component becomes "\.", "\" becomes "\\".
std::string escapeComponent(std::string_view component);
// The dotted name of components[from..], leaf first; "[Root]" when there are none.
std::string join(const Components& components, std::size_t from = 0);
// The lookup key of components[from..]: lower case, joined by an unprintable separator.
std::string key(const Components& components, std::size_t from = 0);

std::string lowerAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Pattern with "*" for any run of characters, compared without regard to case.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace nwclient::names
