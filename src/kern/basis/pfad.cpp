// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/pfad.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

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

int Pfad::anlegen(const QString &ordner, unsigned rechte, QString *stelle)
{
    QByteArray pfad = QFile::encodeName(ordner);
    while (pfad.size() > 1 && pfad.endsWith('/'))
        pfad.chop(1);
    // Each folder from the root down: one that is there is passed, the
    // first one that is missing is made, and every one after it.
    for (qsizetype ende = 1; ende <= pfad.size(); ++ende) {
        if (ende < pfad.size() && pfad[ende] != '/')
            continue;
        const QByteArray teil = pfad.left(ende);
        if (teil.endsWith('/'))
            continue;   // "//" in the path
        int fehler = 0;
        if (::mkdir(teil.constData(), ende == pfad.size() ? mode_t(rechte) : mode_t(0777)) != 0) {
            fehler = errno;
            // There already: fine if it is a folder (also one that may not
            // be written in: the next step says so), else it is in the way.
            struct stat st;
            if (::stat(teil.constData(), &st) == 0)
                fehler = S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
        }
        if (fehler) {
            if (stelle)
                *stelle = QFile::decodeName(teil);
            return fehler;
        }
    }
    return 0;
}
