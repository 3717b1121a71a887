#include "export/xls/ExporterXLSCellValues.h"

#include "export/xls/ExporterXLSUtils.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace exporter {

namespace {

constexpr std::uint64_t LargestExactInteger = std::uint64_t(1) << 53;

// The powers of ten a double holds exactly.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest text read directly: 19 digits never overflow the integer.
constexpr std::size_t LongestPlainText = 19;

// Reads digits into the integer; false when there are none.
bool readDigits(const char*& p, const char* end, std::uint64_t& integer) {
    const char* const start = p;
    for (; p != end && isDigit(*p); ++p)
        integer = integer * 10 + std::uint64_t(*p - '0');
    return p != start;
}

} // namespace

bool XlsTextToNumber(std::string_view text, double& value, const rtl::LocaleFacts& facts) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    std::uint64_t integer = 0;
    std::ptrdiff_t decimals = 0;
    bool plain = text.size() <= LongestPlainText && readDigits(p, end, integer);
    if (plain && p != end && *p == facts.DecimalSeparator) {
        const char* const first = ++p;
        plain = readDigits(p, end, integer);
        decimals = p - first;
    }
    if (!plain || p != end || integer > LargestExactInteger || decimals >= std::ptrdiff_t(std::size(ExactPowersOfTen)))
        return rtl::TryStrToFloat(text, value, facts);
    const double magnitude = double(integer) / ExactPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

bool TxlsDateTexts::Read(std::string_view text, rtl::TDateTime& value) {
    if (text.empty() || text.size() > LongestText)
        return rtl::TryStrToDateTime(text, value);
    const std::uint32_t hash = HashBytes(text);
    if (slots_.empty())
        slots_.resize(2 * HeldTexts);
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    for (; slots_[slot].Length != 0; slot = (slot + 1) & mask) {
        const Slot& held = slots_[slot];
        if (held.Hash == hash && held.Length == text.size() && std::memcmp(held.Text, text.data(), text.size()) == 0) {
            value = held.Value;
            return held.Valid;
        }
    }
    bool readsClock = false;
    rtl::TDateTime read = 0;
    const bool valid = rtl::TryStrToDateTime(text, read, rtl::LocaleFacts::Current(), &readsClock);
    if (valid)
        value = read;
    if (readsClock)
        return valid;
    if (held_ == HeldTexts) {
        // Full: start afresh rather than let the probes grow long.
        std::fill(slots_.begin(), slots_.end(), Slot{});
        held_ = 0;
        for (slot = hash & mask; slots_[slot].Length != 0;)
            slot = (slot + 1) & mask;
    }
    Slot& fresh = slots_[slot];
    fresh.Hash = hash;
    fresh.Length = static_cast<std::uint8_t>(text.size());
    fresh.Valid = valid;
    std::memcpy(fresh.Text, text.data(), text.size());
    fresh.Value = read;
    ++held_;
    return valid;
}

void TxlsDateTexts::Clear() {
    slots_ = {};
    held_ = 0;
}

} // namespace exporter
