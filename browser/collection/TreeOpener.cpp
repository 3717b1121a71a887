#include "browser/collection/TreeOpener.h"

#include "browser/collection/CormelianSettings.h"
#include "directory/NWHelper.h"
#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/StringList.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>

namespace browser {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> SplitCommaText(const std::string& text) {
    rtl::TStringList list;
    list.SetCommaText(text);
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) {
        items.push_back(list.Strings(i));
    }
    return items;
}

std::string CommaText(const std::vector<std::string>& items) {
    rtl::TStringList list;
    list.AddStrings(items);
    return list.CommaText();
}

std::vector<std::string> SortedValues(ContextHandle context, const std::string& object,
                                      const std::string& attribute) {
    rtl::TStringList list;
    for (const directory::AttributeValueEntry& entry :
         directory::ReadAttributeValues(context, object, attribute, ';')) {
        list.Add(entry.Text);
    }
    list.Sort();
    std::vector<std::string> values;
    for (int i = 0; i < list.Count(); ++i) {
        values.push_back(list.Strings(i));
    }
    return values;
}

// Rows [first, end) of each list: the tree's object rows, between its tree row and separator.
void SortTreeBlock(TreeRows& rows, std::size_t miscFirst, std::size_t zonesFirst) {
    SortObjectRows(ObjectListKind::Misc, rows.misc, miscFirst, rows.misc.size());
    SortObjectRows(ObjectListKind::Zones, rows.zones, zonesFirst, rows.zones.size());
}

} // namespace

std::string NoLocatorQuestion(const std::string& tree) {
    return "No DNS/DHCP Locator Object found in " + tree +
           " in the search ctxt. Do you want to browse to the object?";
}

TreeOpener::TreeOpener(TreeList& trees, TreeOpenOptions options, LocatorUi& ui)
    : trees_(trees), options_(std::move(options)), ui_(ui) {}

std::string TreeOpener::SettingsPath() const {
    return options_.dataDirectory + kSettingsFileName;
}

int TreeOpener::TreeIndex(const std::string& tree) const {
    const int index = trees_.IndexOf(tree);
    if (index < 0) {
        throw std::runtime_error("Tree " + tree + " is not connected");
    }
    return index;
}

int TreeOpener::IconForAttribute(const LocatorAttribute& attribute) const {
    switch (attribute.kind) {
    case ObjectListKind::Zones:
        return options_.icons.dnsZone;
    case ObjectListKind::Subnets:
        return options_.icons.subnet;
    case ObjectListKind::Misc:
        break;
    }
    const std::string className = LocatorIconClass(attribute.attribute);
    if (className == "DNIP:DNS Server") {
        return options_.icons.dnsServer;
    }
    if (className == "DNIP:DHCP Server") {
        return options_.icons.dhcpServer;
    }
    if (className == "Group") {
        return options_.icons.group;
    }
    if (className == "DNIP:Subnet Pool") {
        return options_.icons.subnetPool;
    }
    return -1;
}

void TreeOpener::AddTreeRows(const std::string& tree, int index, TreeRows& rows) const {
    ObjectRow misc;
    misc.caption = tree;
    misc.state = kStateTree;
    misc.data = index;
    rows.misc.push_back(misc);
    ObjectRow listed;
    listed.caption = tree;
    listed.image = options_.icons.tree;
    listed.state = kStateChecked;
    listed.data = index;
    rows.zones.push_back(listed);
    rows.subnets.push_back(listed);
}

void TreeOpener::AddReferenceRow(const LocatorAttribute& attribute, const std::string& value, int index,
                                 int state, TreeRows& rows) const {
    const int image = IconForAttribute(attribute);
    switch (attribute.kind) {
    case ObjectListKind::Zones:
        rows.zones.push_back(ObjectRow::ForObject(value, image, state, index));
        break;
    case ObjectListKind::Subnets:
        rows.subnets.push_back(ObjectRow::ForObject(value, image, state, index));
        break;
    case ObjectListKind::Misc:
        rows.misc.push_back(ObjectRow::ForObject(value, image, kStateObject, index));
        break;
    }
}

