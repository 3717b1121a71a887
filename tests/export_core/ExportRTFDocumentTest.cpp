#include "export/core/ExporterRTFDocument.h"
#include "export/core/ExporterTypes.h"
#include "platform/commit/CommitTesting.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

namespace exporter {
namespace {

// The body goes through the temporary file in 1 MiB blocks: several blocks, odd sizes and single
// characters must come back whole and in order, after the head with what was inserted into it.
TEST(RTFDocumentBuffer, HeadInsertionsAndASpilledBodyComeBackInOrder) {
    TRTFDocumentBuffer document;
    std::ostream out(&document);
    out << "{head}";
    document.InsertIntoHead(5, "+inserted");
    document.StartBody();
    std::string body;
    for (int i = 0; body.size() < 3500000; ++i) {
        const std::string line = "row " + std::to_string(i) + std::string(size_t(i % 300), 'x') + "\r\n";
        out << line;
        out.put('|');
        body += line + "|";
    }
    EXPECT_EQ(document.Size(), std::int64_t(15 + body.size()));
    std::ostringstream target;
    document.Copy(target);
    const std::string whole = target.str();
    ASSERT_EQ(whole.size(), 15 + body.size());
    EXPECT_EQ(whole.substr(0, 15), "{head+inserted}");
    EXPECT_TRUE(whole.substr(15) == body);
}

// A scratch file that fills up part-way fails the document with its cause; its bytes are neither lost
// silently nor written twice.
TEST(RTFDocumentBuffer, AFullScratchFolderFailsTheDocument) {
    TRTFDocumentBuffer document;
    std::ostream out(&document);
    out << "{head}";
    document.StartBody();
    commit::testing::ScopedWriteFault fault(1500000, ENOSPC);
    for (int i = 0; i < 100000; ++i)
        out << "row " << i << std::string(40, 'x') << "\r\n";
    EXPECT_TRUE(out.bad());
    std::ostringstream target;
    try {
        document.Copy(target);
        ADD_FAILURE() << "no error";
    } catch (const EExportError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write temporary file in \"" + commit::TemporaryFolder() + "\". No space left on device");
    }
    EXPECT_TRUE(target.bad());
}

} // namespace
} // namespace exporter
