#include "export/core/ExporterPDF.h"

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace exporter {

namespace {

// Every number of the file is written with a full stop, whatever the process locale says.
std::string Fmt(std::string_view format, const rtl::FormatArgs& args) {
    return rtl::Format(format, args, rtl::LocaleFacts::Default());
}

int Trunc(double value) {
    return int(std::trunc(value));
}

// The drawing operators are written once per cell and row: their numbers are put straight into a buffer,
// with the digits the run-time Format gives ("%.<decimals>f" rounding halves away from zero, "%d") and a
// full stop. Room for one number of up to two decimals.
constexpr size_t kNumberRoom = 32;

inline char* PutText(char* out, std::string_view text) {
    return std::copy(text.begin(), text.end(), out);
}

char* PutAnyInt(char* out, int value) {
    return std::to_chars(out, out + kNumberRoom, value).ptr;
}

char* PutAnyInt64(char* out, std::int64_t value) {
    return std::to_chars(out, out + kNumberRoom, value).ptr;
}

// The digits of 0-999, each in four bytes: the count of digits, then the digits.
constexpr std::array<std::array<char, 4>, 1000> kSmallNumbers = [] {
    std::array<std::array<char, 4>, 1000> all{};
    for (int n = 0; n < 1000; ++n) {
        auto& entry = all[size_t(n)];
        entry[0] = char(n >= 100 ? 3 : n >= 10 ? 2 : 1);
        int at = 1;
        if (n >= 100)
            entry[size_t(at++)] = char('0' + n / 100);
        if (n >= 10)
            entry[size_t(at++)] = char('0' + n / 10 % 10);
        entry[size_t(at)] = char('0' + n % 10);
    }
    return all;
}();

inline char* PutInt(char* out, int value) {
    // Coordinates and sizes are mostly below 1000: their digits come from the table (all three bytes are
    // put, the room holds them).
    if (value < 0 || value >= 1000)
        return PutAnyInt(out, value);
    const auto& entry = kSmallNumbers[size_t(value)];
    out[0] = entry[1];
    out[1] = entry[2];
    out[2] = entry[3];
    return out + entry[0];
}

char* PutAnyFixed(char* out, double value, int decimals) {
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const long long units = std::llround(value * double(scale));
    if (units < 0)
        *out++ = '-';
    char digits[24];
    const size_t count =
        size_t(std::to_chars(digits, digits + sizeof digits, units < 0 ? -units : units).ptr - digits);
    const size_t wholeDigits = count > size_t(decimals) ? count - size_t(decimals) : 0;
    if (wholeDigits > 0)
        out = std::copy(digits, digits + wholeDigits, out);
    else
        *out++ = '0';
    if (decimals > 0) {
        *out++ = '.';
        out = std::fill_n(out, size_t(decimals) - (count - wholeDigits), '0');
        out = std::copy(digits + wholeDigits, digits + count, out);
    }
    return out;
}

inline char* PutFixed(char* out, double value, int decimals) {
    // A whole number (every coordinate of the table) has only zeros after the full stop.
    if (!(value > -1e9 && value < 1e9 && value == double(int(value)))) {
        // So has a number of whole tenths (the ends of a column line, half a line width off a row's
        // bounds) after its one decimal.
        const double tenths = value * 10;
        if (decimals != 1 || !(tenths > -1e9 && tenths < 1e9 && tenths == double(int(tenths))))
            return PutAnyFixed(out, value, decimals);
        const int units = int(tenths);
        if (units < 0)
            *out++ = '-';
        const int magnitude = units < 0 ? -units : units;
        out = PutInt(out, magnitude / 10);
        *out++ = '.';
        *out++ = char('0' + magnitude % 10);
        return out;
    }
    out = PutInt(out, int(value));
    if (decimals > 0) {
        *out++ = '.';
        for (int i = 0; i < decimals; ++i)
            *out++ = '0';
    }
    return out;
}

void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[kNumberRoom];
    out.append(buffer, size_t(PutFixed(buffer, value, decimals) - buffer));
}

void AppendInt(std::string& out, int value) {
    char buffer[kNumberRoom];
    // The pointer pair form of append would build a temporary text.
    out.append(buffer, size_t(PutInt(buffer, value) - buffer));
}

// Bytes of a string operand that are written as they are: no control byte, no parenthesis, no backslash.
constexpr std::array<bool, 256> kPlainOperandBytes = [] {
    std::array<bool, 256> plain{};
    for (int byte = 0x20; byte < 256; ++byte)
        plain[size_t(byte)] = byte != '(' && byte != ')' && byte != '\\';
    return plain;
}();

// Whether all the bytes are written as they are. Eight bytes are tested at a time: a byte below 0x20, or
// one that is 0x28, 0x29 (the parentheses, which differ in the lowest bit only) or 0x5C, makes the word
// fail; the tests tell exactly whether such a byte is there, not which.
bool PlainOperand(std::string_view bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
    const auto hasZeroByte = [](std::uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; };
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        const bool control = ((word - kOnes * 0x20) & ~word & kHighBits) != 0;
        if (control || hasZeroByte((word ^ (kOnes * 0x28)) & ~kOnes) || hasZeroByte(word ^ (kOnes * 0x5C)))
            return false;
    }
    for (; i < bytes.size(); ++i)
        if (!kPlainOperandBytes[static_cast<unsigned char>(bytes[i])])
            return false;
    return true;
}

// Puts the bytes as the contents of a string operand, in at most four times their length. Backslashes and
// parentheses are escaped so that none can end the operand early; control bytes are written as octal
// escapes, so a line break in a value cannot become the file's end of line.
char* PutOperandBytes(char* out, std::string_view bytes) {
    // Most texts need no escape: they are copied as they are once that is known.
    if (PlainOperand(bytes))
        return PutText(out, bytes);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (kPlainOperandBytes[byte]) {
            *out++ = c;
            continue;
        }
        *out++ = '\\';
        if (byte < 0x20) {
            *out++ = char('0' + (byte >> 6));
            *out++ = char('0' + ((byte >> 3) & 7));
            *out++ = char('0' + (byte & 7));
        } else {
            *out++ = c;
        }
    }
    return out;
}

// The ellipsis that ends a cut text, as UTF-8 and in an encoding: the character where the encoding has
// it, three full stops where not.
struct TPDFEllipsis {
    const char* Utf8;
    std::string Bytes;
};

const TPDFEllipsis& PDFEllipsis(TPDFFontEncoding encoding) {
    static const std::array<TPDFEllipsis, 4> ellipses = [] {
        std::array<TPDFEllipsis, 4> all;
        for (size_t e = 0; e < all.size(); ++e) {
            const TSingleByteCharset& charset = PDFEncodingCharset(TPDFFontEncoding(e));
            all[e].Utf8 = charset.ByteOf(U'\u2026') >= 0 ? "\u2026" : "...";
            all[e].Bytes = charset.Encode(all[e].Utf8);
        }
        return all;
    }();
    const auto index = size_t(encoding);
    return ellipses[index < ellipses.size() ? index : 1];
}

