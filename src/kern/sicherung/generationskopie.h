// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/ergebnis.h"

#include <QString>

#include <atomic>
#include <functional>

// Writing one new file among the automatic backups: whole or not at all.
// The bytes go into a locked temporary file beside the final name (as
// Dateikopie names its temporary files, so that leftovers of killed runs
// are recognised), which is flushed to disk, checked and renamed into place.
namespace Generationskopie {

// Puts a new file in place under ziel: fuellen writes the temporary file
// (given by name and open descriptor), pruefen (if any) may then object to
// it with a reason. Nothing is left behind when either says no; a stop
// that fuellen reports comes back as such. Failures are sentences in
// German that name the file.
using Fuellen = std::function<Ergebnis<>(const QString &temp, int fd)>;
using Pruefen = std::function<Ergebnis<>(const QString &temp)>;
Ergebnis<> anlegen(const QString &ziel, const Fuellen &fuellen, const Pruefen &pruefen = {});

// SQLite's online backup of the database quelle into the file ziel, in
// small steps: between two steps the database is free for other
// connections to read and write. A write makes SQLite begin the copy anew,
// so what arrives is one committed state; after a few such new beginnings
// the rest is copied in one step, so that a writer who never stops does
// not keep the copy from ending. Failures are named in German, a full
// disk as such, never in SQLite's English words.
Ergebnis<> sqlite(const QString &quelle, const QString &ziel, const std::atomic<bool> *abbrechen = nullptr);

// The bytes of quelle into the open file aus (from its start); for ziel's
// name in messages.
Ergebnis<> bytes(const QString &quelle, int aus, const QString &ziel);

// For tests: runs after each step of sqlite() (numbered from 1), while no
// lock of the database is held. An empty function removes it.
void setzeSchritt(std::function<void(int schritt)> schritt);

}
