#include "export/xls/ExporterXLSDrawing.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace exporter {

namespace {

// Little-endian bytes appended to a vector.
class ByteWriter {
public:
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    void raw(const std::uint8_t* data, std::size_t n) { bytes.insert(bytes.end(), data, data + n); }
    void wide(const std::u16string& text) {
        for (char16_t ch : text)
            u16(static_cast<std::uint16_t>(ch));
    }
    std::vector<std::uint8_t> bytes;
};

constexpr std::size_t MaxRecordData = 8224;

void writeRecord(TxlsStream& stream, std::uint16_t id, const std::vector<std::uint8_t>& data) {
    WriteWord(stream, id);
    WriteWord(stream, static_cast<std::uint16_t>(data.size()));
    if (!data.empty())
        WriteBuffer(stream, data.data(), data.size());
}

std::vector<std::uint8_t> readFileBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool fileExists(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return !fileName.empty() && static_cast<bool>(file);
}

// The kind of picture bytes without a telling file name.
std::uint8_t pictureKindFromBytes(const std::vector<std::uint8_t>& b) {
    if (b.size() >= 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G')
        return mpkPNG;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8)
        return mpkJPEG;
    if (b.size() >= 14 && b[0] == 'B' && b[1] == 'M')
        return mpkBMP;
    if (b.size() >= 6 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F')
        return mpkPNG;
    return mpkNone;
}

bool isPng(const std::vector<std::uint8_t>& b) {
    return b.size() >= 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G';
}

// Picture bytes the PNG BLIP cannot carry as they are (GIF, for one) are converted to PNG; an
// image Qt cannot read gives no bytes.
std::vector<std::uint8_t> asPng(const std::vector<std::uint8_t>& bytes) {
    if (isPng(bytes))
        return bytes;
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size())))
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return {png.begin(), png.end()};
}

bool isMetafile(std::uint8_t kind) {
    return kind == mpkEMF || kind == mpkWMF;
}

// The picture bytes as the BLIP holds them: a bitmap without its file header, a placeable
// metafile without its placeable header.
std::vector<std::uint8_t> blipPayload(std::uint8_t kind, const std::vector<std::uint8_t>& bytes) {
    if (kind == mpkBMP && bytes.size() >= 14)
        return {bytes.begin() + 14, bytes.end()};
    if (kind == mpkWMF && bytes.size() >= 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 &&
        bytes[3] == 0x9A)
        return {bytes.begin() + 22, bytes.end()};
    return bytes;
}

} // namespace

// ---- records

void TmsoObject::SaveToStream(TxlsStream& stream) const {
    std::vector<std::uint8_t> buffer(GetSize());
    std::size_t position = 0;
    SaveToBuffer(buffer, position);
    WriteBuffer(stream, buffer.data(), buffer.size());
}

void TmsoObject::SaveToBuffer(std::span<std::uint8_t> buffer, std::size_t& position) const {
    PutMsoHeader(buffer, position, Version, Instance, Type, static_cast<std::uint32_t>(GetHeaderLength()));
    SaveData(buffer, position);
}

TmsoObject& TmsoContainer::Add(std::unique_ptr<TmsoObject> child) {
    Children.push_back(std::move(child));
    return *Children.back();
}

std::size_t TmsoContainer::GetDataSize() const {
    std::size_t size = 0;
    for (const auto& child : Children)
        size += child->GetSize();
    return size;
}

void TmsoContainer::SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const {
    for (const auto& child : Children)
        child->SaveToBuffer(buffer, position);
}

void TmsoData::SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const {
    if (position + Data.size() > buffer.size())
        throw std::out_of_range("drawing record past the end of its buffer");
    std::copy(Data.begin(), Data.end(), buffer.begin() + static_cast<std::ptrdiff_t>(position));
    position += Data.size();
}

std::unique_ptr<TmsoData> TmsoDgg(std::uint32_t objectCount) {
    ByteWriter w;
    w.u32(objectCount + 1025);
    w.u32(2);
    w.u32(objectCount + 1);
    w.u32(1);
    w.u32(1);
    w.u32(objectCount + 1);
    return std::make_unique<TmsoData>(0, 0, mso::Dgg, std::move(w.bytes));
}

