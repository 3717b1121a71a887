#pragma once

// The option objects of the export dialog: one per format family. The dialog component owns one of each
// and hands them to its form, whose pages edit copies of them; the run copies the pages' state into the
// exporter of the chosen type. Each object copies all its values in Assign (the owner stays).

#include "export/core/ExporterHTML.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterTypes.h"
#include "export/xls/ExporterXLSFormats.h"
#include "export/xls/ExporterXLSSheet.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "platform/rtl/StringList.h"

#include <set>
#include <string>

namespace exporter {

class TExporterDialog;

// The base: remembers the dialog component that owns it.
class TExportOptions {
public:
    explicit TExportOptions(TExporterDialog* owner = nullptr) : owner_(owner) {}
    virtual ~TExportOptions() = default;
    TExportOptions(const TExportOptions&) = delete;
    TExportOptions& operator=(const TExportOptions&) = delete;

    TExporterDialog* GetOwner() const { return owner_; }

private:
    TExporterDialog* owner_;
};

class TExportRTFOptions : public TExportOptions {
public:
    explicit TExportRTFOptions(TExporterDialog* owner = nullptr);
    void Assign(const TExportRTFOptions& source);

    rtl::TStringList CaptionAligns; // Name=Left|Center|Right
    TrtfStyle CaptionStyle;         // bold and centred
    TrtfStyle DataStyle;
    TrtfStyle FooterStyle;
    TrtfStyle HeaderStyle;
    TExportPageOrientation PageOrientation = TExportPageOrientation::poPortrait;
    TrtfStyles StripStyles;
    TrtfStripType StripType = TrtfStripType::stNone;
};

class TExportXMLOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportXMLOptions& source);

    bool Standalone = true;
    std::string Encoding;
};

class TExportSQLOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportSQLOptions& source);

    std::string TableName;
    bool CreateTable = false;
    int CommitRecCount = 0;
    bool CommitAfterScript = false;
    std::string CommitStatement = "COMMIT WORK;";
    std::string StatementTerm = ";";
};

class TExportHTMLTableOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportHTMLTableOptions& source);

    int BorderWidth = 1;
    int CellPadding = 4;
    int CellSpacing = 1;
    rtl::TStringList AdvancedAttributes;
    TExportColor HeadersRowBgColor = 0x0000FF;
    TExportColor HeadersRowFontColor = 0xFFFFFF;
    TExportColor TableBgColor = 0xEC7A00;
    TExportColor TableFontColor = 0xFFFFFF;
    TExportColor OddRowBgColor = 0xCE6B00;
    TExportColor BorderColor = 0xFFFFFF;
    std::string BackgroundFileName;
};

class TExportHTMLPageOptions : public TExportOptions {
public:
    explicit TExportHTMLPageOptions(TExporterDialog* owner = nullptr);
    void Assign(const TExportHTMLPageOptions& source);

    std::string Title;
    TExportColor BackgroundColor = 0x993333;
    TExportFont TextFont; // "Arial", colour $FFFFFF
    std::set<TDefaultOption> DefaultOptions{TDefaultOption::doFontSize};
    TExportColor LinkColor = 0x7DEF69;
    TExportColor VLinkColor = 0xFF00FF;
    TExportColor ALinkColor = 0x00FF00;
    std::string BackgroundFileName;
    rtl::TStringList AdvancedAttributes;
    TUsingCSS UsingCSS = TUsingCSS::usInternal;
    std::string CSSFileName;
    bool OverwriteCSSFile = true;
    bool BoolAsCheckBox = false;
};

class TExportHTMLMultiFileOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportHTMLMultiFileOptions& source);

    int FileRecCount = 0;
    bool GenerateIndex = false;
    std::string IndexLinkTemplate;
    bool NavigationOnTop = true;
    bool NavigationOnBottom = true;
    std::string IndexLinkTitle = "Index";
    std::string FirstLinkTitle = "First";
    std::string PriorLinkTitle = "Prior";
    std::string NextLinkTitle = "Next";
    std::string LastLinkTitle = "Last";
};

class TExportTXTOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportTXTOptions& source);

    bool AutoCalcColWidth = true;
    int ColSpacing = 1;
};

class TExportCSVOptions : public TExportOptions {
public:
    explicit TExportCSVOptions(TExporterDialog* owner = nullptr);
    void Assign(const TExportCSVOptions& source);

    char Comma; // the locale's list separator, "," when it has none
    char Quote = '"';
    bool QuoteStrings = true;
};

class TExportPDFOptions : public TExportOptions {
public:
    using TExportOptions::TExportOptions;
    void Assign(const TExportPDFOptions& source);

    TExportPDFPageOptions PageOptions;
    TPDFFont HeaderFont{"HeaderFont"};
    TPDFFont CaptionFont{"CaptionFont"};
    TPDFFont DataFont{"DataFont"};
    TPDFFont FooterFont{"FooterFont"};
    double RowSpacing = 1.0;
    double ColSpacing = 3.0;
    int GridLineWidth = 1;
};

// The workbook options with the sheet objects (hyperlinks, notes, charts, pictures, images, user cells
// and merged cells) the workbook exporter adds to its sheet.
class TExportXLSOptions : public TExportOptions, public TxlsObjectOwner {
public:
    explicit TExportXLSOptions(TExporterDialog* owner = nullptr);
    void Assign(const TExportXLSOptions& source);

    const std::string& SheetTitle() const { return sheetTitle_; }
    // An empty title stores "Sheet1".
    void SetSheetTitle(const std::string& value) { sheetTitle_ = value.empty() ? "Sheet1" : value; }

    // TxlsObjectOwner: the hyperlinks take this format.
    const TxlsFormat* GetHyperlinkFormat() const override { return &HyperlinkFormat; }

    bool AutoCalcColWidth = false;
    std::string PageHeader;
    std::string PageFooter = "Page &P of &N";
    std::string PageBackground;
    TxlsFormat HeaderFormat;
    TxlsFormat CaptionFormat; // bold
    TxlsFormat DataFormat;
    TxlsFormat AggregateFormat;
    TxlsFormat FooterFormat;
    TxlsFormat HyperlinkFormat; // blue, single underline
    TxlsNoteFormat NoteFormat;
    TxlsFieldFormats FieldFormats{this};
    TxlsFormats StripStyles{this, true};
    TxlsStripType StripType = ssNone;
    TxlsHyperlinks Hyperlinks{this};
    TxlsNotes Notes{this};
    TxlsCharts Charts{this};
    TxlsPictures Pictures{this};
    TxlsImages Images{this};
    TxlsCells Cells{this};
    TxlsMergedCellList MergedCells{this};

private:
    std::string sheetTitle_ = "Sheet 1";
};

// Copies every item of one collection into another (emptied first).
void AssignFieldFormats(TxlsFieldFormats& target, const TxlsFieldFormats& source);
void AssignFormats(TxlsFormats& target, const TxlsFormats& source);

} // namespace exporter
