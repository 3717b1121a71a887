// Cross-check against ldns: for every generated record of a standard type, the fields that ldns
// reads from the same RDATA must be what the decoder shows.

#include "browser/records/RRSetDecoder.h"
#include "tools/gentree/TreeGenerator.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ldns/ldns.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>

using namespace browser;

namespace {

struct RrDeleter {
    void operator()(ldns_rr* rr) const { ldns_rr_free(rr); }
};
using RrPtr = std::unique_ptr<ldns_rr, RrDeleter>;

// The record as a wire RR: the root owner name, then the stored TYPE, CLASS, TTL, RDLENGTH, RDATA.
RrPtr ParseWithLdns(const std::string& value) {
    std::vector<std::uint8_t> wire = {0};
    wire.insert(wire.end(), value.begin(), value.end());
    ldns_rr* rr = nullptr;
    size_t position = 0;
    ldns_status status = ldns_wire2rr(&rr, wire.data(), wire.size(), &position, LDNS_SECTION_ANSWER);
    EXPECT_EQ(status, LDNS_STATUS_OK) << ldns_get_errorstr_by_id(status);
    return RrPtr(status == LDNS_STATUS_OK ? rr : nullptr);
}

ldns_rdf* Field(const ldns_rr* rr, size_t index) {
    return ldns_rr_rdf(rr, index);
}

std::string Number(const ldns_rr* rr, size_t index) {
    return std::to_string(ldns_rdf2native_int16(Field(rr, index)));
}

// A character string as ldns holds it: length byte and characters.
std::string Text(const ldns_rr* rr, size_t index) {
    const ldns_rdf* rdf = Field(rr, index);
    EXPECT_EQ(ldns_rdf_get_type(rdf), LDNS_RDF_TYPE_STR);
    const uint8_t* data = ldns_rdf_data(rdf);
    return std::string(reinterpret_cast<const char*>(data) + 1, data[0]);
}

// A name field is stored as one label holding the dotted name: ldns reads that label.
std::string Name(const ldns_rr* rr, size_t index) {
    ldns_rdf* rdf = Field(rr, index);
    EXPECT_EQ(ldns_rdf_get_type(rdf), LDNS_RDF_TYPE_DNAME);
    EXPECT_EQ(ldns_dname_label_count(rdf), 1u);
    const uint8_t* data = ldns_rdf_data(rdf);
    return std::string(reinterpret_cast<const char*>(data) + 1, data[0]);
}

std::string Printed(const ldns_rdf* rdf) {
    char* text = ldns_rdf2str(rdf);
    std::string out = text != nullptr ? text : "";
    LDNS_FREE(text);
    return out;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The row of one record decoded alone.
RecordRow DecodeAlone(const std::string& value) {
    std::vector<std::uint8_t> values;
    auto size = static_cast<std::uint32_t>(value.size());
    for (int shift = 0; shift < 32; shift += 8) {
        values.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    values.insert(values.end(), value.begin(), value.end());
    RRSetFacts facts{"rrset.zone.T", false, "9.8.7.6.in-addr.arpa", [] { return std::string(); }};
    std::vector<RecordRow> rows;
    DecodeRRSetValues(facts, values, RowOrigin{}, rows);
    EXPECT_EQ(rows.size(), 1u);
    return rows.empty() ? RecordRow{} : rows.front();
}

struct Port {
    unsigned port;
    const char* name;
};
const Port kShownPorts[] = {{68, "Bootpc "}, {67, "Bootps "}, {9, "Discard "}, {53, "Domain "}, {7, "Echo "},
                            {79, "Finger "}, {21, "FTP "},    {119, "NNTP "},  {109, "POP-2 "}, {39, "RLP "},
                            {25, "SMTP "},   {23, "Telnet "}, {69, "TFTP "},   {37, "TIME "}};

// What the decoder must show, built from the fields as ldns reads them.
std::string InfoFromLdns(const ldns_rr* rr) {
    switch (ldns_rr_get_type(rr)) {
    case LDNS_RR_TYPE_NS:
    case LDNS_RR_TYPE_CNAME:
    case LDNS_RR_TYPE_MB:
    case LDNS_RR_TYPE_MG:
    case LDNS_RR_TYPE_MR:
        return Name(rr, 0);
    case LDNS_RR_TYPE_HINFO:
        return "cpu: " + Text(rr, 0) + "  os: " + Text(rr, 1);
    case LDNS_RR_TYPE_MINFO:
        return "responsible mailbox: " + Name(rr, 0) + "  error message mailbox: " + Name(rr, 1);
    case LDNS_RR_TYPE_MX:
        return "prev: " + Number(rr, 0) + "  exchange: " + Name(rr, 1);
    case LDNS_RR_TYPE_TXT:
    case LDNS_RR_TYPE_X25:
    case LDNS_RR_TYPE_ISDN:
        return Text(rr, 0);
    case LDNS_RR_TYPE_RP:
        return "Res. Pers. MB: " + Name(rr, 0) + ",  TXT RR Domain name: " + Name(rr, 1);
    case LDNS_RR_TYPE_AFSDB:
        return "Subtype: " + Number(rr, 0) + ",  Hostname: " + Name(rr, 1);
    case LDNS_RR_TYPE_RT:
        return "Pref: " + Number(rr, 0) + ",  Intermediate: " + Name(rr, 1);
    case LDNS_RR_TYPE_PX:
        return "Subtype: " + Number(rr, 0) + ",  MAP 822: " + Name(rr, 1) + ",  MAP X.400 " + Name(rr, 2);
    case LDNS_RR_TYPE_SRV:
        return "Prio: " + Number(rr, 0) + ", Weight:" + Number(rr, 1) + ", Port:" + Number(rr, 2) +
               ", Target:" + Name(rr, 3);
    case LDNS_RR_TYPE_WKS: {
        const ldns_rdf* services = Field(rr, 1);
        const uint8_t* data = ldns_rdf_data(services);
        size_t size = ldns_rdf_size(services);
        std::map<int, std::string> protocols = {{1, "ICMP "}, {2, "IGMP "}, {3, "GGP "}, {6, "TCP "},
                                                {8, "EGP "},  {9, "IGP "},  {17, "UDP "}};
        std::string info = Printed(Field(rr, 0)) + " Protocol " +
                           (protocols.count(data[0]) ? protocols[data[0]] : std::string("??? ")) +
                           "Services: ";
        for (const Port& port : kShownPorts) {
            size_t byte = 1 + port.port / 8;
            if (byte < size && (data[byte] & (0x80 >> (port.port % 8)))) {
                info += port.name;
            }
        }
        return info;
    }
    default:
        ADD_FAILURE() << "no check for type " << ldns_rr_get_type(rr);
        return {};
    }
}

void CheckRecord(const std::string& value) {
    RrPtr rr = ParseWithLdns(value);
    ASSERT_TRUE(rr);
    RecordRow row = DecodeAlone(value);
    switch (ldns_rr_get_type(rr.get())) {
    case LDNS_RR_TYPE_A:
        EXPECT_EQ(row.caption, Printed(Field(rr.get(), 0)));
        break;
    case LDNS_RR_TYPE_AAAA: {
        std::array<unsigned char, 16> shown{};
        ASSERT_EQ(inet_pton(AF_INET6, row.subItems.at(3).c_str(), shown.data()), 1) << row.subItems.at(3);
        ASSERT_EQ(ldns_rdf_size(Field(rr.get(), 0)), 16u);
        EXPECT_EQ(0, std::memcmp(shown.data(), ldns_rdf_data(Field(rr.get(), 0)), 16))
            << row.subItems.at(3) << " vs " << Printed(Field(rr.get(), 0));
        break;
    }
    case LDNS_RR_TYPE_PTR: {
        std::string target = Lower(Printed(Field(rr.get(), 0))); // "host5.z1.acme.com."
        std::size_t dot = target.find('.');
        EXPECT_EQ(row.subItems.at(0), target.substr(0, dot));
        EXPECT_EQ(row.subItems.at(1), target.substr(dot + 1, target.size() - dot - 2));
        EXPECT_EQ(row.caption, "6.7.8.9");
        break;
    }
    default:
        EXPECT_EQ(row.subItems.at(3), InfoFromLdns(rr.get())) << "type " << ldns_rr_get_type(rr.get());
    }
}

bool StandardType(const std::string& value) {
    unsigned type = (static_cast<unsigned char>(value[0]) << 8) | static_cast<unsigned char>(value[1]);
    return type <= 33 && type != 0;
}

} // namespace

TEST(LdnsCrossCheck, DecoderShowsWhatLdnsReadsForEveryGeneratedStandardRecord) {
    std::map<unsigned, int> checked;
    for (int seed = 1; seed <= 3; ++seed) {
        gentree::GeneratedTree tree = gentree::GenerateTree(gentree::TreeOptions{
            "LDNS", seed, static_cast<std::uint64_t>(seed), gentree::TreeSize{3, 2, 25, 6, 0, 0}});
        for (const gentree::LdifEntry& entry : tree.entries) {
            for (const gentree::LdifAttribute& attribute : entry.attributes) {
                if (attribute.name != "dnipRR" || !StandardType(attribute.value.text)) {
                    continue;
                }
                SCOPED_TRACE(entry.dn);
                CheckRecord(attribute.value.text);
                ++checked[static_cast<unsigned char>(attribute.value.text[1])];
            }
        }
    }
    for (unsigned type : {1, 2, 5, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 26, 28, 33}) {
        EXPECT_GT(checked[type], 0) << "no generated record of type " << type;
    }
}
