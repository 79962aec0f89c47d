// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logimport.h"

#include "kern/daten/sqlitedatei.h"

#include <QHash>
#include <sqlite3.h>

#include <algorithm>

namespace {

bool weiter(const Fortschritt &f, qint64 erledigt, qint64 gesamt)
{
    return !f || f(erledigt, gesamt);
}

// The columns of Kontakt as the database spells them, in the order of a
// record; throws when the file is no log.
QStringList logSpalten(SqliteDatei &db, const QString &datenbank)
{
    const QStringList vorhanden = db.spalten(QStringLiteral("Kontakt"));
    QStringList ziel;
    for (const QString &spalte : Logeintrag::spalten()) {
        const auto it = std::find_if(vorhanden.begin(), vorhanden.end(),
                                     [&](const QString &v) { return v.compare(spalte, Qt::CaseInsensitive) == 0; });
        if (it == vorhanden.end())
            throw DatenFehler(QStringLiteral("Die Datei %1 ist kein Log: Der Tabelle Kontakt fehlt die Spalte %2.")
                                  .arg(datenbank, spalte));
        ziel.append(sqlName(*it));
    }
    return ziel;
}

// A record's key as two independent 64-bit hashes: the keys of a million
// records take some dozen megabytes, not the hundreds their texts would.
struct Schluessel
{
    quint64 a = 0, b = 0;
    bool operator==(const Schluessel &o) const { return a == o.a && b == o.b; }
};

size_t qHash(const Schluessel &s, size_t seed = 0)
{
    return size_t(s.a) ^ seed;
}

Schluessel schluesselVon(const Logeintrag &e)
{
    const QByteArray text = Logdaten::schluessel(e).toUtf8();
    return {quint64(qHash(QByteArrayView(text), size_t(0x9E3779B97F4A7C15ull))),
            quint64(qHash(QByteArrayView(text), size_t(0xC2B2AE3D27D4EB4Full)))};
}

// The keys of the records in the log, each with 0 for "in the log".
QHash<Schluessel, int> schluesselImLog(SqliteDatei &db)
{
    QHash<Schluessel, int> bekannt;
    SqliteAnweisung alle(db, QStringLiteral("select callsign, datum, uhrzeit, frequenz from Kontakt"),
                         QStringLiteral("Das Log kann nicht gelesen werden."));
    const Logeintrag::Spalte spalten[] = {Logeintrag::callsign, Logeintrag::datum, Logeintrag::uhrzeit,
                                          Logeintrag::frequenz};
    while (alle.schritt()) {
        Logeintrag e;
        for (int k = 0; k < 4; ++k)
            if (!alle.istNull(k)) {
                int laenge = 0;
                const char *text = alle.utf8(k, laenge);
                e[spalten[k]] = QString::fromUtf8(text, laenge);
            }
        bekannt.insert(schluesselVon(e), 0);
    }
    return bekannt;
}

// Writes records into Kontakt with one prepared statement.
class Einfueger
{
public:
    Einfueger(SqliteDatei &db, const QStringList &spalten)
        : m_db(db),
          m_s(db,
              QStringLiteral("insert into Kontakt (%1) values (%2)")
                  .arg(spalten.join(QLatin1Char(',')),
                       QStringList(spalten.size(), QStringLiteral("?")).join(QLatin1Char(','))),
              QStringLiteral("Das Log kann nicht geschrieben werden."))
    {
    }

