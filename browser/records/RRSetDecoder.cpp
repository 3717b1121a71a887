#include "browser/records/RRSetDecoder.h"

#include "browser/records/RecordFormatters.h"
#include "directory/nwextra.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace browser {

namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The four leading labels of a reverse name put back in address order: "4.3.2.1.in-addr.arpa"
// gives "1.2.3.4". A name with fewer dots gives fewer groups.
std::string AddressOfReverseName(std::string source) {
    std::string result;
    for (int i = 0; i < 4; ++i) {
        std::size_t dot = source.find('.');
        if (dot == std::string::npos) {
            continue;
        }
        result.insert(0, source, 0, dot + 1);
        source.erase(0, dot + 1);
    }
    if (!result.empty()) {
        result.pop_back();
    }
    return result;
}

// The 4-byte little-endian length in front of each value.
std::uint32_t ValueLength(Octets values, std::size_t offset) {
    return values[offset] | (values[offset + 1] << 8) | (values[offset + 2] << 16) |
           (static_cast<std::uint32_t>(values[offset + 3]) << 24);
}

// Reads the fields of one record. Bytes past the record's end read as zero up to the zero-filled
// size; a field beyond that is a failure.
class RecordReader {
public:
    explicit RecordReader(Octets record)
        : record_(record), limit_(std::max(record.size(), kZeroFilledRecordSize)) {}

    std::uint8_t Byte(std::size_t offset) const {
        if (offset >= limit_) {
            throw RecordDecodeError("record field beyond the record");
        }
        return offset < record_.size() ? record_[offset] : 0;
    }

    unsigned Word(std::size_t offset) const { return (Byte(offset) << 8) | Byte(offset + 1); }

    std::string WordText(std::size_t offset) const { return std::to_string(Word(offset)); }

    std::string Address(std::size_t offset) const {
        return std::to_string(Byte(offset)) + '.' + std::to_string(Byte(offset + 1)) + '.' +
               std::to_string(Byte(offset + 2)) + '.' + std::to_string(Byte(offset + 3));
    }

    // A character string: length byte n, n characters; the next field follows at once.
    std::string String(std::size_t offset, std::size_t* next = nullptr) const {
        unsigned n = Byte(offset);
        std::string text = CopyRecBytes(record_, static_cast<int>(offset + 2), static_cast<int>(n));
        if (next != nullptr) {
            *next = offset + 1 + n;
        }
        return text;
    }

    // A name field: length byte n, n characters and a closing zero byte.
    std::string Name(std::size_t offset, std::size_t* next = nullptr) const {
        std::string text = String(offset, next);
        if (next != nullptr) {
            *next += 1;
        }
        return text;
    }

private:
    Octets record_;
    std::size_t limit_;
};

const char* WksProtocolText(std::uint8_t protocol) {
    switch (protocol) {
    case 1:
        return "ICMP ";
    case 2:
        return "IGMP ";
    case 3:
        return "GGP ";
    case 6:
        return "TCP ";
    case 8:
        return "EGP ";
    case 9:
        return "IGP ";
    case 17:
        return "UDP ";
    default:
        return "??? ";
    }
}

struct WksService {
    unsigned port;
    const char* name;
};

constexpr WksService kWksServices[] = {
    {68, "Bootpc "}, {67, "Bootps "}, {9, "Discard "}, {53, "Domain "}, {7, "Echo "},
    {79, "Finger "}, {21, "FTP "},    {119, "NNTP "},  {109, "POP-2 "}, {39, "RLP "},
    {25, "SMTP "},   {23, "Telnet "}, {69, "TFTP "},   {37, "TIME "},
};

std::string WksInfo(const RecordReader& rec) {
    const std::size_t rdata = kRDataOffset;
    std::string info =
        rec.Address(rdata) + " Protocol " + WksProtocolText(rec.Byte(rdata + 4)) + "Services: ";
    const std::size_t bitmap = rdata + 5;
    for (const WksService& service : kWksServices) {
        if (rec.Byte(bitmap + service.port / 8) & (0x80u >> (service.port % 8))) {
            info += service.name;
        }
    }
    return info;
}

std::string IPv6Info(const RecordReader& rec) {
    static const char hex[] = "0123456789ABCDEF";
    std::string info;
    info.reserve(39);
    for (int group = 0; group < 8; ++group) {
        if (group > 0) {
            info += ':';
        }
        unsigned word = rec.Word(kRDataOffset + 2 * group);
        for (int shift = 12; shift >= 0; shift -= 4) {
            info += hex[(word >> shift) & 0xF];
        }
    }
    return info;
}

