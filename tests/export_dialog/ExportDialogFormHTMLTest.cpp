// The HTML page: the colour mirrors and the form's exporter, the template choice and file, the
// multi-file controls and the edits writing into the form's state.

#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormHTML.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace exporter {
namespace {

class HTMLPageModel : public ::testing::Test {
protected:
    TExportFormState state;
};

TEST_F(HTMLPageModel, TemplatesRecolourThePageAndColoursReachTheExporter) {
    state.HTMLTable.HeadersRowBgColor = 0x123456;
    TExportHTMLPageModel model(state);
    EXPECT_EQ(model.HTMLExp().TableOptions.HeadersRowBgColor, 0x123456u);
    // The choice shows the exporter's own template; the page keeps the component's colours.
    EXPECT_EQ(model.TemplateIndex(), int(model.HTMLExp().HTMLTemplate()));
    model.SetTemplateIndex(model.TemplateIndex());
    EXPECT_EQ(state.HTMLTable.HeadersRowBgColor, 0x123456u);

    const THTMLTemplateColors* gray = HTMLTemplateColors(THTMLTemplate::htGray);
    ASSERT_NE(gray, nullptr);
    model.SetTemplateIndex(int(THTMLTemplate::htGray));
    EXPECT_EQ(model.HTMLExp().HTMLTemplate(), THTMLTemplate::htGray);
    EXPECT_EQ(state.HTMLPage.BackgroundColor, gray->BackgroundColor);
    EXPECT_EQ(state.HTMLPage.TextFont.Color, gray->TextColor);
    EXPECT_EQ(state.HTMLTable.HeadersRowBgColor, gray->HeadersRowBgColor);
    EXPECT_EQ(state.HTMLTable.TableBgColor, gray->TableBgColor);
    EXPECT_EQ(state.HTMLTable.OddRowBgColor, gray->OddRowBgColor);
    EXPECT_EQ(state.HTMLPage.VLinkColor, gray->VLinkColor);

    model.SetColor(THTMLPageColor::EvenRowBackground, 0x010203);
    EXPECT_EQ(state.HTMLTable.TableBgColor, 0x010203u);
    EXPECT_EQ(model.HTMLExp().TableOptions.TableBgColor, 0x010203u);
    model.SetTemplateIndex(0);
    EXPECT_EQ(model.HTMLExp().HTMLTemplate(), THTMLTemplate::htCustom);
    EXPECT_EQ(state.HTMLTable.TableBgColor, 0x010203u); // Custom keeps the page's colours
}

TEST_F(HTMLPageModel, TemplateFileRoundTripShowsCustom) {
    test::TempDir dir;
    const std::string file = dir.file("look.htf");
    TExportHTMLPageModel model(state);
    model.SetColor(THTMLPageColor::HeadFont, 0x0A0B0C);
    model.SetColor(THTMLPageColor::ALink, 0x00F0F0);
    model.SaveTemplate(file);

    TExportFormState other;
    TExportHTMLPageModel loaded(other);
    loaded.SetTemplateIndex(int(THTMLTemplate::htOlive));
    loaded.LoadTemplate(file);
    EXPECT_EQ(loaded.TemplateIndex(), 0);
    EXPECT_EQ(other.HTMLTable.HeadersRowFontColor, 0x0A0B0Cu);
    EXPECT_EQ(other.HTMLPage.ALinkColor, 0x00F0F0u);
    EXPECT_EQ(other.HTMLPage.BackgroundColor, state.HTMLPage.BackgroundColor);
}

TEST_F(HTMLPageModel, MultiFileControlsAndNumberEdits) {
    TExportHTMLPageModel model(state);
    EXPECT_FALSE(model.MultiFileEnabled().FileOptions);
    model.SetUseMultiFile(true);
    state.HTMLMultiFile.NavigationOnTop = false;
    state.HTMLMultiFile.NavigationOnBottom = false;
    state.HTMLMultiFile.GenerateIndex = true;
    THTMLMultiFileEnabled e = model.MultiFileEnabled();
    EXPECT_TRUE(e.FileOptions);
    EXPECT_TRUE(e.IndexLinkTemplate);
    EXPECT_FALSE(e.IndexLinkTitle);
    EXPECT_FALSE(e.LinkTitles);
    state.HTMLMultiFile.NavigationOnBottom = true;
    e = model.MultiFileEnabled();
    EXPECT_TRUE(e.IndexLinkTitle && e.LinkTitles);
    EXPECT_EQ(TExportHTMLPageModel::NumberText("12"), 12);
    EXPECT_EQ(TExportHTMLPageModel::NumberText("1x"), 0);
    EXPECT_EQ(TExportHTMLPageModel::NumberText(""), 0);
}

// --- the page's controls on the form ---

class ScriptedHTMLServices : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString&, QString& name) override {
        name = fileName;
        return !fileName.isEmpty();
    }
    bool OpenFileName(QWidget*, const QString&, const QString&, QString& name) override {
        proposals.push_back(name);
        name = fileName;
        return !fileName.isEmpty();
    }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor& c) override {
        c = color;
        return pick;
    }
    bool Question(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&) override {}
    void ShowMessage(QWidget*, const QString&) override {}

    QString fileName;
    QColor color{0x11, 0x22, 0x33};
    bool pick = true;
    std::vector<QString> proposals;
};