// The font's /Encoding value. PDFDocEncoding is no font encoding that readers know by name: it is written
// as WinAnsiEncoding with the differences that make it PDFDocEncoding.
std::string EncodingEntry(TPDFFontEncoding encoding) {
    if (encoding != TPDFFontEncoding::poPDFDocEncoding)
        return "/" + PDFFontEncodingText(encoding);
    return "<< /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [24 /breve /caron /circumflex "
           "/dotaccent /hungarumlaut /ogonek /ring /tilde 128 /bullet /dagger /daggerdbl /ellipsis /emdash "
           "/endash /florin /fraction /guilsinglleft /guilsinglright /minus /perthousand /quotedblbase "
           "/quotedblleft /quotedblright /quoteleft /quoteright /quotesinglbase /trademark /fi /fl /Lslash "
           "/OE "
           "/Scaron /Ydieresis /Zcaron /dotlessi /lslash /oe /scaron /zcaron 160 /Euro] >>";
}

} // namespace

const std::string& PDFFontNameText(TPDFFontName font) {
    static const std::string names[] = {
        "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
        "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
        "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
        "Symbol",      "ZapfDingbats"};
    return names[int(font)];
}

std::string PDFFontEncodingText(TPDFFontEncoding encoding) {
    static const char* const names[] = {"StandardEncoding", "WinAnsiEncoding", "MacRomanEncoding",
                                        "PDFDocEncoding"};
    return names[int(encoding)];
}

const TSingleByteCharset& PDFEncodingCharset(TPDFFontEncoding encoding) {
    // Looked up for every cell: the four sets are found once, in the order of the encodings.
    static const TSingleByteCharset* const sets[] = {&PDFStandardEncodingCharset(), CodePageCharset(1252),
                                                     CodePageCharset(10000), &PDFDocEncodingCharset()};
    const auto index = size_t(encoding);
    return *sets[index < std::size(sets) ? index : 1];
}

const TPDFWidthTable& PDFEncodedWidths(TPDFFontName font, TPDFFontEncoding encoding) {
    constexpr int kFonts = int(TPDFFontName::poZapfDingbats) + 1;
    constexpr int kEncodings = int(TPDFFontEncoding::poPDFDocEncoding) + 1;
    // The metrics are by Windows-1252 code: a code of another encoding takes the width of the code that
    // gives the same character there, or that of the space when Windows-1252 lacks it.
    static const std::vector<TPDFWidthTable> tables = [] {
        std::vector<TPDFWidthTable> all;
        const TSingleByteCharset& winAnsi = *CodePageCharset(1252);
        for (int f = 0; f < kFonts; ++f) {
            const TPDFWidthTable& own = PDFFontWidths(TPDFFontName(f));
            for (int e = 0; e < kEncodings; ++e) {
                const TSingleByteCharset& charset = PDFEncodingCharset(TPDFFontEncoding(e));
                TPDFWidthTable table = own;
                const bool symbolic = TPDFFontName(f) == TPDFFontName::poSymbol ||
                                      TPDFFontName(f) == TPDFFontName::poZapfDingbats;
                if (!symbolic && TPDFFontEncoding(e) != TPDFFontEncoding::poWinAnsiEncoding)
                    for (int code = 0; code < 256; ++code) {
                        const char32_t ch = charset.ToUnicode(static_cast<unsigned char>(code));
                        const int winCode = ch != 0 ? winAnsi.ByteOf(ch) : -1;
                        table[size_t(code)] = own[size_t(winCode >= 0 ? winCode : ' ')];
                    }
                all.push_back(table);
            }
        }
        return all;
    }();
    return tables[size_t(int(font) * kEncodings + int(encoding))];
}

int TPDFTextWidth(const std::string& text, int size, TPDFFontName font, TPDFFontEncoding encoding) {
    const TPDFWidthTable& widths = PDFEncodedWidths(font, encoding);
    std::int64_t sum = 0;
    PDFEncodingCharset(encoding).ForEachByte(
        text, '?', [&](char code, size_t, size_t) { sum += widths[static_cast<unsigned char>(code)]; });
    return int(sum * size / 1000);
}

std::string PDFFitText(const std::string& text, int width, const TPDFFont& font, int* fittedWidth) {
    std::string fitted = text;
    PDFFitTextInPlace(fitted, width, font, fittedWidth);
    return fitted;
}

void PDFFitTextInPlace(std::string& text, int width, const TPDFFont& font, int* fittedWidth) {
    const TSingleByteCharset& charset = PDFEncodingCharset(font.FontEncoding);
    const TPDFWidthTable& widths = PDFEncodedWidths(font.BaseFont, font.FontEncoding);
    const std::int64_t limit = std::int64_t(width) * 1000; // in thousandths of a point per size unit
    const std::int64_t size = std::max(font.FontSize, 1);
    std::int64_t sum = 0;
    charset.ForEachByte(text, '?',
                        [&](char code, size_t, size_t) { sum += widths[static_cast<unsigned char>(code)]; });
    if (sum * size <= limit) {
        if (fittedWidth)
            *fittedWidth = int(sum * font.FontSize / 1000);
        return;
    }
    const char* const ellipsis = PDFEllipsis(font.FontEncoding).Utf8;
    const std::int64_t ellipsisWidth = TPDFTextWidth(ellipsis, 1000, font.BaseFont, font.FontEncoding);
    std::int64_t room = limit - ellipsisWidth * size;
    if (room < 0) {
        if (fittedWidth)
            *fittedWidth = 0;
        text.clear();
        return;
    }
    // Characters are taken while they fit; each is one byte of the encoded text, so what is taken is a
    // start of the text.
    size_t taken = 0;
    std::int64_t takenWidth = 0;
    bool full = false, malformed = false;
    charset.ForEachByte(text, '?', [&](char code, size_t start, size_t length) {
        const std::int64_t glyph = std::int64_t(widths[static_cast<unsigned char>(code)]) * size;
        if (full || glyph > room) {
            full = true;
            return;
        }
        room -= glyph;
        takenWidth += widths[static_cast<unsigned char>(code)];
        malformed = malformed || (length == 1 && static_cast<unsigned char>(text[start]) >= 0x80);
        taken = start + length;
    });
    text.resize(taken);
    text += ellipsis;
    if (!fittedWidth)
        return;
    // The widths taken are those of the result, unless a malformed byte could read otherwise beside the
    // ellipsis: then the result is measured again.
    *fittedWidth = malformed ? TPDFTextWidth(text, font.FontSize, font.BaseFont, font.FontEncoding)
                             : int((takenWidth + ellipsisWidth) * font.FontSize / 1000);
}

