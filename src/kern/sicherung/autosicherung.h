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
// The copy is SQLite's online backup of the log, so a log that is written
// meanwhile is copied as one consistent state. It is made as the backup
// window makes its copy: the log is checked first (as restore checks a
// backup), and a damaged log is not copied at all; the copy goes into a
// temporary file beside its final name, is checked again, flushed to disk
// and renamed into place. A generation is therefore always complete and
// always one that restore accepts.
//
// Of the generations, the newest of each of the last 7 days that have one
// and the newest of each of the last 4 weeks that have one are kept; the
// rest go after each new generation. The newest generation that passes the
// check is never removed. Nothing but files named like generations is ever
// touched in the folder.
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

// The file name of the generation taken at a time, and the time a file
// name stands for (invalid for any other name).
QString dateiname(const QDateTime &zeit);
QDateTime zeitVon(const QString &dateiname);

struct Generation
{
    QString datei;   // full name
    QDateTime zeit;
};
// The generations in a folder, newest first.
QVector<Generation> generationen(const QString &ordner);
// Whether a folder lacks a generation of that day.
bool faellig(const QString &ordner, const QDate &heute);

// Of generations sorted newest first, those the rotation removes: all but
// the newest of each of the last `tage` days and of the last `wochen`
// (ISO) weeks that have one, and but `behalten`, which always stays.
QVector<Generation> ueberzaehlig(const QVector<Generation> &alle, const QString &behalten, int tage = 7,
                                 int wochen = 4);

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
};

// One run: a generation of the log in the folder if none of that day is
// there. Leftovers of runs that were killed are removed first. Blocking;
// the program runs it on a thread of its own (Lauf below).
Ergebnis sichern(const QString &log, const QString &ordner, const QDateTime &jetzt,
                 const std::atomic<bool> *abbrechen = nullptr);

// The message a failed run shows the user.
QString meldung(const Ergebnis &e, const QString &ordner);

// The clock that decides the day (tests put another one in place; an empty
// function restores the system's).
QDateTime jetzt();
void setzeUhr(std::function<QDateTime()> uhr);
// For tests: runs on the backup's thread before the copy begins.
void setzeBremse(std::function<void()> bremse);
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

    // Starts a run when the backup is on; false when there is nothing to do
    // (off, or a generation of today is there already).
    bool starten(const QString &log, const Einstellung &einstellung);
    bool laeuft() const { return m_faden != nullptr; }
    // Asks a run to stop and waits until it has.
    void anhalten();

Q_SIGNALS:
    void fertig(const Autosicherung::Ergebnis &ergebnis, const QString &ordner);

private:
    QThread *m_faden = nullptr;
    std::atomic<bool> m_abbrechen{false};
};

}

Q_DECLARE_METATYPE(Autosicherung::Ergebnis)
