#include "export/dialog/ExporterDialogFormRTF.h"
#include "export/dialog/ExporterDialogWidgets.h"

#include "export/core/ExporterLocale.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "export/dialog/ExporterOptionsFile.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/SysUtils.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <utility>

namespace exporter {

namespace {

constexpr const char* StripSectionPrefix = "RTF_STRIP_STYLE_";
constexpr int BaseStyleCount = 4;
constexpr int CaptionItem = 1;
constexpr int StripImage = 2;
constexpr int BaseImage = 3;

std::string StripCaption(int index) {
    return ExportLoadStr(34158) + std::to_string(index + 1);
}

} // namespace

void CopyRtfStyleAttribute(TRTFStyleAttribute attribute, const TrtfStyle& from, TrtfStyle& to) {
    switch (attribute) {
    case TRTFStyleAttribute::FontName:
        to.Font.Name = from.Font.Name;
        break;
    case TRTFStyleAttribute::FontSize:
        to.Font.Size = from.Font.Size;
        break;
    case TRTFStyleAttribute::FontColor:
        to.Font.Color = from.Font.Color;
        break;
    case TRTFStyleAttribute::BackgroundColor:
        to.BackgroundColor = from.BackgroundColor;
        break;
    case TRTFStyleAttribute::HighlightColor:
        to.HighlightColor = from.HighlightColor;
        break;
    case TRTFStyleAttribute::Bold:
        to.Font.Bold = from.Font.Bold;
        break;
    case TRTFStyleAttribute::Italic:
        to.Font.Italic = from.Font.Italic;
        break;
    case TRTFStyleAttribute::Underline:
        to.Font.Underline = from.Font.Underline;
        break;
    case TRTFStyleAttribute::StrikeOut:
        to.Font.StrikeOut = from.Font.StrikeOut;
        break;
    case TRTFStyleAttribute::Alignment:
        to.Alignment = from.Alignment;
        break;
    case TRTFStyleAttribute::AllowHighlight:
        to.AllowHighlight = from.AllowHighlight;
        break;
    case TRTFStyleAttribute::AllowBackground:
        to.AllowBackground = from.AllowBackground;
        break;
    }
}

void SaveRTFStripStyles(const std::string& fileName, const TrtfStyles& styles) {
    ini::IniFile ini(fileName);
    EraseAllIniSections(ini);
    for (int i = 0; i < styles.Count(); ++i)
        styles[i].SaveToIni(ini, StripSectionPrefix + std::to_string(i));
    ini.UpdateFile();
}

void LoadRTFStripStyles(const std::string& fileName, TrtfStyles& styles, std::vector<std::string>& captions) {
    const ini::IniFile ini(fileName);
    styles.Clear();
    captions.clear();
    const size_t prefix = std::string(StripSectionPrefix).size();
    for (const std::string& section : ini.ReadSections()) {
        if (section.size() < prefix || !rtl::SameText(section.substr(0, prefix), StripSectionPrefix))
            continue;
        styles.Add().LoadFromIni(ini, section);
        captions.push_back(ExportLoadStr(34158) + section.substr(prefix));
    }
}

// --- the model ---

TExportRTFPageModel::TExportRTFPageModel(TExportRTFOptions& options) : options_(options) {
    SyncStripCaptions();
}

int TExportRTFPageModel::Count(TRTFStyleList list) const {
    switch (list) {
    case TRTFStyleList::Base:
        return BaseStyleCount;
    case TRTFStyleList::Strip:
        return options_.StripStyles.Count();
    default:
        return 0;
    }
}

std::string TExportRTFPageModel::Caption(TRTFStyleList list, int index) const {
    if (index < 0 || index >= Count(list))
        return {};
    if (list == TRTFStyleList::Base)
        return RTFBaseStyleCaption(index);
    return size_t(index) < stripCaptions_.size() ? stripCaptions_[size_t(index)] : StripCaption(index);
}

TrtfStyle* TExportRTFPageModel::Style(TRTFStyleList list, int index) const {
    if (index < 0 || index >= Count(list))
        return nullptr;
    if (list == TRTFStyleList::Strip)
        return &options_.StripStyles[index];
    TrtfStyle* base[] = {&options_.HeaderStyle, &options_.CaptionStyle, &options_.DataStyle,
                         &options_.FooterStyle};
    return base[index];
}

void TExportRTFPageModel::SyncStripCaptions() {
    if (int(stripCaptions_.size()) == options_.StripStyles.Count())
        return;
    stripCaptions_.clear();
    for (int i = 0; i < options_.StripStyles.Count(); ++i)
        stripCaptions_.push_back(StripCaption(i));
}

void TExportRTFPageModel::SetCurrentList(TRTFStyleList list) {
    if (list == currentList_)
        return;
    currentList_ = list;
    selected_.clear();
    currentItem_ = -1;
}

void TExportRTFPageModel::SetSelection(const std::vector<int>& selected, int changedItem) {
    selected_.clear();
    for (int index : selected)
        if (index >= 0 && index < Count(currentList_))
            selected_.push_back(index);
    if (selected_.empty() || changedItem < 0 || changedItem >= Count(currentList_))
        currentItem_ = selected_.empty() ? -1 : selected_.front();
    else
        currentItem_ = changedItem;
}

TrtfStyle* TExportRTFPageModel::CurrentStyle() const {
    return Style(currentList_, currentItem_);
}

TRTFStyleView TExportRTFPageModel::View() const {
    TRTFStyleView view;
    const TrtfStyle* current = CurrentStyle();
    if (!current)
        return view;
    view.Style = *current;
    view.Selection = selected_.size() > 1;
    view.FontName = current->Font.Name;
    view.FontSizeText = std::to_string(current->Font.Size);
    view.AllowHighlight = current->AllowHighlight ? TRTFCheckState::Checked : TRTFCheckState::Unchecked;
    view.AllowBackground = current->AllowBackground ? TRTFCheckState::Checked : TRTFCheckState::Unchecked;
    if (!view.Selection)
        return view;
    for (int index : selected_) {
        const TrtfStyle& other = *Style(currentList_, index);
        if (other.Font.Name != current->Font.Name)
            view.FontName.reset();
        if (other.Font.Size != current->Font.Size)
            view.FontSizeText.clear();
        if (other.AllowHighlight != current->AllowHighlight)
            view.AllowHighlight = TRTFCheckState::Grayed;
        if (other.AllowBackground != current->AllowBackground)
            view.AllowBackground = TRTFCheckState::Grayed;
    }
    return view;
}

bool TExportRTFPageModel::Edit(TRTFStyleAttribute attribute, const std::function<bool(TrtfStyle&)>& change,
                               bool needsSelection) {
    TrtfStyle* current = CurrentStyle();
    if (!current || (needsSelection && selected_.empty()))
        return false;
    if (!change(*current))
        return false;
    CopyToSelection(attribute);
    return true;
}

void TExportRTFPageModel::CopyToSelection(TRTFStyleAttribute attribute) {
    if (selected_.size() <= 1)
        return;
    const TrtfStyle& current = *CurrentStyle();
    for (int index : selected_)
        if (index != currentItem_)
            CopyRtfStyleAttribute(attribute, current, *Style(currentList_, index));
}

bool TExportRTFPageModel::SetFontName(const std::string& name) {
    return Edit(
        TRTFStyleAttribute::FontName,
        [&](TrtfStyle& s) {
            s.Font.Name = name;
            return true;
        },
        false);
}

bool TExportRTFPageModel::SetFontSizeText(const std::string& text) {
    int size = 0;
    if (!rtl::TryStrToInt(text, size))
        size = 10;
    return Edit(
        TRTFStyleAttribute::FontSize,
        [&](TrtfStyle& s) {
            s.Font.Size = size;
            return true;
        },
        false);
}

bool TExportRTFPageModel::SetFontColor(TExportColor color) {
    return Edit(
        TRTFStyleAttribute::FontColor,
        [&](TrtfStyle& s) { return std::exchange(s.Font.Color, color) != color; }, true);
}

bool TExportRTFPageModel::SetBackgroundColor(TExportColor color) {
    return Edit(
        TRTFStyleAttribute::BackgroundColor,
        [&](TrtfStyle& s) { return std::exchange(s.BackgroundColor, color) != color; }, true);
}

bool TExportRTFPageModel::SetHighlightColor(TExportColor color) {
    return Edit(
        TRTFStyleAttribute::HighlightColor,
        [&](TrtfStyle& s) { return std::exchange(s.HighlightColor, color) != color; }, true);
}

bool TExportRTFPageModel::SetFontStyle(TRTFStyleAttribute element, bool include) {
    TFontStyleElem elem;
    switch (element) {
    case TRTFStyleAttribute::Bold:
        elem = TFontStyleElem::fsBold;
        break;
    case TRTFStyleAttribute::Italic:
        elem = TFontStyleElem::fsItalic;
        break;
    case TRTFStyleAttribute::Underline:
        elem = TFontStyleElem::fsUnderline;
        break;
    case TRTFStyleAttribute::StrikeOut:
        elem = TFontStyleElem::fsStrikeOut;
        break;
    default:
        return false;
    }
    return Edit(
        element,
        [&](TrtfStyle& s) {
            SetFontStyleElem(s.Font, elem, include);
            return true;
        },
        true);
}

bool TExportRTFPageModel::SetAlignment(TrtfTextAlignment alignment, bool down) {
    const TrtfTextAlignment value =
        alignment == TrtfTextAlignment::talLeft || down ? alignment : TrtfTextAlignment::talLeft;
    return Edit(
        TRTFStyleAttribute::Alignment,
        [&](TrtfStyle& s) {
            s.Alignment = value;
            return true;
        },
        true);
}

bool TExportRTFPageModel::SetAllowHighlight(bool on) {
    return Edit(
        TRTFStyleAttribute::AllowHighlight,
        [&](TrtfStyle& s) {
            s.AllowHighlight = on;
            return true;
        },
        false);
}

bool TExportRTFPageModel::SetAllowBackground(bool on) {
    return Edit(
        TRTFStyleAttribute::AllowBackground,
        [&](TrtfStyle& s) {
            s.AllowBackground = on;
            return true;
        },
        false);
}

void TExportRTFPageModel::ResetStyle(TRTFStyleList list, int index) const {
    TrtfStyle* style = Style(list, index);
    if (!style)
        return;
    if (list == TRTFStyleList::Base && index == CaptionItem)
        SetDefaultRtfCaptionStyle(*style);
    else
        style->SetDefault();
}

bool TExportRTFPageModel::ResetItem() {
    if (!CurrentStyle() || selected_.empty())
        return false;
    ResetStyle(currentList_, currentItem_);
    for (int index : selected_)
        ResetStyle(currentList_, index);
    return true;
}

bool TExportRTFPageModel::ResetAll() {
    if (Count(currentList_) == 0)
        return false;
    for (int i = 0; i < Count(currentList_); ++i)
        ResetStyle(currentList_, i);
    return true;
}

void TExportRTFPageModel::ResetRTFStyles() {
    for (TRTFStyleList list : {TRTFStyleList::Base, TRTFStyleList::Strip})
        for (int i = 0; i < Count(list); ++i)
            ResetStyle(list, i);
}

int TExportRTFPageModel::AddStrip() {
    options_.StripStyles.Add();
    SyncStripCaptions();
    const int index = options_.StripStyles.Count() - 1;
    stripCaptions_.resize(size_t(index));
    stripCaptions_.push_back(StripCaption(index));
    return index;
}

int TExportRTFPageModel::DeleteStrip(int index) {
    if (index < 0 || index >= options_.StripStyles.Count())
        return -1;
    options_.StripStyles.Delete(index);
    stripCaptions_.clear();
    SyncStripCaptions(); // ITEM_1 upward in list order
    if (currentList_ == TRTFStyleList::Strip) {
        selected_.clear();
        currentItem_ = -1;
    }
    return std::min(index, options_.StripStyles.Count() - 1);
}

int TExportRTFPageModel::MoveStrip(int index, int delta) {
    const int other = index + delta;
    const int count = options_.StripStyles.Count();
    if (index < 0 || index >= count || other < 0 || other >= count)
        return -1;
    std::swap(options_.StripStyles[index], options_.StripStyles[other]);
    return other;
}

TRTFStripButtons TExportRTFPageModel::StripButtons(int selected) const {
    const int count = options_.StripStyles.Count();
    TRTFStripButtons buttons;
    buttons.Delete = selected >= 0 && selected < count;
    buttons.MoveUp = buttons.Delete && count > 1 && selected > 0;
    buttons.MoveDown = buttons.Delete && count > 1 && selected < count - 1;
    buttons.Save = count > 0;
    return buttons;
}

void TExportRTFPageModel::SaveStripStyles(const std::string& fileName) const {
    SaveRTFStripStyles(fileName, options_.StripStyles);
}

void TExportRTFPageModel::LoadStripStyles(const std::string& fileName) {
    LoadRTFStripStyles(fileName, options_.StripStyles, stripCaptions_);
    if (currentList_ == TRTFStyleList::Strip) {
        selected_.clear();
        currentItem_ = -1;
    }
}

// --- the page ---

namespace {

QWidget* PaintBox(const char* name, QObject* filter, int width, int height) {
    auto* box = Named(new QWidget, name);
    box->setFixedSize(width, height);
    box->installEventFilter(filter);
    return box;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void ShowCheck(QCheckBox* box, TRTFCheckState state) {
    box->setTristate(state == TRTFCheckState::Grayed);
    box->setCheckState(state == TRTFCheckState::Checked  ? Qt::Checked
                       : state == TRTFCheckState::Grayed ? Qt::PartiallyChecked
                                                         : Qt::Unchecked);
}

} // namespace

TExporterRTFPage::TExporterRTFPage(TExportRTFOptions& options, TExportDialogServices& services,
                                   QWidget* parent)
    : QWidget(parent), model_(options), services_(services) {
    setObjectName(QStringLiteral("paRTFPage"));
    Build();
    Connect();
    ShowState();
}

void TExporterRTFPage::Build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pcRTF = Named(new QTabWidget, "pcRTF");
    layout->addWidget(pcRTF);

