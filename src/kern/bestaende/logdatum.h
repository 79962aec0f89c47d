// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

struct sqlite3;

// Reading the date and the time of a log record: the one reader behind the
// statistics, the import's duplicate check and the dates spreadsheets
// write. Both are text as typed ("30.06.2006", "21:45"), and older records
// may hold anything; what cannot be read is no date or no time, never a
// guessed one. Blanks around a value are ignored; only ASCII digits count.
//
// Dates: day.month.year with one or two digits for day and month and four
// for the year ("1.7.2006"); ISO "2006-07-01"; ADIF's "20060701". A year
// outside ersterJahrgang .. letzterJahrgang is a typing error, no date. A
// two-digit year ("30.06.06") is no date in the log: its century cannot be
// known there. Spreadsheets save dates that way, though; a cell coming in
// (zeitpunkt) takes the nearest year that is not in the future ("06" is
// 2006, "99" 1999: the reception was heard, so it lies in the past), and
// the log then stores all four digits.
//
// Times: hours:minutes with an optional :seconds ("21:45", "7:05",
// "21:45:30"), the same with points ("21.45"), and ADIF's "2145" and
// "214530".
namespace Logdatum {

// The years a reception date may have. A year outside (a typing error such
// as "01.07.0206") is no date: it would stretch every chart over centuries.
constexpr int ersterJahrgang = 1900;
constexpr int letzterJahrgang = 2099;

// The date of a text.
std::optional<QDate> tag(QStringView text);

struct Uhrzeit
{
    QTime zeit;
    bool sekunden = false;   // the text gave seconds
};
std::optional<Uhrzeit> uhrzeit(QStringView text);
// The minute of the day (0 to 1439).
std::optional<int> minute(QStringView text);

// A spreadsheet's cell: a date, perhaps followed by a time after a blank or
// a 'T' ("30.06.06 21:45:00", "2006-06-30T21:45"). heute decides the
// century of a two-digit year (an invalid date: today's).
struct Zeitpunkt
{
    QDate tag;
    std::optional<Uhrzeit> uhrzeit;
};
std::optional<Zeitpunkt> zeitpunkt(QStringView text, const QDate &heute = QDate());

// As the log writes them: "dd.MM.yyyy", "HH:mm" or "HH:mm:ss".
QString datumText(const QDate &datum);
QString zeitText(const Uhrzeit &zeit);

// Registers on one connection the SQL functions the statistics read the log
// with: log_tag(datum) gives the date as 'yyyy-mm-dd', log_minute(uhrzeit)
// the minute of the day; both give NULL for what cannot be read.
// Returns false if SQLite refused them.
bool registriere(sqlite3 *db);

}
