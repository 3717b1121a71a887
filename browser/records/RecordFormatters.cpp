#include "browser/records/RecordFormatters.h"

#include <algorithm>
#include <charconv>

namespace browser {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, std::uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

// Parses decimal text the way the run-time library's StrToInt accepts it: blanks before, a sign,
// digits; nothing after.
bool ParseInt32(const std::string& text, std::int32_t& value) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) {
        return false;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') {
            return false;
        }
    }
    auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

} // namespace

std::string SanitizeText(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            c = ' ';
        }
    }
    return text;
}

std::string IntToIPStr(const std::string& decimalText) {
    std::int32_t value = 0;
    if (!ParseInt32(decimalText, value)) {
        throw FormatError("'" + decimalText + "' is not a valid integer value");
    }
    auto bits = static_cast<std::uint32_t>(value);
    return std::to_string(bits >> 24) + "." + std::to_string((bits >> 16) & 0xFF) + "." +
           std::to_string((bits >> 8) & 0xFF) + "." + std::to_string(bits & 0xFF);
}

std::string SecondsToMinutesStr(std::int32_t seconds) {
    return std::to_string(seconds / 60);
}

std::string SecondsToDaysHoursMinutes(std::int32_t seconds) {
    std::int32_t minutes = seconds / 60;
    return std::to_string(minutes / 1440) + " Days   " + std::to_string((minutes % 1440) / 60) + " Hours   " +
           std::to_string(minutes % 60) + " Minutes";
}

std::string OctetsToIPList(Octets octets) {
    std::string text;
    text.reserve(octets.size() * 4 + 8);
    for (std::size_t i = 1; i <= octets.size(); ++i) {
        text += std::to_string(octets[i - 1]);
        if (i % 4 != 0) {
            text += '.';
        } else if (i < octets.size()) {
            text += ", ";
        }
    }
    return text;
}

std::string DhcpOptionToStr(Octets octets) {
    if (octets.empty()) {
        throw FormatError("empty option value");
    }
    std::uint8_t flags = octets[0];
    std::string text;
    for (std::size_t group = 1; group < octets.size(); group += 4) {
        if (group > 1) {
            text += ',';
        }
        text += OctetsToIPList(octets.subspan(group, std::min<std::size_t>(4, octets.size() - group)));
    }
    if (flags & 0x01) {
        text += " (mandatory)";
    }
    if (flags & 0x20) {
        text += " (multicast)";
    }
    if (flags & 0x10) {
        text += ' ';
        if (octets.size() > 8) {
            text.append(reinterpret_cast<const char*>(octets.data()) + 8, octets.size() - 8);
        }
    }
    return text;
}

std::string OctetsToIntStr(Octets octets) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : octets) {
        value = (value << 8) | byte;
        if (value > 0x7FFFFFFFu) {
            throw FormatError("octet value has more than 31 significant bits");
        }
    }
    return std::to_string(value);
}

std::string OctetToEnabledStr(Octets octets) {
    if (octets.empty()) {
        throw FormatError("empty octet value");
    }
    return octets[0] == 1 ? "enabled" : "disabled";
}

std::string OctetsToHexStr(Octets octets) {
    std::string text;
    text.reserve(octets.size() * 2);
    for (std::uint8_t byte : octets) {
        AppendHexByte(text, byte);
    }
    return text;
}

const std::vector<std::string>& HardwareTypeList() {
    static const std::vector<std::string> list = {
        "1=Ethernet",
        "2=Experimental Ethernet",
        "3=Amateur Radio AX.25",
        "4=Proton ProNET Token Ring",
        "5=Chaos",
        "6=IEEE 802 Networks",
        "7=ARCNET",
        "8=Hyperchannel",
        "9=Lanstar",
        "10=Autonet Short Address",
        "11=Local Talk",
        "12=Local NET (IBM PCNET or SYTEK Localnet)",
        "13=Ultra Link",
        "14=SMDS",
        "15=Frame Relay",
        "16=ATM",
        "17=HDLC",
        "18=Fiber Channel",
        "19=ATM",
        "20=Serial Line",
        "21=ATM",
        "FF=Any",
    };
    return list;
}

} // namespace browser