std::unique_ptr<TmsoData> TmsoDg() {
    ByteWriter w;
    w.u32(2);
    w.u32(1025);
    return std::make_unique<TmsoData>(0, 1, mso::Dg, std::move(w.bytes));
}

std::unique_ptr<TmsoData> TmsoSpgr() {
    return std::make_unique<TmsoData>(1, 0, mso::Spgr, std::vector<std::uint8_t>(16, 0));
}

std::unique_ptr<TmsoData> TmsoSp(std::uint16_t shapeType, std::uint32_t shapeId, std::uint32_t flags) {
    ByteWriter w;
    w.u32(shapeId);
    w.u32(flags);
    return std::make_unique<TmsoData>(2, shapeType, mso::Sp, std::move(w.bytes));
}

std::unique_ptr<TmsoData> TmsoClientAnchor(std::uint16_t flags, const TxlsAnchor& a) {
    ByteWriter w;
    w.u16(flags);
    for (std::uint16_t v :
         {a.Col1, a.Col1Offset, a.Row1, a.Row1Offset, a.Col2, a.Col2Offset, a.Row2, a.Row2Offset})
        w.u16(v);
    return std::make_unique<TmsoData>(0, 0, mso::ClientAnchor, std::move(w.bytes));
}

std::unique_ptr<TmsoData> TmsoClientData() {
    return std::make_unique<TmsoData>(0, 0, mso::ClientData, std::vector<std::uint8_t>{});
}

std::unique_ptr<TmsoData> TmsoClientTextBox() {
    return std::make_unique<TmsoData>(0, 0, mso::ClientTextbox, std::vector<std::uint8_t>{});
}

std::unique_ptr<TmsoData> TmsoSplitMenuColors() {
    ByteWriter w;
    for (std::uint32_t v : {0x0800000Du, 0x0800000Cu, 0x08000017u, 0x100000F7u})
        w.u32(v);
    return std::make_unique<TmsoData>(0, 4, mso::SplitMenuColors, std::move(w.bytes));
}

void TmsoOPT::Add(std::uint16_t id, std::uint32_t value) {
    properties_.push_back({id, value, {}});
    Instance = static_cast<std::uint16_t>(properties_.size());
}

void TmsoOPT::AddComplex(std::uint16_t id, const std::string& text) {
    std::u16string wide = Utf8ToWide(text);
    wide.push_back(u'\0');
    properties_.push_back({id, static_cast<std::uint32_t>(2 * wide.size()), std::move(wide)});
    Instance = static_cast<std::uint16_t>(properties_.size());
}

std::size_t TmsoOPT::GetDataSize() const {
    std::size_t size = 0;
    for (const Property& p : properties_)
        size += 6 + ((p.Id & 0x8000) ? 2 * p.Complex.size() : 0);
    return size;
}

void TmsoOPT::SaveData(std::span<std::uint8_t> buffer, std::size_t& position) const {
    for (const Property& p : properties_) {
        PutWord(buffer, position, p.Id);
        PutDWord(buffer, position + 2, p.Value);
        position += 6;
    }
    for (const Property& p : properties_)
        if (p.Id & 0x8000)
            for (char16_t ch : p.Complex) {
                PutWord(buffer, position, static_cast<std::uint16_t>(ch));
                position += 2;
            }
}

// ---- pictures

std::uint8_t PictureKindFromFileName(const std::string& fileName) {
    switch (GraphicKindFromFileName(fileName)) {
    case gkJPEG:
        return mpkJPEG;
    case gkPNG:
    case gkGIF:
    case gkICO:
        return mpkPNG; // GIF and icons are converted to PNG
    case gkBMP:
        return rtl::UpperCase(fileName).ends_with(".QBMP") ? mpkNone : mpkBMP;
    case gkWMF:
        return mpkWMF;
    case gkEMF:
        return mpkEMF;
    default:
        return mpkNone;
    }
}

