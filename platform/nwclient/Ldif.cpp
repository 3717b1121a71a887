#include "platform/nwclient/Ldif.h"

#include "platform/commit/FileCommit.h"
#include "platform/nwclient/Schema.h"
#include "platform/nwclient/Values.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace nwclient::ldif {
namespace {

constexpr std::string_view BASE64_ALPHABET =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// ------------------------------------------------------------------ civil time
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// ------------------------------------------------------------------ small text helpers
bool parseUnsigned(std::string_view text, uint32_t& value) {
    if (text.empty())
        return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// Decimal integer; values above 2^31-1 (up to 2^32-1) wrap to signed 32-bit.
bool parseInteger(std::string_view text, int32_t& value) {
    int64_t wide = 0;
    if (text.empty())
        return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return false;
    if (wide < INT32_MIN || wide > static_cast<int64_t>(UINT32_MAX))
        return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(wide));
    return true;
}

std::string hexEncode(const Octets& bytes) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) {
        out.push_back(DIGITS[b >> 4]);
        out.push_back(DIGITS[b & 15]);
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool hexDecode(std::string_view text, Octets& bytes) {
    if (text.size() % 2)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

// "$"-separated parts with "\24" for "$" and "\5C" for "\".
std::string joinDollarList(const StringList& list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i)
            out.push_back('$');
        for (char c : list[i]) {
            if (c == '$')
                out += "\\24";
            else if (c == '\\')
                out += "\\5C";
            else
                out.push_back(c);
        }
    }
    return out;
}

bool splitDollarList(std::string_view text, StringList& list, std::string& reason) {
    list.clear();
    for (std::string_view part : split(text, '$')) {
        std::string item;
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (part[i] != '\\') {
                item.push_back(part[i]);
                continue;
            }
            if (i + 2 >= part.size()) {
                reason = "bad escape in list";
                return false;
            }
            int hi = hexDigit(part[i + 1]), lo = hexDigit(part[i + 2]);
            if (hi < 0 || lo < 0) {
                reason = "bad escape in list";
                return false;
            }
            item.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        }
        list.push_back(std::move(item));
    }
    return true;
}

// Text is valid UTF-8 (no overlong forms, surrogates or code points above U+10FFFF) without control
// characters other than tab, line feed and carriage return.
bool isText(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') || lead == 0x7F)
                return false;
            ++i;
            continue;
        }
        std::size_t length;
        uint32_t codePoint;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        if ((length == 3 && (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF))) ||
            (length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

// ------------------------------------------------------------------ LDAP DNs
struct Rdn {
    std::string type;
    std::string value;
};

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// An RDN's attribute type as RFC 4514 has it: a letter followed by letters, digits and hyphens, or a
// dotted OID of decimal numbers without leading zeros.
bool isAttributeType(std::string_view type) {
    if (type.empty())
        return false;
    if (std::isalpha(static_cast<unsigned char>(type.front()))) {
        for (char c : type)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
                return false;
        return true;
    }
    for (std::string_view number : split(type, '.')) {
        if (number.empty() || (number.size() > 1 && number.front() == '0'))
            return false;
        for (char c : number)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
    }
    return true;
}

// Parses an LDAP DN into RDNs, leaf first.
bool parseDn(std::string_view dn, std::vector<Rdn>& rdns, std::string& reason) {
    rdns.clear();
    if (trimBlanks(dn).empty()) {
        reason = "empty DN";
        return false;
    }
    Rdn current;
    std::string raw;
    bool inValue = false;
    std::size_t trailingSpaces = 0; // unescaped blanks at the end of the value so far
    auto finish = [&]() {
        if (!inValue) {
            reason = "RDN without \"=\" in DN \"" + std::string(dn) + "\"";
            return false;
        }
        raw.resize(raw.size() - trailingSpaces);
        current.value = raw;
        if (current.type.empty() || current.value.empty()) {
            reason = "empty RDN in DN \"" + std::string(dn) + "\"";
            return false;
        }
        if (names::equalsIgnoreCase(current.value, "[Root]")) {
            reason = "\"[Root]\" names the root of the tree, not an entry, in DN \"" + std::string(dn) + "\"";
            return false;
        }
        if (!isAttributeType(current.type)) {
            reason = "invalid attribute type \"" + current.type + "\" in DN \"" + std::string(dn) + "\"";
            return false;
        }
        rdns.push_back(std::move(current));
        current = Rdn();
        raw.clear();
        inValue = false;
        trailingSpaces = 0;
        return true;
    };
    for (std::size_t i = 0; i < dn.size(); ++i) {
        char c = dn[i];
        if (!inValue) {
            if (c == '=') {
                current.type = std::string(trimBlanks(raw));
                raw.clear();
                inValue = true;
                while (i + 1 < dn.size() && dn[i + 1] == ' ')
                    ++i;
            } else if (c == ',' || c == '+') {
                reason = "RDN without \"=\" in DN \"" + std::string(dn) + "\"";
                return false;
            } else {
                raw.push_back(c);
            }
            continue;
        }
        if (c == '\\') {
            if (i + 1 >= dn.size()) {
                reason = "DN ends with \"\\\"";
                return false;
            }
            int hi = hexDigit(dn[i + 1]);
            int lo = i + 2 < dn.size() ? hexDigit(dn[i + 2]) : -1;
            if (hi >= 0 && lo >= 0) {
                raw.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
            } else {
                raw.push_back(dn[++i]);
            }
            trailingSpaces = 0;
        } else if (c == ',') {
            if (!finish())
                return false;
        } else if (c == '+') {
            reason = "multi-valued RDNs are not supported";
            return false;
        } else if (c == ' ') {
            if (raw.empty())
                continue; // blanks after "=" or ","
            raw.push_back(c);
            ++trailingSpaces;
        } else {
            raw.push_back(c);
            trailingSpaces = 0;
        }
    }
    return finish();
}

// A DN value escaped as RFC 4514 asks. Inside "#"-separated values (paths, ACLs and the like) a "#"
// is written "\23", so that it cannot be taken for a separator when the value is read back.
std::string escapeDnValue(std::string_view value, bool hashSeparated = false) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '#' && hashSeparated) {
            out += "\\23";
            continue;
        }
        bool special =
            c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' || c == ';' || c == '=';
        bool edge = (i == 0 && (c == ' ' || c == '#')) || (i + 1 == value.size() && c == ' ');
        if (special || edge)
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// Which of the directory's special names a name value may hold instead of an object's name: "[Root]",
// the root of the tree, in any name value; an ACL's subject also the pseudo-trustees "[Public]",
// "[Self]", "[Creator]" and "[Inheritance Mask]".
enum class SpecialNames { Root, Trustees };

