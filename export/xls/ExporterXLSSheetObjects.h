#pragma once

// The objects a user places on a workbook sheet besides the exported rows: hyperlinks, cell notes,
// charts with their series, pictures and the images that place them, user-defined cells and merged
// ranges, and the per-sheet options (TXLSOptions).
//
// How the workbook writer uses them:
// - Owners. The exporter, each extra sheet and the dialog's option set own the collections. Each of
//   them implements TxlsObjectOwner and passes itself to the collections' constructors:
//     * GetOptions()          the owner's "Options" (exporter, sheet), else none;
//     * GetHyperlinkFormat()  the owner's own "HyperlinkFormat" (the dialog's option set), else none;
//     * AsExporter()          the exporter itself (TxlsExporterLink), else none;
//     * AsSheet()             the sheet itself (TxlsSheetLink), else none.
//   A TxlsSheetLink names its exporter, its index among the written sheets, StartDataCol,
//   DefColWidth and DefRowHeight. A TxlsExporterLink gives the pictures, all image collections of
//   its sheets, the writer's per-sheet data extent, exported column widths, recorded row heights,
//   the workbook's first font and a text measurement (pixels).
// - Validity. The writers skip objects whose IsValid() is false.
// - Coordinates. Col and Row are 1-based; GetAnchor() gives the 0-based drawing client anchor.
// - Text. Every text field holds UTF-8; the record writers convert to UTF-16.
// - INI. SaveToIni / LoadFromIni write and read one section (a note's lines and a chart's series go
//   into further sections named after it).

#include "export/xls/ExporterXLSColors.h"
#include "export/xls/ExporterXLSFormats.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/LocaleFacts.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace exporter {

class TXLSOptions;
class TxlsPictures;
class TxlsImages;
class TxlsSheetLink;

// Item kind codes returned by GetItemType.
constexpr int xitHyperlink = 3;
constexpr int xitNote = 4;
constexpr int xitChart = 5;
constexpr int xitChartSeries = 6;
constexpr int xitPicture = 7;
constexpr int xitImage = 7;
constexpr int xitGraphic = 9;
constexpr int xitCell = 10;
constexpr int xitMergedCells = 11;

enum TxlsHyperlinkStyle : std::uint8_t { hlsURL, hlsLocalFile };
enum TxlsRangeType : std::uint8_t { rtColumn, rtCustom };
enum TxlsChartStyle : std::uint8_t {
    xcsColumn,
    xcsColumn3d,
    xcsBar,
    xcsBar3d,
    xcsLine,
    xcsLineMark,
    xcsLine3d,
    xcsPie,
    xcsPie3d,
    xcsArea,
    xcsArea3d,
    xcsSurface,
    xcsSurface3d,
    xcsRadar,
    xcsRadarArea
};
enum TxlsChartLegendPlacement : std::uint8_t { clpBottom, clpCorner, clpTop, clpRight, clpLeft };
enum TxlsChartPlacement : std::uint8_t { cpBottom, cpRight };
enum TxlsChartPositionType : std::uint8_t { cptAuto, cptCustom };
enum TxlsCellType : std::uint8_t { ctBoolean, ctDateTime, ctNumeric, ctString };
using TxlsZoom = std::uint16_t; // 0 .. 1000 percent

// The drawing client anchor: cells 0-based, column offsets in 1/1024 of the column width, row
// offsets in 1/256 of the row height.
struct TxlsAnchor {
    std::uint16_t Col1 = 0, Col1Offset = 0, Row1 = 0, Row1Offset = 0;
    std::uint16_t Col2 = 0, Col2Offset = 0, Row2 = 0, Row2Offset = 0;
    bool operator==(const TxlsAnchor&) const = default;
};

// The smallest and largest written row and column of a sheet, 0-based; -1 while none.
struct TxlsDataExtent {
    int FirstRow = -1, LastRow = -1, FirstCol = -1, LastCol = -1;
};

