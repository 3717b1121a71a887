#include "export/dialog/ExporterDialogFormHTML.h"
#include "export/dialog/ExporterDialogWidgets.h"

#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "platform/rtl/SysUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <functional>

namespace exporter {

std::vector<std::string> HTMLTemplateItems() {
    return {"Custom",   "Black&White", "Classic", "ColorFul", "Gray",
            "MS_Money", "Murky",       "Olive",   "Plain",    "Simple"};
}

// --- the model ---

TExportHTMLPageModel::TExportHTMLPageModel(TExportFormState& state) : state_(state) {
    for (int i = 0; i < HTMLPageColorCount; ++i)
        ExporterColor(THTMLPageColor(i)) = Mirror(THTMLPageColor(i));
    templateIndex_ = int(htmlExp_.HTMLTemplate());
}

namespace {

// The colour of the page or table options that the page's colour choice stands for; the form's
// mirror and the exporter keep their options in different classes with the same colour members.
template <class PageOptions, class TableOptions>
TExportColor& PageColor(PageOptions& p, TableOptions& t, THTMLPageColor color) {
    switch (color) {
    case THTMLPageColor::Background:
        return p.BackgroundColor;
    case THTMLPageColor::Font:
        return p.TextFont.Color;
    case THTMLPageColor::HeadBackground:
        return t.HeadersRowBgColor;
    case THTMLPageColor::HeadFont:
        return t.HeadersRowFontColor;
    case THTMLPageColor::OddRowBackground:
        return t.OddRowBgColor;
    case THTMLPageColor::EvenRowBackground:
        return t.TableBgColor;
    case THTMLPageColor::DataFont:
        return t.TableFontColor;
    case THTMLPageColor::Link:
        return p.LinkColor;
    case THTMLPageColor::VLink:
        return p.VLinkColor;
    case THTMLPageColor::ALink:
        break;
    }
    return p.ALinkColor;
}

} // namespace

TExportColor& TExportHTMLPageModel::Mirror(THTMLPageColor color) const {
    return PageColor(state_.HTMLPage, state_.HTMLTable, color);
}

TExportColor& TExportHTMLPageModel::ExporterColor(THTMLPageColor color) {
    return PageColor(htmlExp_.HTMLOptions, htmlExp_.TableOptions, color);
}

TExportColor TExportHTMLPageModel::Color(THTMLPageColor color) const {
    return Mirror(color);
}

void TExportHTMLPageModel::SetColor(THTMLPageColor color, TExportColor value) {
    Mirror(color) = value;
    ExporterColor(color) = value;
}

void TExportHTMLPageModel::CopyHTMLColorsFromExporter() {
    for (int i = 0; i < HTMLPageColorCount; ++i)
        Mirror(THTMLPageColor(i)) = ExporterColor(THTMLPageColor(i));
}

void TExportHTMLPageModel::SetTemplateIndex(int index) {
    if (index < 0 || index >= int(HTMLTemplateItems().size()))
        return;
    templateIndex_ = index;
    htmlExp_.SetHTMLTemplate(THTMLTemplate(index));
    if (index > 0)
        CopyHTMLColorsFromExporter();
}

void TExportHTMLPageModel::SaveTemplate(const std::string& fileName) const {
    htmlExp_.SaveTemplateToFile(fileName);
}

void TExportHTMLPageModel::LoadTemplate(const std::string& fileName) {
    htmlExp_.LoadTemplateFromFile(fileName);
    CopyHTMLColorsFromExporter();
    ResetHTMLTemplateChoice();
}

int TExportHTMLPageModel::NumberText(const std::string& text) {
    int value = 0;
    return rtl::TryStrToInt(text, value) ? value : 0;
}

THTMLMultiFileEnabled TExportHTMLPageModel::MultiFileEnabled() const {
    const bool m = state_.HTMLUseMultiFile;
    const auto& o = state_.HTMLMultiFile;
    const bool n = o.NavigationOnTop || o.NavigationOnBottom;
    const bool g = o.GenerateIndex;
    return {m, m && g, m && n && g, m && n};
}

// --- the page ---

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

void SetFontColor(QLabel* label, TExportColor color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    label->setPalette(palette);
}

void SetBackColor(QWidget* box, TExportColor color) {
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, ColorToQColor(color));
    box->setPalette(palette);
}