    auto* dataStyles = Named(new QWidget, "tsRTFDataStyles");
    auto* dataLayout = new QHBoxLayout(dataStyles);
    pcRTFStyles = Named(new QTabWidget, "pcRTFStyles");
    auto* baseStyles = Named(new QWidget, "tsRTFBaseStyles");
    lstRTFBaseStyles = Named(new QListWidget, "lstRTFBaseStyles");
    lstRTFBaseStyles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    (new QVBoxLayout(baseStyles))->addWidget(lstRTFBaseStyles);
    auto* stripStyles = Named(new QWidget, "tsRTFStripStyles");
    auto* stripLayout = new QVBoxLayout(stripStyles);
    auto* toolBar = Named(new QWidget, "tbRTFStripStyles");
    auto* toolLayout = new QHBoxLayout(toolBar);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    auto tool = [toolLayout](const char* name, const QString& hint) {
        auto* button = Named(new QToolButton, name);
        button->setText(hint);
        button->setToolTip(hint);
        toolLayout->addWidget(button);
        return button;
    };
    tbtAddRTFStyle = tool("tbtAddRTFStyle", QStringLiteral("Add"));
    tbtDelRTFStyle = tool("tbtDelRTFStyle", QStringLiteral("Delete"));
    tbtMoveRTFStyleUp = tool("tbtMoveRTFStyleUp", QStringLiteral("Up"));
    tbtMoveRTFStyleDown = tool("tbtMoveRTFStyleDown", QStringLiteral("Down"));
    tbtLoadRTFStyle = tool("tbtLoadRTFStyle", QStringLiteral("Load"));
    tbtSaveRTFStyle = tool("tbtSaveRTFStyle", QStringLiteral("Save"));
    toolLayout->addStretch();
    stripLayout->addWidget(toolBar);
    lstRTFStripStyles = Named(new QListWidget, "lstRTFStripStyles");
    lstRTFStripStyles->setSelectionMode(QAbstractItemView::SingleSelection);
    stripLayout->addWidget(lstRTFStripStyles);
    rgRTFStripType = Named(new QGroupBox(QStringLiteral("Strip type")), "rgRTFStripType");
    stripTypeButtons = new QButtonGroup(this);
    auto* stripTypeLayout = new QHBoxLayout(rgRTFStripType);
    int id = 0;
    for (const char* text : {"None", "Col", "Row"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(text));
        stripTypeButtons->addButton(radio, id++);
        stripTypeLayout->addWidget(radio);
    }
    stripLayout->addWidget(rgRTFStripType);
    pcRTFStyles->addTab(baseStyles, QStringLiteral("Base styles"));
    pcRTFStyles->addTab(stripStyles, QStringLiteral("Strip styles"));
    dataLayout->addWidget(pcRTFStyles, 1);

