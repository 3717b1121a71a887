#include "export/core/ExporterRTFDocument.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace exporter
