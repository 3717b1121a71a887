#include "ClientFixture.h"
#include "ReadHelpers.h"

#include "fuzz/LdifRoundTrip.h"
#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Schema.h"
#include "platform/nwclient/Store.h"

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace nwclient;
using namespace nwclient_test;

namespace {

std::filesystem::path sourceRoot() {
    const char* root = std::getenv("CORMELIAN_SOURCE_DIR");
    return root ? root : CORMELIAN_TEST_SOURCE_DIR;
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string sourceFile(const std::string& relative) {
    return readText(sourceRoot() / "tests" / "platform_nwclient" / relative);
}

// The files of a source folder, sorted, so that a failure names the same file every run.
std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        if (item.is_regular_file())
            files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<Store> memoryStore() {
    std::string error;
    auto store = Store::open(":memory:", error);
    EXPECT_TRUE(store) << error;
    return store;
}

std::unique_ptr<DirectoryTree> treeOf(const std::string& text) {
    std::vector<Entry> entries;
    ldif::Error error;
    EXPECT_TRUE(ldif::read(text, "test.ldif", entries, error)) << error.message();
    auto tree = std::make_unique<DirectoryTree>("T");
    for (Entry& entry : entries)
        tree->insert(std::make_shared<Entry>(std::move(entry)));
    return tree;
}

ldif::Error failure(const std::string& text) {
    std::vector<Entry> entries;
    ldif::Error error;
    EXPECT_FALSE(ldif::read(text, "bad.ldif", entries, error));
    EXPECT_TRUE(entries.empty()) << "nothing is half-loaded";
    return error;
}

const std::string HEAD = "version: 1\n\ndn: o=ACME\nobjectClass: organization\no: ACME\n\n";

} // namespace

TEST(LdifRoundTrip, EverySyntaxExportsBackIdentically) {
    const std::string original = sourceFile("data/every_syntax.ldif");
    ASSERT_FALSE(original.empty());
    auto tree = treeOf(original);
    EXPECT_EQ(ldif::write(*tree), original);
}

TEST(LdifRoundTrip, ExportThenImportGivesTheSameTree) {
    auto first = treeOf(ACME_LDIF);
    std::string exported = ldif::write(*first);
    auto second = treeOf(exported);
    EXPECT_EQ(ldif::write(*second), exported);
    ASSERT_EQ(first->size(), second->size());
    for (const EntryPtr& entry : first->allEntries()) {
        EntryPtr other = second->findByKey(entry->key());
        ASSERT_TRUE(other) << entry->fullName();
        ASSERT_EQ(other->attributes.size(), entry->attributes.size());
        for (std::size_t i = 0; i < entry->attributes.size(); ++i) {
            EXPECT_EQ(other->attributes[i].name, entry->attributes[i].name);
            EXPECT_EQ(other->attributes[i].values, entry->attributes[i].values);
        }
    }
}

TEST(LdifImport, ConventionsOfTheDirectory) {
    auto tree = treeOf(sourceFile("data/every_syntax.ldif"));
    names::Components components{"admin", "ACME"};
    EntryPtr admin = tree->find(components);
    ASSERT_TRUE(admin);
    EXPECT_EQ(admin->baseClass(), "User") << "inetOrgPerson is the directory's User";
    const Attribute* limit = admin->find(schema::nameKey("Login Grace Limit"));
    ASSERT_TRUE(limit);
    EXPECT_EQ(std::get<int32_t>(limit->values[0]), -5);
    const Attribute* postal = admin->find(schema::nameKey("Postal Address"));
    ASSERT_TRUE(postal);
    EXPECT_EQ(std::get<StringList>(postal->values[0]), (StringList{"ACME", "Main Street 1$", "Amsterdam"}));
    const Attribute* unknownText = admin->find(schema::nameKey("fooBar"));
    ASSERT_TRUE(unknownText);
    EXPECT_EQ(unknownText->syntax, SYN_CI_STRING);
    const Attribute* unknownOctets = admin->find(schema::nameKey("fooBlob"));
    ASSERT_TRUE(unknownOctets);
    EXPECT_EQ(unknownOctets->syntax, SYN_OCTET_STRING);
    EXPECT_EQ(tree->extraAttribute(schema::nameKey("FOOBAR"))->second, SYN_CI_STRING);
    names::Components group{"a,b", "ACME"};
    EntryPtr entry = tree->find(group);
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::get<std::string>(entry->find(schema::nameKey("Member"))->values[1]), "host\\.one.ACME");
}

