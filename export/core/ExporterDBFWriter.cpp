#include "export/core/ExporterDBFWriter.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>

namespace exporter {

namespace {

const char* const kRangeError = "Range check error";

void PutLE16(std::string& bytes, size_t offset, unsigned value) {
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char((value >> 8) & 0xFF);
}

void PutLE32(std::string& bytes, size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

std::string LE32(std::uint32_t value) {
    std::string bytes(4, '\0');
    PutLE32(bytes, 0, value);
    return bytes;
}

} // namespace

TDBFWriter::TDBFWriter(TExporter& owner, std::ostream& stream) : TExportWriter(owner, stream) {
    SetEncoding(TExportTextEncoding::Windows1252);
}

TDBFWriter::~TDBFWriter() = default;

void TDBFWriter::AddField(const std::string& name, char type, int length, int decimals) {
    if (length < 0 || length > MaxFieldLength || decimals < 0 || decimals > 255)
        throw EExportError(kRangeError);
    if (HeaderSize + DescriptorSize * (FieldCount() + 1) + 1 > 0xFFFF || RecordLength() + length > 0xFFFF)
        throw EExportError(kRangeError);
    TDBFField field;
    field.Name = rtl::UpperCase(name.substr(0, 10));
    field.Type = type;
    field.Offset = RecordLength() - 1;
    field.Length = length;
    field.Decimals = decimals;
    fields_.push_back(field);
}

bool TDBFWriter::HasMemoFields() const {
    for (const TDBFField& field : fields_)
        if (field.Type == 'M')
            return true;
    return false;
}

int TDBFWriter::RecordLength() const {
    int length = 1;
    for (const TDBFField& field : fields_)
        length += field.Length;
    return length;
}

void TDBFWriter::WriteBytes(std::string_view bytes) {
    PutBytes(bytes);
}

void TDBFWriter::WriteHeader(int year, int month, int day, std::ostream* memo) {
    const bool withMemo = HasMemoFields() && memo != nullptr;
    header_.assign(HeaderSize, '\0');
    header_[0] = char(withMemo ? 0x83 : 0x03);
    header_[1] = char(year - 1900);
    header_[2] = char(month);
    header_[3] = char(day);
    PutLE32(header_, 4, 0);
    PutLE16(header_, 8, unsigned(HeaderLength()));
    PutLE16(header_, 10, unsigned(RecordLength()));
    // Readers decode the texts by the code page this byte names.
    header_[29] = char(LanguageDriverWindows1252);
    recordCount_ = 0;
    headerPos_ = Stream().tellp();
    if (headerPos_ < 0)
        throw EExportError("The dBase table needs an output that can be repositioned");

    if (withMemo) {
        memo_ = memo;
        nextBlock_ = 1;
        const std::string block0 = LE32(std::uint32_t(nextBlock_)) + std::string(MemoBlockSize - 4, '\0');
        memo_->write(block0.data(), std::streamsize(block0.size()));
    }

    WriteBytes(header_);
    for (const TDBFField& field : fields_) {
        std::string descriptor(DescriptorSize, '\0');
        descriptor.replace(0, field.Name.size(), field.Name);
        descriptor[11] = field.Type;
        PutLE32(descriptor, 12, std::uint32_t(field.Offset));
        descriptor[16] = char(field.Length);
        descriptor[17] = char(field.Decimals);
        WriteBytes(descriptor);
    }
    WriteBytes(std::string(1, '\x0D'));
}

void TDBFWriter::StartRecord() {
    WriteBytes(" ");
    ++recordCount_;
}

namespace {

// Appends the Windows-1252 bytes of a UTF-8 text ('?' for a character outside the code page).
void AppendWindows1252(std::string& out, const std::string& text) {
    if (IsCellAscii(text)) // the same bytes in both
        out.append(text);
    else
        rtl::AppendUtf8AsWindows1252(out, text, [](std::string& bytes, char32_t) { bytes += '?'; });
}

} // namespace

std::string TDBFWriter::FieldBytes(const TDBFField& field, const std::string& text) {
    std::string bytes;
    AppendFieldBytes(bytes, field, text, nullptr);
    return bytes;
}

void TDBFWriter::AppendFieldBytes(std::string& out, const TDBFField& field, const std::string& text,
                                  TExportDateTexts* dates, std::string* dateText) {
    const size_t length = size_t(field.Length);
    const size_t start = out.size();
    if (text.empty()) {
        out.append(length, ' ');
        return;
    }
    switch (field.Type) {
    case 'C':
        AppendWindows1252(out, text);
        out.resize(start + length, ' ');
        break;
    case 'D': {
        // The date texts of a column repeat, and the day of a date-time text stays for many rows: the
        // column's memo formats each of them as FormatDateTime would the value StrToDateTime reads. A
        // text it cannot read goes the general way, which raises the conversion error.
        static const std::string format = "yyyymmdd";
        std::string ownValue;
        std::string& value = dateText ? *dateText : ownValue;
        if (!dates || !dates->Format(text, format, rtl::LocaleFacts::Current(), value))
            value = rtl::FormatDateTime(format, rtl::StrToDateTime(text));
        if (value.size() == length)
            out += value;
        else
            out.append(length, ' ');
        break;
    }
    case 'L': {
        const std::string upper = rtl::UpperCase(text);
        out.append(length, ' ');
        if (length == 0)
            break;
        if (upper.find("TRUE") != std::string::npos)
            out[start] = 'T';
        else if (upper.find("FALSE") != std::string::npos)
            out[start] = 'F';
        break;
    }
    default: {
        // Numbers (and memo block numbers) right-aligned; the exporter sizes its fields so that every
        // number fits, and one that still does not is marked as an overflow rather than cut into another.
        if (text.size() <= length && IsCellAscii(text)) { // the usual number: its blanks go first
            out.append(length - text.size(), ' ');
            out.append(text);
            break;
        }
        AppendWindows1252(out, text);
        const size_t size = out.size() - start;
        if (size <= length)
            out.insert(start, length - size, ' ');
        else
            out.replace(start, size, length, '*');
        break;
    }
    }
}

void TDBFWriter::AppendFieldValue(std::string& record, int index, const std::string& text) {
    if (dateTexts_.size() != fields_.size())
        dateTexts_.resize(fields_.size());
    AppendFieldBytes(record, Field(index), text, &dateTexts_[size_t(index)], &dateText_);
}

void TDBFWriter::WriteRecord(std::string_view fields) {
    StartRecord();
    WriteBytes(fields);
}

void TDBFWriter::WriteEndOfFile() {
    WriteBytes(std::string(1, '\x1A'));
    // The record count goes into the header once, at the end (also of an aborted export): a seek back for
    // every record would flush the output each time.
    PutLE32(header_, 4, std::uint32_t(recordCount_));
    std::ostream& out = Stream();
    const std::streamoff pos = out.tellp();
    out.seekp(headerPos_ + 4);
    out.write(header_.data() + 4, 4); // straight to the stream: the writer's block would land at pos
    out.seekp(pos);
}

int TDBFWriter::WriteMemo(const std::string& bytes) {
    if (!memo_ || bytes.empty())
        return -1;
    const int first = nextBlock_;
    std::string data = bytes + "\x1A\x1A";
    const size_t blocks = (data.size() + MemoBlockSize - 1) / MemoBlockSize;
    data.resize(blocks * MemoBlockSize, '\0');
    memo_->seekp(std::streamoff(first) * MemoBlockSize);
    memo_->write(data.data(), std::streamsize(data.size()));
    nextBlock_ += int(blocks);
    return first;
}

void TDBFWriter::CloseMemo() {
    if (!memo_)
        return;
    memo_->seekp(0);
    const std::string next = LE32(std::uint32_t(nextBlock_));
    memo_->write(next.data(), std::streamsize(next.size()));
    memo_->flush();
    memo_ = nullptr;
}

} // namespace exporter
