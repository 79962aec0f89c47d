// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/empfaenger/empfaenger.h"
#include "kern/empfaenger/rigctlprotokoll.h"

#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

class QTcpSocket;

// The receiver behind Hamlib's rigctl network protocol: rigctld in front of
// a radio, or an SDR program that serves the protocol itself.
//
// Everything runs in the event loop and nothing waits: one command is in
// flight at a time, its reply has a deadline, and frequency and mode are
// read about twice a second. A connection that is refused, lost or stops
// answering turns the state to Getrennt with the reason and is tried again
// every few seconds until the user disconnects; it never shows a message.
//
// On connecting it asks "\chk_vfo" (whether commands need a VFO argument)
// and reads the frequency in the extended form; a server that does not know
// the check or the extended form is served the plain commands f, m, F, M.
// Narrow FM is Hamlib's mode "FMN"; a receiver that refuses it is sent "FM"
// with a 12.5 kHz passband, and one that refuses every mode is still tuned.
class RigctlEmpfaenger : public Empfaenger
{
    Q_OBJECT
public:
    struct Fristen
    {
        int antwortMs = 3000;        // for a reply, and for the connection to come up
        int wiederholungMs = 3000;   // between attempts after a loss
        int abfrageMs = 500;         // between readings of frequency and mode
    };

    explicit RigctlEmpfaenger(QObject *parent = nullptr);
    ~RigctlEmpfaenger() override;

    void setzeFristen(const Fristen &fristen);

    // Connects (or reconnects) to the server; returns at once.
    void verbinden(const QString &host, quint16 port);
    // Ends the connection and every further attempt.
    void trennen();

    EmpfaengerZustand zustand() const override { return m_zustand; }
    void abstimmen(qint64 hz, Modulation modulation) override;
    quint64 suchAbstimmen(qint64 hz, std::optional<Modulation> modulation) override;
    quint64 signalLesen(Signalart art) override;
    void suchAuftraegeVerwerfen() override;

private:
    struct Auftrag
    {
        Rigctl::Befehl befehl;
        QByteArray argumente;
        // A scan's request: its number, answered by signal once its last
        // command is answered.
        quint64 nummer = 0;
        bool letzter = true;
    };

    // The one place that changes the state.
    void setzeZustand(const EmpfaengerZustand &zustand);

    // Ends the connection and whatever was asked or read on it, without a
    // signal of the socket's; the state and a planned reconnect stay.
    void abbrechen();
    void aufbauen(bool erneut);
    void tcpVerbunden();
    void verloren(const QString &grund);
    void fristAbgelaufen();
    void abfragen();
    void lesen();
    void senden();
    void beantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort);
    // The steps of beantwortet for a frequency read and a mode set, on the
    // state z to be set; false when a command was queued again instead and
    // the state stays as it is.
    bool frequenzBeantwortet(const Rigctl::Antwort &antwort, EmpfaengerZustand &z);
    bool modusGesetzt(const Auftrag &auftrag, const Rigctl::Antwort &antwort, EmpfaengerZustand &z);
    void suchBeantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort);
    void signalBeantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort);
    // Answers a scan's request that is not sent, after the caller has its number.
    void spaeterAntworten(const std::function<void()> &antwort);
    void socketVerloren(const QString &grund);
    QString adresse() const;
    QByteArray modusArgumente(Modulation modulation) const;

    QTcpSocket *m_socket;
    QTimer m_frist, m_wiederholung, m_abfrage;
    Fristen m_fristen;
    QString m_host;
    quint16 m_port = 0;
    EmpfaengerZustand m_zustand;

    // What this connection learned about the server.
    Rigctl::Protokoll m_protokoll;
    std::optional<bool> m_erweitert;   // not known until the first reply to get_freq
    bool m_modusLesbar = true;
    bool m_fmnGeht = true;
    // Kept over reconnections to the same server: it once left the check or
    // the extended form unanswered, so they are not sent again.
    bool m_ohneChkVfo = false;
    bool m_nurEinfach = false;
    // Likewise a level or squelch reading: the receiver has none.
    bool m_ohneStaerke = false;
    bool m_ohneDcd = false;

    quint64 m_auftraege = 0;    // the last scan request's number
    quint64 m_suchFehler = 0;   // the scan request whose frequency was refused

    std::deque<Auftrag> m_warteschlange;
    std::optional<Auftrag> m_laufend;
    QByteArray m_puffer;
    QList<QByteArray> m_zeilen;
};
