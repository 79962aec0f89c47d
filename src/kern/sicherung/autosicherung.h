// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

class QThread;

// The automatic backup of the log: at a start of the program, at most once a
// day, a copy of the log goes into a folder of generations, each file named
// with the date and time it was taken ("tremvik_2024-05-01_18-30-00.dorlem-fasq").
//
// The copy is SQLite's online backup of the log, taken in small steps on a
// thread of its own while the user works: between two steps the log is
// free for the log window's reads and writes. A write makes SQLite begin
// the copy anew, so what arrives is one committed state; after a few such
// new beginnings the rest is copied in one go. The log is looked at first
// (a file that is no log database is not copied); the copy goes into a
// temporary file beside its final name, is checked as restore checks a
// backup, flushed to disk and renamed into place. A generation is
// therefore always complete and always one that restore accepts.
//
// Of the generations, the newest of each of the last 7 days that have one
// and the newest of each of the last 4 weeks that have one are kept; the
// rest go after each new generation. The newest generation that passes the
// check is never removed. A generation dated after the time of the run (the
// clock was wrong when it was taken, or is now) takes no day's or week's
// place and is not removed; it is reported. Before a restore replaces the
// log, the log as it was is kept as a generation of its own, for at least
// 30 days. Nothing but files named like generations that are SQLite
// databases holding the table Kontakt is ever removed from the folder.
namespace Autosicherung {

// The log database the program uses.
QString logdatei();
// The folder beside the log: "sicherungen" in the folder that holds it.
QString standardOrdner();

// Kept with QSettings: whether the backup runs, and its folder. The folder
// is kept for the log it was chosen for; another log (another copy of the
// program) has its generations beside it.
struct Einstellung
{
    bool aktiv = true;
    QString ordner;   // empty: standardOrdner()

    QString ordnerOderStandard() const { return ordner.isEmpty() ? standardOrdner() : ordner; }
    static Einstellung lesen();
    void schreiben() const;
};

// The file name of the generation taken at a time, of the copy of the log
// kept before a restore at a time, and the time a file name stands for
// (invalid for any other name).
QString dateiname(const QDateTime &zeit);
QString dateinameVorWiederherstellung(const QDateTime &zeit);
QDateTime zeitVon(const QString &dateiname);

struct Generation
{
    QString datei;   // full name
    QDateTime zeit;
    bool vorWiederherstellung = false;   // the log as it was before a restore
};
// The files named like generations in a folder, newest first.
QVector<Generation> generationen(const QString &ordner);
// Whether a file is one of the program's generations: a plain file, an
// SQLite database holding the table Kontakt. Only such files are removed.
bool istGeneration(const QString &datei);
// Whether a folder lacks a generation of that day (a copy kept before a
// restore, or a file that merely has such a name, does not count).
bool faellig(const QString &ordner, const QDate &heute);

// How long a copy kept before a restore stays at least.
constexpr int tageVorWiederherstellung = 30;

// Of generations sorted newest first, those the rotation removes: all but
// the newest of each of the last `tage` days and of the last `wochen`
// (ISO) weeks that have one, and but `behalten`, which always stays. With
// the time of the run given, generations dated after it stay and take no
// place, and copies kept before a restore stay for tageVorWiederherstellung
// days, also without a place; without it both simply stay.
QVector<Generation> ueberzaehlig(const QVector<Generation> &alle, const QString &behalten,
                                 const QDateTime &jetzt = QDateTime(), int tage = 7, int wochen = 4);

// The number of records of a generation; -1 when it cannot be read.
int eintraege(const QString &datei);

struct Ergebnis
{
    enum class Art {
        Gesichert,      // a new generation, and the rotation done
        NichtFaellig,   // there is one of that day already
        KeinLog,        // no log to back up yet
        Fehler,         // nothing changed in the folder; grund says why
        Abgebrochen,    // stopped on request; nothing changed
    };
    Art art = Art::Fehler;
    QString datei;          // the new generation
    QString grund;          // for Fehler: why, in German
    QStringList entfernt;   // generations the rotation removed
    QStringList zukunft;    // generations dated after the run: kept, to be told
};

// One run: a generation of the log in the folder if none of that day is
// there. Leftovers of runs that were killed are removed first. Blocking;
// the program runs it on a thread of its own (Lauf below).
Ergebnis sichern(const QString &log, const QString &ordner, const QDateTime &jetzt,
                 const std::atomic<bool> *abbrechen = nullptr);

// Keeps the log as it is now, before a restore replaces it: a generation of
// its own in the folder, marked as taken before a restore. A log that is no
// longer a database is kept byte for byte. KeinLog when there is no log.
Ergebnis aufbewahren(const QString &log, const QString &ordner, const QDateTime &jetzt);

// What a failed run tells the user, and what it leaves: the generations
// in the folder are unchanged, or there are none yet.
QString meldung(const Ergebnis &e, const QString &ordner);
QString bestand(const QString &ordner);
// What a run tells about generations dated after it.
QString zukunftMeldung(const Ergebnis &e, const QString &ordner);

// What the last run at a start had to tell, kept so that one cause is told
// once: again only when it changes or after a run went well.
struct Bericht
{
    QDateTime zeit;
    QString ordner;   // the folder it is about
    QString grund;    // empty: nothing to tell
    static Bericht lesen();
    void schreiben() const;
};

// The clock that decides the day (tests put another one in place; an empty
// function restores the system's).
QDateTime jetzt();
void setzeUhr(std::function<QDateTime()> uhr);
// For tests: runs on the backup's thread after each step of the copy (from
// 1), while no lock of the log is held.
void setzeBremse(std::function<void(int schritt)> bremse);
// Whether the backup is on where the settings say nothing (on; the test
// programs turn it off, so only the tests of the backup meet it).
void setzeVorgabe(bool aktiv);

// A run on a thread of its own, for the start of the program: the window
// stays responsive, and fertig() reports on the GUI thread.
class Lauf : public QObject
{
    Q_OBJECT
public:
    explicit Lauf(QObject *parent = nullptr);
    ~Lauf() override;   // stops a run and waits for it

    // Whether a run would copy the log today: the backup is on and no
    // generation of today is there.
    static bool faellig(const Einstellung &einstellung);
    // Starts a run when it is due, after the given time: the start of the
    // program (the window drawn, the log window's first rows read) goes
    // first. False when there is nothing to do.
    bool starten(const QString &log, const Einstellung &einstellung, int nachMs = 0);
    // Started or about to start, and not yet done.
    bool laeuft() const { return m_faden != nullptr || m_geplant; }
    // Asks a run to stop, without waiting for it (the program ending: its
    // window goes at once, and the destructor waits).
    void abbrechen();
    // Asks a run to stop and waits until it has.
    void anhalten();

Q_SIGNALS:
    // The copy has begun.
    void begonnen();
    void fertig(const Autosicherung::Ergebnis &ergebnis, const QString &ordner);

private:
    void beginnen(const QString &log, const QString &ordner, const QDateTime &zeit);

    QThread *m_faden = nullptr;
    bool m_geplant = false;
    std::atomic<bool> m_abbrechen{false};
};

// How long after the start of the program its backup begins (tests set 0).
int startVerzoegerungMs();
void setzeStartVerzoegerung(int ms);

}

Q_DECLARE_METATYPE(Autosicherung::Ergebnis)
