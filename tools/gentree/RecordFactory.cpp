#include "tools/gentree/RecordFactory.h"

#include <algorithm>

namespace gentree {

namespace {

void AppendWord(Bytes& out, unsigned word) {
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word));
}

void AppendString(Bytes& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void AppendName(Bytes& out, const std::string& name) {
    AppendString(out, name);
    out.push_back(0);
}

void AppendLabels(Bytes& out, const std::string& dotted) {
    std::size_t start = 0;
    while (start < dotted.size()) {
        std::size_t dot = std::min(dotted.find('.', start), dotted.size());
        AppendString(out, dotted.substr(start, dot - start));
        start = dot + 1;
    }
    out.push_back(0);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string Hex4(unsigned word) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += hex[(word >> shift) & 15];
    }
    return out;
}

struct Service {
    unsigned port;
    const char* name; // empty: not shown by the browser
};

// The browser shows these ports in this order; 80 and 110 are set in bitmaps but never shown.
const std::vector<Service> kServices = {
    {68, "Bootpc "}, {67, "Bootps "}, {9, "Discard "}, {53, "Domain "}, {7, "Echo "},  {79, "Finger "},
    {21, "FTP "},    {119, "NNTP "},  {109, "POP-2 "}, {39, "RLP "},    {25, "SMTP "}, {23, "Telnet "},
    {69, "TFTP "},   {37, "TIME "},   {80, ""},        {110, ""},
};

const char* ProtocolText(int protocol) {
    switch (protocol) {
    case 1:
        return "ICMP ";
    case 6:
        return "TCP ";
    case 17:
        return "UDP ";
    default:
        return "??? ";
    }
}

const std::vector<std::string> kCpus = {"x86_64", "PENTIUM", "SPARC", "ALPHA", "ARM"};
const std::vector<std::string> kSystems = {"NETWARE", "LINUX", "WINNT", "UNIX", "OS/2"};
const std::vector<std::string> kTexts = {"v=spf1 mx -all", "owner: network team", "printer, 2nd floor",
                                         "say \"hello\"", "rack 12 slot 4"};

} // namespace

std::string DottedAddress(std::uint32_t address) {
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 255) + '.' +
           std::to_string((address >> 8) & 255) + '.' + std::to_string(address & 255);
}

const std::vector<std::uint16_t>& ForwardCycleTypes() {
    static const std::vector<std::uint16_t> types = {2,  5,  7,  8,  9,  11, 13,  14, 15,    16, 17,
                                                     18, 19, 20, 21, 26, 28, 257, 99, 65280, 1};
    return types;
}

const std::vector<std::uint16_t>& ReverseCycleTypes() {
    static const std::vector<std::uint16_t> types = {16, 13, 2, 5, 28, 1};
    return types;
}

GeneratedRecord RecordFactory::Finish(std::uint16_t type, const Bytes& rdata, std::string typeText,
                                      std::string info, int image, ListRule list) {
    static const unsigned ttls[] = {300, 3600, 86400, 604800};
    GeneratedRecord record;
    record.type = type;
    AppendWord(record.value, type);
    AppendWord(record.value, 1); // class IN
    unsigned ttl = ttls[random_.Below(4)];
    AppendWord(record.value, ttl >> 16);
    AppendWord(record.value, ttl & 0xFFFF);
    AppendWord(record.value, static_cast<unsigned>(rdata.size()));
    record.value.insert(record.value.end(), rdata.begin(), rdata.end());
    record.typeText = std::move(typeText);
    record.info = std::move(info);
    record.image = image;
    record.list = list;
    return record;
}

std::string RecordFactory::HostIn(const std::string& zoneDomain, const char* prefix) {
    return prefix + std::to_string(random_.Between(1, 99)) + '.' + zoneDomain;
}

