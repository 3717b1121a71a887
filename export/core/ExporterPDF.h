#pragma once

// A ruled table of the exported rows on PDF 1.3 pages, written by a small PDF writer of its own. Only the
// standard Type 1 fonts are used and nothing is embedded; texts are written in the encoding each font
// declares.

#include "export/core/Exporter.h"
#include "export/core/ExporterCodePages.h"
#include "export/core/ExporterPDFFontMetrics.h"
#include "export/core/ExporterPageUtils.h"

#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

enum class TPDFFontEncoding { poStandardEncoding, poWinAnsiEncoding, poMacRomanEncoding, poPDFDocEncoding };

// "Helvetica", "Helvetica-Bold", ... "ZapfDingbats".
const std::string& PDFFontNameText(TPDFFontName font);
// "StandardEncoding", "WinAnsiEncoding", "MacRomanEncoding", "PDFDocEncoding".
std::string PDFFontEncodingText(TPDFFontEncoding encoding);

// A rectangle in points.
struct TPDFBox {
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
    int Top = 0;
    void Assign(const TPDFBox& other) { *this = other; }
    bool operator==(const TPDFBox&) const = default;
};

// One font as a page resource.
struct TPDFFont {
    TPDFFont() = default;
    explicit TPDFFont(std::string resourceName) : ResourceName(std::move(resourceName)) {}
    std::string ResourceName;
    TPDFFontName BaseFont = TPDFFontName::poHelvetica;
    int FontSize = 10;
    TPDFFontEncoding FontEncoding = TPDFFontEncoding::poWinAnsiEncoding;
    TExportColor FontColor = 0;
    void Assign(const TPDFFont& other) { *this = other; }
};

// The character set of a font encoding (WinAnsiEncoding is Windows-1252, MacRomanEncoding Mac Roman).
const TSingleByteCharset& PDFEncodingCharset(TPDFFontEncoding encoding);
// The glyph widths of a font by the codes of an encoding (for Symbol and ZapfDingbats, whose glyphs no
// text encoding reaches, the font's own table whatever the encoding).
const TPDFWidthTable& PDFEncodedWidths(TPDFFontName font, TPDFFontEncoding encoding);

// Width of a text (UTF-8) in a font of that size: the sum of the glyph widths x size / 1000, truncated.
int TPDFTextWidth(const std::string& text, int size, TPDFFontName font = TPDFFontName::poHelvetica,
                  TPDFFontEncoding encoding = TPDFFontEncoding::poWinAnsiEncoding);
// The longest start of the text that is at most width points wide in the font; a text cut short ends
// with an ellipsis within that width (nothing when not even the ellipsis fits). fittedWidth, when given,
// receives the result's TPDFTextWidth at the font's size.
std::string PDFFitText(const std::string& text, int width, const TPDFFont& font, int* fittedWidth = nullptr);
// PDFFitText in the text's own storage.
void PDFFitTextInPlace(std::string& text, int width, const TPDFFont& font, int* fittedWidth = nullptr);

// A text cut to a width and encoded in a font's encoding, and its width.
struct TPDFFittedText {
    std::string_view Bytes;
    int Width = 0;
};

// Cuts texts as PDFFitText does in one font and encodes the result as TextOut does (a character the
// encoding lacks becomes "?"), in one pass over the text.
class TPDFTextFitter {
public:
    explicit TPDFTextFitter(const TPDFFont& font = TPDFFont());
    // The result's bytes stay valid until the next call.
    TPDFFittedText Fit(std::string_view text, int width);

