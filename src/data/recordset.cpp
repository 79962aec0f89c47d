#include "data/recordset.h"

#include "data/datenfehler.h"
#include "data/sqlitedatei.h"

#include <QRegularExpression>
#include <sqlite3.h>

#include <algorithm>

namespace {
constexpr int SeitenGroesse = 64;
constexpr quint32 NullBit = 0x80000000u;

QString fehlerText(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

struct Anweisung
{
    sqlite3_stmt *s = nullptr;
    ~Anweisung() { sqlite3_finalize(s); }
};

void binde(sqlite3_stmt *s, int i, const QVariant &v)
{
    if (v.isNull()) {
        sqlite3_bind_null(s, i);
    } else {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(s, i, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
}
}

// Rows of the statement, SeitenGroesse to a page: the text of every cell
// back to back, and for every cell the offset where it ends (NullBit set for
// NULL).
struct Recordset::Seite
{
    QByteArray text;
    std::vector<quint32> enden;
};

Recordset::Recordset(sqlite3 *db, const QString &sql) : m_db(db), m_sql(sql)
{
    const QString kannNicht = QStringLiteral("Die Abfrage \u201E%1\u201C kann nicht ausgeführt werden.").arg(sql);
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &m_stmt, nullptr) != SQLITE_OK || !m_stmt) {
        const QString text = fehlerText(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DatenFehler(kannNicht, text);
    }
    if (!sqlite3_stmt_readonly(m_stmt)) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DatenFehler(kannNicht, QStringLiteral("Eine Datenquelle darf nur lesen."));
    }
    const int n = sqlite3_column_count(m_stmt);
    for (int i = 0; i < n; ++i)
        m_felder << QString::fromUtf8(sqlite3_column_name(m_stmt, i));

    // The exact count. Sorting does not change it, so a trailing ORDER BY is
    // left out of the count query; that spares SQLite a sort of every row.
    static const QRegularExpression sortierung(QStringLiteral("\\s+order\\s+by\\s+[^'\"]*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString zaehlSql = sql;
    zaehlSql.remove(sortierung);
    // A plain "select * from ..." is counted as "select count(*) from ...",
    // which SQLite answers from the smallest index; anything else is counted
    // as a subquery.
    static const QRegularExpression alles(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression verwickelt(
        QStringLiteral("\\b(group|having|limit|offset|union|intersect|except|window|join|select\\s+distinct)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const auto treffer = alles.match(zaehlSql);
    if (treffer.hasMatch() && !zaehlSql.contains(verwickelt)
        && zaehlSql.count(QLatin1String("select"), Qt::CaseInsensitive) == 1)
        zaehlSql = QStringLiteral("select count(*) from ") + zaehlSql.mid(treffer.capturedEnd());
    else
        zaehlSql = QStringLiteral("select count(*) from (") + zaehlSql + QStringLiteral(")");
    Anweisung z;
    const QByteArray z8 = zaehlSql.toUtf8();
    int rc = sqlite3_prepare_v2(db, z8.constData(), z8.size(), &z.s, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(z.s);
    if (rc != SQLITE_ROW) {
        const QString text = fehlerText(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DatenFehler(kannNicht, text);
    }
    const qint64 anzahl = sqlite3_column_int64(z.s, 0);
    m_basisAnzahl = int(std::min<qint64>(anzahl, INT32_MAX));
    bereiteTabelleVor();
}

Recordset::~Recordset()
{
    sqlite3_finalize(m_stmt);
}

void Recordset::bereiteTabelleVor()
{
    // The table that the statement reads ("... from [Kontakt] ...") and its
    // integer key, through which changed rows are written back.
    static const QRegularExpression aus(QStringLiteral("\\bfrom\\s+(?:\\[([^\\]]+)\\]|\"([^\"]+)\"|(\\w+))"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto treffer = aus.match(m_sql);
    if (!treffer.hasMatch())
        return;
    for (int i = 1; i <= 3 && m_tabelle.isEmpty(); ++i)
        m_tabelle = treffer.captured(i);
    Anweisung info;
    const QByteArray q = (QStringLiteral("pragma table_info(") + sqlName(m_tabelle) + QLatin1Char(')')).toUtf8();
    if (sqlite3_prepare_v2(m_db, q.constData(), q.size(), &info.s, nullptr) != SQLITE_OK)
        return;
    QString schluessel;
    int schluesselTeile = 0;
    while (sqlite3_step(info.s) == SQLITE_ROW) {
        if (sqlite3_column_int(info.s, 5) > 0) {
            ++schluesselTeile;
            schluessel = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.s, 1)));
            const QString typ = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.s, 2)));
            if (typ.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) != 0)
                schluesselTeile = 99;
        }
    }
    if (schluesselTeile == 1)
        m_schluesselFeld = feldIndex(schluessel);
}

int Recordset::RecordCount() const
{
    int n = m_basisAnzahl - int(m_geloescht.size());
    for (bool weg : m_angehaengtGeloescht)
        n += weg ? 0 : 1;
    return n;
}

int Recordset::feldIndex(const QString &name) const
{
    for (int i = 0; i < m_felder.size(); ++i)
        if (m_felder[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Recordset::leseBis(int basisZeile)
{
    if (m_gelesen > basisZeile || m_ende)
        return;
    // After anhalten() the statement runs again, passes over the rows it
    // already gave and reads the rest to the end.
    const bool bisZumEnde = m_angehalten;
    const int nFelder = m_felder.size();
    while ((bisZumEnde || m_gelesen <= basisZeile) && !m_ende) {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_DONE) {
            m_ende = true;
            break;
        }
        if (rc != SQLITE_ROW)
            throw DatenFehler(
                QStringLiteral("Die Zeilen der Abfrage \u201E%1\u201C können nicht gelesen werden.").arg(m_sql),
                fehlerText(m_db));
        if (m_schluesselFeld >= 0) {
            const qint64 schluessel = sqlite3_column_int64(m_stmt, m_schluesselFeld);
            if (m_bekannt.contains(schluessel))
                continue;
            m_bekannt.insert(schluessel);
        }
        const size_t seite = size_t(m_gelesen / SeitenGroesse);
        if (seite >= m_seiten.size()) {
            auto s = std::make_unique<Seite>();
            s->enden.reserve(size_t(SeitenGroesse) * nFelder);
            m_seiten.push_back(std::move(s));
        }
        Seite &s = *m_seiten[seite];
        for (int f = 0; f < nFelder; ++f) {
            if (sqlite3_column_type(m_stmt, f) == SQLITE_NULL) {
                s.enden.push_back(quint32(s.text.size()) | NullBit);
            } else {
                const char *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, f));
                const int len = sqlite3_column_bytes(m_stmt, f);
                s.text.append(t, len);
                s.enden.push_back(quint32(s.text.size()));
            }
        }
        ++m_gelesen;
        if (m_gelesen % SeitenGroesse == 0)
            s.text.squeeze();
    }
}

void Recordset::anhalten()
{
    if (m_schluesselFeld >= 0 && !m_ende && !m_angehalten) {
        sqlite3_reset(m_stmt);
        m_angehalten = true;
    }
}

int Recordset::basisZeile(int zeile) const
{
    if (zeile < 0)
        return -1;
    int b = zeile;
    for (int d : m_geloescht) {
        if (d <= b)
            ++b;
        else
            break;
    }
    return b < m_basisAnzahl ? b : -1;
}

QVariant Recordset::basisWert(int b, int feld)
{
    const auto g = m_geaendert.constFind(b);
    if (g != m_geaendert.constEnd())
        return g->value(feld);
    leseBis(b);
    if (b >= m_gelesen)
        return QVariant();   // the table shrank since it was counted
    const Seite &s = *m_seiten[size_t(b / SeitenGroesse)];
    const size_t i = size_t(b % SeitenGroesse) * m_felder.size() + size_t(feld);
    const quint32 ende = s.enden[i];
    if (ende & NullBit)
        return QVariant();
    const quint32 anfang = i == 0 ? 0 : (s.enden[i - 1] & ~NullBit);
    return QString::fromUtf8(s.text.constData() + anfang, int(ende - anfang));
}

QVariant Recordset::wert(int zeile, int feld)
{
    if (feld < 0 || feld >= m_felder.size() || zeile < 0)
        return QVariant();
    const int basisRest = m_basisAnzahl - int(m_geloescht.size());
    if (zeile < basisRest)
        return basisWert(basisZeile(zeile), feld);
    int rest = zeile - basisRest;
    for (int i = 0; i < m_angehaengt.size(); ++i) {
        if (m_angehaengtGeloescht[i])
            continue;
        if (rest-- == 0)
            return m_angehaengt[i].value(feld);
    }
    return QVariant();
}

QVector<QVariant> Recordset::zeile(int zeile)
{
    QVector<QVariant> werte;
    werte.reserve(m_felder.size());
    for (int f = 0; f < m_felder.size(); ++f)
        werte << wert(zeile, f);
    return werte;
}

void Recordset::vorDemSchreiben()
{
    // A statement that is still reading keeps its transaction open, and SQLite
    // would hold back the commit of the write until it ends.
    if (!m_ende) {
        sqlite3_reset(m_stmt);
        m_angehalten = true;
    }
}

QVector<QVariant> Recordset::leseDatensatz(qint64 schluessel)
{
    Anweisung s;
    const QByteArray q = (QStringLiteral("select * from ") + sqlName(m_tabelle) + QStringLiteral(" where ")
                          + sqlName(m_felder[m_schluesselFeld]) + QStringLiteral(" = ?"))
                             .toUtf8();
    QVector<QVariant> werte(m_felder.size());
    if (sqlite3_prepare_v2(m_db, q.constData(), q.size(), &s.s, nullptr) != SQLITE_OK)
        return werte;
    sqlite3_bind_int64(s.s, 1, schluessel);
    if (sqlite3_step(s.s) != SQLITE_ROW)
        return werte;
    const int n = sqlite3_column_count(s.s);
    for (int i = 0; i < n; ++i) {
        const int f = feldIndex(QString::fromUtf8(sqlite3_column_name(s.s, i)));
        if (f < 0)
            continue;
        if (sqlite3_column_type(s.s, i) != SQLITE_NULL)
            werte[f] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.s, i)),
                                         sqlite3_column_bytes(s.s, i));
    }
    return werte;
}

