#include "browser/forms/DNSDHCPEdit.h"

#include "browser/collection/TreeObj.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "browser/records/RecordFormatters.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace browser {

TDDEdit::TDDEdit(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("DDEdit"));
    setWindowTitle(QStringLiteral("Edit record"));

    Edit1 = Named<QLineEdit>("Edit1", this);
    Edit1->setReadOnly(true);
    Edit1->setStyleSheet(QStringLiteral("color: blue;"));
    ComboBox1 = Named<QComboBox>("ComboBox1", this);
    Edit3 = Named<QLineEdit>("Edit3", this);
    Edit3->setInputMask(QStringLiteral("HH:HH:HH:HH:HH:HH;_"));
    Edit3->setMaxLength(17);
    ComboBox2 = Named<QComboBox>("ComboBox2", this);
    edit2 = Named<QLineEdit>("edit2", this);
    edit2->setInputMask(QStringLiteral("HH:HH:HH:HH:HH:HH:HH;_"));
    edit2->setMaxLength(20);
    Edit4 = Named<QLineEdit>("Edit4", this);
    RadioButton1 = Named<QRadioButton>("RadioButton1", QStringLiteral("Permanent"), this);
    RadioButton2 = Named<QRadioButton>("RadioButton2", QStringLiteral("Timed"), this);
    DTP1 = Named<QDateEdit>("DTP1", this);
    DTP1->setCalendarPopup(true);
    DTP2 = Named<QTimeEdit>("DTP2", this);
    DTP2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Label8 = Named<QLabel>("Label8", QStringLiteral("Last Used"), this);
    Label9 = Named<QLabel>("Label9", this);
    Edit6 = Named<QLineEdit>("Edit6", this);
    Edit6->setReadOnly(true);
    Button2 = Named<QPushButton>("Button2", QStringLiteral("..."), this);
    Memo1 = Named<QPlainTextEdit>("Memo1", this);
    CheckBox1 = Named<QCheckBox>("CheckBox1", QStringLiteral("DNS RR Entry update"), this);
    CheckBox1->setEnabled(false);
    CheckBox2 = Named<QCheckBox>("CheckBox2", QStringLiteral("Additional parameters"), this);
    okbut = Named<QPushButton>("okbut", QStringLiteral("OK"), this);
    okbut->setDefault(true);
    BitBtn2 = Named<QPushButton>("BitBtn2", QStringLiteral("Cancel"), this);

    Button2->setFixedWidth(32);
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    int line = 0;
    auto addRow = [&](const QString& label, QWidget* field, QWidget* extra = nullptr) {
        grid->addWidget(new QLabel(label, this), line, 0);
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        if (extra)
            row->addWidget(extra);
        grid->addLayout(row, line++, 1);
    };
    addRow(QStringLiteral("IP-Address"), Edit1);
    addRow(QStringLiteral("RecordType"), ComboBox1);
    addRow(QStringLiteral("Mac Address"), Edit3, ComboBox2);
    addRow(QStringLiteral("Identifier"), edit2);
    addRow(QStringLiteral("Host"), Edit4);
    auto* lease = new QHBoxLayout;
    lease->addWidget(RadioButton1);
    lease->addWidget(RadioButton2);
    lease->addWidget(DTP1);
    lease->addWidget(DTP2);
    lease->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Lease"), this), line, 0);
    grid->addLayout(lease, line++, 1);
    grid->addWidget(Label8, line, 0);
    grid->addWidget(Label9, line++, 1);
    addRow(QStringLiteral("NDS-Object"), Edit6, Button2);
    addRow(QStringLiteral("Comment"), Memo1);
    grid->addWidget(CheckBox1, line++, 1);
    grid->addWidget(CheckBox2, line++, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbut);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, line, 0, 1, 2);

    FormCreate();

    connect(ComboBox1, &QComboBox::activated, this, &TDDEdit::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TDDEdit::Edit3OldChange);
    connect(Edit3, &QLineEdit::textEdited, this, &TDDEdit::Edit3OldChange);
    connect(RadioButton1, &QRadioButton::clicked, this, &TDDEdit::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TDDEdit::RadioButton2Click);
    connect(DTP1, &QDateEdit::editingFinished, this, &TDDEdit::DTPChange);
    connect(DTP2, &QTimeEdit::editingFinished, this, &TDDEdit::DTPChange);
    connect(Button2, &QPushButton::clicked, this, &TDDEdit::Button2Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TDDEdit::CheckBox2Click);
    connect(okbut, &QPushButton::clicked, this, &TDDEdit::okbutClick);
    connect(BitBtn2, &QPushButton::clicked, this, &FormBase::reject);
    Edit3->installEventFilter(this);
    edit2->installEventFilter(this);
    Edit4->installEventFilter(this);
}

