#include "export/xls/ExporterXLSSheetObjects.h"

#include "export/xls/ExporterXLSUtils.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <QImageReader>
#include <QSize>
#include <QString>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace exporter {

namespace {

template <class E> E ordinalOr(int value, int last, E def) {
    return value >= 0 && value <= last ? static_cast<E>(value) : def;
}

std::uint16_t toWord(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
}

std::uint8_t toByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 0xFF));
}

std::vector<std::uint8_t> readFileBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool fileExists(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return static_cast<bool>(file);
}

std::uint32_t bigEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) |
           b[at + 3];
}

std::uint16_t bigEndian16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

std::uint16_t littleEndian16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::int32_t littleEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (std::uint32_t(b[at + 3]) << 24));
}

bool readJpegSize(const std::vector<std::uint8_t>& b, int& width, int& height) {
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF)
            return false;
        const std::uint8_t marker = b[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const std::size_t length = bigEndian16(b, at + 2);
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (at + 9 > b.size())
                return false;
            height = bigEndian16(b, at + 5);
            width = bigEndian16(b, at + 7);
            return true;
        }
        if (length < 2)
            return false;
        at += 2 + length;
    }
    return false;
}

} // namespace

// ---- owners

bool TxlsExporterLink::FindRowHeight(int, int&) const {
    return false;
}

int TxlsExporterLink::TextWidth(const std::string& text, const TxlsFont& font) const {
    // About half the em of the font at 96 pixels per inch per character.
    const double em = font.Size * 96.0 / 72.0;
    return static_cast<int>(std::lround(static_cast<double>(text.size()) * em * 0.55));
}

double TxlsExporterLink::ZeroWidth() const {
    return std::max(TextWidth("0000000000", TxlsFont{}) / 10.0, 1.0);
}

TXLSOptions::TXLSOptions() {
    SetDefaultXlsCaptionFormat(CaptionsFormat);
    HyperlinkFormat.Font.Color = clrBlue;
    HyperlinkFormat.Font.Underline = fulSingle;
}

void TXLSOptions::SetSheetTitle(const std::string& title) {
    sheetTitle_ = title.empty() ? "Sheet1" : title;
}

void TXLSOptions::Assign(const TXLSOptions& source) {
    HeaderFormat.Assign(source.HeaderFormat);
    CaptionsFormat.Assign(source.CaptionsFormat);
    DataFormat.Assign(source.DataFormat);
    AggregateFormat.Assign(source.AggregateFormat);
    FooterFormat.Assign(source.FooterFormat);
    HyperlinkFormat.Assign(source.HyperlinkFormat);
    NoteFormat.Assign(source.NoteFormat);
}

void SetDefaultXlsCaptionFormat(TxlsFormat& format) {
    format.SetDefault();
    format.Font.Style |= xfsBold;
}

TxlsObjectOwner* TxlsSheetObject::GetObjectOwner() const {
    const auto* collection = dynamic_cast<const TxlsObjectCollection*>(Collection());
    return collection ? collection->GetOwner() : nullptr;
}

TxlsSheetObject& TxlsObjectCollection::AddObject(std::unique_ptr<TxlsSheetObject> item) {
    auto& added = static_cast<TxlsSheetObject&>(AddItem(std::move(item)));
    added.AddedToCollection();
    return added;
}

// ---- hyperlinks

std::string TxlsHyperlink::GetDisplayName() const {
    return Title.empty() ? TxlsSheetObject::GetDisplayName() : Title;
}

void TxlsHyperlink::SetDefault() {
    Col = Row = 0;
    Format.SetDefault();
    Target.clear();
    Title.clear();
    ScreenTip.clear();
    Style = hlsURL;
}

void TxlsHyperlink::AddedToCollection() {
    TxlsObjectOwner* owner = GetObjectOwner();
    if (!owner)
        return;
    if (const TXLSOptions* options = owner->GetOptions())
        Format.Assign(options->HyperlinkFormat);
    else if (const TxlsFormat* format = owner->GetHyperlinkFormat())
        Format.Assign(*format);
}

void TxlsHyperlink::Assign(const TxlsHyperlink& source) {
    Col = source.Col;
    Row = source.Row;
    Format.Assign(source.Format);
    Target = source.Target;
    Title = source.Title;
    ScreenTip = source.ScreenTip;
    Style = source.Style;
}

bool TxlsHyperlink::IsValid() const {
    return Col >= 1 && Col <= 256 && Row > 0 && !Title.empty() && !Target.empty();
}

std::string TxlsHyperlink::GetShortTarget() const {
    return rtl::Utf8ToWindows1252(Target);
}

