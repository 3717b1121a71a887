#pragma once

// Legal, unique ten-character field names for formats that limit them (dBase).

#include <set>
#include <string>

namespace exporter {

class TShortFieldNameGenerator {
public:
    static constexpr int MaxLength = 10;

    // A field name made of the column name (UTF-8): upper-case ASCII letters, digits and "_", at most ten
    // characters, starting with a letter, and unlike every name handed out before. Accented Latin letters
    // lose their accents; each run of other characters becomes one "_" (none at the end); a name that does
    // not start with a letter gets an "F" in front, one without letters or digits is "FIELD". A name
    // already handed out gets a "_n" suffix instead of its last characters (CUSTOMER_1, CUSTOMER_2, ...).
    std::string Generate(const std::string& name);

    // The legal form of a name, before it is made unique.
    static std::string LegalName(const std::string& name);

private:
    std::set<std::string> used_;
};

} // namespace exporter
