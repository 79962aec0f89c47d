// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QVector>

class QAbstractItemModel;
class QPagedPaintDevice;

// A table on paper: what a grid shows, every row of its model in the
// model's order, under the window's title and the date, with page numbers
// and the column headers repeated at the top of every page.
//
// The columns get the width their longest text needs. When they do not all
// fit across a portrait page, the page turns to landscape; when they do not
// fit there either, the widest columns are narrowed and their texts wrap
// onto further lines, so nothing is cut off. Room to spare is shared out
// among the columns in proportion to their widths.
class Tabellendruck
{
public:
    Tabellendruck(const QAbstractItemModel &modell, QString titel);

    // Sets the page up (orientation, margins), lays the rows out on pages and
    // paints them. False when the device cannot be painted on.
    bool drucken(QPagedPaintDevice &geraet);

    // After drucken(): the number of pages and whether they are landscape.
    int seiten() const { return m_seiten; }
    bool quer() const { return m_quer; }

    // The widths of columns that need the given widths, fitted to a width
    // that is there: all of them widened in proportion when there is room,
    // else the widest narrowed to one common width so that the sum fits.
    static QVector<double> breiten(const QVector<double> &noetig, double verfuegbar);

private:
    const QAbstractItemModel &m_modell;
    QString m_titel;
    int m_seiten = 0;
    bool m_quer = false;
};