std::size_t TxlsHyperlink::GetRecordSize() const {
    const std::size_t titleBytes = 2 * Utf8ToWide(Title).size();
    const std::size_t targetBytes = 2 * Utf8ToWide(Target).size();
    switch (Style) {
    case hlsURL:
        return titleBytes + targetBytes + 60;
    case hlsLocalFile:
        // The file moniker: identifier 16, u16 0, u32 length, the path and its 0, 24 fixed bytes,
        // then u32, u32, u16 and the UTF-16 path.
        return titleBytes + 38 + 16 + 2 + 4 + GetShortTarget().size() + 1 + 24 + 10 + targetBytes;
    }
    return titleBytes + 38;
}

void TxlsHyperlink::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "Col", Col);
    ini.WriteInteger(section, "Row", Row);
    ini.WriteInteger(section, "Style", Style);
    ini.WriteString(section, "Title", Title);
    ini.WriteString(section, "Target", Target);
    ini.WriteString(section, "ScreenTip", ScreenTip);
    Format.SaveToIni(ini, section);
}

void TxlsHyperlink::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Col = toWord(ini.ReadInteger(section, "Col", 0));
    Row = toWord(ini.ReadInteger(section, "Row", 0));
    Style = ordinalOr(ini.ReadInteger(section, "Style", hlsURL), hlsLocalFile, hlsURL);
    Title = ini.ReadString(section, "Title", "");
    Target = ini.ReadString(section, "Target", "");
    ScreenTip = ini.ReadString(section, "ScreenTip", "");
    Format.LoadFromIni(ini, section);
}

// ---- notes

void TxlsNote::SetDefault() {
    Row = Col = 0;
    Lines.clear();
    Format.SetDefault();
}

void TxlsNote::AddedToCollection() {
    TxlsObjectOwner* owner = GetObjectOwner();
    if (owner && owner->GetOptions())
        Format.Assign(owner->GetOptions()->NoteFormat);
}

void TxlsNote::Assign(const TxlsNote& source) {
    Row = source.Row;
    Col = source.Col;
    Lines = source.Lines;
    Format.Assign(source.Format);
}

std::string TxlsNote::Text() const {
    std::string text;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += Lines[i];
    }
    return text;
}

bool TxlsNote::IsValid() const {
    return Col >= 1 && Col <= 255 && Row > 0 && !Text().empty();
}

TxlsAnchor TxlsNote::GetAnchor() const {
    // The box is two columns wide and five rows high, right of the cell from the row above it;
    // where the sheet ends it moves left of the cell or up, so that it never leaves the sheet.
    constexpr int width = 2, height = 5, lastCol = 255, lastRow = 65535;
    const int col = std::max(Col - 1, 0), row = std::max(Row - 1, 0);
    const int col1 = col + 1 + width <= lastCol ? col + 1 : std::max(col - width, 0);
    const int row1 = std::clamp(row - 1, 0, lastRow - height);
    TxlsAnchor anchor;
    anchor.Col1 = toWord(col1);
    anchor.Col2 = toWord(col1 + width);
    anchor.Row1 = toWord(row1);
    anchor.Row2 = toWord(row1 + height);
    return anchor;
}

void TxlsNote::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "Col", Col);
    ini.WriteInteger(section, "Row", Row);
    Format.SaveToIni(ini, section);
    const std::string linesSection = section + "_LINES";
    for (std::size_t i = 0; i < Lines.size(); ++i)
        ini.WriteString(linesSection, "line" + std::to_string(i), Lines[i]);
}

void TxlsNote::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Col = toWord(ini.ReadInteger(section, "Col", 0));
    Row = toWord(ini.ReadInteger(section, "Row", 0));
    Lines.clear();
    const std::string linesSection = section + "_LINES";
    if (ini.SectionExists(linesSection))
        for (const std::string& line : ini.ReadSectionValues(linesSection)) {
            const auto equals = line.find('=');
            Lines.push_back(equals == std::string::npos ? std::string() : line.substr(equals + 1));
        }
    Format.LoadFromIni(ini, section);
}

// ---- charts

void TxlsDataRange::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "Col1", Col1);
    ini.WriteInteger(section, "Row1", Row1);
    ini.WriteInteger(section, "Col2", Col2);
    ini.WriteInteger(section, "Row2", Row2);
}

void TxlsDataRange::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Col1 = toByte(ini.ReadInteger(section, "Col1", 0));
    Row1 = toWord(ini.ReadInteger(section, "Row1", 0));
    Col2 = toByte(ini.ReadInteger(section, "Col2", 0));
    Row2 = toWord(ini.ReadInteger(section, "Row2", 0));
}

std::string TxlsChartSeries::GetDisplayName() const {
    return Title.empty() ? TxlsSheetObject::GetDisplayName() : Title;
}