// True for a special name (any case) that may stand where the names allow.
bool isSpecialName(std::string_view text, SpecialNames allowed) {
    static constexpr std::string_view TRUSTEES[] = {"[Public]", "[Self]", "[Creator]", "[Inheritance Mask]"};
    if (names::equalsIgnoreCase(text, "[Root]"))
        return true;
    if (allowed == SpecialNames::Trustees)
        for (std::string_view trustee : TRUSTEES)
            if (names::equalsIgnoreCase(text, trustee))
                return true;
    return false;
}

// A name value in LDIF: an LDAP DN, or a special name where the value allows one. Any other text in
// brackets is a DN like every other and must parse as one.
bool dnToDotted(std::string_view dn, std::string& dotted, std::string& reason,
                SpecialNames allowed = SpecialNames::Root) {
    std::string_view trimmed = trimBlanks(dn);
    if (isSpecialName(trimmed, allowed)) {
        dotted = std::string(trimmed);
        return true;
    }
    std::vector<Rdn> rdns;
    if (!parseDn(dn, rdns, reason))
        return false;
    names::Components components;
    for (auto& rdn : rdns)
        components.push_back(std::move(rdn.value));
    dotted = names::join(components);
    return true;
}

// ------------------------------------------------------------------ LDIF lines
bool isSafeString(std::string_view text) {
    if (text.empty())
        return true;
    unsigned char first = static_cast<unsigned char>(text.front());
    if (first == ' ' || first == ':' || first == '<' || text.back() == ' ')
        return false;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == 0 || u == '\n' || u == '\r' || u > 127)
            return false;
    }
    return true;
}

struct ValueLine {
    int line = 0;
    std::string name;
    bool base64 = false;
    std::string value; // decoded bytes
};

struct Record {
    int line = 0;
    std::vector<ValueLine> lines;
};

class LineParser {
public:
    LineParser(std::string fileName, Error& error) : fileName_(std::move(fileName)), error_(error) {}

