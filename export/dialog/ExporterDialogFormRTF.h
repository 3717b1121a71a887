#pragma once

// The RTF page of the export dialog. TExportRTFPageModel is the page without the window: the four base
// styles and the strip styles of the form's RTF options, the current list and item, the selection, the
// editors that change one attribute of the current style and copy exactly that attribute to every other
// selected item, resetting, the strip-style list and its .rst file. TExporterRTFPage is the page's
// controls over the model.

#include "export/dialog/ExporterOptions.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace exporter {

class TExportDialogServices;

enum class TRTFStyleList { None, Base, Strip };

// One attribute of a style, as an editor changes it.
enum class TRTFStyleAttribute {
    FontName,
    FontSize,
    FontColor,
    BackgroundColor,
    HighlightColor,
    Bold,
    Italic,
    Underline,
    StrikeOut,
    Alignment,
    AllowHighlight,
    AllowBackground
};

// Copies one attribute from one style into another.
void CopyRtfStyleAttribute(TRTFStyleAttribute attribute, const TrtfStyle& from, TrtfStyle& to);

// A check box of the combined view: checked, unchecked or grayed (the selected items differ).
enum class TRTFCheckState { Unchecked, Checked, Grayed };

// What the editors show for the selection.
struct TRTFStyleView {
    bool Selection = false;              // more than one item selected: "Reset selected"
    std::optional<std::string> FontName; // none: the items' fonts differ
    std::string FontSizeText;            // empty when the sizes differ
    TRTFCheckState AllowHighlight = TRTFCheckState::Unchecked;
    TRTFCheckState AllowBackground = TRTFCheckState::Unchecked;
    TrtfStyle Style; // style buttons, alignment, colours and sample
};

// Which strip tool buttons are enabled.
struct TRTFStripButtons {
    bool Delete = false;
    bool MoveUp = false;
    bool MoveDown = false;
    bool Save = false;
};

// The .rst file: every strip style in section "RTF_STRIP_STYLE_" + its 0-based position. Saving erases
// every section of the file first.
void SaveRTFStripStyles(const std::string& fileName, const TrtfStyles& styles);
// Empties the styles and reads every section named "RTF_STRIP_STYLE_..." (case-insensitive), in file
// order; captions gets "ITEM_" + the rest of each section's name. Other sections are ignored.
void LoadRTFStripStyles(const std::string& fileName, TrtfStyles& styles, std::vector<std::string>& captions);

class TExportRTFPageModel {
public:
    explicit TExportRTFPageModel(TExportRTFOptions& options);

    TExportRTFOptions& Options() const { return options_; }

    // The items of a list: captions and styles.
    int Count(TRTFStyleList list) const;
    std::string Caption(TRTFStyleList list, int index) const;
    TrtfStyle* Style(TRTFStyleList list, int index) const;
    // The strip captions follow the options again ("ITEM_1" upward) when their count no longer matches.
    void SyncStripCaptions();

    // The list the editors work on (the shown page of the style lists).
    void SetCurrentList(TRTFStyleList list);
    TRTFStyleList CurrentList() const { return currentList_; }
    // A selection change of the current list: the changed item becomes the current item when anything is
    // selected, else there is none.
    void SetSelection(const std::vector<int>& selected, int changedItem);
    const std::vector<int>& Selected() const { return selected_; }
    int CurrentItem() const { return currentItem_; }
    TrtfStyle* CurrentStyle() const;
    TRTFStyleView View() const;

    // The editors; each returns whether it changed anything.
    bool SetFontName(const std::string& name);
    bool SetFontSizeText(const std::string& text); // not an integer gives 10
    bool SetFontColor(TExportColor color);
    bool SetBackgroundColor(TExportColor color);
    bool SetHighlightColor(TExportColor color);
    bool SetFontStyle(TRTFStyleAttribute element, bool include); // Bold, Italic, Underline or StrikeOut
    // Left sets talLeft; Center, Right and Fill set theirs when down, else talLeft.
    bool SetAlignment(TrtfTextAlignment alignment, bool down);
    bool SetAllowHighlight(bool on);
    bool SetAllowBackground(bool on);

    // The default of an item: its own, the caption default for the base item "CAPTION".
    void ResetStyle(TRTFStyleList list, int index) const;
    // The current item and every other selected item.
    bool ResetItem();
    // Every item of the current list.
    bool ResetAll();
    // Every item of both lists.
    void ResetRTFStyles();

