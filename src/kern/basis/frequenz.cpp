// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/frequenz.h"

#include "kern/basis/meldetext.h"

#include <algorithm>

namespace {

struct Zerlegt
{
    std::optional<qint64> hz;
    QString einwand;
};

Zerlegt nein(const QString &grund)
{
    return Zerlegt{std::nullopt, grund};
}

// The first character of a text of digits that is no digit, or none.
std::optional<QChar> keineZiffer(QStringView ziffern)
{
    for (const QChar c : ziffern)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return c;
    return std::nullopt;
}

Zerlegt zerlege(QStringView text)
{
    QStringView t = text.trimmed();
    if (t.endsWith(QLatin1String("mhz"), Qt::CaseInsensitive))
        t = t.chopped(3).trimmed();
    if (t.isEmpty())
        return nein(QStringLiteral("Es ist keine Frequenz angegeben."));

    // MHz before the decimal mark, its decimals after it.
    qsizetype marke = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != QLatin1Char(',') && t[i] != QLatin1Char('.'))
            continue;
        if (marke >= 0)
            return nein(QStringLiteral("Die Frequenz hat mehr als ein Dezimalzeichen."));
        marke = i;
    }
    const QStringView ganz = marke < 0 ? t : t.left(marke);
    const QStringView bruch = marke < 0 ? QStringView() : t.mid(marke + 1);
    for (const QStringView teil : {ganz, bruch})
        if (const auto c = keineZiffer(teil))
            return nein(QStringLiteral("Die Frequenz enthält das Zeichen \u201E%1\u201C.").arg(*c));
    if (ganz.isEmpty() && bruch.isEmpty())
        return nein(QStringLiteral("Die Frequenz hat keine Ziffern."));

    qint64 mhz = 0;
    for (const QChar c : ganz) {
        mhz = mhz * 10 + (c.unicode() - '0');
        if (mhz > Frequenz::hoechsteHz / 1'000'000)
            return nein(QStringLiteral("Die Frequenz ist zu groß."));
    }
    // The decimals as hertz: six places, any further ones must be zeros.
    const QStringView feiner = bruch.size() > 6 ? bruch.mid(6) : QStringView();
    if (std::any_of(feiner.begin(), feiner.end(), [](QChar c) { return c != QLatin1Char('0'); }))
        return nein(QStringLiteral("Die Frequenz ist feiner als ein Hertz angegeben."));
    qint64 hz = 0;
    for (qsizetype i = 0; i < 6; ++i)
        hz = hz * 10 + (i < bruch.size() ? bruch[i].unicode() - '0' : 0);
    return Zerlegt{mhz * 1'000'000 + hz, QString()};
}

}

std::optional<qint64> Frequenz::hertz(QStringView mhz)
{
    return zerlege(mhz).hz;
}

QString Frequenz::einwand(QStringView mhz)
{
    const Zerlegt z = zerlege(mhz);
    if (z.hz)
        return QString();
    return QStringLiteral("%1 ist keine Frequenz: %2").arg(Meldetext::zitat(mhz), z.einwand);
}

QString Frequenz::mhzText(qint64 hz, QChar komma, int mindestStellen)
{
    if (hz < 0)
        return QString();
    QString bruch = QStringLiteral("%1").arg(hz % 1'000'000, 6, 10, QLatin1Char('0'));
    while (bruch.size() > std::max(0, mindestStellen) && bruch.endsWith(QLatin1Char('0')))
        bruch.chop(1);
    QString text = QString::number(hz / 1'000'000);
    if (!bruch.isEmpty())
        text += komma + bruch;
    return text;
}

Funkdienste::Kanal Funkdienste::flugfunk(qint64 geschriebenHz)
{
    const qint64 imBlock = geschriebenHz % 25000;   // the 25 kHz block the name lies in
    const bool vhf = geschriebenHz >= 117'975'000 && geschriebenHz <= 137'000'000;
    if (vhf && (imBlock == 5000 || imBlock == 10000 || imBlock == 15000)) {
        // The three 8.33 kHz channels of a block start on the block's edge.
        const qint64 k = imBlock / 5000 - 1;
        return {geschriebenHz - imBlock + (k * 25000 + 1) / 3, 8333, true};
    }
    return {geschriebenHz, 12500, false};
}

qint64 Funkdienste::flugfunkName(qint64 traegerHz, bool achtKomma33)
{
    // Each of the three names of the carrier's block that leads to it.
    const qint64 block = traegerHz - traegerHz % 25000;
    for (const qint64 imBlock : {qint64(5000), qint64(10000), qint64(15000)}) {
        const Kanal k = flugfunk(block + imBlock);
        if (k.achtKomma33 && k.hz == traegerHz && (achtKomma33 || k.hz != block))
            return block + imBlock;
    }
    return traegerHz;
}
