#include "export/core/ExporterLaTeX.h"

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <typeinfo>

namespace exporter {

namespace {

// Code pages with an inputenc option of their own.
constexpr int kCodePages[] = {1250, 1251, 1252, 1257, 437, 850, 866};
// A data line longer than this is continued on the next line, within TeX's line buffer.
constexpr size_t kLineLength = 1000;

bool IsCyrillicCodePage(int codePage) {
    return codePage == 1251 || codePage == 866;
}

// Printable ASCII that LaTeX sets as itself wherever it stands: all but the specials, quotes, dashes and
// commas that NormalString writes otherwise.
constexpr std::array<bool, 256> kPlainLaTeXBytes = [] {
    std::array<bool, 256> table{};
    for (int i = 0x20; i < 0x7F; ++i)
        table[size_t(i)] = true;
    for (char special : std::string_view("\\~^#$%&_{}<>\"'`-,"))
        table[size_t(special)] = false;
    return table;
}();

bool IsPlainLaTeXByte(char c) {
    return kPlainLaTeXBytes[static_cast<unsigned char>(c)];
}

// Which bytes of two words may be ones that are not plain: bit i for byte i of low, bit 8 + i for byte i
// of high (ExportFoundBytes' layout). Every byte that is not plain is found; so are "]" and "|", which are
// (the caller looks at each byte found).
unsigned NotPlainBytes(std::uint64_t low, std::uint64_t high) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_set_epi64x(std::int64_t(high), std::int64_t(low));
    // first <= byte < first + count, as a signed comparison of the distance moved by 0x80
    const auto inRange = [&bytes](char first, char count) {
        const __m128i distance =
            _mm_xor_si128(_mm_sub_epi8(bytes, _mm_set1_epi8(first)), _mm_set1_epi8(-128));
        return _mm_cmplt_epi8(distance, _mm_set1_epi8(char(-128 + count)));
    };
    // Control bytes and those beyond ASCII (signed: below 0x20), '"' to '\'', ',' and '-', '<' and '>',
    // '\\' to '`', '{' to DEL.
    __m128i found = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
    found = _mm_or_si128(found, inRange(0x22, 6));
    found = _mm_or_si128(found, inRange(0x2C, 2));
    found = _mm_or_si128(found, _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x02)), _mm_set1_epi8('>')));
    found = _mm_or_si128(found, inRange(0x5C, 5));
    found = _mm_or_si128(found, inRange(0x7B, 5));
    return unsigned(_mm_movemask_epi8(found));
#else
    unsigned mask = 0;
    for (unsigned i = 0; i < 8; ++i) {
        mask |= unsigned(!IsPlainLaTeXByte(char(low >> (8 * i)))) << i;
        mask |= unsigned(!IsPlainLaTeXByte(char(high >> (8 * i)))) << (8 + i);
    }
    return mask;
#endif
}

// The runs of bytes of a text that NormalString copies as they are (outside a Cyrillic run): plain bytes,
// and a hyphen or comma that no second one follows. Sixteen bytes are looked at at once, and the bytes found
// in a block serve every run that starts in it.
class TPlainRuns {
public:
    explicit TPlainRuns(std::string_view text) : text_(text) {}

    // The end of the run that starts at pos.
    size_t End(size_t pos) {
        const size_t size = text_.size();
        while (pos < size) {
            if (pos >= blockEnd_) {
                block_ = pos;
                blockEnd_ = pos + std::min<size_t>(size - pos, 16);
                found_ = ExportBlockMask(text_, pos, NotPlainBytes);
            }
            for (unsigned mask = found_ >> (pos - block_); mask != 0; mask &= mask - 1) {
                const size_t at = pos + size_t(std::countr_zero(mask));
                const char c = text_[at];
                if (!IsPlainLaTeXByte(c) &&
                    !((c == '-' || c == ',') && (at + 1 == size || text_[at + 1] != c)))
                    return at;
            }
            pos = blockEnd_;
        }
        return size;
    }

private:
    std::string_view text_;
    size_t block_ = 0, blockEnd_ = 0; // the block looked at last
    unsigned found_ = 0;              // its bytes that may not be plain (NotPlainBytes)
};

