#include "platform/nwclient/DirectoryTree.h"

#include "platform/nwclient/Schema.h"

#include <algorithm>

namespace nwclient {
namespace {

const std::string OBJECT_CLASS_KEY = schema::nameKey("Object Class");
const std::string ALIASED_OBJECT_KEY = schema::nameKey("Aliased Object Name");

} // namespace

void Attribute::setName(std::string_view attributeName) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::unique_ptr<const std::pair<std::string, std::string>>>
        interned;
    std::lock_guard lock(mutex);
    auto it = interned.find(std::string(attributeName));
    if (it == interned.end())
        it = interned
                 .emplace(std::string(attributeName),
                          std::make_unique<const std::pair<std::string, std::string>>(
                              std::string(attributeName), schema::nameKey(attributeName)))
                 .first;
    name = it->second->first;
    key = it->second->second;
}

std::string Entry::baseClass() const {
    if (id == 0)
        return "Tree Root";
    const Attribute* classes = find(OBJECT_CLASS_KEY);
    if (!classes || classes->values.empty())
        return {};
    const auto* name = std::get_if<std::string>(&classes->values.front());
    return name ? *name : std::string();
}

bool Entry::containerClass() const {
    const schema::ClassDefinition* definition = schema::findClass(baseClass());
    return definition && definition->container;
}

const Attribute* Entry::find(std::string_view attributeKey) const {
    for (const Attribute& attribute : attributes)
        if (attribute.key == attributeKey)
            return &attribute;
    return nullptr;
}

Attribute* Entry::find(std::string_view attributeKey) {
    for (Attribute& attribute : attributes)
        if (attribute.key == attributeKey)
            return &attribute;
    return nullptr;
}

void Entry::compact() {
    components.shrink_to_fit();
    attributes.shrink_to_fit();
    for (Attribute& attribute : attributes)
        attribute.values.shrink_to_fit();
}

DirectoryTree::DirectoryTree(std::string name) : name_(std::move(name)) {
    auto root = std::make_shared<Entry>();
    root->id = 0;
    root->parentId = -1;
    root_ = root;
    byKey_.emplace(std::string(), root_);
    byId_.emplace(0, root_);
}

EntryPtr DirectoryTree::find(const names::Components& components) const {
    return findByKey(names::key(components));
}

EntryPtr DirectoryTree::findByKey(const std::string& key) const {
    std::shared_lock lock(mutex_);
    auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

EntryPtr DirectoryTree::findById(int64_t id) const {
    std::shared_lock lock(mutex_);
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

std::vector<EntryPtr> DirectoryTree::children(int64_t id) const {
    std::vector<EntryPtr> out;
    std::shared_lock lock(mutex_);
    auto it = children_.find(id);
    if (it == children_.end())
        return out;
    out.reserve(it->second.size());
    for (const auto& [lowerRdn, childId] : it->second)
        out.push_back(byId_.at(childId));
    return out;
}

uint32_t DirectoryTree::subordinateCount(int64_t id) const {
    std::shared_lock lock(mutex_);
    auto it = children_.find(id);
    return it == children_.end() ? 0 : static_cast<uint32_t>(it->second.size());
}

uint32_t DirectoryTree::flagsLocked(const Entry& entry) const {
    if (entry.id == 0)
        return ENTRY_CONTAINER;
    const std::string baseClass = entry.baseClass();
    if (names::equalsIgnoreCase(baseClass, "Alias")) {
        uint32_t flags = ENTRY_ALIAS;
        if (const Attribute* target = entry.find(ALIASED_OBJECT_KEY); target && !target->values.empty()) {
            if (const auto* targetName = std::get_if<std::string>(&target->values.front())) {
                names::Components components;
                bool absolute = false;
                if (names::parse(*targetName, components, absolute) == SUCCESS) {
                    auto it = byKey_.find(names::key(components));
                    if (it != byKey_.end() && flagsLocked(*it->second) & ENTRY_CONTAINER)
                        flags |= ENTRY_CONTAINER_ALIAS;
                }
            }
        }
        return flags;
    }
    auto kids = children_.find(entry.id);
    bool hasSubordinates = kids != children_.end() && !kids->second.empty();
    return entry.containerClass() || hasSubordinates ? ENTRY_CONTAINER : 0;
}

ObjectInfo DirectoryTree::info(const Entry& entry) const {
    ObjectInfo info;
    std::shared_lock lock(mutex_);
    info.entryFlags = flagsLocked(entry);
    auto kids = children_.find(entry.id);
    info.subordinateCount = kids == children_.end() ? 0 : static_cast<uint32_t>(kids->second.size());
    info.modificationTime = entry.modificationTime;
    info.baseClass = entry.baseClass();
    return info;
}

std::vector<EntryPtr> DirectoryTree::allEntries() const {
    std::vector<EntryPtr> out;
    {
        std::shared_lock lock(mutex_);
        out.reserve(byId_.size());
        for (const auto& [id, entry] : byId_)
            if (id != 0)
                out.push_back(entry);
    }
    std::sort(out.begin(), out.end(), [](const EntryPtr& a, const EntryPtr& b) { return a->id < b->id; });
    return out;
}

std::size_t DirectoryTree::size() const {
    std::shared_lock lock(mutex_);
    return byId_.size() - 1;
}

std::optional<std::pair<std::string, uint32_t>> DirectoryTree::extraAttribute(const std::string& key) const {
    std::shared_lock lock(mutex_);
    auto it = extraAttributes_.find(key);
    if (it == extraAttributes_.end())
        return std::nullopt;
    return it->second;
}

void DirectoryTree::indexLocked(const EntryPtr& entry) {
    byKey_[entry->key()] = entry;
    byId_[entry->id] = entry;
    children_[entry->parentId][names::lowerAscii(entry->rdn())] = entry->id;
    for (const Attribute& attribute : entry->attributes)
        if (!schema::findAttribute(attribute.name))
            extraAttributes_.try_emplace(std::string(attribute.key), std::string(attribute.name),
                                         attribute.syntax);
}

void DirectoryTree::insert(EntryPtr entry) {
    std::unique_lock lock(mutex_);
    indexLocked(entry);
}

void DirectoryTree::replace(EntryPtr entry) {
    std::unique_lock lock(mutex_);
    indexLocked(entry);
}

void DirectoryTree::remove(int64_t id) {
    std::unique_lock lock(mutex_);
    auto it = byId_.find(id);
    if (it == byId_.end() || id == 0)
        return;
    EntryPtr entry = it->second;
    byKey_.erase(entry->key());
    byId_.erase(it);
    auto parent = children_.find(entry->parentId);
    if (parent != children_.end())
        parent->second.erase(names::lowerAscii(entry->rdn()));
    children_.erase(id);
}

} // namespace nwclient