void Recordset::aendern(int zeile, const QHash<int, QVariant> &werte)
{
    if (!beschreibbar())
        throw DatenFehler(QStringLiteral("Diese Daten können nicht geändert werden."));
    if (zeile < 0 || zeile >= RecordCount())
        throw KeinDatensatz();
    if (werte.isEmpty())
        return;
    QVector<QVariant> alt = this->zeile(zeile);
    const qint64 schluessel = alt[m_schluesselFeld].toLongLong();
    vorDemSchreiben();

    QString sql = QStringLiteral("update ") + sqlName(m_tabelle) + QStringLiteral(" set ");
    QList<int> felder = werte.keys();
    std::sort(felder.begin(), felder.end());
    for (int i = 0; i < felder.size(); ++i)
        sql += (i ? QStringLiteral(", ") : QString()) + sqlName(m_felder[felder[i]]) + QStringLiteral(" = ?");
    sql += QStringLiteral(" where ") + sqlName(m_felder[m_schluesselFeld]) + QStringLiteral(" = ?");
    Anweisung s;
    const QByteArray q = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_db, q.constData(), q.size(), &s.s, nullptr);
    if (rc == SQLITE_OK) {
        for (int i = 0; i < felder.size(); ++i)
            binde(s.s, i + 1, werte.value(felder[i]));
        sqlite3_bind_int64(s.s, felder.size() + 1, schluessel);
        rc = sqlite3_step(s.s);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Der Datensatz kann nicht gespeichert werden."), fehlerText(m_db));

    for (int f : felder)
        alt[f] = werte.value(f);
    const int basisRest = m_basisAnzahl - int(m_geloescht.size());
    if (zeile < basisRest) {
        m_geaendert.insert(basisZeile(zeile), alt);
    } else {
        int rest = zeile - basisRest;
        for (int i = 0; i < m_angehaengt.size(); ++i)
            if (!m_angehaengtGeloescht[i] && rest-- == 0)
                m_angehaengt[i] = alt;
    }
}

