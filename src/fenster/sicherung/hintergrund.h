#pragma once
#include "kern/jet/jetdatei.h"

#include <QString>

#include <functional>

class QWidget;

// Long work of the backup windows, off the window's thread.
namespace Hintergrund {

// Runs arbeit on a thread of its own and waits for its end without
// freezing the program: when it takes a while, a progress dialog over
// eltern says text and how many records were read, and its "Abbrechen"
// sets aufsicht.abbrechen (the work then throws Abgebrochen). Input to the
// main window waits meanwhile. What arbeit throws is thrown here.
void ausfuehren(QWidget *eltern, const QString &text, Jet::Aufsicht &aufsicht, const std::function<void()> &arbeit);

}
