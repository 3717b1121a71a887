#include "pdfbox/PdfBox.h"
#include "pdfbox/PaperSizes.h"
#include "pdfbox/PdfError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pdfbox {
namespace {

TPdfEnvironment Facts(std::optional<int> paper, int pixelsPerInch = 96) {
    return {[paper] { return paper; }, [] { return std::optional<int>(); },
            [pixelsPerInch] { return pixelsPerInch; }};
}

// A box whose document state a test can set, as opening a document would.
class OpenableBox : public TPdfBox {
public:
    OpenableBox() : TPdfBox(Facts(A4PaperSize)) {}
    using TPdfBox::SetOpened;
};

template <typename Action> std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const EPdfBoxError& error) {
        return error.what();
    }
    return "no error";
}

TEST(PdfBox, NewComponentHasItsDefaults) {
    TPdfBox box(Facts(A4PaperSize));
    EXPECT_EQ(box.About(), "Vellumcast version 2.2");
    EXPECT_EQ(box.JpegQuality(), 90);
    EXPECT_EQ(box.ImageCompressMode(), TPdfCompressMode::cpJpeg);
    EXPECT_EQ(box.LengthUnit(), TLengthUnit::luTenth);
    EXPECT_EQ(box.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(box.PaperSize(), 9);
    EXPECT_EQ(box.PaperSizeName(), "A4");
    EXPECT_EQ(box.PageWidth(), 2100);
    EXPECT_EQ(box.PageHeight(), 2970);
    EXPECT_FALSE(box.EmbedFonts());
    EXPECT_TRUE(box.SmartStretchDraw());
    EXPECT_FALSE(box.WantShow());
    EXPECT_FALSE(box.Opened());
    EXPECT_TRUE(box.Author().empty() && box.FileName().empty() && box.Title().empty());
    EXPECT_EQ(box.NonEmbeddedFonts().CommaText(), "Symbol,Webdings,Wingdings");
    EXPECT_EQ(box.StandardFontNames().CommaText(), "Arial,\"Courier New\",Symbol,\"Times New Roman\"");
    EXPECT_DOUBLE_EQ(box.UnitToPoints(), 72.0 / 254.0);
    EXPECT_DOUBLE_EQ(box.PixelsToUnit(), 254.0 / 96.0);
    EXPECT_TRUE(box.Canvas().EnableOutput());
    EXPECT_EQ(box.Canvas().PixelsPerInch(), 96);
}

TEST(PdfBox, LetterLocaleGivesLetterPage) {
    TPdfBox box(Facts(LetterPaperSize, 120));
    EXPECT_EQ(box.PaperSizeName(), "Letter");
    EXPECT_EQ(box.PageWidth(), 2159);
    EXPECT_EQ(box.PageHeight(), 2794);
    EXPECT_DOUBLE_EQ(box.PixelsToUnit(), 254.0 / 120.0);
}

TEST(PdfBox, UnusableScreenResolutionFallsBackTo96) {
    TPdfBox box(Facts(A4PaperSize, 0));
    EXPECT_EQ(box.Canvas().PixelsPerInch(), 96);
    EXPECT_DOUBLE_EQ(box.PixelsToUnit(), 254.0 / 96.0);
}

TEST(PdfBox, AboutCannotBeChanged) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetAbout("something else");
    EXPECT_EQ(box.About(), "Vellumcast version 2.2");
}

TEST(PdfBox, JpegQualityOutsideOneToHundredIsRefused) {
    TPdfBox box(Facts(A4PaperSize));
    EXPECT_EQ(ErrorOf([&] { box.SetJpegQuality(0); }), "Invalid value for property: JpegQuality");
    EXPECT_EQ(ErrorOf([&] { box.SetJpegQuality(101); }), "Invalid value for property: JpegQuality");
    EXPECT_EQ(box.JpegQuality(), 90);
    box.SetJpegQuality(1);
    EXPECT_EQ(box.JpegQuality(), 1);
    box.SetJpegQuality(100);
    EXPECT_EQ(box.JpegQuality(), 100);
}

TEST(PdfBox, PaperSizeNameSelectsTableEntry) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetPaperSizeName("lEtTeR");
    EXPECT_EQ(box.PaperSize(), 1);
    EXPECT_EQ(box.PaperSizeName(), "Letter");
    EXPECT_EQ(box.PageWidth(), 2159);
    EXPECT_EQ(box.PageHeight(), 2794);
    box.SetPaperSizeName("b4");
    EXPECT_EQ(box.PaperSize(), 12);
    EXPECT_EQ(box.PageHeight(), 3540);

    EXPECT_EQ(ErrorOf([&] { box.SetPaperSizeName("A9"); }), "Invalid property value: PaperSizeName");
    EXPECT_EQ(ErrorOf([&] { box.SetPaperSizeName("Custom"); }), "Invalid property value: PaperSizeName");
    EXPECT_EQ(box.PaperSize(), 12);
}

