#include "platform/nwclient/Client.h"

#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Schema.h"
#include "platform/nwclient/Values.h"

#include <algorithm>
#include <ctime>

namespace nwclient {

namespace {

int32_t checkBuffer(const Buffer* buffer) {
    if (!buffer)
        return ERR_NULL_POINTER;
    if (buffer->magic != Buffer::MAGIC)
        return ERR_INVALID_HANDLE;
    return SUCCESS;
}

void clearReply(Buffer& buffer, Reply::Kind kind) {
    buffer.operation = 0;
    buffer.reply = Reply();
    buffer.reply.kind = kind;
}

uint32_t now() {
    return static_cast<uint32_t>(std::time(nullptr));
}

const std::string OBJECT_CLASS_KEY = schema::nameKey("Object Class");
const std::string REPLICA_KEY = schema::nameKey("Replica");

} // namespace

// ------------------------------------------------------------------ creation
std::unique_ptr<Client> Client::create(const std::string& configPath, std::string& error) {
    std::unique_ptr<Client> client(new Client());
    if (!loadConfig(configPath, client->config_, error))
        return nullptr;
    client->store_ = Store::open(client->config_.storePath, error);
    if (!client->store_)
        return nullptr;
    for (const TreeConfig& treeConfig : client->config_.trees) {
        // A tree the store lacks is imported from its LDIF file, at most once however many
        // processes start at the same moment.
        bool unreadable = false;
        auto readLdif = [&treeConfig, &unreadable](std::vector<Entry>& entries, std::string& reason) {
            ldif::Error ldifError;
            if (ldif::readFile(treeConfig.ldifPath, entries, ldifError))
                return true;
            reason = ldifError.message();
            unreadable = true;
            return false;
        };
        std::unique_ptr<DirectoryTree> tree =
            client->store_->loadOrImportTree(treeConfig.name, readLdif, error);
        if (!tree) {
            // A tree whose data file cannot be opened or is malformed leaves the other trees usable
            // (nothing of it reaches the store: the file is read whole before the import); choosing
            // it reports why. A store that fails stops the whole client.
            if (unreadable) {
                client->treeProblems_[names::lowerAscii(treeConfig.name)] =
                    "tree " + treeConfig.name + ": " + error;
                client->treeStates_[treeConfig.name] = TreeState{treeConfig.visible, treeConfig.loggedInUser};
                error.clear();
                continue;
            }
            error = "tree " + treeConfig.name + ": " + error;
            return nullptr;
        }
        client->trees_.push_back(std::move(tree));
        client->treeStates_[treeConfig.name] = TreeState{treeConfig.visible, treeConfig.loggedInUser};
    }
    client->preferredTree_ = client->config_.preferredTree;
    for (const ServerConfig& server : client->config_.servers)
        client->loadedModules_.push_back(server.modules);
    return client;
}

std::string Client::treeProblem(const std::string& treeName) const {
    const auto found = treeProblems_.find(names::lowerAscii(treeName));
    return found == treeProblems_.end() ? std::string() : found->second;
}

std::vector<std::string> Client::treeProblems() const {
    std::vector<std::string> reasons;
    for (const TreeConfig& treeConfig : config_.trees)
        if (std::string reason = treeProblem(treeConfig.name); !reason.empty())
            reasons.push_back(std::move(reason));
    return reasons;
}

DirectoryTree* Client::tree(const std::string& name) const {
    for (const auto& tree : trees_)
        if (names::equalsIgnoreCase(tree->name(), name))
            return tree.get();
    return nullptr;
}

// ------------------------------------------------------------------ contexts
int32_t Client::createContext(Context& context) {
    std::lock_guard lock(mutex_);
    ContextState state;
    state.tree = preferredTree_;
    if (const TreeConfig* tree = config_.findTree(preferredTree_))
        state.nameContext = tree->defaultNameContext;
    context = nextContext_++;
    contexts_.emplace(context, state);
    return SUCCESS;
}

int32_t Client::duplicateContext(Context source, Context& duplicate) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(source);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    duplicate = nextContext_++;
    contexts_.emplace(duplicate, it->second);
    return SUCCESS;
}

