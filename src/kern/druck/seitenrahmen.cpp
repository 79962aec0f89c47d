// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/druck/seitenrahmen.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

void seiteEinrichten(QPagedPaintDevice &geraet, bool quer)
{
    geraet.setPageOrientation(quer ? QPageLayout::Landscape : QPageLayout::Portrait);
    const double r = Seitenrahmen::randMm;
    geraet.setPageMargins(QMarginsF(r, r, r, r), QPageLayout::Millimeter);
}

QFont Seitenrahmen::schrift(double punkt, bool fett)
{
    // Arial is drawn with Liberation Sans, which has its metrics and every
    // German letter.
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(punkt);
    f.setBold(fett);
    f.setKerning(false);
    return f;
}

Seitenrahmen::Seitenrahmen(const QPagedPaintDevice &geraet, QString titel, QDateTime zeit)
    : m_geraet(geraet),
      m_titel(titel.simplified()),
      m_datum(QLocale(QLocale::German, QLocale::Germany).toString(zeit, QStringLiteral("dd.MM.yyyy HH:mm")))
{
    const QRect druckbar = geraet.pageLayout().paintRectPixels(geraet.logicalDpiX());
    m_seite = QRectF(0, 0, druckbar.width(), druckbar.height());
    m_kopfHoehe = QFontMetricsF(schrift(12, true), &m_geraet).height() + mm(4);
    m_fussHoehe = QFontMetricsF(schrift(8), &m_geraet).height() + mm(3);
    m_rumpf = m_seite.adjusted(0, m_kopfHoehe, 0, -m_fussHoehe);
}

double Seitenrahmen::mm(double millimeter) const
{
    return millimeter * m_geraet.logicalDpiX() / 25.4;
}

void Seitenrahmen::zeichne(QPainter &maler, int seite, int seiten) const
{
    maler.save();
    const QFont titel = schrift(12, true);
    const QFont klein = schrift(8);
    const double kopf = QFontMetricsF(titel, &m_geraet).height();
    maler.setPen(Qt::black);

    maler.setFont(klein);
    const double datumBreite = QFontMetricsF(klein, &m_geraet).horizontalAdvance(m_datum) + mm(2);
    maler.drawText(QRectF(m_seite.right() - datumBreite, 0, datumBreite, kopf), Qt::AlignRight | Qt::AlignBottom,
                   m_datum);
    maler.setFont(titel);
    const QRectF titelFeld(0, 0, m_seite.width() - datumBreite - mm(4), kopf);
    maler.drawText(titelFeld, Qt::AlignLeft | Qt::AlignBottom,
                   QFontMetricsF(titel, &m_geraet).elidedText(m_titel, Qt::ElideRight, titelFeld.width()));
    maler.setPen(QPen(Qt::black, mm(0.3)));
    maler.drawLine(QPointF(0, kopf + mm(1)), QPointF(m_seite.right(), kopf + mm(1)));

    maler.setFont(klein);
    maler.setPen(Qt::black);
    maler.drawText(QRectF(0, m_seite.bottom() - m_fussHoehe, m_seite.width(), m_fussHoehe),
                   Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Seite %1 von %2").arg(seite).arg(seiten));
    maler.restore();
}
