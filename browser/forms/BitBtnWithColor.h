#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include <array>

namespace browser {

// What a bitmap button is for; decides its default caption and modal result.
enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
// Where the glyph stands beside the caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
// The images of a glyph strip, in strip order.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// A bitmap push button whose face is painted in a chosen colour. The glyph is a strip of up to four
// images of equal width (up, disabled, down, exclusive); the colour of its bottom-left pixel is the
// transparent colour, drawn in the face colour.
class TBitBtnWithColor : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int Style READ Style WRITE SetStyle)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
public:
    explicit TBitBtnWithColor(const QString& text, QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    // Rebuilds the glyph's images on the new colour and repaints.
    void SetColor(const QColor& color);
    QPixmap Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& glyph);
    int Kind() const { return kind_; }
    // A caption that was the old kind's default follows the new kind; kinds with a modal result set it.
    void SetKind(int kind);
    int Layout() const { return layout_; }
    void SetLayout(int layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int Style() const { return style_; }
    void SetStyle(int style);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    static QString DefaultCaption(int kind);
    // The caption is kept with the button's settings only when it differs from its kind's default.
    bool IsCaptionStored() const { return text() != DefaultCaption(kind_); }

    // The glyph image of a state as drawn: on the face colour, except the exclusive state, which
    // keeps its transparent pixels. A null image when there is no glyph.
    QImage GlyphImage(TButtonState state) const;

    // What a press does: the Clicked handlers run, then a close button closes its window, and a
    // modal result that no handler cancelled ends the window with it.
    void Click();
    // Called from a Clicked handler: this press does not end the window.
    void CancelModalResult() { pendingModalResult_ = 0; }

    QSize sizeHint() const override;

signals:
    // The press's own handlers.
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RebuildGlyphImages();
    QSize GlyphSize() const;

    QColor color_;
    QPixmap glyph_;
    std::array<QImage, 4> glyphImages_;
    int kind_ = bkCustom;
    int layout_ = blGlyphLeft;
    int margin_ = -1;
    int numGlyphs_ = 1;
    int spacing_ = 4;
    int style_ = bsAutoDetect;
    int modalResult_ = 0;
    int pendingModalResult_ = 0;
};

} // namespace browser