int32_t Client::freeContext(Context context) {
    std::lock_guard lock(mutex_);
    if (!contexts_.erase(context))
        return ERR_BAD_CONTEXT;
    for (auto it = iterations_.begin(); it != iterations_.end();)
        it = it->second->owner == context ? iterations_.erase(it) : std::next(it);
    return SUCCESS;
}

int32_t Client::checkContext(Context context) {
    std::lock_guard lock(mutex_);
    return contexts_.count(context) ? SUCCESS : ERR_BAD_CONTEXT;
}

// The context's field a numeric key stands for; none for other keys.
uint32_t* Client::numericKey(ContextState& state, int key) {
    switch (key) {
    case KEY_FLAGS:
        return &state.flags;
    case KEY_CONFIDENCE:
        return &state.confidence;
    case KEY_CONNECTION:
        return &state.connection;
    default:
        return nullptr;
    }
}

int32_t Client::getContextKey(Context context, int key, uint32_t& value) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    const uint32_t* field = numericKey(it->second, key);
    if (!field)
        return ERR_BAD_KEY;
    value = *field;
    return SUCCESS;
}

int32_t Client::getContextKey(Context context, int key, std::string& value) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    switch (key) {
    case KEY_NAME_CONTEXT:
        value = it->second.nameContext;
        return SUCCESS;
    case KEY_TREE_NAME:
        value = it->second.tree;
        return SUCCESS;
    default:
        return ERR_BAD_KEY;
    }
}

int32_t Client::setContextKey(Context context, int key, uint32_t value) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    uint32_t* field = numericKey(it->second, key);
    if (!field)
        return ERR_BAD_KEY;
    *field = value;
    return SUCCESS;
}

int32_t Client::setContextKey(Context context, int key, const std::string& value) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    switch (key) {
    case KEY_NAME_CONTEXT: {
        names::Components components;
        bool absolute = false;
        if (int32_t result = names::parse(value, components, absolute); result != SUCCESS)
            return result;
        it->second.nameContext = value;
        return SUCCESS;
    }
    case KEY_TREE_NAME: {
        const TreeConfig* tree = config_.findTree(value);
        if (!tree)
            return ERR_UNKNOWN_TREE;
        if (treeProblems_.count(names::lowerAscii(tree->name)))
            return ERR_NO_CONNECTION;
        it->second.tree = tree->name;
        return SUCCESS;
    }
    default:
        return ERR_BAD_KEY;
    }
}

int32_t Client::defaultNameContext(Context context, std::string& nameContext) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    const TreeConfig* tree = config_.findTree(it->second.tree);
    if (!tree)
        return ERR_NO_CONNECTION;
    nameContext = tree->defaultNameContext;
    return SUCCESS;
}

int32_t Client::setPreferredTree(const std::string& treeName) {
    std::lock_guard lock(mutex_);
    const TreeConfig* tree = config_.findTree(treeName);
    if (!tree)
        return ERR_UNKNOWN_TREE;
    preferredTree_ = tree->name;
    return SUCCESS;
}

int32_t Client::contextState(Context context, ContextState& state) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(context);
    if (it == contexts_.end())
        return ERR_BAD_CONTEXT;
    state = it->second;
    return SUCCESS;
}

int32_t Client::contextTree(Context context, ContextState& state, DirectoryTree*& tree) {
    if (int32_t result = contextState(context, state); result != SUCCESS)
        return result;
    tree = this->tree(state.tree);
    return tree ? SUCCESS : ERR_NO_CONNECTION;
}

int32_t Client::locate(Context context, const std::string& objectName, Target& target) {
    if (int32_t result = contextTree(context, target.context, target.tree); result != SUCCESS)
        return result;
    names::Components components;
    if (int32_t result = names::resolve(objectName, target.context.nameContext, components);
        result != SUCCESS)
        return result;
    target.entry = target.tree->find(components);
    return target.entry ? SUCCESS : ERR_NO_SUCH_ENTRY;
}

// ------------------------------------------------------------------ iterations
int32_t Client::registerIteration(std::shared_ptr<Iteration> iteration, int32_t& handle) {
    std::lock_guard lock(mutex_);
    handle = nextIteration_++;
    if (nextIteration_ == INT32_MAX)
        nextIteration_ = 1;
    iterations_[handle] = std::move(iteration);
    return SUCCESS;
}

