#include "export/core/ExporterRTFDocument.h"
#include "export/core/ExporterTypes.h"
#include "platform/commit/CommitTesting.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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

// Sent early, the document goes to the target with what it held (the head and a body that had already
// gone to the scratch file), then gathers the later bytes into blocks: small pieces, pieces across a
// block's end and pieces larger than a block, with or without bytes waiting, written through the stream or
// in place into the block, all arrive once and in order.
TEST(RTFDocumentBuffer, SentEarlyTheDocumentFollowsInOrder) {
    TRTFDocumentBuffer document;
    std::ostream out(&document);
    out << "{head}";
    document.InsertIntoHead(5, "+inserted");
    document.StartBody();
    std::string expected = "{head+inserted}";
    for (int i = 0; i < 40000; ++i) {
        const std::string line = "early " + std::to_string(i) + std::string(size_t(i % 50), 'e') + "\r\n";
        out << line;
        expected += line;
    }
    std::ostringstream target;
    document.SendHead(target);
    EXPECT_TRUE(target.str() == expected);
    EXPECT_THROW(document.InsertIntoHead(5, "late"), EExportError);
    const std::string big(700000, 'B');
    for (int i = 0; expected.size() < 4500000; ++i) {
        std::string piece = i % 89 == 0 ? std::string(262144 - 7, 'c')
                                        : "row " + std::to_string(i) + std::string(size_t(i % 300), 'x');
        if (i % 97 == 0) // the first one right after the head, with nothing waiting
            piece = big;
        if (i % 3 == 1) { // written in place into the block, as data rows are
            TRTFRowBytes& block = document.DirectBlock();
            char* at = block.Room(piece.size() + 1);
            std::memcpy(at, piece.data(), piece.size());
            at[piece.size()] = '|';
            block.Extend(at + piece.size() + 1);
            document.PassFullBlocks();
        } else {
            out << piece;
            out.put('|');
        }
        expected += piece + "|";
    }
    EXPECT_EQ(document.Size(), std::int64_t(expected.size()));
    document.Copy(target);
    ASSERT_EQ(target.str().size(), expected.size());
    EXPECT_TRUE(target.str() == expected);
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
        EXPECT_EQ(std::string(error.what()), "Cannot write temporary file in \"" + commit::TemporaryFolder() +
                                                 "\". No space left on device");
    }
    EXPECT_TRUE(target.bad());
}

} // namespace
} // namespace exporter
