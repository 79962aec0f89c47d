// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/zeilenlader.h"

#include "kern/basis/datenfehler.h"
#include "kern/daten/sqlitedatei.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

// The name under which a table's rowid can be read: "rowid", "_rowid_" or
// "oid", the first that no column hides; empty when all are hidden or the
// table is a view (SQLite refuses to describe one, where a query would
// quietly give NULL).
QString rowidName(sqlite3 *db, const QByteArray &tabelle8)
{
    for (const char *name : {"rowid", "_rowid_", "oid"}) {
        int primaer = 0;
        if (sqlite3_table_column_metadata(db, nullptr, tabelle8.constData(), name, nullptr, nullptr, nullptr, &primaer,
                                          nullptr)
            != SQLITE_OK)
            break;
        if (primaer)
            return QString::fromLatin1(name);
    }
    return QString();
}

// The field that is the table's INTEGER PRIMARY KEY (the rowid under a name
// of its own), or -1 when the key is no such single column.
int ganzzahlSchluessel(sqlite3 *db, const QByteArray &tabelle8, const QStringList &felder)
{
    int teile = 0, ganzzahl = -1;
    for (int i = 0; i < felder.size(); ++i) {
        const char *typ = nullptr;
        int primaer = 0;
        if (sqlite3_table_column_metadata(db, nullptr, tabelle8.constData(), felder[i].toUtf8().constData(), &typ,
                                          nullptr, nullptr, &primaer, nullptr)
                != SQLITE_OK
            || !primaer)
            continue;
        ++teile;
        if (typ && qstricmp(typ, "INTEGER") == 0)
            ganzzahl = i;
    }
    return teile == 1 ? ganzzahl : -1;
}

// The query's sort column as SQL, with its collation if it has one.
QString sortierSql(const Abfrage &abfrage)
{
    QString sql = sqlName(abfrage.sortSpalte());
    if (!abfrage.kollation().isEmpty())
        sql += QStringLiteral(" collate ") + sqlName(abfrage.kollation());
    return sql;
}

// The query's sort among equal rows as SQL, with its direction; empty when
// it has none.
QString dannSql(const Abfrage &abfrage)
{
    if (abfrage.dannSpalte().isEmpty())
        return QString();
    return sqlName(abfrage.dannSpalte())
           + (abfrage.dannRichtung() == Abfrage::Richtung::Ab ? QStringLiteral(" desc") : QStringLiteral(" asc"));
}

}   // namespace

Zeilenlader::Zeilenlader(sqlite3 *db, const Abfrage &abfrage, const QString &datei)
    : m_db(db), m_abfrage(abfrage), m_datei(datei), m_tabelle(sqlName(abfrage.tabellenName()))
{
    if (abfrage.istFrei()) {
        m_weg = Weg::Folge;
        m_folge = std::make_unique<SqliteAnweisung>(
            db, abfrage.text(),
            QStringLiteral("Die Abfrage %1 kann nicht ausgeführt werden.").arg(zitiert(abfrage.text())));
        for (int i = 0; i < m_folge->spalten(); ++i)
            m_felder << m_folge->spaltenName(i);
        return;
    }

    const QByteArray tabelle8 = abfrage.tabellenName().toUtf8();
    m_schluessel = rowidName(db, tabelle8);
    if (m_schluessel.isEmpty())
        m_weg = Weg::Versatz;

    const QString &sort = abfrage.sortSpalte();
    if (!sort.isEmpty() && sort.compare(m_schluessel, Qt::CaseInsensitive) != 0) {
        m_sortierung = sortierSql(abfrage);
        m_dann = dannSql(abfrage);
    }

    // The statement of the first page checks the whole query (a missing
    // table or column fails here) and names the fields.
    const QString kannNicht =
        QStringLiteral("Die Abfrage %1 kann nicht ausgeführt werden.").arg(zitiert(abfrage.text()));
    SqliteAnweisung *erste = nullptr;
    try {
        erste =
            m_weg == Weg::Versatz ? &anweisung(versatzSql()) : &teilAnweisung(Teil::Alle, nullptr, ">", false, false);
    } catch (const DatenFehler &f) {
        throw DatenFehler(kannNicht, f.text(), f.code());
    }
    const int versatz = m_schluessel.isEmpty() ? 0 : 1;
    for (int i = versatz; i < erste->spalten(); ++i)
        m_felder << erste->spaltenName(i);

    // Records are written back only through an INTEGER PRIMARY KEY.
    if (!m_schluessel.isEmpty())
        m_schluesselFeld = ganzzahlSchluessel(db, tabelle8, m_felder);
    for (int i = 0; i < m_felder.size() && !m_sortierung.isEmpty(); ++i) {
        if (m_felder[i].compare(sort, Qt::CaseInsensitive) != 0)
            continue;
        if (i == m_schluesselFeld && abfrage.kollation().isEmpty())
            m_sortierung.clear();   // sorted by the key itself
        else
            m_sortFeld = i;
    }
    // A sort that no index can serve: the keys are put in order once.
    if (m_weg == Weg::Index && !m_sortierung.isEmpty()
        && (!abfrage.kollation().isEmpty() || !m_dann.isEmpty() || m_sortFeld < 0))
        m_weg = Weg::Schluesselliste;
}

