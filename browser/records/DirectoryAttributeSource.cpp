#include "browser/records/DirectoryAttributeSource.h"

#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"

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
    warnings_.insert(warnings_.end(), result.Warnings.begin(), result.Warnings.end());
    return std::move(result.Data);
}

std::vector<std::uint8_t> DirectoryAttributeSource::ReadOctetList(const std::string& objectName,
                                                                  const std::string& attributeName) {
    directory::OctetReadResult result = directory::ReadOctetStringList(context_, objectName, attributeName);
    warnings_.insert(warnings_.end(), result.Warnings.begin(), result.Warnings.end());
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

std::vector<std::string> DirectoryAttributeSource::TakeWarnings() {
    return std::exchange(warnings_, {});
}

std::string DirectoryAttributeSource::TimeText(std::uint32_t seconds) {
    return directory::NDSTimeToText(seconds);
}

} // namespace browser
