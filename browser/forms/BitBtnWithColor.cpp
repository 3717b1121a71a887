#include "browser/forms/BitBtnWithColor.h"

#include "browser/lists/FormBase.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace browser {

namespace {

constexpr int kModalResultAll = 8; // the "All" button's result (after mrNo)

int ModalResultOfKind(int kind) {
    switch (kind) {
    case bkOK:
        return mrOk;
    case bkCancel:
        return mrCancel;
    case bkYes:
        return mrYes;
    case bkNo:
        return mrNo;
    case bkAbort:
        return mrAbort;
    case bkRetry:
        return mrRetry;
    case bkIgnore:
        return mrIgnore;
    case bkAll:
        return kModalResultAll;
    default:
        return mrNone;
    }
}

// A grey version of an image for the disabled state when the strip has no image of its own.
QImage Greyed(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return grey;
}

} // namespace

TBitBtnWithColor::TBitBtnWithColor(const QString& text, QWidget* parent)
    : QPushButton(text, parent), color_(palette().color(QPalette::Button)) {
    // Connected first, so that it runs before anything connected to clicked later.
    connect(this, &QPushButton::clicked, this, &TBitBtnWithColor::Click);
}

void TBitBtnWithColor::SetColor(const QColor& color) {
    color_ = color;
    RebuildGlyphImages();
    update();
}

void TBitBtnWithColor::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    if (!glyph_.isNull() && glyph_.height() > 0 && glyph_.width() % glyph_.height() == 0) {
        const int images = glyph_.width() / glyph_.height();
        if (images >= 1 && images <= 4)
            numGlyphs_ = images;
    }
    RebuildGlyphImages();
    updateGeometry();
    update();
}

void TBitBtnWithColor::SetKind(int kind) {
    if (kind == kind_)
        return;
    if (!IsCaptionStored() || text().isEmpty())
        setText(DefaultCaption(kind));
    kind_ = kind;
    if (kind != bkCustom && kind != bkClose && kind != bkHelp)
        modalResult_ = ModalResultOfKind(kind);
    if (kind == bkOK || kind == bkYes)
        setDefault(true);
    update();
}

void TBitBtnWithColor::SetLayout(int layout) {
    layout_ = layout;
    update();
}

void TBitBtnWithColor::SetMargin(int margin) {
    margin_ = margin < -1 ? -1 : margin;
    update();
}

void TBitBtnWithColor::SetNumGlyphs(int count) {
    numGlyphs_ = count < 1 ? 1 : (count > 4 ? 4 : count);
    RebuildGlyphImages();
    updateGeometry();
    update();
}

void TBitBtnWithColor::SetSpacing(int spacing) {
    spacing_ = spacing < -1 ? -1 : spacing;
    update();
}

void TBitBtnWithColor::SetStyle(int style) {
    style_ = style;
    update();
}

QString TBitBtnWithColor::DefaultCaption(int kind) {
    switch (kind) {
    case bkOK:
        return QStringLiteral("OK");
    case bkCancel:
        return QStringLiteral("Cancel");
    case bkHelp:
        return QStringLiteral("&Help");
    case bkYes:
        return QStringLiteral("&Yes");
    case bkNo:
        return QStringLiteral("&No");
    case bkClose:
        return QStringLiteral("&Close");
    case bkAbort:
        return QStringLiteral("Abort");
    case bkRetry:
        return QStringLiteral("&Retry");
    case bkIgnore:
        return QStringLiteral("&Ignore");
    case bkAll:
        return QStringLiteral("&All");
    default:
        return QString();
    }
}

QSize TBitBtnWithColor::GlyphSize() const {
    if (glyph_.isNull())
        return {};
    return {glyph_.width() / numGlyphs_, glyph_.height()};
}

void TBitBtnWithColor::RebuildGlyphImages() {
    glyphImages_ = {};
    if (glyph_.isNull())
        return;
    const QImage strip = glyph_.toImage().convertToFormat(QImage::Format_ARGB32);
    const QSize size = GlyphSize();
    const QRgb transparent = strip.pixel(0, strip.height() - 1);
    for (int state = bsUp; state <= bsExclusive; ++state) {
        const int index = state < numGlyphs_ ? state : 0;
        QImage image = strip.copy(index * size.width(), 0, size.width(), size.height());
        if (state == bsDisabled && index == 0)
            image = Greyed(image);
        // The transparent colour becomes the face colour; the exclusive state keeps it see-through.
        const bool onFace = state != bsExclusive;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const bool clear =
                    qAlpha(line[x]) == 0 || (line[x] | 0xFF000000u) == (transparent | 0xFF000000u);
                if (clear)
                    line[x] = onFace ? color_.rgb() : qRgba(0, 0, 0, 0);
                else if (onFace && qAlpha(line[x]) < 255) {
                    const int a = qAlpha(line[x]);
                    const auto mix = [a](int top, int bottom) {
                        return (top * a + bottom * (255 - a)) / 255;
                    };
                    line[x] = qRgb(mix(qRed(line[x]), color_.red()), mix(qGreen(line[x]), color_.green()),
                                   mix(qBlue(line[x]), color_.blue()));
                }
            }
        }
        glyphImages_[static_cast<std::size_t>(state)] = image;
    }
}

