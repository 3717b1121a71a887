#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

// Index out of range ("List index out of bounds (5)"), a duplicate refused ("String list does not allow
// duplicates") or an operation a sorted list forbids ("Operation not allowed on sorted list").
class EStringListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// The classic string list: strings with an optional object pointer each (not owned).
// Comparisons use AnsiCompareStr / AnsiCompareText according to CaseSensitive (default false).
class TStringList {
public:
    using CompareFunc = std::function<int(const TStringList&, int, int)>;

    TStringList() = default;

    int Count() const { return int(items_.size()); }
    // Throw EStringListError when the index is out of range.
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void SetString(int index, const std::string& s); // not allowed while Sorted
    void* Objects(int index) const;
    void SetObject(int index, void* object);

    // Add keeps a sorted list sorted and applies Duplicates there (dupIgnore returns the existing index).
    int Add(const std::string& s);
    int AddObject(const std::string& s, void* object);
    void AddStrings(const std::vector<std::string>& strings);
    void Insert(int index, const std::string& s); // not allowed while Sorted
    void InsertObject(int index, const std::string& s, void* object);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);

    // IndexOf uses Find on a sorted list, a linear search otherwise; -1 when absent.
    int IndexOf(std::string_view s) const;
    int IndexOfObject(const void* object) const;
    // Binary search (list must be sorted): true when found; `index` is the match or the insert position.
    // With duplicates the first match is returned.
    bool Find(std::string_view s, int& index) const;

    // Name/value lines "name=value" (NameValueSeparator).
    int IndexOfName(std::string_view name) const;
    std::string Names(int index) const;          // "" for a line without separator
    std::string ValueFromIndex(int index) const; // text after the first separator
    std::string Values(std::string_view name) const;
    // Replaces the value of the first line named `name`, appends "name=value" when missing;
    // an empty value deletes the line.
    void SetValue(std::string_view name, const std::string& value);

    // Items joined with ',' / Delimiter; an item holding a character at or below blank, the quote
    // character or the delimiter is quoted with inner quotes doubled. A list of one empty item gives "".
    std::string CommaText() const;
    std::string DelimitedText() const;
    // Clear, then Add the items read: quoted items (doubled quotes inside), unquoted items end at the
    // delimiter or a character at or below blank; blanks between items are skipped. SetCommaText
    // uses ',' and '"' whatever Delimiter and QuoteChar are.
    void SetCommaText(std::string_view text);
    void SetDelimitedText(std::string_view text);

    // Lines joined with CR LF after each; SetText splits at CR LF, LF or CR.
    std::string Text() const;
    void SetText(std::string_view text);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted); // sorting on setting true
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive); // re-sorts a sorted list
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char delimiter) { delimiter_ = delimiter; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char quoteChar) { quoteChar_ = quoteChar; }
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char separator) { nameValueSeparator_ = separator; }

    void Sort();
    void CustomSort(const CompareFunc& compare);
    // The comparison the list uses for sorting and searching.
    int CompareStrings(std::string_view a, std::string_view b) const;

    std::vector<std::string> ToVector() const;

private:
    struct Item {
        std::string text;
        void* object = nullptr;
    };
    void checkIndex(int index) const;
    void insertItem(int index, const std::string& s, void* object);
    std::string joinQuoted(char delimiter, char quoteChar) const;
    void splitQuoted(std::string_view text, char delimiter, char quoteChar);

    std::vector<Item> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
    bool caseSensitive_ = false;
    char delimiter_ = ',';
    char quoteChar_ = '"';
    char nameValueSeparator_ = '=';
};

} // namespace rtl
