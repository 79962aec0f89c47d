// SPDX-License-Identifier: GPL-3.0-or-later
// The loader's way along an index (Zeilenlader::Weg::Index): whether an
// index serves the sort, the parts of its order (rows without a sort value,
// then the others), the statements that read a page from a row on, the far
// jump that steps over rows on the index alone, and the choice of the
// nearest known row to start from.
#include "kern/daten/zeilenlader.h"

#include "kern/basis/datenfehler.h"
#include "kern/daten/sqlitedatei.h"

#include <sqlite3.h>

#include <algorithm>

bool Zeilenlader::indexDient() const
{
    // An index whose only column is the sort column, ascending, in the
    // column's own collation, over every row: it holds (column, rowid) in
    // exactly the order the rows are read in.
    const QByteArray tabelle8 = m_abfrage.tabellenName().toUtf8();
    const char *kollation = nullptr;
    if (sqlite3_table_column_metadata(m_db, nullptr, tabelle8.constData(), m_felder[m_sortFeld].toUtf8().constData(),
                                      nullptr, &kollation, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        return false;
    const QString spaltenKollation = QString::fromUtf8(kollation ? kollation : "BINARY");
    try {
        SqliteAnweisung liste(m_db, QStringLiteral("pragma index_list(") + m_tabelle + QLatin1Char(')'), QString());
        while (liste.schritt()) {
            if (liste.zahl(4) != 0)
                continue;   // partial
            SqliteAnweisung info(
                m_db, QStringLiteral("pragma index_xinfo(") + sqlName(liste.wert(1).toString()) + QLatin1Char(')'),
                QString());
            int schluesselSpalten = 0;
            bool passt = false;
            while (info.schritt()) {
                if (info.zahl(5) == 0)
                    continue;   // the rowid at the end, not a key column
                ++schluesselSpalten;
                passt = info.wert(2).toString().compare(m_felder[m_sortFeld], Qt::CaseInsensitive) == 0
                        && info.zahl(3) == 0
                        && info.wert(4).toString().compare(spaltenKollation, Qt::CaseInsensitive) == 0;
            }
            if (schluesselSpalten == 1 && passt)
                return true;
        }
    } catch (const DatenFehler &) {
        // Indexes that cannot be listed serve no one: the keys are ordered
        // once instead, which reads the same rows.
    }
    return false;
}

QString Zeilenlader::reihenfolge(Teil teil, bool rueckwaerts) const
{
    const QString richtung = rueckwaerts ? QStringLiteral(" desc") : QStringLiteral(" asc");
    if (m_sortierung.isEmpty() || teil == Teil::Null)
        return QStringLiteral(" order by ") + m_schluessel + richtung;
    return QStringLiteral(" order by ") + m_sortierung + richtung + QStringLiteral(", ") + m_schluessel + richtung;
}

Zeilenlader::Teil Zeilenlader::teilVon(const Anker &a) const
{
    if (m_sortierung.isEmpty())
        return Teil::Alle;
    return a.wert.isNull() ? Teil::Null : Teil::Werte;
}

Zeilenlader::Teil Zeilenlader::naechsterTeil(Teil teil, bool rueckwaerts) const
{
    if (teil == Teil::Null && !rueckwaerts)
        return Teil::Werte;
    if (teil == Teil::Werte && rueckwaerts)
        return Teil::Null;
    return Teil::Alle;
}

QString Zeilenlader::teilBedingung(Teil teil, const Anker *von, const char *op, QVector<QVariant> &werte) const
{
    const QString vergleich = QLatin1Char(' ') + QLatin1String(op) + QLatin1Char(' ');
    switch (teil) {
    case Teil::Alle:
        if (!von)
            return QString();
        werte << QVariant(qlonglong(von->schluessel));   // only by key: no NULL to pass over
        return m_schluessel + vergleich + QLatin1Char('?');
    case Teil::Null:
        if (!von)
            return m_sortierung + QStringLiteral(" is null");
        werte << QVariant(qlonglong(von->schluessel));
        return m_sortierung + QStringLiteral(" is null and ") + m_schluessel + vergleich + QLatin1Char('?');
    case Teil::Werte:
        if (!von)
            return m_sortierung + QStringLiteral(" is not null");
        // A comparison with a value leaves out NULL by itself.
        werte << von->wert << QVariant(qlonglong(von->schluessel));
        return QLatin1Char('(') + m_sortierung + QStringLiteral(", ") + m_schluessel + QLatin1Char(')') + vergleich
               + QStringLiteral("(?, ?)");
    }
    return QString();
}

QVector<QVariant> Zeilenlader::teilWerte(Teil teil, const Anker *von) const
{
    QVector<QVariant> werte;
    bedingung(teilBedingung(teil, von, ">", werte), werte);
    return werte;
}

SqliteAnweisung &Zeilenlader::teilAnweisung(Teil teil, const Anker *von, const char *op, bool rueckwaerts,
                                            bool nurFinden)
{
    const int opNummer = op[0] == '<' ? (op[1] ? 1 : 0) : (op[1] ? 3 : 2);
    const int schluessel = int(teil) | (von ? 4 : 0) | (opNummer << 3) | (rueckwaerts ? 32 : 0) | (nurFinden ? 64 : 0);
    SqliteAnweisung *&a = m_teilAnweisungen[schluessel];
    if (!a)
        a = &anweisung(teilSql(teil, von, op, rueckwaerts, nurFinden));
    return *a;
}

QString Zeilenlader::teilSql(Teil teil, const Anker *von, const char *op, bool rueckwaerts, bool nurFinden) const
{
    QVector<QVariant> werte;
    const QString bed = bedingung(teilBedingung(teil, von, op, werte), werte);
    const QString spalten = !nurFinden               ? m_schluessel + QStringLiteral(", *")
                            : m_sortierung.isEmpty() ? QStringLiteral("null, ") + m_schluessel
                                                     : m_sortierung + QStringLiteral(", ") + m_schluessel;
    return QStringLiteral("select ") + spalten + QStringLiteral(" from ") + m_tabelle + bed
           + reihenfolge(teil, rueckwaerts)
           + (nurFinden ? QStringLiteral(" limit 1 offset ?") : QStringLiteral(" limit ?"));
}

std::optional<Zeilenlader::Anker> Zeilenlader::finde(const Anker *von, bool rueckwaerts, int ueber)
{
    Teil teil = von ? teilVon(*von) : Teil::Alle;
    for (;;) {
        const QVector<QVariant> werte = teilWerte(teil, von);
        SqliteAnweisung &s = teilAnweisung(teil, von, rueckwaerts ? "<" : ">", rueckwaerts, true);
        {
            Lauf lauf{s};
            for (int i = 0; i < werte.size(); ++i)
                s.binde(i + 1, werte[i]);
            s.bindeZahl(werte.size() + 1, ueber);
            if (s.schritt())
                return Anker{s.wert(0), s.zahl(1)};
        }
        const Teil naechster = naechsterTeil(teil, rueckwaerts);
        if (!von || naechster == Teil::Alle)
            return std::nullopt;   // fewer rows than counted
        // The row lies in the next part: step over the rest of this one.
        QVector<QVariant> restWerte;
        SqliteAnweisung &rest =
            anweisung(QStringLiteral("select count(*) from ") + m_tabelle
                      + bedingung(teilBedingung(teil, von, rueckwaerts ? "<" : ">", restWerte), restWerte));
        Lauf lauf{rest};
        for (int i = 0; i < restWerte.size(); ++i)
            rest.binde(i + 1, restWerte[i]);
        rest.schritt();
        ueber -= int(rest.zahl(0));
        if (ueber < 0)
            return std::nullopt;
        teil = naechster;
        von = nullptr;
    }
}

int Zeilenlader::liesAb(const Anker *von, bool einschliesslich, bool rueckwaerts, int anzahl, Zeilenblock &aus,
                        Anker &erster, Anker &letzter)
{
    Teil teil = von ? teilVon(*von) : Teil::Alle;
    const char *op = rueckwaerts ? (einschliesslich ? "<=" : "<") : (einschliesslich ? ">=" : ">");
    int n = 0;
    for (;;) {
        const QVector<QVariant> werte = teilWerte(teil, von);
        SqliteAnweisung &s = teilAnweisung(teil, von, op, rueckwaerts, false);
        Lauf lauf{s};
        for (int i = 0; i < werte.size(); ++i)
            s.binde(i + 1, werte[i]);
        s.bindeZahl(werte.size() + 1, anzahl - n);
        n = zeilenAnhaengen(s, n, aus, erster, letzter);
        const Teil naechster = naechsterTeil(teil, rueckwaerts);
        if (n == anzahl || !von || naechster == Teil::Alle)
            return n;
        teil = naechster;   // on from the near end of the next part
        von = nullptr;
    }
}

int Zeilenlader::zeilenAnhaengen(SqliteAnweisung &s, int n, Zeilenblock &aus, Anker &erster, Anker &letzter)
{
    // The first and the last row become starts for later reads; a text
    // value is taken from the page afterwards rather than copied for every
    // row.
    const int sortSpalte = m_sortierung.isEmpty() ? -1 : 1 + m_sortFeld;
    bool letzterText = false;
    while (s.schritt()) {
        const bool text = sortSpalte >= 0 && sqlite3_column_type(*s, sortSpalte) == SQLITE_TEXT;
        letzter = Anker{sortSpalte < 0 || text ? QVariant() : s.wert(sortSpalte), s.zahl(0)};
        letzterText = text;
        if (n == 0)
            erster = Anker{sortSpalte < 0 ? QVariant() : s.wert(sortSpalte), letzter.schluessel};
        zeileAnhaengen(s, aus, 1);
        ++n;
    }
    if (letzterText)
        letzter.wert = aus.wert(aus.zeilen() - 1, m_sortFeld);
    return n;
}

void Zeilenlader::liesIndex(int start, int anzahl, int gesamt, Zeilenblock &ziel)
{
    if (start < 0 || start >= gesamt)
        return;
    anzahl = std::min(anzahl, gesamt - start);
    const bool ab = m_abfrage.richtung() == Abfrage::Richtung::Ab;

    // The first page is read the same way whether an index serves the sort
    // or not; any other page only with one.
    if (!m_indexGeprueft && (ab || start > 0)) {
        m_indexGeprueft = true;
        if (!m_sortierung.isEmpty() && !indexDient()) {
            listeLesen(false);
            m_weg = Weg::Schluesselliste;
            liesSchluessel(start, anzahl, ziel);
            return;
        }
    }

    // Positions count in ascending order; a descending query reads the
    // mirrored rows and turns them round.
    const int anfang = ab ? gesamt - start - anzahl : start;

    // Where to start: from the first row, from the last, or from a row read
    // before; the fewest rows stepped over wins.
    const Anker *von = nullptr;
    bool rueckwaerts = false;
    int ueber = anfang;
    if (gesamt - (anfang + anzahl) < ueber) {
        rueckwaerts = true;
        ueber = gesamt - (anfang + anzahl);
    }
    const auto danach = m_anker.lower_bound(anfang);
    if (danach != m_anker.begin()) {
        const auto davor = std::prev(danach);
        if (anfang - davor->first - 1 < ueber) {
            von = &davor->second;
            rueckwaerts = false;
            ueber = anfang - davor->first - 1;
        }
    }
    if (danach != m_anker.end() && danach->first >= anfang + anzahl && danach->first - (anfang + anzahl) < ueber) {
        von = &danach->second;
        rueckwaerts = true;
        ueber = danach->first - (anfang + anzahl);
    }

    // A far start: find the row there on the index alone (the rows stepped
    // over are never read), then read the page from it.
    std::optional<Anker> gefunden;
    if (ueber > 0) {
        gefunden = finde(von, rueckwaerts, ueber);
        if (!gefunden)
            return;   // fewer rows than counted
        von = &*gefunden;
    }
    // Rows come in the direction read; the page takes them in the query's.
    const bool drehen = rueckwaerts != ab;
    Zeilenblock gedreht(m_felder.size());
    Anker erster, letzter;
    const int n = liesAb(von, ueber > 0, rueckwaerts, anzahl, drehen ? gedreht : ziel, erster, letzter);
    if (n == 0)
        return;
    if (drehen)
        for (int i = n - 1; i >= 0; --i)
            ziel.kopiereZeile(gedreht, i);
    // The first and the last row serve as starts for the next reads.
    if (rueckwaerts)
        std::swap(erster, letzter);
    const int von0 = rueckwaerts ? anfang + anzahl - n : anfang;
    m_anker[von0] = erster;
    m_anker[von0 + n - 1] = letzter;
}