bool IsCyrillic(char32_t ch) {
    return (ch >= 0x400 && ch <= 0x45F) || ch == 0x490 || ch == 0x491;
}

// Characters that T1 and TS1 fonts set from input (Latin-1, Latin Extended-A but for a few letters the
// T1 encoding lacks, the typographic punctuation of Windows-1252).
bool IsLatinSettable(char32_t ch) {
    if (ch >= 0xA0 && ch <= 0x17F)
        return ch != 0x126 && ch != 0x127 && ch != 0x138 && ch != 0x13F && ch != 0x140 && ch != 0x149 &&
               ch != 0x166 && ch != 0x167 && ch != 0x17F;
    switch (ch) {
    case 0x192:
    case 0x2C6:
    case 0x2DC:
    case 0x2013:
    case 0x2014:
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2020:
    case 0x2021:
    case 0x2022:
    case 0x2026:
    case 0x2030:
    case 0x2039:
    case 0x203A:
    case 0x20AC:
    case 0x2116:
    case 0x2122:
        return true;
    default:
        return false;
    }
}

// Characters whose input definitions need math mode or a font the code page files do not name: written
// as commands that work in every encoding.
const char* CommandOf(char32_t ch) {
    switch (ch) {
    case 0xAC:
        return "$\\neg$";
    case 0xB1:
        return "$\\pm$";
    case 0xB2:
        return "$^{2}$";
    case 0xB3:
        return "$^{3}$";
    case 0xB5:
        return "$\\mu$";
    case 0xB9:
        return "$^{1}$";
    case 0xD7:
        return "$\\times$";
    case 0xF7:
        return "$\\div$";
    case 0xDF:
        return "\\ss{}";
    default:
        return nullptr;
    }
}

// Whether a line may be broken before text[i]: not inside a UTF-8 character nor a control word.
bool BreakableBefore(const std::string& text, size_t i, bool inControlWord) {
    const auto byte = static_cast<unsigned char>(text[i]);
    return !inControlWord && text[i - 1] != '\\' && (byte & 0xC0) != 0x80;
}

int SystemCodePage() {
    return rtl::LocaleFacts::Current().CodePage;
}

std::string BeginEnvironment(const std::string& name, const std::string& argument = {}) {
    // A long table stands at the left margin, where a tabular would.
    return "\\begin{" + name + "}" + (name == "longtable" ? "[l]" : "") +
           (argument.empty() ? std::string() : "{" + argument + "}");
}
std::string EndEnvironment(const std::string& name) {
    return "\\end{" + name + "}";
}
std::string UsePackage(const std::string& options, const std::string& name) {
    return "\\usepackage[" + options + "]{" + name + "}";
}

