#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogWidgets.h"

#include "export/core/ExporterLocale.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "export/dialog/ExporterOptionsFile.h"
#include "export/dialog/ExporterPalette.h"
#include "platform/ini/IniFile.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace exporter {

namespace {

// Texts of the string table.
constexpr int idResetItem = 34149;
constexpr int idResetSelected = 34150;
constexpr int idAttention = 34152;
constexpr int idResetAllQuestion = 34153;
constexpr int idOptionItems[] = {34243, 34244, 34246, 34247, 34248}; // HEADER ... HYPERLINK
constexpr int idStyleItemPrefix = 34252;                             // "ITEM_"
constexpr int HyperlinkItemIndex = 4;

const char* const StylePrefix = "XLS_STYLE_";
const char* const StyleFilter = "Excel style file (*.xst);;All files (*)";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const char* const BorderSideNames[] = {"Top", "Bottom", "Left", "Right"};
const char* const BorderStyleNames[] = {"None",
                                        "Thin",
                                        "Medium",
                                        "Dashed",
                                        "Dotted",
                                        "Thick",
                                        "Double",
                                        "Hair",
                                        "Medium dashed",
                                        "Dash dot",
                                        "Medium dash dot",
                                        "Dash dot dot",
                                        "Medium dash dot dot",
                                        "Slanted dash dot"};
constexpr int PatternCount = 19;

// The owner-drawn items of the border style and pattern combos.
class TXlsComboDelegate : public QStyledItemDelegate {
public:
    TXlsComboDelegate(QObject* parent, std::function<void(QPainter&, const QRect&, int, bool)> draw)
        : QStyledItemDelegate(parent), draw_(std::move(draw)) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        draw_(*painter, option.rect, index.row(),
              (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) != 0);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {80, 16}; }

private:
    std::function<void(QPainter&, const QRect&, int, bool)> draw_;
};

} // namespace

// --- attributes ---

TxlsBorder& XlsBorderOf(TxlsFormat& format, TXlsBorderSide side) {
    switch (side) {
    case TXlsBorderSide::Top:
        return format.Borders.Top;
    case TXlsBorderSide::Bottom:
        return format.Borders.Bottom;
    case TXlsBorderSide::Left:
        return format.Borders.Left;
    case TXlsBorderSide::Right:
        break;
    }
    return format.Borders.Right;
}

const TxlsBorder& XlsBorderOf(const TxlsFormat& format, TXlsBorderSide side) {
    return XlsBorderOf(const_cast<TxlsFormat&>(format), side);
}

void CopyXlsFormatAttribute(TXlsFormatAttribute attribute, const TxlsFormat& source, TxlsFormat& target) {
    using A = TXlsFormatAttribute;
    const auto copyStyle = [&](TxlsFontStyle style) {
        SetXlsFontStyleElem(target.Font, style, source.Font.Has(style));
    };
    const auto side = [](A a, A first) { return static_cast<TXlsBorderSide>(int(a) - int(first)); };
    switch (attribute) {
    case A::FontName:
        target.Font.Name = source.Font.Name;
        break;
    case A::FontSize:
        target.Font.Size = source.Font.Size;
        break;
    case A::FontColor:
        target.Font.Color = source.Font.Color;
        break;
    case A::Bold:
        copyStyle(xfsBold);
        break;
    case A::Italic:
        copyStyle(xfsItalic);
        break;
    case A::StrikeOut:
        copyStyle(xfsStrikeOut);
        break;
    case A::Underline:
        target.Font.Underline = source.Font.Underline;
        break;
    case A::Horizontal:
        target.Alignment.Horizontal = source.Alignment.Horizontal;
        break;
    case A::Vertical:
        target.Alignment.Vertical = source.Alignment.Vertical;
        break;
    case A::BorderTopStyle:
    case A::BorderBottomStyle:
    case A::BorderLeftStyle:
    case A::BorderRightStyle: {
        const TXlsBorderSide s = side(attribute, A::BorderTopStyle);
        XlsBorderOf(target, s).Style = XlsBorderOf(source, s).Style;
        break;
    }
    case A::BorderTopColor:
    case A::BorderBottomColor:
    case A::BorderLeftColor:
    case A::BorderRightColor: {
        const TXlsBorderSide s = side(attribute, A::BorderTopColor);
        XlsBorderOf(target, s).Color = XlsBorderOf(source, s).Color;
        break;
    }
    case A::Pattern:
        target.Fill.Pattern = source.Fill.Pattern;
        break;
    case A::Background:
        target.Fill.Background = source.Fill.Background;
        break;
    case A::Foreground:
        target.Fill.Foreground = source.Fill.Foreground;
        break;
    case A::Aggregate: {
        const auto* from = dynamic_cast<const TxlsFieldFormat*>(&source);
        auto* to = dynamic_cast<TxlsFieldFormat*>(&target);
        if (from && to)
            to->Aggregate = from->Aggregate;
        break;
    }
    }
}

int XlsFontSizeFromText(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() ? value : 10;
}

// --- style file ---

void SaveXLSStyles(const std::string& fileName, const std::vector<const TxlsFormat*>& formats) {
    ini::IniFile ini(fileName);
    EraseAllIniSections(ini);
    for (std::size_t i = 0; i < formats.size(); ++i)
        formats[i]->TxlsFormat::SaveToIni(ini, StylePrefix + std::to_string(i));
    ini.UpdateFile();
}

std::vector<TXlsStyleEntry> LoadXLSStyles(const std::string& fileName) {
    const ini::IniFile ini(fileName);
    std::vector<TXlsStyleEntry> entries;
    const std::string prefix = StylePrefix;
    for (const std::string& section : ini.ReadSections()) {
        if (section.size() < prefix.size() || !SameText(section.substr(0, prefix.size()), prefix))
            continue;
        auto format = std::make_shared<TxlsFieldFormat>();
        format->LoadFromIni(ini, section);
        entries.push_back(
            {ExportLoadStr(idStyleItemPrefix) + section.substr(prefix.size()), std::move(format)});
    }
    return entries;
}

// --- the lists ---

TExportXLSFormatLists::TExportXLSFormatLists(QListWidget* fields, QListWidget* options, QListWidget* styles)
    : fields_(fields), options_(options), styles_(styles) {}

TxlsFieldFormat* TExportXLSFormatLists::FormatOf(const QListWidgetItem* item) {
    return ListItemObject<TxlsFieldFormat>(item);
}

void TExportXLSFormatLists::SetActiveList(QListWidget* list) {
    active_ = list;
    current_ = nullptr;
    if (list && !list->selectedItems().isEmpty())
        SelectionChanged(list->currentItem() && list->currentItem()->isSelected()
                             ? list->currentItem()
                             : list->selectedItems().first());
}

void TExportXLSFormatLists::SetCellFormat(TxlsFormat* format) {
    cellFormat_ = format;
    if (format) {
        cellEditor_->SetDefault();
        cellEditor_->Assign(*format);
    }
}

int TExportXLSFormatLists::SelectedCount() const {
    if (cellFormat_)
        return 1;
    return active_ ? int(active_->selectedItems().size()) : 0;
}

TxlsFieldFormat* TExportXLSFormatLists::CurrentFormat() const {
    if (cellFormat_)
        return cellEditor_.get();
    if (!active_ || !current_ || current_->listWidget() != active_ || SelectedCount() == 0)
        return nullptr;
    return FormatOf(current_);
}

