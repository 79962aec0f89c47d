// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhilfe.h"

#include "fenster/bausteine/anwendung.h"

#include <QApplication>

QList<Testhilfe::Meldung> &Testhilfe::meldungen()
{
    static QList<Meldung> liste;
    return liste;
}

namespace {
bool &antwortJa()
{
    static bool ja = false;
    return ja;
}
}

void Testhilfe::leeren()
{
    meldungen().clear();
    fragen().clear();
    antwortJa() = false;
}

QStringList &Testhilfe::fragen()
{
    static QStringList liste;
    return liste;
}

void Testhilfe::antworten(bool ja)
{
    antwortJa() = ja;
}

void Testhilfe::einrichten(QApplication &app)
{
    Anwendung::einrichten(app);
    abschirmen();
    ::Meldung::setzeAnzeige([](const QString &text, ::Meldung::Symbol symbol) { meldungen().append({text, symbol}); });
    ::Meldung::setzeAntwort([](const QString &text) {
        fragen().append(text);
        return antwortJa();
    });
}