std::uint16_t BlipInstance(std::uint8_t kind) {
    switch (kind) {
    case mpkJPEG:
        return 0x046A;
    case mpkPNG:
        return 0x06E0;
    case mpkBMP:
        return 0x07A8;
    case mpkWMF:
        return 0x0216;
    case mpkEMF:
        return 0x03D4;
    default:
        return 0;
    }
}

std::unique_ptr<TmsoObject> TmsoBSEData(std::uint8_t kind, const TmsoObject& blip,
                                        std::uint32_t referenceCount) {
    ByteWriter w;
    w.u8(kind);
    w.u8(kind);
    w.zeros(16);
    w.u16(0x00FF);
    w.u32(static_cast<std::uint32_t>(blip.GetSize()));
    w.u32(referenceCount);
    w.u32(0);
    w.u8(0);
    w.u8(0);
    w.u8(0x3E);
    w.u8(0x02);
    // The BLIP follows inside the entry, which readers expect the entry's length to cover.
    const std::size_t header = w.bytes.size();
    w.zeros(blip.GetSize());
    std::size_t position = header;
    blip.SaveToBuffer(w.bytes, position);
    return std::make_unique<TmsoData>(2, kind, mso::BSE, std::move(w.bytes));
}

std::unique_ptr<TmsoData> TmsoBLIPData(std::uint8_t kind, const std::vector<std::uint8_t>& fileBytes) {
    const std::vector<std::uint8_t> payload = blipPayload(kind, fileBytes);
    ByteWriter w;
    w.zeros(16);
    if (isMetafile(kind)) {
        // Metafile header: uncompressed size, bounds, size in EMUs, saved size, no compression.
        w.u32(static_cast<std::uint32_t>(payload.size()));
        w.zeros(16);
        w.zeros(8);
        w.u32(static_cast<std::uint32_t>(payload.size()));
        w.u8(0xFE);
        w.u8(0xFE);
    } else {
        w.u8(0xFF);
    }
    w.raw(payload.data(), payload.size());
    return std::make_unique<TmsoData>(0, BlipInstance(kind),
                                      static_cast<std::uint16_t>(mso::BlipFirst + kind), std::move(w.bytes));
}

TxlsPictureStore::TxlsPictureStore(const TxlsPictures* pictures) {
    if (!pictures)
        return;
    hasPictures_ = pictures->Count() > 0;
    for (std::size_t i = 0; i < pictures->Count(); ++i) {
        const TxlsPicture& picture = pictures->Items(i);
        std::vector<std::uint8_t> bytes = picture.Data();
        std::uint8_t kind = PictureKindFromFileName(picture.FileName());
        if (bytes.empty()) {
            if (kind == mpkNone || !fileExists(picture.FileName()))
                continue;
            bytes = readFileBytes(picture.FileName());
        } else if (kind == mpkNone) {
            kind = pictureKindFromBytes(bytes);
        }
        if (kind == mpkPNG)
            bytes = asPng(bytes);
        if (kind == mpkNone || bytes.empty())
            continue;
        entries_.push_back({i, kind, std::move(bytes), static_cast<std::uint32_t>(picture.GetUsageCount()),
                            picture.FileName()});
    }
}

std::uint32_t TxlsPictureStore::BlipIndex(int pictureIndex) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (static_cast<int>(entries_[i].PictureIndex) + 1 == pictureIndex)
            return static_cast<std::uint32_t>(i + 1);
    return 0;
}