// A page's text width in characters of about half an em (345 pt at 10 pt), and the room the blanks at
// either side of a column take there (2 \tabcolsep): a table wider than that gets paragraph columns.
constexpr double kLineCharacters = 68;
constexpr double kColumnPadding = 2.4;
// A column whose texts are longer than half a line is one whose texts may wrap.
constexpr double kLongText = kLineCharacters / 2;
// The lines of a paragraph cell one table row takes: well within a page, for rows never break.
constexpr size_t kPieceLines = 20;
// A word longer than this (or than half a line of its column) may break between any two characters.
constexpr size_t kUnbrokenWord = 8;
// Where a long word may break: a penalty that lets every blank come first.
constexpr std::string_view kBreakDefinition = "\\newcommand{\\CMbrk}{\\penalty5000\\relax}";
constexpr std::string_view kBreak = "\\CMbrk{}";
// The opening of a Cyrillic run (NormalString).
constexpr std::string_view kCyrillicRun = "{\\fontencoding{T2A}\\selectfont ";

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of the piece of escaped text at text[pos] that sets one character (a control word with
// its "{}", a control symbol, a formula, a UTF-8 character) or none (a group's brace).
size_t EscapedPieceLength(std::string_view text, size_t pos, bool& sets) {
    const size_t size = text.size();
    sets = true;
    switch (text[pos]) {
    case '\\': {
        size_t end = pos + 1;
        while (end < size && IsAsciiLetter(text[end]))
            ++end;
        if (end == pos + 1)
            return std::min(size - pos, size_t(2));
        if (text.substr(end, 2) == "{}")
            end += 2;
        return end - pos;
    }
    case '$': {
        const size_t end = text.find('$', pos + 1);
        return end == std::string_view::npos ? size - pos : end + 1 - pos;
    }
    case '{':
        sets = false;
        if (text.substr(pos, kCyrillicRun.size()) == kCyrillicRun)
            return kCyrillicRun.size();
        return text.substr(pos, 2) == "{}" ? 2 : 1;
    case '}':
        sets = false;
        return 1;
    default: {
        size_t end = pos + 1;
        while (end < size && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        return end - pos;
    }
    }
}

// The escaped text of a paragraph cell with a break allowed between the characters of each word longer
// than half a line of the column (lineCharacters), cut into pieces of at most `characters` characters
// when split (a Cyrillic run is closed at a cut and opened again after it; no other group is cut).
std::vector<std::string> ParagraphPieces(std::string_view text, size_t lineCharacters, size_t characters,
                                         bool split) {
    struct Piece {
        std::string_view text;
        bool sets;       // whether it sets a character (else it is a group's brace)
        size_t word = 0; // at the first character of a word: the characters of the word
    };
    std::vector<Piece> parts;
    size_t first = std::string_view::npos; // the part that starts the current word
    for (size_t pos = 0; pos < text.size();) {
        bool sets = false;
        const size_t length = EscapedPieceLength(text, pos, sets);
        parts.push_back({text.substr(pos, length), sets});
        if (parts.back().text == " ") {
            first = std::string_view::npos;
        } else if (sets) { // braces belong to the word they stand in
            if (first == std::string_view::npos)
                first = parts.size() - 1;
            ++parts[first].word;
        }
        pos += length;
    }
    const size_t breakable = std::max(kUnbrokenWord, lineCharacters / 2);
    std::vector<std::string> pieces(1);
    size_t count = 0;
    bool longWord = false;
    int groups = 0; // open groups other than a Cyrillic run
    bool cyrillic = false;
    for (const Piece& part : parts) {
        if (!part.sets) {
            if (part.text == kCyrillicRun)
                cyrillic = true;
            else if (part.text == "{")
                ++groups;
            else if (part.text == "}" && groups > 0)
                --groups;
            else if (part.text == "}")
                cyrillic = false;
        } else {
            if (split && count >= characters && groups == 0) {
                if (cyrillic)
                    pieces.back() += '}';
                pieces.emplace_back(cyrillic ? kCyrillicRun : std::string_view());
                count = 0;
            }
            if (part.text == " ")
                longWord = false;
            else if (part.word > 0) // a word starts
                longWord = part.word > breakable;
            else if (longWord)
                pieces.back() += kBreak;
            ++count;
        }
        pieces.back() += part.text;
    }
    return pieces;
}

// The cells of a row that JoinCells made (an "&" of a text is always escaped, so " & " separates).
std::vector<std::string> RowCells(const std::string& row) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (size_t found; (found = row.find(" & ", start)) != std::string::npos; start = found + 3)
        cells.push_back(row.substr(start, found - start));
    cells.push_back(row.substr(start));
    return cells;
}

// A number of four decimals with a full stop, rounded down.
std::string Share(double share) {
    const long tenThousandths = std::max(0L, long(share * 10000));
    std::string digits = std::to_string(tenThousandths);
    digits.insert(0, digits.size() < 5 ? 5 - digits.size() : 0, '0');
    return digits.substr(0, digits.size() - 4) + "." + digits.substr(digits.size() - 4);
}

// Cells joined by " & ".
std::string JoinCells(const std::vector<std::string>& cells) {
    size_t size = 0;
    for (const std::string& cell : cells)
        size += cell.size() + 3;
    std::string row;
    row.reserve(size);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i)
            row += " & ";
        row += cells[i];
    }
    return row;
}

