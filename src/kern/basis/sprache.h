// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// The program's language, for the windows as for the command-line tools.
namespace Sprache {
// Qt's own texts in German (a reader's reason why a file is damaged, for
// instance).
void qtTexteDeutsch(QCoreApplication &app);
}