TxlsFieldFormat* TExportXLSFormatLists::ShownFormat() const {
    if (cellFormat_)
        return cellEditor_.get();
    if (SelectedCount() == 1)
        return FormatOf(active_->selectedItems().first());
    return CurrentFormat();
}

void TExportXLSFormatLists::SelectionChanged(QListWidgetItem* changed) {
    if (!active_)
        return;
    const QList<QListWidgetItem*> selected = active_->selectedItems();
    current_ = !selected.isEmpty() && changed && changed->listWidget() == active_ && FormatOf(changed)
                   ? changed
                   : nullptr;
    // The changed item may have just been deselected: the current item must be one of the selection.
    if (current_ && !current_->isSelected())
        current_ = nullptr;
    if (!current_ && !selected.isEmpty())
        current_ = selected.first();
}

TXlsCommonFormat TExportXLSFormatLists::CommonFormat() const {
    TXlsCommonFormat common;
    const TxlsFieldFormat* current = CurrentFormat();
    if (!current)
        return common;
    common.FontName = current->Font.Name;
    common.FontSize = current->Font.Size;
    for (int s = 0; s < 4; ++s)
        common.BorderStyles[s] = XlsBorderOf(*current, TXlsBorderSide(s)).Style;
    common.Pattern = current->Fill.Pattern;
    // The aggregate belongs to the data columns only: the choice is offered while the field list is active.
    common.AggregateEnabled = active_ == fields_;
    if (common.AggregateEnabled)
        common.Aggregate = current->Aggregate;
    for (QListWidgetItem* item : active_->selectedItems()) {
        const TxlsFieldFormat* other = FormatOf(item);
        if (item == current_ || !other)
            continue;
        if (common.FontName && !SameText(*common.FontName, other->Font.Name))
            common.FontName.reset();
        if (common.FontSize && *common.FontSize != other->Font.Size)
            common.FontSize.reset();
        for (int s = 0; s < 4; ++s)
            if (common.BorderStyles[s] &&
                *common.BorderStyles[s] != XlsBorderOf(*other, TXlsBorderSide(s)).Style)
                common.BorderStyles[s].reset();
        if (common.Pattern && *common.Pattern != other->Fill.Pattern)
            common.Pattern.reset();
        if (common.Aggregate && *common.Aggregate != other->Aggregate)
            common.Aggregate.reset();
    }
    return common;
}

bool TExportXLSFormatLists::Edit(TXlsFormatAttribute attribute,
                                 const std::function<void(TxlsFieldFormat&)>& change) {
    TxlsFieldFormat* current = CurrentFormat();
    if (!current)
        return false;
    change(*current);
    if (cellFormat_) {
        cellFormat_->Assign(static_cast<const TxlsFormat&>(*current));
        return true;
    }
    if (SelectedCount() > 1)
        ForEachSelectedItem(active_, false, false, [&](QListWidgetItem& item) {
            if (TxlsFieldFormat* other = FormatOf(&item); other && other != current)
                CopyXlsFormatAttribute(attribute, *current, *other);
        });
    return true;
}

void TExportXLSFormatLists::ResetItem(QListWidgetItem& item, QListWidget* list) const {
    TxlsFieldFormat* format = FormatOf(&item);
    if (!format)
        return;
    if (list == options_ && SameText(S(item.text()), ExportLoadStr(idOptionItems[1])))
        SetDefaultXlsCaptionFormat(*format);
    else
        format->SetDefault();
}

void TExportXLSFormatLists::ResetSelected() {
    if (!CurrentFormat())
        return;
    ResetItem(*current_, active_);
    ForEachSelectedItem(active_, false, false, [&](QListWidgetItem& item) {
        if (&item != current_)
            ResetItem(item, active_);
    });
}

void TExportXLSFormatLists::ResetList(QListWidget* list) {
    ForEachSelectedItem(list, false, true, [&](QListWidgetItem& item) { ResetItem(item, list); });
}

void TExportXLSFormatLists::ResetAll() {
    for (QListWidget* list : {fields_, options_, styles_})
        ForEachSelectedItem(list, false, true, [&](QListWidgetItem& item) {
            if (&item != current_)
                ResetItem(item, list);
        });
    if (TxlsFieldFormat* format = FormatOf(current_))
        format->SetDefault();
}

QListWidgetItem* TExportXLSFormatLists::AddItem(QListWidget* list, const std::string& caption,
                                                const TxlsFormat& format, int image) {
    auto* item = new QListWidgetItem(Q(caption), list);
    auto owned = std::make_shared<TxlsFieldFormat>();
    owned->Assign(format);
    SetListItemObject(*item, std::move(owned));
    SetListItemImage(*item, image);
    return item;
}

void TExportXLSFormatLists::AddStyle() {
    QListWidgetItem* item =
        AddItem(styles_, ExportLoadStr(idStyleItemPrefix) + std::to_string(styles_->count() + 1),
                TxlsFieldFormat{}, StyleImage);
    styles_->clearSelection();
    styles_->setCurrentItem(item);
    item->setSelected(true);
    if (active_ == styles_)
        current_ = item;
}

void TExportXLSFormatLists::DeleteStyles() {
    const QList<QListWidgetItem*> selected = styles_->selectedItems();
    if (selected.isEmpty())
        return;
    int remembered = styles_->count() - 1;
    for (int i = 0; i < styles_->count(); ++i)
        if (styles_->item(i)->isSelected()) {
            remembered = i;
            break;
        }
    if (current_ && current_->listWidget() == styles_)
        current_ = nullptr;
    for (int i = styles_->count() - 1; i >= 0; --i)
        if (styles_->item(i)->isSelected())
            delete styles_->takeItem(i);
    const int index = std::min(remembered, styles_->count() - 1);
    styles_->clearSelection();
    if (index >= 0) {
        QListWidgetItem* item = styles_->item(index);
        styles_->setCurrentItem(item);
        item->setSelected(true);
        if (active_ == styles_)
            current_ = item;
    }
    RenumberStyles();
}

void TExportXLSFormatLists::MoveStyle(int delta) {
    QListWidgetItem* item = styles_->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QListWidgetItem*> selected = styles_->selectedItems();
        if (selected.isEmpty())
            return;
        item = selected.first();
    }
    const int from = styles_->row(item);
    const int to = from + delta;
    if (to < 0 || to >= styles_->count())
        return;
    QListWidgetItem* other = styles_->item(to);
    // The formats and the selection change places; the captions stay with their positions.
    const QVariant data = ListItemData(*item);
    SetListItemData(*item, ListItemData(*other));
    SetListItemData(*other, data);
    const bool selected = item->isSelected();
    item->setSelected(other->isSelected());
    other->setSelected(selected);
    styles_->setCurrentItem(other, QItemSelectionModel::NoUpdate);
    if (active_ == styles_ && current_ == item)
        current_ = other;
}

void TExportXLSFormatLists::RenumberStyles() {
    for (int i = 0; i < styles_->count(); ++i)
        styles_->item(i)->setText(Q(ExportLoadStr(idStyleItemPrefix) + std::to_string(i + 1)));
}

