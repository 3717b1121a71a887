#pragma once

// Offers the buttons a tool bar has no room to show in a menu under the bar's extension button,
// each entry pressing its button, in place of the bar's own overflow (which leaves out buttons
// that are widgets).

#include <QObject>

class QMenu;
class QToolBar;
class QToolButton;

namespace browser {

class ToolbarOverflow : public QObject {
    Q_OBJECT
public:
    // Watches the bar's extension button; owned by the bar.
    explicit ToolbarOverflow(QToolBar& bar);

    // The menu of the buttons left out, named after the bar with "Overflow" appended.
    QMenu* menu() const { return menu_; }
    // Fills the menu with the bar's buttons that are left out for want of room, in bar order.
    void fill();
    // Fills the menu and shows it below the extension button.
    void popup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolBar& bar_;
    QToolButton* extension_;
    QMenu* menu_;
};

} // namespace browser