void TxlsChartSeries::SetDefault() {
    Color = clrAqua;
    DataColumn.clear();
    DataRange = {};
    DataRangeType = rtColumn;
    Title.clear();
}

void TxlsChartSeries::Assign(const TxlsChartSeries& source) {
    Color = source.Color;
    DataColumn = source.DataColumn;
    DataRange = source.DataRange;
    DataRangeType = source.DataRangeType;
    Title = source.Title;
}

void TxlsChartSeries::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "Color", Color);
    ini.WriteString(section, "Title", Title);
    ini.WriteString(section, "Column", DataColumn);
    ini.WriteInteger(section, "DataRangeType", DataRangeType);
    DataRange.SaveToIni(ini, section);
}

void TxlsChartSeries::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Color = ordinalOr(ini.ReadInteger(section, "Color", clrBlack), clrColor16, clrBlack);
    Title = ini.ReadString(section, "Title", "");
    DataColumn = ini.ReadString(section, "Column", "");
    DataRangeType = ordinalOr(ini.ReadInteger(section, "DataRangeType", rtColumn), rtCustom, rtColumn);
    DataRange.LoadFromIni(ini, section);
}

void TxlsChartAutoPosition::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "ChartPlacement", Placement);
    ini.WriteInteger(section, "ChartHeight", Height);
    ini.WriteInteger(section, "ChartLeft", Left);
    ini.WriteInteger(section, "ChartTop", Top);
    ini.WriteInteger(section, "ChartWidth", Width);
}

void TxlsChartAutoPosition::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Placement = ordinalOr(ini.ReadInteger(section, "ChartPlacement", cpBottom), cpRight, cpBottom);
    Height = ini.ReadInteger(section, "ChartHeight", 10);
    Left = ini.ReadInteger(section, "ChartLeft", 0);
    Top = ini.ReadInteger(section, "ChartTop", 0);
    Width = ini.ReadInteger(section, "ChartWidth", 5);
}

void TxlsChartCustomPosition::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "X1", X1);
    ini.WriteInteger(section, "Y1", Y1);
    ini.WriteInteger(section, "X2", X2);
    ini.WriteInteger(section, "Y2", Y2);
}

void TxlsChartCustomPosition::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    X1 = toByte(ini.ReadInteger(section, "X1", 0));
    Y1 = toWord(ini.ReadInteger(section, "Y1", 0));
    X2 = toByte(ini.ReadInteger(section, "X2", 0));
    Y2 = toWord(ini.ReadInteger(section, "Y2", 0));
}

void TxlsChartPosition::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    AutoPosition.SaveToIni(ini, section);
    CustomPosition.SaveToIni(ini, section);
    ini.WriteInteger(section, "PositionType", PositionType);
}

void TxlsChartPosition::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    AutoPosition.LoadFromIni(ini, section);
    CustomPosition.LoadFromIni(ini, section);
    PositionType = ordinalOr(ini.ReadInteger(section, "PositionType", cptAuto), cptCustom, cptAuto);
}

void TxlsChartSeriesList::Assign(const TxlsChartSeriesList& source) {
    if (&source == this)
        return;
    Clear();
    for (std::size_t i = 0; i < source.Count(); ++i)
        Add().Assign(source.Items(i));
}

std::string TxlsChart::GetDisplayName() const {
    return Title.empty() ? TxlsSheetObject::GetDisplayName() : Title;
}

void TxlsChart::SetDefault() {
    AutoColor = true;
    CategoryLabels = {};
    CategoryLabelsType = rtColumn;
    CategoryLabelsColumn.clear();
    LegendPlacement = clpRight;
    Position = {};
    Series.Clear();
    ShowLegend = true;
    Style = xcsColumn;
    Title.clear();
}

void TxlsChart::Assign(const TxlsChart& source) {
    AutoColor = source.AutoColor;
    CategoryLabels = source.CategoryLabels;
    CategoryLabelsType = source.CategoryLabelsType;
    CategoryLabelsColumn = source.CategoryLabelsColumn;
    LegendPlacement = source.LegendPlacement;
    Position = source.Position;
    Series.Assign(source.Series);
    ShowLegend = source.ShowLegend;
    Style = source.Style;
    Title = source.Title;
}

TxlsSheetLink* TxlsChart::GetSheet() const {
    TxlsObjectOwner* owner = GetObjectOwner();
    return owner ? owner->AsSheet() : nullptr;
}

