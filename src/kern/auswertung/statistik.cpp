#include "kern/auswertung/statistik.h"

#include "kern/bestaende/logdatum.h"
#include "kern/basis/datenfehler.h"
#include "kern/daten/recordset.h"
#include "kern/daten/verbindung.h"

#include <QLocale>
#include <QRegularExpression>
#include <sqlite3.h>

const QString Statistik::ohneAngabe = QStringLiteral("(ohne Angabe)");

namespace {

const QString kannNicht = QStringLiteral("Die Statistik des Logs kann nicht berechnet werden.");

struct Anweisung
{
    sqlite3_stmt *s = nullptr;
    Anweisung(sqlite3 *db, const QString &sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &s, nullptr) != SQLITE_OK)
            throw DatenFehler(kannNicht, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Anweisung() { sqlite3_finalize(s); }
    // The next row; false at the end.
    bool schritt(sqlite3 *db)
    {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw DatenFehler(kannNicht, QString::fromUtf8(sqlite3_errmsg(db)));
        return false;
    }
    QString text(int spalte) const
    {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, spalte));
        return t ? QString::fromUtf8(t, sqlite3_column_bytes(s, spalte)) : QString();
    }
};

// A text as an SQL literal. A text that holds a NUL character is written in
// hex, so that it is compared whole.
QString literal(const QString &text)
{
    if (text.contains(QChar(0)))
        return QStringLiteral("cast(x'") + QString::fromLatin1(text.toUtf8().toHex()) + QStringLiteral("' as text)");
    QString t = text;
    return QLatin1Char('\'') + t.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

QString isoLiteral(const QDate &d)
{
    return QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'');
}

// The records a period covers.
QString imZeitraum(const Statistik::Zeitraum &z)
{
    QStringList teile;
    if (z.von.isValid())
        teile << QStringLiteral("tag >= ") + isoLiteral(z.von);
    if (z.bis.isValid())
        teile << QStringLiteral("tag <= ") + isoLiteral(z.bis);
    return teile.isEmpty() ? QStringLiteral("1") : teile.join(QStringLiteral(" and "));
}

// What a series counts by, and which records it counts at all.
struct Art
{
    const char *schluessel;
    const char *bedingung;
    const char *ordnung;
    bool zahl;   // the key is a number
};

const Art &art(Statistik::Reihe r)
{
    static const Art arten[] = {
        {"substr(tag, 1, 7)", "tag is not null", "schluessel", false},
        {"minute / 60", "minute is not null", "schluessel", true},
        {"(cast(strftime('%w', tag) as integer) + 6) % 7 + 1", "tag is not null", "schluessel", true},
        {"k_band", "1", "anzahl desc, schluessel", false},
        {"k_land", "1", "anzahl desc, schluessel", false},
        {"k_ort", "k_ort <> ''", "anzahl desc, schluessel", false},
        {"k_call", "k_call <> ''", "anzahl desc, schluessel", false},
    };
    return arten[int(r)];
}

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

const char *listenSpalten = "select id, datum, uhrzeit, callsign, frequenz, ort from temp.auszug where ";

}   // namespace

qint64 Statistik::summe(const QVector<Balken> &balken)
{
    qint64 s = 0;
    for (const Balken &b : balken)
        s += b.anzahl;
    return s;
}

Statistik::Statistik(const QString &verbindungsText) : m_verbindungsText(verbindungsText) { }

Statistik::~Statistik()
{
    m_liste.reset();   // its statement goes before the connection
}

void Statistik::ausfuehren(const QString &sql)
{
    char *fehler = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &fehler) != SQLITE_OK) {
        const QString text = QString::fromUtf8(fehler ? fehler : sqlite3_errmsg(m_db));
        sqlite3_free(fehler);
        throw DatenFehler(kannNicht, text);
    }
}

QString Statistik::auszugSql()
{
    // Blanks and tabs around a value do not make a modulation, country, place
    // or call sign of its own.
    return QStringLiteral("create temp table auszug as select rowid as id, datum, uhrzeit, callsign, frequenz, ort,"
                          " log_tag(datum) as tag, log_minute(uhrzeit) as minute,"
                          " trim(coalesce(band, ''), ' ' || char(9)) as k_band,"
                          " trim(coalesce(land, ''), ' ' || char(9)) as k_land,"
                          " trim(coalesce(ort, ''), ' ' || char(9)) as k_ort,"
                          " trim(coalesce(callsign, ''), ' ' || char(9)) as k_call"
                          " from Kontakt");
}

QString Statistik::reiheSql(Reihe reihe, const Zeitraum &zeitraum)
{
    const Art &a = art(reihe);
    QString sql = QStringLiteral("select ") + q(a.schluessel) + QStringLiteral(" as schluessel, count(*) as anzahl")
                  + QStringLiteral(" from temp.auszug where ") + imZeitraum(zeitraum) + QStringLiteral(" and ")
                  + q(a.bedingung) + QStringLiteral(" group by schluessel order by ") + q(a.ordnung);
    if (reihe == Reihe::Ort || reihe == Reihe::Rufzeichen)
        sql += QStringLiteral(" limit ") + QString::number(Spitze);
    return sql;
}

QString Statistik::monatsText(int jahr, int monat)
{
    return QLocale(QLocale::German).standaloneMonthName(monat) + QLatin1Char(' ') + QString::number(jahr);
}

QString Statistik::wochentagsText(int tag)
{
    return QLocale(QLocale::German).standaloneDayName(tag);
}

