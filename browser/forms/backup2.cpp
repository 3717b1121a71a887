#include "browser/forms/backup2.h"

#include "browser/lists/BusyCursor.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/Named.h"
#include "directory/Tolvex.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace browser {

namespace {

const QString kNoContextText = QStringLiteral("Internal Error, context Handle not set");
const QString kRootText = QStringLiteral("[ROOT]");

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

// ---------------------------------------------------------------- tree nodes

ObjectTreeItem::ObjectTreeItem(const QString& text) : QTreeWidgetItem(kType) {
    setText(0, text);
}

std::string ObjectTreeItem::Text() const {
    return text(0).toStdString();
}

const directory::ITreeNode* ObjectTreeItem::Parent() const {
    return dynamic_cast<const ObjectTreeItem*>(parent());
}

// ---------------------------------------------------------------- the form

TcForm::TcForm(Services& services, QWidget* parent)
    : FormBase(services, parent), endProgram_([] { QCoreApplication::exit(1); }) {
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

    TV2->installEventFilter(this);
    lv->installEventFilter(this);

    connect(BitBtn2, &QPushButton::clicked, this, &TcForm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TcForm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TcForm::BitBtn3Click);
    connect(Timer1, &QTimer::timeout, this, &TcForm::Timer1Timer);
    connect(TV2, &QTreeWidget::itemExpanded, this, &TcForm::TV2Expanding);
    connect(TV2, &QTreeWidget::itemCollapsed, this, &TcForm::TV2Collapsing);
    connect(lv, &QTreeWidget::itemClicked, this, &TcForm::lvSelectItem);
    connect(lv, &QTreeWidget::itemActivated, this, &TcForm::lvSelectItem);
}

// ---------------------------------------------------------------- configuration

void TcForm::SetContext(directory::NWDSContextHandle context) {
    std::string treeName;
    try {
        treeName = directory::GetContextTreeName(context);
    } catch (const std::exception&) {
        treeName.clear(); // a context without a tree: nothing loaded for another tree may stay
    }
    context_ = context;
    if (treeName != treeName_ || treeName.empty())
        ClearTree();
    treeName_ = treeName;
    contextSet_ = true;
}

void TcForm::SetStartContext(const QString& name) {
    if (name == startContext_)
        return;
    startContext_ = name;
    ClearTree();
}

void TcForm::SetLeafMode(bool on) {
    if (on == leafMode_)
        return;
    leafMode_ = on;
    All->setVisible(on);
    ClearTree();
}

void TcForm::SetAllLeafs(bool on) {
    All->setChecked(on);
}

void TcForm::AddClassFilter(const QString& className) {
    classFilter_.push_back(className.toStdString());
}

void TcForm::ClearClassFilter() {
    classFilter_.clear();
    if (!All->isChecked())
        ClearTree();
}

BrowseFilter TcForm::Filter() const {
    BrowseFilter filter;
    filter.LeafMode = leafMode_;
    filter.AllLeafs = All->isChecked();
    filter.Classes = classFilter_;
    return filter;
}

void TcForm::ClearTree() {
    TV2->clear();
}

// ---------------------------------------------------------------- icons

int TcForm::InitIcons() {
    if (iconsLoaded_)
        return 0;
    WriteTraceLine(traceFile_.toStdString(), "Start init icons");
    int result = directory::GetIconsImage(TOLVEX_STRIP_RGBA32);
    const TolvexIconStrip* strip = result == 0 ? directory::GetIcons() : nullptr;
    if (result == 0 && (strip == nullptr || strip->pixels == nullptr))
        result = -1;
    if (result != 0) {
        services().showMessage(QStringLiteral("Error.....") + QString::number(result));
        if (endProgram_)
            endProgram_();
        return result;
    }
    const QImage image(strip->pixels, strip->width, strip->height, strip->width * 4, QImage::Format_RGBA8888);
    IL2->clear();
    IL2->addStrip(QPixmap::fromImage(image.copy()));
    WriteTraceLine(traceFile_.toStdString(), "Find the special icons");
    specialIcons_ = SpecialClassIcons::Lookup();
    iconsLoaded_ = true;
    return 0;
}

// ---------------------------------------------------------------- showing and hiding

int TcForm::exec() {
    if (!contextSet_) {
        // Decided before the window appears: a modal loop must not start for a window that
        // closes while it shows.
        lv->hide();
        services().showMessage(kNoContextText);
        setResult(kNoContextResult);
        return kNoContextResult;
    }
    return FormBase::exec();
}

void TcForm::ShowNoContextError() {
    services().showMessage(kNoContextText);
    setModalResult(kNoContextResult);
}

void TcForm::FormShow() {
    lv->hide();
    if (!contextSet_) {
        // A window cannot close while it is being shown: close it right after.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible() && !contextSet_)
                    ShowNoContextError();
            },
            Qt::QueuedConnection);
        return;
    }
    setWindowTitle(ToQt(treeName_) + QStringLiteral(": ") + windowTitle());
    if (TV2->topLevelItemCount() == 0) {
        TV2->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("Please wait")}));
        Timer1->start();
    }
    TV2->setFocus();
    All->setVisible(leafMode_);
}

