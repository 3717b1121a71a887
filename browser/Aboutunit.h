#pragma once

#include "browser/FormBase.h"

class QLabel;
class QTimer;

namespace browser {

class TBitBtnWithColor;

// The About box: the program's description, legal notice and build, the system and its memory.
class TAbout : public FormBase {
    Q_OBJECT
public:
    explicit TAbout(Services& services, QWidget* parent = nullptr);

    QLabel* lblWindowsVersion;
    QLabel* Label2; // "Memory Available to Windows:"
    QLabel* lblMemory;
    QLabel* Label1; // build
    QLabel* Label4; // description
    QLabel* Label3; // legal notice
    QLabel* webLabel1;
    QLabel* webLabel2;
    QLabel* emailCaptionLabel; // "Email:"
    QLabel* emailLabel;
    QLabel* forum;                      // "Click here for forum"
    TBitBtnWithColor* BitBtnWithColor1; // "Close"
    QTimer* Timer1;                     // 5 ms fade step, off at first

public slots:
    void Timer1Timer();
    void BitBtnWithColor1Click();
};

} // namespace browser