std::vector<std::uint8_t> BuildDrawingGroup(std::uint32_t totalObjects, const TxlsPictureStore* store) {
    TmsoContainer group(mso::DggContainer);
    group.Add(TmsoDgg(totalObjects));
    if (store && store->HasPictures()) {
        auto pictureStore = std::make_unique<TmsoContainer>(
            mso::BStoreContainer, static_cast<std::uint16_t>(store->Entries().size()));
        for (const TxlsPictureStore::Entry& entry : store->Entries()) {
            const auto blip = TmsoBLIPData(entry.Kind, entry.Bytes);
            pictureStore->Add(TmsoBSEData(entry.Kind, *blip, entry.ReferenceCount));
        }
        group.Add(std::move(pictureStore));
    }
    auto options = std::make_unique<TmsoOPT>();
    options->Add(0x00BF, 0x00080008);
    options->Add(0x0181, 0x08000009);
    options->Add(0x01C0, 0x08000040);
    group.Add(std::move(options));
    group.Add(TmsoSplitMenuColors());
    std::vector<std::uint8_t> bytes(group.GetSize());
    std::size_t position = 0;
    group.SaveToBuffer(bytes, position);
    return bytes;
}

// ---- the sheet drawing

TxlsMSODrawing::TxlsMSODrawing() {
    drawing_.Add(TmsoDg());
    auto group = std::make_unique<TmsoContainer>(mso::SpgrContainer);
    auto groupShape = std::make_unique<TmsoContainer>(mso::SpContainer);
    groupShape->Add(TmsoSpgr());
    groupShape->Add(TmsoSp(0, 1024, 0x0005));
    group->Add(std::move(groupShape));
    group_ = group.get();
    drawing_.Add(std::move(group));
}

void TxlsMSODrawing::AddShape(std::unique_ptr<TmsoContainer> shape) {
    shapes_.push_back(std::move(shape));
}

void TxlsMSODrawing::updateExtraLengths() {
    std::size_t total = 0;
    for (const auto& shape : shapes_)
        total += shape->GetSize() + shape->ExtraLength;
    drawing_.ExtraLength = total;
    group_->ExtraLength = total;
}

std::size_t TxlsMSODrawing::GetShapeSize(std::size_t i) const {
    const std::size_t shape = shapes_.at(i)->GetSize();
    return i == 0 ? drawing_.GetSize() + shape : shape;
}

void TxlsMSODrawing::SaveShape(TxlsStream& stream, std::size_t i) {
    updateExtraLengths();
    std::vector<std::uint8_t> data(GetShapeSize(i));
    std::size_t position = 0;
    if (i == 0)
        drawing_.SaveToBuffer(data, position);
    shapes_.at(i)->SaveToBuffer(data, position);
    writeRecord(stream, biff::MSODRAWING, data);
}

std::uint32_t NoteOpacity(int transparency) {
    // 65536 (opaque) less 656 per percent; fully transparent stays 0 rather than going negative.
    if (transparency >= 100)
        return 0;
    return static_cast<std::uint32_t>(64881 - (transparency - 1) * 656);
}

std::unique_ptr<TmsoContainer> BuildNoteShape(const TxlsNote& note, std::uint32_t shapeId,
                                              std::uint32_t noteNumber) {
    auto shape = std::make_unique<TmsoContainer>(mso::SpContainer);
    shape->Add(TmsoSp(202, shapeId, 0x0A00));
    auto opt = std::make_unique<TmsoOPT>();
    const TxlsNoteFormat& f = note.Format;
    opt->Add(0x0080, noteNumber);
    opt->Add(0x007D, 1);
    opt->Add(0x00BF, 0x00080008);
    opt->Add(0x0158, 0);
    if (f.FillType == nftGradient) {
        const std::uint32_t angle45 = static_cast<std::uint32_t>(-2949120);
        std::uint32_t fillType = 7;
        if (f.Gradient == ngrFromCorner)
            fillType = 5;
        else if (f.Gradient == ngrFromCenter)
            fillType = 6;
        opt->Add(0x0180, fillType);
        opt->Add(0x0181, static_cast<std::uint32_t>(f.BackgroundColor));
        opt->Add(0x0183, static_cast<std::uint32_t>(f.ForegroundColor));
        switch (f.Gradient) {
        case ngrVertical:
            opt->Add(0x018B, static_cast<std::uint32_t>(-5898240));
            break;
        case ngrDiagonalUp:
            opt->Add(0x018B, static_cast<std::uint32_t>(-8847360));
            break;
        case ngrDiagonalDown:
        case ngrFromCorner:
        case ngrFromCenter:
            opt->Add(0x018B, angle45);
            break;
        case ngrHorizontal:
            break;
        }
        opt->Add(0x018C, 100);
        if (f.Gradient == ngrFromCenter)
            for (std::uint16_t id = 0x018D; id <= 0x0190; ++id)
                opt->Add(id, 32768);
        opt->Add(0x0196, 0x009D0000);
    } else {
        opt->Add(0x0181, static_cast<std::uint32_t>(f.BackgroundColor));
    }
    if (f.Transparency != 0)
        opt->Add(0x0182, NoteOpacity(f.Transparency));
    opt->Add(0x01BF, 0x00110010);
    opt->Add(0x0201, 0);
    opt->Add(0x023F, 0x00030003);
    opt->Add(0x03BF, 0x000A0002);
    shape->Add(std::move(opt));
    shape->Add(TmsoClientAnchor(3, note.GetAnchor()));
    shape->Add(TmsoClientData());
    // The client text box, written in its own MSODRAWING after the OBJ, belongs to this shape.
    shape->ExtraLength = 8;
    return shape;
}

