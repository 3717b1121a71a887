// The sheet objects: defaults taken from their owners, validity, anchors, picture names and sizes,
// typed cell values and INI round trips.

#include "export/xls/ExporterXLSSheetObjects.h"
#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace exporter;

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("sheetobj_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An exporter with its own pictures and images, a fixed data extent and measurements.
class FakeExporter : public TxlsObjectOwner, public TxlsExporterLink {
public:
    FakeExporter() : Pictures(this), Images(this) {}
    TXLSOptions Options;
    TxlsPictures Pictures;
    TxlsImages Images;
    std::vector<const TxlsImages*> SheetImages;
    std::map<int, TxlsDataExtent> Extents;
    std::vector<int> ColumnWidths;
    std::map<int, int> RowHeights;
    int ZeroWidth = 7;

    const TXLSOptions* GetOptions() const override { return &Options; }
    TxlsExporterLink* AsExporter() override { return this; }
    const TxlsPictures* GetPictures() const override { return &Pictures; }
    std::vector<const TxlsImages*> GetAllImages() const override {
        std::vector<const TxlsImages*> all{&Images};
        all.insert(all.end(), SheetImages.begin(), SheetImages.end());
        return all;
    }
    bool FindDataExtent(int sheetIndex, TxlsDataExtent& extent) const override {
        const auto it = Extents.find(sheetIndex);
        if (it == Extents.end())
            return false;
        extent = it->second;
        return true;
    }
    std::vector<int> GetExportedColumnWidths() const override { return ColumnWidths; }
    bool FindRowHeight(int row, int& twips) const override {
        const auto it = RowHeights.find(row);
        if (it == RowHeights.end())
            return false;
        twips = it->second;
        return true;
    }
    int TextWidth(const std::string& text, const TxlsFont&) const override {
        return static_cast<int>(text.size()) * ZeroWidth;
    }
};

class FakeSheet : public TxlsObjectOwner, public TxlsSheetLink {
public:
    explicit FakeSheet(FakeExporter* exporter)
        : Hyperlinks(this), Notes(this), Charts(this), Images(this), exporter_(exporter) {}
    TXLSOptions Options;
    TxlsHyperlinks Hyperlinks;
    TxlsNotes Notes;
    TxlsCharts Charts;
    TxlsImages Images;
    int StartDataCol = 0;

    const TXLSOptions* GetOptions() const override { return &Options; }
    TxlsSheetLink* AsSheet() override { return this; }
    TxlsExporterLink* GetExporter() const override { return exporter_; }
    int GetSheetIndex() const override { return 0; }
    int GetStartDataCol() const override { return StartDataCol; }
    int GetDefColWidth() const override { return 8; }
    double GetDefRowHeight() const override { return 12.75; }

private:
    FakeExporter* exporter_;
};

// The dialog's option set: its own hyperlink format, no "Options".
class FakeOptionSet : public TxlsObjectOwner {
public:
    FakeOptionSet() : Hyperlinks(this), Notes(this) { HyperlinkFormat.Font.Color = clrRed; }
    TxlsFormat HyperlinkFormat;
    TxlsHyperlinks Hyperlinks;
    TxlsNotes Notes;
    const TxlsFormat* GetHyperlinkFormat() const override { return &HyperlinkFormat; }
};

TEST(SheetObjects, KindCodes) {
    EXPECT_EQ(TxlsHyperlink().GetItemType(), 3);
    EXPECT_EQ(TxlsNote().GetItemType(), 4);
    EXPECT_EQ(TxlsChart().GetItemType(), 5);
    EXPECT_EQ(TxlsChartSeries().GetItemType(), 6);
    EXPECT_EQ(TxlsPicture().GetItemType(), 7);
    EXPECT_EQ(TxlsImage().GetItemType(), 7);
    EXPECT_EQ(TxlsGraphic().GetItemType(), 9);
    EXPECT_EQ(TxlsCell().GetItemType(), 10);
    EXPECT_EQ(TxlsMergedCells().GetItemType(), 11);
}

TEST(SheetObjects, OptionsDefaultsAndAssign) {
    TXLSOptions options;
    EXPECT_EQ(options.SheetTitle(), "Sheet 1");
    EXPECT_EQ(options.PageFooter, "Page &P of &N");
    EXPECT_TRUE(options.CaptionsFormat.Font.Has(xfsBold));
    EXPECT_EQ(options.HyperlinkFormat.Font.Color, clrBlue);
    EXPECT_EQ(options.HyperlinkFormat.Font.Underline, fulSingle);
    options.SetSheetTitle("");
    EXPECT_EQ(options.SheetTitle(), "Sheet1");

    TXLSOptions source;
    source.SetSheetTitle("Other");
    source.PageHeader = "head";
    source.DataFormat.Font.Size = 20;
    source.NoteFormat.Transparency = 40;
    options.Assign(source);
    EXPECT_EQ(options.DataFormat.Font.Size, 20);
    EXPECT_EQ(options.NoteFormat.Transparency, 40);
    EXPECT_EQ(options.SheetTitle(), "Sheet1");
    EXPECT_EQ(options.PageHeader, "");
}

TEST(SheetObjects, NewObjectsTakeTheOwnersFormats) {
    FakeExporter exporter;
    FakeSheet sheet(&exporter);
    sheet.Options.HyperlinkFormat.Font.Size = 14;
    sheet.Options.NoteFormat.Transparency = 30;
    EXPECT_EQ(sheet.Hyperlinks.Add().Format.Font.Size, 14);
    EXPECT_EQ(sheet.Notes.Add().Format.Transparency, 30);

    FakeOptionSet set;
    EXPECT_EQ(set.Hyperlinks.Add().Format.Font.Color, clrRed);
    // Notes look only for "Options": the option set's notes keep the defaults.
    EXPECT_TRUE(set.Notes.Add().Format.Equals(TxlsNoteFormat()));
}

TEST(SheetObjects, Validity) {
    TxlsHyperlink link;
    link.Row = 1;
    link.Col = 256;
    link.Title = "t";
    link.Target = "http://x";
    EXPECT_TRUE(link.IsValid());
    link.Col = 257;
    EXPECT_FALSE(link.IsValid());
    link.Col = 1;
    link.Target.clear();
    EXPECT_FALSE(link.IsValid());

    TxlsNote note;
    note.Row = 1;
    note.Col = 255;
    note.Lines = {"a"};
    EXPECT_TRUE(note.IsValid());
    note.Col = 256;
    EXPECT_FALSE(note.IsValid());
    note.Col = 1;
    note.Lines = {""};
    EXPECT_FALSE(note.IsValid());

    TxlsMergedCells merged;
    merged.FirstCol = merged.FirstRow = merged.LastCol = 1;
    EXPECT_FALSE(merged.IsValid());
    merged.LastRow = 2;
    EXPECT_TRUE(merged.IsValid());
    EXPECT_EQ(merged.GetDisplayName(), "Merged Cells (1, 1, 1, 2)");

    TxlsCell cell;
    cell.Col = 3;
    EXPECT_FALSE(cell.IsValid());
    cell.Row = 4;
    EXPECT_TRUE(cell.IsValid());
    EXPECT_EQ(cell.GetDisplayName(), "Col: 3 Row: 4 ");
}

TEST(SheetObjects, HyperlinkRecordSizeByStyle) {
    TxlsHyperlink link;
    link.Title = "abc";
    link.Target = "http://a";
    EXPECT_EQ(link.GetRecordSize(), 6u + 16 + 60);
    link.Style = hlsLocalFile;
    link.Target = "/tmp/ä.txt";
    // 10 UTF-16 units, 10 single-byte characters.
    EXPECT_EQ(link.GetRecordSize(), 6u + 95 + 10 + 20);
}

TEST(SheetObjects, NoteAnchorStartsAboveTheCellAndStaysInsideTheSheet) {
    // One-based cell; zero-based box: right of the cell from the row above, else left or higher.
    const struct {
        int row, col, row1, col1;
    } cases[] = {
        {1, 4, 0, 4},         {2, 4, 0, 4},         {3, 4, 1, 4},         {10, 4, 8, 4},
        {65530, 4, 65528, 4}, {65531, 4, 65529, 4}, {65533, 4, 65530, 4}, {65535, 4, 65530, 4},
        {1, 253, 0, 253},     {1, 254, 0, 251},     {1, 255, 0, 252},     {65535, 255, 65530, 252},
    };
    TxlsNote note;
    for (const auto& c : cases) {
        note.Row = static_cast<std::uint16_t>(c.row);
        note.Col = static_cast<std::uint16_t>(c.col);
        const TxlsAnchor a = note.GetAnchor();
        EXPECT_EQ((std::vector<int>{a.Row1, a.Row2, a.Col1, a.Col2}),
                  (std::vector<int>{c.row1, c.row1 + 5, c.col1, c.col1 + 2}))
            << c.row << ", " << c.col;
    }
}

TEST(SheetObjects, ChartAnchor) {
    FakeExporter exporter;
    // On the exporter's own collection there is no sheet: all zero.
    TxlsCharts own(&exporter);
    EXPECT_EQ(own.Add().GetAnchor(), TxlsAnchor{});

    FakeSheet sheet(&exporter);
    TxlsChart& chart = sheet.Charts.Add();
    EXPECT_EQ(chart.GetAnchor(), TxlsAnchor{}); // no data extent recorded
    exporter.Extents[0] = {2, 20, 1, 6};
    TxlsAnchor a = chart.GetAnchor();
    EXPECT_EQ(a.Row1, 21);
    EXPECT_EQ(a.Col1, 1);
    EXPECT_EQ(a.Row2, 31);
    EXPECT_EQ(a.Col2, 6);

    chart.Position.AutoPosition.Placement = cpRight;
    chart.Position.AutoPosition.Top = -3;
    a = chart.GetAnchor();
    EXPECT_EQ(a.Row1, 0);
    EXPECT_EQ(a.Col1, 7);
    EXPECT_EQ(a.Row2, 10);
    EXPECT_EQ(a.Col2, 12);

    // Past a sheet filled to its last row or column the chart keeps its size at the sheet's edge.
    exporter.Extents[0] = {0, 65535, 250, 255};
    a = chart.GetAnchor();
    EXPECT_EQ((std::vector<int>{a.Row1, a.Row2, a.Col1, a.Col2}), (std::vector<int>{0, 10, 250, 255}));
    chart.Position.AutoPosition.Placement = cpBottom;
    chart.Position.AutoPosition.Left = 0;
    a = chart.GetAnchor();
    EXPECT_EQ((std::vector<int>{a.Row1, a.Row2, a.Col1, a.Col2}), (std::vector<int>{65525, 65535, 250, 255}));

    chart.Position.PositionType = cptCustom;
    chart.Position.CustomPosition = {2, 5, 3, 9};
    a = chart.GetAnchor();
    EXPECT_EQ(a.Col1, 1);
    EXPECT_EQ(a.Col2, 4);
    EXPECT_EQ(a.Row1, 2);
    EXPECT_EQ(a.Row2, 8);
}

TEST(SheetObjects, PictureNamesStayUnique) {
    FakeExporter exporter;
    TxlsPicture& first = exporter.Pictures.Add();
    TxlsPicture& second = exporter.Pictures.Add();
    EXPECT_EQ(first.Name(), "Picture_0");
    EXPECT_EQ(second.Name(), "Picture_1");
    first.SetName("Logo");
    EXPECT_EQ(exporter.Pictures.Add().Name(), "Picture_0");
    EXPECT_THROW(second.SetName(""), std::invalid_argument);
    try {
        second.SetName("LOGO");
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "A picture LOGO already exists");
    }
    EXPECT_EQ(second.Name(), "Picture_1");
    second.SetName("Picture_1"); // unchanged
    int index = -1;
    EXPECT_TRUE(exporter.Pictures.FindByName("logo", index));
    EXPECT_EQ(index, 0);
    TxlsPicture free;
    EXPECT_EQ(free.Name(), "");
}