TPDFTextFitter::TPDFTextFitter(const TPDFFont& font)
    : font_(font), charset_(&PDFEncodingCharset(font.FontEncoding)),
      widths_(&PDFEncodedWidths(font.BaseFont, font.FontEncoding)),
      ellipsis_(PDFEllipsis(font.FontEncoding).Bytes) {
    for (const char code : ellipsis_)
        ellipsisWidth_ += (*widths_)[static_cast<unsigned char>(code)];
    for (const int width : *widths_)
        maxWidth_ = std::max(maxWidth_, width);
    ellipsisPlain_ = ellipsis_.size() <= ellipsisRoom_.size() && PlainOperand(ellipsis_);
    std::copy_n(ellipsis_.begin(), std::min(ellipsis_.size(), ellipsisRoom_.size()), ellipsisRoom_.begin());
    // A text of plain ASCII is measured two bytes at a time.
    if (charset_->AsciiAsItIs()) {
        std::array<std::uint16_t, 0x80> single{}; // the zero byte stays without width
        for (size_t byte = 1; byte < single.size(); ++byte)
            single[byte] = std::uint16_t((*widths_)[byte]);
        asciiPairWidths_.resize(size_t(0x80) << 8);
        std::uint16_t* row = asciiPairWidths_.data();
        for (const std::uint16_t second : single) {
            for (size_t first = 0; first < single.size(); ++first)
                row[first] = std::uint16_t(single[first] + second);
            row += 0x100;
        }
    }
}

TPDFFittedText TPDFTextFitter::Fit(std::string_view text, int width) {
    const TPDFWidthTable& widths = *widths_;
    const std::int64_t limit = std::int64_t(width) * 1000; // in thousandths of a point per size unit
    const std::int64_t size = std::max(font_.FontSize, 1);
    // Every character gives one byte, so the encoded text is at most as long as the text (and a cut one
    // at most as long as the text and the ellipsis).
    if (bytes_.size() < text.size() + ellipsis_.size())
        bytes_.resize(text.size() + ellipsis_.size());
    char* const encoded = bytes_.data();
    // The ASCII start of the text as it is (in locals of its own, which no byte written can alias).
    size_t ascii = 0;
    std::int64_t asciiWidth = 0;
    if (charset_->AsciiAsItIs()) {
        const char* const source = text.data();
        const size_t length = text.size();
        for (; ascii + 8 <= length; ascii += 8) { // eight bytes at a time while none has its high bit
            std::uint64_t word = 0;
            std::memcpy(&word, source + ascii, 8);
            if ((word & 0x8080808080808080) != 0)
                break;
            std::memcpy(encoded + ascii, &word, 8);
            for (size_t i = ascii; i < ascii + 8; ++i)
                asciiWidth += widths[static_cast<unsigned char>(source[i])];
        }
        for (; ascii < length && (source[ascii] & 0x80) == 0; ++ascii) {
            encoded[ascii] = source[ascii];
            asciiWidth += widths[static_cast<unsigned char>(source[ascii])];
        }
    }
    size_t count = ascii;
    std::int64_t sum = asciiWidth;
    if (count < text.size())
        charset_->ForEachByte(text.substr(ascii), '?', [&](char code, size_t, size_t) {
            encoded[count++] = code;
            sum += widths[static_cast<unsigned char>(code)];
        });
    if (sum * size <= limit)
        return {std::string_view(encoded, count), int(sum * font_.FontSize / 1000)};
    // A cut text is a start of the text and the ellipsis. Its bytes are those of the characters taken:
    // the ellipsis begins with a lead byte or a full stop, neither of which continues a sequence, so even
    // a malformed byte before it reads as it did in the whole text.
    std::int64_t room = limit - ellipsisWidth_ * size;
    if (room < 0)
        return {std::string_view(), 0};
    // Characters are taken while they fit.
    size_t taken = 0;
    std::int64_t takenWidth = 0;
    for (; taken < count; ++taken) {
        const int glyph = widths[static_cast<unsigned char>(encoded[taken])];
        if (glyph * size > room)
            break;
        room -= glyph * size;
        takenWidth += glyph;
    }
    std::copy(ellipsis_.begin(), ellipsis_.end(), encoded + taken);
    return {std::string_view(encoded, taken + ellipsis_.size()),
            int((takenWidth + ellipsisWidth_) * font_.FontSize / 1000)};
}

int TPDFCharsWidth(int size, double chars) {
    return Trunc(size * chars * 123990 / 256 / 1000);
}

// ---------------------------------------------------------------------------------------------------
// TPDFDocument

TPDFDocument::TPDFDocument(std::ostream& stream) : stream_(stream), font_("") {}

TPDFDocument::~TPDFDocument() {
    Flush();
}

void TPDFDocument::Write(std::string_view text) {
    Commit(PutText(Room(text.size()), text));
}

char* TPDFDocument::Grow(size_t count) {
    buffer_.resize(std::max({buffer_.size() * 2, used_ + count, kFlushAt + 4096}));
    return buffer_.data() + used_;
}

void TPDFDocument::Flush() {
    stream_.write(buffer_.data(), std::streamsize(used_));
    flushed_ += std::int64_t(used_);
    used_ = 0;
}

int TPDFDocument::NewObject() {
    offsets_.push_back(Size());
    return ObjNumber();
}

std::string TPDFDocument::ColorOperands(TExportColor color) {
    std::string out;
    AppendFixed(out, double(color & 0xFF) / 255, 2);
    out += ' ';
    AppendFixed(out, double((color >> 8) & 0xFF) / 255, 2);
    out += ' ';
    AppendFixed(out, double((color >> 16) & 0xFF) / 255, 2);
    return out;
}

void TPDFDocument::BeginDoc() {
    pages_.clear();
    offsets_.clear();
    fonts_.clear();
    streamOpen_ = false;
    LineWidth = 1.0;
    LineSpacing = 1.0;
    lineColor_ = 0;
    fillColor_ = 0;
    Write("%PDF-1.3\r");
}

void TPDFDocument::NewPage() {
    EndPage();
    const int n = NewObject();
    std::string reference;
    AppendInt(reference, n);
    reference += " 0 R";
    pages_.push_back(reference);
    // The stream keyword ends with CR LF: a CR alone would make the data's first byte ambiguous.
    char* out = Room(2 * kNumberRoom + 48);
    out = PutText(PutInt(out, n), " 0 obj\r<< /Length ");
    Commit(PutText(PutInt(out, n + 1), " 0 R >>\rstream\r\n"));
    dataStart_ = Size();
    streamOpen_ = true;
    // A new content stream starts in the default graphics state.
    lineColor_ = 0;
    fillColor_ = 0;
}

void TPDFDocument::EndPage() {
    if (!streamOpen_)
        return;
    const std::int64_t length = Size() - dataStart_;
    Write("endstream\rendobj\r");
    const int n = NewObject();
    char* out = Room(2 * kNumberRoom + 32);
    out = PutText(PutInt(out, n), " 0 obj\r");
    Commit(PutText(PutAnyInt64(out, length), " \rendobj\r"));
    streamOpen_ = false;
}

