#include "tools/gentree/Manifest.h"

#include <stdexcept>

namespace gentree {

namespace {

std::string Escape(const std::string& field) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : field) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 32) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    throw std::runtime_error("manifest: bad escape");
}

std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i >= field.size()) {
            throw std::runtime_error("manifest: escape at end of field");
        }
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 'x':
            if (i + 2 >= field.size()) {
                throw std::runtime_error("manifest: short \\x escape");
            }
            out += static_cast<char>(HexDigit(field[i + 1]) * 16 + HexDigit(field[i + 2]));
            i += 2;
            break;
        default:
            throw std::runtime_error("manifest: unknown escape");
        }
    }
    return out;
}

} // namespace

void WriteManifest(std::ostream& out, const std::string& tree, const std::vector<ExpectedRow>& rows) {
    out << "# rows the browser shows for tree " << tree << ": list, container, caption, image, sub-items\n";
    for (const ExpectedRow& row : rows) {
        out << row.list << '\t' << Escape(row.container) << '\t' << Escape(row.caption) << '\t' << row.image;
        for (const std::string& item : row.subItems) {
            out << '\t' << Escape(item);
        }
        out << '\n';
    }
}

std::vector<ExpectedRow> ReadManifest(std::istream& in) {
    std::vector<ExpectedRow> rows;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::size_t start = 0;
        while (true) {
            std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        if (fields.size() < 5) {
            throw std::runtime_error("manifest line " + std::to_string(number) + ": too few fields");
        }
        ExpectedRow row;
        row.list = fields[0];
        row.container = Unescape(fields[1]);
        row.caption = Unescape(fields[2]);
        row.image = std::stoi(fields[3]);
        for (std::size_t i = 4; i < fields.size(); ++i) {
            row.subItems.push_back(Unescape(fields[i]));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace gentree
