#pragma once

// A small directory for the layer's tests: a client configuration and LDIF trees
// in a temporary folder, the client initialised on them, and one context on the
// tree ACME. Values of structured syntaxes are written through the client itself.

#include "directory/NWHelper.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/TreeClient.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace directory::testing {

inline constexpr const char* kClientIni = R"([Client]
PreferredTree=ACME
Store=:memory:

[Trees]
ZETA=visible
ACME=visible
HIDDEN=hidden

[Tree ACME]
DefaultNameContext=[Root]
User=admin.ACME

[Tree ZETA]
DefaultNameContext=Z

[Users ACME]
admin.ACME=secret

[Server FS1]
Tree=ACME
Addresses=10.0.0.1

[Server FS2]
Tree=ACME
Addresses=10.0.0.2

[Server ZS1]
Tree=ZETA
Addresses=10.0.1.1
)";

inline constexpr const char* kAcmeLdif = R"(version: 1

dn: o=ACME
objectClass: organization
o: ACME

dn: cn=admin,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Admin

dn: cn=FS1,o=ACME
objectClass: ncpServer
cn: FS1

dn: cn=FS2,o=ACME
objectClass: ncpServer
cn: FS2

dn: ou=Sales,o=ACME
objectClass: organizationalUnit
objectClass: partition
ou: Sales

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: example_com
dnipZoneType: 0
dnipZoneDomainName: example.com

dn: cn=www,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: www
dnipDNSDomainName: www
description: first
description: second "quoted"
description: third

dn: cn=mail,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: mail

dn: cn=a.b,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: a.b

dn: cn=empty_zone,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: empty_zone

dn: cn=wwwalias,ou=DNS,o=ACME
objectClass: alias
cn: wwwalias
aliasedObjectName: cn=www,cn=example_com,ou=DNS,o=ACME
)";

inline constexpr const char* kZetaLdif = R"(version: 1

dn: o=Z
objectClass: organization
o: Z
)";

inline constexpr const char* kHiddenLdif = R"(version: 1

dn: o=H
objectClass: organization
o: H
)";

class DirectoryTest : public test_support::TreeClientTest {
protected:
    DirectoryTest() : TreeClientTest("directory-test") {}

    void SetUp() override {
        Write("client.ini", kClientIni);
        Write("ACME.ldif", kAcmeLdif);
        Write("ZETA.ldif", kZetaLdif);
        Write("HIDDEN.ldif", kHiddenLdif);
        ASSERT_NO_FATAL_FAILURE(StartClient("ACME"));
    }

    // Adds values to an attribute through the client (replacing the old ones when asked).
    void PutValues(const std::string& object, const std::string& attribute, std::uint32_t syntax,
                   const std::vector<nwclient::Value>& values, bool replace = true) {
        nwclient::Buffer* request = nullptr;
        ASSERT_EQ(nwclient::allocateBuffer(1 << 20, request), 0);
        ASSERT_EQ(nwclient::initBuffer(context_, nwclient::OP_MODIFY, request), 0);
        if (replace) {
            ASSERT_EQ(nwclient::putChange(context_, request, nwclient::CHANGE_CLEAR_ATTRIBUTE, attribute), 0);
        }
        for (const auto& value : values) {
            ASSERT_EQ(nwclient::putChangeAndValue(context_, request, nwclient::CHANGE_ADD_VALUE, attribute,
                                                  syntax, value),
                      0);
        }
        std::int32_t iteration = -1;
        ASSERT_EQ(nwclient::modifyObject(context_, object, iteration, 0, request), 0);
        nwclient::freeBuffer(request);
    }

    std::uint64_t Calls(nwclient::Operation operation) const { return nwclient::callCount(operation); }
};

} // namespace directory::testing
