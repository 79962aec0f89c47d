// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// The frame of every printed page: the title and the date at the top, the
// page number at the bottom, and between them the body that a table or a
// record fills. All lengths are in the device's pixels; the painter's origin
// is the top left corner of the page's printable area.
class Seitenrahmen
{
public:
    // The margins every page keeps, in millimetres.
    static constexpr double randMm = 12.0;

    Seitenrahmen(const QPagedPaintDevice &geraet, QString titel, QDateTime zeit = QDateTime::currentDateTime());

    // Millimetres as device pixels.
    double mm(double millimeter) const;
    // Where the page's content goes.
    QRectF rumpf() const { return m_rumpf; }
    // Draws title, date and "Seite n von m" (n counted from 1).
    void zeichne(QPainter &maler, int seite, int seiten) const;

    // The text fonts of the printout; point sizes, so they suit any device.
    static QFont schrift(double punkt = 9, bool fett = false);

private:
    const QPagedPaintDevice &m_geraet;
    QString m_titel;
    QString m_datum;
    QRectF m_seite;
    QRectF m_rumpf;
    double m_kopfHoehe = 0;
    double m_fussHoehe = 0;
};

// Sets the margins of a page and the orientation, before painting begins.
void seiteEinrichten(QPagedPaintDevice &geraet, bool quer);