QImage TBitBtnWithColor::GlyphImage(TButtonState state) const {
    return glyphImages_[static_cast<std::size_t>(state)];
}

void TBitBtnWithColor::Click() {
    pendingModalResult_ = modalResult_;
    emit Clicked();
    QWidget* form = window();
    if (kind_ == bkClose) {
        if (form != nullptr && form != this)
            form->close();
        return;
    }
    if (pendingModalResult_ != mrNone) {
        if (auto* dialog = qobject_cast<QDialog*>(form))
            dialog->done(pendingModalResult_);
    }
}

QSize TBitBtnWithColor::sizeHint() const {
    const QFontMetrics metrics(font());
    const QSize textSize = text().isEmpty() ? QSize() : metrics.size(Qt::TextShowMnemonic, text());
    const QSize glyph = GlyphSize();
    const int gap = (glyph.isEmpty() || textSize.isEmpty()) ? 0 : qMax(spacing_, 0);
    QSize content;
    if (layout_ == blGlyphLeft || layout_ == blGlyphRight)
        content = QSize(glyph.width() + gap + textSize.width(), qMax(glyph.height(), textSize.height()));
    else
        content = QSize(qMax(glyph.width(), textSize.width()), glyph.height() + gap + textSize.height());
    return QSize(qMax(75, content.width() + 16), qMax(25, content.height() + 10));
}

void TBitBtnWithColor::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}

void TBitBtnWithColor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const bool pressed = isDown() || (isCheckable() && isChecked());
    const bool focused = hasFocus();
    QRect area = rect();

    if (focused || isDefault()) {
        painter.setPen(colours.color(QPalette::WindowText));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        painter.setPen(colours.color(QPalette::Dark));
        painter.setBrush(color_);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    } else {
        const QBrush face(color_);
        qDrawWinButton(&painter, area, colours, false, &face);
    }
    area.adjust(1, 1, -1, -1);
    if (focused)
        area.adjust(1, 1, -1, -1);
    painter.setFont(font());
    if (pressed)
        area.translate(1, 1);

    // Glyph and caption placed as the bitmap button places them.
    const QSize glyph = GlyphSize();
    const QSize textSize =
        text().isEmpty() ? QSize() : painter.fontMetrics().size(Qt::TextShowMnemonic, text());
    const bool sideBySide = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int client = sideBySide ? area.width() : area.height();
    const int glyphExtent = sideBySide ? glyph.width() : glyph.height();
    const int textExtent = sideBySide ? textSize.width() : textSize.height();
    int margin = margin_;
    int spacing = (glyph.isEmpty() || textSize.isEmpty()) ? 0 : spacing_;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (client - glyphExtent - textExtent) / 3;
            spacing = margin;
        } else {
            margin = (client - glyphExtent - spacing - textExtent + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (client - margin - glyphExtent - textExtent) / 2;
    }
    QPoint glyphAt((area.width() - glyph.width() + 1) / 2, (area.height() - glyph.height() + 1) / 2);
    QPoint textAt((area.width() - textSize.width() + 1) / 2, (area.height() - textSize.height() + 1) / 2);
    switch (layout_) {
    case blGlyphRight:
        glyphAt.setX(area.width() - margin - glyph.width());
        textAt.setX(glyphAt.x() - spacing - textSize.width());
        break;
    case blGlyphTop:
        glyphAt.setY(margin);
        textAt.setY(glyphAt.y() + glyph.height() + spacing);
        break;
    case blGlyphBottom:
        glyphAt.setY(area.height() - margin - glyph.height());
        textAt.setY(glyphAt.y() - spacing - textSize.height());
        break;
    default:
        glyphAt.setX(margin);
        textAt.setX(glyphAt.x() + glyph.width() + spacing);
        break;
    }
    glyphAt += area.topLeft();
    textAt += area.topLeft();

    if (!glyph.isEmpty()) {
        TButtonState state = bsUp;
        if (!isEnabled())
            state = bsDisabled;
        else if (isCheckable() && isChecked())
            state = bsExclusive;
        else if (isDown())
            state = bsDown;
        painter.drawImage(glyphAt, GlyphImage(state));
    }
    if (!textSize.isEmpty()) {
        painter.setPen(
            colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(QRect(textAt, textSize), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }

    if (focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        option.backgroundColor = color_;
        painter.setBrush(color_);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace browser
