// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/ergebnis.h"

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

// What the windows' "Drucken …" and "Als PDF speichern …" do with a
// printout: ask for the printer or the file, put the pages there, and tell
// the user when that failed. Both dialogs can be replaced (tests do, as
// they replace message boxes).
namespace Druckauftrag {

// Paints the printout onto a device; false when it cannot be painted on.
using Seiten = std::function<bool(QPagedPaintDevice &geraet)>;

// The print dialog, then the pages on the printer chosen there; a PDF file
// chosen there is written as alsPdf() writes it, and a failure names its
// reason. The dialog proposes the title as a file name (see dateiname).
void drucken(QWidget *eltern, const QString &titel, const Seiten &seiten);
// A save dialog that proposes name + ".pdf" in the folder last used for a
// PDF, then the PDF. The file is written under a temporary name and renamed
// when complete, so an existing file is only ever replaced by a whole new
// one. Done, it is named in the status bar.
void alsPdf(QWidget *eltern, const QString &titel, const QString &name, const Seiten &seiten);

// A name (a title, a call sign) as a file name any disk takes: "/", "\\",
// ":" and the other characters a file name cannot hold on common disks
// become "-", control characters (NUL included) go, blanks are made single,
// no dot leads, and it is at most 200 bytes long; an empty one is
// "Ausdruck".
QString dateiname(const QString &name);

// Writes the pages into a PDF file as alsPdf() does; a failure says why,
// in German.
Ergebnis<> pdfSchreiben(const QString &datei, const QString &titel, const Seiten &seiten);

// In place of the print dialog: sets the printer up, true to print.
using Druckerwahl = std::function<bool(QPrinter &drucker)>;
void setzeDruckerwahl(Druckerwahl wahl);   // empty: the dialog again
// In place of the save dialog: the file chosen, empty to cancel.
using Dateiwahl = std::function<QString(const QString &vorschlag)>;
void setzeDateiwahl(Dateiwahl wahl);   // empty: the dialog again

}