    auto* paRTFStyle = Named(new QWidget, "paRTFStyle");
    auto* grid = new QGridLayout(paRTFStyle);
    pbRTFSample = PaintBox("pbRTFSample", this, 160, 40);
    grid->addWidget(pbRTFSample, 0, 0, 1, 4);
    cbRTFFont = Named(new QComboBox, "cbRTFFont");
    cbRTFFont->addItems(ExportFontFamilies());
    grid->addWidget(cbRTFFont, 1, 0, 1, 3);
    cbRTFFontSize = Named(new QComboBox, "cbRTFFontSize");
    cbRTFFontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cbRTFFontSize->addItem(QString::number(size));
    grid->addWidget(cbRTFFontSize, 1, 3);
    auto colourButton = [this](const char* name, const char* boxName, const QString& text, QWidget*& box) {
        auto* button = Named(new QPushButton, name);
        auto* inner = new QHBoxLayout(button);
        inner->setContentsMargins(4, 2, 4, 2);
        box = PaintBox(boxName, this, 16, 12);
        inner->addWidget(box);
        inner->addStretch();
        button->setToolTip(text);
        button->setMinimumWidth(40);
        return button;
    };
    bRTFFontColor =
        colourButton("bRTFFontColor", "pbRTFFontColor", QStringLiteral("Font color"), pbRTFFontColor);
    bRTFBackgroundColor = colourButton("bRTFBackgroundColor", "pbRTFBackgroundColor",
                                       QStringLiteral("Background color"), pbRTFBackgroundColor);
    bRTFHighlightColor = colourButton("bRTFHighlightColor", "pbRTFHighlightColor",
                                      QStringLiteral("Highlight color"), pbRTFHighlightColor);
    grid->addWidget(bRTFFontColor, 2, 0);
    grid->addWidget(bRTFBackgroundColor, 2, 1);
    grid->addWidget(bRTFHighlightColor, 2, 2);
    bRTFFontBold = ToggleButton("bRTFFontBold", QStringLiteral("B"));
    bRTFFontItalic = ToggleButton("bRTFFontItalic", QStringLiteral("I"));
    bRTFFontStrikeOut = ToggleButton("bRTFFontStrikeOut", QStringLiteral("S"));
    bRTFFontUnderline = ToggleButton("bRTFFontUnderline", QStringLiteral("U"));
    bRTFFontLeft = ToggleButton("bRTFFontLeft", QStringLiteral("Left"));
    bRTFFontCenter = ToggleButton("bRTFFontCenter", QStringLiteral("Center"));
    bRTFFontRight = ToggleButton("bRTFFontRight", QStringLiteral("Right"));
    bRTFFontFill = ToggleButton("bRTFFontFill", QStringLiteral("Fill"));
    int column = 0;
    for (QToolButton* b : {bRTFFontBold, bRTFFontItalic, bRTFFontStrikeOut, bRTFFontUnderline})
        grid->addWidget(b, 3, column++);
    column = 0;
    for (QToolButton* b : {bRTFFontLeft, bRTFFontCenter, bRTFFontRight, bRTFFontFill})
        grid->addWidget(b, 4, column++);
    chRTFAllowBackground = Named(new QCheckBox(QStringLiteral("Allow background")), "chRTFAllowBackground");
    chRTFAllowHighlight = Named(new QCheckBox(QStringLiteral("Allow highlight")), "chRTFAllowHighlight");
    grid->addWidget(chRTFAllowBackground, 5, 0, 1, 2);
    grid->addWidget(chRTFAllowHighlight, 5, 2, 1, 2);
    bRTFResetItem = Named(new QPushButton(Q(ExportLoadStr(34149))), "bRTFResetItem");
    bRTFResetAll = Named(new QPushButton(QStringLiteral("Reset all")), "bRTFResetAll");
    grid->addWidget(bRTFResetItem, 6, 0, 1, 2);
    grid->addWidget(bRTFResetAll, 6, 2, 1, 2);
    dataLayout->addWidget(paRTFStyle);
    pcRTF->addTab(dataStyles, QStringLiteral("Data styles"));

