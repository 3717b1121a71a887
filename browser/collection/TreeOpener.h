#pragma once

// Opening a tree: finding its DNS/DHCP locators, listing the objects they reference, and keeping
// the tree's "dnsdhcp.ini"; and rebuilding the same rows from that cache file.

#include "browser/collection/CacheFiles.h"
#include "browser/collection/ObjectRows.h"
#include "browser/collection/TreeObj.h"

#include <string>

namespace browser {

// The questions and messages of a tree's opening; the window answers them with its dialogs.
class LocatorUi {
public:
    virtual ~LocatorUi() = default;
    // A confirmation with Yes and No; true for Yes.
    virtual bool ConfirmBrowse(const std::string& text) = 0;
    // The object browser over the tree's context, showing locators, objects selectable; the chosen
    // object's name, or empty when it was not closed with OK.
    virtual std::string BrowseForLocator(ContextHandle context) = 0;
    // The locator warning with its caption; true when "do not show this warning again" was ticked.
    virtual bool WarnSeveralLocators(const std::string& caption) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

inline constexpr const char* kGroupMissingMessage =
    "Warning DNSDHCP-GROUP object missing, or link is broken!";

// "No DNS/DHCP Locator Object found in <tree> in the search ctxt. Do you want to browse to the object?"
std::string NoLocatorQuestion(const std::string& tree);

struct TreeOpenOptions {
    std::string dataDirectory; // ends with a separator
    bool cache = true;
    bool nowarn = false;
    ClassIconNumbers icons;
    AgeThresholds ageThresholds = kDefaultAgeThresholds;
};

class TreeOpener {
public:
    TreeOpener(TreeList& trees, TreeOpenOptions options, LocatorUi& ui);

    // Reads the tree from the directory, adding its rows to rows as they are found (a failure keeps
    // what was added); with the cache on, rewrites the tree's "dnsdhcp.ini" and deletes its
    // "zones.ini" and "subnets.ini". Sets the tree's locator text and count and writes the text
    // into the settings file. Directory failures raise once the cache file is written and closed.
    void OpenTree(const std::string& tree, TreeRows& rows);

    // Rebuilds the tree's rows from its cache: false (rows untouched) when it has no "dnsdhcp.ini".
    // Zones and subnets with a section in "zones.ini" or "subnets.ini" are checked and their
    // record rows read, with now for the age classes, in the storage of spare rows when given. Reads
    // no directory.
    bool LoadTreeFromCache(const std::string& tree, rtl::TDateTime now, TreeRows& rows,
                           SpareRows* spare = nullptr);

    // The icon of the rows of a locator reference attribute.
    int IconForAttribute(const LocatorAttribute& attribute) const;

private:
    int TreeIndex(const std::string& tree) const;
    std::vector<std::string> FindLocators(const std::string& tree, treeobj& object);
    void AddTreeRows(const std::string& tree, int index, TreeRows& rows) const;
    void AddReferenceRow(const LocatorAttribute& attribute, const std::string& value, int index, int state,
                         TreeRows& rows) const;
    std::string SettingsPath() const;

    TreeList& trees_;
    TreeOpenOptions options_;
    LocatorUi& ui_;
};

} // namespace browser