    bool parse(const std::string& text, std::vector<Record>& records) {
        std::size_t start = 0;
        int lineNumber = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string_view line(text.data() + start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++lineNumber;
            if (!physicalLine(line, lineNumber, records))
                return false;
            if (end == text.size())
                break;
            start = end + 1;
        }
        return finishRecord(records);
    }

private:
    bool fail(int line, std::string reason) {
        error_.file = fileName_;
        error_.line = line;
        error_.reason = std::move(reason);
        return false;
    }

    bool physicalLine(std::string_view line, int lineNumber, std::vector<Record>& records) {
        if (line.empty())
            return finishRecord(records);
        if (line.front() == ' ') {
            if (!hasLogical_)
                return fail(lineNumber, "line continuation out of place");
            logical_.append(line.substr(1));
            return true;
        }
        if (!finishLogical())
            return false;
        hasLogical_ = true;
        logicalLine_ = lineNumber;
        logical_.assign(line);
        return true;
    }

    bool finishRecord(std::vector<Record>& records) {
        if (!finishLogical())
            return false;
        hasLogical_ = false;
        if (!current_.lines.empty())
            records.push_back(std::move(current_));
        current_ = Record();
        return true;
    }

    bool finishLogical() {
        if (!hasLogical_)
            return true;
        hasLogical_ = false;
        if (logical_.front() == '#')
            return true;
        std::size_t colon = logical_.find(':');
        if (colon == std::string::npos)
            return fail(logicalLine_, "missing \":\" after the attribute name");
        ValueLine value;
        value.line = logicalLine_;
        std::string description = logical_.substr(0, colon);
        std::size_t semicolon = description.find(';');
        if (semicolon != std::string::npos) {
            std::string options = names::lowerAscii(description.substr(semicolon + 1));
            if (options != "binary")
                return fail(logicalLine_, "attribute options are not supported: " + description);
            description.resize(semicolon);
        }
        if (description.empty())
            return fail(logicalLine_, "missing attribute name");
        for (char c : description)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
                return fail(logicalLine_, "invalid attribute name \"" + description + "\"");
        value.name = description;
        std::string_view rest(logical_);
        rest.remove_prefix(colon + 1);
        if (!rest.empty() && rest.front() == ':') {
            rest.remove_prefix(1);
            value.base64 = true;
        } else if (!rest.empty() && rest.front() == '<') {
            return fail(logicalLine_, "URL values are not supported");
        }
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (value.base64) {
            if (!base64Decode(rest, value.value))
                return fail(logicalLine_, "bad base64 value of " + value.name);
        } else {
            value.value.assign(rest);
        }
        std::string lowerName = names::lowerAscii(value.name);
        if (current_.lines.empty()) {
            if (lowerName == "version" && !sawRecord_) {
                sawRecord_ = true;
                if (value.value != "1")
                    return fail(logicalLine_, "unsupported LDIF version " + value.value);
                return true;
            }
            if (lowerName != "dn")
                return fail(logicalLine_, "an entry must start with \"dn:\"");
            current_.line = logicalLine_;
        } else if (lowerName == "dn") {
            return fail(logicalLine_, "second \"dn:\" line in one entry (missing blank line?)");
        } else if (lowerName == "changetype" || lowerName == "control") {
            return fail(logicalLine_, "change records are not supported");
        }
        sawRecord_ = true;
        current_.lines.push_back(std::move(value));
        return true;
    }

    std::string fileName_;
    Error& error_;
    bool hasLogical_ = false;
    int logicalLine_ = 0;
    std::string logical_;
    Record current_;
    bool sawRecord_ = false;
};

