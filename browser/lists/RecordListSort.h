#pragma once

#include "browser/records/RecordRow.h"

#include "platform/rtl/LocaleFacts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace browser {

class RecordListModel;

// Reads the date texts of the DHCP list ("Last Used", "Expire Date") with the program's date-time
// format: the format of the settings file's SYSTEM DateTime with its date and time separators.
class ListDateReader {
public:
    // The default format "yyyy-mm-dd hh:nn:ss" with "-" and ":".
    ListDateReader();
    ListDateReader(const std::string& dateTimeFormat, char dateSeparator, char timeSeparator);
    // The program's date facts (DateFactsOf the settings).
    explicit ListDateReader(const rtl::LocaleFacts& facts) : facts_(facts) {}

    // The date-time value of text, or nothing when the text is not a date in the format.
    std::optional<double> Read(const std::string& text) const;

private:
    rtl::LocaleFacts facts_;
};

// The number of one dot-separated group of an address text: the text between the group's "." and
// the next one (group 0 starts at the beginning); a text that is not a number counts as 0.
std::int32_t IPToNumber(const std::string& caption, int group);

// The order by address: the four groups of the captions, then the first sub-items (ordinal).
// Negative when a goes first, 0 when neither does.
int CompareRowsByIP(const RecordRow& a, const RecordRow& b);

// The record lists' shared comparison for a click on column `column` (0 for the sort by address
// after a collection) of a list of kind `list`. Negative when a goes first.
int LVCompare(const RecordRow& a, const RecordRow& b, int column, RecordListKind list,
              const ListDateReader& dates);

// The sort as a list view does it: the positions of rows in their new order, stable, with each
// row's sort key worked out once (so that dates are read once per row, not once per comparison).
std::vector<int> SortOrder(const std::vector<RecordRow>& rows, int column, RecordListKind list,
                           const ListDateReader& dates);

// Columns a click may sort by: DNS 0-4, REV-DNS 0-3, DHCP 0-6.
bool IsSortColumn(RecordListKind list, int column);

// Re-sorts the rows of model by column; nothing happens for a column that does not sort.
void SortRecordList(RecordListModel& model, RecordListKind list, int column, const ListDateReader& dates);

} // namespace browser
