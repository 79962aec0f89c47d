// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/empfaenger/funkdienst.h"

#include <QString>
#include <QVector>

// "What is on this frequency?": the rows of all four lists of the frequency
// database whose channel a frequency lies in. A row's channel reaches half
// its service's raster either side of the row's frequency (an aviation row
// written as an 8.33 kHz channel name: of its carrier); a repeater counts
// with its output and with its input. A frequency asked for that is an 8.33
// kHz channel name ("121,280", as a list or a receiver's display writes it)
// means its carrier to the aviation rows, so the name and the carrier find
// the same channel.
//
// The rows are read once, when the lookup is made, and kept sorted by
// frequency, so a lookup costs a binary search. A row whose frequency is not
// a frequency is left out and counted.
class WasLaeuft
{
public:
    struct Fund
    {
        Funkdienst dienst;
        QString frequenzText;   // as the list writes it
        qint64 hz = 0;          // the carrier
        qint64 abstand = 0;     // hz less the frequency looked up (for aviation rows: its carrier)
        bool eingabe = false;   // a repeater's input, not its output
        QString ort;            // Ort, Standort or Kreis/Stadt
        QString angaben;        // the row's other columns, for reading
    };

    // Reads the tables bos, flugfunk, afu and fernwirken of the database
    // file. Throws DatenFehler when the file or a table cannot be read.
    explicit WasLaeuft(const QString &datenbank);

    // The rows on hz, nearest first; at equal distance in the order of the
    // menu (BOS, Flugfunk, AFU-Repeater, Fernwirken), then of the tables.
    QVector<Fund> suche(qint64 hz) const;
    // Where nothing is on hz: the rows of each list nearest to it, at most
    // jeListe of each (either side), nearest first as suche orders them.
    QVector<Fund> naechste(qint64 hz, int jeListe = 3) const;

    // The telecontrol raster, 1 kHz unless set (at least 1 Hz).
    void setzeFernwirkRaster(qint64 hz);
    qint64 fernwirkRaster() const { return m_fernwirkRaster; }

    // How many frequencies were read, and how many rows were left out.
    int anzahl() const { return m_eintraege.size(); }
    int ohneFrequenz() const { return m_ohneFrequenz; }

private:
    struct Eintrag
    {
        Fund fund;
        qint64 raster = 0;   // 0: the telecontrol raster of the moment
        int reihenfolge = 0;
    };
    void hinzufuegen(Funkdienst dienst, const QString &text, bool eingabe, const QString &ort, const QString &angaben);

    // The frequency an entry of the service is compared with, for hz asked.
    static qint64 bezug(Funkdienst dienst, qint64 hz);
    static void ordnen(QVector<const Eintrag *> &eintraege, qint64 hz);
    static QVector<Fund> alsFunde(const QVector<const Eintrag *> &eintraege, qint64 hz);

    QVector<Eintrag> m_eintraege;   // by frequency
    QVector<int> m_jeDienst[4];     // each service's entries, by frequency
    qint64 m_fernwirkRaster;
    int m_ohneFrequenz = 0;
};
