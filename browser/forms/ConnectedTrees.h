#pragma once

#include "browser/lists/FormBase.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace browser {

class DNSTreesLogic;
class TTreesForm;
class TreeConnectionUi;
class TreeDirectory;
class TreeList;

// "Current Connected Trees (without exclude)": the tree-choice dialog, a check list of tree names
// with "More" to connect a further tree.
class TDNSTrees : public FormBase {
    Q_OBJECT
public:
    explicit TDNSTrees(Services& services, QWidget* parent = nullptr);

    QListWidget* treesList; // checkable items
    QPushButton* okButton;
    QPushButton* moreButton;

    // What "More" works with: the directory, the tree list a connected tree joins, the login's
    // windows and the "Select Tree" dialog. Without them "More" does nothing.
    void SetConnection(TreeDirectory* directory, TreeList* trees, TreeConnectionUi* ui,
                       TTreesForm* treesForm);

    // Shows the dialog modally over choice, which holds the names, their checks, the mode and
    // the context, and follows every change the user makes; returns the modal result.
    int ShowChoice(DNSTreesLogic& choice);

public slots:
    void okButtonClick();
    void moreButtonClick();
    // A check mark was clicked by the user.
    void treesListClickCheck(QListWidgetItem* item);

protected:
    void FormShow() override;

private:
    // Shows the choice's names and checks.
    void ShowItems();

    DNSTreesLogic* choice_ = nullptr;
    TreeDirectory* directory_ = nullptr;
    TreeList* trees_ = nullptr;
    TreeConnectionUi* ui_ = nullptr;
    TTreesForm* treesForm_ = nullptr;
};

} // namespace browser