// The bytes of a row written in one pass, in storage kept from row to row: short pieces go in without a
// library call. (The interface of std::string that AppendNormalString uses.) Its place in the storage is
// held in pointers of its own, which the bytes written cannot change: they stay in registers.
class TRowBytes {
public:
    explicit TRowBytes(std::string& storage)
        : bytes_(storage), begin_(storage.data()), end_(begin_), limit_(begin_ + storage.size()) {}
    void append(const char* data, size_t size) {
        if (size > size_t(limit_ - end_))
            Grow(size);
        rtl::CopyShortBytes(end_, data, size);
        end_ += size;
    }
    void push_back(char c) {
        if (end_ == limit_)
            Grow(1);
        *end_++ = c;
    }
    size_t size() const { return size_t(end_ - begin_); }
    std::string_view View() const { return std::string_view(begin_, size()); }

private:
    void Grow(size_t more) {
        const size_t used = size();
        begin_ = Enlarged(bytes_, used + more);
        end_ = begin_ + used;
        limit_ = begin_ + bytes_.size();
    }
    // The storage made room for at least `least` bytes; its bytes.
    [[gnu::noinline]] static char* Enlarged(std::string& bytes, size_t least) {
        bytes.resize(std::max({2 * bytes.size(), least, size_t(1024)}));
        return bytes.data();
    }

    std::string& bytes_;
    char* begin_;
    char* end_;
    char* limit_;
};

} // namespace

TLaTeXOptions::TLaTeXOptions() : codePage_(SystemCodePage()) {}

void TLaTeXOptions::SetCodePage(int value) {
    codePage_ = value < 1 ? SystemCodePage() : value;
}

void TLaTeXOptions::Assign(const TLaTeXOptions& other) {
    LaTeXVersion = other.LaTeXVersion;
    DocumentStyle = other.DocumentStyle;
    DocumentParams = other.DocumentParams;
    SetCodePage(other.CodePage());
    Languages = other.Languages;
}

std::unique_ptr<TExportWriter> TExporterLaTeX::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TLaTeXWriter>(*this, stream);
}

TExportTextEncoding TExporterLaTeX::TextEncoding() const {
    // The writer takes the bytes as they are: Line encodes them.
    return TExportTextEncoding::Utf8;
}

const TSingleByteCharset* TExporterLaTeX::Charset() const {
    // Looked up again only when the code page changed: every line and every character beyond ASCII asks.
    if (charsetCodePage_ != Options.CodePage()) {
        charset_ = nullptr;
        for (int codePage : kCodePages)
            if (codePage == Options.CodePage())
                charset_ = CodePageCharset(codePage);
        charsetCodePage_ = Options.CodePage();
    }
    return charset_;
}

std::string TExporterLaTeX::InputEncoding() const {
    return Charset() ? "cp" + std::to_string(Options.CodePage()) : "utf8";
}

bool TExporterLaTeX::CyrillicFonts() const {
    if (IsCyrillicCodePage(Options.CodePage()))
        return true;
    const std::string languages = rtl::UpperCase(Options.Languages);
    for (const char* language : {"RUSSIAN", "UKRAINIAN", "BULGARIAN", "BELARUSIAN"})
        if (languages.find(language) != std::string::npos)
            return true;
    return false;
}

std::string TExporterLaTeX::FontEncodings() const {
    if (IsCyrillicCodePage(Options.CodePage()))
        return "T1,T2A";
    return CyrillicFonts() ? "T2A,T1" : "T1";
}

bool TExporterLaTeX::Settable(char32_t ch) const {
    const TSingleByteCharset* charset = Charset();
    if (charset && charset->ByteOf(ch) < 0)
        return false;
    return IsLatinSettable(ch) || (IsCyrillic(ch) && CyrillicFonts());
}

void TExporterLaTeX::Line(const std::string& text) {
    const TSingleByteCharset* charset = Charset();
    if (!charset)
        return Writer().WriteLn(text);
    charset->EncodeInto(lineBytes_, text);
    Writer().WriteLn(lineBytes_);
}