// Walks the values of one record set, carrying the last address and name from record to record.
class RRSetWalker {
public:
    RRSetWalker(const RRSetFacts& facts, const RowOrigin& origin, std::vector<RecordRow>& rows,
                RecordCacheWriter* cache, const std::string& section)
        : facts_(facts), origin_(origin), rows_(rows), cache_(cache), section_(section),
          reverse_(facts.reverseZone) {}

    void Walk(Octets values) {
        ChooseHostAndZone(values);
        std::size_t offset = 0;
        while (offset < values.size()) {
            if (values.size() - offset < 4) {
                throw RecordDecodeError("value length beyond the value list");
            }
            std::uint32_t length = ValueLength(values, offset);
            offset += 4;
            if (length > values.size() - offset) {
                throw RecordDecodeError("record beyond the value list");
            }
            Octets record = values.subspan(offset, length);
            offset += length;
            if (length > 2) {
                Decode(RecordReader(record));
            }
        }
    }

private:
    // SRV owners carry three labels (_service._protocol.host); every other owner one.
    void ChooseHostAndZone(Octets values) {
        bool firstIsSrv = false;
        if (values.size() >= 6) {
            firstIsSrv = ValueLength(values, 0) >= 2 && ((values[4] << 8) | values[5]) == rrtype::SRV;
        }
        if (firstIsSrv) {
            host_ = directory::GetNameComponent(facts_.domainName, 0) + '.' +
                    directory::GetNameComponent(facts_.domainName, 1) + '.' +
                    directory::GetNameComponent(facts_.domainName, 2);
            zone_ = directory::DropLeadingComponents(facts_.domainName, 3, false);
        } else {
            host_ = directory::GetNameComponent(facts_.domainName, 0);
            zone_ = directory::DropLeadingComponents(facts_.domainName, 1, false);
        }
    }

    const std::string& Description() {
        if (!description_) {
            description_ = SanitizeText(facts_.readDescription ? facts_.readDescription() : std::string());
        }
        return *description_;
    }

    RecordListKind FlagList() const { return reverse_ ? RecordListKind::RevDns : RecordListKind::Dns; }

    // A row of the DNS layout: name, type text, zone, info (and the extra sub-item of RP rows).
    RecordRow DnsRow(RecordListKind list, std::string caption, std::string name, const char* typeText,
                     std::string info, int image) {
        RecordRow row;
        row.list = list;
        row.caption = std::move(caption);
        row.subItems.reserve(6);
        row.subItems.push_back(std::move(name));
        row.subItems.emplace_back(typeText);
        row.subItems.push_back(zone_);
        row.subItems.push_back(std::move(info));
        row.imageIndex = image;
        return row;
    }

    RecordRow CarriedRow(RecordListKind list, const char* typeText, std::string info, int image) {
        return DnsRow(list, lastIP_, lastName_, typeText, std::move(info), image);
    }

    RecordRow PtrRow(const RecordReader& rec) {
        reverse_ = true;
        unsigned budget = rec.Byte(9);
        std::size_t position = kRDataOffset;
        std::string hostLabel;
        std::string collected;
        while (budget > 1) {
            unsigned length = rec.Byte(position++);
            --budget;
            for (unsigned taken = 0; taken < length && budget > 1; ++taken) {
                char c = static_cast<char>(rec.Byte(position++));
                --budget;
                if (c != '\0') {
                    collected += c;
                }
            }
            if (hostLabel.empty()) {
                hostLabel = LowerCase(collected);
                collected.clear();
            } else {
                collected += '.';
            }
        }
        if (!collected.empty()) {
            collected.pop_back();
        }
        RecordRow row;
        row.list = RecordListKind::RevDns;
        row.caption = AddressOfReverseName(facts_.domainName);
        row.subItems = {std::move(hostLabel), LowerCase(std::move(collected)), Description()};
        row.imageIndex = 19;
        return row;
    }

