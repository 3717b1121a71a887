#include "browser/forms/Aboutunit.h"

#include "browser/forms/BitBtnWithColor.h"
#include "browser/lists/Named.h"
#include "platform/sysinfo/SystemInfo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>
#include <QVBoxLayout>

namespace browser {

namespace {

constexpr int kFadeStep = 4;

QLabel* BoldWhite(QLabel* label) {
    label->setStyleSheet(QStringLiteral("font-weight: bold; color: white;"));
    return label;
}

QLabel* Link(QLabel* label) {
    label->setCursor(Qt::PointingHandCursor);
    return BoldWhite(label);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QString SystemVersionText(const QString& systemName, const QString& build) {
    return QStringLiteral("%1 (Build %2)").arg(systemName, build);
}

QString MemoryText(quint64 bytes) {
    return QStringLiteral("%1 KB").arg(bytes / 1024);
}

TAbout::TAbout(Services& services, QWidget* parent)
    : FormBase(services, parent), version(CurrentProgramInfo()) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));

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
    BitBtnWithColor1->SetModalResult(mrOk);
    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(5);
    SetTag(this, 0);

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

    for (QLabel* link : {webLabel1, webLabel2, emailCaptionLabel, emailLabel, forum})
        link->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &TAbout::Timer1Timer);
    connect(BitBtnWithColor1, &TBitBtnWithColor::Clicked, this, &TAbout::BitBtnWithColor1Click);
}

void TAbout::FormShow() {
    const sysinfo::OperatingSystem system = sysinfo::CurrentOperatingSystem();
    lblWindowsVersion->setText(SystemVersionText(Q(system.name), Q(system.kernelRelease)));
    lblMemory->setText(MemoryText(sysinfo::TotalPhysicalMemory()));
    forum->setVisible(!version.forumAddress.empty());
    Label4->setText(Q(version.description));
    Label3->setText(Q(version.legalNotice));
    Label1->setText(QStringLiteral("Build: ") + Q(version.fileVersion));
    webLabel1->setText(Q(version.webPage1));
    webLabel1->setVisible(!version.webPage1.empty());
    webLabel2->setText(Q(version.webPage2));
    webLabel2->setVisible(!version.webPage2.empty());
    emailLabel->setText(Q(version.mailAddress));
    emailLabel->setVisible(!version.mailAddress.empty());
    emailCaptionLabel->setVisible(!version.mailAddress.empty());

    SetAlphaBlendValue(0);
    SetTag(this, kFadeStep);
    Timer1->start();
}

void TAbout::FormHide() {
    Timer1->stop();
}

void TAbout::SetAlphaBlendValue(int alpha) {
    alpha_ = alpha;
    setWindowOpacity(alpha / 255.0);
}

void TAbout::Timer1Timer() {
    const int step = Tag(this);
    if (alpha_ < 5 && step < 0) {
        Timer1->stop();
        setModalResult(mrOk);
    } else if (alpha_ >= 247 && step > 0) {
        Timer1->stop();
        SetAlphaBlendValue(255);
    } else {
        SetAlphaBlendValue(qBound(0, alpha_ + step, 255));
    }
}

void TAbout::BitBtnWithColor1Click() {
    BitBtnWithColor1->CancelModalResult();
    SetTag(this, -kFadeStep);
    Timer1->start();
}

bool TAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if ((watched == emailLabel || watched == emailCaptionLabel) && !version.mailAddress.empty())
            services().openLink(QStringLiteral("mailto:") + Q(version.mailAddress));
        else if (watched == webLabel1 || watched == webLabel2)
            services().openLink(static_cast<QLabel*>(watched)->text());
        else if (watched == forum && !version.forumAddress.empty())
            services().openLink(Q(version.forumAddress));
    }
    return FormBase::eventFilter(watched, event);
}

void TAbout::paintEvent(QPaintEvent*) {
    // The gradient background: light in the middle, fading outwards in an ellipse.
    QPainter painter(this);
    const QRectF area = rect();
    QRadialGradient gradient(area.center(), area.width() / 2.0);
    gradient.setColorAt(0.0, QColor(0x3a, 0x6e, 0xc8));
    gradient.setColorAt(1.0, QColor(0x10, 0x24, 0x50));
    painter.save();
    painter.translate(area.center());
    painter.scale(1.0, area.height() / qMax(1.0, area.width()));
    painter.translate(-area.center());
    painter.fillRect(QRectF(area.left(), area.center().y() - area.width() / 2.0, area.width(), area.width()),
                     gradient);
    painter.restore();
}

} // namespace browser