TEST(PdfBox, PaperSizeNumberOutsideTableIsRefused) {
    TPdfBox box(Facts(A4PaperSize));
    EXPECT_EQ(ErrorOf([&] { box.SetPaperSize(42); }), "Invalid property value: PaperSize");
    EXPECT_EQ(ErrorOf([&] { box.SetPaperSize(-1); }), "Invalid property value: PaperSize");
    EXPECT_EQ(box.PaperSize(), 9);
    box.SetPaperSize(0);
    EXPECT_EQ(box.PaperSizeName(), "Custom");
    EXPECT_EQ(box.PageWidth(), 0);
}

TEST(PdfBox, LengthUnitConvertsThePage) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetLengthUnit(TLengthUnit::luPoint);
    EXPECT_EQ(box.PageWidth(), 595);
    EXPECT_EQ(box.PageHeight(), 842);
    EXPECT_DOUBLE_EQ(box.UnitToPoints(), 1.0);
    EXPECT_DOUBLE_EQ(box.PixelsToUnit(), 72.0 / 96.0);
    box.SetLengthUnit(TLengthUnit::luPoint); // no change, no conversion
    EXPECT_EQ(box.PageWidth(), 595);
    box.SetLengthUnit(TLengthUnit::luTenth);
    EXPECT_EQ(box.PageWidth(), 2099); // 595 x 254 / 72 = 2099.03
    EXPECT_EQ(box.PageHeight(), 2970);
    EXPECT_DOUBLE_EQ(box.UnitToPoints(), 72.0 / 254.0);
}

TEST(PdfBox, PaperSizeFollowsUnitAndOrientation) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetLengthUnit(TLengthUnit::luPoint);
    box.SetPaperSizeName("Letter");
    EXPECT_EQ(box.PageWidth(), 612);
    EXPECT_EQ(box.PageHeight(), 792);
    box.SetOrientation(TPrinterOrientation::poLandscape);
    box.SetPaperSizeName("A5");
    EXPECT_EQ(box.PageWidth(), 595);  // 2100 tenths across
    EXPECT_EQ(box.PageHeight(), 420); // 1480 tenths down
}

TEST(PdfBox, OrientationChangeExchangesWidthAndHeight) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(box.PageWidth(), 2970);
    EXPECT_EQ(box.PageHeight(), 2100);
    box.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(box.PageWidth(), 2970);
    box.SetOrientation(TPrinterOrientation::poPortrait);
    EXPECT_EQ(box.PageWidth(), 2100);
    EXPECT_EQ(box.PaperSizeName(), "A4");
}

TEST(PdfBox, PageSizeMakesPaperCustom) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetPageWidth(1000);
    EXPECT_EQ(box.PaperSizeName(), "Custom");
    EXPECT_EQ(box.PaperSize(), 0);
    EXPECT_EQ(box.PageWidth(), 1000);
    EXPECT_EQ(box.PageHeight(), 2970);
    box.SetPaperSizeName("A4");
    box.SetPageHeight(500);
    EXPECT_EQ(box.PaperSizeName(), "Custom");
    EXPECT_EQ(box.PageWidth(), 2100);
    EXPECT_EQ(box.PageHeight(), 500);
}

TEST(PdfBox, NonEmbeddedFontsAreAssignedAndKeptSorted) {
    TPdfBox box(Facts(A4PaperSize));
    rtl::TStringList fonts;
    fonts.Add("Zapf");
    fonts.Add("Arial");
    fonts.Add("Marlett");
    box.SetNonEmbeddedFonts(fonts);
    EXPECT_EQ(box.NonEmbeddedFonts().CommaText(), "Arial,Marlett,Zapf");
    EXPECT_TRUE(box.NonEmbeddedFonts().Sorted());
    EXPECT_EQ(fonts.CommaText(), "Zapf,Arial,Marlett");
}

TEST(PdfBox, PlainSettersStore) {
    TPdfBox box(Facts(A4PaperSize));
    box.SetAuthor("Ann");
    box.SetTitle("Zones");
    box.SetSubject("DNS");
    box.SetKeywords("dns dhcp");
    box.SetProducer("Cormelian");
    box.SetFileName("/tmp/out.pdf");
    box.SetEmbedFonts(true);
    box.SetImageCompressMode(TPdfCompressMode::cpZlib);
    box.SetSmartStretchDraw(false);
    box.SetWantShow(true);
    EXPECT_EQ(box.Author() + box.Title() + box.Subject() + box.Keywords() + box.Producer(),
              "AnnZonesDNSdns dhcpCormelian");
    EXPECT_EQ(box.FileName(), "/tmp/out.pdf");
    EXPECT_TRUE(box.EmbedFonts());
    EXPECT_EQ(box.ImageCompressMode(), TPdfCompressMode::cpZlib);
    EXPECT_FALSE(box.SmartStretchDraw());
    EXPECT_TRUE(box.WantShow());
}

