#include "export/dialog/ExporterDialogFormPDF.h"

#include "export/core/ExporterLocale.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <limits>

namespace exporter {

namespace {

std::vector<std::string> Strings(int first, int count) {
    std::vector<std::string> texts;
    for (int id = first; id < first + count; ++id)
        texts.push_back(ExportLoadStr(id));
    return texts;
}

const double NotANumber = std::numeric_limits<double>::quiet_NaN();

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

} // namespace

std::vector<std::string> PDFPageFormatItems() {
    return Strings(34026, 9);
}

std::vector<std::string> PDFPageUnitsItems() {
    return Strings(34035, 3);
}

std::vector<std::string> PDFPageOrientationItems() {
    return Strings(34038, 2);
}

std::vector<std::string> PDFFontNameItems() {
    // Two items carry a trailing comma, as the page has always shown them.
    return {"Helvetica",   "Helvetica Bold", "Helvetica Oblique", "Helvetica Bold Oblique",
            "Courier",     "Courier Bold",   "Courier Oblique,",  "Courier Bold Oblique",
            "Times Roman", "Times Bold",     "Times Italic,",     "Times Bold Italic",
            "Symbol",      "Zapf Dingbats"};
}

std::vector<std::string> PDFFontEncodingItems() {
    return {"StandardEncoding", "WinAnsiEncoding", "MacRomanEncoding", "PDFDocEncoding"};
}

std::vector<std::string> PDFFontItems() {
    return Strings(34487, 4);
}

TPDFSampleFont PDFSampleFont(const std::string& fontNameText, const TPDFFont& font) {
    const std::string name = rtl::UpperCase(fontNameText);
    TPDFSampleFont sample;
    sample.Size = font.FontSize;
    sample.Color = font.FontColor;
    sample.Bold = Contains(name, "BOLD");
    sample.Italic = Contains(name, "OBLIQUE") || Contains(name, "ITALIC");
    if (Contains(name, "COURIER"))
        sample.Face = "Courier New";
    else if (Contains(name, "TIMES"))
        sample.Face = "Times New Roman";
    else if (Contains(name, "SYMBOL"))
        sample.Face = "Symbol";
    else
        sample.Face = "Arial";
    return sample;
}

std::string TExportPDFPageModel::NumberMask(TExportUnits units) {
    return units == TExportUnits::unInch ? "0.00" : "0";
}

std::string TExportPDFPageModel::LengthText(int points) const {
    const TExportUnits units = Page().Units();
    return rtl::FormatFloat(NumberMask(units), PointsToUnits(points, units));
}

std::string TExportPDFPageModel::SizeText(bool width) const {
    const TExportPDFPageOptions& page = Page();
    if (page.Format() == TExportPageFormat::pfUser)
        return LengthText(width ? page.WidthPoints() : page.HeightPoints());
    const bool landscape = page.Orientation() == TExportPageOrientation::poLandscape;
    const double inches =
        width != landscape ? PageFormatWidth(page.Format()) : PageFormatHeight(page.Format());
    double value = 0;
    switch (page.Units()) {
    case TExportUnits::unInch:
        value = RoundToDigits(inches, 2);
        break;
    case TExportUnits::unMillimeter:
        value = RoundToDigits(inches * 25.4, 0);
        break;
    case TExportUnits::unDot:
        value = InchesToPoints(inches);
        break;
    }
    return rtl::FormatFloat(NumberMask(page.Units()), value);
}

int TExportPDFPageModel::MarginPoints(TPDFMargin margin) const {
    switch (margin) {
    case TPDFMargin::Left:
        return Page().MarginLeftPoints();
    case TPDFMargin::Right:
        return Page().MarginRightPoints();
    case TPDFMargin::Top:
        return Page().MarginTopPoints();
    case TPDFMargin::Bottom:
        break;
    }
    return Page().MarginBottomPoints();
}

std::string TExportPDFPageModel::MarginText(TPDFMargin margin) const {
    return LengthText(MarginPoints(margin));
}

void TExportPDFPageModel::SetMargin(TPDFMargin margin, double value) {
    switch (margin) {
    case TPDFMargin::Left:
        Page().SetMarginLeft(value);
        break;
    case TPDFMargin::Right:
        Page().SetMarginRight(value);
        break;
    case TPDFMargin::Top:
        Page().SetMarginTop(value);
        break;
    case TPDFMargin::Bottom:
        Page().SetMarginBottom(value);
        break;
    }
}

// Text that is not a number keeps the stored points as they are: converting the shown (rounded) value
// back would move them.
void TExportPDFPageModel::SetWidthText(const std::string& text) {
    const double value = StrToFloatDef(text, NotANumber);
    if (!std::isnan(value) && UnitsToPoints(value, Page().Units()) != Page().WidthPoints())
        Page().SetWidth(value);
}

void TExportPDFPageModel::SetHeightText(const std::string& text) {
    const double value = StrToFloatDef(text, NotANumber);
    if (!std::isnan(value) && UnitsToPoints(value, Page().Units()) != Page().HeightPoints())
        Page().SetHeight(value);
}

void TExportPDFPageModel::SetMarginText(TPDFMargin margin, const std::string& text) {
    const double value = StrToFloatDef(text, NotANumber);
    if (!std::isnan(value))
        SetMargin(margin, value);
}

void TExportPDFPageModel::SetUnits(TExportUnits units) {
    Page().SetUnits(units);
    // The margins take the value the edits now show.
    for (TPDFMargin margin : {TPDFMargin::Left, TPDFMargin::Right, TPDFMargin::Top, TPDFMargin::Bottom})
        SetMarginText(margin, MarginText(margin));
}

std::string TExportPDFPageModel::SpacingText(double value) {
    return rtl::FormatFloat("0.0", value);
}

void TExportPDFPageModel::SetColSpacingText(const std::string& text) {
    options_.ColSpacing = StrToFloatDef(text, defaults_.ColSpacing);
}

void TExportPDFPageModel::SetRowSpacingText(const std::string& text) {
    options_.RowSpacing = StrToFloatDef(text, defaults_.RowSpacing);
}

void TExportPDFPageModel::SetGridLineWidthText(const std::string& text) {
    options_.GridLineWidth = rtl::StrToIntDef(text, defaults_.GridLineWidth);
}

TPDFFont& TExportPDFPageModel::Font(int index) const {
    switch (index) {
    case 0:
        return options_.HeaderFont;
    case 1:
        return options_.CaptionFont;
    case 2:
        return options_.DataFont;
    default:
        return options_.FooterFont;
    }
}

void TExportPDFPageModel::SetFontSizeText(int index, const std::string& text) {
    Font(index).FontSize = rtl::StrToIntDef(text, 10);
}

} // namespace exporter
