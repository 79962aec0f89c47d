// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/jet/jetprotokoll.h"

#include <QByteArray>
#include <QStringList>

// The reader program tremvik-jetleser, run for each question about a Jet
// file. mdbtools' library cannot be trusted with a damaged file (it may
// loop for ever, fill the memory or stderr), so it runs only there, under
// limits: a time without a sign of life, a time in all, an address space
// (setrlimit), a size of what it says; its stderr is kept apart, bounded,
// and never shown. Whatever it does, the caller gets an answer or a
// German reason in time, and a cancel kills it at once.
namespace Leserprozess {

struct Grenzen
{
    // The longest time without a record on the output: the reader says
    // how far it is several times a second while it reads records.
    int stilleMs = 10000;
    // The longest run in all.
    int gesamtMs = 120000;
    // The reader's address space, libraries included.
    qint64 speicher = qint64(1) << 30;
    // The bytes of its output: a table with its values.
    qint64 ausgabe = qint64(128) << 20;
    // Of its stderr, the first and the last this many bytes are kept.
    qint64 stoerungen = 8 * 1024;
};
// The limits in force (tests shorten them).
Grenzen &grenzen();

// The reader: beside the program's libexec folder when installed, beside
// the executable in the build tree, or in the bin folder beside the test
// programs'. Empty when there is none; nothing is looked up in PATH.
QString programm();

struct Lauf
{
    enum class Ende {
        Fertig,        // the answer is complete
        Fehler,        // the reader named a failure (antwort.fehler)
        Abgebrochen,   // cancelled by the caller
        Still,         // no sign of life for stilleMs
        ZuLange,       // ran longer than gesamtMs
        ZuGross,       // said more than ausgabe bytes
        Speicher,      // ran out of its address space
        Abgestuerzt,   // ended by a signal
        Unlesbar,      // said something that breaks the protocol
        Fehlt,         // there is no reader
        StartFehler,   // the reader could not be started
    };
    Ende ende = Ende::Fertig;
    Jetprotokoll::Antwort antwort;
    QString grund;           // Unlesbar: what was wrong
    int signal = 0;          // Abgestuerzt, Speicher
    QByteArray stoerungen;   // the start and the end of its stderr
    qint64 stoerungenBytes = 0;
    qint64 ms = 0;
};

// Runs the reader with these arguments and waits, bounded, for its end.
// aufsicht (if any) cancels it and learns the records read so far.
Lauf ausfuehren(const QStringList &argumente, Jet::Aufsicht *aufsicht = nullptr);

// The answer of a run that ended well; otherwise throws: the reader's own
// failure, Abgebrochen, or a DatenFehler naming datei and the real cause.
Jetprotokoll::Antwort antwort(const Lauf &lauf, const QString &datei);

}
