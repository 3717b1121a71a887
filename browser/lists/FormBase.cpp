#include "browser/lists/FormBase.h"

#include <QEvent>

namespace browser {

FormBase::FormBase(Services& services, QWidget* parent) : QDialog(parent), services_(services) {}

void FormBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void FormBase::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    FormHide();
}

bool FormBase::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

} // namespace browser
