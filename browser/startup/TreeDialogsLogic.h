#pragma once

#include "browser/collection/TreeConnect.h"
#include "browser/collection/TreeDirectory.h"
#include "browser/collection/TreeObj.h"

#include <optional>
#include <string>
#include <vector>

namespace browser {

// The tree-choice dialog ("Current Connected Trees (without exclude)"): a check list of tree
// names, in single-choice mode at most one checked.
class DNSTreesLogic {
public:
    struct Item {
        std::string name;
        bool checked = false;
    };

    static constexpr ContextHandle kContextNotSet = 0x34512356;

    void SetSingleSelect(bool single) { singleSelect_ = single; }
    bool SingleSelect() const { return singleSelect_; }
    void SetContext(ContextHandle context) { context_ = context; }
    ContextHandle Context() const { return context_; }

    // Fills the list with names; those in checkedNames (case ignored) are checked.
    void Fill(const std::vector<std::string>& names, const std::vector<std::string>& checkedNames = {});
    const std::vector<Item>& Items() const { return items_; }
    std::vector<std::string> CheckedNames() const;

    // The message to show when the dialog is shown before it was given a context, else nothing.
    std::optional<std::string> ShowProblem() const;

    // The user set item index to checked; in single-choice mode every other item is unchecked
    // when it is checked.
    void SetChecked(int index, bool checked);

    // "More": chosenTree came back from the "Select Tree" dialog. When it connects, it joins the
    // list as the only checked item; true when it did.
    bool AddMoreTree(const std::string& chosenTree, TreeDirectory& directory, TreeList& trees,
                     TreeConnectionUi& ui);

private:
    bool singleSelect_ = false;
    ContextHandle context_ = kContextNotSet;
    std::vector<Item> items_;
};

// The "Select Tree" dialog: the trees the workstation sees plus the extra names of the settings
// file ("MORE TREES"), and the "Add" command.
class TreesFormLogic {
public:
    static constexpr ContextHandle kContextNotSet = 0xAA553355;

    void SetContext(ContextHandle context) { context_ = context; }
    ContextHandle Context() const { return context_; }

    // Clears the extra names and fills them with the key names of section "MORE TREES".
    void LoadMoreTrees(const std::string& iniPath);
    const std::vector<std::string>& MoreTrees() const { return moreTrees_; }

    std::optional<std::string> ShowProblem() const;

    // The names to show: the scan of the trees the workstation sees plus the extra names not
    // among them, sorted. Directory errors raise.
    std::vector<std::string> ListTrees(TreeDirectory& directory) const;

    // OK: the chosen name is the last of the selected ones.
    void Accept(const std::vector<std::string>& selectedNames);
    const std::string& ChosenTree() const { return chosenTree_; }

    // "Add" with the input box's text. An address (digits and "." only) is attached to and its
    // tree name asked; any other text is a tree name. Gives the name to add (upper case), or
    // nothing; a failed attach sets message.
    struct AddResult {
        std::optional<std::string> name;
        std::string message;
    };
    static AddResult AddTree(const std::string& input, TreeDirectory& directory);

    // A text made only of digits and "." (and not empty).
    static bool IsAddress(const std::string& text);
    // The tree name a server reports, without its trailing "_" padding, in upper case.
    static std::string TreeNameFromServer(const std::string& reported);

private:
    ContextHandle context_ = kContextNotSet;
    std::vector<std::string> moreTrees_;
    std::string chosenTree_;
};

// The login dialog of a tree the workstation does not see yet.
class LoginFormLogic {
public:
    // Sets the context and gives the dialog's caption "Login into tree: " + its tree name.
    std::string SetLoginContext(ContextHandle context, TreeDirectory& directory);
    ContextHandle Context() const { return context_; }

    // Leaving the Name box: one leading "." is dropped.
    static std::string NormalizeName(const std::string& name);

    // The object browser returned chosenObject for the Name box: an alias of a user gives the
    // user; an alias of anything else gives nothing and message.
    struct UserChoice {
        std::optional<std::string> name;
        std::string message;
    };
    UserChoice ChooseUser(const std::string& chosenObject, TreeDirectory& directory) const;

    // OK: logs in; the message to show (the dialog stays open) on failure, nothing on success.
    std::optional<std::string> Login(const std::string& name, const std::string& password,
                                     TreeDirectory& directory) const;

private:
    ContextHandle context_ = 0;
};

} // namespace browser