std::unique_ptr<TmsoContainer> BuildPictureShape(const TxlsAnchor& anchor, std::uint32_t shapeId,
                                                 std::uint32_t blipIndex, const std::string& fileName) {
    auto shape = std::make_unique<TmsoContainer>(mso::SpContainer);
    shape->Add(TmsoSp(75, shapeId, 0x0A00));
    auto opt = std::make_unique<TmsoOPT>();
    opt->Add(0x007F, 0x00800000);
    opt->Add(0x4104, blipIndex);
    opt->AddComplex(0xC105, fileName);
    opt->Add(0x01BF, 0x00010000);
    opt->Add(0x033F, 0x00100000);
    opt->AddComplex(0xC380, fileName);
    opt->Add(0x03BF, 0x00080000);
    shape->Add(std::move(opt));
    shape->Add(TmsoClientAnchor(2, anchor));
    shape->Add(TmsoClientData());
    return shape;
}

std::unique_ptr<TmsoContainer> BuildChartShape(const TxlsAnchor& anchor, std::uint32_t shapeId) {
    auto shape = std::make_unique<TmsoContainer>(mso::SpContainer);
    shape->Add(TmsoSp(201, shapeId, 0x0A00));
    auto opt = std::make_unique<TmsoOPT>();
    opt->Add(0x007F, 0x01040104);
    opt->Add(0x00BF, 0x00080008);
    opt->Add(0x0181, 0x0800004E);
    opt->Add(0x0183, 0x0800004D);
    opt->Add(0x01BF, 0x00100010);
    opt->Add(0x01C0, 0x0800004D);
    opt->Add(0x01FF, 0x00080008);
    opt->Add(0x023F, 0x00020000);
    opt->Add(0x03BF, 0x00080000);
    shape->Add(std::move(opt));
    shape->Add(TmsoClientAnchor(0, anchor));
    shape->Add(TmsoClientData());
    return shape;
}

// ---- object records

void WriteObjRecord(TxlsStream& stream, TxlsObjectType type, std::uint16_t objectId) {
    ByteWriter w;
    w.u16(0x0015);
    w.u16(18);
    w.u16(type);
    w.u16(objectId);
    w.u16(0x0011);
    w.zeros(12);
    if (type == otNote) {
        // Note structure: a 16-byte identifier, not shared, 4 reserved bytes.
        w.u16(0x000D);
        w.u16(22);
        for (int i = 0; i < 16; ++i)
            w.u8(static_cast<std::uint8_t>(0x11 * (objectId + i)));
        w.u16(0);
        w.u32(0);
    } else if (type == otPicture) {
        // Clipboard format (0xFFFF: unknown) and picture option flags (built in).
        w.u16(0x0007);
        w.u16(2);
        w.u16(0xFFFF);
        w.u16(0x0008);
        w.u16(2);
        w.u16(0x0001);
    }
    w.u16(0);
    w.u16(0);
    writeRecord(stream, biff::OBJ, w.bytes);
}

