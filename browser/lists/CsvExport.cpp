#include "browser/lists/CsvExport.h"

#include "browser/lists/ListFileWriter.h"

namespace browser {

namespace {

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    out += '"';
}

void AppendLine(std::string& out, const RecordRow& row, int columnCount) {
    static const std::string missing = "missing data";
    AppendQuoted(out, row.caption);
    for (int k = 0; k <= columnCount - 2; ++k) {
        out += ',';
        const std::size_t item = static_cast<std::size_t>(k);
        AppendQuoted(out, item < row.subItems.size() ? row.subItems[item] : missing);
    }
}

} // namespace

std::string DefaultCsvFileName(RecordListKind list) {
    switch (list) {
    case RecordListKind::Dns:
        return "dns.csv";
    case RecordListKind::RevDns:
        return "rev-dns.csv";
    case RecordListKind::Dhcp:
        return "dhcp.csv";
    }
    return std::string();
}

int CsvColumnCount(RecordListKind list) {
    switch (list) {
    case RecordListKind::Dns:
        return 5;
    case RecordListKind::RevDns:
        return 4;
    case RecordListKind::Dhcp:
        return 7;
    }
    return 0;
}

std::string CsvLine(const RecordRow& row, int columnCount) {
    std::string line;
    AppendLine(line, row, columnCount);
    return line;
}

std::string CsvText(const std::vector<const RecordRow*>& rows, int columnCount) {
    std::string text;
    text.reserve(rows.size() * 96);
    for (const RecordRow* row : rows) {
        AppendLine(text, *row, columnCount);
        text += "\r\n";
    }
    return text;
}

void WriteCsvFile(const std::string& path, const std::vector<const RecordRow*>& rows, int columnCount) {
    WriteWholeFile(path, CsvText(rows, columnCount));
}

} // namespace browser
