#include "export/core/ExporterASCII.h"

#include "export/core/ExporterNumberText.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/ShortBytes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <typeinfo>

namespace exporter {

namespace {

// Appends a SYLK value in ASCII, which every SYLK reader takes the same way whatever its code page: ';'
// separates the fields of a record and is doubled; a line break (CR LF, CR or LF) is the ESC " :" sequence;
// an ESC of the text, which would start a sequence, a NUL, at which readers end the cell, and every
// character outside ASCII become '?'.
void AppendSylkText(std::string& out, const std::string& text) {
    auto plain = [](unsigned char c) {
        return c < 0x80 && c != '\r' && c != '\n' && c != ';' && c != 0x1B && c != 0;
    };
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && plain(static_cast<unsigned char>(text[i])))
            ++i;
        out.append(text, start, i - start);
        if (i == text.size())
            break;
        const unsigned char c = static_cast<unsigned char>(text[i++]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < text.size() && text[i] == '\n')
                ++i;
            out += "\x1B :";
        } else if (c == ';') {
            out += ";;";
        } else if (c == 0x1B || c == 0 || c >= 0xC0) {
            out += '?'; // the continuation bytes (0x80..0xBF) of a character written as '?' are dropped
        }
    }
}

// The bytes of a text of 1 to 7 bytes in one word, each of them one or more times and no other byte: two
// overlapping words of four, or the first, middle and last byte over and over.
std::uint64_t ShortWord(const char* p, std::size_t n) {
    if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        return first | std::uint64_t(last) << 32;
    }
    const std::uint64_t three = std::uint64_t(static_cast<unsigned char>(p[0])) |
                                std::uint64_t(static_cast<unsigned char>(p[n / 2])) << 8 |
                                std::uint64_t(static_cast<unsigned char>(p[n - 1])) << 16;
    return three | three << 24 | three << 48;
}

// Whether AppendSylkText would surely append the text as it is: ASCII without ';' and control characters
// (of which it changes CR, LF, ESC and NUL; texts with the others take the long way too). Eight bytes at a
// time, each word tested for a byte below 0x20, at or above 0x80, or equal to ';'.
bool IsPlainSylkText(std::string_view text) {
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const auto special = [](std::uint64_t word) {
        const std::uint64_t semicolons = word ^ (ones * ';');
        return ((word | ((word - ones * 0x20) & ~word) | ((semicolons - ones) & ~semicolons)) & highs) != 0;
    };
    const char* p = text.data();
    std::size_t n = text.size();
    std::uint64_t word = 0;
    if (n < 8)
        return n == 0 || !special(ShortWord(p, n));
    for (; n > 8; p += 8, n -= 8) {
        std::memcpy(&word, p, 8);
        if (special(word))
            return false;
    }
    std::memcpy(&word, p + n - 8, 8); // the last eight, overlapping the word before
    return !special(word);
}

std::string OneChar(char c) {
    return c == '\0' ? std::string() : std::string(1, c);
}

} // namespace

std::string CSVQuoted(const std::string& text, char quote) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendCSVQuoted(out, text, quote);
    return out;
}

void AppendCSVQuoted(std::string& out, const std::string& text, char quote) {
    out += quote;
    const char* start = text.data();
    const char* const end = start + text.size();
    // Each quote of the text is written twice: the run up to and with it, then the quote again.
    while (const void* found = std::memchr(start, quote, size_t(end - start))) {
        const char* const pos = static_cast<const char*>(found);
        out.append(start, size_t(pos + 1 - start));
        out += quote;
        start = pos + 1;
    }
    out.append(start, size_t(end - start));
    out += quote;
}

const std::string& OneLineText(const std::string& text, std::string& buffer) {
    // One pass over the bytes: find_first_of would look each byte up in the set with a call of its own.
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }))
        return text;
    buffer.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            buffer += ' ';
        } else {
            buffer += text[i];
        }
    }
    return buffer;
}

