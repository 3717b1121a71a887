#pragma once

#include "browser/dhcp/DhcpRecordEditor.h"
#include "browser/lists/FormBase.h"

#include <functional>
#include <optional>
#include <string>

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

class RecordListModel;
class TreeList;

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

    // Chooses a directory object for "NDS-Object" in the tree of the record being edited, starting
    // from the given name; nullopt when the choice was cancelled. The window connects it to the
    // object browser.
    std::function<std::optional<std::string>(directory::NWDSContextHandle context, const std::string& preset)>
        ChooseObject;
    // The context of the tree of the record being edited.
    directory::NWDSContextHandle recordContext = 0;

    // Fills the fields with a loaded record, ready to be shown for editing.
    void ShowRecord(const DhcpRecordFields& fields);
    // What the user left in the fields, with the marks of what changed.
    DhcpRecordEdits Edits() const;
    // Opens the fields a manual record may change (on show and on every type change).
    void ApplyFieldEnabling();

public slots:
    void ComboBox1Change();
    void Edit3OldChange();
    void RadioButton1Click();
    void RadioButton2Click();
    void DTPChange();
    void Button2Click();
    void CheckBox2Click();
    void okbutClick();

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void SetPickerLook(bool enabled);
};

// Key filters of the editor: hexadecimal digits only (every other key, backspace included, is
// dropped); host names take letters, digits, "-", "_" and backspace.
bool AcceptHexKey(int key, const QString& text);
bool AcceptHostKey(int key, const QString& text);

inline constexpr const char* kOneRecordMessage = "This function only works for one record at the time.";

// Edits the DHCP row at index: loads it, shows the dialog and, on OK, saves the changed fields and
// updates the row. Refusals and failures are shown as messages; the row stays as it was then.
void EditDhcpRecord(TDDEdit& dialog, RecordListModel& model, int rowIndex, const TreeList& trees,
                    const RetryDelay& delay = SleepMilliseconds);

} // namespace browser
