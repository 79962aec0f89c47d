// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/ergebnis.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Copies a file so that the target is either the old file or the complete
// new one, never anything in between: the bytes go into a temporary file in
// the target's folder, which is flushed to disk and then renamed over the
// target. A copy that fails leaves the target as it was and removes its
// temporary file.
//
// The temporary file is named after the target ("<target>.tmp-XXXXXX") and
// locked with flock() for as long as the copy runs. A copy that was killed
// part-way leaves its file behind; the next copy onto the same name removes
// every such file that no running copy holds locked.
class Dateikopie
{
public:
    // Runs on the finished temporary file before it replaces the target; a
    // failure stops the copy with its reason.
    using Pruefung = std::function<::Ergebnis<>(const QString &tempDatei)>;

    // A failure's reason is a sentence that names the file.
    static ::Ergebnis<> kopiere(const QString &quelle, const QString &ziel, const Pruefung &pruefen = {});
    // Writes bytes into a file the same way: whole or not at all, with the
    // rights of the file it replaces; a symbolic link is written through to
    // the file behind it. A failure's reason is grund() of the step that
    // failed, as a sentence ("Der Datenträger ist voll.").
    static ::Ergebnis<> schreibe(const QString &ziel, const QByteArray &daten);

    // Removes the temporary files that killed copies onto this target left
    // in its folder; files a running copy holds are kept. Returns how many
    // were removed. kopiere() does this before it starts.
    static int raeumeAuf(const QString &ziel);
    // The locked temporary file beside a target, as kopiere() makes it, for
    // a copy that writes its bytes another way: its descriptor (the lock
    // holds until the file is closed) and name, or -1 with errno set.
    static int tempDatei(const QString &ziel, QString &name);

    // The steps at which a fault can be injected (for tests): before each
    // block is written (with the bytes written so far), before the data is
    // flushed to disk, before the rename.
    enum class Schritt { Schreiben, Sync, Umbenennen };
    // Returns an errno value to fail the step with, or 0 to let it run.
    using Stoerung = std::function<int(Schritt schritt, qint64 geschrieben)>;
    static void setzeStoerung(Stoerung stoerung);

    // The German text for an errno value from a file operation.
    static QString grund(int fehler);

    // Size of the blocks the copy reads and writes.
    static constexpr qint64 blockGroesse = 64 * 1024;
};
