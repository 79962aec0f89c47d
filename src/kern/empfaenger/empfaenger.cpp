// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/empfaenger.h"

#include "kern/basis/frequenz.h"

QString EmpfaengerZustand::sichtbar(QString text)
{
    for (QChar &c : text)
        if (!c.isPrint() || c == QChar::ReplacementCharacter)
            c = QChar(0x00B7);
    return text;
}

QString EmpfaengerZustand::statusText() const
{
    return sichtbar(statusTextRoh());
}

QString EmpfaengerZustand::warumNicht() const
{
    return sichtbar(warumNichtRoh());
}

QString EmpfaengerZustand::statusTextRoh() const
{
    switch (art) {
    case Art::NichtVerbunden: return QStringLiteral("Empfänger: nicht verbunden");
    case Art::Verbinde: return QStringLiteral("Empfänger: verbinde mit %1 \u2026").arg(adresse);
    case Art::Verbunden: {
        QString text = hz > 0 ? QStringLiteral("Empfänger: %1 MHz").arg(Frequenz::mhzText(hz))
                              : QStringLiteral("Empfänger: Frequenz unbekannt");
        if (!modus.isEmpty())
            text += QLatin1Char(' ') + modus;
        text += QStringLiteral(" (%1)").arg(adresse);
        if (!grund.isEmpty())
            text += QStringLiteral(" \u2013 ") + grund;
        return text;
    }
    case Art::Getrennt:
        return QStringLiteral("Empfänger getrennt (%1): %2 \u2013 neuer Versuch alle %3 s")
            .arg(adresse, grund, QString::number(wiederholungSekunden));
    }
    return QString();
}

QString EmpfaengerZustand::warumNichtRoh() const
{
    switch (art) {
    case Art::NichtVerbunden:
        return QStringLiteral("Kein Empfänger verbunden \u2013 Empfänger \u2192 Verbinden \u2026");
    case Art::Verbinde: return QStringLiteral("Der Empfänger auf %1 antwortet noch nicht.").arg(adresse);
    case Art::Verbunden: return QString();
    case Art::Getrennt: return QStringLiteral("Die Verbindung zum Empfänger ist getrennt: %1.").arg(grund);
    }
    return QString();
}

QString logModulation(const QString &modus)
{
    QString m = modus.trimmed().toUpper();
    if (m.startsWith(QLatin1String("PKT")))
        m = m.mid(3);
    if (m.endsWith(QLatin1String("-D")))
        m.chop(2);
    if (m == QLatin1String("FMN"))
        return QStringLiteral("FM");
    if (m == QLatin1String("AMN") || m == QLatin1String("AMS"))
        return QStringLiteral("AM");
    if (m == QLatin1String("CWR"))
        return QStringLiteral("CW");
    if (m == QLatin1String("RTTYR"))
        return QStringLiteral("RTTY");
    return m;
}
