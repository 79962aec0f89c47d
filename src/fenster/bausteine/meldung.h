// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <functional>

class DatenFehler;
class QAction;

// Every message the program shows to the user goes through here: a modal box
// with an OK button and the application's title "tremvik-tool". Tests put a
// recorder in place of the box.
namespace Meldung {
enum class Symbol { Keins, Fehler };

void zeigen(const QString &text, Symbol symbol = Symbol::Keins);
// A failure of the data layer, with the critical icon.
void fehler(const DatenFehler &f);

using Anzeige = std::function<void(const QString &text, Symbol symbol)>;
// Replaces the message box (an empty function restores it).
void setzeAnzeige(Anzeige anzeige);

// A short word after an action ("Eintrag gespeichert"), shown for a few
// seconds where the main window shows such words, never as a box; with an
// action, its text in the word (or after it) can be clicked to trigger it.
// Without a place to show it (a window on its own), the word goes nowhere.
void status(const QString &text, QAction *aktion = nullptr);
using Statusanzeige = std::function<void(const QString &text, QAction *aktion)>;
// Sets the place for those words (an empty function: none).
void setzeStatusanzeige(Statusanzeige anzeige);

// A question with the buttons "Ja" and "Nein" (no preselected answer but
// "Nein"); true for "Ja". Tests put an answer in place of the box.
bool frage(const QString &text);
using Antwort = std::function<bool(const QString &text)>;
// Replaces the question box (an empty function restores it).
void setzeAntwort(Antwort antwort);

// Runs a handler's work; a DatenFehler ends it there and is shown.
// Returns whether the work ran to its end.
bool abfangen(const std::function<void()> &arbeit);
}
