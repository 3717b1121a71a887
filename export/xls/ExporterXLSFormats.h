#pragma once

#include "export/xls/ExporterXLSColors.h"
#include "platform/rtl/Colors.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ini {
class IniFile;
}

namespace exporter {

// Font style flags, combined in TxlsFontStyles.
enum TxlsFontStyle : unsigned { xfsBold = 1, xfsItalic = 2, xfsStrikeOut = 4 };
using TxlsFontStyles = unsigned;

enum TxlsFontScript : std::uint8_t { fscNone, fscSuperscript, fscSubscript };
enum TxlsFontUnderline : std::uint8_t {
    fulNone,
    fulSingle,
    fulDouble,
    fulSingleAccounting,
    fulDoubleAccounting
};
// The BIFF8 line styles, in their order.
enum TxlsBorderStyle : std::uint8_t {
    bstNone,
    bstThin,
    bstMedium,
    bstDashed,
    bstDotted,
    bstThick,
    bstDouble,
    bstHair,
    bstMediumDashed,
    bstDashDot,
    bstMediumDashDot,
    bstDashDotDot,
    bstMediumDashDotDot,
    bstSlantedDashDot
};
// The BIFF8 fill patterns, in their order.
enum TxlsPattern : std::uint8_t {
    ptNone,
    ptSolid,
    ptGray50,
    ptGray75,
    ptGray25,
    ptHorStripe,
    ptVertStripe,
    ptReverseDiagStripe,
    ptDiagStripe,
    ptDiagCrosshatch,
    ptThickDiagCrosshatch,
    ptThinHorStripe,
    ptThinVertStripe,
    ptThinReverseDiagStripe,
    ptThinDiagStripe,
    ptThinHorCrosshatch,
    ptThinDiagCrosshatch,
    ptGray12,
    ptThinThinSpots
};
enum TxlsHorizontalAlignment : std::uint8_t { halGeneral, halLeft, halCenter, halRight, halFill };
enum TxlsVerticalAlignment : std::uint8_t { valTop, valCenter, valBottom, valJustify };
enum TxlsAggregate : std::uint8_t { aggNone, aggSum, aggAvg, aggMin, aggMax };
enum TxlsNoteFillType : std::uint8_t { nftSolid, nftGradient };
enum TxlsNoteGradient : std::uint8_t {
    ngrHorizontal,
    ngrVertical,
    ngrDiagonalUp,
    ngrDiagonalDown,
    ngrFromCorner,
    ngrFromCenter
};
enum TxlsOrientation : std::uint8_t { xrtNoRotation, xlrTopToBottom, xlrCounterClockWise, xlrClockWise };
using TxlsPercent = std::uint8_t; // 0 .. 100

// The font of a cell.
struct TxlsFont {
    int Size = 10; // points
    TxlsFontStyles Style = 0;
    TxlsColor Color = clrBlack;
    TxlsFontScript Script = fscNone;
    TxlsFontUnderline Underline = fulNone;
    std::uint8_t Charset = 1;
    std::string Name = "arial";
    // The FONT index, once the font is entered in a font list; not a value of the font.
    std::uint16_t Index = 0;

    // Copies every value (not the index).
    void Assign(const TxlsFont& source);
    // Size, style, colour, script, underline, charset and name (exact case) agree.
    bool Equals(const TxlsFont& other) const;
    void SetDefault() { Assign(TxlsFont{}); }
    bool IsDefault() const { return Equals(TxlsFont{}); }
    bool Has(TxlsFontStyle style) const { return (Style & style) != 0; }
};

struct TxlsBorder {
    TxlsBorderStyle Style = bstNone;
    TxlsColor Color = clrBlack;
    bool operator==(const TxlsBorder&) const = default;
};

struct TxlsBorders {
    TxlsBorder Left, Right, Top, Bottom, DiagDown, DiagUp;
    bool operator==(const TxlsBorders&) const = default;
    // True when any of the six has a line style.
    bool AnyStyled() const;
};

struct TxlsFill {
    TxlsColor Background = clrWhite;
    TxlsPattern Pattern = ptNone;
    TxlsColor Foreground = clrBlack;
    bool operator==(const TxlsFill&) const = default;
};

struct TxlsAlignment {
    TxlsHorizontalAlignment Horizontal = halGeneral;
    TxlsVerticalAlignment Vertical = valBottom;
    bool operator==(const TxlsAlignment&) const = default;
};

class TxlsCollectionBase;

// The base of the workbook model's collection items.
class TxlsCustomItem {
public:
    virtual ~TxlsCustomItem() = default;
    virtual int GetItemType() const = 0;
    virtual void SetDefault() = 0;
    virtual void SaveToIni(ini::IniFile& iniFile, const std::string& section) const = 0;
    virtual void LoadFromIni(const ini::IniFile& iniFile, const std::string& section) = 0;
    virtual std::string GetDisplayName() const;

    // The collection the item belongs to (none for a free item) and its position there (-1).
    TxlsCollectionBase* Collection() const { return collection_; }
    int Index() const;

private:
    friend class TxlsCollectionBase;
    TxlsCollectionBase* collection_ = nullptr;
};

// The ownership and order of a collection's items.
class TxlsCollectionBase {
public:
    explicit TxlsCollectionBase(const void* owner) : owner_(owner) {}
    virtual ~TxlsCollectionBase() = default;
    TxlsCollectionBase(const TxlsCollectionBase&) = delete;
    TxlsCollectionBase& operator=(const TxlsCollectionBase&) = delete;

