#include "directory/NWHelper3.h"

#include "directory/ClientResources.h"
#include "directory/NWHelper2.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace directory {

using namespace directory::detail;

namespace {

void AddTokens(nwclient::FilterCursor* cursor, const std::vector<FilterToken>& tokens) {
    for (const FilterToken& token : tokens) {
        CheckNWError(nwclient::addFilterToken(cursor, token.Token, token.Value, token.Syntax));
    }
}

// Initialises request for a search filter and puts the tokens into it.
void PutFilter(NWDSContextHandle context, nwclient::Buffer* request, const std::vector<FilterToken>& tokens) {
    CheckNWError(nwclient::initBuffer(context, nwclient::OP_SEARCH_FILTER, request));
    FilterOwner cursor;
    AddTokens(cursor.get(), tokens);
    // Putting the filter frees the cursor, whatever the result.
    CheckNWError(nwclient::putFilter(context, request, cursor.Release()));
}

std::vector<FilterToken> ClassFilter(const std::string& className, bool baseClassOnly) {
    if (baseClassOnly) {
        return {{nwclient::TOKEN_BASE_CLASS, "", 0},
                {nwclient::TOKEN_ATTRIBUTE_NAME, className, nwclient::SYN_CLASS_NAME},
                {nwclient::TOKEN_END, "", 0}};
    }
    return {{nwclient::TOKEN_ATTRIBUTE_NAME, "Object Class", nwclient::SYN_CLASS_NAME},
            {nwclient::TOKEN_EQUAL, "", 0},
            {nwclient::TOKEN_VALUE, className, nwclient::SYN_CLASS_NAME},
            {nwclient::TOKEN_END, "", 0}};
}

bool HoldsPartition(const std::vector<AttributeValueEntry>& classes) {
    return std::any_of(classes.begin(), classes.end(), [](const AttributeValueEntry& entry) {
        return rtl::SameText(entry.Text, "Partition");
    });
}

std::string EffectiveBase(const std::string& baseName) {
    return baseName.empty() ? "[root]" : baseName;
}

std::uint32_t ObjectCount(NWDSContextHandle context, nwclient::Buffer* reply) {
    std::uint32_t objects = 0;
    CheckNWError(nwclient::objectCount(context, reply, objects));
    return objects;
}

// Runs one pass of a search for values and returns how many objects its reply holds.
std::uint32_t SearchPass(NWDSContextHandle context, const std::string& base, std::int32_t scope,
                         bool searchAliases, nwclient::Buffer* filter, nwclient::Buffer* attributes,
                         Iteration& iteration, nwclient::Buffer* reply) {
    CheckNWError(nwclient::search(context, base, scope, searchAliases, filter,
                                  nwclient::INFO_ATTRIBUTE_VALUES, false, attributes, iteration.Handle(), 0,
                                  nullptr, reply));
    return ObjectCount(context, reply);
}

// The next object of a reply.
struct ReplyObject {
    std::string Name;
    std::uint32_t AttributeCount = 0;
    nwclient::ObjectInfo Info;
};

ReplyObject NextObject(NWDSContextHandle context, nwclient::Buffer* reply) {
    ReplyObject object;
    CheckNWError(nwclient::nextObject(context, reply, object.Name, object.AttributeCount, object.Info));
    return object;
}

// Operation codes with which the listings close an iteration they leave early.
constexpr std::uint32_t kListAllOperation = 5;
constexpr std::uint32_t kListContainersOperation = 6;
constexpr std::uint32_t kListPartitionsOperation = 18;

} // namespace

// ---------------------------------------------------------------- class search

