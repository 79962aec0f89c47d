// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>

#include <optional>

// A receiver the program can tune and read, as the windows see it. The main
// window owns the one receiver connection and hands this interface to the
// list and log windows; a window given none (null) simply has no receiver
// functions, and everything else works as without.

// The modulation a list's rows are tuned with.
enum class Modulation { Am, FmSchmal };

// The state of the receiver connection: one value, changed in one place (the
// connection) and applied in one place by each window that shows it.
struct EmpfaengerZustand
{
    enum class Art {
        NichtVerbunden,   // no connection wanted
        Verbinde,         // connecting, or waiting for the receiver's first answer
        Verbunden,        // the receiver answers; hz and modus are what it said last
        Getrennt,         // the connection was lost or refused; trying again by itself
    };
    Art art = Art::NichtVerbunden;
    QString adresse;   // "host:port"
    qint64 hz = 0;     // Verbunden: the receiver's frequency
    QString modus;     // Verbunden: its mode as the receiver names it ("FMN", "AM"); empty if unknown
    // Getrennt: why the connection is lost. Verbunden: the last command the
    // receiver refused (e.g. a mode it does not know); empty when all went well.
    QString grund;
    int wiederholungSekunden = 0;   // Getrennt: the next attempt comes after this many seconds

    bool operator==(const EmpfaengerZustand &o) const
    {
        return art == o.art && adresse == o.adresse && hz == o.hz && modus == o.modus && grund == o.grund
               && wiederholungSekunden == o.wiederholungSekunden;
    }
    bool operator!=(const EmpfaengerZustand &o) const { return !(*this == o); }

    bool verbunden() const { return art == Art::Verbunden; }
    // The text of the main window's status bar.
    QString statusText() const;
    // Why the receiver cannot be tuned now, for the tooltip of a disabled
    // entry; empty when it can.
    QString warumNicht() const;
    // Text from outside (an address from the settings, a reply) as it can
    // be shown: what is no visible character (a control code, a byte that
    // is no UTF-8) becomes "·".
    static QString sichtbar(QString text);

private:
    QString statusTextRoh() const;
    QString warumNichtRoh() const;
};

// What a scan reads of the signal on the receiver's frequency.
enum class Signalart {
    Staerke,        // the strength in dB relative to S9
    Rauschsperre,   // whether the squelch is open
};

struct Signalwert
{
    quint64 auftrag = 0;   // the request it answers
    Signalart art = Signalart::Staerke;
    // The receiver gave a value; if not, it has none of this kind and rprt
    // holds its code.
    bool gelesen = false;
    int db = 0;           // Staerke
    bool offen = false;   // Rauschsperre
    int rprt = 0;
};

class Empfaenger : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual EmpfaengerZustand zustand() const = 0;
    bool verbunden() const { return zustand().verbunden(); }

    // Tunes the receiver: the frequency first, then the mode, so that a
    // receiver that refuses the mode is still on the frequency. Does nothing
    // unless connected; never waits for the answer.
    // It is the user's tuning: a scan gives way (vonHandAbgestimmt).
    virtual void abstimmen(qint64 hz, Modulation modulation) = 0;

    // A scan's steps. Each returns the number of its request, and its answer
    // follows as a signal with that number; 0 when not connected, and then
    // nothing follows. A lost connection answers nothing that was asked on it.
    //
    // Tunes as abstimmen does, the mode only when one is given (a scan sets
    // it once), without reading frequency and mode back; abgestimmt follows
    // once the receiver has answered, ok whether it took the frequency.
    virtual quint64 suchAbstimmen(qint64 hz, std::optional<Modulation> modulation) = 0;
    // Reads the signal on the frequency the receiver is on; signalGelesen follows.
    virtual quint64 signalLesen(Signalart art) = 0;
    // Drops the scan's requests not sent yet: a scan that stops or moves on
    // leaves the receiver as it is. One sent already is answered as ever.
    virtual void suchAuftraegeVerwerfen() = 0;

Q_SIGNALS:
    void zustandGeaendert(const EmpfaengerZustand &zustand);
    void abgestimmt(quint64 auftrag, bool ok);
    void signalGelesen(const Signalwert &wert);
    // The user tuned the receiver (abstimmen).
    void vonHandAbgestimmt();
};

// The receiver's mode as the log writes it in "Modulation": narrow FM is the
// log's "FM", the reversed and data variants are their plain mode; any other
// name is kept as the receiver gives it.
QString logModulation(const QString &modus);
