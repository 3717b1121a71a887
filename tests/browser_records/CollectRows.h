#pragma once

// Runs the record decoding over a whole generated tree, the way the collections do, and gives the
// rows in the manifest's form.

#include "GeneratedTreeSource.h"
#include "browser/records/CormelianLib.h"
#include "tools/gentree/Manifest.h"

#include <string>
#include <vector>

inline gentree::ExpectedRow ToExpected(const browser::RecordRow& row) {
    gentree::ExpectedRow out;
    out.list = row.list == browser::RecordListKind::Dns      ? "DNS"
               : row.list == browser::RecordListKind::RevDns ? "REV-DNS"
                                                             : "DHCP";
    out.container = row.container;
    out.caption = row.caption;
    out.image = row.imageIndex;
    out.subItems = row.subItems;
    return out;
}

// Every zone's record sets, then every subnet's address objects. `failures` counts calls that
// returned 1.
inline std::vector<gentree::ExpectedRow> CollectRows(browser::AttributeSource& source,
                                                     const std::string& tree, int& failures) {
    std::vector<gentree::ExpectedRow> rows;
    failures = 0;
    int zoneIndex = 0;
    for (const std::string& zone : source.SearchObjectsByClass("DNIP:DNS Zone", tree)) {
        std::vector<browser::RecordRow> decoded;
        browser::RowOrigin origin{zoneIndex++, tree, zone};
        for (const std::string& rrset : browser::ListObjectsOfClass(source, browser::kRRSetClass, zone)) {
            failures += browser::ListRRSet(source, rrset, decoded, origin);
        }
        for (const browser::RecordRow& row : decoded) {
            rows.push_back(ToExpected(row));
        }
    }
    int subnetIndex = 0;
    for (const std::string& subnet : source.SearchObjectsByClass("DNIP:Subnet", tree)) {
        browser::RowOrigin origin{subnetIndex++, tree, subnet};
        for (const std::string& address :
             browser::ListObjectsOfClass(source, browser::kAddressClass, subnet)) {
            browser::RecordRow row;
            failures += browser::FillDhcpAddressRow(source, address, row, origin);
            rows.push_back(ToExpected(row));
        }
    }
    return rows;
}
