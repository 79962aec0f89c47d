// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/jet/jetdatei.h"

#include <functional>
#include <memory>

// A Jet file read with mdbtools' library in this process. On some damaged
// files that library loops for ever, eats memory until the process dies or
// floods stderr; so only the reader program tremvik-jetleser uses this
// class, under the limits its caller sets (see Leserprozess), and the
// program and its tools read Jet files through JetDatei.
//
// Every failure throws DatenFehler with the file's name; a failure while
// reading a table also names the table and the record.
class MdbDirekt
{
public:
    explicit MdbDirekt(const QString &datei);
    ~MdbDirekt();
    MdbDirekt(const MdbDirekt &) = delete;
    MdbDirekt &operator=(const MdbDirekt &) = delete;

    // The format version in words: "Jet 3 (Access 97)", ...
    QString format() const;
    // The user's tables (no system table, no linked one) in the order the
    // file lists them, by the file's spelling.
    QStringList tabellen() const;
    QList<Jet::Spalte> spalten(const QString &tabelle) const;

    // Called after each record; jeZeile gets the number read so far.
    using Zaehler = std::function<void(qint64 zeilen)>;
    // The number of records, counted by reading them.
    qint64 zaehlen(const QString &tabelle, const Zaehler &jeZeile = {}) const;
    // Reads the table record by record: first its columns, then each
    // record as it is read.
    void lesen(const QString &tabelle, const std::function<void(const QList<Jet::Spalte> &)> &kopf,
               const std::function<void(const Jet::Zeile &)> &zeile) const;

private:
    struct Offen;
    QString m_datei;
    std::unique_ptr<Offen> m_offen;
};
