#include "log/logsuche.h"

#include "data/abfrage.h"

namespace {
const QString ende = QStringLiteral("' order by frequenz asc");

QString kopf(Logsuche::Spalte spalte)
{
    switch (spalte) {
    case Logsuche::Spalte::CallSign: return QStringLiteral("select * from [Kontakt] where callSign Like ");
    case Logsuche::Spalte::Datum: return QStringLiteral("select * from [Kontakt] where datum Like ");
    case Logsuche::Spalte::Qth: return QStringLiteral("select * from [Kontakt] where ort Like ");
    case Logsuche::Spalte::Frequenz: return QStringLiteral("select * from [Kontakt] where frequenz Like ");
    case Logsuche::Spalte::Land: return QStringLiteral("select * from [Kontakt] where land Like ");
    }
    return QString();
}
}

QString Logsuche::alle()
{
    return QStringLiteral("select * from [Kontakt] order by frequenz asc");
}

QString Logsuche::suche(Spalte spalte, const QString &begriff)
{
    return Abfrage::suche(kopf(spalte), begriff, ende);
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
