// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/suchkanal.h"

#include "kern/basis/frequenz.h"
#include "kern/bestaende/logdatum.h"
#include "kern/bestaende/logeintrag.h"
#include "kern/empfaenger/rigctlprotokoll.h"
#include "kern/formate/csv.h"

#include <QLocale>

void Kanalliste::zeile(const QString &frequenz, const QString &ort, const QString &rufname)
{
    const std::optional<qint64> geschrieben = Frequenz::hertz(frequenz);
    const qint64 hz = geschrieben ? Funkdienste::traeger(m_dienst, *geschrieben) : 0;
    if (!geschrieben || !Rigctl::moeglich(hz)) {
        ++m_ohneFrequenz;
        return;
    }
    const auto it = m_index.constFind(hz);
    if (it != m_index.constEnd()) {
        ++m_kanaele[*it].zeilen;
        return;
    }
    m_index.insert(hz, m_kanaele.size());
    Suchkanal k;
    k.frequenzText = frequenz.trimmed();
    k.hz = hz;
    k.modulation = Funkdienste::modulation(m_dienst);
    k.ort = ort.trimmed();
    k.rufname = rufname.trimmed();
    m_kanaele.append(k);
}

QString Suchtreffer::modulation() const
{
    return kanal.modulation == Modulation::Am ? QStringLiteral("AM") : QStringLiteral("FM");
}

QString Suchtreffer::staerkeText() const
{
    if (art == Signalart::Rauschsperre)
        return QStringLiteral("offen");
    if (!hoechsteDb)
        return QString();
    return (*hoechsteDb < 0 ? QStringLiteral("\u2212") : QString()) + QString::number(std::abs(*hoechsteDb))
           + QStringLiteral(" dB");
}

QString Suchtreffer::dauerText() const
{
    return QLocale(QLocale::German, QLocale::Germany).toString(double(dauerMs) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QHash<QString, QString> Suchtreffer::logWerte() const
{
    const QStringList &spalten = Logeintrag::spalten();
    QHash<QString, QString> w;
    auto setze = [&](Logeintrag::Spalte s, const QString &wert) {
        if (!wert.isEmpty())
            w.insert(spalten.at(s), wert);
    };
    setze(Logeintrag::frequenz, Frequenz::mhzText(kanal.hz));
    setze(Logeintrag::band, modulation());
    setze(Logeintrag::ort, kanal.ort);
    setze(Logeintrag::callsign, kanal.rufname);
    setze(Logeintrag::datum, Logdatum::datumText(zeit.date()));
    setze(Logeintrag::uhrzeit, Logdatum::zeitText({zeit.time(), false}));
    return w;
}

QByteArray Treffertabelle::csv(const QVector<Suchtreffer> &treffer)
{
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    Csv::Dialekt d;
    d.trenner = ';';
    d.zeilenende = "\r\n";
    // Nothing to say is an empty cell, not "" in quotes.
    auto feld = [](const QString &text) { return text.isEmpty() ? Csv::Feld() : Csv::Feld(text); };
    QList<Csv::Zeile> zeilen;
    zeilen.reserve(treffer.size());
    for (auto it = treffer.crbegin(); it != treffer.crend(); ++it) {
        const Suchtreffer &t = *it;
        const QString staerke = t.art == Signalart::Rauschsperre
                                    ? QStringLiteral("offen")
                                    : (t.hoechsteDb ? QString::number(*t.hoechsteDb) : QString());
        zeilen.append({feld(deutsch.toString(t.zeit, QStringLiteral("dd.MM.yyyy HH:mm:ss"))),
                       feld(t.kanal.frequenzText), feld(t.modulation()), feld(t.kanal.ort), feld(t.kanal.rufname),
                       feld(staerke), feld(deutsch.toString(double(t.dauerMs) / 1000.0, 'f', 1))});
    }
    const QStringList kopf{QStringLiteral("Zeit"),     QStringLiteral("Frequenz"), QStringLiteral("Modulation"),
                           QStringLiteral("Ort"),      QStringLiteral("Rufname"),  QStringLiteral("Stärke (dB)"),
                           QStringLiteral("Dauer (s)")};
    return QByteArray("\xEF\xBB\xBF") + Csv::schreiben(kopf, zeilen, d);
}