TExportXLSFormatLists::TStyleButtons TExportXLSFormatLists::StyleButtons() const {
    TStyleButtons buttons;
    const QList<QListWidgetItem*> selected = styles_->selectedItems();
    buttons.Delete = !selected.isEmpty();
    const int row = selected.isEmpty() ? -1 : styles_->row(selected.first());
    buttons.Up = row > 0 && styles_->count() > 1;
    buttons.Down = row >= 0 && styles_->count() > 1 && row < styles_->count() - 1;
    buttons.Save = styles_->count() > 0;
    return buttons;
}

void TExportXLSFormatLists::SaveStyles(const std::string& fileName) const {
    std::vector<const TxlsFormat*> formats;
    for (int i = 0; i < styles_->count(); ++i)
        if (const TxlsFieldFormat* format = FormatOf(styles_->item(i)))
            formats.push_back(format);
    SaveXLSStyles(fileName, formats);
}

void TExportXLSFormatLists::LoadStyles(const std::string& fileName) {
    std::vector<TXlsStyleEntry> entries = LoadXLSStyles(fileName);
    if (current_ && current_->listWidget() == styles_)
        current_ = nullptr;
    styles_->clear();
    for (TXlsStyleEntry& entry : entries) {
        auto* item = new QListWidgetItem(Q(entry.Caption), styles_);
        SetListItemObject(*item, std::move(entry.Format));
        SetListItemImage(*item, StyleImage);
    }
    if (styles_->count() > 0) {
        styles_->setCurrentItem(styles_->item(0));
        styles_->item(0)->setSelected(true);
        if (active_ == styles_)
            current_ = styles_->item(0);
    }
}

void TExportXLSFormatLists::LoadFromOptions(const TExportXLSOptions& options,
                                            const std::vector<std::string>& fieldNames) {
    current_ = nullptr;
    fields_->clear();
    for (const std::string& name : fieldNames) {
        TxlsFieldFormat format;
        XLSFieldFormatOf(options, name, format);
        AddItem(fields_, name, format, 0);
    }
    options_->clear();
    const TxlsFormat* formats[] = {&options.HeaderFormat, &options.CaptionFormat, &options.AggregateFormat,
                                   &options.FooterFormat, &options.HyperlinkFormat};
    for (int i = 0; i < 5; ++i)
        AddItem(options_, ExportLoadStr(idOptionItems[i]), *formats[i], 0);
    styles_->clear();
    for (std::size_t i = 0; i < options.StripStyles.Count(); ++i)
        AddItem(styles_, ExportLoadStr(idStyleItemPrefix) + std::to_string(i + 1),
                options.StripStyles.Items(i), StyleImage);
    for (QListWidget* list : {fields_, options_, styles_})
        if (list->count() > 0) {
            list->setCurrentItem(list->item(0));
            list->item(0)->setSelected(true);
        }
    SetActiveList(active_);
}

void TExportXLSFormatLists::StoreToOptions(TExportXLSOptions& options) const {
    // Formats of fields that are not exported now stay as they were.
    for (int i = 0; i < fields_->count(); ++i) {
        const TxlsFieldFormat* format = FormatOf(fields_->item(i));
        if (!format)
            continue;
        const std::string name = S(fields_->item(i)->text());
        const int index = options.FieldFormats.IndexOf(name);
        TxlsFieldFormat& target =
            index >= 0 ? options.FieldFormats.Items(std::size_t(index)) : options.FieldFormats.Add();
        target.Assign(*format);
        target.FieldName = name;
    }
    TxlsFormat* formats[] = {&options.HeaderFormat, &options.CaptionFormat, &options.AggregateFormat,
                             &options.FooterFormat, &options.HyperlinkFormat};
    for (int i = 0; i < 5 && i < options_->count(); ++i)
        if (const TxlsFieldFormat* format = FormatOf(options_->item(i)))
            formats[i]->TxlsFormat::Assign(*format);
    options.StripStyles.Clear();
    for (int i = 0; i < styles_->count(); ++i)
        if (const TxlsFieldFormat* format = FormatOf(styles_->item(i)))
            options.StripStyles.Add().TxlsFormat::Assign(*format);
}

// --- the controls ---

void TXlsPaintBox::paintEvent(QPaintEvent*) {
    if (OnPaint)
        OnPaint(*this);
}

TExportXLSPages::TExportXLSPages(QWidget* page, TExportXLSOptions& options, TExportDialogServices& services)
    : QObject(page), options_(options), services_(services), lists_(nullptr, nullptr, nullptr) {
    auto* layout = new QVBoxLayout(page);
    pcXLS = Named(new QTabWidget, "pcXLS");
    layout->addWidget(pcXLS);
    pcXLS->addTab(BuildDataFormatPage(), QStringLiteral("&Data Format"));
    pcXLS->addTab(BuildAdvancedPage(), QStringLiteral("&Advanced"));
    auto* extensionsPage = Named(new QWidget, "tshXLSExtensions");
    extensions_ = new TExportXLSExtensionsPage(extensionsPage, options_, &services_);
    pcXLS->addTab(extensionsPage, QStringLiteral("E&xtensions"));
    lists_ = TExportXLSFormatLists(lstXLSFields, lstXLSOptions, lstXLSStyles);
    lists_.SetActiveList(lstXLSFields);
    Connect();
    ShowAdvanced();
}

