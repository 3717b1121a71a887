// Text measurement on the display, the one part of the page helpers that needs Qt.

#include "export/core/ExporterPageUtils.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace exporter {

namespace {

// Pixels per inch of the display (96 when no screen is known).
double DisplayDotsPerInch() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double dpi = screen->logicalDotsPerInch();
        if (dpi > 0)
            return dpi;
    }
    return 96.0;
}

} // namespace

int TextWidthOnDisplay(const std::string& text, const TExportFont& font) {
    if (text.empty())
        return 0;
    const double pixelSize = std::max(1.0, font.Size * DisplayDotsPerInch() / 72.0);
    if (!QGuiApplication::instance()) {
        // No font system without an application: an average character of about half the font height.
        return int(std::lround(ExportTextLength(text) * pixelSize * 0.5));
    }
    QFont qfont(QString::fromStdString(font.Name));
    qfont.setPixelSize(int(std::lround(pixelSize)));
    qfont.setBold(font.Bold);
    qfont.setItalic(font.Italic);
    qfont.setUnderline(font.Underline);
    qfont.setStrikeOut(font.StrikeOut);
    const QFontMetrics metrics(qfont);
    return metrics.horizontalAdvance(QString::fromStdString(text));
}

} // namespace exporter
