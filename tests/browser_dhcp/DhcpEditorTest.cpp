// The DHCP record editor's logic: the type table, the hexadecimal octet writer, loading a record
// and saving the changed fields, against the directory client's store (restarted where it matters,
// so that what was written is read back from the store).
#include "PanesFixture.h"

#include "browser/collection/TreeObj.h"
#include "browser/dhcp/DhcpRecordEditor.h"
#include "browser/records/CormelianLib.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"

#include <gtest/gtest.h>

#include <memory>

namespace browser {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(AssignmentTypeTableTest, BothDirections) {
    EXPECT_EQ(AssignmentTypeTable().size(), 14u);
    EXPECT_EQ(AssignmentTypeValue("Manual (static)"), "8");
    EXPECT_EQ(AssignmentTypeValue("8"), "Manual (static)");
    EXPECT_EQ(AssignmentTypeValue("Free"), "256");
    EXPECT_EQ(AssignmentTypeValue("Manual"), "");
    EXPECT_EQ(AssignmentTypeValue(""), "");
    EXPECT_EQ(AssignmentTypeChoices(1), (std::vector<std::string>{"Automatic"}));
    EXPECT_EQ(AssignmentTypeChoices(2), (std::vector<std::string>{"Dynamic", "Manual (static)", "Exclude"}));
    EXPECT_EQ(AssignmentTypeChoices(128), (std::vector<std::string>{"Exclude", "Manual (static)"}));
    EXPECT_EQ(AssignmentTypeChoices(64), (std::vector<std::string>{"Manual (static)", "Exclude"}));
}

TEST(HexOctetsTest, PairsWithACountByte) {
    EXPECT_EQ(HexTextToOctetValue("01001b213c4d5e"), (Bytes{7, 1, 0, 0x1B, 0x21, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(HexTextToOctetValue("ABC"), (Bytes{1, 0xAB})); // an odd last digit is ignored
    EXPECT_EQ(HexTextToOctetValue(""), (Bytes{0}));
    EXPECT_FALSE(HexTextToOctetValue("01_2").has_value());
    EXPECT_FALSE(HexTextToOctetValue(std::string(512, 'A')).has_value()); // more than a count byte holds
    EXPECT_EQ(HardwareCodeHex(0), "01");
    EXPECT_EQ(HardwareCodeHex(20), "15");
    EXPECT_EQ(HardwareCodeHex(kAnyHardwareIndex), "FF");
    EXPECT_EQ(HardwareIndexForCode(255), kAnyHardwareIndex);
    EXPECT_EQ(HardwareIndexForCode(16), 15);
    EXPECT_EQ(HardwareIndexForCode(0), 0);
    EXPECT_EQ(WithoutColons("00:1B:21"), "001B21");
}

TEST(FieldEnablingTest, OnlyManualRecordsOpenTheirFields) {
    EXPECT_TRUE(FieldEnabling("Manual (static)", false).manualFields);
    EXPECT_FALSE(FieldEnabling("Manual (static)", false).pickers);
    EXPECT_TRUE(FieldEnabling("Manual (static)", true).pickers);
    EXPECT_FALSE(FieldEnabling("Dynamic", true).manualFields);
    EXPECT_FALSE(FieldEnabling("Exclude", true).pickers);
}

class DhcpEditorTest : public testing::PanesTreeTest {
protected:
    DhcpRecordLocation Locate(const RecordRow& row) {
        std::string refusal;
        std::optional<DhcpRecordLocation> location = LocateDhcpRow(row, trees_, refusal);
        EXPECT_TRUE(location.has_value()) << refusal;
        return location.value_or(DhcpRecordLocation{});
    }

    DhcpRecordFields Load(const RecordRow& row) {
        return LoadDhcpRecord(
            Locate(row), row, [this](int ms) { waits_.push_back(ms); }, now_);
    }

    // The edits of a dialog left as loaded.
    static DhcpRecordEdits Unchanged(const DhcpRecordFields& fields) {
        DhcpRecordEdits edits;
        edits.typeText = fields.typeChoices.front();
        edits.mac = fields.mac;
        edits.hardwareIndex = fields.hardwareIndex;
        edits.identifier = fields.identifier;
        edits.host = fields.host;
        edits.permanent = !fields.timed;
        edits.leaseEnd = fields.leaseEnd;
        edits.objectReference = fields.objectReference;
        edits.comment = fields.comment;
        return edits;
    }

    std::string Name(const std::string& cn) const { return cn + "." + testing::kSubnet; }
    Bytes Octets(const std::string& cn, const std::string& attribute) {
        return directory::ReadOctetString(context_, Name(cn), attribute).Data;
    }
    std::string Text(const std::string& cn, const std::string& attribute) {
        return directory::ReadAttributeText(context_, Name(cn), attribute, false);
    }
    std::int32_t Integer(const std::string& cn, const std::string& attribute) {
        return directory::ReadIntegerAttribute(context_, Name(cn), attribute, -1);
    }
    void RestartWithTrees() {
        Restart();
        trees_.Object(0).context = context_;
    }

    std::vector<int> waits_;
    rtl::TDateTime now_ = rtl::EncodeDate(2024, 6, 1) + rtl::EncodeTime(12, 0, 0, 0);
};

TEST_F(DhcpEditorTest, LoadsADynamicRecord) {
    const DhcpRecordFields fields = Load(Row("10_0_0_5"));
    EXPECT_EQ(fields.address, "10.0.0.5");
    EXPECT_EQ(fields.host, "pc5");
    EXPECT_EQ(fields.mac, "00:1B:21:3C:4D:5E");
    EXPECT_EQ(fields.hardwareIndex, 0);
    EXPECT_EQ(fields.identifier, "01:00:1B:21:3C:4D:5E");
    ASSERT_TRUE(fields.lastUsed.has_value());
    EXPECT_EQ(*fields.lastUsed, "2024-01-01 12:00:00");
    EXPECT_TRUE(fields.timed);
    EXPECT_EQ(rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", fields.leaseEnd), "2024-03-01 00:00:00");
    EXPECT_EQ(fields.assignmentType, 2);
    EXPECT_EQ(fields.typeChoices, (std::vector<std::string>{"Dynamic", "Manual (static)", "Exclude"}));
    EXPECT_EQ(fields.comment, "desk");
    EXPECT_TRUE(waits_.empty());
}

TEST_F(DhcpEditorTest, MissingMacAndIdentifierAreReadFiveTimesEach) {
    const DhcpRecordFields fields = Load(Row("10_0_0_6"));
    EXPECT_EQ(waits_, std::vector<int>(10, 200));
    EXPECT_EQ(fields.identifier, "");
    EXPECT_FALSE(fields.timed);
    EXPECT_FALSE(fields.lastUsed.has_value());
    EXPECT_EQ(fields.typeChoices, (std::vector<std::string>{"Automatic"}));
    // Without an expiration the pickers show now plus the subnet's lease time (90000 s).
    EXPECT_EQ(rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", fields.leaseEnd), "2024-06-02 13:00:00");
}

// A MAC address too large for a read is reported with the object's name, once however often the read is
// tried; a record read whole reports nothing.
class DhcpEditorLargeValueTest : public DhcpEditorTest {
protected:
    std::string Ldif() const override { return testing::PanesLdifWithLargeValues(); }
};

TEST_F(DhcpEditorLargeValueTest, AMacTooLargeForAReadIsReportedOnceWithItsObject) {
    const DhcpRecordFields fields = Load(Row("10_0_0_11"));
    EXPECT_EQ(fields.warnings, std::vector<std::string>{OctetWarningText(
                                   directory::kOctetStringOverflowMessage, Name("10_0_0_11"))});
    EXPECT_EQ(fields.hardwareIndex, 0);
    EXPECT_EQ(waits_.size(), 10u); // the MAC and the identifier were each tried five times
    EXPECT_TRUE(Load(Row("10_0_0_5")).warnings.empty());
}

TEST_F(DhcpEditorTest, FailedMacReadsCountAsEmptyAndTheNextReadSucceeds) {
    const RecordRow row = Row("10_0_0_7");
    // Reads before the MAC: the subnet's type and lease time, "Last Used", "Lease Expiration".
    nwclient::resetCallCounts();
    nwclient::injectFault(nwclient::Operation::Read, 5, -632);
    const DhcpRecordFields fields = Load(row);
    // One wait after the failed MAC read, five for the identifier this record does not have.
    EXPECT_EQ(waits_, std::vector<int>(6, 200));
    EXPECT_EQ(fields.hardwareIndex, kAnyHardwareIndex);
}

TEST_F(DhcpEditorTest, DynamicToManualWritesTypeThenTheChangedFields) {
    RecordRow row = Row("10_0_0_5");
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.typeText = "Manual (static)";
    edits.mac = "AA:BB:CC:DD:EE:01";
    edits.macModified = true;
    edits.identifier = "01:AA:BB:CC:DD:EE:01";
    edits.identifierModified = true;
    edits.host = "laptop";
    edits.hostModified = true;
    edits.leaseEnd = rtl::EncodeDate(2025, 1, 2) + rtl::EncodeTime(3, 4, 5, 0);

    const DhcpSaveResult result = SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row);
    ASSERT_TRUE(result.saved) << result.message;
    EXPECT_EQ(row.subItems[0], "laptop");
    EXPECT_EQ(row.subItems[1], "Manual");
    EXPECT_EQ(row.subItems[2], "AA:BB:CC:DD:EE:01");
    EXPECT_EQ(row.subItems[4], "2025-01-02 03:04:05");

    RestartWithTrees();
    EXPECT_EQ(Integer("10_0_0_5", "DNIP:Assignment Type"), 8);
    EXPECT_EQ(Octets("10_0_0_5", "DNIP:MAC Address"), (Bytes{7, 1, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01}));
    EXPECT_EQ(Octets("10_0_0_5", "DNIP:Client Identifier"),
              (Bytes{7, 1, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x01}));
    EXPECT_EQ(Text("10_0_0_5", "DNIP:Host Name"), "laptop");
    EXPECT_EQ(static_cast<std::uint32_t>(Integer("10_0_0_5", "DNIP:Lease Expiration")), 1735787045u);
    EXPECT_EQ(Text("10_0_0_5", "DNIP:Comment"), "desk"); // not modified, left alone
}

TEST_F(DhcpEditorTest, AutomaticRecordWritesOnlyReferenceAndComment) {
    RecordRow row = Row("10_0_0_6");
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.mac = "11:22:33:44:55:66";
    edits.macModified = true;
    edits.host = "ignored";
    edits.hostModified = true;
    edits.comment = "new comment";
    edits.commentModified = true;
    edits.objectReference = "admin.ACME";
    edits.objectReferenceModified = true;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    RestartWithTrees();
    EXPECT_EQ(Integer("10_0_0_6", "DNIP:Assignment Type"), 1);
    EXPECT_TRUE(Octets("10_0_0_6", "DNIP:MAC Address").empty());
    EXPECT_EQ(Text("10_0_0_6", "DNIP:Host Name"), "");
    EXPECT_EQ(Text("10_0_0_6", "DNIP:Comment"), "new comment");
    EXPECT_EQ(Text("10_0_0_6", "DNIP:Object Reference"), "admin.ACME");
    EXPECT_EQ(row.subItems[0], "");
}

TEST_F(DhcpEditorTest, EmptyTextsClearTheirAttributes) {
    RecordRow row = Row("10_0_0_7");
    const DhcpRecordFields fields = Load(row);
    EXPECT_EQ(fields.objectReference, "admin.ACME");
    DhcpRecordEdits edits = Unchanged(fields);
    edits.host.clear();
    edits.hostModified = true;
    edits.objectReference.clear();
    edits.objectReferenceModified = true;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    EXPECT_EQ(row.subItems[0], "");
    RestartWithTrees();
    EXPECT_EQ(Text("10_0_0_7", "DNIP:Host Name"), "");
    EXPECT_EQ(Text("10_0_0_7", "DNIP:Object Reference"), "");
}

TEST_F(DhcpEditorTest, AnyHardwareTypeIsStoredAs255AndLoadsBack) {
    RecordRow row = Row("10_0_0_7");
    DhcpRecordFields fields = Load(row);
    ASSERT_EQ(fields.hardwareIndex, kAnyHardwareIndex);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.mac = "01:02:03:04:05:06";
    edits.macModified = true;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    RestartWithTrees();
    EXPECT_EQ(Octets("10_0_0_7", "DNIP:MAC Address"), (Bytes{7, 255, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Load(Row("10_0_0_7")).hardwareIndex, kAnyHardwareIndex);
}

TEST_F(DhcpEditorTest, PermanentClearsTheExpirationAndUnchangedTimedWritesNothing) {
    ASSERT_EQ(directory::ReplaceAttributeValue(context_, Name("10_0_0_7"), "DNIP:Lease Expiration", false,
                                               1709251200),
              0);
    RecordRow row = Row("10_0_0_7");
    DhcpRecordFields fields = Load(row);
    ASSERT_TRUE(fields.timed);

    nwclient::resetCallCounts();
    RecordRow same = row;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, Unchanged(fields), same).saved);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::ModifyObject), 0u);
    EXPECT_EQ(same, row);

    DhcpRecordEdits edits = Unchanged(fields);
    edits.permanent = true;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    EXPECT_EQ(row.subItems[4], "");
    RestartWithTrees();
    EXPECT_EQ(Text("10_0_0_7", "DNIP:Lease Expiration"), "");
}

TEST_F(DhcpEditorTest, BadHexWritesNothing) {
    RecordRow row = Row("10_0_0_5");
    const RecordRow before = row;
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.typeText = "Manual (static)";
    edits.host = "x";
    edits.hostModified = true;
    edits.identifier = "01:AA:BB:CC:DD:EE:0";
    edits.identifierModified = true;
    nwclient::resetCallCounts();
    DhcpSaveResult result = SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row);
    EXPECT_FALSE(result.saved);
    EXPECT_NE(result.message.find("client identifier"), std::string::npos);

    edits.identifierModified = false;
    edits.mac = "AA:BB:CC:__:__:__";
    edits.macModified = true;
    result = SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::ModifyObject), 0u);
    EXPECT_EQ(row, before);
    EXPECT_EQ(Integer("10_0_0_5", "DNIP:Assignment Type"), 2);
}