// Values of names as RFC 4514 reads them: blanks before a "," are not part of the value, and a "\"
// takes two hexadecimal digits or else one character (never half a byte).
TEST(LdifImport, NameValuesReadAsTheRfcHasThem) {
    const std::pair<const char*, names::Components> cases[] = {
        {"cn=x  ,o=ACME", {"x", "ACME"}},     {"cn=x \\ ,o=ACME", {"x  ", "ACME"}},
        {"cn=a\\2,o=ACME", {"a2", "ACME"}},   {"cn=a\\2C b,o=ACME", {"a, b", "ACME"}},
        {"cn=a\\2g,o=ACME", {"a2g", "ACME"}},
    };
    for (const auto& [dn, name] : cases) {
        auto tree =
            treeOf(HEAD + "dn: " + dn + "\nobjectClass: top\n\ndn: cn=G,o=ACME\nobjectClass: groupOfNames\n" +
                   "member: " + dn + "\n");
        EntryPtr entry = tree->find(name);
        ASSERT_TRUE(entry) << dn;
        EntryPtr group = tree->find(names::Components{"G", "ACME"});
        ASSERT_TRUE(group);
        EXPECT_EQ(std::get<std::string>(group->find(schema::nameKey("Member"))->values[0]), entry->fullName())
            << dn;
    }
}

TEST(LdifImport, IntegersWrapAndTimesConvert) {
    auto tree = treeOf(HEAD + "dn: cn=z,o=ACME\nobjectClass: dNIPDNSZone\ndnipSOASerial: 2147483648\n"
                              "dnipZoneType: -2147483648\n\n"
                              "dn: cn=a,cn=z,o=ACME\nobjectClass: dNIPIPAddressConfiguration\n"
                              "dnipLastUsed: 19700101000000Z\ndnipLeaseExpiration: 20380119031408Z\n");
    EntryPtr zone = tree->find(names::Components{"z", "ACME"});
    EXPECT_EQ(std::get<int32_t>(zone->find(schema::nameKey("DNIP:SOA Serial"))->values[0]), INT32_MIN);
    EXPECT_EQ(std::get<int32_t>(zone->find(schema::nameKey("DNIP:Zone Type"))->values[0]), INT32_MIN);
    EntryPtr address = tree->find(names::Components{"a", "z", "ACME"});
    EXPECT_EQ(std::get<int32_t>(address->find(schema::nameKey("DNIP:Last Used"))->values[0]), 0);
    EXPECT_EQ(std::get<int32_t>(address->find(schema::nameKey("DNIP:Lease Expiration"))->values[0]),
              INT32_MIN);
    EXPECT_EQ(ldif::formatGeneralizedTime(1704110400u), "20240101120000Z");
}

TEST(LdifImport, FoldedLinesCommentsAndWindowsLineEnds) {
    auto tree = treeOf("version: 1\r\n\r\n# a comment\r\n#  continued\r\ndn: o=AC\r\n ME\r\nobjectClass: "
                       "organ\r\n ization\r\n"
                       "description: one \r\n two\r\n");
    EntryPtr top = tree->find(names::Components{"ACME"});
    ASSERT_TRUE(top);
    EXPECT_EQ(top->baseClass(), "Organization");
    EXPECT_EQ(std::get<std::string>(top->find(schema::nameKey("Description"))->values[0]), "one two");
}