    const TPDFFont& Font() const { return font_; }
    // The font's encoding and its glyph widths by code; whether a text of ASCII is its own encoding.
    const TSingleByteCharset& Charset() const { return *charset_; }
    const TPDFWidthTable& Widths() const { return *widths_; }
    bool AsciiAsItIs() const { return charset_->AsciiAsItIs(); }
    // The widths of two ASCII bytes together, by the two bytes as a little-endian 16-bit number (a zero
    // byte counts as no glyph); empty unless ASCII is its own encoding.
    const std::uint16_t* AsciiPairWidths() const { return asciiPairWidths_.data(); }
    // The widest glyph: times a text's length in bytes, an upper bound of its width.
    int MaxWidth() const { return maxWidth_; }
    // The ellipsis that ends a cut text, in the encoding, and its width at size 1000.
    std::string_view Ellipsis() const { return ellipsis_; }
    std::int64_t EllipsisWidth() const { return ellipsisWidth_; }
    // Whether the ellipsis goes into a string operand as it is, and then its bytes in a fixed room.
    bool EllipsisIsPlain() const { return ellipsisPlain_; }
    const std::array<char, 4>& EllipsisRoom() const { return ellipsisRoom_; }

private:
    TPDFFont font_;
    const TSingleByteCharset* charset_;
    const TPDFWidthTable* widths_;
    std::string ellipsis_;           // in the encoding
    std::int64_t ellipsisWidth_ = 0; // at size 1000
    int maxWidth_ = 0;
    bool ellipsisPlain_ = false;
    std::array<char, 4> ellipsisRoom_{};
    std::vector<std::uint16_t> asciiPairWidths_;
    std::string bytes_; // the storage of the results
};

// Where a text width points wide starts in a room of room points from left for the alignment: at left,
// centred (halves rounded towards zero), or ending at the room's end.
inline int PDFAlignedX(int left, int room, int width, TExportColAlign align) {
    if (align == TExportColAlign::ecaCenter)
        return left + (room - width) / 2;
    if (align == TExportColAlign::ecaRight)
        return left + room - width;
    return left;
}

// Where the cells of a column go in a fitter's font: a room of room points from left and the alignment in
// it, with what drawing a cell there works out from them, for every cell of the column alike.
struct TPDFCellPlace {
    TPDFCellPlace(const TPDFTextFitter& fitter, int left, int room, TExportColAlign align);
    int Left = 0;
    int Room = 0;
    TExportColAlign Align = TExportColAlign::ecaLeft;
    std::int64_t Limit = 0; // the room in thousandths of a point per size unit
    // A text of at most this many bytes needs no measuring: it fits and its x is Left (-1 when none).
    std::int64_t UnmeasuredLength = -1;
    int LeftDigits = 0; // the count of Left's digits
    // Left's digits (the room holds those of any int; bytes beyond them are undefined).
    std::array<char, 12> LeftText{};
};

// Width of chars average characters: size x chars x 123990 / 256 / 1000, truncated.
int TPDFCharsWidth(int size, double chars);

// Writes a PDF document piece by piece to the end of a stream. Numbers use a full stop whatever the locale.
class TPDFDocument {
public:
    explicit TPDFDocument(std::ostream& stream);
    TPDFDocument(const TPDFDocument&) = delete;
    TPDFDocument& operator=(const TPDFDocument&) = delete;
    ~TPDFDocument(); // what is still gathered goes to the stream

    // The last object number given out.
    int ObjNumber() const { return int(offsets_.size()); }
    const TPDFFont& Font() const { return font_; }
    void SetFont(const TPDFFont& font);
    double LineWidth = 1.0;
    double LineSpacing = 1.0;
    TExportColor LineColor() const { return lineColor_; }
    TExportColor FillColor() const { return fillColor_; }
    TPDFBox MediaBox{0, 0, 612, 792};
    TPDFBox TrimBox{50, 50, 562, 742};
    int PageCount() const { return int(pages_.size()); }

    void BeginDoc();
    void NewPage();
    void EndPage();
    // Ends the document; every byte is in the stream then.
    void EndDoc();
    // Registers a font for the resources; a resource name already registered raises "Font %s already exists".
    void AddFont(const TPDFFont& font);

