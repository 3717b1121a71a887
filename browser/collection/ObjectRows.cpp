#include "browser/collection/ObjectRows.h"

#include "directory/nwextra.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace browser {

std::string ObjectRow::FullName() const {
    if (!name.empty()) {
        return name;
    }
    return context.empty() ? caption : caption + "." + context;
}

ObjectRow ObjectRow::ForObject(const std::string& name, int image, int state, int data) {
    ObjectRow row;
    row.caption = directory::GetNameComponent(name, 0);
    row.context = directory::DropLeadingComponents(name, 1, true);
    row.name = name;
    row.image = image;
    row.state = state;
    row.data = data;
    return row;
}

int CompareObjectRows(ObjectListKind list, const ObjectRow& a, const ObjectRow& b) {
    if (list == ObjectListKind::Subnets || a.image != b.image) {
        return 0;
    }
    return rtl::AnsiCompareStr(a.caption, b.caption);
}

void SortObjectRows(ObjectListKind list, std::vector<ObjectRow>& rows, std::size_t first, std::size_t last) {
    last = std::min(last, rows.size());
    if (list == ObjectListKind::Subnets) {
        return;
    }
    std::size_t run = first;
    while (run < last) {
        std::size_t end = run + 1;
        while (end < last && rows[end].image == rows[run].image) {
            ++end;
        }
        std::stable_sort(
            rows.begin() + static_cast<std::ptrdiff_t>(run), rows.begin() + static_cast<std::ptrdiff_t>(end),
            [list](const ObjectRow& a, const ObjectRow& b) { return CompareObjectRows(list, a, b) < 0; });
        run = end;
    }
}

} // namespace browser
