#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace browser {

// Raised by a formatter given a value it cannot render; the attribute panes catch it.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Octets = std::span<const std::uint8_t>;

// The text with every character below code 32 replaced by a blank.
std::string SanitizeText(std::string text);

// Decimal text of a signed 32-bit integer -> dotted IPv4, most significant byte first.
// Raises FormatError for text that is not such a number.
std::string IntToIPStr(const std::string& decimalText);

// Seconds div 60 as decimal text.
std::string SecondsToMinutesStr(std::int32_t seconds);

// "<d> Days   <h> Hours   <m> Minutes" for the whole minutes of the seconds.
std::string SecondsToDaysHoursMinutes(std::int32_t seconds);

// Every byte in decimal; "." after each byte whose 1-based position is not a multiple of 4, ", "
// after the others when more bytes follow ("10.0.0.1, 10.0.0.2").
std::string OctetsToIPList(Octets octets);

// A flag byte, then address groups of four bytes joined by ","; " (mandatory)" for flag bit 0x01,
// " (multicast)" for 0x20, and for 0x10 a blank and the text from byte 9 on. Raises on an empty value.
std::string DhcpOptionToStr(Octets octets);

// The bytes as one big-endian unsigned number in decimal. Raises for more than 31 significant bits.
std::string OctetsToIntStr(Octets octets);

// "enabled" when the first byte is 1, else "disabled". Raises on an empty value.
std::string OctetToEnabledStr(Octets octets);

// Two upper-case hexadecimal digits per byte, no separator.
std::string OctetsToHexStr(Octets octets);

// The hardware types of the DHCP editor, "code=name", 22 entries: the ARP hardware types 1 to 21
// and last "FF=Any".
const std::vector<std::string>& HardwareTypeList();

} // namespace browser
