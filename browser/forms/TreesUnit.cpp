#include "browser/forms/TreesUnit.h"

#include "browser/forms/ReportErrors.h"
#include "browser/lists/Named.h"
#include "browser/startup/StartupMessages.h"

#include <QApplication>
#include <QCursor>

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace browser {

TTreesForm::TTreesForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("TreesForm"));
    setWindowTitle(QStringLiteral("Select Tree"));
    resize(300, 320);

    treesBox = Named<QListWidget>("treesBox", this);
    // Several names may be selected; OK takes the last of them.
    treesBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    addButton = Named<QPushButton>("addButton", QStringLiteral("Add"), this);
    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(50);
    Timer1->setSingleShot(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treesBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TTreesForm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
    connect(addButton, &QPushButton::clicked, this, &TTreesForm::addButtonClick);
    connect(Timer1, &QTimer::timeout, this, &TTreesForm::Timer1Timer);
}

void TTreesForm::FormShow() {
    if (const auto problem = logic_.ShowProblem())
        services().showMessage(QString::fromStdString(*problem));
    // Filled once per show: the scan may take a while, so the list first says so.
    treesBox->clear();
    treesBox->addItem(QString::fromLatin1(msg::kTreesFormWait));
    Timer1->start();
}

void TTreesForm::Timer1Timer() {
    Timer1->stop();
    treesBox->clear();
    if (directory_ == nullptr)
        return;
    RunReportingErrors(services(), [this] {
        for (const std::string& name : logic_.ListTrees(*directory_))
            treesBox->addItem(QString::fromStdString(name));
    });
}

void TTreesForm::okButtonClick() {
    std::vector<std::string> selected;
    for (int row = 0; row < treesBox->count(); ++row)
        if (treesBox->item(row)->isSelected())
            selected.push_back(treesBox->item(row)->text().toStdString());
    logic_.Accept(selected);
    setModalResult(mrOk);
}

void TTreesForm::addButtonClick() {
    QString text;
    if (!services().inputQuery(QString::fromLatin1(msg::kNewTreeTitle),
                               QString::fromLatin1(msg::kNewTreePrompt), text) ||
        text.isEmpty() || directory_ == nullptr)
        return;
    const std::string input = text.toStdString();
    TreesFormLogic::AddResult added;
    const bool address = TreesFormLogic::IsAddress(input);
    if (address)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    RunReportingErrors(services(), [&] { added = TreesFormLogic::AddTree(input, *directory_); });
    if (address)
        QApplication::restoreOverrideCursor();
    if (added.name)
        treesBox->addItem(QString::fromStdString(*added.name));
    else if (!added.message.empty())
        services().showMessage(QString::fromStdString(added.message));
}

} // namespace browser
