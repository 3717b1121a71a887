// The demo directory read through the real directory client and access layer: every tree's rows
// must be the rows its manifest lists.

#include "CollectRows.h"
#include "RecordBytes.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "directory/NWHelper.h"
#include "directory/NWHelper2.h"
#include "platform/nwclient/NWClient.h"
#include "tools/gentree/ClientConfig.h"
#include "tools/gentree/Manifest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path SourceDir() {
    const char* dir = std::getenv("CORMELIAN_SOURCE_DIR");
    return dir != nullptr ? fs::path(dir) : fs::path(__FILE__).parent_path().parent_path().parent_path();
}

bool ByObjectThenOrder(const gentree::ExpectedRow& a, const gentree::ExpectedRow& b) {
    return a.subItems.back() < b.subItems.back();
}

class DemoDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("cormelian-demo-" + std::to_string(::getpid()));
        fs::remove_all(work_);
        fs::copy(SourceDir() / "data" / "demo", work_);
        ASSERT_EQ(nwclient::initialize((work_ / "client.ini").string()), 0) << nwclient::lastError();
        directory::SetNoUTCConversion(true);
        directory::SetDateTimeFormat("yyyy-mm-dd hh:nn:ss");
    }
    void TearDown() override {
        nwclient::terminate();
        fs::remove_all(work_);
    }

    std::vector<gentree::ExpectedRow> Manifest(const std::string& tree) {
        std::ifstream in(work_ / (tree + ".manifest"));
        return gentree::ReadManifest(in);
    }

    fs::path work_;
};

} // namespace

TEST_F(DemoDirectory, EveryTreeGivesTheRowsOfItsManifest) {
    for (const std::string tree : {"ACME", "GLOBEX", "INITECH"}) {
        SCOPED_TRACE(tree);
        bool ok = false;
        directory::NWDSContextHandle context = directory::CreateDSContext(false, false, ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(directory::SelectTree(context, tree, false), 0);
        browser::DirectoryAttributeSource source(context);
        int failures = 0;
        std::vector<gentree::ExpectedRow> rows = CollectRows(source, tree, failures);
        std::vector<gentree::ExpectedRow> expected = Manifest(tree);
        EXPECT_EQ(failures, 0);
        EXPECT_GT(expected.size(), 20u);
        // The directory lists objects in its own order; the rows of one object keep theirs.
        std::stable_sort(rows.begin(), rows.end(), ByObjectThenOrder);
        std::stable_sort(expected.begin(), expected.end(), ByObjectThenOrder);
        ASSERT_EQ(rows.size(), expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i], expected[i]) << "row " << i << " of " << expected[i].subItems.back();
        }
        nwclient::freeContext(context);
    }
}

TEST(DirectoryRecords, EveryValuePastSixtyFourKilobytesIsReadAndAnUnreadableOneReported) {
    using testbytes::Bytes;
    fs::path work = fs::temp_directory_path() / ("cormelian-long-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    std::vector<gentree::LdifEntry> entries(4);
    entries[0].dn = "o=BIG";
    entries[0].Add("objectClass", "organization");
    entries[1].dn = "cn=big_example,o=BIG";
    entries[1].Add("objectClass", "dNIPDNSZone");
    entries[1].Add("dnipZoneType", "0");
    // 300 TXT values of 265 bytes each: 79,500 bytes, more than one reply holds.
    entries[2].dn = "cn=www,cn=big_example,o=BIG";
    entries[2].Add("objectClass", "dNIPDNSRRset");
    entries[2].Add("dnipDNSDomainName", "www.big.example");
    std::size_t total = 0;
    for (int i = 0; i < 300; ++i) {
        Bytes txt;
        testbytes::AppendString(txt,
                                "t" + std::to_string(i) + std::string(250, static_cast<char>('a' + i % 26)));
        const Bytes record = testbytes::Record(16, txt);
        total += record.size();
        entries[2].AddOctets("dnipRR", record);
    }
    ASSERT_GT(total, 65536u);
    // One value larger than a whole reply, between two that can be read.
    Bytes ns;
    testbytes::AppendName(ns, "ns.big.example");
    entries[3].dn = "cn=huge,cn=big_example,o=BIG";
    entries[3].Add("objectClass", "dNIPDNSRRset");
    entries[3].Add("dnipDNSDomainName", "huge.big.example");
    Bytes ns2;
    testbytes::AppendName(ns2, "ns2.big.example");
    entries[3].AddOctets("dnipRR", testbytes::Record(2, ns));
    entries[3].AddOctets("dnipRR", testbytes::Record(99, Bytes(70000, 0x55)));
    entries[3].AddOctets("dnipRR", testbytes::Record(2, ns2));
    {
        std::ofstream ldif(work / "BIG.ldif");
        gentree::WriteLdif(ldif, entries);
        std::ofstream config(work / "client.ini");
        gentree::WriteClientConfig(config, {gentree::ClientTree{"BIG", true, "", "", "", ""}});
    }
    ASSERT_EQ(nwclient::initialize((work / "client.ini").string()), 0) << nwclient::lastError();
    bool ok = false;
    directory::NWDSContextHandle context = directory::CreateDSContext(false, false, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(directory::SelectTree(context, "BIG", false), 0);
    browser::DirectoryAttributeSource source(context);
    std::vector<browser::RecordRow> rows;
    EXPECT_EQ(browser::ListRRSet(source, "www.big_example.BIG", rows, browser::RowOrigin{}), 0);
    ASSERT_EQ(rows.size(), 300u);
    EXPECT_EQ(rows[246].subItems[3].substr(0, 4), "t246");
    EXPECT_EQ(rows[299].subItems[3].substr(0, 4), "t299");
    EXPECT_TRUE(source.TakeWarnings().empty());

    rows.clear();
    EXPECT_EQ(browser::ListRRSet(source, "huge.big_example.BIG", rows, browser::RowOrigin{}), 0);
    EXPECT_EQ(rows.size(), 1u); // the value before the unreadable one
    EXPECT_EQ(source.TakeWarnings(),
              (std::vector<std::string>{browser::OctetWarningText(directory::kOctetStringListOverflowMessage,
                                                                  "huge.big_example.BIG")}));
    EXPECT_TRUE(source.TakeWarnings().empty());
    nwclient::freeContext(context);
    nwclient::terminate();
    fs::remove_all(work);
}
