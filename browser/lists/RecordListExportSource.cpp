#include "browser/lists/RecordListExportSource.h"

#include "browser/lists/RecordListModel.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/ShortBytes.h"

#include <typeinfo>

namespace browser {

namespace {

bool IsPlainRecordModel(const RecordListModel* model) {
    return model && typeid(*model) == typeid(RecordListModel);
}

} // namespace

RecordListExportSource::RecordListExportSource(RecordListModel* model, QAbstractItemView* view)
    : TModelListView(model, view), direct_(IsPlainRecordModel(model) ? model : nullptr) {}

int RecordListExportSource::ItemCount() const {
    const RecordListModel* model = direct_.data();
    return model ? model->count() : TModelListView::ItemCount();
}

std::string RecordListExportSource::ItemText(int item, int column) const {
    std::string text;
    ReadItemText(item, column, text);
    return text;
}

void RecordListExportSource::ReadItemText(int item, int column, std::string& text) const {
    std::string* const texts[] = {&text};
    ReadItemTexts(item, &column, texts, 1);
}

void RecordListExportSource::ReadItemTexts(int item, const int* columns, std::string* const* texts,
                                           int count) const {
    const RecordListModel* model = direct_.data();
    if (!model) {
        for (int i = 0; i < count; ++i)
            *texts[i] = TModelListView::ItemText(item, columns[i]);
        return;
    }
    const std::vector<RecordRow>& rows = model->rows();
    if (item < 0 || static_cast<std::size_t>(item) >= rows.size()) {
        for (int i = 0; i < count; ++i)
            texts[i]->clear();
        return;
    }
    const RecordRow& row = rows[static_cast<std::size_t>(item)];
    // The model is exactly the record model: its column count is asked without a virtual call.
    const unsigned columnCount = static_cast<unsigned>(model->RecordListModel::columnCount());
    for (int i = 0; i < count; ++i) {
        std::string& text = *texts[i];
        const int column = columns[i];
        if (static_cast<unsigned>(column) >= columnCount) { // a negative column too
            text.clear();
            continue;
        }
        const std::string_view cell = RecordListModel::rowCellText(row, column);
        // The usual cell is short ASCII, told apart as it is copied: nothing to repair, no byte order mark.
        if (rtl::AssignShortAsciiBytes(text, cell) || rtl::IsCellAscii(cell))
            continue;
        if (cell.starts_with("\xEF\xBB\xBF"))
            text = TModelListView::ItemText(item, column);
        else
            rtl::RepairUtf8(text);
    }
}

} // namespace browser