std::shared_ptr<Client::Iteration> Client::findIteration(int32_t handle, int kind) {
    std::lock_guard lock(mutex_);
    auto it = iterations_.find(handle);
    if (it == iterations_.end() || it->second->kind != kind)
        return nullptr;
    return it->second;
}

void Client::dropIteration(int32_t handle) {
    std::lock_guard lock(mutex_);
    iterations_.erase(handle);
}

void Client::finishIteration(bool done, std::shared_ptr<Iteration> iteration, int32_t& handle) {
    if (done) {
        if (handle != -1)
            dropIteration(handle);
        handle = -1;
    } else if (handle == -1) {
        registerIteration(std::move(iteration), handle);
    }
}

int32_t Client::closeIteration(Context context, int32_t iteration) {
    if (int32_t result = checkContext(context); result != SUCCESS)
        return result;
    if (iteration == -1)
        return SUCCESS;
    std::lock_guard lock(mutex_);
    return iterations_.erase(iteration) ? SUCCESS : ERR_INVALID_ITERATION;
}

// ------------------------------------------------------------------ reading
int32_t Client::read(Context context, const std::string& objectName, uint32_t infoType, bool allAttributes,
                     Buffer* request, int32_t& iteration, Buffer* reply) {
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    std::shared_ptr<Iteration> state;
    if (iteration == -1) {
        if (infoType != INFO_ATTRIBUTE_NAMES && infoType != INFO_ATTRIBUTE_VALUES)
            return ERR_INVALID_REQUEST;
        if (!allAttributes && request) {
            if (int32_t result = checkBuffer(request); result != SUCCESS)
                return result;
            if (request->operation != OP_READ)
                return ERR_BAD_VERB;
        }
        Target target;
        if (int32_t result = locate(context, objectName, target); result != SUCCESS)
            return result;
        if (!allAttributes && (!request || request->attributeNames.empty())) {
            // no attribute asked for: the reply only tells that the object exists
            clearReply(*reply, Reply::Read);
            ReplyObject& object = reply->reply.objects.emplace_back();
            object.entry = target.entry;
            object.name = target.entry->fullName();
            reply->reply.currentObject = 0;
            return SUCCESS;
        }
        state = std::make_shared<Iteration>();
        state->kind = Iteration::ReadKind;
        state->owner = context;
        state->entry = target.entry;
        state->entryName = target.entry->fullName();
        state->namesOnly = infoType == INFO_ATTRIBUTE_NAMES;
        if (allAttributes) {
            for (const Attribute& attribute : target.entry->attributes)
                state->attributes.push_back(&attribute);
        } else {
            for (const std::string& name : request->attributeNames) {
                const Attribute* attribute = target.entry->find(schema::nameKey(name));
                if (attribute && std::find(state->attributes.begin(), state->attributes.end(), attribute) ==
                                     state->attributes.end())
                    state->attributes.push_back(attribute);
            }
        }
        if (state->attributes.empty())
            return ERR_NO_SUCH_ATTRIBUTE;
    } else {
        state = findIteration(iteration, Iteration::ReadKind);
        if (!state)
            return ERR_INVALID_ITERATION;
    }

    clearReply(*reply, Reply::Read);
    Reply& out = reply->reply;
    out.namesOnly = state->namesOnly;
    ReplyObject& object = out.objects.emplace_back();
    object.entry = state->entry;
    object.name = state->entryName;
    out.currentObject = 0;
    uint32_t used = buffer_size::HEADER;
    std::size_t items = 0;
    while (state->attribute < state->attributes.size()) {
        const Attribute* attribute = state->attributes[state->attribute];
        uint32_t header = buffer_size::ATTRIBUTE + buffer_size::text(attribute->name);
        if (state->namesOnly) {
            if (used + header > reply->capacity)
                break;
            used += header;
            object.attributes.push_back({attribute, 0, 0});
            ++items;
            ++state->attribute;
            continue;
        }
        const Value& first = attribute->values[state->value];
        if (used + header + buffer_size::VALUE + values::size(first) > reply->capacity)
            break;
        used += header;
        ReplyAttribute& part = object.attributes.emplace_back();
        part.attribute = attribute;
        part.firstValue = state->value;
        while (state->value < attribute->values.size()) {
            uint32_t size = buffer_size::VALUE + values::size(attribute->values[state->value]);
            if (used + size > reply->capacity)
                break;
            used += size;
            ++part.valueCount;
            ++items;
            ++state->value;
        }
        if (state->value < attribute->values.size())
            break;
        state->value = 0;
        ++state->attribute;
    }
    if (items == 0) {
        clearReply(*reply, Reply::None);
        return ERR_INSUFFICIENT_BUFFER;
    }
    finishIteration(state->attribute >= state->attributes.size(), state, iteration);
    return SUCCESS;
}

