#include "directory/NWHelper2.h"

#include "DirectoryFixture.h"

#include <gtest/gtest.h>

using namespace directory;
using directory::testing::DirectoryTest;
using nwclient::Operation;

namespace {

const std::string kWww = "www.example_com.DNS.ACME";
const std::string kZone = "example_com.DNS.ACME";

nwclient::Octets Bytes(std::initializer_list<int> bytes) {
    nwclient::Octets octets;
    for (int b : bytes) {
        octets.push_back(static_cast<std::uint8_t>(b));
    }
    return octets;
}

std::string Raw(std::initializer_list<int> bytes) {
    const auto octets = Bytes(bytes);
    return std::string(octets.begin(), octets.end());
}

class AttributeReadTest : public DirectoryTest {
protected:
    // Writes count values of the given length to "Description", so that a
    // 4096-byte reply takes several passes.
    std::vector<std::string> PutLongDescriptions(int count, std::size_t length) {
        std::vector<std::string> texts;
        std::vector<nwclient::Value> values;
        for (int i = 0; i < count; ++i) {
            texts.push_back(std::string(length, static_cast<char>('a' + i % 26)) + std::to_string(i));
            values.emplace_back(texts.back());
        }
        PutValues(kWww, "Description", nwclient::SYN_CI_STRING, values);
        return texts;
    }
};

} // namespace

// ---------------------------------------------------------------- text

TEST_F(AttributeReadTest, StringValuesJoinedWithWrapperAndSeparator) {
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "\"", ",", false),
              "\"first\",\"second \"quoted\"\",\"third\"");
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Description", false), "firstsecond \"quoted\"third");
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "", "; ", false),
              "first; second \"quoted\"; third");
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Description", true), "first");
}

TEST_F(AttributeReadTest, MissingAttributeGivesTheWrapperPair) {
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Telephone Number", false), "");
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Telephone Number", "'", ",", false), "''");
    EXPECT_EQ(ReadAttributeText(context_, kWww, "No Such Attribute", false), "");
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(AttributeReadTest, MissingObjectRaises) {
    try {
        ReadAttributeText(context_, "missing.ACME", "Description", false);
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), nwclient::ERR_NO_SUCH_ENTRY);
    }
    EXPECT_THROW(ReadAttributeValues(context_, "missing.ACME", "Description", ';'), ENetwareError);
    EXPECT_THROW(ReadIntegerAttribute(context_, "missing.ACME", "DNIP:Zone Type", 7), ENetwareError);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(AttributeReadTest, TextIsTrimmedExceptForOctetStrings) {
    PutValues(kWww, "Description", nwclient::SYN_CI_STRING, {std::string("  padded  ")});
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "|", "", false), "|padded|");
    PutValues(kWww, "Public Key", nwclient::SYN_OCTET_STRING, {Bytes({' ', 'k', 0, 'y', ' '})});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Public Key", false), Raw({' ', 'k', 0, 'y', ' '}));
}

TEST_F(AttributeReadTest, NonStringSyntaxesKeepOnlyTheLastValue) {
    PutValues(kWww, "Network Address", nwclient::SYN_NET_ADDRESS,
              {nwclient::NetAddress{nwclient::NET_IP, Bytes({10, 0, 0, 1})},
               nwclient::NetAddress{nwclient::NET_TCP, Bytes({0, 80, 10, 1, 2, 3})}});
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Network Address", "", ",", false), "10.1.2.3:80");
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Network Address", true), "10.0.0.1");
}