// What the exporter offers the objects of its sheets.
class TxlsExporterLink {
public:
    virtual ~TxlsExporterLink() = default;
    virtual const TxlsPictures* GetPictures() const = 0;
    // The exporter's own images and those of every sheet.
    virtual std::vector<const TxlsImages*> GetAllImages() const = 0;
    // The writer's data extent of the sheet with that index; false when the writer has none.
    virtual bool FindDataExtent(int sheetIndex, TxlsDataExtent& extent) const = 0;
    // The writer's widths (characters) of the exported columns, from the first data column on.
    virtual std::vector<int> GetExportedColumnWidths() const { return {}; }
    // The writer's recorded height (twips) of a 1-based row; false when none is recorded.
    virtual bool FindRowHeight(int row, int& twips) const;
    // The workbook's first font (the default font when the font list is empty).
    virtual TxlsFont GetFirstFont() const { return TxlsFont{}; }
    // The pixel width of a text in a font; the default estimates from the font size.
    virtual int TextWidth(const std::string& text, const TxlsFont& font) const;
    // The pixel width of "0" in the default font, to a fraction of a pixel as readers measure it:
    // a column of n characters is n times as wide. The default takes the average of ten zeros
    // measured by TextWidth.
    virtual double ZeroWidth() const;
};

// What a sheet offers its objects.
class TxlsSheetLink {
public:
    virtual ~TxlsSheetLink() = default;
    virtual TxlsExporterLink* GetExporter() const = 0;
    // The sheet's position among the written sheets (the writer's data extents are kept by it).
    virtual int GetSheetIndex() const = 0;
    virtual int GetStartDataCol() const { return 0; }
    virtual int GetDefColWidth() const { return 8; }
    virtual double GetDefRowHeight() const { return 12.75; }
};

// The owner of sheet-object collections.
class TxlsObjectOwner {
public:
    virtual ~TxlsObjectOwner() = default;
    virtual const TXLSOptions* GetOptions() const { return nullptr; }
    virtual const TxlsFormat* GetHyperlinkFormat() const { return nullptr; }
    virtual TxlsExporterLink* AsExporter() { return nullptr; }
    virtual TxlsSheetLink* AsSheet() { return nullptr; }
};

// Page header and footer, sheet title and the default formats of an exporter or a sheet.
class TXLSOptions {
public:
    TXLSOptions();
    std::string PageFooter = "Page &P of &N";
    std::string PageHeader;
    TxlsFormat HeaderFormat, CaptionsFormat, DataFormat, AggregateFormat, FooterFormat, HyperlinkFormat;
    TxlsNoteFormat NoteFormat;

    const std::string& SheetTitle() const { return sheetTitle_; }
    // An empty title stores "Sheet1".
    void SetSheetTitle(const std::string& title);
    // Copies the seven formats only.
    void Assign(const TXLSOptions& source);

private:
    std::string sheetTitle_ = "Sheet 1";
};

// The defaults plus a bold font.
void SetDefaultXlsCaptionFormat(TxlsFormat& format);

class TxlsObjectCollection;

// The base of the items of the sheet-object collections.
class TxlsSheetObject : public TxlsCustomItem {
public:
    // The owner of the item's collection, or none.
    TxlsObjectOwner* GetObjectOwner() const;
    // Takes the defaults that depend on the collection; called once the item is in it.
    virtual void AddedToCollection() {}
    void SaveToIni(ini::IniFile&, const std::string&) const override {}
    void LoadFromIni(const ini::IniFile&, const std::string&) override {}
};

class TxlsHyperlink : public TxlsSheetObject {
public:
    std::uint16_t Col = 0;
    std::uint16_t Row = 0;
    TxlsFormat Format;
    std::string Target;
    std::string Title;
    std::string ScreenTip;
    TxlsHyperlinkStyle Style = hlsURL;

    int GetItemType() const override { return xitHyperlink; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void AddedToCollection() override;
    void Assign(const TxlsHyperlink& source);
    bool IsValid() const;
    // The byte length of the hyperlink's HLINK record data.
    std::size_t GetRecordSize() const;
    // The target as a single-byte path (Linux file systems have no 8.3 form).
    std::string GetShortTarget() const;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
};

class TxlsNote : public TxlsSheetObject {
public:
    std::uint16_t Row = 0;
    std::uint16_t Col = 0;
    std::vector<std::string> Lines;
    TxlsNoteFormat Format;

    int GetItemType() const override { return xitNote; }
    void SetDefault() override;
    void AddedToCollection() override;
    void Assign(const TxlsNote& source);
    // The lines joined by line feeds.
    std::string Text() const;
    bool IsValid() const;
    TxlsAnchor GetAnchor() const;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
};

struct TxlsDataRange {
    std::uint8_t Col1 = 0, Col2 = 0;
    std::uint16_t Row1 = 0, Row2 = 0;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section);
};

class TxlsChart;

class TxlsChartSeries : public TxlsSheetObject {
public:
    TxlsColor Color = clrAqua;
    std::string DataColumn;
    TxlsDataRange DataRange;
    TxlsRangeType DataRangeType = rtColumn;
    std::string Title;

