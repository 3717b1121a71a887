#pragma once

#include <string>
#include <utility>

namespace browser {

// The plain-text editor of the settings file: reads the file for the editor and writes the
// editor's lines back. The editor works with "\n" line ends; the file gets CR LF.
class IniEditorLogic {
public:
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    const std::string& FileName() const { return fileName_; }

    // The file's text with "\n" line ends; empty when the file does not exist yet. Raises
    // ListFileError when an existing file cannot be read.
    std::string Load() const;
    // Writes text line by line, each line ending in CR LF, through a temporary file that replaces
    // the old one only when all is written. Raises ListFileError.
    void Save(const std::string& text) const;

    // The editor's lines as the file holds them.
    static std::string ToFileText(const std::string& editorText);
    static std::string ToEditorText(const std::string& fileText);

private:
    std::string fileName_;
};

} // namespace browser