void TPDFDocument::AddFont(const TPDFFont& font) {
    for (const TPDFFont& f : fonts_)
        if (f.ResourceName == font.ResourceName)
            throw EExportError(rtl::Format("Font %s already exists", {font.ResourceName}));
    fonts_.push_back(font);
}

void TPDFDocument::SetFont(const TPDFFont& font) {
    // The data font is set again for every row: mostly it is the current one already.
    if (font.FontSize == font_.FontSize && font.BaseFont == font_.BaseFont &&
        font.FontEncoding == font_.FontEncoding && font.FontColor == font_.FontColor &&
        font.ResourceName == font_.ResourceName)
        return;
    if (font.ResourceName != font_.ResourceName || font.FontSize != font_.FontSize)
        fontOperatorBuilt_ = false;
    font_.Assign(font);
}

void TPDFDocument::TextOut(int x, int y, TExportColor color, const std::string& text) {
    PDFEncodingCharset(font_.FontEncoding).EncodeInto(bytes_, text);
    TextOutEncoded(x, y, color, bytes_);
}

void TPDFDocument::PrepareTextOperators(int y) {
    // The font operator is the same from cell to cell: it is built again only after the font changed.
    if (!fontOperatorBuilt_) {
        fontOperatorBuilt_ = true;
        fontOperator_.assign("BT\r/");
        fontOperator_ += font_.ResourceName;
        fontOperator_ += ' ';
        AppendInt(fontOperator_, font_.FontSize);
        fontOperator_ += " Tf\r";
        fontOperatorRoom_.fill(0);
        if (fontOperator_.size() <= kFontOperatorRoom)
            std::copy(fontOperator_.begin(), fontOperator_.end(), fontOperatorRoom_.begin());
    }
    // The cells of a row share their y: " y Td (" is put together once for them.
    if (yOperandsLength_ == 0 || yOperandsFor_ != y) {
        yOperandsFor_ = y;
        char* const start = yOperands_.data();
        char* end = start;
        *end++ = ' ';
        end = PutText(PutInt(end, y), " Td (");
        yOperandsLength_ = size_t(end - start);
    }
}

void TPDFDocument::TextOutEncoded(int x, int y, TExportColor color, std::string_view bytes) {
    PrepareTextOperators(y);
    const TExportColor previous = fillColor_;
    const bool recolor = color != fillColor_;
    if (recolor)
        SetFillColor(color);
    constexpr std::string_view kEnd = ") Tj\rET\r";
    char* out = Room(fontOperator_.size() + kNumberRoom + yOperands_.size() + 4 * bytes.size() + kEnd.size());
    out = PutInt(PutText(out, fontOperator_), x);
    std::memcpy(out, yOperands_.data(), yOperands_.size()); // all of it: the room holds it
    out = PutOperandBytes(out + yOperandsLength_, bytes);
    Commit(PutText(out, kEnd));
    if (recolor)
        SetFillColor(previous);
}

void TPDFDocument::GeneralCellOut(TPDFTextFitter& fitter, int left, int room, TExportColAlign align, int y,
                                  TExportColor color, std::string_view text) {
    const TPDFFittedText fitted = fitter.Fit(text, room);
    TextOutEncoded(PDFAlignedX(left, room, fitted.Width, align), y, color, fitted.Bytes);
}

namespace {

// Whether the eight bytes of a word are all plain ASCII (as PlainOperand tests them, and no high bit).
// For a byte below 0x80 each sum below stays within the byte and sets its high bit exactly when the byte
// passes one test: it is at least 0x20; it is no parenthesis (0x28 and 0x29 differ in the lowest bit
// only); it is no backslash. A byte with its high bit fails through ~word, whatever its sums carried.
inline bool PlainAsciiWord(std::uint64_t word) {
#if defined(__SSE2__)
    // The same with byte compares: a byte below 0x20 or with its high bit is below 0x20 as a signed byte.
    const __m128i bytes = _mm_cvtsi64_si128(std::int64_t(word));
    const __m128i fails = _mm_or_si128(
        _mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                     _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(char(0xFE))), _mm_set1_epi8(0x28))),
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x5C)));
    return (_mm_movemask_epi8(fails) & 0xFF) == 0;
#else
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
    const std::uint64_t notControl = word + kOnes * 0x60;
    const std::uint64_t notParenthesis = ((word ^ (kOnes * 0x28)) & ~kOnes) + kOnes * 0x7F;
    const std::uint64_t notBackslash = (word ^ (kOnes * 0x5C)) + kOnes * 0x7F;
    return (notControl & notParenthesis & notBackslash & ~word & kHighBits) == kHighBits;
#endif
}

// The bytes of a text shorter than eight in the low bytes of a word, zeros above them: read in two
// overlapping halves, or as the first, middle and last byte.
inline std::uint64_t GatherShortText(const char* text, size_t length) {
    if (length >= 4) {
        std::uint32_t low = 0, high = 0;
        std::memcpy(&low, text, 4);
        std::memcpy(&high, text + length - 4, 4);
        return std::uint64_t(low) | (std::uint64_t(high) << (8 * (length - 4)));
    }
    if (length == 0)
        return 0;
    const auto byte = [text](size_t at) { return std::uint64_t(static_cast<unsigned char>(text[at])); };
    return byte(0) | (byte(length / 2) << (8 * (length / 2))) | (byte(length - 1) << (8 * (length - 1)));
}

int DigitCount(int value) {
    if (value >= 0 && value < 1000)
        return kSmallNumbers[size_t(value)][0];
    char digits[kNumberRoom];
    return int(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
}

// Puts the count digits (and sign) of value, and nothing beyond them.
void PutIntExactly(char* out, int value, int count) {
    if (value >= 0 && value < 1000) {
        const auto& entry = kSmallNumbers[size_t(value)];
        out[0] = entry[1];
        if (count > 1)
            out[1] = entry[2];
        if (count > 2)
            out[2] = entry[3];
        return;
    }
    char digits[kNumberRoom];
    std::to_chars(digits, digits + sizeof digits, value);
    std::copy_n(digits, count, out);
}

} // namespace

TPDFCellPlace::TPDFCellPlace(const TPDFTextFitter& fitter, int left, int room, TExportColAlign align)
    : Left(left), Room(room), Align(align), Limit(std::int64_t(room) * 1000), LeftDigits(DigitCount(left)) {
    PutIntExactly(LeftText.data(), left, LeftDigits);
    // A text that fits were each character the widest need not be measured (each character takes at
    // least one byte), unless its place depends on its width.
    const std::int64_t widest = std::int64_t(fitter.MaxWidth()) * std::max(fitter.Font().FontSize, 1);
    if (align != TExportColAlign::ecaLeft || Limit < 0)
        UnmeasuredLength = -1;
    else
        UnmeasuredLength = widest > 0 ? Limit / widest : std::numeric_limits<std::int64_t>::max();
}

