#pragma once

// List and drawing routines shared by the pages of the export dialog: walking and moving list items,
// the colour swatches, and the samples of cell formats, RTF styles, border lines and fill patterns.
//
// A list item keeps its caption as its text, its image index under ListItemImageRole and the object it
// stands for (a format, a style, a column index) as a QVariant under ListItemDataRole. An object the item
// owns is stored as a std::shared_ptr, so that it goes with the last item that holds it.
//
// The drawing routines paint on any QPaintDevice (a widget in its paint event, or a QImage), filling the
// whole device as the form's paint boxes do.

#include "export/core/ExporterRTF.h"
#include "export/core/ExporterTypes.h"
#include "export/xls/ExporterXLSFormats.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "platform/rtl/Colors.h"

#include <QColor>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QFont;
class QListWidget;
class QListWidgetItem;
class QPaintDevice;
class QPainter;
class QRect;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace exporter {

constexpr int ListItemDataRole = Qt::UserRole;
constexpr int ListItemImageRole = Qt::UserRole + 1;

// --- item values ---

int ListItemImage(const QListWidgetItem& item);
void SetListItemImage(QListWidgetItem& item, int image);
QVariant ListItemData(const QListWidgetItem& item);
void SetListItemData(QListWidgetItem& item, const QVariant& data);

// The object of type T the item holds (owned as std::shared_ptr<T> or referred to as T*), or null.
template <class T> T* ListItemObject(const QVariant& data) {
    if (data.canConvert<std::shared_ptr<T>>())
        if (auto owned = data.value<std::shared_ptr<T>>())
            return owned.get();
    if (data.canConvert<T*>())
        return data.value<T*>();
    return nullptr;
}
template <class T> T* ListItemObject(const QListWidgetItem* item) {
    return item ? ListItemObject<T>(ListItemData(*item)) : nullptr;
}
// Gives the item ownership of the object.
template <class T> void SetListItemObject(QListWidgetItem& item, std::shared_ptr<T> object) {
    SetListItemData(item, QVariant::fromValue(std::move(object)));
}

// --- list routines ---

using TListItemCallback = std::function<void(QListWidgetItem& item)>;
using TTreeItemCallback = std::function<void(QTreeWidgetItem& item)>;

// Calls the callback for each selected item (every item when all is set), first to last or, with
// backward, last to first; the list does not repaint meanwhile. A null list does nothing. The callback
// may change the items it is given but must not add or remove items.
void ForEachSelectedItem(QListWidget* list, bool backward, bool all, const TListItemCallback& callback);
// The same over the top-level items of a tree list.
void ForEachSelectedItem(QTreeWidget* list, bool backward, bool all, const TTreeItemCallback& callback);

// Copies caption, image and data of one item into another.
void CopyListItem(const QListWidgetItem& source, QListWidgetItem& target);
void CopyListItem(const QTreeWidgetItem& source, QTreeWidgetItem& target);

// Moves the item to newIndex of its own list; the items between shift by one. The item keeps its
// caption, image, data, selection and focus. Nothing happens for a null item, an item in no list, a
// negative index, its own index or an index with no item.
void MoveListItem(QListWidgetItem* item, int newIndex);
void MoveListItem(QTreeWidgetItem* item, int newIndex);

// Adds an item with the source's caption and data to the target (at index, or at the end when index < 0
// or past the end); deletes the source when deleteSource; then, when the source list still has items,
// selects the one now at the source's old index, or the last when that index is past the end. Returns the
// new item, or null (and does nothing) when either argument is null.
QListWidgetItem* TransferListItem(QListWidgetItem* item, QListWidget* target, bool deleteSource, int index);
// The same between the top levels of tree lists (caption and data of column 0).
QTreeWidgetItem* TransferListItem(QTreeWidgetItem* item, QTreeWidget* target, bool deleteSource, int index);

// A pressed colour button moves its swatch one pixel right and down; the release moves it back.
void PressControl(QWidget* control);
void ReleaseControl(QWidget* control);

// --- colours and fonts ---

// A colour value (red in the low byte) as a Qt colour.
QColor ColorToQColor(rtl::TColor color);
// The palette colour; an index outside the palette gives black.
QColor XlsColorToQColor(TxlsColor color);

// Fills the whole paint box with the colour.
void FillColorRect(QPaintDevice& box, rtl::TColor color);
void FillXlsColorRect(QPaintDevice& box, TxlsColor color);

enum class TFontStyleElem { fsBold, fsItalic, fsUnderline, fsStrikeOut };

void SetFontStyleElem(QFont& font, TFontStyleElem elem, bool include);
void SetFontStyleElem(TExportFont& font, TFontStyleElem elem, bool include);
void SetXlsFontStyleElem(TxlsFont& font, TxlsFontStyle elem, bool include);
// The same on the RTF style the item holds; an item without a style is left alone.
void SetRtfStyleFontElem(QListWidgetItem* item, TFontStyleElem elem, bool include);
void SetRtfStyleAlignment(QListWidgetItem* item, TrtfTextAlignment alignment);

// The caption default of an RTF style: its defaults made bold and centred. (The workbook caption
// default, SetDefaultXlsCaptionFormat, comes with the sheet objects.)
void SetDefaultRtfCaptionStyle(TrtfStyle& style);

// The font families a font choice offers: the installed ones and the fonts the exporters write by default
// (Arial, Courier New, Times New Roman, and Tahoma for notes), installed or not, sorted.
QStringList ExportFontFamilies();

// The screen fonts of a cell font and of an export font, sized for the device (points at its resolution).
QFont XlsFontToQFont(const TxlsFont& font);
QFont ExportFontToQFont(const TExportFont& font);

// --- samples ---

// The text every sample shows.
inline constexpr const char* SampleText = "Aa Zz";

// The sample cell of a format: fill and pattern, the text in the font with its alignment and underline,
// and the borders 2 pixels inside the edge.
void DrawXlsFormatSample(QPaintDevice& box, const TxlsFormat& format);
// The sample of an RTF style: background (or white), highlight behind the text, the text centred.
void DrawRtfStyleSample(QPaintDevice& box, const TrtfStyle& style);
// One line sample of a border style across the item rectangle, in the painter's pen colour ("None"
// centred for bstNone).
void DrawBorderStyleSample(TxlsBorderStyle style, QPainter& painter, const QRect& rect);
// One 4 x 4 tile of the pattern at (x, y) in the painter's pen colour; ptNone and ptSolid draw nothing.
void DrawFillPatternSample(QPainter& painter, TxlsPattern pattern, int x, int y);
// The pen width of a border style's line (1, 2 or 3; 0 for bstNone).
int BorderStylePenWidth(TxlsBorderStyle style);

// An item of the owner-drawn border style combo: the rectangle in the combo's brush, the line in white
// when the item is selected or focused, else in the side's colour.
void DrawBorderStyleItem(QPainter& painter, const QRect& rect, TxlsBorderStyle style, TxlsColor color,
                         bool highlighted, const QColor& brush);
// An item of the owner-drawn pattern combo: item 0 white with "None" in black; the others filled with
// the background and tiled with the pattern in the foreground colour.
void DrawFillPatternItem(QPainter& painter, const QRect& rect, TxlsPattern pattern, TxlsColor background,
                         TxlsColor foreground);

} // namespace exporter