char GetListSeparator() {
    char c = rtl::LocaleFacts::Current().ListSeparator;
    return c == '\0' ? ',' : c;
}

TExporterASCII::TExporterASCII() {
    AutoCalcColWidth = true;
}

void TExporterASCII::SetExportType(TExportASCIIType type) {
    exportType_ = type;
    if (type == TExportASCIIType::etTXT)
        AutoCalcColWidth = true;
}

TExportTextEncoding TExporterASCII::TextEncoding() const {
    return exportType_ == TExportASCIIType::etDIF || exportType_ == TExportASCIIType::etSYLK
               ? TExportTextEncoding::Windows1252
               : TExportTextEncoding::Utf8;
}

bool TExporterASCII::CountRows(int& rows) {
    const TExportSources sources = Sources();
    const std::int64_t bookmark = GetBookmark();
    ExportFirst(sources);
    int counter = 0;
    ExportSkip(sources, SkipRecCount, counter, nullptr);
    rows = 0;
    while (!ExportEof(sources, rows, SkipRecCount, ExportRecCount) &&
           !(ExportRecCount > 0 && rows >= ExportRecCount)) {
        ExportNext(sources, rows);
        if (OnFetchedRecord)
            OnFetchedRecord(*this, rows);
        // Asked after each row, the last one too.
        if (AbortConfirmed()) {
            FreeBookmark(bookmark);
            return false;
        }
    }
    GoToBookmark(bookmark);
    FreeBookmark(bookmark);
    return true;
}

void TExporterASCII::BeginExport() {
    keptTexts_.Clear();
    TExporterFormatText::BeginExport();
    sylkRows_ = 0;
    if (Aborted)
        return;
    if (exportType_ != TExportASCIIType::etTXT)
        AutoCalcColWidth = false;
    TExportWriter& w = Writer();
    switch (exportType_) {
    case TExportASCIIType::etTXT:
        if (!Title.empty()) {
            w.WriteLn(Title);
            w.CharLine('-', 80);
            w.EmptyLine();
        }
        for (int i = 0; i < Header.Count(); ++i)
            w.WriteLn(Header[i]);
        break;
    case TExportASCIIType::etCSV:
        for (int i = 0; i < Header.Count(); ++i)
            w.WriteLn(Header[i]);
        break;
    case TExportASCIIType::etDIF: {
        w.WriteLn("TABLE");
        w.WriteLn("0,1");
        w.WriteLn(CSVQuoted(Title, '"'));
        w.WriteLn("VECTORS");
        w.WriteLn("0," + std::to_string(Columns.Count()));
        w.WriteLn("\"\"");
        // An abort during the count leaves no rows to follow: the header still ends (no tuples), and the
        // loop's EndExport closes the file as after an abort between rows.
        int rows = 0;
        if (!CountRows(rows))
            rows = 0;
        w.WriteLn("TUPLES");
        w.WriteLn("0," + std::to_string(rows));
        w.WriteLn("\"\"");
        w.WriteLn("DATA");
        w.WriteLn("0,0");
        w.WriteLn("\"\""); // every header item ends with its string line
        break;
    }
    case TExportASCIIType::etSYLK:
        w.WriteLn("ID;PVASCIIEXPORT");
        break;
    }
}

bool TExporterASCII::KeepsPrePassTexts() const {
    // The pre-pass reads a data set from its first row, as the export does when it goes to the first
    // record; each column is the cell of the same position.
    return exportType_ == TExportASCIIType::etTXT && typeid(*this) == typeid(TExporterASCII) &&
           ExportSource == TExportSource::esDataSet && DataSet && GoToFirstRecord && !OnFetchedRecord &&
           !OnSkippedRecord && !OnStopExport && !OnGetExportText && !OnBeforeExportRow && !OnExportedRecord &&
           !OnEndExport && ExportRow.Count() == Columns.Count();
}

