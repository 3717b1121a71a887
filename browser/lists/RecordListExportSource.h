#pragma once

// The export engine's list source over a record list: it reads each cell's own UTF-8 text instead of
// going through QVariant and QString, with the bytes QString would give.

#include "export/core/ExporterQtSources.h"

#include <QPointer>

namespace browser {

class RecordListModel;

// Over exactly the record model the cells are read directly: a malformed byte becomes U+FFFD as QString
// makes it, and a text that opens with a byte order mark (which QString drops) is read the general way.
// Over a model of a class derived from it (whose data() may show other texts) every cell is read through
// the model's data(), as the engine's general list source reads it.
class RecordListExportSource : public exporter::TModelListView {
public:
    RecordListExportSource(RecordListModel* model, QAbstractItemView* view = nullptr);

    int ItemCount() const override;
    std::string ItemText(int item, int column) const override;
    void ReadItemText(int item, int column, std::string& text) const override;
    void ReadItemTexts(int item, const int* columns, std::string* const* texts, int count) const override;

private:
    QPointer<RecordListModel> direct_; // null when the cells are read through data()
};

} // namespace browser