    void schreiben(const Logdaten::Importsatz &satz)
    {
        sqlite3_reset(*m_s);
        for (int c = 0; c < Logeintrag::anzahl; ++c) {
            const Logeintrag::Wert &w = satz.eintrag.werte[c];
            if (w) {
                const QByteArray wert = w->toUtf8();
                sqlite3_bind_text(*m_s, c + 1, wert.constData(), int(wert.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(*m_s, c + 1);
            }
        }
        const int rc = sqlite3_step(*m_s);
        if (rc != SQLITE_DONE)
            throw sqliteFehler(QStringLiteral("Datensatz %1 kann nicht ins Log geschrieben werden; das Log bleibt "
                                              "unverändert.")
                                   .arg(satz.nummer),
                               m_db.handle(), rc);
    }

private:
    SqliteDatei &m_db;
    SqliteAnweisung m_s;
};

// A list of records as a source.
class Liste : public Logdaten::Satzquelle
{
public:
    explicit Liste(const QList<Logdaten::Importsatz> &saetze) : m_saetze(saetze) { }
    std::optional<Logdaten::Importsatz> naechster() override
    {
        if (m_naechster >= m_saetze.size())
            return std::nullopt;
        return m_saetze.at(m_naechster++);
    }
    qint64 stand() const override { return m_naechster; }
    qint64 gesamt() const override { return m_saetze.size(); }

private:
    const QList<Logdaten::Importsatz> &m_saetze;
    qsizetype m_naechster = 0;
};

bool steuerzeichen(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

}   // namespace

int Logdaten::Bericht::anzahl(Ergebnis::Art art) const
{
    switch (art) {
    case Ergebnis::Art::Aufgenommen: return aufgenommen;
    case Ergebnis::Art::Vorhanden: return vorhanden;
    case Ergebnis::Art::Abgelehnt: return abgelehnt;
    case Ergebnis::Art::Geaendert: return geaendert;
    }
    return 0;
}

QList<Logdaten::Ergebnis> Logdaten::Bericht::genannte(Ergebnis::Art art) const
{
    QList<Ergebnis> aus;
    for (const Ergebnis &e : genannt)
        if (e.art == art)
            aus.append(e);
    return aus;
}

Logdaten::Bereinigt Logdaten::ohneSteuerzeichen(QString &wert, bool mehrzeilig)
{
    qsizetype k = 0;
    while (k < wert.size() && !steuerzeichen(wert.at(k).unicode()) && !wert.at(k).isSurrogate())
        ++k;
    if (k == wert.size())
        return Bereinigt::Nichts;
    bool geaendert = false;
    QString neu = wert.left(k);
    for (; k < wert.size(); ++k) {
        const QChar z = wert.at(k);
        const char16_t u = z.unicode();
        const bool umbruch = u == u'\n' || u == u'\r' || u == u'\t';
        if (z.isHighSurrogate() && k + 1 < wert.size() && wert.at(k + 1).isLowSurrogate()) {
            neu += z;
            neu += wert.at(++k);
        } else if (z.isSurrogate()) {
            geaendert = true;   // half a pair: no character at all
        } else if (umbruch && mehrzeilig) {
            neu += z;
        } else if (umbruch) {
            // A line break in a one-line field parts words: a blank, one
            // for CR LF.
            if (!(u == u'\n' && k > 0 && wert.at(k - 1) == QLatin1Char('\r')))
                neu += QLatin1Char(' ');
            geaendert = true;
        } else if (steuerzeichen(u)) {
            geaendert = true;
        } else {
            neu += z;
        }
    }
    if (!geaendert)
        return Bereinigt::Nichts;
    const bool geleert = neu.trimmed().isEmpty() && !wert.trimmed().isEmpty();
    wert = neu;
    return geleert ? Bereinigt::Geleert : Bereinigt::Entfernt;
}

QString Logdaten::bereinigtText(const QString &feld, Bereinigt b)
{
    return b == Bereinigt::Geleert ? QStringLiteral("%1: nur Steuerzeichen, das Feld blieb leer").arg(feld)
                                   : QStringLiteral("%1: Steuerzeichen entfernt").arg(feld);
}

QStringList Logdaten::bereinigen(Logeintrag &e)
{
    QStringList aus;
    for (int c = 0; c < Logeintrag::anzahl; ++c)
        if (e.werte[c])
            if (const Bereinigt b = ohneSteuerzeichen(*e.werte[c], c == Logeintrag::bemerkung); b != Bereinigt::Nichts)
                aus.append(bereinigtText(Logeintrag::beschriftungen().at(c), b));
    return aus;
}

Logdaten::Bericht Logdaten::importieren(const QString &datenbank, const QList<Importsatz> &saetze, bool rest,
                                        const Fortschritt &fortschritt)
{
    Liste quelle(saetze);
    return importieren(datenbank, quelle, rest, fortschritt);
}

Logdaten::Bericht Logdaten::importieren(const QString &datenbank, Satzquelle &quelle, bool rest,
                                        const Fortschritt &fortschritt)
{
    Bericht b;
    auto nennen = [&](Ergebnis::Art art, const Importsatz &s, const QString &grund) {
        if (b.anzahl(art) <= Bericht::hoechstensGenannt)
            b.genannt.append({art, s.nummer, s.zeile, grund});
    };
    SqliteDatei db(datenbank, SqliteDatei::Art::LesenSchreiben);
    const QStringList ziel = logSpalten(db, datenbank);
    bool schreiben = true;
    db.transaktion(
        QStringLiteral("Das Log ist gesperrt oder nicht beschreibbar."),
        QStringLiteral("Die neuen Einträge können nicht gespeichert werden; das Log bleibt unverändert."), [&] {
            QHash<Schluessel, int> bekannt = schluesselImLog(db);   // key -> number in the file, 0 for the log
            Einfueger einfuegen(db, ziel);
            while (std::optional<Importsatz> s = quelle.naechster()) {
                if (!weiter(fortschritt, quelle.stand(), quelle.gesamt()))
                    throw Abgebrochen();
                if (!s->fehler.isEmpty()) {
                    ++b.abgelehnt;
                    nennen(Ergebnis::Art::Abgelehnt, *s, s->fehler);
                    schreiben = schreiben && rest;
                    continue;
                }
                const Schluessel k = schluesselVon(s->eintrag);
                if (const auto it = bekannt.constFind(k); it != bekannt.constEnd()) {
                    ++b.vorhanden;
                    nennen(Ergebnis::Art::Vorhanden, *s,
                           it.value() == 0 ? QStringLiteral("steht schon im Log")
                                           : QStringLiteral("gleicht Datensatz %1 der Datei").arg(it.value()));
                    continue;
                }
                bekannt.insert(k, s->nummer);
                ++b.aufgenommen;
                if (!s->hinweise.isEmpty()) {
                    ++b.geaendert;
                    nennen(Ergebnis::Art::Geaendert, *s, s->hinweise.join(QStringLiteral("; ")));
                }
                if (schreiben)
                    einfuegen.schreiben(*s);
            }
            weiter(fortschritt, quelle.gesamt(), quelle.gesamt());
            return schreiben ? SqliteDatei::Abschluss::Festschreiben : SqliteDatei::Abschluss::Verwerfen;
        });
    b.geschrieben = schreiben;
    return b;
}
