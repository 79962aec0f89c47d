// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logsuche.h"

namespace {
// The column as the search query writes it.
QString spalte(Logsuche::Spalte spalte)
{
    switch (spalte) {
    case Logsuche::Spalte::CallSign: return QStringLiteral("callSign");
    case Logsuche::Spalte::Datum: return QStringLiteral("datum");
    case Logsuche::Spalte::Qth: return QStringLiteral("ort");
    case Logsuche::Spalte::Frequenz: return QStringLiteral("frequenz");
    case Logsuche::Spalte::Land: return QStringLiteral("land");
    }
    return QString();
}
}

Abfrage Logsuche::alle()
{
    return Abfrage::alle(QStringLiteral("Kontakt"), QStringLiteral("frequenz"));
}

Abfrage Logsuche::suche(Spalte spalte, const QString &begriff)
{
    const Abfrage a = Abfrage::suche(alle(), ::spalte(spalte), begriff, QStringLiteral("Like"));
    // A frequency typed with a dot finds it written with the decimal comma.
    return spalte == Spalte::Frequenz ? a.mitDezimalpunkt() : a;
}

QString Logsuche::trefferText(int anzahl)
{
    return QString::number(anzahl) + QStringLiteral(" Einträge");
}

QString Logsuche::keineTreffer(const QString &begriff)
{
    return QStringLiteral("Der Suchbegriff ") + begriff
           + QStringLiteral(" konnte nicht gefunden werden! Bitte überprüfen Sie die Eingabe!");
}
