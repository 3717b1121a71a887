#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace browser {

// The directory reads the record decoding needs, for one tree. The program's implementation reads
// through the directory access layer (DirectoryAttributeSource); tests give a tree held in memory.
// Every read raises on a directory failure; a missing attribute is no failure (empty, default).
class AttributeSource {
public:
    virtual ~AttributeSource() = default;

    // All values of the attribute as one text, as the attribute panes show it.
    virtual std::string ReadText(const std::string& objectName, const std::string& attributeName) = 0;
    // The attribute's integer value, or the default.
    virtual std::int32_t ReadInteger(const std::string& objectName, const std::string& attributeName,
                                     std::int32_t defaultValue) = 0;
    // The data bytes of every octet value, one after another.
    virtual std::vector<std::uint8_t> ReadOctets(const std::string& objectName,
                                                 const std::string& attributeName) = 0;
    // Every octet value as its length (4 bytes, little-endian) followed by its data.
    virtual std::vector<std::uint8_t> ReadOctetList(const std::string& objectName,
                                                    const std::string& attributeName) = 0;
    // Names of the objects whose base class is the class, in the container's whole subtree.
    virtual std::vector<std::string> SearchObjectsByClass(const std::string& className,
                                                          const std::string& containerName) = 0;
    // A directory time (seconds since 1970-01-01) in the user's date-time format.
    virtual std::string TimeText(std::uint32_t seconds) = 0;
};

} // namespace browser
