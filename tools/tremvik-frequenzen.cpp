// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-frequenzen: builds the frequency database and moves a table's rows
// between the database and CSV files.
//
//   tremvik-frequenzen build DATEI ORDNER SCHEMA.sql
//   tremvik-frequenzen import [--db DATEI] TABELLE DATEI.csv
//   tremvik-frequenzen export [--db DATEI] TABELLE [--format csv|chirp|gqrx|sdrpp]
//
// Without --db, import and export work on the frequency database that the
// program reads (see Speicherorte).
//
// The work itself is done by Frequenzdaten (src/kern/bestaende/frequenzdaten.h) and
// Listenformat (src/kern/austausch/listenformat.h); this is only the command
// line around them.

#include "kern/austausch/listenformat.h"
#include "kern/basis/speicherorte.h"
#include "kern/basis/sprache.h"
#include "kern/bestaende/frequenzdaten.h"
#include "konsole.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

const char *const aufruf = "Aufruf:\n"
                           "  tremvik-frequenzen build DATEI ORDNER SCHEMA.sql\n"
                           "      legt die Frequenzdatenbank DATEI neu an: erst die Tabellen aus\n"
                           "      SCHEMA.sql, dann die Zeilen aus bos.csv, flugfunk.csv, afu.csv und\n"
                           "      fernwirken.csv im ORDNER, dazu die Herkunft der Listen aus\n"
                           "      herkunft.csv, wenn der ORDNER eine hat. Eine vorhandene DATEI wird\n"
                           "      erst ersetzt, wenn alles gelungen ist.\n"
                           "  tremvik-frequenzen import [--db DATEI] TABELLE LISTE\n"
                           "      ersetzt alle Zeilen der TABELLE durch die der Datei: CSV wie unten,\n"
                           "      CHIRP-CSV, Gqrx-Lesezeichen (bookmarks.csv) oder eine Liste aus dem\n"
                           "      Frequenzmanager von SDR++ (JSON); das Format wird am Inhalt erkannt.\n"
                           "      Von Lesezeichen mit Tags (SDR++: Listen) werden die mit dem Tag der\n"
                           "      Tabelle genommen, wenn es welche gibt (BOS, Flugfunk, AFU-Repeater,\n"
                           "      Fernwirken). Ist die Datei fehlerhaft, bleibt die Tabelle unverändert.\n"
                           "      Die Liste gilt danach als eigene, nicht mehr als mitgelieferte.\n"
                           "  tremvik-frequenzen export [--db DATEI] TABELLE [--format FORMAT]\n"
                           "      schreibt die TABELLE auf die Standardausgabe, als\n"
                           "        csv    CSV wie unten (Voreinstellung),\n"
                           "        chirp  CHIRP-CSV (generisch),\n"
                           "        gqrx   Lesezeichen für Gqrx (bookmarks.csv),\n"
                           "        sdrpp  Liste für den Frequenzmanager von SDR++ (JSON).\n"
                           "      Zeilen ohne gültige Frequenz werden ausgelassen und genannt.\n"
                           "\n"
                           "Ohne --db arbeiten import und export auf der Frequenzdatenbank, die\n"
                           "tremvik-tool liest. Ist das Programm installiert, ändert import nie die\n"
                           "mitgelieferte Datei, sondern eine eigene Kopie im Datenordner\n"
                           "(~/.local/share/tremvik-tool), die das Programm dann liest.\n"
                           "Die ältere Schreibweise \"import DATEI TABELLE LISTE.csv\" und\n"
                           "\"export DATEI TABELLE\" gilt weiter.\n"
                           "\n"
                           "Tabellen: bos, flugfunk, afu, fernwirken.\n"
                           "CSV: UTF-8, erste Zeile mit den Spaltennamen, Komma als Trenner, Felder mit\n"
                           "Komma, Anführungszeichen oder Zeilenumbruch in \"...\" (innere \" verdoppelt).\n"
                           "Ein leeres Feld ist NULL (kein Wert), \"\" ein leerer Text. Spalten werden\n"
                           "über ihren Namen zugeordnet; eine Spalte, die in der Datei fehlt, bleibt NULL.\n"
                           "Eingelesen werden auch Dateien mit Semikolon und Dezimalkomma (wie deutsche\n"
                           "Tabellenkalkulationen sie speichern) und Kommentarzeilen mit #.\n"
                           "Flugfunk: Dateien für Empfänger (chirp, gqrx, sdrpp) tragen die Trägerfrequenz\n"
                           "eines 8,33-kHz-Kanals, sein Kanalname steht im Namen (\"... (Kanal 118,805)\").\n";

