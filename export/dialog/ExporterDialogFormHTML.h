#pragma once

// The HTML page of the export dialog. TExportHTMLPageModel is the page without the window: the mirrors
// of the form's HTML options, the ten colours written through to the form's own HTML exporter (so that
// its template operations see the page's colours), the template choice and the .htf file, and which
// multi-file controls are enabled. TExporterHTMLPage is the page's controls over the model.

#include "export/core/ExporterHTML.h"
#include "export/dialog/ExporterFormState.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace exporter {

class TExportDialogServices;

// The ten colours of the page.
enum class THTMLPageColor {
    Background,
    Font,
    HeadBackground,
    HeadFont,
    OddRowBackground,
    EvenRowBackground,
    DataFont,
    Link,
    VLink,
    ALink
};
inline constexpr int HTMLPageColorCount = 10;

// The template choice's items in THTMLTemplate order.
std::vector<std::string> HTMLTemplateItems();

// Which multi-file controls are enabled.
struct THTMLMultiFileEnabled {
    bool FileOptions = false; // record count, index and navigation check boxes
    bool IndexLinkTemplate = false;
    bool IndexLinkTitle = false;
    bool LinkTitles = false; // first, prior, next and last
};

class TExportHTMLPageModel {
public:
    // Takes the page's colours into the form's HTML exporter.
    explicit TExportHTMLPageModel(TExportFormState& state);

    TExportFormState& State() const { return state_; }
    TExporterHTML& HTMLExp() { return htmlExp_; }

    TExportColor Color(THTMLPageColor color) const;
    // Stores the colour in the form's options and in the form's exporter.
    void SetColor(THTMLPageColor color, TExportColor value);
    // The ten colours := the form's exporter's.
    void CopyHTMLColorsFromExporter();

    // The template choice: 0 "Custom" (the exporter's template becomes htCustom), k the k-th template,
    // whose colours the page then shows.
    int TemplateIndex() const { return templateIndex_; }
    void SetTemplateIndex(int index);
    // Shows "Custom" without touching the exporter.
    void ResetHTMLTemplateChoice() { templateIndex_ = 0; }

    void SaveTemplate(const std::string& fileName) const;
    // Loads the file into the exporter, shows its colours and "Custom".
    void LoadTemplate(const std::string& fileName);

    // A number edit's text: not an integer gives 0.
    static int NumberText(const std::string& text);
    void SetUseMultiFile(bool on) { state_.HTMLUseMultiFile = on; }
    THTMLMultiFileEnabled MultiFileEnabled() const;

private:
    TExportColor& Mirror(THTMLPageColor color) const;
    TExportColor& ExporterColor(THTMLPageColor color);

    TExportFormState& state_;
    TExporterHTML htmlExp_;
    int templateIndex_ = 0;
};

// The page's controls in the form's "tshHTML" page.
class TExporterHTMLPage : public QWidget {
    Q_OBJECT
public:
    TExporterHTMLPage(TExportFormState& state, TExportDialogServices& services, QWidget* parent = nullptr);

    TExportHTMLPageModel& Model() { return model_; }
    // Shows the form's options again.
    void ShowState();

    void cbxHTMLTemplateChange();
    void bHTMLSaveTemplateClick();
    void bHTMLLoadTemplateClick();
    // The colour click of a preview cell or label.
    void ColorClick(THTMLPageColor color);
    void btnHTMLCSSFileNameClick();
    void btnHTMLBackgroundClick();
    void btnHTMLTableBackgroundClick();
    void UpdateMultiFileControls();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void ConnectEdits();
    void ShowColors();
    void ShowCSS();
    QWidget* BuildPreview();
    QWidget* BuildBasic();
    QWidget* BuildMultiFile();
    QWidget* BuildAdvanced();
    bool PickPicture(std::string& fileName);

    TExportHTMLPageModel model_;
    TExportDialogServices& services_;
    QTabWidget* pcHTML = nullptr;
    QComboBox* cbxHTMLTemplate = nullptr;
    QWidget* paHTMLBackground = nullptr;
    QLabel* laHTMLFont = nullptr;
    QLabel* laHTMLLink = nullptr;
    QLabel* laHTMLVLink = nullptr;
    QLabel* laHTMLALink = nullptr;
    std::array<QWidget*, 3> heads{};
    std::array<QLabel*, 3> headLabels{};
    std::array<QWidget*, 6> oddCells{};
    std::array<QWidget*, 6> evenCells{};
    std::array<QLabel*, 12> dataLabels{};
    QLineEdit* edHTMLTitle = nullptr;
    QRadioButton* rbInternal = nullptr;
    QRadioButton* rbExternal = nullptr;
    QLabel* laHTMLCSSFileName = nullptr;
    QLineEdit* edHTMLCSSFileName = nullptr;
    QPushButton* btnHTMLCSSFileName = nullptr;
    QCheckBox* chHTMLOverwriteCSSFile = nullptr;
    QCheckBox* chHTMLUseMultiFileExport = nullptr;
    QLabel* laHTMLFileRecCount_01 = nullptr;
    QLineEdit* edHTMLFileRecCount = nullptr;
    QLabel* laHTMLFileRecCount_02 = nullptr;
    QCheckBox* chHTMLGenerateIndex = nullptr;
    QLabel* laHTMLIndexLinkTemplate = nullptr;
    QLineEdit* edHTMLIndexLinkTemplate = nullptr;
    QCheckBox* chHTMLNavigationOnTop = nullptr;
    QCheckBox* chHTMLNavigationOnBottom = nullptr;
    QLabel* laHTMLIndexLinkTitle = nullptr;
    QLineEdit* edHTMLIndexLinkTitle = nullptr;
    std::array<QLabel*, 4> linkTitleLabels{};
    std::array<QLineEdit*, 4> linkTitleEdits{};
    QComboBox* cbxHTMLFontName = nullptr;
    QLineEdit* edHTMLBackground = nullptr;
    QPushButton* btnHTMLBackground = nullptr;
    QLineEdit* edHTMLBodyAdvanced = nullptr;
    QLineEdit* edHTMLCellPadding = nullptr;
    QLineEdit* edHTMLCellSpacing = nullptr;
    QLineEdit* edHTMLBorderWidth = nullptr;
    QLineEdit* edHTMLTableBackground = nullptr;
    QPushButton* btnHTMLTableBackground = nullptr;
    QLineEdit* edHTMLTableAdvanced = nullptr;
};

} // namespace exporter
