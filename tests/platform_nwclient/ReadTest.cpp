#include "ClientFixture.h"
#include "ReadHelpers.h"

using namespace nwclient;
using namespace nwclient_test;

using ReadTest = ClientFixture;

TEST_F(ReadTest, ReadsListedAttributesWithValuesInStoredOrder) {
    ReadResult read = readObject(context_, "jdoe.Sales.ACME", {"Description", "Surname"});
    ASSERT_EQ(read.result, 0);
    EXPECT_EQ(textValues(read), (std::vector<std::string>{"first", "second", "third", "Doe"}));
    EXPECT_EQ(read.values[0].syntax, SYN_CI_STRING);
    EXPECT_EQ(read.values[0].attribute, "Description");
}

TEST_F(ReadTest, AttributeNamesIgnoreCaseBlanksAndColons) {
    ReadResult read = readObject(context_, "example_com.DNS.ACME", {"DNIP:Zone type"});
    ASSERT_EQ(read.result, 0);
    ASSERT_EQ(read.values.size(), 1u);
    EXPECT_EQ(read.values[0].attribute, "DNIP:Zone Type");
    EXPECT_EQ(std::get<int32_t>(read.values[0].value), 0);
}

TEST_F(ReadTest, MissingObjectAndMissingAttributes) {
    EXPECT_EQ(readObject(context_, "nobody.ACME", {"CN"}).result, ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(readObject(context_, "admin.ACME", {"Telephone Number", "Title"}).result,
              ERR_NO_SUCH_ATTRIBUTE);
    ReadResult some = readObject(context_, "admin.ACME", {"Title", "Surname"});
    EXPECT_EQ(some.result, 0) << "one of the requested attributes exists";
    EXPECT_EQ(textValues(some), (std::vector<std::string>{"Administrator"}));
}

TEST_F(ReadTest, SmallRepliesTakeSeveralPassesWithoutLosingValues) {
    ReadResult whole = readObject(context_, "jdoe.Sales.ACME", {}, 4096);
    ReadResult small = readObject(context_, "jdoe.Sales.ACME", {}, 60);
    ASSERT_EQ(small.result, 0);
    EXPECT_EQ(whole.passes, 1);
    EXPECT_GT(small.passes, 3);
    ASSERT_EQ(small.values.size(), whole.values.size());
    for (std::size_t i = 0; i < whole.values.size(); ++i) {
        EXPECT_EQ(small.values[i].attribute, whole.values[i].attribute);
        EXPECT_EQ(small.values[i].value, whole.values[i].value);
    }
}

TEST_F(ReadTest, AValueThatCannotFitAnEmptyReplyHasItsOwnCode) {
    EXPECT_EQ(readObject(context_, "jdoe.Sales.ACME", {"Description"}, 30).result, ERR_INSUFFICIENT_BUFFER);
}

TEST_F(ReadTest, IterationHandleIsMinusOneOnlyAfterTheLastReply) {
    ScopedBuffer request(4096), reply(56);
    ASSERT_EQ(initBuffer(context_, OP_READ, request), 0);
    ASSERT_EQ(putAttributeName(context_, request, "Description"), 0);
    int32_t iteration = -1;
    int replies = 0;
    uint32_t total = 0;
    do {
        ASSERT_EQ(read(context_, "jdoe.Sales.ACME", INFO_ATTRIBUTE_VALUES, false, request, iteration, reply),
                  0);
        ++replies;
        uint32_t count = 0, valueCount = 0, syntax = 0;
        std::string name;
        ASSERT_EQ(attributeCount(context_, reply, count), 0);
        ASSERT_EQ(count, 1u);
        ASSERT_EQ(nextAttribute(context_, reply, name, valueCount, syntax), 0);
        EXPECT_GE(valueCount, 1u);
        total += valueCount;
    } while (iteration != -1);
    EXPECT_EQ(total, 3u);
    EXPECT_EQ(replies, 3);
}

TEST_F(ReadTest, NamesOnlyReadsGiveNoValues) {
    ReadResult read = readObject(context_, "www.example_com.DNS.ACME", {}, 4096, INFO_ATTRIBUTE_NAMES);
    ASSERT_EQ(read.result, 0);
    EXPECT_TRUE(read.values.empty());
    EXPECT_EQ(read.names,
              (std::vector<std::string>{"Object Class", "CN", "DNIP:DNS Domain Name", "DNIP:RR"}));
}

TEST_F(ReadTest, ValuesArePresentedPerSyntax) {
    ReadResult soa = readObject(context_, "example_com.DNS.ACME", {"DNIP:SOA Serial"});
    ASSERT_EQ(soa.values.size(), 1u);
    EXPECT_EQ(std::get<int32_t>(soa.values[0].value), -1) << "4294967295 wraps to signed 32-bit";

    ReadResult lease =
        readObject(context_, "10_0_0_5.10_0_0_0.DNS.ACME", {"DNIP:Lease Expiration", "DNIP:MAC Address"});
    ASSERT_EQ(lease.values.size(), 2u);
    EXPECT_EQ(lease.values[0].syntax, SYN_TIME);
    EXPECT_EQ(std::get<int32_t>(lease.values[0].value), 1704110400);
    EXPECT_EQ(std::get<Octets>(lease.values[1].value), (Octets{7, 1, 0, 0x11, 0x12, 0x33, 0x44, 0x55}));

    ReadResult address = readObject(context_, "FS1.ACME", {"Network Address"});
    ASSERT_EQ(address.values.size(), 1u);
    const auto& net = std::get<NetAddress>(address.values[0].value);
    EXPECT_EQ(net.type, NET_TCP);
    EXPECT_EQ(net.address, (Octets{0, 80, 10, 0, 0, 1}));

    ReadResult home = readObject(context_, "admin.ACME", {"Home Directory"});
    ASSERT_EQ(home.values.size(), 1u);
    const auto& path = std::get<Path>(home.values[0].value);
    EXPECT_EQ(path.volumeName, "SYS.ACME");
    EXPECT_EQ(path.path, "users/admin");

    ReadResult members = readObject(context_, "Staff.ACME", {"Member"});
    EXPECT_EQ(textValues(members), (std::vector<std::string>{"admin.ACME", "jdoe.Sales.ACME"}));

    ReadResult replica = readObject(context_, "ACME", {"Replica"});
    ASSERT_EQ(replica.values.size(), 1u);
    EXPECT_EQ(std::get<ReplicaPointer>(replica.values[0].value).serverName, "FS1.ACME");
}

TEST_F(ReadTest, ValueSizeFollowsTheValue) {
    ScopedBuffer request(4096), reply(4096);
    ASSERT_EQ(initBuffer(context_, OP_READ, request), 0);
    ASSERT_EQ(putAttributeName(context_, request, "DNIP:RR"), 0);
    int32_t iteration = -1;
    ASSERT_EQ(
        read(context_, "www.example_com.DNS.ACME", INFO_ATTRIBUTE_VALUES, false, request, iteration, reply),
        0);
    uint32_t count = 0, valueCount = 0, syntax = 0, size = 0;
    std::string name;
    ASSERT_EQ(attributeCount(context_, reply, count), 0);
    ASSERT_EQ(nextAttribute(context_, reply, name, valueCount, syntax), 0);
    EXPECT_EQ(syntax, SYN_OCTET_STRING);
    ASSERT_EQ(valueSize(context_, reply, syntax, size), 0);
    EXPECT_EQ(size, 8u) << "length field and four bytes";
    Value value;
    EXPECT_EQ(nextValue(context_, reply, syntax, value), 0);
    EXPECT_EQ(nextValue(context_, reply, syntax, value), 0);
    EXPECT_EQ(nextValue(context_, reply, syntax, value), ERR_BUFFER_EMPTY);
    EXPECT_EQ(nextAttribute(context_, reply, name, valueCount, syntax), ERR_BUFFER_EMPTY);
}

TEST_F(ReadTest, SyntaxOfAnAttributeByName) {
    uint32_t syntax = 0;
    EXPECT_EQ(attributeSyntax(context_, "dnip:rr", syntax), 0);
    EXPECT_EQ(syntax, SYN_OCTET_STRING);
    EXPECT_EQ(attributeSyntax(context_, "DNIP:Zone type", syntax), 0);
    EXPECT_EQ(syntax, SYN_INTEGER);
    EXPECT_EQ(attributeSyntax(context_, "Object Class", syntax), 0);
    EXPECT_EQ(syntax, SYN_CLASS_NAME);
    EXPECT_NE(attributeSyntax(context_, "No Such Thing", syntax), 0);
}

TEST_F(ReadTest, ReadWithoutAttributeListProbesTheObject) {
    ScopedBuffer reply(4096);
    int32_t iteration = -1;
    EXPECT_EQ(read(context_, "Staff.ACME", INFO_ATTRIBUTE_NAMES, false, nullptr, iteration, reply), 0);
    EXPECT_EQ(iteration, -1);
    uint32_t count = 99;
    EXPECT_EQ(attributeCount(context_, reply, count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(read(context_, "Ghost.ACME", INFO_ATTRIBUTE_NAMES, false, nullptr, iteration, reply),
              ERR_NO_SUCH_ENTRY);
}

TEST_F(ReadTest, ReadWithWrongBuffersIsRefused) {
    ScopedBuffer request(4096), reply(4096);
    int32_t iteration = -1;
    EXPECT_EQ(read(context_, "ACME", INFO_ATTRIBUTE_VALUES, false, request, iteration, reply), ERR_BAD_VERB);
    EXPECT_EQ(read(context_, "ACME", INFO_ATTRIBUTE_VALUES, true, nullptr, iteration, nullptr),
              ERR_NULL_POINTER);
    EXPECT_EQ(read(context_, "ACME", 7, true, nullptr, iteration, reply), ERR_INVALID_REQUEST);
    iteration = 424242;
    EXPECT_EQ(read(context_, "ACME", INFO_ATTRIBUTE_VALUES, true, nullptr, iteration, reply),
              ERR_INVALID_ITERATION);
}

TEST_F(ReadTest, CloseIterationAcceptsAnyOperationCode) {
    ScopedBuffer reply(56);
    int32_t iteration = -1;
    ASSERT_EQ(read(context_, "jdoe.Sales.ACME", INFO_ATTRIBUTE_VALUES, true, nullptr, iteration, reply), 0);
    ASSERT_NE(iteration, -1);
    EXPECT_EQ(closeIteration(context_, iteration, 12345), 0);
    EXPECT_EQ(closeIteration(context_, -1, 3), 0);
    EXPECT_EQ(read(context_, "jdoe.Sales.ACME", INFO_ATTRIBUTE_VALUES, true, nullptr, iteration, reply),
              ERR_INVALID_ITERATION);
}

TEST_F(ReadTest, RequestBuffersHaveARealCapacity) {
    ScopedBuffer request(40);
    ASSERT_EQ(initBuffer(context_, OP_READ, request), 0);
    EXPECT_EQ(putAttributeName(context_, request, "CN"), 0);
    EXPECT_EQ(putAttributeName(context_, request, "A rather long attribute name"), ERR_BUFFER_FULL);
    Buffer* none = nullptr;
    EXPECT_EQ(allocateBuffer(0, none), ERR_NOT_ENOUGH_MEMORY);
}
