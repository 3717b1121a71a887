#include "export/core/ExporterPDF.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace exporter {

namespace {

// Every number of the file is written with a full stop, whatever the process locale says.
std::string Fmt(std::string_view format, const rtl::FormatArgs& args) {
    return rtl::Format(format, args, rtl::LocaleFacts::Default());
}

int Trunc(double value) {
    return int(std::trunc(value));
}

} // namespace

std::string PDFFontNameText(TPDFFontName font) {
    static const char* const names[] = {
        "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
        "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
        "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
        "Symbol",      "ZapfDingbats"};
    return names[int(font)];
}

std::string PDFFontEncodingText(TPDFFontEncoding encoding) {
    static const char* const names[] = {"StandardEncoding", "WinAnsiEncoding", "MacRomanEncoding",
                                        "PDFDocEncoding"};
    return names[int(encoding)];
}

int TPDFTextWidth(const std::string& text, int size, TPDFFontName font) {
    const TPDFWidthTable& widths = PDFFontWidths(font);
    std::int64_t sum = 0;
    for (unsigned char code : rtl::Utf8ToWindows1252(text))
        sum += widths[code];
    return int(sum * size / 1000);
}

int TPDFCharsWidth(int size, double chars) {
    return Trunc(size * chars * 123990 / 256 / 1000);
}

// ---------------------------------------------------------------------------------------------------
// TPDFDocument

TPDFDocument::TPDFDocument(std::ostream& stream) : stream_(stream), font_("") {}

void TPDFDocument::Write(const std::string& text) {
    stream_.write(text.data(), std::streamsize(text.size()));
    size_ += std::int64_t(text.size());
}

int TPDFDocument::NewObject() {
    offsets_.push_back(size_);
    return ObjNumber();
}

std::string TPDFDocument::ColorOperands(TExportColor color) {
    return Fmt("%.2f %.2f %.2f", {double(color & 0xFF) / 255, double((color >> 8) & 0xFF) / 255,
                                  double((color >> 16) & 0xFF) / 255});
}

void TPDFDocument::BeginDoc() {
    pages_.clear();
    offsets_.clear();
    fonts_.clear();
    streamOpen_ = false;
    LineWidth = 1.0;
    LineSpacing = 1.0;
    lineColor_ = 0;
    fillColor_ = 0;
    Write("%PDF-1.3\r");
}

void TPDFDocument::NewPage() {
    EndPage();
    const int n = NewObject();
    pages_.push_back(Fmt("%d 0 R", {n}));
    // The stream keyword ends with CR LF: a CR alone would make the data's first byte ambiguous.
    Write(Fmt("%d 0 obj\r<< /Length %d 0 R >>\rstream\r\n", {n, n + 1}));
    dataStart_ = size_;
    streamOpen_ = true;
    // A new content stream starts in the default graphics state.
    lineColor_ = 0;
    fillColor_ = 0;
}

void TPDFDocument::EndPage() {
    if (!streamOpen_)
        return;
    const std::int64_t length = size_ - dataStart_;
    Write("endstream\rendobj\r");
    const int n = NewObject();
    Write(Fmt("%d 0 obj\r%d \rendobj\r", {n, static_cast<long long>(length)}));
    streamOpen_ = false;
}

void TPDFDocument::AddFont(const TPDFFont& font) {
    for (const TPDFFont& f : fonts_)
        if (f.ResourceName == font.ResourceName)
            throw EExportError(rtl::Format("Font %s already exists", {font.ResourceName}));
    fonts_.push_back(font);
}

void TPDFDocument::TextOut(int x, int y, TExportColor color, const std::string& text) {
    // Parentheses are escaped so that an unbalanced one cannot end the string operand early.
    std::string operand;
    for (char c : rtl::Utf8ToWindows1252(text)) {
        if (c == '(' || c == ')')
            operand += '\\';
        operand += c;
    }
    const TExportColor previous = fillColor_;
    const bool recolor = color != fillColor_;
    if (recolor)
        SetFillColor(color);
    Write(Fmt("BT\r/%s %d Tf\r%d %d Td (", {font_.ResourceName, font_.FontSize, x, y}));
    Write(operand);
    Write(") Tj\rET\r");
    if (recolor)
        SetFillColor(previous);
}

