#pragma once
#include <QDate>
#include <QStringView>

#include <optional>

struct sqlite3;

// Reading the date and the time of a log record. Both are text as typed
// ("30.06.2006", "21:45"), and older records may hold anything; what cannot
// be read is no date or no time, never a guessed one.
namespace Logdatum {

// The years a reception date may have. A year outside (a typing error such
// as "01.07.0206") is no date: it would stretch every chart over centuries.
constexpr int ersterJahrgang = 1900;
constexpr int letzterJahrgang = 2099;

// Day.month.year: day and month with one or two digits ("1.7.2006" is the
// 1st of July), the year with four; a real calendar day (31.02. is none);
// blanks around are ignored. A two-digit year is no date: its century
// cannot be known.
std::optional<QDate> tag(QStringView text);

// The minute of the day (0 to 1439) of hours:minutes, the hour with one or
// two digits, the minutes with two, optionally :seconds ("21:45", "7:05",
// "21:45:30"); blanks around are ignored.
std::optional<int> minute(QStringView text);

// Registers on one connection the SQL functions the statistics read the log
// with: log_tag(datum) gives the date as 'yyyy-mm-dd', log_minute(uhrzeit)
// the minute of the day; both give NULL for what cannot be read.
// Returns false if SQLite refused them.
bool registriere(sqlite3 *db);

}
