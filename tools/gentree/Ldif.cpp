#include "tools/gentree/Ldif.h"

namespace gentree {

namespace {

bool SafeText(const std::string& text) {
    if (text.empty()) {
        return true;
    }
    if (text.front() == ' ' || text.front() == ':' || text.front() == '<' || text.back() == ' ') {
        return false;
    }
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 126) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string Base64(const std::string& data) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        std::uint32_t n = (static_cast<std::uint8_t>(data[i]) << 16) |
                          (static_cast<std::uint8_t>(data[i + 1]) << 8) |
                          static_cast<std::uint8_t>(data[i + 2]);
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += alphabet[(n >> 6) & 63];
        out += alphabet[n & 63];
    }
    if (i + 1 == data.size()) {
        std::uint32_t n = static_cast<std::uint8_t>(data[i]) << 16;
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += "==";
    } else if (i + 2 == data.size()) {
        std::uint32_t n =
            (static_cast<std::uint8_t>(data[i]) << 16) | (static_cast<std::uint8_t>(data[i + 1]) << 8);
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += alphabet[(n >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string EscapeDnValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        bool special =
            c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' || c == ';' || c == '=';
        bool edge = (i == 0 && (c == '#' || c == ' ')) || (i + 1 == value.size() && c == ' ');
        if (special || edge) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

void WriteLdif(std::ostream& out, const std::vector<LdifEntry>& entries) {
    out << "version: 1\n\n";
    for (const LdifEntry& entry : entries) {
        if (SafeText(entry.dn)) {
            out << "dn: " << entry.dn << '\n';
        } else {
            out << "dn:: " << Base64(entry.dn) << '\n';
        }
        for (const LdifAttribute& attribute : entry.attributes) {
            if (attribute.value.binary || !SafeText(attribute.value.text)) {
                out << attribute.name << ":: " << Base64(attribute.value.text) << '\n';
            } else {
                out << attribute.name << ": " << attribute.value.text << '\n';
            }
        }
        out << '\n';
    }
}

} // namespace gentree
