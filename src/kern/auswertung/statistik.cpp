// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/auswertung/statistik.h"

#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/recordset.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/verbindung.h"

#include <QLocale>
#include <QRegularExpression>

const QString Statistik::ohneAngabe = QStringLiteral("(ohne Angabe)");

namespace {

const QString kannNicht = QStringLiteral("Die Statistik des Logs kann nicht berechnet werden.");

// A text value of a row; a null value gives a null text.
QString text(const SqliteAnweisung &a, int spalte)
{
    int laenge = 0;
    const char *t = a.utf8(spalte, laenge);
    return t ? QString::fromUtf8(t, laenge) : QString();
}

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
    SqliteAnweisung(m_db, sql, kannNicht).ausfuehren();
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
        throw sqliteFehler(kannNicht, m_db);
    // The extract lives in memory, not in a temporary file.
    ausfuehren(QStringLiteral("pragma temp_store = memory"));
    // This one statement is the only one that reads the log file; every
    // figure and every list after it reads the extract.
    ausfuehren(auszugSql());

    Zahlen z;
    z.zeitraum = zeitraum;
    {
        SqliteAnweisung a(m_db, QStringLiteral("select count(*), count(tag), min(tag), max(tag) from temp.auszug"),
                          kannNicht);
        a.schritt();
        z.imLog = a.zahl(0);
        z.ohneDatum = z.imLog - a.zahl(1);
        z.erster = QDate::fromString(text(a, 2), Qt::ISODate);
        z.letzter = QDate::fromString(text(a, 3), Qt::ISODate);
    }
    {
        SqliteAnweisung a(m_db,
                          QStringLiteral("select count(*), count(*) - count(minute) from temp.auszug where ")
                              + imZeitraum(zeitraum),
                          kannNicht);
        a.schritt();
        z.gezaehlt = a.zahl(0);
        z.ohneUhrzeit = a.zahl(1);
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
    SqliteAnweisung a(m_db, reiheSql(reihe, zeitraum), kannNicht);
    while (a.schritt()) {
        const QString schluessel = text(a, 0);
        const qint64 anzahl = a.zahl(1);
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
