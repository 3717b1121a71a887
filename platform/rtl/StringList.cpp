#include "platform/rtl/StringList.h"

#include "platform/rtl/SysUtils.h"

#include <utility>

namespace rtl {

const std::string& TStringList::Strings(int index) const {
    checkIndex(index);
    return items_[size_t(index)].text;
}

void TStringList::SetString(int index, const std::string& s) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    checkIndex(index);
    items_[size_t(index)].text = s;
}

void* TStringList::Objects(int index) const {
    checkIndex(index);
    return items_[size_t(index)].object;
}

void TStringList::SetObject(int index, void* object) {
    checkIndex(index);
    items_[size_t(index)].object = object;
}

int TStringList::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, void* object) {
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == TDuplicates::dupIgnore)
            return index;
        if (duplicates_ == TDuplicates::dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    insertItem(index, s, object);
    return index;
}

void TStringList::AddStrings(const std::vector<std::string>& strings) {
    for (const auto& s : strings)
        Add(s);
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, void* object) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    insertItem(index, s, object);
}

void TStringList::Delete(int index) {
    checkIndex(index);
    items_.erase(items_.begin() + index);
}

void TStringList::Clear() {
    items_.clear();
}

void TStringList::Exchange(int a, int b) {
    checkIndex(a);
    checkIndex(b);
    std::swap(items_[size_t(a)], items_[size_t(b)]);
}

void TStringList::Move(int from, int to) {
    if (from == to)
        return;
    checkIndex(from);
    checkIndex(to);
    Item item = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
}

int TStringList::IndexOf(std::string_view s) const {
    if (sorted_) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(items_[size_t(i)].text, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].object == object)
            return i;
    return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    bool found = false;
    int low = 0, high = Count() - 1;
    while (low <= high) {
        int i = (low + high) / 2;
        int c = CompareStrings(items_[size_t(i)].text, s);
        if (c < 0) {
            low = i + 1;
        } else {
            high = i - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != TDuplicates::dupAccept)
                    low = i;
            }
        }
    }
    index = low;
    return found;
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[size_t(i)].text;
        size_t p = s.find(nameValueSeparator_);
        if (p != std::string::npos && CompareStrings(std::string_view(s).substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

std::string TStringList::Names(int index) const {
    const std::string& s = Strings(index);
    size_t p = s.find(nameValueSeparator_);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& s = Strings(index);
    size_t p = s.find(nameValueSeparator_);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

std::string TStringList::Values(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, const std::string& value) {
    int i = IndexOfName(name);
    std::string line = std::string(name) + nameValueSeparator_ + value;
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
    } else if (sorted_) {
        // A sorted list cannot change a line in place: take the old line out and add the new one.
        void* object = i >= 0 ? items_[size_t(i)].object : nullptr;
        if (i >= 0)
            Delete(i);
        AddObject(line, object);
    } else if (i >= 0) {
        items_[size_t(i)].text = line;
    } else {
        Add(line);
    }
}

std::string TStringList::joinQuoted(char delimiter, char quoteChar) const {
    if (items_.size() == 1 && items_[0].text.empty())
        return std::string(2, quoteChar);
    std::string out;
    for (size_t i = 0; i < items_.size(); ++i) {
        const std::string& s = items_[i].text;
        // Quote when a character at or below blank, the quote or the delimiter comes before the end
        // (a NUL byte ends the scan, as it ends a C string).
        bool quote = false;
        for (char c : s) {
            unsigned char u = static_cast<unsigned char>(c);
            if (u <= ' ' || c == quoteChar || c == delimiter) {
                quote = u != 0;
                break;
            }
        }
        if (i > 0)
            out += delimiter;
        out += quote ? AnsiQuotedStr(s, quoteChar) : s;
    }
    return out;
}

void TStringList::splitQuoted(std::string_view text, char delimiter, char quoteChar) {
    Clear();
    size_t p = 0;
    auto blank = [&](size_t i) {
        return i < text.size() && static_cast<unsigned char>(text[i]) >= 1 &&
               static_cast<unsigned char>(text[i]) <= ' ';
    };
    // A NUL byte ends the text, as it ends a C string.
    size_t end = text.find('\0');
    if (end != std::string_view::npos)
        text = text.substr(0, end);
    while (blank(p))
        ++p;
    while (p < text.size()) {
        std::string item;
        if (text[p] == quoteChar) {
            ++p;
            while (p < text.size()) {
                if (text[p] == quoteChar) {
                    if (p + 1 < text.size() && text[p + 1] == quoteChar) {
                        item += quoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            size_t start = p;
            while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != delimiter)
                ++p;
            item.assign(text.substr(start, p - start));
        }
        Add(item);
        while (blank(p))
            ++p;
        if (p < text.size() && text[p] == delimiter) {
            if (p + 1 == text.size())
                Add("");
            do {
                ++p;
            } while (blank(p));
        }
    }
}

std::string TStringList::CommaText() const {
    return joinQuoted(',', '"');
}

std::string TStringList::DelimitedText() const {
    return joinQuoted(delimiter_, quoteChar_);
}

void TStringList::SetCommaText(std::string_view text) {
    splitQuoted(text, ',', '"');
}

void TStringList::SetDelimitedText(std::string_view text) {
    splitQuoted(text, delimiter_, quoteChar_);
}

std::string TStringList::Text() const {
    std::string out;
    for (const auto& item : items_) {
        out += item.text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    size_t p = 0;
    while (p < text.size()) {
        size_t start = p;
        while (p < text.size() && text[p] != '\r' && text[p] != '\n')
            ++p;
        Add(std::string(text.substr(start, p - start)));
        if (p < text.size() && text[p] == '\r')
            ++p;
        if (p < text.size() && text[p] == '\n')
            ++p;
    }
}

void TStringList::SetSorted(bool sorted) {
    if (sorted_ == sorted)
        return;
    if (sorted)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive_ == caseSensitive)
        return;
    caseSensitive_ = caseSensitive;
    if (sorted_)
        Sort();
}

void TStringList::Sort() {
    CustomSort([](const TStringList& list, int a, int b) {
        return list.CompareStrings(list.items_[size_t(a)].text, list.items_[size_t(b)].text);
    });
}

void TStringList::CustomSort(const CompareFunc& compare) {
    if (Count() <= 1)
        return;
    // The classic string lists' quicksort, so that equal strings end up in the order they
    // take there.
    std::function<void(int, int)> quickSort = [&](int l, int r) {
        int i;
        do {
            i = l;
            int j = r;
            int p = (l + r) / 2;
            do {
                while (compare(*this, i, p) < 0)
                    ++i;
                while (compare(*this, j, p) > 0)
                    --j;
                if (i <= j) {
                    std::swap(items_[size_t(i)], items_[size_t(j)]);
                    if (p == i)
                        p = j;
                    else if (p == j)
                        p = i;
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j)
                quickSort(l, j);
            l = i;
        } while (i < r);
    };
    quickSort(0, Count() - 1);
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

std::vector<std::string> TStringList::ToVector() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_)
        out.push_back(item.text);
    return out;
}

void TStringList::checkIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStringList::insertItem(int index, const std::string& s, void* object) {
    items_.insert(items_.begin() + index, Item{s, object});
}

} // namespace rtl
