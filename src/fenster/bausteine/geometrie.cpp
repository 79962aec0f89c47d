// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/geometrie.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {
double pixelJeTwip()
{
    double dpi = 96.0;
    if (const QScreen *s = QGuiApplication::primaryScreen())
        dpi = s->logicalDotsPerInch();
    if (dpi < 48.0 || dpi > 480.0)
        dpi = 96.0;
    return dpi / 1440.0;
}
}

int Geometrie::twips(int twips)
{
    return int(std::lround(twips * pixelJeTwip()));
}

int Geometrie::inTwips(int pixel)
{
    return int(std::lround(pixel / pixelJeTwip()));
}

QRect Geometrie::rechteck(int links, int oben, int breite, int hoehe)
{
    const int l = twips(links), o = twips(oben);
    // Right and bottom edges are converted too, so adjacent controls stay
    // adjacent whatever the rounding.
    return QRect(l, o, twips(links + breite) - l, twips(oben + hoehe) - o);
}

void Geometrie::setze(QWidget *w, int links, int oben, int breite, int hoehe)
{
    w->setGeometry(rechteck(links, oben, breite, hoehe));
}

void Geometrie::festeGroesse(QWidget *w, int breite, int hoehe)
{
    w->setFixedSize(twips(breite), twips(hoehe));
}

QFont Geometrie::schrift(const QString &name, double punkt, bool fett)
{
    QString familie = QStringLiteral("Liberation Sans");
    if (name.compare(QLatin1String("Verdana"), Qt::CaseInsensitive) == 0)
        familie = QStringLiteral("DejaVu Sans");
    // Arial keeps its name, so that what is stored with a formatted text
    // (the log's remark) names Arial; it is drawn with Liberation Sans.
    else if (name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        familie = QStringLiteral("Arial");
    QFont f(familie);
    f.setPointSizeF(punkt);
    f.setBold(fett);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont Geometrie::standardSchrift()
{
    return schrift(QStringLiteral("MS Sans Serif"), 8.25);
}
