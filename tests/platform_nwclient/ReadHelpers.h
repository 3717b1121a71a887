// Helpers that drive the multi-pass client protocols the way the directory layer does.
#pragma once

#include "platform/nwclient/NWClient.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nwclient_test {

struct ReadValue {
    std::string attribute;
    uint32_t syntax = 0;
    nwclient::Value value;
};

struct ReadResult {
    int32_t result = 0;
    int passes = 0;
    std::vector<ReadValue> values;
    std::vector<std::string> names; // names-only reads
};

// Reads the listed attributes (all when empty) of an object through replies of replySize bytes.
inline ReadResult readObject(nwclient::Context context, const std::string& object,
                             const std::vector<std::string>& attributes, uint32_t replySize = 4096,
                             uint32_t infoType = nwclient::INFO_ATTRIBUTE_VALUES) {
    ReadResult out;
    nwclient::Buffer* request = nullptr;
    nwclient::Buffer* reply = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(4096, request), 0);
    EXPECT_EQ(nwclient::allocateBuffer(replySize, reply), 0);
    EXPECT_EQ(nwclient::initBuffer(context, nwclient::OP_READ, request), 0);
    for (const auto& name : attributes)
        EXPECT_EQ(nwclient::putAttributeName(context, request, name), 0);
    int32_t iteration = -1;
    do {
        out.result = nwclient::read(context, object, infoType, attributes.empty(), request, iteration, reply);
        if (out.result != 0)
            break;
        ++out.passes;
        uint32_t count = 0;
        EXPECT_EQ(nwclient::attributeCount(context, reply, count), 0);
        EXPECT_GT(count, 0u);
        for (uint32_t i = 0; i < count; ++i) {
            std::string name;
            uint32_t valueCount = 0, syntax = 0;
            EXPECT_EQ(nwclient::nextAttribute(context, reply, name, valueCount, syntax), 0);
            if (infoType == nwclient::INFO_ATTRIBUTE_NAMES)
                out.names.push_back(name);
            for (uint32_t v = 0; v < valueCount; ++v) {
                uint32_t size = 0;
                EXPECT_EQ(nwclient::valueSize(context, reply, syntax, size), 0);
                ReadValue value{name, syntax, {}};
                EXPECT_EQ(nwclient::nextValue(context, reply, syntax, value.value), 0);
                out.values.push_back(std::move(value));
            }
        }
    } while (iteration != -1);
    if (iteration != -1)
        nwclient::closeIteration(context, iteration, nwclient::OP_READ);
    nwclient::freeBuffer(request);
    nwclient::freeBuffer(reply);
    return out;
}

inline std::vector<std::string> textValues(const ReadResult& read) {
    std::vector<std::string> texts;
    for (const auto& value : read.values)
        if (const auto* text = std::get_if<std::string>(&value.value))
            texts.push_back(*text);
    return texts;
}

struct FoundObject {
    std::string name;
    nwclient::ObjectInfo info;
    uint32_t attributeCount = 0;
};

struct ObjectsResult {
    int32_t result = 0;
    int passes = 0;
    std::vector<FoundObject> objects;
};

// Builds a filter from (token, value) pairs followed by the end token.
inline nwclient::Buffer* makeFilter(nwclient::Context context,
                                    const std::vector<std::pair<uint32_t, std::string>>& tokens,
                                    int32_t* putResult = nullptr) {
    nwclient::Buffer* request = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(4096, request), 0);
    EXPECT_EQ(nwclient::initBuffer(context, nwclient::OP_SEARCH_FILTER, request), 0);
    nwclient::FilterCursor* cursor = nullptr;
    EXPECT_EQ(nwclient::allocateFilter(cursor), 0);
    for (const auto& [token, value] : tokens)
        EXPECT_EQ(nwclient::addFilterToken(cursor, token, value, nwclient::SYN_CI_STRING), 0);
    EXPECT_EQ(nwclient::addFilterToken(cursor, nwclient::TOKEN_END, "", 0), 0);
    int32_t result = nwclient::putFilter(context, request, cursor);
    if (putResult)
        *putResult = result;
    else
        EXPECT_EQ(result, 0);
    return request;
}

// Reads the count objects of a reply into the result.
inline void readObjects(nwclient::Context context, nwclient::Buffer* reply, uint32_t count,
                        ObjectsResult& out) {
    for (uint32_t i = 0; i < count; ++i) {
        FoundObject object;
        EXPECT_EQ(nwclient::nextObject(context, reply, object.name, object.attributeCount, object.info), 0);
        out.objects.push_back(object);
    }
}