// ------------------------------------------------------------------ values by syntax
// LDIF text -> value. Name fields are turned into dotted names (not checked here).
bool parseValue(uint32_t syntax, const ValueLine& line, Value& value, std::string& reason) {
    const std::string& text = line.value;
    auto bad = [&](const std::string& what) {
        reason = what;
        return false;
    };
    switch (syntax) {
    case SYN_DIST_NAME: {
        std::string dotted;
        if (!dnToDotted(text, dotted, reason))
            return false;
        value = dotted;
        return true;
    }
    case SYN_CE_STRING:
    case SYN_CI_STRING:
    case SYN_PR_STRING:
    case SYN_TEL_NUMBER:
        value = text;
        return true;
    case SYN_NU_STRING:
        for (char c : text)
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != ' ')
                return bad("not a numeric string");
        value = text;
        return true;
    case SYN_CLASS_NAME: {
        const schema::ClassDefinition* definition = schema::findClass(text);
        value = definition ? std::string(definition->name) : text;
        return true;
    }
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_INTERVAL: {
        int32_t number = 0;
        if (!parseInteger(text, number))
            return bad("not a 32-bit integer");
        value = number;
        return true;
    }
    case SYN_TIME: {
        uint32_t seconds = 0;
        if (!parseGeneralizedTime(text, seconds))
            return bad("not a GeneralizedTime (YYYYMMDDHHMMSSZ)");
        value = static_cast<int32_t>(seconds);
        return true;
    }
    case SYN_BOOLEAN:
        if (names::equalsIgnoreCase(text, "TRUE"))
            value = true;
        else if (names::equalsIgnoreCase(text, "FALSE"))
            value = false;
        else
            return bad("not TRUE or FALSE");
        return true;
    case SYN_CI_LIST:
    case SYN_PO_ADDRESS: {
        StringList list;
        if (!splitDollarList(text, list, reason))
            return false;
        value = std::move(list);
        return true;
    }
    case SYN_OCTET_LIST: {
        OctetList list;
        if (!text.empty())
            for (std::string_view part : split(text, '#'))
                if (!hexDecode(part, list.emplace_back()))
                    return bad("not a list of hexadecimal octet strings");
        value = std::move(list);
        return true;
    }
    case SYN_NET_ADDRESS: {
        std::size_t hash = text.find('#');
        NetAddress address;
        if (hash == std::string::npos || !parseUnsigned(std::string_view(text).substr(0, hash), address.type))
            return bad("not a network address (type#bytes)");
        address.address.assign(text.begin() + static_cast<std::ptrdiff_t>(hash) + 1, text.end());
        value = std::move(address);
        return true;
    }
    case SYN_FAX_NUMBER: {
        FaxNumber fax;
        auto parts = split(text, '#');
        if (parts.size() == 1) {
            fax.telephoneNumber = text;
        } else if (parts.size() == 3 && parseUnsigned(parts[1], fax.parameterBits) &&
                   hexDecode(parts[2], fax.parameters)) {
            fax.telephoneNumber = std::string(parts[0]);
        } else {
            return bad("not a fax number (number or number#bits#hex)");
        }
        value = std::move(fax);
        return true;
    }
    case SYN_EMAIL_ADDRESS: {
        std::size_t hash = text.find('#');
        EmailAddress mail;
        if (hash == std::string::npos || !parseUnsigned(std::string_view(text).substr(0, hash), mail.type))
            return bad("not an e-mail address (type#address)");
        mail.address = text.substr(hash + 1);
        value = std::move(mail);
        return true;
    }
    case SYN_PATH: {
        std::size_t first = text.find('#');
        std::size_t second = first == std::string::npos ? first : text.find('#', first + 1);
        Path path;
        if (second == std::string::npos ||
            !parseUnsigned(std::string_view(text).substr(0, first), path.nameSpace))
            return bad("not a path (namespace#volume#path)");
        if (!dnToDotted(std::string_view(text).substr(first + 1, second - first - 1), path.volumeName,
                        reason))
            return false;
        path.path = text.substr(second + 1);
        value = std::move(path);
        return true;
    }
    case SYN_REPLICA_POINTER: {
        auto parts = split(text, '#');
        ReplicaPointer replica;
        if (parts.size() < 3 || parts.size() % 2 == 0 || !parseUnsigned(parts[1], replica.replicaType) ||
            !parseUnsigned(parts[2], replica.replicaNumber))
            return bad("not a replica pointer (server#type#number[#addresstype#hex]...)");
        if (!dnToDotted(parts[0], replica.serverName, reason))
            return false;
        for (std::size_t i = 3; i + 1 < parts.size(); i += 2) {
            NetAddress& address = replica.addresses.emplace_back();
            if (!parseUnsigned(parts[i], address.type) || !hexDecode(parts[i + 1], address.address))
                return bad("bad address in replica pointer");
        }
        value = std::move(replica);
        return true;
    }
    case SYN_OBJECT_ACL: {
        auto parts = split(text, '#');
        ObjectAcl acl;
        if (parts.size() < 4 || !parseUnsigned(parts[0], acl.privileges) || parts[1] != "entry")
            return bad("not an ACL (privileges#entry#subject#attribute)");
        if (!dnToDotted(parts[2], acl.subjectName, reason, SpecialNames::Trustees))
            return false;
        std::size_t attributeStart = parts[0].size() + parts[1].size() + parts[2].size() + 3;
        acl.protectedAttributeName = text.substr(attributeStart);
        value = std::move(acl);
        return true;
    }
    case SYN_TIMESTAMP: {
        auto parts = split(text, '#');
        Timestamp stamp;
        uint32_t replica = 0, event = 0;
        if (parts.size() != 3 || !parseGeneralizedTime(parts[0], stamp.wholeSeconds) ||
            !parseUnsigned(parts[1], replica) || !parseUnsigned(parts[2], event) || replica > 0xFFFF ||
            event > 0xFFFF)
            return bad("not a time stamp (time#replica#event)");
        stamp.replicaNumber = static_cast<uint16_t>(replica);
        stamp.eventId = static_cast<uint16_t>(event);
        value = stamp;
        return true;
    }
    case SYN_BACK_LINK: {
        std::size_t hash = text.find('#');
        BackLink link;
        if (hash == std::string::npos ||
            !parseUnsigned(std::string_view(text).substr(0, hash), link.remoteId))
            return bad("not a back link (id#DN)");
        if (!dnToDotted(std::string_view(text).substr(hash + 1), link.objectName, reason))
            return false;
        value = std::move(link);
        return true;
    }
    case SYN_TYPED_NAME: {
        std::size_t last = text.rfind('#');
        std::size_t middle =
            last == std::string::npos || last == 0 ? std::string::npos : text.rfind('#', last - 1);
        TypedName typed;
        if (middle == std::string::npos ||
            !parseUnsigned(std::string_view(text).substr(middle + 1, last - middle - 1), typed.level) ||
            !parseUnsigned(std::string_view(text).substr(last + 1), typed.interval))
            return bad("not a typed name (DN#level#interval)");
        if (!dnToDotted(std::string_view(text).substr(0, middle), typed.objectName, reason))
            return false;
        value = std::move(typed);
        return true;
    }
    case SYN_HOLD: {
        std::size_t last = text.rfind('#');
        Hold hold;
        if (last == std::string::npos || !parseUnsigned(std::string_view(text).substr(last + 1), hold.amount))
            return bad("not a hold (DN#amount)");
        if (!dnToDotted(std::string_view(text).substr(0, last), hold.objectName, reason))
            return false;
        value = std::move(hold);
        return true;
    }
    default: // octet strings, stream, unknown
        value = Octets(text.begin(), text.end());
        return true;
    }
}

