// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/recordset.h"

#include "kern/basis/datenfehler.h"
#include "kern/basis/protokoll.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/zeilencache.h"
#include "kern/daten/zeilenlader.h"

#include <sqlite3.h>

#include <algorithm>

Recordset::Recordset(sqlite3 *db, const Abfrage &abfrage, const QString &datei) : m_db(db), m_datei(datei)
{
    m_lader = std::make_unique<Zeilenlader>(db, abfrage, datei);
    m_felder = m_lader->felder();
    m_schluesselFeld = m_lader->schluesselFeld();
    const int anzahl = m_lader->zaehle();
    m_cache = std::make_unique<Zeilencache>(*m_lader, anzahl, m_felder.size());
    schadenMelden();
}

Recordset::~Recordset() = default;

int Recordset::RecordCount() const
{
    return m_cache->anzahl();
}

int Recordset::feldIndex(const QString &name) const
{
    for (int i = 0; i < m_felder.size(); ++i)
        if (m_felder[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Recordset::beschaedigt() const
{
    return m_lader->schaden().has_value();
}

const std::optional<DatenFehler> &Recordset::schaden() const
{
    return m_lader->schaden();
}

void Recordset::schadenBekannt(const DatenFehler &f)
{
    m_schadenGemeldet = true;
    m_lader->beschaedigt(f);
    // Found again while counting: it was said before.
    m_offen.erase(std::remove_if(m_offen.begin(), m_offen.end(),
                                 [](const DatenFehler &o) { return sqliteBeschaedigt(o.code()); }),
                  m_offen.end());
}

void Recordset::setzeBericht(std::function<void(const DatenFehler &)> bericht)
{
    m_bericht = std::move(bericht);
    const std::vector<DatenFehler> offen = std::move(m_offen);
    m_offen.clear();
    for (const DatenFehler &f : offen)
        melden(f);
}

void Recordset::melden(const DatenFehler &f)
{
    qCWarning(protokollDaten).noquote() << Protokoll::kurz(m_datei) << "code" << f.code()
                                        << Protokoll::kurz(f.meldung(), 500);
    if (m_bericht)
        m_bericht(f);
    else
        m_offen.push_back(f);
}

void Recordset::schadenMelden()
{
    if (m_schadenGemeldet || !m_lader->schaden())
        return;
    m_schadenGemeldet = true;
    QString was = QStringLiteral("Die Datei %1 ist beschädigt. Nicht alle Einträge lassen sich lesen; "
                                 "die lesbaren werden gezeigt.")
                      .arg(zitiert(m_datei));
    if (beschreibbar())
        was += QStringLiteral(" Damit nichts überschrieben wird, speichert das Programm keine Änderungen in dieser "
                              "Datei. Bitte stellen Sie eine Datensicherung wieder her (Datenverwaltung, "
                              "Wiederherstellung).");
    melden(DatenFehler(was, m_lader->schaden()->text(), m_lader->schaden()->code()));
}

QVariant Recordset::wert(int zeile, int feld)
{
    if (feld < 0 || feld >= m_felder.size() || zeile < 0)
        return QVariant();
    QVariant v;
    try {
        v = m_cache->wert(zeile, feld);
    } catch (const DatenFehler &f) {
        if (!m_lesefehlerGemeldet) {
            m_lesefehlerGemeldet = true;
            melden(f);
        } else {
            qCDebug(protokollDaten).noquote()
                << "Zeile" << zeile << "Feld" << feld << "wieder nicht lesbar, code" << f.code();
        }
    }
    schadenMelden();
    return v;
}

QVector<QVariant> Recordset::zeile(int zeile)
{
    QVector<QVariant> werte;
    werte.reserve(m_felder.size());
    for (int f = 0; f < m_felder.size(); ++f)
        werte << wert(zeile, f);
    return werte;
}

void Recordset::schreibbarPruefen()
{
    if (!beschreibbar())
        throw DatenFehler(QStringLiteral("Diese Daten können nicht geändert werden."));
    if (const auto &schaden = m_lader->schaden())
        throw DatenFehler(QStringLiteral("Die Datei %1 ist beschädigt. Damit nichts überschrieben wird, speichert "
                                         "das Programm keine Änderungen in dieser Datei. Bitte stellen Sie eine "
                                         "Datensicherung wieder her (Datenverwaltung, Wiederherstellung).")
                              .arg(zitiert(m_datei)),
                          schaden->text(), schaden->code());
}

void Recordset::schreibfehler(const DatenFehler &f)
{
    qCWarning(protokollDaten).noquote() << Protokoll::kurz(m_datei) << "Schreiben, code" << f.code()
                                        << Protokoll::kurz(f.meldung(), 500);
    if (sqliteBeschaedigt(f.code())) {
        // The file turned out damaged: from now on it is only read, and
        // this message is the one that says so.
        m_lader->beschaedigt(f);
        m_schadenGemeldet = true;
        schreibbarPruefen();
    }
    throw f;
}

void Recordset::aendern(int zeile, const QHash<int, QVariant> &werte)
{
    schreibbarPruefen();
    if (zeile < 0 || zeile >= RecordCount())
        throw KeinDatensatz();
    if (werte.isEmpty())
        return;
    QVector<QVariant> neu = m_cache->zeile(zeile);
    const qint64 schluessel = m_cache->schluessel(zeile);

    QList<int> felder = werte.keys();
    std::sort(felder.begin(), felder.end());
    QString sql = QStringLiteral("update ") + m_lader->tabelleSql() + QStringLiteral(" set ");
    for (int i = 0; i < felder.size(); ++i)
        sql += (i ? QStringLiteral(", ") : QString()) + sqlName(m_felder[felder[i]]) + QStringLiteral(" = ?");
    sql += QStringLiteral(" where ") + m_lader->schluesselSql() + QStringLiteral(" = ?");
    try {
        SqliteAnweisung s(m_db, sql, QStringLiteral("Der Datensatz kann nicht gespeichert werden."));
        for (int i = 0; i < felder.size(); ++i)
            s.binde(i + 1, werte.value(felder[i]));
        s.bindeZahl(felder.size() + 1, schluessel);
        s.ausfuehren();
    } catch (const DatenFehler &f) {
        schreibfehler(f);
    }
    for (int f : felder)
        neu[f] = werte.value(f);
    m_cache->aendern(zeile, neu);
}

int Recordset::einfuegen(const QHash<int, QVariant> &werte, const std::function<void(int)> &vorher)
{
    schreibbarPruefen();
    QList<int> felder = werte.keys();
    std::sort(felder.begin(), felder.end());
    felder.removeAll(m_schluesselFeld);
    QString sql = QStringLiteral("insert into ") + m_lader->tabelleSql();
    if (felder.isEmpty()) {
        sql += QStringLiteral(" default values");
    } else {
        QString namen, platz;
        for (int i = 0; i < felder.size(); ++i) {
            namen += (i ? QStringLiteral(", ") : QString()) + sqlName(m_felder[felder[i]]);
            platz += i ? QStringLiteral(", ?") : QStringLiteral("?");
        }
        sql += QStringLiteral(" (") + namen + QStringLiteral(") values (") + platz + QLatin1Char(')');
    }
    try {
        SqliteAnweisung s(m_db, sql, QStringLiteral("Der neue Datensatz kann nicht gespeichert werden."));
        for (int i = 0; i < felder.size(); ++i)
            s.binde(i + 1, werte.value(felder[i]));
        s.ausfuehren();
    } catch (const DatenFehler &f) {
        schreibfehler(f);
    }
    const qint64 neu = sqlite3_last_insert_rowid(m_db);
    // The record as the table holds it (with its key and any defaults).
    QVector<QVariant> datensatz;
    try {
        datensatz = m_lader->datensatz(neu);
    } catch (const DatenFehler &) {
        // Stored all the same: the row shows what was typed (below).
    }
    if (datensatz.size() != m_felder.size()) {
        datensatz = QVector<QVariant>(m_felder.size());
        for (int f : felder)
            datensatz[f] = werte.value(f);
        datensatz[m_schluesselFeld] = QString::number(neu);
    }
    const int zeile = RecordCount();
    if (vorher)
        vorher(zeile);
    m_cache->anhaengen(neu, datensatz);
    return zeile;
}

void Recordset::loeschen(int zeile, const std::function<void()> &vorher)
{
    schreibbarPruefen();
    if (zeile < 0 || zeile >= RecordCount())
        throw KeinDatensatz();
    const qint64 schluessel = m_cache->schluessel(zeile);
    try {
        SqliteAnweisung s(m_db,
                          QStringLiteral("delete from ") + m_lader->tabelleSql() + QStringLiteral(" where ")
                              + m_lader->schluesselSql() + QStringLiteral(" = ?"),
                          QStringLiteral("Der Datensatz kann nicht gelöscht werden."));
        s.bindeZahl(1, schluessel);
        s.ausfuehren();
    } catch (const DatenFehler &f) {
        schreibfehler(f);
    }
    if (vorher)
        vorher();
    m_cache->loeschen(zeile);
}
