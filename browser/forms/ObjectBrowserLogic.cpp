#include "browser/forms/ObjectBrowserLogic.h"

#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"
#include "platform/commit/FileCommit.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <fstream>

namespace browser {

namespace {

constexpr std::uint32_t kContainerFlags = 4 | 8; // container entry, alias of a container

bool Contains(const std::vector<std::string>& values, const std::string& wanted) {
    return std::any_of(values.begin(), values.end(),
                       [&wanted](const std::string& value) { return rtl::SameText(value, wanted); });
}

bool TextLess(const std::string& a, const std::string& b) {
    return rtl::AnsiCompareText(a, b) < 0;
}

} // namespace

SpecialClassIcons SpecialClassIcons::Lookup() {
    SpecialClassIcons icons;
    icons.DirectoryMap = directory::IconIndexForClass("_directorymap");
    icons.Volume = directory::IconIndexForClass("Volume");
    icons.User = directory::IconIndexForClass("User");
    icons.Person = directory::IconIndexForClass("Person");
    icons.OrganizationalPerson = directory::IconIndexForClass("Organizational Person");
    return icons;
}

bool SpecialClassIcons::IsPersonIcon(int icon) const {
    return icon >= 0 && (icon == User || icon == Person || icon == OrganizationalPerson);
}

bool BrowseFilter::HasClass(const std::string& className) const {
    return Contains(Classes, className);
}

bool BrowseFilter::Shows(bool container, const std::string& className) const {
    if (!LeafMode || Classes.empty() || AllLeafs)
        return true;
    return container || HasClass(className);
}

std::string PersonIconClass(const std::string& className, const std::vector<std::string>& objectClasses) {
    if (!Contains(objectClasses, "posixAccount"))
        return className;
    return className + (Contains(objectClasses, "apple-user") ? "-apple" : "-posixAccount");
}

std::vector<BrowseNode> ListBrowseChildren(directory::NWDSContextHandle context,
                                           const std::string& parentName, const BrowseFilter& filter,
                                           const SpecialClassIcons& icons) {
    const std::vector<directory::ObjectEntry> entries =
        directory::ListSubordinates(context, parentName, true, filter.LeafMode);
    std::vector<BrowseNode> nodes;
    for (const directory::ObjectEntry& entry : entries) {
        const directory::hobject info = entry.Object.value_or(directory::hobject{});
        const bool container = (info.EntryFlags & kContainerFlags) != 0;
        if (!filter.Shows(container, info.ClassName))
            continue;
        BrowseNode node;
        node.Name = entry.Name;
        node.Text = directory::GetNameComponent(entry.Name, 0);
        node.ClassName = info.ClassName;
        node.Icon = directory::IconIndexForClass(info.ClassName);
        node.HasChildren = info.SubordinateCount != 0 || rtl::SameText(info.ClassName, "Volume");
        if (icons.IsPersonIcon(node.Icon)) {
            std::vector<std::string> classes;
            for (const directory::AttributeValueEntry& value :
                 directory::ReadAttributeValues(context, entry.Name, "Object Class", ','))
                classes.push_back(value.Text);
            const std::string iconClass = PersonIconClass(info.ClassName, classes);
            if (iconClass != info.ClassName)
                node.Icon = directory::IconIndexForClass(iconClass);
        }
        nodes.push_back(std::move(node));
    }
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const BrowseNode& a, const BrowseNode& b) { return TextLess(a.Text, b.Text); });
    return nodes;
}

std::vector<std::string> ComponentsTopDown(const std::string& name) {
    std::vector<std::string> components;
    std::string current;
    bool escaped = false;
    for (char c : name) {
        if (escaped) {
            current.push_back(c);
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == '.') {
            components.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty() || !components.empty())
        components.push_back(std::move(current));
    if (!components.empty() && rtl::SameText(components.back(), "[Root]"))
        components.pop_back();
    std::reverse(components.begin(), components.end());
    return components;
}

OkDecision DecideOk(const directory::ITreeNode* selected, bool isStartPathNode, const BrowseFilter& filter,
                    const std::function<std::string(const directory::ITreeNode*)>& baseClassOf) {
    OkDecision decision;
    if (selected == nullptr)
        return decision;
    if (isStartPathNode) {
        decision.Outcome = OkOutcome::Refuse;
        return decision;
    }
    decision.Chosen = directory::NodePathToDN(selected);
    if (!decision.Chosen.empty() && decision.Chosen.front() == '.')
        decision.Chosen.erase(0, 1);
    if (!filter.Classes.empty() && !filter.HasClass(baseClassOf(selected))) {
        decision.Outcome = OkOutcome::Refuse;
        return decision;
    }
    decision.Outcome = OkOutcome::Accept;
    return decision;
}

std::string FindBase(const std::string& startContext) {
    return startContext.empty() ? std::string("[root]") : startContext;
}

std::vector<std::string> FindObjects(directory::NWDSContextHandle context, const std::string& startContext,
                                     const std::string& pattern) {
    std::vector<std::string> hits =
        directory::SearchByPattern(context, FindBase(startContext), pattern, {}, false, nullptr);
    std::stable_sort(hits.begin(), hits.end(), TextLess);
    return hits;
}

void WriteTraceLine(const std::filesystem::path& file, const std::string& line) noexcept {
    try {
        commit::WriteFileAtomically(file.string(), line + "\r\n");
    } catch (...) {
        // The trace is a help for the developer; losing it must not disturb the user.
    }
}

} // namespace browser
