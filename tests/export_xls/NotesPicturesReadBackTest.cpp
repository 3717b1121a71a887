// A workbook with a cell note, a picture and a hyperlink, written by the exporter and read back
// with xlrd (notes, links) and olefile (the drawing records and the picture store).

#include "export/core/ExporterMemorySources.h"
#include "export/xls/ExporterXLS.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace exporter;

// A 1 x 1 PNG.
const std::vector<std::uint8_t> OnePixelPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
    0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01,
    0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

const char* const Reader = R"(
import struct, sys, xlrd, olefile
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
notes = sheet.cell_note_map
expect('note cells', sorted(notes.keys()), [(1, 2)])
if (1, 2) in notes:
    expect('note text', notes[(1, 2)].text, 'First line\nsecond \u00e9')
links = sheet.hyperlink_map
expect('link cells', sorted(links.keys()), [(2, 0)])
if (2, 0) in links:
    expect('link url', links[(2, 0)].url_or_path.rstrip('\x00'), 'http://example.org/')
    expect('link tip', links[(2, 0)].quicktip, 'tip')
expect('link title', sheet.cell_value(2, 0), 'Example')
data = olefile.OleFileIO(sys.argv[1]).openstream('Workbook').read()
ids, i = [], 0
group = b''
while i + 4 <= len(data):
    rid, length = struct.unpack_from('<HH', data, i)
    body = data[i + 4:i + 4 + length]
    if rid == 0xEB or (rid == 0x3C and ids and ids[-1] in (0xEB, 0x3C) and group):
        group += body
    ids.append(rid)
    i += 4 + length
expect('whole stream', i, len(data))
expect('one drawing group', ids.count(0xEB), 1)
expect('two shapes and a text box', ids.count(0xEC), 3)
expect('two objects', ids.count(0x5D), 2)
expect('one note record', ids.count(0x1C), 1)
expect('png stored', group.find(bytes.fromhex('89504e470d0a1a0a')) > 0, True)
expect('blip type', struct.unpack_from('<H', group, group.find(bytes.fromhex('89504e47')) - 25 + 2)[0], 0xF01E)
print('\n'.join(problems) if problems else 'OK')
)";

TEST(NotesPicturesReadBack, NoteLinkAndPicture) {
    if (!testutil::PythonHasModule("xlrd") || !testutil::PythonHasModule("olefile"))
        GTEST_SKIP() << "python3-xlrd or python3-olefile is not installed";
    testutil::TempDir dir;
    const std::string png = (dir / "pixel.png").string();
    std::ofstream(png, std::ios::binary)
        .write(reinterpret_cast<const char*>(OnePixelPng.data()),
               static_cast<std::streamsize>(OnePixelPng.size()));

    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddRow({"alpha"});
    TExporterXLS xls;
    xls.DataSet = &ds;
    xls.FileName = (dir / "book.xls").string();
    TxlsNote& note = xls.Notes.Add();
    note.Row = 2;
    note.Col = 3;
    note.Lines = {"First line", "second \xC3\xA9"};
    TxlsHyperlink& link = xls.Hyperlinks.Add();
    link.Row = 3;
    link.Col = 1;
    link.Title = "Example";
    link.Target = "http://example.org/";
    link.ScreenTip = "tip";
    TxlsPicture& picture = xls.Pictures.Add();
    picture.SetFileName(png);
    TxlsImage& image = xls.Images.Add();
    image.PictureName = picture.Name();
    image.Row = 4;
    image.Col = 2;
    xls.Execute();

    const auto result = testutil::RunPython(Reader, xls.FileName);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "OK\n");
}

} // namespace