Zeilenlader::~Zeilenlader() = default;

Zeilenlader::Lauf::~Lauf()
{
    s.zuruecksetzen();
}

SqliteAnweisung &Zeilenlader::anweisung(const QString &sql)
{
    auto &a = m_anweisungen[sql];
    if (!a)
        a = std::make_shared<SqliteAnweisung>(
            m_db, sql,
            QStringLiteral("Die Zeilen der Abfrage %1 können nicht gelesen werden.").arg(zitiert(m_abfrage.text())));
    return *a;
}

QString Zeilenlader::bedingung(const QString &weitere, QVector<QVariant> &werte) const
{
    // The values of weitere are in werte already; the search's come first.
    const QVector<QVariant> weitereWerte = werte;
    werte.clear();
    QStringList teile;
    if (m_abfrage.hatSuche()) {
        teile << m_abfrage.suchBedingung(sqlName(m_abfrage.suchSpalte()));
        for (const QString &m : m_abfrage.suchMuster())
            werte << m;
    }
    if (!m_ausgelassen.empty()) {
        QString ohne = m_schluessel + QStringLiteral(" not in (");
        for (size_t i = 0; i < m_ausgelassen.size(); ++i)
            ohne += (i ? QStringLiteral(",") : QString()) + QString::number(m_ausgelassen[i]);
        teile << ohne + QLatin1Char(')');
    }
    if (!weitere.isEmpty())
        teile << weitere;
    werte += weitereWerte;
    return teile.isEmpty() ? QString() : QStringLiteral(" where ") + teile.join(QStringLiteral(" and "));
}

QString Zeilenlader::versatzSql() const
{
    QVector<QVariant> werte;
    QString sql = QStringLiteral("select * from ") + m_tabelle + bedingung(QString(), werte);
    if (!m_sortierung.isEmpty())
        sql += QStringLiteral(" order by ") + m_sortierung
               + (m_abfrage.richtung() == Abfrage::Richtung::Ab ? QStringLiteral(" desc") : QStringLiteral(" asc"))
               + (m_dann.isEmpty() ? QString() : QStringLiteral(", ") + m_dann);
    return sql + QStringLiteral(" limit ? offset ?");
}

void Zeilenlader::zeileAnhaengen(SqliteAnweisung &s, Zeilenblock &ziel, int versatz)
{
    ziel.neueZeile(versatz ? s.zahl(0) : 0);
    for (int f = 0; f < m_felder.size(); ++f) {
        if (s.istNull(f + versatz)) {
            ziel.nullZelle();
        } else {
            int n = 0;
            const char *t = s.utf8(f + versatz, n);
            ziel.zelle(t, n);
        }
    }
}

int Zeilenlader::zaehle()
{
    try {
        if (m_weg == Weg::Schluesselliste) {
            listeLesen(false);
            return int(m_liste.size());
        }
        if (m_weg == Weg::Folge) {
            SqliteAnweisung s(
                m_db, QStringLiteral("select count(*) from (") + m_abfrage.text() + QLatin1Char(')'),
                QStringLiteral("Die Abfrage %1 kann nicht ausgeführt werden.").arg(zitiert(m_abfrage.text())));
            s.schritt();
            return int(std::min<qint64>(s.zahl(0), INT32_MAX));
        }
        QVector<QVariant> werte;
        SqliteAnweisung &s =
            anweisung(QStringLiteral("select count(*) from ") + m_tabelle + bedingung(QString(), werte));
        Lauf lauf{s};
        for (int i = 0; i < werte.size(); ++i)
            s.binde(i + 1, werte[i]);
        s.schritt();
        return int(std::min<qint64>(s.zahl(0), INT32_MAX));
    } catch (const DatenFehler &f) {
        if (!sqliteBeschaedigt(f.code()) || m_schaden || m_schluessel.isEmpty())
            throw;
        beschaedigt(f);
        return int(m_liste.size());
    }
}

