#pragma once

// An HTML page: a head with a style sheet (inside the page or in a linked .css file), the header, one table
// with an optional caption row and one row per record, the footer. With MaxRecords above zero the rows are
// split over numbered files (report01.html, report02.html, ...) with an optional index page and
// navigation bars.

#include "export/core/Exporter.h"
#include "export/core/ExporterHTMLTemplates.h"

#include <array>
#include <cstdint>
#include <set>
#include <vector>

namespace exporter {

class THTMLFileSet;

enum class TUsingCSS { usInternal, usExternal };
enum class TDefaultOption { doFontName, doFontSize };

// Page colours and font.
class THTMLOptions {
public:
    THTMLOptions();

    TExportColor BackgroundColor = 0;
    std::string BackgroundFileName;
    TExportColor LinkColor = 0;
    TExportColor VLinkColor = 0;
    TExportColor ALinkColor = 0;
    TExportFont TextFont; // "Arial", 8 points
    rtl::TStringList AdvancedAttributes;
    // The font attributes left to the browser.
    std::set<TDefaultOption> DefaultOptions{TDefaultOption::doFontSize};

    // Copies everything but DefaultOptions.
    void Assign(const THTMLOptions& other);
};

// Table attributes and row colours.
class TTableOptions {
public:
    int Border = 1;
    int CellPadding = 4;
    int CellSpacing = 1;
    rtl::TStringList AdvancedAttributes;
    TExportColor HeadersRowBgColor = 0;
    TExportColor HeadersRowFontColor = 0;
    TExportColor TableBgColor = 0;
    TExportColor TableFontColor = 0;
    TExportColor OddRowBgColor = 0;
    TExportColor BorderColor = 0xFFFFFF; // white: no border colour
    std::string BackgroundFileName;

    // Copies everything but BackgroundFileName.
    void Assign(const TTableOptions& other);
};

// Navigation bars of a multi-file export.
class TExportHTMLNavigation {
public:
    std::string IndexLinkTemplate;
    bool OnTop = true;
    bool OnBottom = true;
    std::string IndexLinkTitle = "Index";
    std::string FirstLinkTitle = "First";
    std::string PriorLinkTitle = "Prior";
    std::string NextLinkTitle = "Next";
    std::string LastLinkTitle = "Last";

    void Assign(const TExportHTMLNavigation& other);
};

// "Left", "Center", "Right".
class THTMLWriter : public TExportWriter {
public:
    using TExportWriter::TExportWriter;
    std::string AlignToStr(TExportColAlign align) const override;
};

// The link from a page to a file: relative to the page's folder when both lie below one folder under the
// root (site.css, ../styles/site.css), else the absolute path; blanks, "%", "#" and "?" are escaped.
std::string HTMLLinkTarget(const std::string& target, const std::string& page);

// The name with number (at least digits digits) put in front of its extension: report.html, 3, 2 gives
// report03.html.
std::string NumberedFileName(const std::string& name, int number, int digits);

class TExporterHTML : public TExporterFormatText {
public:
    TExporterHTML();
    ~TExporterHTML() override;

    TUsingCSS UsingCSS = TUsingCSS::usInternal;
    std::string CSSFileName; // empty: the page's name with ".css"
    bool OverwriteCSSFile = true;
    TTableOptions TableOptions;
    THTMLOptions HTMLOptions;
    bool GenerateIndex = false;
    TExportHTMLNavigation Navigation;
    bool BoolAsCheckBox = false; // kept for the dialog; the page does not depend on it
    bool InterpretTags = true;   // false: the four markup characters of the values are copied as they are

    THTMLTemplate HTMLTemplate() const { return htmlTemplate_; }
    // Stores the template; a new one of the nine presets copies its colours and font name.
    void SetHTMLTemplate(THTMLTemplate value);
    int MaxRecords() const { return maxRecords_; }
    // Records per file (0: one file); a negative value stores 0.
    void SetMaxRecords(int value) { maxRecords_ = value < 0 ? 0 : value; }