int32_t Client::attributeDefinition(DirectoryTree& tree, const std::string& name, std::string& canonical,
                                    uint32_t& syntax, bool& multiValued) {
    if (const schema::AttributeDefinition* definition = schema::findAttribute(name)) {
        canonical = std::string(definition->name);
        syntax = definition->syntax;
        multiValued = definition->multiValued;
        return SUCCESS;
    }
    if (auto extra = tree.extraAttribute(schema::nameKey(name))) {
        canonical = extra->first;
        syntax = extra->second;
        multiValued = true;
        return SUCCESS;
    }
    return ERR_NO_SUCH_ATTRIBUTE;
}

int32_t Client::attributeSyntax(Context context, const std::string& attributeName, uint32_t& syntax) {
    ContextState state;
    if (int32_t result = contextState(context, state); result != SUCCESS)
        return result;
    if (const schema::AttributeDefinition* definition = schema::findAttribute(attributeName)) {
        syntax = definition->syntax;
        return SUCCESS;
    }
    if (DirectoryTree* tree = this->tree(state.tree))
        if (auto extra = tree->extraAttribute(schema::nameKey(attributeName))) {
            syntax = extra->second;
            return SUCCESS;
        }
    return ERR_NO_SUCH_ATTRIBUTE;
}

int32_t Client::objectInfo(Context context, const std::string& objectName, std::string& distinguishedName,
                           ObjectInfo& info) {
    Target target;
    if (int32_t result = locate(context, objectName, target); result != SUCCESS)
        return result;
    distinguishedName = target.entry->fullName();
    info = target.tree->info(*target.entry);
    return SUCCESS;
}

// ------------------------------------------------------------------ writing
int32_t Client::resolveNameValue(const ContextState& context, DirectoryTree& tree, std::string& name) {
    names::Components components;
    if (int32_t result = names::resolve(name, context.nameContext, components); result != SUCCESS)
        return result;
    EntryPtr target = tree.find(components);
    if (!target)
        return ERR_NO_SUCH_ENTRY;
    name = target->fullName();
    return SUCCESS;
}

int32_t Client::addValue(const ContextState& context, DirectoryTree& tree, Entry& entry,
                         const std::string& attributeName, const Value& value) {
    std::string canonical;
    uint32_t syntax = 0;
    bool multiValued = true;
    if (int32_t result = attributeDefinition(tree, attributeName, canonical, syntax, multiValued);
        result != SUCCESS)
        return result;
    if (!values::fitsSyntax(syntax, value))
        return ERR_SYNTAX_VIOLATION;
    Value stored = value;
    if (syntax == SYN_CLASS_NAME)
        if (const schema::ClassDefinition* known = schema::findClass(std::get<std::string>(stored)))
            stored = std::string(known->name); // the directory's spelling of a known class
    if (values::isNameSyntax(syntax))
        if (int32_t result = resolveNameValue(context, tree, std::get<std::string>(stored));
            result != SUCCESS)
            return result;
    std::string key = schema::nameKey(canonical);
    Attribute* attribute = entry.find(key);
    if (!attribute) {
        attribute = &entry.attributes.emplace_back();
        attribute->setName(canonical);
        attribute->syntax = syntax;
    }
    if (!attribute->values.empty() && !multiValued)
        return ERR_SINGLE_VALUED;
    for (const Value& existing : attribute->values)
        if (values::equal(syntax, existing, stored))
            return ERR_DUPLICATE_VALUE;
    attribute->values.push_back(std::move(stored));
    return SUCCESS;
}

