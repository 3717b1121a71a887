#pragma once

#include "export/xls/ExporterXLSFormats.h"
#include "export/xls/ExporterXLSRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace exporter {

// A number format of the workbook with its FORMAT index.
struct TxlsTextFormat {
    std::uint16_t Index = 0;
    std::string Text = "General";
};

// A cell XF of the workbook: its index, font and number format (entries of the font and format
// lists, or none) and its own borders, fill, alignment and wrap flag.
struct TxlsXFormat {
    std::uint16_t Index = 0;
    const TxlsFont* Font = nullptr;
    const TxlsTextFormat* NumberFormat = nullptr;
    TxlsBorders Borders;
    TxlsFill Fill;
    TxlsAlignment Alignment;
    bool Wrap = false;
};

// The fonts entered for one export; indexes follow on from the four fixed fonts, skipping 4.
class TxlsFontList {
public:
    // An entry equal to the font, or none.
    const TxlsFont* Find(const TxlsFont& font) const;
    // Appends a copy under the next FONT index.
    const TxlsFont& Add(const TxlsFont& font);
    std::size_t Count() const { return items_.size(); }
    const TxlsFont& Items(std::size_t index) const { return *items_[index]; }

private:
    std::vector<std::unique_ptr<TxlsFont>> items_;
    std::uint16_t lastIndex_ = 4;
};

// The number formats entered for one export; indexes follow on from 49.
class TxlsTextFormatList {
public:
    // The entry with exactly that text, or none.
    const TxlsTextFormat* Find(const std::string& text) const;
    const TxlsTextFormat& Add(const std::string& text);
    std::size_t Count() const { return items_.size(); }
    const TxlsTextFormat& Items(std::size_t index) const { return *items_[index]; }

private:
    std::vector<std::unique_ptr<TxlsTextFormat>> items_;
    std::uint16_t lastIndex_ = 49;
};

// The cell XFs entered for one export; indexes follow on from the 16 fixed XFs.
class TxlsXFormatList {
public:
    std::size_t Count() const { return items_.size(); }
    const TxlsXFormat& Items(std::size_t index) const { return *items_[index]; }

private:
    friend class TxlsFormatTables;
    std::vector<std::unique_ptr<TxlsXFormat>> items_;
    std::uint16_t lastIndex_ = 15;
};

// The XF of a data column, by column (or sheet) index and field name (without regard to case).
class TxlsXFormatFieldList {
public:
    struct Entry {
        int Index;
        std::string FieldName;
        const TxlsXFormat* XFormat;
    };
    void Add(int index, const std::string& fieldName, const TxlsXFormat* xFormat);
    const TxlsXFormat* Find(int index, const std::string& fieldName) const;
    std::size_t Count() const { return items_.size(); }

private:
    std::vector<Entry> items_;
};

// The XF of a striped or special cell, by two keys (column and row or strip index).
class TxlsXFormatColRowList {
public:
    struct Entry {
        int Key1, Key2;
        const TxlsXFormat* XFormat;
    };
    void Add(int key1, int key2, const TxlsXFormat* xFormat);
    const TxlsXFormat* Find(int key1, int key2) const;
    std::size_t Count() const { return items_.size(); }

private:
    std::vector<Entry> items_;
};

// The de-duplicating tables of one export that turn formats into FONT, FORMAT and XF records.
class TxlsFormatTables {
public:
    static constexpr std::uint16_t DefaultCellXF = 15;

    // The XF index of a cell with a number format ("" counts as "General") and a format (none
    // for the plain cell): 15 for "General" without format; else an existing equal XF or a new
    // one, entering its font and number format in their lists when they are new. A format's font
    // equal to the default font (font 0) is not entered: the XF uses font 0.
    std::uint16_t GetXFIndex(const std::string& numberFormat, const TxlsFormat* format);
    // The XF entry with that index, or none (for the fixed XFs).
    const TxlsXFormat* FindXFormat(std::uint16_t index) const;

    const TxlsFontList& Fonts() const { return fonts_; }
    const TxlsTextFormatList& NumberFormats() const { return numberFormats_; }
    const TxlsXFormatList& XFormats() const { return xFormats_; }
    TxlsXFormatFieldList& FieldXFormats() { return fieldXFormats_; }
    TxlsXFormatColRowList& ColRowXFormats() { return colRowXFormats_; }

private:
    TxlsFontList fonts_;
    TxlsTextFormatList numberFormats_;
    TxlsXFormatList xFormats_;
    TxlsXFormatFieldList fieldXFormats_;
    TxlsXFormatColRowList colRowXFormats_;
};

// Takes the values of an XF entry: its font (the default font when it has none), borders, fill,
// alignment and wrap flag.
void AssignXFormat(TxlsFormat& format, const TxlsXFormat& xFormat);

// The default cell XF 15 of every workbook.
extern const std::uint8_t DefaultCellXFBytes[TbiffXF::Size];
// The XF record of an entry, built on a copy of XF 15.
std::unique_ptr<TbiffXF> BuildXFRecord(const void* owner, const TxlsXFormat& xFormat);
// The FONT record of a font (its size kept within 1 to 409 points).
std::unique_ptr<TbiffFont> BuildFontRecord(const void* owner, const TxlsFont& font);

} // namespace exporter