void Zeilenlader::beschaedigt(const DatenFehler &f)
{
    if (m_schaden)
        return;
    m_schaden = f;
    if (m_schluessel.isEmpty())
        return;
    m_teilAnweisungen.clear();
    m_anweisungen.clear();
    listeLesen(true);
    m_weg = Weg::Schluesselliste;
}

void Zeilenlader::listeLesen(bool robust)
{
    m_liste.clear();
    const bool rueckwaerts = m_abfrage.richtung() == Abfrage::Richtung::Ab;
    QString ordnung = QStringLiteral(" order by ");
    const QString richtung = rueckwaerts ? QStringLiteral(" desc") : QStringLiteral(" asc");
    if (!m_sortierung.isEmpty())
        ordnung += m_sortierung + richtung + QStringLiteral(", ");
    if (!m_sortierung.isEmpty() && !m_dann.isEmpty())
        ordnung += m_dann + QStringLiteral(", ");
    ordnung += m_schluessel + richtung;

    if (!robust) {
        QVector<QVariant> werte;
        SqliteAnweisung s(
            m_db,
            QStringLiteral("select ") + m_schluessel + QStringLiteral(" from ") + m_tabelle
                + bedingung(QString(), werte) + ordnung,
            QStringLiteral("Die Abfrage %1 kann nicht ausgeführt werden.").arg(zitiert(m_abfrage.text())));
        for (int i = 0; i < werte.size(); ++i)
            s.binde(i + 1, werte[i]);
        while (s.schritt())
            m_liste.push_back(s.zahl(0));
        return;
    }

    // On a damaged file: the keys in order as far as they can be read; an
    // index on the sort column gives them without reading the rows. The
    // search is then tried row by row, and a row that cannot be read is
    // left out of a search.
    std::vector<qint64> schluessel;
    try {
        SqliteAnweisung s(
            m_db, QStringLiteral("select ") + m_schluessel + QStringLiteral(" from ") + m_tabelle + ordnung, QString());
        while (s.schritt())
            schluessel.push_back(s.zahl(0));
    } catch (const DatenFehler &) {
        // As far as the keys could be read; the damage is reported already.
    }
    std::unique_ptr<SqliteAnweisung> pruefen;
    if (m_abfrage.hatSuche())
        pruefen = std::make_unique<SqliteAnweisung>(
            m_db,
            QStringLiteral("select count(*) from ") + m_tabelle + QStringLiteral(" where ") + m_schluessel
                + QStringLiteral(" = ? and ") + m_abfrage.suchBedingung(sqlName(m_abfrage.suchSpalte())),
            QString());
    for (qint64 k : schluessel) {
        if (std::binary_search(m_ausgelassen.begin(), m_ausgelassen.end(), k))
            continue;
        if (pruefen) {
            try {
                Lauf lauf{*pruefen};
                pruefen->bindeZahl(1, k);
                const QStringList muster = m_abfrage.suchMuster();
                for (int i = 0; i < muster.size(); ++i)
                    pruefen->binde(2 + i, muster[i]);
                if (!pruefen->schritt() || pruefen->zahl(0) == 0)
                    continue;
            } catch (const DatenFehler &) {
                continue;
            }
        }
        m_liste.push_back(k);
    }
}

void Zeilenlader::lies(int start, int anzahl, int gesamt, Zeilenblock &ziel)
{
    if (anzahl <= 0)
        return;
    const int vorher = ziel.zeilen();
    try {
        switch (m_weg) {
        case Weg::Index: liesIndex(start, anzahl, gesamt, ziel); break;
        case Weg::Schluesselliste: liesSchluessel(start, anzahl, ziel); break;
        case Weg::Versatz: liesVersatz(start, anzahl, ziel); break;
        case Weg::Folge: liesFolge(start, anzahl, ziel); break;
        }
    } catch (const DatenFehler &f) {
        if (!sqliteBeschaedigt(f.code()) || m_schaden || m_schluessel.isEmpty())
            throw;
        ziel.kuerzen(vorher);
        beschaedigt(f);
        liesSchluessel(start, anzahl, ziel);
    }
}

