// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/dateikopie.h"

#include <memory>

class SqliteDatei;

// The two copies of the log database file: out of the program directory
// into a backup folder, and back.
//
// A target that is a symbolic link is written through: its target file is
// replaced and the link stays.
namespace Sicherung {
// How long either copy waits for another program's use of the log to end.
constexpr int wartezeitMs = 3000;

// A read transaction on a database file for as long as it lives: no writer
// (nor a rollback of an interrupted one) changes the file while its bytes
// are read. Opening it also rolls back a transaction that an interrupted
// writer left behind. A file that is no database is not locked.
class Lesesperre
{
public:
    explicit Lesesperre(const QString &datei);
    ~Lesesperre();
    Lesesperre(const Lesesperre &) = delete;
    Lesesperre &operator=(const Lesesperre &) = delete;
    // Another connection is writing and did not finish in wartezeitMs.
    bool belegt() const { return m_belegt; }

private:
    std::unique_ptr<SqliteDatei> m_db;
    bool m_gesperrt = false;
    bool m_belegt = false;
};

// Copies the log database to the target name. The copy is taken under a
// read lock of the database, so no writer (nor a rollback of an
// interrupted one) can change the file while its bytes are read. The
// copied bytes must pass the check a restore makes
// (Sicherungsdatei::pruefeLogdatenbank), else the target stays as it was.
// A rollback journal left beside a replaced backup is removed with it.
Ergebnis<> sichern(const QString &quelle, const QString &ziel);

// Replaces the log database with a backup copy in one rename, after the
// copied bytes have been checked to be a log database. The rename happens
// under the database's exclusive lock, so it never cuts into another
// program's transaction; while one is running (or reading) the restore is
// refused. A rollback journal left beside the replaced file is removed
// with it, so SQLite cannot apply it to the restored file.
Ergebnis<> wiederherstellen(const QString &quelle, const QString &ziel);
}
