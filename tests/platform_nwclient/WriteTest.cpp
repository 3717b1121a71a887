#include "ClientFixture.h"
#include "ReadHelpers.h"

#include "platform/nwclient/ClientTesting.h"

using namespace nwclient;
using namespace nwclient_test;

using WriteTest = ClientFixture;

TEST_F(WriteTest, ReplaceAppendAndClearLikeTheDirectoryLayer) {
    // replace: clear, add attribute, add value
    ASSERT_EQ(modify(context_, "10_0_0_5.10_0_0_0.DNS.ACME",
                     {{CHANGE_CLEAR_ATTRIBUTE, "DNIP:Host Name"},
                      {CHANGE_ADD_ATTRIBUTE, "DNIP:Host Name"},
                      {CHANGE_ADD_VALUE, "DNIP:Host Name", SYN_CI_STRING, Value(std::string("scanner"))}}),
              0);
    EXPECT_EQ(textValues(readObject(context_, "10_0_0_5.10_0_0_0.DNS.ACME", {"DNIP:Host Name"})),
              (std::vector<std::string>{"scanner"}));
    // append to a multi-valued attribute keeps the order
    ASSERT_EQ(modify(context_, "jdoe.Sales.ACME",
                     {{CHANGE_ADD_ATTRIBUTE, "Description"},
                      {CHANGE_ADD_VALUE, "Description", SYN_CI_STRING, Value(std::string("fourth"))}}),
              0);
    EXPECT_EQ(textValues(readObject(context_, "jdoe.Sales.ACME", {"Description"})),
              (std::vector<std::string>{"first", "second", "third", "fourth"}));
    // clearing an attribute the object lacks is no error
    EXPECT_EQ(modify(context_, "admin.ACME", {{CHANGE_CLEAR_ATTRIBUTE, "DNIP:Comment"}}), 0);
    EXPECT_EQ(modify(context_, "jdoe.Sales.ACME", {{CHANGE_CLEAR_ATTRIBUTE, "Description"}}), 0);
    EXPECT_EQ(readObject(context_, "jdoe.Sales.ACME", {"Description"}).result, ERR_NO_SUCH_ATTRIBUTE);
}

TEST_F(WriteTest, ChangesApplyAtomically) {
    // the second change fails: the first one must not stay
    EXPECT_EQ(modify(context_, "10_0_0_5.10_0_0_0.DNS.ACME",
                     {{CHANGE_CLEAR_ATTRIBUTE, "DNIP:Host Name"},
                      {CHANGE_ADD_VALUE, "DNIP:Assignment Type", SYN_CI_STRING, Value(std::string("text"))}}),
              ERR_SYNTAX_VIOLATION);
    EXPECT_EQ(textValues(readObject(context_, "10_0_0_5.10_0_0_0.DNS.ACME", {"DNIP:Host Name"})),
              (std::vector<std::string>{"printer"}));
}