TxlsAnchor TxlsChart::GetAnchor() const {
    TxlsAnchor anchor;
    TxlsSheetLink* sheet = GetSheet();
    if (!sheet)
        return anchor;
    if (Position.PositionType == cptCustom) {
        const TxlsChartCustomPosition& p = Position.CustomPosition;
        anchor.Col1 = toWord(p.X1 - 1);
        anchor.Row1 = toWord(p.Y1 - 1);
        anchor.Col2 = toWord(p.X2 - 1);
        anchor.Row2 = toWord(p.Y2 - 1);
        return anchor;
    }
    TxlsExporterLink* exporter = sheet->GetExporter();
    TxlsDataExtent extent;
    if (!exporter || !exporter->FindDataExtent(sheet->GetSheetIndex(), extent))
        return anchor;
    const TxlsChartAutoPosition& p = Position.AutoPosition;
    const auto max0 = [](int x) { return std::max(x, 0); };
    int firstRow = 0, firstCol = 0;
    if (p.Placement == cpBottom) {
        firstRow = max0(extent.LastRow + p.Top) + 1;
        firstCol = max0(extent.FirstCol + p.Left);
    } else {
        firstRow = max0(p.Top);
        firstCol = max0(extent.LastCol + p.Left) + 1;
    }
    // Below (or right of) a sheet filled to its last row (or column) there is no room: the chart
    // keeps its size and moves back until it ends at the sheet's edge, over the last cells.
    const auto fit = [](int first, int size, int last) {
        size = std::clamp(size, 0, last);
        return std::pair{std::min(first, last - size), std::min(first, last - size) + size};
    };
    const auto [row1, row2] = fit(firstRow, p.Height, 65535);
    const auto [col1, col2] = fit(firstCol, p.Width, 255);
    anchor.Row1 = toWord(row1);
    anchor.Col1 = toWord(col1);
    anchor.Row2 = toWord(row2);
    anchor.Col2 = toWord(col2);
    return anchor;
}

void TxlsChart::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteBool(section, "AutoColor", AutoColor);
    ini.WriteInteger(section, "LegendPlacement", LegendPlacement);
    ini.WriteBool(section, "ShowLegend", ShowLegend);
    ini.WriteInteger(section, "Style", Style);
    ini.WriteString(section, "Title", Title);
    ini.WriteInteger(section, "CategoryLabelsType", CategoryLabelsType);
    ini.WriteString(section, "CategoryLabelsColumn", CategoryLabelsColumn);
    CategoryLabels.SaveToIni(ini, section);
    Position.SaveToIni(ini, section);
    for (std::size_t i = 0; i < Series.Count(); ++i)
        Series.Items(i).SaveToIni(ini, section + "_SERIES_" + std::to_string(i));
}

void TxlsChart::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Series.Clear();
    AutoColor = ini.ReadBool(section, "AutoColor", true);
    LegendPlacement = ordinalOr(ini.ReadInteger(section, "LegendPlacement", clpRight), clpLeft, clpRight);
    ShowLegend = ini.ReadBool(section, "ShowLegend", true);
    Style = ordinalOr(ini.ReadInteger(section, "Style", xcsColumn), xcsRadarArea, xcsColumn);
    Title = ini.ReadString(section, "Title", "");
    CategoryLabelsType =
        ordinalOr(ini.ReadInteger(section, "CategoryLabelsType", rtColumn), rtCustom, rtColumn);
    CategoryLabelsColumn = ini.ReadString(section, "CategoryLabelsColumn", "");
    const std::string prefix = section + "_SERIES_";
    for (const std::string& name : ini.ReadSections())
        if (name.size() >= prefix.size() && rtl::SameText(name.substr(0, prefix.size()), prefix))
            Series.Add().LoadFromIni(ini, name);
    CategoryLabels.LoadFromIni(ini, section);
    Position.LoadFromIni(ini, section);
}

// ---- pictures

TxlsGraphicKind GraphicKindFromFileName(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\");
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return gkOther;
    std::string extension = rtl::UpperCase(rtl::Trim(fileName.substr(dot + 1)));
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    if (extension == "WMF")
        return gkWMF;
    if (extension == "EMF")
        return gkEMF;
    if (extension == "JPG" || extension == "JPEG")
        return gkJPEG;
    if (extension == "PNG")
        return gkPNG;
    if (extension == "GIF")
        return gkGIF;
    if (extension == "BMP" || extension == "QBMP")
        return gkBMP;
    if (extension == "ICO")
        return gkICO;
    return gkOther;
}

bool ReadImageSize(const std::vector<std::uint8_t>& b, int& width, int& height) {
    width = height = 0;
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 24 && std::equal(png, png + 8, b.begin())) {
        width = static_cast<int>(bigEndian32(b, 16));
        height = static_cast<int>(bigEndian32(b, 20));
        return true;
    }
    if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        width = littleEndian16(b, 6);
        height = littleEndian16(b, 8);
        return true;
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (littleEndian32(b, 14) == 12) { // core header
            width = littleEndian16(b, 18);
            height = littleEndian16(b, 20);
        } else {
            width = std::abs(littleEndian32(b, 18));
            height = std::abs(littleEndian32(b, 22));
        }
        return true;
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        if (readJpegSize(b, width, height))
            return true;
        width = height = 0;
    }
    return false;
}