    int GetItemType() const override { return xitChartSeries; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void Assign(const TxlsChartSeries& source);
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
};

struct TxlsChartAutoPosition {
    TxlsChartPlacement Placement = cpBottom;
    int Height = 10;
    int Left = 0;
    int Top = 0;
    int Width = 5;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section);
};

struct TxlsChartCustomPosition {
    std::uint8_t X1 = 0, X2 = 0;
    std::uint16_t Y1 = 0, Y2 = 0;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section);
};

struct TxlsChartPosition {
    TxlsChartAutoPosition AutoPosition;
    TxlsChartCustomPosition CustomPosition;
    TxlsChartPositionType PositionType = cptAuto;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section);
};

// The series of a chart; the chart owns it.
class TxlsChartSeriesList : public TxlsCollectionBase {
public:
    explicit TxlsChartSeriesList(TxlsChart* chart) : TxlsCollectionBase(chart), chart_(chart) {}
    TxlsChart* Chart() const { return chart_; }
    TxlsChartSeries& Add() {
        return static_cast<TxlsChartSeries&>(AddItem(std::make_unique<TxlsChartSeries>()));
    }
    TxlsChartSeries& Items(std::size_t index) const { return static_cast<TxlsChartSeries&>(ItemAt(index)); }
    void Assign(const TxlsChartSeriesList& source);

private:
    TxlsChart* chart_;
};

class TxlsChart : public TxlsSheetObject {
public:
    TxlsChart() : Series(this) {}
    bool AutoColor = true;
    TxlsDataRange CategoryLabels;
    TxlsRangeType CategoryLabelsType = rtColumn;
    std::string CategoryLabelsColumn;
    TxlsChartLegendPlacement LegendPlacement = clpRight;
    TxlsChartPosition Position;
    TxlsChartSeriesList Series;
    bool ShowLegend = true;
    TxlsChartStyle Style = xcsColumn;
    std::string Title;

    int GetItemType() const override { return xitChart; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void Assign(const TxlsChart& source);
    // The sheet that owns the chart's collection, or none.
    TxlsSheetLink* GetSheet() const;
    TxlsAnchor GetAnchor() const;
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
};

// The kinds of graphic, by file extension.
enum TxlsGraphicKind : std::uint8_t { gkOther, gkWMF, gkEMF, gkJPEG, gkPNG, gkGIF, gkBMP, gkICO };
TxlsGraphicKind GraphicKindFromFileName(const std::string& fileName);

// The pixel size of a PNG, JPEG, GIF or BMP file image held in memory; false when the bytes are
// not one of those or are cut short.
bool ReadImageSize(const std::vector<std::uint8_t>& bytes, int& width, int& height);

// A picture file, or picture bytes held in memory.
class TxlsGraphic : public TxlsSheetObject {
public:
    int GetItemType() const override { return xitGraphic; }
    void SetDefault() override;
    void Assign(const TxlsGraphic& source);

    const std::string& FileName() const { return fileName_; }
    // Sets the graphic kind from the extension.
    void SetFileName(const std::string& fileName);
    TxlsGraphicKind GraphicKind() const { return kind_; }
    // The held bytes with the pixel size read from them (0 x 0 when unreadable); empty bytes
    // empty the data.
    void SetData(const std::vector<std::uint8_t>& bytes);
    const std::vector<std::uint8_t>& Data() const { return data_; }
    // The stored size when data is held; else the file's image size, 0 x 0 when it is missing.
    void GetPictureSize(int& height, int& width) const;

private:
    std::string fileName_;
    TxlsGraphicKind kind_ = gkOther;
    std::vector<std::uint8_t> data_;
    int height_ = 0;
    int width_ = 0;
};

class TxlsPicture : public TxlsGraphic {
public:
    int GetItemType() const override { return xitPicture; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void AddedToCollection() override;
    // The graphic and the name (when it is free in the collection).
    void Assign(const TxlsPicture& source);
    const std::string& Name() const { return name_; }
    // Raises std::invalid_argument "A picture name cannot be empty" or "A picture %s already exists".
    void SetName(const std::string& name);
    TxlsPictures* Pictures() const;
    // The images over all sheets of the owning exporter that show this picture.
    int GetUsageCount() const;

private:
    std::string name_;
};

class TxlsImage : public TxlsSheetObject {
public:
    std::uint16_t Col = 0;
    std::uint16_t Row = 0;
    std::string PictureName;
    std::string Title;
    TxlsZoom Zoom = 100;

