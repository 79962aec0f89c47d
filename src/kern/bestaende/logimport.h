// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/bestaende/logeintrag.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Records from a file into the log: one at a time, checked, cleaned and
// written in one transaction, so that an import of any size holds only the
// record at hand and the keys of the records it has seen.
namespace Logdaten {

// A record read from a file, ready to import; fehler is non-empty when it
// cannot be taken, and says why; hinweise say what reading changed in it.
struct Importsatz
{
    Logeintrag eintrag;
    int nummer = 0;   // the record's number in the file, from 1
    int zeile = 0;    // the line of the file it starts on (0: unknown)
    QString fehler;
    QStringList hinweise;
};

// Where the records of an import come from, one after the other.
class Satzquelle
{
public:
    virtual ~Satzquelle() = default;
    // The next record; nothing at the end.
    virtual std::optional<Importsatz> naechster() = 0;
    // For progress: how far the source has come, of how far it goes.
    virtual qint64 stand() const { return 0; }
    virtual qint64 gesamt() const { return 0; }
};

// What became of one record of an import.
struct Ergebnis
{
    enum class Art {
        Aufgenommen,
        Vorhanden,
        Abgelehnt,
        Geaendert,   // taken, with values changed on the way (hinweise)
    };
    Art art = Art::Aufgenommen;
    int nummer = 0;
    int zeile = 0;
    QString grund;   // why it was refused, what it duplicates or what was changed
};

struct Bericht
{
    // How many records there were of each kind; Geaendert counts records
    // that were also Aufgenommen.
    int aufgenommen = 0, vorhanden = 0, abgelehnt = 0, geaendert = 0;
    // The records of each kind but Aufgenommen, named one by one in the
    // order of the file: the first hoechstensGenannt of each.
    QList<Ergebnis> genannt;
    static constexpr int hoechstensGenannt = 100;
    // Whether the records counted as Aufgenommen were written; false when
    // the file had refused records and the rest was not wanted. Then they
    // only could have been added.
    bool geschrieben = false;
    int anzahl(Ergebnis::Art art) const;
    QList<Ergebnis> genannte(Ergebnis::Art art) const;
};

// Takes out of a value read from a file what the log cannot hold: control
// characters and halves of surrogate pairs. Line breaks and tabs stay in a
// multi-line value; in a one-line value they become a blank (one for CR
// LF). Says what it did: nothing, removed some, or left nothing but blanks.
enum class Bereinigt { Nichts, Entfernt, Geleert };
Bereinigt ohneSteuerzeichen(QString &wert, bool mehrzeilig);
// The text for the report: "CallSign: Steuerzeichen entfernt".
QString bereinigtText(const QString &feld, Bereinigt b);
// The same for every column of a record (the remark is multi-line); one
// line per column it changed, empty when it changed nothing.
QStringList bereinigen(Logeintrag &e);

// Adds the records to the log in one transaction; never changes or removes
// a record that is there. A record whose key (schluessel) is in the log
// already, or earlier in the same file, is skipped. When a record was
// refused and rest is false, nothing is written at all (the report still
// tells everything); with rest the valid records are added. Throws
// DatenFehler (and the log is as it was, its file no larger) when the file
// is no log database or cannot be written, and Abgebrochen when the user
// cancelled; what the source throws ends the import the same way.
Bericht importieren(const QString &datenbank, Satzquelle &quelle, bool rest, const Fortschritt &fortschritt = {});
Bericht importieren(const QString &datenbank, const QList<Importsatz> &saetze, bool rest,
                    const Fortschritt &fortschritt = {});

}