TEST(SheetObjects, ImageTitlesAndPictureIndex) {
    FakeExporter exporter;
    FakeSheet sheet(&exporter);
    exporter.SheetImages = {&sheet.Images};
    exporter.Pictures.Add().SetName("A");
    exporter.Pictures.Add().SetName("B");
    TxlsImage& one = sheet.Images.Add();
    TxlsImage& two = sheet.Images.Add();
    EXPECT_EQ(one.Title, "Image_0");
    EXPECT_EQ(two.Title, "Image_1");
    EXPECT_EQ(one.Zoom, 100);
    one.PictureName = "b";
    two.PictureName = "missing";
    EXPECT_EQ(one.GetPictureIndex(), 2);
    EXPECT_EQ(two.GetPictureIndex(), -1);
    EXPECT_EQ(one.GetExporter(), &exporter);
    EXPECT_EQ(one.GetSheet(), &sheet);
    exporter.Images.Add().PictureName = "B";
    EXPECT_EQ(exporter.Pictures.Items(1).GetUsageCount(), 2);
    EXPECT_EQ(exporter.Pictures.Items(0).GetUsageCount(), 0);
    TxlsImage loose;
    EXPECT_EQ(loose.GetPictureIndex(), -1);
}

TEST(SheetObjects, GraphicKindAndSize) {
    EXPECT_EQ(GraphicKindFromFileName("a.jpeg"), gkJPEG);
    EXPECT_EQ(GraphicKindFromFileName("a.JPG"), gkJPEG);
    EXPECT_EQ(GraphicKindFromFileName("a.qbmp"), gkBMP);
    EXPECT_EQ(GraphicKindFromFileName("a.ico"), gkICO);
    EXPECT_EQ(GraphicKindFromFileName("a.tiff"), gkOther);
    EXPECT_EQ(GraphicKindFromFileName("dir.png/file"), gkOther);

    TempDir dir;
    TxlsGraphic graphic;
    int h = -1, w = -1;
    graphic.SetFileName(dir.File("missing.gif"));
    graphic.GetPictureSize(h, w);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(w, 0);

    // A GIF header only: the size comes from the logical screen, nothing is decoded.
    writeFile(dir.File("p.gif"), {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xC8, 0x00});
    graphic.SetFileName(dir.File("p.gif"));
    EXPECT_EQ(graphic.GraphicKind(), gkGIF);
    graphic.GetPictureSize(h, w);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);

    // A PNG held in memory.
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H',
                                     'D',  'R', 0,   0,   0,    3,    0,    0,    0, 2, 8, 2,  0,   0};
    graphic.SetData(png);
    graphic.GetPictureSize(h, w);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);

    // A JPEG with an APP0 segment before the frame.
    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xC0, 0, 11, 8, 0, 17, 0, 33};
    EXPECT_TRUE(ReadImageSize(jpeg, w, h));
    EXPECT_EQ(w, 33);
    EXPECT_EQ(h, 17);
    jpeg.resize(12);
    EXPECT_FALSE(ReadImageSize(jpeg, w, h));
}