void TDDEdit::FormCreate() {
    const QDateTime first(QDate(1970, 1, 1), QTime(0, 0));
    const QDateTime last(QDate(2030, 12, 31), QTime(23, 59, 59));
    DTP1->setDateTimeRange(first, last);
    for (const std::string& entry : HardwareTypeList())
        ComboBox2->addItem(QString::fromStdString(entry).replace(QLatin1Char('='), QLatin1Char(' ')));
}

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QDateTime ToQDateTime(rtl::TDateTime value) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    rtl::DecodeDate(value, year, month, day);
    rtl::DecodeTime(value, hour, minute, second, millisecond);
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

rtl::TDateTime FromPickers(const QDate& date, const QTime& time) {
    return rtl::EncodeDate(date.year(), date.month(), date.day()) +
           rtl::EncodeTime(time.hour(), time.minute(), time.second(), 0);
}

bool IsHexCharacter(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

bool AcceptHexKey(int key, const QString& text) {
    if (key == Qt::Key_Backspace)
        return false;
    if (text.isEmpty() || !text.at(0).isPrint())
        return true; // not a character key: cursor movement and the like
    return text.size() == 1 && IsHexCharacter(text.at(0));
}

bool AcceptHostKey(int key, const QString& text) {
    if (key == Qt::Key_Backspace)
        return true;
    if (text.isEmpty() || !text.at(0).isPrint())
        return true;
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    const bool asciiLetter =
        (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    return asciiLetter || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
           c == QLatin1Char('_');
}

bool TDDEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == Edit3 || watched == edit2) && !AcceptHexKey(key->key(), key->text()))
            return true;
        if (watched == Edit4 && !AcceptHostKey(key->key(), key->text()))
            return true;
    }
    return FormBase::eventFilter(watched, event);
}

void TDDEdit::ShowRecord(const DhcpRecordFields& fields) {
    setWindowTitle(QStringLiteral("Edit record"));
    okbut->setText(QStringLiteral("Save"));
    Button2->setEnabled(true);
    SetTag(ComboBox2, 0);

    Edit1->setText(Q(fields.address));
    Edit4->setText(Q(fields.host));
    Edit3->setText(Q(fields.mac));
    edit2->setText(Q(fields.identifier));
    Edit6->setText(Q(fields.objectReference));
    for (QLineEdit* edit : {Edit1, Edit3, edit2, Edit4, Edit6})
        edit->setModified(false);
    Memo1->setPlainText(Q(fields.comment));
    Memo1->document()->setModified(false);
    ComboBox2->setCurrentIndex(fields.hardwareIndex);

    Label9->setText(fields.lastUsed ? Q(*fields.lastUsed) : QString());
    Label8->setVisible(fields.lastUsed.has_value());
    Label9->setVisible(fields.lastUsed.has_value());

    const QDateTime leaseEnd = ToQDateTime(fields.leaseEnd);
    DTP1->setDate(leaseEnd.date());
    DTP2->setTime(leaseEnd.time());
    RadioButton2->setChecked(fields.timed);
    RadioButton1->setChecked(!fields.timed);

    ComboBox1->clear();
    for (const std::string& choice : fields.typeChoices)
        ComboBox1->addItem(Q(choice));
    ComboBox1->setCurrentIndex(0);
}

DhcpRecordEdits TDDEdit::Edits() const {
    DhcpRecordEdits edits;
    edits.typeText = ComboBox1->currentText().toStdString();
    edits.mac = Edit3->text().toStdString();
    edits.macModified = Edit3->isModified();
    edits.hardwareIndex = ComboBox2->currentIndex();
    edits.hardwareChanged = Tag(ComboBox2) != 0;
    edits.identifier = edit2->text().toStdString();
    edits.identifierModified = edit2->isModified();
    edits.host = Edit4->text().toStdString();
    edits.hostModified = Edit4->isModified();
    edits.permanent = !RadioButton2->isChecked();
    edits.leaseEnd = FromPickers(DTP1->date(), DTP2->time());
    edits.objectReference = Edit6->text().toStdString();
    edits.objectReferenceModified = Edit6->isModified();
    edits.comment = Memo1->toPlainText().toStdString();
    edits.commentModified = Memo1->document()->isModified();
    return edits;
}

