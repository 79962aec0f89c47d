// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// Window layouts are given in twips (1/1440 inch): 15 twips make one pixel at
// 96 dpi, scaled with the screen's logical resolution.
namespace Geometrie {
int twips(int twips);
// Pixels back into twips.
int inTwips(int pixel);
QRect rechteck(int links, int oben, int breite, int hoehe);
// Places a control at a twips rectangle relative to its parent.
void setze(QWidget *w, int links, int oben, int breite, int hoehe);
// Gives a child window its fixed client size in twips.
void festeGroesse(QWidget *w, int breite, int hoehe);

// The fonts the windows ask for, mapped to installed fonts of close metrics:
// "MS Sans Serif" to Liberation Sans, "Verdana" to DejaVu Sans; "Arial" is
// drawn with Liberation Sans but keeps its name.
QFont schrift(const QString &name, double punkt, bool fett = false);
// The dialog font of the windows: MS Sans Serif 8.25 pt.
QFont standardSchrift();
}