TEST_F(AttributeReadTest, RenderingBySyntax) {
    PutValues(kWww, "Login Disabled", nwclient::SYN_BOOLEAN, {true});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Login Disabled", false), "TRUE");
    PutValues(kWww, "Login Disabled", nwclient::SYN_BOOLEAN, {false});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Login Disabled", false), "FALSE");
    EXPECT_EQ(ReadAttributeText(context_, kZone, "DNIP:Zone Type", false), "0");
    PutValues(kWww, "Login Grace Limit", nwclient::SYN_INTEGER, {std::int32_t{-5}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Login Grace Limit", false), "-5");
    PutValues(kWww, "Login Time", nwclient::SYN_TIME, {std::int32_t{1704110400}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Login Time", false), "1704110400");
    PutValues(kWww, "Home Directory", nwclient::SYN_PATH, {nwclient::Path{0, "FS1.ACME", " users\\admin "}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Home Directory", false), "FS1.ACME;users\\admin");
    PutValues(kWww, "Back Link", nwclient::SYN_BACK_LINK, {nwclient::BackLink{42, "FS1.ACME"}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Back Link", false), "FS1.ACME;42");
    PutValues(kWww, "Notify", nwclient::SYN_TYPED_NAME, {nwclient::TypedName{"admin.ACME", 3, 60}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Notify", false), "admin.ACME;3;60");
    PutValues(kWww, "Server Holds", nwclient::SYN_HOLD, {nwclient::Hold{"admin.ACME", 12}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Server Holds", false), "admin.ACME;12");
    PutValues(kWww, "Facsimile Telephone Number", nwclient::SYN_FAX_NUMBER,
              {nwclient::FaxNumber{"+31 20 555", 0, {}}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Facsimile Telephone Number", false), "+31 20 555");
    PutValues(kWww, "Language", nwclient::SYN_CI_LIST, {nwclient::StringList{"ENGLISH", "DUTCH"}});
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Language", false), "Too Complex");
    PutValues(kWww, "Replica", nwclient::SYN_REPLICA_POINTER,
              {nwclient::ReplicaPointer{"FS1.ACME", 0, 1, {}}});
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Replica", "|", "", false), "||");
}

// ---------------------------------------------------------------- several passes

TEST_F(AttributeReadTest, LongValuesArriveOverSeveralPassesInOrder) {
    const auto texts = PutLongDescriptions(12, 1000);
    nwclient::resetCallCounts();
    const auto entries = ReadAttributeValues(context_, kWww, "Description", ';');
    ASSERT_EQ(entries.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(entries[i].Text, texts[i]);
    }
    EXPECT_GE(Calls(Operation::Read), 3u);

    std::string joined;
    for (const auto& text : texts) {
        joined += (joined.empty() ? "" : ",") + text;
    }
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "", ",", false), joined);
}

TEST_F(AttributeReadTest, FirstValueOnlyClosesTheOpenIteration) {
    const auto texts = PutLongDescriptions(12, 1000);
    nwclient::resetCallCounts();
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Description", true), texts[0]);
    EXPECT_EQ(Calls(Operation::Read), 1u);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
}

TEST_F(AttributeReadTest, AFailedLaterPassRaisesAndClosesTheIteration) {
    PutLongDescriptions(12, 1000);
    nwclient::resetCallCounts();
    nwclient::injectFault(Operation::Read, 2, nwclient::ERR_SYSTEM_FAILURE);
    try {
        ReadAttributeValues(context_, kWww, "Description", ';');
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), nwclient::ERR_SYSTEM_FAILURE);
    }
    // Nothing was decoded from the failed pass: one attribute count per good pass.
    EXPECT_EQ(Calls(Operation::AttributeCount), 1u);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(AttributeReadTest, AFailedValueDecodeRaises) {
    nwclient::injectFault(Operation::NextValue, 2, nwclient::ERR_BUFFER_EMPTY);
    EXPECT_THROW(ReadAttributeText(context_, kWww, "Description", false), ENetwareError);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

// ---------------------------------------------------------------- value lists

TEST_F(AttributeReadTest, ValueListEntriesAndObjects) {
    PutValues(kWww, "Network Address", nwclient::SYN_NET_ADDRESS,
              {nwclient::NetAddress{nwclient::NET_IP, Bytes({10, 0, 0, 1})}});
    auto entries = ReadAttributeValues(context_, kWww, "Network Address", ';');
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Text, "");
    const auto* address = std::get_if<TNetAddress>(&entries[0].Object);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->AddressType, nwclient::NET_IP);
    EXPECT_EQ(address->Address, Raw({10, 0, 0, 1}));
    EXPECT_EQ(FormatNetAddress(*address), "10.0.0.1");

    PutValues(kWww, "Replica", nwclient::SYN_REPLICA_POINTER,
              {nwclient::ReplicaPointer{"FS1.ACME",
                                        1,
                                        7,
                                        {nwclient::NetAddress{nwclient::NET_IP, Bytes({10, 0, 0, 1})},
                                         nwclient::NetAddress{nwclient::NET_IPX, Bytes({1, 2})}}}});
    entries = ReadAttributeValues(context_, kWww, "Replica", ';');
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Text, "FS1.ACME");
    const auto* replica = std::get_if<TReplica>(&entries[0].Object);
    ASSERT_NE(replica, nullptr);
    EXPECT_EQ(replica->ReplicaType, 1u);
    EXPECT_EQ(replica->ReplicaNumber, 7u);
    EXPECT_EQ(replica->AddressCount, 2u);
    EXPECT_EQ(replica->FirstAddressType, nwclient::NET_IP);
    EXPECT_EQ(replica->FirstAddressLength, 4u);
    EXPECT_EQ(replica->FirstAddressData, Bytes({10, 0, 0, 1}));

    PutValues(kWww, "ACL", nwclient::SYN_OBJECT_ACL,
              {nwclient::ObjectAcl{"[Entry Rights]", "admin.ACME", 31}});
    entries = ReadAttributeValues(context_, kWww, "ACL", ';');
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Text, "[Entry Rights]");
    const auto* acl = std::get_if<TACL2>(&entries[0].Object);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->SubjectName, "admin.ACME");
    EXPECT_EQ(acl->Privileges, 31u);
}

TEST_F(AttributeReadTest, ValueListCompoundFieldsUseTheSeparator) {
    PutValues(kWww, "Home Directory", nwclient::SYN_PATH, {nwclient::Path{0, "FS1.ACME", "home "}});
    EXPECT_EQ(ReadAttributeValues(context_, kWww, "Home Directory", '|')[0].Text, "FS1.ACME|home");
    PutValues(kWww, "EMail Address", nwclient::SYN_EMAIL_ADDRESS, {nwclient::EmailAddress{2, "a@b.c"}});
    EXPECT_EQ(ReadAttributeValues(context_, kWww, "EMail Address", '|')[0].Text, "2|a@b.c");
    PutValues(kWww, "Notify", nwclient::SYN_TYPED_NAME, {nwclient::TypedName{"admin.ACME", 3, 60}});
    EXPECT_EQ(ReadAttributeValues(context_, kWww, "Notify", '|')[0].Text, "admin.ACME|3|60");

    PutValues(kWww, "Back Link", nwclient::SYN_BACK_LINK, {nwclient::BackLink{42, "FS1.ACME"}});
    auto entries = ReadAttributeValues(context_, kWww, "Back Link", ';');
    EXPECT_EQ(entries[0].Text, "FS1.ACME");
    EXPECT_EQ(std::get<std::uint32_t>(entries[0].Object), 42u);

    PutValues(kWww, "Server Holds", nwclient::SYN_HOLD, {nwclient::Hold{"admin.ACME", 12}});
    entries = ReadAttributeValues(context_, kWww, "Server Holds", ';');
    EXPECT_EQ(entries[0].Text, "admin.ACME");
    EXPECT_EQ(std::get<std::uint32_t>(entries[0].Object), 12u);
}

TEST_F(AttributeReadTest, CaseIgnoreListEndsWithAMarkedEmptyEntry) {
    PutValues(kWww, "Language", nwclient::SYN_CI_LIST, {nwclient::StringList{"ENGLISH", "DUTCH"}});
    const auto entries = ReadAttributeValues(context_, kWww, "Language", ';');
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Text, "ENGLISH");
    EXPECT_EQ(entries[1].Text, "DUTCH");
    EXPECT_EQ(entries[2].Text, "");
    EXPECT_EQ(std::get<std::uint32_t>(entries[2].Object), 1u);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(entries[0].Object));
}

TEST_F(AttributeReadTest, ValueListTimesAndComplexValues) {
    const std::string format = DateTimeFormat();
    const bool noUtc = NoUTCConversion();
    SetDateTimeFormat("yyyy-mm-dd hh:nn:ss");
    SetNoUTCConversion(true);
    PutValues(kWww, "Login Time", nwclient::SYN_TIME, {std::int32_t{1704110400}});
    EXPECT_EQ(ReadAttributeValues(context_, kWww, "Login Time", ';')[0].Text, "2024-01-01 12:00:00");
    SetDateTimeFormat(format);
    SetNoUTCConversion(noUtc);

    PutValues(kWww, "Public Key", nwclient::SYN_OCTET_STRING, {Bytes({1, 2})});
    EXPECT_EQ(ReadAttributeValues(context_, kWww, "Public Key", ';')[0].Text, "too complex");
    EXPECT_TRUE(ReadAttributeValues(context_, kWww, "Telephone Number", ';').empty());
}

// ---------------------------------------------------------------- integers

TEST_F(AttributeReadTest, IntegerReadsTheLastIntegerValueOrTheDefault) {
    EXPECT_EQ(ReadIntegerAttribute(context_, kZone, "DNIP:Zone Type", 9), 0);
    EXPECT_EQ(ReadIntegerAttribute(context_, kZone, "DNIP:SOA Serial", 9), 9);
    EXPECT_EQ(ReadIntegerAttribute(context_, kWww, "Description", 9), 9);
    PutValues(kWww, "Login Time", nwclient::SYN_TIME, {std::int32_t{1704110400}});
    EXPECT_EQ(ReadIntegerAttribute(context_, kWww, "Login Time", 9), 1704110400);
    PutValues(kWww, "Revision", nwclient::SYN_COUNTER, {std::int32_t{77}});
    EXPECT_EQ(ReadIntegerAttribute(context_, kWww, "Revision", 9), 77);
}

// ---------------------------------------------------------------- octet strings

TEST_F(AttributeReadTest, OctetValuesRunTogetherOrAsRecords) {
    PutValues(kWww, "DNIP:CfgPreferences", nwclient::SYN_OCTET_STRING,
              {Bytes({1, 2, 3}), Bytes({}), Bytes({9})});
    auto run = ReadOctetString(context_, kWww, "DNIP:CfgPreferences");
    EXPECT_EQ(run.Data, Bytes({1, 2, 3, 9}));
    EXPECT_TRUE(run.Warnings.empty());
    auto records = ReadOctetStringList(context_, kWww, "DNIP:CfgPreferences");
    EXPECT_EQ(records.Data, Bytes({3, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0, 1, 0, 0, 0, 9}));
    EXPECT_TRUE(records.Warnings.empty());
}

TEST_F(AttributeReadTest, OctetValuesPastSixtyFourKilobytesAreAllRead) {
    PutValues(kWww, "DNIP:CfgPreferences", nwclient::SYN_OCTET_STRING,
              {nwclient::Octets(40000, 0xAB), nwclient::Octets(30000, 0xCD), nwclient::Octets(100, 0xEF)});
    const auto run = ReadOctetString(context_, kWww, "DNIP:CfgPreferences");
    ASSERT_EQ(run.Data.size(), 70100u);
    EXPECT_EQ(run.Data[39999], 0xAB);
    EXPECT_EQ(run.Data[40000], 0xCD);
    EXPECT_EQ(run.Data[70000], 0xEF);
    EXPECT_TRUE(run.Warnings.empty());

    const auto records = ReadOctetStringList(context_, kWww, "DNIP:CfgPreferences");
    EXPECT_EQ(records.Data.size(), 40004u + 30004u + 104u);
    EXPECT_TRUE(records.Warnings.empty());
    EXPECT_GE(Calls(Operation::Read), 4u); // each pass holds what one reply can
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(AttributeReadTest, OctetValueLargerThanAReplyIsReportedAndTheValuesBeforeItKept) {
    PutValues(kWww, "DNIP:CfgPreferences", nwclient::SYN_OCTET_STRING,
              {nwclient::Octets(100, 0xAB), nwclient::Octets(70000, 0xCD), nwclient::Octets(5, 0xEF)});
    const auto run = ReadOctetString(context_, kWww, "DNIP:CfgPreferences");
    EXPECT_EQ(run.Data, nwclient::Octets(100, 0xAB));
    EXPECT_EQ(run.Warnings, (std::vector<std::string>{kOctetStringOverflowMessage}));

    const auto records = ReadOctetStringList(context_, kWww, "DNIP:CfgPreferences");
    EXPECT_EQ(records.Data.size(), 104u);
    EXPECT_EQ(records.Warnings, (std::vector<std::string>{kOctetStringListOverflowMessage}));
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(AttributeReadTest, OctetReadersRefuseOtherSyntaxesWithAWarning) {
    const auto result = ReadOctetString(context_, kWww, "Description");
    EXPECT_TRUE(result.Data.empty());
    EXPECT_EQ(result.Warnings, (std::vector<std::string>{kNotOctetStringMessage}));
    EXPECT_EQ(ReadOctetStringList(context_, kWww, "Description").Warnings.size(), 1u);
}

TEST_F(AttributeReadTest, MissingOctetAttributeIsEmpty) {
    const auto result = ReadOctetString(context_, kWww, "DNIP:MAC Address");
    EXPECT_TRUE(result.Data.empty());
    EXPECT_TRUE(result.Warnings.empty());
    EXPECT_TRUE(ReadOctetStringList(context_, kWww, "No Such Attribute").Data.empty());
}

TEST_F(AttributeReadTest, OctetReadFailureRaises) {
    PutValues(kWww, "DNIP:MAC Address", nwclient::SYN_OCTET_STRING, {Bytes({1, 0, 1, 2, 3, 4, 5})});
    nwclient::injectFault(Operation::Read, 1, nwclient::ERR_SYSTEM_FAILURE);
    EXPECT_THROW(ReadOctetString(context_, kWww, "DNIP:MAC Address"), ENetwareError);
    EXPECT_EQ(ReadOctetString(context_, kWww, "DNIP:MAC Address").Data, Bytes({1, 0, 1, 2, 3, 4, 5}));
}

// ---------------------------------------------------------------- network addresses

TEST(FormatNetAddress, RendersByAddressType) {
    EXPECT_EQ(FormatNetAddress(nwclient::NET_IP, Raw({0, 0, 10, 1, 2, 3})), "0.0.10.1.2.3");
    EXPECT_EQ(FormatNetAddress(nwclient::NET_TCP, Raw({0, 80, 10, 1, 2, 3})), "10.1.2.3:80");
    EXPECT_EQ(FormatNetAddress(nwclient::NET_UDP, Raw({0x01, 0xBB, 192, 168, 0, 1})), "192.168.0.1:443");
    EXPECT_EQ(
        FormatNetAddress(nwclient::NET_IPX, Raw({0, 0, 0, 1, 0, 0x1B, 0x21, 0xAA, 0xBB, 0xCC, 0x04, 0x51})),
        "00000001 001B21AABBCC:0451");
    EXPECT_EQ(FormatNetAddress(nwclient::NET_URL, std::string("h\0t\0t\0p\0", 8)), "http");
    EXPECT_EQ(FormatNetAddress(5, Raw({0xDE, 0xAD, 0x0F})), "DEAD0F");
    EXPECT_EQ(FormatNetAddress(nwclient::NET_TCP, Raw({1})), ":256");
    EXPECT_EQ(FormatNetAddress(nwclient::NET_IP, ""), "");
}
