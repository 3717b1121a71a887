#pragma once

#include "browser/lists/FormBase.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace browser {

// "Search": the search dialog of the record lists (an address, a name or a MAC address).
class TSearch : public FormBase {
    Q_OBJECT
public:
    explicit TSearch(Services& services, QWidget* parent = nullptr);

    // The text MaskEdit1 holds when nothing was typed into it.
    QString MacEmptyText() const;

    QLineEdit* Edit2;     // "IP-Address": digits and "." only
    QLineEdit* Edit1;     // "Name"
    QLineEdit* MaskEdit1; // "MacAddress": six hexadecimal pairs
    QLabel* MacAddressLabel;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // "&Clear all"

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
};

} // namespace browser