// ------------------------------------------------------------------ export helpers
class DnWriter {
public:
    explicit DnWriter(const DirectoryTree& tree) : tree_(tree) {}

    std::string entryDn(const Entry& entry) {
        std::string dn;
        names::Components components = entry.components;
        for (std::size_t i = 0; i < components.size(); ++i) {
            if (i)
                dn.push_back(',');
            dn += rdnTypeOf(components, i) + "=" + escapeDnValue(components[i]);
        }
        return dn;
    }

    // A dotted name from a value as an LDAP DN (the directory's special names stay as they are).
    std::string nameDn(const std::string& dotted, bool hashSeparated = true) {
        if (isSpecialName(dotted, SpecialNames::Trustees))
            return dotted;
        names::Components components;
        bool absolute = false;
        if (names::parse(dotted, components, absolute) != SUCCESS || components.empty())
            return dotted;
        std::string dn;
        for (std::size_t i = 0; i < components.size(); ++i) {
            if (i)
                dn.push_back(',');
            dn += rdnTypeOf(components, i) + "=" + escapeDnValue(components[i], hashSeparated);
        }
        return dn;
    }

private:
    std::string rdnTypeOf(const names::Components& components, std::size_t from) {
        std::string key = names::key(components, from);
        auto cached = cache_.find(key);
        if (cached != cache_.end())
            return cached->second;
        EntryPtr entry = tree_.findByKey(key);
        std::string type = entry && !entry->rdnType.empty()
                               ? entry->rdnType
                               : (entry ? schema::rdnTypeForClass(entry->baseClass()) : "cn");
        cache_.emplace(key, type);
        return type;
    }

    const DirectoryTree& tree_;
    std::unordered_map<std::string, std::string> cache_;
};

