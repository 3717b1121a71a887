#include "browser/lists/HostsWriter.h"

#include "browser/lists/ListFileWriter.h"

#include <algorithm>

namespace browser {

namespace {

constexpr std::size_t kAddressWidth = 20;
constexpr std::size_t kNamesWidth = 30;

// The run of rows with one caption, as it is being collected.
struct HostsGroup {
    std::string address;
    std::string names;
    std::string comments;
    bool pastFirstRow = false; // from then on, names and comments are joined by a blank
};

void Append(std::string& list, const std::string& text, bool withSeparator) {
    if (withSeparator)
        list += ' ';
    list += text;
}

std::string Blanks(std::size_t width, std::size_t used) {
    return std::string(width > used ? width - used : 1, ' ');
}

} // namespace

std::string HostsLine(const std::string& address, const std::string& names, const std::string& comments) {
    std::string line = address;
    line += Blanks(kAddressWidth, address.size());
    line += names;
    line += ' ';
    line += Blanks(kNamesWidth, names.size());
    line += "# ";
    line += comments;
    return line;
}

std::vector<std::string> HostsLines(const std::vector<RecordRow>& rows, bool includeLocalhost) {
    std::vector<std::string> lines;
    if (includeLocalhost) {
        lines.push_back(HostsLine("127.0.0.1", "localhost", "Local loopback address"));
        lines.push_back("#");
    }
    if (rows.empty())
        return lines;
    HostsGroup group;
    group.address = rows.front().caption;
    for (const RecordRow& row : rows) {
        if (row.caption != group.address) {
            lines.push_back(HostsLine(group.address, group.names, group.comments));
            group = HostsGroup{row.caption, {}, {}, false};
        }
        if (row.subItems.size() > 1 && row.subItems[1] == "A") {
            Append(group.names, row.subItems[0], group.pastFirstRow);
            if (row.subItems.size() > 3 && !row.subItems[3].empty())
                Append(group.comments, row.subItems[3], group.pastFirstRow);
        }
        group.pastFirstRow = true;
    }
    lines.push_back(HostsLine(group.address, group.names, group.comments));
    return lines;
}

void WriteHostsFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    WriteWholeFile(path, text);
}

} // namespace browser
