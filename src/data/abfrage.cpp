#include "data/abfrage.h"

QString Abfrage::suche(const QString &kopf, const QString &text, const QString &schwanz)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return kopf + QLatin1String("'%") + t + QLatin1String("%") + schwanz;
}