    auto* advanced = Named(new QWidget, "tsRTFAdvanced");
    auto* advancedLayout = new QVBoxLayout(advanced);
    rgRTFPageOrientation = Named(new QGroupBox(QStringLiteral("Page orientation")), "rgRTFPageOrientation");
    orientationButtons = new QButtonGroup(this);
    auto* orientationLayout = new QVBoxLayout(rgRTFPageOrientation);
    id = 0;
    for (const char* text : {"Portrait", "Landscape"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(text));
        orientationButtons->addButton(radio, id++);
        orientationLayout->addWidget(radio);
    }
    advancedLayout->addWidget(rgRTFPageOrientation);
    advancedLayout->addStretch();
    pcRTF->addTab(advanced, QStringLiteral("Advanced"));
}

void TExporterRTFPage::Connect() {
    connect(lstRTFBaseStyles, &QListWidget::itemSelectionChanged, this, [this] { lstRTFBaseStylesChange(); });
    connect(lstRTFStripStyles, &QListWidget::itemSelectionChanged, this,
            [this] { lstRTFBaseStylesChange(); });
    connect(pcRTFStyles, &QTabWidget::currentChanged, this, [this] { pcRTFStylesChange(); });
    connect(cbRTFFont, &QComboBox::activated, this,
            [this] { Edited(model_.SetFontName(cbRTFFont->currentText().toStdString())); });
    auto sizeChanged = [this] { Edited(model_.SetFontSizeText(cbRTFFontSize->currentText().toStdString())); };
    connect(cbRTFFontSize, &QComboBox::activated, this, sizeChanged);
    connect(cbRTFFontSize->lineEdit(), &QLineEdit::textEdited, this, sizeChanged);
    connect(bRTFFontColor, &QPushButton::clicked, this, [this] { PickColor(TRTFStyleAttribute::FontColor); });
    connect(bRTFBackgroundColor, &QPushButton::clicked, this,
            [this] { PickColor(TRTFStyleAttribute::BackgroundColor); });
    connect(bRTFHighlightColor, &QPushButton::clicked, this,
            [this] { PickColor(TRTFStyleAttribute::HighlightColor); });
    for (auto [button, box] :
         {std::pair{bRTFFontColor, pbRTFFontColor}, std::pair{bRTFBackgroundColor, pbRTFBackgroundColor},
          std::pair{bRTFHighlightColor, pbRTFHighlightColor}}) {
        QWidget* swatch = box;
        connect(button, &QPushButton::pressed, this, [swatch] { PressControl(swatch); });
        connect(button, &QPushButton::released, this, [swatch] { ReleaseControl(swatch); });
    }
    for (auto [button, element] : {std::pair{bRTFFontBold, TRTFStyleAttribute::Bold},
                                   std::pair{bRTFFontItalic, TRTFStyleAttribute::Italic},
                                   std::pair{bRTFFontStrikeOut, TRTFStyleAttribute::StrikeOut},
                                   std::pair{bRTFFontUnderline, TRTFStyleAttribute::Underline}}) {
        const TRTFStyleAttribute e = element;
        connect(button, &QToolButton::clicked, this,
                [this, e](bool down) { Edited(model_.SetFontStyle(e, down)); });
    }
    for (auto [button, alignment] : {std::pair{bRTFFontLeft, TrtfTextAlignment::talLeft},
                                     std::pair{bRTFFontCenter, TrtfTextAlignment::talCenter},
                                     std::pair{bRTFFontRight, TrtfTextAlignment::talRight},
                                     std::pair{bRTFFontFill, TrtfTextAlignment::talFill}}) {
        const TrtfTextAlignment a = alignment;
        connect(button, &QToolButton::clicked, this, [this, a](bool down) {
            model_.SetAlignment(a, down);
            ShowView(); // the group shows exactly one alignment down
        });
    }
    connect(chRTFAllowHighlight, &QCheckBox::clicked, this, [this] {
        chRTFAllowHighlight->setTristate(false);
        Edited(model_.SetAllowHighlight(chRTFAllowHighlight->isChecked()));
    });
    connect(chRTFAllowBackground, &QCheckBox::clicked, this, [this] {
        chRTFAllowBackground->setTristate(false);
        Edited(model_.SetAllowBackground(chRTFAllowBackground->isChecked()));
    });
    connect(bRTFResetItem, &QPushButton::clicked, this, [this] { bRTFResetItemClick(); });
    connect(bRTFResetAll, &QPushButton::clicked, this, [this] { bRTFResetAllClick(); });
    connect(stripTypeButtons, &QButtonGroup::idClicked, this,
            [this](int index) { model_.Options().StripType = TrtfStripType(index); });
    connect(orientationButtons, &QButtonGroup::idClicked, this,
            [this](int index) { model_.Options().PageOrientation = TExportPageOrientation(index); });
    connect(tbtAddRTFStyle, &QToolButton::clicked, this, [this] { tbtAddRTFStyleClick(); });
    connect(tbtDelRTFStyle, &QToolButton::clicked, this, [this] { tbtDelRTFStyleClick(); });
    connect(tbtMoveRTFStyleUp, &QToolButton::clicked, this, [this] { tbtMoveRTFStyleUpClick(); });
    connect(tbtMoveRTFStyleDown, &QToolButton::clicked, this, [this] { tbtMoveRTFStyleDownClick(); });
    connect(tbtLoadRTFStyle, &QToolButton::clicked, this, [this] { tbtLoadRTFStyleClick(); });
    connect(tbtSaveRTFStyle, &QToolButton::clicked, this, [this] { tbtSaveRTFStyleClick(); });
}

QListWidget* TExporterRTFPage::List(TRTFStyleList list) const {
    return list == TRTFStyleList::Base    ? lstRTFBaseStyles
           : list == TRTFStyleList::Strip ? lstRTFStripStyles
                                          : nullptr;
}

void TExporterRTFPage::FillList(TRTFStyleList list) {
    QListWidget* widget = List(list);
    const QSignalBlocker blocker(widget);
    widget->clear();
    for (int i = 0; i < model_.Count(list); ++i) {
        auto* item = new QListWidgetItem(Q(model_.Caption(list, i)), widget);
        SetListItemImage(*item, list == TRTFStyleList::Base ? BaseImage : StripImage);
    }
}

void TExporterRTFPage::ShowState() {
    model_.SyncStripCaptions();
    FillList(TRTFStyleList::Base);
    FillList(TRTFStyleList::Strip);
    if (auto* b = stripTypeButtons->button(int(model_.Options().StripType)))
        b->setChecked(true);
    if (auto* b = orientationButtons->button(int(model_.Options().PageOrientation)))
        b->setChecked(true);
    pcRTFStylesChange();
    SelectCurrentOrFirst(false);
}

void TExporterRTFPage::PageActivated() {
    SelectCurrentOrFirst(true);
}

void TExporterRTFPage::SelectCurrentOrFirst(bool focus) {
    QListWidget* list = List(model_.CurrentList());
    if (!list || list->count() == 0)
        return;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    QListWidgetItem* item = selected.isEmpty() ? list->item(0) : selected.front();
    if (focus && list->isVisible() && list->focusPolicy() != Qt::NoFocus)
        list->setFocus();
    {
        const QSignalBlocker blocker(list);
        list->setCurrentItem(item, QItemSelectionModel::Select);
    }
    lstRTFBaseStylesChange();
}

void TExporterRTFPage::pcRTFStylesChange() {
    const int page = pcRTFStyles->currentIndex();
    model_.SetCurrentList(page == 0   ? TRTFStyleList::Base
                          : page == 1 ? TRTFStyleList::Strip
                                      : TRTFStyleList::None);
    lstRTFBaseStylesChange();
}

void TExporterRTFPage::lstRTFBaseStylesChange() {
    QListWidget* list = List(model_.CurrentList());
    std::vector<int> selected;
    int changed = -1;
    if (list) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->isSelected())
                selected.push_back(i);
        changed = list->currentRow();
        if (std::find(selected.begin(), selected.end(), changed) == selected.end())
            changed = selected.empty() ? -1 : selected.front();
    }
    model_.SetSelection(selected, changed);
    ShowView();
    UpdateStripButtons();
}

