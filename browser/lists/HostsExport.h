#pragma once

#include "browser/lists/FormBase.h"

class QCheckBox;
class QPushButton;

namespace browser {

// "Hosts Export": the options of a HOSTS file written from the DNS list.
class THosts : public FormBase {
    Q_OBJECT
public:
    explicit THosts(Services& services, QWidget* parent = nullptr);

    QCheckBox* CheckBox1; // "Include a localhost record in HOSTS"
    QPushButton* Button1; // "Continue"

public slots:
    void Button1Click();
};

} // namespace browser