int32_t Client::modifyObject(Context context, const std::string& objectName, Buffer* request) {
    if (int32_t result = checkBuffer(request); result != SUCCESS)
        return result;
    if (request->operation != OP_MODIFY)
        return ERR_BAD_VERB;
    Target target;
    if (int32_t result = locate(context, objectName, target); result != SUCCESS)
        return result;
    if (target.entry->id == 0)
        return ERR_INVALID_REQUEST;
    DirectoryTree& tree = *target.tree;
    std::lock_guard writeLock(tree.writeMutex());
    EntryPtr current = tree.findById(target.entry->id);
    if (!current)
        return ERR_NO_SUCH_ENTRY;
    auto changed = std::make_shared<Entry>(*current);
    for (const RequestChange& change : request->changes) {
        std::string canonical;
        uint32_t syntax = 0;
        bool multiValued = true;
        if (int32_t result = attributeDefinition(tree, change.attributeName, canonical, syntax, multiValued);
            result != SUCCESS)
            return result;
        std::string key = schema::nameKey(canonical);
        switch (change.kind) {
        case CHANGE_CLEAR_ATTRIBUTE:
            std::erase_if(changed->attributes, [&](const Attribute& a) { return a.key == key; });
            break;
        case CHANGE_ADD_ATTRIBUTE:
            if (!changed->find(key)) {
                Attribute& attribute = changed->attributes.emplace_back();
                attribute.setName(canonical);
                attribute.syntax = syntax;
            }
            break;
        case CHANGE_ADD_VALUE:
            if (change.values.empty())
                return ERR_INVALID_REQUEST;
            for (const auto& [valueSyntax, value] : change.values)
                if (int32_t result = addValue(target.context, tree, *changed, canonical, value);
                    result != SUCCESS)
                    return result;
            break;
        default:
            return ERR_INVALID_REQUEST;
        }
    }
    std::erase_if(changed->attributes, [](const Attribute& a) { return a.values.empty(); });
    const Attribute* classes = changed->find(OBJECT_CLASS_KEY);
    if (!classes || classes->values.empty())
        return ERR_MISSING_MANDATORY;
    changed->modificationTime = now();
    std::string error;
    if (!store_->updateEntry(*changed, error))
        return ERR_SYSTEM_FAILURE;
    tree.replace(changed);
    return SUCCESS;
}

int32_t Client::addObject(Context context, const std::string& objectName, Buffer* request) {
    if (int32_t result = checkBuffer(request); result != SUCCESS)
        return result;
    if (request->operation != OP_ADD_ENTRY)
        return ERR_BAD_VERB;
    ContextState state;
    DirectoryTree* tree = nullptr;
    if (int32_t result = contextTree(context, state, tree); result != SUCCESS)
        return result;
    names::Components components;
    if (int32_t result = names::resolve(objectName, state.nameContext, components); result != SUCCESS)
        return result;
    if (components.empty())
        return ERR_ENTRY_ALREADY_EXISTS; // the root
    std::lock_guard writeLock(tree->writeMutex());
    if (tree->find(components))
        return ERR_ENTRY_ALREADY_EXISTS;
    EntryPtr parent = tree->findByKey(names::key(components, 1));
    if (!parent)
        return ERR_NO_SUCH_ENTRY;
    auto entry = std::make_shared<Entry>();
    entry->parentId = parent->id;
    entry->components = components;
    for (const RequestAttribute& attribute : request->addAttributes) {
        std::string canonical;
        uint32_t syntax = 0;
        bool multiValued = true;
        if (int32_t result = attributeDefinition(*tree, attribute.name, canonical, syntax, multiValued);
            result != SUCCESS)
            return result;
        for (const auto& [valueSyntax, value] : attribute.values)
            if (int32_t result = addValue(state, *tree, *entry, canonical, value); result != SUCCESS)
                return result;
    }
    const Attribute* classes = entry->find(OBJECT_CLASS_KEY);
    if (!classes || classes->values.empty())
        return ERR_MISSING_MANDATORY;
    entry->rdnType = schema::rdnTypeForClass(entry->baseClass());
    entry->modificationTime = now();
    std::string error;
    if (!store_->insertEntry(tree->name(), *entry, error))
        return ERR_SYSTEM_FAILURE;
    tree->insert(entry);
    return SUCCESS;
}

