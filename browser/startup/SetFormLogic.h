#pragma once

#include "browser/collection/TreeDirectory.h"
#include "browser/startup/HelperLibrary.h"

#include <optional>
#include <string>
#include <vector>

namespace browser {

// The per-tree settings dialog ("Settings"): the tree's start context for searches (TREES) and
// whether its context reads from the master replica (MASTER), kept in the data directory's
// settings file; optionally the start context as default in the helper library's store.
class SetFormLogic {
public:
    SetFormLogic();

    void SetTree(const std::string& treeName, ContextHandle context) {
        treeName_ = treeName;
        context_ = context;
    }
    const std::string& TreeName() const { return treeName_; }
    ContextHandle Context() const { return context_; }

    // The classes an object may have to serve as the start context (lower case, sorted).
    const std::vector<std::string>& AllowedTopClasses() const { return allowedTopClasses_; }

    struct Shown {
        std::string top;
        bool useMaster = false;
        bool setAsDefaultVisible = false;
    };
    // What the dialog shows when it is activated.
    Shown Activate(const std::string& iniPath, HelperLibrary& helper) const;

    struct Outcome {
        bool accepted = false;
        std::string message;  // shown when not accepted
        std::string shownTop; // the top box's text after an accepted OK
    };
    // OK: validates top (its class must be an allowed one), then stores it in the library's store
    // when setAsDefault is checked and writes TREES and MASTER to the settings file.
    Outcome Accept(std::string top, bool useMaster, bool setAsDefault, const std::string& iniPath,
                   TreeDirectory& directory, HelperLibrary& helper) const;

private:
    std::string treeName_;
    ContextHandle context_ = 0;
    std::vector<std::string> allowedTopClasses_;
};

// The two switches the settings command shows in the dialog (the dialog does not write them):
// SYSTEM showall (default false here) and SYSTEM cache (default true).
struct SettingsDialogSwitches {
    bool showAll = false;
    bool cache = true;
};
SettingsDialogSwitches ReadSettingsDialogSwitches(const std::string& iniPath);

} // namespace browser
