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

// The print dialog, then the pages on the printer chosen there.
void drucken(QWidget *eltern, const QString &titel, const Seiten &seiten);
// A save dialog that proposes name + ".pdf", then the PDF. The file is
// written under a temporary name and renamed when complete, so an existing
// file is only ever replaced by a whole new one.
void alsPdf(QWidget *eltern, const QString &titel, const QString &name, const Seiten &seiten);

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
