// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/auswertung/balkendiagramm.h"

#include "kern/basis/dateikopie.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QHorizontalBarSeries>
#include <QLocale>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>

#include <cmath>

using Reihe = Statistik::Reihe;

namespace {

const QColor balkenFarbe(47, 109, 179);
const QColor gewaehltFarbe(230, 126, 34);

// A value axis from 0 in whole numbers, with a round step.
QValueAxis *zahlenAchse(qint64 hoechster)
{
    qint64 schritt = 1;
    for (qint64 basis = 1;; basis *= 10) {
        const qint64 stufen[] = {basis, 2 * basis, 5 * basis};
        bool gefunden = false;
        for (qint64 s : stufen) {
            if (hoechster <= 5 * s) {
                schritt = s;
                gefunden = true;
                break;
            }
        }
        if (gefunden)
            break;
    }
    const qint64 oben = std::max<qint64>(1, (hoechster + schritt - 1) / schritt) * schritt;
    auto *a = new QValueAxis;
    a->setRange(0, double(oben));
    a->setTickCount(int(oben / schritt) + 1);
    a->setLabelFormat(QStringLiteral("%d"));
    return a;
}

// The axis of the months: each month's short name while they are few, else
// the years, each under its months; when even those are too many, blocks of
// years ("2004–07").
QAbstractAxis *monatsAchse(const QVector<Statistik::Balken> &balken, int breite)
{
    const QLocale deutsch(QLocale::German);
    if (balken.size() <= 14) {
        auto *a = new QBarCategoryAxis;
        for (const Statistik::Balken &b : balken) {
            const QDate m = QDate::fromString(b.schluessel + QStringLiteral("-01"), Qt::ISODate);
            a->append(deutsch.standaloneMonthName(m.month(), QLocale::ShortFormat).remove(QLatin1Char('.'))
                      + m.toString(QStringLiteral(" yy")));
        }
        return a;
    }
    auto *a = new QCategoryAxis;
    a->setStartValue(-0.5);
    a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    const double jeJahr = 12.0 * std::max(100, breite) / balken.size();
    int jedes = 1;
    while (jedes * jeJahr < (jedes == 1 ? 36 : 56))
        jedes = jedes == 1 ? 2 : jedes == 2 ? 5 : jedes * 2;
    QString leer;     // labels must differ: blanks of different lengths
    int anfang = 0;   // the first bar of the block
    for (int i = 0; i < balken.size(); ++i) {
        const int jahr = balken[i].schluessel.left(4).toInt();
        const bool letzter = i + 1 == balken.size();
        if (!letzter && !(balken[i].schluessel.endsWith(QLatin1String("-12")) && (jahr + 1) % jedes == 0))
            continue;
        // The block ends at bar i; one of a few months only is not labelled.
        const int erstesJahr = balken[anfang].schluessel.left(4).toInt();
        QString text = QString::number(erstesJahr);
        if (jahr != erstesJahr)
            text += QChar(0x2013) + QString::number(jahr % 100).rightJustified(2, QLatin1Char('0'));
        if ((i - anfang + 1) * jeJahr / 12.0 < (jahr != erstesJahr ? 50 : 30))
            text = (leer += QLatin1Char(' '));
        a->append(text, i + 0.5);
        anfang = i + 1;
    }
    a->setRange(-0.5, balken.size() - 0.5);
    return a;
}

// Category names for an axis: shortened where long, and all different.
QStringList namen(const QStringList &texte)
{
    QStringList aus;
    for (const QString &t : texte) {
        QString n = t.size() > 24 ? t.left(23) + QChar(0x2026) : t;
        while (aus.contains(n))
            n += QChar(0x200B);
        aus << n;
    }
    return aus;
}

}   // namespace

