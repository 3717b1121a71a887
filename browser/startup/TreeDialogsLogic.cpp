#include "browser/startup/TreeDialogsLogic.h"

#include "browser/collection/StartupText.h"
#include "browser/startup/StartupMessages.h"
#include "platform/ini/IniFile.h"

#include <cstdint>
#include <cstdio>

namespace browser {

namespace {
constexpr std::size_t kMaxNameLength = 255;
} // namespace

// ---- DNSTreesLogic

void DNSTreesLogic::Fill(const std::vector<std::string>& names,
                         const std::vector<std::string>& checkedNames) {
    items_.clear();
    for (const auto& name : names)
        items_.push_back({name, IndexOfName(checkedNames, name) >= 0});
}

std::vector<std::string> DNSTreesLogic::CheckedNames() const {
    std::vector<std::string> names;
    for (const auto& item : items_)
        if (item.checked)
            names.push_back(item.name);
    return names;
}

std::optional<std::string> DNSTreesLogic::ShowProblem() const {
    if (context_ == kContextNotSet)
        return std::string(msg::kDNSTreesInternalError);
    return std::nullopt;
}

void DNSTreesLogic::SetChecked(int index, bool checked) {
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return;
    items_[index].checked = checked;
    if (singleSelect_ && checked)
        for (int i = 0; i < static_cast<int>(items_.size()); ++i)
            if (i != index)
                items_[i].checked = false;
}

bool DNSTreesLogic::AddMoreTree(const std::string& chosenTree, TreeDirectory& directory, TreeList& trees,
                                TreeConnectionUi& ui) {
    if (chosenTree.empty() || !ConnectTree(directory, trees, context_, chosenTree, ui))
        return false;
    for (auto& item : items_)
        item.checked = false;
    const int existing = [&] {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (SameTextIgnoringCase(items_[i].name, chosenTree))
                return static_cast<int>(i);
        return -1;
    }();
    if (existing >= 0) {
        // Already listed: check it rather than list the tree twice.
        items_[existing].checked = true;
        return true;
    }
    items_.push_back({chosenTree, true});
    return true;
}

// ---- TreesFormLogic

void TreesFormLogic::LoadMoreTrees(const std::string& iniPath) {
    moreTrees_ = ini::IniFile(iniPath).ReadSection("MORE TREES");
}

std::optional<std::string> TreesFormLogic::ShowProblem() const {
    if (context_ == kContextNotSet)
        return std::string(msg::kTreesFormInternalError);
    return std::nullopt;
}

std::vector<std::string> TreesFormLogic::ListTrees(TreeDirectory& directory) const {
    std::vector<std::string> names = directory.ScanAvailableTrees(context_);
    const std::size_t scanned = names.size();
    for (const auto& extra : moreTrees_) {
        bool found = false;
        for (std::size_t i = 0; i < scanned && !found; ++i)
            found = SameTextIgnoringCase(names[i], extra);
        if (!found)
            names.push_back(extra);
    }
    SortUniqueNames(names);
    return names;
}

void TreesFormLogic::Accept(const std::vector<std::string>& selectedNames) {
    if (!selectedNames.empty())
        chosenTree_ = selectedNames.back();
}

bool TreesFormLogic::IsAddress(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!(c == '.' || (c >= '0' && c <= '9')))
            return false;
    return true;
}

std::string TreesFormLogic::TreeNameFromServer(const std::string& reported) {
    std::string name = reported.substr(0, reported.find('\0'));
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return UpperCase(name);
}

TreesFormLogic::AddResult TreesFormLogic::AddTree(const std::string& input, TreeDirectory& directory) {
    AddResult result;
    if (input.empty())
        return result;
    if (!IsAddress(input)) {
        result.name = UpperCase(input);
        return result;
    }
    ConnectionHandle connection = 0;
    const int attached = directory.AttachByAddress(input, connection);
    if (attached != 0 && attached != kAlreadyAttached) {
        char code[16];
        std::snprintf(code, sizeof code, "%08X", static_cast<std::uint32_t>(attached));
        result.message = std::string("Server not found (") + code + ")";
        return result;
    }
    std::string reported;
    if (directory.ConnectionTreeName(connection, reported) == 0) {
        const std::string name = TreeNameFromServer(reported);
        if (!name.empty())
            result.name = name;
    }
    return result;
}

// ---- LoginFormLogic

std::string LoginFormLogic::SetLoginContext(ContextHandle context, TreeDirectory& directory) {
    context_ = context;
    return msg::kLoginCaptionPrefix + directory.GetContextTreeName(context);
}

std::string LoginFormLogic::NormalizeName(const std::string& name) {
    if (!name.empty() && name.front() == '.')
        return name.substr(1, kMaxNameLength);
    return name;
}

LoginFormLogic::UserChoice LoginFormLogic::ChooseUser(const std::string& chosenObject,
                                                      TreeDirectory& directory) const {
    UserChoice choice;
    if (directory.GetObjectBaseClass(context_, chosenObject) != "Alias") {
        choice.name = chosenObject;
        return choice;
    }
    const std::string target = directory.ResolveAlias(context_, chosenObject);
    if (directory.GetObjectBaseClass(context_, target) == "User")
        choice.name = target;
    else
        choice.message = msg::kAliasNotOfUser;
    return choice;
}

std::optional<std::string> LoginFormLogic::Login(const std::string& name, const std::string& password,
                                                 TreeDirectory& directory) const {
    if (directory.Login(context_, name, password) != 0)
        return std::string(msg::kLoginFails);
    return std::nullopt;
}

} // namespace browser