void TxlsGraphic::SetDefault() {
    fileName_.clear();
    kind_ = gkOther;
    data_.clear();
    height_ = width_ = 0;
}

void TxlsGraphic::Assign(const TxlsGraphic& source) {
    fileName_ = source.fileName_;
    kind_ = source.kind_;
    data_ = source.data_;
    height_ = source.height_;
    width_ = source.width_;
}

void TxlsGraphic::SetFileName(const std::string& fileName) {
    if (fileName == fileName_)
        return;
    fileName_ = fileName;
    kind_ = GraphicKindFromFileName(fileName);
}

void TxlsGraphic::SetData(const std::vector<std::uint8_t>& bytes) {
    data_ = bytes;
    if (!ReadImageSize(data_, width_, height_))
        width_ = height_ = 0;
}

void TxlsGraphic::GetPictureSize(int& height, int& width) const {
    height = width = 0;
    if (!data_.empty()) {
        height = height_;
        width = width_;
        return;
    }
    if (fileName_.empty() || !fileExists(fileName_))
        return;
    const std::vector<std::uint8_t> bytes = readFileBytes(fileName_);
    if (GraphicKindFromFileName(fileName_) == gkGIF) {
        if (bytes.size() >= 10) {
            width = littleEndian16(bytes, 6);
            height = littleEndian16(bytes, 8);
        }
        return;
    }
    if (ReadImageSize(bytes, width, height))
        return;
    // Other kinds (icons, metafiles Qt reads, ...) through the image plug-ins.
    const QSize size = QImageReader(QString::fromStdString(fileName_)).size();
    if (size.isValid()) {
        width = size.width();
        height = size.height();
    }
}

std::string TxlsPicture::GetDisplayName() const {
    return name_.empty() ? TxlsGraphic::GetDisplayName() : name_;
}

void TxlsPicture::SetDefault() {
    TxlsGraphic::SetDefault();
}

TxlsPictures* TxlsPicture::Pictures() const {
    return dynamic_cast<TxlsPictures*>(Collection());
}

void TxlsPicture::AddedToCollection() {
    const TxlsPictures* pictures = Pictures();
    for (int n = 0;; ++n) {
        const std::string name = "Picture_" + std::to_string(n);
        int index = -1;
        if (!pictures || !pictures->FindByName(name, index)) {
            name_ = name;
            return;
        }
    }
}

void TxlsPicture::Assign(const TxlsPicture& source) {
    TxlsGraphic::Assign(source);
    int index = -1;
    const TxlsPictures* pictures = Pictures();
    if (!source.name_.empty() && (!pictures || !pictures->FindByName(source.name_, index) ||
                                  &pictures->Items(static_cast<std::size_t>(index)) == this))
        name_ = source.name_;
}

void TxlsPicture::SetName(const std::string& name) {
    if (name == name_)
        return;
    if (name.empty())
        throw std::invalid_argument("A picture name cannot be empty");
    int index = -1;
    const TxlsPictures* pictures = Pictures();
    if (pictures && pictures->FindByName(name, index) &&
        &pictures->Items(static_cast<std::size_t>(index)) != this)
        throw std::invalid_argument("A picture " + name + " already exists");
    name_ = name;
}

int TxlsPicture::GetUsageCount() const {
    const TxlsPictures* pictures = Pictures();
    TxlsExporterLink* exporter =
        pictures && pictures->GetOwner() ? pictures->GetOwner()->AsExporter() : nullptr;
    if (!exporter)
        return 0;
    int count = 0;
    for (const TxlsImages* images : exporter->GetAllImages())
        for (std::size_t i = 0; images && i < images->Count(); ++i)
            if (rtl::AnsiCompareText(images->Items(i).PictureName, name_) == 0)
                ++count;
    return count;
}

bool TxlsPictures::FindByName(const std::string& name, int& index) const {
    for (std::size_t i = 0; i < Count(); ++i)
        if (rtl::AnsiCompareText(Items(i).Name(), name) == 0) {
            index = static_cast<int>(i);
            return true;
        }
    index = -1;
    return false;
}

// ---- images

std::string TxlsImage::GetDisplayName() const {
    return Title.empty() ? TxlsSheetObject::GetDisplayName() : Title;
}

void TxlsImage::SetDefault() {
    Col = Row = 0;
    PictureName.clear();
    Title.clear();
    Zoom = 100;
}