const char* const PictureFilter =
    "All (*.gif *.jpg *.jpeg *.bmp);;CompuServe GIF Image (*.gif);;JPEG Image File "
    "(*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp)";

} // namespace

TExporterHTMLPage::TExporterHTMLPage(TExportFormState& state, TExportDialogServices& services,
                                     QWidget* parent)
    : QWidget(parent), model_(state), services_(services) {
    setObjectName(QStringLiteral("paHTMLPage"));
    Build();
    ConnectEdits();
    ShowState();
}

void TExporterHTMLPage::Build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pcHTML = Named(new QTabWidget, "pcHTML");
    pcHTML->addTab(BuildPreview(), QStringLiteral("&Preview"));
    pcHTML->addTab(BuildBasic(), QStringLiteral("&Basic"));
    pcHTML->addTab(BuildMultiFile(), QStringLiteral("Multi-file"));
    pcHTML->addTab(BuildAdvanced(), QStringLiteral("&Advanced"));
    layout->addWidget(pcHTML);
}

QWidget* TExporterHTMLPage::BuildPreview() {
    auto* page = Named(new QWidget, "tshHTMLPreview");
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    cbxHTMLTemplate = Named(new QComboBox, "cbxHTMLTemplate");
    for (const std::string& item : HTMLTemplateItems())
        cbxHTMLTemplate->addItem(Q(item));
    auto* save = Named(new QPushButton(QStringLiteral("Save")), "bHTMLSaveTemplate");
    auto* load = Named(new QPushButton(QStringLiteral("Load")), "bHTMLLoadTemplate");
    row->addWidget(cbxHTMLTemplate, 1);
    row->addWidget(save);
    row->addWidget(load);
    layout->addLayout(row);
    connect(cbxHTMLTemplate, &QComboBox::activated, this, [this] { cbxHTMLTemplateChange(); });
    connect(save, &QPushButton::clicked, this, [this] { bHTMLSaveTemplateClick(); });
    connect(load, &QPushButton::clicked, this, [this] { bHTMLLoadTemplateClick(); });

    paHTMLBackground = Named(new QWidget, "paHTMLBackground");
    auto* grid = new QGridLayout(paHTMLBackground);
    laHTMLFont = Named(new QLabel(QStringLiteral("Default text")), "laHTMLFont");
    laHTMLLink = Named(new QLabel(QStringLiteral("Non-visited link")), "laHTMLLink");
    laHTMLVLink = Named(new QLabel(QStringLiteral("Visited link")), "laHTMLVLink");
    laHTMLALink = Named(new QLabel(QStringLiteral("Active link")), "laHTMLALink");
    grid->addWidget(laHTMLFont, 0, 0);
    grid->addWidget(laHTMLLink, 0, 1);
    grid->addWidget(laHTMLVLink, 0, 2);
    grid->addWidget(laHTMLALink, 1, 0);
    auto cell = [this, grid](const std::string& name, int r, int c, QLabel*& label,
                             const std::string& labelName, const QString& text) {
        auto* box = Named(new QWidget, name);
        box->setAutoFillBackground(true);
        label = Named(new QLabel(text), labelName);
        (new QHBoxLayout(box))->addWidget(label);
        box->installEventFilter(this);
        label->installEventFilter(this);
        grid->addWidget(box, r, c);
        return box;
    };
    const char* heads_[] = {"Num", "Name", "Age"};
    for (int i = 0; i < 3; ++i)
        heads[size_t(i)] = cell("paHTMLColumnHead_" + std::to_string(i + 1), 2, i, headLabels[size_t(i)],
                                "laHTMLHead_" + std::to_string(i + 1), QString::fromLatin1(heads_[i]));
    // Rows alternate odd, even, odd, even; data labels count across the rows.
    int odd = 0, even = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const int data = r * 3 + c;
            const bool isOdd = r % 2 == 0;
            const std::string name = isOdd ? "paHTMLOddRowCol_" + std::to_string(++odd)
                                           : "paHTMLEvenRowCol_" + std::to_string(++even);
            QWidget* box =
                cell(name, 3 + r, c, dataLabels[size_t(data)], "laHTMLData_" + std::to_string(data + 1),
                     c == 0   ? QString::number(r + 1)
                     : c == 1 ? QStringLiteral("Item")
                              : QStringLiteral("30"));
            (isOdd ? oddCells[size_t(odd - 1)] : evenCells[size_t(even - 1)]) = box;
        }
    for (QLabel* label : {laHTMLFont, laHTMLLink, laHTMLVLink, laHTMLALink})
        label->installEventFilter(this);
    paHTMLBackground->installEventFilter(this);
    layout->addWidget(paHTMLBackground, 1);
    return page;
}