std::vector<ObjectEntry> SearchObjectsByClassEx(NWDSContextHandle context, const StopCallback& stop,
                                                const std::string& className, const std::string& baseName,
                                                bool wholeSubtree, bool returnObjects, bool baseClassOnly,
                                                bool searchAliases) {
    std::vector<ObjectEntry> found;
    std::int32_t count = 0;
    if (stop && stop(count)) {
        return found;
    }
    const std::string base = EffectiveBase(baseName);

    ClientBuffer request(kRequestBufferSize);
    ClientBuffer reply(kReplyBufferSize);
    PutFilter(context, request.get(), ClassFilter(className, baseClassOnly));
    const std::int32_t scope = wholeSubtree ? nwclient::SCOPE_SUBTREE : nwclient::SCOPE_ONE_LEVEL;

    // A failure in a pass ends the search with what it found; the iteration is
    // closed on every way out.
    Iteration iteration(context, nwclient::OP_SEARCH);
    try {
        do {
            if (stop && stop(count)) {
                break;
            }
            const std::uint32_t objects = SearchPass(context, base, scope, searchAliases, request.get(),
                                                     nullptr, iteration, reply.get());
            if (objects == 0 && found.empty()) {
                break;
            }
            for (std::uint32_t i = 0; i < objects; ++i) {
                ++count;
                if (stop) {
                    stop(count);
                }
                const ReplyObject next = NextObject(context, reply.get());
                ObjectEntry entry{next.Name, std::nullopt};
                if (returnObjects) {
                    hobject object;
                    object.ClassName = next.Info.baseClass;
                    object.SubordinateCount = static_cast<std::int32_t>(next.Info.subordinateCount);
                    object.EntryFlags = next.Info.entryFlags;
                    object.PartitionRoot =
                        HoldsPartition(ReadAttributeValues(context, next.Name, "Object Class", ';'));
                    entry.Object = std::move(object);
                }
                found.push_back(std::move(entry));
            }
        } while (iteration.Open());
    } catch (const std::exception&) {
        // the list so far is the result
    }
    iteration.Close();
    return found;
}

std::vector<ObjectEntry> SearchObjectsByClass(NWDSContextHandle context, const StopCallback& stop,
                                              const std::string& className, const std::string& baseName,
                                              bool wholeSubtree, bool returnObjects, bool baseClassOnly) {
    return SearchObjectsByClassEx(context, stop, className, baseName, wholeSubtree, returnObjects,
                                  baseClassOnly, false);
}

// ---------------------------------------------------------------- searches with a filter

std::vector<std::string> SearchWithAttributes(NWDSContextHandle context, const std::string& baseName,
                                              const std::vector<FilterToken>& filter, std::int32_t scope,
                                              const StopCallback& stop,
                                              const std::vector<std::string>& attributeNames) {
    std::vector<std::string> pairs;
    std::int32_t count = 0;
    if (stop && stop(count)) {
        return pairs;
    }
    const std::string base = EffectiveBase(baseName);

    ClientBuffer attributes(kRequestBufferSize);
    ClientBuffer filterRequest(kRequestBufferSize);
    ClientBuffer reply(kReplyBufferSize);
    CheckNWError(nwclient::initBuffer(context, nwclient::OP_SEARCH, attributes.get()));
    for (const std::string& name : attributeNames) {
        CheckNWError(nwclient::putAttributeName(context, attributes.get(), name));
    }
    PutFilter(context, filterRequest.get(), filter);

    std::unordered_set<std::string> listed;
    Iteration iteration(context, nwclient::OP_SEARCH);
    do {
        if (stop && stop(count)) {
            break;
        }
        const std::uint32_t objects = SearchPass(context, base, scope, false, filterRequest.get(),
                                                 attributes.get(), iteration, reply.get());
        for (std::uint32_t i = 0; i < objects; ++i) {
            const ReplyObject next = NextObject(context, reply.get());
            if (listed.insert(next.Name).second) {
                ++count;
                if (stop) {
                    stop(count);
                }
                pairs.emplace_back("Object Name");
                pairs.push_back(next.Name);
            }
            DecodeAttributes(
                context, reply.get(), next.AttributeCount, false,
                [&](const std::string& attribute, std::uint32_t syntax, const nwclient::Value& value) {
                    std::string text;
                    bool appends = false;
                    if (RenderValueText(syntax, value, text, appends)) {
                        pairs.push_back(attribute);
                        pairs.push_back(std::move(text));
                    }
                    return true;
                });
        }
    } while (iteration.Open());
    return pairs;
}

