// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/formate/csv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The rows of the frequency database and their CSV files: building the
// shipped database, replacing one table's rows from a file and writing a
// table out. The program itself only reads the database; this is the work
// of the tool tremvik-frequenzen and of the build.
//
// The CSV columns are matched by name, without regard to letter case,
// against the table's columns, in any order. A column the table does not
// have is refused; a table column that the file leaves out is stored as
// NULL. Every value is stored as text.
//
// Failures throw Csv::Fehler (a fault of a file, with its line) or
// DatenFehler (the database); in both cases the database is as it was.
namespace Frequenzdaten {

// The four tables, in the order of the menu: bos, flugfunk, afu, fernwirken.
const QStringList &tabellen();
// The table a name means (letter case does not matter); throws DatenFehler
// for any other name.
QString tabelle(const QString &name);

// The table that says where each list's rows come from while they are the
// ones shipped (see Herkunft); a list whose rows are replaced loses its row
// there.
const QString &herkunftTabelle();

// Builds the database file ziel: the schema (an SQL text that creates the
// four tables, empty), then the rows of bos.csv, flugfunk.csv, afu.csv and
// fernwirken.csv in ordner, and those of herkunft.csv if the folder has
// one. The file is made under a temporary name and renamed into place only
// when all went well, so a failure leaves an existing ziel untouched.
// Returns the row count of each table, in the order of tabellen().
QList<int> bauen(const QString &ziel, const QString &schemaDatei, const QString &ordner);

// Replaces all rows of the table with those of the CSV file in one
// transaction. Returns the number of rows written.
int importieren(const QString &datenbank, const QString &tabelle, const QString &csvDatei);
// The same from CSV text already read; dateiName only names it in messages.
int importieren(const QString &datenbank, const QString &tabelle, const QByteArray &csv, const QString &dateiName);
// The same from a table already read (from another dialect or format).
int importieren(const QString &datenbank, const QString &tabelle, const Csv::Tabelle &daten, const QString &dateiName);

// The table's columns that the names mean, in the order of the names:
// matched without regard to letter case. Throws DatenFehler for a name the
// table (with the given columns) does not have.
QStringList zuordnen(const QString &tabelle, const QStringList &spalten, const QStringList &namen);

// The rows for one table, from a CSV file or another source (a table of a
// Jet file); quelle names it in messages, and a fault of a row is told with
// the row's number from daten.zeilenNummern.
struct Liste
{
    QString tabelle;
    Csv::Tabelle daten;
    QString quelle;
};
// Replaces the rows of each listed table in one transaction: all of them or,
// on any failure, none. A replaced table's row in herkunft goes with them.
// The columns of every list are checked before anything is written.
// Returns the number of rows written per list.
QList<int> ersetzen(const QString &datenbank, const QList<Liste> &listen);

// The table as CSV: header with the table's column names, then every row in
// the order in which it was stored.
QByteArray exportieren(const QString &datenbank, const QString &tabelle);

}
