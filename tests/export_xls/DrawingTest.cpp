// The Office drawing records: exact bytes of the small records, the drawing group with its picture
// store, a sheet's drawing with a note, a picture and a chart, hyperlinks and the background bitmap.

#include "export/xls/ExporterXLSDrawing.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace exporter;
using testutil::bytes;
using testutil::splitRecords;
using testutil::word;

std::uint32_t dword(const std::vector<std::uint8_t>& b, std::size_t at) {
    return word(b, at) | static_cast<std::uint32_t>(word(b, at + 2)) << 16;
}

std::vector<std::uint8_t> saved(const TmsoObject& object) {
    std::vector<std::uint8_t> buffer(object.GetSize());
    std::size_t position = 0;
    object.SaveToBuffer(buffer, position);
    EXPECT_EQ(position, buffer.size());
    return buffer;
}

// An exporter owning pictures, with one sheet owning notes, images and charts.
class Owner : public TxlsObjectOwner, public TxlsExporterLink, public TxlsSheetLink {
public:
    Owner() : Pictures(this), Images(this), Notes(this), Charts(this) {}
    TxlsPictures Pictures;
    TxlsImages Images;
    TxlsNotes Notes;
    TxlsCharts Charts;
    TxlsExporterLink* AsExporter() override { return this; }
    TxlsSheetLink* AsSheet() override { return this; }
    const TxlsPictures* GetPictures() const override { return &Pictures; }
    std::vector<const TxlsImages*> GetAllImages() const override { return {&Images}; }
    bool FindDataExtent(int, TxlsDataExtent& extent) const override {
        extent = {0, 4, 0, 2};
        return true;
    }
    TxlsExporterLink* GetExporter() const override { return const_cast<Owner*>(this); }
    int GetSheetIndex() const override { return 0; }
};