void TExporterLaTeX::RowLines(const std::string& row) {
    if (row.size() <= kLineLength) { // no break is due before the end
        Line(row);
        return;
    }
    size_t start = 0, i = 1;
    bool inControlWord = false;
    for (; i < row.size(); ++i) {
        const char previous = row[i - 1];
        const bool letter = (previous >= 'A' && previous <= 'Z') || (previous >= 'a' && previous <= 'z');
        inControlWord = letter && (inControlWord || (i >= 2 && row[i - 2] == '\\'));
        if (i - start >= kLineLength && BreakableBefore(row, i, inControlWord)) {
            Line(row.substr(start, i - start) + "%");
            start = i;
        }
    }
    Line(row.substr(start));
}

bool TExporterLaTeX::KeepsText(const std::string& s) const {
    // The quick test knows this class's escaping only: a subclass's NormalString is always asked. A text
    // of plain bytes alone is copied by NormalString as it is.
    if (typeid(*this) != typeid(TExporterLaTeX))
        return false;
    return std::all_of(s.begin(), s.end(), IsPlainLaTeXByte);
}

std::string TExporterLaTeX::NormalString(const std::string& s) const {
    std::string out;
    out.reserve(s.size());
    AppendNormalString(out, s, nullptr);
    return out;
}

template <class TOut>
size_t TExporterLaTeX::AppendNormalString(TOut& out, std::string_view s,
                                          const TSingleByteCharset* encoding) const {
    const auto put = [&out](std::string_view piece) { out.append(piece.data(), piece.size()); };
    // A Cyrillic run in a document whose default font encoding is T1 is set in T2A (only Cyrillic letters
    // start one, so the options are looked at only then).
    auto switchToCyrillic = [this] { return CyrillicFonts() && !IsCyrillicCodePage(Options.CodePage()); };
    bool inCyrillic = false;
    size_t encodedAway = 0; // the bytes the UTF-8 text has more than the encoded one
    TPlainRuns runs(s);
    size_t pos = 0;
    while (pos < s.size()) {
        // Outside a Cyrillic run, characters written as they are are copied a run at a time.
        if (!inCyrillic) {
            const size_t end = runs.End(pos);
            out.append(s.data() + pos, end - pos);
            pos = end;
            if (pos == s.size())
                break;
        }
        // An ASCII character, the usual one here, is taken without the decoder.
        const auto lead = static_cast<unsigned char>(s[pos]);
        char32_t ch = lead;
        const int length = lead < 0x80 ? 1 : ExportDecodeUtf8(s, pos, ch);
        size_t next = pos + size_t(length > 0 ? length : 1);
        const char following = next < s.size() ? s[next] : '\0';
        if (length > 0 && IsCyrillic(ch) != inCyrillic && (inCyrillic || switchToCyrillic())) {
            put(inCyrillic ? "}" : kCyrillicRun);
            inCyrillic = !inCyrillic;
        }
        if (length == 0 || (ch < 0x20 && ch != '\t' && ch != '\r' && ch != '\n')) {
            out.push_back('?');
            pos = next;
            continue;
        }
        const char c = char(ch);
        switch (ch) {
        // In text mode "\backslash" is undefined and "\~", "\^" are accents over the next letter.
        case '\\':
            put("$\\backslash$");
            break;
        case '~':
            put("\\textasciitilde{}");
            break;
        case '^':
            put("\\textasciicircum{}");
            break;
        case '#':
        case '$':
        case '%':
        case '&':
        case '_':
        case '{':
        case '}':
            out.push_back('\\');
            out.push_back(c);
            break;
        case '<':
            put("$<$");
            break;
        case '>':
            put("$>$");
            break;
        // Straight quotes print as themselves (babel makes '"' a shorthand in several languages), and
        // doubled hyphens and commas do not join into dashes and low quotes.
        case '"':
            put("\\textquotedbl{}");
            break;
        case '\'':
            put("\\textquotesingle{}");
            break;
        case '`':
            put("\\textasciigrave{}");
            break;
        case '-':
        case ',':
            out.push_back(c);
            if (following == c)
                put("{}");
            break;
        // A line break inside a cell would end the paragraph and break the table: it becomes a blank.
        case '\r':
            out.push_back(' ');
            if (following == '\n')
                ++next;
            break;
        case '\n':
            out.push_back(' ');
            break;
        default:
            if (ch < 0x80) {
                if (ch != 0x7F) // DEL has no glyph and stops pdflatex
                    out.push_back(c);
            } else if (ch >= 0x80 && ch < 0xA0) {
                // C1 control characters are dropped like DEL.
            } else if (const char* command = CommandOf(ch)) {
                put(command);
            } else if (Settable(ch)) {
                if (encoding) { // a settable character is one of the code page
                    out.push_back(static_cast<char>(encoding->ByteOf(ch)));
                    encodedAway += size_t(length) - 1;
                } else {
                    out.append(s.data() + pos, size_t(length));
                }
            } else {
                out.push_back('?');
                ++replaced_;
            }
        }
        pos = next;
    }
    if (inCyrillic)
        out.push_back('}');
    return encodedAway;
}