QChart *Balkendiagramm::bauen(const QVector<Statistik::Balken> &alle, const Angaben &a, QObject *kontext,
                              const std::function<void(int)> &klick)
{
    const Reihe reihe = a.reihe;
    const int n = a.hoechstens > 0 ? std::min<int>(a.hoechstens, int(alle.size())) : int(alle.size());

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->setBackgroundRoundness(0);
    chart->setTitle(a.titel);
    chart->setTitleFont(a.titelSchrift);
    auto *satz = new QBarSet(QStringLiteral("Empfänge"));
    satz->setColor(balkenFarbe);
    satz->setBorderColor(balkenFarbe.darker(115));
    satz->setSelectedColor(gewaehltFarbe);
    qint64 hoechster = 0;
    QStringList texte;
    // Lying bars are drawn from the bottom up: the first one goes last, on top.
    for (int i = 0; i < n; ++i) {
        const int b = a.waagerecht ? n - 1 - i : i;
        satz->append(double(alle[b].anzahl));
        texte << alle[b].text;
        hoechster = std::max(hoechster, alle[b].anzahl);
    }
    QAbstractBarSeries *serie = a.waagerecht ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                             : static_cast<QAbstractBarSeries *>(new QBarSeries);
    serie->append(satz);
    serie->setBarWidth(a.waagerecht ? 0.7 : 0.8);
    chart->addSeries(serie);

    QAbstractAxis *namensAchse = nullptr;
    if (reihe == Reihe::Monat && n > 0) {
        namensAchse = monatsAchse(alle, a.breite);
    } else {
        auto *k = new QBarCategoryAxis;
        if (reihe == Reihe::Stunde) {
            for (int h = 0; h < n; ++h)
                k->append(QString::number(h));
        } else if (reihe == Reihe::Wochentag) {
            for (int t = 1; t <= n; ++t)
                k->append(QLocale(QLocale::German).standaloneDayName(t, QLocale::ShortFormat).left(2));
        } else {
            k->append(namen(texte));
        }
        namensAchse = k;
    }
    QValueAxis *zahlAchse = zahlenAchse(hoechster);
    chart->addAxis(namensAchse, a.waagerecht ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(zahlAchse, a.waagerecht ? Qt::AlignBottom : Qt::AlignLeft);
    serie->attachAxis(namensAchse);
    serie->attachAxis(zahlAchse);
    namensAchse->setGridLineVisible(reihe == Reihe::Monat && n > 14);

    QObject::connect(satz, &QBarSet::clicked, kontext,
                     [klick, n, waagerecht = a.waagerecht](int index) { klick(waagerecht ? n - 1 - index : index); });
    return chart;
}

void Balkendiagramm::markieren(QChart *chart, bool waagerecht, int index)
{
    for (QAbstractSeries *s : chart->series()) {
        auto *serie = qobject_cast<QAbstractBarSeries *>(s);
        if (!serie || serie->barSets().isEmpty())
            continue;
        QBarSet *satz = serie->barSets().first();
        satz->deselectAllBars();
        const int n = satz->count();
        const int i = waagerecht ? n - 1 - index : index;
        if (index >= 0 && i >= 0 && i < n)
            satz->selectBar(i);
    }
}

Ergebnis<> Balkendiagramm::speichern(QChartView *v, const QString &datei)
{
    const bool svg = QFileInfo(datei).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    // Drawn in memory first and then put in place whole.
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    bool ok;
    if (svg) {
        QSvgGenerator bild;
        bild.setOutputDevice(&puffer);
        bild.setSize(v->size());
        bild.setViewBox(QRect(QPoint(0, 0), v->size()));
        bild.setTitle(v->chart()->title());
        bild.setDescription(QStringLiteral("tremvik-tool"));
        QPainter maler;
        ok = maler.begin(&bild);
        if (ok) {
            v->render(&maler);
            maler.end();
        }
    } else {
        ok = v->grab().toImage().save(&puffer, "PNG");
    }
    if (!ok)
        return Ergebnis<>::fehler(QStringLiteral("Das Bild kann nicht erzeugt werden."));
    return Dateikopie::schreibe(datei, puffer.data());
}
