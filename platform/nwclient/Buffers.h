// Request and reply buffers with a fixed capacity, and filter cursors.
#pragma once

#include "platform/nwclient/DirectoryTree.h"
#include "platform/nwclient/Filter.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace nwclient {

// Sizes a request or reply item takes in a buffer.
namespace buffer_size {
constexpr uint32_t HEADER = 16;
constexpr uint32_t OBJECT = 24;    // + name + 1 + base class + 1
constexpr uint32_t ATTRIBUTE = 12; // + name + 1
constexpr uint32_t VALUE = 4;      // + the value's size
constexpr uint32_t CHANGE = 8;     // + name + 1
constexpr uint32_t TOKEN = 12;     // + value + 1
constexpr uint32_t PARTITION = 8;  // + name + 1
constexpr uint32_t MAX_CAPACITY = 1u << 20;
inline uint32_t text(std::string_view s) {
    return static_cast<uint32_t>(s.size()) + 1;
}
} // namespace buffer_size

struct ReplyAttribute {
    const Attribute* attribute = nullptr; // inside the object's entry
    std::size_t firstValue = 0;
    std::size_t valueCount = 0; // 0 for names-only replies
};

struct ReplyObject {
    EntryPtr entry; // keeps the attributes alive
    std::string name;
    ObjectInfo info;
    std::vector<ReplyAttribute> attributes;
};

struct Reply {
    enum Kind { None, Read, Objects, Partitions } kind = None;
    bool namesOnly = false;
    std::vector<ReplyObject> objects;
    std::vector<std::pair<std::string, uint32_t>> partitions;
    // cursors
    std::ptrdiff_t currentObject = -1;
    std::size_t nextObjectIndex = 0;
    std::ptrdiff_t currentAttribute = -1;
    std::size_t nextAttributeIndex = 0;
    std::size_t nextValueIndex = 0;
    std::size_t nextPartitionIndex = 0;
};

struct RequestChange {
    uint32_t kind = 0;
    std::string attributeName;
    std::vector<std::pair<uint32_t, Value>> values;
};

struct RequestAttribute {
    std::string name;
    std::vector<std::pair<uint32_t, Value>> values;
};

} // namespace nwclient

struct nwclient::Buffer {
    static constexpr uint32_t MAGIC = 0x4E574246;
    uint32_t magic = MAGIC;
    uint32_t capacity = 0;
    uint32_t operation = 0;                  // OP_* once initialised as a request
    uint32_t used = 0;                       // request bytes
    std::vector<std::string> attributeNames; // read and search requests
    std::vector<RequestAttribute> addAttributes;
    std::vector<RequestChange> changes;
    std::shared_ptr<const Filter> filter;
    Reply reply;

    void resetRequest(uint32_t newOperation) {
        operation = newOperation;
        used = buffer_size::HEADER;
        attributeNames.clear();
        addAttributes.clear();
        changes.clear();
        filter.reset();
    }
    bool fits(uint32_t more) const { return used + more <= capacity; }
};

struct nwclient::FilterCursor {
    static constexpr uint32_t MAGIC = 0x4E574643;
    uint32_t magic = MAGIC;
    std::vector<FilterToken> tokens;
};
