#pragma once

#include "browser/FormBase.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace browser {

// The editor of one DHCP address record ("Edit record").
class TDDEdit : public FormBase {
    Q_OBJECT
public:
    explicit TDDEdit(Services& services, QWidget* parent = nullptr);

    QLineEdit* Edit1;           // IP address, read-only
    QComboBox* ComboBox1;       // "RecordType": assignment type choices
    QLineEdit* Edit3;           // "Mac Address": six hexadecimal pairs
    QComboBox* ComboBox2;       // hardware type, "1 Ethernet" .. "FF Any"
    QLineEdit* edit2;           // "Identifier": hardware type and MAC, seven pairs
    QLineEdit* Edit4;           // "Host" name
    QRadioButton* RadioButton1; // "Permanent"
    QRadioButton* RadioButton2; // "Timed"
    QDateEdit* DTP1;            // lease expiration date
    QTimeEdit* DTP2;            // lease expiration time
    QLabel* Label8;             // "Last Used"
    QLabel* Label9;             // its value
    QLineEdit* Edit6;           // "NDS-Object", read-only
    QPushButton* Button2;       // "...": choose the object
    QPlainTextEdit* Memo1;      // comment
    QCheckBox* CheckBox1;       // "DNS RR Entry update", always disabled
    QCheckBox* CheckBox2;       // "Additional parameters"
    QPushButton* okbut;         // OK ("Save" when editing)
    QPushButton* BitBtn2;       // Cancel

public slots:
    void ComboBox1Change();
    void Edit3OldChange();
    void RadioButton1Click();
    void RadioButton2Click();
    void DTPChange();
    void Button2Click();
    void CheckBox2Click();
    void okbutClick();

private:
    void FormCreate();
};

} // namespace browser
