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

// Speichern asks before replacing a file and adds the extension of the
// chosen file type to a name without one.
Wahl zeigen(QWidget *eltern, Art art, const QString &titel, const QStringList &filter);

using Ersatz = std::function<Wahl(Art art, const QString &titel, const QStringList &filter)>;
// Replaces the dialog (an empty function restores it).
void setzeErsatz(Ersatz ersatz);

}
