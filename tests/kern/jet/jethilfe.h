// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the tests of the Jet reader: where the real Jet files lie and
// how to ask mdbtools' own programs about them.
#include "kernhilfe.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace Jethilfe {

// The folder of real Jet files written by Access (shared/jet beside the
// sources or beside a folder above them); empty when there is none.
inline QString ordner()
{
    QDir d(QStringLiteral(TREMVIK_QUELLEN));
    for (int i = 0; i < 4; ++i) {
        if (QFileInfo::exists(d.filePath(QStringLiteral("shared/jet/README.md"))))
            return QDir::cleanPath(d.filePath(QStringLiteral("shared/jet")));
        if (!d.cdUp())
            break;
    }
    return QString();
}

// The Jet files of that folder.
inline QStringList dateien()
{
    QStringList namen;
    const QString o = ordner();
    for (const QString &n :
         QDir(o).entryList({QStringLiteral("*.mdb"), QStringLiteral("*.accdb")}, QDir::Files, QDir::Name))
        namen.append(o + QLatin1Char('/') + n);
    return namen;
}

// Runs a program and returns its standard output; fails the test when it
// does not end well.
inline QByteArray ausgabe(const QString &programm, const QStringList &argumente)
{
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s %s: %s", qPrintable(programm), qPrintable(argumente.join(QLatin1Char(' '))),
                 p.readAllStandardError().constData());
        return QByteArray("<fehlgeschlagen>");
    }
    return p.readAllStandardOutput();
}

// The property blocks of the catalogue's objects ("MR2" or "KKD" and a
// zero byte, then chunks of a 32-bit length and a type). mdbtools reads
// them while it reads the catalogue; a chunk of length 0 makes it loop.
inline QList<qint64> eigenschaftsbloecke(const QByteArray &daten)
{
    QList<qint64> stellen;
    for (const QByteArray &kennung : {QByteArrayLiteral("MR2\0"), QByteArrayLiteral("KKD\0")})
        for (qsizetype i = daten.indexOf(kennung); i >= 0; i = daten.indexOf(kennung, i + 1))
            stellen.append(i);
    std::sort(stellen.begin(), stellen.end());
    return stellen;
}

// The second chunk of the property block at stelle: where its length lies.
inline qint64 zweiterAbschnitt(const QByteArray &daten, qint64 block)
{
    const auto *p = reinterpret_cast<const unsigned char *>(daten.constData()) + block + 4;
    return block + 4 + qint64(p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24);
}

// A copy of the bytes with n bytes from stelle set to wert.
inline QByteArray veraendert(QByteArray daten, qint64 stelle, int n, char wert = 0)
{
    for (qint64 i = stelle; i < stelle + n && i < daten.size(); ++i)
        daten[qsizetype(i)] = wert;
    return daten;
}

// The processes this process started that still run (their ids).
inline QList<qint64> kinder()
{
    QList<qint64> ids;
    const QString ich = QString::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold blanks.
        const QByteArray z = stat.readAll();
        const QList<QByteArray> teile = z.mid(z.lastIndexOf(')') + 2).split(' ');
        if (teile.size() > 1 && teile.at(0) != "Z" && QString::fromLatin1(teile.at(1)) == ich)
            ids.append(pid.toLongLong());
    }
    return ids;
}

}
