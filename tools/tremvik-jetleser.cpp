// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-jetleser: reads a Jet file with mdbtools' library for the
// program, which starts it under limits of time and memory (Leserprozess)
// and reads its answer (Jetprotokoll). Not meant to be called by hand:
//
//   tremvik-jetleser katalog DATEI          format, tables and their columns
//   tremvik-jetleser zaehle DATEI TABELLE   the number of records
//   tremvik-jetleser lies DATEI TABELLE     columns and records
//
// Exit code 0 after a complete answer, 1 after a failure it names, 2 for a
// call it cannot take.

#include "kern/basis/datenfehler.h"
#include "kern/jet/jetprotokoll.h"
#include "kern/jet/mdbdirekt.h"

#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

std::FILE *aus = nullptr;

void schreiben(const QByteArray &b)
{
    std::fwrite(b.constData(), 1, size_t(b.size()), aus);
}

// A sign of life a few times a second while records are read, so that the
// program can tell a long table from a reader that has stopped.
class Lebenszeichen
{
public:
    Lebenszeichen() { m_uhr.start(); }
    void zeilen(qint64 n)
    {
        if (m_uhr.elapsed() < 200)
            return;
        m_uhr.restart();
        schreiben(Jetprotokoll::feld('P', QByteArray::number(n)));
        std::fflush(aus);
    }

private:
    QElapsedTimer m_uhr;
};

int antworten(const QString &befehl, const QString &datei, const QString &tabelle)
{
    const MdbDirekt jet(datei);
    if (befehl == QLatin1String("katalog")) {
        schreiben(Jetprotokoll::feld('F', jet.format()));
        for (const QString &t : jet.tabellen()) {
            schreiben(Jetprotokoll::feld('T', t));
            try {
                for (const Jet::Spalte &s : jet.spalten(t))
                    schreiben(Jetprotokoll::spalte(s));
            } catch (const DatenFehler &f) {
                schreiben(Jetprotokoll::feld('U', f.text().isEmpty() ? f.was() : f.text()));
            }
        }
    } else if (befehl == QLatin1String("zaehle")) {
        Lebenszeichen leben;
        const qint64 n = jet.zaehlen(tabelle, [&](qint64 i) { leben.zeilen(i); });
        schreiben(Jetprotokoll::feld('A', QByteArray::number(n)));
    } else {
        Lebenszeichen leben;
        qint64 n = 0;
        jet.lesen(
            tabelle,
            [](const QList<Jet::Spalte> &spalten) {
                for (const Jet::Spalte &s : spalten)
                    schreiben(Jetprotokoll::spalte(s));
            },
            [&](const Jet::Zeile &zeile) {
                schreiben(Jetprotokoll::feld('Z'));
                for (const QVariant &w : zeile)
                    schreiben(Jetprotokoll::wert(w));
                leben.zeilen(++n);
            });
        schreiben(Jetprotokoll::feld('A', QByteArray::number(n)));
    }
    return 0;
}

}   // namespace

int main(int argc, char *argv[])
{
    // The answer goes out on a descriptor of its own: mdbtools writes dumps
    // of damaged pages on stdout, and they go with its warnings to stderr.
    const int kanal = dup(STDOUT_FILENO);
    if (kanal < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    aus = fdopen(kanal, "wb");
    if (!aus)
        return 2;
    static char puffer[1 << 16];
    std::setvbuf(aus, puffer, _IOFBF, sizeof puffer);

    QStringList a;
    for (int i = 1; i < argc; ++i)
        a.append(QString::fromLocal8Bit(argv[i]));
    const bool katalog = a.size() == 2 && a.at(0) == QLatin1String("katalog");
    const bool tabelle = a.size() == 3 && (a.at(0) == QLatin1String("zaehle") || a.at(0) == QLatin1String("lies"));
    if (!katalog && !tabelle) {
        std::fputs("Aufruf: tremvik-jetleser katalog DATEI | zaehle DATEI TABELLE | lies DATEI TABELLE\n"
                   "(ein Hilfsprogramm von tremvik-tool, nicht zum Aufruf von Hand)\n",
                   stderr);
        return 2;
    }

    schreiben(Jetprotokoll::feld('V', Jetprotokoll::kennung));
    int code = 0;
    try {
        code = antworten(a.at(0), a.at(1), tabelle ? a.at(2) : QString());
        schreiben(Jetprotokoll::feld('K'));
    } catch (const DatenFehler &f) {
        schreiben(Jetprotokoll::feld('E', f.was()));
        schreiben(Jetprotokoll::feld('R', f.text()));
        code = 1;
    }
    return std::fflush(aus) == 0 && code == 0 ? 0 : (code ? code : 1);
}
