#pragma once

// One RTF table of the exported rows with an optional header and footer block (RTF and Word files).

#include "export/core/Exporter.h"
#include "export/core/ExporterPageUtils.h"
#include "export/core/ExporterRTFDocument.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

enum class TrtfTextAlignment { talLeft, talRight, talCenter, talFill };
enum class TrtfStripType { stNone, stCol, stRow };

// A text style: font, background and highlight colours and paragraph alignment.
class TrtfStyle {
public:
    TrtfStyle() { SetDefault(); }
    virtual ~TrtfStyle() = default;
    TrtfStyle(const TrtfStyle&) = default;
    TrtfStyle& operator=(const TrtfStyle&) = default;

    // "Arial" 10, no style, black; both colours white; no highlight; background on; left.
    virtual void SetDefault();
    void Assign(const TrtfStyle& other) { *this = other; }

    // The keys FontName, FontSize, FontColor, FontBold, FontItalic, FontUnderline, FontStrikeOut,
    // BackgroundColor, HighlightColor, AllowHighlight, AllowBackground, Alignment of one section.
    void SaveToIni(ini::IniFile& ini, const std::string& section) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section);

    TExportFont Font;
    TExportColor BackgroundColor = 0xFFFFFF;
    TExportColor HighlightColor = 0xFFFFFF;
    bool AllowHighlight = false;
    bool AllowBackground = true;
    TrtfTextAlignment Alignment = TrtfTextAlignment::talLeft;
};

// A list of styles (the strip styles).
class TrtfStyles {
public:
    TrtfStyles() = default;
    TrtfStyles(const TrtfStyles& other) { Assign(other); }
    TrtfStyles& operator=(const TrtfStyles& other) {
        Assign(other);
        return *this;
    }

    TrtfStyle& Add();
    TrtfStyle& GetItem(int index) { return *items_.at(size_t(index)); }
    const TrtfStyle& GetItem(int index) const { return *items_.at(size_t(index)); }
    TrtfStyle& operator[](int index) { return GetItem(index); }
    const TrtfStyle& operator[](int index) const { return GetItem(index); }
    int Count() const { return int(items_.size()); }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }
    void Assign(const TrtfStyles& other);

private:
    std::vector<std::unique_ptr<TrtfStyle>> items_;
};

struct TRTFOptions {
    TRTFOptions();
    rtl::TStringList CaptionAligns; // Name=Left|Center|Right
    TrtfStyle CaptionStyle;         // the data style made bold and centred
    TrtfStyle DataStyle;
    TExportPageOrientation PageOrientation = TExportPageOrientation::poPortrait;
    TrtfStyles StripStyles;
    TrtfStripType StripType = TrtfStripType::stNone;
    TrtfStyle HeaderStyle;
    TrtfStyle FooterStyle;
    void Assign(const TRTFOptions& other) { *this = other; }
};

// Writes the RTF document and keeps its font and colour tables. The document is held in a
// TRTFDocumentBuffer (tables in memory, rows in a temporary file) and goes to the export's stream when it
// ends (WriteEnd) or when the writer goes away, or earlier once the tables are final (SendHead).
// Characters outside Windows-1252 are written "\uN?".
class TRTFWriter : private detail::TRTFDocument, public TExportWriter {
public:
    TRTFWriter(TExporter& owner, std::ostream& stream);
    ~TRTFWriter() override;

    // "\ql", "\qc", "\qr".
    std::string AlignToStr(TExportColAlign align) const override;

