// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

// The log records deleted while the program runs, each kept as the file
// held it: every column of its row, its key included, with SQLite's type
// and bytes. The last one laid in comes back first, byte for byte.
class Papierkorb
{
public:
    // Keeps the record with that key of the log file (table Kontakt), as it
    // is stored, before it is deleted. Throws DatenFehler.
    void hineinlegen(const QString &datei, qint64 id);
    // Takes the record laid in last out again, unused (its deletion did not
    // happen).
    void verwerfen();
    bool leer() const { return m_zeilen.empty(); }
    int anzahl() const { return int(m_zeilen.size()); }

    // Puts the record laid in last back into its file under its key, and
    // takes it out of the bin; returns the key. Should another record hold
    // that key by now (a record made since may take it), it comes back
    // under a new one. Throws DatenFehler; the record then stays in the bin.
    qint64 zurueckholen();

private:
    struct Wert
    {
        int typ;   // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
        qint64 zahl = 0;
        double gleitend = 0;
        QByteArray bytes;
    };
    struct Zeile
    {
        QString datei;
        qint64 id;
        QVector<QString> spalten;
        QVector<Wert> werte;
    };
    std::vector<Zeile> m_zeilen;
};