QWidget* TExportXLSPages::BuildDataFormatPage() {
    auto* page = Named(new QWidget, "tshXLSDataFormat");
    auto* layout = new QHBoxLayout(page);
    pcXLSFormats = Named(new QTabWidget, "pcXLSFormats");
    const auto makeList = [](const char* name) {
        auto* list = Named(new QListWidget, name);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return list;
    };
    lstXLSFields = makeList("lstXLSFields");
    lstXLSOptions = makeList("lstXLSOptions");
    lstXLSStyles = makeList("lstXLSStyles");
    auto* fieldsPage = Named(new QWidget, "tshXLSFields");
    (new QVBoxLayout(fieldsPage))->addWidget(lstXLSFields);
    auto* optionsPage = Named(new QWidget, "tshXLSOptions");
    (new QVBoxLayout(optionsPage))->addWidget(lstXLSOptions);
    auto* stylesPage = Named(new QWidget, "tshXLSStyles");
    auto* styles = new QVBoxLayout(stylesPage);
    auto* toolBar = Named(new QWidget, "tbrXLSStyles");
    auto* tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(0, 0, 0, 0);
    const auto tool = [&](const char* name, const char* text) {
        auto* button = Named(new QToolButton, name);
        button->setText(QString::fromLatin1(text));
        tools->addWidget(button);
        return button;
    };
    tbtAddXLSStyle = tool("tbtAddXLSStyle", "+");
    tbtDelXLSStyle = tool("tbtDelXLSStyle", "-");
    tbtUpXLSStyle = tool("tbtUpXLSStyle", "Up");
    tbtDownXLSStyle = tool("tbtDownXLSStyle", "Down");
    tbtLoadXLSStyle = tool("tbtLoadXLSStyle", "Load");
    tbtSaveXLSStyle = tool("tbtSaveXLSStyle", "Save");
    tools->addStretch();
    styles->addWidget(toolBar);
    styles->addWidget(lstXLSStyles);
    rgXLSStripType = Named(new QGroupBox(QStringLiteral("Strip type")), "rgXLSStripType");
    auto* strip = new QHBoxLayout(rgXLSStripType);
    const char* stripTexts[] = {"None", "Col", "Row"};
    for (int i = 0; i < 3; ++i) {
        stripButtons[i] = new QRadioButton(QString::fromLatin1(stripTexts[i]));
        strip->addWidget(stripButtons[i]);
    }
    styles->addWidget(rgXLSStripType);
    pcXLSFormats->addTab(fieldsPage, QStringLiteral("Fields"));
    pcXLSFormats->addTab(optionsPage, QStringLiteral("Options"));
    pcXLSFormats->addTab(stylesPage, QStringLiteral("Styles"));
    layout->addWidget(pcXLSFormats);

    auto* editor = new QVBoxLayout;
    pcXLSDataFormat = Named(new QTabWidget, "pcXLSDataFormat");
    pcXLSDataFormat->addTab(tshXLSFont = BuildFontPage(), QStringLiteral("&Font"));
    pcXLSDataFormat->addTab(tshXLSBorders = BuildBordersPage(), QStringLiteral("&Borders"));
    pcXLSDataFormat->addTab(tshXLSFill = BuildFillPage(), QStringLiteral("F&ill"));
    pcXLSDataFormat->addTab(BuildAggregatePage(), QStringLiteral("&Aggregate"));
    editor->addWidget(pcXLSDataFormat);
    editor->addWidget(Named(new QLabel(QStringLiteral("Sample cell")), "laXLSSampleCell"));
    pbXLSCell = Named(new TXlsPaintBox, "pbXLSCell");
    pbXLSCell->setMinimumSize(120, 40);
    pbXLSCell->OnPaint = [this](QPaintDevice& box) {
        if (const TxlsFieldFormat* format = lists_.ShownFormat())
            DrawXlsFormatSample(box, *format);
    };
    sampleLayout_ = editor;
    sampleIndex_ = editor->count();
    editor->addWidget(pbXLSCell);
    auto* resets = new QHBoxLayout;
    btnXLSResetItem = Named(new QPushButton(Q(ExportLoadStr(idResetItem))), "btnXLSResetItem");
    btnXLSResetAll = Named(new QPushButton(QStringLiteral("Reset all")), "btnXLSResetAll");
    resets->addWidget(btnXLSResetItem);
    resets->addWidget(btnXLSResetAll);
    editor->addLayout(resets);
    layout->addLayout(editor, 1);
    return page;
}

QWidget* TExportXLSPages::BuildFontPage() {
    auto* page = Named(new QWidget, "tshXLSFont");
    auto* grid = new QGridLayout(page);
    cbxXLSFont = Named(new QComboBox, "cbxXLSFont");
    cbxXLSFont->addItems(ExportFontFamilies());
    cbxXLSFontSize = Named(new QComboBox, "cbxXLSFontSize");
    cbxXLSFontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cbxXLSFontSize->addItem(QString::number(size));
    btnFontColor = Named(new QToolButton, "btnFontColor");
    btnFontColor->setText(QStringLiteral("Color"));
    pbFontColor = Named(new TXlsPaintBox, "pbFontColor");
    btnFontBold = ToggleButton("btnFontBold", QStringLiteral("B"));
    btnFontItalic = ToggleButton("btnFontItalic", QStringLiteral("I"));
    btnFontStrikeOut = ToggleButton("btnFontStrikeOut", QStringLiteral("S"));
    underlineButtons[0] = ToggleButton("btnUnderlineSingle", QStringLiteral("U"));
    underlineButtons[1] = ToggleButton("btnUnderlineSingleAccounting", QStringLiteral("Ua"));
    underlineButtons[2] = ToggleButton("btnUnderlineDouble", QStringLiteral("UU"));
    underlineButtons[3] = ToggleButton("btnUnderlineDoubleAccounting", QStringLiteral("UUa"));
    horizontalButtons[0] = ToggleButton("btnHorizontalLeft", QStringLiteral("Left"));
    horizontalButtons[1] = ToggleButton("btnHorizontalCenter", QStringLiteral("Center"));
    horizontalButtons[2] = ToggleButton("btnHorizontalRight", QStringLiteral("Right"));
    horizontalButtons[3] = ToggleButton("btnHorizontalFill", QStringLiteral("Fill"));
    verticalButtons[0] = ToggleButton("btnVerticalTop", QStringLiteral("Top"));
    verticalButtons[1] = ToggleButton("btnVerticalCenter", QStringLiteral("Middle"));
    verticalButtons[2] = ToggleButton("btnVerticalBottom", QStringLiteral("Bottom"));
    grid->addWidget(cbxXLSFont, 0, 0, 1, 4);
    grid->addWidget(cbxXLSFontSize, 0, 4);
    grid->addWidget(btnFontColor, 0, 5);
    grid->addWidget(pbFontColor, 0, 6);
    grid->addWidget(btnFontBold, 1, 0);
    grid->addWidget(btnFontItalic, 1, 1);
    grid->addWidget(btnFontStrikeOut, 1, 2);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(underlineButtons[i], 2, i);
        grid->addWidget(horizontalButtons[i], 3, i);
    }
    for (int i = 0; i < 3; ++i)
        grid->addWidget(verticalButtons[i], 4, i);
    return page;
}

QWidget* TExportXLSPages::BuildBordersPage() {
    auto* page = Named(new QWidget, "tshXLSBorders");
    auto* grid = new QGridLayout(page);
    for (int s = 0; s < 4; ++s) {
        const std::string side = BorderSideNames[s];
        borderButtons[s] = ToggleButton(("btnBorder" + side).c_str(), Q(side));
        borderCombos[s] = Named(new QComboBox, ("cmbBorder" + side).c_str());
        for (const char* name : BorderStyleNames)
            borderCombos[s]->addItem(QString::fromLatin1(name));
        borderCombos[s]->setItemDelegate(new TXlsComboDelegate(
            borderCombos[s], [this, s](QPainter& painter, const QRect& rect, int row, bool highlighted) {
                const TxlsFieldFormat* format = lists_.CurrentFormat();
                const TxlsColor color = format ? XlsBorderOf(*format, TXlsBorderSide(s)).Color : clrBlack;
                DrawBorderStyleItem(painter, rect, TxlsBorderStyle(row), color, highlighted,
                                    borderCombos[s]->palette().base().color());
            }));
        borderColorButtons[s] = Named(new QToolButton, ("btnBorder" + side + "Color").c_str());
        borderColorButtons[s]->setText(QStringLiteral("Color"));
        borderSwatches[s] = Named(new TXlsPaintBox, ("pbBorder" + side).c_str());
        grid->addWidget(borderButtons[s], s, 0);
        grid->addWidget(borderCombos[s], s, 1);
        grid->addWidget(borderColorButtons[s], s, 2);
        grid->addWidget(borderSwatches[s], s, 3);
    }
    return page;
}

