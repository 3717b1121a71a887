#pragma once

#include "browser/lists/Services.h"

#include <QDialog>

namespace browser {

// The width a window needs to show the whole caption in its title bar: the caption in the bold
// application font, with room for the window's icon and its buttons.
int CaptionFitWidth(const QString& caption);

// The common ground of the program's dialog windows: they are created once at start-up and
// reused, end with the modal results of Services.h (Esc and the close box give mrCancel), and
// reach message boxes and other modal windows only through the services object. A form opens at
// least as wide as its caption needs.
class FormBase : public QDialog {
    Q_OBJECT
public:
    explicit FormBase(Services& services, QWidget* parent = nullptr);

    Services& services() const { return services_; }

    // Closes the form with the given modal result.
    void setModalResult(int result) { done(result); }
    void reject() override { done(mrCancel); }

protected:
    // Hooks run when the form is shown, hidden or becomes the active window.
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormActivate() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    Services& services_;
};

} // namespace browser