void TExporterRTFPage::ShowView() {
    const TRTFStyleView view = model_.View();
    const bool any = model_.CurrentStyle() != nullptr;
    for (QWidget* w : {static_cast<QWidget*>(cbRTFFont), static_cast<QWidget*>(cbRTFFontSize)})
        w->setEnabled(any);
    bRTFResetItem->setText(Q(ExportLoadStr(view.Selection ? 34150 : 34149)));
    {
        const QSignalBlocker b1(cbRTFFont), b2(cbRTFFontSize);
        cbRTFFont->setCurrentIndex(view.FontName ? cbRTFFont->findText(Q(*view.FontName)) : -1);
        cbRTFFontSize->setEditText(Q(view.FontSizeText));
    }
    const TExportFont& f = view.Style.Font;
    bRTFFontBold->setChecked(any && f.Bold);
    bRTFFontItalic->setChecked(any && f.Italic);
    bRTFFontStrikeOut->setChecked(any && f.StrikeOut);
    bRTFFontUnderline->setChecked(any && f.Underline);
    bRTFFontLeft->setChecked(any && view.Style.Alignment == TrtfTextAlignment::talLeft);
    bRTFFontCenter->setChecked(any && view.Style.Alignment == TrtfTextAlignment::talCenter);
    bRTFFontRight->setChecked(any && view.Style.Alignment == TrtfTextAlignment::talRight);
    bRTFFontFill->setChecked(any && view.Style.Alignment == TrtfTextAlignment::talFill);
    ShowCheck(chRTFAllowHighlight, view.AllowHighlight);
    ShowCheck(chRTFAllowBackground, view.AllowBackground);
    for (QWidget* box : {pbRTFSample, pbRTFFontColor, pbRTFBackgroundColor, pbRTFHighlightColor})
        box->update();
}

