#include "data/adodc.h"

#include "data/datenfehler.h"
#include "shell/geometrie.h"
#include "shell/meldung.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

AdodcModell::AdodcModell(Adodc *daten, QVector<GridSpalte> spalten, QObject *parent)
    : QAbstractTableModel(parent), m_daten(daten), m_spalten(std::move(spalten)), m_feld(m_spalten.size(), -1)
{
}

int AdodcModell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_daten->RecordCount();
}

int AdodcModell::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_spalten.size();
}

QVariant AdodcModell::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !m_daten->recordset())
        return QVariant();
    try {
        m_daten->planeAnhalten();
        return m_daten->recordset()->wert(index.row(), m_feld.value(index.column(), -1));
    } catch (const DatenFehler &) {
        return QVariant();   // a painting grid is no place for a message box
    }
}

QVariant AdodcModell::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_spalten.size())
        return m_spalten[section].titel;
    return QVariant();
}

Adodc::Adodc(const QString &verbindungsText, const QString &recordSource, Verbindung::Zugriff zugriff, QObject *parent)
    : QObject(parent), m_verbindungsText(verbindungsText), m_recordSource(recordSource), m_zugriff(zugriff)
{
    setObjectName(QStringLiteral("Adodc1"));
}

Adodc::~Adodc()
{
    if (m_modell)
        m_modell->beginResetModel();
    m_rs.reset();   // statements before their connection
    m_verbindung.reset();
    if (m_modell)
        m_modell->endResetModel();
}

void Adodc::verbinde()
{
    if (!m_verbindung)
        m_verbindung = std::make_unique<Verbindung>(m_verbindungsText, m_zugriff);
}

