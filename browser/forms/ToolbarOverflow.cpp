#include "browser/forms/ToolbarOverflow.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

namespace browser {

ToolbarOverflow::ToolbarOverflow(QToolBar& bar)
    : QObject(&bar), bar_(bar),
      extension_(bar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))),
      menu_(new QMenu(&bar)) {
    setObjectName(bar.objectName() + QStringLiteral("OverflowWatch"));
    menu_->setObjectName(bar.objectName() + QStringLiteral("Overflow"));
    if (extension_ != nullptr)
        extension_->installEventFilter(this);
}

void ToolbarOverflow::fill() {
    menu_->clear();
    for (QAction* action : bar_.actions()) {
        auto* button = qobject_cast<QToolButton*>(bar_.widgetForAction(action));
        // A button the program hides stays hidden; one the bar cannot place is offered here.
        if (button == nullptr || !action->isVisible() || button->isVisible())
            continue;
        QAction* entry = nullptr;
        if (QMenu* own = button->menu()) {
            QMenu* sub = menu_->addMenu(button->icon(), button->text());
            entry = sub->addAction(button->icon(), button->text());
            sub->addActions(own->actions());
            sub->setEnabled(button->isEnabled());
        } else {
            entry = menu_->addAction(button->icon(), button->text());
        }
        entry->setEnabled(button->isEnabled());
        entry->setCheckable(button->isCheckable());
        entry->setChecked(button->isChecked());
        connect(entry, &QAction::triggered, button, [button] { button->click(); });
    }
}

void ToolbarOverflow::popup() {
    fill();
    if (extension_ == nullptr || menu_->isEmpty())
        return;
    menu_->popup(extension_->mapToGlobal(QPoint(extension_->width(), extension_->height())) -
                 QPoint(menu_->sizeHint().width(), 0));
}

bool ToolbarOverflow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != extension_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            popup();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true; // the bar's own expansion stays shut
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            popup();
            return true;
        }
        return false;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace browser