using Konsole::ausgeben;

int fehler(const QString &text)
{
    return Konsole::fehler("tremvik-frequenzen", text);
}

int falscherAufruf()
{
    return Konsole::falscherAufruf("tremvik-frequenzen", aufruf, QString());
}

bool schreiben(const QByteArray &daten)
{
    return std::fwrite(daten.constData(), 1, size_t(daten.size()), stdout) == size_t(daten.size())
           && std::fflush(stdout) == 0;
}

// A list file is a few hundred kilobytes; what is far larger is no list
// and is not read into memory.
constexpr qint64 hoechsteGroesse = 64LL * 1024 * 1024;

int importieren(const QString &datenbank, const QString &tabelle, const QString &datei, QStringList &hinweise)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    QFile f(datei);
    if (!QFileInfo(datei).isFile() || !f.open(QIODevice::ReadOnly))
        throw DatenFehler(QStringLiteral("Die Datei \u201E%1\u201C kann nicht gelesen werden.").arg(datei),
                          QFileInfo::exists(datei) ? f.errorString()
                                                   : QStringLiteral("Die Datei ist nicht vorhanden."));
    if (f.size() > hoechsteGroesse)
        throw DatenFehler(QStringLiteral("Die Datei \u201E%1\u201C ist mit %2 MB zu groß für eine Frequenzliste "
                                         "(höchstens %3 MB).")
                              .arg(datei)
                              .arg(f.size() / (1024 * 1024))
                              .arg(hoechsteGroesse / (1024 * 1024)));
    Csv::Tabelle daten;
    try {
        daten = Listenformat::einlesen(f.readAll(), t, &hinweise);
    } catch (const Csv::Fehler &csvFehler) {
        throw csvFehler.inDatei(datei);
    }
    return Frequenzdaten::importieren(datenbank, t, daten, datei);
}

// The export; in another format than the own CSV, rows left out are named
// on the error output.
int exportieren(const QString &datenbank, const QString &tabelle, Listenformat::Format format)
{
    if (format == Listenformat::Format::Csv) {
        if (!schreiben(Frequenzdaten::exportieren(datenbank, tabelle)))
            return fehler(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
        return 0;
    }
    const Listenformat::Ausgabe aus = Listenformat::schreiben(Listenformat::lesen(datenbank, tabelle), format);
    for (const QString &h : aus.hinweise + aus.anmerkungen)
        ausgeben(stderr, QStringLiteral("tremvik-frequenzen: ") + h + QLatin1Char('\n'));
    if (!schreiben(aus.daten))
        return fehler(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
    return 0;
}

// Takes "--format NAME" or "--format=NAME" out of the arguments: the
// format, csv without the option, nothing (and a message) for an unknown one.
std::optional<Listenformat::Format> formatAbtrennen(QStringList &a)
{
    for (int i = 0; i < a.size(); ++i) {
        QString name;
        if (a.at(i) == QLatin1String("--format") && i + 1 < a.size())
            name = a.takeAt(i + 1);
        else if (a.at(i).startsWith(QLatin1String("--format=")))
            name = a.at(i).mid(9);
        else
            continue;
        a.removeAt(i);
        const auto format = Listenformat::format(name);
        if (!format)
            fehler(QStringLiteral("Unbekanntes Format \u201E%1\u201C.").arg(name));
        return format;
    }
    return Listenformat::Format::Csv;
}

// The command line with the database taken out: "--db DATEI" or
// "--db=DATEI", anywhere.
struct Aufruf
{
    QStringList angaben;
    QString db;
    bool dbGegeben = false;
};

Aufruf zerlegen(int argc, char *argv[])
{
    Aufruf auf;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--db") && i + 1 < argc) {
            auf.db = QString::fromLocal8Bit(argv[++i]);
            auf.dbGegeben = true;
        } else if (arg.startsWith(QLatin1String("--db="))) {
            auf.db = arg.mid(5);
            auf.dbGegeben = true;
        } else {
            auf.angaben.append(arg);
        }
    }
    return auf;
}

