// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Hamlib's rigctl network protocol (rigctld, and the SDR programs that serve
// it themselves), as far as the program uses it: one command per line, the
// reply in lines.
//
// Plain replies: "f" gives one line (the frequency in hertz), "m" two (mode
// and passband), "F" and "M" one line "RPRT n"; a failing command answers
// "RPRT n" alone, n a negative Hamlib error code (some programs send a
// positive one). Extended replies (the command starts with "+\"): a header
// echoing the command ("get_freq:"), "Key: value" lines, and always
// "RPRT n" last, which makes their end certain.
namespace Rigctl {

enum class Befehl {
    ChkVfo,         // "\chk_vfo": whether every command needs a VFO argument
    FreqLesen,      // get_freq
    ModusLesen,     // get_mode
    FreqSetzen,     // set_freq HZ
    ModusSetzen,    // set_mode MODE PASSBAND
    StaerkeLesen,   // get_level STRENGTH: the signal in dB relative to S9
    DcdLesen,       // get_dcd: whether the squelch is open
};

// What the connection learned about the server.
struct Protokoll
{
    bool erweitert = true;   // extended replies
    bool vfo = false;        // "vfo mode": commands take "currVFO" as first argument
};

// The command line to send, with its newline. argumente: the hertz of
// FreqSetzen, "MODE PASSBAND" of ModusSetzen, "STRENGTH" of StaerkeLesen.
QByteArray zeile(Befehl befehl, const Protokoll &protokoll, const QByteArray &argumente = QByteArray());

// Whether the lines received so far (without their line ends) make the
// whole reply. erweitert: how the command was sent; nothing while that is
// still being found out (the first get_freq), when a header line, an
// "RPRT" line or a bare number tell.
bool vollstaendig(Befehl befehl, std::optional<bool> erweitert, const QList<QByteArray> &zeilen);

struct Antwort
{
    bool gelesen = false;            // the reply had the expected shape
    int rprt = 0;                    // the error code the server sent, 0 for none
    qint64 hz = 0;                   // FreqLesen; 0 when the reply was not taken
    QString einwand;                 // FreqLesen: why a value that was read is not taken
    QByteArray modus;                // ModusLesen
    qint64 passband = 0;             // ModusLesen
    bool vfo = false;                // ChkVfo
    std::optional<bool> erweitert;   // FreqLesen: whether the reply came in the extended form
    int db = 0;                      // StaerkeLesen
    bool offen = false;              // DcdLesen
};
Antwort lesen(Befehl befehl, const QList<QByteArray> &zeilen);

// The error code of an "RPRT n" line, or nothing for any other line.
std::optional<int> rprt(const QByteArray &zeile);
// A German text for an error code ("Funktion nicht verfügbar (RPRT -11)").
QString fehlertext(int code);
// Hertz as the protocol writes them: "145000000", also "145000000.000000"
// (rounded to whole hertz). Nothing for anything else.
std::optional<qint64> hertz(const QByteArray &wert);

// The frequencies a receiver can have: 1 Hz to 300 GHz. A reply beyond them
// is no frequency of a receiver's and is not taken.
constexpr qint64 kleinsteHz = 1;
constexpr qint64 groessteHz = 300'000'000'000LL;
inline bool moeglich(qint64 hz)
{
    return hz >= kleinsteHz && hz <= groessteHz;
}

// A level as the protocol writes it: "-37", "+12", "-45.300000" (rounded to
// whole dB). Nothing for anything else, and for values beyond what a signal
// can be (more than 200 dB from S9).
std::optional<int> pegel(const QByteArray &wert);

}