QWidget* TExporterHTMLPage::BuildBasic() {
    auto* page = Named(new QWidget, "tshHTMLBasic");
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Title")), 0, 0);
    edHTMLTitle = Named(new QLineEdit, "edHTMLTitle");
    layout->addWidget(edHTMLTitle, 0, 1);
    auto* css = Named(new QGroupBox(QStringLiteral("Using CSS")), "gbHTMLUsingCSS");
    auto* cssLayout = new QGridLayout(css);
    rbInternal = Named(new QRadioButton(QStringLiteral("Internal")), "rbInternal");
    rbExternal = Named(new QRadioButton(QStringLiteral("External")), "rbExternal");
    laHTMLCSSFileName = Named(new QLabel(QStringLiteral("CSS file name")), "laHTMLCSSFileName");
    edHTMLCSSFileName = Named(new QLineEdit, "edHTMLCSSFileName");
    btnHTMLCSSFileName = Named(new QPushButton(QStringLiteral("...")), "btnHTMLCSSFileName");
    chHTMLOverwriteCSSFile =
        Named(new QCheckBox(QStringLiteral("Overwrite CSS file")), "chHTMLOverwriteCSSFile");
    cssLayout->addWidget(rbInternal, 0, 0);
    cssLayout->addWidget(rbExternal, 0, 1);
    cssLayout->addWidget(laHTMLCSSFileName, 1, 0);
    cssLayout->addWidget(edHTMLCSSFileName, 1, 1);
    cssLayout->addWidget(btnHTMLCSSFileName, 1, 2);
    cssLayout->addWidget(chHTMLOverwriteCSSFile, 2, 0, 1, 3);
    layout->addWidget(css, 1, 0, 1, 2);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* TExporterHTMLPage::BuildMultiFile() {
    auto* page = Named(new QWidget, "tshHTMLMultifile");
    auto* layout = new QGridLayout(page);
    chHTMLUseMultiFileExport =
        Named(new QCheckBox(QStringLiteral("Use multi-file export")), "chHTMLUseMultiFileExport");
    laHTMLFileRecCount_01 = Named(new QLabel(QStringLiteral("Records per file")), "laHTMLFileRecCount_01");
    edHTMLFileRecCount = Named(new QLineEdit, "edHTMLFileRecCount");
    edHTMLFileRecCount->setValidator(new QIntValidator(0, 999999999, edHTMLFileRecCount));
    laHTMLFileRecCount_02 = Named(new QLabel(QStringLiteral("records")), "laHTMLFileRecCount_02");
    chHTMLGenerateIndex = Named(new QCheckBox(QStringLiteral("Generate index")), "chHTMLGenerateIndex");
    laHTMLIndexLinkTemplate =
        Named(new QLabel(QStringLiteral("Index link template")), "laHTMLIndexLinkTemplate");
    edHTMLIndexLinkTemplate = Named(new QLineEdit, "edHTMLIndexLinkTemplate");
    layout->addWidget(chHTMLUseMultiFileExport, 0, 0, 1, 3);
    layout->addWidget(laHTMLFileRecCount_01, 1, 0);
    layout->addWidget(edHTMLFileRecCount, 1, 1);
    layout->addWidget(laHTMLFileRecCount_02, 1, 2);
    layout->addWidget(chHTMLGenerateIndex, 2, 0, 1, 3);
    layout->addWidget(laHTMLIndexLinkTemplate, 3, 0);
    layout->addWidget(edHTMLIndexLinkTemplate, 3, 1, 1, 2);
    auto* navigation = Named(new QGroupBox(QStringLiteral("Navigation")), "gbHTMLNavigation");
    auto* nav = new QGridLayout(navigation);
    chHTMLNavigationOnTop = Named(new QCheckBox(QStringLiteral("On top")), "chHTMLNavigationOnTop");
    chHTMLNavigationOnBottom = Named(new QCheckBox(QStringLiteral("On bottom")), "chHTMLNavigationOnBottom");
    nav->addWidget(chHTMLNavigationOnTop, 0, 0);
    nav->addWidget(chHTMLNavigationOnBottom, 0, 1);
    laHTMLIndexLinkTitle = Named(new QLabel(QStringLiteral("Index")), "laHTMLIndexLinkTitle");
    edHTMLIndexLinkTitle = Named(new QLineEdit, "edHTMLIndexLinkTitle");
    nav->addWidget(laHTMLIndexLinkTitle, 1, 0);
    nav->addWidget(edHTMLIndexLinkTitle, 1, 1);
    const char* titles[] = {"First", "Prior", "Next", "Last"};
    for (size_t i = 0; i < 4; ++i) {
        linkTitleLabels[i] = Named(new QLabel(QString::fromLatin1(titles[i])),
                                   std::string("laHTML") + titles[i] + "LinkTitle");
        linkTitleEdits[i] = Named(new QLineEdit, std::string("edHTML") + titles[i] + "LinkTitle");
        nav->addWidget(linkTitleLabels[i], int(i) + 2, 0);
        nav->addWidget(linkTitleEdits[i], int(i) + 2, 1);
    }
    layout->addWidget(navigation, 4, 0, 1, 3);
    layout->setRowStretch(5, 1);
    return page;
}

QWidget* TExporterHTMLPage::BuildAdvanced() {
    auto* page = Named(new QWidget, "tshHTMLAdvanced");
    auto* layout = new QGridLayout(page);
    auto digits = [](QLineEdit* edit) {
        edit->setValidator(new QIntValidator(0, 999999999, edit));
        return edit;
    };
    cbxHTMLFontName = Named(new QComboBox, "cbxHTMLFontName");
    cbxHTMLFontName->setEditable(true);
    cbxHTMLFontName->addItems(ExportFontFamilies());
    edHTMLBackground = Named(new QLineEdit, "edHTMLBackground");
    btnHTMLBackground = Named(new QPushButton(QStringLiteral("...")), "btnHTMLBackground");
    edHTMLBodyAdvanced = Named(new QLineEdit, "edHTMLBodyAdvanced");
    edHTMLCellPadding = digits(Named(new QLineEdit, "edHTMLCellPadding"));
    edHTMLCellSpacing = digits(Named(new QLineEdit, "edHTMLCellSpacing"));
    edHTMLBorderWidth = digits(Named(new QLineEdit, "edHTMLBorderWidth"));
    edHTMLTableBackground = Named(new QLineEdit, "edHTMLTableBackground");
    btnHTMLTableBackground = Named(new QPushButton(QStringLiteral("...")), "btnHTMLTableBackground");
    edHTMLTableAdvanced = Named(new QLineEdit, "edHTMLTableAdvanced");
    int row = 0;
    auto add = [&](const char* caption, QWidget* editor, QWidget* button = nullptr) {
        layout->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
        layout->addWidget(editor, row, 1);
        if (button)
            layout->addWidget(button, row, 2);
        ++row;
    };
    add("Font", cbxHTMLFontName);
    add("Background", edHTMLBackground, btnHTMLBackground);
    add("Body attributes", edHTMLBodyAdvanced);
    add("Cell padding", edHTMLCellPadding);
    add("Cell spacing", edHTMLCellSpacing);
    add("Border width", edHTMLBorderWidth);
    add("Table background", edHTMLTableBackground, btnHTMLTableBackground);
    add("Table attributes", edHTMLTableAdvanced);
    layout->setRowStretch(row, 1);
    return page;
}

void TExporterHTMLPage::ConnectEdits() {
    TExportFormState& s = model_.State();
    auto text = [this](QLineEdit* edit, std::function<void(const std::string&)> store) {
        connect(edit, &QLineEdit::textEdited, this, [store](const QString& t) { store(S(t)); });
    };
    text(edHTMLTitle, [&s](const std::string& t) { s.HTMLPage.Title = t; });
    text(edHTMLCSSFileName, [&s](const std::string& t) { s.HTMLPage.CSSFileName = t; });
    text(edHTMLFileRecCount,
         [&s](const std::string& t) { s.HTMLMultiFile.FileRecCount = TExportHTMLPageModel::NumberText(t); });
    text(edHTMLIndexLinkTemplate, [&s](const std::string& t) { s.HTMLMultiFile.IndexLinkTemplate = t; });
    text(edHTMLIndexLinkTitle, [&s](const std::string& t) { s.HTMLMultiFile.IndexLinkTitle = t; });
    text(linkTitleEdits[0], [&s](const std::string& t) { s.HTMLMultiFile.FirstLinkTitle = t; });
    text(linkTitleEdits[1], [&s](const std::string& t) { s.HTMLMultiFile.PriorLinkTitle = t; });
    text(linkTitleEdits[2], [&s](const std::string& t) { s.HTMLMultiFile.NextLinkTitle = t; });
    text(linkTitleEdits[3], [&s](const std::string& t) { s.HTMLMultiFile.LastLinkTitle = t; });
    text(edHTMLBackground, [&s](const std::string& t) { s.HTMLPage.BackgroundFileName = t; });
    text(edHTMLBodyAdvanced, [&s](const std::string& t) { s.HTMLPage.AdvancedAttributes.SetText(t); });
    text(edHTMLCellPadding,
         [&s](const std::string& t) { s.HTMLTable.CellPadding = TExportHTMLPageModel::NumberText(t); });
    text(edHTMLCellSpacing,
         [&s](const std::string& t) { s.HTMLTable.CellSpacing = TExportHTMLPageModel::NumberText(t); });
    text(edHTMLBorderWidth,
         [&s](const std::string& t) { s.HTMLTable.BorderWidth = TExportHTMLPageModel::NumberText(t); });
    text(edHTMLTableBackground, [&s](const std::string& t) { s.HTMLTable.BackgroundFileName = t; });
    text(edHTMLTableAdvanced, [&s](const std::string& t) { s.HTMLTable.AdvancedAttributes.SetText(t); });
    connect(cbxHTMLFontName->lineEdit(), &QLineEdit::textEdited, this,
            [&s](const QString& t) { s.HTMLPage.TextFont.Name = S(t); });
    connect(cbxHTMLFontName, &QComboBox::activated, this,
            [this, &s] { s.HTMLPage.TextFont.Name = S(cbxHTMLFontName->currentText()); });
    connect(chHTMLOverwriteCSSFile, &QCheckBox::clicked, this,
            [&s](bool on) { s.HTMLPage.OverwriteCSSFile = on; });
    connect(rbInternal, &QRadioButton::clicked, this, [this, &s] {
        if (rbInternal->isChecked())
            s.HTMLPage.UsingCSS = TUsingCSS::usInternal;
        ShowCSS();
    });
    connect(rbExternal, &QRadioButton::clicked, this, [this, &s] {
        if (rbExternal->isChecked())
            s.HTMLPage.UsingCSS = TUsingCSS::usExternal;
        ShowCSS();
    });
    connect(btnHTMLCSSFileName, &QPushButton::clicked, this, [this] { btnHTMLCSSFileNameClick(); });
    connect(btnHTMLBackground, &QPushButton::clicked, this, [this] { btnHTMLBackgroundClick(); });
    connect(btnHTMLTableBackground, &QPushButton::clicked, this, [this] { btnHTMLTableBackgroundClick(); });
    connect(chHTMLUseMultiFileExport, &QCheckBox::clicked, this, [this](bool on) {
        model_.SetUseMultiFile(on);
        UpdateMultiFileControls();
    });
    connect(chHTMLGenerateIndex, &QCheckBox::clicked, this, [this, &s](bool on) {
        s.HTMLMultiFile.GenerateIndex = on;
        UpdateMultiFileControls();
    });
    connect(chHTMLNavigationOnTop, &QCheckBox::clicked, this, [this, &s](bool on) {
        s.HTMLMultiFile.NavigationOnTop = on;
        UpdateMultiFileControls();
    });
    connect(chHTMLNavigationOnBottom, &QCheckBox::clicked, this, [this, &s](bool on) {
        s.HTMLMultiFile.NavigationOnBottom = on;
        UpdateMultiFileControls();
    });
}

void TExporterHTMLPage::ShowState() {
    const TExportFormState& s = model_.State();
    // The colours may have been changed from outside (the options file): the exporter follows them.
    for (int i = 0; i < HTMLPageColorCount; ++i)
        model_.SetColor(THTMLPageColor(i), model_.Color(THTMLPageColor(i)));
    edHTMLTitle->setText(Q(s.HTMLPage.Title));
    edHTMLCSSFileName->setText(Q(s.HTMLPage.CSSFileName));
    chHTMLOverwriteCSSFile->setChecked(s.HTMLPage.OverwriteCSSFile);
    {
        const QSignalBlocker blocker(cbxHTMLFontName);
        cbxHTMLFontName->setCurrentText(Q(s.HTMLPage.TextFont.Name));
    }
    edHTMLBackground->setText(Q(s.HTMLPage.BackgroundFileName));
    edHTMLBodyAdvanced->setText(Q(s.HTMLPage.AdvancedAttributes.Text()).trimmed());
    chHTMLUseMultiFileExport->setChecked(s.HTMLUseMultiFile);
    edHTMLFileRecCount->setText(QString::number(s.HTMLMultiFile.FileRecCount));
    chHTMLGenerateIndex->setChecked(s.HTMLMultiFile.GenerateIndex);
    edHTMLIndexLinkTemplate->setText(Q(s.HTMLMultiFile.IndexLinkTemplate));
    chHTMLNavigationOnTop->setChecked(s.HTMLMultiFile.NavigationOnTop);
    chHTMLNavigationOnBottom->setChecked(s.HTMLMultiFile.NavigationOnBottom);
    edHTMLIndexLinkTitle->setText(Q(s.HTMLMultiFile.IndexLinkTitle));
    linkTitleEdits[0]->setText(Q(s.HTMLMultiFile.FirstLinkTitle));
    linkTitleEdits[1]->setText(Q(s.HTMLMultiFile.PriorLinkTitle));
    linkTitleEdits[2]->setText(Q(s.HTMLMultiFile.NextLinkTitle));
    linkTitleEdits[3]->setText(Q(s.HTMLMultiFile.LastLinkTitle));
    edHTMLCellPadding->setText(QString::number(s.HTMLTable.CellPadding));
    edHTMLCellSpacing->setText(QString::number(s.HTMLTable.CellSpacing));
    edHTMLBorderWidth->setText(QString::number(s.HTMLTable.BorderWidth));
    edHTMLTableBackground->setText(Q(s.HTMLTable.BackgroundFileName));
    edHTMLTableAdvanced->setText(Q(s.HTMLTable.AdvancedAttributes.Text()).trimmed());
    ShowCSS();
    // The choice shows the exporter's template and its change runs once.
    cbxHTMLTemplate->setCurrentIndex(model_.TemplateIndex());
    cbxHTMLTemplateChange();
    UpdateMultiFileControls();
}

void TExporterHTMLPage::ShowCSS() {
    const bool external = model_.State().HTMLPage.UsingCSS == TUsingCSS::usExternal;
    rbInternal->setChecked(!external);
    rbExternal->setChecked(external);
    for (QWidget* w : std::initializer_list<QWidget*>{edHTMLCSSFileName, laHTMLCSSFileName,
                                                      btnHTMLCSSFileName, chHTMLOverwriteCSSFile})
        w->setEnabled(external);
}

void TExporterHTMLPage::ShowColors() {
    SetBackColor(paHTMLBackground, model_.Color(THTMLPageColor::Background));
    SetFontColor(laHTMLFont, model_.Color(THTMLPageColor::Font));
    SetFontColor(laHTMLLink, model_.Color(THTMLPageColor::Link));
    SetFontColor(laHTMLVLink, model_.Color(THTMLPageColor::VLink));
    SetFontColor(laHTMLALink, model_.Color(THTMLPageColor::ALink));
    for (size_t i = 0; i < 3; ++i) {
        SetBackColor(heads[i], model_.Color(THTMLPageColor::HeadBackground));
        SetFontColor(headLabels[i], model_.Color(THTMLPageColor::HeadFont));
    }
    for (size_t i = 0; i < 6; ++i) {
        SetBackColor(oddCells[i], model_.Color(THTMLPageColor::OddRowBackground));
        SetBackColor(evenCells[i], model_.Color(THTMLPageColor::EvenRowBackground));
    }
    for (QLabel* label : dataLabels)
        SetFontColor(label, model_.Color(THTMLPageColor::DataFont));
}

void TExporterHTMLPage::cbxHTMLTemplateChange() {
    model_.SetTemplateIndex(cbxHTMLTemplate->currentIndex());
    ShowColors();
}

void TExporterHTMLPage::ColorClick(THTMLPageColor color) {
    QColor chosen = ColorToQColor(model_.Color(color));
    if (!services_.PickColor(this, chosen))
        return;
    model_.SetColor(color, TExportColor(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16)));
    model_.ResetHTMLTemplateChoice();
    const QSignalBlocker blocker(cbxHTMLTemplate);
    cbxHTMLTemplate->setCurrentIndex(0);
    ShowColors();
}

