// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-dbinit: makes a database file from an SQL text.
//
//   tremvik-dbinit [--wenn-fehlt] DATEI SCHEMA.sql
//
// The file is built under a temporary name and then put in place. With
// --wenn-fehlt an existing file is left exactly as it is, so the build can
// supply an empty log database without ever replacing a user's log.

#include "kern/daten/sqlitedatei.h"

#include <QFile>

#include <cstdio>

static int fehler(const QString &text)
{
    std::fprintf(stderr, "tremvik-dbinit: %s\n", qPrintable(text));
    return 1;
}

int main(int argc, char *argv[])
{
    int i = 1;
    bool wennFehlt = false;
    if (argc > 1 && qstrcmp(argv[1], "--wenn-fehlt") == 0) {
        wennFehlt = true;
        ++i;
    }
    if (argc - i != 2)
        return fehler(QStringLiteral("Aufruf: tremvik-dbinit [--wenn-fehlt] DATEI SCHEMA.sql"));
    const QString ziel = QString::fromLocal8Bit(argv[i]);
    const QString schemaDatei = QString::fromLocal8Bit(argv[i + 1]);

    QFile schema(schemaDatei);
    if (!schema.open(QIODevice::ReadOnly))
        return fehler(QStringLiteral("%1 kann nicht gelesen werden: %2").arg(schemaDatei, schema.errorString()));
    try {
        if (!SqliteDatei::anlegen(ziel, schema.readAll(), schemaDatei,
                                  wennFehlt ? SqliteDatei::Ersetzen::Nie : SqliteDatei::Ersetzen::Ja)) {
            std::printf("%s ist vorhanden und bleibt unverändert.\n", qPrintable(ziel));
            return 0;
        }
    } catch (const DatenFehler &f) {
        return fehler(f.meldung());
    }
    std::printf("%s angelegt.\n", qPrintable(ziel));
    return 0;
}
