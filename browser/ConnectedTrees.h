#pragma once

#include "browser/FormBase.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace browser {

// "Current Connected Trees (without exclude)": the tree-choice dialog, a check list of tree names
// with "More" to connect a further tree.
class TDNSTrees : public FormBase {
    Q_OBJECT
public:
    explicit TDNSTrees(Services& services, QWidget* parent = nullptr);

    QListWidget* treesList; // checkable items
    QPushButton* okButton;
    QPushButton* moreButton;

public slots:
    void okButtonClick();
    void moreButtonClick();
    // A check mark was clicked by the user.
    void treesListClickCheck(QListWidgetItem* item);
};

} // namespace browser