    RecordRow MakeRow(const RecordReader& rec) {
        const std::size_t rd = kRDataOffset;
        std::size_t next = 0;
        const unsigned type = rec.Word(0);
        switch (type) {
        case rrtype::A:
            lastIP_ = rec.Address(rd);
            lastName_ = host_;
            return DnsRow(RecordListKind::Dns, lastIP_, lastName_, "A", Description(), 4);
        case rrtype::NS:
            return CarriedRow(FlagList(), "NS", rec.Name(rd), 13);
        case rrtype::CNAME:
            return CarriedRow(FlagList(), "CNAME", rec.Name(rd), 6);
        case rrtype::MB:
            return CarriedRow(RecordListKind::Dns, "MB", rec.Name(rd), 12);
        case rrtype::MG:
            return CarriedRow(RecordListKind::Dns, "MG", rec.Name(rd), 11);
        case rrtype::MR:
            return CarriedRow(RecordListKind::Dns, "MR", rec.Name(rd), 15);
        case rrtype::WKS:
            return CarriedRow(RecordListKind::Dns, "WKS", WksInfo(rec), 3);
        case rrtype::PTR:
            return PtrRow(rec);
        case rrtype::HINFO: {
            std::string cpu = rec.String(rd, &next);
            return CarriedRow(FlagList(), "HINFO", "cpu: " + cpu + "  os: " + rec.String(next), 14);
        }
        case rrtype::MINFO: {
            std::string mailbox = rec.Name(rd, &next);
            return CarriedRow(
                FlagList(), "MINFO",
                "responsible mailbox: " + mailbox + "  error message mailbox: " + rec.Name(next), 16);
        }
        case rrtype::MX:
            return CarriedRow(FlagList(), "MX",
                              "prev: " + rec.WordText(rd) + "  exchange: " + rec.Name(rd + 2), 9);
        case rrtype::TXT:
            return CarriedRow(FlagList(), "TXT", rec.String(rd), 7);
        case rrtype::RP: {
            std::string mailbox = rec.Name(rd, &next);
            RecordRow row =
                CarriedRow(FlagList(), "RP",
                           "Res. Pers. MB: " + mailbox + ",  TXT RR Domain name: " + rec.Name(next), 17);
            row.subItems.emplace_back("!!!");
            return row;
        }
        case rrtype::AFSDB:
            return CarriedRow(RecordListKind::Dns, "AFSDB",
                              "Subtype: " + rec.WordText(rd) + ",  Hostname: " + rec.Name(rd + 2), 16);
        case rrtype::X25:
            return CarriedRow(FlagList(), "X25", rec.String(rd), 2);
        case rrtype::ISDN:
            return CarriedRow(FlagList(), "ISDN", rec.String(rd), 1);
        case rrtype::RT:
            return CarriedRow(FlagList(), "RT",
                              "Pref: " + rec.WordText(rd) + ",  Intermediate: " + rec.Name(rd + 2), 8);
        case rrtype::PX: {
            std::string map822 = rec.Name(rd + 2, &next);
            return CarriedRow(FlagList(), "PX",
                              "Subtype: " + rec.WordText(rd) + ",  MAP 822: " + map822 + ",  MAP X.400 " +
                                  rec.Name(next),
                              10);
        }
        case rrtype::AAAA:
            return CarriedRow(FlagList(), "IPv6", IPv6Info(rec), 0);
        case rrtype::SRV:
            return DnsRow(RecordListKind::Dns, std::string(), host_, "SRV",
                          "Prio: " + rec.WordText(rd) + ", Weight:" + rec.WordText(rd + 2) +
                              ", Port:" + rec.WordText(rd + 4) + ", Target:" + rec.Name(rd + 6),
                          18);
        default:
            // The whole 16-bit type decides: a type of 256 or more is unknown, whatever its low byte.
            return CarriedRow(FlagList(), "unknown",
                              "Unknown record type: " + std::to_string(type) + " " + facts_.objectName, -1);
        }
    }

    void Decode(const RecordReader& rec) {
        RecordRow row = MakeRow(rec);
        row.rowReference = origin_.rowReference;
        row.tree = origin_.tree;
        row.container = origin_.container;
        row.subItems.push_back(facts_.objectName);
        if (cache_ != nullptr) {
            cache_->WriteCacheLine(section_, row.caption, DnsCacheValue(row, reverse_));
        }
        rows_.push_back(std::move(row));
    }

    const RRSetFacts& facts_;
    const RowOrigin& origin_;
    std::vector<RecordRow>& rows_;
    RecordCacheWriter* cache_;
    const std::string& section_;
    bool reverse_;
    std::string host_;
    std::string zone_;
    std::string lastIP_;
    std::string lastName_;
    std::optional<std::string> description_;
};

} // namespace

std::string CopyRecBytes(Octets record, int position, int count) {
    const std::size_t limit = std::max(record.size(), kZeroFilledRecordSize);
    if (position < 1 || count < 0 || count > 256 || static_cast<std::size_t>(position) - 1 + count > limit) {
        throw RecordDecodeError("record field beyond the record");
    }
    const std::size_t start = static_cast<std::size_t>(position) - 1;
    std::size_t end = std::min<std::size_t>(start + std::min(count, 255), record.size());
    if (start >= end) {
        return {};
    }
    const auto* first = reinterpret_cast<const char*>(record.data()) + start;
    const void* zero = std::memchr(first, 0, end - start);
    std::size_t length = zero != nullptr ? static_cast<const char*>(zero) - first : end - start;
    return std::string(first, length);
}

void DecodeRRSetValues(const RRSetFacts& facts, Octets values, const RowOrigin& origin,
                       std::vector<RecordRow>& rows, RecordCacheWriter* cache,
                       const std::string& cacheSection) {
    RRSetWalker(facts, origin, rows, cache, cacheSection).Walk(values);
}

} // namespace browser