TxlsImages* TxlsImage::Images() const {
    return dynamic_cast<TxlsImages*>(Collection());
}

void TxlsImage::AddedToCollection() {
    const TxlsImages* images = Images();
    for (int n = 0;; ++n) {
        const std::string title = "Image_" + std::to_string(n);
        int index = -1;
        if (!images || !images->FindByTitle(title, index)) {
            Title = title;
            return;
        }
    }
}

void TxlsImage::Assign(const TxlsImage& source) {
    Col = source.Col;
    Row = source.Row;
    PictureName = source.PictureName;
    Title = source.Title;
    Zoom = source.Zoom;
}

TxlsExporterLink* TxlsImage::GetExporter() const {
    TxlsObjectOwner* owner = GetObjectOwner();
    if (!owner)
        return nullptr;
    if (TxlsSheetLink* sheet = owner->AsSheet())
        return sheet->GetExporter();
    return owner->AsExporter();
}

TxlsSheetLink* TxlsImage::GetSheet() const {
    TxlsObjectOwner* owner = GetObjectOwner();
    return owner ? owner->AsSheet() : nullptr;
}

int TxlsImage::GetPictureIndex() const {
    TxlsExporterLink* exporter = GetExporter();
    const TxlsPictures* pictures = exporter ? exporter->GetPictures() : nullptr;
    int index = -1;
    if (!pictures || !pictures->FindByName(PictureName, index))
        return -1;
    return index + 1;
}

void TxlsImage::GetAnchor(TxlsAnchor& anchor) const {
    TxlsExporterLink* exporter = GetExporter();
    TxlsSheetLink* sheet = GetSheet();
    const TxlsPictures* pictures = exporter ? exporter->GetPictures() : nullptr;
    int index = -1;
    if (!sheet || !pictures || !pictures->FindByName(PictureName, index))
        return;
    anchor.Col1Offset = 0;
    anchor.Row1Offset = 0;
    TxlsFont canvasFont = exporter->GetFirstFont();

    int height = 0, width = 0;
    pictures->Items(static_cast<std::size_t>(index)).GetPictureSize(height, width);
    const double zoom = Zoom / 100.0;
    const int scaledWidth = static_cast<int>(std::lround(width * zoom));
    const int scaledHeight = static_cast<int>(std::lround(height * zoom));

    // The picture shows at its own size: the end cell and offset come from the real widths of the
    // columns (exported ones as their COLINFO gives them, the others at the default width with the
    // cell padding) and the real heights of the rows. Col and Row are one-based.
    const std::vector<int> columnWidths = exporter->GetExportedColumnWidths();
    const int firstCol = std::max(Col - 1, 0), firstRow = std::max(Row - 1, 0);
    const double zeroWidth = exporter->ZeroWidth();
    auto columnPixels = [&](int c) {
        const int listIndex = c - sheet->GetStartDataCol();
        if (listIndex >= 0 && listIndex < static_cast<int>(columnWidths.size()))
            return (columnWidths[static_cast<std::size_t>(listIndex)] + 1) * zeroWidth + 1;
        // A column of the default width: readers add a padding of 271/256 characters (for the
        // 10-point default font) to the width the sheet gives.
        return (sheet->GetDefColWidth() + 271.0 / 256) * zeroWidth;
    };
    int c = firstCol;
    double remaining = scaledWidth;
    double w = std::max(columnPixels(c), 1.0);
    while (remaining >= w && c < 255) {
        remaining -= w;
        w = std::max(columnPixels(++c), 1.0);
    }
    anchor.Col2 = toWord(c);
    anchor.Col2Offset = toWord(std::min(static_cast<int>(std::lround(remaining * 1024.0 / w)), 1023));

    auto rowTwips = [&](int r) {
        int twips = 0;
        if (!exporter->FindRowHeight(r, twips))
            twips = static_cast<int>(std::lround(sheet->GetDefRowHeight() * 20));
        return std::max(twips, 1);
    };
    int r = firstRow;
    remaining = scaledHeight * 15;
    double h = rowTwips(r);
    while (remaining >= h && r < 65535) {
        remaining -= h;
        h = rowTwips(++r);
    }
    anchor.Row2 = toWord(r);
    anchor.Row2Offset = toWord(std::min(static_cast<int>(std::lround(remaining * 256.0 / h)), 255));

    anchor.Col1 = toWord(firstCol);
    anchor.Row1 = toWord(firstRow);
}

bool TxlsImages::FindByTitle(const std::string& title, int& index) const {
    for (std::size_t i = 0; i < Count(); ++i)
        if (rtl::AnsiCompareText(Items(i).Title, title) == 0) {
            index = static_cast<int>(i);
            return true;
        }
    index = -1;
    return false;
}

