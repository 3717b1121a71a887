#pragma once

// An AttributeSource over a generated tree held in memory, read the way the directory reads an
// imported LDIF file: dotted names, case-free attribute names, times as seconds, text trimmed.

#include "browser/records/AttributeSource.h"
#include "tools/gentree/TreeGenerator.h"

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

class GeneratedTreeSource : public browser::AttributeSource {
public:
    explicit GeneratedTreeSource(const gentree::GeneratedTree& tree);

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

    // Reads of these attributes (any object) raise, as a failing directory would.
    std::set<std::string> failingAttributes;
    // Reads of every attribute of these objects raise.
    std::set<std::string> failingObjects;
    int reads = 0;

    static std::string DottedName(const std::string& dn);

private:
    struct Object {
        std::string name;
        std::string className;
        std::map<std::string, std::vector<gentree::LdifValue>> attributes;
    };

    const std::vector<gentree::LdifValue>& Values(const std::string& objectName,
                                                  const std::string& attributeName);

    std::map<std::string, Object> objects_;
    std::vector<std::string> order_;
};