    // The strip list. AddStrip returns the new item's index; DeleteStrip the index to select (-1 when
    // the list is empty); MoveStrip swaps styles with the neighbour and returns its index (or -1).
    int AddStrip();
    int DeleteStrip(int index);
    int MoveStrip(int index, int delta);
    TRTFStripButtons StripButtons(int selected) const;

    void SaveStripStyles(const std::string& fileName) const;
    void LoadStripStyles(const std::string& fileName);

private:
    bool Edit(TRTFStyleAttribute attribute, const std::function<bool(TrtfStyle&)>& change,
              bool needsSelection);
    void CopyToSelection(TRTFStyleAttribute attribute);

    TExportRTFOptions& options_;
    std::vector<std::string> stripCaptions_;
    TRTFStyleList currentList_ = TRTFStyleList::Base;
    std::vector<int> selected_;
    int currentItem_ = -1;
};

// The page's controls in the form's "tshRTF" page.
class TExporterRTFPage : public QWidget {
    Q_OBJECT
public:
    TExporterRTFPage(TExportRTFOptions& options, TExportDialogServices& services, QWidget* parent = nullptr);

    TExportRTFPageModel& Model() { return model_; }
    // Shows the options again (after the form's state changed from outside), the first style selected.
    void ShowState();
    // The page became active: the current style list's selected item, or its first when none is, becomes
    // the focused and selected one, and the editors show it.
    void PageActivated();

    // Handlers.
    void lstRTFBaseStylesChange();
    void pcRTFStylesChange();
    void bRTFResetItemClick();
    void bRTFResetAllClick();
    void tbtAddRTFStyleClick();
    void tbtDelRTFStyleClick();
    void tbtMoveRTFStyleUpClick();
    void tbtMoveRTFStyleDownClick();
    void tbtLoadRTFStyleClick();
    void tbtSaveRTFStyleClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Connect();
    void FillList(TRTFStyleList list);
    // Selects the current list's selected item (its first when none is) and shows it in the editors.
    void SelectCurrentOrFirst(bool focus);
    QListWidget* List(TRTFStyleList list) const;
    void ShowView();
    void UpdateStripButtons();
    void PickColor(TRTFStyleAttribute attribute);
    void Edited(bool changed);
    void SelectStrip(int index);

    TExportRTFPageModel model_;
    TExportDialogServices& services_;
    QTabWidget* pcRTF = nullptr;
    QTabWidget* pcRTFStyles = nullptr;
    QListWidget* lstRTFBaseStyles = nullptr;
    QListWidget* lstRTFStripStyles = nullptr;
    QToolButton* tbtAddRTFStyle = nullptr;
    QToolButton* tbtDelRTFStyle = nullptr;
    QToolButton* tbtMoveRTFStyleUp = nullptr;
    QToolButton* tbtMoveRTFStyleDown = nullptr;
    QToolButton* tbtLoadRTFStyle = nullptr;
    QToolButton* tbtSaveRTFStyle = nullptr;
    QGroupBox* rgRTFStripType = nullptr;
    QButtonGroup* stripTypeButtons = nullptr;
    QWidget* pbRTFSample = nullptr;
    QComboBox* cbRTFFont = nullptr;
    QComboBox* cbRTFFontSize = nullptr;
    QPushButton* bRTFFontColor = nullptr;
    QPushButton* bRTFBackgroundColor = nullptr;
    QPushButton* bRTFHighlightColor = nullptr;
    QWidget* pbRTFFontColor = nullptr;
    QWidget* pbRTFBackgroundColor = nullptr;
    QWidget* pbRTFHighlightColor = nullptr;
    QToolButton* bRTFFontBold = nullptr;
    QToolButton* bRTFFontItalic = nullptr;
    QToolButton* bRTFFontStrikeOut = nullptr;
    QToolButton* bRTFFontUnderline = nullptr;
    QToolButton* bRTFFontLeft = nullptr;
    QToolButton* bRTFFontCenter = nullptr;
    QToolButton* bRTFFontRight = nullptr;
    QToolButton* bRTFFontFill = nullptr;
    QCheckBox* chRTFAllowBackground = nullptr;
    QCheckBox* chRTFAllowHighlight = nullptr;
    QPushButton* bRTFResetItem = nullptr;
    QPushButton* bRTFResetAll = nullptr;
    QGroupBox* rgRTFPageOrientation = nullptr;
    QButtonGroup* orientationButtons = nullptr;
};

} // namespace exporter