void TExporterLaTeX::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    for (unsigned char c : {'#', '$', '%', '&', '\\', '^', '_', '{', '}', '~'})
        chars.set(c);
}

void TExporterLaTeX::GetColData(const TExportCol& col, std::string& text) {
    TExporterFormatText::GetColData(col, text);
    EscapeUnformattedValue(col, text);
}

void TExporterLaTeX::BeginExport() {
    replaced_ = 0;
    TExporterFormatText::BeginExport();
    documentOpen_ = false;
    tabularOpen_ = false;
    if (Aborted)
        return;
    const bool russian = rtl::UpperCase(Options.Languages).find("RUSSIAN") != std::string::npos;
    const std::string style = Options.DocumentStyle == TLaTeXDocStyle::dsBook ? "book" : "article";
    const bool latex209 = Options.LaTeXVersion == TLaTeXVersion::LaTeX209;
    const std::string command = latex209 ? "\\documentstyle" : "\\documentclass";
    Line(command + (Options.DocumentParams.empty() ? "" : "[" + Options.DocumentParams + "]") + "{" + style +
         "}");
    PlanColumns();
    if (Aborted)
        return;
    if (!latex209) {
        Line(UsePackage(InputEncoding(), "inputenc"));
        // T1 fonts print every character of the text as itself ('"', '<', '|' are other glyphs in OT1).
        Line(UsePackage(FontEncodings(), "fontenc"));
        Line("\\usepackage{longtable}");
        if (!paragraphShares_.empty())
            Line("\\usepackage{array}"); // paragraph columns set ragged
        Line(UsePackage(Options.Languages, "babel"));
        // Babel has no \Rus: it is the switch to Russian.
        if (russian)
            Line("\\providecommand{\\Rus}{\\selectlanguage{russian}}");
        if (Preambula.Count() > 0) {
            for (int i = 0; i < Preambula.Count(); ++i)
                Line(Preambula[i]);
            EmptyLine();
        }
    }
    Line(BeginEnvironment("document"));
    documentOpen_ = true;
    if (russian)
        Line("\\Rus");
    EmptyLine();
    for (int i = 0; i < Header.Count(); ++i)
        Line(Header[i]);
    Line("\\par\\bigskip");
    if (!paragraphShares_.empty())
        Line(std::string(kBreakDefinition));
    Line(BeginEnvironment(TableEnvironment(), ColumnSpecification()));
    tabularOpen_ = true;
    Line("\\hline");
}

