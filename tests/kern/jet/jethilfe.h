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

}
