// Several processes opening one store at the same moment, as a scheduled batch run and the window
// do: on a fresh store every one of them succeeds and each tree is imported once.
#include "ClientFixture.h"

#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Store.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

using namespace nwclient;
using namespace nwclient_test;

namespace {

class SeveralProcesses : public ClientFixture {
protected:
    std::string storeSetting() const override { return "store.db"; }

    std::string store() const { return (folder_ / "store.db").string(); }

    void removeStore() {
        for (const char* suffix : {"", "-wal", "-shm", ".lock"})
            std::filesystem::remove(store() + suffix);
    }

#ifdef NWCLIENT_OPEN_HELPER
    // Starts count helpers that wait on one pipe, releases them together and gives each one's exit
    // status (-1: did not end normally) with what it wrote on standard error.
    std::vector<std::pair<int, std::string>> startTogether(int count) {
        int release[2];
        EXPECT_EQ(::pipe(release), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < count; ++i) {
            const std::string errors = (folder_ / ("errors" + std::to_string(i) + ".txt")).string();
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, release[0], 0);
            posix_spawn_file_actions_addclose(&actions, release[1]);
            posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            std::string program = NWCLIENT_OPEN_HELPER;
            std::string config = configPath();
            char* arguments[] = {program.data(), config.data(), nullptr};
            pid_t child = 0;
            EXPECT_EQ(posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ), 0);
            posix_spawn_file_actions_destroy(&actions);
            children.push_back(child);
        }
        ::close(release[0]);
        ::close(release[1]); // every helper starts now
        std::vector<std::pair<int, std::string>> outcomes;
        for (std::size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            ::waitpid(children[i], &status, 0);
            outcomes.emplace_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                                  test_support::ReadFile(folder_ / ("errors" + std::to_string(i) + ".txt")));
        }
        return outcomes;
    }
#endif
};

#ifdef NWCLIENT_OPEN_HELPER
TEST_F(SeveralProcesses, EightStartingTogetherOnAFreshStoreAllSucceedAndImportEachTreeOnce) {
    terminate();
    constexpr int ROUNDS = 6;
    constexpr int PROCESSES = 8;
    std::size_t expectedEntries = 0;
    for (const char* text : {ACME_LDIF, HIDDEN_LDIF}) {
        std::vector<Entry> entries;
        ldif::Error ldifError;
        ASSERT_TRUE(ldif::read(text, "tree.ldif", entries, ldifError)) << ldifError.message();
        expectedEntries += entries.size();
    }
    for (int round = 0; round < ROUNDS; ++round) {
        removeStore();
        const auto outcomes = startTogether(PROCESSES);
        for (std::size_t i = 0; i < outcomes.size(); ++i)
            EXPECT_EQ(outcomes[i].first, 0) << "round " << round << ", process " << i << ": " << outcomes[i].second;
        std::string error;
        auto opened = Store::open(store(), error);
        ASSERT_TRUE(opened) << error;
        EXPECT_EQ(opened->treeNames(), (std::vector<std::string>{"ACME", "LAB"})) << "round " << round;
        // Imported once: the ids are those of one import of each tree. A second import of the tree
        // imported first would replace its entries by ones with higher ids.
        std::size_t entries = 0;
        int64_t highestId = 0;
        for (const std::string& name : opened->treeNames()) {
            auto tree = opened->loadTree(name, error);
            ASSERT_TRUE(tree) << error;
            for (const EntryPtr& entry : tree->allEntries())
                highestId = std::max(highestId, entry->id);
            entries += tree->size();
        }
        EXPECT_EQ(entries, expectedEntries) << "round " << round;
        EXPECT_EQ(highestId, static_cast<int64_t>(entries)) << "round " << round;
    }
}
#endif

TEST_F(SeveralProcesses, AStoreHeldLongerThanTheBusyTimeoutSaysSoAndNamesTheStore) {
    terminate();
    removeStore();
    const int held = ::open((store() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0); // another process opening the store, for too long
    EXPECT_EQ(initialize(configPath()), ERR_NO_CLIENT);
    EXPECT_EQ(lastError(), "the store " + store() + " is locked by another process (waited 5 seconds)");
    ::close(held);
    ASSERT_EQ(initialize(configPath()), 0) << lastError();
}

} // namespace
