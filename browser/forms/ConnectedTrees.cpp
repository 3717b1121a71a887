#include "browser/forms/ConnectedTrees.h"

#include "browser/forms/ReportErrors.h"
#include "browser/forms/TreesUnit.h"
#include "browser/lists/Named.h"
#include "browser/startup/TreeDialogsLogic.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

TDNSTrees::TDNSTrees(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("DNSTrees"));
    setWindowTitle(QStringLiteral("Current Connected Trees (without exclude)"));
    resize(340, 320);

    treesList = Named<QListWidget>("treesList", this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    moreButton = Named<QPushButton>("moreButton", QStringLiteral("More"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treesList);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(moreButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TDNSTrees::okButtonClick);
    connect(moreButton, &QPushButton::clicked, this, &TDNSTrees::moreButtonClick);
    // itemChanged also fires when code checks items; the handler is meant for the user's clicks,
    // so code that fills or checks items does it under a QSignalBlocker.
    connect(treesList, &QListWidget::itemChanged, this, &TDNSTrees::treesListClickCheck);
}

void TDNSTrees::SetConnection(TreeDirectory* directory, TreeList* trees, TreeConnectionUi* ui,
                              TTreesForm* treesForm) {
    directory_ = directory;
    trees_ = trees;
    ui_ = ui;
    treesForm_ = treesForm;
}

int TDNSTrees::ShowChoice(DNSTreesLogic& choice) {
    choice_ = &choice;
    ShowItems();
    const int result = services().showModal(*this);
    choice_ = nullptr;
    return result;
}

void TDNSTrees::FormShow() {
    if (choice_ == nullptr)
        return;
    if (const auto problem = choice_->ShowProblem())
        services().showMessage(QString::fromStdString(*problem));
}

void TDNSTrees::ShowItems() {
    const QSignalBlocker quiet(treesList);
    treesList->clear();
    if (choice_ == nullptr)
        return;
    for (const auto& entry : choice_->Items()) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name), treesList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
    }
}

void TDNSTrees::okButtonClick() {
    setModalResult(mrOk);
}

void TDNSTrees::moreButtonClick() {
    if (choice_ == nullptr || directory_ == nullptr || trees_ == nullptr || ui_ == nullptr ||
        treesForm_ == nullptr)
        return;
    treesForm_->logic().SetContext(choice_->Context());
    if (services().showModal(*treesForm_) != mrOk)
        return;
    const std::string chosen = treesForm_->logic().ChosenTree();
    bool added = false;
    RunReportingErrors(services(), [&] { added = choice_->AddMoreTree(chosen, *directory_, *trees_, *ui_); });
    if (added)
        ShowItems();
}

void TDNSTrees::treesListClickCheck(QListWidgetItem* item) {
    if (choice_ == nullptr || item == nullptr)
        return;
    const int row = treesList->row(item);
    choice_->SetChecked(row, item->checkState() == Qt::Checked);
    // Single-choice mode may have unchecked others.
    const QSignalBlocker quiet(treesList);
    const auto& items = choice_->Items();
    for (int index = 0; index < treesList->count() && index < static_cast<int>(items.size()); ++index)
        treesList->item(index)->setCheckState(items[index].checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace browser
