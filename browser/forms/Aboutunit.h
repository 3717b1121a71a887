#pragma once

#include "browser/lists/FormBase.h"
#include "browser/startup/ProgramInfo.h"

class QLabel;
class QTimer;

namespace browser {

class TBitBtnWithColor;

// The About box: the program's description, legal notice and build, the system and its memory.
// It fades in when shown and fades out before it closes.
class TAbout : public FormBase {
    Q_OBJECT
public:
    explicit TAbout(Services& services, QWidget* parent = nullptr);

    // The opacity of the box, 0 (clear) to 255 (opaque).
    int AlphaBlendValue() const { return alpha_; }

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
    ProgramInfo version;                // what the box says about the program and where its links go

public slots:
    void Timer1Timer();
    void BitBtnWithColor1Click();

protected:
    void FormShow() override;
    void FormHide() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetAlphaBlendValue(int alpha);

    int alpha_ = 0;
};

// The system line of the box: "<system> (Build <kernel release>)".
QString SystemVersionText(const QString& systemName, const QString& build);
// The memory line of the box: the bytes in whole KB, "<n> KB".
QString MemoryText(quint64 bytes);

} // namespace browser