int32_t Client::removeObject(Context context, const std::string& objectName) {
    Target target;
    if (int32_t result = locate(context, objectName, target); result != SUCCESS)
        return result;
    if (target.entry->id == 0)
        return ERR_INVALID_REQUEST;
    DirectoryTree& tree = *target.tree;
    std::lock_guard writeLock(tree.writeMutex());
    if (!tree.findById(target.entry->id))
        return ERR_NO_SUCH_ENTRY;
    if (tree.subordinateCount(target.entry->id) > 0)
        return ERR_ENTRY_NOT_LEAF;
    std::string error;
    if (!store_->deleteEntry(target.entry->id, error))
        return ERR_SYSTEM_FAILURE;
    tree.remove(target.entry->id);
    return SUCCESS;
}

// ------------------------------------------------------------------ searches and lists
int32_t Client::fillObjects(Iteration& state, Buffer* reply) {
    clearReply(*reply, Reply::Objects);
    Reply& out = reply->reply;
    out.namesOnly = state.namesOnly;
    uint32_t used = buffer_size::HEADER;
    while (state.position < state.results.size()) {
        const EntryPtr& entry = state.results[state.position];
        ReplyObject object;
        object.entry = entry;
        object.name = state.leafNames ? names::escapeComponent(entry->rdn()) : entry->fullName();
        object.info = state.tree->info(*entry);
        uint32_t size =
            buffer_size::OBJECT + buffer_size::text(object.name) + buffer_size::text(object.info.baseClass);
        auto take = [&](const Attribute& attribute) {
            size += buffer_size::ATTRIBUTE + buffer_size::text(attribute.name);
            std::size_t count = state.namesOnly ? 0 : attribute.values.size();
            for (std::size_t i = 0; i < count; ++i)
                size += buffer_size::VALUE + values::size(attribute.values[i]);
            object.attributes.push_back({&attribute, 0, count});
        };
        if (state.allAttributes) {
            for (const Attribute& attribute : entry->attributes)
                take(attribute);
        } else {
            for (const std::string& key : state.attributeKeys)
                if (const Attribute* attribute = entry->find(key))
                    take(*attribute);
        }
        if (used + size > reply->capacity) {
            if (out.objects.empty()) {
                clearReply(*reply, Reply::None);
                return ERR_INSUFFICIENT_BUFFER;
            }
            break;
        }
        used += size;
        out.objects.push_back(std::move(object));
        ++state.position;
    }
    return SUCCESS;
}

int32_t Client::search(Context context, const std::string& baseName, int32_t scope, Buffer* filterRequest,
                       uint32_t infoType, bool allAttributes, Buffer* attributeNames, int32_t& iteration,
                       int32_t* countSearched, Buffer* reply) {
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    std::shared_ptr<Iteration> state;
    if (iteration == -1) {
        if (scope < SCOPE_BASE || scope > SCOPE_SUBTREE ||
            (infoType != INFO_ATTRIBUTE_NAMES && infoType != INFO_ATTRIBUTE_VALUES))
            return ERR_INVALID_REQUEST;
        std::shared_ptr<const Filter> filter;
        if (filterRequest) {
            if (int32_t result = checkBuffer(filterRequest); result != SUCCESS)
                return result;
            if (filterRequest->operation != OP_SEARCH_FILTER)
                return ERR_BAD_VERB;
            filter = filterRequest->filter;
        }
        std::vector<std::string> keys;
        if (!allAttributes && attributeNames) {
            if (int32_t result = checkBuffer(attributeNames); result != SUCCESS)
                return result;
            if (attributeNames->operation != OP_SEARCH && attributeNames->operation != OP_READ)
                return ERR_BAD_VERB;
            for (const std::string& name : attributeNames->attributeNames)
                keys.push_back(schema::nameKey(name));
        }
        Target target;
        if (int32_t result = locate(context, baseName, target); result != SUCCESS)
            return result;
        state = std::make_shared<Iteration>();
        state->kind = Iteration::ObjectsKind;
        state->owner = context;
        state->tree = target.tree;
        state->namesOnly = infoType == INFO_ATTRIBUTE_NAMES;
        state->allAttributes = allAttributes;
        state->attributeKeys = std::move(keys);
        state->results = target.tree->collect(
            target.entry, scope, [&filter](const Entry& entry) { return !filter || filter->matches(entry); });
    } else {
        state = findIteration(iteration, Iteration::ObjectsKind);
        if (!state)
            return ERR_INVALID_ITERATION;
    }
    if (int32_t result = fillObjects(*state, reply); result != SUCCESS)
        return result;
    if (countSearched)
        *countSearched = static_cast<int32_t>(state->results.size());
    finishIteration(state->position >= state->results.size(), state, iteration);
    return SUCCESS;
}