TEST_F(DhcpEditorTest, UnknownTypeWritesNothing) {
    RecordRow row = Row("10_0_0_5");
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.typeText = "";
    nwclient::resetCallCounts();
    const DhcpSaveResult result = SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.message, kUnknownTypeMessage);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::ModifyObject), 0u);
}

TEST_F(DhcpEditorTest, AFailedWriteIsReportedAndTheRowShowsWhatWasWrittenBeforeIt) {
    RecordRow row = Row("10_0_0_5");
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.typeText = "Manual (static)";
    edits.host = "laptop";
    edits.hostModified = true;
    nwclient::injectFault(nwclient::Operation::ModifyObject, 2, -632); // the host name's write
    const DhcpSaveResult result = SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row);
    EXPECT_FALSE(result.saved);
    EXPECT_NE(result.message.find("-632"), std::string::npos);
    RestartWithTrees();
    EXPECT_EQ(Integer("10_0_0_5", "DNIP:Assignment Type"), 8); // written before the failure
    EXPECT_EQ(Text("10_0_0_5", "DNIP:Host Name"), "pc5");
    // The row was read back: the new type, the old host name, and nothing else moved.
    EXPECT_EQ(row, Row("10_0_0_5"));
    EXPECT_EQ(row.subItems[1], "Manual");
    EXPECT_EQ(row.subItems[0], "pc5");
}

