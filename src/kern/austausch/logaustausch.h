#pragma once
#include "kern/austausch/adifzuordnung.h"
#include "kern/bestaende/logeintrag.h"

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
    int ohneDatumOderZeit = 0;   // ADIF only: not valid for other logbooks
};

// The records in the format, as the file's bytes.
QByteArray daten(const QList<Logeintrag> &eintraege, const Optionen &optionen, Exportbericht *bericht = nullptr);

// Writes the records of the query (the log window's, or all) to the file.
// The file is written whole or not at all: under a temporary name, put in
// place at the end; a failure or a cancel leaves an existing file as it
// was. Throws DatenFehler, Abgebrochen.
Exportbericht exportieren(const QString &datenbank, const QString &abfrage, const QString &datei,
                          const Optionen &optionen, const Fortschritt &fortschritt = {});

struct Eingelesen
{
    QString datei;
    QList<Logdaten::Importsatz> saetze;
    QMap<QString, int> uebergangen;   // fields or columns not taken, with how often
    bool windows1252 = false;
    int abgelehnt() const;
};

// Reads a file for the import, its format by its extension; each record is
// mapped to the log, or refused with the reason. Throws DatenFehler when
// the file cannot be read or is not of its format at all.
Eingelesen einlesen(const QString &datei, const AdifZuordnung::Zeitbezug &zeit);
Eingelesen einlesen(const QByteArray &daten, Format format, const AdifZuordnung::Zeitbezug &zeit,
                    const QString &dateiName = QString());

// Imports what was read (see Logdaten::importieren).
Logdaten::Bericht importieren(const QString &datenbank, const Eingelesen &eingelesen, bool rest,
                              const Fortschritt &fortschritt = {});

// The closing summaries, in German. The import's names every refused
// record with its number and reason; hoechstens limits how many records are
// named one by one (0: all).
QString zusammenfassung(const Exportbericht &bericht);
QString zusammenfassung(const Eingelesen &eingelesen, const Logdaten::Bericht &bericht, int hoechstens = 0);
// The refused records of a file, one line each ("Datensatz 3 (Zeile 17): ...").
QStringList abgelehnte(const Eingelesen &eingelesen, int hoechstens = 0);

}
