// A small directory on disk (configuration and LDIF) and a client initialised on it.
#pragma once

#include "platform/nwclient/NWClient.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

#include <filesystem>
#include <string>

namespace nwclient_test {

// Tree ACME: organisation, DNS zone with record sets, a subnet with addresses, users,
// a server holding the partition, an alias of a container, a locator.
inline const char* const ACME_LDIF = R"(version: 1

dn: o=ACME
objectClass: organization
objectClass: Partition
o: ACME
replica: cn=FS1,o=ACME#0#1

dn: cn=FS1,o=ACME
objectClass: ncpServer
cn: FS1
networkAddress:: OSMAUAoAAAE=

dn: cn=SYS,o=ACME
objectClass: volume
cn: SYS
hostServer: cn=FS1,o=ACME
hostResourceName: SYS

dn: ou=Sales,o=ACME
objectClass: organizationalUnit
ou: Sales
description: Sales people

dn: cn=admin,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Administrator
homeDirectory: 0#cn=SYS,o=ACME#users/admin

dn: cn=jdoe,ou=Sales,o=ACME
objectClass: inetOrgPerson
cn: jdoe
sn: Doe
description: first
description: second
description: third

dn: cn=Staff,o=ACME
objectClass: groupOfNames
cn: Staff
member: cn=admin,o=ACME
member: cn=jdoe,ou=Sales,o=ACME

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=SalesLink,o=ACME
objectClass: alias
cn: SalesLink
aliasedObjectName: ou=Sales,o=ACME

dn: cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: example_com
dnipZoneType: 0
dnipZoneDomainName: example.com
dnipSOASerial: 4294967295

dn: cn=www,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: www
dnipDNSDomainName: www.example.com
dnipRR:: AQIDBA==
dnipRR:: BQYHCA==

dn: cn=mail,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: mail
dnipDNSDomainName: mail.example.com

dn: cn=host\.one,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: host.one
dnipDNSDomainName: host.one.example.com

dn: cn=10_0_0_0,ou=DNS,o=ACME
objectClass: dNIPSubnet
cn: 10_0_0_0
dnipSubnetAddress: 167772160
dnipSubnetType: 1

dn: cn=10_0_0_5,cn=10_0_0_0,ou=DNS,o=ACME
objectClass: dNIPIPAddressConfiguration
cn: 10_0_0_5
dnipHostName: printer
dnipLeaseExpiration: 20240101120000Z
dnipMACAddress:: BwEAERIzRFU=

dn: cn=Locator,ou=DNS,o=ACME
objectClass: dNIPLocator
cn: Locator
dnipDNSZones: cn=example_com,ou=DNS,o=ACME
dnipSubnetAttr: cn=10_0_0_0,ou=DNS,o=ACME
)";

inline const char* const HIDDEN_LDIF = R"(version: 1

dn: o=LAB
objectClass: organization
o: LAB

dn: cn=tester,o=LAB
objectClass: inetOrgPerson
cn: tester
sn: Tester
)";

using test_support::WriteFile;

class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_ / "volumes" / "sys" / "users");
        WriteFile(folder_ / "ACME.ldif", ACME_LDIF);
        WriteFile(folder_ / "LAB.ldif", HIDDEN_LDIF);
        WriteFile(folder_ / "volumes" / "sys" / "readme.txt", "hello");
        writeConfig(storeSetting());
        nwclient::clearFaults();
        ASSERT_EQ(nwclient::initialize(configPath()), 0) << nwclient::lastError();
        ASSERT_EQ(nwclient::createContext(context_), 0);
    }

    void TearDown() override {
        nwclient::clearFaults();
        nwclient::terminate();
    }

    virtual std::string storeSetting() const { return ":memory:"; }

    void writeConfig(const std::string& store) {
        WriteFile(folder_ / "client.ini",
                  "[Client]\n"
                  "PreferredTree=ACME\n"
                  "Store=" +
                      store +
                      "\n"
                      "ModuleLog=modules.log\n"
                      "\n[Trees]\nACME=visible\nLAB=hidden\n"
                      "\n[Tree ACME]\nDefaultNameContext=[Root]\nUser=admin.ACME\n"
                      "\n[Users ACME]\nadmin.ACME=secret\njdoe.Sales.ACME=doe\n"
                      "\n[Tree LAB]\nDefaultNameContext=LAB\n"
                      "\n[Users LAB]\ntester.LAB=lab\n"
                      "\n[Server FS1]\nTree=ACME\nAddresses=10.0.0.1\nModules=DNIPINST\n"
                      "FailModule=DHCPSRVR\nFailCode=17\n"
                      "\n[Server FS2]\nTree=ACME\nAddresses=10.0.0.2\n"
                      "\n[Volumes]\n" +
                      (folder_ / "volumes" / "sys").string() + "=FS1/SYS\n");
    }

    std::string configPath() const { return (folder_ / "client.ini").string(); }

    test_support::TempFolder temp_{"nwclient-test"};
    const std::filesystem::path folder_ = temp_.Path();
    nwclient::Context context_ = 0;
};

// Buffers freed at the end of a scope.
class ScopedBuffer {
public:
    explicit ScopedBuffer(uint32_t size) { EXPECT_EQ(nwclient::allocateBuffer(size, buffer_), 0); }
    ~ScopedBuffer() { nwclient::freeBuffer(buffer_); }
    ScopedBuffer(const ScopedBuffer&) = delete;
    ScopedBuffer& operator=(const ScopedBuffer&) = delete;
    nwclient::Buffer* get() const { return buffer_; }
    operator nwclient::Buffer*() const { return buffer_; }

private:
    nwclient::Buffer* buffer_ = nullptr;
};

} // namespace nwclient_test