    std::size_t Count() const { return items_.size(); }
    const void* Owner() const { return owner_; }
    int IndexOf(const TxlsCustomItem* item) const;
    void Delete(std::size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index)); }
    void Clear() { items_.clear(); }

protected:
    TxlsCustomItem& AddItem(std::unique_ptr<TxlsCustomItem> item);
    TxlsCustomItem& ItemAt(std::size_t index) const { return *items_.at(index); }

private:
    const void* owner_;
    std::vector<std::unique_ptr<TxlsCustomItem>> items_;
};

// A cell format: font, borders, fill, alignment and word wrap.
class TxlsFormat : public TxlsCustomItem {
public:
    TxlsFont Font;
    TxlsBorders Borders;
    TxlsFill Fill;
    TxlsAlignment Alignment;
    bool Wrap = false;

    int GetItemType() const override { return 0; }
    virtual std::string ClassName() const { return "TxlsFormat"; }
    // "StripStyle_" and the index in an exporter's strip styles, else the class name.
    std::string GetDisplayName() const override;
    void SetDefault() override;
    virtual bool IsDefault() const;
    // Copies font, borders, fill, alignment and wrap.
    virtual void Assign(const TxlsFormat& source);
    // Writes the format's INI keys into the section, in their fixed order.
    void SaveToIni(ini::IniFile& iniFile, const std::string& section) const override;
    // Reads the keys; an absent key gives its default, an out-of-range number the default too.
    void LoadFromIni(const ini::IniFile& iniFile, const std::string& section) override;
};

// The format of one data column, found by its field name.
class TxlsFieldFormat : public TxlsFormat {
public:
    std::string FieldName;
    int Width = 0;
    TxlsAggregate Aggregate = aggNone;

    int GetItemType() const override { return 1; }
    std::string ClassName() const override { return "TxlsFieldFormat"; }
    // The field name, when there is one.
    std::string GetDisplayName() const override;
    void SetDefault() override;
    bool IsDefault() const override;
    // Copies the format, and FieldName, Width and Aggregate when the source is a field format.
    void Assign(const TxlsFormat& source) override;
    void SaveToIni(ini::IniFile& iniFile, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& iniFile, const std::string& section) override;
};

// The look of a cell note.
class TxlsNoteFormat : public TxlsCustomItem {
public:
    static constexpr rtl::TColor DefaultNoteColor = 14811135; // red 255, green 255, blue 225

    TxlsNoteFormat() { SetDefault(); }
    TxlsAlignment Alignment;
    rtl::TColor BackgroundColor = DefaultNoteColor;
    rtl::TColor ForegroundColor = DefaultNoteColor;
    TxlsNoteFillType FillType = nftSolid;
    TxlsFont Font;
    TxlsPercent Transparency = 0;
    TxlsOrientation Orientation = xrtNoRotation;
    TxlsNoteGradient Gradient = ngrHorizontal;

    int GetItemType() const override { return 2; }
    void SetDefault() override;
    void Assign(const TxlsNoteFormat& source);
    bool Equals(const TxlsNoteFormat& other) const;
    void SaveToIni(ini::IniFile& iniFile, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& iniFile, const std::string& section) override;
};

// A collection of formats; an exporter marks its strip styles so that they name themselves.
class TxlsFormats : public TxlsCollectionBase {
public:
    explicit TxlsFormats(const void* owner, bool stripStyles = false)
        : TxlsCollectionBase(owner), stripStyles_(stripStyles) {}
    TxlsFormat& Add() { return static_cast<TxlsFormat&>(AddItem(std::make_unique<TxlsFormat>())); }
    TxlsFormat& Items(std::size_t index) const { return static_cast<TxlsFormat&>(ItemAt(index)); }
    bool StripStyles() const { return stripStyles_; }

private:
    bool stripStyles_;
};

class TxlsFieldFormats : public TxlsCollectionBase {
public:
    explicit TxlsFieldFormats(const void* owner) : TxlsCollectionBase(owner) {}
    TxlsFieldFormat& Add() {
        return static_cast<TxlsFieldFormat&>(AddItem(std::make_unique<TxlsFieldFormat>()));
    }
    TxlsFieldFormat& Items(std::size_t index) const { return static_cast<TxlsFieldFormat&>(ItemAt(index)); }
    // The position of the entry with that field name (without regard to case), or -1.
    int IndexOf(const std::string& fieldName) const;
    using TxlsCollectionBase::IndexOf;
};

// The screen font's values as a workbook font: size, bold, italic, strike-out, single underline
// when underlined, no script, charset, name, and the palette colour of the screen colour (black
// for a colour that is not one of the 16 standard ones).
struct TxlsScreenFont {
    std::string Name;
    int Size = 10;
    rtl::TColor Color = rtl::clBlack;
    std::uint8_t Charset = 1;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
};
void AssignScreenFont(TxlsFont& font, const TxlsScreenFont& source);
// The workbook font as a screen font: the palette RGB of its colour.
TxlsScreenFont ToScreenFont(const TxlsFont& font);

} // namespace exporter
