// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractTableModel>

#include <functional>

class Recordset;

// The records behind a bar, as the statistics window lists them: date, time,
// call sign, frequency and place, read from the statistics' current list as
// the grid scrolls to them. The list comes from a function, as it lives in
// the statistics, not here.
class EintragsModell : public QAbstractTableModel
{
    Q_OBJECT
public:
    using Liste = std::function<Recordset *()>;
    EintragsModell(Liste liste, QObject *parent);

    // The grid shows the current list anew, or nothing (leeren() must come
    // before the list ends).
    void zeigen();
    void leeren();
    // The key of the record in a row, or -1.
    qint64 id(int zeile) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    Recordset *liste() const { return m_zeigt ? m_liste() : nullptr; }

    Liste m_liste;
    bool m_zeigt = false;
};
