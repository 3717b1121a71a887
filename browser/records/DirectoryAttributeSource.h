#pragma once

// The record decoding's reads through the directory access layer, with the octet readers' warnings.

#include "browser/records/AttributeSource.h"
#include "directory/NWHelper.h"

#include <string>
#include <vector>

namespace browser {

// A message of the octet readers with the name of the object it concerns.
std::string OctetWarningText(const std::string& message, const std::string& objectName);
// Several such messages as one, a line each.
std::string WarningsText(const std::vector<std::string>& texts);
// Adds the octet readers' messages about the object to texts, each once.
void AddOctetWarnings(std::vector<std::string>& texts, const std::string& objectName,
                      const std::vector<std::string>& messages);

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

    // The messages of the octet reads so far (a value too large for a read, an attribute that is
    // not an octet string), each with its object's name and once per object, for the window's
    // thread to show; clears them.
    std::vector<std::string> TakeWarnings();

private:
    directory::NWDSContextHandle context_;
    std::vector<std::string> warnings_;
};

} // namespace browser
