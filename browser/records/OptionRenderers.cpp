#include "browser/records/OptionRenderers.h"

#include "browser/records/LabelTables.h"

#include <algorithm>
#include <cstdint>

namespace browser {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

std::string HexByte(std::uint8_t byte) {
    return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
}

// Bytes of an integer element of a DHCP value kind (1, 2 or 4), or 0 for other kinds.
std::size_t ElementWidth(int kind) {
    switch (kind) {
    case dvtByte:
        return 1;
    case dvtWord:
        return 2;
    case dvtLong:
        return 4;
    default:
        return 0;
    }
}

// An integer value; a list of integers shows each element, joined by ", ".
std::string IntegerValue(Octets data, int type) {
    const std::size_t width = ElementWidth(type & 0x0F);
    if ((type & dvtList) == 0 || width == 0 || data.empty() || data.size() % width != 0)
        return OctetsToUnsignedStr(data);
    std::string text;
    for (std::size_t at = 0; at < data.size(); at += width) {
        if (at > 0)
            text += ", ";
        text += OctetsToUnsignedStr(data.subspan(at, width));
    }
    return text;
}

std::string SubOptionValue(Octets data, int type) {
    switch (type) {
    case 1:
    case 4:
    case 5:
        return OctetsToUnsignedStr(data);
    case 6:
        return OctetsToHexStr(data);
    case 11:
        return OctetsToIPList(data);
    case 12:
        return OctetToEnabledStr(data);
    default:
        return OctetsToText(data);
    }
}

// The rows of the NetWare/IP sub-options inside one option's data.
void AddNetWareIPRows(Octets data, PaneRows& rows) {
    std::size_t at = 0;
    while (at + 2 <= data.size()) {
        const int code = data[at];
        const std::size_t length = data[at + 1];
        if (at + 2 + length > data.size())
            break; // a truncated sub-option ends the walk
        const Octets subData = data.subspan(at + 2, length);
        at += 2 + length;
        PaneRow row;
        const NetWareIPSubOption* subOption = FindNetWareIPSubOption(code);
        if (subOption == nullptr) {
            row.caption = "       " + std::to_string(code);
            row.value = UnrenderableValue(subData);
        } else {
            row.caption = "       " + subOption->name;
            try {
                row.value = SubOptionValue(subData, subOption->type);
            } catch (const FormatError&) {
                row.value = UnrenderableValue(subData);
            }
        }
        rows.push_back(std::move(row));
    }
}

std::string OptionValue(Octets data, int type) {
    switch (type & 0x0F) {
    case dvtByte:
    case dvtWord:
    case dvtLong:
        return IntegerValue(data, type);
    case dvtIPAddress:
        return OctetsToIPList(data);
    case dvtBoolean:
        return OctetToEnabledStr(data);
    case dvtDirectoryAgent:
        return DhcpOptionToStr(data);
    case dvtServiceScope:
        return data.size() > 2 ? OctetsToText(data.subspan(2)) : std::string();
    default:
        return OctetsToText(data);
    }
}

std::uint32_t BigEndian32(Octets bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

std::uint32_t LittleEndian32(Octets bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) |
           (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

std::string PreferenceTypeText(std::uint32_t type) {
    std::string text = type >= 16 ? "List of " : "";
    switch (type & 0x0F) {
    case 2:
        return text + "String";
    case 3:
        return text + "1 byte ungigned integer";
    case 4:
        return text + "2 bytes unsigned integer";
    case 5:
        return text + "4 bytes unsigned integer";
    case 7:
        return text + "1 byte integer";
    case 8:
        return text + "2 bytes integer";
    case 9:
        return text + "4 bytes integer";
    case 11:
        return text + "IP-address";
    case 12:
        return text + "Boolean";
    case 13:
        return text + "Novell predefined format";
    case 14:
        return text + "Direcotory Agent format";
    case 15:
        return text + "Service Scope format";
    default:
        return text;
    }
}

} // namespace

std::string HardwareTypeName(int code) {
    const std::vector<std::string>& list = HardwareTypeList();
    std::size_t index = 0;
    if (code >= 1 && code <= 21)
        index = static_cast<std::size_t>(code - 1);
    else if (code == 255)
        index = 21;
    else
        return {};
    if (index >= list.size())
        return {};
    const std::string& entry = list[index];
    const std::size_t equals = entry.find('=');
    return equals == std::string::npos ? entry : entry.substr(equals + 1);
}

std::string OctetsToUnsignedStr(Octets octets) {
    std::size_t first = 0;
    while (first < octets.size() && octets[first] == 0)
        ++first;
    if (octets.size() - first > 8)
        throw FormatError("octet value too long for a number");
    std::uint64_t value = 0;
    for (std::size_t i = first; i < octets.size(); ++i)
        value = (value << 8) | octets[i];
    return std::to_string(value);
}

std::string UnrenderableValue(Octets octets) {
    std::string text = "????";
    for (std::uint8_t byte : octets) {
        text += ' ';
        text += HexByte(byte);
    }
    return text;
}

std::string OctetsToText(Octets octets) {
    std::string text;
    for (std::uint8_t byte : octets) {
        if (byte == 0)
            break;
        text += static_cast<char>(byte);
    }
    return SanitizeText(std::move(text));
}

PaneRows FormatOptionValue(Octets value) {
    PaneRows rows;
    std::size_t at = 4;
    while (at + 2 <= value.size()) {
        const int number = value[at];
        const std::size_t length = value[at + 1];
        if (at + 2 + length > value.size())
            break; // a truncated record ends the walk
        const Octets data = value.subspan(at + 2, length);
        at += 2 + length;

        const DhcpOptionEntry* option = FindDhcpOption(number);
        if (option == nullptr) {
            rows.push_back({"    " + std::to_string(number) + "=Unknown parameter", "????", false, 0});
            continue;
        }
        if ((option->type & 0x0F) == dvtNetWareIP) {
            rows.push_back({"    " + option->Text(), {}, false, 0});
            AddNetWareIPRows(data, rows);
            continue;
        }
        std::string text;
        try {
            text = OptionValue(data, option->type);
        } catch (const FormatError&) {
            text = UnrenderableValue(data);
        }
        rows.push_back({"    " + option->Text(), std::move(text), false, 0});
    }
    return rows;
}

PaneRows FormatMacRecord(Octets value) {
    PaneRows rows;
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t length = value[at];
        if (at + 1 + length + 1 > value.size())
            break; // a truncated record ends the walk
        const Octets record = value.subspan(at, 1 + length);
        at += 1 + length + 1;
        if (length != 7) {
            rows.push_back({"   Unknown Mac Record", {}, false, 0});
            continue;
        }
        const std::string name = HardwareTypeName(record[1]);
        PaneRow row;
        row.caption = "   " + (name.empty() ? std::string("Unknown network type") : name);
        for (std::size_t i = 2; i < 8; ++i) {
            if (i > 2)
                row.value += ':';
            row.value += HexByte(record[i]);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

PaneRows ListCfgPreferences(Octets valueList) {
    PaneRows rows;
    std::size_t at = 0;
    while (at + 4 <= valueList.size()) {
        const std::size_t length = LittleEndian32(valueList, at);
        if (length > valueList.size() - at - 4)
            break; // a truncated value ends the walk
        const Octets entry = valueList.subspan(at + 4, length);
        at += 4 + length;
        if (entry.size() < 16) {
            rows.push_back({"    ????", UnrenderableValue(entry), false, 0});
            continue;
        }
        const std::uint32_t number = BigEndian32(entry, 8);
        const std::uint32_t type = BigEndian32(entry, 12);
        const Octets name = entry.subspan(16, std::min<std::size_t>(256, entry.size() - 16));
        rows.push_back(
            {"    " + std::to_string(number) + "=" + OctetsToText(name), PreferenceTypeText(type), false, 0});
    }
    return rows;
}

} // namespace browser
