#include "browser/Aboutunit.h"

#include "browser/BitBtnWithColor.h"
#include "browser/Named.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace browser {

namespace {

QLabel* BoldWhite(QLabel* label) {
    label->setStyleSheet(QStringLiteral("font-weight: bold; color: white;"));
    return label;
}

QLabel* Link(QLabel* label) {
    label->setCursor(Qt::PointingHandCursor);
    return BoldWhite(label);
}

} // namespace

TAbout::TAbout(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setStyleSheet(QStringLiteral("TAbout { background-color: #1c3f78; }"));

    lblWindowsVersion = BoldWhite(Named<QLabel>("lblWindowsVersion", this));
    Label2 = BoldWhite(Named<QLabel>("Label2", QStringLiteral("Memory Available to Windows:"), this));
    lblMemory = BoldWhite(Named<QLabel>("lblMemory", this));
    Label1 = BoldWhite(Named<QLabel>("Label1", this));
    Label4 = BoldWhite(Named<QLabel>("Label4", this));
    Label3 = BoldWhite(Named<QLabel>("Label3", this));
    webLabel1 = Link(Named<QLabel>("webLabel1", this));
    webLabel2 = Link(Named<QLabel>("webLabel2", this));
    emailCaptionLabel = Link(Named<QLabel>("emailCaptionLabel", QStringLiteral("Email:"), this));
    emailLabel = Link(Named<QLabel>("emailLabel", this));
    forum = Link(Named<QLabel>("forum", QStringLiteral("Click here for forum"), this));
    BitBtnWithColor1 = Named<TBitBtnWithColor>("BitBtnWithColor1", QStringLiteral("Close"), this);
    BitBtnWithColor1->SetColor(QColor(0xA6, 0xCA, 0xF0)); // sky blue
    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(5);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label4);
    layout->addWidget(Label3);
    layout->addWidget(Label1);
    layout->addWidget(lblWindowsVersion);
    auto* memory = new QHBoxLayout;
    memory->addWidget(Label2);
    memory->addWidget(lblMemory);
    memory->addStretch();
    layout->addLayout(memory);
    layout->addWidget(webLabel1);
    layout->addWidget(webLabel2);
    auto* mail = new QHBoxLayout;
    mail->addWidget(emailCaptionLabel);
    mail->addWidget(emailLabel);
    mail->addStretch();
    layout->addLayout(mail);
    layout->addWidget(forum);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnWithColor1);
    layout->addLayout(buttons);

    connect(Timer1, &QTimer::timeout, this, &TAbout::Timer1Timer);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, &TAbout::BitBtnWithColor1Click);
}

void TAbout::Timer1Timer() {}

void TAbout::BitBtnWithColor1Click() {
    setModalResult(mrOk);
}

} // namespace browser