void TExporterHTMLPage::bHTMLSaveTemplateClick() {
    QString fileName;
    if (!services_.SaveFileName(this, QStringLiteral("HTML template file (*.htf)"), QStringLiteral("htf"),
                                fileName))
        return;
    try {
        model_.SaveTemplate(S(fileName));
    } catch (const std::exception& e) {
        services_.ShowError(this, Q(e.what()));
    }
}

void TExporterHTMLPage::bHTMLLoadTemplateClick() {
    QString fileName;
    if (!services_.OpenFileName(this, QStringLiteral("HTML template file (*.htf)"), QStringLiteral("htf"),
                                fileName))
        return;
    try {
        model_.LoadTemplate(S(fileName));
    } catch (const std::exception& e) {
        services_.ShowError(this, Q(e.what()));
    }
    const QSignalBlocker blocker(cbxHTMLTemplate);
    cbxHTMLTemplate->setCurrentIndex(0);
    ShowColors();
}

void TExporterHTMLPage::btnHTMLCSSFileNameClick() {
    QString fileName;
    if (!services_.OpenFileName(this, QStringLiteral("Style sheets files (*.css);;All files (*)"),
                                QStringLiteral("css"), fileName))
        return;
    model_.State().HTMLPage.CSSFileName = S(fileName);
    edHTMLCSSFileName->setText(fileName);
}