void TExporterRTFPage::UpdateStripButtons() {
    const TRTFStripButtons buttons = model_.StripButtons(
        lstRTFStripStyles->currentRow() >= 0 && lstRTFStripStyles->currentItem()->isSelected()
            ? lstRTFStripStyles->currentRow()
            : -1);
    tbtDelRTFStyle->setEnabled(buttons.Delete);
    tbtMoveRTFStyleUp->setEnabled(buttons.MoveUp);
    tbtMoveRTFStyleDown->setEnabled(buttons.MoveDown);
    tbtSaveRTFStyle->setEnabled(buttons.Save);
}

void TExporterRTFPage::Edited(bool changed) {
    if (changed)
        ShowView();
}

void TExporterRTFPage::PickColor(TRTFStyleAttribute attribute) {
    const TrtfStyle* style = model_.CurrentStyle();
    if (!style || model_.Selected().empty())
        return;
    const TExportColor start = attribute == TRTFStyleAttribute::FontColor         ? style->Font.Color
                               : attribute == TRTFStyleAttribute::BackgroundColor ? style->BackgroundColor
                                                                                  : style->HighlightColor;
    QColor color = ColorToQColor(start);
    if (!services_.PickColor(this, color))
        return;
    const TExportColor chosen = TExportColor(color.red() | (color.green() << 8) | (color.blue() << 16));
    if (attribute == TRTFStyleAttribute::FontColor)
        Edited(model_.SetFontColor(chosen));
    else if (attribute == TRTFStyleAttribute::BackgroundColor)
        Edited(model_.SetBackgroundColor(chosen));
    else
        Edited(model_.SetHighlightColor(chosen));
}

