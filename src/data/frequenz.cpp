#include "data/frequenz.h"

namespace {

struct Zerlegt
{
    std::optional<qint64> hz;
    QString einwand;
};

Zerlegt zerlege(QStringView text)
{
    auto nein = [](const QString &grund) { return Zerlegt{std::nullopt, grund}; };
    QStringView t = text.trimmed();
    if (t.endsWith(QLatin1String("mhz"), Qt::CaseInsensitive))
        t = t.chopped(3).trimmed();
    if (t.isEmpty())
        return nein(QStringLiteral("Es ist keine Frequenz angegeben."));

    qint64 ganz = 0;
    int ganzStellen = 0;
    qint64 bruch = 0;   // the decimals, as hertz (six places)
    int bruchStellen = 0;
    bool marke = false;
    bool ziffern = false;
    for (const QChar c : t) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (marke)
                return nein(QStringLiteral("Die Frequenz hat mehr als ein Dezimalzeichen."));
            marke = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return nein(QStringLiteral("Die Frequenz enthält das Zeichen \u201E%1\u201C.").arg(c));
        const int ziffer = c.unicode() - '0';
        ziffern = true;
        if (!marke) {
            if (ganzStellen > 0 || ziffer > 0)
                ++ganzStellen;
            if (ganzStellen > 6)
                return nein(QStringLiteral("Die Frequenz ist zu groß."));
            ganz = ganz * 10 + ziffer;
        } else {
            ++bruchStellen;
            if (bruchStellen <= 6)
                bruch = bruch * 10 + ziffer;
            else if (ziffer != 0)
                return nein(QStringLiteral("Die Frequenz ist feiner als ein Hertz angegeben."));
        }
    }
    if (!ziffern)
        return nein(QStringLiteral("Die Frequenz hat keine Ziffern."));
    for (int i = bruchStellen; i < 6; ++i)
        bruch *= 10;
    return Zerlegt{ganz * 1'000'000 + bruch, QString()};
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
    return QStringLiteral("\u201E%1\u201C ist keine Frequenz: %2").arg(mhz.toString(), z.einwand);
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