void WriteClientTextBoxRecord(TxlsStream& stream) {
    std::vector<std::uint8_t> data(8);
    std::size_t position = 0;
    TmsoClientTextBox()->SaveToBuffer(data, position);
    writeRecord(stream, biff::MSODRAWING, data);
}

namespace {

std::uint16_t txoAlignment(const TxlsAlignment& alignment) {
    std::uint16_t horizontal = 2;
    switch (alignment.Horizontal) {
    case halCenter:
        horizontal = 4;
        break;
    case halRight:
        horizontal = 6;
        break;
    case halFill:
        horizontal = 8;
        break;
    default:
        break;
    }
    return static_cast<std::uint16_t>(horizontal + 16 * (alignment.Vertical + 1));
}

} // namespace

void WriteTxoRecords(TxlsStream& stream, const TxlsNote& note, std::uint16_t fontIndex) {
    // A text object holds at most as many units as a cell.
    const std::u16string text = CutUtf16(Utf8ToWide(note.Text()), MAX_CELL_TEXT_LENGTH);
    const auto length = static_cast<std::uint16_t>(text.size());
    ByteWriter txo;
    txo.u16(txoAlignment(note.Format.Alignment));
    txo.u16(note.Format.Orientation);
    txo.zeros(6);
    txo.u16(length);
    txo.u16(16);
    txo.u32(0);
    writeRecord(stream, biff::TXO, txo.bytes);

    // The text in CONTINUE records of at most 8224 bytes, each starting with its option byte and
    // ending on a whole character: readers decode each record on its own.
    constexpr std::size_t charactersPerRecord = (MAX_RECORD_DATA_SIZE - 1) / 2;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t count = Utf16CutLength(std::u16string_view(text).substr(at), charactersPerRecord);
        ByteWriter chars;
        chars.u8(1);
        chars.wide(text.substr(at, count));
        writeRecord(stream, biff::CONTINUE_, chars.bytes);
        at += count;
    }

    ByteWriter runs;
    runs.u16(0);
    runs.u16(fontIndex);
    runs.u32(0);
    runs.u16(length);
    runs.u16(0);
    runs.u32(0);
    writeRecord(stream, biff::CONTINUE_, runs.bytes);
}

void WriteNoteRecord(TxlsStream& stream, const TxlsNote& note, std::uint16_t objectId) {
    ByteWriter w;
    w.u16(static_cast<std::uint16_t>(note.Row - 1));
    w.u16(static_cast<std::uint16_t>(note.Col - 1));
    w.u16(0);
    w.u16(objectId);
    // An empty author: readers expect the string (length, options) and its padding byte.
    w.u16(0);
    w.u8(0);
    w.u8(0);
    writeRecord(stream, biff::NOTE, w.bytes);
}

std::uint16_t NoteFontIndex(TxlsFontList& fonts, const TxlsFont& font) {
    if (const TxlsFont* found = fonts.Find(font))
        return found->Index;
    return fonts.Add(font).Index;
}

namespace {

struct PlacedImage {
    const TxlsImage* Image;
    std::uint32_t BlipIndex;
    const std::string* FileName;
};

std::vector<PlacedImage> placedImages(const TxlsImages* images, const TxlsPictureStore* store) {
    std::vector<PlacedImage> placed;
    for (std::size_t i = 0; images && store && i < images->Count(); ++i) {
        const TxlsImage& image = images->Items(i);
        const std::uint32_t blip = store->BlipIndex(image.GetPictureIndex());
        if (blip > 0)
            placed.push_back({&image, blip, &store->Entries()[blip - 1].FileName});
    }
    return placed;
}

std::vector<const TxlsNote*> validNotes(const TxlsNotes* notes) {
    std::vector<const TxlsNote*> valid;
    for (std::size_t i = 0; notes && i < notes->Count(); ++i)
        if (notes->Items(i).IsValid())
            valid.push_back(&notes->Items(i));
    return valid;
}

} // namespace

