#pragma once

#include <string>

class QTextDocument;

namespace browser {

// The two forms in which the text of the "Check" and "DNS-Lookup" pages is saved.
enum class PageTextFormat { RichText, PlainText };

// The document as RTF: fonts, sizes, bold, italic, underline and colours of its text, in the
// Windows-1252 code page (characters outside it become "?").
std::string DocumentToRtf(const QTextDocument& document);
// The document's text in UTF-8 with CR LF line ends.
std::string DocumentToPlainText(const QTextDocument& document);

// Saves the document (through a temporary file); raises ListFileError.
void SavePageText(const QTextDocument& document, const std::string& path, PageTextFormat format);

} // namespace browser