QWidget* TExportXLSPages::BuildFillPage() {
    auto* page = Named(new QWidget, "tshXLSFill");
    auto* grid = new QGridLayout(page);
    btnFillBackground = Named(new QToolButton, "btnFillBackground");
    btnFillBackground->setText(QStringLiteral("Background"));
    pbFillBackground = Named(new TXlsPaintBox, "pbFillBackground");
    btnFillForeground = Named(new QToolButton, "btnFillForeground");
    btnFillForeground->setText(QStringLiteral("Foreground"));
    pbFillForeground = Named(new TXlsPaintBox, "pbFillForeground");
    cmbPattern = Named(new QComboBox, "cmbPattern");
    for (int i = 0; i < PatternCount; ++i)
        cmbPattern->addItem(i == 0 ? QStringLiteral("None") : QString::number(i));
    cmbPattern->setItemDelegate(
        new TXlsComboDelegate(cmbPattern, [this](QPainter& painter, const QRect& rect, int row, bool) {
            const TxlsFieldFormat* format = lists_.CurrentFormat();
            const TxlsFill fill = format ? format->Fill : TxlsFill{};
            DrawFillPatternItem(painter, rect, TxlsPattern(row), fill.Background, fill.Foreground);
        }));
    grid->addWidget(btnFillBackground, 0, 0);
    grid->addWidget(pbFillBackground, 0, 1);
    grid->addWidget(btnFillForeground, 1, 0);
    grid->addWidget(pbFillForeground, 1, 1);
    grid->addWidget(cmbPattern, 2, 0, 1, 2);
    return page;
}

QWidget* TExportXLSPages::BuildAggregatePage() {
    tshXLSAggregate = Named(new QWidget, "tshXLSAggregate");
    auto* layout = new QVBoxLayout(tshXLSAggregate);
    rgXLSFunction = Named(new QGroupBox(QStringLiteral("Function")), "rgXLSFunction");
    auto* grid = new QGridLayout(rgXLSFunction);
    const char* texts[] = {"None", "SUM", "AVG", "MIN", "MAX"};
    for (int i = 0; i < 5; ++i) {
        functionButtons[i] = new QRadioButton(QString::fromLatin1(texts[i]));
        grid->addWidget(functionButtons[i], i / 3, i % 3);
    }
    layout->addWidget(rgXLSFunction);
    layout->addStretch();
    return tshXLSAggregate;
}

QWidget* TExportXLSPages::BuildAdvancedPage() {
    auto* page = Named(new QWidget, "tshXLSAdvanced");
    auto* grid = new QGridLayout(page);
    edXLSPageHeader = Named(new QLineEdit, "edXLSPageHeader");
    edXLSPageFooter = Named(new QLineEdit, "edXLSPageFooter");
    edXLSSheetTitle = Named(new QLineEdit, "edXLSSheetTitle");
    chXLSAutoCalcColWidth =
        Named(new QCheckBox(QStringLiteral("Auto Calculate Column Width")), "chXLSAutoCalcColWidth");
    grid->addWidget(new QLabel(QStringLiteral("Page header")), 0, 0);
    grid->addWidget(edXLSPageHeader, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Page footer")), 1, 0);
    grid->addWidget(edXLSPageFooter, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sheet title")), 2, 0);
    grid->addWidget(edXLSSheetTitle, 2, 1);
    grid->addWidget(chXLSAutoCalcColWidth, 3, 0, 1, 2);
    edXLSPageBackground = Named(new QLineEdit, "edXLSPageBackground");
    bXLSPageBackground = Named(new QPushButton(QStringLiteral("...")), "bXLSPageBackground");
    grid->addWidget(new QLabel(QStringLiteral("Background")), 4, 0);
    auto* background = new QHBoxLayout;
    background->addWidget(edXLSPageBackground);
    background->addWidget(bXLSPageBackground);
    grid->addLayout(background, 4, 1);
    grid->setRowStretch(5, 1);
    return page;
}

void TExportXLSPages::Connect() {
    for (QListWidget* list : {lstXLSFields, lstXLSOptions, lstXLSStyles})
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { lstXLSFieldsChange(list); });
    connect(pcXLSFormats, &QTabWidget::currentChanged, this, [this] { pcXLSFormatsChange(); });
    connect(pcXLS, &QTabWidget::currentChanged, this, [this] {
        pcXLSFormatsChange();
        pcXLSChange();
    });
    connect(extensions_->pcXLSCells, &QTabWidget::currentChanged, this, [this] { pcXLSCellsChange(); });
    extensions_->OnCellShown = [this](TxlsCell* cell) {
        if (!formatPagesInCells_)
            return;
        lists_.SetCellFormat(cell ? &cell->Format : nullptr);
        if (cell)
            RefreshEditor();
    };
    for (int i = 0; i < 3; ++i)
        connect(stripButtons[i], &QRadioButton::clicked, this, [this, i] { SetStripType(TxlsStripType(i)); });
    connect(tbtAddXLSStyle, &QToolButton::clicked, this, [this] { tbtAddXLSStyleClick(); });
    connect(tbtDelXLSStyle, &QToolButton::clicked, this, [this] { tbtDelXLSStyleClick(); });
    connect(tbtUpXLSStyle, &QToolButton::clicked, this, [this] { tbtUpXLSStyleClick(); });
    connect(tbtDownXLSStyle, &QToolButton::clicked, this, [this] { tbtDownXLSStyleClick(); });
    connect(tbtSaveXLSStyle, &QToolButton::clicked, this, [this] { tbtSaveXLSStyleClick(); });
    connect(tbtLoadXLSStyle, &QToolButton::clicked, this, [this] { tbtLoadXLSStyleClick(); });
    connect(cbxXLSFont, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!showing_)
            EditAndRefresh(TXlsFormatAttribute::FontName, [&](TxlsFieldFormat& f) { f.Font.Name = S(text); });
    });
    connect(cbxXLSFontSize, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!showing_)
            EditAndRefresh(TXlsFormatAttribute::FontSize,
                           [&](TxlsFieldFormat& f) { f.Font.Size = XlsFontSizeFromText(S(text)); });
    });
    connect(btnFontColor, &QToolButton::clicked, this, [this] { PickColor(TXlsFormatAttribute::FontColor); });
    for (QToolButton* button : {btnFontBold, btnFontItalic, btnFontStrikeOut})
        connect(button, &QToolButton::clicked, this, [this, button] { FontButtonClick(button); });
    for (QToolButton* button : underlineButtons)
        connect(button, &QToolButton::clicked, this, [this, button] { FontButtonClick(button); });
    for (QToolButton* button : horizontalButtons)
        connect(button, &QToolButton::clicked, this, [this, button] { FontButtonClick(button); });
    for (QToolButton* button : verticalButtons)
        connect(button, &QToolButton::clicked, this, [this, button] { FontButtonClick(button); });
    for (int s = 0; s < 4; ++s) {
        const auto side = TXlsBorderSide(s);
        connect(borderButtons[s], &QToolButton::clicked, this, [this, side] { BorderButtonClick(side); });
        connect(borderCombos[s], &QComboBox::currentIndexChanged, this, [this, side] {
            if (!showing_)
                BorderComboChange(side);
        });
        connect(borderColorButtons[s], &QToolButton::clicked, this,
                [this, s] { PickColor(TXlsFormatAttribute(int(TXlsFormatAttribute::BorderTopColor) + s)); });
    }
    connect(btnFillBackground, &QToolButton::clicked, this,
            [this] { PickColor(TXlsFormatAttribute::Background); });
    connect(btnFillForeground, &QToolButton::clicked, this,
            [this] { PickColor(TXlsFormatAttribute::Foreground); });
    connect(cmbPattern, &QComboBox::currentIndexChanged, this, [this] {
        if (!showing_)
            PatternChange();
    });
    for (int i = 0; i < 5; ++i)
        connect(functionButtons[i], &QRadioButton::clicked, this, [this, i] {
            if (!showing_ && lists_.SelectedCount() > 0)
                EditAndRefresh(TXlsFormatAttribute::Aggregate,
                               [i](TxlsFieldFormat& f) { f.Aggregate = TxlsAggregate(i); });
        });
    // Pressing a colour button moves its swatch with it.
    const std::pair<QToolButton*, QWidget*> colorButtons[] = {{btnFontColor, pbFontColor},
                                                              {btnFillBackground, pbFillBackground},
                                                              {btnFillForeground, pbFillForeground},
                                                              {borderColorButtons[0], borderSwatches[0]},
                                                              {borderColorButtons[1], borderSwatches[1]},
                                                              {borderColorButtons[2], borderSwatches[2]},
                                                              {borderColorButtons[3], borderSwatches[3]}};
    for (const auto& [button, swatch] : colorButtons) {
        connect(button, &QToolButton::pressed, this, [swatch = swatch] { PressControl(swatch); });
        connect(button, &QToolButton::released, this, [swatch = swatch] { ReleaseControl(swatch); });
    }
    // The swatches.
    const auto swatch = [this](TXlsPaintBox* box, std::function<TxlsColor(const TxlsFormat&)> color) {
        box->setFixedSize(16, 16);
        box->OnPaint = [this, color](QPaintDevice& device) {
            if (const TxlsFieldFormat* format = lists_.ShownFormat())
                FillXlsColorRect(device, color(*format));
        };
    };
    swatch(pbFontColor, [](const TxlsFormat& f) { return f.Font.Color; });
    swatch(pbFillBackground, [](const TxlsFormat& f) { return f.Fill.Background; });
    swatch(pbFillForeground, [](const TxlsFormat& f) { return f.Fill.Foreground; });
    for (int s = 0; s < 4; ++s)
        swatch(borderSwatches[s],
               [s](const TxlsFormat& f) { return XlsBorderOf(f, TXlsBorderSide(s)).Color; });
    connect(btnXLSResetItem, &QPushButton::clicked, this, [this] { btnXLSResetItemClick(); });
    connect(btnXLSResetAll, &QPushButton::clicked, this, [this] { btnXLSResetAllClick(); });
    connect(edXLSPageHeader, &QLineEdit::textChanged, this,
            [this](const QString& t) { SetPageHeader(S(t)); });
    connect(edXLSPageFooter, &QLineEdit::textChanged, this,
            [this](const QString& t) { SetPageFooter(S(t)); });
    connect(edXLSSheetTitle, &QLineEdit::textChanged, this,
            [this](const QString& t) { SetSheetTitle(S(t)); });
    connect(edXLSPageBackground, &QLineEdit::textChanged, this,
            [this](const QString& t) { SetPageBackground(S(t)); });
    connect(bXLSPageBackground, &QPushButton::clicked, this, [this] { bXLSPageBackgroundClick(); });
    connect(chXLSAutoCalcColWidth, &QCheckBox::toggled, this, [this](bool on) { SetAutoCalcColWidth(on); });
}

