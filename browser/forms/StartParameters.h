#pragma once

#include "browser/lists/FormBase.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace browser {

// The start parameters of a server module before it is started on a server.
class TForm4 : public FormBase {
    Q_OBJECT
public:
    explicit TForm4(Services& services, QWidget* parent = nullptr);

    QLabel* parametersLabel;     // "Start parameters"
    QLineEdit* Edit1;            // the parameter text
    QCheckBox* serverDefaultBox; // "Save as default for this server"
    QCheckBox* defaultBox;       // "Save as default"
    QPushButton* startButton;    // "Start"
    QPushButton* cancelButton;
};

} // namespace browser