[[gnu::always_inline]] inline char* TPDFDocument::PutPlainCell(char* const out, const TPDFTextFitter& fitter,
                                                               const TPDFCellPlace& place,
                                                               std::string_view text) const {
    const size_t length = text.size();
    if (length > (size_t(1) << 20))
        return nullptr;
    const TPDFWidthTable& widths = fitter.Widths();
    const std::uint16_t* const pairWidths = fitter.AsciiPairWidths();
    const std::int64_t limit = place.Limit;
    const std::int64_t size = std::max(fitter.Font().FontSize, 1);
    const bool measure = std::int64_t(length) > place.UnmeasuredLength;
    // The operator is put together with the digits of left standing for those of x, which are known once
    // the text is measured; the pieces of fixed rooms are copied whole, the next piece overwriting the
    // rest.
    const int guessedDigits = place.LeftDigits;
    const std::string_view ellipsis = fitter.Ellipsis();
    std::memcpy(out, fontOperatorRoom_.data(), kFontOperatorRoom);
    char* const xAt = out + fontOperator_.size();
    std::memcpy(xAt, place.LeftText.data(), place.LeftText.size()); // the y operands overwrite what is over
    std::memcpy(xAt + guessedDigits, yOperands_.data(), yOperands_.size());
    char* const textAt = xAt + guessedDigits + yOperandsLength_;
    // The text is encoded straight into place: eight bytes at a time while they are plain ASCII (the
    // last bytes of a longer text in a word that overlaps the one before, those of a shorter one gathered
    // into a word), then character by character as TSingleByteCharset::ForEachByte encodes; a byte that
    // would need an escape leaves the text to the general way.
    const char* const source = text.data();
    std::int64_t sum = 0;
    size_t pos = 0;
    const auto addWidths = [pairWidths, &sum](std::uint64_t word) { // of its ASCII bytes but zero bytes
        sum += pairWidths[word & 0xFFFF] + pairWidths[(word >> 16) & 0xFFFF] +
               pairWidths[(word >> 32) & 0xFFFF] + pairWidths[word >> 48];
    };
    for (; pos + 8 <= length; pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, source + pos, 8);
        if (!PlainAsciiWord(word))
            break;
        std::memcpy(textAt + pos, &word, 8);
        if (measure)
            addWidths(word);
    }
    if (pos < length && pos + 8 > length) {
        const size_t rest = length - pos;
        std::uint64_t word = 0;
        if (length >= 8) {
            std::memcpy(&word, source + length - 8, 8);
            if (PlainAsciiWord(word)) {
                std::memcpy(textAt + length - 8, &word, 8);
                addWidths(word >> (8 * (8 - rest)));
                pos = length;
            }
        } else {
            word = GatherShortText(source, length);
            // Above the text the word holds zeros, which are tested as plain letters.
            if (PlainAsciiWord(word | (0x4141414141414141 << (8 * length)))) {
                std::memcpy(textAt, &word, 8); // what follows the text is overwritten later
                addWidths(word);
                pos = length;
            }
        }
    }
    size_t count = pos;
    if (pos < length) {
        const TSingleByteCharset& charset = fitter.Charset();
        while (pos < length) {
            auto byte = static_cast<unsigned char>(source[pos]);
            if (byte < 0x80) {
                ++pos;
            } else {
                // A character of two bytes (Latin letters with accents mostly) is read here, without the
                // checks the longer ones need.
                char32_t ch = 0;
                const auto next = pos + 1 < length ? static_cast<unsigned char>(source[pos + 1]) : 0u;
                int sequence = 2;
                if (byte >= 0xC2 && byte < 0xE0 && (next & 0xC0) == 0x80)
                    ch = (char32_t(byte & 0x1F) << 6) | (next & 0x3F);
                else
                    sequence = ExportDecodeUtf8(text, pos, ch);
                if (sequence == 0) {
                    byte = '?';
                    ++pos;
                } else {
                    const int code = charset.ByteOf(ch);
                    byte = static_cast<unsigned char>(code >= 0 ? code : '?');
                    pos += size_t(sequence);
                }
            }
            if (!kPlainOperandBytes[byte])
                return nullptr;
            textAt[count++] = char(byte);
            sum += widths[byte];
        }
    }
    char* end = textAt + count;
    if (measure) {
        int width = 0;
        if (sum * size > limit) {
            // Cut: the characters that fit beside the ellipsis, then the ellipsis (as TPDFTextFitter::Fit).
            const std::int64_t cutRoom = limit - fitter.EllipsisWidth() * size;
            if (cutRoom < 0) {
                count = 0;
            } else {
                // Characters are taken while the width taken times the size stays within the room.
                const std::int64_t most = cutRoom / size;
                size_t taken = 0;
                std::int64_t takenWidth = 0;
                for (; taken + 8 <= count; taken += 8) { // eight ASCII bytes at a time while all fit
                    std::uint64_t word = 0;
                    std::memcpy(&word, textAt + taken, 8);
                    if ((word & 0x8080808080808080) != 0)
                        break;
                    const std::int64_t wordWidth = pairWidths[word & 0xFFFF] +
                                                   pairWidths[(word >> 16) & 0xFFFF] +
                                                   pairWidths[(word >> 32) & 0xFFFF] + pairWidths[word >> 48];
                    if (takenWidth + wordWidth > most)
                        break;
                    takenWidth += wordWidth;
                }
                for (; taken + 2 <= count; taken += 2) { // then two at a time while both fit
                    std::uint16_t pair = 0;
                    std::memcpy(&pair, textAt + taken, 2);
                    if ((pair & 0x8080) != 0 || takenWidth + pairWidths[pair] > most)
                        break;
                    takenWidth += pairWidths[pair];
                }
                for (; taken < count; ++taken) {
                    const std::int64_t next = takenWidth + widths[static_cast<unsigned char>(textAt[taken])];
                    if (next > most)
                        break;
                    takenWidth = next;
                }
                if (!fitter.EllipsisIsPlain())
                    return nullptr;
                std::memcpy(textAt + taken, fitter.EllipsisRoom().data(), fitter.EllipsisRoom().size());
                count = taken + ellipsis.size();
                width = int((takenWidth + fitter.EllipsisWidth()) * fitter.Font().FontSize / 1000);
            }
            end = textAt + count;
        } else {
            width = int(sum * fitter.Font().FontSize / 1000);
        }
        // Left's digits are in place already.
        const int x = PDFAlignedX(place.Left, place.Room, width, place.Align);
        if (x != place.Left) {
            const int digits = DigitCount(x);
            if (digits != guessedDigits) {
                std::memmove(xAt + digits, xAt + guessedDigits, size_t(end - (xAt + guessedDigits)));
                end += digits - guessedDigits;
            }
            PutIntExactly(xAt, x, digits);
        }
    }
    std::memcpy(end, kPlainCellEnd.data(), kPlainCellEnd.size());
    return end + kPlainCellEnd.size();
}

bool TPDFDocument::PlainCellOut(const TPDFTextFitter& fitter, const TPDFCellPlace& place,
                                std::string_view text) {
    if (!PlainCellsPossible(fitter))
        return false;
    char* const end = PutPlainCell(Room(PlainCellRoom(fitter, text)), fitter, place, text);
    if (end == nullptr)
        return false;
    Commit(end);
    return true;
}

