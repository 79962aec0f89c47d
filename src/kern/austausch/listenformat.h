// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/formate/csv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The frequency lists in the formats receivers and their programs load:
// tremvik's own CSV, CHIRP's generic CSV, Gqrx's bookmarks.csv and the
// list files of SDR++'s frequency manager. Frequencies are converted
// exactly (kern/basis/frequenz.h); a row whose frequency is not one is left
// out and reported, never guessed. The files that receivers load carry what
// a receiver is tuned to: an aviation channel's carrier, the channel's name
// staying in the bookmark's name ("... (Kanal 118,805)").
namespace Listenformat {

enum class Format { Csv, Chirp, Gqrx, Sdrpp };

// "csv", "chirp", "gqrx", "sdrpp" (the names of tremvik-frequenzen).
std::optional<Format> format(const QString &name);

// The rows of one table of the frequency database, all columns, as a query
// over it yields them (a list window's query; by default the stored order).
struct Liste
{
    QString tabelle;
    QStringList spalten;
    QList<Csv::Zeile> zeilen;
};
Liste lesen(const QString &datenbank, const QString &tabelle, const QString &abfrage = QString());

struct Ausgabe
{
    QByteArray daten;
    int zeilen = 0;            // rows written
    QStringList hinweise;      // rows left out, and why
    QStringList anmerkungen;   // rows written otherwise than they stand, and why
};
// CHIRP: a repeater without an input (or with one that is no frequency) as
// simplex, a pair more than 70 MHz apart as "split" with the input in
// Offset; names in ASCII, the exact name then first in the comment.
Ausgabe schreiben(const Liste &liste, Format format);

// Reads a list for the table from a file whose kind its content tells:
// tremvik's CSV (comma or, as German spreadsheets save it, semicolon; '#'
// comment lines), CHIRP's CSV (its header starts with "Location"), Gqrx's
// bookmarks.csv or an SDR++ frequency manager's JSON; a byte order mark,
// UTF-8 or Windows-1252. The other formats' columns become the table's, as
// schreiben() maps them the other way; of bookmarks that carry tags (lists
// in SDR++), those of the table's tag are taken where there are any. Throws
// Csv::Fehler naming the line of a fault, or saying that the file is of no
// known kind. hinweise gets what was left out or taken otherwise, per record.
Csv::Tabelle einlesen(const QByteArray &daten, const QString &tabelle, QStringList *hinweise = nullptr);

}