TEST(LdifImport, MalformedInputNamesFileLineAndReason) {
    struct Case {
        std::string text;
        int line;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\ndescription:: not*base64\n", 9, "bad base64"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\ndescription:: QUJD=\n", 9, "bad base64"},
        {" continued\n" + HEAD, 1, "line continuation out of place"},
        {HEAD + "\n continued\n", 8, "line continuation out of place"},
        {HEAD + "dn: cn=x,ou=Nope,o=ACME\nobjectClass: top\n", 7, "parent"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\n\ndn: CN=X,o=acme\nobjectClass: top\n", 10,
         "duplicate entry"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nloginGraceLimit: many\n", 9,
         "does not fit syntax 8"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nloginGraceLimit: 99999999999\n", 9, "syntax 8"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nloginDisabled: MAYBE\n", 9, "syntax 7"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nloginTime: 20240231000000Z\n", 9, "syntax 24"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nhomeDirectory: SYS\n", 9, "syntax 15"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: groupOfNames\nmember: cn=ghost,o=ACME\n", 9, "no object"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: groupOfNames\nmember: not a dn\n", 9, "syntax 1"},
        {HEAD + "dn: cn=x,o=ACME\ndescription: no class\n", 7, "no objectClass"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\ndn: cn=y,o=ACME\n", 9, "second \"dn:\""},
        {HEAD + "dn: cn=x,o=ACME\nchangetype: add\n", 8, "change records"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nloginTime: 20240101000000Z\nloginTime: "
                "20240102000000Z\n",
         10, "single value"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\ndescription: a\ndescription: A\n", 10, "duplicate value"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\nno colon here\n", 9, "missing \":\""},
        {HEAD + "dn: cn=x+uid=y,o=ACME\nobjectClass: top\n", 7, "multi-valued RDN"},
        // A bracketed DN names an object like any other; only an ACL may name a pseudo-trustee.
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: volume\nhostServer: cn=[nosuch,o=ACME\n", 9, "no object"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: groupOfNames\nmember: [Public]\n", 9, "syntax 1"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nhomeDirectory: 0#[Public]#a\n", 9, "syntax 15"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\nacl: 1#entry#[nosuch]#[Entry Rights]\n", 9, "syntax 17"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: inetOrgPerson\nhomeDirectory: 0#cn=v,o=[root]#a\n", 9,
         "names the root of the tree"},
        // RDN attribute types as RFC 4514 has them.
        {HEAD + "dn: c#n=FS1,o=ACME\nobjectClass: top\n", 7, "invalid attribute type \"c#n\""},
        {HEAD + "dn: 1cn=FS1,o=ACME\nobjectClass: top\n", 7, "invalid attribute type"},
        {HEAD + "dn: 2.05.4=FS1,o=ACME\nobjectClass: top\n", 7, "invalid attribute type"},
        {HEAD + "dn: 2.5.=FS1,o=ACME\nobjectClass: top\n", 7, "invalid attribute type"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: groupOfNames\nmember: c n=x,o=ACME\n", 9, "syntax 1"},
        {HEAD + "dn: cn=x,o=ACME\nobjectClass: top\nphoto:< file:///etc/passwd\n", 9, "URL values"},
        {"version: 2\n", 1, "unsupported LDIF version"},
        {"objectClass: top\n", 1, "must start with \"dn:\""},
    };
    for (const Case& c : cases) {
        ldif::Error error = failure(c.text);
        EXPECT_EQ(error.file, "bad.ldif");
        EXPECT_EQ(error.line, c.line) << c.text << "\n-> " << error.message();
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.message();
        EXPECT_EQ(error.message().rfind("bad.ldif:" + std::to_string(c.line) + ": ", 0), 0u);
    }
}

TEST(LdifBase64, EncodeDecode) {
    for (const std::string& text :
         std::vector<std::string>{"", "a", "ab", "abc", "abcd", std::string("\0\xff\x10", 3)}) {
        std::string decoded;
        ASSERT_TRUE(ldif::base64Decode(ldif::base64Encode(text), decoded));
        EXPECT_EQ(decoded, text);
    }
    std::string out;
    EXPECT_FALSE(ldif::base64Decode("QQ=A", out));
    EXPECT_FALSE(ldif::base64Decode("QUJ", out));
}

// ---------------------------------------------------------------- import through the client
using LdifClientTest = ClientFixture;

TEST_F(LdifClientTest, ABrokenTreeFileLoadsNothing) {
    terminate();
    writeConfig("store.db");
    WriteFile(folder_ / "ACME.ldif",
              std::string(ACME_LDIF) + "\ndn: cn=x,ou=Nope,o=ACME\nobjectClass: top\n");
    // The tree is left out with its reason; the client starts for the others.
    ASSERT_EQ(initialize(configPath()), 0) << lastError();
    EXPECT_NE(treeProblem("ACME").find("ACME.ldif:"), std::string::npos) << treeProblem("ACME");
    EXPECT_NE(treeProblem("ACME").find("parent"), std::string::npos) << treeProblem("ACME");
    ASSERT_EQ(createContext(context_), 0);
    EXPECT_EQ(setContextKey(context_, KEY_TREE_NAME, std::string("ACME")), ERR_NO_CONNECTION);
    ASSERT_EQ(freeContext(context_), 0);
    std::string error;
    auto store = Store::open((folder_ / "store.db").string(), error);
    ASSERT_TRUE(store) << error;
    EXPECT_FALSE(store->hasTree("ACME"));
    store.reset();
    WriteFile(folder_ / "ACME.ldif", ACME_LDIF);
    ASSERT_EQ(initialize(configPath()), 0) << lastError();
    ASSERT_EQ(createContext(context_), 0);
    EXPECT_EQ(readObject(context_, "jdoe.Sales.ACME", {"Surname"}).values.size(), 1u);
}

