#pragma once

#include "browser/forms/CollectionController.h"

#include <functional>

namespace browser {

struct Forms;
class Services;
class StartupSequence;

// The collections' environment in the program: the start-up's trees, settings and data
// directory, the window's dialogs for the tree opening, and the record lists' own sort. Before the
// start-up is attached there are no trees and the settings are the defaults.
class WindowCollectionEnvironment : public CollectionEnvironment {
public:
    // startup gives the start-up state (null while there is none); resort sorts a record list in
    // text order.
    WindowCollectionEnvironment(Services& services, const Forms& forms,
                                std::function<StartupSequence*()> startup,
                                std::function<void(RecordListKind)> resort);

    TreeList& Trees() override;
    std::vector<std::string> SelectedTrees() override;
    std::string DataDirectory() override;
    const CormelianSettings& Settings() override;
    const ClassIconNumbers& Icons() override;
    void ResortRecordList(RecordListKind list) override;
    void ShowStatus(const std::string& text) override;

    bool ConfirmBrowse(const std::string& text) override;
    std::string BrowseForLocator(ContextHandle context) override;
    bool WarnSeveralLocators(const std::string& caption) override;
    void ShowMessage(const std::string& text) override;

private:
    Services& services_;
    const Forms& forms_;
    std::function<StartupSequence*()> startup_;
    std::function<void(RecordListKind)> resort_;
    TreeList noTrees_;
    CormelianSettings defaultSettings_;
    ClassIconNumbers noIcons_;
};

} // namespace browser