void TExportXLSPages::ShowOptions(const std::vector<std::string>& fieldNames) {
    showing_ = true;
    lists_.LoadFromOptions(options_, fieldNames);
    showing_ = false;
    ShowAdvanced();
    extensions_->SetColumnNames(fieldNames);
    extensions_->ShowOptions();
    pcXLSFormatsChange();
}

void TExportXLSPages::ShowAdvanced() {
    const auto show = [](QLineEdit* edit, const std::string& text) {
        if (edit->text() != Q(text)) {
            QSignalBlocker block(edit);
            edit->setText(Q(text));
        }
    };
    show(edXLSPageHeader, options_.PageHeader);
    show(edXLSPageFooter, options_.PageFooter);
    show(edXLSSheetTitle, options_.SheetTitle());
    show(edXLSPageBackground, options_.PageBackground);
    QSignalBlocker block(chXLSAutoCalcColWidth);
    chXLSAutoCalcColWidth->setChecked(options_.AutoCalcColWidth);
    stripButtons[std::min<int>(options_.StripType, 2)]->setChecked(true);
}

void TExportXLSPages::SetPageHeader(const std::string& value) {
    if (value == options_.PageHeader)
        return;
    options_.PageHeader = value;
    ShowAdvanced();
}

void TExportXLSPages::SetPageFooter(const std::string& value) {
    if (value == options_.PageFooter)
        return;
    options_.PageFooter = value;
    ShowAdvanced();
}

void TExportXLSPages::SetSheetTitle(const std::string& value) {
    if (value == options_.SheetTitle())
        return;
    options_.SetSheetTitle(value);
    // The edit keeps what the user types; an emptied title shows once the page is shown again.
    if (!value.empty())
        ShowAdvanced();
}

void TExportXLSPages::SetAutoCalcColWidth(bool value) {
    if (value == options_.AutoCalcColWidth)
        return;
    options_.AutoCalcColWidth = value;
    ShowAdvanced();
}

void TExportXLSPages::SetStripType(TxlsStripType value) {
    if (value == options_.StripType)
        return;
    options_.StripType = value;
    ShowAdvanced();
}

void TExportXLSPages::SetPageBackground(const std::string& value) {
    if (value == options_.PageBackground)
        return;
    options_.PageBackground = value;
    ShowAdvanced();
}

void TExportXLSPages::bXLSPageBackgroundClick() {
    QString fileName = Q(options_.PageBackground);
    if (services_.OpenFileName(pcXLS->window(),
                               QStringLiteral("Pictures (*.bmp *.jpg *.jpeg *.png *.gif);;All files (*)"),
                               QString(), fileName))
        SetPageBackground(S(fileName));
}

void TExportXLSPages::Changed() {
    lists_.StoreToOptions(options_);
    // The hyperlinks on the sheet take the HYPERLINK format.
    if (lists_.ActiveList() == lstXLSOptions &&
        lists_.CurrentItem() == lstXLSOptions->item(HyperlinkItemIndex))
        extensions_->Extensions().RefreshXlsHyperlinkFormats(options_.HyperlinkFormat);
}

void TExportXLSPages::lstXLSFieldsChange(QListWidget* list) {
    if (showing_ || list != lists_.ActiveList())
        return;
    QListWidgetItem* changed = list->currentItem();
    lists_.SelectionChanged(changed);
    RefreshEditor();
    UpdateXlsStyleButtons();
}

void TExportXLSPages::pcXLSFormatsChange() {
    QListWidget* lists[] = {lstXLSFields, lstXLSOptions, lstXLSStyles};
    QListWidget* active =
        pcXLS->currentIndex() == 0 ? lists[std::clamp(pcXLSFormats->currentIndex(), 0, 2)] : nullptr;
    const bool aggregate = active == lstXLSFields;
    const int aggregateIndex = pcXLSDataFormat->indexOf(tshXLSAggregate);
    pcXLSDataFormat->setTabVisible(aggregateIndex, aggregate);
    lists_.SetActiveList(active);
    RefreshEditor();
    UpdateXlsStyleButtons();
}

