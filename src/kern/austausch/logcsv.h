#pragma once
#include "kern/bestaende/logeintrag.h"
#include "kern/formate/csv.h"

#include <QByteArray>
#include <QStringList>

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

struct Gelesen
{
    QList<Logdaten::Importsatz> saetze;
    QStringList uebergangen;   // columns of the file the log has no place for
    bool windows1252 = false;
};
// Reads a log CSV in either dialect (told by its header line), UTF-8 or
// Windows-1252. Columns are found by caption or by column name, in any
// order and letter case. Throws Csv::Fehler when the file is no CSV or has
// no column the log knows.
Gelesen lesen(const QByteArray &daten);

}
