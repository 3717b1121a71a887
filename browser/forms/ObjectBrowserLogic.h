#pragma once

// What the object browser ("Select context") does apart from its widgets: which entries a node
// lists and with which icons, the OK rule, the Find search and the trace of the icon loading.

#include "directory/NWHelper.h"
#include "directory/nwextra.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace browser {

// Icon numbers the browser needs by name, looked up once the icon strip is loaded.
struct SpecialClassIcons {
    int DirectoryMap = -1;
    int Volume = -1;
    int User = -1;
    int Person = -1;
    int OrganizationalPerson = -1;

    // The numbers the helper library gives (IconIndexForClass).
    static SpecialClassIcons Lookup();
    // True for the icon of "User", "Person" or "Organizational Person".
    bool IsPersonIcon(int icon) const;
};

// What the browser lists below a node and what it lets the user choose.
struct BrowseFilter {
    bool LeafMode = false;            // leaf objects are listed and may be chosen
    bool AllLeafs = false;            // the "all leafs" box: leaves of any class are listed
    std::vector<std::string> Classes; // a chosen object must have one of them; empty = any

    // Whether the class is in Classes (compared without regard to case).
    bool HasClass(const std::string& className) const;
    // Whether a listed entry gets a node: with leaf selection, a class filter and "all leafs"
    // unchecked, only containers and leaves of a filtered class do.
    bool Shows(bool container, const std::string& className) const;
};

// One node to add below an expanded node.
struct BrowseNode {
    std::string Name;      // the entry's full dotted name
    std::string Text;      // its name component 0, the node's text
    std::string ClassName; // its base class
    int Icon = -1;
    bool HasChildren = false;
};

// The children of the node whose dotted name is parentName: its subordinates (containers only
// without leaf selection) that the filter shows, with their icons, sorted by text without
// regard to case. Raises ENetwareError when the directory fails.
std::vector<BrowseNode> ListBrowseChildren(directory::NWDSContextHandle context,
                                           const std::string& parentName, const BrowseFilter& filter,
                                           const SpecialClassIcons& icons);

// The icon class of a user-like object of class className with the given "Object Class"
// values: className + "-apple" when they hold "posixAccount" and "apple-user",
// className + "-posixAccount" when they hold "posixAccount" only, else className itself.
std::string PersonIconClass(const std::string& className, const std::vector<std::string>& objectClasses);

// Components of a dotted name from the topmost down, unescaped; a trailing "[Root]" adds none.
std::vector<std::string> ComponentsTopDown(const std::string& name);

// The OK button's decision.
enum class OkOutcome {
    Ignore, // nothing selected: nothing happens
    Refuse, // two beeps, the dialog stays open
    Accept, // modal result mrOk
};
struct OkDecision {
    OkOutcome Outcome = OkOutcome::Ignore;
    std::string Chosen; // when not empty, the new chosen object (also on a refusal by class)
};

// Decides OK for the selected node. A node of the start-context path is refused; otherwise the
// chosen object is the node's dotted name, and a non-empty class filter must hold the base
// class that baseClassOf gives for the node (it may raise).
OkDecision DecideOk(const directory::ITreeNode* selected, bool isStartPathNode, const BrowseFilter& filter,
                    const std::function<std::string(const directory::ITreeNode*)>& baseClassOf);

// Where Find searches: the start context, or "[root]" without one.
std::string FindBase(const std::string& startContext);

// Find: the objects below the start context whose own name matches the pattern, sorted
// without regard to case. Raises ENetwareError when the search fails.
std::vector<std::string> FindObjects(directory::NWDSContextHandle context, const std::string& startContext,
                                     const std::string& pattern);

// Replaces the content of the trace file with one line. A file that cannot be written is
// passed over in silence: the trace never stops the caller.
void WriteTraceLine(const std::filesystem::path& file, const std::string& line) noexcept;

} // namespace browser
