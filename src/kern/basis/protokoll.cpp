// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/protokoll.h"

// Enabled for critical messages only, which the program never writes: every
// category is silent until a rule switches it on.
Q_LOGGING_CATEGORY(protokollEmpfaenger, "tremvik.empfaenger", QtCriticalMsg)
Q_LOGGING_CATEGORY(protokollSicherung, "tremvik.sicherung", QtCriticalMsg)
Q_LOGGING_CATEGORY(protokollImport, "tremvik.import", QtCriticalMsg)
Q_LOGGING_CATEGORY(protokollDaten, "tremvik.daten", QtCriticalMsg)

QString Protokoll::kurz(const QString &text, int hoechstens)
{
    QString aus;
    aus.reserve(std::min<qsizetype>(text.size(), hoechstens) + 8);
    int zeichen = 0;
    for (const QChar c : text) {
        if (zeichen >= hoechstens) {
            aus += QChar(0x2026);
            break;
        }
        ++zeichen;
        if (c == QLatin1Char('\n'))
            aus += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            aus += QLatin1String("\\r");
        else if (c == QLatin1Char('\\'))
            aus += QLatin1String("\\\\");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            aus += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if ((!c.isPrint() && !c.isSurrogate()) || c == QChar::ReplacementCharacter)
            aus += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            aus += c;
    }
    return aus;
}

QString Protokoll::kurz(const QByteArray &bytes, int hoechstens)
{
    // Only what can be shown is decoded, not a long reply whole.
    const qsizetype genug = qsizetype(hoechstens) * 4 + 4;
    QString text = QString::fromUtf8(bytes.left(genug));
    if (bytes.size() > genug)
        text += QChar(0x2026);
    return kurz(text, hoechstens);
}
