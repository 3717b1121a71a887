#pragma once

// The record commands of the record lists' pop-up menu (Edit, Del, New) and what they need of a
// list view: its selected rows.

#include <QString>

#include <vector>

class QTreeView;

namespace browser {

// The record list a command was given on.
enum class RecordCommandList { Dns, RevDns, Dhcp, None };
enum class RecordCommand { Edit, Delete, New };

// The message a command shows on the DNS and REV-DNS lists ("DNS, edit still under construction",
// "REV-DNS, delete", ...); empty for the DHCP list.
QString RecordCommandMessage(RecordCommand command, RecordCommandList list);

// Indexes of the selected rows, ascending.
std::vector<int> SelectedRowIndexes(const QTreeView* view);

} // namespace browser