    // Draws text (UTF-8) in the current font at (x, y): encoded in the font's encoding (a character it
    // lacks becomes "?"), with backslashes, parentheses and control bytes escaped in the string operand.
    void TextOut(int x, int y, TExportColor color, const std::string& text);
    // TextOut for a text already in the font's encoding, as TPDFTextFitter gives it.
    void TextOutEncoded(int x, int y, TExportColor color, std::string_view bytes);
    // Draws a table cell's text (UTF-8): cut to room points by the fitter, whose font is the current one,
    // and drawn at PDFAlignedX(left, room, its width, align) as TextOutEncoded draws it.
    void CellOut(TPDFTextFitter& fitter, int left, int room, TExportColAlign align, int y, TExportColor color,
                 std::string_view text) {
        CellOut(fitter, TPDFCellPlace(fitter, left, room, align), y, color, text);
    }
    // The same at a place worked out for the fitter once for many cells.
    void CellOut(TPDFTextFitter& fitter, const TPDFCellPlace& place, int y, TExportColor color,
                 std::string_view text) {
        if (!fontOperatorBuilt_ || yOperandsLength_ == 0 || yOperandsFor_ != y)
            PrepareTextOperators(y);
        if (color != fillColor_ || !PlainCellOut(fitter, place, text))
            GeneralCellOut(fitter, place.Left, place.Room, place.Align, y, color, text);
    }
    // Draws the data cells of a row at y in the color, the text of each at its place as CellOut draws it:
    // the cells that can be drawn in one pass go into one room.
    void RowCellsOut(TPDFTextFitter& fitter, const TPDFCellPlace* places, const std::string_view* texts,
                     size_t count, int y, TExportColor color);
    void Line(double x1, double y1, double x2, double y2, TExportColor color);
    // Line(x1, y, x2, y, color) for whole numbers, as a table's grid draws it in every row.
    void HorizontalLine(int x1, int x2, int y, TExportColor color);
    void FillRect(double x, double y, double w, double h, TExportColor color);
    // Write the stroke / fill colour operator; each returns the previous colour.
    TExportColor SetLineColor(TExportColor color);
    TExportColor SetFillColor(TExportColor color);

private:
    void Write(std::string_view text);
    // Where count more bytes of output may be put; Commit(end) then takes what was put up to end.
    char* Room(size_t count) {
        return buffer_.size() - used_ >= count ? buffer_.data() + used_ : Grow(count);
    }
    void Commit(const char* end) {
        used_ = size_t(end - buffer_.data());
        if (used_ >= kFlushAt)
            Flush();
    }
    char* Grow(size_t count);
    // Builds the pieces of TextOut's operators that stay the same from cell to cell for y.
    void PrepareTextOperators(int y);
    // CellOut by TPDFTextFitter::Fit and TextOutEncoded.
    void GeneralCellOut(TPDFTextFitter& fitter, int left, int room, TExportColAlign align, int y,
                        TExportColor color, std::string_view text);
    // CellOut in one pass over the text: encoded, checked, copied and measured at once. False, with nothing
    // written, when a byte would need an escape or the encoding does not keep ASCII.
    bool PlainCellOut(const TPDFTextFitter& fitter, const TPDFCellPlace& place, std::string_view text);
    // Whether cells in the fitter's font can be drawn in one pass at all: its encoding keeps ASCII and the
    // font operator fits its fixed room.
    bool PlainCellsPossible(const TPDFTextFitter& fitter) const {
        return fitter.AsciiAsItIs() && fontOperator_.size() <= kFontOperatorRoom;
    }
    static constexpr std::string_view kPlainCellEnd = ") Tj\rET\r";
    // The room PutPlainCell may write into for the text (more than it keeps).
    size_t PlainCellRoom(const TPDFTextFitter& fitter, std::string_view text) const {
        return kFontOperatorRoom + 2 * kCellNumberRoom + yOperands_.size() + text.size() +
               fitter.Ellipsis().size() + kPlainCellEnd.size();
    }
    // PlainCellOut's operators put at out, in a room of PlainCellRoom; the end of what is kept, or null
    // when the text needs the general way.
    char* PutPlainCell(char* out, const TPDFTextFitter& fitter, const TPDFCellPlace& place,
                       std::string_view text) const;
    void Flush();
    // Bytes written so far, in the stream or gathered.
    std::int64_t Size() const { return flushed_ + std::int64_t(used_); }
    // Gives out the next object number; its offset is the current size of the output.
    int NewObject();
    static std::string ColorOperands(TExportColor color);

