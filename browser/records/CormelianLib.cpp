#include "browser/records/CormelianLib.h"

#include "browser/records/DirectoryAttributeSource.h"
#include "directory/nwextra.h"

#include <algorithm>
#include <charconv>

namespace browser {

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A directory time read as decimal seconds and shown as date and time; empty when it cannot be
// read or converted.
std::string TimeAttributeText(AttributeSource& source, const std::string& objectName,
                              const std::string& attributeName) {
    try {
        std::string text = Trimmed(source.ReadText(objectName, attributeName));
        std::uint32_t seconds = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
            return {};
        }
        return source.TimeText(seconds);
    } catch (...) {
        return {};
    }
}

} // namespace

std::string AssignmentTypeText(std::int32_t type) {
    switch (type) {
    case 1:
        return "Automatic";
    case 2:
        return "Dynamic";
    case 8:
        return "Manual";
    case 32:
        return "Unauthorized";
    case 64:
        return "Fixed Host Dynamic";
    case 128:
        return "Exclude";
    case 256:
        return "Free";
    default:
        return "?????";
    }
}

std::string MacAddressText(Octets value) {
    static const char hex[] = "0123456789ABCDEF";
    if (value.size() < 6) {
        return {};
    }
    std::string text;
    for (std::uint8_t byte : value.last(6)) {
        if (!text.empty()) {
            text += ':';
        }
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    return text;
}

int ListRRSet(AttributeSource& source, const std::string& rrsetName, std::vector<RecordRow>& rows,
              const RowOrigin& origin, RecordCacheWriter* cache, const std::string& cacheSection) {
    try {
        if (directory::GetNameComponent(rrsetName, 0) == "@") {
            return 0; // the zone apex is never listed
        }
        const std::string zoneName = directory::DropLeadingComponents(rrsetName, 1, true);
        RRSetFacts facts;
        facts.objectName = rrsetName;
        facts.reverseZone = source.ReadText(zoneName, "DNIP:Zone type") == "4";
        std::vector<std::uint8_t> values = source.ReadOctetList(rrsetName, "DNIP:RR");
        facts.domainName = source.ReadText(rrsetName, "DNIP:DNS Domain name");
        facts.readDescription = [&source, &rrsetName] { return source.ReadText(rrsetName, "Description"); };
        DecodeRRSetValues(facts, values, origin, rows, cache, cacheSection);
        return 0;
    } catch (...) {
        return 1;
    }
}

int ListRRSet(directory::NWDSContextHandle context, const std::string& rrsetName,
              std::vector<RecordRow>& rows, const RowOrigin& origin, RecordCacheWriter* cache,
              const std::string& cacheSection) {
    DirectoryAttributeSource source(context);
    return ListRRSet(source, rrsetName, rows, origin, cache, cacheSection);
}

int FillDhcpAddressRow(AttributeSource& source, const std::string& addressName, RecordRow& row,
                       const RowOrigin& origin) {
    row.list = RecordListKind::Dhcp;
    row.tree = origin.tree;
    row.container = origin.container;
    try {
        std::string caption = source.ReadText(addressName, "CN");
        std::replace(caption.begin(), caption.end(), '_', '.');
        row.caption = caption;
        row.subItems.push_back(Trimmed(source.ReadText(addressName, "DNIP:Host Name")));
        row.rowReference = origin.rowReference;
        row.subItems.push_back(
            AssignmentTypeText(source.ReadInteger(addressName, "DNIP:Assignment Type", 0)));
        std::string mac;
        try {
            mac = MacAddressText(source.ReadOctets(addressName, "DNIP:MAC Address"));
        } catch (...) {
            mac.clear();
        }
        row.subItems.push_back(mac);
        row.subItems.push_back(TimeAttributeText(source, addressName, "DNIP:Last Used"));
        row.subItems.push_back(TimeAttributeText(source, addressName, "DNIP:Lease Expiration"));
        row.subItems.push_back(source.ReadText(addressName, "DNIP:Comment"));
        row.subItems.push_back(addressName);
        return 0;
    } catch (...) {
        return 1;
    }
}

int FillDhcpAddressRow(directory::NWDSContextHandle context, const std::string& addressName, RecordRow& row,
                       const RowOrigin& origin) {
    DirectoryAttributeSource source(context);
    return FillDhcpAddressRow(source, addressName, row, origin);
}

std::vector<std::string> ListObjectsOfClass(AttributeSource& source, const std::string& className,
                                            const std::string& containerName) {
    return source.SearchObjectsByClass(className, containerName);
}

std::vector<std::string> ListObjectsOfClass(directory::NWDSContextHandle context,
                                            const std::string& className, const std::string& containerName) {
    DirectoryAttributeSource source(context);
    return ListObjectsOfClass(source, className, containerName);
}

} // namespace browser