void TcForm::FormHide() {
    setWindowTitle(QString());
    Timer1->stop();
    lv->hide();
}

void TcForm::Timer1Timer() {
    BusyCursor busy;
    Timer1->stop();
    if (InitIcons() != 0) {
        setModalResult(mrCancel); // the program is ending
        return;
    }
    ClearTree();
    auto* root = new ObjectTreeItem(kRootText);
    root->setIcon(0, IL2->icon(directory::IconIndexForClass("tree root")));
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    TV2->addTopLevelItem(root);
    ObjectTreeItem* last = root;
    try {
        const std::vector<std::string> path = ComponentsTopDown(startContext_.toStdString());
        for (const std::string& component : path) {
            last->StartPath = true;
            last->Loaded = true;
            auto* node = new ObjectTreeItem(ToQt(component));
            node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            last->addChild(node);
            last = node;
            node->setIcon(0, IL2->icon(directory::IconIndexForClass(NodeBaseClass(node))));
        }
    } catch (const std::exception& error) {
        ShowFailure(error);
    }
    for (QTreeWidgetItem* node = last->parent(); node != nullptr; node = node->parent())
        node->setExpanded(true);
    TV2->setCurrentItem(last);
    if (!chosenObject_.isEmpty())
        ExpandToNode(chosenObject_);
}

// ---------------------------------------------------------------- the tree

std::string TcForm::NodeBaseClass(const directory::ITreeNode* node) const {
    return directory::GetNodeBaseClass(context_, node);
}