TEST(PdfBoxOpened, EveryGuardedSetterRefusesAndAbortsTheDocument) {
    struct Case {
        std::function<void(TPdfBox&)> change;
        std::string message;
    };
    const std::vector<Case> cases{
        {[](TPdfBox& b) { b.SetAuthor("x"); }, "Can't modify property when opened: Author"},
        {[](TPdfBox& b) { b.SetEmbedFonts(true); }, "Can't modify property when opened: EmbedFonts"},
        {[](TPdfBox& b) { b.SetFileName("x"); }, "Can't modify property when opened: FileName"},
        {[](TPdfBox& b) { b.SetKeywords("x"); }, "Can't modify property when opened: Keywords"},
        {[](TPdfBox& b) { b.SetProducer("x"); }, "Can't modify property when opened: Producer"},
        {[](TPdfBox& b) { b.SetSubject("x"); }, "Can't modify property when opened: Subject"},
        {[](TPdfBox& b) { b.SetTitle("x"); }, "Can't modify property when opened: Title"},
        {[](TPdfBox& b) { b.SetLengthUnit(TLengthUnit::luPoint); },
         "Can't modify property when opened: LengthUnit"},
        {[](TPdfBox& b) { b.SetOrientation(TPrinterOrientation::poLandscape); },
         "Can't modify property when opened: Orientation (use NewSection method)"},
        {[](TPdfBox& b) { b.SetPageHeight(1); },
         "Can't modify property when opened: PageHeight (use NewSection method)"},
        {[](TPdfBox& b) { b.SetPageWidth(1); },
         "Can't modify property when opened: PageWidth (use NewSection method)"},
        {[](TPdfBox& b) { b.SetPaperSizeName("Letter"); },
         "Can't modify property when opened: PaperSizeName (use NewSection method)"},
        {[](TPdfBox& b) { b.SetPaperSize(1); },
         "Can't modify property when opened: PaperSize (use NewSection method)"},
        {[](TPdfBox& b) { b.Canvas().SetEnableOutput(false); },
         "Can't modify property when opened: EnableOutput"},
        {[](TPdfBox& b) { b.SetJpegQuality(0); }, "Invalid value for property: JpegQuality"},
    };
    for (const Case& c : cases) {
        OpenableBox box;
        int aborts = 0;
        box.OnAbort = [&](TPdfBox& sender) {
            EXPECT_EQ(&sender, &box);
            ++aborts;
        };
        box.SetOpened(true);
        EXPECT_EQ(ErrorOf([&] { c.change(box); }), c.message);
        EXPECT_EQ(aborts, 1) << c.message;
        EXPECT_FALSE(box.Opened()) << c.message;
        // Nothing was changed.
        EXPECT_TRUE(box.Author().empty() && box.FileName().empty() && !box.EmbedFonts());
        EXPECT_EQ(box.PageWidth(), 2100) << c.message;
        EXPECT_EQ(box.PageHeight(), 2970) << c.message;
        EXPECT_EQ(box.PaperSize(), 9);
        EXPECT_TRUE(box.Canvas().EnableOutput());
        EXPECT_EQ(box.JpegQuality(), 90);
    }
}

TEST(PdfBoxOpened, UnguardedSettersStillWork) {
    OpenableBox box;
    box.SetOpened(true);
    box.SetJpegQuality(50);
    box.SetImageCompressMode(TPdfCompressMode::cpNone);
    box.SetWantShow(true);
    box.SetAbout("x");
    EXPECT_TRUE(box.Opened());
    EXPECT_EQ(box.JpegQuality(), 50);
}

TEST(PdfBoxOpened, AbortKeepsAnExistingFileOfTheSameName) {
    const auto path = std::filesystem::temp_directory_path() / "pdfbox_abort_keeps.pdf";
    { std::ofstream(path) << "user data"; }
    OpenableBox box;
    box.SetFileName(path.string());
    box.SetOpened(true);
    box.Abort();
    EXPECT_FALSE(box.Opened());
    EXPECT_TRUE(std::filesystem::exists(path));
    std::filesystem::remove(path);
}

TEST(PdfBoxOpened, AbortWithoutDocumentDoesNothing) {
    OpenableBox box;
    bool fired = false;
    box.OnAbort = [&](TPdfBox&) { fired = true; };
    box.Abort();
    EXPECT_FALSE(fired);
}

TEST(PdfBoxOpened, AbortResetsTheCanvasDocumentState) {
    OpenableBox box;
    TPdfCanvas& canvas = box.Canvas();
    TPdfStyle* heading = canvas.FindStyle("Heading", true);
    heading->Settings().SetValue("CharacterSpacing", "5");
    canvas.SetCurrentStyle(heading);
    canvas.RootBookmark().AddChild().AddChild();
    box.SetOpened(true);
    box.Abort();
    EXPECT_EQ(canvas.CurrentStyle(), nullptr);
    EXPECT_EQ(canvas.CharacterSpacing(), 0);
    EXPECT_TRUE(canvas.PendingOperators().empty());
    EXPECT_EQ(canvas.RootBookmark().Count(), 0);
    EXPECT_EQ(canvas.FindStyle("heading"), heading); // styles stay registered
}

} // namespace
} // namespace pdfbox
