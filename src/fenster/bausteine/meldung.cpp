// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/meldung.h"

#include "kern/basis/datenfehler.h"

#include <QApplication>
#include <QMessageBox>

namespace {
Meldung::Anzeige &anzeige()
{
    static Meldung::Anzeige a;
    return a;
}

Meldung::Antwort &antwort()
{
    static Meldung::Antwort a;
    return a;
}

Meldung::Statusanzeige &statusanzeige()
{
    static Meldung::Statusanzeige a;
    return a;
}
}

void Meldung::zeigen(const QString &text, Symbol symbol)
{
    if (anzeige()) {
        anzeige()(text, symbol);
        return;
    }
    QMessageBox box(symbol == Symbol::Fehler ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QStringLiteral("tremvik-tool"), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void Meldung::fehler(const DatenFehler &f)
{
    zeigen(f.meldung(), Symbol::Fehler);
}

void Meldung::setzeAnzeige(Anzeige a)
{
    anzeige() = std::move(a);
}

void Meldung::status(const QString &text, QAction *aktion)
{
    if (statusanzeige())
        statusanzeige()(text, aktion);
}

void Meldung::setzeStatusanzeige(Statusanzeige a)
{
    statusanzeige() = std::move(a);
}

bool Meldung::frage(const QString &text)
{
    if (antwort())
        return antwort()(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("tremvik-tool"), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Meldung::setzeAntwort(Antwort a)
{
    antwort() = std::move(a);
}

bool Meldung::abfangen(const std::function<void()> &arbeit)
{
    try {
        arbeit();
        return true;
    } catch (const DatenFehler &f) {
        fehler(f);
    }
    return false;
}
