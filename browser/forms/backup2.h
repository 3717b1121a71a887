#pragma once

#include "browser/forms/ObjectBrowserLogic.h"
#include "browser/lists/FormBase.h"

#include <QString>
#include <QTreeWidgetItem>

#include <functional>
#include <string>

class QCheckBox;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace browser {

class ImageList;

// A node of the object browser's tree: one name component of a directory object.
class ObjectTreeItem : public QTreeWidgetItem, public directory::ITreeNode {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 122;

    explicit ObjectTreeItem(const QString& text);

    std::string Text() const override;
    const directory::ITreeNode* Parent() const override;

    // A node of the start-context path: shows only the path below it, is never reloaded and
    // cannot be collapsed.
    bool StartPath = false;
    // Its children have been listed.
    bool Loaded = false;
};

// "Select context": the directory object browser. Callers configure it, run it modally and read
// the chosen object back when it ends with mrOk.
class TcForm : public FormBase {
    Q_OBJECT
public:
    explicit TcForm(Services& services, QWidget* parent = nullptr);

    // The result of a show before any context was set.
    static constexpr int kNoContextResult = 55;

    QTreeWidget* TV2;     // the directory tree, images IL2
    QTreeWidget* lv;      // hit list of Find, hidden until needed
    QPushButton* BitBtn2; // OK
    QPushButton* BitBtn1; // "Cancel"
    QPushButton* BitBtn3; // Find
    QPushButton* BitBtn4; // "Clear all selections", never shown
    QPushButton* BitBtn5; // never shown
    QCheckBox* All;       // "all leafs"
    QTimer* Timer1;       // 50 ms, one shot: builds the tree after the form has shown
    ImageList* IL2;       // the class icons of the helper library

    // Configuration by the callers.
    void SetContext(directory::NWDSContextHandle context);
    void SetStartContext(const QString& name);
    QString GetStartContext() const { return startContext_; }
    void SetLeafMode(bool on);
    void SetAllLeafs(bool on);
    void SetStartObject(const QString& name) { chosenObject_ = name; }
    void AddClassFilter(const QString& className);
    void ClearClassFilter();
    // The chosen object's full dotted name; callers read it after a show that ended with mrOk.
    QString ChosenObject() const { return chosenObject_; }

    // Walks down from node (the top node when null) to the object name, loading nodes on the
    // way, and selects the object's node; stops at the first component without a node.
    void ExpandToNode(const QString& name, QTreeWidgetItem* node = nullptr);

    // Loads the icon strip into IL2 once; the special icon numbers are valid afterwards. Returns
    // 0, or the library's error code: then it has shown "Error....." with the code and ended the
    // program (the strip stays unloaded).
    int InitIcons();
    // The former name of InitIcons, kept for the start-up code until it calls InitIcons.
    int LoadIcons() { return InitIcons(); }
    bool IconsLoaded() const { return iconsLoaded_; }
    const SpecialClassIcons& SpecialIcons() const { return specialIcons_; }

    // The file the icon loading is traced to ("testnoc.log" in the current folder).
    void SetTraceFile(const QString& path) { traceFile_ = path; }
    // What ends the program when the icon strip cannot be had. Quits the application by default.
    void SetEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }

    // Drops the loaded tree; the next show builds it anew.
    void ClearTree();

    // Runs the dialog; before any context was set it only shows the internal error.
    int exec() override;

public slots:
    void BitBtn2Click();
    void BitBtn1Click();
    void BitBtn3Click();
    void Timer1Timer();
    void TV2Expanding(QTreeWidgetItem* node);
    void TV2Collapsing(QTreeWidgetItem* node);
    void lvSelectItem();

protected:
    void FormShow() override;
    void FormHide() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BrowseFilter Filter() const;
    // Lists a node's children unless they are loaded or it is a start-path node.
    void LoadChildren(ObjectTreeItem* node);
    // The base class of the node's object.
    std::string NodeBaseClass(const directory::ITreeNode* node) const;
    // Shows a directory failure as the application's default handler would.
    void ShowFailure(const std::exception& error);
    void ShowNoContextError();
    void TwoBeeps();

    directory::NWDSContextHandle context_ = 0;
    bool contextSet_ = false;
    std::string treeName_;
    QString startContext_;
    bool leafMode_ = false;
    std::vector<std::string> classFilter_;
    QString chosenObject_;
    bool iconsLoaded_ = false;
    SpecialClassIcons specialIcons_;
    QString traceFile_ = QStringLiteral("testnoc.log");
    std::function<void()> endProgram_;
};

} // namespace browser