    // "{\rtf1\ansi\deff0\deftab720" and CR LF.
    void WriteHeader();
    // Adds an entry to the font table (before the table is written).
    void AddFontItem(int index, const std::string& name);
    // Adds a colour to the colour table (before the table is written).
    void AddColorItem(TExportColor color);
    void WriteFontTable();
    void WriteColorTable();
    // "\f<index>\fs<2 x size>" of the font's name (ignoring case); a new name is added to the font table.
    // With writeIt the text is also written as a line.
    void GetFont(const TExportFont& font, bool writeIt, std::string& text);
    // "\cf", "\cbpat" or "\highlight" (kind 0, 1, 2) and the colour's index; a new colour is added.
    void GetColor(TExportColor color, int kind, std::string& text);
    void WritePar();
    // Whether GetFont / GetColor would find the font's name / the colour without adding it.
    bool HasFont(const std::string& name) const { return FontIndex(name) >= 0; }
    bool HasColor(TExportColor color) const { return ColorIndex(color) >= 0; }
    // For tables that can no longer grow: what was written goes to the export's stream now and every later
    // byte follows straight, without the scratch file. A table entry needed afterwards throws EExportError.
    void SendHead();
    // The document's closing brace; the document goes to the stream.
    void WriteEnd();

    // Appends a text (UTF-8) to bytes as Write would write it: in Windows-1252 with "\uN?" for other
    // characters, or unchanged when the writer writes UTF-8.
    void AppendText(std::string& bytes, std::string_view text) const;
    // Bytes already in the writer's encoding (AppendText), straight into the document.
    void WriteBytes(std::string_view bytes);
    // Where a row's bytes (in the writer's encoding) are built in place: once the head was sent the
    // document's block for the target, after the bytes the writer holds; before, own, emptied. EndRow
    // hands the row on.
    TRTFRowBytes& RowBytes(TRTFRowBytes& own);
    void EndRow(TRTFRowBytes& row);

    // The text in Windows-1252 with every other character as "\uN?" (UTF-16 units, signed; "?" is what
    // readers without Unicode show).
    rtl::TUnmappedCharacter UnmappedCharacter() const override;

    int FontCount() const { return int(fonts_.size()); }
    int ColorCount() const { return int(colors_.size()); }

private:
    struct FontItem {
        int index;
        std::string family;
        std::string name;
    };
    // The index of the font of that name (ignoring case) / of the colour in the tables, or -1.
    int FontIndex(const std::string& name) const;
    int ColorIndex(TExportColor color) const;
    static std::string FontItemText(const FontItem& item);
    static std::string ColorItemText(TExportColor color);
    // Puts text (UTF-8, stored as the writer stores every text) at offset in the written tables.
    std::int64_t Insert(std::int64_t offset, const std::string& text);
    void Flush();

    std::ostream& target_;
    std::vector<FontItem> fonts_;
    std::vector<TExportColor> colors_;
    std::int64_t fontTableClose_ = -1;  // offset of the font table's closing brace once written
    std::int64_t colorTableClose_ = -1; // offset of the colour table's closing brace once written
    bool flushed_ = false;
};

class TExporterRTF : public TExporterFormatText {
public:
    using TrtfGetStyleEvent = std::function<void(TExporter& sender, TrtfStyle& style)>;
    using TrtfGetCaptionStyleEvent = std::function<void(TExporter& sender, int colNo, TrtfStyle& style)>;
    using TrtfGetDataStyleEvent = std::function<void(TExporter& sender, int row, int col, TrtfStyle& style)>;
    // Measures a text in a font in display pixels (TextWidthOnDisplay unless replaced).
    using TTextMeasure = std::function<int(const std::string& text, const TExportFont& font)>;

    TExporterRTF() = default;

    TRTFOptions Options;
    TrtfGetStyleEvent OnGetHeaderStyle;
    TrtfGetStyleEvent OnGetFooterStyle;
    TrtfGetCaptionStyleEvent OnGetCaptionStyle;
    TrtfGetDataStyleEvent OnGetDataStyle;
    TTextMeasure TextMeasure;

    // Backslashes and braces are preceded by a backslash; CR LF becomes " \par ", a lone CR or LF "\line ",
    // a tab "\tab " and other control characters "\'hh".
    std::string NormalString(const std::string& s) const override;
    bool KeepsText(const std::string& s) const override;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override { return TExportTextEncoding::Windows1252; }
    void BeginExport() override;
    void BeforeExport() override;
    void EndExport() override;
    void WriteCaptionRow() override;
    void WriteDataRow() override;
    void GetColData(const TExportCol& col, std::string& text) override;
    void GetSpecialCharacters(std::bitset<256>& chars) const override;