void TExporterRTFPage::bRTFResetItemClick() {
    if (model_.ResetItem())
        lstRTFBaseStylesChange();
}

void TExporterRTFPage::bRTFResetAllClick() {
    QListWidget* list = List(model_.CurrentList());
    if (!list || list->count() == 0)
        return;
    if (!services_.Question(this, Q(ExportLoadStr(34152)), Q(ExportLoadStr(34153))))
        return;
    const int position = std::max(0, model_.CurrentItem());
    model_.ResetAll();
    list->clearSelection();
    list->setCurrentRow(std::min(position, list->count() - 1));
    lstRTFBaseStylesChange();
}

void TExporterRTFPage::SelectStrip(int index) {
    lstRTFStripStyles->clearSelection();
    if (index >= 0 && index < lstRTFStripStyles->count())
        lstRTFStripStyles->setCurrentRow(index);
    lstRTFStripStyles->setFocus();
    lstRTFBaseStylesChange();
}

void TExporterRTFPage::tbtAddRTFStyleClick() {
    const int index = model_.AddStrip();
    FillList(TRTFStyleList::Strip);
    SelectStrip(index);
}

void TExporterRTFPage::tbtDelRTFStyleClick() {
    const int selected = lstRTFStripStyles->currentRow();
    if (selected < 0 || !lstRTFStripStyles->currentItem()->isSelected())
        return;
    const int next = model_.DeleteStrip(selected);
    FillList(TRTFStyleList::Strip);
    SelectStrip(next);
}

