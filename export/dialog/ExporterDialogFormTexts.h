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

// Every text of the general pages, the file panel and the buttons, in the order they are applied.
const std::vector<TFormText>& ExportDialogFormTexts();

} // namespace exporter
