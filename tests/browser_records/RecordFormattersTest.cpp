#include "browser/records/RecordFormatters.h"

#include <gtest/gtest.h>

#include <vector>

using namespace browser;

namespace {
using Bytes = std::vector<std::uint8_t>;
}

TEST(RecordFormatters, SanitizeTextBlanksControlCharactersOnly) {
    EXPECT_EQ(SanitizeText(std::string("a\tb\r\nc\x01\x1f d\x7f") + '\0' + "e"), "a b  c   d\x7f e");
    EXPECT_EQ(SanitizeText("caf\xC3\xA9"), "caf\xC3\xA9"); // UTF-8 bytes stay
}

TEST(RecordFormatters, IntToIPStrTakesSigned32BitDecimalText) {
    EXPECT_EQ(IntToIPStr("167772161"), "10.0.0.1");
    EXPECT_EQ(IntToIPStr("-1062731519"), "192.168.1.1");
    EXPECT_EQ(IntToIPStr("-1"), "255.255.255.255");
    EXPECT_EQ(IntToIPStr("  0"), "0.0.0.0");
    EXPECT_EQ(IntToIPStr("+16"), "0.0.0.16");
    EXPECT_THROW(IntToIPStr(""), FormatError);
    EXPECT_THROW(IntToIPStr("12x"), FormatError);
    EXPECT_THROW(IntToIPStr("2147483648"), FormatError);
    EXPECT_THROW(IntToIPStr("10.0.0.1"), FormatError);
}

TEST(RecordFormatters, SecondsToMinutesAndDaysHoursMinutes) {
    EXPECT_EQ(SecondsToMinutesStr(119), "1");
    EXPECT_EQ(SecondsToMinutesStr(1296000), "21600");
    EXPECT_EQ(SecondsToDaysHoursMinutes(1296000), "15 Days   0 Hours   0 Minutes");
    EXPECT_EQ(SecondsToDaysHoursMinutes(90061), "1 Days   1 Hours   1 Minutes");
    EXPECT_EQ(SecondsToDaysHoursMinutes(59), "0 Days   0 Hours   0 Minutes");
}

TEST(RecordFormatters, OctetsToIPListSeparatesGroupsOfFour) {
    EXPECT_EQ(OctetsToIPList(Bytes{10, 0, 0, 1}), "10.0.0.1");
    EXPECT_EQ(OctetsToIPList(Bytes{10, 0, 0, 1, 10, 0, 0, 2}), "10.0.0.1, 10.0.0.2");
    EXPECT_EQ(OctetsToIPList(Bytes{1, 2, 3, 4, 5}), "1.2.3.4, 5.");
    EXPECT_EQ(OctetsToIPList(Bytes{}), "");
}

TEST(RecordFormatters, DhcpOptionToStrRendersFlagsAndText) {
    EXPECT_EQ(DhcpOptionToStr(Bytes{0, 10, 0, 0, 1, 10, 0, 0, 2}), "10.0.0.1,10.0.0.2");
    EXPECT_EQ(DhcpOptionToStr(Bytes{0x21, 192, 168, 1, 1}), "192.168.1.1 (mandatory) (multicast)");
    EXPECT_EQ(DhcpOptionToStr(Bytes{0x10, 1, 2, 3, 4, 0, 0, 0, 's', 'c', 'o'}),
              "1.2.3.4,0.0.0.115,99.111. sco");
    EXPECT_EQ(DhcpOptionToStr(Bytes{0x00}), "");
    EXPECT_THROW(DhcpOptionToStr(Bytes{}), FormatError);
}

TEST(RecordFormatters, OctetsToIntStrIsBigEndianUpTo31Bits) {
    EXPECT_EQ(OctetsToIntStr(Bytes{}), "0");
    EXPECT_EQ(OctetsToIntStr(Bytes{0x01, 0x00}), "256");
    EXPECT_EQ(OctetsToIntStr(Bytes{0x00, 0x00, 0x0E, 0x10}), "3600");
    EXPECT_EQ(OctetsToIntStr(Bytes{0x7F, 0xFF, 0xFF, 0xFF}), "2147483647");
    EXPECT_EQ(OctetsToIntStr(Bytes{0x00, 0x7F, 0xFF, 0xFF, 0xFF}), "2147483647");
    EXPECT_THROW(OctetsToIntStr(Bytes{0x80, 0, 0, 0}), FormatError);
    EXPECT_THROW(OctetsToIntStr(Bytes{1, 0, 0, 0, 0}), FormatError);
}

TEST(RecordFormatters, EnabledAndHexTexts) {
    EXPECT_EQ(OctetToEnabledStr(Bytes{1, 0}), "enabled");
    EXPECT_EQ(OctetToEnabledStr(Bytes{2}), "disabled");
    EXPECT_THROW(OctetToEnabledStr(Bytes{}), FormatError);
    EXPECT_EQ(OctetsToHexStr(Bytes{0x00, 0xAB, 0x0f}), "00AB0F");
    EXPECT_EQ(OctetsToHexStr(Bytes{}), "");
}

TEST(RecordFormatters, HardwareTypeListHas21ArpTypesThenAny) {
    const auto& list = HardwareTypeList();
    ASSERT_EQ(list.size(), 22u);
    EXPECT_EQ(list[0], "1=Ethernet");
    EXPECT_EQ(list[11], "12=Local NET (IBM PCNET or SYTEK Localnet)");
    EXPECT_EQ(list[20], "21=ATM");
    EXPECT_EQ(list[21], "FF=Any");
}
