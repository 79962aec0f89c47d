// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/listenart.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/frequenz.h"
#include "kern/bestaende/frequenzdaten.h"

#include <QRegularExpression>

const QList<Listenart::Art> &Listenart::arten()
{
    static const QList<Art> a{
        {"bos",
         "Freq",
         "Rufname",
         nullptr,
         {"BL", "Ort", "Benutzer", "Kanal"},
         "Ort",
         false,
         3,
         "BOS",
         "#ff4040",
         false},
        {"flugfunk", "Frquenz", "Ort", nullptr, {}, nullptr, true, 3, "Flugfunk", "#40a0ff", true},
        {"afu", "Ausgabe", "Standort", "Eingabe", {}, nullptr, false, 4, "AFU-Repeater", "#40c040", false},
        {"fernwirken",
         "Frequenz",
         "Rufname",
         nullptr,
         {"Stadt", "Firma", "Anwenderart"},
         "Anwenderart",
         false,
         3,
         "Fernwirken",
         "#c0a000",
         false},
    };
    return a;
}

const Listenart::Art &Listenart::artVon(const QString &tabelle)
{
    const QString t = Frequenzdaten::tabelle(tabelle);
    for (const Art &a : arten())
        if (t == QLatin1String(a.tabelle))
            return a;
    throw DatenFehler(QStringLiteral("Unbekannte Tabelle %1.").arg(tabelle));
}

QString Listenart::q(const char *text)
{
    return QString::fromUtf8(text);
}

Listenart::Traeger Listenart::traeger(const Art &art, qint64 geschriebenHz)
{
    if (!art.kanalnamen)
        return {geschriebenHz, QString()};
    const Funkdienste::Kanal k = Funkdienste::flugfunk(geschriebenHz);
    return {k.hz, k.hz == geschriebenHz ? QString() : Frequenz::mhzText(geschriebenHz, QLatin1Char(','), art.stellen)};
}

QString Listenart::mitKanal(const QString &name, const QString &kanalname)
{
    if (kanalname.isEmpty())
        return name;
    const QString kanal = QStringLiteral("Kanal ") + kanalname;
    return name.isEmpty() ? kanal : name + QStringLiteral(" (") + kanal + QLatin1Char(')');
}

Listenart::Zurueck Listenart::zurueck(const Art &art, qint64 hz, const QString &name)
{
    QString rest = name.trimmed();
    qint64 geschrieben = hz;
    if (art.kanalnamen) {
        geschrieben = Funkdienste::flugfunkName(hz);
        // The channel the name gives, if it is the one on this carrier.
        static const QRegularExpression kanal(
            QStringLiteral("^(?:(.*) \\(Kanal ([0-9]+,[0-9]+)\\)|Kanal ([0-9]+,[0-9]+))$"));
        const QRegularExpressionMatch m = kanal.match(rest);
        if (m.hasMatch()) {
            const QString text = m.captured(2).isEmpty() ? m.captured(3) : m.captured(2);
            const std::optional<qint64> kanalHz = Frequenz::hertz(text);
            if (kanalHz && Funkdienste::flugfunk(*kanalHz).hz == hz) {
                geschrieben = *kanalHz;
                rest = m.captured(1).trimmed();
            }
        }
    }
    const QString frequenz = Frequenz::mhzText(geschrieben, QLatin1Char(','), art.stellen);
    if (rest == frequenz + QStringLiteral(" MHz"))
        rest.clear();
    return {frequenz, rest.isEmpty() ? Csv::Feld() : Csv::Feld(rest)};
}

QString Listenart::kurz(const QString &text)
{
    constexpr int hoechstens = 60;
    QString aus;
    for (const QChar c : text) {
        if (aus.size() >= hoechstens) {
            aus.chop(aus.at(aus.size() - 2).isHighSurrogate() ? 2 : 1);
            return aus + QChar(0x2026);
        }
        aus += c.isPrint() || c.isSurrogate() ? c : QLatin1Char(' ');
    }
    return aus;
}
