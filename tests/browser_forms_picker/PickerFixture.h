#pragma once

// A small directory tree in a temporary folder, the client initialised on it, one context on
// the tree ACME and the helper library loaded from the build.

#include "directory/NWHelper.h"
#include "directory/Tolvex.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/BuiltHelper.h"
#include "tests/support/TreeClient.h"

#include <gtest/gtest.h>

namespace picker_test {

inline constexpr const char* kClientIni = R"([Client]
PreferredTree=ACME
Store=:memory:

[Trees]
ACME=visible

[Tree ACME]
DefaultNameContext=[Root]
User=admin.Users.ACME

[Users ACME]
admin.Users.ACME=secret
)";

inline constexpr const char* kAcmeLdif = R"(version: 1

dn: o=ACME
objectClass: organization
o: ACME

dn: ou=Users,o=ACME
objectClass: organizationalUnit
ou: Users

dn: cn=admin,ou=Users,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Admin

dn: cn=posix,ou=Users,o=ACME
objectClass: inetOrgPerson
objectClass: posixAccount
cn: posix
sn: Posix

dn: cn=mac,ou=Users,o=ACME
objectClass: inetOrgPerson
objectClass: posixAccount
objectClass: apple-user
cn: mac
sn: Mac

dn: cn=appleonly,ou=Users,o=ACME
objectClass: inetOrgPerson
objectClass: apple-user
cn: appleonly
sn: Apple

dn: ou=Sales,o=ACME
objectClass: organizationalUnit
ou: Sales

dn: ou=empty,ou=Sales,o=ACME
objectClass: organizationalUnit
ou: empty

dn: cn=Locator,ou=Sales,o=ACME
objectClass: dNIPLocator
cn: Locator

dn: cn=beta,ou=Sales,o=ACME
objectClass: inetOrgPerson
cn: beta
sn: Beta

dn: cn=Alpha,ou=Sales,o=ACME
objectClass: organizationalRole
cn: Alpha

dn: cn=ACME-FS1_SYS,o=ACME
objectClass: volume
cn: ACME-FS1_SYS

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSZone
cn: example_com

dn: cn=a.b,cn=example_com,ou=DNS,o=ACME
objectClass: dNIPDNSRRset
cn: a.b

dn: cn=Locator2,ou=DNS,o=ACME
objectClass: dNIPLocator
cn: Locator2
)";

class PickerDirectory : public test_support::TreeClientTest {
protected:
    PickerDirectory() : TreeClientTest("picker-test") {}

    void SetUp() override {
        Write("client.ini", kClientIni);
        Write("ACME.ldif", kAcmeLdif);
        ASSERT_NO_FATAL_FAILURE(StartClient("ACME"));
        ASSERT_TRUE(directory::LoadHelperDll(test_support::BuiltHelperFolder())) << "libTolvex.so not built";
    }

    void TearDown() override {
        directory::FreeHelperDll();
        StopClient();
    }
};

} // namespace picker_test