int Recordset::einfuegen(const QHash<int, QVariant> &werte)
{
    if (!beschreibbar())
        throw DatenFehler(QStringLiteral("Diese Daten können nicht geändert werden."));
    QList<int> felder = werte.keys();
    std::sort(felder.begin(), felder.end());
    felder.removeAll(m_schluesselFeld);
    QString sql = QStringLiteral("insert into ") + sqlName(m_tabelle);
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
    vorDemSchreiben();
    Anweisung s;
    const QByteArray q = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_db, q.constData(), q.size(), &s.s, nullptr);
    if (rc == SQLITE_OK) {
        for (int i = 0; i < felder.size(); ++i)
            binde(s.s, i + 1, werte.value(felder[i]));
        rc = sqlite3_step(s.s);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Der neue Datensatz kann nicht gespeichert werden."), fehlerText(m_db));
    const qint64 neu = sqlite3_last_insert_rowid(m_db);
    m_bekannt.insert(neu);
    m_angehaengt.append(leseDatensatz(neu));
    m_angehaengtGeloescht.append(false);
    return RecordCount() - 1;
}

void Recordset::loeschen(int zeile)
{
    if (!beschreibbar())
        throw DatenFehler(QStringLiteral("Diese Daten können nicht geändert werden."));
    if (zeile < 0 || zeile >= RecordCount())
        throw KeinDatensatz();
    const qint64 schluessel = wert(zeile, m_schluesselFeld).toLongLong();
    vorDemSchreiben();
    Anweisung s;
    const QByteArray q = (QStringLiteral("delete from ") + sqlName(m_tabelle) + QStringLiteral(" where ")
                          + sqlName(m_felder[m_schluesselFeld]) + QStringLiteral(" = ?"))
                             .toUtf8();
    int rc = sqlite3_prepare_v2(m_db, q.constData(), q.size(), &s.s, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_int64(s.s, 1, schluessel);
        rc = sqlite3_step(s.s);
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(QStringLiteral("Der Datensatz kann nicht gelöscht werden."), fehlerText(m_db));

    const int basisRest = m_basisAnzahl - int(m_geloescht.size());
    if (zeile < basisRest) {
        const int b = basisZeile(zeile);
        m_geloescht.insert(std::lower_bound(m_geloescht.begin(), m_geloescht.end(), b), b);
        m_geaendert.remove(b);
    } else {
        int rest = zeile - basisRest;
        for (int i = 0; i < m_angehaengt.size(); ++i)
            if (!m_angehaengtGeloescht[i] && rest-- == 0)
                m_angehaengtGeloescht[i] = true;
    }
}