void TExportXLSPages::pcXLSChange() {
    // The pages keep their (localised) tab captions when they move.
    QWidget* const pages[] = {tshXLSFont, tshXLSBorders, tshXLSFill};
    QTabWidget* cells = extensions_->pcXLSCells;
    QWidget* shown = pcXLS->currentWidget();
    if (shown == pcXLS->widget(0) && formatPagesInCells_) {
        cellPage_ = cells->currentIndex();
        formatPagesInCells_ = false;
        lists_.SetCellFormat(nullptr);
        for (int i = 0; i < 3; ++i) {
            const int at = cells->indexOf(pages[i]);
            const QString caption = cells->tabText(at);
            cells->removeTab(at);
            pcXLSDataFormat->insertTab(i, pages[i], caption);
        }
        pcXLSDataFormat->setCurrentIndex(dataFormatPage_);
        extensions_->CellPageLayout()->removeWidget(pbXLSCell);
        sampleLayout_->insertWidget(sampleIndex_, pbXLSCell);
        pbXLSCell->show();
        pcXLSFormatsChange();
    } else if (shown == pcXLS->widget(2) && !formatPagesInCells_) {
        dataFormatPage_ = pcXLSDataFormat->currentIndex();
        formatPagesInCells_ = true;
        for (int i = 0; i < 3; ++i) {
            const int at = pcXLSDataFormat->indexOf(pages[i]);
            const QString caption = pcXLSDataFormat->tabText(at);
            pcXLSDataFormat->removeTab(at);
            cells->insertTab(i + 1, pages[i], caption);
        }
        cells->setCurrentIndex(cellPage_);
        pcXLSCellsChange();
        extensions_->tvXLSExtensionsChange();
    }
}

void TExportXLSPages::pcXLSCellsChange() {
    if (!formatPagesInCells_)
        return;
    // The sample goes below the cell's tabs while a format tab shows.
    QVBoxLayout* cellPage = extensions_->CellPageLayout();
    if (extensions_->pcXLSCells->currentIndex() > 0) {
        if (cellPage->indexOf(pbXLSCell) < 0) {
            sampleLayout_->removeWidget(pbXLSCell);
            cellPage->addWidget(pbXLSCell);
        }
        pbXLSCell->show();
    } else {
        pbXLSCell->hide();
    }
}

void TExportXLSPages::RefreshEditor() {
    const TxlsFieldFormat* current = lists_.CurrentFormat();
    if (current && lists_.SelectedCount() == 1)
        ShowXlsFormat(*current);
    else if (current)
        ShowXlsFormats();
    for (QWidget* box : std::initializer_list<QWidget*>{
             pbXLSCell, pbFontColor, pbFillBackground, pbFillForeground, borderSwatches[0], borderSwatches[1],
             borderSwatches[2], borderSwatches[3]})
        box->update();
}

void TExportXLSPages::SetFunctionChoice(std::optional<TxlsAggregate> value) {
    for (int i = 0; i < 5; ++i) {
        functionButtons[i]->setAutoExclusive(false);
        functionButtons[i]->setChecked(value && int(*value) == i);
        functionButtons[i]->setAutoExclusive(true);
    }
}

void TExportXLSPages::ShowXlsFormat(const TxlsFieldFormat& format) {
    showing_ = true;
    btnXLSResetItem->setText(Q(ExportLoadStr(idResetItem)));
    cbxXLSFont->setCurrentIndex(cbxXLSFont->findText(Q(format.Font.Name), Qt::MatchFixedString));
    cbxXLSFontSize->setCurrentText(QString::number(format.Font.Size));
    btnFontBold->setChecked(format.Font.Has(xfsBold));
    btnFontItalic->setChecked(format.Font.Has(xfsItalic));
    btnFontStrikeOut->setChecked(format.Font.Has(xfsStrikeOut));
    const TxlsFontUnderline underlines[] = {fulSingle, fulSingleAccounting, fulDouble, fulDoubleAccounting};
    for (int i = 0; i < 4; ++i)
        underlineButtons[i]->setChecked(format.Font.Underline == underlines[i]);
    const TxlsHorizontalAlignment horizontals[] = {halLeft, halCenter, halRight, halFill};
    for (int i = 0; i < 4; ++i)
        horizontalButtons[i]->setChecked(format.Alignment.Horizontal == horizontals[i]);
    const TxlsVerticalAlignment verticals[] = {valTop, valCenter, valBottom};
    for (int i = 0; i < 3; ++i)
        verticalButtons[i]->setChecked(format.Alignment.Vertical == verticals[i]);
    for (int s = 0; s < 4; ++s) {
        const TxlsBorderStyle style = XlsBorderOf(format, TXlsBorderSide(s)).Style;
        borderButtons[s]->setChecked(style != bstNone);
        borderCombos[s]->setCurrentIndex(style);
    }
    cmbPattern->setCurrentIndex(format.Fill.Pattern);
    rgXLSFunction->setEnabled(lists_.ActiveList() == lstXLSFields);
    SetFunctionChoice(rgXLSFunction->isEnabled() ? std::optional(format.Aggregate) : std::nullopt);
    showing_ = false;
}

void TExportXLSPages::ShowXlsFormats() {
    const TxlsFieldFormat* current = lists_.CurrentFormat();
    if (!current)
        return;
    // The buttons show the current item's values, the value controls only what all have in common.
    ShowXlsFormat(*current);
    showing_ = true;
    btnXLSResetItem->setText(Q(ExportLoadStr(idResetSelected)));
    const TXlsCommonFormat common = lists_.CommonFormat();
    cbxXLSFont->setCurrentIndex(
        common.FontName ? cbxXLSFont->findText(Q(*common.FontName), Qt::MatchFixedString) : -1);
    cbxXLSFontSize->setCurrentText(common.FontSize ? QString::number(*common.FontSize) : QString());
    for (int s = 0; s < 4; ++s)
        borderCombos[s]->setCurrentIndex(common.BorderStyles[s] ? int(*common.BorderStyles[s]) : -1);
    cmbPattern->setCurrentIndex(common.Pattern ? int(*common.Pattern) : -1);
    rgXLSFunction->setEnabled(common.AggregateEnabled);
    SetFunctionChoice(common.Aggregate);
    showing_ = false;
}

void TExportXLSPages::EditAndRefresh(TXlsFormatAttribute attribute,
                                     const std::function<void(TxlsFieldFormat&)>& change) {
    if (!lists_.Edit(attribute, change))
        return;
    Changed();
    RefreshEditor();
}

void TExportXLSPages::PickColor(TXlsFormatAttribute attribute) {
    TxlsFieldFormat* current = lists_.CurrentFormat();
    if (!current)
        return;
    using A = TXlsFormatAttribute;
    const auto colorOf = [attribute](TxlsFormat& f) -> TxlsColor& {
        switch (attribute) {
        case A::Background:
            return f.Fill.Background;
        case A::Foreground:
            return f.Fill.Foreground;
        case A::BorderTopColor:
        case A::BorderBottomColor:
        case A::BorderLeftColor:
        case A::BorderRightColor:
            return XlsBorderOf(f, TXlsBorderSide(int(attribute) - int(A::BorderTopColor))).Color;
        default:
            return f.Font.Color;
        }
    };
    const TxlsColor before = colorOf(*current);
    const TxlsColor chosen =
        RunXLSColorEditor(before, pcXLS->window(), [this](TfmExporterXLSColorEditor& editor) {
            return services_.RunXlsColorEditor(editor);
        });
    // The same colour again changes nothing.
    if (chosen == before)
        return;
    lists_.Edit(attribute, [&](TxlsFieldFormat& f) { colorOf(f) = chosen; });
    // A background needs a pattern to show.
    if (attribute == A::Background && current->Fill.Background != clrWhite && current->Fill.Pattern == ptNone)
        lists_.Edit(A::Pattern, [](TxlsFieldFormat& f) { f.Fill.Pattern = ptSolid; });
    Changed();
    RefreshEditor();
    for (QComboBox* combo : borderCombos)
        combo->update();
    cmbPattern->update();
}