// ---- user cells

TxlsCell::TxlsCell() {
    SetDefault();
}

std::string TxlsCell::GetDisplayName() const {
    return "Col: " + std::to_string(Col) + " Row: " + std::to_string(Row) + " ";
}

void TxlsCell::SetDefault() {
    const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
    CellType = ctString;
    Col = Row = 0;
    DateTimeFormat = facts.ShortDateFormat + " " + facts.LongTimeFormat;
    Format.SetDefault();
    NumericFormat = "###,###,#0.00";
    BooleanValue = false;
    DateTimeValue = rtl::Date();
    NumericValue = 0;
    StringValue.clear();
}

void TxlsCell::Assign(const TxlsCell& source) {
    CellType = source.CellType;
    Col = source.Col;
    Row = source.Row;
    DateTimeFormat = source.DateTimeFormat;
    Format.Assign(source.Format);
    NumericFormat = source.NumericFormat;
    BooleanValue = source.BooleanValue;
    DateTimeValue = source.DateTimeValue;
    NumericValue = source.NumericValue;
    StringValue = source.StringValue;
    SetValue(source.Value());
}

TxlsVariant TxlsCell::Value() const {
    switch (CellType) {
    case ctBoolean:
        return BooleanValue;
    case ctDateTime:
        return TxlsDateTimeValue{DateTimeValue};
    case ctNumeric:
        return NumericValue;
    case ctString:
        break;
    }
    return StringValue;
}

namespace {

// Variant conversions as the run-time library does them: True is -1 as a number.
bool toDouble(const TxlsVariant& v, double& out) {
    if (const bool* b = std::get_if<bool>(&v)) {
        out = *b ? -1 : 0;
        return true;
    }
    if (const double* d = std::get_if<double>(&v)) {
        out = *d;
        return true;
    }
    if (const auto* dt = std::get_if<TxlsDateTimeValue>(&v)) {
        out = dt->Value;
        return true;
    }
    if (const std::string* s = std::get_if<std::string>(&v))
        return rtl::TryStrToFloat(rtl::Trim(*s), out);
    return false;
}

bool toBool(const TxlsVariant& v, bool& out) {
    if (const std::string* s = std::get_if<std::string>(&v)) {
        const std::string t = rtl::Trim(*s);
        if (rtl::SameText(t, "True")) {
            out = true;
            return true;
        }
        if (rtl::SameText(t, "False")) {
            out = false;
            return true;
        }
    }
    double d = 0;
    if (!toDouble(v, d))
        return false;
    out = d != 0;
    return true;
}

bool toDateTime(const TxlsVariant& v, double& out) {
    if (const std::string* s = std::get_if<std::string>(&v))
        return rtl::TryStrToDateTime(rtl::Trim(*s), out);
    if (std::holds_alternative<bool>(v))
        return false;
    return toDouble(v, out);
}

bool toText(const TxlsVariant& v, std::string& out) {
    if (const bool* b = std::get_if<bool>(&v))
        out = *b ? "True" : "False";
    else if (const double* d = std::get_if<double>(&v))
        out = rtl::FloatToStr(*d);
    else if (const auto* dt = std::get_if<TxlsDateTimeValue>(&v))
        out = rtl::DateTimeToStr(dt->Value);
    else if (const std::string* s = std::get_if<std::string>(&v))
        out = *s;
    else
        return false;
    return true;
}

} // namespace

void TxlsCell::SetValue(const TxlsVariant& value) {
    switch (CellType) {
    case ctBoolean:
        if (!toBool(value, BooleanValue))
            BooleanValue = false;
        break;
    case ctDateTime:
        if (!toDateTime(value, DateTimeValue))
            DateTimeValue = rtl::Now();
        break;
    case ctNumeric:
        if (!toDouble(value, NumericValue))
            NumericValue = 0;
        break;
    case ctString:
        if (!toText(value, StringValue))
            StringValue.clear();
        break;
    }
}

void TxlsCell::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    SaveToIni(ini, section, rtl::LocaleFacts::Current());
}

void TxlsCell::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    LoadFromIni(ini, section, rtl::LocaleFacts::Current());
}

namespace {

std::string charToStrEx(char ch) {
    if (static_cast<unsigned char>(ch) < 33)
        return "#" + std::to_string(static_cast<unsigned char>(ch));
    return std::string(1, ch);
}

char strToCharEx(const std::string& text, char def) {
    if (text.size() == 1)
        return text[0];
    int code = 0;
    if (text.size() > 1 && text[0] == '#' && rtl::TryStrToInt(text.substr(1), code) && code >= 0 &&
        code < 256)
        return static_cast<char>(code);
    return def;
}

} // namespace

