// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/druck/tabellendruck.h"

#include "kern/druck/seitenrahmen.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

namespace {

// Rows looked at for the columns' widths; a longer table is measured by its
// beginning, and a longer text further down wraps.
constexpr int messZeilen = 5000;

QString zelle(const QAbstractItemModel &m, int zeile, int spalte)
{
    return m.index(zeile, spalte).data(Qt::DisplayRole).toString();
}

// A text wrapped into a width: at word boundaries, inside a word only where
// the word alone is wider than the column.
class Absatz
{
public:
    Absatz(const QString &text, const QFont &schrift, QPaintDevice *geraet, double breite)
        : m_layout(text, schrift, geraet)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout.setTextOption(option);
        m_layout.setCacheEnabled(true);
        m_layout.beginLayout();
        for (QTextLine z = m_layout.createLine(); z.isValid(); z = m_layout.createLine()) {
            z.setLineWidth(breite);
            z.setPosition(QPointF(0, m_hoehe));
            m_hoehe += z.height();
        }
        m_layout.endLayout();
        if (m_hoehe == 0)
            m_hoehe = QFontMetricsF(schrift, geraet).height();
    }
    double hoehe() const { return m_hoehe; }
    void zeichne(QPainter &maler, QPointF ort) const { m_layout.draw(&maler, ort); }

private:
    QTextLayout m_layout;
    double m_hoehe = 0;
};

}   // namespace

Tabellendruck::Tabellendruck(const QAbstractItemModel &modell, QString titel)
    : m_modell(modell), m_titel(std::move(titel))
{
}

QVector<double> Tabellendruck::breiten(const QVector<double> &noetig, double verfuegbar)
{
    const double summe = std::accumulate(noetig.begin(), noetig.end(), 0.0);
    if (noetig.isEmpty() || summe <= 0)
        return QVector<double>(noetig.size(), noetig.isEmpty() ? 0.0 : verfuegbar / noetig.size());
    QVector<double> b = noetig;
    if (summe <= verfuegbar) {
        for (double &x : b)
            x *= verfuegbar / summe;
        return b;
    }
    // The common width d of the narrowed columns: every column keeps
    // min(noetig, d), and the sum is the width there is.
    QVector<double> sortiert = noetig;
    std::sort(sortiert.begin(), sortiert.end());
    double schmal = 0;   // sum of the columns that keep their width
    double d = verfuegbar / sortiert.size();
    for (int i = 0; i < sortiert.size(); ++i) {
        const double rest = sortiert.size() - i;
        d = (verfuegbar - schmal) / rest;
        if (sortiert[i] > d)
            break;
        schmal += sortiert[i];
    }
    for (double &x : b)
        x = std::min(x, d);
    return b;
}

bool Tabellendruck::drucken(QPagedPaintDevice &geraet)
{
    const int spalten = m_modell.columnCount();
    const int zeilen = m_modell.rowCount();
    const QFont kopfSchrift = Seitenrahmen::schrift(9, true);
    const QFont schrift = Seitenrahmen::schrift(9);
    const QFontMetricsF kopfMass(kopfSchrift, &geraet);
    const QFontMetricsF mass(schrift, &geraet);

    QStringList koepfe;
    for (int s = 0; s < spalten; ++s)
        koepfe << m_modell.headerData(s, Qt::Horizontal, Qt::DisplayRole).toString();

    // The width each column needs, with its padding.
    seiteEinrichten(geraet, false);
    const double rand = Seitenrahmen(geraet, m_titel).mm(1.5);
    QVector<double> noetig(spalten);
    for (int s = 0; s < spalten; ++s) {
        double w = kopfMass.horizontalAdvance(koepfe[s]);
        for (int z = 0; z < std::min(zeilen, messZeilen); ++z)
            w = std::max(w, mass.horizontalAdvance(zelle(m_modell, z, s)));
        noetig[s] = w + 2 * rand + 1;
    }
    const double summe = std::accumulate(noetig.begin(), noetig.end(), 0.0);
    m_quer = summe > Seitenrahmen(geraet, m_titel).rumpf().width();
    seiteEinrichten(geraet, m_quer);

    const Seitenrahmen rahmen(geraet, m_titel);
    const QRectF rumpf = rahmen.rumpf();
    const QVector<double> breite = breiten(noetig, rumpf.width());
    QVector<double> links(spalten + 1, rumpf.left());
    for (int s = 0; s < spalten; ++s)
        links[s + 1] = links[s] + breite[s];
    const double innen = rahmen.mm(0.8);

    auto zeilenHoehe = [&](const QStringList &texte, const QFont &f) {
        double h = 0;
        for (int s = 0; s < spalten; ++s)
            h = std::max(h, Absatz(texte[s], f, &geraet, breite[s] - 2 * rand).hoehe());
        return h + 2 * innen;
    };
    auto texte = [&](int z) {
        QStringList t;
        for (int s = 0; s < spalten; ++s)
            t << zelle(m_modell, z, s);
        return t;
    };

    // The rows on the pages: each page begins with the column headers.
    const double kopfHoehe = zeilenHoehe(koepfe, kopfSchrift);
    QVector<double> hoehe(zeilen);
    QVector<int> seitenAnfang{0};
    double y = kopfHoehe;
    for (int z = 0; z < zeilen; ++z) {
        hoehe[z] = zeilenHoehe(texte(z), schrift);
        if (y + hoehe[z] > rumpf.height() && y > kopfHoehe) {
            seitenAnfang << z;
            y = kopfHoehe;
        }
        y += hoehe[z];
    }
    m_seiten = seitenAnfang.size();
    seitenAnfang << zeilen;

    QPainter maler;
    if (!maler.begin(&geraet))
        return false;
    const QPen linie(QColor(160, 160, 160), rahmen.mm(0.15));
    auto zeichneZeile = [&](const QStringList &t, const QFont &f, double oben, double h) {
        for (int s = 0; s < spalten; ++s)
            Absatz(t[s], f, &geraet, breite[s] - 2 * rand).zeichne(maler, QPointF(links[s] + rand, oben + innen));
        maler.setPen(linie);
        maler.drawLine(QPointF(rumpf.left(), oben + h), QPointF(links[spalten], oben + h));
        maler.setPen(Qt::black);
    };
    for (int seite = 0; seite < m_seiten; ++seite) {
        if (seite > 0)
            geraet.newPage();
        rahmen.zeichne(maler, seite + 1, m_seiten);
        maler.save();
        maler.setClipRect(rumpf);
        maler.fillRect(QRectF(rumpf.left(), rumpf.top(), links[spalten] - rumpf.left(), kopfHoehe),
                       QColor(225, 225, 225));
        zeichneZeile(koepfe, kopfSchrift, rumpf.top(), kopfHoehe);
        double oben = rumpf.top() + kopfHoehe;
        for (int z = seitenAnfang[seite]; z < seitenAnfang[seite + 1]; ++z) {
            zeichneZeile(texte(z), schrift, oben, hoehe[z]);
            oben += hoehe[z];
        }
        maler.restore();
    }
    return maler.end();
}
