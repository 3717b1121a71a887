#include "export/xls/ExporterXLSDateFormat.h"

#include "platform/rtl/DatePattern.h"

#include <cmath>
#include <string_view>

namespace exporter {

namespace {

// Characters a date format code shows as they are; everything else is quoted.
constexpr std::string_view DatePlainLiterals = " -./:,()$+";
// Those of a number format code ('.' and ',' are tokens there, '/' makes a fraction).
constexpr std::string_view NumberPlainLiterals = " -()$+";

// Appends literal text to a format code: as it is when every character is plain, else in double
// quotes (each character escaped when the text holds a double quote itself).
void appendLiteral(std::string& out, const std::string& text, std::string_view plainCharacters) {
    if (text.empty())
        return;
    if (text.find_first_not_of(plainCharacters) == std::string::npos) {
        out += text;
    } else if (text.find('"') == std::string::npos) {
        out += '"' + text + '"';
    } else {
        for (char c : text) {
            out += '\\';
            out += c;
        }
    }
}

class Translator {
public:
    explicit Translator(const rtl::LocaleFacts& facts) : facts_(facts) {}

    std::string Run(std::string_view pattern) {
        append(pattern, 0);
        flushLiteral();
        return out_;
    }

private:
    void literal(std::string_view text) { pending_.append(text); }

    void flushLiteral() {
        appendLiteral(out_, pending_, DatePlainLiterals);
        pending_.clear();
    }

    void code(std::string_view text) {
        flushLiteral();
        out_.append(text);
    }

    void repeat(char c, std::size_t count) {
        flushLiteral();
        out_.append(count, c);
    }

    // The same tokens as the run-time library reads: runs of one letter, "m" after "h" meaning
    // minutes, the am/pm markers and quoted literals.
    void append(std::string_view format, int level) {
        if (level >= 2)
            return;
        char lastLetter = ' ';
        std::size_t i = 0;
        while (i < format.size()) {
            const char starter = format[i];
            const auto [token, count] = rtl::ReadDatePatternRun(format, i, lastLetter);
            switch (token) {
            case 'Y':
                repeat('y', count <= 2 ? 2 : 4);
                i += count;
                break;
            case 'M':
                repeat('m', count > 4 ? 4 : count);
                i += count;
                break;
            case 'D':
                if (count <= 4)
                    repeat('d', count);
                else
                    append(count == 5 ? facts_.ShortDateFormat : facts_.LongDateFormat, level + 1);
                i += count;
                break;
            case 'H':
                repeat('h', count > 2 ? 2 : count);
                i += count;
                break;
            case 'N':
                repeat('m', count > 2 ? 2 : count);
                i += count;
                break;
            case 'S':
                repeat('s', count > 2 ? 2 : count);
                i += count;
                break;
            case 'Z':
                repeat('0', count > 3 ? 3 : count);
                i += count;
                break;
            case 'T':
                append(count == 1 ? facts_.ShortTimeFormat : facts_.LongTimeFormat, level + 1);
                i += count;
                break;
            case 'C':
                append(facts_.ShortDateFormat, level + 1);
                literal(" ");
                append(facts_.LongTimeFormat, level + 1);
                i += count;
                break;
            case 'A':
                switch (const std::size_t length = rtl::AmPmMarkerLength(format, i)) {
                case 3: // A/P, as written
                    code(format.substr(i, 3));
                    i += 3;
                    break;
                case 0:
                    literal(format.substr(i, 1));
                    ++i;
                    break;
                default: // AM/PM and AMPM
                    code("AM/PM");
                    i += length;
                    break;
                }
                break;
            case '/':
            case ':':
                code(format.substr(i, 1));
                ++i;
                break;
            case '\'':
            case '"': {
                std::size_t end = format.find(starter, i + 1);
                if (end == std::string_view::npos)
                    end = format.size();
                literal(format.substr(i + 1, end - i - 1));
                i = end + 1;
                break;
            }
            default:
                literal(format.substr(i, 1));
                ++i;
                break;
            }
        }
    }

    const rtl::LocaleFacts& facts_;
    std::string out_;
    std::string pending_;
};

} // namespace

std::string XlsDateTimeFormat(const std::string& pattern, const rtl::LocaleFacts& facts) {
    return Translator(facts).Run(pattern);
}

std::string XlsNumberFormat(const std::string& pattern) {
    std::string out, pending;
    auto code = [&](std::string_view text) {
        appendLiteral(out, pending, NumberPlainLiterals);
        pending.clear();
        out.append(text);
    };
    const std::string_view p = pattern;
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        if (c == '0' || c == '#' || c == '.' || c == ',' || c == ';') {
            code(p.substr(i, 1));
            ++i;
        } else if ((c == 'E' || c == 'e') && i + 1 < p.size() && (p[i + 1] == '+' || p[i + 1] == '-')) {
            code(p.substr(i, 2));
            i += 2;
        } else if (c == '\'' || c == '"') {
            std::size_t end = p.find(c, i + 1);
            if (end == std::string_view::npos)
                end = p.size();
            pending.append(p.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            pending += c;
            ++i;
        }
    }
    appendLiteral(out, pending, NumberPlainLiterals);
    return out;
}

bool XlsFormatShowsTimeOnly(std::string_view code) {
    bool time = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = char(code[i] | 0x20);
        if (code[i] == '"') { // a quoted literal
            const std::size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (code[i] == '\\' || code[i] == '_' || code[i] == '*') { // the next character is literal
            ++i;
        } else if (code[i] == '[') { // a colour, condition or locale; [h], [mm], [ss] are elapsed time
            const std::size_t end = code.find(']', i + 1);
            const char first = i + 1 < code.size() ? char(code[i + 1] | 0x20) : '\0';
            time = time || first == 'h' || first == 'm' || first == 's';
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == 'd' || c == 'y' || c == 'e' || c == 'g' || c == 'b') {
            return false;
        } else if (c == 'h' || c == 's') {
            time = true;
        }
    }
    return time; // "m" alone is the month; with hours or seconds it counts minutes (AM/PM adds no letter that
                 // counts)
}

bool XlsDateSerial(double value, bool timeOnly, double& serial) {
    constexpr double firstOfJanuary1900 = 2, firstOfMarch1900 = 61;
    if (std::isfinite(value) &&
        (value < 0 || (value < 1 && !timeOnly) || (value >= 1 && value < firstOfJanuary1900)))
        return false;
    serial = value >= 1 && value < firstOfMarch1900 ? value - 1 : value;
    return true;
}

} // namespace exporter
