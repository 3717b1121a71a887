#include "tests/support/TreeClient.h"

#include "platform/nwclient/NWClient.h"

namespace test_support {

void StartClient(const std::filesystem::path& folder) {
    ASSERT_EQ(nwclient::initialize((folder / "client.ini").string()), 0) << nwclient::lastError();
}

void OpenTree(const std::string& tree, directory::NWDSContextHandle& context) {
    bool ok = false;
    context = directory::CreateDSContext(false, false, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(directory::SelectTree(context, tree, false), 0);
}

void TreeClientTest::StartClient(const std::string& tree) {
    ASSERT_NO_FATAL_FAILURE(test_support::StartClient(folder_.Path()));
    ASSERT_NO_FATAL_FAILURE(OpenTree(tree, context_));
    nwclient::clearFaults();
    nwclient::resetCallCounts();
}

void TreeClientTest::StopClient() {
    nwclient::clearFaults();
    if (context_ != 0)
        nwclient::freeContext(context_);
    context_ = 0;
    nwclient::terminate();
}

} // namespace test_support