TExportKeptTexts* TExporterASCII::PrePassTexts() {
    keptTexts_.Clear();
    return KeepsPrePassTexts() ? &keptTexts_ : nullptr;
}

void TExporterASCII::FillExportRow() {
    // A row whose every text the pre-pass kept is written from them alone: its values are not read again.
    if (RecordCounter < keptTexts_.Rows() && keptTexts_.RowComplete(RecordCounter))
        return;
    TExporterFormatText::FillExportRow();
}

namespace {

// Whether the text holds a CR or LF: eight bytes at a time, each word tested for a byte of either.
bool HasLineBreak(std::string_view text) {
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const auto hasBreak = [](std::uint64_t word) {
        const std::uint64_t cr = word ^ (ones * '\r'), lf = word ^ (ones * '\n');
        return (((cr - ones) & ~cr) | ((lf - ones) & ~lf)) & highs;
    };
    const char* p = text.data();
    std::size_t n = text.size();
    if (n < 8)
        return n != 0 && hasBreak(ShortWord(p, n));
    std::uint64_t word = 0;
    for (; n > 8; p += 8, n -= 8) {
        std::memcpy(&word, p, 8);
        if (hasBreak(word))
            return true;
    }
    std::memcpy(&word, p + n - 8, 8); // the last eight, overlapping the word before
    return hasBreak(word) != 0;
}

// n blanks at out, which has room for 32 more than n: up to 32 in one store of a fixed size.
inline void PutBlanks(char* out, std::size_t n) {
    if (n <= 32)
        std::memset(out, ' ', 32);
    else
        std::memset(out, ' ', n);
}

} // namespace

[[gnu::always_inline]] inline char* TExporterASCII::TRowText::Room(std::size_t n) {
    if (bytes_.size() - used_ < n + 32)
        bytes_.resize(std::max(2 * bytes_.size(), used_ + n + 32));
    return bytes_.data() + used_;
}

template <class... TPieces>
[[gnu::always_inline]] inline void TExporterASCII::TRowText::Append(const TPieces&... pieces) {
    const std::size_t size = (std::string_view(pieces).size() + ...);
    char* out = Room(size);
    ((rtl::CopyShortBytes(out, std::string_view(pieces).data(), std::string_view(pieces).size()),
      out += std::string_view(pieces).size()),
     ...);
    used_ += size;
}

[[gnu::always_inline]] inline void TExporterASCII::TRowText::AppendPadded(std::string_view text, int length,
                                                                          int width, TExportColAlign align,
                                                                          int spacing) {
    const std::size_t missing = std::size_t(IntMax(0, width - length));
    std::size_t front = 0;
    switch (align) {
    case TExportColAlign::ecaLeft:
        break;
    case TExportColAlign::ecaRight:
        front = missing;
        break;
    case TExportColAlign::ecaCenter:
        front = missing / 2;
        break;
    }
    const std::size_t back = missing - front + std::size_t(IntMax(spacing, 0));
    // Each step may write up to 32 bytes past its end, over what the next one writes or the room.
    const std::size_t size = front + text.size() + back;
    char* const out = Room(size);
    PutBlanks(out, front);
    rtl::CopyShortBytes(out + front, text.data(), text.size());
    PutBlanks(out + front + text.size(), back);
    used_ += size;
}

bool TExporterASCII::TRowText::AppendNumberItem(std::string_view text, const rtl::LocaleFacts& facts) {
    char* const out = Room(text.size() + 7);
    std::memcpy(out, "0,", 2);
    const std::size_t size = PutNumberLiteral(out + 2, text, facts);
    if (size == kNoNumberLiteral)
        return false;
    std::memcpy(out + 2 + size, "\r\nV\r\n", 5);
    used_ += 2 + size + 5;
    return true;
}

