#pragma once

// A LaTeX document holding one ruled tabular environment.

#include "export/core/Exporter.h"

namespace exporter {

enum class TLaTeXVersion { LaTeX209, LaTeX2e };
enum class TLaTeXDocStyle { dsArticle, dsBook };

class TLaTeXOptions {
public:
    TLaTeXOptions();

    TLaTeXVersion LaTeXVersion = TLaTeXVersion::LaTeX2e;
    TLaTeXDocStyle DocumentStyle = TLaTeXDocStyle::dsArticle;
    std::string DocumentParams = "a4paper";
    std::string Languages = "english";

    int CodePage() const { return codePage_; }
    // A value below 1 stands for the system's ANSI code page.
    void SetCodePage(int value);

    void Assign(const TLaTeXOptions& other);

private:
    int codePage_;
};

class TLaTeXWriter : public TExportWriter {
public:
    using TExportWriter::TExportWriter;
};

class TExporterLaTeX : public TExporterFormatText {
public:
    TLaTeXOptions Options;
    rtl::TStringList Preambula; // lines written into the preamble

    // The file is written in Windows-1252 and declared "cp1252", or, with the code page 65001, in UTF-8
    // declared "utf8": the two encodings the writer can produce.
    std::string InputEncoding() const;

    std::string NormalString(const std::string& s) const override;

protected:
    std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream) override;
    TExportTextEncoding TextEncoding() const override;
    void BeginExport() override;
    void EndExport() override;
    std::string GetCaptionRow() override;
    void WriteCaptionRow() override;
    std::string GetDataRow(bool format) override;
    void WriteDataRow() override;
    void GetColData(const TExportCol& col, std::string& text) override;
    void GetSpecialCharacters(std::bitset<256>& chars) const override;

private:
    bool documentOpen_ = false;
    bool tabularOpen_ = false;
};

} // namespace exporter
