#pragma once

// The directory client started on a client configuration ("client.ini") and LDIF trees written to
// a temporary folder, with a context on one tree opened through the directory layer.

#include "directory/NWHelper.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace test_support {

// Starts the client on the "client.ini" of the folder. Fails the test when the client does not start.
void StartClient(const std::filesystem::path& folder);
// Opens a context and selects the tree on it. Fails the test when either step fails.
void OpenTree(const std::string& tree, directory::NWDSContextHandle& context);

// A fixture owning the folder and one context: the test writes the configuration and trees with
// Write, then calls StartClient; TearDown frees the context and ends the client, the folder goes
// with the fixture.
class TreeClientTest : public ::testing::Test {
protected:
    explicit TreeClientTest(const std::string& prefix) : folder_(prefix) {}

    void TearDown() override { StopClient(); }

    void Write(const std::string& name, const std::string& text) const { folder_.Write(name, text); }

    // Starts the client on the folder and opens context_ on the tree, with no faults injected and
    // the call counts at zero. Wrap in ASSERT_NO_FATAL_FAILURE to stop at a failure.
    void StartClient(const std::string& tree);
    // Clears injected faults, frees the context (when one is open) and ends the client.
    void StopClient();

    TempFolder folder_;
    directory::NWDSContextHandle context_ = 0;
};

} // namespace test_support