std::string valueText(uint32_t syntax, const Value& value, DnWriter& dns) {
    switch (syntax) {
    case SYN_DIST_NAME:
        return dns.nameDn(std::get<std::string>(value), false);
    case SYN_CLASS_NAME:
        return schema::ldapClassName(std::get<std::string>(value));
    case SYN_TIME:
        return formatGeneralizedTime(static_cast<uint32_t>(std::get<int32_t>(value)));
    default:
        break;
    }
    return std::visit(
        [&](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, int32_t>) {
                return std::to_string(v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "TRUE" : "FALSE";
            } else if constexpr (std::is_same_v<T, Octets>) {
                return std::string(v.begin(), v.end());
            } else if constexpr (std::is_same_v<T, StringList>) {
                return joinDollarList(v);
            } else if constexpr (std::is_same_v<T, OctetList>) {
                std::string out;
                for (std::size_t i = 0; i < v.size(); ++i) {
                    if (i)
                        out.push_back('#');
                    out += hexEncode(v[i]);
                }
                return out;
            } else if constexpr (std::is_same_v<T, NetAddress>) {
                return std::to_string(v.type) + "#" + std::string(v.address.begin(), v.address.end());
            } else if constexpr (std::is_same_v<T, FaxNumber>) {
                if (v.parameterBits == 0 && v.parameters.empty())
                    return v.telephoneNumber;
                return v.telephoneNumber + "#" + std::to_string(v.parameterBits) + "#" +
                       hexEncode(v.parameters);
            } else if constexpr (std::is_same_v<T, EmailAddress>) {
                return std::to_string(v.type) + "#" + v.address;
            } else if constexpr (std::is_same_v<T, Path>) {
                return std::to_string(v.nameSpace) + "#" + dns.nameDn(v.volumeName) + "#" + v.path;
            } else if constexpr (std::is_same_v<T, ReplicaPointer>) {
                std::string out = dns.nameDn(v.serverName) + "#" + std::to_string(v.replicaType) + "#" +
                                  std::to_string(v.replicaNumber);
                for (const NetAddress& a : v.addresses)
                    out += "#" + std::to_string(a.type) + "#" + hexEncode(a.address);
                return out;
            } else if constexpr (std::is_same_v<T, ObjectAcl>) {
                return std::to_string(v.privileges) + "#entry#" + dns.nameDn(v.subjectName) + "#" +
                       v.protectedAttributeName;
            } else if constexpr (std::is_same_v<T, Timestamp>) {
                return formatGeneralizedTime(v.wholeSeconds) + "#" + std::to_string(v.replicaNumber) + "#" +
                       std::to_string(v.eventId);
            } else if constexpr (std::is_same_v<T, BackLink>) {
                return std::to_string(v.remoteId) + "#" + dns.nameDn(v.objectName);
            } else if constexpr (std::is_same_v<T, TypedName>) {
                return dns.nameDn(v.objectName) + "#" + std::to_string(v.level) + "#" +
                       std::to_string(v.interval);
            } else {
                static_assert(std::is_same_v<T, Hold>);
                return dns.nameDn(v.objectName) + "#" + std::to_string(v.amount);
            }
        },
        value);
}

void writeLine(std::string& out, const std::string& name, const std::string& text, bool forceBase64) {
    out += name;
    if (forceBase64 || !isSafeString(text)) {
        out += "::";
        if (!text.empty())
            out += " " + base64Encode(text);
    } else {
        out += ": " + text;
    }
    out.push_back('\n');
}

} // namespace