void TExporterASCII::TRowText::AppendStringItem(std::string_view text) {
    // Room for each byte twice, as if every one were a quote.
    char* out = Room(2 * text.size() + 9);
    char* const begin = out;
    std::memcpy(out, "1,0\r\n\"", 6);
    out += 6;
    const char* start = text.data();
    const char* const end = start + text.size();
    // The run up to and with each quote, then the quote again.
    while (const void* found = std::memchr(start, '"', std::size_t(end - start))) {
        const char* const next = static_cast<const char*>(found) + 1;
        rtl::CopyShortBytes(out, start, std::size_t(next - start));
        out += next - start;
        *out++ = '"';
        start = next;
    }
    rtl::CopyShortBytes(out, start, std::size_t(end - start));
    out += end - start;
    std::memcpy(out, "\"\r\n", 3);
    used_ += std::size_t(out + 3 - begin);
}

void TExporterASCII::AppendPaddedTXT(const std::string& cell, const TExportColumn& column) {
    const std::string& text = OneLineText(cell, oneLine_);
    rowText_.AppendPadded(text, ExportTextLength(text), column.Width, column.ColAlign, TXTSpacing);
}

void TExporterASCII::WriteRow(const std::vector<std::string>& texts, bool captions) {
    TExportWriter& w = Writer();
    switch (exportType_) {
    case TExportASCIIType::etTXT: {
        rowText_.Clear();
        for (size_t i = 0; i < texts.size(); ++i)
            AppendPaddedTXT(texts[i], Columns[int(i)]);
        w.Write(rowText_.Text());
        w.EmptyLine();
        break;
    }
    case TExportASCIIType::etCSV: {
        std::string& line = line_;
        line.clear();
        for (const std::string& text : texts) {
            if (CSVQuoteStrings && CSVQuote != '\0')
                AppendCSVQuoted(line, text, CSVQuote);
            else
                line += text;
            if (CSVComma != '\0')
                line += CSVComma;
        }
        if (!line.empty() && CSVComma != '\0')
            line.pop_back();
        w.WriteLn(line);
        break;
    }
    case TExportASCIIType::etDIF: {
        // The row's lines are gathered and written at once.
        TRowText& lines = rowText_;
        lines.Clear();
        const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
        for (size_t i = 0; i < texts.size(); ++i) {
            if (i == 0)
                lines.Append("-1,0\r\nBOT\r\n");
            // A numeric item carries a plain number; any other text is a string item, which readers
            // take whatever the column's type.
            if (!captions && Columns[int(i)].ColType != TExportColType::ectString &&
                lines.AppendNumberItem(texts[i], facts))
                continue;
            lines.AppendStringItem(texts[i]);
        }
        w.Write(lines.Text());
        break;
    }
    case TExportASCIIType::etSYLK: {
        // Each cell: its column's "C;X<column>;Y", the row's "<row>;K\"", the text, "\"" CR LF.
        const std::string row =
            std::to_string(captions ? 1 : sylkRows_ + 1 + (AllowCaptions ? 1 : 0)) + ";K\"";
        while (sylkColumns_.size() < texts.size())
            sylkColumns_.push_back("C;X" + std::to_string(sylkColumns_.size() + 1) + ";Y");
        TRowText& lines = rowText_;
        lines.Clear();
        for (size_t i = 0; i < texts.size(); ++i) {
            if (IsPlainSylkText(texts[i])) {
                lines.Append(sylkColumns_[i], row, texts[i], "\"\r\n");
            } else {
                itemText_.clear();
                AppendSylkText(itemText_, texts[i]);
                lines.Append(sylkColumns_[i], row, itemText_, "\"\r\n");
            }
        }
        w.Write(lines.Text());
        if (!captions)
            ++sylkRows_;
        break;
    }
    }
}

void TExporterASCII::WriteCaptionRow() {
    std::vector<std::string> texts;
    for (int i = 0; i < Columns.Count(); ++i)
        texts.push_back(GetColCaption(i));
    WriteRow(texts, true);
}