void TcForm::LoadChildren(ObjectTreeItem* node) {
    if (node == nullptr || node->StartPath || node->Loaded)
        return;
    const std::vector<BrowseNode> children =
        ListBrowseChildren(context_, directory::NodePathToDN(node), Filter(), specialIcons_);
    node->Loaded = true;
    for (const BrowseNode& child : children) {
        auto* item = new ObjectTreeItem(ToQt(child.Text));
        item->setIcon(0, IL2->icon(child.Icon));
        item->setChildIndicatorPolicy(child.HasChildren ? QTreeWidgetItem::ShowIndicator
                                                        : QTreeWidgetItem::DontShowIndicator);
        node->addChild(item);
    }
    if (children.empty())
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TcForm::TV2Expanding(QTreeWidgetItem* node) {
    auto* item = dynamic_cast<ObjectTreeItem*>(node);
    if (item == nullptr || item->StartPath || item->Loaded)
        return;
    BusyCursor busy;
    TV2->setUpdatesEnabled(false);
    try {
        LoadChildren(item);
    } catch (const std::exception& error) {
        ShowFailure(error);
    }
    TV2->setUpdatesEnabled(true);
}

void TcForm::TV2Collapsing(QTreeWidgetItem* node) {
    auto* item = dynamic_cast<ObjectTreeItem*>(node);
    if (item == nullptr)
        return;
    if (item->StartPath) {
        item->setExpanded(true);
        return;
    }
    const QList<QTreeWidgetItem*> children = item->takeChildren();
    qDeleteAll(children);
    item->Loaded = false;
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void TcForm::ExpandToNode(const QString& name, QTreeWidgetItem* node) {
    QTreeWidgetItem* current = node != nullptr ? node : TV2->topLevelItem(0);
    if (current == nullptr)
        return;
    const std::vector<std::string> components = ComponentsTopDown(name.toStdString());
    TV2->setUpdatesEnabled(false);
    try {
        for (std::size_t i = 0; i < components.size(); ++i) {
            LoadChildren(dynamic_cast<ObjectTreeItem*>(current));
            current->setExpanded(true);
            const QString wanted = ToQt(components[i]);
            QTreeWidgetItem* match = nullptr;
            for (int row = 0; row < current->childCount() && match == nullptr; ++row) {
                if (current->child(row)->text(0) == wanted)
                    match = current->child(row);
            }
            if (match == nullptr)
                break;
            if (i + 1 == components.size()) {
                TV2->setFocus();
                TV2->setCurrentItem(match);
                TV2->scrollToItem(match);
                break;
            }
            current = match;
        }
    } catch (const std::exception& error) {
        ShowFailure(error);
    }
    TV2->setUpdatesEnabled(true);
}

// ---------------------------------------------------------------- buttons

void TcForm::TwoBeeps() {
    services().beep();
    services().beep();
}

void TcForm::BitBtn2Click() {
    auto* selected = dynamic_cast<ObjectTreeItem*>(TV2->currentItem());
    OkDecision decision;
    try {
        decision = DecideOk(selected, selected != nullptr && selected->StartPath, Filter(),
                            [this](const directory::ITreeNode* node) { return NodeBaseClass(node); });
    } catch (const std::exception& error) {
        ShowFailure(error);
        return;
    }
    if (!decision.Chosen.empty())
        chosenObject_ = ToQt(decision.Chosen);
    switch (decision.Outcome) {
    case OkOutcome::Ignore:
        break;
    case OkOutcome::Refuse:
        TwoBeeps();
        break;
    case OkOutcome::Accept:
        setModalResult(mrOk);
        break;
    }
}

void TcForm::BitBtn1Click() {
    setModalResult(mrCancel);
}

void TcForm::BitBtn3Click() {
    QString pattern;
    if (!services().inputQuery(QStringLiteral("Find"),
                               QStringLiteral("Entry the name of the object (no context)"), pattern))
        return;
    std::vector<std::string> hits;
    try {
        BusyCursor busy;
        hits = FindObjects(context_, startContext_.toStdString(), pattern.toStdString());
    } catch (const std::exception& error) {
        ShowFailure(error);
        return;
    }
    if (hits.empty()) {
        services().showMessage(QStringLiteral("No Objects found"));
    } else if (hits.size() == 1) {
        ExpandToNode(ToQt(hits.front()));
    } else {
        lv->clear();
        for (const std::string& hit : hits)
            lv->addTopLevelItem(new QTreeWidgetItem(QStringList{ToQt(hit)}));
        lv->show();
        lv->setColumnWidth(0, lv->width() - 2);
    }
}

void TcForm::lvSelectItem() {
    QTreeWidgetItem* row = lv->currentItem();
    if (row == nullptr)
        return;
    lv->hide();
    ExpandToNode(row->text(0));
}

// ---------------------------------------------------------------- keys and failures

void TcForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        lv->hide();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Z && (event->modifiers() & Qt::AltModifier)) {
        if (BitBtn3->isVisible())
            BitBtn3->click();
        event->accept();
        return;
    }
    FormBase::keyPressEvent(event);
}

bool TcForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lv && event->type() == QEvent::Resize)
        lv->setColumnWidth(0, lv->width() - 2);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool escape = key->key() == Qt::Key_Escape;
        const bool altZ = key->key() == Qt::Key_Z && (key->modifiers() & Qt::AltModifier);
        if (escape || altZ) {
            keyPressEvent(key);
            return true;
        }
    }
    return FormBase::eventFilter(watched, event);
}

void TcForm::ShowFailure(const std::exception& error) {
    services().messageDialog(QString::fromStdString(error.what()), MessageKind::Error, QMessageBox::Ok);
}

} // namespace browser
