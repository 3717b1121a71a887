#include "GeneratedTreeSource.h"

#include <algorithm>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// "DNIP:Zone type" and "dnipZoneType" are the same attribute.
std::string AttributeKey(const std::string& name) {
    std::string key;
    for (char c : name) {
        if (c != ':' && c != ' ') {
            key += c;
        }
    }
    return Lower(key);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// "20240101120000Z" as seconds since 1970, or the text unchanged.
std::string SecondsOfGeneralizedTime(const std::string& text) {
    if (text.size() != 15 || text.back() != 'Z' ||
        !std::all_of(text.begin(), text.end() - 1, [](char c) { return c >= '0' && c <= '9'; })) {
        return text;
    }
    auto number = [&text](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
    std::int64_t days = DaysFromCivil(number(0, 4), number(4, 2), number(6, 2));
    return std::to_string(days * 86400 + number(8, 2) * 3600 + number(10, 2) * 60 + number(12, 2));
}

} // namespace

std::string GeneratedTreeSource::DottedName(const std::string& dn) {
    std::string dotted;
    std::string value;
    bool inValue = false;
    auto finish = [&] {
        if (!dotted.empty()) {
            dotted += '.';
        }
        for (char c : value) {
            if (c == '.') {
                dotted += '\\';
            }
            dotted += c;
        }
        value.clear();
        inValue = false;
    };
    for (std::size_t i = 0; i < dn.size(); ++i) {
        char c = dn[i];
        if (!inValue) {
            if (c == '=') {
                inValue = true;
            }
        } else if (c == '\\' && i + 1 < dn.size()) {
            value += dn[++i];
        } else if (c == ',') {
            finish();
        } else {
            value += c;
        }
    }
    finish();
    return dotted;
}

GeneratedTreeSource::GeneratedTreeSource(const gentree::GeneratedTree& tree) {
    for (const gentree::LdifEntry& entry : tree.entries) {
        Object object;
        object.name = DottedName(entry.dn);
        for (const gentree::LdifAttribute& attribute : entry.attributes) {
            if (object.className.empty() && AttributeKey(attribute.name) == "objectclass") {
                object.className = attribute.value.text;
            }
            object.attributes[AttributeKey(attribute.name)].push_back(attribute.value);
        }
        order_.push_back(Lower(object.name));
        objects_[Lower(object.name)] = std::move(object);
    }
}

const std::vector<gentree::LdifValue>& GeneratedTreeSource::Values(const std::string& objectName,
                                                                   const std::string& attributeName) {
    static const std::vector<gentree::LdifValue> none;
    ++reads;
    if (failingAttributes.count(attributeName) != 0 || failingObjects.count(objectName) != 0) {
        throw std::runtime_error("Netware error -632 (0xFFFFFD88)");
    }
    auto object = objects_.find(Lower(objectName));
    if (object == objects_.end()) {
        throw std::runtime_error("Netware error -601 (0xFFFFFDA7)");
    }
    auto values = object->second.attributes.find(AttributeKey(attributeName));
    return values == object->second.attributes.end() ? none : values->second;
}

std::string GeneratedTreeSource::ReadText(const std::string& objectName, const std::string& attributeName) {
    std::string text;
    bool octets = false;
    for (const gentree::LdifValue& value : Values(objectName, attributeName)) {
        octets = value.binary;
        text += value.binary ? value.text : SecondsOfGeneralizedTime(value.text);
    }
    return octets ? text : gentree::TrimmedByDirectory(text);
}

std::int32_t GeneratedTreeSource::ReadInteger(const std::string& objectName, const std::string& attributeName,
                                              std::int32_t defaultValue) {
    std::int32_t result = defaultValue;
    for (const gentree::LdifValue& value : Values(objectName, attributeName)) {
        try {
            std::size_t used = 0;
            long long number = std::stoll(SecondsOfGeneralizedTime(value.text), &used);
            if (!value.binary && used == value.text.size()) {
                result = static_cast<std::int32_t>(number);
            }
        } catch (const std::logic_error&) {
        }
    }
    return result;
}

std::vector<std::uint8_t> GeneratedTreeSource::ReadOctets(const std::string& objectName,
                                                          const std::string& attributeName) {
    std::vector<std::uint8_t> data;
    for (const gentree::LdifValue& value : Values(objectName, attributeName)) {
        data.insert(data.end(), value.text.begin(), value.text.end());
    }
    return data;
}

std::vector<std::uint8_t> GeneratedTreeSource::ReadOctetList(const std::string& objectName,
                                                             const std::string& attributeName) {
    std::vector<std::uint8_t> data;
    for (const gentree::LdifValue& value : Values(objectName, attributeName)) {
        auto size = static_cast<std::uint32_t>(value.text.size());
        for (int shift = 0; shift < 32; shift += 8) {
            data.push_back(static_cast<std::uint8_t>(size >> shift));
        }
        data.insert(data.end(), value.text.begin(), value.text.end());
    }
    return data;
}

std::vector<std::string> GeneratedTreeSource::SearchObjectsByClass(const std::string& className,
                                                                   const std::string& containerName) {
    std::vector<std::string> names;
    const std::string container = Lower(containerName);
    for (const std::string& key : order_) {
        const Object& object = objects_.at(key);
        if (AttributeKey(object.className) == AttributeKey(className) &&
            (key == container || EndsWith(key, "." + container))) {
            names.push_back(object.name);
        }
    }
    return names;
}

std::string GeneratedTreeSource::TimeText(std::uint32_t seconds) {
    return gentree::TimeText(seconds);
}