void TPDFDocument::RowCellsOut(TPDFTextFitter& fitter, const TPDFCellPlace* places,
                               const std::string_view* texts, size_t count, int y, TExportColor color) {
    if (!fontOperatorBuilt_ || yOperandsLength_ == 0 || yOperandsFor_ != y)
        PrepareTextOperators(y);
    const bool plain = color == fillColor_ && PlainCellsPossible(fitter);
    size_t i = 0;
    while (i < count) {
        if (plain) {
            // The cells from i on are put in one room large enough for all of them, until one needs the
            // general way.
            size_t room = 0;
            for (size_t j = i; j < count; ++j)
                room += PlainCellRoom(fitter, texts[j]);
            char* out = Room(room);
            for (; i < count; ++i) {
                char* const end = PutPlainCell(out, fitter, places[i], texts[i]);
                if (end == nullptr)
                    break;
                out = end;
            }
            Commit(out);
            if (i == count)
                return;
        }
        const TPDFCellPlace& place = places[i];
        GeneralCellOut(fitter, place.Left, place.Room, place.Align, y, color, texts[i]);
        ++i;
    }
}

void TPDFDocument::PutHorizontalLine(double x1, double x2, double y) {
    THorizontalLine& line = horizontal_;
    if (!line.Built || line.X1 != x1 || line.X2 != x2 || line.Width != LineWidth) {
        line = THorizontalLine{true, x1, x2, LineWidth};
        char* const head = line.Head.data();
        line.HeadLength = size_t(PutText(PutFixed(head, x1, 1), " ") - head);
        char* const middle = line.Middle.data();
        line.MiddleLength = size_t(PutText(PutFixed(PutText(middle, " m \r"), x2, 1), " ") - middle);
        char* const tail = line.Tail.data();
        line.TailLength = size_t(PutText(PutFixed(PutText(tail, " l \r"), LineWidth, 1), " w \rS\r") - tail);
    }
    char number[kNumberRoom];
    PutBuiltHorizontalLine(number, size_t(PutFixed(number, y, 1) - number));
}

void TPDFDocument::PutBuiltHorizontalLine(const char* number, size_t numberLength) {
    const THorizontalLine& line = horizontal_;
    char* out = Room(3 * line.Head.size() + 2 * kNumberRoom);
    std::memcpy(out, line.Head.data(), line.Head.size());
    out += line.HeadLength;
    std::memcpy(out, number, kNumberRoom);
    out += numberLength;
    std::memcpy(out, line.Middle.data(), line.Middle.size());
    out += line.MiddleLength;
    std::memcpy(out, number, kNumberRoom);
    out += numberLength;
    std::memcpy(out, line.Tail.data(), line.Tail.size());
    Commit(out + line.TailLength);
}

void TPDFDocument::HorizontalLine(int x1, int x2, int y, TExportColor color) {
    const THorizontalLine& line = horizontal_;
    // A grid line mostly has the colour, ends and width of the one before, and y of up to three digits: its
    // y goes between the pieces built for the line before.
    if (color != lineColor_ || y < 0 || y >= 1000 || !line.Built || line.X1 != x1 || line.X2 != x2 ||
        line.Width != LineWidth) {
        Line(x1, y, x2, y, color);
        return;
    }
    const auto& digits = kSmallNumbers[size_t(y)];
    char number[kNumberRoom];
    std::memcpy(number, digits.data() + 1, 3);
    const size_t count = size_t(digits[0]);
    number[count] = '.';
    number[count + 1] = '0';
    PutBuiltHorizontalLine(number, count + 2);
}

void TPDFDocument::Line(double x1, double y1, double x2, double y2, TExportColor color) {
    const TExportColor previous = lineColor_;
    const bool recolor = color != lineColor_;
    if (recolor)
        SetLineColor(color);
    // Numbers as large as a room holds are left to the general form.
    const auto small = [](double v) { return v > -1e6 && v < 1e6; };
    if (y1 == y2 && small(x1) && small(x2) && small(y1) && small(LineWidth)) {
        PutHorizontalLine(x1, x2, y1);
        if (recolor)
            SetLineColor(previous);
        return;
    }
    char* out = Room(5 * kNumberRoom + 32);
    out = PutText(PutFixed(out, x1, 1), " ");
    out = PutText(PutFixed(out, y1, 1), " m \r");
    out = PutText(PutFixed(out, x2, 1), " ");
    out = PutText(PutFixed(out, y2, 1), " l \r");
    Commit(PutText(PutFixed(out, LineWidth, 1), " w \rS\r"));
    if (recolor)
        SetLineColor(previous);
}

void TPDFDocument::FillRect(double x, double y, double w, double h, TExportColor color) {
    const TExportColor previous = fillColor_;
    const bool recolor = color != fillColor_;
    if (recolor)
        SetFillColor(color);
    Write(Fmt("%.1f %.1f %.1f %.1f re %s\r", {x, y, w, h, "f"}));
    if (recolor)
        SetFillColor(previous);
}

TExportColor TPDFDocument::SetLineColor(TExportColor color) {
    const TExportColor previous = lineColor_;
    lineColor_ = color;
    Write(ColorOperands(color) + " RG\r");
    return previous;
}

TExportColor TPDFDocument::SetFillColor(TExportColor color) {
    const TExportColor previous = fillColor_;
    fillColor_ = color;
    Write(ColorOperands(color) + " rg\r");
    return previous;
}