void TDDEdit::ApplyFieldEnabling() {
    const DhcpFieldEnabling enabling =
        FieldEnabling(ComboBox1->currentText().toStdString(), RadioButton2->isChecked());
    for (QWidget* field : std::initializer_list<QWidget*>{edit2, Edit3, Edit4, ComboBox2, CheckBox2,
                                                          RadioButton1, RadioButton2})
        field->setEnabled(enabling.manualFields);
    SetPickerLook(enabling.pickers);
}

void TDDEdit::SetPickerLook(bool enabled) {
    const QString style = enabled ? QStringLiteral("color: black;") : QStringLiteral("color: blue;");
    for (QWidget* picker : std::initializer_list<QWidget*>{DTP1, DTP2}) {
        picker->setEnabled(enabled);
        picker->setStyleSheet(style);
    }
}

void TDDEdit::FormShow() {
    SetTag(ComboBox1, 0);
    SetTag(DTP1, 0);
    SetTag(DTP2, 0);
    SetTag(ComboBox2, ComboBox2->currentIndex());
    Memo1->setFocus();
    ApplyFieldEnabling();
}

void TDDEdit::ComboBox1Change() {
    if (!RadioButton1->isChecked() && !RadioButton2->isChecked())
        RadioButton2->setChecked(FieldEnabling(ComboBox1->currentText().toStdString(), false).manualFields);
    ApplyFieldEnabling();
}

void TDDEdit::Edit3OldChange() {
    edit2->setText(Q(HardwareCodeHex(ComboBox2->currentIndex())) + QLatin1Char(':') + Edit3->text());
    edit2->setModified(true);
    SetTag(ComboBox2, 1);
}

void TDDEdit::RadioButton1Click() {
    SetPickerLook(false);
}

void TDDEdit::RadioButton2Click() {
    SetPickerLook(true);
}

void TDDEdit::DTPChange() {
    if (QObject* picker = sender())
        SetTag(picker, 1);
}

void TDDEdit::Button2Click() {
    if (!ChooseObject)
        return;
    if (const std::optional<std::string> chosen = ChooseObject(recordContext, Edit6->text().toStdString())) {
        Edit6->setText(Q(*chosen));
        Edit6->setModified(true);
    }
}

void TDDEdit::CheckBox2Click() {
    if (CheckBox2->isChecked())
        services().showMessage(QStringLiteral("Sorry this option isn't implemented yet"));
}

void TDDEdit::okbutClick() {
    if (okbut->text() != QStringLiteral("Del"))
        services().showMessage(QStringLiteral("Check for all attributes"));
    setModalResult(mrOk);
}

void EditDhcpRecord(TDDEdit& dialog, RecordListModel& model, int rowIndex, const TreeList& trees,
                    const RetryDelay& delay) {
    if (rowIndex < 0 || rowIndex >= model.count())
        return;
    Services& services = dialog.services();
    RecordRow row = model.row(rowIndex);
    std::string refusal;
    const std::optional<DhcpRecordLocation> location = LocateDhcpRow(row, trees, refusal);
    if (!location) {
        services.showMessage(Q(refusal));
        return;
    }
    DhcpRecordFields fields;
    try {
        fields = LoadDhcpRecord(*location, row, delay);
    } catch (const std::exception& error) {
        services.showMessage(Q(error.what()));
        return;
    }
    // What the reads could not take is said before the editor shows the rest.
    if (!fields.warnings.empty())
        services.showMessage(Q(WarningsText(fields.warnings)));
    dialog.ShowRecord(fields);
    dialog.recordContext = location->context;
    if (services.showModal(dialog) != mrOk)
        return;
    const DhcpSaveResult result =
        SaveDhcpRecord(*location, fields.assignmentType, fields, dialog.Edits(), row);
    // A save that failed part-way may still have changed the row.
    if (!(row == model.row(rowIndex)))
        model.setRow(rowIndex, std::move(row));
    if (!result.saved)
        services.showMessage(Q(result.message));
}

} // namespace browser
