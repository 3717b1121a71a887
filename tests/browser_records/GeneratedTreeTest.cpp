#include "CollectRows.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"
#include "tools/gentree/GeneratorRun.h"
#include "tools/gentree/TreeGenerator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace gentree;

namespace {

std::string LdifText(const GeneratedTree& tree) {
    std::ostringstream out;
    WriteLdif(out, tree.entries);
    return out.str();
}

void ExpectRowsMatchManifest(const TreeOptions& options) {
    SCOPED_TRACE(options.name);
    GeneratedTree tree = GenerateTree(options);
    GeneratedTreeSource source(tree);
    int failures = 0;
    std::vector<ExpectedRow> rows = CollectRows(source, options.name, failures);
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(rows.size(), tree.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i], tree.rows[i]) << "row " << i << " of object " << tree.rows[i].subItems.back();
    }
}

} // namespace

TEST(GeneratedTree, DecodedRowsMatchTheManifestForTheDemoTrees) {
    for (const TreeOptions& options : DemoRun("unused").trees) {
        ExpectRowsMatchManifest(options);
    }
}

TEST(GeneratedTree, DecodedRowsMatchTheManifestForOtherSizesAndSeeds) {
    ExpectRowsMatchManifest(TreeOptions{"WIDE", 4, 99, TreeSize{4, 3, 30, 7, 3, 300}});
    ExpectRowsMatchManifest(TreeOptions{"ONE", 5, 7, TreeSize{1, 0, 1, 1, 1, 1}});
    ExpectRowsMatchManifest(TreeOptions{"EMPTY", 6, 7, TreeSize{0, 0, 0, 1, 0, 0}});
}

TEST(GeneratedTree, CoversEveryRecordTypeAndTheSpecialCases) {
    GeneratedTree tree = GenerateTree(DemoRun("unused").trees[0]);
    std::set<std::string> types;
    bool srvOwner = false;
    bool reverse = false;
    bool carriedEmpty = false;
    for (const ExpectedRow& row : tree.rows) {
        if (row.list == "REV-DNS" && row.image == 19) {
            reverse = true;
        } else if (row.list != "DHCP") {
            types.insert(row.subItems[1]);
            srvOwner |= row.subItems[1] == "SRV" && row.subItems[0].find("._tcp.") != std::string::npos;
            carriedEmpty |= row.subItems[1] != "A" && row.caption.empty() && row.subItems[1] != "SRV";
        }
    }
    for (const char* type : {"A",   "NS", "CNAME", "MB",  "MG",   "MR", "WKS", "HINFO", "MINFO", "MX",
                             "TXT", "RP", "AFSDB", "X25", "ISDN", "RT", "PX",  "IPv6",  "SRV",   "unknown"}) {
        EXPECT_TRUE(types.count(type)) << type;
    }
    EXPECT_TRUE(srvOwner);
    EXPECT_TRUE(reverse);
    EXPECT_TRUE(carriedEmpty);
    std::string ldif = LdifText(tree);
    EXPECT_NE(ldif.find("dn: cn=@,cn=z1_acme_com,ou=DNS,o=ACME"), std::string::npos);
    EXPECT_NE(ldif.find("dn: cn=Subnet Server,"), std::string::npos);
    EXPECT_NE(ldif.find("objectClass: dNIPLocator"), std::string::npos);
    EXPECT_NE(ldif.find("homeDirectory: "), std::string::npos);
    EXPECT_NE(ldif.find("aliasedObjectName: "), std::string::npos);
}

TEST(GeneratedTree, NoAttributeHoldsTheSameValueTwice) {
    // The directory refuses a repeated value of a multi-valued attribute.
    GeneratedTree tree = GenerateTree(TreeOptions{"DUP", 1, 11, TreeSize{2, 1, 50, 45, 1, 5}});
    for (const LdifEntry& entry : tree.entries) {
        std::set<std::pair<std::string, std::string>> seen;
        for (const LdifAttribute& attribute : entry.attributes) {
            EXPECT_TRUE(seen.insert({attribute.name, attribute.value.text}).second)
                << entry.dn << " " << attribute.name;
        }
    }
}

TEST(GeneratedTree, SameOptionsGiveTheSameBytes) {
    TreeOptions options{"ACME", 1, 42, TreeSize{}};
    EXPECT_EQ(LdifText(GenerateTree(options)), LdifText(GenerateTree(options)));
    TreeOptions other = options;
    other.seed = 43;
    EXPECT_NE(LdifText(GenerateTree(options)), LdifText(GenerateTree(other)));
}

TEST(GeneratedTree, ManifestRoundTripsAwkwardTexts) {
    std::vector<ExpectedRow> rows = {
        {"DNS",
         "z.DNS.T",
         "10.0.0.1",
         4,
         {"a\tb", "back\\slash", "cr\rlf\n", std::string("\x01", 1), "", "o.T"}},
        {"DHCP", "s.DHCP.T", "", -1, {"x"}},
    };
    std::stringstream text;
    WriteManifest(text, "T", rows);
    EXPECT_EQ(ReadManifest(text), rows);
    std::istringstream broken("DNS\tz\tc\n");
    EXPECT_THROW(ReadManifest(broken), std::runtime_error);
}

