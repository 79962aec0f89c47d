// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>
#include <functional>
#include <optional>

// One record of the log table Kontakt with every column the log window
// shows, NULL kept apart from an empty text; and moving such records out of
// and into a log database file.
struct Logeintrag
{
    // The columns in the order of the table.
    enum Spalte {
        callsign,
        skip,
        vorname,
        land,
        swert,
        rwert,
        datum,
        uhrzeit,
        lanal,
        frequenz,
        band,   // the modulation
        ort,
        bemerkung,   // RTF
        anzahl
    };
    using Wert = std::optional<QString>;

    std::array<Wert, anzahl> werte;

    Wert &operator[](Spalte s) { return werte[s]; }
    const Wert &operator[](Spalte s) const { return werte[s]; }
    bool operator==(const Logeintrag &o) const { return werte == o.werte; }
    bool operator!=(const Logeintrag &o) const { return werte != o.werte; }

    // The column names of the table ("callsign", ..., "bemerkung").
    static const QStringList &spalten();
    // The captions of the log window ("CallSign", "Skip", ..., "QTH"), and
    // "Bemerkung" for the remark.
    static const QStringList &beschriftungen();
    // The record as one line for messages and tests: the values joined by
    // '|', NULL as '∅'.
    QString alsText() const;
};

// Reports progress of long work: done of total. Returns false when the user
// cancelled; the work then throws Abgebrochen and leaves everything as it
// was.
using Fortschritt = std::function<bool(qint64 erledigt, qint64 gesamt)>;

class Abgebrochen : public DatenFehler
{
public:
    Abgebrochen() : DatenFehler(QStringLiteral("Abgebrochen; es wurde nichts geändert.")) { }
};

namespace Logdaten {

// The log database file of the program (beside it, or in an installed
// program's data folder).
QString standardDatei();

// The records a query over Kontakt yields (the log window's query, all
// records or a search), in its order. Opens the file read-only.
QList<Logeintrag> lesen(const QString &datenbank, const QString &abfrage, const Fortschritt &fortschritt = {});

// The remark: its plain text (paragraphs as lines, no trailing line break),
// and a plain text as the RTF the log window stores (Arial 12 pt, as a new
// remark).
QString bemerkungAlsText(const QString &rtf);
QString bemerkungAusText(const QString &text);

// The key by which two records count as the same reception: call sign
// (letter case and outer blanks aside), date, time to the minute and
// frequency, each compared by its meaning where it can be read (Logdatum:
// "1.7.2006" and "2006-07-01"; "21:45" and "21:45:30"; "145,5" and
// "145,500"), else by its text.
QString schluessel(const Logeintrag &e);

}