std::string Error::message() const {
    // A fault of the whole file (it does not open) has no line to name.
    return line > 0 ? file + ":" + std::to_string(line) + ": " + reason : file + ": " + reason;
}

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t n = (static_cast<uint8_t>(bytes[i]) << 16) | (static_cast<uint8_t>(bytes[i + 1]) << 8) |
                     static_cast<uint8_t>(bytes[i + 2]);
        out.push_back(BASE64_ALPHABET[(n >> 18) & 63]);
        out.push_back(BASE64_ALPHABET[(n >> 12) & 63]);
        out.push_back(BASE64_ALPHABET[(n >> 6) & 63]);
        out.push_back(BASE64_ALPHABET[n & 63]);
    }
    if (i < bytes.size()) {
        uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        out.push_back(BASE64_ALPHABET[(n >> 18) & 63]);
        out.push_back(BASE64_ALPHABET[(n >> 12) & 63]);
        out.push_back(i + 1 < bytes.size() ? BASE64_ALPHABET[(n >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

bool base64Decode(std::string_view text, std::string& bytes) {
    bytes.clear();
    std::string compact;
    for (char c : text)
        if (c != ' ')
            compact.push_back(c);
    if (compact.size() % 4)
        return false;
    for (std::size_t i = 0; i < compact.size(); i += 4) {
        uint32_t n = 0;
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            char c = compact[i + k];
            uint32_t digit = 0;
            if (c == '=') {
                if (i + 4 != compact.size() || k < 2)
                    return false;
                ++padding;
            } else {
                if (padding)
                    return false; // data after padding
                std::size_t pos = BASE64_ALPHABET.find(c);
                if (pos == std::string_view::npos)
                    return false;
                digit = static_cast<uint32_t>(pos);
            }
            n = (n << 6) | digit;
        }
        bytes.push_back(static_cast<char>((n >> 16) & 0xFF));
        if (padding < 2)
            bytes.push_back(static_cast<char>((n >> 8) & 0xFF));
        if (padding < 1)
            bytes.push_back(static_cast<char>(n & 0xFF));
    }
    return true;
}

bool parseGeneralizedTime(std::string_view text, uint32_t& seconds) {
    if (text.size() != 15 || text.back() != 'Z')
        return false;
    for (std::size_t i = 0; i < 14; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    auto number = [&](std::size_t pos, std::size_t length) {
        unsigned value = 0;
        for (std::size_t i = pos; i < pos + length; ++i)
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        return value;
    };
    unsigned year = number(0, 4), month = number(4, 2), day = number(6, 2);
    unsigned hour = number(8, 2), minute = number(10, 2), second = number(12, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return false;
    int64_t days = daysFromCivil(year, month, day);
    int64_t y2 = 0;
    unsigned m2 = 0, d2 = 0;
    civilFromDays(days, y2, m2, d2);
    if (m2 != month || d2 != day)
        return false; // 31 February and the like
    int64_t total = days * 86400 + hour * 3600 + minute * 60 + second;
    if (total < 0 || total > static_cast<int64_t>(UINT32_MAX))
        return false;
    seconds = static_cast<uint32_t>(total);
    return true;
}

std::string formatGeneralizedTime(uint32_t seconds) {
    int64_t days = seconds / 86400;
    uint32_t rest = seconds % 86400;
    int64_t year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(days, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld%02u%02u%02u%02u%02uZ", static_cast<long long>(year), month, day,
                  rest / 3600, rest / 60 % 60, rest % 60);
    return text;
}

bool read(const std::string& text, const std::string& fileName, std::vector<Entry>& entries, Error& error) {
    entries.clear();
    std::vector<Record> records;
    LineParser parser(fileName, error);
    if (!parser.parse(text, records))
        return false;
    auto fail = [&](int line, std::string reason) {
        error.file = fileName;
        error.line = line;
        error.reason = std::move(reason);
        entries.clear();
        return false;
    };
    struct PendingName {
        std::size_t entry;
        std::size_t attribute;
        std::size_t value;
        int line;
    };
    std::vector<PendingName> pendingNames;
    std::unordered_map<std::string, std::size_t> indexByKey; // entry key -> index in entries
    std::unordered_map<std::string, std::pair<std::string, uint32_t>> learned; // unknown attributes
    // An attribute the schema lacks is a case-ignore string when every value of it in the file is
    // text, plain or base64 alike, and an octet string as soon as one value is not; so an export,
    // which writes some text base64, imports back with the same syntax.
    for (const Record& record : records)
        for (std::size_t i = 1; i < record.lines.size(); ++i) {
            const ValueLine& line = record.lines[i];
            if (schema::findAttribute(line.name))
                continue;
            auto [it, added] = learned.try_emplace(schema::nameKey(line.name), line.name, SYN_CI_STRING);
            if (!isText(line.value))
                it->second.second = SYN_OCTET_STRING;
        }
    const std::string objectClassKey = schema::nameKey("Object Class");
    entries.reserve(records.size());
    for (const Record& record : records) {
        const ValueLine& dnLine = record.lines.front();
        std::vector<Rdn> rdns;
        std::string reason;
        if (!parseDn(dnLine.value, rdns, reason))
            return fail(dnLine.line, "invalid DN: " + reason);
        Entry entry;
        for (Rdn& rdn : rdns)
            entry.components.push_back(std::move(rdn.value));
        entry.rdnType = names::lowerAscii(rdns.front().type);
        std::string key = entry.key();
        if (indexByKey.count(key))
            return fail(dnLine.line, "duplicate entry \"" + dnLine.value + "\"");
        if (entry.components.size() > 1) {
            auto parent = indexByKey.find(names::key(entry.components, 1));
            if (parent == indexByKey.end())
                return fail(dnLine.line, "the parent of \"" + dnLine.value + "\" is missing");
            entry.parentId = static_cast<int64_t>(parent->second) + 1;
            // The parent's name in the case the parent has, as the store names entries by their parents.
            const names::Components& parentComponents = entries[parent->second].components;
            std::copy(parentComponents.begin(), parentComponents.end(), entry.components.begin() + 1);
        }
        entry.id = static_cast<int64_t>(entries.size()) + 1;
        entry.modificationTime = static_cast<uint32_t>(std::time(nullptr));
        for (std::size_t i = 1; i < record.lines.size(); ++i) {
            const ValueLine& line = record.lines[i];
            std::string name;
            uint32_t syntax;
            bool multiValued = true;
            if (const schema::AttributeDefinition* definition = schema::findAttribute(line.name)) {
                name = std::string(definition->name);
                syntax = definition->syntax;
                multiValued = definition->multiValued;
            } else {
                const auto& [learnedName, learnedSyntax] = learned.at(schema::nameKey(line.name));
                name = learnedName;
                syntax = learnedSyntax;
            }
            Value value;
            if (!parseValue(syntax, line, value, reason))
                return fail(line.line, "value of " + line.name + " does not fit syntax " +
                                           std::to_string(syntax) + ": " + reason);
            std::string attributeKey = schema::nameKey(name);
            Attribute* attribute = entry.find(attributeKey);
            if (!attribute) {
                attribute = &entry.attributes.emplace_back();
                attribute->setName(name);
                attribute->syntax = syntax;
            } else {
                if (!multiValued)
                    return fail(line.line, "attribute " + line.name + " takes a single value");
                for (const Value& existing : attribute->values)
                    if (values::equal(syntax, existing, value))
                        return fail(line.line, "duplicate value of " + line.name);
            }
            attribute->values.push_back(std::move(value));
            if (values::isNameSyntax(syntax))
                pendingNames.push_back({entries.size(),
                                        static_cast<std::size_t>(attribute - entry.attributes.data()),
                                        attribute->values.size() - 1, line.line});
        }
        const Attribute* classes = entry.find(objectClassKey);
        if (!classes || classes->values.empty())
            return fail(dnLine.line, "entry \"" + dnLine.value + "\" has no objectClass");
        indexByKey.emplace(std::move(key), entries.size());
        entry.compact();
        entries.push_back(std::move(entry));
    }
    // Name values must name objects of the file; they take the case the object has.
    for (const PendingName& pending : pendingNames) {
        auto& stored =
            std::get<std::string>(entries[pending.entry].attributes[pending.attribute].values[pending.value]);
        if (isSpecialName(stored, SpecialNames::Root))
            continue;
        names::Components components;
        bool absolute = false;
        if (names::parse(stored, components, absolute) != SUCCESS)
            return fail(pending.line, "invalid name \"" + stored + "\"");
        auto target = indexByKey.find(names::key(components));
        if (target == indexByKey.end())
            return fail(pending.line,
                        "no object \"" + stored + "\" for the name value of " +
                            std::string(entries[pending.entry].attributes[pending.attribute].name));
        stored = entries[target->second].fullName();
    }
    return true;
}

bool readFile(const std::string& path, std::vector<Entry>& entries, Error& error) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int cause = errno;
        error.file = path;
        error.line = 0;
        error.reason = "cannot open the file";
        error.unopened = true;
        if (cause != 0)
            error.reason += ": " + std::generic_category().message(cause);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return read(text.str(), path, entries, error);
}

std::string write(const DirectoryTree& tree) {
    std::string out = "version: 1\n\n";
    DnWriter dns(tree);
    for (const EntryPtr& entry : tree.allEntries()) {
        writeLine(out, "dn", dns.entryDn(*entry), false);
        for (const Attribute& attribute : entry->attributes) {
            bool known = schema::findAttribute(attribute.name) != nullptr;
            std::string name =
                known ? schema::ldapAttributeName(attribute.name) : std::string(attribute.name);
            bool octets = attribute.syntax == SYN_OCTET_STRING || attribute.syntax == SYN_UNKNOWN ||
                          attribute.syntax == SYN_STREAM;
            for (const Value& value : attribute.values)
                writeLine(out, name, valueText(attribute.syntax, value, dns), octets);
        }
        out.push_back('\n'); // a blank line ends every entry
    }
    return out;
}

bool writeFile(const DirectoryTree& tree, const std::string& path, std::string& error) {
    try {
        commit::WriteFileAtomically(path, write(tree));
    } catch (const commit::CommitError& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

} // namespace nwclient::ldif