TEST_F(WriteTest, ModificationTimeMovesAndValuesAreChecked) {
    std::string dn;
    ObjectInfo before, after;
    ASSERT_EQ(objectInfo(context_, "admin.ACME", dn, before), 0);
    ASSERT_EQ(modify(context_, "admin.ACME",
                     {{CHANGE_ADD_VALUE, "Login Grace Limit", SYN_INTEGER, Value(int32_t{6})}}),
              0);
    ASSERT_EQ(objectInfo(context_, "admin.ACME", dn, after), 0);
    EXPECT_GE(after.modificationTime, before.modificationTime);
    EXPECT_EQ(modify(context_, "admin.ACME",
                     {{CHANGE_ADD_VALUE, "Login Grace Limit", SYN_INTEGER, Value(int32_t{7})}}),
              ERR_SINGLE_VALUED);
    EXPECT_EQ(modify(context_, "Staff.ACME",
                     {{CHANGE_ADD_VALUE, "Member", SYN_DIST_NAME, Value(std::string("ADMIN.acme"))}}),
              ERR_DUPLICATE_VALUE);
    EXPECT_EQ(modify(context_, "Staff.ACME",
                     {{CHANGE_ADD_VALUE, "Member", SYN_DIST_NAME, Value(std::string("ghost.ACME"))}}),
              ERR_NO_SUCH_ENTRY)
        << "a name value must name an existing object";
    EXPECT_EQ(modify(context_, "admin.ACME",
                     {{CHANGE_ADD_VALUE, "No Such Attribute", SYN_CI_STRING, Value(std::string("x"))}}),
              ERR_NO_SUCH_ATTRIBUTE);
    EXPECT_EQ(modify(context_, "ghost.ACME", {{CHANGE_CLEAR_ATTRIBUTE, "CN"}}), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(modify(context_, "admin.ACME", {{CHANGE_CLEAR_ATTRIBUTE, "Object Class"}}),
              ERR_MISSING_MANDATORY);
}

TEST_F(WriteTest, NameValuesAreStoredAsFullNamesInStoredCase) {
    ASSERT_EQ(setContextKey(context_, KEY_NAME_CONTEXT, std::string("ACME")), 0);
    ASSERT_EQ(
        modify(context_, "Staff", {{CHANGE_ADD_VALUE, "Member", SYN_DIST_NAME, Value(std::string("fs1"))}}),
        0);
    EXPECT_EQ(textValues(readObject(context_, "Staff", {"Member"})),
              (std::vector<std::string>{"admin.ACME", "jdoe.Sales.ACME", "FS1.ACME"}));
}

TEST_F(WriteTest, AddObjectNeedsAParentAndANewName) {
    std::vector<std::pair<std::string, std::vector<std::pair<uint32_t, Value>>>> rrset = {
        {"Object Class", {{SYN_CLASS_NAME, Value(std::string("DNIP:DNS RRset"))}}},
        {"DNIP:RR", {{SYN_OCTET_STRING, Value(Octets{1, 2})}, {SYN_OCTET_STRING, Value(Octets{3})}}}};
    ASSERT_EQ(addObject(context_, "ftp.example_com.DNS.ACME", rrset), 0);
    EXPECT_EQ(addObject(context_, "FTP.example_com.DNS.ACME", rrset), ERR_ENTRY_ALREADY_EXISTS);
    EXPECT_EQ(addObject(context_, "ftp.nozone.DNS.ACME", rrset), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(addObject(context_, "bare.ACME", {{"CN", {{SYN_CI_STRING, Value(std::string("bare"))}}}}),
              ERR_MISSING_MANDATORY);
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "ftp.example_com.DNS.ACME", dn, info), 0);
    EXPECT_EQ(info.baseClass, "DNIP:DNS RRset");
    ASSERT_EQ(objectInfo(context_, "example_com.DNS.ACME", dn, info), 0);
    EXPECT_EQ(info.subordinateCount, 4u);
    ReadResult read = readObject(context_, "ftp.example_com.DNS.ACME", {"DNIP:RR"});
    ASSERT_EQ(read.values.size(), 2u);
    EXPECT_EQ(std::get<Octets>(read.values[1].value), Octets{3});
}

TEST_F(WriteTest, PutValueChecksTheSyntax) {
    ScopedBuffer request(4096);
    ASSERT_EQ(initBuffer(context_, OP_ADD_ENTRY, request), 0);
    EXPECT_EQ(putValue(context_, request, SYN_CI_STRING, Value(std::string("x"))), ERR_BAD_VERB)
        << "no attribute yet";
    ASSERT_EQ(putAttributeName(context_, request, "CN"), 0);
    EXPECT_EQ(putValue(context_, request, SYN_INTEGER, Value(std::string("x"))), ERR_NO_SUCH_SYNTAX);
    ScopedBuffer small(60);
    ASSERT_EQ(initBuffer(context_, OP_MODIFY, small), 0);
    EXPECT_EQ(putChangeAndValue(context_, small, CHANGE_ADD_VALUE, "DNIP:RR", SYN_OCTET_STRING,
                                Value(Octets(100, 1))),
              ERR_BUFFER_FULL);
}

TEST_F(WriteTest, CreateObjectWithOnlyItsClassLikeTheDirectoryLayer) {
    ASSERT_EQ(addObject(context_, "Marketing.ACME",
                        {{"Object Class", {{SYN_CLASS_NAME, Value(std::string("Organizational Unit"))}}}}),
              0);
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "marketing.acme", dn, info), 0);
    EXPECT_EQ(info.entryFlags, ENTRY_CONTAINER);
}