// build DATEI ORDNER SCHEMA.sql
int bauen(const QStringList &a)
{
    const QList<int> anzahl = Frequenzdaten::bauen(a.at(0), a.at(2), a.at(1));
    QStringList teile;
    for (int i = 0; i < anzahl.size(); ++i)
        teile.append(QStringLiteral("%1 %2").arg(Frequenzdaten::tabellen().at(i)).arg(anzahl.at(i)));
    ausgeben(stdout, QStringLiteral("%1 angelegt (%2 Zeilen).\n").arg(a.at(0), teile.join(QStringLiteral(", "))));
    return 0;
}

// import TABELLE LISTE.csv and export TABELLE, on the database given or,
// without one, on the program's.
int tabelleBearbeiten(const QString &befehl, const Aufruf &auf, Listenformat::Format format)
{
    const QStringList &a = auf.angaben;
    QString tabelle;
    try {
        tabelle = Frequenzdaten::tabelle(a.at(0));
    } catch (const DatenFehler &f) {
        fehler(f.meldung());
        return falscherAufruf();
    }
    if (befehl == QLatin1String("export"))
        return exportieren(auf.dbGegeben ? auf.db : Speicherorte::frequenzDatei(), tabelle, format);
    int n = 0;
    QStringList hinweise;
    const auto arbeit = [&](const QString &datei) { n = importieren(datei, tabelle, a.at(1), hinweise); };
    if (auf.dbGegeben)
        arbeit(auf.db);
    else
        Speicherorte::frequenzenAendern(arbeit);
    ausgeben(stdout, QStringLiteral("%1: %2 %3 eingelesen.\n")
                         .arg(tabelle)
                         .arg(n)
                         .arg(n == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen")));
    for (const QString &h : hinweise)
        ausgeben(stdout, h + QLatin1Char('\n'));
    return 0;
}

}   // namespace

int main(int argc, char *argv[])
{
    // Knows where the program lies, and so its databases.
    QCoreApplication app(argc, argv);
    Sprache::qtTexteDeutsch(app);
    Aufruf auf = zerlegen(argc, argv);
    QStringList &a = auf.angaben;
    if (a.size() == 1 && (a.first() == QLatin1String("--help") || a.first() == QLatin1String("-h"))) {
        std::fputs(aufruf, stdout);
        return 0;
    }
    if (a.isEmpty() || (auf.dbGegeben && auf.db.isEmpty()))
        return falscherAufruf();

    const QString befehl = a.takeFirst();
    const bool tabellenBefehl = befehl == QLatin1String("import") || befehl == QLatin1String("export");
    std::optional<Listenformat::Format> format = Listenformat::Format::Csv;
    if (befehl == QLatin1String("export")) {
        format = formatAbtrennen(a);
        if (!format)
            return falscherAufruf();
    }
    // import and export name the database by --db, by an older first
    // argument, or not at all: then it is the one the program reads.
    const int angaben = befehl == QLatin1String("import") ? 2 : 1;
    if (tabellenBefehl && !auf.dbGegeben && a.size() == angaben + 1) {
        auf.db = a.takeFirst();
        auf.dbGegeben = true;
    }
    try {
        if (befehl == QLatin1String("build") && a.size() == 3 && !auf.dbGegeben)
            return bauen(a);
        if (tabellenBefehl && a.size() == angaben)
            return tabelleBearbeiten(befehl, auf, *format);
    } catch (const DatenFehler &f) {
        return fehler(Konsole::zeilen(f));
    }
    if (befehl != QLatin1String("build") && !tabellenBefehl)
        fehler(QStringLiteral("Unbekannter Befehl \u201E%1\u201C.").arg(befehl));
    else
        fehler(QStringLiteral("Falsche Zahl von Angaben für \u201E%1\u201C.").arg(befehl));
    return falscherAufruf();
}
