#include "browser/startup/IniEditorLogic.h"

#include "browser/lists/ListFileWriter.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace browser {

std::string IniEditorLogic::ToEditorText(const std::string& fileText) {
    std::string text;
    text.reserve(fileText.size());
    for (std::size_t i = 0; i < fileText.size(); ++i) {
        const char c = fileText[i];
        if (c == '\r') {
            text += '\n';
            if (i + 1 < fileText.size() && fileText[i + 1] == '\n')
                ++i;
        } else {
            text += c;
        }
    }
    return text;
}

std::string IniEditorLogic::ToFileText(const std::string& editorText) {
    const std::string text = ToEditorText(editorText);
    std::string file;
    file.reserve(text.size() + text.size() / 16 + 2);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        file.append(text, start, end - start);
        file += "\r\n";
        start = end + 1;
    }
    return file;
}

std::string IniEditorLogic::Load() const {
    std::error_code error;
    if (!std::filesystem::exists(fileName_, error))
        return {};
    std::ifstream in(fileName_, std::ios::binary);
    if (!in)
        throw ListFileError("Cannot open file " + fileName_);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw ListFileError("Cannot read file " + fileName_);
    return ToEditorText(content);
}

void IniEditorLogic::Save(const std::string& text) const {
    WriteWholeFile(fileName_, ToFileText(text));
}

} // namespace browser