int32_t Client::list(Context context, const std::string& parentName, bool containersOnly, int32_t& iteration,
                     Buffer* reply) {
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    std::shared_ptr<Iteration> state;
    if (iteration == -1) {
        Target target;
        if (int32_t result = locate(context, parentName, target); result != SUCCESS)
            return result;
        state = std::make_shared<Iteration>();
        state->kind = Iteration::ObjectsKind;
        state->owner = context;
        state->tree = target.tree;
        state->leafNames = true;
        state->namesOnly = true;
        for (EntryPtr& child : target.tree->children(target.entry->id))
            if (!containersOnly ||
                (target.tree->info(*child).entryFlags & (ENTRY_CONTAINER | ENTRY_CONTAINER_ALIAS)))
                state->results.push_back(std::move(child));
    } else {
        state = findIteration(iteration, Iteration::ObjectsKind);
        if (!state)
            return ERR_INVALID_ITERATION;
    }
    if (int32_t result = fillObjects(*state, reply); result != SUCCESS)
        return result;
    finishIteration(state->position >= state->results.size(), state, iteration);
    return SUCCESS;
}

int32_t Client::listPartitions(Context context, const std::string& serverName, int32_t& iteration,
                               Buffer* reply) {
    if (int32_t result = checkBuffer(reply); result != SUCCESS)
        return result;
    std::shared_ptr<Iteration> state;
    if (iteration == -1) {
        Target server;
        if (int32_t result = locate(context, serverName, server); result != SUCCESS)
            return result;
        const std::string serverKey = server.entry->key();
        state = std::make_shared<Iteration>();
        state->kind = Iteration::PartitionsKind;
        state->owner = context;
        std::vector<EntryPtr> roots =
            server.tree->collect(server.tree->root(), SCOPE_SUBTREE,
                                 [](const Entry& entry) { return entry.find(REPLICA_KEY) != nullptr; });
        for (const EntryPtr& root : roots)
            for (const Value& value : root->find(REPLICA_KEY)->values) {
                const auto& replica = std::get<ReplicaPointer>(value);
                names::Components components;
                bool absolute = false;
                if (names::parse(replica.serverName, components, absolute) == SUCCESS &&
                    names::key(components) == serverKey) {
                    state->partitions.emplace_back(root->fullName(), replica.replicaType);
                    break;
                }
            }
        if (state->partitions.empty())
            return ERR_NO_MORE_PARTITIONS;
    } else {
        state = findIteration(iteration, Iteration::PartitionsKind);
        if (!state)
            return ERR_INVALID_ITERATION;
    }
    clearReply(*reply, Reply::Partitions);
    uint32_t used = buffer_size::HEADER;
    while (state->position < state->partitions.size()) {
        const auto& partition = state->partitions[state->position];
        uint32_t size = buffer_size::PARTITION + buffer_size::text(partition.first);
        if (used + size > reply->capacity)
            break;
        used += size;
        reply->reply.partitions.push_back(partition);
        ++state->position;
    }
    if (reply->reply.partitions.empty()) {
        clearReply(*reply, Reply::None);
        return ERR_INSUFFICIENT_BUFFER;
    }
    finishIteration(state->position >= state->partitions.size(), state, iteration);
    return SUCCESS;
}

} // namespace nwclient