void TxlsCell::SaveToIni(ini::IniFile& ini, const std::string& section, const rtl::LocaleFacts& facts) const {
    ini.WriteInteger(section, "CellType", CellType);
    ini.WriteInteger(section, "Col", Col);
    ini.WriteInteger(section, "Row", Row);
    ini.WriteString(section, "DateTimeFormat", DateTimeFormat);
    ini.WriteString(section, "NumericFormat", NumericFormat);
    ini.WriteBool(section, "BooleanValue", BooleanValue);
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    rtl::DecodeDate(DateTimeValue, year, month, day);
    rtl::DecodeTime(DateTimeValue, hour, min, sec, msec);
    ini.WriteInteger(section, "Year", year);
    ini.WriteInteger(section, "Month", month);
    ini.WriteInteger(section, "Day", day);
    ini.WriteInteger(section, "Hour", hour);
    ini.WriteInteger(section, "Min", min);
    ini.WriteInteger(section, "Sec", sec);
    ini.WriteInteger(section, "MSec", msec);
    ini.WriteString(section, "Separator", charToStrEx(facts.DecimalSeparator));
    ini.WriteString(section, "NumericValue", rtl::FloatToStr(NumericValue, facts));
    ini.WriteString(section, "StringValue", StringValue);
    Format.SaveToIni(ini, section);
}

void TxlsCell::LoadFromIni(const ini::IniFile& ini, const std::string& section,
                           const rtl::LocaleFacts& facts) {
    CellType = ordinalOr(ini.ReadInteger(section, "CellType", CellType), ctString, CellType);
    Col = toWord(ini.ReadInteger(section, "Col", Col));
    Row = toWord(ini.ReadInteger(section, "Row", Row));
    DateTimeFormat = ini.ReadString(section, "DateTimeFormat", DateTimeFormat);
    NumericFormat = ini.ReadString(section, "NumericFormat", NumericFormat);
    BooleanValue = ini.ReadBool(section, "BooleanValue", BooleanValue);
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    rtl::DecodeDate(DateTimeValue, year, month, day);
    rtl::DecodeTime(DateTimeValue, hour, min, sec, msec);
    year = ini.ReadInteger(section, "Year", year);
    month = ini.ReadInteger(section, "Month", month);
    day = ini.ReadInteger(section, "Day", day);
    hour = ini.ReadInteger(section, "Hour", hour);
    min = ini.ReadInteger(section, "Min", min);
    sec = ini.ReadInteger(section, "Sec", sec);
    msec = ini.ReadInteger(section, "MSec", msec);
    rtl::TDateTime date = 0, time = 0;
    if (rtl::TryEncodeDate(year, month, day, date) && rtl::TryEncodeTime(hour, min, sec, msec, time))
        DateTimeValue = date >= 0 ? date + time : date - time;
    rtl::LocaleFacts saved = facts;
    saved.DecimalSeparator = strToCharEx(
        ini.ReadString(section, "Separator", charToStrEx(facts.DecimalSeparator)), facts.DecimalSeparator);
    double number = 0;
    if (rtl::TryStrToFloat(ini.ReadString(section, "NumericValue", rtl::FloatToStr(NumericValue, saved)),
                           number, saved))
        NumericValue = number;
    StringValue = ini.ReadString(section, "StringValue", StringValue);
    Format.LoadFromIni(ini, section);
}

// ---- merged cells

std::string TxlsMergedCells::GetDisplayName() const {
    return "Merged Cells (" + std::to_string(FirstCol) + ", " + std::to_string(FirstRow) + ", " +
           std::to_string(LastCol) + ", " + std::to_string(LastRow) + ")";
}

void TxlsMergedCells::SetDefault() {
    FirstCol = FirstRow = LastCol = LastRow = 0;
}

void TxlsMergedCells::Assign(const TxlsMergedCells& source) {
    FirstCol = source.FirstCol;
    FirstRow = source.FirstRow;
    LastCol = source.LastCol;
    LastRow = source.LastRow;
}

void TxlsMergedCells::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteInteger(section, "FirstCol", FirstCol);
    ini.WriteInteger(section, "FirstRow", FirstRow);
    ini.WriteInteger(section, "LastCol", LastCol);
    ini.WriteInteger(section, "LastRow", LastRow);
}

void TxlsMergedCells::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    FirstCol = toWord(ini.ReadInteger(section, "FirstCol", FirstCol));
    FirstRow = toWord(ini.ReadInteger(section, "FirstRow", FirstRow));
    LastCol = toWord(ini.ReadInteger(section, "LastCol", LastCol));
    LastRow = toWord(ini.ReadInteger(section, "LastRow", LastRow));
}

} // namespace exporter
