// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/empfaenger/empfaenger.h"
#include "kern/empfaenger/suchkanal.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

// The time a scan goes by: steady milliseconds, the local time of a hit,
// and waiting. Tests put a clock of their own in its place.
class Suchuhr
{
public:
    virtual ~Suchuhr() = default;
    virtual qint64 ms() const = 0;
    virtual QDateTime jetzt() const = 0;
    // Calls f after the given milliseconds, unless kontext is gone by then.
    virtual void nach(int ms, QObject *kontext, std::function<void()> f) = 0;

    // The clock of the running program.
    static std::unique_ptr<Suchuhr> echt();
};

// The scan: steps through channels on the program's one receiver, tunes
// each, waits the dwell time, reads the signal, and halts where it is over
// the threshold, recording a hit. It moves on once the signal has been at
// or below the threshold for the hang time, or after the hold time at most.
//
// The receiver paces it: each step waits for the receiver's answer, and
// nothing is asked while an answer is owed. A lost connection pauses the
// scan, and it goes on with the same channel once the receiver answers
// again; a tuning by hand (a list's double-click) stops it.
class Suchlauf : public QObject
{
    Q_OBJECT
public:
    struct Einstellung
    {
        int verweilenMs = 300;   // after tuning, before reading: the receiver settles
        int schwelleDb = -40;    // over this a strength halts the scan (about S3)
        int nachlaufMs = 2000;   // this long at or below it, and the scan goes on
        int hoechstensMs = 10000;
        Signalart art = Signalart::Staerke;
        int messabstandMs = 200;   // between readings while halted
    };

    enum class Phase {
        Steht,    // stopped, or never started
        Sucht,    // stepping through the channels
        Haelt,    // halted on a hit
        Wartet,   // started, waiting for the receiver's connection
    };
    struct Stand
    {
        Phase phase = Phase::Steht;
        int kanal = -1;              // the current channel, -1 for none
        std::optional<int> db;       // the last reading, Staerke
        std::optional<bool> offen;   // the last reading, Rauschsperre
        int durchlaeufe = 0;         // sweeps completed since the channels were set
        qint64 letzterDurchlaufMs = -1;
        // Why it waits or stopped by itself; empty when the user stopped it.
        QString grund;
    };

    explicit Suchlauf(Empfaenger *empfaenger, std::unique_ptr<Suchuhr> uhr = Suchuhr::echt(),
                      QObject *parent = nullptr);
    ~Suchlauf() override;

    // New channels stop the scan; it starts again with the first.
    void setzeKanaele(const QVector<Suchkanal> &kanaele);
    const QVector<Suchkanal> &kanaele() const { return m_kanaele; }
    // Takes effect with the next step or reading.
    void setzeEinstellung(const Einstellung &einstellung);
    const Einstellung &einstellung() const { return m_einstellung; }

    // A channel left out of the scan; the current one is left at once.
    void auslassen(int kanal, bool aus = true);
    bool ausgelassen(int kanal) const { return m_ausgelassen.contains(kanal); }
    int anzahlAusgelassen() const { return m_ausgelassen.size(); }

    void starten();
    void stoppen();
    // Moves on to the next channel now (also from a hit).
    void weiter();

    const Stand &stand() const { return m_stand; }
    bool laeuft() const { return m_stand.phase != Phase::Steht; }
    // Oldest first.
    const QVector<Suchtreffer> &treffer() const { return m_treffer; }

Q_SIGNALS:
    // Phase, channel, reading or sweep changed.
    void standGeaendert();
    void trefferNeu(int index);
    void trefferGeaendert(int index);
    // The receiver has no strength reading: the scan reads the squelch.
    void signalartGewechselt(Signalart art);

private:
    void empfaengerGeaendert(const EmpfaengerZustand &zustand);
    void abgestimmt(quint64 auftrag, bool ok);
    void gelesen(const Signalwert &wert);

    // Halts what is under way: a hit ends, a pending wait or answer no longer counts.
    void anhalten(Phase phase, const QString &grund);
    // Whatever was asked or waited for no longer counts, and what is not
    // sent yet is not sent.
    void verwerfen();
    // Waits for the receiver, saying why.
    void warten();
    void schritt();
    void messen();
    // Makes the next channel not left out current, counting a sweep where
    // it passes the last; false (and stopped) when every channel is left out.
    bool naechster();
    // Calls f after ms, unless the scan has moved on meanwhile.
    void spaeter(int ms, void (Suchlauf::*f)());
    bool aktiv(const Signalwert &wert) const;
    void trefferAnfangen(const Signalwert &wert);
    void trefferFortschreiben(const Signalwert &wert);
    void trefferBeenden();
    void melden() { Q_EMIT standGeaendert(); }

    QPointer<Empfaenger> m_empfaenger;
    std::unique_ptr<Suchuhr> m_uhr;
    QVector<Suchkanal> m_kanaele;
    QSet<int> m_ausgelassen;
    Einstellung m_einstellung;
    Stand m_stand;
    QVector<Suchtreffer> m_treffer;

    quint64 m_erwartet = 0;                 // the receiver's answer the scan waits for
    quint64 m_generation = 0;               // counts moves on: a wait of an earlier one is void
    Signalart m_art = Signalart::Staerke;   // what is read (the setting, or the squelch)
    std::optional<Modulation> m_modus;      // the mode the scan set on the receiver
    int m_abgewiesen = 0;                   // channels refused in a row
    qint64 m_durchlaufBeginn = 0;
    bool m_durchlaufGanz = false;   // the sweep under way began with the first channel
    // While halted: the hit, when it began, since when the signal is quiet.
    int m_offenerTreffer = -1;
    qint64 m_haltBeginn = 0;
    std::optional<qint64> m_leiseSeit;
};
