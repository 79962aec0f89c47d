// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/adodc.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/protokoll.h"

#include <algorithm>

AdodcModell::AdodcModell(Adodc *daten) : QAbstractTableModel(daten), m_daten(daten) { }

void AdodcModell::setzeSpalten(const QVector<ModellSpalte> &spalten)
{
    beginResetModel();
    m_spalten = spalten;
    felderSuchen();
    endResetModel();
}

void AdodcModell::felderSuchen()
{
    m_feld.fill(-1, m_spalten.size());
    if (const Recordset *rs = m_daten->recordset())
        for (int i = 0; i < m_spalten.size(); ++i)
            m_feld[i] = rs->feldIndex(m_spalten[i].feld);
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
    // Never throws: a row that cannot be read shows empty, and the data view
    // reports the failure once the grid has painted.
    return m_daten->recordset()->wert(index.row(), m_feld.value(index.column(), -1));
}

QVariant AdodcModell::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_spalten.size())
        return m_spalten[section].titel;
    return QVariant();
}

Adodc::Adodc(const QString &verbindungsText, const Abfrage &recordSource, Verbindung::Zugriff zugriff, QObject *parent)
    : QObject(parent),
      m_verbindungsText(verbindungsText),
      m_recordSource(recordSource),
      m_zugriff(zugriff),
      m_modell(new AdodcModell(this))
{
    setObjectName(QStringLiteral("Adodc1"));
}

Adodc::~Adodc()
{
    m_umbau = true;
    m_modell->beginResetModel();
    m_rs.reset();   // statements before their connection
    m_verbindung.reset();
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
    auto neu = std::make_unique<Recordset>(m_verbindung->handle(), gezeigteAbfrage(), m_verbindung->datei());
    if (m_rs && m_rs->schaden())
        m_schaden = m_rs->schaden();
    if (m_schaden)
        neu->schadenBekannt(*m_schaden);
    m_umbau = true;
    m_modell->beginResetModel();
    m_rs = std::move(neu);
    m_neu = false;
    m_zeile = m_rs->RecordCount() > 0 ? 0 : -1;
    m_modell->felderSuchen();
    m_modell->endResetModel();
    m_umbau = false;
    // Failures found while rows are read (often while the grid paints) are
    // signalled after the event that found them, never in the middle of it.
    m_rs->setzeBericht([this](const DatenFehler &f) {
        QMetaObject::invokeMethod(
            this, [this, f] { Q_EMIT fehler(f); }, Qt::QueuedConnection);
    });
    zeigeAktuellenDatensatz();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

void Adodc::zeige(const Abfrage &abfrage)
{
    zeige(abfrage, m_ordnung);
}

void Adodc::zeige(const Abfrage &abfrage, const std::optional<Abfrage::Ordnung> &ordnung)
{
    const Abfrage vorher = m_recordSource;
    const std::optional<Abfrage::Ordnung> ordnungVorher = m_ordnung;
    m_recordSource = abfrage;
    m_ordnung = ordnung;
    try {
        Refresh();
    } catch (...) {
        qCWarning(protokollDaten).noquote() << "nicht gezeigt:" << Protokoll::kurz(gezeigteAbfrage().text(), 500);
        m_recordSource = vorher;
        m_ordnung = ordnungVorher;
        throw;
    }
}

void Adodc::ordne(const std::optional<Abfrage::Ordnung> &ordnung)
{
    zeige(m_recordSource, ordnung);
}

Abfrage Adodc::gezeigteAbfrage() const
{
    return m_ordnung ? m_recordSource.geordnet(*m_ordnung) : m_recordSource;
}

bool Adodc::hatAenderungen() const
{
    if (m_zeile < 0 && !m_neu)
        return false;
    const bool geaendert =
        std::any_of(m_bindungen.begin(), m_bindungen.end(), [](const Bindung &b) { return b.geaendert(); });
    if (!m_neu || !geaendert)
        return geaendert;
    // A new record the user emptied again is not stored either.
    return std::any_of(m_bindungen.begin(), m_bindungen.end(), [](const Bindung &b) { return !b.lesen().isNull(); });
}

void Adodc::neueZeile(int zeile)
{
    m_zeile = zeile;
    zeigeAktuellenDatensatz();
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
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
    neueZeile(zeile);
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

void Adodc::AddNew(const QHash<QString, QVariant> &vorbelegt)
{
    if (!m_rs)
        throw KeinDatensatz();
    if (hatAenderungen())
        Update();
    m_rs->schreibbarPruefen();   // a new record that could never be stored is not begun
    if (!m_neu)                  // an untouched new record begun again still goes back to where it began
        m_zeileVorNeu = m_zeile;
    m_neu = true;
    m_zeile = -1;
    for (const Bindung &b : m_bindungen)
        b.zeigen(QVariant());
    vorbelegen(vorbelegt);
    Q_EMIT aktuelleZeileGeaendert(m_zeile);
}

bool Adodc::vorbelegen(const QHash<QString, QVariant> &werte)
{
    if (!m_neu)
        return false;
    for (auto it = werte.begin(); it != werte.end(); ++it)
        for (const Bindung &b : m_bindungen)
            if (b.feld.compare(it.key(), Qt::CaseInsensitive) == 0)
                b.zeigen(it.value());   // shown as the record's own, not as input
    return true;
}

void Adodc::Update()
{
    if (!m_rs)
        throw KeinDatensatz();
    if (m_neu) {
        // The grid learns of the new row only once the table took it.
        const int zeile = m_rs->einfuegen(eingaben(false), [this](int z) {
            m_umbau = true;
            m_modell->beginInsertRows(QModelIndex(), z, z);
        });
        m_modell->endInsertRows();
        m_umbau = false;
        m_neu = false;
        neueZeile(zeile);
        Q_EMIT geschrieben();
        return;
    }
    if (m_zeile < 0)
        throw KeinDatensatz();
    const QHash<int, QVariant> werte = eingaben(true);
    if (werte.isEmpty())
        return;
    m_rs->aendern(m_zeile, werte);
    zeigeAktuellenDatensatz();
    Q_EMIT m_modell->dataChanged(m_modell->index(m_zeile, 0), m_modell->index(m_zeile, m_modell->columnCount() - 1));
    Q_EMIT geschrieben();
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
    m_rs->loeschen(zeile, [this, zeile] {
        m_umbau = true;
        m_modell->beginRemoveRows(QModelIndex(), zeile, zeile);
    });
    m_modell->endRemoveRows();
    m_umbau = false;
    // The next row becomes current, or the previous one at the end.
    const int n = m_rs->RecordCount();
    neueZeile(n == 0 ? -1 : std::min(zeile, n - 1));
}

void Adodc::Cancel()
{
    if (m_neu) {
        m_neu = false;
        neueZeile(m_rs && m_zeileVorNeu < m_rs->RecordCount() ? m_zeileVorNeu : -1);
        return;
    }
    zeigeAktuellenDatensatz();
}

void Adodc::zeigeAktuellenDatensatz()
{
    if (m_neu || m_bindungen.isEmpty())
        return;
    QVector<QVariant> werte;
    if (m_rs && m_zeile >= 0)
        werte = m_rs->zeile(m_zeile);   // a row that cannot be read shows empty, and is reported
    for (const Bindung &b : m_bindungen)
        b.zeigen(m_rs ? werte.value(m_rs->feldIndex(b.feld)) : QVariant());
}

void Adodc::binde(const Bindung &bindung)
{
    m_bindungen.append(bindung);
}
