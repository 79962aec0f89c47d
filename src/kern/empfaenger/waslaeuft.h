#pragma once
#include "kern/empfaenger/funkdienst.h"

#include <QString>
#include <QVector>

// "What is on this frequency?": the rows of all four lists of the frequency
// database whose channel a frequency lies in. A row's channel reaches half
// its service's raster either side of the row's frequency (an aviation row
// written as an 8.33 kHz channel name: of its carrier); a repeater counts
// with its output and with its input.
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
        qint64 abstand = 0;     // hz less the frequency looked up
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

    QVector<Eintrag> m_eintraege;   // by frequency
    qint64 m_fernwirkRaster;
    int m_ohneFrequenz = 0;
};