void TExporterRTFPage::tbtMoveRTFStyleUpClick() {
    SelectStrip(model_.MoveStrip(lstRTFStripStyles->currentRow(), -1));
}

void TExporterRTFPage::tbtMoveRTFStyleDownClick() {
    SelectStrip(model_.MoveStrip(lstRTFStripStyles->currentRow(), 1));
}

void TExporterRTFPage::tbtSaveRTFStyleClick() {
    QString fileName;
    if (!services_.SaveFileName(this, QStringLiteral("RTF style file (*.rst);;All files (*)"),
                                QStringLiteral("rst"), fileName))
        return;
    try {
        model_.SaveStripStyles(fileName.toStdString());
    } catch (const std::exception& e) {
        services_.ShowError(this, QString::fromStdString(e.what()));
    }
}

void TExporterRTFPage::tbtLoadRTFStyleClick() {
    QString fileName;
    if (!services_.OpenFileName(this, QStringLiteral("RTF style file (*.rst);;All files (*)"),
                                QStringLiteral("rst"), fileName))
        return;
    try {
        model_.LoadStripStyles(fileName.toStdString());
    } catch (const std::exception& e) {
        services_.ShowError(this, QString::fromStdString(e.what()));
    }
    FillList(TRTFStyleList::Strip);
    SelectStrip(lstRTFStripStyles->count() > 0 ? 0 : -1);
}

bool TExporterRTFPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        auto* box = static_cast<QWidget*>(watched);
        const TrtfStyle* style = model_.CurrentStyle();
        const TrtfStyle shown = style ? *style : TrtfStyle();
        if (box == pbRTFSample)
            DrawRtfStyleSample(*box, shown);
        else if (box == pbRTFFontColor)
            FillColorRect(*box, shown.Font.Color);
        else if (box == pbRTFBackgroundColor)
            FillColorRect(*box, shown.BackgroundColor);
        else if (box == pbRTFHighlightColor)
            FillColorRect(*box, shown.HighlightColor);
        else
            return QWidget::eventFilter(watched, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace exporter
