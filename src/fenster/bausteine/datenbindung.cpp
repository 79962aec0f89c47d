// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/datenbindung.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"
#include "kern/basis/datenfehler.h"
#include "kern/daten/adodc.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTableView>

namespace {

// Keeps a grid's current row and its data view's current record together;
// lives as long as the grid.
class GridFolger : public QObject
{
public:
    GridFolger(Adodc *daten, QTableView *grid) : QObject(grid), m_daten(daten), m_grid(grid)
    {
        connect(daten, &Adodc::aktuelleZeileGeaendert, this, [this] { folgen(); });
        connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex &jetzt, const QModelIndex &) { gewechselt(jetzt); });
    }

private:
    void gewechselt(const QModelIndex &jetzt)
    {
        // The grid's own moves while its rows change, or while it is set
        // here, are not the user's.
        if (m_setzt || !m_daten || m_daten->umbau())
            return;
        const int zeile = jetzt.isValid() ? jetzt.row() : -1;
        if (zeile == m_daten->aktuelleZeile() && !m_daten->istNeu())
            return;
        try {
            m_daten->setAktuelleZeile(zeile);
        } catch (const DatenFehler &f) {
            // The record being left keeps its input and stays current.
            QMetaObject::invokeMethod(
                this, [this] { folgen(); }, Qt::QueuedConnection);
            Meldung::fehler(f);
        }
    }

    void folgen()
    {
        if (!m_grid || !m_daten)
            return;
        m_setzt = true;
        auto *sel = m_grid->selectionModel();
        const int zeile = m_daten->aktuelleZeile();
        if (zeile >= 0) {
            const QModelIndex i = m_grid->model()->index(zeile, std::max(0, m_grid->currentIndex().column()));
            sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        } else {
            sel->clearSelection();
            sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        m_setzt = false;
    }

    QPointer<Adodc> m_daten;
    QPointer<QTableView> m_grid;
    bool m_setzt = false;
};

}   // namespace

void Datenbindung::grid(Adodc *daten, QTableView *grid, const QVector<GridSpalte> &spalten)
{
    QVector<ModellSpalte> modellSpalten;
    for (const GridSpalte &s : spalten)
        modellSpalten.append({s.titel, s.feld});
    daten->modell()->setzeSpalten(modellSpalten);
    grid->setModel(daten->modell());
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < spalten.size(); ++i)
        grid->setColumnWidth(i, Geometrie::twips(spalten[i].breiteTwips));
    new GridFolger(daten, grid);
}

void Datenbindung::nurZeilen(QTableView *tabelle)
{
    tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle->verticalHeader()->hide();
    tabelle->setWordWrap(false);
    tabelle->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tabelle->horizontalHeader()->setStretchLastSection(true);
}

void Datenbindung::breitenMerken(QTableView *grid, const QString &name)
{
    const QString schluessel = QStringLiteral("Spaltenbreiten/") + name;
    QHeaderView *kopf = grid->horizontalHeader();
    const QVariantList gemerkt = QSettings().value(schluessel).toList();
    if (gemerkt.size() == kopf->count()) {
        for (int i = 0; i < gemerkt.size(); ++i) {
            bool zahl = false;
            const int twips = gemerkt[i].toInt(&zahl);
            // From a sliver to about two screens wide.
            if (zahl && twips >= 60 && twips <= 60000)
                grid->setColumnWidth(i, Geometrie::twips(twips));
        }
    }
    // Written when the window closes, not at every step of a drag.
    auto breiten = std::make_shared<QVariantList>();
    QObject::connect(kopf, &QHeaderView::sectionResized, grid, [grid, breiten] {
        breiten->clear();
        for (int i = 0; i < grid->horizontalHeader()->count(); ++i)
            breiten->append(Geometrie::inTwips(grid->columnWidth(i)));
    });
    QObject::connect(grid, &QObject::destroyed, [schluessel, breiten] {
        if (!breiten->isEmpty())
            QSettings().setValue(schluessel, *breiten);
    });
}

void Datenbindung::feld(Adodc *daten, QLineEdit *feld, const QString &feldName)
{
    auto gezeigt = std::make_shared<QString>();
    QPointer<QLineEdit> f(feld);
    daten->binde(Adodc::Bindung{
        feldName,
        [f]() -> QVariant {
            if (!f || f->text().isEmpty())
                return QVariant();
            return f->text();
        },
        [f, gezeigt](const QVariant &v) {
            *gezeigt = v.toString();
            if (f) {
                f->setText(*gezeigt);
                f->setCursorPosition(0);
            }
        },
        [f, gezeigt]() { return f && f->text() != *gezeigt; },
    });
}

void Datenbindung::fehlerMelden(Adodc *daten)
{
    QObject::connect(daten, &Adodc::fehler, daten, [](const DatenFehler &f) { Meldung::fehler(f); });
}