void TPDFDocument::Line(double x1, double y1, double x2, double y2, TExportColor color) {
    const TExportColor previous = lineColor_;
    const bool recolor = color != lineColor_;
    if (recolor)
        SetLineColor(color);
    Write(Fmt("%.1f %.1f m \r%.1f %.1f l \r%.1f w \rS\r", {x1, y1, x2, y2, LineWidth}));
    if (recolor)
        SetLineColor(previous);
}

void TPDFDocument::FillRect(double x, double y, double w, double h, TExportColor color) {
    const TExportColor previous = fillColor_;
    const bool recolor = color != fillColor_;
    if (recolor)
        SetFillColor(color);
    Write(Fmt("%.1f %.1f %.1f %.1f re %s\r", {x, y, w, h, "f"}));
    if (recolor)
        SetFillColor(previous);
}

TExportColor TPDFDocument::SetLineColor(TExportColor color) {
    const TExportColor previous = lineColor_;
    lineColor_ = color;
    Write(ColorOperands(color) + " RG\r");
    return previous;
}

TExportColor TPDFDocument::SetFillColor(TExportColor color) {
    const TExportColor previous = fillColor_;
    fillColor_ = color;
    Write(ColorOperands(color) + " rg\r");
    return previous;
}

void TPDFDocument::EndDoc() {
    EndPage();

    const int outlines = NewObject();
    Write(Fmt("%d 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r", {outlines}));

    std::vector<int> fontObjects;
    for (const TPDFFont& font : fonts_) {
        std::string widths;
        for (int w : PDFFontWidths(font.BaseFont))
            widths += std::to_string(w) + " ";
        const int n = NewObject();
        fontObjects.push_back(n);
        Write(Fmt("%d 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /%s\r/BaseFont /%s\r/Encoding /%s\r"
                  "/FirstChar 0\r/LastChar 255\r/Widths [%s]\r>>\rendobj\r",
                  {n, font.ResourceName, PDFFontNameText(font.BaseFont),
                   PDFFontEncodingText(font.FontEncoding), widths}));
    }

    std::string fontRefs;
    for (size_t i = 0; i < fonts_.size(); ++i)
        fontRefs += Fmt("/%s %d 0 R ", {fonts_[i].ResourceName, fontObjects[i]});
    const int resources = NewObject();
    Write(Fmt("%d 0 obj\r<< /Font <<%s >> /ProcSet [ /PDF /Text ] >>\rendobj\r", {resources, fontRefs}));

    const int pageTree = ObjNumber() + 1;
    std::string kids;
    for (int i = 1; i <= PageCount(); ++i)
        kids += Fmt("%d 0 R ", {pageTree + i});
    NewObject();
    Write(
        Fmt("%d 0 obj\r<< /Type /Pages\r/Count %d\r/Kids [%s]\r>>\rendobj\r", {pageTree, PageCount(), kids}));
    for (const std::string& contents : pages_) {
        const int n = NewObject();
        Write(Fmt("%d 0 obj\r<< /Type /Page\r/Parent %d 0 R\r/Resources %d 0 R\r/MediaBox [%d %d %d %d]\r"
                  "/TrimBox [%d %d %d %d]\r/Contents %s\r>>\rendobj\r",
                  {n, pageTree, resources, MediaBox.Left, MediaBox.Bottom, MediaBox.Right, MediaBox.Top,
                   TrimBox.Left, TrimBox.Bottom, TrimBox.Right, TrimBox.Top, contents}));
    }

    const int catalog = NewObject();
    Write(Fmt("%d 0 obj\r<< /Type /Catalog \r/Pages %d 0 R \r/Outlines %d 0 R \r>>\rendobj\r",
              {catalog, pageTree, outlines}));

    const std::int64_t xref = size_;
    Write(Fmt("xref\r0 %d\r0000000000 65535 f \r", {ObjNumber() + 1}));
    for (std::int64_t offset : offsets_)
        Write(Fmt("%10.10d 00000 n \r", {static_cast<long long>(offset)}));
    Write(Fmt("trailer\r<< /Size %d\r/Root %d 0 R\r>>\rstartxref\r%d\r",
              {ObjNumber() + 1, catalog, static_cast<long long>(xref)}));
    Write("%%EOF");
}

// ---------------------------------------------------------------------------------------------------
// TExportPDFPageOptions

