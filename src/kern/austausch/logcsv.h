// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/bestaende/logimport.h"
#include "kern/formate/csv.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>

#include <memory>

// The log as CSV: every column under the captions of the log window, the
// remark as plain text and (for the way back) as its RTF.
namespace LogCsv {

enum class Dialekt {
    Deutsch,   // what German spreadsheets open with a double-click: ';',
               // decimal comma, UTF-8 with byte order mark, CRLF
    Rfc4180,   // ',', decimal point, UTF-8, CRLF
};

// The header: the captions, then "Bemerkung (RTF)".
QStringList kopf();

QByteArray schreiben(const QList<Logeintrag> &eintraege, Dialekt dialekt);

// Reads a log CSV in either dialect (told by its first line), one record at
// a time. Columns are found by caption or by column name, in any order and
// letter case. Dates as spreadsheets save them ("30.06.06", "2006-06-30",
// with or without a time after them) and times such as "21.45" are stored
// in the log's form; a date in the log's own form ("1.7.2006") stays as it
// is. A two-digit year is the nearest one not in the future (heute, an
// invalid date: today). Throws Csv::Fehler when the text is no CSV or its
// header names no column the log knows.
class Leser
{
public:
    explicit Leser(Csv::Leser::Quelle quelle, const QDate &heute = QDate());
    ~Leser();
    std::optional<Logdaten::Importsatz> naechster();
    // Columns of the file the log has no place for.
    const QStringList &uebergangen() const;
    // Records whose date had a two-digit year.
    int zweistelligeJahre() const;

private:
    struct Zustand;
    std::unique_ptr<Zustand> d;
};

struct Gelesen
{
    QList<Logdaten::Importsatz> saetze;
    QStringList uebergangen;
    bool windows1252 = false;
    int zweistelligeJahre = 0;
};
// The whole file at once, UTF-8 or Windows-1252.
Gelesen lesen(const QByteArray &daten, const QDate &heute = QDate());

}