void TPDFDocument::EndDoc() {
    EndPage();

    const int outlines = NewObject();
    Write(Fmt("%d 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r", {outlines}));

    std::vector<int> fontObjects;
    for (const TPDFFont& font : fonts_) {
        std::string widths;
        for (int w : PDFEncodedWidths(font.BaseFont, font.FontEncoding))
            widths += std::to_string(w) + " ";
        const int n = NewObject();
        fontObjects.push_back(n);
        Write(Fmt("%d 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /%s\r/BaseFont /%s\r/Encoding %s\r"
                  "/FirstChar 0\r/LastChar 255\r/Widths [%s]\r>>\rendobj\r",
                  {n, font.ResourceName, PDFFontNameText(font.BaseFont), EncodingEntry(font.FontEncoding),
                   widths}));
    }

    std::string fontRefs;
    for (size_t i = 0; i < fonts_.size(); ++i)
        fontRefs += Fmt("/%s %d 0 R ", {fonts_[i].ResourceName, fontObjects[i]});
    const int resources = NewObject();
    Write(Fmt("%d 0 obj\r<< /Font <<%s >> /ProcSet [ /PDF /Text ] >>\rendobj\r", {resources, fontRefs}));

    const int pageTree = ObjNumber() + 1;
    std::string kids;
    for (int i = 1; i <= PageCount(); ++i) {
        AppendInt(kids, pageTree + i);
        kids += " 0 R ";
    }
    NewObject();
    Write(
        Fmt("%d 0 obj\r<< /Type /Pages\r/Count %d\r/Kids [%s]\r>>\rendobj\r", {pageTree, PageCount(), kids}));
    // Every page object is the same but for its number and its contents: the rest is put together once.
    const std::string pageMiddle =
        Fmt(" 0 obj\r<< /Type /Page\r/Parent %d 0 R\r/Resources %d 0 R\r/MediaBox [%d %d %d %d]\r"
            "/TrimBox [%d %d %d %d]\r/Contents ",
            {pageTree, resources, MediaBox.Left, MediaBox.Bottom, MediaBox.Right, MediaBox.Top, TrimBox.Left,
             TrimBox.Bottom, TrimBox.Right, TrimBox.Top});
    constexpr std::string_view kPageEnd = "\r>>\rendobj\r";
    for (const std::string& contents : pages_) {
        const int n = NewObject();
        char* out = Room(kNumberRoom + pageMiddle.size() + contents.size() + kPageEnd.size());
        out = PutText(PutText(PutInt(out, n), pageMiddle), contents);
        Commit(PutText(out, kPageEnd));
    }

    const int catalog = NewObject();
    Write(Fmt("%d 0 obj\r<< /Type /Catalog \r/Pages %d 0 R \r/Outlines %d 0 R \r>>\rendobj\r",
              {catalog, pageTree, outlines}));

    const std::int64_t xref = Size();
    Write(Fmt("xref\r0 %d\r0000000000 65535 f \r", {ObjNumber() + 1}));
    // An entry is the offset in ten digits, zeros in front (more digits only for an offset that needs them).
    for (const std::int64_t offset : offsets_) {
        char* out = Room(kNumberRoom + 16);
        char digits[kNumberRoom];
        const size_t count = size_t(PutAnyInt64(digits, offset) - digits);
        if (count < 10)
            out = std::fill_n(out, 10 - count, '0');
        out = std::copy(digits, digits + count, out);
        Commit(PutText(out, " 00000 n \r"));
    }
    Write(Fmt("trailer\r<< /Size %d\r/Root %d 0 R\r>>\rstartxref\r%d\r",
              {ObjNumber() + 1, catalog, static_cast<long long>(xref)}));
    Write("%%EOF");
    Flush();
}

// ---------------------------------------------------------------------------------------------------
// TExportPDFPageOptions

TExportPDFPageOptions::TExportPDFPageOptions() {
    marginLeft_ = InchesToPoints(1.18);
    marginBottom_ = InchesToPoints(0.79);
    marginRight_ = InchesToPoints(0.59);
    marginTop_ = InchesToPoints(0.79);
    SetFormat(TExportPageFormat::pfA4);
}

void TExportPDFPageOptions::SetWidth(double value) {
    width_ = UnitsToPoints(value, units_);
    SetFormat(TExportPageFormat::pfUser);
}

void TExportPDFPageOptions::SetHeight(double value) {
    height_ = UnitsToPoints(value, units_);
    SetFormat(TExportPageFormat::pfUser);
}

void TExportPDFPageOptions::SetFormat(TExportPageFormat format) {
    if (format == format_)
        return;
    format_ = format;
    if (format == TExportPageFormat::pfUser)
        return;
    width_ = InchesToPoints(PageFormatWidth(format));
    height_ = InchesToPoints(PageFormatHeight(format));
}

void TExportPDFPageOptions::SetOrientation(TExportPageOrientation orientation) {
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    std::swap(width_, height_);
    const int left = marginLeft_, right = marginRight_, top = marginTop_, bottom = marginBottom_;
    if (orientation == TExportPageOrientation::poLandscape) {
        marginLeft_ = bottom;
        marginRight_ = top;
        marginTop_ = left;
        marginBottom_ = right;
    } else {
        marginLeft_ = top;
        marginRight_ = bottom;
        marginTop_ = right;
        marginBottom_ = left;
    }
}

TPDFBox TExportPDFPageOptions::MediaBox() const {
    return {0, 0, width_ - 1, height_ - 1};
}

TPDFBox TExportPDFPageOptions::TrimBox() const {
    return {marginLeft_, marginBottom_, width_ - marginRight_ - 1, height_ - marginTop_ - 1};
}

// ---------------------------------------------------------------------------------------------------
// TPDFWriter and TExporterPDF

TPDFWriter::TPDFWriter(TExporter& owner, std::ostream& stream)
    : TExportWriter(owner, stream), document_(std::make_unique<TPDFDocument>(stream)) {}

std::unique_ptr<TExportWriter> TExporterPDF::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TPDFWriter>(*this, stream);
}

TPDFDocument& TExporterPDF::Document() {
    return static_cast<TPDFWriter&>(Writer()).Document();
}

void TExporterPDF::DrawGridLine(int y) {
    Document().HorizontalLine(xs_.front(), xs_.back(), y, Options.GridLineColor);
}

void TExporterPDF::DrawColumnLines(int top, int bottom) {
    const double half = Options.GridLineWidth / 2.0;
    for (int x : xs_)
        Document().Line(x, top + half, x, bottom - half, Options.GridLineColor);
}

void TExporterPDF::BeginExport() {
    TExporterFormatText::BeginExport();
    if (Aborted)
        return;
    TPDFDocument& doc = Document();
    const TPDFBox trim = Options.PageOptions.TrimBox();
    y_ = blockTop_ = trim.Top;
    LayoutColumns();
    doc.MediaBox = Options.PageOptions.MediaBox();
    doc.TrimBox = trim;
    doc.BeginDoc();
    doc.NewPage();
    doc.LineWidth = Options.GridLineWidth;
    doc.LineSpacing = Options.RowSpacing;
    doc.SetLineColor(Options.GridLineColor);
    WriteHeader();
    doc.AddFont(Options.DataFont);
    doc.AddFont(Options.CaptionFont);
    doc.AddFont(Options.HeaderFont);
    doc.AddFont(Options.FooterFont);
}

void TExporterPDF::LayoutColumns() {
    const TPDFBox trim = Options.PageOptions.TrimBox();
    captionFont_ = Options.CaptionFont;
    dataFont_ = Options.DataFont;
    std::vector<int> widths;
    std::int64_t total = 0;
    for (int i = 0; i < Columns.Count(); ++i) {
        widths.push_back(TPDFCharsWidth(dataFont_.FontSize, Columns[i].Width + Options.ColSpacing));
        total += widths.back();
    }
    const int printable = std::max(trim.Right - trim.Left, 1);
    const double scale = total > printable ? double(printable) / double(total) : 1.0;
    if (scale < 1.0) {
        captionFont_.FontSize = std::max(1, Trunc(captionFont_.FontSize * scale));
        dataFont_.FontSize = std::max(1, Trunc(dataFont_.FontSize * scale));
    }
    dataFitter_ = TPDFTextFitter(dataFont_);
    dataIndent_ = TPDFCharsWidth(dataFont_.FontSize, Options.ColSpacing / 2);
    xs_.assign(1, trim.Left);
    std::int64_t sum = 0;
    for (int width : widths) {
        sum += width;
        xs_.push_back(trim.Left + Trunc(double(sum) * scale));
    }
    LayoutDataPlaces();
}