    // The colours and font name of an .htf template file ("HTML options" and "Table options" sections).
    void LoadTemplateFromFile(const std::string& fileName);
    void SaveTemplateToFile(const std::string& fileName) const;

    // Writes FileName (and in a multi-file export the numbered pages), then shows the result.
    void Execute() override;
    std::string NormalString(const std::string& s) const override;
    bool KeepsText(const std::string& s) const override;

    // The style-sheet lines of the last export.
    const std::vector<std::string>& StyleSheet() const { return styleSheet_; }

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    void BeginExport() override;
    void BeforeExport() override;
    void AfterExport() override;
    void EndExport() override;
    void WriteCaptionRow() override {}
    void WriteDataRow() override;
    // Escapes Boolean and untyped values, writes "&nbsp;" for an empty text and puts the cell's alignment
    // and style in front. WriteDataRow makes the same of the cells itself unless a subclass may do
    // otherwise (CellsInOnePass).
    void GetColData(const TExportCol& col, std::string& text) override;
    void GetSpecialCharacters(std::bitset<256>& chars) const override;
    std::string GetShowedFileName() const override;
    std::string GetPrintedFileName() const override;

    bool PublishesColumnsAlign() const override { return true; }

private:
    struct THTMLPageOption {
        std::string FileName;
        std::int64_t Top = -1;
        std::int64_t Bottom = -1;
    };

    // The column of a cell; null when the cell names none.
    const TExportColumn* CellColumn(const TExportCol& col) const {
        return col.ColumnIndex >= 0 && col.ColumnIndex < Columns.Count()
                   ? &Columns.CheckedColumn(col.ColumnIndex)
                   : nullptr;
    }
    // Whether GetColData escapes the cell's text: Boolean and untyped values that GetText left unescaped.
    static bool EscapedByGetColData(const TExportCol& col, const TExportColumn* column);
    // Whether a data row's cells can be escaped while they are copied: no cell parameters, and the escaping
    // and the last say on the cells are this class's own (a subclass may override NormalString or
    // GetColData).
    bool CellsInOnePass() const;
    bool MultiFile() const { return maxRecords_ >= 1 && files_ != nullptr; }
    // The style attribute of a cell from OnGetCellParams (empty when the cell keeps the defaults), which
    // may also change its alignment.
    std::string CellStyle(int colIndex, const std::string& text, TExportColAlign& align);
    std::int64_t StreamPosition() const;
    void BuildStyleSheet();
    void FontLines(int indent);
    void StartPage(const std::string& pageName);
    void WriteStyle(const std::string& pageName);
    void StartTable();
    void ClosePage();
    void NextPageFile();
    void WriteIndexPage();
    void WriteNavigation();
    std::string NavigationBar(int page, bool top) const;
    std::string PageLabel(int page) const;
    std::string PageTarget(int page) const;
    std::string FirstNumberedFile() const;

    THTMLTemplate htmlTemplate_ = THTMLTemplate::htCustom;
    int maxRecords_ = 0;

    std::vector<std::string> styleSheet_;
    std::vector<THTMLPageOption> pages_;
    bool borderInUse_ = false;
    bool pageOpen_ = false;
    bool tableOpen_ = false;
    int rowsInPage_ = 0;
    std::string cssName_; // style-sheet file of this export
    bool cssWritten_ = false;
    std::string rowLines_; // the lines of the row being written, kept for its storage
    std::string cellText_; // the text of the cell being written, likewise
    // Markup kept with room behind it, so that it is copied as one block of a fixed size.
    struct TPaddedMarkup {
        static constexpr size_t kRoom = 48;
        std::array<char, kRoom> Bytes{};
        size_t Size = 0;
    };
    // The opening tags of cells that keep the defaults: by row (even, odd), then by alignment.
    std::array<std::array<TPaddedMarkup, 3>, 2> cellOpenings_;
    // Longer cell texts are escaped apart from the row (see WriteDataRow).
    static constexpr size_t kLongCellText = 4096;

    // The files of the export while Execute writes them (null for an export to a caller's stream).
    THTMLFileSet* files_ = nullptr;
};

} // namespace exporter
