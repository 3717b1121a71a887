#pragma once

#include "browser/lists/FormBase.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace browser {

// "WARNING": tells that a tree has more than one locator object; the caller reads the check box.
class Tshowwarning : public FormBase {
    Q_OBJECT
public:
    explicit Tshowwarning(Services& services, QWidget* parent = nullptr);

    QLabel* warningLabel;
    QCheckBox* noWarnBox; // "do not show this warning again"
    QPushButton* okButton;
};

} // namespace browser
