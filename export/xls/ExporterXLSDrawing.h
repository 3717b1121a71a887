#pragma once

// The Office drawing records of a workbook: the drawing group with its picture store
// (MSODRAWINGGROUP), each sheet's drawing split over MSODRAWING records with the OBJ, TXO and NOTE
// records of its notes, pictures and charts, the hyperlink records and the background bitmap.
//
// Entry points for the workbook stream writer:
// - TxlsPictureStore store(pictures);             the pictures that go into the store (built once)
// - BuildDrawingGroup(totalObjects, &store)       data of the MSODRAWINGGROUP record
//                                                 (TbiffMSODrawingGroup splits it into CONTINUEs)
// - CountDrawingObjects(notes, images, charts)    the shapes one sheet contributes
// - WriteSheetDrawing(stream, input)              a sheet's drawing: per shape MSODRAWING and the
//                                                 object's records, then one NOTE per note; the chart
//                                                 substream comes from input.WriteChart
// - WriteHyperlink(stream, link)                  HLINK and, with a screen tip, HLINKTOOLTIP
// - WriteBackground(stream, sheet.Background)    BITMAP (and CONTINUE) of the background picture
//                                                 (LoadBackgroundBitmap + WriteBackgroundBitmap)
// Every write raises TxlsWriteError ("Error writing output file") on a short write.

#include "export/xls/ExporterXLSFormatTables.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace exporter {

// Record ids of the drawing writer.
namespace biff {
constexpr std::uint16_t NOTE = 0x001C, OBJ = 0x005D, MSODRAWING = 0x00EC, BITMAP = 0x00E9, TXO = 0x01B6,
                        HLINK = 0x01B8, HLINKTOOLTIP = 0x0800, CONTINUE_ = 0x003C;
} // namespace biff

// Office drawing record types.
namespace mso {
constexpr std::uint16_t DggContainer = 0xF000, BStoreContainer = 0xF001, DgContainer = 0xF002,
                        SpgrContainer = 0xF003, SpContainer = 0xF004, BSE = 0xF007, Dgg = 0xF006, Dg = 0xF008,
                        Spgr = 0xF009, Sp = 0xF00A, OPT = 0xF00B, ClientTextbox = 0xF00D,
                        ClientAnchor = 0xF010, ClientData = 0xF011, BlipFirst = 0xF018,
                        SplitMenuColors = 0xF11E;
} // namespace mso

// One Office drawing record.
class TmsoObject {
public:
    TmsoObject(std::uint16_t version, std::uint16_t instance, std::uint16_t type)
        : Version(version), Instance(instance), Type(type) {}
    virtual ~TmsoObject() = default;
    TmsoObject(const TmsoObject&) = delete;
    TmsoObject& operator=(const TmsoObject&) = delete;

    // The whole record, header included.
    virtual std::size_t GetSize() const { return 8 + GetDataSize(); }
    void SaveToStream(TxlsStream& stream) const;
    // Writes at position and advances it; raises std::out_of_range past the buffer's end.
    virtual void SaveToBuffer(std::span<std::uint8_t> buffer, std::size_t& position) const;

    std::uint16_t Version, Instance, Type;

protected:
    // The length written in the header.
    virtual std::size_t GetHeaderLength() const { return GetDataSize(); }
    virtual std::size_t GetDataSize() const = 0;
    virtual void SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const = 0;
};

using TmsoList = std::vector<std::unique_ptr<TmsoObject>>;

// A record holding other records; its header's length adds ExtraLength to the children's.
class TmsoContainer : public TmsoObject {
public:
    explicit TmsoContainer(std::uint16_t type, std::uint16_t instance = 0) : TmsoObject(15, instance, type) {}
    TmsoList Children;
    std::size_t ExtraLength = 0;
    TmsoObject& Add(std::unique_ptr<TmsoObject> child);

protected:
    std::size_t GetHeaderLength() const override { return GetDataSize() + ExtraLength; }
    std::size_t GetDataSize() const override;
    void SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const override;
};

