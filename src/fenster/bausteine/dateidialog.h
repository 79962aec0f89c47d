// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The file dialogs of the exchange: a file to write or to read, and the
// file type the user chose, which says the format. Tests put a function in
// place of the dialog.
namespace Dateidialog {

enum class Art { Speichern, Oeffnen };

struct Wahl
{
    QString datei;    // empty when the user cancelled
    QString filter;   // the chosen entry of the file types, as given
};

// The kinds of file the user picks, each with the folder last used for it.
enum class Ordner { Export, Import, Pdf, Bild };
// The folder a dialog for that kind opens on: where the user last chose
// such a file (kept in the settings across starts), as long as it is
// there; otherwise the home folder (for PDFs the documents folder).
QString letzterOrdner(Ordner ordner);
// The folder of a file the user chose, to open on next time.
void merkeOrdner(Ordner ordner, const QString &datei);

// Speichern asks before replacing a file and adds the extension of the
// chosen file type to a name without one. The dialog opens on the folder
// last used for the kind (an export when saving, an import when opening).
Wahl zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter);
Wahl zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter, Ordner ordner);

using Ersatz = std::function<Wahl(Art art, const QString &titel, const QStringList &filter)>;
// Replaces the dialog (an empty function restores it).
void setzeErsatz(Ersatz ersatz);

}