TEST(SheetObjects, ImageAnchorWalksColumnsAndRows) {
    TempDir dir;
    FakeExporter exporter;
    FakeSheet sheet(&exporter);
    TxlsPicture& picture = exporter.Pictures.Add();
    // 150 x 40 pixels.
    writeFile(dir.File("p.gif"), {'G', 'I', 'F', '8', '9', 'a', 150, 0, 40, 0});
    picture.SetFileName(dir.File("p.gif"));
    TxlsImage& image = sheet.Images.Add();
    image.Col = 2;
    image.Row = 3;

    TxlsAnchor anchor;
    anchor.Col1 = 99;
    image.GetAnchor(anchor); // no such picture: unchanged
    EXPECT_EQ(anchor.Col1, 99);

    image.PictureName = picture.Name();
    exporter.RowHeights[3] = 600; // zero-based
    image.GetAnchor(anchor);
    // The one-based Col 2, Row 3 is the cell B3. Columns of (8 + 271 / 256) * 7 = 63.41 pixels:
    // 150 = 63.41 + 63.41 + 23.18.
    EXPECT_EQ(anchor.Col1, 1);
    EXPECT_EQ(anchor.Col1Offset, 0);
    EXPECT_EQ(anchor.Col2, 3);
    EXPECT_EQ(anchor.Col2Offset, 374); // 23.18 * 1024 / 63.41
    // 40 px = 600 twips: row 2 takes 255, and the picture ends 345 twips into row 3 (600).
    EXPECT_EQ(anchor.Row1, 2);
    EXPECT_EQ(anchor.Row2, 3);
    EXPECT_EQ(anchor.Row2Offset, 147); // 345 * 256 / 600

    // Exported column widths take over within the data columns; zoom scales the picture.
    exporter.ColumnWidths = {20, 20, 20};
    image.Zoom = 50;
    image.GetAnchor(anchor);
    EXPECT_EQ(anchor.Col2, 1);
    EXPECT_EQ(anchor.Col2Offset, 519); // 75 of (20 + 1) * 7 + 1 = 148 pixels
    EXPECT_EQ(anchor.Row2, 3);         // 20 px = 300 twips: 45 into row 3
    EXPECT_EQ(anchor.Row2Offset, 19);

    // An image at Col 1, Row 1 starts at the sheet's first cell; a 1 x 1 picture stays in it.
    writeFile(dir.File("p.gif"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    image.Col = 1;
    image.Row = 1;
    image.Zoom = 100;
    image.GetAnchor(anchor);
    EXPECT_EQ(anchor, (TxlsAnchor{0, 0, 0, 0, 0, 7, 0, 15})); // 1 of 148 pixels, 15 of 255 twips
}

TEST(SheetObjects, CellValueConvertsOrResets) {
    TxlsCell cell;
    cell.CellType = ctNumeric;
    cell.SetValue(std::string("2.5"));
    EXPECT_EQ(cell.NumericValue, 2.5);
    cell.SetValue(std::string("abc"));
    EXPECT_EQ(cell.NumericValue, 0);
    cell.SetValue(true);
    EXPECT_EQ(cell.NumericValue, -1);

    cell.CellType = ctBoolean;
    cell.SetValue(std::string("TRUE"));
    EXPECT_TRUE(cell.BooleanValue);
    cell.SetValue(TxlsVariant{});
    EXPECT_FALSE(cell.BooleanValue);

    cell.CellType = ctString;
    cell.SetValue(false);
    EXPECT_EQ(std::get<std::string>(cell.Value()), "False");

    cell.CellType = ctDateTime;
    cell.SetValue(45000.5);
    EXPECT_EQ(std::get<TxlsDateTimeValue>(cell.Value()).Value, 45000.5);
    cell.SetValue(std::string("no date"));
    EXPECT_NE(cell.DateTimeValue, 45000.5);
}

class SheetObjectsIni : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("objects.ini");
};

TEST_F(SheetObjectsIni, HyperlinkAndNoteRoundTrip) {
    TxlsHyperlink link;
    link.Col = 3;
    link.Row = 7;
    link.Style = hlsLocalFile;
    link.Title = "Report";
    link.Target = "/srv/report.xls";
    link.ScreenTip = "open";
    link.Format.Font.Size = 12;
    TxlsNote note;
    note.Col = 2;
    note.Row = 5;
    note.Lines = {"first", "", "third"};
    note.Format.FillType = nftGradient;
    {
        ini::IniFile ini(file);
        link.SaveToIni(ini, "XLS_HYPERLINK_0");
        note.SaveToIni(ini, "XLS_NOTE_0");
    }
    ini::IniFile ini(file);
    EXPECT_EQ(ini.ReadString("XLS_NOTE_0_LINES", "line2", ""), "third");
    TxlsHyperlink link2;
    link2.LoadFromIni(ini, "XLS_HYPERLINK_0");
    EXPECT_EQ(link2.Col, 3);
    EXPECT_EQ(link2.Row, 7);
    EXPECT_EQ(link2.Style, hlsLocalFile);
    EXPECT_EQ(link2.Title, "Report");
    EXPECT_EQ(link2.Target, "/srv/report.xls");
    EXPECT_EQ(link2.ScreenTip, "open");
    EXPECT_EQ(link2.Format.Font.Size, 12);
    TxlsNote note2;
    note2.Lines = {"old"};
    note2.LoadFromIni(ini, "XLS_NOTE_0");
    EXPECT_EQ(note2.Lines, note.Lines);
    EXPECT_EQ(note2.Row, 5);
    EXPECT_TRUE(note2.Format.Equals(note.Format));
    note2.LoadFromIni(ini, "XLS_NOTE_9");
    EXPECT_TRUE(note2.Lines.empty());
}

TEST_F(SheetObjectsIni, NoteLinesComeBackInFileOrder) {
    {
        ini::IniFile ini(file);
        ini.WriteInteger("N", "Col", 1);
        ini.WriteString("N_LINES", "zeta", "one");
        ini.WriteString("N_LINES", "alpha", "two");
    }
    ini::IniFile ini(file);
    TxlsNote note;
    note.LoadFromIni(ini, "N");
    EXPECT_EQ(note.Lines, (std::vector<std::string>{"one", "two"}));
}

TEST_F(SheetObjectsIni, ChartWithSeriesRoundTrip) {
    TxlsChart chart;
    chart.AutoColor = false;
    chart.LegendPlacement = clpTop;
    chart.Style = xcsPie3d;
    chart.Title = "Sales";
    chart.CategoryLabelsType = rtCustom;
    chart.CategoryLabels = {1, 2, 3, 4};
    chart.Position.PositionType = cptCustom;
    chart.Position.AutoPosition.Width = 9;
    chart.Position.CustomPosition = {5, 6, 7, 8};
    for (int i = 0; i < 3; ++i) {
        TxlsChartSeries& s = chart.Series.Add();
        s.Title = "S" + std::to_string(i);
        s.Color = static_cast<TxlsColor>(i + 10);
        s.DataColumn = "F" + std::to_string(i);
    }
    {
        ini::IniFile ini(file);
        chart.SaveToIni(ini, "XLS_CHART_1");
        ini.WriteString("XLS_CHART_10_SERIES_0", "Title", "foreign");
        ini.WriteString("XLS_CHART_1_SERIES_NOCOLOR", "Title", "plain");
    }
    ini::IniFile ini(file);
    TxlsChart loaded;
    loaded.Series.Add();
    loaded.LoadFromIni(ini, "XLS_CHART_1");
    ASSERT_EQ(loaded.Series.Count(), 4u);
    EXPECT_EQ(loaded.Series.Items(2).Title, "S2");
    EXPECT_EQ(loaded.Series.Items(2).Color, 12);
    EXPECT_EQ(loaded.Series.Items(1).DataColumn, "F1");
    EXPECT_EQ(loaded.Series.Items(3).Color, clrBlack); // a missing colour reads as black
    EXPECT_FALSE(loaded.AutoColor);
    EXPECT_EQ(loaded.LegendPlacement, clpTop);
    EXPECT_EQ(loaded.Style, xcsPie3d);
    EXPECT_EQ(loaded.Title, "Sales");
    EXPECT_EQ(loaded.CategoryLabels.Row2, 4);
    EXPECT_EQ(loaded.Position.PositionType, cptCustom);
    EXPECT_EQ(loaded.Position.AutoPosition.Width, 9);
    EXPECT_EQ(loaded.Position.CustomPosition.Y2, 8);

    TxlsChart empty;
    empty.AutoColor = false;
    empty.LoadFromIni(ini, "NO_SUCH_CHART");
    EXPECT_TRUE(empty.AutoColor);
    EXPECT_EQ(empty.LegendPlacement, clpRight);
    EXPECT_EQ(empty.Position.AutoPosition.Height, 10);
    EXPECT_EQ(empty.Series.Count(), 0u);
}

TEST_F(SheetObjectsIni, CellKeepsItsNumberAcrossSeparators) {
    rtl::LocaleFacts comma = rtl::LocaleFacts::Default();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    TxlsCell cell;
    cell.CellType = ctNumeric;
    cell.Col = 2;
    cell.Row = 3;
    cell.NumericValue = 1234.25;
    cell.DateTimeValue = rtl::EncodeDate(2024, 2, 29) + rtl::EncodeTime(13, 14, 15, 160);
    cell.StringValue = "text";
    cell.BooleanValue = true;
    {
        ini::IniFile ini(file);
        cell.SaveToIni(ini, "XLS_CELL_0", comma);
    }
    ini::IniFile ini(file);
    EXPECT_EQ(ini.ReadString("XLS_CELL_0", "NumericValue", ""), "1234,25");
    TxlsCell loaded;
    loaded.LoadFromIni(ini, "XLS_CELL_0", rtl::LocaleFacts::Default());
    EXPECT_EQ(loaded.NumericValue, 1234.25);
    EXPECT_EQ(loaded.CellType, ctNumeric);
    EXPECT_EQ(loaded.Col, 2);
    EXPECT_TRUE(loaded.BooleanValue);
    EXPECT_EQ(loaded.StringValue, "text");
    EXPECT_NEAR(loaded.DateTimeValue, cell.DateTimeValue, 1e-9);

    // Missing keys keep the current values.
    TxlsCell kept;
    kept.NumericValue = 7;
    kept.Col = 9;
    kept.LoadFromIni(ini, "NO_SUCH_CELL", rtl::LocaleFacts::Default());
    EXPECT_EQ(kept.NumericValue, 7);
    EXPECT_EQ(kept.Col, 9);
}

TEST_F(SheetObjectsIni, MergedCellsRoundTrip) {
    TxlsMergedCells merged;
    merged.FirstCol = 1;
    merged.FirstRow = 2;
    merged.LastCol = 3;
    merged.LastRow = 4;
    {
        ini::IniFile ini(file);
        merged.SaveToIni(ini, "XLS_MERGED_CELL_0");
    }
    ini::IniFile ini(file);
    TxlsMergedCells loaded;
    loaded.LoadFromIni(ini, "XLS_MERGED_CELL_0");
    EXPECT_EQ(loaded.GetDisplayName(), merged.GetDisplayName());
}

TEST(SheetObjects, CollectionsCopyItems) {
    FakeExporter exporter;
    FakeSheet sheet(&exporter);
    TxlsHyperlinks links(&exporter);
    links.Add().Title = "x";
    sheet.Hyperlinks.Assign(links);
    ASSERT_EQ(sheet.Hyperlinks.Count(), 1u);
    EXPECT_EQ(sheet.Hyperlinks.Items(0).Title, "x");

    TxlsPictures copy(&exporter);
    exporter.Pictures.Add().SetName("Logo");
    exporter.Pictures.Add();
    copy.Assign(exporter.Pictures);
    EXPECT_EQ(copy.Items(0).Name(), "Logo");
    EXPECT_EQ(copy.Items(1).Name(), "Picture_0");

    TxlsChart chart;
    chart.Series.Add().Title = "a";
    TxlsChart other;
    other.Assign(chart);
    EXPECT_EQ(other.Series.Items(0).Title, "a");
    EXPECT_EQ(other.Series.Chart(), &other);
    // Resetting an item keeps it in its collection.
    other.Series.Items(0).SetDefault();
    EXPECT_EQ(other.Series.Items(0).Index(), 0);
    EXPECT_EQ(other.Series.Items(0).Color, clrAqua);
    EXPECT_EQ(other.Series.Items(0).Title, "");
}

} // namespace
