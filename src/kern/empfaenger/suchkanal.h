// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/empfaenger/empfaenger.h"
#include "kern/empfaenger/funkdienst.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

#include <optional>

// One channel of a scan: a frequency of a list, with the place and call
// name of the first row on it.
struct Suchkanal
{
    QString frequenzText;   // as the list writes it
    qint64 hz = 0;          // what the receiver is tuned to: an aviation channel's carrier
    Modulation modulation = Modulation::FmSchmal;
    QString ort;
    QString rufname;
    int zeilen = 1;   // the rows of the list on this frequency
};

// The channels of a list's rows, in the order the rows are given: one per
// frequency tuned to, with the first row's place and call name. A row whose
// value is no frequency a receiver can have is left out and counted.
class Kanalliste
{
public:
    explicit Kanalliste(Funkdienst dienst) : m_dienst(dienst) { }

    void zeile(const QString &frequenz, const QString &ort, const QString &rufname);

    const QVector<Suchkanal> &kanaele() const { return m_kanaele; }
    int ohneFrequenz() const { return m_ohneFrequenz; }

private:
    Funkdienst m_dienst;
    QVector<Suchkanal> m_kanaele;
    QHash<qint64, int> m_index;   // tuned frequency -> channel
    int m_ohneFrequenz = 0;
};

// Where a scan halted: a signal over the threshold on a channel.
struct Suchtreffer
{
    QDateTime zeit;   // local time, when the scan halted there
    Suchkanal kanal;
    Signalart art = Signalart::Staerke;
    std::optional<int> hoechsteDb;   // the strongest reading (Staerke)
    qint64 dauerMs = 0;              // how long the signal was there

    // The log's modulation for the channel as tuned: "AM", or "FM" for
    // narrow FM.
    QString modulation() const;
    // The strongest reading as shown: "−37 dB", "offen" for the squelch.
    QString staerkeText() const;
    // The duration in seconds with one decimal: "12,4 s".
    QString dauerText() const;

    // A new log record as the hit fills it, by column of the log:
    // frequenz and band as tuned, ort from the place, callsign from the
    // call name, datum and uhrzeit of the hit. Empty values are left out.
    QHash<QString, QString> logWerte() const;
};

namespace Treffertabelle {
// The hits as CSV for German spreadsheets (';', decimal comma, UTF-8 with
// byte order mark, CRLF), newest first as the window shows them: Zeit,
// Frequenz, Modulation, Ort, Rufname, Stärke (dB), Dauer (s).
QByteArray csv(const QVector<Suchtreffer> &treffer);
}
