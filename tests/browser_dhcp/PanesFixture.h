#pragma once

// A small DNS/DHCP directory for the pane, editor and deletion tests: a client configuration and
// one LDIF tree in a temporary folder, kept in a store file so that a restart of the client reads
// back what was written.

#include "browser/collection/TreeObj.h"
#include "browser/records/CormelianLib.h"
#include "browser/records/RecordRow.h"
#include "directory/NWHelper.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/TreeClient.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace browser::testing {

inline constexpr const char* kPanesClientIni = R"([Client]
PreferredTree=ACME
Store=store.db

[Trees]
ACME=visible

[Tree ACME]
DefaultNameContext=[Root]
User=admin.ACME

[Users ACME]
admin.ACME=secret
)";

inline constexpr const char* kPanesLdif = R"(version: 1

dn: o=ACME
objectClass: organization
o: ACME

dn: cn=admin,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Admin

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=DNS1,ou=DNS,o=ACME
objectClass: dNIPDNSServer
cn: DNS1
description: primary name server
dnipServerIPAddress:: BAoAADU=
dnipFwdList:: AgQICAgIBAgIBAQ=
dnipAuditLevel: 65791
dnipZoneList: cn=example_com,ou=DNS,o=ACME
dnipZoneList: cn=0_0_10_in-addr_arpa,ou=DNS,o=ACME

dn: cn=DHCP1,ou=DNS,o=ACME
objectClass: dNIPDHCPServer
cn: DHCP1
dnipComment: main DHCP server
dnipPingEnable: 2
dnipIPAssignmentPolicy: 3
dnipSNMPTrapFlag: 9
dnipDHCPVersion: 3.0

dn: cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: example_com
dnipZoneType: 0
dnipZoneDomainName: example.com
dnipZoneServers: cn=DNS1,ou=DNS,o=ACME
dnipDesignatedServer: cn=DNS1,ou=DNS,o=ACME
dnipSecondaryZone: FALSE
dnipSOARefresh: 3600
dnipSOARetry: 600
dnipSOAExpire: 604800
dnipSOAMinimum: 86400
dnipSOASerial: 2024010101
dnipMasterServerIPAddr:: CAoAAAEKAAAC

dn: cn=0_0_10_in-addr_arpa,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: 0_0_10_in-addr_arpa
description: reverse zone
dnipZoneType: 4
dnipSecondaryZone: TRUE

dn: cn=Locator,ou=DNS,o=ACME
objectClass: dNIPLocator
cn: Locator
dnipConfigOptions:: AAAAAAYECgAANQ8LZXhhbXBsZS5jb23IAQc=
dnipExcludedMAC:: BwEAGyE8TV4A
dnipUISignature:: AQKr
dnipCfgPreferences:: 7u7u7u7u7u4AAAAGAAAAG0RvbWFpbiBOYW1lIFNlcnZlcgA=
dnipCfgPreferences:: 7u7u7u7u7u4AAAAPAAAAAkRvbWFpbiBOYW1lAA==
dnipDNSServers: cn=DNS1,ou=DNS,o=ACME
dnipDHCPServers: cn=DHCP1,ou=DNS,o=ACME

dn: cn=DNSDHCP-GROUP,ou=DNS,o=ACME
objectClass: dNIPGroup
cn: DNSDHCP-GROUP
member: cn=DNS1,ou=DNS,o=ACME
member: cn=DHCP1,ou=DNS,o=ACME

dn: ou=DHCP,o=ACME
objectClass: organizationalUnit
ou: DHCP

dn: cn=Pool1,ou=DHCP,o=ACME
objectClass: dNIPSubnetPool
cn: Pool1

dn: cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPSubnet
cn: 10_0_0_0
dnipDomainName: example.com
dnipZoneReference: cn=example_com,ou=DNS,o=ACME
dnipSubnetAddress: 167772160
dnipSubnetMask: 4294967040
dnipSubnetPoolReference: cn=Pool1,ou=DHCP,o=ACME
dnipSubnetType: 1
dnipLeaseTime: 90000
dnipComment: office
dnipBootParameter:: AQAACnNydjEAYm9vdC5pbWcA
dnipConfigOptions:: AAAAAAMECgAAAQ==

