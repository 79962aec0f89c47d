// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QApplication;

// The program's identity and language, set up once before the first window:
// name "tremvik-tool", its version, the icon, German translations of Qt's
// own texts and German number and date formats whatever the machine's locale.
namespace Anwendung {
void einrichten(QApplication &app);
// Put in place while the QApplication is made: where Qt finds no display
// to show windows on, the program says so in German on stderr and ends
// with exit code 1 (instead of Qt's English text and an abort). Returns
// the handler to put back once the application stands.
QtMessageHandler ohneAnzeigeMelden();
}
