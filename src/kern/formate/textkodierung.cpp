// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/textkodierung.h"

#include <QList>
#include <QStringDecoder>

namespace {

// Windows-1252, 0x80 to 0x9F; 0 where the code page has no character.
constexpr char16_t cp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Characters whose ASCII form is not simply the letter without its accent.
QString sonderform(char32_t c)
{
    switch (c) {
    case U'ä': return QStringLiteral("ae");
    case U'ö': return QStringLiteral("oe");
    case U'ü': return QStringLiteral("ue");
    case U'Ä': return QStringLiteral("Ae");
    case U'Ö': return QStringLiteral("Oe");
    case U'Ü': return QStringLiteral("Ue");
    case U'ß': return QStringLiteral("ss");
    case U'ẞ': return QStringLiteral("SS");
    case U'æ': return QStringLiteral("ae");
    case U'Æ': return QStringLiteral("AE");
    case U'œ': return QStringLiteral("oe");
    case U'Œ': return QStringLiteral("OE");
    case U'ø': return QStringLiteral("o");
    case U'Ø': return QStringLiteral("O");
    case U'ł': return QStringLiteral("l");
    case U'Ł': return QStringLiteral("L");
    case U'đ': return QStringLiteral("d");
    case U'Đ': return QStringLiteral("D");
    case U'ð': return QStringLiteral("d");
    case U'þ': return QStringLiteral("th");
    case U'Þ': return QStringLiteral("Th");
    case U'ı': return QStringLiteral("i");
    case U'‚':
    case U'‘':
    case U'’':
    case U'‹':
    case U'›':
    case U'´':
    case U'`': return QStringLiteral("'");
    case U'„':
    case U'“':
    case U'”':
    case U'«':
    case U'»': return QStringLiteral("\"");
    case U'‐':
    case U'‑':
    case U'‒':
    case U'–':
    case U'—':
    case U'−': return QStringLiteral("-");
    case U'…': return QStringLiteral("...");
    case U'€': return QStringLiteral("EUR");
    case U'µ': return QStringLiteral("u");
    case U'×': return QStringLiteral("x");
    case U'•':
    case U'·': return QStringLiteral("*");
    case U'°': return QStringLiteral(" Grad");
    case U'²': return QStringLiteral("2");
    case U'³': return QStringLiteral("3");
    case U'½': return QStringLiteral("1/2");
    case U'¼': return QStringLiteral("1/4");
    case U'¾': return QStringLiteral("3/4");
    case U'©': return QStringLiteral("(c)");
    case U'®': return QStringLiteral("(R)");
    case U'™': return QStringLiteral("TM");
    default: return QString();
    }
}

// One character beyond ASCII in ASCII.
QString einzeln(char32_t c)
{
    const QString sonder = sonderform(c);
    if (!sonder.isEmpty())
        return sonder;
    const QString zeichen = QString::fromUcs4(&c, 1);
    if (zeichen.at(0).isSpace())
        return QStringLiteral(" ");
    // The letter without its accents, where that is ASCII.
    QString ohne;
    for (const QChar z : zeichen.normalized(QString::NormalizationForm_KD))
        if (z.category() != QChar::Mark_NonSpacing && z.category() != QChar::Mark_Enclosing)
            ohne += z;
    if (!ohne.isEmpty() && Textkodierung::istAscii(ohne) && ohne != zeichen)
        return Textkodierung::ascii(ohne);
    return QStringLiteral("?");
}

}   // namespace

QString Textkodierung::ausWindows1252(const QByteArray &daten)
{
    QString text(daten.size(), Qt::Uninitialized);
    QChar *z = text.data();
    for (const char b : daten) {
        const uchar u = uchar(b);
        *z++ = (u >= 0x80 && u < 0xA0 && cp1252[u - 0x80]) ? QChar(cp1252[u - 0x80]) : QChar(u);
    }
    return text;
}

Textkodierung::Text Textkodierung::dekodieren(const QByteArray &daten)
{
    QByteArrayView rest(daten);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(rest);
    if (!utf8.hasError())
        return {text, false};
    return {ausWindows1252(rest.toByteArray()), true};
}

bool Textkodierung::istAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7E || (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r')))
            return false;
    return true;
}

QString Textkodierung::ascii(const QString &text)
{
    if (istAscii(text))
        return text;
    QString aus;
    aus.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\n' || c == U'\r' || (c >= 0x20 && c <= 0x7E))
            aus += QChar(char16_t(c));
        else if (c < 0x20 || c == 0x7F)
            aus += QLatin1Char(' ');
        else
            aus += einzeln(c);
    }
    return aus;
}
