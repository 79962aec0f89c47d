// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/austausch/adifzuordnung.h"
#include "kern/basis/meldetext.h"
#include "kern/bestaende/logimport.h"
#include "kern/formate/textquelle.h"

#include <QDateTime>
#include <QMap>
#include <QString>

#include <optional>

// Moving the log out to a file and records from a file into the log: the
// work behind "Log exportieren …", "Log importieren …" and tremvik-log.
namespace Logaustausch {

enum class Format {
    Adi,
    AdiAscii,   // ADI with nothing beyond ASCII
    Adx,
    CsvDeutsch,   // for German spreadsheets
    CsvRfc,       // RFC 4180
};

// The format a file name asks for by its extension (.adi, .adx, .csv, in
// any letter case); ascii and rfc choose the variants. Nothing for any
// other name.
std::optional<Format> formatFuer(const QString &datei, bool ascii = false, bool rfc = false);

struct Optionen
{
    Format format = Format::Adi;
    AdifZuordnung::Zeitbezug zeit;
    QDateTime erstellt = QDateTime::currentDateTimeUtc();   // for the ADIF header
};

struct Exportbericht
{
    QString datei;
    Format format = Format::Adi;
    bool ortszeit = true;
    int eintraege = 0;
    // ADIF only: records other logbooks do not take as valid.
    int ohneDatumOderZeit = 0;
    int ohneModulation = 0;   // no MODE: none, or one ADIF does not know
};

// The records in the format, as the file's bytes.
QByteArray daten(const QList<Logeintrag> &eintraege, const Optionen &optionen, Exportbericht *bericht = nullptr);

// Writes the records of the query (the log window's, or all) to the file.
// The file is written whole or not at all: under a temporary name, put in
// place at the end; a failure or a cancel leaves an existing file as it
// was. Throws DatenFehler, Abgebrochen.
Exportbericht exportieren(const QString &datenbank, const QString &abfrage, const QString &datei,
                          const Optionen &optionen, const Fortschritt &fortschritt = {});

// What an import did: the report of the records and what the file held
// that the log took no notice of.
struct Importergebnis
{
    QString datei;
    Logdaten::Bericht bericht;
    // Fields or columns not taken, with how often; a thousand names at
    // most, the rest counted in weitere.
    QMap<QString, int> uebergangen;
    int weitereUebergangen = 0;
    // ADI: tags without a length, passed over, with how often.
    QMap<QString, int> ohneLaenge;
    Textquelle::Kodierung kodierung = Textquelle::Kodierung::Utf8;
    int zweistelligeJahre = 0;   // CSV: dates with a two-digit year
};

// Reads a file, its format by its extension, and imports its records (see
// Logdaten::importieren) as it goes: the file is never held whole. Each
// record is mapped to the log, cleaned of control characters, or refused
// with the reason. Throws DatenFehler when the file cannot be read or is
// not of its format at all (the log is then as it was), Abgebrochen when
// the user cancelled.
Importergebnis importieren(const QString &datenbank, const QString &datei, const AdifZuordnung::Zeitbezug &zeit,
                           bool rest, const Fortschritt &fortschritt = {});
// The same for a file's bytes.
Importergebnis importieren(const QString &datenbank, const QByteArray &daten, Format format,
                           const AdifZuordnung::Zeitbezug &zeit, bool rest, const QString &dateiName = QString(),
                           const Fortschritt &fortschritt = {});

// The closing summaries, in German. The import's names the refused and the
// changed records with their numbers and reasons, at most hoechstens of
// each, and counts the rest.
QString zusammenfassung(const Exportbericht &bericht);
QString zusammenfassung(const Importergebnis &ergebnis, int hoechstens = Meldetext::liste);
// The refused records of a file, one line each ("Datensatz 3 (Zeile 17): ...").
QStringList abgelehnte(const Importergebnis &ergebnis, int hoechstens = Meldetext::liste);

}
