#pragma once

// A LaTeX document holding one ruled table that breaks across pages (longtable, its caption row repeated
// on every page).

#include "export/core/Exporter.h"
#include "export/core/ExporterCodePages.h"

namespace exporter {

enum class TLaTeXVersion { LaTeX209, LaTeX2e };
enum class TLaTeXDocStyle { dsArticle, dsBook };

class TLaTeXOptions {
public:
    TLaTeXOptions();

    TLaTeXVersion LaTeXVersion = TLaTeXVersion::LaTeX2e;
    TLaTeXDocStyle DocumentStyle = TLaTeXDocStyle::dsArticle;
    std::string DocumentParams = "a4paper";
    std::string Languages = "english";

    int CodePage() const { return codePage_; }
    // A value below 1 stands for the system's ANSI code page.
    void SetCodePage(int value);

    void Assign(const TLaTeXOptions& other);

private:
    int codePage_;
};

class TLaTeXWriter : public TExportWriter {
public:
    using TExportWriter::TExportWriter;
};

class TExporterLaTeX : public TExporterFormatText {
public:
    TLaTeXOptions Options;
    rtl::TStringList Preambula; // lines written into the preamble

    // The file is written in the code page of the options and declared with its inputenc option: "cp1250",
    // "cp1251", "cp1252", "cp1257", "cp437", "cp850" or "cp866"; 65001 and every other code page give
    // UTF-8 declared "utf8".
    std::string InputEncoding() const;
    // The fontenc options: T1, with T2A for Cyrillic code pages (then the default) and languages.
    std::string FontEncodings() const;

    std::string NormalString(const std::string& s) const override;
    bool KeepsText(const std::string& s) const override;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override;
    void BeginExport() override;
    void EndExport() override;
    std::string GetCaptionRow() override;
    void WriteCaptionRow() override;
    std::string GetDataRow(bool format) override;
    void WriteDataRow() override;
    void GetColData(const TExportCol& col, std::string& text) override;
    void GetSpecialCharacters(std::bitset<256>& chars) const override;

private:
    // NormalString's text appended to out (a std::string, or the bytes of a row), with each character
    // written as it is in the code page of encoding (null: in UTF-8); returns the bytes the UTF-8 text
    // would have had more.
    template <class TOut>
    size_t AppendNormalString(TOut& out, std::string_view s, const TSingleByteCharset* encoding) const;
    // Whether a row is written in one pass (WriteRowInOnePass): the cells' texts, escaping and last say
    // are this class's own, which that pass knows, and the columns are not paragraph columns.
    bool RowsInOnePass() const;
    // The row, each cell's text escaped while it is appended: what GetDataRow, GetColData and TableRow
    // make of it, without a text per cell.
    void WriteRowInOnePass();
    // The single-byte set written, or null for UTF-8.
    const TSingleByteCharset* Charset() const;
    bool CyrillicFonts() const;
    // "longtable"; "tabular" for LaTeX 2.09, which loads no packages.
    std::string TableEnvironment() const;
    // Whether LaTeX can set the character in the encodings this document loads.
    bool Settable(char32_t ch) const;
    // One line in the file's encoding, ended by CR LF.
    void Line(const std::string& text);
    void EmptyLine() { Line({}); }
    // A table row written over several lines when long, each break a comment so that no space appears.
    void RowLines(const std::string& row);
    // Measures the columns' texts: a table too wide for the page gets paragraph columns (below).
    void PlanColumns();
    // The column specification: "l" and "r" columns, and paragraph columns for long texts in a table
    // wider than the page.
    std::string ColumnSpecification() const;
    // A row of the table: with paragraph columns, a long word may break, and a long cell goes on in
    // further rows (each at most a part of a page tall: a row never breaks across pages).
    void TableRow(const std::string& row, bool continued);

    // Per column its share of the text width, 0 for a column as wide as its texts; empty when no column
    // is a paragraph column.
    std::vector<double> paragraphShares_;
    std::vector<size_t> pieceCharacters_; // per column, the characters of a cell that one row takes

    bool documentOpen_ = false;
    bool tabularOpen_ = false;
    mutable int replaced_ = 0;        // characters written as "?" because LaTeX cannot set them here
    std::vector<std::string> cells_;  // the texts of the row being written, their storage kept row to row
    std::string cellText_;            // a formatted cell text, its storage kept cell to cell
    std::string rowBytes_;            // the row being written in one pass, its storage kept row to row
    std::string lineBytes_;           // a line in the document's code page
    mutable int charsetCodePage_ = 0; // the code page charset_ was looked up for (0: none yet)
    mutable const TSingleByteCharset* charset_ = nullptr;
};

} // namespace exporter