void TExporterASCII::WriteKeptTXTRow() {
    rowText_.Clear();
    TExportKeptTexts::TRowCells cells = keptTexts_.Row(RecordCounter);
    for (int i = 0; i < ExportRow.Count(); ++i) {
        const TExportColumn& column = Columns.CheckedColumn(i);
        std::string_view text;
        int length = 0;
        if (!cells.Next(text, length)) {
            ExportRow.CheckedCol(i).GetText(true, cellText_);
            AppendPaddedTXT(cellText_, column);
        } else if (HasLineBreak(text)) {
            cellText_.assign(text); // measured anew once its line breaks are blanks
            AppendPaddedTXT(cellText_, column);
        } else {
            rowText_.AppendPadded(text, length, column.Width, column.ColAlign, TXTSpacing);
        }
    }
    TExportWriter& w = Writer();
    w.Write(rowText_.Text());
    w.EmptyLine();
}

void TExporterASCII::WriteDataRow() {
    if (RecordCounter < keptTexts_.Rows())
        return WriteKeptTXTRow();
    std::vector<std::string>& texts = rowTexts_;
    texts.resize(size_t(ExportRow.Count()));
    for (int i = 0; i < ExportRow.Count(); ++i)
        ExportRow[i].GetText(true, texts[size_t(i)]);
    WriteRow(texts, false);
}

void TExporterASCII::EndExport() {
    keptTexts_.Clear();
    TExportWriter& w = Writer();
    switch (exportType_) {
    case TExportASCIIType::etTXT:
        for (int i = 0; i < Footer.Count(); ++i)
            w.WriteLn(Footer[i]);
        break;
    case TExportASCIIType::etCSV:
        // An aborted file ends with an empty line before its footer.
        if (Aborted)
            w.EmptyLine();
        for (int i = 0; i < Footer.Count(); ++i)
            w.WriteLn(Footer[i] + OneChar(CSVComma));
        break;
    case TExportASCIIType::etDIF:
        w.WriteLn("-1,0");
        w.WriteLn("EOD");
        break;
    case TExportASCIIType::etSYLK:
        w.WriteLn("E");
        break;
    }
    TExporterFormatText::EndExport();
}

void TExporterASCII::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporterFormatText::SaveOptionsToIni(ini);
    ini.WriteInteger("ASCII", "ExportType", int(exportType_));
    ini.WriteString("ASCII", "Comma", OneChar(CSVComma));
    ini.WriteString("ASCII", "Quote", OneChar(CSVQuote));
    ini.WriteBool("ASCII", "QuoteStrings", CSVQuoteStrings);
    ini.WriteInteger("ASCII", "Spacing", TXTSpacing);
    ini.WriteBool("ASCII", "AutoCalcColWidth", AutoCalcColWidth);
    SaveListToIni(ini, "ALIGN", "line", ColumnsAlign);
    SaveListToIni(ini, "WIDTH", "line", ColumnsWidth);
}

void TExporterASCII::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporterFormatText::LoadOptionsFromIni(ini);
    int type = ini.ReadInteger("ASCII", "ExportType", int(exportType_));
    if (type >= int(TExportASCIIType::etTXT) && type <= int(TExportASCIIType::etSYLK))
        SetExportType(TExportASCIIType(type));
    std::string comma = ini.ReadString("ASCII", "Comma", OneChar(CSVComma));
    CSVComma = comma.empty() ? '\0' : comma[0];
    std::string quote = ini.ReadString("ASCII", "Quote", OneChar(CSVQuote));
    CSVQuote = quote.empty() ? '\0' : quote[0];
    CSVQuoteStrings = ini.ReadBool("ASCII", "QuoteStrings", CSVQuoteStrings);
    TXTSpacing = ini.ReadInteger("ASCII", "Spacing", TXTSpacing);
    AutoCalcColWidth = ini.ReadBool("ASCII", "AutoCalcColWidth", AutoCalcColWidth);
    LoadListFromIni(ini, "ALIGN", ColumnsAlign);
    LoadListFromIni(ini, "WIDTH", ColumnsWidth);
}

} // namespace exporter
