#include "browser/records/RecordCache.h"

#include "platform/rtl/StringList.h"

namespace browser {

namespace {

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

} // namespace

std::string CommaTextOf(const std::vector<std::string>& items) {
    rtl::TStringList list;
    list.AddStrings(items);
    return list.CommaText();
}

std::string DnsCacheValue(const RecordRow& row, bool reverse) {
    return OneLine(CommaTextOf(row.subItems)) + '\x01' + std::to_string(row.imageIndex + (reverse ? 100 : 0));
}

std::string DhcpCacheValue(const RecordRow& row) {
    return OneLine(CommaTextOf(row.subItems));
}

} // namespace browser
