#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "storage/calljournal.h"

namespace talmor {

// The journal window's columns, also the CSV file's header.
QStringList JournalHeadings();
// The name of a step as the operator reads it ("呼叫到达", "接听处理", ...).
QString JournalStepText(storage::JournalStep step);
// The detail of an alarm step (GBK): the sound's name ("求救报警"), and for the `repeat`-th
// repeat of a waiting call's alarm "求救报警 第3次重复提醒". An unknown event keeps its number.
std::string AlarmDetail(int event, int repeat);
// One entry as the window's cells: local time to the millisecond, call id, caller id, name,
// call type, step, detail (GBK texts converted).
QStringList JournalCells(const storage::JournalEntry& entry);
// The entries as CSV (RFC 4180: fields with a comma, quote or line break are quoted, quotes
// doubled, lines end in CRLF), headings first. A field that starts with =, +, -, @, a tab or a
// carriage return gets a leading apostrophe, so a spreadsheet never runs a caller's text as a
// formula.
QString JournalCsv(const std::vector<storage::JournalEntry>& entries);

// What the operator typed into the journal window's filters.
struct JournalQuery {
    QString callId;           // digits, or empty
    QString caller;           // the caller's id or a part of the name, or empty
    int category = -1;        // -1 for every category
    std::optional<QDate> day; // a day of the local calendar
};

// The store's filter for `query`; none when a field cannot match anything (a call id that is
// not a number, a name that GBK cannot write).
std::optional<storage::JournalFilter> JournalFilterOf(const JournalQuery& query);

} // namespace talmor