int CountDrawingObjects(const TxlsNotes* notes, const TxlsImages* images, const TxlsCharts* charts,
                        const TxlsPictureStore* store) {
    return static_cast<int>(validNotes(notes).size() + placedImages(images, store).size() +
                            (charts ? charts->Count() : 0));
}

void WriteSheetDrawing(TxlsStream& stream, const TxlsSheetDrawingInput& input) {
    const std::vector<const TxlsNote*> notes = validNotes(input.Notes);
    const std::vector<PlacedImage> images = placedImages(input.Images, input.Store);
    const std::size_t chartCount = input.Charts ? input.Charts->Count() : 0;
    if (notes.empty() && images.empty() && chartCount == 0)
        return;

    TxlsMSODrawing drawing;
    std::uint32_t shapeId = 1025;
    for (std::size_t i = 0; i < notes.size(); ++i)
        drawing.AddShape(BuildNoteShape(*notes[i], shapeId++, static_cast<std::uint32_t>(i + 1)));
    for (const PlacedImage& placed : images) {
        TxlsAnchor anchor;
        placed.Image->GetAnchor(anchor);
        drawing.AddShape(BuildPictureShape(anchor, shapeId++, placed.BlipIndex, *placed.FileName));
    }
    for (std::size_t i = 0; i < chartCount; ++i)
        drawing.AddShape(BuildChartShape(input.Charts->Items(i).GetAnchor(), shapeId++));

    std::size_t shape = 0;
    std::uint16_t objectId = 1;
    std::vector<std::uint16_t> noteObjectIds;
    for (const TxlsNote* note : notes) {
        drawing.SaveShape(stream, shape++);
        noteObjectIds.push_back(objectId);
        WriteObjRecord(stream, otNote, objectId++);
        WriteClientTextBoxRecord(stream);
        const std::uint16_t font = input.NoteFontIndex ? input.NoteFontIndex(note->Format.Font) : 0;
        WriteTxoRecords(stream, *note, font);
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        drawing.SaveShape(stream, shape++);
        WriteObjRecord(stream, otPicture, objectId++);
    }
    for (std::size_t i = 0; i < chartCount; ++i) {
        drawing.SaveShape(stream, shape++);
        WriteObjRecord(stream, otChart, objectId++);
        if (input.WriteChart)
            input.WriteChart(stream, input.Charts->Items(i));
    }
    for (std::size_t i = 0; i < notes.size(); ++i)
        WriteNoteRecord(stream, *notes[i], noteObjectIds[i]);
}

// ---- hyperlinks

