#include "browser/lists/RecordListSearch.h"

#include "platform/rtl/SysUtils.h"

#include <QString>

namespace browser {

SearchFields PrefillSearchFields(const SearchState& state, const std::string& macEmptyText) {
    SearchFields fields;
    fields.mac = macEmptyText;
    if (state.SearchTerm.empty())
        return fields;
    switch (state.SearchKind) {
    case kSearchByName:
        fields.name = state.SearchTerm;
        break;
    case kSearchByMac:
        fields.mac = state.SearchTerm;
        break;
    case kSearchByAddress:
        fields.address = state.SearchTerm;
        break;
    default:
        break;
    }
    return fields;
}

bool TakeSearchFields(const SearchFields& fields, const std::string& macEmptyText, SearchState& state) {
    state.SearchTerm.clear();
    if (!fields.address.empty()) {
        state.SearchTerm = fields.address;
        state.SearchKind = kSearchByAddress;
    } else if (!fields.name.empty()) {
        state.SearchTerm = fields.name;
        state.SearchKind = kSearchByName;
    } else if (fields.mac != macEmptyText) {
        state.SearchTerm = QString::fromStdString(fields.mac).toUpper().toStdString();
        state.SearchKind = kSearchByMac;
    } else {
        return false;
    }
    state.LastFoundIndex = -1;
    return true;
}

int FindMatchingRow(const std::vector<RecordRow>& rows, const SearchState& state) {
    const int count = static_cast<int>(rows.size());
    const int first = std::max(state.LastFoundIndex + 1, 0);
    if (state.SearchKind == kSearchByAddress) {
        const QString term = QString::fromStdString(state.SearchTerm);
        for (int i = first; i < count; ++i) {
            if (QString::fromStdString(rows[static_cast<std::size_t>(i)].caption)
                    .startsWith(term, Qt::CaseInsensitive))
                return i;
        }
        return -1;
    }
    const QString term = QString::fromStdString(state.SearchTerm).trimmed().toUpper();
    const std::size_t item = static_cast<std::size_t>(state.SearchKind);
    for (int i = first; i < count; ++i) {
        const RecordRow& row = rows[static_cast<std::size_t>(i)];
        if (item < row.subItems.size() &&
            QString::fromStdString(row.subItems[item]).contains(term, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

std::string NotFoundMessage(const SearchState& state) {
    if (state.SearchKind == kSearchByAddress)
        return std::string();
    return rtl::Format("%s not found", {state.SearchTerm});
}

} // namespace browser