inline ObjectsResult searchObjects(nwclient::Context context, const std::string& base, int32_t scope,
                                   nwclient::Buffer* filter, uint32_t replySize = 4096) {
    ObjectsResult out;
    nwclient::Buffer* reply = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(replySize, reply), 0);
    int32_t iteration = -1;
    do {
        out.result = nwclient::search(context, base, scope, false, filter, nwclient::INFO_ATTRIBUTE_VALUES,
                                      false, nullptr, iteration, 0, nullptr, reply);
        if (out.result != 0)
            break;
        ++out.passes;
        uint32_t count = 0;
        EXPECT_EQ(nwclient::objectCount(context, reply, count), 0);
        if (iteration != -1) {
            EXPECT_GT(count, 0u);
        }
        readObjects(context, reply, count, out);
    } while (iteration != -1);
    if (iteration != -1)
        nwclient::closeIteration(context, iteration, nwclient::OP_SEARCH);
    nwclient::freeBuffer(reply);
    return out;
}

inline ObjectsResult listObjects(nwclient::Context context, const std::string& parent, bool containersOnly,
                                 uint32_t replySize = 16384) {
    ObjectsResult out;
    nwclient::Buffer* reply = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(replySize, reply), 0);
    int32_t iteration = -1;
    do {
        out.result = containersOnly ? nwclient::listContainers(context, parent, iteration, reply)
                                    : nwclient::listSubordinates(context, parent, iteration, reply);
        if (out.result != 0)
            break;
        ++out.passes;
        uint32_t count = 0;
        EXPECT_EQ(nwclient::objectCount(context, reply, count), 0);
        readObjects(context, reply, count, out);
    } while (iteration != -1);
    nwclient::freeBuffer(reply);
    return out;
}

inline std::vector<std::string> namesOf(const ObjectsResult& result) {
    std::vector<std::string> names;
    for (const auto& object : result.objects)
        names.push_back(object.name);
    return names;
}

// One modification request: changes are (kind, attribute, optional value).
struct Change {
    Change(uint32_t kind, std::string attribute) : kind(kind), attribute(std::move(attribute)) {}
    Change(uint32_t kind, std::string attribute, uint32_t syntax, nwclient::Value value)
        : kind(kind), attribute(std::move(attribute)), syntax(syntax), value(std::move(value)) {}
    uint32_t kind;
    std::string attribute;
    uint32_t syntax = 0;
    std::optional<nwclient::Value> value;
};

inline int32_t modify(nwclient::Context context, const std::string& object,
                      const std::vector<Change>& changes) {
    nwclient::Buffer* request = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(4096, request), 0);
    EXPECT_EQ(nwclient::initBuffer(context, nwclient::OP_MODIFY, request), 0);
    for (const auto& change : changes) {
        if (change.value)
            EXPECT_EQ(nwclient::putChangeAndValue(context, request, change.kind, change.attribute,
                                                  change.syntax, *change.value),
                      0);
        else
            EXPECT_EQ(nwclient::putChange(context, request, change.kind, change.attribute), 0);
    }
    int32_t iteration = -1;
    int32_t result = nwclient::modifyObject(context, object, iteration, 0, request);
    EXPECT_EQ(iteration, -1);
    nwclient::freeBuffer(request);
    return result;
}

inline int32_t
addObject(nwclient::Context context, const std::string& object,
          const std::vector<std::pair<std::string, std::vector<std::pair<uint32_t, nwclient::Value>>>>&
              attributes) {
    nwclient::Buffer* request = nullptr;
    EXPECT_EQ(nwclient::allocateBuffer(4096, request), 0);
    EXPECT_EQ(nwclient::initBuffer(context, nwclient::OP_ADD_ENTRY, request), 0);
    for (const auto& [name, values] : attributes) {
        EXPECT_EQ(nwclient::putAttributeName(context, request, name), 0);
        for (const auto& [syntax, value] : values)
            EXPECT_EQ(nwclient::putValue(context, request, syntax, value), 0);
    }
    int32_t iteration = -1;
    int32_t result = nwclient::addObject(context, object, iteration, 0, request);
    nwclient::freeBuffer(request);
    return result;
}

} // namespace nwclient_test
