// Fuzz harness: the DNS record-set decoder and the attribute-pane renderers on arbitrary values. The
// first byte picks the routine; each value is copied into a buffer of its own exact size, so that a
// read past the value is a read past an allocation.
#include "browser/dhcp/AttributePanes.h"
#include "browser/records/OptionRenderers.h"
#include "browser/records/RRSetDecoder.h"

#include <vector>

namespace {

class CacheSink : public browser::RecordCacheWriter {
public:
    void WriteCacheLine(const std::string&, const std::string& key, const std::string& value) override {
        bytes += key.size() + value.size();
    }
    std::size_t bytes = 0;
};

void decodeRecordSet(bool reverse, const std::vector<uint8_t>& values) {
    browser::RRSetFacts facts;
    facts.objectName = "www.example_com.DNS.ACME";
    facts.reverseZone = reverse;
    facts.domainName = reverse ? "1.0.10.in-addr.arpa" : "www.example.com";
    facts.readDescription = [] { return std::string("description"); };
    std::vector<browser::RecordRow> rows;
    CacheSink cache;
    try {
        browser::DecodeRRSetValues(facts, values, browser::RowOrigin{}, rows, &cache, "zone");
    } catch (const browser::RecordDecodeError&) {
        // a record that reaches past its value ends the walk, as documented
    }
}

void render(uint8_t choice, const std::vector<uint8_t>& value) {
    const browser::Octets octets(value);
    try {
        switch (choice % 16) {
        case 0:
            decodeRecordSet(false, value);
            break;
        case 1:
            decodeRecordSet(true, value);
            break;
        case 2:
            browser::FormatOptionValue(octets);
            break;
        case 3:
            browser::FormatMacRecord(octets);
            break;
        case 4:
            browser::ListCfgPreferences(octets);
            break;
        case 5:
            browser::CountedAddressGroups(octets);
            break;
        case 6:
            browser::AddressGroups(octets);
            break;
        case 7:
            browser::CountedAddressBytes(octets);
            break;
        case 8:
            browser::DhcpOptionToStr(octets);
            break;
        case 9:
            browser::OctetsToIPList(octets);
            break;
        case 10:
            browser::OctetsToIntStr(octets);
            break;
        case 11:
            browser::OctetToEnabledStr(octets);
            break;
        case 12:
            browser::OctetsToHexStr(octets);
            break;
        case 13:
            browser::OctetsToUnsignedStr(octets);
            break;
        case 14:
            browser::OctetsToText(octets);
            break;
        default: {
            const int position = value.empty() ? 0 : value[0];
            const int count = value.size() < 2 ? 0 : value[1];
            try {
                browser::CopyRecBytes(octets, position, count);
            } catch (const browser::RecordDecodeError&) {
            }
        }
        }
    } catch (const browser::FormatError&) {
        // a value the renderer cannot show: the panes catch this and show what they can
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    render(data[0], std::vector<uint8_t>(data + 1, data + size));
    return 0;
}
