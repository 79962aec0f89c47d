// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-log: moves the log out to a file and records from a file into it,
// for scripts; the same work as "Log exportieren …" and "Log importieren …".
//
//   tremvik-log export DATEI [--utc|--ortszeit] [--csv=de|rfc] [--ascii] [--db LOG]
//   tremvik-log import DATEI [--utc|--ortszeit] [--rest] [--db LOG]
//
// The work itself is done by Logaustausch (src/kern/austausch/logaustausch.h).

#include "kern/austausch/logaustausch.h"
#include "kern/basis/speicherorte.h"
#include "kern/basis/sprache.h"
#include "kern/bestaende/logsuche.h"
#include "konsole.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

const char *const aufruf = "Aufruf:\n"
                           "  tremvik-log export DATEI [--utc|--ortszeit] [--csv=de|rfc] [--ascii] [--db LOG]\n"
                           "      schreibt alle Einträge des Logs in die DATEI. Das Format folgt aus der\n"
                           "      Endung: .adi (ADIF), .adx (ADIF als XML), .csv (Tabelle).\n"
                           "  tremvik-log import DATEI [--utc|--ortszeit] [--rest] [--db LOG]\n"
                           "      nimmt die Datensätze der DATEI (.adi, .adx, .csv) ins Log auf. Das Log\n"
                           "      wird nie ersetzt; was schon darin steht (gleiches Rufzeichen, Datum,\n"
                           "      Uhrzeit und Frequenz), wird übersprungen.\n"
                           "\n"
                           "  --ortszeit   die Zeiten des Logs sind Ortszeit und werden für ADIF in UTC\n"
                           "               umgerechnet, beim Einlesen zurück (Voreinstellung)\n"
                           "  --utc        die Zeiten des Logs sind schon UTC\n"
                           "  --csv=de     CSV für deutsche Tabellenkalkulationen: Semikolon,\n"
                           "               Dezimalkomma, UTF-8 mit BOM, CRLF (Voreinstellung)\n"
                           "  --csv=rfc    CSV nach RFC 4180: Komma, Dezimalpunkt, UTF-8, CRLF\n"
                           "  --ascii      ADI nur mit ASCII-Zeichen (Umlaute umschrieben)\n"
                           "  --rest       enthält die Datei fehlerhafte Datensätze, die übrigen trotzdem\n"
                           "               aufnehmen (sonst wird dann nichts aufgenommen)\n"
                           "  --db LOG     die Logdatenbank (Voreinstellung: die des Programms, neben\n"
                           "               ihm oder, installiert, im Datenordner)\n";

using Konsole::ausgeben;

int fehler(const QString &text)
{
    return Konsole::fehler("tremvik-log", text);
}

int falscherAufruf(const QString &grund)
{
    return Konsole::falscherAufruf("tremvik-log", aufruf, grund);
}

struct Angaben
{
    QString befehl, datei, db;
    std::optional<bool> ortszeit;
    QString csv;
    bool ascii = false, rest = false;
};

// One option of the command line (x, taken from a, perhaps with its value);
// returns an error text, empty when it is fine.
QString option(const QString &x, QStringList &a, Angaben &g)
{
    const bool ausfuhr = g.befehl == QLatin1String("export");
    if (x == QLatin1String("--utc") || x == QLatin1String("--ortszeit")) {
        const bool ortszeit = x == QLatin1String("--ortszeit");
        if (g.ortszeit && *g.ortszeit != ortszeit)
            return QStringLiteral("--utc und --ortszeit schließen einander aus.");
        g.ortszeit = ortszeit;
    } else if (ausfuhr && x.startsWith(QLatin1String("--csv="))) {
        g.csv = x.mid(6);
        if (g.csv != QLatin1String("de") && g.csv != QLatin1String("rfc"))
            return QStringLiteral("--csv kennt nur de und rfc.");
    } else if (ausfuhr && x == QLatin1String("--ascii")) {
        g.ascii = true;
    } else if (!ausfuhr && x == QLatin1String("--rest")) {
        g.rest = true;
    } else if (x == QLatin1String("--db") && !a.isEmpty()) {
        g.db = a.takeFirst();
    } else if (x.startsWith(QLatin1String("--db="))) {
        g.db = x.mid(5);
    } else {
        return QStringLiteral("Unbekannte Angabe \u201E%1\u201C für %2.").arg(x, g.befehl);
    }
    return QString();
}