std::vector<std::string> SearchByPattern(NWDSContextHandle context, const std::string& baseName,
                                         const std::string& pattern, const std::vector<std::string>& classes,
                                         bool appendStar, const StopCallback& stop) {
    std::vector<FilterToken> filter;
    if (classes.empty()) {
        filter.push_back({nwclient::TOKEN_BASE_CLASS, "", 0});
        filter.push_back({nwclient::TOKEN_ATTRIBUTE_NAME, "*", nwclient::SYN_CI_STRING});
    } else {
        filter.push_back({nwclient::TOKEN_OPEN, "", 0});
        for (std::size_t i = 0; i < classes.size(); ++i) {
            if (i > 0) {
                filter.push_back({nwclient::TOKEN_OR, "", 0});
            }
            filter.push_back({nwclient::TOKEN_BASE_CLASS, "", 0});
            filter.push_back({nwclient::TOKEN_ATTRIBUTE_NAME, classes[i], nwclient::SYN_CI_STRING});
        }
        filter.push_back({nwclient::TOKEN_CLOSE, "", 0});
    }
    filter.push_back({nwclient::TOKEN_AND, "", 0});
    filter.push_back({nwclient::TOKEN_RDN, "", 0});
    filter.push_back(
        {nwclient::TOKEN_ATTRIBUTE_NAME, appendStar ? pattern + "*" : pattern, nwclient::SYN_CI_STRING});
    filter.push_back({nwclient::TOKEN_END, "", 0});

    const std::vector<std::string> pairs =
        SearchWithAttributes(context, baseName, filter, nwclient::SCOPE_SUBTREE, stop, {});
    std::vector<std::string> names;
    for (std::size_t i = 1; i < pairs.size(); i += 2) {
        names.push_back(pairs[i]);
    }
    return names;
}

// ---------------------------------------------------------------- listings

std::vector<ObjectEntry> ListSubordinates(NWDSContextHandle context, const std::string& containerName,
                                          bool returnObjects, bool allSubordinates) {
    std::vector<ObjectEntry> entries;
    ClientBuffer reply(kListBufferSize);
    {
        Iteration iteration(context, allSubordinates ? kListAllOperation : kListContainersOperation);
        do {
            const std::int32_t result =
                allSubordinates
                    ? nwclient::listSubordinates(context, containerName, iteration.Handle(), reply.get())
                    : nwclient::listContainers(context, containerName, iteration.Handle(), reply.get());
            CheckNWError(result);
            const std::uint32_t objects = ObjectCount(context, reply.get());
            for (std::uint32_t i = 0; i < objects; ++i) {
                const ReplyObject next = NextObject(context, reply.get());
                ObjectEntry entry{next.Name + "." + containerName, std::nullopt};
                if (returnObjects) {
                    entry.Object =
                        hobject{next.Info.baseClass, static_cast<std::int32_t>(next.Info.subordinateCount),
                                false, next.Info.entryFlags};
                }
                entries.push_back(std::move(entry));
            }
        } while (iteration.Open());
    }
    CheckNWError(reply.Free());
    std::stable_sort(entries.begin(), entries.end(), [](const ObjectEntry& a, const ObjectEntry& b) {
        return rtl::AnsiCompareText(a.Name, b.Name) < 0;
    });
    return entries;
}

std::vector<std::string> ListServerPartitions(NWDSContextHandle context, const std::string& serverName) {
    std::vector<std::string> partitions;
    ClientBuffer reply(kReplyBufferSize);
    {
        Iteration iteration(context, kListPartitionsOperation);
        do {
            const std::int32_t result =
                nwclient::listPartitions(context, serverName, iteration.Handle(), reply.get());
            if (result == nwclient::ERR_NO_MORE_PARTITIONS) {
                break;
            }
            CheckNWError(result);
            std::uint32_t count = 0;
            CheckNWError(nwclient::partitionCount(context, reply.get(), count));
            for (std::uint32_t i = 0; i < count; ++i) {
                std::string partition;
                std::uint32_t replicaType = 0;
                CheckNWError(nwclient::nextPartition(context, reply.get(), partition, replicaType));
                partitions.push_back(partition);
            }
        } while (iteration.Open());
    }
    CheckNWError(reply.Free());
    return partitions;
}

// ---------------------------------------------------------------- writes