TEST_F(DhcpEditorTest, ASavedRowShowsWhatTheDirectoryHoldsComment) {
    RecordRow row = Row("10_0_0_5");
    row.stateIndex = 3; // loaded from a cache of some age: the age stays with the row
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.comment = "moved to floor 9";
    edits.commentModified = true;
    edits.objectReference = "admin.ACME";
    edits.objectReferenceModified = true;
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    EXPECT_EQ(row.subItems[5], "moved to floor 9");
    EXPECT_EQ(row.stateIndex, 3);
    RecordRow expected = Row("10_0_0_5");
    expected.stateIndex = 3;
    EXPECT_EQ(row, expected);
}

TEST_F(DhcpEditorTest, ARowWhoseObjectCannotBeReadBackShowsTheSavedEdits) {
    RecordRow row = Row("10_0_0_5");
    const DhcpRecordFields fields = Load(row);
    DhcpRecordEdits edits = Unchanged(fields);
    edits.comment = "new";
    edits.commentModified = true;
    // The write goes through; the first read after it, where the read-back begins, fails.
    nwclient::resetCallCounts();
    directory::ReplaceAttributeValues(context_, Name("10_0_0_5"), "DNIP:Comment", false, "probe");
    const std::uint64_t readsOfTheWrite = nwclient::callCount(nwclient::Operation::Read);
    nwclient::injectFault(nwclient::Operation::Read, static_cast<std::uint32_t>(readsOfTheWrite) + 1, -632);
    ASSERT_TRUE(SaveDhcpRecord(Locate(row), fields.assignmentType, fields, edits, row).saved);
    EXPECT_EQ(row.subItems[5], "new");
    EXPECT_EQ(Text("10_0_0_5", "DNIP:Comment"), "new");
}

