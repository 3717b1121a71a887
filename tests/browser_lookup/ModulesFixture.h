#pragma once

// A small directory for the server-module tests: two file servers (one whose DHCP module fails to
// load), DNS and DHCP server objects referring to them, one without a reference and one referring
// to a server the client cannot reach.

#include "directory/NWHelper.h"
#include "platform/nwclient/NWClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

class ModulesDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lookup-modules-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        Write("client.ini", kModulesClientIni);
        Write("ACME.ldif", kModulesLdif);
        ASSERT_EQ(nwclient::initialize((folder_ / "client.ini").string()), 0) << nwclient::lastError();
        bool ok = false;
        context_ = directory::CreateDSContext(false, false, ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(directory::SelectTree(context_, "ACME", false), 0);
        nwclient::clearFaults();
        nwclient::resetCallCounts();
    }

    void TearDown() override {
        nwclient::clearFaults();
        if (context_ != 0)
            nwclient::freeContext(context_);
        nwclient::terminate();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Write(const std::string& name, const std::string& text) {
        std::ofstream out(folder_ / name, std::ios::binary);
        out << text;
    }

    std::string IniPath() const { return (folder_ / "Cormelian.ini").string(); }

    std::filesystem::path folder_;
    directory::NWDSContextHandle context_ = 0;
};

} // namespace browser::testing
