#include "browser/backup2.h"

#include "browser/ImageList.h"
#include "browser/Named.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace browser {

TcForm::TcForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("cForm"));
    setWindowTitle(QStringLiteral("Select context"));
    resize(380, 460);

    IL2 = new ImageList(QStringLiteral("IL2"), this);
    TV2 = Named<QTreeWidget>("TV2", this);
    TV2->setHeaderHidden(true);
    TV2->setColumnCount(1);
    lv = Named<QTreeWidget>("lv", this);
    lv->setColumnCount(1);
    lv->setHeaderLabels({QStringLiteral("Select the object or press ESC")});
    lv->setRootIsDecorated(false);
    lv->hide();
    BitBtn2 = Named<QPushButton>("BitBtn2", QStringLiteral("OK"), this);
    BitBtn2->setDefault(true);
    BitBtn1 = Named<QPushButton>("BitBtn1", QStringLiteral("Cancel"), this);
    BitBtn3 = Named<QPushButton>("BitBtn3", QStringLiteral("Find"), this);
    BitBtn3->setToolTip(QStringLiteral("Find an Object"));
    BitBtn4 = Named<QPushButton>("BitBtn4", QStringLiteral("Clear all selections"), this);
    BitBtn4->hide();
    BitBtn5 = Named<QPushButton>("BitBtn5", this);
    BitBtn5->hide();
    All = Named<QCheckBox>("All", QStringLiteral("all leafs"), this);
    All->hide();
    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(50);
    Timer1->setSingleShot(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TV2, 1);
    layout->addWidget(lv, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn3);
    buttons->addWidget(All);
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn5);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    layout->addLayout(buttons);

    connect(BitBtn2, &QPushButton::clicked, this, &TcForm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TcForm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TcForm::BitBtn3Click);
    connect(Timer1, &QTimer::timeout, this, &TcForm::Timer1Timer);
    connect(TV2, &QTreeWidget::itemExpanded, this, &TcForm::TV2Expanding);
    connect(TV2, &QTreeWidget::itemCollapsed, this, &TcForm::TV2Collapsing);
    connect(lv, &QTreeWidget::itemClicked, this, &TcForm::lvSelectItem);
    connect(lv, &QTreeWidget::itemActivated, this, &TcForm::lvSelectItem);
}

void TcForm::BitBtn2Click() {}

void TcForm::BitBtn1Click() {
    setModalResult(mrCancel);
}

void TcForm::BitBtn3Click() {}

void TcForm::Timer1Timer() {}

void TcForm::TV2Expanding(QTreeWidgetItem*) {}

void TcForm::TV2Collapsing(QTreeWidgetItem*) {}

void TcForm::lvSelectItem() {}

} // namespace browser
