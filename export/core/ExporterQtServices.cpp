// The desktop's side of the exporters: opening and printing a written file and the clipboard.

#include "export/core/Exporter.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace exporter {

namespace {

class DesktopShell : public TExportShell {
public:
    void Open(const std::string& fileName) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(fileName)));
    }
    void Print(const std::string& fileName) override {
        QProcess::startDetached(QStringLiteral("lp"), {QString::fromStdString(fileName)});
    }
};

class ApplicationClipboard : public TExportClipboard {
public:
    void SetText(const std::string& utf8) override {
        if (!QGuiApplication::instance())
            throw EExportError("No clipboard is available");
        QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    }
};

} // namespace

TExportShell& DefaultExportShell() {
    static DesktopShell shell;
    return shell;
}

TExportClipboard& DefaultExportClipboard() {
    static ApplicationClipboard clipboard;
    return clipboard;
}

} // namespace exporter