void Zeilenlader::liesSchluessel(int start, int anzahl, Zeilenblock &ziel)
{
    if (start < 0 || start >= int(m_liste.size()))
        return;
    const int ende = std::min<int>(start + anzahl, int(m_liste.size()));
    if (m_schaden) {
        // Row by row: one that cannot be read is shown empty.
        for (int i = start; i < ende; ++i) {
            const qint64 k = m_liste[size_t(i)];
            try {
                SqliteAnweisung &s =
                    anweisung(QStringLiteral("select ") + m_schluessel + QStringLiteral(", * from ") + m_tabelle
                              + QStringLiteral(" where ") + m_schluessel + QStringLiteral(" = ?"));
                Lauf lauf{s};
                s.bindeZahl(1, k);
                if (s.schritt()) {
                    zeileAnhaengen(s, ziel, 1);
                    continue;
                }
            } catch (const DatenFehler &f) {
                if (!sqliteBeschaedigt(f.code()))
                    throw;
            }
            ziel.leereZeile(k);
        }
        return;
    }
    QString liste;
    for (int i = start; i < ende; ++i)
        liste += (i > start ? QStringLiteral(",") : QString()) + QString::number(m_liste[size_t(i)]);
    SqliteAnweisung s(
        m_db,
        QStringLiteral("select ") + m_schluessel + QStringLiteral(", * from ") + m_tabelle + QStringLiteral(" where ")
            + m_schluessel + QStringLiteral(" in (") + liste + QLatin1Char(')'),
        QStringLiteral("Die Zeilen der Abfrage %1 können nicht gelesen werden.").arg(zitiert(m_abfrage.text())));
    Zeilenblock gelesen(m_felder.size());
    QHash<qint64, int> zeileVon;
    while (s.schritt()) {
        zeileVon.insert(s.zahl(0), gelesen.zeilen());
        zeileAnhaengen(s, gelesen, 1);
    }
    for (int i = start; i < ende; ++i) {
        const qint64 k = m_liste[size_t(i)];
        const auto z = zeileVon.constFind(k);
        if (z == zeileVon.constEnd())
            ziel.leereZeile(k);   // deleted by another program since
        else
            ziel.kopiereZeile(gelesen, *z);
    }
}

void Zeilenlader::liesVersatz(int start, int anzahl, Zeilenblock &ziel)
{
    QVector<QVariant> werte;
    bedingung(QString(), werte);
    SqliteAnweisung &s = anweisung(versatzSql());
    Lauf lauf{s};
    for (int i = 0; i < werte.size(); ++i)
        s.binde(i + 1, werte[i]);
    s.bindeZahl(werte.size() + 1, anzahl);
    s.bindeZahl(werte.size() + 2, start);
    while (s.schritt())
        zeileAnhaengen(s, ziel, 0);
}

void Zeilenlader::liesFolge(int start, int anzahl, Zeilenblock &ziel)
{
    if (start < m_folgeStelle) {
        m_folge->zuruecksetzen();
        m_folgeStelle = 0;
        m_folgeEnde = false;
    }
    while (!m_folgeEnde && m_folgeStelle < start + anzahl) {
        if (!m_folge->schritt()) {
            m_folgeEnde = true;
            break;
        }
        if (m_folgeStelle++ >= start)
            zeileAnhaengen(*m_folge, ziel, 0);
    }
}

void Zeilenlader::auslassen(qint64 schluessel)
{
    const auto stelle = std::lower_bound(m_ausgelassen.begin(), m_ausgelassen.end(), schluessel);
    if (stelle != m_ausgelassen.end() && *stelle == schluessel)
        return;
    m_ausgelassen.insert(stelle, schluessel);
    // The texts of the statements change, and every position after the
    // record moves by one.
    m_teilAnweisungen.clear();
    m_anweisungen.clear();
    m_anker.clear();
    const auto inListe = std::find(m_liste.begin(), m_liste.end(), schluessel);
    if (inListe != m_liste.end())
        m_liste.erase(inListe);
}

QVector<QVariant> Zeilenlader::datensatz(qint64 schluessel)
{
    SqliteAnweisung &s = anweisung(QStringLiteral("select ") + m_schluessel + QStringLiteral(", * from ") + m_tabelle
                                   + QStringLiteral(" where ") + m_schluessel + QStringLiteral(" = ?"));
    Lauf lauf{s};
    s.bindeZahl(1, schluessel);
    QVector<QVariant> werte;
    if (!s.schritt())
        return werte;
    for (int f = 0; f < m_felder.size(); ++f) {
        if (s.istNull(f + 1)) {
            werte << QVariant();
        } else {
            int n = 0;
            const char *t = s.utf8(f + 1, n);
            werte << QString::fromUtf8(t, n);
        }
    }
    return werte;
}
