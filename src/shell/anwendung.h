#pragma once

class QApplication;

// The program's identity and language, set up once before the first window:
// name "tremvik-tool", its version, the icon, German translations of Qt's
// own texts and German number and date formats whatever the machine's locale.
namespace Anwendung {
void einrichten(QApplication &app);
}
