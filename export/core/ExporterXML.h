#pragma once

// An XML data packet (version 2.0): a METADATA block describing the fields and one empty ROW element per
// record with its values as attributes.

#include "export/core/Exporter.h"

#include <vector>

namespace exporter {

class TXMLOptions {
public:
    std::string Version = "1.0";
    std::string Encoding; // empty: no encoding in the declaration
    bool StandAlone = true;

    void Assign(const TXMLOptions& other);
};

class TXMLWriter : public TExportWriter {
public:
    using TExportWriter::TExportWriter;
    // A character outside the code page is a numeric character reference: the reader gets it back.
    rtl::TUnmappedCharacter UnmappedCharacter() const override;
};

class TExporterXML : public TExporterText {
public:
    TXMLOptions Options;

    // The name the declaration carries for the bytes really written: empty when Options.Encoding is
    // empty (UTF-8 implied), "windows-1252" when Options.Encoding names that code page (the file is then
    // written in it), otherwise "UTF-8".
    std::string DeclaredEncoding() const;
    // The attribute name of a column, one that every XML reader takes: a byte order mark is dropped;
    // blanks and every other character outside the names all readers share (or, for a Windows-1252 file,
    // outside that code page) become "_"; a name that cannot start an XML name, and "xmlns", which would
    // declare a namespace, get a leading "_".
    static std::string XMLName(const std::string& columnName, bool windows1252 = false);

    std::string NormalString(const std::string& s) const override;
    bool KeepsText(const std::string& s) const override;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override;
    void BeginExport() override;
    void BeforeExport() override;
    void AfterExport() override;
    void EndExport() override;
    void WriteCaptionRow() override;
    std::string GetDataRow(bool format) override;
    void WriteDataRow() override;
    std::string GetColCaption(int index) override;
    void GetColData(const TExportCol& col, std::string& text) override;
    void GetSpecialCharacters(std::bitset<256>& chars) const override;

    bool PublishesFormats() const override { return true; }
    bool PublishesCaptions() const override { return true; }

private:
    // Whether a row is written in one pass (WriteRowInOnePass): the cells' texts, escaping and last say
    // are this class's own, which that pass knows.
    bool RowsInOnePass() const;
    // The ROW element, each cell's text escaped while it is copied behind its attribute's name: what
    // GetDataRow and GetColData make of the row, without a text per cell.
    void WriteRowInOnePass();

    std::vector<std::string> names_;           // attribute names of the columns, unique within a row
    std::vector<std::string> attributeStarts_; // per column its name, "=" and the opening quote
    std::string cellText_;                     // the text of the cell being written, its storage kept
    std::string rowBytes_;                     // the row being written, its storage kept row to row
    bool rowDataOpen_ = false;
    bool packetOpen_ = false;
};

} // namespace exporter