inline void TExporterPDF::CellOut(TPDFDocument& doc, int column, TExportColAlign align,
                                  TPDFTextFitter& fitter, int indent, TExportColor color,
                                  std::string_view text) {
    const int left = xs_[size_t(column)] + indent;
    const int room = xs_[size_t(column) + 1] - indent - left;
    doc.CellOut(fitter, left, room, align, y_, color, text);
}

void TExporterPDF::LayoutDataPlaces() {
    dataPlaces_.clear();
    for (int i = 0; i + 1 < int(xs_.size()); ++i) {
        const int left = xs_[size_t(i)] + dataIndent_;
        const int room = xs_[size_t(i) + 1] - dataIndent_ - left;
        dataPlaces_.emplace_back(dataFitter_, left, room,
                                 i < Columns.Count() ? Columns[i].ColAlign : TExportColAlign::ecaLeft);
    }
}

void TExporterPDF::WriteTextLines(const rtl::TStringList& lines, const TPDFFont& font, bool colorsOnNewPage) {
    if (lines.Count() == 0)
        return;
    TPDFDocument& doc = Document();
    const TPDFBox trim = Options.PageOptions.TrimBox();
    const int size = font.FontSize;
    const int lineStep = Trunc((Options.RowSpacing / 2 + 1) * size);
    doc.SetFont(font);
    for (int i = 0; i < lines.Count(); ++i) {
        y_ -= lineStep;
        if (y_ < trim.Bottom) {
            doc.NewPage();
            if (colorsOnNewPage) {
                doc.SetFillColor(font.FontColor);
                doc.SetLineColor(Options.GridLineColor);
            }
            y_ = trim.Top - lineStep;
        }
        doc.TextOut(trim.Left, y_, font.FontColor, PDFFitText(lines[i], trim.Right - trim.Left, font));
    }
    y_ -= Trunc(size * Options.RowSpacing / 2);
}

void TExporterPDF::WriteHeader() {
    WriteTextLines(Header, Options.HeaderFont, true);
    blockTop_ = y_;
}

void TExporterPDF::WriteFooter() {
    WriteTextLines(Footer, Options.FooterFont, false);
}

void TExporterPDF::WriteCaptionRow() {
    TPDFDocument& doc = Document();
    const TPDFFont& font = captionFont_;
    const int size = font.FontSize;
    const int indent = TPDFCharsWidth(size, Options.ColSpacing / 2);
    TPDFTextFitter fitter(font);
    doc.SetFont(font);
    DrawGridLine(y_);
    y_ -= Trunc((Options.RowSpacing / 2 + 1) * size);
    for (int i = 0; i < Columns.Count(); ++i)
        CellOut(doc, i, TExportColAlign::ecaLeft, fitter, indent, font.FontColor, GetColCaption(i));
    y_ -= Trunc(size * Options.RowSpacing / 2);
    DrawGridLine(y_);
}

bool TExporterPDF::CellsInOnePass() const {
    return !OnGetCellParams && typeid(*this) == typeid(TExporterPDF);
}

void TExporterPDF::WriteDataRow() {
    TPDFDocument& doc = Document();
    const TPDFFont& dataFont = dataFont_;
    const int size = dataFont.FontSize;
    const double spacing = Options.RowSpacing;
    const TPDFBox trim = Options.PageOptions.TrimBox();
    doc.SetFont(dataFont);
    if (y_ - Trunc((1 + spacing) * size) < trim.Bottom) {
        DrawColumnLines(blockTop_, y_);
        y_ = blockTop_ = trim.Top;
        doc.NewPage();
        doc.SetFillColor(dataFont.FontColor);
        doc.SetLineColor(Options.GridLineColor);
        DrawGridLine(y_);
    }
    y_ -= Trunc((spacing / 2 + 1) * size);
    const int cells = std::min(ExportRow.Count(), Columns.Count());
    if (CellsInOnePass()) {
        // Every cell keeps the data font, its column's alignment and no background: the row's texts are
        // taken as the formatting leaves them (GetColData changes none) and drawn together.
        if (rowTexts_.size() < size_t(cells)) {
            rowTexts_.resize(size_t(cells));
            rowStorage_.resize(size_t(cells));
        }
        const bool escaping = bool(Columns.Escape());
        for (int i = 0; i < cells; ++i) {
            const TExportCol& cell = ExportRow.CheckedCol(i);
            std::string& storage = rowStorage_[size_t(i)];
            const TExportBareText bare = cell.GetBareText(true, storage);
            if (bare.Escapes && escaping) {
                cell.GetText(true, storage);
                rowTexts_[size_t(i)] = storage;
            } else {
                rowTexts_[size_t(i)] = bare.Text;
            }
        }
        doc.RowCellsOut(dataFitter_, dataPlaces_.data(), rowTexts_.data(), size_t(cells), y_,
                        dataFont.FontColor);
        y_ -= Trunc(size * spacing / 2);
        DrawGridLine(y_);
        return;
    }
    TExportFont& cellFont = cellFont_;
    for (int i = 0; i < cells; ++i) {
        const TExportColumn& column = Columns[i];
        std::string& text = cellText_;
        ExportRow[i].GetText(true, text);
        TExportColAlign align = column.ColAlign;
        TExportColor background = 0xFFFFFF;
        TExportColor color = dataFont.FontColor;
        if (OnGetCellParams) { // every cell starts from the data font, which the handler may change
            cellFont.Name = PDFFontNameText(dataFont.BaseFont);
            cellFont.Size = size;
            cellFont.Color = color;
            cellFont.Bold = cellFont.Italic = cellFont.Underline = cellFont.StrikeOut = false;
            DoGetCellParams(RecordCounter, i, text, align, cellFont, background);
            color = cellFont.Color;
        }

        const int left = xs_[size_t(i)];
        const int right = xs_[size_t(i) + 1];
        if (background != 0xFFFFFF)
            doc.FillRect(left, y_ - size * spacing / 2, right - left,
                         (1 + spacing) * size - Options.GridLineWidth / 2.0, background);
        const TPDFCellPlace& place = dataPlaces_[size_t(i)];
        if (align == place.Align)
            doc.CellOut(dataFitter_, place, y_, color, text);
        else
            CellOut(doc, i, align, dataFitter_, dataIndent_, color, text);
    }
    y_ -= Trunc(size * spacing / 2);
    DrawGridLine(y_);
}

void TExporterPDF::EndExport() {
    TPDFDocument& doc = Document();
    if (y_ != blockTop_)
        DrawColumnLines(blockTop_, y_);
    WriteFooter();
    doc.EndPage();
    doc.EndDoc();
    TExporterFormatText::EndExport();
}

} // namespace exporter
