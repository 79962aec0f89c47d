// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/auswertung/eintragsmodell.h"

#include "kern/basis/datenfehler.h"
#include "kern/daten/recordset.h"

namespace {
// Fields of the list: 0 is the key, then the columns shown.
constexpr int Spalten = 5;
const char *const titel[Spalten] = {"Datum", "Uhrzeit", "CallSign", "Frequenz", "QTH"};
}

EintragsModell::EintragsModell(Liste liste, QObject *parent)
    : QAbstractTableModel(parent), m_liste(std::move(liste)) { }

void EintragsModell::zeigen()
{
    beginResetModel();
    m_zeigt = m_liste && m_liste();
    endResetModel();
}

void EintragsModell::leeren()
{
    beginResetModel();
    m_zeigt = false;
    endResetModel();
}

qint64 EintragsModell::id(int zeile) const
{
    if (!liste() || zeile < 0 || zeile >= rowCount())
        return -1;
    try {
        bool ok = false;
        const qint64 id = liste()->wert(zeile, 0).toLongLong(&ok);
        return ok ? id : -1;
    } catch (const DatenFehler &) {
        return -1;
    }
}

int EintragsModell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !liste() ? 0 : liste()->RecordCount();
}

int EintragsModell::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Spalten;
}

QVariant EintragsModell::data(const QModelIndex &index, int role) const
{
    if (!liste() || !index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    try {
        return liste()->wert(index.row(), index.column() + 1);
    } catch (const DatenFehler &) {
        return QVariant();   // a painting grid is no place for a message box
    }
}

QVariant EintragsModell::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Spalten)
        return QString::fromUtf8(titel[section]);
    return QVariant();
}
