#include "browser/records/DirectoryAttributeSource.h"

#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"

#include <algorithm>
#include <utility>

namespace browser {

std::string DirectoryAttributeSource::ReadText(const std::string& objectName,
                                               const std::string& attributeName) {
    return directory::ReadAttributeText(context_, objectName, attributeName, false);
}

std::int32_t DirectoryAttributeSource::ReadInteger(const std::string& objectName,
                                                   const std::string& attributeName,
                                                   std::int32_t defaultValue) {
    return directory::ReadIntegerAttribute(context_, objectName, attributeName, defaultValue);
}

std::vector<std::uint8_t> DirectoryAttributeSource::ReadOctets(const std::string& objectName,
                                                               const std::string& attributeName) {
    directory::OctetReadResult result = directory::ReadOctetString(context_, objectName, attributeName);
    AddOctetWarnings(warnings_, objectName, result.Warnings);
    return std::move(result.Data);
}

std::vector<std::uint8_t> DirectoryAttributeSource::ReadOctetList(const std::string& objectName,
                                                                  const std::string& attributeName) {
    directory::OctetReadResult result = directory::ReadOctetStringList(context_, objectName, attributeName);
    AddOctetWarnings(warnings_, objectName, result.Warnings);
    return std::move(result.Data);
}

std::vector<std::string> DirectoryAttributeSource::SearchObjectsByClass(const std::string& className,
                                                                        const std::string& containerName) {
    std::vector<std::string> names;
    for (directory::ObjectEntry& entry :
         directory::SearchObjectsByClass(context_, {}, className, containerName, true, false, true)) {
        names.push_back(std::move(entry.Name));
    }
    return names;
}

std::string OctetWarningText(const std::string& message, const std::string& objectName) {
    return message + " (" + objectName + ")";
}

std::string WarningsText(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& line : texts) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

void AddOctetWarnings(std::vector<std::string>& texts, const std::string& objectName,
                      const std::vector<std::string>& messages) {
    for (const std::string& message : messages) {
        std::string text = OctetWarningText(message, objectName);
        if (std::find(texts.begin(), texts.end(), text) == texts.end()) {
            texts.push_back(std::move(text));
        }
    }
}

std::vector<std::string> DirectoryAttributeSource::TakeWarnings() {
    return std::exchange(warnings_, {});
}

std::string DirectoryAttributeSource::TimeText(std::uint32_t seconds) {
    return directory::NDSTimeToText(seconds);
}

} // namespace browser
