#include "browser/lists/RecordListSort.h"

#include "browser/collection/CormelianSettings.h"
#include "browser/lists/RecordListModel.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <QString>

#include <algorithm>
#include <numeric>

namespace browser {

namespace {

// Rows without a date (or with one that cannot be read) count as this day, so they go last.
const double kNoDate = rtl::EncodeDate(3000, 1, 1);

enum class SortRule { ByAddress, Text, Date, TextIgnoringCase, None };

SortRule RuleFor(int column, RecordListKind list) {
    switch (column) {
    case 0:
        return SortRule::ByAddress;
    case 1:
    case 2:
    case 3:
    case 6:
        return SortRule::Text;
    case 4:
    case 5:
        return list == RecordListKind::Dhcp ? SortRule::Date : SortRule::TextIgnoringCase;
    default:
        return SortRule::None;
    }
}

const std::string& SubItem(const RecordRow& row, int item) {
    static const std::string none;
    return item >= 0 && static_cast<std::size_t>(item) < row.subItems.size()
               ? row.subItems[static_cast<std::size_t>(item)]
               : none;
}

template <typename T> int ThreeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// What one row is sorted by, worked out once per row.
struct RowKey {
    std::array<std::int32_t, 4> address{};
    const std::string* firstSubItem = nullptr; // null: the row has no sub-items
    const std::string* text = nullptr;         // Text rule
    QString folded;                            // TextIgnoringCase rule
    double date = 0;                           // Date rule
};

RowKey MakeKey(const RecordRow& row, SortRule rule, int column, const ListDateReader& dates) {
    RowKey key;
    for (int group = 0; group < 4; ++group)
        key.address[static_cast<std::size_t>(group)] = IPToNumber(row.caption, group);
    if (!row.subItems.empty())
        key.firstSubItem = &row.subItems.front();
    switch (rule) {
    case SortRule::Text:
        key.text = &SubItem(row, column - 1);
        break;
    case SortRule::TextIgnoringCase:
        key.folded = QString::fromStdString(SubItem(row, column - 1)).toCaseFolded();
        break;
    case SortRule::Date: {
        const std::string& text = SubItem(row, column - 1);
        key.date = kNoDate;
        if (!text.empty())
            key.date = dates.Read(text).value_or(kNoDate);
        break;
    }
    case SortRule::ByAddress:
    case SortRule::None:
        break;
    }
    return key;
}

int CompareByAddress(const RowKey& a, const RowKey& b) {
    if (const int order = ThreeWay(a.address, b.address))
        return order;
    // Equal addresses: by name. A row without sub-items goes before those with them, so that the
    // order stays consistent.
    if (!a.firstSubItem || !b.firstSubItem)
        return ThreeWay(a.firstSubItem != nullptr, b.firstSubItem != nullptr);
    return Sign(a.firstSubItem->compare(*b.firstSubItem));
}

int CompareKeys(const RowKey& a, const RowKey& b, SortRule rule) {
    switch (rule) {
    case SortRule::ByAddress:
        return CompareByAddress(a, b);
    case SortRule::Text: {
        const std::string& ta = *a.text;
        const std::string& tb = *b.text;
        if (ta.empty() != tb.empty())
            return ta.empty() ? 1 : -1; // the empty text goes after
        const int order = Sign(ta.compare(tb));
        return order != 0 ? order : CompareByAddress(a, b);
    }
    case SortRule::Date: {
        const int order = ThreeWay(a.date, b.date);
        return order != 0 ? order : CompareByAddress(a, b);
    }
    case SortRule::TextIgnoringCase: {
        const int order = Sign(a.folded.compare(b.folded));
        return order != 0 ? order : CompareByAddress(a, b);
    }
    case SortRule::None:
        break;
    }
    return 0;
}

} // namespace

ListDateReader::ListDateReader() : ListDateReader(kDefaultDateTimeFormat, '-', ':') {}

ListDateReader::ListDateReader(const std::string& dateTimeFormat, char dateSeparator, char timeSeparator) {
    CormelianSettings settings;
    settings.dateTimeFormat = dateTimeFormat;
    settings.dateSeparator = dateSeparator;
    settings.timeSeparator = timeSeparator;
    facts_ = DateFactsOf(settings);
}

std::optional<double> ListDateReader::Read(const std::string& text) const {
    rtl::TDateTime value = 0;
    if (!rtl::TryStrToDateTime(text, value, facts_))
        return std::nullopt;
    return value;
}

std::int32_t IPToNumber(const std::string& caption, int group) {
    std::size_t start = 0;
    for (int k = 0; k < group; ++k) {
        const std::size_t dot = caption.find('.', start);
        if (dot == std::string::npos)
            return 0;
        start = dot + 1;
    }
    const std::size_t end = caption.find('.', start);
    const std::string_view text =
        std::string_view(caption).substr(start, end == std::string::npos ? std::string::npos : end - start);
    return rtl::StrToIntDef(text, 0);
}

int CompareRowsByIP(const RecordRow& a, const RecordRow& b) {
    static const ListDateReader unused;
    return CompareKeys(MakeKey(a, SortRule::ByAddress, 0, unused), MakeKey(b, SortRule::ByAddress, 0, unused),
                       SortRule::ByAddress);
}

int LVCompare(const RecordRow& a, const RecordRow& b, int column, RecordListKind list,
              const ListDateReader& dates) {
    const SortRule rule = RuleFor(column, list);
    return CompareKeys(MakeKey(a, rule, column, dates), MakeKey(b, rule, column, dates), rule);
}

std::vector<int> SortOrder(const std::vector<RecordRow>& rows, int column, RecordListKind list,
                           const ListDateReader& dates) {
    const SortRule rule = RuleFor(column, list);
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (rule == SortRule::None)
        return order;
    std::vector<RowKey> keys;
    keys.reserve(rows.size());
    for (const RecordRow& row : rows)
        keys.push_back(MakeKey(row, rule, column, dates));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareKeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)], rule) < 0;
    });
    return order;
}

bool IsSortColumn(RecordListKind list, int column) {
    switch (list) {
    case RecordListKind::Dns:
        return column >= 0 && column <= 4;
    case RecordListKind::RevDns:
        return column >= 0 && column <= 3;
    case RecordListKind::Dhcp:
        return column >= 0 && column <= 6;
    }
    return false;
}

void SortRecordList(RecordListModel& model, RecordListKind list, int column, const ListDateReader& dates) {
    if (!IsSortColumn(list, column))
        return;
    model.applyOrder(SortOrder(model.rows(), column, list, dates));
}

} // namespace browser
