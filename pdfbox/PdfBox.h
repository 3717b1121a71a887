#pragma once

#include "pdfbox/PdfCanvas.h"
#include "pdfbox/PdfEnvironment.h"
#include "platform/rtl/StringList.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace pdfbox {

enum class TPdfCompressMode { cpNone, cpZlib, cpJpeg };
// luTenth: tenths of a millimetre; luPoint: points (1/72 inch).
enum class TLengthUnit { luTenth, luPoint };
enum class TPrinterOrientation { poPortrait, poLandscape };

// The PDF document component of the main window: document settings, page size, fonts kept out of
// embedding, and its canvas. Setters refuse changes while a document is open; refusals throw
// EPdfBoxError.
class TPdfBox {
public:
    using TNotifyEvent = std::function<void(TPdfBox& sender)>;

    explicit TPdfBox(const TPdfEnvironment& environment = TPdfEnvironment::Default());
    TPdfBox(const TPdfBox&) = delete;
    TPdfBox& operator=(const TPdfBox&) = delete;
    virtual ~TPdfBox();

    // Always "Vellumcast version 2.2"; setting it changes nothing.
    std::string About() const;
    void SetAbout(std::string_view) {}

    const std::string& Author() const { return author_; }
    void SetAuthor(std::string value);
    bool EmbedFonts() const { return embedFonts_; }
    void SetEmbedFonts(bool value);
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string value);
    TPdfCompressMode ImageCompressMode() const { return imageCompressMode_; }
    void SetImageCompressMode(TPdfCompressMode value) { imageCompressMode_ = value; }
    int JpegQuality() const { return jpegQuality_; }
    // 1..100.
    void SetJpegQuality(int value);
    const std::string& Keywords() const { return keywords_; }
    void SetKeywords(std::string value);
    TLengthUnit LengthUnit() const { return lengthUnit_; }
    // Converts the page width and height into the new unit.
    void SetLengthUnit(TLengthUnit value);
    // Sorted.
    const rtl::TStringList& NonEmbeddedFonts() const { return nonEmbeddedFonts_; }
    void SetNonEmbeddedFonts(const rtl::TStringList& fonts);
    TPrinterOrientation Orientation() const { return orientation_; }
    // A change exchanges the page width and height.
    void SetOrientation(TPrinterOrientation value);
    // In LengthUnit. Setting one makes the paper size "Custom".
    int PageHeight() const { return pageHeight_; }
    void SetPageHeight(int value);
    int PageWidth() const { return pageWidth_; }
    void SetPageWidth(int value);
    // A name of the paper-size table, compared in upper case.
    std::string PaperSizeName() const;
    void SetPaperSizeName(std::string_view name);
    // The number of the paper-size table, 0..41; the page takes its size in the current orientation.
    int PaperSize() const { return paperSize_; }
    void SetPaperSize(int number);
    const std::string& Producer() const { return producer_; }
    void SetProducer(std::string value);
    const std::string& Subject() const { return subject_; }
    void SetSubject(std::string value);
    const std::string& Title() const { return title_; }
    void SetTitle(std::string value);
    bool SmartStretchDraw() const { return smartStretchDraw_; }
    void SetSmartStretchDraw(bool value) { smartStretchDraw_ = value; }
    bool WantShow() const { return wantShow_; }
    void SetWantShow(bool value) { wantShow_ = value; }

    TNotifyEvent OnAbort;
    TNotifyEvent OnEnd;
    TNotifyEvent OnNewPage;
    TNotifyEvent OnStart;

    TPdfCanvas& Canvas() const { return *canvas_; }
    // "Arial", "Courier New", "Symbol", "Times New Roman".
    const rtl::TStringList& StandardFontNames() const { return standardFontNames_; }
    bool Opened() const { return opened_; }
    // LengthUnit to points: 72 / 254 for tenths of a millimetre, 1 for points.
    double UnitToPoints() const { return unitToPoints_; }
    // Screen pixels to LengthUnit.
    double PixelsToUnit() const { return pixelsToUnit_; }

    // Drops an open document: fires OnAbort and resets the component. Nothing happens without one.
    void Abort();
    // Aborts an open document, then throws "<message>: <property>".
    [[noreturn]] void RaisePropertyError(std::string_view message, std::string_view property);
    // Aborts an open document, then throws the message as it is.
    [[noreturn]] void RaiseError(std::string_view message);

protected:
    // Whether a document is open. Nothing in this program opens one; the state is kept so that the
    // setters can refuse changes during a document.
    void SetOpened(bool opened) { opened_ = opened; }

private:
    void RefuseWhileOpen(std::string_view property);
    void SetUnitFactors();

    std::string author_;
    bool embedFonts_ = false;
    std::string fileName_;
    TPdfCompressMode imageCompressMode_ = TPdfCompressMode::cpJpeg;
    int jpegQuality_ = 90;
    std::string keywords_;
    TLengthUnit lengthUnit_ = TLengthUnit::luTenth;
    rtl::TStringList nonEmbeddedFonts_;
    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    int pageHeight_ = 0;
    int pageWidth_ = 0;
    int paperSize_ = 0;
    std::string producer_;
    std::string subject_;
    std::string title_;
    bool smartStretchDraw_ = true;
    bool wantShow_ = false;

    rtl::TStringList standardFontNames_;
    bool opened_ = false;
    int pixelsPerInch_ = 96;
    double unitToPoints_ = 72.0 / 254.0;
    double pixelsToUnit_ = 254.0 / 96.0;
    std::unique_ptr<TPdfCanvas> canvas_;
};

} // namespace pdfbox