dn: cn=Subnet Server,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPSubnetAddressRange
cn: Subnet Server
dnipDHCPServerReference: cn=DHCP1,ou=DNS,o=ACME

dn: cn=Range1,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPSubnetAddressRange
cn: Range1
dnipStartAddressNumber: 167772170
dnipEndAddressNumber: 167772190
dnipDHCPServerReference: cn=DHCP1,ou=DNS,o=ACME
dnipDNSUpdateOption: 1
dnipRangeType: 2
dnipAutoHostNameStart: pc
dnipComment: clients

dn: cn=Range2,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPSubnetAddressRange
cn: Range2
dnipStartAddressNumber: 167772200
dnipEndAddressNumber: 167772210
dnipRangeType: 9

dn: cn=10_0_0_5,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_5
dnipAssignmentType: 2
dnipHostName: pc5
dnipMACAddress:: BwEAGyE8TV4=
dnipClientIdentifier:: BwEAGyE8TV4=
dnipLastUsed: 20240101120000Z
dnipLeaseExpiration: 20240301000000Z
dnipComment: desk

dn: cn=10_0_0_6,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_6
dnipAssignmentType: 1

dn: cn=10_0_0_7,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_7
dnipAssignmentType: 8
dnipHostName: printer
dnipMACAddress:: B/+qu8zd7v8=
dnipObjectReference: admin.ACME

dn: cn=10_0_0_8,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_8
dnipAssignmentType: 128

dn: cn=10_0_0_9,cn=10_0_0_0,ou=DHCP,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_9
dnipAssignmentType: 256

dn: cn=10_1_0_0,ou=DHCP,o=ACME
objectClass: dNIPSubnet
cn: 10_1_0_0
dnipComment: bare subnet
)";

inline constexpr const char* kSubnet = "10_0_0_0.DHCP.ACME";
inline constexpr const char* kBareSubnet = "10_1_0_0.DHCP.ACME";

// The tree with values larger than a whole reply: a locator "Big" whose second preference value holds
// 70,002 bytes, and a manual address object 10_0_0_11 whose MAC address does.
inline std::string PanesLdifWithLargeValues() {
    std::string huge; // 70,002 bytes of "A"
    for (int i = 0; i < 23334; ++i)
        huge += "QUFB";
    return std::string(kPanesLdif) +
           "\ndn: cn=Big,ou=DNS,o=ACME\nobjectClass: dNIPLocator\ncn: Big\n"
           "dnipCfgPreferences:: 7u7u7u7u7u4AAAAPAAAAAkRvbWFpbiBOYW1lAA==\n"
           "dnipCfgPreferences:: " +
           huge +
           "\n\ndn: cn=10_0_0_11,cn=10_0_0_0,ou=DHCP,o=ACME\nobjectClass: dNIPIPAddressConfiguration\n"
           "cn: 10_0_0_11\ndnipAssignmentType: 8\ndnipMACAddress:: " +
           huge + "\n";
}

class PanesDirectoryTest : public test_support::TreeClientTest {
protected:
    PanesDirectoryTest() : TreeClientTest("panes-test") {}

    // The tree's LDIF text.
    virtual std::string Ldif() const { return kPanesLdif; }

    void SetUp() override {
        Write("client.ini", kPanesClientIni);
        Write("ACME.ldif", Ldif());
        directory::SetNoUTCConversion(true);
        directory::SetDateTimeFormat("yyyy-mm-dd hh:nn:ss");
        StartClient("ACME");
    }

    // Ends the client and starts it again on the same store: what was written must be read back.
    void Restart() {
        StopClient();
        StartClient("ACME");
    }
};

// The tree ACME opened in a tree list, and rows of its subnet's address objects as the DHCP
// collection fills them.
class PanesTreeTest : public PanesDirectoryTest {
protected:
    void SetUp() override {
        PanesDirectoryTest::SetUp();
        trees_.Add("ACME", std::make_unique<treeobj>(context_));
    }

    RecordRow Row(const std::string& cn) {
        RecordRow row;
        EXPECT_EQ(FillDhcpAddressRow(context_, cn + "." + kSubnet, row, RowOrigin{0, "ACME", kSubnet}), 0);
        return row;
    }

    TreeList trees_;
};

} // namespace browser::testing
