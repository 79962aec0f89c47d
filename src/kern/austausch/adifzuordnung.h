// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/formate/adif.h"
#include "kern/bestaende/logeintrag.h"

#include <QStringList>
#include <QTimeZone>

// How a record of the log becomes an ADIF record and back (the table is in
// the README):
//
//   callsign -> CALL (in ASCII)          vorname -> NAME
//   land     -> COUNTRY                  ort     -> QTH
//   rwert, swert -> RST_SENT ("59")      datum, uhrzeit -> QSO_DATE, TIME_ON (UTC)
//   frequenz -> FREQ (MHz, decimal point)
//   band (the modulation) -> MODE and, where ADIF's list needs it, SUBMODE
//   bemerkung -> NOTES (plain text), COMMENT (its first line)
//
// ADX carries the exact text in NAME_INTL, QTH_INTL, COUNTRY_INTL,
// NOTES_INTL and COMMENT_INTL and a transliteration in the plain fields.
// Whatever the fields above do not give back exactly, and every column
// without an ADIF field (skip, lanal, the remark's RTF), goes into an
// application field APP_TREMVIK_<NAME> with its exact text, so a record
// comes back from tremvik's own file as it went out. In the ASCII-only form
// of ADI, such a text beyond ASCII is written percent-encoded (UTF-8) into
// APP_TREMVIK_<NAME>_PROZENT.
namespace AdifZuordnung {

enum class Form { Adi, AdiAscii, Adx };

// The log's dates and times carry no time zone, ADIF's are UTC.
struct Zeitbezug
{
    bool ortszeit = true;   // the log's times are local times in zone
    QTimeZone zone = QTimeZone::systemTimeZone();
};

struct Ausgabe
{
    Adif::Datensatz satz;
    // Other logbooks need a date and a time; a record without either is
    // written without both.
    bool mitDatumUndZeit = false;
};
Ausgabe ausEintrag(const Logeintrag &eintrag, Form form, const Zeitbezug &zeit);

struct Eingabe
{
    Logeintrag eintrag;
    QString fehler;            // why the record cannot be taken; empty if it can
    QStringList uebergangen;   // fields of the record that have no place in the log
};
Eingabe inEintrag(const Adif::Datensatz &satz, const Zeitbezug &zeit);

// Whether a field holds lines: its type says so (M, G), or it is one of
// ADIF's multi-line fields, or tremvik's remark (ADI writes no type).
bool mehrzeilig(const Adif::Feld &feld);

// The name of the application field that holds a column ("KANAL" for lanal).
QString appName(Logeintrag::Spalte spalte);

// The ADIF mode (and submode) nearest to a modulation as the log writes it:
// "FM", "NFM" and "WFM" are FM, "USB" is SSB/USB, "DMR" DIGITALVOICE/DMR,
// "POCSAG" PKT. Empty mode when there is none.
struct Modus
{
    QString mode;
    QString submode;
};
Modus modus(const QString &modulation);

// Whether a text is a call sign as ADIF means it: letters and digits, with
// at least one of each, parts joined by '/'.
bool gueltigesRufzeichen(const QString &text);

}