TEST(GeneratedTree, LdifWritesUnsafeValuesInBase64) {
    LdifEntry entry;
    entry.dn = "cn=a,o=T";
    entry.Add("description", "plain text");
    entry.Add("description", " leading blank");
    entry.Add("description", "tab\there");
    entry.AddOctets("dnipRR", {0, 1, 0xFF});
    std::ostringstream out;
    WriteLdif(out, {entry});
    EXPECT_EQ(out.str(),
              "version: 1\n\ndn: cn=a,o=T\ndescription: plain text\ndescription:: IGxlYWRpbmcgYmxhbms=\n"
              "description:: dGFiCWhlcmU=\ndnipRR:: AAH/\n\n");
    EXPECT_EQ(EscapeDnValue("a,b=c"), "a\\,b\\=c");
    EXPECT_EQ(EscapeDnValue("#x "), "\\#x\\ ");
}

TEST(GeneratedTree, RejectsBadOptions) {
    EXPECT_THROW(GenerateTree(TreeOptions{"A.B", 1, 1, TreeSize{}}), std::invalid_argument);
    EXPECT_THROW(GenerateTree(TreeOptions{"A", 1, 1, TreeSize{1, 1, 1, 0, 1, 1}}), std::invalid_argument);
    EXPECT_THROW(GenerateTree(TreeOptions{"A", 1, 1, TreeSize{1, 1, 1, 1, 100, 100000}}),
                 std::invalid_argument);
    EXPECT_THROW(ParseArguments({"--zones", "x", "--out", "d"}), std::invalid_argument);
    EXPECT_THROW(ParseArguments({"--zones", "3"}), std::invalid_argument);
    EXPECT_THROW(ParseArguments({"--bogus"}), std::invalid_argument);
    // A tree named twice (in any case) would be written once: refused, saying which.
    for (const std::vector<std::string>& twice :
         {std::vector<std::string>{"--tree", "ACME", "--tree", "ACME"},
          {"--tree", "ACME", "--tree", "B", "--tree", "acme:hidden"}}) {
        std::vector<std::string> arguments = {"--out", "d"};
        arguments.insert(arguments.end(), twice.begin(), twice.end());
        try {
            ParseArguments(arguments);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), "tree '" + twice.back().substr(0, 4) + "' is named twice");
        }
    }
    GeneratorRun run = ParseArguments({"--out", "d", "--tree", "A", "--tree", "B:hidden", "--zones", "3"});
    ASSERT_EQ(run.trees.size(), 2u);
    EXPECT_EQ(run.trees[1].name, "B");
    EXPECT_FALSE(run.visible[1]);
    EXPECT_EQ(run.trees[0].size.zones, 3);
}

TEST(GeneratedTree, WriteRunWritesEveryFileAndNoTemporaries) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() /
                      ("gentree-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(folder);
    GeneratorRun run =
        ParseArguments({"--out", folder.string(), "--tree", "T1", "--tree", "T2:hidden", "--zones", "1",
                        "--rrsets", "2", "--subnets", "1", "--addresses", "3"});
    EXPECT_GT(WriteRun(run), 20u);
    std::set<std::string> names;
    for (const auto& file : fs::directory_iterator(folder)) {
        names.insert(file.path().filename().string());
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"T1.ldif", "T1.manifest", "T2.ldif", "T2.manifest", "client.ini"}));
    std::ifstream config(folder / "client.ini");
    std::string text((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("T1=visible\nT2=hidden\n"), std::string::npos);
    EXPECT_NE(text.find("PreferredTree=T1\n"), std::string::npos);
    fs::remove_all(folder);
}

// gentree killed between the renames of its files leaves, once repaired, the whole old or the whole new
// set: never a new LDIF beside an old manifest.
TEST(GeneratedTree, ARunKilledBetweenItsRenamesIsRepairedWhole) {
    test_support::TempFolder folder{"gentree-killed"};
    const auto run = [&](std::uint64_t seed) {
        GeneratorRun generated =
            ParseArguments({"--out", folder.Path().string(), "--tree", "T1", "--seed", std::to_string(seed),
                            "--zones", "1", "--rrsets", "2", "--subnets", "1"});
        WriteRun(generated);
    };
    const int renames = test_support::ExpectEveryKilledRenameRepaired(
        folder.Path(), [&] { run(1); }, [&] { run(2); });
    EXPECT_GE(renames, 3);
}

TEST(GeneratedTree, ARunThatCannotWriteEveryFileReplacesNone) {
    test_support::TempFolder folder{"gentree-faults"};
    // The run writes its files as one: a fault at any of them leaves every old file. The client
    // configuration is the case's target, the tree's files stand beside it; a write failing
    // part-way fails at the tree's LDIF, the first file written.
    test_support::ExpectSafeCommits(
        folder.Path(), "client.ini",
        [](const std::string& path) {
            GeneratorRun run =
                ParseArguments({"--out", std::filesystem::path(path).parent_path().string(), "--tree", "T1",
                                "--zones", "1", "--rrsets", "2", "--subnets", "1"});
            WriteRun(run);
        },
        [](std::string message) {
            if (message.rfind("Cannot write file ", 0) == 0)
                message.replace(message.find("client.ini"), 10, "T1.ldif");
            return message;
        },
        8, true);
}
