#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

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
    int nummer = 0;   // the record's number in the file, from 1
    int zeile = 0;    // the line of the file it starts on
    QString fehler;   // why it could not be read; empty when it was

    // The value of a field (names in any letter case), or nothing.
    std::optional<QString> wert(const QString &name) const;
    void setze(const QString &name, const QString &wert, char typ = 0);
};

struct Datei
{
    QList<Feld> kopf;
    QList<Datensatz> datensaetze;
    bool windows1252 = false;   // the file's text was not UTF-8
};

// The header tremvik writes: ADIF_VER, PROGRAMID, PROGRAMVERSION and
// CREATED_TIMESTAMP (UTC).
QList<Feld> kopf(const QDateTime &erstellt);

}

namespace Adi {

// Reads an ADI file. A header (text up to <EOH>) is optional, tags are read
// in any letter case, fields the log does not know are kept. Text that is
// not UTF-8 is read as Windows-1252.
//
// The length of a value may be counted in bytes (as the format means) or in
// characters (as many programs write UTF-8): a value must end where only
// blanks stand before the next tag; where both readings fit, bytes win. A
// field whose length fits neither, a broken tag or a record that ends
// without <EOR> makes its record unreadable (Datensatz::fehler), and reading
// goes on after that record's <EOR>; no value is ever cut short.
Adif::Datei lesen(const QByteArray &daten);

// Writes the file: a header, then one record per line. Values are UTF-8
// with their length in bytes; with ascii, every value must be ASCII (the
// caller transliterates) and the whole file is.
QByteArray schreiben(const Adif::Datei &datei, bool ascii = false);

}

namespace Adx {

// Reads an ADX file (XML). Application fields <APP PROGRAMID="X"
// FIELDNAME="Y"> become fields named APP_X_Y, user fields <USERDEF
// FIELDNAME="Y"> USERDEF_Y. A file that is not well-formed XML or not ADX
// throws DatenFehler naming the line and the record where reading stopped.
Adif::Datei lesen(const QByteArray &daten);

// Writes the file in UTF-8. Fields named APP_TREMVIK_... are written as
// <APP PROGRAMID="TREMVIK" FIELDNAME="...">.
QByteArray schreiben(const Adif::Datei &datei);

}
