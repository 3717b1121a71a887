#pragma once

#include "browser/FormBase.h"

class QCheckBox;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace browser {

class ImageList;

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

public slots:
    void BitBtn2Click();
    void BitBtn1Click();
    void BitBtn3Click();
    void Timer1Timer();
    void TV2Expanding(QTreeWidgetItem* node);
    void TV2Collapsing(QTreeWidgetItem* node);
    void lvSelectItem();
};

} // namespace browser
