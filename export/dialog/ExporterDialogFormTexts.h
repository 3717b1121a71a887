#pragma once

// The texts of the export dialog's form: for each control, the string of the library's table it shows
// and where (its text, a group's or tab's title, a hint). The window applies them when it is made.

#include <string>
#include <vector>

namespace exporter {

enum class TFormTextKind {
    Text,  // a label's, button's, check box's or menu item's caption
    Title, // a group box's title
    Tab,   // the caption of a page in its page control
    Hint   // a tool button's hint
};

struct TFormText {
    const char* Control;
    int Id;
    TFormTextKind Kind;
};

// Every text of the general pages, the file panel and the buttons, and the type pages' tab captions, in
// the order they are applied.
const std::vector<TFormText>& ExportDialogFormTexts();

// The ids of the texts of a type page ("tshRTF", "tshHTML", "tshXLS", "tshPDF"; none for others): each
// text on the page that is one of these ids' built-in texts shows the id's text from the string table.
const std::vector<int>& ExportDialogPageTextIds(const std::string& page);

// Ids the workbook pages use while they run: the transparency label and the extension tools' hints
// (add, then delete, for hyperlink, note, chart, series, cell and merged cells).
constexpr int SXlsNoteTransparency = 34283;
constexpr int SXlsExtensionHints[12] = {34344, 34345, 34346, 34347, 34348, 34350,
                                        34351, 34353, 34354, 34355, 34356, 34357};

} // namespace exporter