// A record of fixed bytes.
class TmsoData : public TmsoObject {
public:
    TmsoData(std::uint16_t version, std::uint16_t instance, std::uint16_t type,
             std::vector<std::uint8_t> data)
        : TmsoObject(version, instance, type), Data(std::move(data)) {}
    std::vector<std::uint8_t> Data;

protected:
    std::size_t GetDataSize() const override { return Data.size(); }
    void SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const override;
};

// The drawing group's record: n drawing objects in all sheets.
std::unique_ptr<TmsoData> TmsoDgg(std::uint32_t objectCount);
std::unique_ptr<TmsoData> TmsoDg();
std::unique_ptr<TmsoData> TmsoSpgr();
std::unique_ptr<TmsoData> TmsoSp(std::uint16_t shapeType, std::uint32_t shapeId, std::uint32_t flags);
std::unique_ptr<TmsoData> TmsoClientAnchor(std::uint16_t flags, const TxlsAnchor& anchor);
std::unique_ptr<TmsoData> TmsoClientData();
std::unique_ptr<TmsoData> TmsoClientTextBox();
std::unique_ptr<TmsoData> TmsoSplitMenuColors();

// Shape properties: simple values, and complex ones (id with bit 15) holding a UTF-16 text.
class TmsoOPT : public TmsoObject {
public:
    TmsoOPT() : TmsoObject(3, 0, mso::OPT) {}
    void Add(std::uint16_t id, std::uint32_t value);
    void AddComplex(std::uint16_t id, const std::string& text);
    std::size_t Count() const { return properties_.size(); }

protected:
    std::size_t GetDataSize() const override;
    void SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const override;

private:
    struct Property {
        std::uint16_t Id;
        std::uint32_t Value;
        std::u16string Complex;
    };
    std::vector<Property> properties_;
};

// Picture kinds of the picture store, by file extension: JPEG 5, PNG and GIF 6, BMP 7, EMF 2,
// WMF 3 (the published BLIP types, with their instances 0x03D4 and 0x0216), anything else 0.
enum TmsoPictureKind : std::uint8_t {
    mpkNone = 0,
    mpkEMF = 2,
    mpkWMF = 3,
    mpkJPEG = 5,
    mpkPNG = 6,
    mpkBMP = 7
};
std::uint8_t PictureKindFromFileName(const std::string& fileName);
// The BLIP record's instance for a kind (0 for none).
std::uint16_t BlipInstance(std::uint8_t kind);

// One picture of the store: its BSE entry holding the BLIP with the picture bytes.
std::unique_ptr<TmsoObject> TmsoBSEData(std::uint8_t kind, const TmsoObject& blip,
                                        std::uint32_t referenceCount);
std::unique_ptr<TmsoData> TmsoBLIPData(std::uint8_t kind, const std::vector<std::uint8_t>& fileBytes);

// The pictures of an exporter that go into the store: every picture with its own bytes or an
// existing file, of a known kind. Pictures left out get no shape.
class TxlsPictureStore {
public:
    struct Entry {
        std::size_t PictureIndex; // in the exporter's pictures
        std::uint8_t Kind;
        std::vector<std::uint8_t> Bytes;
        std::uint32_t ReferenceCount;
        std::string FileName;
    };
    TxlsPictureStore() = default;
    explicit TxlsPictureStore(const TxlsPictures* pictures);
    const std::vector<Entry>& Entries() const { return entries_; }
    bool HasPictures() const { return hasPictures_; }
    // The 1-based position in the store of the exporter's picture with that 1-based index; 0 when
    // it is not stored.
    std::uint32_t BlipIndex(int pictureIndex) const;

private:
    std::vector<Entry> entries_;
    bool hasPictures_ = false;
};

// The MSODRAWINGGROUP data: the drawing group container with the drawing group record, the picture
// store (when the exporter has pictures), the default properties and the split menu colours.
std::vector<std::uint8_t> BuildDrawingGroup(std::uint32_t totalObjects, const TxlsPictureStore* store);