class HTMLPage : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        test::FillDataSet(ds, 1);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }
    void Make() { form = std::make_unique<TExporterDialogFormWindow>(dialog, &services); }
    template <typename T> T* Find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(QWidget* w) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
    void Type(const char* name, const QString& text) {
        auto* edit = Find<QLineEdit>(name);
        edit->setText(text);
        emit edit->textEdited(text);
    }
    TExporterHTMLPage* Page() { return form->findChild<TExporterHTMLPage*>(); }

    TMemoryDataSet ds;
    TExporterDialog dialog;
    ScriptedHTMLServices services;
    std::unique_ptr<TExporterDialogFormWindow> form;
};

TEST_F(HTMLPage, ControlsAreNamedAndShowTheComponentsOptions) {
    dialog.HTMLPageOptions.Title = "Records";
    dialog.HTMLMultiFileOptions.FileRecCount = 50;
    dialog.HTMLTableOptions.CellPadding = 7;
    Make();
    for (const char* name : {"pcHTML",
                             "tshHTMLPreview",
                             "tshHTMLBasic",
                             "tshHTMLMultifile",
                             "tshHTMLAdvanced",
                             "paHTMLBackground",
                             "paHTMLColumnHead_3",
                             "paHTMLOddRowCol_6",
                             "paHTMLEvenRowCol_6",
                             "laHTMLData_12",
                             "laHTMLHead_1",
                             "laHTMLALink",
                             "bHTMLSaveTemplate",
                             "bHTMLLoadTemplate",
                             "btnHTMLCSSFileName",
                             "btnHTMLBackground",
                             "btnHTMLTableBackground",
                             "edHTMLLastLinkTitle",
                             "laHTMLFirstLinkTitle",
                             "cbxHTMLFontName"})
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    ASSERT_NE(Page(), nullptr);
    EXPECT_EQ(Find<QComboBox>("cbxHTMLTemplate")->count(), 10);
    EXPECT_EQ(Find<QComboBox>("cbxHTMLTemplate")->itemText(4), QStringLiteral("Gray"));
    EXPECT_EQ(Find<QLineEdit>("edHTMLTitle")->text(), QStringLiteral("Records"));
    EXPECT_EQ(Find<QLineEdit>("edHTMLFileRecCount")->text(), QStringLiteral("50"));
    EXPECT_EQ(Find<QLineEdit>("edHTMLCellPadding")->text(), QStringLiteral("7"));
    EXPECT_TRUE(Find<QCheckBox>("chHTMLUseMultiFileExport")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("rbInternal")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>("edHTMLCSSFileName")->isEnabled());
}

