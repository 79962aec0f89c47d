// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/auswertung/statistik.h"
#include "kern/basis/ergebnis.h"

#include <QFont>
#include <QString>
#include <QVector>

#include <functional>

class QChart;
class QChartView;
class QObject;

// The charts of the statistics window: a series' bars drawn with their
// axes, the bar chosen marked, and a chart written as a picture.
namespace Balkendiagramm {

struct Angaben
{
    Statistik::Reihe reihe = Statistik::Reihe::Monat;
    QString titel;
    QFont titelSchrift;
    bool waagerecht = false;   // bars from the left, names beside them
    int hoechstens = 0;        // bars drawn at most; 0: all
    int breite = 0;            // the width the chart has to draw in
};

// The chart of a series. A click on a bar calls klick with the bar's index
// in the series, for as long as kontext lives.
QChart *bauen(const QVector<Statistik::Balken> &alle, const Angaben &angaben, QObject *kontext,
              const std::function<void(int index)> &klick);
// Marks the bar of a series' index as chosen, or none with -1.
void markieren(QChart *chart, bool waagerecht, int index);
// Writes what the view shows as PNG or, when the file's suffix is "svg", as
// SVG; whole or not at all, so that a failure leaves an earlier file of the
// name as it was.
Ergebnis<> speichern(QChartView *ansicht, const QString &datei);
}