    std::ostream& stream_;
    // The pieces of a cell are small: they gather in a buffer that goes to the stream in large writes (as
    // large as a file's own gathering buffer, which then hands them on without copying them).
    static constexpr size_t kFlushAt = 256 * 1024;
    std::string buffer_; // its first used_ bytes are written, not yet in the stream
    size_t used_ = 0;
    std::int64_t flushed_ = 0;
    TPDFFont font_;
    TExportColor lineColor_ = 0;
    TExportColor fillColor_ = 0;
    std::vector<std::string> pages_;    // "n 0 R" of every page's content stream
    std::vector<std::int64_t> offsets_; // byte offset of every object, by number - 1
    std::vector<TPDFFont> fonts_;       // registered fonts in order
    std::int64_t dataStart_ = 0;        // where the open content stream's data began
    bool streamOpen_ = false;
    // TextOut's font operator ("BT /name size Tf"), built for the current font unless SetFont changed it.
    std::string fontOperator_;
    bool fontOperatorBuilt_ = false;
    // The same in a fixed room (when it fits there), copied whole by the cells.
    static constexpr size_t kFontOperatorRoom = 32;
    static constexpr size_t kCellNumberRoom = 32; // the room of x's digits (twice of it is kept free)
    std::array<char, kFontOperatorRoom> fontOperatorRoom_{};
    // TextOut's " y Td (" for the y it was last built for (not built while the length is 0).
    std::array<char, 24> yOperands_{};
    size_t yOperandsLength_ = 0;
    int yOperandsFor_ = 0;
    std::string bytes_; // the encoded text TextOut writes, kept for its storage
    // Line's text for a horizontal line around its y ("x1 ", " m \rx2 ", " l \rwidth w \rS\r"), for the
    // x1, x2 and line width it was built for: a grid line is drawn in every row.
    struct THorizontalLine {
        bool Built = false;
        double X1 = 0, X2 = 0, Width = 0;
        std::array<char, 48> Head{}, Middle{}, Tail{};
        size_t HeadLength = 0, MiddleLength = 0, TailLength = 0;
    };
    THorizontalLine horizontal_;
    void PutHorizontalLine(double x1, double x2, double y);
    // The built line around y's text (of which 32 bytes are read).
    void PutBuiltHorizontalLine(const char* number, size_t numberLength);
};

// Page size and margins, held in points and shown in Units.
class TExportPDFPageOptions {
public:
    TExportPDFPageOptions();

    TExportUnits Units() const { return units_; }
    void SetUnits(TExportUnits units) { units_ = units; }
    double Width() const { return PointsToUnits(width_, units_); }
    double Height() const { return PointsToUnits(height_, units_); }
    // Store the converted value and make the format pfUser.
    void SetWidth(double value);
    void SetHeight(double value);
    TExportPageFormat Format() const { return format_; }
    // On a change: stores the format and, unless pfUser, takes its paper size (the orientation is not
    // applied).
    void SetFormat(TExportPageFormat format);
    TExportPageOrientation Orientation() const { return orientation_; }
    // On a change: swaps width and height and turns the margins with the page.
    void SetOrientation(TExportPageOrientation orientation);
    double MarginLeft() const { return PointsToUnits(marginLeft_, units_); }
    double MarginRight() const { return PointsToUnits(marginRight_, units_); }
    double MarginTop() const { return PointsToUnits(marginTop_, units_); }
    double MarginBottom() const { return PointsToUnits(marginBottom_, units_); }
    void SetMarginLeft(double value) { marginLeft_ = UnitsToPoints(value, units_); }
    void SetMarginRight(double value) { marginRight_ = UnitsToPoints(value, units_); }
    void SetMarginTop(double value) { marginTop_ = UnitsToPoints(value, units_); }
    void SetMarginBottom(double value) { marginBottom_ = UnitsToPoints(value, units_); }

    // Whether Width and Height belong in stored settings (only for a user format).
    bool SizeStored() const { return format_ == TExportPageFormat::pfUser; }

    // The same values in points.
    int WidthPoints() const { return width_; }
    int HeightPoints() const { return height_; }
    int MarginLeftPoints() const { return marginLeft_; }
    int MarginRightPoints() const { return marginRight_; }
    int MarginTopPoints() const { return marginTop_; }
    int MarginBottomPoints() const { return marginBottom_; }

    // (0, 0, width - 1, height - 1).
    TPDFBox MediaBox() const;
    // (left margin, bottom margin, width - right margin - 1, height - top margin - 1).
    TPDFBox TrimBox() const;

