// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/bestaende/logeintrag.h"

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

// Long work off the window's thread: the windows go on drawing while it
// runs, and the user can stop it.
//
// Work that ends within a moment shows nothing (the windows take no input
// meanwhile); longer work shows an application-modal progress dialog over
// eltern with text and "Abbrechen". After "Abbrechen" the dialog stays, as
// "Wird abgebrochen …", until the work has ended. The dialog is closed
// before ausfuehren returns, so that a message shown next is the only
// window in front. What the work throws is thrown there, on the window's
// thread. When the program is asked to end meanwhile, the work is told to
// stop and waited for.
namespace Hintergrund {

// Work that knows how far it has come: the dialog shows it as a bar, and
// "Abbrechen" makes the Fortschritt answer false.
void ausfuehren(QWidget *eltern, const QString &text, const std::function<void(const Fortschritt &)> &arbeit);

// Work that does not know its size beforehand but counts the records it
// has read (gelesen) and looks at abbrechen, which "Abbrechen" sets: the
// dialog shows a busy bar and, under the text, "n Datensätze gelesen".
void ausfuehren(QWidget *eltern, const QString &text, std::atomic<bool> &abbrechen, const std::atomic<qint64> &gelesen,
                const std::function<void()> &arbeit);

// How long work runs before its progress is shown (milliseconds); tests
// set it.
int verzoegerung();
void setzeVerzoegerung(int ms);

}