GeneratedRecord RecordFactory::Address(std::uint32_t address) {
    Bytes rdata = {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
                   static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
    GeneratedRecord record = Finish(1, rdata, "A", "", 4, ListRule::Dns);
    record.address = DottedAddress(address);
    return record;
}

GeneratedRecord RecordFactory::Pointer(const std::string& target) {
    Bytes rdata;
    AppendLabels(rdata, target);
    GeneratedRecord record = Finish(12, rdata, "", "", 19, ListRule::Rev);
    std::size_t dot = target.find('.');
    record.ptrHost = Lower(target.substr(0, dot));
    record.ptrDomain = dot == std::string::npos ? "" : Lower(target.substr(dot + 1));
    return record;
}

GeneratedRecord RecordFactory::LongText() {
    Bytes rdata;
    std::string first;
    for (int i = 0; i < 5; ++i) {
        std::string chunk(240, static_cast<char>('a' + i));
        chunk.replace(0, 6, "part" + std::to_string(i) + ":");
        AppendString(rdata, chunk);
        if (i == 0) {
            first = chunk;
        }
    }
    return Finish(16, rdata, "TXT", first, 7, ListRule::Flag);
}

GeneratedRecord RecordFactory::Make(std::uint16_t type, const std::string& zoneDomain) {
    Bytes rdata;
    switch (type) {
    case 1: {
        std::uint32_t second = random_.Below(256);
        std::uint32_t third = random_.Below(256);
        std::uint32_t fourth = static_cast<std::uint32_t>(random_.Between(1, 254));
        return Address((10u << 24) | (second << 16) | (third << 8) | fourth);
    }
    case 2:
    case 5:
    case 7:
    case 8:
    case 9: {
        static const char* prefixes[] = {"", "", "ns", "", "", "cname", "", "mb", "mg", "mr"};
        static const char* texts[] = {"", "", "NS", "", "", "CNAME", "", "MB", "MG", "MR"};
        static const int images[] = {0, 0, 13, 0, 0, 6, 0, 12, 11, 15};
        std::string name = HostIn(zoneDomain, prefixes[type]);
        AppendName(rdata, name);
        ListRule list = (type == 2 || type == 5) ? ListRule::Flag : ListRule::Dns;
        return Finish(type, rdata, texts[type], name, images[type], list);
    }
    case 11: {
        std::uint32_t third = random_.Below(256);
        std::uint32_t address =
            (10u << 24) | (third << 8) | static_cast<std::uint32_t>(random_.Between(1, 254));
        static const int protocols[] = {6, 17, 1, 250};
        int protocol = protocols[random_.Below(4)];
        rdata = {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
                 static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
                 static_cast<std::uint8_t>(protocol)};
        Bytes bitmap;
        std::string services;
        for (const Service& service : kServices) {
            if (random_.Chance(40)) {
                if (bitmap.size() <= service.port / 8) {
                    bitmap.resize(service.port / 8 + 1, 0);
                }
                bitmap[service.port / 8] |= static_cast<std::uint8_t>(0x80u >> (service.port % 8));
                services += service.name;
            }
        }
        if (bitmap.empty()) {
            bitmap.push_back(0);
        }
        rdata.insert(rdata.end(), bitmap.begin(), bitmap.end());
        return Finish(11, rdata, "WKS",
                      DottedAddress(address) + " Protocol " + ProtocolText(protocol) +
                          "Services: " + services,
                      3, ListRule::Dns);
    }
    case 13: {
        const std::string& cpu = random_.Pick(kCpus);
        const std::string& os = random_.Pick(kSystems);
        AppendString(rdata, cpu);
        AppendString(rdata, os);
        return Finish(13, rdata, "HINFO", "cpu: " + cpu + "  os: " + os, 14, ListRule::Flag);
    }
    case 14: {
        std::string responsible = HostIn(zoneDomain, "admin");
        std::string errors = HostIn(zoneDomain, "errors");
        AppendName(rdata, responsible);
        AppendName(rdata, errors);
        return Finish(14, rdata, "MINFO",
                      "responsible mailbox: " + responsible + "  error message mailbox: " + errors, 16,
                      ListRule::Flag);
    }
    case 15: {
        unsigned preference = random_.Between(0, 100);
        std::string exchange = HostIn(zoneDomain, "mail");
        AppendWord(rdata, preference);
        AppendName(rdata, exchange);
        return Finish(15, rdata, "MX", "prev: " + std::to_string(preference) + "  exchange: " + exchange, 9,
                      ListRule::Flag);
    }
    case 16: {
        const std::string& text = random_.Pick(kTexts);
        AppendString(rdata, text);
        if (random_.Chance(50)) {
            AppendString(rdata, "second string");
        }
        return Finish(16, rdata, "TXT", text, 7, ListRule::Flag);
    }
    case 17: {
        std::string mailbox = HostIn(zoneDomain, "hostmaster");
        std::string txt = HostIn(zoneDomain, "contact");
        AppendName(rdata, mailbox);
        AppendName(rdata, txt);
        GeneratedRecord record =
            Finish(17, rdata, "RP", "Res. Pers. MB: " + mailbox + ",  TXT RR Domain name: " + txt, 17,
                   ListRule::Flag);
        record.extraItem = true;
        return record;
    }
    case 18: {
        unsigned subtype = random_.Between(1, 2);
        std::string host = HostIn(zoneDomain, "afsdb");
        AppendWord(rdata, subtype);
        AppendName(rdata, host);
        return Finish(18, rdata, "AFSDB", "Subtype: " + std::to_string(subtype) + ",  Hostname: " + host, 16,
                      ListRule::Dns);
    }
    case 19: {
        std::string address = "3110617" + std::to_string(random_.Between(10000, 99999));
        AppendString(rdata, address);
        return Finish(19, rdata, "X25", address, 2, ListRule::Flag);
    }
    case 20: {
        std::string address = "15086202" + std::to_string(random_.Between(1000000, 9999999));
        AppendString(rdata, address);
        if (random_.Chance(50)) {
            AppendString(rdata, std::to_string(random_.Between(100, 999)));
        }
        return Finish(20, rdata, "ISDN", address, 1, ListRule::Flag);
    }
    case 21: {
        unsigned preference = random_.Between(0, 65535);
        std::string host = HostIn(zoneDomain, "relay");
        AppendWord(rdata, preference);
        AppendName(rdata, host);
        return Finish(21, rdata, "RT", "Pref: " + std::to_string(preference) + ",  Intermediate: " + host, 8,
                      ListRule::Flag);
    }
    case 26: {
        unsigned preference = random_.Between(0, 50);
        std::string map822 = HostIn(zoneDomain, "map");
        std::string mapX400 = "x400.prmd-" + std::to_string(random_.Between(1, 9)) + ".admd.c";
        AppendWord(rdata, preference);
        AppendName(rdata, map822);
        AppendName(rdata, mapX400);
        return Finish(26, rdata, "PX",
                      "Subtype: " + std::to_string(preference) + ",  MAP 822: " + map822 + ",  MAP X.400 " +
                          mapX400,
                      10, ListRule::Flag);
    }
    case 28: {
        std::string info;
        for (int group = 0; group < 8; ++group) {
            unsigned word = group == 0   ? 0x2001
                            : group == 1 ? 0x0DB8
                                         : (random_.Chance(50) ? 0 : random_.Below(65536));
            AppendWord(rdata, word);
            info += (group ? ":" : "") + Hex4(word);
        }
        return Finish(28, rdata, "IPv6", info, 0, ListRule::Flag);
    }
    case 33: {
        unsigned priority = random_.Between(0, 20);
        unsigned weight = random_.Between(0, 100);
        unsigned port = random_.Pick(std::vector<unsigned>{389, 5060, 88, 443, 3268});
        std::string target = HostIn(zoneDomain, "dc");
        AppendWord(rdata, priority);
        AppendWord(rdata, weight);
        AppendWord(rdata, port);
        AppendName(rdata, target);
        return Finish(33, rdata, "SRV",
                      "Prio: " + std::to_string(priority) + ", Weight:" + std::to_string(weight) +
                          ", Port:" + std::to_string(port) + ", Target:" + target,
                      18, ListRule::Dns);
    }
    default: {
        // A type the browser does not know (CAA, SPF, a private type): only its number is shown,
        // with the record set's name, which the tree fills in.
        if (type == 257) {
            rdata = {0, 5, 'i', 's', 's', 'u', 'e'};
            std::string ca = "ca" + std::to_string(random_.Below(1000)) + ".example.net";
            rdata.insert(rdata.end(), ca.begin(), ca.end());
        } else if (type == 99) {
            AppendString(rdata, "v=spf1 ip4:10.0.0." + std::to_string(random_.Below(256)) + " -all");
        } else {
            for (int i = 0; i < 6; ++i) {
                rdata.push_back(static_cast<std::uint8_t>(random_.Below(256)));
            }
        }
        return Finish(type, rdata, "unknown", "Unknown record type: " + std::to_string(type) + " ", -1,
                      ListRule::Flag);
    }
    }
}

} // namespace gentree
