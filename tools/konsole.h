// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>

// What the command-line tools write on the console: text in UTF-8 as it
// stands, and a failure on stderr after the tool's name.
namespace Konsole {

inline void ausgeben(std::FILE *wohin, const QString &text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), wohin);
}

// Writes "werkzeug: text" and a line end on stderr; returns 1, the exit
// code of a failure.
inline int fehler(const char *werkzeug, const QString &text)
{
    ausgeben(stderr, QString::fromLatin1(werkzeug) + QStringLiteral(": ") + text + QLatin1Char('\n'));
    return 1;
}

// A call the tool cannot take: the reason, where there is one, then how
// the tool is called, both on stderr; returns 2.
inline int falscherAufruf(const char *werkzeug, const char *aufruf, const QString &grund)
{
    if (!grund.isEmpty())
        fehler(werkzeug, grund);
    std::fputs(aufruf, stderr);
    return 2;
}

// A failure of the data layer on the console: the message's paragraphs
// become lines.
inline QString zeilen(const DatenFehler &f)
{
    return f.meldung().replace(QLatin1String("\n\n"), QLatin1String("\n"));
}

}   // namespace Konsole