std::vector<std::string> TreeOpener::FindLocators(const std::string& tree, treeobj& object) {
    std::vector<std::string> locators;
    if (!object.locator.empty()) {
        locators = SplitCommaText(object.locator);
        for (std::size_t i = locators.size(); i-- > 0;) {
            if (directory::ProbeObject(object.context, locators[i]) != 0) {
                locators.erase(locators.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
    if (locators.empty()) {
        for (directory::ObjectEntry& entry : directory::SearchObjectsByClass(
                 object.context, {}, kLocatorClass, object.startContext, true, false, true)) {
            locators.push_back(std::move(entry.Name));
        }
    }
    if (locators.empty()) {
        object.locator.clear();
        if (ui_.ConfirmBrowse(NoLocatorQuestion(tree))) {
            std::string chosen = ui_.BrowseForLocator(object.context);
            if (!chosen.empty()) {
                locators.push_back(std::move(chosen));
            }
        }
    }
    if (locators.size() > 1 && !options_.nowarn) {
        if (ui_.WarnSeveralLocators("Tree: " + tree)) {
            ini::IniFile settings(SettingsPath());
            settings.WriteBool("SYSTEM", "nowarn", true);
            settings.UpdateFile();
        }
    }
    object.locatorCount = static_cast<int>(locators.size());
    object.locator = CommaText(locators);
    ini::IniFile settings(SettingsPath());
    settings.WriteString("LOCATOR", tree, object.locator);
    settings.UpdateFile();
    return locators;
}

void TreeOpener::OpenTree(const std::string& tree, TreeRows& rows) {
    std::optional<ini::IniFile> cache;
    if (options_.cache) {
        const fs::path folder = CacheFolder(options_.dataDirectory, tree);
        fs::create_directories(folder);
        for (const char* file : {kLocatorCacheFile, kSubnetCacheFile, kZoneCacheFile}) {
            fs::remove(folder / file);
        }
        cache.emplace((folder / kLocatorCacheFile).string());
    }
    // Sections are written once, after every locator was read, so that with several locators each
    // holds all their values numbered from 0.
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    auto flush = [&] {
        if (!cache) {
            return;
        }
        for (const auto& [section, values] : sections) {
            WriteCacheList(*cache, section, values);
        }
        cache->UpdateFile();
    };
    try {
        const int index = TreeIndex(tree);
        treeobj& object = trees_.Object(index);
        object.locatorCount = 0;
        const std::vector<std::string> locators = FindLocators(tree, object);

        const std::size_t miscFirst = rows.misc.size() + 1;
        const std::size_t zonesFirst = rows.zones.size() + 1;
        AddTreeRows(tree, index, rows);
        if (cache) {
            WriteCacheList(*cache, kLocatorSection, locators);
        }
        for (const std::string& locator : locators) {
            rows.misc.push_back(ObjectRow::ForObject(locator, options_.icons.locator, kStateObject, index));
        }
        for (const std::string& locator : locators) {
            if (directory::ReadAttributeText(object.context, locator, kGroupReferenceAttribute, false)
                    .empty()) {
                ui_.ShowMessage(kGroupMissingMessage);
            }
            for (const LocatorAttribute& attribute : LocatorAttributes()) {
                const std::vector<std::string> values =
                    SortedValues(object.context, locator, attribute.attribute);
                if (values.empty()) {
                    continue;
                }
                auto section = std::find_if(sections.begin(), sections.end(), [&](const auto& s) {
                    return s.first == attribute.CacheSection();
                });
                if (section == sections.end()) {
                    sections.emplace_back(attribute.CacheSection(), std::vector<std::string>{});
                    section = sections.end() - 1;
                }
                for (const std::string& value : values) {
                    section->second.push_back(value);
                    AddReferenceRow(attribute, value, index, kStateChecked, rows);
                }
            }
        }
        SortTreeBlock(rows, miscFirst, zonesFirst);

        ObjectRow separator;
        rows.misc.push_back(separator);
        separator.data = kSeparatorData;
        rows.zones.push_back(separator);
        rows.subnets.push_back(separator);
    } catch (...) {
        try {
            flush();
        } catch (...) {
            // The directory failure is the one to report.
        }
        throw;
    }
    flush();
}

bool TreeOpener::LoadTreeFromCache(const std::string& tree, rtl::TDateTime now, TreeRows& rows,
                                   SpareRows* spare) {
    const fs::path folder = CacheFolder(options_.dataDirectory, tree);
    if (!fs::exists(folder / kLocatorCacheFile)) {
        return false;
    }
    const ini::IniFile locatorCache((folder / kLocatorCacheFile).string());
    std::optional<ini::IniFile> zones;
    std::optional<ini::IniFile> subnets;
    if (fs::exists(folder / kZoneCacheFile)) {
        zones.emplace((folder / kZoneCacheFile).string());
    }
    if (fs::exists(folder / kSubnetCacheFile)) {
        subnets.emplace((folder / kSubnetCacheFile).string());
    }

    const int index = TreeIndex(tree);
    const std::size_t miscFirst = rows.misc.size() + 1;
    const std::size_t zonesFirst = rows.zones.size() + 1;
    const std::size_t subnetsFirst = rows.subnets.size() + 1;
    AddTreeRows(tree, index, rows);
    int& skipped = rows.skippedCacheLines;
    for (const std::string& locator : ReadCacheList(locatorCache, kLocatorSection, &skipped)) {
        rows.misc.push_back(ObjectRow::ForObject(locator, options_.icons.locator, kStateObject, index));
    }
    for (const LocatorAttribute& attribute : LocatorAttributes()) {
        if (!locatorCache.SectionExists(attribute.CacheSection())) {
            continue;
        }
        for (const std::string& value : ReadCacheList(locatorCache, attribute.CacheSection(), &skipped)) {
            AddReferenceRow(attribute, value, index, kStateUnchecked, rows);
        }
    }
    SortTreeBlock(rows, miscFirst, zonesFirst);

    CachedRowOrigin origin;
    origin.tree = tree;
    origin.now = now;
    origin.thresholds = options_.ageThresholds;
    // The sections of the zones and subnets the cache holds, their rows made in one block.
    struct CachedSection {
        std::size_t row;
        std::string name;
    };
    auto cachedSections = [](std::vector<ObjectRow>& list, std::size_t first,
                             const std::optional<ini::IniFile>& file, std::size_t& lines) {
        std::vector<CachedSection> sections;
        for (std::size_t i = first; file && i < list.size(); ++i) {
            std::string section = list[i].FullName();
            if (file->SectionExists(section)) {
                list[i].state = kStateChecked;
                lines += file->SectionLineCount(section);
                sections.push_back({i, std::move(section)});
            }
        }
        return sections;
    };
    std::size_t lines = 0;
    const std::vector<CachedSection> zoneSections = cachedSections(rows.zones, zonesFirst, zones, lines);
    const std::vector<CachedSection> subnetSections =
        cachedSections(rows.subnets, subnetsFirst, subnets, lines);
    rows.records.reserve(rows.records.size() + lines);
    for (const CachedSection& section : zoneSections) {
        origin.rowReference = static_cast<int>(section.row);
        AppendZoneCacheRows(*zones, section.name, origin, rows.records, &skipped, spare);
    }
    for (const CachedSection& section : subnetSections) {
        origin.rowReference = static_cast<int>(section.row);
        AppendSubnetCacheRows(*subnets, section.name, origin, rows.records, &skipped, spare);
    }
    return true;
}

} // namespace browser
