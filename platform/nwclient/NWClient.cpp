// The client operations: call counting and fault injection, the client's life
// cycle, buffers, filters and reply cursors; directory and connection work is
// forwarded to the Client instance.
#include "platform/nwclient/NWClient.h"

#include "platform/nwclient/Buffers.h"
#include "platform/nwclient/Client.h"
#include "platform/nwclient/ClientTesting.h"
#include "platform/nwclient/Config.h"
#include "platform/nwclient/Values.h"

#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <shared_mutex>

namespace nwclient {
namespace {

constexpr auto OPERATION_COUNT = static_cast<std::size_t>(Operation::Count_);

// ---------------------------------------------------------------- test hooks
struct Fault {
    Operation operation;
    uint32_t remaining;
    int32_t code;
};

std::array<std::atomic<uint64_t>, OPERATION_COUNT> g_callCounts{};
std::mutex g_faultMutex;
std::vector<Fault> g_faults;
std::atomic<bool> g_faultsArmed{false};

// Counts the call; the injected code when this call is to fail.
std::optional<int32_t> enter(Operation operation) {
    g_callCounts[static_cast<std::size_t>(operation)].fetch_add(1, std::memory_order_relaxed);
    if (!g_faultsArmed.load(std::memory_order_acquire))
        return std::nullopt;
    std::lock_guard lock(g_faultMutex);
    std::optional<int32_t> code;
    for (auto it = g_faults.begin(); it != g_faults.end();) {
        if (it->operation == operation && --it->remaining == 0) {
            if (!code)
                code = it->code;
            it = g_faults.erase(it);
        } else {
            ++it;
        }
    }
    g_faultsArmed = !g_faults.empty();
    return code;
}

// ---------------------------------------------------------------- life cycle
std::shared_mutex g_lifecycle;
std::unique_ptr<Client> g_client;
std::mutex g_errorMutex;
std::string g_lastError;

// Runs work on the client under the shared life-cycle lock.
template <typename Work> int32_t withClient(Operation operation, Work&& work) {
    if (auto fault = enter(operation))
        return *fault;
    std::shared_lock lock(g_lifecycle);
    if (!g_client)
        return ERR_NO_CLIENT;
    return work(*g_client);
}

int32_t checkBuffer(const Buffer* buffer) {
    if (!buffer)
        return ERR_NULL_POINTER;
    return buffer->magic == Buffer::MAGIC ? SUCCESS : ERR_INVALID_HANDLE;
}

// The object of a reply whose attributes the cursor functions walk.
ReplyObject* currentObject(Buffer* buffer) {
    Reply& reply = buffer->reply;
    if (reply.currentObject < 0 || static_cast<std::size_t>(reply.currentObject) >= reply.objects.size())
        return nullptr;
    return &reply.objects[static_cast<std::size_t>(reply.currentObject)];
}

const ReplyAttribute* currentAttribute(Buffer* buffer) {
    ReplyObject* object = currentObject(buffer);
    const Reply& reply = buffer->reply;
    if (!object || reply.currentAttribute < 0 ||
        static_cast<std::size_t>(reply.currentAttribute) >= object->attributes.size())
        return nullptr;
    return &object->attributes[static_cast<std::size_t>(reply.currentAttribute)];
}

// The value under the reply's value cursor, for the calls that read values one by one.
int32_t valueAtCursor(Operation operation, Buffer* reply, const Value*& value) {
    if (auto fault = enter(operation))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    const ReplyAttribute* attribute = currentAttribute(reply);
    if (!attribute || reply->reply.nextValueIndex >= attribute->valueCount)
        return ERR_BUFFER_EMPTY;
    value = &attribute->attribute->values[attribute->firstValue + reply->reply.nextValueIndex];
    return SUCCESS;
}

} // namespace

// ---------------------------------------------------------------- client (calwin32)
int32_t initialize(const std::string& configPath) {
    if (auto fault = enter(Operation::Initialize))
        return *fault;
    std::unique_lock lock(g_lifecycle);
    g_client.reset();
    std::string error;
    std::string path = locateConfig(configPath);
    std::unique_ptr<Client> client = Client::create(path, error);
    std::lock_guard errorLock(g_errorMutex);
    if (!client) {
        g_lastError = error.empty() ? "cannot load the client configuration " + path : error;
        return ERR_NO_CLIENT;
    }
    g_lastError.clear();
    g_client = std::move(client);
    return SUCCESS;
}

int32_t terminate() {
    if (auto fault = enter(Operation::Terminate))
        return *fault;
    std::unique_lock lock(g_lifecycle);
    if (!g_client)
        return ERR_NO_CLIENT;
    g_client.reset();
    return SUCCESS;
}

std::string lastError() {
    std::lock_guard lock(g_errorMutex);
    return g_lastError;
}

std::string treeProblem(const std::string& treeName) {
    std::shared_lock lock(g_lifecycle);
    return g_client ? g_client->treeProblem(treeName) : std::string();
}

std::vector<std::string> treeProblems() {
    std::shared_lock lock(g_lifecycle);
    return g_client ? g_client->treeProblems() : std::vector<std::string>();
}

bool isInitialized() {
    std::shared_lock lock(g_lifecycle);
    return g_client != nullptr;
}

// ---------------------------------------------------------------- contexts
int32_t createContext(Context& context) {
    return withClient(Operation::CreateContext, [&](Client& c) { return c.createContext(context); });
}
int32_t duplicateContext(Context source, Context& duplicate) {
    return withClient(Operation::DuplicateContext,
                      [&](Client& c) { return c.duplicateContext(source, duplicate); });
}
int32_t freeContext(Context context) {
    return withClient(Operation::FreeContext, [&](Client& c) { return c.freeContext(context); });
}
int32_t getContextKey(Context context, int key, uint32_t& value) {
    return withClient(Operation::GetContextKey,
                      [&](Client& c) { return c.getContextKey(context, key, value); });
}
int32_t getContextKey(Context context, int key, std::string& value) {
    return withClient(Operation::GetContextKey,
                      [&](Client& c) { return c.getContextKey(context, key, value); });
}
int32_t setContextKey(Context context, int key, uint32_t value) {
    return withClient(Operation::SetContextKey,
                      [&](Client& c) { return c.setContextKey(context, key, value); });
}
int32_t setContextKey(Context context, int key, const std::string& value) {
    return withClient(Operation::SetContextKey,
                      [&](Client& c) { return c.setContextKey(context, key, value); });
}
int32_t defaultNameContext(Context context, std::string& nameContext) {
    return withClient(Operation::DefaultNameContext,
                      [&](Client& c) { return c.defaultNameContext(context, nameContext); });
}
int32_t setPreferredTree(const std::string& treeName) {
    return withClient(Operation::SetPreferredTree, [&](Client& c) { return c.setPreferredTree(treeName); });
}

// ---------------------------------------------------------------- buffers
int32_t allocateBuffer(uint32_t size, Buffer*& buffer) {
    if (auto fault = enter(Operation::AllocateBuffer))
        return *fault;
    if (size == 0 || size > buffer_size::MAX_CAPACITY)
        return ERR_NOT_ENOUGH_MEMORY;
    buffer = new Buffer();
    buffer->capacity = size;
    return SUCCESS;
}

int32_t freeBuffer(Buffer* buffer) {
    if (auto fault = enter(Operation::FreeBuffer))
        return *fault;
    if (!buffer)
        return SUCCESS;
    if (buffer->magic != Buffer::MAGIC)
        return ERR_INVALID_HANDLE;
    buffer->magic = 0;
    delete buffer;
    return SUCCESS;
}

int32_t initBuffer(Context context, uint32_t operation, Buffer* buffer) {
    return withClient(Operation::InitBuffer, [&](Client& c) {
        if (int32_t result = c.checkContext(context); result != SUCCESS)
            return result;
        if (int32_t result = checkBuffer(buffer); result != SUCCESS)
            return result;
        if (operation != OP_READ && operation != OP_SEARCH && operation != OP_ADD_ENTRY &&
            operation != OP_MODIFY && operation != OP_SEARCH_FILTER)
            return ERR_INVALID_REQUEST;
        buffer->reply = Reply();
        buffer->resetRequest(operation);
        return SUCCESS;
    });
}

int32_t putAttributeName(Context, Buffer* buffer, const std::string& attributeName) {
    if (auto fault = enter(Operation::PutAttributeName))
        return *fault;
    if (int32_t result = checkBuffer(buffer); result != SUCCESS)
        return result;
    if (buffer->operation != OP_READ && buffer->operation != OP_SEARCH && buffer->operation != OP_ADD_ENTRY)
        return ERR_BAD_VERB;
    uint32_t size = buffer_size::ATTRIBUTE + buffer_size::text(attributeName);
    if (!buffer->fits(size))
        return ERR_BUFFER_FULL;
    buffer->used += size;
    if (buffer->operation == OP_ADD_ENTRY)
        buffer->addAttributes.push_back({attributeName, {}});
    else
        buffer->attributeNames.push_back(attributeName);
    return SUCCESS;
}

int32_t putValue(Context, Buffer* buffer, uint32_t syntax, const Value& value) {
    if (auto fault = enter(Operation::PutValue))
        return *fault;
    if (int32_t result = checkBuffer(buffer); result != SUCCESS)
        return result;
    std::vector<std::pair<uint32_t, Value>>* values = nullptr;
    if (buffer->operation == OP_ADD_ENTRY && !buffer->addAttributes.empty())
        values = &buffer->addAttributes.back().values;
    else if (buffer->operation == OP_MODIFY && !buffer->changes.empty() &&
             buffer->changes.back().kind == CHANGE_ADD_VALUE)
        values = &buffer->changes.back().values;
    if (!values)
        return ERR_BAD_VERB;
    if (!values::fitsSyntax(syntax, value))
        return ERR_NO_SUCH_SYNTAX;
    uint32_t size = buffer_size::VALUE + 4 + values::size(value);
    if (!buffer->fits(size))
        return ERR_BUFFER_FULL;
    buffer->used += size;
    values->emplace_back(syntax, value);
    return SUCCESS;
}

int32_t putChange(Context, Buffer* buffer, uint32_t changeKind, const std::string& attributeName) {
    if (auto fault = enter(Operation::PutChange))
        return *fault;
    if (int32_t result = checkBuffer(buffer); result != SUCCESS)
        return result;
    if (buffer->operation != OP_MODIFY)
        return ERR_BAD_VERB;
    if (changeKind != CHANGE_ADD_ATTRIBUTE && changeKind != CHANGE_ADD_VALUE &&
        changeKind != CHANGE_CLEAR_ATTRIBUTE)
        return ERR_INVALID_REQUEST;
    uint32_t size = buffer_size::CHANGE + buffer_size::text(attributeName);
    if (!buffer->fits(size))
        return ERR_BUFFER_FULL;
    buffer->used += size;
    buffer->changes.push_back({changeKind, attributeName, {}});
    return SUCCESS;
}

int32_t putChangeAndValue(Context, Buffer* buffer, uint32_t changeKind, const std::string& attributeName,
                          uint32_t syntax, const Value& value) {
    if (auto fault = enter(Operation::PutChangeAndValue))
        return *fault;
    if (int32_t result = checkBuffer(buffer); result != SUCCESS)
        return result;
    if (buffer->operation != OP_MODIFY)
        return ERR_BAD_VERB;
    if (changeKind != CHANGE_ADD_VALUE)
        return ERR_INVALID_REQUEST;
    if (!values::fitsSyntax(syntax, value))
        return ERR_NO_SUCH_SYNTAX;
    uint32_t size =
        buffer_size::CHANGE + buffer_size::text(attributeName) + buffer_size::VALUE + 4 + values::size(value);
    if (!buffer->fits(size))
        return ERR_BUFFER_FULL;
    buffer->used += size;
    buffer->changes.push_back({changeKind, attributeName, {{syntax, value}}});
    return SUCCESS;
}

// ---------------------------------------------------------------- reading
int32_t read(Context context, const std::string& objectName, uint32_t infoType, bool allAttributes,
             Buffer* request, int32_t& iteration, Buffer* reply) {
    return withClient(Operation::Read, [&](Client& c) {
        return c.read(context, objectName, infoType, allAttributes, request, iteration, reply);
    });
}

int32_t attributeCount(Context, Buffer* reply, uint32_t& count) {
    if (auto fault = enter(Operation::AttributeCount))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    if (reply->reply.kind != Reply::Read && reply->reply.kind != Reply::Objects)
        return ERR_BAD_VERB;
    ReplyObject* object = currentObject(reply);
    if (!object)
        return ERR_BUFFER_EMPTY;
    if (reply->reply.kind == Reply::Read) {
        reply->reply.nextAttributeIndex = 0;
        reply->reply.currentAttribute = -1;
    }
    count = static_cast<uint32_t>(object->attributes.size());
    return SUCCESS;
}

int32_t nextAttribute(Context, Buffer* reply, std::string& attributeName, uint32_t& valueCount,
                      uint32_t& syntax) {
    if (auto fault = enter(Operation::NextAttribute))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    ReplyObject* object = currentObject(reply);
    Reply& cursor = reply->reply;
    if (!object || cursor.nextAttributeIndex >= object->attributes.size())
        return ERR_BUFFER_EMPTY;
    const ReplyAttribute& attribute = object->attributes[cursor.nextAttributeIndex];
    cursor.currentAttribute = static_cast<std::ptrdiff_t>(cursor.nextAttributeIndex++);
    cursor.nextValueIndex = 0;
    attributeName = attribute.attribute->name;
    valueCount = static_cast<uint32_t>(attribute.valueCount);
    syntax = attribute.attribute->syntax;
    return SUCCESS;
}

int32_t valueSize(Context, Buffer* reply, uint32_t, uint32_t& size) {
    const Value* value = nullptr;
    if (int32_t result = valueAtCursor(Operation::ValueSize, reply, value); result != SUCCESS)
        return result;
    size = values::size(*value);
    return SUCCESS;
}

int32_t nextValue(Context, Buffer* reply, uint32_t, Value& value) {
    const Value* current = nullptr;
    if (int32_t result = valueAtCursor(Operation::NextValue, reply, current); result != SUCCESS)
        return result;
    value = *current;
    ++reply->reply.nextValueIndex;
    return SUCCESS;
}

int32_t attributeSyntax(Context context, const std::string& attributeName, uint32_t& syntax) {
    return withClient(Operation::AttributeSyntax,
                      [&](Client& c) { return c.attributeSyntax(context, attributeName, syntax); });
}

int32_t closeIteration(Context context, int32_t iteration, uint32_t) {
    return withClient(Operation::CloseIteration,
                      [&](Client& c) { return c.closeIteration(context, iteration); });
}

int32_t objectInfo(Context context, const std::string& objectName, std::string& distinguishedName,
                   ObjectInfo& info) {
    return withClient(Operation::ObjectInfo,
                      [&](Client& c) { return c.objectInfo(context, objectName, distinguishedName, info); });
}

// ---------------------------------------------------------------- writing
int32_t modifyObject(Context context, const std::string& objectName, int32_t& iteration, int32_t,
                     Buffer* request) {
    return withClient(Operation::ModifyObject, [&](Client& c) {
        int32_t result = c.modifyObject(context, objectName, request);
        iteration = -1;
        return result;
    });
}

int32_t addObject(Context context, const std::string& objectName, int32_t& iteration, int32_t,
                  Buffer* request) {
    return withClient(Operation::AddObject, [&](Client& c) {
        int32_t result = c.addObject(context, objectName, request);
        iteration = -1;
        return result;
    });
}

int32_t removeObject(Context context, const std::string& objectName) {
    return withClient(Operation::RemoveObject,
                      [&](Client& c) { return c.removeObject(context, objectName); });
}

// ---------------------------------------------------------------- filters, search and lists
int32_t allocateFilter(FilterCursor*& cursor) {
    if (auto fault = enter(Operation::AllocateFilter))
        return *fault;
    cursor = new FilterCursor();
    return SUCCESS;
}

int32_t addFilterToken(FilterCursor* cursor, uint32_t token, const std::string& value, uint32_t syntax) {
    if (auto fault = enter(Operation::AddFilterToken))
        return *fault;
    if (!cursor)
        return ERR_NULL_POINTER;
    if (cursor->magic != FilterCursor::MAGIC)
        return ERR_INVALID_HANDLE;
    switch (token) {
    case TOKEN_END:
    case TOKEN_OR:
    case TOKEN_AND:
    case TOKEN_OPEN:
    case TOKEN_CLOSE:
    case TOKEN_VALUE:
    case TOKEN_EQUAL:
    case TOKEN_ATTRIBUTE_NAME:
    case TOKEN_RDN:
    case TOKEN_BASE_CLASS:
        cursor->tokens.push_back({token, value, syntax});
        return SUCCESS;
    default:
        return ERR_INVALID_FILTER_SYNTAX;
    }
}

int32_t freeFilter(FilterCursor* cursor) {
    if (!cursor)
        return SUCCESS;
    if (cursor->magic != FilterCursor::MAGIC)
        return ERR_INVALID_HANDLE;
    cursor->magic = 0;
    delete cursor;
    return SUCCESS;
}

int32_t putFilter(Context, Buffer* request, FilterCursor* cursor) {
    if (auto fault = enter(Operation::PutFilter)) {
        freeFilter(cursor);
        return *fault;
    }
    if (!cursor)
        return ERR_NULL_POINTER;
    if (cursor->magic != FilterCursor::MAGIC)
        return ERR_INVALID_HANDLE;
    std::vector<FilterToken> tokens = std::move(cursor->tokens);
    freeFilter(cursor);
    if (int32_t result = checkBuffer(request); result != SUCCESS)
        return result;
    if (request->operation != OP_SEARCH_FILTER)
        return ERR_BAD_VERB;
    uint32_t size = 0;
    for (const FilterToken& token : tokens)
        size += buffer_size::TOKEN + buffer_size::text(token.value);
    if (!request->fits(size))
        return ERR_BUFFER_FULL;
    int32_t result = SUCCESS;
    auto filter = Filter::parse(tokens, result);
    if (!filter)
        return result;
    request->used += size;
    request->filter = std::move(filter);
    return SUCCESS;
}

int32_t search(Context context, const std::string& baseName, int32_t scope, bool, Buffer* filterRequest,
               uint32_t infoType, bool allAttributes, Buffer* attributeNames, int32_t& iteration, int32_t,
               int32_t* countSearched, Buffer* reply) {
    return withClient(Operation::Search, [&](Client& c) {
        return c.search(context, baseName, scope, filterRequest, infoType, allAttributes, attributeNames,
                        iteration, countSearched, reply);
    });
}

int32_t objectCount(Context, Buffer* reply, uint32_t& count) {
    if (auto fault = enter(Operation::ObjectCount))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    if (reply->reply.kind != Reply::Objects)
        return ERR_BAD_VERB;
    reply->reply.nextObjectIndex = 0;
    reply->reply.currentObject = -1;
    count = static_cast<uint32_t>(reply->reply.objects.size());
    return SUCCESS;
}

int32_t nextObject(Context, Buffer* reply, std::string& objectName, uint32_t& attributeCount,
                   ObjectInfo& info) {
    if (auto fault = enter(Operation::NextObject))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    Reply& cursor = reply->reply;
    if (cursor.kind != Reply::Objects)
        return ERR_BAD_VERB;
    if (cursor.nextObjectIndex >= cursor.objects.size())
        return ERR_BUFFER_EMPTY;
    const ReplyObject& object = cursor.objects[cursor.nextObjectIndex];
    cursor.currentObject = static_cast<std::ptrdiff_t>(cursor.nextObjectIndex++);
    cursor.currentAttribute = -1;
    cursor.nextAttributeIndex = 0;
    cursor.nextValueIndex = 0;
    objectName = object.name;
    attributeCount = static_cast<uint32_t>(object.attributes.size());
    info = object.info;
    return SUCCESS;
}

int32_t listSubordinates(Context context, const std::string& parentName, int32_t& iteration, Buffer* reply) {
    return withClient(Operation::ListSubordinates,
                      [&](Client& c) { return c.list(context, parentName, false, iteration, reply); });
}

int32_t listContainers(Context context, const std::string& parentName, int32_t& iteration, Buffer* reply) {
    return withClient(Operation::ListContainers,
                      [&](Client& c) { return c.list(context, parentName, true, iteration, reply); });
}

int32_t listPartitions(Context context, const std::string& serverName, int32_t& iteration, Buffer* reply) {
    return withClient(Operation::ListPartitions,
                      [&](Client& c) { return c.listPartitions(context, serverName, iteration, reply); });
}

int32_t partitionCount(Context, Buffer* reply, uint32_t& count) {
    if (auto fault = enter(Operation::PartitionCount))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    if (reply->reply.kind != Reply::Partitions)
        return ERR_BAD_VERB;
    reply->reply.nextPartitionIndex = 0;
    count = static_cast<uint32_t>(reply->reply.partitions.size());
    return SUCCESS;
}

int32_t nextPartition(Context, Buffer* reply, std::string& partitionName, uint32_t& replicaType) {
    if (auto fault = enter(Operation::NextPartition))
        return *fault;
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    Reply& cursor = reply->reply;
    if (cursor.kind != Reply::Partitions)
        return ERR_BAD_VERB;
    if (cursor.nextPartitionIndex >= cursor.partitions.size())
        return ERR_BUFFER_EMPTY;
    const auto& partition = cursor.partitions[cursor.nextPartitionIndex++];
    partitionName = partition.first;
    replicaType = partition.second;
    return SUCCESS;
}

// ---------------------------------------------------------------- trees, users, connections
int32_t scanTreeName(Context context, Connection, uint32_t, int32_t& iteration, std::string& treeName) {
    return withClient(Operation::ScanTreeName,
                      [&](Client& c) { return c.scanTreeName(context, iteration, treeName); });
}
int32_t scanTreeNames(Context context, uint32_t capacity, uint32_t& count, std::vector<std::string>& names) {
    return withClient(Operation::ScanTreeNames,
                      [&](Client& c) { return c.scanTreeNames(context, capacity, count, names); });
}
int32_t whoAmI(Context context, std::string& userName) {
    return withClient(Operation::WhoAmI, [&](Client& c) { return c.whoAmI(context, userName); });
}
int32_t login(Context context, uint32_t, const std::string& userName, const std::string& password) {
    return withClient(Operation::Login, [&](Client& c) { return c.login(context, userName, password); });
}
int32_t openConnectionByName(Context context, const std::string& serverName, Connection& connection) {
    return withClient(Operation::OpenConnectionByName,
                      [&](Client& c) { return c.openConnectionByName(context, serverName, connection); });
}
int32_t authenticateConnection(Context context, Connection connection) {
    return withClient(Operation::AuthenticateConnection,
                      [&](Client& c) { return c.authenticateConnection(context, connection); });
}
int32_t releaseConnectionAuthentication(Connection connection) {
    return withClient(Operation::ReleaseConnectionAuthentication,
                      [&](Client& c) { return c.releaseConnectionAuthentication(connection); });
}
int32_t primaryConnectionReference(ConnectionReference& reference) {
    return withClient(Operation::PrimaryConnectionReference,
                      [&](Client& c) { return c.primaryConnectionReference(reference); });
}
int32_t openConnection(ConnectionReference reference, uint32_t, uint32_t, Connection& connection) {
    return withClient(Operation::OpenConnection,
                      [&](Client& c) { return c.openConnection(reference, connection); });
}
int32_t closeConnection(Connection connection) {
    return withClient(Operation::CloseConnection, [&](Client& c) { return c.closeConnection(connection); });
}
int32_t connectionInformation(Connection connection, uint32_t infoType, std::string& value) {
    return withClient(Operation::ConnectionInformation,
                      [&](Client& c) { return c.connectionInformation(connection, infoType, value); });
}
int32_t attachToServerByAddress(const std::string& address, Connection& connection) {
    return withClient(Operation::AttachToServerByAddress,
                      [&](Client& c) { return c.attachToServerByAddress(address, connection); });
}
int32_t mapPathToConnection(const std::string& path, Connection& connection, uint32_t& flags,
                            std::string& volumePath) {
    return withClient(Operation::MapPathToConnection,
                      [&](Client& c) { return c.mapPathToConnection(path, connection, flags, volumePath); });
}
int32_t nextVolumeDirectoryEntry(Connection connection, const std::string& directoryPath,
                                 uint32_t attributeMask, int32_t& iteration, DirectoryEntry& entry) {
    return withClient(Operation::NextVolumeDirectoryEntry, [&](Client& c) {
        return c.nextVolumeDirectoryEntry(connection, directoryPath, attributeMask, iteration, entry);
    });
}
int32_t loadServerModule(Connection connection, const std::string& commandLine, uint32_t& moduleResult) {
    return withClient(Operation::LoadServerModule,
                      [&](Client& c) { return c.loadServerModule(connection, commandLine, moduleResult); });
}
int32_t unloadServerModule(Connection connection, const std::string& moduleName) {
    return withClient(Operation::UnloadServerModule,
                      [&](Client& c) { return c.unloadServerModule(connection, moduleName); });
}

std::vector<std::string> moduleLog() {
    std::shared_lock lock(g_lifecycle);
    return g_client ? g_client->moduleLog() : std::vector<std::string>();
}

std::vector<std::string> loadedModules(const std::string& serverName) {
    std::shared_lock lock(g_lifecycle);
    return g_client ? g_client->loadedModules(serverName) : std::vector<std::string>();
}

// ---------------------------------------------------------------- test hooks
void injectFault(Operation operation, uint32_t nth, int32_t code) {
    if (nth == 0)
        return;
    std::lock_guard lock(g_faultMutex);
    g_faults.push_back({operation, nth, code});
    g_faultsArmed = true;
}

void clearFaults() {
    std::lock_guard lock(g_faultMutex);
    g_faults.clear();
    g_faultsArmed = false;
}

uint64_t callCount(Operation operation) {
    return g_callCounts[static_cast<std::size_t>(operation)].load(std::memory_order_relaxed);
}

void resetCallCounts() {
    for (auto& count : g_callCounts)
        count.store(0, std::memory_order_relaxed);
}

namespace test_hooks {

bool failNextStoreWrite() {
    std::shared_lock lock(g_lifecycle);
    if (!g_client)
        return false;
    g_client->store().failNextWrite();
    return true;
}

} // namespace test_hooks

} // namespace nwclient
