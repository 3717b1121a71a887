#pragma once

#include "browser/lists/RecordListPrinter.h"
#include "browser/lists/RecordListSearch.h"
#include "browser/lists/Services.h"
#include "browser/records/RecordRow.h"

#include <vector>

class QAbstractItemView;
class QPrinter;
class QTextDocument;

namespace browser {

class ListFileGroup;
class RecordListModel;
class THosts;
class TSearch;

// The commands of the record lists as the main window runs them: each asks its dialogs through
// the services object, works on plain rows and reports failures in a message.

// The list a page shows for searching and printing: page 0 DNS, 1 REV-DNS, any other DHCP.
RecordListKind ListForPage(int page);

// All rows of model, or the rows selected in view, in list order.
std::vector<const RecordRow*> AllRows(const RecordListModel& model);
std::vector<const RecordRow*> SelectedRows(const QAbstractItemView& view, const RecordListModel& model);

// The CSV file of rows: proposes the list's default name in dialog; unless withoutDialog, asks
// for the file (cancel ends). Returns true when the file was written, or added to `group` when one
// is given (it then replaces the old file when the group commits).
bool ExportCsvRows(Services& services, FileDialogOptions& dialog, RecordListKind list,
                   const std::vector<const RecordRow*>& rows, bool withoutDialog,
                   ListFileGroup* group = nullptr);

// The text of page 6 ("Check") or 7 ("DNS-Lookup"): asks for the file with the text filter (page
// 6) or the rich-text filter (page 7) preselected and saves in the form of the chosen filter.
bool SavePageTextAs(Services& services, FileDialogOptions& dialog, const QTextDocument& document, int page);

// The HOSTS file of the DNS list: asks for the file, then the options dialog, sorts the list by
// address and writes the file. Nothing happens for an empty list.
bool MakeHostsFile(Services& services, FileDialogOptions& dialog, THosts& options, RecordListModel& dnsList);

// The search dialog for page: prefilled with the current term, the MAC field enabled on the
// DHCP page only. True when OK gave a term to search for (state then holds it).
bool AskSearchTerm(Services& services, TSearch& dialog, SearchState& state, int page);

// Finds the next match of state in the list shown by view: clears the selection, then selects
// the match, scrolls to it and gives the list the focus; a name or MAC search that finds nothing
// shows "%s not found".
void FindInList(Services& services, QAbstractItemView& view, const RecordListModel& model,
                SearchState& state);

// Prints the list after the print dialog, which opens on the list's page orientation: all rows, or
// the selection when the dialog asks so.
void PrintRecordList(Services& services, QPrinter& printer, PrintDialogOptions& options,
                     const QAbstractItemView& view, const RecordListModel& model, RecordListKind list,
                     const ListPrintSettings& settings);

} // namespace browser
