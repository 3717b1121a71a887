#pragma once

// The PDF page of the export dialog without the window: the page size, units, orientation and margins
// as the page's edits show and read them, the spacings and grid line width, and the four fonts with the
// look of the sample. It works on the form's copy of the PDF options; the component's options give the
// defaults for text that is not a number.

#include "export/dialog/ExporterOptions.h"

#include <string>
#include <vector>

namespace exporter {

enum class TPDFMargin { Left, Right, Top, Bottom };

// How the sample panel shows a font: its face, style, size and colour.
struct TPDFSampleFont {
    std::string Face;
    bool Bold = false;
    bool Italic = false;
    int Size = 10;
    TExportColor Color = 0;
};

// The combo items of the page, in enumeration order.
std::vector<std::string> PDFPageFormatItems();
std::vector<std::string> PDFPageUnitsItems();
std::vector<std::string> PDFPageOrientationItems();
std::vector<std::string> PDFFontNameItems();
std::vector<std::string> PDFFontEncodingItems();
// The captions of the four font items ("Header Font" ... "Footer Font").
std::vector<std::string> PDFFontItems();

// The sample's look for the text of the font-name combo.
TPDFSampleFont PDFSampleFont(const std::string& fontNameText, const TPDFFont& font);

class TExportPDFPageModel {
public:
    TExportPDFPageModel(TExportPDFOptions& options, const TExportPDFOptions& defaults)
        : options_(options), defaults_(defaults) {}

    TExportPDFPageOptions& Page() const { return options_.PageOptions; }

    // The number mask of the units: "0.00" for inches, "0" for millimetres and dots.
    static std::string NumberMask(TExportUnits units);
    // A length in points as the page shows it in the current units.
    std::string LengthText(int points) const;
    // The size of a standard format shows as the paper's own size (A4: 8.27 x 11.69 inches), a user
    // format's from its points.
    std::string WidthText() const { return SizeText(true); }
    std::string HeightText() const { return SizeText(false); }
    std::string MarginText(TPDFMargin margin) const;

    void SetPageFormat(TExportPageFormat format) { Page().SetFormat(format); }
    // A width or height typed in the current units; a changed size makes the format a user format.
    void SetWidthText(const std::string& text);
    void SetHeightText(const std::string& text);
    void SetMarginText(TPDFMargin margin, const std::string& text);
    // New units: the margins are read back as the page shows them in the new units.
    void SetUnits(TExportUnits units);
    void SetOrientation(TExportPageOrientation orientation) { Page().SetOrientation(orientation); }

    // Spacings ("0.0") and grid line width; text that is not a number gives the component's value.
    static std::string SpacingText(double value);
    void SetColSpacingText(const std::string& text);
    void SetRowSpacingText(const std::string& text);
    void SetGridLineWidthText(const std::string& text);

    // The four fonts in list order: header, caption, data, footer.
    TPDFFont& Font(int index) const;
    // Font size text; not a number gives 10.
    void SetFontSizeText(int index, const std::string& text);

private:
    std::string SizeText(bool width) const;
    int MarginPoints(TPDFMargin margin) const;
    void SetMargin(TPDFMargin margin, double value);

    TExportPDFOptions& options_;
    const TExportPDFOptions& defaults_;
};

} // namespace exporter
