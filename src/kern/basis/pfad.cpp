#include "kern/basis/pfad.h"

#include <QFileInfo>

QString Pfad::aufgeloest(const QString &datei)
{
    // As many links in a row as the system itself follows.
    QString pfad = datei;
    for (int schritt = 0; schritt < 40; ++schritt) {
        const QFileInfo info(pfad);
        if (!info.isSymLink())
            return pfad;
        pfad = info.symLinkTarget();
    }
    return QString();
}

QString Pfad::ordnerVon(const QString &datei)
{
    const int i = datei.lastIndexOf(QLatin1Char('/'));
    if (i < 0)
        return QStringLiteral(".");
    const QString ordner = datei.left(i);
    return ordner.isEmpty() ? QStringLiteral("/") : ordner;
}