TEST(Drawing, SmallRecords) {
    EXPECT_EQ(saved(*TmsoDg()), bytes({0x10, 0, 0x08, 0xF0, 8, 0, 0, 0, 2, 0, 0, 0, 0x01, 0x04, 0, 0}));
    EXPECT_EQ(saved(*TmsoSp(202, 1025, 0x0A00)),
              bytes({0xA2, 0x0C, 0x0A, 0xF0, 8, 0, 0, 0, 0x01, 0x04, 0, 0, 0x00, 0x0A, 0, 0}));
    EXPECT_EQ(saved(*TmsoDgg(1)), bytes({0, 0, 0x06, 0xF0, 24, 0, 0, 0, 0x02, 0x04, 0, 0, 2, 0, 0, 0,
                                         2, 0, 0,    0,    1,  0, 0, 0, 1,    0,    0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(saved(*TmsoSplitMenuColors()),
              bytes({0x40, 0, 0x1E, 0xF1, 16,   0, 0, 0,    0x0D, 0, 0, 0x08,
                     0x0C, 0, 0,    0x08, 0x17, 0, 0, 0x08, 0xF7, 0, 0, 0x10}));
    TxlsAnchor anchor{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(saved(*TmsoClientAnchor(3, anchor)),
              bytes({0, 0, 0x10, 0xF0, 18, 0, 0, 0, 3, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}));

    TmsoOPT opt;
    opt.Add(0x0080, 1);
    opt.AddComplex(0xC105, "ab");
    EXPECT_EQ(saved(opt), bytes({0x23, 0,    0x0B, 0xF0, 18, 0, 0, 0,   0x80, 0,   1, 0, 0,
                                 0,    0x05, 0xC1, 6,    0,  0, 0, 'a', 0,    'b', 0, 0, 0}));

    TmsoContainer container(mso::SpContainer);
    container.ExtraLength = 100;
    container.Add(TmsoClientData());
    EXPECT_EQ(container.GetSize(), 16u);
    EXPECT_EQ(saved(container), bytes({0x0F, 0, 0x04, 0xF0, 108, 0, 0, 0, 0, 0, 0x11, 0xF0, 0, 0, 0, 0}));
}

TEST(Drawing, PictureKindsAndBlips) {
    EXPECT_EQ(PictureKindFromFileName("a.JPEG"), 5);
    EXPECT_EQ(PictureKindFromFileName("a.jpg"), 5);
    EXPECT_EQ(PictureKindFromFileName("a.gif"), 6);
    EXPECT_EQ(PictureKindFromFileName("a.bmp"), 7);
    EXPECT_EQ(PictureKindFromFileName("a.ico"), 6); // converted to PNG
    EXPECT_EQ(PictureKindFromFileName("a.txt"), 0);

    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
    const auto blip = saved(*TmsoBLIPData(5, jpeg));
    EXPECT_EQ(word(blip, 0), 0x46A0); // version 0, instance 0x046A
    EXPECT_EQ(word(blip, 2), 0xF01D);
    EXPECT_EQ(dword(blip, 4), 21u);
    EXPECT_EQ(blip[24], 0xFF);
    EXPECT_EQ(std::vector<std::uint8_t>(blip.begin() + 25, blip.end()), jpeg);

    std::vector<std::uint8_t> bmp(20, 0xAA);
    bmp[0] = 'B';
    bmp[1] = 'M';
    const auto bitmap = saved(*TmsoBLIPData(7, bmp));
    EXPECT_EQ(bitmap.size(), 25u + 6); // the 14-byte file header is dropped
    EXPECT_EQ(word(bitmap, 0), 0x7A80);

    // Metafiles carry the metafile header: sizes, bounds and no compression.
    EXPECT_EQ(PictureKindFromFileName("a.emf"), 2);
    EXPECT_EQ(PictureKindFromFileName("a.wmf"), 3);
    const auto emf = saved(*TmsoBLIPData(2, {1, 2, 3, 4, 5}));
    EXPECT_EQ(word(emf, 0), 0x3D40);
    EXPECT_EQ(word(emf, 2), 0xF01A);
    EXPECT_EQ(emf.size(), 8u + 16 + 34 + 5);
    EXPECT_EQ(dword(emf, 24), 5u);
    EXPECT_EQ(dword(emf, 52), 5u);
    EXPECT_EQ(emf[56], 0xFE);
    std::vector<std::uint8_t> placeable(22, 0);
    placeable[0] = 0xD7;
    placeable[1] = 0xCD;
    placeable[2] = 0xC6;
    placeable[3] = 0x9A;
    placeable.push_back(9);
    const auto wmf = saved(*TmsoBLIPData(3, placeable));
    EXPECT_EQ(word(wmf, 0), 0x2160);
    EXPECT_EQ(word(wmf, 2), 0xF01B);
    EXPECT_EQ(wmf.back(), 9);
    EXPECT_EQ(wmf.size(), 8u + 16 + 34 + 1); // the placeable header is dropped

    // The store entry holds its BLIP, and its length covers it.
    const auto pngBlip = TmsoBLIPData(6, {7, 8, 9});
    const auto bse = saved(*TmsoBSEData(6, *pngBlip, 2));
    ASSERT_EQ(bse.size(), 44u + 8 + 17 + 3);
    EXPECT_EQ(word(bse, 0), 0x0062);
    EXPECT_EQ(word(bse, 2), 0xF007);
    EXPECT_EQ(dword(bse, 4), 36u + 28);
    EXPECT_EQ(bse[8], 6);
    EXPECT_EQ(bse[9], 6);
    EXPECT_EQ(word(bse, 26), 0x00FF);
    EXPECT_EQ(dword(bse, 28), 28u);
    EXPECT_EQ(dword(bse, 32), 2u);
    EXPECT_EQ(bse[42], 0x3E);
    EXPECT_EQ(bse[43], 0x02);
    EXPECT_EQ(std::vector<std::uint8_t>(bse.begin() + 44, bse.end()), saved(*pngBlip));
}

TEST(Drawing, NoteOpacity) {
    EXPECT_EQ(NoteOpacity(1), 64881u);
    EXPECT_EQ(NoteOpacity(99), 593u);
    EXPECT_EQ(NoteOpacity(100), 0u);
}

class DrawingFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("drawing_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& data) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(DrawingFiles, DrawingGroupHoldsTheStoredPictures) {
    Owner owner;
    owner.Pictures.Add().SetFileName(write("a.jpeg", {0xFF, 0xD8, 0xFF, 0xD9}));
    owner.Pictures.Add().SetFileName((dir_ / "missing.png").string());
    owner.Pictures.Add().SetFileName(write("c.txt", {1, 2, 3}));
    TxlsPicture& held = owner.Pictures.Add();
    held.SetData({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H',
                  'D',  'R', 0,   0,   0,    1,    0,    0,    0, 1, 8, 2,  0,   0});
    owner.Images.Add().PictureName = owner.Pictures.Items(3).Name();
    owner.Images.Add().PictureName = owner.Pictures.Items(1).Name(); // not stored: no shape

    TxlsPictureStore store(&owner.Pictures);
    ASSERT_EQ(store.Entries().size(), 2u);
    EXPECT_EQ(store.BlipIndex(1), 1u);
    EXPECT_EQ(store.BlipIndex(2), 0u);
    EXPECT_EQ(store.BlipIndex(4), 2u);
    EXPECT_EQ(store.Entries()[1].ReferenceCount, 1u);

    const std::vector<std::uint8_t> group = BuildDrawingGroup(3, &store);
    EXPECT_EQ(word(group, 2), 0xF000);
    EXPECT_EQ(dword(group, 4), group.size() - 8);
    std::size_t at = 8;
    EXPECT_EQ(word(group, at + 2), 0xF006);
    EXPECT_EQ(dword(group, at + 8), 1028u);
    at += 32;
    EXPECT_EQ(word(group, at + 2), 0xF001);
    const std::size_t storeEnd = at + 8 + dword(group, at + 4);
    at += 8;
    EXPECT_EQ(word(group, at + 2), 0xF007);
    EXPECT_EQ(dword(group, at + 28), 8u + 16 + 1 + 4); // the JPEG's BLIP
    at += 44;
    EXPECT_EQ(word(group, at + 2), 0xF01D);
    at += 8 + dword(group, at + 4);
    EXPECT_EQ(word(group, at + 2), 0xF007);
    at += 44;
    EXPECT_EQ(word(group, at + 2), 0xF01E);
    at += 8 + dword(group, at + 4);
    EXPECT_EQ(at, storeEnd);
    EXPECT_EQ(word(group, at + 2), 0xF00B);
    EXPECT_EQ(word(group, at) >> 4, 3);
    at += 8 + 18;
    EXPECT_EQ(word(group, at + 2), 0xF11E);
    EXPECT_EQ(at + 24, group.size());

    // Without pictures there is no store.
    const std::vector<std::uint8_t> plain = BuildDrawingGroup(1, nullptr);
    EXPECT_EQ(plain.size(), 8u + 32 + 26 + 24);
}

TEST(Drawing, SheetWithOneNote) {
    Owner owner;
    TxlsNote& note = owner.Notes.Add();
    note.Row = 3;
    note.Col = 2;
    note.Lines = {"0123456789"};
    owner.Notes.Add(); // not valid: left out

    TxlsMemoryStream stream;
    TxlsSheetDrawingInput input;
    input.Notes = &owner.Notes;
    input.NoteFontIndex = [](const TxlsFont&) -> std::uint16_t { return 5; };
    WriteSheetDrawing(stream, input);
    const auto records = splitRecords(stream.Bytes());
    ASSERT_EQ(records.size(), 7u);
    const std::uint16_t ids[] = {0x00EC, 0x005D, 0x00EC, 0x01B6, 0x003C, 0x003C, 0x001C};
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].id, ids[i]) << i;

    // The drawing container counts the shape that follows it, and the shape the client text box
    // written after the OBJ, in their lengths.
    const auto& drawing = records[0].data;
    EXPECT_EQ(word(drawing, 2), 0xF002);
    EXPECT_EQ(dword(drawing, 4), drawing.size() - 8 + 8);
    EXPECT_EQ(word(drawing, 8 + 16 + 2), 0xF003);
    // The note shape: text box, id 1025, hidden until pointed at, anchored one row above.
    const std::size_t shape = 8 + 16 + 8 + 8 + 24 + 16;
    EXPECT_EQ(word(drawing, shape + 2), 0xF004);
    EXPECT_EQ(dword(drawing, shape + 4), drawing.size() - shape - 8 + 8);
    EXPECT_EQ(word(drawing, shape + 8), 0x0CA2);
    EXPECT_EQ(dword(drawing, shape + 16), 1025u);
    const std::size_t opt = shape + 8 + 16;
    EXPECT_EQ(word(drawing, opt) >> 4, 9); // properties
    EXPECT_EQ(word(drawing, opt + 8), 0x0080);
    EXPECT_EQ(dword(drawing, opt + 10), 1u);
    const std::size_t anchor = opt + 8 + 9 * 6;
    EXPECT_EQ(word(drawing, anchor + 2), 0xF010);
    EXPECT_EQ(word(drawing, anchor + 8), 3);
    EXPECT_EQ(word(drawing, anchor + 10), 2); // first column
    EXPECT_EQ(word(drawing, anchor + 14), 1); // first row
    EXPECT_EQ(word(drawing, anchor + 22), 6); // last row
    EXPECT_EQ(drawing.size(), anchor + 26 + 8);

    std::vector<std::uint8_t> obj = bytes({0x15, 0, 18, 0, 0x19, 0, 1, 0, 0x11, 0});
    obj.resize(obj.size() + 12);
    // The note structure sub-record is 22 bytes: identifier, not shared, reserved.
    for (int b : {0x0D, 0, 22, 0})
        obj.push_back(static_cast<std::uint8_t>(b));
    for (int i = 0; i < 16; ++i)
        obj.push_back(static_cast<std::uint8_t>(0x11 * (1 + i)));
    obj.resize(obj.size() + 6 + 4);
    EXPECT_EQ(records[1].data, obj);
    EXPECT_EQ(records[2].data, bytes({0, 0, 0x0D, 0xF0, 0, 0, 0, 0}));
    EXPECT_EQ(records[3].data, bytes({0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 16, 0, 0, 0, 0, 0}));
    EXPECT_EQ(records[4].data.size(), 21u);
    EXPECT_EQ(records[4].data[0], 1);
    EXPECT_EQ(records[5].data, bytes({0, 0, 5, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(records[6].data, bytes({2, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(CountDrawingObjects(&owner.Notes, nullptr, nullptr, nullptr), 1);
}

TEST(Drawing, NoteTextRecordsStayWithinTheLimitAndHoldWholeCharacters) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // U+1F600: two UTF-16 units
    const struct {
        std::string text;
        std::vector<std::size_t> units; // per text CONTINUE record
    } cases[] = {
        {std::string(5000, 'n'), {4111, 889}},
        // A pair over the 4,111-unit boundary goes whole into the next record.
        {std::string(4110, 'n') + emoji + "n", {4110, 3}},
        {std::string(4109, 'n') + emoji + "n", {4111, 1}},
        // At the 32,767-unit limit the pair that would be cut in half is left out.
        {std::string(32766, 'n') + emoji, {4111, 4111, 4111, 4111, 4111, 4111, 4111, 3989}},
    };
    for (const auto& c : cases) {
        TxlsNote note;
        note.Lines = {c.text};
        TxlsMemoryStream stream;
        WriteTxoRecords(stream, note, 0);
        const auto records = splitRecords(stream.Bytes());
        ASSERT_EQ(records.size(), c.units.size() + 2) << c.text.size();
        std::size_t total = 0;
        for (std::size_t i = 0; i < c.units.size(); ++i) {
            const auto& data = records[i + 1].data;
            EXPECT_LE(data.size(), 8224u);
            EXPECT_EQ(data.size(), 1 + 2 * c.units[i]) << c.text.size() << " record " << i;
            const std::uint16_t last = word(data, data.size() - 2);
            EXPECT_FALSE(last >= 0xD800 && last <= 0xDBFF) << "record " << i << " ends inside a pair";
            total += c.units[i];
        }
        EXPECT_EQ(word(records[0].data, 10), total);    // the text length in the TXO record
        EXPECT_EQ(word(records.back().data, 8), total); // the end of the formatting runs
    }
}

TEST(Drawing, NoteGradientAndTransparencyProperties) {
    TxlsNote note;
    note.Row = note.Col = 1;
    note.Lines = {"x"};
    note.Format.FillType = nftGradient;
    note.Format.Gradient = ngrFromCenter;
    note.Format.Transparency = 1;
    const auto shape = saved(*BuildNoteShape(note, 1025, 1));
    const std::size_t opt = 8 + 16;
    // 4 fixed, fill type, colours, angle, 0x018C, four focus values, 0x0196, opacity, 4 closing.
    ASSERT_EQ(word(shape, opt) >> 4, 4 + 3 + 1 + 1 + 4 + 1 + 1 + 4);
    auto property = [&](std::uint16_t id) {
        for (std::size_t at = opt + 8; at < opt + 8 + 19 * 6; at += 6)
            if (word(shape, at) == id)
                return static_cast<std::int64_t>(dword(shape, at + 2));
        return std::int64_t{-1};
    };
    EXPECT_EQ(property(0x0180), 6);
    EXPECT_EQ(property(0x018B), 0xFFD30000); // -45 degrees
    EXPECT_EQ(property(0x018F), 32768);
    EXPECT_EQ(property(0x0182), 64881);
}

TEST_F(DrawingFiles, SheetWithPictureAndChart) {
    Owner owner;
    owner.Pictures.Add().SetFileName(
        write("p.png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13,
                        'I',  'H', 'D', 'R', 0,    0,    0,    10,   0, 0, 0, 10}));
    TxlsImage& image = owner.Images.Add();
    image.PictureName = "Picture_0";
    image.Col = 1;
    image.Row = 1;
    owner.Charts.Add();
    TxlsPictureStore store(&owner.Pictures);
    TxlsMemoryStream stream;
    int charts = 0;
    TxlsSheetDrawingInput input;
    input.Images = &owner.Images;
    input.Charts = &owner.Charts;
    input.Store = &store;
    input.WriteChart = [&](TxlsStream&, const TxlsChart&) { ++charts; };
    WriteSheetDrawing(stream, input);
    EXPECT_EQ(charts, 1);
    const auto records = splitRecords(stream.Bytes());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].data.size(), 38u);
    EXPECT_EQ(word(records[1].data, 4), 8);
    EXPECT_EQ(word(records[1].data, 6), 1);
    // Clipboard format and picture options, two bytes each, then the end.
    EXPECT_EQ(std::vector<std::uint8_t>(records[1].data.begin() + 22, records[1].data.end()),
              bytes({7, 0, 2, 0, 0xFF, 0xFF, 8, 0, 2, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(records[3].data.size(), 26u);
    EXPECT_EQ(word(records[3].data, 4), 5);
    EXPECT_EQ(word(records[3].data, 6), 2);
    // The chart shape is id 1026, a host control anchored below the data.
    const auto& chart = records[2].data;
    EXPECT_EQ(word(chart, 8), 0x0C92);
    EXPECT_EQ(dword(chart, 16), 1026u);
    const std::size_t anchor = chart.size() - 8 - 26;
    EXPECT_EQ(word(chart, anchor + 8), 0);
    EXPECT_EQ(word(chart, anchor + 14), 5);
    // The picture's properties name its store entry and file.
    const auto& picture = records[0].data;
    const std::u16string name = Utf8ToWide(store.Entries()[0].FileName);
    EXPECT_EQ(CountDrawingObjects(nullptr, &owner.Images, &owner.Charts, &store), 2);
    EXPECT_GT(picture.size(), 4 * name.size());

    // Nothing at all for a sheet without objects.
    TxlsMemoryStream empty;
    WriteSheetDrawing(empty, TxlsSheetDrawingInput{});
    EXPECT_EQ(empty.Size(), 0u);
}

TEST(Drawing, MSODrawingSplitsShapes) {
    TxlsMSODrawing drawing;
    TxlsNote note;
    note.Row = note.Col = 1;
    note.Lines = {"x"};
    drawing.AddShape(BuildNoteShape(note, 1025, 1));
    drawing.AddShape(BuildChartShape(TxlsAnchor{}, 1026));
    const std::size_t head = 8 + 16 + 8 + 8 + 24 + 16;
    EXPECT_EQ(drawing.GetShapeSize(0), head + saved(*BuildNoteShape(note, 1025, 1)).size());
    TxlsMemoryStream stream;
    drawing.SaveShape(stream, 0);
    drawing.SaveShape(stream, 1);
    const auto records = splitRecords(stream.Bytes());
    ASSERT_EQ(records.size(), 2u);
    const std::size_t textBox = 8;
    const std::size_t shapes = drawing.GetShapeSize(0) - head + drawing.GetShapeSize(1) + textBox;
    EXPECT_EQ(dword(records[0].data, 4), 16 + 8 + 8 + 24 + 16 + shapes);
    EXPECT_EQ(dword(records[0].data, 24 + 4), 8 + 24 + 16 + shapes);
}

TEST(Drawing, Hyperlinks) {
    TxlsHyperlink link;
    link.Row = 2;
    link.Col = 3;
    link.Title = "ab";
    link.Target = "http://x";
    link.ScreenTip = "t";
    TxlsMemoryStream stream;
    WriteHyperlink(stream, link);
    const auto records = splitRecords(stream.Bytes());
    ASSERT_EQ(records.size(), 2u);
    const auto& data = records[0].data;
    EXPECT_EQ(records[0].id, 0x01B8);
    EXPECT_EQ(data.size(), link.GetRecordSize());
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 8), bytes({1, 0, 1, 0, 2, 0, 2, 0}));
    EXPECT_EQ(data[8], 0xD0);
    EXPECT_EQ(dword(data, 24), 2u);
    EXPECT_EQ(dword(data, 28), 0x17u);
    EXPECT_EQ(dword(data, 32), 3u);
    EXPECT_EQ(data[42], 0xE0);
    EXPECT_EQ(dword(data, 58), 18u);
    EXPECT_EQ(records[1].id, 0x0800);
    EXPECT_EQ(records[1].data, bytes({0x00, 0x08, 1, 0, 1, 0, 2, 0, 2, 0, 't', 0, 0, 0}));

    link.Style = hlsLocalFile;
    link.Target = "/a/b.xls";
    link.ScreenTip.clear();
    TxlsMemoryStream file;
    WriteHyperlink(file, link);
    const auto fileRecords = splitRecords(file.Bytes());
    ASSERT_EQ(fileRecords.size(), 1u);
    const auto& f = fileRecords[0].data;
    EXPECT_EQ(f.size(), link.GetRecordSize());
    EXPECT_EQ(f[42], 0x03);
    EXPECT_EQ(dword(f, 60), 9u);
    EXPECT_EQ(std::string(f.begin() + 64, f.begin() + 72), "/a/b.xls");
    EXPECT_EQ(dword(f, 73), 0xDEADFFFFu);
    EXPECT_EQ(dword(f, 97), 22u);
    EXPECT_EQ(dword(f, 101), 16u);
    EXPECT_EQ(word(f, 105), 3);
    EXPECT_EQ(f.size(), 107u + 16);

    // A link too long for one record is left out rather than written broken.
    link.Title = std::string(5000, 'x');
    TxlsMemoryStream tooLong;
    WriteHyperlink(tooLong, link);
    EXPECT_EQ(tooLong.Size(), 0u);
}

TEST(Drawing, BackgroundBitmapSplitsIntoContinues) {
    TxlsMemoryStream small;
    WriteBackgroundBitmap(small, 1, 1, {1, 2, 3, 0});
    auto records = splitRecords(small.Bytes());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].data,
              bytes({9, 0, 1, 0, 16, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3, 0}));

    TxlsMemoryStream large;
    WriteBackgroundBitmap(large, 100, 100, std::vector<std::uint8_t>(30000, 7));
    records = splitRecords(large.Bytes());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].id, 0x00E9);
    EXPECT_EQ(records[0].data.size(), 8220u);
    EXPECT_EQ(records[1].id, 0x003C);
    EXPECT_EQ(records[1].data.size(), 8212u);
    EXPECT_EQ(records[3].data.size(), 30020u - 8220 - 2 * 8212);
}

TEST(Drawing, ShortWritesRaise) {
    testutil::ShortStream stream(10);
    TxlsHyperlink link;
    link.Row = link.Col = 1;
    link.Title = "a";
    link.Target = "b";
    EXPECT_THROW(WriteHyperlink(stream, link), TxlsWriteError);
}

TEST(Drawing, NoteFontIndexReusesEqualFonts) {
    TxlsFontList fonts;
    TxlsFont tahoma;
    tahoma.Name = "Tahoma";
    const std::uint16_t first = NoteFontIndex(fonts, tahoma);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(NoteFontIndex(fonts, tahoma), first);
    tahoma.Size = 12;
    EXPECT_EQ(NoteFontIndex(fonts, tahoma), 6);
}

} // namespace

