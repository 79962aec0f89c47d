// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>

// Tables in the Jet format (Access .mdb and .accdb files), read as a whole
// into memory. The program reads such files to take in what users kept in
// older versions; it never writes one.
namespace Jet {

// The column types of the format, named as Access names them.
enum class Typ {
    JaNein,
    Byte,
    Integer,
    LongInteger,
    Waehrung,
    Single,
    Double,
    DatumUhrzeit,
    Binaer,
    Text,
    OleObjekt,
    Memo,
    ReplikationsId,
    Dezimal,
    Komplex,
    Unbekannt,
};

struct Spalte
{
    QString name;
    Typ typ = Typ::Unbekannt;
    // Characters of a text column; 0 for every other type.
    int laenge = 0;

    // The type as Access shows it, in German: "Text (50)", "Memo",
    // "Datum/Uhrzeit", "Zahl (Long Integer)" ...
    QString typName() const;
};

// One record: a value per column, in the table's order. A value is
//   null (QVariant()) where the record holds none; an empty text counts
//     as none, since the file does not tell the two apart,
//   bool for Ja/Nein,
//   qlonglong for Byte, Integer, Long Integer,
//   float for Single, double for Double,
//   QString for text and memo (Unicode), for Währung and Dezimal (the exact
//     decimal number with a point, "12.7500") and for a replication id,
//   QDateTime for Datum/Uhrzeit: the calendar date and the time of day as
//     stored, with no time zone (carried as UTC, so that no date or time is
//     moved by daylight saving),
//   QByteArray for binary data and OLE objects.
using Zeile = QVariantList;

struct Tabelle
{
    QString name;
    QList<Spalte> spalten;
    QList<Zeile> zeilen;

    // The column of that name, letter case aside; -1 if there is none.
    int spalte(const QString &name) const;
};

// The date of Datum/Uhrzeit value 0: a time of day alone is stored on it.
QDate nullDatum();

// Watches a read from another thread: abbrechen stops it (a JetDatei then
// throws Abgebrochen), zeilen counts the records read so far.
struct Aufsicht
{
    std::atomic<bool> abbrechen{false};
    std::atomic<qint64> zeilen{0};
};

}   // namespace Jet

// A Jet file. Every question about it is answered by the reader program
// tremvik-jetleser (see Leserprozess), never by mdbtools' library in this
// process: a damaged file costs a German refusal in bounded time, not the
// program. The constructor reads the catalogue (the format, the tables and
// their columns); each count and each table is a run of its own.
//
// Every failure throws DatenFehler with the file's name; a failure while
// reading a table also names the table and the record. A file the reader
// cannot get through is refused as "lässt sich nicht lesen (beschädigt?)"
// with the reason; a cancel through aufsicht throws Abgebrochen.
class JetDatei
{
public:
    explicit JetDatei(const QString &datei, Jet::Aufsicht *aufsicht = nullptr);
    ~JetDatei();
    JetDatei(const JetDatei &) = delete;
    JetDatei &operator=(const JetDatei &) = delete;

    // Whether the file begins like a Jet or ACE database ("Standard Jet DB",
    // "Standard ACE DB"). Reads 20 bytes; false for anything unreadable.
    static bool istJet(const QString &datei);

    const QString &datei() const { return m_datei; }
    // The format version in words: "Jet 3 (Access 97)", "Jet 4 (Access 2000-2003)", ...
    QString format() const;

    // The user's tables (no system table, no linked one) in the order the
    // file lists them.
    QStringList tabellen() const;
    // The file's spelling of a table name given in any letter case; empty
    // when the file has no such table.
    QString tabelle(const QString &name) const;

    QList<Jet::Spalte> spalten(const QString &tabelle) const;
    // The number of records, counted by reading them.
    int zeilenzahl(const QString &tabelle) const;
    // The whole table.
    Jet::Tabelle lesen(const QString &tabelle) const;

private:
    struct Eintrag
    {
        QString name;
        QList<Jet::Spalte> spalten;
        QString fehler;
    };
    const Eintrag &eintrag(const QString &tabelle) const;

    QString m_datei;
    Jet::Aufsicht *m_aufsicht = nullptr;
    QString m_format;
    QList<Eintrag> m_katalog;
};
