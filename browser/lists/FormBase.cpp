#include "browser/lists/FormBase.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>

namespace browser {

namespace {
// The window's icon, its minimise, maximise and close buttons and the bar's margins.
constexpr int kTitleBarExtras = 140;
} // namespace

int CaptionFitWidth(const QString& caption) {
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + kTitleBarExtras;
}

FormBase::FormBase(Services& services, QWidget* parent) : QDialog(parent), services_(services) {}

void FormBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
    // After FormShow, which may still name the window.
    if (const int needed = CaptionFitWidth(windowTitle()); width() < needed)
        resize(needed, height());
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
