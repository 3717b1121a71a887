// Starting and stopping server modules through the directory client, and their start parameters.
#include "ModulesFixture.h"

#include "browser/collection/ObjectRows.h"
#include "browser/lookup/ServerModules.h"
#include "platform/ini/IniFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace browser {
namespace {

class ServerModulesTest : public testing::ModulesDirectoryTest {
protected:
    ServiceTarget Target(const std::string& object, ServerModuleKind kind) {
        return FindServiceTarget(context_, object + ".DNS.ACME", kind);
    }
};

TEST(ServerModuleTableTest, ServerKindsByIcon) {
    ClassIconNumbers icons;
    icons.dnsServer = 2;
    icons.dhcpServer = 3;
    icons.locator = 1;
    EXPECT_EQ(ServerModuleKindForImage(2, icons), ServerModuleKind::Dns);
    EXPECT_EQ(ServerModuleKindForImage(3, icons), ServerModuleKind::Dhcp);
    EXPECT_FALSE(ServerModuleKindForImage(1, icons));
    EXPECT_FALSE(ServerModuleKindForImage(-1, ClassIconNumbers{})); // no icon is no server
    EXPECT_STREQ(ServerModuleFor(ServerModuleKind::Dns).module, "named");
    EXPECT_STREQ(ServerModuleFor(ServerModuleKind::Dhcp).module, "DHCPSrvr");
}

TEST(StartParametersTest, ServerValueElseTheModuleDefault) {
    const test_support::TempFolder folder("lookup-params");
    const std::string path = folder.Directory() + "Cormelian.ini";
    {
        ini::IniFile settings(path);
        EXPECT_EQ(ReadStartParameters(settings, "named", "DNS1"), "");
        SaveStartParameters(settings, "named", "DNS1", "-v", false, true);
        EXPECT_EQ(ReadStartParameters(settings, "named", "DNS1"), "-v");
        SaveStartParameters(settings, "named", "DNS1", "-x -y", true, false);
        EXPECT_EQ(ReadStartParameters(settings, "named", "DNS1"), "-x -y");
        EXPECT_EQ(ReadStartParameters(settings, "named", "OTHER"), "-v");
        EXPECT_EQ(ReadStartParameters(settings, "DHCPSrvr", "DNS1"), "");
        SaveStartParameters(settings, "named", "DNS2", "ignored", false, false);
        settings.UpdateFile();
    }
    const ini::IniFile reread(path);
    EXPECT_EQ(reread.ReadString("named", "D", "?"), "-v");
    EXPECT_EQ(reread.ReadString("named", "DNS1", "?"), "-x -y");
    EXPECT_FALSE(reread.ValueExists("named", "DNS2"));
}

TEST_F(ServerModulesTest, TargetIsTheReferencedServer) {
    const ServiceTarget dns = Target("DNS1", ServerModuleKind::Dns);
    ASSERT_TRUE(dns.ok()) << dns.error;
    EXPECT_EQ(dns.module, "named");
    EXPECT_EQ(dns.reference, "FS1.ACME");
    EXPECT_EQ(dns.serverName, "FS1");
    EXPECT_EQ(StartDialogCaption(dns), "Start service named on server FS1");

    const ServiceTarget dhcp = Target("DHCP1", ServerModuleKind::Dhcp);
    ASSERT_TRUE(dhcp.ok());
    EXPECT_EQ(dhcp.serverName, "FS2");
}

TEST_F(ServerModulesTest, MissingReferenceIsAnErrorAndTouchesNoServer) {
    const ServiceTarget target = Target("DNS2", ServerModuleKind::Dns);
    EXPECT_FALSE(target.ok());
    EXPECT_EQ(target.error, "Error, server reference not given for DNS2.DNS.ACME");
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::OpenConnectionByName), 0u);
}

TEST_F(ServerModulesTest, StartLoadsTheModuleWithItsCommandLine) {
    const ServiceTarget target = Target("DHCP2", ServerModuleKind::Dhcp);
    EXPECT_EQ(StartServerModule(context_, target, "DHCP2", "DHCPSrvr -d"), "");
    EXPECT_EQ(nwclient::moduleLog().back(), "LOAD FS1 DHCPSrvr -d -> 0");
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 1u);

    EXPECT_EQ(StopServerModule(context_, target, "DHCP2", "DHCPSrvr -d"), "");
    EXPECT_EQ(nwclient::moduleLog().back(), "UNLOAD FS1 DHCPSrvr -> 0");
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 2u);
}

TEST_F(ServerModulesTest, FailuresGiveTheirMessages) {
    // The module reports a failure: its out value is shown.
    const ServiceTarget failing = Target("DHCP1", ServerModuleKind::Dhcp);
    EXPECT_EQ(StartServerModule(context_, failing, "DHCP1", "DHCPSrvr "), "Falen......17");
    // Stopping a module the server has not loaded.
    EXPECT_EQ(StopServerModule(context_, failing, "DHCP1", "DHCPSrvr "),
              "Fail..." + std::to_string(nwclient::ERR_MODULE_NOT_LOADED));
    // A server the client cannot reach: no connection, nothing to close.
    nwclient::resetCallCounts();
    const ServiceTarget ghost = Target("DNS3", ServerModuleKind::Dns);
    const std::string message = StartServerModule(context_, ghost, "DNS3", "named ");
    EXPECT_EQ(message.rfind("Connect to server DNS3 failed.  Err=", 0), 0u) << message;
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::AuthenticateConnection), 0u);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 0u);
}

TEST_F(ServerModulesTest, FailedAuthenticationStillClosesTheConnection) {
    const ServiceTarget target = Target("DNS1", ServerModuleKind::Dns);
    nwclient::injectFault(nwclient::Operation::AuthenticateConnection, 1, -669);
    EXPECT_EQ(StartServerModule(context_, target, "DNS1", "named "),
              "Authentication to server DNS1 failed.  Err=-669");
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::LoadServerModule), 0u);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 1u);

    nwclient::injectFault(nwclient::Operation::AuthenticateConnection, 1, -669);
    EXPECT_EQ(StopServerModule(context_, target, "DNS1", "named "),
              "Authentication to server DNS1 failed.  Err=-669");
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::UnloadServerModule), 0u);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 2u);
}

TEST_F(ServerModulesTest, OtherLoadCodesAreFailures) {
    const ServiceTarget target = Target("DNS1", ServerModuleKind::Dns);
    nwclient::injectFault(nwclient::Operation::LoadServerModule, 1, 0x8998);
    EXPECT_EQ(StartServerModule(context_, target, "DNS1", "named "), "Fail..." + std::to_string(0x8998));
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::CloseConnection), 1u);
}

} // namespace
} // namespace browser