namespace {

TEST(DrawingBackground, PictureBecomesBottomUpBgrRows) {
    // A 2 x 2 BMP (24-bit, bottom-up): bottom row blue, white; top row red, green.
    std::vector<std::uint8_t> bmp = bytes(
        {'B', 'M', 70, 0, 0, 0, 0,  0, 0, 0, 54,   0,    0, 0, 40,   0,    0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0,
         24,  0,   0,  0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int b : {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0})
        bmp.push_back(static_cast<std::uint8_t>(b));
    TxlsGraphic graphic;
    graphic.SetData(bmp);
    TxlsBitmap bitmap;
    ASSERT_TRUE(LoadBackgroundBitmap(graphic, bitmap));
    EXPECT_EQ(bitmap.Width, 2);
    EXPECT_EQ(bitmap.Height, 2);
    EXPECT_EQ(bitmap.PixelRows, bytes({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}));

    TxlsMemoryStream stream;
    WriteBackground(stream, graphic);
    const auto records = splitRecords(stream.Bytes());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].data.size(), 20u + 16);

    TxlsGraphic none;
    TxlsMemoryStream empty;
    WriteBackground(empty, none);
    EXPECT_EQ(empty.Size(), 0u);
    none.SetData({1, 2, 3});
    EXPECT_FALSE(LoadBackgroundBitmap(none, bitmap));
}

} // namespace
