// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-jet: takes in what users kept in Jet files (Access .mdb/.accdb).
//
//   tremvik-jet zeige ALT.mdb
//   tremvik-jet log ALT.mdb [--db DATEI]
//   tremvik-jet frequenzen ALT.mdb [--db DATEI]
//
// The work is done by JetDatei and Uebernahme (src/kern/jet/); this is only the
// command line around them. Without --db the tool works on the databases
// the program itself uses (see Speicherorte).

#include "kern/basis/speicherorte.h"
#include "kern/jet/jetdatei.h"
#include "kern/jet/uebernahme.h"
#include "konsole.h"
#include "kern/bestaende/frequenzdaten.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char *const aufruf = "Aufruf:\n"
                           "  tremvik-jet zeige ALT.mdb\n"
                           "      zeigt Format, Tabellen, Spalten und die Zahl der Datensätze einer\n"
                           "      Jet-Datei (Access .mdb oder .accdb).\n"
                           "  tremvik-jet log ALT.mdb [--db DATEI]\n"
                           "      übernimmt die Tabelle Kontakt in die eigenen Einträge. Die Einträge\n"
                           "      werden hinzugefügt, keiner wird ersetzt; ein Eintrag, der mit allen\n"
                           "      Werten schon vorhanden ist, wird nicht noch einmal übernommen.\n"
                           "  tremvik-jet frequenzen ALT.mdb [--db DATEI]\n"
                           "      ersetzt die vier Frequenzlisten durch die Tabellen bos, flugfunk, afu\n"
                           "      und fernwirken der Jet-Datei.\n"
                           "\n"
                           "Ohne --db arbeitet das Werkzeug auf den Datenbanken, die tremvik-tool\n"
                           "selbst benutzt. Spalten werden über ihren Namen zugeordnet (Groß- und\n"
                           "Kleinschreibung gleich). Es wird erst geschrieben, wenn alles gelesen und\n"
                           "geprüft ist; bei einem Fehler bleiben alle Dateien unverändert. Eine\n"
                           "Jet-Datei wird nur gelesen.\n";

using Konsole::ausgeben;

int fehler(const QString &text)
{
    return Konsole::fehler("tremvik-jet", text);
}

int falscherAufruf(const QString &text)
{
    return Konsole::falscherAufruf("tremvik-jet", aufruf, text);
}

QString datensaetze(int n)
{
    return n == 1 ? QStringLiteral("1 Datensatz") : QStringLiteral("%1 Datensätze").arg(n);
}

int zeige(const QString &datei)
{
    const JetDatei jet(datei);
    const QStringList tabellen = jet.tabellen();
    QString aus = QStringLiteral("%1: %2, %3 %4\n")
                      .arg(datei, jet.format())
                      .arg(tabellen.size())
                      .arg(tabellen.size() == 1 ? QStringLiteral("Tabelle") : QStringLiteral("Tabellen"));
    for (const QString &t : tabellen) {
        aus += QStringLiteral("\n%1: %2\n").arg(t, datensaetze(jet.zeilenzahl(t)));
        for (const Jet::Spalte &s : jet.spalten(t))
            aus += QStringLiteral("  %1  %2\n").arg(s.name, s.typName());
    }
    ausgeben(stdout, aus);
    return 0;
}

int logUebernehmen(const QString &datei, const QString &db)
{
    // The Jet table is read before the log is touched, so that a file
    // without one does not even create the log of a first start.
    const JetDatei jet(datei);
    const QString tabelle = jet.tabelle(QStringLiteral("Kontakt"));
    if (tabelle.isEmpty())
        throw DatenFehler(QStringLiteral("Die Jet-Datei \u201E%1\u201C enthält keine eigenen Einträge (Tabelle "
                                         "Kontakt).")
                              .arg(datei),
                          Uebernahme::tabellenText(jet.tabellen()));
    const Jet::Tabelle kontakt = jet.lesen(tabelle);
    const QString ziel = db.isEmpty() ? Speicherorte::logBereitstellen() : db;
    const Uebernahme::Logergebnis e = Uebernahme::insLog(kontakt, datei, ziel);

    QString aus = QStringLiteral("%1: %2 gelesen, %3 neu in %4 übernommen")
                      .arg(tabelle, datensaetze(e.gelesen))
                      .arg(e.neu)
                      .arg(ziel);
    if (e.vorhanden > 0)
        aus += QStringLiteral(", %1 schon vorhanden").arg(e.vorhanden);
    aus += QStringLiteral(".\n");
    if (!e.uebergangen.isEmpty())
        aus += QStringLiteral("Nicht übernommene Spalten (die eigenen Einträge haben keinen Platz dafür): %1.\n")
                   .arg(e.uebergangen.join(QStringLiteral(", ")));
    ausgeben(stdout, aus);
    return 0;
}

int frequenzenUebernehmen(const QString &datei, const QString &db)
{
    QList<int> anzahl;
    const auto arbeit = [&](const QString &ziel) { anzahl = Uebernahme::frequenzenAusJet(datei, ziel); };
    QString ziel = db;
    if (db.isEmpty())
        ziel = Speicherorte::frequenzenAendern(arbeit);
    else
        arbeit(db);
    QStringList teile;
    for (int i = 0; i < anzahl.size(); ++i)
        teile.append(QStringLiteral("%1 %2").arg(Frequenzdaten::tabellen().at(i)).arg(anzahl.at(i)));
    ausgeben(stdout, QStringLiteral("%1 übernommen (%2 Zeilen).\n").arg(ziel, teile.join(QStringLiteral(", "))));
    return 0;
}

}   // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QStringList a;
    QString db;
    bool dbGegeben = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(aufruf, stdout);
            return 0;
        }
        if (arg == QLatin1String("--db")) {
            if (++i >= argc)
                return falscherAufruf(QStringLiteral("Nach --db fehlt die Datei."));
            db = QString::fromLocal8Bit(argv[i]);
            dbGegeben = true;
        } else if (arg.startsWith(QLatin1String("--db="))) {
            db = arg.mid(5);
            dbGegeben = true;
        } else {
            a.append(arg);
        }
    }
    if (dbGegeben && db.isEmpty())
        return falscherAufruf(QStringLiteral("Nach --db fehlt die Datei."));
    if (a.isEmpty())
        return falscherAufruf(QString());

    const QString befehl = a.takeFirst();
    if (befehl != QLatin1String("zeige") && befehl != QLatin1String("log") && befehl != QLatin1String("frequenzen"))
        return falscherAufruf(QStringLiteral("Unbekannter Befehl \u201E%1\u201C.").arg(befehl));
    if (a.size() != 1)
        return falscherAufruf(QStringLiteral("\u201E%1\u201C erwartet genau eine Jet-Datei.").arg(befehl));
    if (befehl == QLatin1String("zeige") && dbGegeben)
        return falscherAufruf(QStringLiteral("\u201Ezeige\u201C schreibt in keine Datenbank; --db passt nicht dazu."));

    try {
        if (befehl == QLatin1String("zeige"))
            return zeige(a.first());
        if (befehl == QLatin1String("log"))
            return logUebernehmen(a.first(), db);
        return frequenzenUebernehmen(a.first(), db);
    } catch (const DatenFehler &f) {
        return fehler(Konsole::zeilen(f));
    }
}
