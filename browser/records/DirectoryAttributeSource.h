#pragma once

#include "browser/records/AttributeSource.h"
#include "directory/NWHelper.h"

#include <string>
#include <vector>

namespace browser {

// Reads through the directory access layer with one context. The context belongs to the thread
// that uses this source (a scan thread uses its own duplicate).
class DirectoryAttributeSource : public AttributeSource {
public:
    explicit DirectoryAttributeSource(directory::NWDSContextHandle context) : context_(context) {}

    std::string ReadText(const std::string& objectName, const std::string& attributeName) override;
    std::int32_t ReadInteger(const std::string& objectName, const std::string& attributeName,
                             std::int32_t defaultValue) override;
    std::vector<std::uint8_t> ReadOctets(const std::string& objectName,
                                         const std::string& attributeName) override;
    std::vector<std::uint8_t> ReadOctetList(const std::string& objectName,
                                            const std::string& attributeName) override;
    std::vector<std::string> SearchObjectsByClass(const std::string& className,
                                                  const std::string& containerName) override;
    std::string TimeText(std::uint32_t seconds) override;

    // The messages of the octet reads so far (a value skipped because the data would not fit,
    // an attribute that is not an octet string), for the window's thread to show; clears them.
    std::vector<std::string> TakeWarnings();

private:
    directory::NWDSContextHandle context_;
    std::vector<std::string> warnings_;
};

} // namespace browser