void TExporterLaTeX::PlanColumns() {
    paragraphShares_.clear();
    pieceCharacters_.clear();
    const int count = Columns.Count();
    // Only texts can be long: without a text column of more than kLongText characters (or of unknown
    // length) no row needs to be read.
    const auto isText = [this](int i) {
        return Columns[i].ColType == TExportColType::ectString ||
               Columns[i].ColType == TExportColType::ectUnknown;
    };
    bool mayWrap = false;
    for (int i = 0; i < count; ++i)
        mayWrap = mayWrap || (isText(i) && (Columns[i].Length <= 0 || Columns[i].Length > kLongText));
    if (!mayWrap)
        return;
    std::vector<double> widest(size_t(count), 1);
    std::vector<int> columns;
    for (int i = 0; i < count; ++i) {
        columns.push_back(i);
        if (AllowCaptions)
            widest[size_t(i)] = std::max(widest[size_t(i)], double(ExportTextLength(Columns[i].Caption)));
    }
    ReadColumnValues(columns, [&](int i, const std::string& text, bool) {
        widest[size_t(i)] = std::max(widest[size_t(i)], double(ExportTextLength(text)));
    });
    // A table that fits keeps its columns; so does one of short texts only, which wrapping would not
    // make much narrower. Columns of long texts share the width the others leave; when that is less than
    // a fair part each, text columns wider than a fair part wrap too, the widest first, until the rest
    // leave room (else the table would run off the paper).
    const double least = kLongText / 2;
    double needed = 0, natural = 0;
    std::vector<int> wide, shorter;
    for (int i = 0; i < count; ++i) {
        const double width = widest[size_t(i)] + 1; // room for characters wider than the average
        needed += width + kColumnPadding;
        if (widest[size_t(i)] > kLongText)
            wide.push_back(i);
        else
            natural += width + kColumnPadding;
        if (isText(i) && widest[size_t(i)] > least && widest[size_t(i)] <= kLongText)
            shorter.push_back(i);
    }
    if (needed <= kLineCharacters || wide.empty())
        return;
    std::sort(shorter.begin(), shorter.end(),
              [&](int a, int b) { return widest[size_t(a)] > widest[size_t(b)]; });
    for (int i : shorter) {
        if (natural + (least + kColumnPadding) * double(wide.size()) <= kLineCharacters)
            break;
        natural -= widest[size_t(i)] + 1 + kColumnPadding;
        wide.push_back(i);
    }
    // The wrapping columns share what is left: the narrower ones keep their width, the others get equal
    // parts (at least a fair part each, when the other columns leave too little).
    double left = std::max(kLineCharacters - natural - kColumnPadding * double(wide.size()),
                           least * double(wide.size()));
    std::sort(wide.begin(), wide.end(), [&](int a, int b) { return widest[size_t(a)] < widest[size_t(b)]; });
    paragraphShares_.assign(size_t(count), 0);
    pieceCharacters_.assign(size_t(count), 0);
    for (size_t k = 0; k < wide.size(); ++k) {
        const size_t i = size_t(wide[k]);
        const double width = std::min(widest[i] + 1, left / double(wide.size() - k));
        left -= width;
        paragraphShares_[i] = width / kLineCharacters;
        pieceCharacters_[i] = kPieceLines * size_t(width);
    }
}

std::string TExporterLaTeX::ColumnSpecification() const {
    std::string spec = "|";
    for (int i = 0; i < Columns.Count(); ++i) {
        const double share = paragraphShares_.empty() ? 0 : paragraphShares_[size_t(i)];
        if (share == 0) {
            spec += Columns[i].IsNumeric ? "r|" : "l|";
            continue;
        }
        // A share of the text width, set ragged where the array package is loaded.
        if (Options.LaTeXVersion != TLaTeXVersion::LaTeX209)
            spec +=
                Columns[i].IsNumeric ? ">{\\raggedleft\\arraybackslash}" : ">{\\raggedright\\arraybackslash}";
        spec += "p{" + Share(share) + "\\linewidth}|";
    }
    return spec;
}

void TExporterLaTeX::TableRow(const std::string& row, bool continued) {
    std::vector<std::string> cells = paragraphShares_.empty() ? std::vector<std::string>() : RowCells(row);
    if (cells.size() != paragraphShares_.size() || cells.empty()) { // natural columns, or a row of its own
        RowLines(row);
        Line("\\\\");
        return;
    }
    std::vector<std::vector<std::string>> pieces;
    size_t rows = 1;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (paragraphShares_[i] == 0)
            pieces.push_back({cells[i]});
        else
            pieces.push_back(
                ParagraphPieces(cells[i], pieceCharacters_[i] / kPieceLines, pieceCharacters_[i], continued));
        rows = std::max(rows, pieces.back().size());
    }
    for (size_t r = 0; r < rows; ++r) {
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i] = r < pieces[i].size() ? pieces[i][r] : std::string();
        RowLines(JoinCells(cells));
        Line("\\\\");
    }
}