TEST_F(HTMLPage, TemplateChoiceAndColourClicksReachTheFormState) {
    Make();
    auto* choice = Find<QComboBox>("cbxHTMLTemplate");
    choice->setCurrentIndex(int(THTMLTemplate::htGray));
    emit choice->activated(choice->currentIndex());
    const THTMLTemplateColors* gray = HTMLTemplateColors(THTMLTemplate::htGray);
    const TExportFormState& s = form->FormState();
    EXPECT_EQ(s.HTMLTable.HeadersRowBgColor, gray->HeadersRowBgColor);
    EXPECT_EQ(Find<QWidget>("paHTMLColumnHead_2")->palette().color(QPalette::Window),
              ColorToQColor(gray->HeadersRowBgColor));
    EXPECT_EQ(Find<QLabel>("laHTMLData_7")->palette().color(QPalette::WindowText),
              ColorToQColor(gray->TableFontColor));

    Click(Find<QWidget>("paHTMLColumnHead_1"));
    EXPECT_EQ(s.HTMLTable.HeadersRowBgColor, 0x332211u);
    EXPECT_EQ(Page()->Model().HTMLExp().TableOptions.HeadersRowBgColor, 0x332211u);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(Find<QWidget>("paHTMLColumnHead_3")->palette().color(QPalette::Window),
              QColor(0x11, 0x22, 0x33));

    services.color = QColor(0, 0, 0xFF);
    Click(Find<QLabel>("laHTMLData_12"));
    Click(Find<QWidget>("paHTMLEvenRowCol_2"));
    Click(Find<QLabel>("laHTMLVLink"));
    EXPECT_EQ(s.HTMLTable.TableFontColor, 0xFF0000u);
    EXPECT_EQ(s.HTMLTable.TableBgColor, 0xFF0000u);
    EXPECT_EQ(s.HTMLPage.VLinkColor, 0xFF0000u);
    services.pick = false;
    Click(Find<QWidget>("paHTMLBackground"));
    EXPECT_NE(s.HTMLPage.BackgroundColor, 0xFF0000u);
}

TEST_F(HTMLPage, EditsWriteTheirMirrorsAndMultiFileEnables) {
    Make();
    const TExportFormState& s = form->FormState();
    Type("edHTMLTitle", QStringLiteral("List"));
    Type("edHTMLBorderWidth", QStringLiteral("x"));
    Type("edHTMLCellSpacing", QStringLiteral("3"));
    Type("edHTMLTableAdvanced", QStringLiteral("summary=\"x\""));
    Type("edHTMLNextLinkTitle", QStringLiteral("More"));
    EXPECT_EQ(s.HTMLPage.Title, "List");
    EXPECT_EQ(s.HTMLTable.BorderWidth, 0);
    EXPECT_EQ(s.HTMLTable.CellSpacing, 3);
    EXPECT_EQ(s.HTMLTable.AdvancedAttributes.Text(), "summary=\"x\"\r\n");
    EXPECT_EQ(s.HTMLMultiFile.NextLinkTitle, "More");

    Find<QRadioButton>("rbExternal")->click();
    EXPECT_EQ(s.HTMLPage.UsingCSS, TUsingCSS::usExternal);
    EXPECT_TRUE(Find<QPushButton>("btnHTMLCSSFileName")->isEnabled());
    services.fileName = QStringLiteral("/tmp/site.css");
    Find<QPushButton>("btnHTMLCSSFileName")->click();
    EXPECT_EQ(s.HTMLPage.CSSFileName, "/tmp/site.css");
    services.fileName = QStringLiteral("/pictures/back.gif");
    Find<QPushButton>("btnHTMLBackground")->click();
    EXPECT_EQ(s.HTMLPage.BackgroundFileName, "/pictures/back.gif");
    Find<QPushButton>("btnHTMLBackground")->click();
    EXPECT_EQ(services.proposals.back(), QStringLiteral("/pictures/"));

    EXPECT_FALSE(Find<QLineEdit>("edHTMLFileRecCount")->isEnabled());
    Find<QCheckBox>("chHTMLUseMultiFileExport")->click();
    EXPECT_TRUE(s.HTMLUseMultiFile);
    if (s.HTMLMultiFile.NavigationOnTop)
        Find<QCheckBox>("chHTMLNavigationOnTop")->click();
    if (s.HTMLMultiFile.NavigationOnBottom)
        Find<QCheckBox>("chHTMLNavigationOnBottom")->click();
    EXPECT_TRUE(Find<QLineEdit>("edHTMLFileRecCount")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("chHTMLGenerateIndex")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("edHTMLFirstLinkTitle")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("edHTMLIndexLinkTitle")->isEnabled());
    Find<QCheckBox>("chHTMLGenerateIndex")->click();
    EXPECT_TRUE(Find<QLineEdit>("edHTMLIndexLinkTemplate")->isEnabled());
    Find<QCheckBox>("chHTMLNavigationOnBottom")->click();
    EXPECT_TRUE(Find<QLineEdit>("edHTMLIndexLinkTitle")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>("edHTMLLastLinkTitle")->isEnabled());
}

} // namespace
} // namespace exporter