TEST_F(WriteTest, RemoveOnlyLeaves) {
    EXPECT_EQ(removeObject(context_, "example_com.DNS.ACME"), ERR_ENTRY_NOT_LEAF);
    EXPECT_EQ(removeObject(context_, "www.example_com.DNS.ACME"), 0);
    EXPECT_EQ(removeObject(context_, "www.example_com.DNS.ACME"), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(removeObject(context_, "[Root]"), ERR_INVALID_REQUEST);
}

// ---------------------------------------------------------------- persistence
class PersistenceTest : public ClientFixture {
protected:
    std::string storeSetting() const override { return "store.db"; }
    void reopen() {
        ASSERT_EQ(terminate(), 0);
        ASSERT_EQ(initialize(configPath()), 0) << lastError();
        ASSERT_EQ(createContext(context_), 0);
    }
};

TEST_F(PersistenceTest, ChangesSurviveClosingAndOpening) {
    ASSERT_EQ(modify(context_, "admin.ACME",
                     {{CHANGE_ADD_VALUE, "Title", SYN_CI_STRING, Value(std::string("Boss"))}}),
              0);
    ASSERT_EQ(addObject(context_, "new.Sales.ACME",
                        {{"Object Class", {{SYN_CLASS_NAME, Value(std::string("User"))}}}}),
              0);
    ASSERT_EQ(removeObject(context_, "mail.example_com.DNS.ACME"), 0);
    // the LDIF file must not be read again once the store holds the tree
    std::filesystem::remove(folder_ / "ACME.ldif");
    reopen();
    EXPECT_EQ(textValues(readObject(context_, "admin.ACME", {"Title"})), (std::vector<std::string>{"Boss"}));
    std::string dn;
    ObjectInfo info;
    EXPECT_EQ(objectInfo(context_, "new.Sales.ACME", dn, info), 0);
    EXPECT_EQ(objectInfo(context_, "mail.example_com.DNS.ACME", dn, info), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(textValues(readObject(context_, "jdoe.Sales.ACME", {"Description"})),
              (std::vector<std::string>{"first", "second", "third"}));
}

TEST_F(PersistenceTest, AFailedTransactionLeavesNothing) {
    ASSERT_TRUE(test_hooks::failNextStoreWrite());
    EXPECT_EQ(modify(context_, "admin.ACME",
                     {{CHANGE_ADD_VALUE, "Title", SYN_CI_STRING, Value(std::string("Boss"))}}),
              ERR_SYSTEM_FAILURE);
    EXPECT_EQ(readObject(context_, "admin.ACME", {"Title"}).result, ERR_NO_SUCH_ATTRIBUTE)
        << "index unchanged";
    ASSERT_TRUE(test_hooks::failNextStoreWrite());
    EXPECT_EQ(
        addObject(context_, "new.ACME", {{"Object Class", {{SYN_CLASS_NAME, Value(std::string("User"))}}}}),
        ERR_SYSTEM_FAILURE);
    reopen();
    EXPECT_EQ(readObject(context_, "admin.ACME", {"Title"}).result, ERR_NO_SUCH_ATTRIBUTE)
        << "store unchanged";
    std::string dn;
    ObjectInfo info;
    EXPECT_EQ(objectInfo(context_, "new.ACME", dn, info), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(
        addObject(context_, "new.ACME", {{"Object Class", {{SYN_CLASS_NAME, Value(std::string("User"))}}}}),
        0);
}

TEST_F(PersistenceTest, InitialisationFailsWithAReason) {
    terminate();
    // A tree whose data file is missing is left out with its reason; the others serve.
    WriteFile(folder_ / "broken.ini", "[Trees]\nNOWHERE=visible\nACME=visible\n[Tree ACME]\nLdif=" +
                                          (folder_ / "ACME.ldif").string() +
                                          "\n[Client]\nStore=:memory:\nPreferredTree=ACME\n");
    ASSERT_EQ(initialize((folder_ / "broken.ini").string()), 0) << lastError();
    EXPECT_NE(treeProblem("nowhere").find("NOWHERE.ldif: cannot open the file: No such file or directory"),
              std::string::npos)
        << treeProblem("NOWHERE");
    EXPECT_EQ(treeProblem("ACME"), "");
    Context context = 0;
    ASSERT_EQ(createContext(context), 0);
    EXPECT_EQ(setContextKey(context, KEY_TREE_NAME, std::string("NOWHERE")), ERR_NO_CONNECTION);
    EXPECT_EQ(setContextKey(context, KEY_TREE_NAME, std::string("ACME")), 0);
    EXPECT_EQ(readObject(context, "admin.ACME", {"Title"}).result, ERR_NO_SUCH_ATTRIBUTE);
    // A malformed data file is left out the same way, named with its line.
    WriteFile(folder_ / "NOWHERE.ldif", "dn: o=NOWHERE\nnot a line\n");
    ASSERT_EQ(initialize((folder_ / "broken.ini").string()), 0) << lastError();
    EXPECT_NE(treeProblem("NOWHERE").find("NOWHERE.ldif:2: missing"), std::string::npos)
        << treeProblem("NOWHERE");
    EXPECT_EQ(treeProblems(), (std::vector<std::string>{treeProblem("NOWHERE")}));
    EXPECT_NE(initialize((folder_ / "missing.ini").string()), 0);
    EXPECT_NE(lastError().find("missing.ini: No such file or directory"), std::string::npos) << lastError();
    WriteFile(folder_ / "bad.ini", "[Trees]\nACME=sometimes\n");
    EXPECT_NE(initialize((folder_ / "bad.ini").string()), 0);
    EXPECT_NE(lastError().find("bad.ini:2"), std::string::npos) << lastError();
    ASSERT_EQ(initialize(configPath()), 0);
}

TEST_F(PersistenceTest, ConfigurationComesFromTheEnvironment) {
    terminate();
    ::setenv("CORMELIAN_CLIENT_CONFIG", configPath().c_str(), 1);
    EXPECT_EQ(initialize(), 0) << lastError();
    ::unsetenv("CORMELIAN_CLIENT_CONFIG");
}