TExportPDFPageOptions::TExportPDFPageOptions() {
    marginLeft_ = InchesToPoints(1.18);
    marginBottom_ = InchesToPoints(0.79);
    marginRight_ = InchesToPoints(0.59);
    marginTop_ = InchesToPoints(0.79);
    SetFormat(TExportPageFormat::pfA4);
}

void TExportPDFPageOptions::SetWidth(double value) {
    width_ = UnitsToPoints(value, units_);
    SetFormat(TExportPageFormat::pfUser);
}

void TExportPDFPageOptions::SetHeight(double value) {
    height_ = UnitsToPoints(value, units_);
    SetFormat(TExportPageFormat::pfUser);
}

void TExportPDFPageOptions::SetFormat(TExportPageFormat format) {
    if (format == format_)
        return;
    format_ = format;
    if (format == TExportPageFormat::pfUser)
        return;
    width_ = InchesToPoints(PageFormatWidth(format));
    height_ = InchesToPoints(PageFormatHeight(format));
}

void TExportPDFPageOptions::SetOrientation(TExportPageOrientation orientation) {
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    std::swap(width_, height_);
    const int left = marginLeft_, right = marginRight_, top = marginTop_, bottom = marginBottom_;
    if (orientation == TExportPageOrientation::poLandscape) {
        marginLeft_ = bottom;
        marginRight_ = top;
        marginTop_ = left;
        marginBottom_ = right;
    } else {
        marginLeft_ = top;
        marginRight_ = bottom;
        marginTop_ = right;
        marginBottom_ = left;
    }
}

TPDFBox TExportPDFPageOptions::MediaBox() const {
    return {0, 0, width_ - 1, height_ - 1};
}

TPDFBox TExportPDFPageOptions::TrimBox() const {
    return {marginLeft_, marginBottom_, width_ - marginRight_ - 1, height_ - marginTop_ - 1};
}

// ---------------------------------------------------------------------------------------------------
// TPDFWriter and TExporterPDF

TPDFWriter::TPDFWriter(TExporter& owner, std::ostream& stream)
    : TExportWriter(owner, stream), document_(std::make_unique<TPDFDocument>(stream)) {}

std::unique_ptr<TExportWriter> TExporterPDF::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TPDFWriter>(*this, stream);
}

TPDFDocument& TExporterPDF::Document() {
    return static_cast<TPDFWriter&>(Writer()).Document();
}

void TExporterPDF::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    chars.set(static_cast<unsigned char>('\\'));
}