// A sheet's drawing: the drawing container, the group shape and one shape container per object.
class TxlsMSODrawing {
public:
    TxlsMSODrawing();
    void AddShape(std::unique_ptr<TmsoContainer> shape);
    std::size_t ShapeCount() const { return shapes_.size(); }
    // For 0 the drawing container's part plus shape 0, else shape i.
    std::size_t GetShapeSize(std::size_t i) const;
    // MSODRAWING with shape i (for 0 preceded by the drawing container's part).
    void SaveShape(TxlsStream& stream, std::size_t i);

private:
    void updateExtraLengths();
    TmsoContainer drawing_{mso::DgContainer};
    TmsoContainer* group_ = nullptr;
    std::vector<std::unique_ptr<TmsoContainer>> shapes_;
};

// The shapes of the three kinds of object.
std::unique_ptr<TmsoContainer> BuildNoteShape(const TxlsNote& note, std::uint32_t shapeId,
                                              std::uint32_t noteNumber);
std::unique_ptr<TmsoContainer> BuildPictureShape(const TxlsAnchor& anchor, std::uint32_t shapeId,
                                                 std::uint32_t blipIndex, const std::string& fileName);
std::unique_ptr<TmsoContainer> BuildChartShape(const TxlsAnchor& anchor, std::uint32_t shapeId);

// The note's fill opacity value for a transparency of 1 to 100 percent.
std::uint32_t NoteOpacity(int transparency);

// The object records.
enum TxlsObjectType : std::uint16_t { otChart = 5, otPicture = 8, otNote = 0x19 };
void WriteObjRecord(TxlsStream& stream, TxlsObjectType type, std::uint16_t objectId);
// MSODRAWING holding the note's client text box.
void WriteClientTextBoxRecord(TxlsStream& stream);
// TXO with its text CONTINUE and formatting-runs CONTINUE.
void WriteTxoRecords(TxlsStream& stream, const TxlsNote& note, std::uint16_t fontIndex);
// NOTE: row, column, flags 0, object id and an empty author.
void WriteNoteRecord(TxlsStream& stream, const TxlsNote& note, std::uint16_t objectId);
// The FONT index of a note font: that of an equal entry, else of a new one.
std::uint16_t NoteFontIndex(TxlsFontList& fonts, const TxlsFont& font);

// The shapes of a sheet: its valid notes, the images whose picture is in the store and its charts.
int CountDrawingObjects(const TxlsNotes* notes, const TxlsImages* images, const TxlsCharts* charts,
                        const TxlsPictureStore* store);

struct TxlsSheetDrawingInput {
    const TxlsNotes* Notes = nullptr;
    const TxlsImages* Images = nullptr;
    const TxlsCharts* Charts = nullptr;
    const TxlsPictureStore* Store = nullptr;
    // The FONT index of a note's font.
    std::function<std::uint16_t(const TxlsFont&)> NoteFontIndex;
    // Writes the chart substream after the chart's OBJ record.
    std::function<void(TxlsStream&, const TxlsChart&)> WriteChart;
};
// Writes nothing when the sheet has no drawing object.
void WriteSheetDrawing(TxlsStream& stream, const TxlsSheetDrawingInput& input);

// HLINK data of a hyperlink (its size is the hyperlink's GetRecordSize).
std::vector<std::uint8_t> BuildHyperlinkData(const TxlsHyperlink& link);
// HLINK, then HLINKTOOLTIP when the link has a screen tip.
void WriteHyperlink(TxlsStream& stream, const TxlsHyperlink& link);

// BITMAP of a 24-bit picture: rows bottom-up, blue-green-red, each padded to 4 bytes.
void WriteBackgroundBitmap(TxlsStream& stream, std::uint16_t width, std::uint16_t height,
                           const std::vector<std::uint8_t>& pixelRows);

// A picture drawn onto a 24-bit bitmap, as BITMAP holds it.
struct TxlsBitmap {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::vector<std::uint8_t> PixelRows; // bottom-up, blue-green-red, rows padded to 4 bytes
};
// The graphic's bytes (or its file) decoded; false when there is no picture, it does not decode
// or it is larger than 65535 pixels either way.
bool LoadBackgroundBitmap(const TxlsGraphic& graphic, TxlsBitmap& bitmap);
// BITMAP of the sheet's background when it holds a picture; nothing otherwise.
void WriteBackground(TxlsStream& stream, const TxlsGraphic& background);

} // namespace exporter
