#pragma once

// A small directory for the server-module tests: two file servers (one whose DHCP module fails to
// load), DNS and DHCP server objects referring to them, one without a reference and one referring
// to a server the client cannot reach.

#include "tests/support/TreeClient.h"

#include <gtest/gtest.h>

#include <string>

namespace browser::testing {

inline constexpr const char* kModulesClientIni = R"([Client]
PreferredTree=ACME
Store=:memory:

[Trees]
ACME=visible

[Tree ACME]
DefaultNameContext=[Root]
User=admin.ACME

[Users ACME]
admin.ACME=secret

[Server FS1]
Tree=ACME
Addresses=127.0.0.1
Modules=DNIPINST,NAMED

[Server FS2]
Tree=ACME
Addresses=127.0.0.2
Modules=DNIPINST
FailModule=DHCPSRVR
FailCode=17
)";

inline constexpr const char* kModulesLdif = R"(version: 1

dn: o=ACME
objectClass: organization
o: ACME

dn: cn=admin,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Admin

dn: cn=FS1,o=ACME
objectClass: nCPServer
cn: FS1

dn: cn=FS2,o=ACME
objectClass: nCPServer
cn: FS2

dn: cn=GHOST,o=ACME
objectClass: nCPServer
cn: GHOST

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=DNS1,ou=DNS,o=ACME
objectClass: dNIPDNSServer
cn: DNS1
dnipServerDN: cn=FS1,o=ACME

dn: cn=DNS2,ou=DNS,o=ACME
objectClass: dNIPDNSServer
cn: DNS2

dn: cn=DNS3,ou=DNS,o=ACME
objectClass: dNIPDNSServer
cn: DNS3
dnipServerDN: cn=GHOST,o=ACME

dn: cn=DHCP1,ou=DNS,o=ACME
objectClass: dNIPDHCPServer
cn: DHCP1
dnipPrimaryServerReference: cn=FS2,o=ACME

dn: cn=DHCP2,ou=DNS,o=ACME
objectClass: dNIPDHCPServer
cn: DHCP2
dnipPrimaryServerReference: cn=FS1,o=ACME
)";

class ModulesDirectoryTest : public test_support::TreeClientTest {
protected:
    ModulesDirectoryTest() : TreeClientTest("lookup-modules") {}

    void SetUp() override {
        Write("client.ini", kModulesClientIni);
        Write("ACME.ldif", kModulesLdif);
        ASSERT_NO_FATAL_FAILURE(StartClient("ACME"));
    }

    std::string IniPath() const { return folder_.Directory() + "Cormelian.ini"; }
};

} // namespace browser::testing