void Adodc::Refresh()
{
    if (hatAenderungen())
        Update();
    verbinde();
    auto neu = std::make_unique<Recordset>(m_verbindung->handle(), m_recordSource);
    if (m_modell)
        m_modell->beginResetModel();
    m_rs = std::move(neu);
    m_neu = false;
    m_zeile = m_rs->RecordCount() > 0 ? 0 : -1;
    if (m_modell) {
        for (int i = 0; i < m_modell->m_spalten.size(); ++i)
            m_modell->m_feld[i] = m_rs->feldIndex(m_modell->m_spalten[i].feld);
        m_modell->endResetModel();
    }
    zeigeAktuellenDatensatz();
    gridFolgen();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

void Adodc::zeige(const QString &sql)
{
    const QString vorher = m_recordSource;
    m_recordSource = sql;
    try {
        Refresh();
    } catch (...) {
        m_recordSource = vorher;
        throw;
    }
}

bool Adodc::hatAenderungen() const
{
    if (m_neu) {
        for (const Bindung &b : m_bindungen)
            if (!b.lesen().isNull())
                return true;
        return false;
    }
    if (m_zeile < 0)
        return false;
    for (const Bindung &b : m_bindungen)
        if (b.geaendert())
            return true;
    return false;
}

void Adodc::setAktuelleZeile(int zeile)
{
    if (!m_rs)
        return;
    if (zeile < 0 || zeile >= m_rs->RecordCount())
        zeile = -1;
    if (zeile == m_zeile && !m_neu)
        return;
    if (hatAenderungen())
        Update();
    m_neu = false;
    m_zeile = zeile;
    zeigeAktuellenDatensatz();
    gridFolgen();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

QHash<int, QVariant> Adodc::eingaben(bool nurGeaenderte) const
{
    QHash<int, QVariant> werte;
    for (const Bindung &b : m_bindungen) {
        if (nurGeaenderte && !b.geaendert())
            continue;
        const int f = m_rs->feldIndex(b.feld);
        if (f >= 0)
            werte.insert(f, b.lesen());
    }
    return werte;
}

void Adodc::AddNew()
{
    if (!m_rs)
        throw KeinDatensatz();
    if (hatAenderungen())
        Update();
    if (!m_rs->beschreibbar())
        throw DatenFehler(QStringLiteral("Diese Daten können nicht geändert werden."));
    m_zeileVorNeu = m_zeile;
    m_neu = true;
    m_zeile = -1;
    for (const Bindung &b : m_bindungen)
        b.zeigen(QVariant());
    gridFolgen();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

void Adodc::Update()
{
    if (!m_rs)
        throw KeinDatensatz();
    if (m_neu) {
        const int zeile = [&] {
            QHash<int, QVariant> werte = eingaben(false);
            if (m_modell) {
                const int n = m_rs->RecordCount();
                m_gridWirdGesetzt = true;
                m_modell->beginInsertRows(QModelIndex(), n, n);
                try {
                    const int z = m_rs->einfuegen(werte);
                    m_modell->endInsertRows();
                    m_gridWirdGesetzt = false;
                    return z;
                } catch (...) {
                    gridZuruecksetzen([this] { m_modell->endInsertRows(); });
                    throw;
                }
            }
            return m_rs->einfuegen(werte);
        }();
        m_neu = false;
        m_zeile = zeile;
        zeigeAktuellenDatensatz();
        gridFolgen();
        Q_EMIT aktuelleZeileGeaendert(m_zeile);
        return;
    }
    if (m_zeile < 0)
        throw KeinDatensatz();
    const QHash<int, QVariant> werte = eingaben(true);
    if (werte.isEmpty())
        return;
    m_rs->aendern(m_zeile, werte);
    zeigeAktuellenDatensatz();
    if (m_modell)
        Q_EMIT m_modell->dataChanged(m_modell->index(m_zeile, 0),
                                     m_modell->index(m_zeile, m_modell->columnCount() - 1));
}

void Adodc::Delete()
{
    if (m_neu) {
        Cancel();
        return;
    }
    if (!m_rs || m_zeile < 0)
        throw KeinDatensatz();
    const int zeile = m_zeile;
    // While the row goes, the grid moves its own current row away from it;
    // that is not the user leaving the record.
    m_gridWirdGesetzt = true;
    if (m_modell)
        m_modell->beginRemoveRows(QModelIndex(), zeile, zeile);
    try {
        m_rs->loeschen(zeile);
    } catch (...) {
        if (m_modell)
            gridZuruecksetzen([this] { m_modell->endRemoveRows(); });
        m_gridWirdGesetzt = false;
        throw;
    }
    if (m_modell)
        m_modell->endRemoveRows();
    m_gridWirdGesetzt = false;
    // The next row becomes current, or the previous one at the end.
    const int n = m_rs->RecordCount();
    m_zeile = n == 0 ? -1 : std::min(zeile, n - 1);
    zeigeAktuellenDatensatz();
    gridFolgen();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

void Adodc::Cancel()
{
    if (m_neu) {
        m_neu = false;
        m_zeile = m_rs && m_zeileVorNeu < m_rs->RecordCount() ? m_zeileVorNeu : -1;
        gridFolgen();
        Q_EMIT aktuelleZeileGeaendert(m_zeile);
    }
    zeigeAktuellenDatensatz();
}

void Adodc::planeAnhalten() const
{
    if (m_anhaltenGeplant || !m_rs)
        return;
    m_anhaltenGeplant = true;
    QMetaObject::invokeMethod(
        const_cast<Adodc *>(this),
        [this] {
            m_anhaltenGeplant = false;
            if (m_rs)
                m_rs->anhalten();
        },
        Qt::QueuedConnection);
}

void Adodc::zeigeAktuellenDatensatz()
{
    planeAnhalten();
    if (m_neu)
        return;
    for (const Bindung &b : m_bindungen) {
        QVariant v;
        if (m_rs && m_zeile >= 0) {
            try {
                v = m_rs->wert(m_zeile, m_rs->feldIndex(b.feld));
            } catch (const DatenFehler &) {
            }
        }
        b.zeigen(v);
    }
}

void Adodc::binde(const Bindung &bindung)
{
    m_bindungen.append(bindung);
}

void Adodc::binde(QLineEdit *feld, const QString &feldName)
{
    auto gezeigt = std::make_shared<QString>();
    QPointer<QLineEdit> f(feld);
    binde(Bindung{
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

void Adodc::bindeGrid(QTableView *grid, const QVector<GridSpalte> &spalten)
{
    m_grid = grid;
    m_modell = new AdodcModell(this, spalten, this);
    if (m_rs)
        for (int i = 0; i < spalten.size(); ++i)
            m_modell->m_feld[i] = m_rs->feldIndex(spalten[i].feld);
    grid->setModel(m_modell);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < spalten.size(); ++i)
        grid->setColumnWidth(i, Geometrie::twips(spalten[i].breiteTwips));

    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &jetzt, const QModelIndex &) {
                if (m_gridWirdGesetzt)
                    return;
                const int zeile = jetzt.isValid() ? jetzt.row() : -1;
                if (zeile == m_zeile && !m_neu)
                    return;
                try {
                    setAktuelleZeile(zeile);
                } catch (const DatenFehler &f) {
                    // The record being left keeps its input and stays current.
                    QMetaObject::invokeMethod(
                        this, [this] { gridFolgen(); }, Qt::QueuedConnection);
                    Meldung::fehler(f);
                }
            });
}

void Adodc::gridZuruecksetzen(const std::function<void()> &ende)
{
    // An insert or delete that failed: the grid was told of a row that did
    // not come or go. It reads the rows anew and stays on the current record,
    // without taking its own moves for a move of the user.
    m_gridWirdGesetzt = true;
    ende();
    m_modell->beginResetModel();
    m_modell->endResetModel();
    gridFolgen();
}

void Adodc::gridFolgen()
{
    if (!m_grid || !m_modell)
        return;
    m_gridWirdGesetzt = true;
    auto *sel = m_grid->selectionModel();
    if (m_zeile >= 0) {
        const QModelIndex i = m_modell->index(m_zeile, std::max(0, m_grid->currentIndex().column()));
        sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        sel->clearSelection();
        sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    m_gridWirdGesetzt = false;
}
