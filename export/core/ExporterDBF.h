#pragma once

// dBase III tables (.dbf); BLOB columns become memo fields kept in a companion memo file (.dbt).

#include "export/core/Exporter.h"
#include "export/core/ExporterDBFWriter.h"
#include "platform/rtl/LocaleFacts.h"

namespace exporter {

class TExporterDBF : public TExporterText {
public:
    TExporterDBF();

    // Lines "Name=size,decimals" for float and currency columns.
    rtl::TStringList ColumnsPrecision;
    int DefaultFloatSize = 15;
    int DefaultFloatDecimal = 4;

    // The text written into an empty (not NULL) float field when it is a number (Formats.NullString,
    // "null" at creation); NULL fields stay empty.
    const std::string& NullValue() const { return Formats.NullString(); }
    void SetNullValue(const std::string& value) { Formats.SetNullString(value); }

    // Execute writes the table to FileName and, when it has memo fields, the memo file beside it
    // (FileName with the extension ".dbt"); the two are committed as one.
    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;

    // Values left empty in the last export because their text is not of the field's type: a number or
    // date column of a list view or string grid takes its type from a sample row, and a later row may hold
    // any text ("n/a"). Such a value leaves its field empty instead of ending the export.
    int EmptiedValues() const { return emptiedValues_; }
    // The first value left empty: its row (from 1, the skipped rows counted), its column's name and its
    // text. Row 0 when none was.
    struct TEmptiedValue {
        int Row = 0;
        std::string Column;
        std::string Text;
    };
    const TEmptiedValue& FirstEmptiedValue() const { return firstEmptied_; }
    // What the user is told after an export that left values empty: their count and the first of them
    // ("3 values did not fit their column's type and were left empty; the first: row 2, column "Amount",
    // "abc""); empty when none was.
    std::string EmptiedValuesNotice() const;

    // The memo file that belongs to a table file.
    static std::string MemoFileName(const std::string& tableFileName);
    // Type, length and decimals of a column's field.
    TDBFField FieldOfColumn(const TExportColumn& column) const;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override { return TExportTextEncoding::Windows1252; }
    void BeginExport() override;
    void EndExport() override;
    void WriteDataRow() override;
    bool PublishesColumnsLength() const override { return true; }

private:
    TDBFWriter& DBFWriter() const;
    // Widens the numeric fields to the widest value of the rows to be exported.
    void WidenNumericFields(std::vector<TDBFField>& fields);
    // A raw value as its numeric field stores it, whatever its width, into out: floats "%.<decimals>f"
    // with a full stop; empty for NULL, NaN, the infinities and texts that are no number (a float text of
    // a typed source that is no number raises EConvertError).
    void NumericText(const std::string& raw, bool isNull, const TExportColumn& column, const TDBFField& field,
                     std::string& out) const;
    // Appends a plain number's field bytes to a record; false (nothing appended) for any other text or
    // one too wide for its field.
    bool AppendPlainNumberField(std::string& record, const std::string& text, const TExportColumn& column,
                                const TDBFField& field) const;
    // The size of NumericText's text (scratch: storage for it where it must be made).
    int NumericLength(const std::string& raw, bool isNull, const TExportColumn& column,
                      const TDBFField& field, std::string& scratch) const;
    // NumericText of a float or currency text that is no plain decimal (text: empty for NULL and "null").
    std::string NumericTextOfFloat(std::string text, bool isNull, const TExportColumn& column,
                                   const TDBFField& field) const;
    // A number text cut to its field: fewer decimals, else the exponent form, else empty.
    void FitNumber(std::string& text, const TDBFField& field) const;
    // The BLOB of the column's source field in the current record; empty when there is none.
    std::string MemoBytes(const TExportColumn& column) const;

    // Whether the columns' types were guessed from a sample row (list view, string grid).
    bool TypedBySample() const;
    // Counts a value left empty; the first is kept.
    void ValueEmptied(const TExportColumn& column, const std::string& text);

    rtl::LocaleFacts numberFacts_; // the locale's facts with a full stop as decimal separator
    int emptiedValues_ = 0;
    TEmptiedValue firstEmptied_;
    // The fields of the current row appended to record; started tells whether the row has a record.
    void AppendRecordFields(TDBFWriter& w, std::string& record, bool& started);

    // A record's bytes, a cell's text and its numeric field's text, kept from row to row so that their
    // memory is reused.
    std::string record_, cellText_, numberText_;
};

} // namespace exporter