bool TExporterHTMLPage::PickPicture(std::string& fileName) {
    QString name;
    if (!fileName.empty())
        name = QFileInfo(Q(fileName)).absolutePath() + QLatin1Char('/');
    if (!services_.OpenFileName(this, QString::fromLatin1(PictureFilter), QString(), name))
        return false;
    fileName = S(name);
    return true;
}

void TExporterHTMLPage::btnHTMLBackgroundClick() {
    if (PickPicture(model_.State().HTMLPage.BackgroundFileName))
        edHTMLBackground->setText(Q(model_.State().HTMLPage.BackgroundFileName));
}

void TExporterHTMLPage::btnHTMLTableBackgroundClick() {
    if (PickPicture(model_.State().HTMLTable.BackgroundFileName))
        edHTMLTableBackground->setText(Q(model_.State().HTMLTable.BackgroundFileName));
}

void TExporterHTMLPage::UpdateMultiFileControls() {
    const THTMLMultiFileEnabled e = model_.MultiFileEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{laHTMLFileRecCount_01, edHTMLFileRecCount,
                                                      laHTMLFileRecCount_02, chHTMLGenerateIndex,
                                                      chHTMLNavigationOnTop, chHTMLNavigationOnBottom})
        w->setEnabled(e.FileOptions);
    laHTMLIndexLinkTemplate->setEnabled(e.IndexLinkTemplate);
    edHTMLIndexLinkTemplate->setEnabled(e.IndexLinkTemplate);
    laHTMLIndexLinkTitle->setEnabled(e.IndexLinkTitle);
    edHTMLIndexLinkTitle->setEnabled(e.IndexLinkTitle);
    for (size_t i = 0; i < 4; ++i) {
        linkTitleLabels[i]->setEnabled(e.LinkTitles);
        linkTitleEdits[i]->setEnabled(e.LinkTitles);
    }
}

bool TExporterHTMLPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto in = [watched](const auto& widgets) {
        for (QObject* w : widgets)
            if (w == watched)
                return true;
        return false;
    };
    THTMLPageColor color;
    if (watched == paHTMLBackground)
        color = THTMLPageColor::Background;
    else if (watched == laHTMLFont)
        color = THTMLPageColor::Font;
    else if (watched == laHTMLLink)
        color = THTMLPageColor::Link;
    else if (watched == laHTMLVLink)
        color = THTMLPageColor::VLink;
    else if (watched == laHTMLALink)
        color = THTMLPageColor::ALink;
    else if (in(heads))
        color = THTMLPageColor::HeadBackground;
    else if (in(headLabels))
        color = THTMLPageColor::HeadFont;
    else if (in(oddCells))
        color = THTMLPageColor::OddRowBackground;
    else if (in(evenCells))
        color = THTMLPageColor::EvenRowBackground;
    else if (in(dataLabels))
        color = THTMLPageColor::DataFont;
    else
        return QWidget::eventFilter(watched, event);
    ColorClick(color);
    return true;
}

} // namespace exporter