std::string TExporterPDF::NormalString(const std::string& s) const {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

void TExporterPDF::DrawGridLine(int y) {
    Document().Line(xs_.front(), y, xs_.back(), y, Options.GridLineColor);
}

void TExporterPDF::DrawColumnLines(int top, int bottom) {
    const double half = Options.GridLineWidth / 2.0;
    for (int x : xs_)
        Document().Line(x, top + half, x, bottom - half, Options.GridLineColor);
}

void TExporterPDF::BeginExport() {
    TExporterFormatText::BeginExport();
    if (Aborted)
        return;
    TPDFDocument& doc = Document();
    const TPDFBox trim = Options.PageOptions.TrimBox();
    y_ = blockTop_ = trim.Top;
    xs_.assign(1, trim.Left);
    for (int i = 0; i < Columns.Count(); ++i)
        xs_.push_back(xs_.back() +
                      TPDFCharsWidth(Options.DataFont.FontSize, Columns[i].Width + Options.ColSpacing));
    doc.MediaBox = Options.PageOptions.MediaBox();
    doc.TrimBox = trim;
    doc.BeginDoc();
    doc.NewPage();
    doc.LineWidth = Options.GridLineWidth;
    doc.LineSpacing = Options.RowSpacing;
    doc.SetLineColor(Options.GridLineColor);
    WriteHeader();
    doc.AddFont(Options.DataFont);
    doc.AddFont(Options.CaptionFont);
    doc.AddFont(Options.HeaderFont);
    doc.AddFont(Options.FooterFont);
}

void TExporterPDF::WriteTextLines(const rtl::TStringList& lines, const TPDFFont& font, bool colorsOnNewPage) {
    if (lines.Count() == 0)
        return;
    TPDFDocument& doc = Document();
    const TPDFBox trim = Options.PageOptions.TrimBox();
    const int size = font.FontSize;
    const int lineStep = Trunc((Options.RowSpacing / 2 + 1) * size);
    doc.SetFont(font);
    for (int i = 0; i < lines.Count(); ++i) {
        y_ -= lineStep;
        if (y_ < trim.Bottom) {
            doc.NewPage();
            if (colorsOnNewPage) {
                doc.SetFillColor(font.FontColor);
                doc.SetLineColor(Options.GridLineColor);
            }
            y_ = trim.Top - lineStep;
        }
        // Header and footer lines are plain text too: their backslashes are doubled like the cells'.
        doc.TextOut(trim.Left, y_, font.FontColor, NormalString(lines[i]));
    }
    y_ -= Trunc(size * Options.RowSpacing / 2);
}

void TExporterPDF::WriteHeader() {
    WriteTextLines(Header, Options.HeaderFont, true);
    blockTop_ = y_;
}

void TExporterPDF::WriteFooter() {
    WriteTextLines(Footer, Options.FooterFont, false);
}

void TExporterPDF::WriteCaptionRow() {
    TPDFDocument& doc = Document();
    const TPDFFont& font = Options.CaptionFont;
    const int size = font.FontSize;
    doc.SetFont(font);
    DrawGridLine(y_);
    y_ -= Trunc((Options.RowSpacing / 2 + 1) * size);
    const int indent = TPDFCharsWidth(size, Options.ColSpacing / 2);
    for (int i = 0; i < Columns.Count(); ++i)
        doc.TextOut(xs_[size_t(i)] + indent, y_, font.FontColor, GetColCaption(i));
    y_ -= Trunc(size * Options.RowSpacing / 2);
    DrawGridLine(y_);
}

void TExporterPDF::WriteDataRow() {
    TPDFDocument& doc = Document();
    const TPDFFont& dataFont = Options.DataFont;
    const int size = dataFont.FontSize;
    const double spacing = Options.RowSpacing;
    const TPDFBox trim = Options.PageOptions.TrimBox();
    doc.SetFont(dataFont);
    if (y_ - Trunc((1 + spacing) * size) < trim.Bottom) {
        DrawColumnLines(blockTop_, y_);
        y_ = blockTop_ = trim.Top;
        doc.NewPage();
        doc.SetFillColor(dataFont.FontColor);
        doc.SetLineColor(Options.GridLineColor);
        DrawGridLine(y_);
    }
    y_ -= Trunc((spacing / 2 + 1) * size);
    const int indent = TPDFCharsWidth(size, Options.ColSpacing / 2);
    for (int i = 0; i < ExportRow.Count() && i < Columns.Count(); ++i) {
        const TExportColumn& column = Columns[i];
        const std::string text = ExportRow[i].GetText(true);
        TExportFont cellFont;
        cellFont.Name = PDFFontNameText(dataFont.BaseFont);
        cellFont.Size = size;
        cellFont.Color = dataFont.FontColor;
        TExportColAlign align = column.ColAlign;
        TExportColor background = 0xFFFFFF;
        DoGetCellParams(RecordCounter, i, text, align, cellFont, background);

        const int left = xs_[size_t(i)];
        const int right = xs_[size_t(i) + 1];
        if (background != 0xFFFFFF)
            doc.FillRect(left, y_ - size * spacing / 2, right - left,
                         (1 + spacing) * size - Options.GridLineWidth / 2.0, background);
        const int textWidth = TPDFTextWidth(text, size, dataFont.BaseFont);
        int x = left + indent;
        if (align == TExportColAlign::ecaCenter)
            x += (TPDFCharsWidth(size, column.Width) - textWidth) / 2;
        else if (align == TExportColAlign::ecaRight)
            x = right - indent - textWidth;
        doc.TextOut(x, y_, cellFont.Color, text);
    }
    y_ -= Trunc(size * spacing / 2);
    DrawGridLine(y_);
}

void TExporterPDF::EndExport() {
    TPDFDocument& doc = Document();
    if (y_ != blockTop_)
        DrawColumnLines(blockTop_, y_);
    WriteFooter();
    doc.EndPage();
    doc.EndDoc();
    TExporterFormatText::EndExport();
}

} // namespace exporter
