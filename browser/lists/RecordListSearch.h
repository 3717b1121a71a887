#pragma once

#include "browser/records/RecordRow.h"

#include <string>
#include <vector>

namespace browser {

// What a search looks at.
enum SearchKindValue : int {
    kSearchByName = 0,     // the name (sub-item 0), anywhere in it
    kSearchByMac = 2,      // the MAC address of the DHCP list (sub-item 2), anywhere in it
    kSearchByAddress = 999 // the address (caption), from its start
};

// The search of the record lists, kept between searches so that "Find Next" goes on after the
// last hit.
struct SearchState {
    std::string SearchTerm;
    int SearchKind = kSearchByName;
    int LastFoundIndex = -1;
};

// The three fields of the search dialog.
struct SearchFields {
    std::string address; // Edit2
    std::string name;    // Edit1
    std::string mac;     // MaskEdit1
};

// The fields a dialog opens with for the current term: all empty but the one of its kind.
// macEmptyText is what the MAC field holds when nothing was typed into it.
SearchFields PrefillSearchFields(const SearchState& state, const std::string& macEmptyText);

// Takes the dialog's answer into state: the address field when filled, else the name, else the
// MAC address (upper-cased) when it differs from its empty text. Returns false when every field is
// empty; the term is then empty. A new term starts from the top of the list.
bool TakeSearchFields(const SearchFields& fields, const std::string& macEmptyText, SearchState& state);

// The first row after LastFoundIndex that matches the term, or -1. Does not change state.
int FindMatchingRow(const std::vector<RecordRow>& rows, const SearchState& state);

// The message shown when a name or MAC search finds nothing ("%s not found"); empty for an
// address search, which finds nothing silently (the row selection is cleared).
std::string NotFoundMessage(const SearchState& state);

} // namespace browser
