// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/meldetext.h"

QString Meldetext::ausschnitt(QStringView text, int hoechstens)
{
    qsizetype ende = std::min<qsizetype>(text.size(), std::max(hoechstens, 1));
    if (ende < text.size() && ende > 0 && text.at(ende - 1).isHighSurrogate())
        --ende;
    QString aus;
    aus.reserve(ende + 1);
    for (qsizetype k = 0; k < ende; ++k) {
        const char16_t c = text.at(k).unicode();
        if (c == u'\r' || c == u'\n' || c == u'\t')
            aus += QLatin1Char(' ');
        else if (c < 0x20)
            aus += QChar(char16_t(0x2400 + c));
        else if (c == 0x7F)
            aus += QChar(char16_t(0x2421));
        else if (c >= 0x80 && c < 0xA0)
            aus += QChar::ReplacementCharacter;
        else
            aus += QChar(c);
    }
    if (ende < text.size())
        aus += QChar(0x2026);
    return aus;
}

QString Meldetext::zitat(QStringView text, int hoechstens)
{
    return QStringLiteral("\u201E%1\u201C").arg(ausschnitt(text, hoechstens));
}

QString Meldetext::aufzaehlung(const QStringList &namen, int hoechstens, const QString &trenner)
{
    QStringList teile;
    for (qsizetype k = 0; k < namen.size() && k < hoechstens; ++k)
        teile.append(ausschnitt(namen.at(k), 2 * auszug));
    QString aus = teile.join(trenner);
    if (namen.size() > hoechstens)
        aus += QStringLiteral(" und %1 weitere").arg(namen.size() - hoechstens);
    return aus;
}

QStringList Meldetext::zeilen(const QStringList &zeilen, int hoechstens)
{
    if (zeilen.size() <= hoechstens)
        return zeilen;
    QStringList aus = zeilen.mid(0, hoechstens);
    aus.append(QStringLiteral("… und %1 weitere.").arg(zeilen.size() - hoechstens));
    return aus;
}
