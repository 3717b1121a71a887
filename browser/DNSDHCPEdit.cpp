#include "browser/DNSDHCPEdit.h"

#include "browser/Named.h"
#include "browser/RecordFormatters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
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
}

void TDDEdit::FormCreate() {
    const QDateTime first(QDate(1970, 1, 1), QTime(0, 0));
    const QDateTime last(QDate(2030, 12, 31), QTime(23, 59, 59));
    DTP1->setDateTimeRange(first, last);
    for (const std::string& entry : HardwareTypeList())
        ComboBox2->addItem(QString::fromStdString(entry).replace(QLatin1Char('='), QLatin1Char(' ')));
}

void TDDEdit::ComboBox1Change() {}

void TDDEdit::Edit3OldChange() {}

void TDDEdit::RadioButton1Click() {}

void TDDEdit::RadioButton2Click() {}

void TDDEdit::DTPChange() {}

void TDDEdit::Button2Click() {}

void TDDEdit::CheckBox2Click() {}

void TDDEdit::okbutClick() {
    setModalResult(mrOk);
}

} // namespace browser