TEST_F(DhcpEditorTest, WriteHexOctetAttrClearsOnEmptyTextAndRefusesOtherSyntaxes) {
    WriteHexOctetAttr(context_, Name("10_0_0_5"), "DNIP:Client Identifier", "");
    EXPECT_TRUE(Octets("10_0_0_5", "DNIP:Client Identifier").empty());
    WriteHexOctetAttr(context_, Name("10_0_0_5"), "DNIP:Client Identifier", "0A0B0");
    EXPECT_EQ(Octets("10_0_0_5", "DNIP:Client Identifier"), (Bytes{2, 0x0A, 0x0B}));
    EXPECT_THROW(WriteHexOctetAttr(context_, Name("10_0_0_5"), "DNIP:Comment", "0A"), std::runtime_error);
    EXPECT_THROW(WriteHexOctetAttr(context_, Name("10_0_0_5"), "DNIP:Client Identifier", "0G"),
                 std::runtime_error);
    EXPECT_EQ(Octets("10_0_0_5", "DNIP:Client Identifier"), (Bytes{2, 0x0A, 0x0B}));
}

TEST_F(DhcpEditorTest, RowsAreLocatedThroughTheirOwnTree) {
    RecordRow row = Row("10_0_0_5");
    std::string refusal;
    EXPECT_TRUE(LocateDhcpRow(row, trees_, refusal).has_value());

    RecordRow otherTree = row;
    otherTree.tree = "ZETA";
    EXPECT_FALSE(LocateDhcpRow(otherTree, trees_, refusal).has_value());
    EXPECT_NE(refusal.find("not open"), std::string::npos);

    RecordRow noName = row;
    noName.subItems.resize(6);
    EXPECT_FALSE(LocateDhcpRow(noName, trees_, refusal).has_value());

    RecordRow longName = row;
    longName.subItems[6] = std::string(256, 'x');
    EXPECT_FALSE(LocateDhcpRow(longName, trees_, refusal).has_value());
    EXPECT_NE(refusal.find("255"), std::string::npos);

    RecordRow noContainer = row;
    noContainer.container.clear();
    const std::optional<DhcpRecordLocation> location = LocateDhcpRow(noContainer, trees_, refusal);
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(location->subnetName, testing::kSubnet);
}

} // namespace
} // namespace browser