Statistik::Zahlen Statistik::berechne(const Zeitraum &zeitraum)
{
    m_liste.reset();
    m_berechnet = false;
    m_gezaehlt.fill(false);
    // A connection of its own each time: the log restored from a backup is a
    // new file, and an old connection would go on reading the one replaced.
    m_db = nullptr;
    m_verbindung.reset();
    m_verbindung = std::make_unique<Verbindung>(m_verbindungsText, Verbindung::Zugriff::NurLesen);
    m_db = m_verbindung->handle();
    if (!Logdatum::registriere(m_db))
        throw DatenFehler(kannNicht, QString::fromUtf8(sqlite3_errmsg(m_db)));
    // The extract lives in memory, not in a temporary file.
    ausfuehren(QStringLiteral("pragma temp_store = memory"));
    // This one statement is the only one that reads the log file; every
    // figure and every list after it reads the extract.
    ausfuehren(auszugSql());

    Zahlen z;
    z.zeitraum = zeitraum;
    {
        Anweisung a(m_db, QStringLiteral("select count(*), count(tag), min(tag), max(tag) from temp.auszug"));
        a.schritt(m_db);
        z.imLog = sqlite3_column_int64(a.s, 0);
        z.ohneDatum = z.imLog - sqlite3_column_int64(a.s, 1);
        z.erster = QDate::fromString(a.text(2), Qt::ISODate);
        z.letzter = QDate::fromString(a.text(3), Qt::ISODate);
    }
    {
        Anweisung a(m_db, QStringLiteral("select count(*), count(*) - count(minute) from temp.auszug where ")
                              + imZeitraum(zeitraum));
        a.schritt(m_db);
        z.gezaehlt = sqlite3_column_int64(a.s, 0);
        z.ohneUhrzeit = sqlite3_column_int64(a.s, 1);
    }
    m_zahlen = z;
    m_berechnet = true;
    return z;
}

const QVector<Statistik::Balken> &Statistik::reihe(Reihe reihe)
{
    QVector<Balken> &balken = m_reihen[size_t(reihe)];
    if (!m_berechnet)
        throw DatenFehler(kannNicht, QStringLiteral("Es ist noch nichts berechnet."));
    if (m_gezaehlt[size_t(reihe)])
        return balken;

    const Zeitraum &zeitraum = m_zahlen.zeitraum;
    balken.clear();
    QHash<QString, qint64> gefunden;
    Anweisung a(m_db, reiheSql(reihe, zeitraum));
    while (a.schritt(m_db)) {
        const QString schluessel = a.text(0);
        const qint64 anzahl = sqlite3_column_int64(a.s, 1);
        if (reihe == Reihe::Monat || reihe == Reihe::Stunde || reihe == Reihe::Wochentag)
            gefunden.insert(schluessel, anzahl);
        else
            balken.append({schluessel, schluessel.isEmpty() ? ohneAngabe : schluessel, anzahl});
    }
    switch (reihe) {
    case Reihe::Monat: {
        // Every month of the period, or of the log when an end is open.
        const QDate von = zeitraum.von.isValid() ? zeitraum.von : m_zahlen.erster;
        const QDate bis = zeitraum.bis.isValid() ? zeitraum.bis : m_zahlen.letzter;
        if (!von.isValid() || !bis.isValid())
            break;
        for (QDate m(von.year(), von.month(), 1); m <= bis; m = m.addMonths(1)) {
            const QString s = m.toString(QStringLiteral("yyyy-MM"));
            balken.append({s, monatsText(m.year(), m.month()), gefunden.value(s)});
        }
        break;
    }
    case Reihe::Stunde:
        for (int h = 0; h < 24; ++h)
            balken.append({QString::number(h), QStringLiteral("%1:00–%1:59").arg(h, 2, 10, QLatin1Char('0')),
                           gefunden.value(QString::number(h))});
        break;
    case Reihe::Wochentag:
        for (int t = 1; t <= 7; ++t)
            balken.append({QString::number(t), wochentagsText(t), gefunden.value(QString::number(t))});
        break;
    default: break;
    }
    m_gezaehlt[size_t(reihe)] = true;
    return balken;
}

QString Statistik::abfrage(const Auswahl &auswahl) const
{
    QString sql = q(listenSpalten);
    switch (auswahl.art) {
    case Auswahl::Art::OhneDatum: return sql + QStringLiteral("tag is null order by id");
    case Auswahl::Art::OhneUhrzeit:
        return sql + imZeitraum(m_zahlen.zeitraum) + QStringLiteral(" and minute is null order by tag, id");
    case Auswahl::Art::Balken: break;
    }
    const Art &a = art(auswahl.reihe);
    QString wert;
    if (a.zahl) {
        bool ok = false;
        wert = QString::number(auswahl.schluessel.toInt(&ok));
        if (!ok)
            wert = QStringLiteral("null");   // no such bar: no records
    } else {
        wert = literal(auswahl.schluessel);
    }
    return sql + imZeitraum(m_zahlen.zeitraum) + QStringLiteral(" and ") + q(a.bedingung) + QStringLiteral(" and ")
           + q(a.schluessel) + QStringLiteral(" = ") + wert + QStringLiteral(" order by tag, minute, id");
}

Recordset &Statistik::eintraege(const Auswahl &auswahl)
{
    if (!m_berechnet)
        throw DatenFehler(kannNicht, QStringLiteral("Es ist noch nichts berechnet."));
    m_liste.reset();
    m_liste = std::make_unique<Recordset>(m_db, Abfrage::frei(abfrage(auswahl)), m_verbindung->datei());
    return *m_liste;
}
