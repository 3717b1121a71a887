#pragma once

#include "pdfbox/Bookmark.h"
#include "pdfbox/PdfFont.h"
#include "pdfbox/PdfStyle.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pdfbox {

class TPdfBox;

// The drawing surface of a TPdfBox: its current font and style, the named styles and the outline
// tree. Made and owned by its box.
class TPdfCanvas {
public:
    TPdfCanvas(TPdfBox& box, int pixelsPerInch);
    TPdfCanvas(const TPdfCanvas&) = delete;
    TPdfCanvas& operator=(const TPdfCanvas&) = delete;
    ~TPdfCanvas();

    TPdfBox& Box() const { return box_; }
    int PixelsPerInch() const { return pixelsPerInch_; }

    bool EnableOutput() const { return enableOutput_; }
    // Refused while the box has a document open.
    void SetEnableOutput(bool enable);

    // The style registered under `name` (compared without regard to case); none for an empty name.
    // A name not registered is created when `create` is set, else refused ("Invalid style name: <name>").
    TPdfStyle* FindStyle(std::string_view name, bool create = false);
    int StyleCount() const { return static_cast<int>(styles_.size()); }
    TPdfStyle& Style(int index) const { return *styles_.at(static_cast<std::size_t>(index)); }

    // The style the canvas draws with: its font and spacings are applied; none gives Arial 10 in
    // black with no spacing.
    TPdfStyle* CurrentStyle() const { return currentStyle_; }
    void SetCurrentStyle(TPdfStyle* style);

    const TPdfFont& Font() const { return font_; }
    // In the box's length unit.
    double CharacterSpacing() const { return characterSpacing_; }
    double LineSpacing() const { return lineSpacing_; }
    // In radians.
    double FontAngle() const { return fontAngle_; }

    // Content operators produced by setting changes and kept for output, in order.
    const std::vector<std::string>& PendingOperators() const { return pendingOperators_; }

    TBookmark& RootBookmark() const { return *rootBookmark_; }

    // The box's error: aborts an open document, then throws "<message>: <property>".
    [[noreturn]] void RaisePropertyError(std::string_view message, std::string_view property) const;
    // The same, throwing the message as it is.
    [[noreturn]] void RaiseError(std::string_view message) const;

    // Back to the state of a canvas without document: no style, no spacing, no bookmarks, nothing
    // pending. Registered styles are kept.
    void Reset();

private:
    void SetCharacterSpacing(double spacing);

    TPdfBox& box_;
    int pixelsPerInch_;
    bool enableOutput_ = true;
    std::vector<std::unique_ptr<TPdfStyle>> styles_;
    TPdfStyle* currentStyle_ = nullptr;
    TPdfFont font_;
    double characterSpacing_ = 0;
    double fontAngle_ = 0;
    double lineSpacing_ = 0;
    std::vector<std::string> pendingOperators_;
    std::unique_ptr<TBookmark> rootBookmark_;
};

} // namespace pdfbox