void TExportXLSPages::FontButtonClick(QToolButton* button) {
    if (!lists_.CurrentFormat())
        return;
    using A = TXlsFormatAttribute;
    const bool down = button->isChecked();
    if (button == btnFontBold || button == btnFontItalic || button == btnFontStrikeOut) {
        const TxlsFontStyle style = button == btnFontBold     ? xfsBold
                                    : button == btnFontItalic ? xfsItalic
                                                              : xfsStrikeOut;
        const A attribute = button == btnFontBold     ? A::Bold
                            : button == btnFontItalic ? A::Italic
                                                      : A::StrikeOut;
        EditAndRefresh(attribute, [&](TxlsFieldFormat& f) { SetXlsFontStyleElem(f.Font, style, down); });
        return;
    }
    const TxlsFontUnderline underlines[] = {fulSingle, fulSingleAccounting, fulDouble, fulDoubleAccounting};
    const TxlsHorizontalAlignment horizontals[] = {halLeft, halCenter, halRight, halFill};
    const TxlsVerticalAlignment verticals[] = {valTop, valCenter, valBottom};
    for (int i = 0; i < 4; ++i) {
        if (button == underlineButtons[i])
            EditAndRefresh(A::Underline,
                           [&](TxlsFieldFormat& f) { f.Font.Underline = down ? underlines[i] : fulNone; });
        if (button == horizontalButtons[i])
            EditAndRefresh(A::Horizontal, [&](TxlsFieldFormat& f) {
                f.Alignment.Horizontal = down ? horizontals[i] : halGeneral;
            });
    }
    for (int i = 0; i < 3; ++i)
        if (button == verticalButtons[i]) {
            if (down)
                EditAndRefresh(A::Vertical, [&](TxlsFieldFormat& f) { f.Alignment.Vertical = verticals[i]; });
            else
                RefreshEditor(); // a vertical alignment is always set: the button stays down
        }
}

void TExportXLSPages::BorderButtonClick(TXlsBorderSide side) {
    const int s = int(side);
    QComboBox* combo = borderCombos[s];
    {
        QSignalBlocker block(combo);
        combo->setCurrentIndex(borderButtons[s]->isChecked() && combo->currentIndex() <= 0 ? 1 : 0);
    }
    BorderComboChange(side);
}

void TExportXLSPages::BorderComboChange(TXlsBorderSide side) {
    const int s = int(side);
    const int index = borderCombos[s]->currentIndex();
    borderButtons[s]->setChecked(index >= 1);
    if (index < 0)
        return;
    EditAndRefresh(TXlsFormatAttribute(int(TXlsFormatAttribute::BorderTopStyle) + s),
                   [&](TxlsFieldFormat& f) { XlsBorderOf(f, side).Style = TxlsBorderStyle(index); });
}

void TExportXLSPages::PatternChange() {
    const int index = cmbPattern->currentIndex();
    TxlsFieldFormat* current = lists_.CurrentFormat();
    if (!current || index < 0)
        return;
    lists_.Edit(TXlsFormatAttribute::Pattern,
                [&](TxlsFieldFormat& f) { f.Fill.Pattern = TxlsPattern(index); });
    // No pattern shows no background.
    if (current->Fill.Pattern == ptNone && current->Fill.Background != clrWhite)
        lists_.Edit(TXlsFormatAttribute::Background,
                    [](TxlsFieldFormat& f) { f.Fill.Background = clrWhite; });
    Changed();
    RefreshEditor();
}

void TExportXLSPages::btnXLSResetItemClick() {
    if (!lists_.CurrentFormat())
        return;
    lists_.ResetSelected();
    Changed();
    RefreshEditor();
}

void TExportXLSPages::btnXLSResetAllClick() {
    QListWidget* list = lists_.ActiveList();
    if (!list || list->count() == 0)
        return;
    if (!services_.Question(pcXLS->window(), Q(ExportLoadStr(idAttention)),
                            Q(ExportLoadStr(idResetAllQuestion))))
        return;
    lists_.ResetList(list);
    Changed();
    RefreshEditor();
}

void TExportXLSPages::UpdateXlsStyleButtons() {
    const TExportXLSFormatLists::TStyleButtons buttons = lists_.StyleButtons();
    tbtDelXLSStyle->setEnabled(buttons.Delete);
    tbtUpXLSStyle->setEnabled(buttons.Up);
    tbtDownXLSStyle->setEnabled(buttons.Down);
    tbtSaveXLSStyle->setEnabled(buttons.Save);
}

void TExportXLSPages::tbtAddXLSStyleClick() {
    showing_ = true;
    lists_.AddStyle();
    showing_ = false;
    lstXLSStyles->setFocus();
    Changed();
    lstXLSFieldsChange(lstXLSStyles);
    UpdateXlsStyleButtons();
}

void TExportXLSPages::tbtDelXLSStyleClick() {
    if (lstXLSStyles->selectedItems().isEmpty())
        return;
    showing_ = true;
    lists_.DeleteStyles();
    showing_ = false;
    lstXLSStyles->setFocus();
    Changed();
    lstXLSFieldsChange(lstXLSStyles);
    UpdateXlsStyleButtons();
}

void TExportXLSPages::tbtUpXLSStyleClick() {
    showing_ = true;
    lists_.MoveStyle(-1);
    showing_ = false;
    Changed();
    lstXLSFieldsChange(lstXLSStyles);
    UpdateXlsStyleButtons();
}

void TExportXLSPages::tbtDownXLSStyleClick() {
    showing_ = true;
    lists_.MoveStyle(1);
    showing_ = false;
    Changed();
    lstXLSFieldsChange(lstXLSStyles);
    UpdateXlsStyleButtons();
}

void TExportXLSPages::tbtSaveXLSStyleClick() {
    QString fileName;
    if (!services_.SaveFileName(pcXLS->window(), QString::fromLatin1(StyleFilter), QStringLiteral("xst"),
                                fileName))
        return;
    try {
        lists_.SaveStyles(S(fileName));
    } catch (const std::exception& error) {
        services_.ShowError(pcXLS->window(), QString::fromUtf8(error.what()));
    }
}

void TExportXLSPages::tbtLoadXLSStyleClick() {
    QString fileName;
    if (!services_.OpenFileName(pcXLS->window(), QString::fromLatin1(StyleFilter), QStringLiteral("xst"),
                                fileName))
        return;
    showing_ = true;
    lists_.LoadStyles(S(fileName));
    showing_ = false;
    if (lstXLSStyles->count() > 0)
        lstXLSStyles->setFocus();
    Changed();
    lstXLSFieldsChange(lstXLSStyles);
    UpdateXlsStyleButtons();
}

} // namespace exporter
