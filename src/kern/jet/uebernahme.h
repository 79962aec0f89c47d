// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/jet/jetdatei.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// Taking in what users kept in Jet files: their log (a table Kontakt) and
// the four frequency lists (bos, flugfunk, afu, fernwirken).
//
// Everything is read and converted before anything is written, and the
// writing is one transaction: a failure leaves every file as it was, and
// its message names the Jet file, the table and the record.
//
// Values become text as the program's windows show it: dates as
// "30.06.2006", times as "21:45" (a date alone or a time alone, as it was
// kept), numbers with a decimal comma, a number in a frequency column in MHz
// as the lists write it ("145,500"), Ja/Nein as "Ja" and "Nein". Binary data
// and OLE objects cannot become text; such a value in a column that is
// taken over is a failure.
namespace Uebernahme {

// A value of a column of the given type as text; null stays null. Text is
// taken as it is, also where it looks like a number. Throws DatenFehler
// (without position) for binary data.
std::optional<QString> text(const QVariant &wert, Jet::Typ typ, bool frequenz = false);

struct Logergebnis
{
    int gelesen = 0;           // records of the Jet table
    int neu = 0;               // added to the log
    int vorhanden = 0;         // left out: the log already holds them
    QStringList uebergangen;   // Jet columns the log has no place for
};

// Adds the records of a Kontakt table to the log database. Columns are
// matched by name, letter case aside; a column the log does not have, and
// one named like the log's own key, is passed over (and listed in the
// result); a log column the table lacks stays empty. A remark that is RTF
// is stored as it is, plain text as RTF. A record whose values in every
// column equal those of a record the log holds is not added again (a
// record the table holds twice is added twice, but only once more than the
// log already has), so taking in the same table twice adds nothing.
// quelle names the Jet file in messages. A cancel through aufsicht throws
// Abgebrochen and leaves the log as it was.
Logergebnis insLog(const Jet::Tabelle &kontakt, const QString &quelle, const QString &logDatei,
                   Jet::Aufsicht *aufsicht = nullptr);
// The same for the table Kontakt of a Jet file.
Logergebnis logAusJet(const QString &jetDatei, const QString &logDatei, Jet::Aufsicht *aufsicht = nullptr);

// The tables of a Jet file for a message: "Ihre Tabellen: a, b." with at
// most a few dozen names and the number of the others, or that it has none.
QString tabellenText(const QStringList &tabellen);

// Replaces the four lists of the frequency database with the Jet tables
// of the same names, by the rules of tremvik-frequenzen import: columns by
// name, letter case aside; a column the list does not have is refused; a
// list column the table lacks stays empty. Returns the rows per list in the
// order of Frequenzdaten::tabellen().
QList<int> frequenzen(const QList<Jet::Tabelle> &tabellen, const QString &quelle, const QString &datenbank);
// The same for the tables bos, flugfunk, afu and fernwirken of a Jet file;
// all four must be there.
QList<int> frequenzenAusJet(const QString &jetDatei, const QString &datenbank);

}