TEST(StoreTransactions, AnImportThatFailsLeavesThePreviousTree) {
    std::string error;
    auto store = Store::open(":memory:", error);
    ASSERT_TRUE(store);
    std::vector<Entry> entries;
    ldif::Error ldifError;
    ASSERT_TRUE(ldif::read(HIDDEN_LDIF, "LAB.ldif", entries, ldifError));
    ASSERT_TRUE(store->importTree("LAB", entries, error)) << error;
    std::vector<Entry> broken(1);
    broken[0].components = {"orphan"};
    broken[0].id = 5;
    broken[0].parentId = 99; // no such parent
    EXPECT_FALSE(store->importTree("LAB", broken, error));
    auto tree = store->loadTree("LAB", error);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->size(), 2u);
}

// ---------------------------------------------------------------- round trips through a store
// Each fixture imports, exports and imports again to the same tree.
TEST(LdifRoundTrip, FixturesComeBackUnchanged) {
    auto store = memoryStore();
    const auto files = filesIn(sourceRoot() / "tests" / "platform_nwclient" / "data" / "roundtrip");
    ASSERT_GE(files.size(), 3u);
    for (const auto& file : files) {
        const roundtrip::Outcome outcome = roundtrip::run(*store, readText(file));
        EXPECT_TRUE(outcome.accepted) << file << ": " << outcome.refusal;
        EXPECT_EQ(outcome.difference, "") << file;
    }
}

TEST(LdifRoundTrip, UnknownAttributesKeepTheirSyntax) {
    auto store = memoryStore();
    ASSERT_EQ(roundtrip::run(*store, sourceFile("data/roundtrip/unknown_attributes.ldif")).difference, "");
    std::string error;
    auto tree = store->loadTree("second", error);
    ASSERT_TRUE(tree) << error;
    EntryPtr top = tree->find(names::Components{"ACME"});
    ASSERT_TRUE(top);
    const std::pair<const char*, uint32_t> expected[] = {
        {"myNote", SYN_CI_STRING},    {"edgeBlanks", SYN_CI_STRING},  {"colonStart", SYN_CI_STRING},
        {"multiLine", SYN_CI_STRING}, {"rawBytes", SYN_OCTET_STRING}, {"mixed", SYN_OCTET_STRING},
        {"latin1", SYN_OCTET_STRING}};
    for (const auto& [name, syntax] : expected) {
        const Attribute* attribute = top->find(schema::nameKey(name));
        ASSERT_TRUE(attribute) << name;
        EXPECT_EQ(attribute->syntax, syntax) << name;
    }
    EXPECT_EQ(std::get<std::string>(top->find(schema::nameKey("myNote"))->values[0]), "Z\xC3\xBCrich");
    // The later entry spells the name otherwise and writes its value base64: still the same text attribute.
    EntryPtr later = tree->find(names::Components{"later", "ACME"});
    EXPECT_EQ(later->find(schema::nameKey("myNote"))->syntax, SYN_CI_STRING);
}

TEST(LdifRoundTrip, BracketedNamesAreWrittenAsDns) {
    auto store = memoryStore();
    ASSERT_EQ(roundtrip::run(*store, sourceFile("data/roundtrip/bracket_names.ldif")).difference, "");
    std::string error;
    auto tree = store->loadTree("first", error);
    ASSERT_TRUE(tree) << error;
    const std::string exported = ldif::write(*tree);
    EXPECT_NE(exported.find("homeDirectory: 0#cn=[v\\=x,o=ACME#users/a\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("member: cn=[v\\=x,o=ACME\nmember: [Root]\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("acl: 1#entry#[Public]#[Entry Rights]\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("acl: 7#entry#cn=[Public],o=ACME#cn\n"), std::string::npos) << exported;
    // A "#" in a name inside a "#"-separated value is written so that it cannot split the value.
    EXPECT_NE(exported.find("replica: cn=s\\23t,o=ACME#0#1\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("homeDirectory: 0#cn=a\\23b,o=ACME#p#q\n"), std::string::npos) << exported;
}

// Every input of the LDIF fuzz corpus, among them the inputs that once broke a round trip: refused,
// or back unchanged.
TEST(LdifRoundTrip, FuzzCorpusIsRefusedOrComesBackUnchanged) {
    auto store = memoryStore();
    const auto files = filesIn(sourceRoot() / "fuzz" / "corpus" / "ldif");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files)
        EXPECT_EQ(roundtrip::run(*store, readText(file)).difference, "") << file;
}
