#pragma once

// Ten-character field names for formats that limit them (dBase).

#include <map>
#include <string>

namespace exporter {

class TShortFieldNameGenerator {
public:
    static constexpr int MaxLength = 10;

    // The first ten characters of name; a prefix already handed out gets a "~n" suffix instead of its
    // last characters (Customer~1, Customer~2, ...). Prefixes compare without regard to case.
    std::string Generate(const std::string& name);

private:
    struct TCaseInsensitiveLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, int, TCaseInsensitiveLess> prefixes_;
};

} // namespace exporter