    int GetItemType() const override { return xitImage; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void AddedToCollection() override;
    void Assign(const TxlsImage& source);
    TxlsImages* Images() const;
    TxlsExporterLink* GetExporter() const;
    TxlsSheetLink* GetSheet() const;
    // 1 + the index of the picture in the exporter's pictures, or -1.
    int GetPictureIndex() const;
    // Leaves the anchor unchanged without exporter, sheet or picture.
    void GetAnchor(TxlsAnchor& anchor) const;
};

// A typed cell value: Empty, Boolean, number, text or date-time.
struct TxlsDateTimeValue {
    rtl::TDateTime Value = 0;
    bool operator==(const TxlsDateTimeValue&) const = default;
};
using TxlsVariant = std::variant<std::monostate, bool, double, std::string, TxlsDateTimeValue>;

class TxlsCell : public TxlsSheetObject {
public:
    TxlsCell();
    TxlsCellType CellType = ctString;
    std::uint16_t Col = 0;
    std::uint16_t Row = 0;
    std::string DateTimeFormat;
    TxlsFormat Format;
    std::string NumericFormat = "###,###,#0.00";
    bool BooleanValue = false;
    rtl::TDateTime DateTimeValue = 0;
    double NumericValue = 0;
    std::string StringValue;

    int GetItemType() const override { return xitCell; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void Assign(const TxlsCell& source);
    bool IsValid() const { return Col > 0 && Row > 0; }
    TxlsVariant Value() const;
    // Converts to the cell's type; a value that does not convert resets that field.
    void SetValue(const TxlsVariant& value);
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
    // With the decimal separator and date facts given.
    void SaveToIni(ini::IniFile& ini, const std::string& section, const rtl::LocaleFacts& facts) const;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section, const rtl::LocaleFacts& facts);
};

class TxlsMergedCells : public TxlsSheetObject {
public:
    std::uint16_t FirstCol = 0, FirstRow = 0, LastCol = 0, LastRow = 0;

    int GetItemType() const override { return xitMergedCells; }
    std::string GetDisplayName() const override;
    void SetDefault() override;
    void Assign(const TxlsMergedCells& source);
    bool IsValid() const { return FirstCol > 0 && FirstRow > 0 && LastCol > 0 && LastRow > 0; }
    void SaveToIni(ini::IniFile& ini, const std::string& section) const override;
    void LoadFromIni(const ini::IniFile& ini, const std::string& section) override;
};

// A collection with a sheet-object owner.
class TxlsObjectCollection : public TxlsCollectionBase {
public:
    explicit TxlsObjectCollection(TxlsObjectOwner* owner) : TxlsCollectionBase(owner), owner_(owner) {}
    TxlsObjectOwner* GetOwner() const { return owner_; }

protected:
    TxlsSheetObject& AddObject(std::unique_ptr<TxlsSheetObject> item);

private:
    TxlsObjectOwner* owner_;
};

template <class Item> class TxlsTypedCollection : public TxlsObjectCollection {
public:
    using TxlsObjectCollection::TxlsObjectCollection;
    Item& Add() { return static_cast<Item&>(AddObject(std::make_unique<Item>())); }
    Item& Items(std::size_t index) const { return static_cast<Item&>(ItemAt(index)); }
    // Replaces the items by copies of the source's.
    void Assign(const TxlsTypedCollection& source) {
        if (&source == this)
            return;
        Clear();
        for (std::size_t i = 0; i < source.Count(); ++i)
            Add().Assign(source.Items(i));
    }
};

using TxlsHyperlinks = TxlsTypedCollection<TxlsHyperlink>;
using TxlsNotes = TxlsTypedCollection<TxlsNote>;
using TxlsCharts = TxlsTypedCollection<TxlsChart>;
using TxlsCells = TxlsTypedCollection<TxlsCell>;
using TxlsMergedCellList = TxlsTypedCollection<TxlsMergedCells>;

class TxlsPictures : public TxlsTypedCollection<TxlsPicture> {
public:
    using TxlsTypedCollection::TxlsTypedCollection;
    // The first picture named so (without regard to case).
    bool FindByName(const std::string& name, int& index) const;
};

class TxlsImages : public TxlsTypedCollection<TxlsImage> {
public:
    using TxlsTypedCollection::TxlsTypedCollection;
    bool FindByTitle(const std::string& title, int& index) const;
};

} // namespace exporter