namespace {

struct Change {
    bool clearFirst = false;   // remove the old values
    bool addAttribute = false; // make sure the attribute exists
    bool hasValue = false;     // add one value
    nwclient::Value value;
};

// Looks up the attribute's syntax; false when the directory does not know the
// attribute (-603). Raises for any other failure.
bool LookUpSyntax(NWDSContextHandle context, const std::string& attributeName, std::uint32_t& syntax) {
    const std::int32_t result = nwclient::attributeSyntax(context, attributeName, syntax);
    if (result == nwclient::ERR_NO_SUCH_ATTRIBUTE) {
        return false;
    }
    CheckNWError(result);
    return true;
}

// Runs one modification request and returns the client's result of the
// modification (0, -603 or a failure). Building the request raises on failure.
std::int32_t Modify(NWDSContextHandle context, const std::string& objectName,
                    const std::string& attributeName, std::uint32_t syntax, std::uint32_t bufferSize,
                    const Change& change) {
    ClientBuffer request(bufferSize);
    CheckNWError(nwclient::initBuffer(context, nwclient::OP_MODIFY, request.get()));
    if (change.clearFirst) {
        CheckNWError(
            nwclient::putChange(context, request.get(), nwclient::CHANGE_CLEAR_ATTRIBUTE, attributeName));
    }
    if (change.addAttribute) {
        CheckNWError(
            nwclient::putChange(context, request.get(), nwclient::CHANGE_ADD_ATTRIBUTE, attributeName));
    }
    if (change.hasValue) {
        CheckNWError(nwclient::putChangeAndValue(context, request.get(), nwclient::CHANGE_ADD_VALUE,
                                                 attributeName, syntax, change.value));
    }
    std::int32_t result = 0;
    Iteration iteration(context, nwclient::OP_MODIFY);
    do {
        result = nwclient::modifyObject(context, objectName, iteration.Handle(), 0, request.get());
    } while (result == 0 && iteration.Open());
    return result;
}

bool IsIntegerWriteSyntax(std::uint32_t syntax) {
    return syntax == nwclient::SYN_INTEGER || syntax == nwclient::SYN_COUNTER ||
           syntax == nwclient::SYN_TIME || syntax == nwclient::SYN_INTERVAL;
}

// The text as an integer value of the syntax; times also take unsigned values.
std::int32_t TextToInteger(const std::string& text, std::uint32_t syntax) {
    std::int64_t value = 0;
    if (!rtl::TryStrToInt64(text, value)) {
        CheckNWError(kNotAnIntegerResult);
    }
    const std::int64_t highest = syntax == nwclient::SYN_TIME ? std::numeric_limits<std::uint32_t>::max()
                                                              : std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min() || value > highest) {
        CheckNWError(kNotAnIntegerResult);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

void ReplaceAttributeValues(NWDSContextHandle context, const std::string& objectName,
                            const std::string& attributeName, bool append, const std::string& value) {
    std::uint32_t syntax = 0;
    if (!LookUpSyntax(context, attributeName, syntax)) {
        return;
    }
    Change change{!append, true, true, {}};
    if (IsIntegerWriteSyntax(syntax)) {
        change.value = TextToInteger(value, syntax);
    } else {
        change.value = value;
    }
    CheckNWErrorIn(Modify(context, objectName, attributeName, syntax, kRequestBufferSize, change),
                   {0, nwclient::ERR_NO_SUCH_ATTRIBUTE});
}

std::int32_t ReplaceAttributeValue(NWDSContextHandle context, const std::string& objectName,
                                   const std::string& attributeName, bool append, std::int32_t value) {
    std::uint32_t syntax = 0;
    if (!LookUpSyntax(context, attributeName, syntax)) {
        return nwclient::ERR_NO_SUCH_ATTRIBUTE;
    }
    return Modify(context, objectName, attributeName, syntax, kRequestBufferSize,
                  Change{!append, true, true, value});
}

void ClearAttribute(NWDSContextHandle context, const std::string& objectName,
                    const std::string& attributeName) {
    std::uint32_t syntax = 0;
    if (!LookUpSyntax(context, attributeName, syntax)) {
        return;
    }
    CheckNWErrorIn(Modify(context, objectName, attributeName, syntax, kRequestBufferSize,
                          Change{true, false, false, {}}),
                   {0, nwclient::ERR_NO_SUCH_ATTRIBUTE});
}

OctetWriteResult WriteOctetString(NWDSContextHandle context, const std::string& objectName,
                                  const std::string& attributeName, bool append,
                                  std::span<const std::uint8_t> data) {
    OctetWriteResult outcome;
    std::uint32_t syntax = 0;
    if (!LookUpSyntax(context, attributeName, syntax)) {
        outcome.Result = nwclient::ERR_NO_SUCH_ATTRIBUTE;
        return outcome;
    }
    if (syntax != nwclient::SYN_OCTET_STRING) {
        outcome.Warnings.emplace_back(kNotOctetAttributeMessage);
        return outcome;
    }
    const Change change{!append, true, true, nwclient::Octets(data.begin(), data.end())};
    outcome.Result =
        CheckNWErrorIn(Modify(context, objectName, attributeName, syntax, kOctetBufferSize, change),
                       {0, nwclient::ERR_NO_SUCH_ATTRIBUTE});
    return outcome;
}

} // namespace directory
