#pragma once
#include "kern/bestaende/logeintrag.h"

#include <QString>

#include <functional>

class QWidget;

// Long work off the window's thread: the windows go on drawing while it
// runs, and the user can stop it.
namespace Hintergrund {

// Runs arbeit on a thread of its own and returns when it is done. Work that
// ends within a moment shows nothing (the windows take no input meanwhile);
// longer work shows a progress dialog over eltern with text, how far it
// came and "Abbrechen", which makes the Fortschritt answer false. The
// dialog is closed before this returns, so that a message shown next is
// the only window in front. What arbeit throws is thrown here, on the
// window's thread.
void ausfuehren(QWidget *eltern, const QString &text, const std::function<void(const Fortschritt &)> &arbeit);

// How long work runs before its progress is shown (milliseconds); tests
// set it.
int verzoegerung();
void setzeVerzoegerung(int ms);

}