namespace {

// The standard hyperlink, URL moniker and file moniker class identifiers as stored.
constexpr std::uint8_t hyperlinkClass[16] = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                             0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::uint8_t urlMonikerClass[16] = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                              0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::uint8_t fileMonikerClass[16] = {0x03, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

void putCellRange(ByteWriter& w, const TxlsHyperlink& link) {
    w.u16(static_cast<std::uint16_t>(link.Row - 1));
    w.u16(static_cast<std::uint16_t>(link.Row - 1));
    w.u16(static_cast<std::uint16_t>(link.Col - 1));
    w.u16(static_cast<std::uint16_t>(link.Col - 1));
}

} // namespace

std::vector<std::uint8_t> BuildHyperlinkData(const TxlsHyperlink& link) {
    ByteWriter w;
    putCellRange(w, link);
    w.raw(hyperlinkClass, 16);
    w.u32(2);
    w.u32(0x17);
    const std::u16string title = Utf8ToWide(link.Title);
    w.u32(static_cast<std::uint32_t>(title.size() + 1));
    w.wide(title);
    w.u16(0);
    const std::u16string target = Utf8ToWide(link.Target);
    if (link.Style == hlsURL) {
        w.raw(urlMonikerClass, 16);
        w.u32(static_cast<std::uint32_t>(2 * target.size() + 2));
        w.wide(target);
        w.u16(0);
    } else if (link.Style == hlsLocalFile) {
        const std::string path = link.GetShortTarget();
        w.raw(fileMonikerClass, 16);
        w.u16(0);
        w.u32(static_cast<std::uint32_t>(path.size() + 1));
        w.raw(reinterpret_cast<const std::uint8_t*>(path.data()), path.size());
        w.u8(0);
        w.u32(0xDEADFFFF);
        w.zeros(20);
        const auto n = static_cast<std::uint32_t>(target.size());
        w.u32(2 * n + 6);
        w.u32(2 * n);
        w.u16(3);
        w.wide(target);
    }
    return w.bytes;
}

void WriteHyperlink(TxlsStream& stream, const TxlsHyperlink& link) {
    const std::vector<std::uint8_t> data = BuildHyperlinkData(link);
    if (data.size() > MaxRecordData)
        return; // a link too long for one record stays a plain cell
    writeRecord(stream, biff::HLINK, data);
    if (link.ScreenTip.empty())
        return;
    ByteWriter w;
    w.u16(biff::HLINKTOOLTIP);
    putCellRange(w, link);
    w.wide(Utf8ToWide(link.ScreenTip));
    w.u16(0);
    if (w.bytes.size() > MaxRecordData)
        return;
    writeRecord(stream, biff::HLINKTOOLTIP, w.bytes);
}

// ---- background

void WriteBackgroundBitmap(TxlsStream& stream, std::uint16_t width, std::uint16_t height,
                           const std::vector<std::uint8_t>& pixelRows) {
    ByteWriter w;
    w.u16(9);
    w.u16(1);
    w.u32(static_cast<std::uint32_t>(12 + pixelRows.size()));
    w.u32(12);
    w.u16(width);
    w.u16(height);
    w.u16(1);
    w.u16(24);
    w.raw(pixelRows.data(), pixelRows.size());
    const std::vector<std::uint8_t>& all = w.bytes;
    std::size_t first = all.size() <= 8220 ? all.size() : 8220; // 20 header bytes and 8200 pixel bytes
    writeRecord(stream, biff::BITMAP, {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(first)});
    for (std::size_t at = first; at < all.size();) {
        const std::size_t chunk = std::min<std::size_t>(8212, all.size() - at);
        writeRecord(stream, biff::CONTINUE_,
                    {all.begin() + static_cast<std::ptrdiff_t>(at),
                     all.begin() + static_cast<std::ptrdiff_t>(at + chunk)});
        at += chunk;
    }
}

bool LoadBackgroundBitmap(const TxlsGraphic& graphic, TxlsBitmap& bitmap) {
    QImage image;
    if (!graphic.Data().empty()) {
        const auto& data = graphic.Data();
        image.loadFromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()));
    } else if (fileExists(graphic.FileName())) {
        image.load(QString::fromStdString(graphic.FileName()));
    }
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return false;
    // Transparent parts are drawn over white, as on a fresh bitmap.
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* out = rgb.scanLine(y);
            for (int x = 0; x < argb.width(); ++x) {
                const int alpha = qAlpha(in[x]);
                const auto blend = [alpha](int c) {
                    return static_cast<uchar>((c * alpha + 255 * (255 - alpha)) / 255);
                };
                out[3 * x] = blend(qRed(in[x]));
                out[3 * x + 1] = blend(qGreen(in[x]));
                out[3 * x + 2] = blend(qBlue(in[x]));
            }
        }
    }
    bitmap.Width = static_cast<std::uint16_t>(rgb.width());
    bitmap.Height = static_cast<std::uint16_t>(rgb.height());
    const std::size_t stride = (3 * static_cast<std::size_t>(rgb.width()) + 3) / 4 * 4;
    bitmap.PixelRows.assign(stride * static_cast<std::size_t>(rgb.height()), 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* in = rgb.constScanLine(rgb.height() - 1 - y);
        std::uint8_t* out = bitmap.PixelRows.data() + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < rgb.width(); ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return true;
}

void WriteBackground(TxlsStream& stream, const TxlsGraphic& background) {
    TxlsBitmap bitmap;
    if (LoadBackgroundBitmap(background, bitmap))
        WriteBackgroundBitmap(stream, bitmap.Width, bitmap.Height, bitmap.PixelRows);
}

} // namespace exporter