    bool PublishesColumnsWidth() const override { return true; }
    bool PublishesColumnsAlign() const override { return true; }

private:
    // The control words of one style; computing them may add fonts and colours to the tables.
    struct StyleParts {
        std::string Align, Font, FontColor, FontStyles, Background, Highlight;
        std::string Text() const { return Font + FontColor + FontStyles; }
    };
    StyleParts PartsOf(const TrtfStyle& style);
    // Whether PartsOf(style) would find every font and colour of the style in the tables.
    bool StyleInTables(const TrtfStyle& style) const;
    // Whether code of the caller's can run while the rows and the footer are written and so change a style:
    // a handler of an event fired from the first row on, a custom source's callbacks, a subclass's steps.
    bool CallerCodeDuringRows() const;
    // Whether nothing written after the caption row can add to the tables: no caller's code runs during
    // the rows (CallerCodeDuringRows), and the data style, every strip style and the footer's only use what
    // the tables hold.
    bool TablesAreFinal() const;
    TRTFWriter& RtfWriter();
    // A header or footer block in its style.
    void WriteTextBlock(const rtl::TStringList& lines, const TrtfStyle& style);
    std::string CaptionCell(int colNo);
    // What goes in front of the text of data cell colNo (written bytes): "}\cell" closing the previous
    // cell, then this cell's paragraph and style control words.
    std::string CellOpening(int colNo);
    // The openings of the first cells of the current data row, each worked out once per row strip and
    // again after a handler changed a style or a column's alignment; not with an OnGetDataStyle handler.
    const std::vector<std::string>& CachedCellOpenings(int cells);
    // Whether the data style, the strip styles and type or the columns' alignments differ from those the
    // cached openings were made from.
    bool CellStylesChanged() const;
    void KeepCellStyles();
    // Appends a cell's opening and text, each CR LF as " \par ", in the writer's encoding.
    void AppendCell(TRTFRowBytes& row, std::string_view opening, std::string_view text);
    // Whether a data cell's text can be escaped and converted while it is copied into the row: the
    // escaping, the last say on the text and the writer are this class's own and no style event runs
    // between the cells.
    bool CellsInOnePass() const;
    // What GetText and AppendCell make of the cell, from its bare text in one scan; false (nothing
    // appended) for a text too long to be given room for its longest escaping. escaping: whether the
    // columns have an escaping.
    bool AppendCellInOnePass(TRTFRowBytes& row, std::string_view opening, const TExportCol& cell,
                             bool escaping);
    // The text as NormalString escapes it and AppendText converts it, written to out, which has room for
    // kEscapedBytesPerByte bytes per byte of text; returns the end of the bytes written.
    char* WriteEscapedCellText(char* out, std::string_view text);
    // A byte of text becomes at most six bytes: a lone CR or LF "\line ", a malformed byte "\u-3?".
    static constexpr size_t kEscapedBytesPerByte = 6;
    // Longer cell texts take the way through GetText, so that the row needs no room for their escaping.
    static constexpr size_t kLongCellText = 4096;

    // The data cells' openings (CellOpening) by row strip (none or column strips, then the row strips).
    std::vector<std::vector<std::string>> dataCellOpenings_;
    // What they were made from (KeepCellStyles).
    struct CellStyles {
        TrtfStyle DataStyle;
        std::vector<TrtfStyle> StripStyles;
        TrtfStripType StripType = TrtfStripType::stNone;
        std::vector<TExportColAlign> Aligns;
    } cellStyles_;
    TRTFRowBytes row_;     // a data row's bytes before the head was sent, kept so that its memory is reused
    std::string cellText_; // the text of the cell being written, likewise
    std::string scratch_;  // a cell text with its line breaks replaced, likewise
    std::string bytes_;    // a cell text's bytes in the writer's encoding, likewise
};

} // namespace exporter