// Reads the command line; returns an error text, empty when it is fine.
QString angabenLesen(QStringList a, Angaben &g)
{
    g.befehl = a.takeFirst();
    if (g.befehl != QLatin1String("export") && g.befehl != QLatin1String("import"))
        return QStringLiteral("Unbekannter Befehl \u201E%1\u201C.").arg(g.befehl);
    while (!a.isEmpty()) {
        const QString x = a.takeFirst();
        QString falsch;
        if (x.startsWith(QLatin1String("--")))
            falsch = option(x, a, g);
        else if (g.datei.isEmpty())
            g.datei = x;
        else
            falsch = QStringLiteral("Mehr als eine DATEI angegeben.");
        if (!falsch.isEmpty())
            return falsch;
    }
    if (g.datei.isEmpty())
        return QStringLiteral("Es fehlt die DATEI.");
    return QString();
}

int exportieren(const Angaben &g)
{
    Logaustausch::Optionen o;
    const auto format = Logaustausch::formatFuer(g.datei, g.ascii, g.csv == QLatin1String("rfc"));
    if (!format)
        return fehler(QStringLiteral("Die Endung von \u201E%1\u201C sagt kein Format; möglich sind .adi, .adx und "
                                     ".csv.")
                          .arg(g.datei));
    if (g.ascii && *format != Logaustausch::Format::AdiAscii)
        return fehler(QStringLiteral("--ascii gilt nur für .adi-Dateien."));
    if (!g.csv.isEmpty() && *format != Logaustausch::Format::CsvDeutsch && *format != Logaustausch::Format::CsvRfc)
        return fehler(QStringLiteral("--csv gilt nur für .csv-Dateien."));
    o.format = *format;
    o.zeit.ortszeit = g.ortszeit.value_or(true);
    const auto bericht = Logaustausch::exportieren(g.db, Logsuche::alle().text(), g.datei, o);
    ausgeben(stdout, Logaustausch::zusammenfassung(bericht) + QLatin1Char('\n'));
    return 0;
}

int importieren(const Angaben &g)
{
    AdifZuordnung::Zeitbezug zeit;
    zeit.ortszeit = g.ortszeit.value_or(true);
    const auto ergebnis = Logaustausch::importieren(g.db, g.datei, zeit, g.rest);
    QString text = Logaustausch::zusammenfassung(ergebnis);
    if (!ergebnis.bericht.geschrieben) {
        text += QStringLiteral("\n\nMit --rest werden die fehlerfreien Datensätze trotzdem aufgenommen.");
        ausgeben(stderr, text + QLatin1Char('\n'));
        return 1;
    }
    ausgeben(stdout, text + QLatin1Char('\n'));
    return 0;
}

}   // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Sprache::qtTexteDeutsch(app);

    QStringList a;
    for (int i = 1; i < argc; ++i)
        a.append(QString::fromLocal8Bit(argv[i]));
    if (a.size() == 1 && (a.first() == QLatin1String("--help") || a.first() == QLatin1String("-h"))) {
        std::fputs(aufruf, stdout);
        return 0;
    }
    if (a.isEmpty())
        return falscherAufruf(QString());
    Angaben g;
    const QString falsch = angabenLesen(a, g);
    if (!falsch.isEmpty())
        return falscherAufruf(falsch);
    try {
        // The log the program uses; an import before the program's first
        // start puts the empty log in place first, as the program would.
        if (g.db.isEmpty())
            g.db = g.befehl == QLatin1String("import") ? Speicherorte::logBereitstellen() : Logdaten::standardDatei();
        return g.befehl == QLatin1String("export") ? exportieren(g) : importieren(g);
    } catch (const DatenFehler &f) {
        return fehler(Konsole::zeilen(f));
    }
}
