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
    void Print(const std::string& fileName) override { RunPrintCommand("lp", fileName); }
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

void RunPrintCommand(const std::string& command, const std::string& fileName) {
    // The spooler takes the job at once; a printer that never answers must not hold the export.
    constexpr int SpoolTimeoutMs = 60000;
    QProcess process;
    process.setProgram(QString::fromStdString(command));
    // "--" ends the options: a file name that starts with "-" is still the file to print.
    process.setArguments({QStringLiteral("--"), QString::fromStdString(fileName)});
    process.start();
    std::string cause;
    if (!process.waitForStarted()) {
        cause = command + ": " + process.errorString().toStdString();
    } else if (!process.waitForFinished(SpoolTimeoutMs)) {
        cause = command + ": " + process.errorString().toStdString();
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        cause = QString::fromLocal8Bit(process.readAllStandardError()).trimmed().toStdString();
        if (cause.empty())
            cause = command + " ended with exit code " + std::to_string(process.exitCode());
    }
    if (!cause.empty())
        throw EExportError("Cannot print file \"" + fileName + "\". " + cause);
}

TExportShell& DefaultExportShell() {
    static DesktopShell shell;
    return shell;
}

TExportClipboard& DefaultExportClipboard() {
    static ApplicationClipboard clipboard;
    return clipboard;
}

} // namespace exporter
