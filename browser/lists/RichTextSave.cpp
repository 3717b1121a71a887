#include "browser/lists/RichTextSave.h"

#include "browser/lists/ListFileWriter.h"

#include "platform/rtl/CodePage.h"

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <cstdio>

namespace browser {

namespace {

// The font and colour tables of an RTF file, filled as the text is written.
class RtfTables {
public:
    explicit RtfTables(const QString& defaultFamily) { FontIndex(defaultFamily); }

    int FontIndex(const QString& family) {
        const qsizetype found = fonts_.indexOf(family);
        if (found >= 0)
            return static_cast<int>(found);
        fonts_ << family;
        return static_cast<int>(fonts_.size() - 1);
    }
    // 0 is the default colour.
    int ColourIndex(const QColor& colour) {
        const QRgb rgb = colour.rgb();
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            if (colours_[i] == rgb)
                return static_cast<int>(i) + 1;
        }
        colours_.push_back(rgb);
        return static_cast<int>(colours_.size());
    }

    std::string Header() const {
        std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i)
            header += "{\\f" + std::to_string(i) + "\\fnil " + Escape(fonts_[i]) + ";}";
        header += "}\r\n{\\colortbl ;";
        for (const QRgb rgb : colours_) {
            header += "\\red" + std::to_string(qRed(rgb)) + "\\green" + std::to_string(qGreen(rgb)) +
                      "\\blue" + std::to_string(qBlue(rgb)) + ";";
        }
        header += "}\r\n";
        return header;
    }

    static std::string Escape(const QString& text) {
        std::string out;
        for (const char ch : rtl::Utf8ToWindows1252(text.toStdString())) {
            const unsigned char byte = static_cast<unsigned char>(ch);
            if (ch == '\\' || ch == '{' || ch == '}') {
                out += '\\';
                out += ch;
            } else if (ch == '\t') {
                out += "\\tab ";
            } else if (byte >= 0x80 || byte < 0x20) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\'%02x", byte);
                out += hex;
            } else {
                out += ch;
            }
        }
        return out;
    }

private:
    QStringList fonts_;
    std::vector<QRgb> colours_;
};

std::string FragmentText(const QString& text) {
    std::string out;
    // Line breaks inside a paragraph.
    const QStringList pieces = QString(text).replace(QChar::LineSeparator, QChar(u'\n')).split(u'\n');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out += "\\line ";
        out += RtfTables::Escape(pieces[i]);
    }
    return out;
}

} // namespace

std::string DocumentToRtf(const QTextDocument& document) {
    RtfTables tables(document.defaultFont().family());
    std::string body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const QFont font = format.font();
            body += "{\\f" + std::to_string(tables.FontIndex(font.family()));
            const double points =
                font.pointSizeF() > 0 ? font.pointSizeF() : document.defaultFont().pointSizeF();
            if (points > 0)
                body += "\\fs" + std::to_string(static_cast<int>(std::lround(points * 2)));
            if (font.bold())
                body += "\\b";
            if (font.italic())
                body += "\\i";
            if (font.underline())
                body += "\\ul";
            if (format.hasProperty(QTextFormat::ForegroundBrush))
                body += "\\cf" + std::to_string(tables.ColourIndex(format.foreground().color()));
            body += ' ';
            body += FragmentText(fragment.text());
            body += '}';
        }
        if (block.next().isValid())
            body += "\\par\r\n";
    }
    return tables.Header() + body + "}\r\n";
}

std::string DocumentToPlainText(const QTextDocument& document) {
    std::string text;
    const QStringList lines = document.toPlainText().split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        text += lines[i].toStdString();
        text += "\r\n";
    }
    return text;
}

void SavePageText(const QTextDocument& document, const std::string& path, PageTextFormat format) {
    WriteWholeFile(path, format == PageTextFormat::RichText ? DocumentToRtf(document)
                                                            : DocumentToPlainText(document));
}

} // namespace browser
