#include "pdfbox/PdfBox.h"

#include "pdfbox/PaperSizes.h"
#include "pdfbox/PdfError.h"

#include <cmath>
#include <utility>

namespace pdfbox {

namespace {

constexpr const char* kModifyWhenOpened = "Can't modify property when opened";
constexpr const char* kInvalidPropertyValue = "Invalid property value";

// Halves go to the even neighbour, as the classic Round does.
int RoundToInt(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

TPdfBox::TPdfBox(const TPdfEnvironment& environment) {
    nonEmbeddedFonts_.SetSorted(true);
    for (const char* font : {"Symbol", "Wingdings", "Webdings"})
        nonEmbeddedFonts_.Add(font);
    for (const char* font : {"Arial", "Courier New", "Symbol", "Times New Roman"})
        standardFontNames_.Add(font);
    if (environment.ScreenPixelsPerInch) {
        const int pixelsPerInch = environment.ScreenPixelsPerInch();
        if (pixelsPerInch > 0)
            pixelsPerInch_ = pixelsPerInch;
    }
    SetUnitFactors();
    canvas_ = std::make_unique<TPdfCanvas>(*this, pixelsPerInch_);
    SetPaperSize(DefaultPaperSize(environment));
}

TPdfBox::~TPdfBox() = default;

std::string TPdfBox::About() const {
    return "Vellumcast version 2.2";
}

void TPdfBox::RefuseWhileOpen(std::string_view property) {
    if (opened_)
        RaisePropertyError(kModifyWhenOpened, property);
}

void TPdfBox::SetAuthor(std::string value) {
    RefuseWhileOpen("Author");
    author_ = std::move(value);
}

void TPdfBox::SetEmbedFonts(bool value) {
    RefuseWhileOpen("EmbedFonts");
    embedFonts_ = value;
}

void TPdfBox::SetFileName(std::string value) {
    RefuseWhileOpen("FileName");
    fileName_ = std::move(value);
}

void TPdfBox::SetJpegQuality(int value) {
    if (value < 1 || value > 100)
        RaisePropertyError("Invalid value for property", "JpegQuality");
    jpegQuality_ = value;
}

void TPdfBox::SetKeywords(std::string value) {
    RefuseWhileOpen("Keywords");
    keywords_ = std::move(value);
}

void TPdfBox::SetLengthUnit(TLengthUnit value) {
    RefuseWhileOpen("LengthUnit");
    if (value == lengthUnit_)
        return;
    const double factor = value == TLengthUnit::luTenth ? 254.0 / 72.0 : 72.0 / 254.0;
    pageWidth_ = RoundToInt(pageWidth_ * factor);
    pageHeight_ = RoundToInt(pageHeight_ * factor);
    lengthUnit_ = value;
    SetUnitFactors();
}

void TPdfBox::SetUnitFactors() {
    const bool tenths = lengthUnit_ == TLengthUnit::luTenth;
    unitToPoints_ = tenths ? 72.0 / 254.0 : 1.0;
    pixelsToUnit_ = (tenths ? 254.0 : 72.0) / pixelsPerInch_;
}

void TPdfBox::SetNonEmbeddedFonts(const rtl::TStringList& fonts) {
    rtl::TStringList assigned;
    assigned.SetSorted(true);
    for (int i = 0; i < fonts.Count(); ++i)
        assigned.Add(fonts[i]);
    nonEmbeddedFonts_ = std::move(assigned);
}

void TPdfBox::SetOrientation(TPrinterOrientation value) {
    RefuseWhileOpen("Orientation (use NewSection method)");
    if (value == orientation_)
        return;
    orientation_ = value;
    std::swap(pageWidth_, pageHeight_);
}

void TPdfBox::SetPageHeight(int value) {
    RefuseWhileOpen("PageHeight (use NewSection method)");
    pageHeight_ = value;
    paperSize_ = CustomPaperSize;
}

void TPdfBox::SetPageWidth(int value) {
    RefuseWhileOpen("PageWidth (use NewSection method)");
    pageWidth_ = value;
    paperSize_ = CustomPaperSize;
}

std::string TPdfBox::PaperSizeName() const {
    return std::string(PaperSizeEntry(paperSize_).Name);
}

void TPdfBox::SetPaperSizeName(std::string_view name) {
    RefuseWhileOpen("PaperSizeName (use NewSection method)");
    const int number = FindPaperSizeByName(name);
    if (number < 0)
        RaisePropertyError(kInvalidPropertyValue, "PaperSizeName");
    SetPaperSize(number);
}

void TPdfBox::SetPaperSize(int number) {
    RefuseWhileOpen("PaperSize (use NewSection method)");
    if (number < 0 || number > MaxPaperSize)
        RaisePropertyError(kInvalidPropertyValue, "PaperSize");
    const TPaperSize& paper = PaperSizeEntry(number);
    paperSize_ = number;
    // The table is in tenths of a millimetre.
    const double factor = lengthUnit_ == TLengthUnit::luTenth ? 1.0 : 72.0 / 254.0;
    pageWidth_ = RoundToInt(paper.Width * factor);
    pageHeight_ = RoundToInt(paper.Height * factor);
    if (orientation_ == TPrinterOrientation::poLandscape)
        std::swap(pageWidth_, pageHeight_);
}

void TPdfBox::SetProducer(std::string value) {
    RefuseWhileOpen("Producer");
    producer_ = std::move(value);
}

void TPdfBox::SetSubject(std::string value) {
    RefuseWhileOpen("Subject");
    subject_ = std::move(value);
}

void TPdfBox::SetTitle(std::string value) {
    RefuseWhileOpen("Title");
    title_ = std::move(value);
}

void TPdfBox::Abort() {
    if (!opened_)
        return;
    // The component never writes a document, so there is no partial output to remove; a file that
    // already exists under FileName is the user's and stays.
    if (OnAbort)
        OnAbort(*this);
    opened_ = false;
    canvas_->Reset();
}

void TPdfBox::RaisePropertyError(std::string_view message, std::string_view property) {
    RaiseError(std::string(message) + ": " + std::string(property));
}

void TPdfBox::RaiseError(std::string_view message) {
    if (opened_)
        Abort();
    throw EPdfBoxError(std::string(message));
}

} // namespace pdfbox