    void Assign(const TExportPDFPageOptions& other) { *this = other; }

private:
    TExportUnits units_ = TExportUnits::unInch;
    TExportPageFormat format_ = TExportPageFormat::pfUser;
    TExportPageOrientation orientation_ = TExportPageOrientation::poPortrait;
    int width_ = 0;
    int height_ = 0;
    int marginLeft_ = 0;
    int marginRight_ = 0;
    int marginTop_ = 0;
    int marginBottom_ = 0;
};

// The options of the PDF exporter that the dialog's PDF page edits.
struct TPDFOptions {
    TExportPDFPageOptions PageOptions;
    TPDFFont HeaderFont{"HeaderFont"};
    TPDFFont CaptionFont{"CaptionFont"};
    TPDFFont DataFont{"DataFont"};
    TPDFFont FooterFont{"FooterFont"};
    double RowSpacing = 1.0; // stored only when not 1.0
    double ColSpacing = 3.0; // stored only when not 3.0
    int GridLineWidth = 1;
    TExportColor GridLineColor = 0;
    void Assign(const TPDFOptions& other) { *this = other; }
};

// The writer of the PDF exporter: the document on the export's stream.
class TPDFWriter : public TExportWriter {
public:
    TPDFWriter(TExporter& owner, std::ostream& stream);
    TPDFDocument& Document() { return *document_; }

private:
    std::unique_ptr<TPDFDocument> document_;
};

class TExporterPDF : public TExporterFormatText {
public:
    TExporterPDF() = default;

    TPDFOptions Options;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override { return TExportTextEncoding::Windows1252; }
    void BeginExport() override;
    void EndExport() override;
    void WriteCaptionRow() override;
    void WriteDataRow() override;

    // The cells' texts are drawn as the formatting leaves them; a data row takes them bare unless a
    // subclass may change them (CellsInOnePass).
    void GetColData(const TExportCol& col, std::string& text) override {
        TExporterFormatText::GetColData(col, text);
    }

    bool PublishesColumnsWidth() const override { return true; }
    bool PublishesColumnsAlign() const override { return true; }

private:
    TPDFDocument& Document();
    void WriteHeader();
    void WriteFooter();
    // One block of lines (header or footer) in its font; a page break sets the colours when asked to.
    void WriteTextLines(const rtl::TStringList& lines, const TPDFFont& font, bool colorsOnNewPage);
    void DrawColumnLines(int top, int bottom);
    // A grid line across the table at y.
    void DrawGridLine(int y);
    // Whether a data row's cells can be taken as the formatting leaves them and drawn together: no cell
    // parameters, and the last say on the cells is this class's own (a subclass may override GetColData
    // or NormalString).
    bool CellsInOnePass() const;

    // Lays the columns out from their widths; a table wider than the printable width is scaled down to
    // it, its caption and data fonts with it.
    void LayoutColumns();
    // Works out dataPlaces_ from the columns' bounds, the data fitter and indent.
    void LayoutDataPlaces();
    // Draws the text of a cell cut to the column inside the indent on either side, in the fitter's font.
    void CellOut(TPDFDocument& doc, int column, TExportColAlign align, TPDFTextFitter& fitter, int indent,
                 TExportColor color, std::string_view text);

    int y_ = 0;                 // current height, points from the page bottom
    int blockTop_ = 0;          // top of the table block on this page
    std::vector<int> xs_;       // column boundaries (column count + 1)
    std::string cellText_;      // the text of the cell being written, kept for its storage
    TExportFont cellFont_;      // the font of the cell being written, likewise
    TPDFTextFitter dataFitter_; // for the data font at the size the table is drawn in
    int dataIndent_ = 0;        // the room left free on either side of a data cell
    TPDFFont captionFont_;      // the caption and data fonts at the size the table is drawn in
    TPDFFont dataFont_;
    // The place of every column's data cells in its own alignment, inside the indent.
    std::vector<TPDFCellPlace> dataPlaces_;
    // The texts of a data row's cells, and the storage of those made for the row, by column.
    std::vector<std::string_view> rowTexts_;
    std::vector<std::string> rowStorage_;
};

} // namespace exporter
