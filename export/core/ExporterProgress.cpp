#include "export/core/ExporterProgress.h"

#include "export/core/Exporter.h"
#include "export/core/ExporterLocale.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace exporter {

namespace {

enum : int { SCaption = 34491, SStatus = 34492, STime = 34493, SSpeed = 34494, SExported = 34499 };

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QLabel* BevelLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

} // namespace

void PostExportProgress(QObject* window, int code, int rows) {
    if (window)
        QCoreApplication::postEvent(window, new TExportProgressEvent(code, rows));
}

TfmExporterProgress::TfmExporterProgress(QWidget* owner, TExporter* exporter,
                                         TExporterProgressModel::TClock clock)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), exporter_(exporter),
      model_(std::move(clock)) {
    setObjectName(QStringLiteral("fmExporterProgress"));
    setModal(false);
    setFixedSize(301, 140);

    auto* info = new QFrame(this);
    info->setObjectName(QStringLiteral("paInformation"));
    auto* grid = new QGridLayout(info);
    laStatus = BevelLabel(info, "laStatus");
    laStatusValue = BevelLabel(info, "laStatusValue");
    laExported = BevelLabel(info, "laExported");
    laExportedValue = BevelLabel(info, "laExportedValue");
    laTime = BevelLabel(info, "laTime");
    laTimeValue = BevelLabel(info, "laTimeValue");
    laSpeed = BevelLabel(info, "laSpeed");
    laSpeedValue = BevelLabel(info, "laSpeedValue");
    QLabel* rows[][2] = {{laStatus, laStatusValue},
                         {laExported, laExportedValue},
                         {laTime, laTimeValue},
                         {laSpeed, laSpeedValue}};
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(rows[row][0], row, 0);
        grid->addWidget(rows[row][1], row, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("paButton"));
    bottom->setFixedHeight(34);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bButton = new QPushButton(bottom);
    bButton->setObjectName(QStringLiteral("bButton"));
    bButton->setFixedSize(75, 22);
    bButton->setAutoDefault(false);
    bottomLayout->addWidget(bButton, 0, Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(info, 1);
    layout->addWidget(bottom);

    tmTimer = new QTimer(this);
    tmTimer->setObjectName(QStringLiteral("tmTimer"));
    tmTimer->setInterval(1000);
    connect(tmTimer, &QTimer::timeout, this, &TfmExporterProgress::TimerTick);
    connect(bButton, &QPushButton::clicked, this, &TfmExporterProgress::bButtonClick);

    laExported->setText(Q(ExportLoadStr(SExported)));
    laExportedValue->setText(QString::number(model_.ShownCounter()));
    ShowElapsed();
}

void TfmExporterProgress::showEvent(QShowEvent* e) {
    setWindowTitle(Q(ExportLoadStr(SCaption)));
    laStatus->setText(Q(ExportLoadStr(SStatus)));
    laTime->setText(Q(ExportLoadStr(STime)));
    laSpeed->setText(Q(ExportLoadStr(SSpeed)));
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(e);
}

bool TfmExporterProgress::event(QEvent* e) {
    if (e->type() == TExportProgressEvent::ProgressMessage) {
        const auto* message = static_cast<TExportProgressEvent*>(e);
        HandleProgressCode(message->Code, message->Rows);
        return true;
    }
    return QDialog::event(e);
}

void TfmExporterProgress::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfmExporterProgress::HandleProgressCode(int code, int rows) {
    const TExporterProgressModel::TReaction r = model_.HandleCode(code, rows);
    if (!r.Handled)
        return;
    if (r.Timer == TExporterProgressModel::TTimerSwitch::On && !tmTimer->isActive())
        tmTimer->start();
    else if (r.Timer == TExporterProgressModel::TTimerSwitch::Off && tmTimer->isActive()) {
        tmTimer->stop();
        ShowElapsed(); // the figures at the moment the clock stopped
    }
    if (r.StateChanged)
        ShowDisplayState();
    if (r.CounterChanged)
        laExportedValue->setText(QString::number(model_.ShownCounter()));
    if (r.Close) {
        closingByCode_ = true;
        close();
        closingByCode_ = false;
    }
}

void TfmExporterProgress::closeEvent(QCloseEvent* e) {
    if (closingByCode_) {
        QDialog::closeEvent(e);
        return;
    }
    const bool running = model_.ButtonAborts();
    bButtonClick();
    if (running)
        e->ignore();
    else
        QDialog::closeEvent(e);
}

void TfmExporterProgress::ShowDisplayState() {
    const TExporterProgressModel::TDisplayTexts texts =
        TExporterProgressModel::DisplayTexts(model_.DisplayState());
    laStatusValue->setText(Q(texts.Status));
    if (!texts.ExportedCaption.empty())
        laExported->setText(Q(texts.ExportedCaption));
    if (!texts.Button.empty())
        bButton->setText(Q(texts.Button));
}

void TfmExporterProgress::ShowElapsed() {
    laTimeValue->setText(Q(model_.ElapsedText()));
    laSpeedValue->setText(Q(model_.SpeedText()));
}

void TfmExporterProgress::TimerTick() {
    ShowElapsed();
}

void TfmExporterProgress::bButtonClick() {
    if (model_.ButtonAborts()) {
        if (exporter_)
            exporter_->Abort();
        return;
    }
    setResult(QDialog::Accepted);
    emit ModalResultChanged(result());
}

} // namespace exporter