std::string TExporterLaTeX::TableEnvironment() const {
    // A tabular is one box that never breaks: rows past the page end would be lost. LaTeX 2.09 documents
    // load no packages, so they keep it.
    return Options.LaTeXVersion == TLaTeXVersion::LaTeX209 ? "tabular" : "longtable";
}

std::string TExporterLaTeX::GetCaptionRow() {
    std::vector<std::string> cells;
    for (int i = 0; i < Columns.Count(); ++i)
        cells.push_back(GetColCaption(i));
    return JoinCells(cells);
}

void TExporterLaTeX::WriteCaptionRow() {
    TableRow(GetCaptionRow(), false); // the captions repeated on every page are one row
    Line("\\hline");
    if (TableEnvironment() == "longtable")
        Line("\\endhead"); // the rule, the captions and the rule below them start every page
}

std::string TExporterLaTeX::GetDataRow(bool format) {
    // The cells' texts are made where the row before left its own, without a new text per cell.
    cells_.resize(size_t(ExportRow.Count()));
    for (int i = 0; i < ExportRow.Count(); ++i)
        ExportRow[i].GetText(format, cells_[size_t(i)]);
    return JoinCells(cells_);
}

void TExporterLaTeX::WriteDataRow() {
    if (RowsInOnePass())
        return WriteRowInOnePass();
    TableRow(GetDataRow(true), true);
    Line("\\hline");
}

bool TExporterLaTeX::RowsInOnePass() const {
    // A subclass may escape or have its last say otherwise, an escaping set by a handler is not this
    // class's, and paragraph columns cut their cells: those take the general way.
    return typeid(*this) == typeid(TExporterLaTeX) && Columns.EscapeHandler() == this &&
           paragraphShares_.empty();
}

void TExporterLaTeX::WriteRowInOnePass() {
    // The row is written in the code page while its cells are escaped: what Line would make of the row
    // that GetDataRow joins, as every character written as it is there is one of the code page and
    // everything else ASCII.
    const TSingleByteCharset* const charset = Charset();
    const int replacedBefore = replaced_;
    TRowBytes row(rowBytes_);
    size_t encodedAway = 0;
    bool oneLine = !charset || charset->AsciiAsItIs();
    for (int i = 0; oneLine && i < ExportRow.Count(); ++i) {
        const TExportCol& cell = ExportRow.CheckedCol(i);
        if (i)
            row.append(" & ", 3);
        // Escaped once: a formatted or text value by GetText, a Boolean or untyped one by GetColData.
        const TExportBareText bare = cell.GetBareText(true, cellText_);
        if (bare.Escapes || IsUnformattedValue(cell))
            encodedAway += AppendNormalString(row, bare.Text, charset);
        else
            oneLine = bare.Text.empty(); // (a value of no column) left to the general way
    }
    // A row broken over several lines is written the general way, which counts the characters replaced
    // once more.
    if (!oneLine || row.size() + encodedAway > kLineLength) {
        replaced_ = replacedBefore;
        TableRow(GetDataRow(true), true);
        Line("\\hline");
        return;
    }
    constexpr std::string_view rowEnd = "\r\n\\\\\r\n\\hline\r\n";
    row.append(rowEnd.data(), rowEnd.size());
    Writer().Write(row.View());
}

void TExporterLaTeX::EndExport() {
    // The document is closed here once, also after an abort (which adds a rule and leaves out the footer).
    if (GetWriter()) {
        if (tabularOpen_) {
            if (Aborted)
                Line("\\hline");
            Line(EndEnvironment(TableEnvironment()));
            EmptyLine();
        }
        if (documentOpen_) {
            if (!Aborted)
                for (int i = 0; i < Footer.Count(); ++i)
                    Line(Footer[i]);
            Line(EndEnvironment("document"));
            // TeX reads nothing after the end of the document: the place for a note to the reader.
            if (replaced_ > 0)
                Line("% " + std::to_string(replaced_) +
                     " characters that LaTeX cannot set in this encoding are written as \"?\".");
        }
        tabularOpen_ = false;
        documentOpen_ = false;
    }
    TExporterFormatText::EndExport();
}

} // namespace exporter
