#pragma once

// Fixed-width text, CSV, DIF and SYLK files.

#include "export/core/Exporter.h"
#include "platform/rtl/LocaleFacts.h"

namespace exporter {

enum class TExportASCIIType { etTXT, etCSV, etDIF, etSYLK };

// The text in quote characters, an inner quote character doubled.
std::string CSVQuoted(const std::string& text, char quote);
// The same, appended to out.
void AppendCSVQuoted(std::string& out, const std::string& text, char quote);

// Fixed-width text keeps a row on one line: the text with each line break (CR LF, CR or LF) as one
// blank, built in buffer when the text has one (else the text itself).
const std::string& OneLineText(const std::string& text, std::string& buffer);

// The locale's list separator, "," when the locale has none.
char GetListSeparator();

class TExporterASCII : public TExporterFormatText {
public:
    TExporterASCII();

    TExportASCIIType ExportType() const { return exportType_; }
    // etTXT also switches AutoCalcColWidth on.
    void SetExportType(TExportASCIIType type);

    char CSVComma = GetListSeparator();
    char CSVQuote = '"'; // '\0': no quoting
    bool CSVQuoteStrings = true;
    int TXTSpacing = 1;

    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;

protected:
    TExportTextEncoding TextEncoding() const override;
    void BeginExport() override;
    void WriteCaptionRow() override;
    void WriteDataRow() override;
    void EndExport() override;

    TExportKeptTexts* PrePassTexts() override;
    void FillExportRow() override;

    bool PublishesColumnsWidth() const override { return true; }
    bool PublishesColumnsAlign() const override { return true; }
    bool PublishesOnFetchedRecord() const override { return true; }

private:
    // A row's text built in storage kept from row to row: short pieces are copied in without a library
    // call.
    class TRowText {
    public:
        void Clear() { used_ = 0; }
        // The pieces one after the other, room made for them at once.
        template <class... TPieces> void Append(const TPieces&... pieces);
        // The text of one line and that many characters, padded with blanks to the width by the
        // alignment, then spacing blanks.
        void AppendPadded(std::string_view text, int length, int width, TExportColAlign align, int spacing);
        // A DIF number item ("0,", the plain number, CR LF "V" CR LF) when the text is a number literal;
        // false, and nothing appended, when it is not.
        bool AppendNumberItem(std::string_view text, const rtl::LocaleFacts& facts);
        // A DIF string item: "1,0", CR LF, the text in quotes with each inner quote doubled, CR LF.
        void AppendStringItem(std::string_view text);
        std::string_view Text() const { return {bytes_.data(), used_}; }

    private:
        // Where n more bytes go, with 32 bytes of room behind them that a step may write over.
        char* Room(std::size_t n);

        std::string bytes_; // used_ bytes of text, then room
        std::size_t used_ = 0;
    };

    // One row in the chosen layout; texts are the captions or the formatted cells.
    void WriteRow(const std::vector<std::string>& texts, bool captions);
    // Appends the text padded with blanks to the column's width by its alignment, then TXTSpacing blanks.
    void AppendPaddedTXT(const std::string& cell, const TExportColumn& column);
    // Whether the width pre-pass of a fixed-width file keeps its texts for the rows: only where nothing
    // but this class stands between the two passes and the cells, so that the rows and texts are the same.
    bool KeepsPrePassTexts() const;
    // A fixed-width row whose texts the pre-pass kept (the cells it did not keep are formatted here).
    void WriteKeptTXTRow();
    // The rows the export will write (DIF header); false when an abort ended the count.
    bool CountRows(int& rows);

    TExportASCIIType exportType_ = TExportASCIIType::etTXT;
    int sylkRows_ = 0;                     // data rows written (SYLK row numbers)
    std::vector<std::string> sylkColumns_; // "C;X<column>;Y" of each column of a SYLK row
    // Kept from row to row so that their memory is reused.
    std::vector<std::string> rowTexts_;
    std::string line_;
    TRowText rowText_;
    std::string cellText_;       // a cell's text formatted in the row of kept texts
    std::string oneLine_;        // a fixed-width cell with its line breaks as blanks
    std::string itemText_;       // a SYLK item made apart before it joins the row
    TExportKeptTexts keptTexts_; // the pre-pass's texts of the fixed-width rows
};

} // namespace exporter
