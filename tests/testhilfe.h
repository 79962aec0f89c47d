// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the window tests: the core tests' helpers, and the messages and
// questions the windows showed, caught instead of modal boxes.
#include "fenster/bausteine/meldung.h"
#include "kernhilfe.h"

class QApplication;

namespace Testhilfe {

struct Meldung
{
    QString text;
    ::Meldung::Symbol symbol;
};
// Every message the program showed since the last call of leeren().
QList<Meldung> &meldungen();
void leeren();
// Every question the program asked since the last call of leeren(); each is
// answered as antworten() says ("Nein" after leeren()).
QStringList &fragen();
void antworten(bool ja);

// Sets up the application as the program does and replaces message boxes.
void einrichten(QApplication &app);
}

#define TREMVIK_TEST_MAIN(Klasse)                                                                                      \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        Testhilfe::einrichten(app);                                                                                    \
        Klasse t;                                                                                                      \
        return QTest::qExec(&t, argc, argv);                                                                           \
    }
