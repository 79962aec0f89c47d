// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QIODevice;
class Textquelle;

// ADIF, the interchange format of amateur-radio logs, in its two forms: ADI
// (tagged text, "<CALL:6>DL1ABC") and ADX (XML). Both are read into and
// written from the same plain structure: records of named fields. What the
// fields mean for the log is the business of AdifZuordnung.
namespace Adif {

constexpr const char *version = "3.1.6";
constexpr const char *programmId = "TREMVIK";

struct Feld
{
    QString name;   // in capitals; application fields as APP_TREMVIK_KANAL
    QString wert;
    char typ = 0;   // the data type indicator ('S', 'M', 'I', 'G'...), 0 for none
};

struct Datensatz
{
    QList<Feld> felder;
    int nummer = 0;         // the record's number in the file, from 1
    int zeile = 0;          // the line of the file it starts on
    QString fehler;         // why it could not be read; empty when it was
    QStringList hinweise;   // what was changed while reading it

    // The value of a field (names in any letter case), or nothing.
    std::optional<QString> wert(const QString &name) const;
    void setze(const QString &name, const QString &wert, char typ = 0);
};

struct Datei
{
    QList<Feld> kopf;
    QList<Datensatz> datensaetze;
    bool windows1252 = false;   // the file's text was not UTF-8
    // ADI: tags without a length (other than <EOH> and <EOR>), which carry
    // no value and were passed over, with how often each came.
    QMap<QString, int> ohneLaenge;
};

// What a reader takes at most: a value of more characters, or a record of
// more fields, is refused, so that no file can fill the memory.
constexpr qsizetype hoechstLaenge = 16 * 1024 * 1024;
constexpr int hoechstFelder = 1000000;

// The header tremvik writes: ADIF_VER, PROGRAMID, PROGRAMVERSION and
// CREATED_TIMESTAMP (UTC).
QList<Feld> kopf(const QDateTime &erstellt);

}

namespace Adi {

// Reads an ADI file, one record at a time, from a Textquelle (UTF-8,
// UTF-16 or Windows-1252). A header (text up to <EOH>) is optional, tags
// are read in any letter case, fields the log does not know are kept.
//
// A value ends by its length; text after it up to the next tag is no data
// and passed over (programs put comments there). The length may be counted
// in bytes (as the format means) or in characters (as many programs write
// UTF-8): where only blanks stand between a reading's end and the next tag,
// that reading is taken, bytes first; else one that is followed by a blank
// or a line break and does not swallow a tag of its own. A field whose
// length fits neither way (it would end inside a letter, run into the next
// tag or be followed at once by more of the value), a broken tag or a
// record that ends without <EOR> makes its record unreadable
// (Datensatz::fehler), and reading goes on after that record's <EOR>. A tag
// without a length other than <EOH> and <EOR> is passed over and counted.
class Leser
{
public:
    explicit Leser(Textquelle &quelle);
    ~Leser();
    // The next record; nothing at the end of the file.
    std::optional<Adif::Datensatz> naechster();
    // The header's fields, once it was read (before the first record).
    const QList<Adif::Feld> &kopf() const;
    const QMap<QString, int> &ohneLaenge() const;

private:
    struct Zustand;
    std::unique_ptr<Zustand> d;
};

// The whole file at once.
Adif::Datei lesen(const QByteArray &daten);

// Writes the file: a header, then one record per line. Values are UTF-8
// with their length in bytes; with ascii, every value must be ASCII (the
// caller transliterates) and the whole file is.
QByteArray schreiben(const Adif::Datei &datei, bool ascii = false);

}

namespace Adx {

// Reads an ADX file (XML), one record at a time. Application fields <APP
// PROGRAMID="X" FIELDNAME="Y"> become fields named APP_X_Y, user fields
// <USERDEF FIELDNAME="Y"> USERDEF_Y. A file that is not well-formed XML or
// not ADX throws DatenFehler naming the line and the record where reading
// stopped, and why (text that is not in its encoding among them). An entity
// the reader cannot resolve (undefined, or external to the file) is left
// out of its value, and the record says so (Datensatz::hinweise).
class Leser
{
public:
    explicit Leser(QIODevice &geraet);
    ~Leser();
    std::optional<Adif::Datensatz> naechster();
    const QList<Adif::Feld> &kopf() const;

private:
    struct Zustand;
    std::unique_ptr<Zustand> d;
};

Adif::Datei lesen(const QByteArray &daten);

// Writes the file in UTF-8. Fields named APP_TREMVIK_... are written as
// <APP PROGRAMID="TREMVIK" FIELDNAME="...">.
QByteArray schreiben(const Adif::Datei &datei);

}
