// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/programmverzeichnis.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &gesetzt()
{
    static QString pfad;
    return pfad;
}

QString ohneTrenner(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}
}

QString Programmverzeichnis::pfad()
{
    if (!gesetzt().isEmpty())
        return gesetzt();
    return ohneTrenner(QDir::cleanPath(QCoreApplication::applicationDirPath()));
}

void Programmverzeichnis::setzen(const QString &pfad)
{
    gesetzt() = pfad.isEmpty() ? QString() : ohneTrenner(QDir::cleanPath(QDir(pfad).absolutePath()));
}

QString Programmverzeichnis::datei(const QString &name)
{
    const QString p = pfad();
    return p.endsWith(QLatin1Char('/')) ? p + name : p + QLatin1Char('/') + name;
}
