#include "kern/bestaende/logeintrag.h"

#include "kern/basis/frequenz.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/sortierung.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"
#include "kern/daten/verbindung.h"
#include "kern/formate/rtf.h"

#include <QFont>
#include <QHash>
#include <QTextDocument>
#include <sqlite3.h>

#include <algorithm>

namespace {

QString spaltenText(sqlite3_stmt *s, int k)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, k)), sqlite3_column_bytes(s, k));
}

Logeintrag::Wert wertLesen(sqlite3_stmt *s, int k)
{
    if (sqlite3_column_type(s, k) == SQLITE_NULL)
        return std::nullopt;
    return spaltenText(s, k);
}

// The field of the statement for each column of a record.
QList<int> spaltenZuordnen(sqlite3_stmt *s, const QString &was)
{
    QList<int> felder(Logeintrag::anzahl, -1);
    for (int k = 0; k < sqlite3_column_count(s); ++k) {
        const QString name = QString::fromUtf8(sqlite3_column_name(s, k));
        for (int c = 0; c < Logeintrag::anzahl; ++c)
            if (felder.at(c) < 0 && Logeintrag::spalten().at(c).compare(name, Qt::CaseInsensitive) == 0)
                felder[c] = k;
    }
    for (int c = 0; c < Logeintrag::anzahl; ++c)
        if (felder.at(c) < 0)
            throw DatenFehler(was, QStringLiteral("Die Spalte %1 fehlt.").arg(Logeintrag::spalten().at(c)));
    return felder;
}

bool weiter(const Fortschritt &f, qint64 erledigt, qint64 gesamt)
{
    return !f || f(erledigt, gesamt);
}

template <typename F> void inTransaktion(SqliteDatei &db, F arbeit)
{
    db.ausfuehren("begin immediate", QStringLiteral("Das Log ist gesperrt oder nicht beschreibbar."));
    try {
        arbeit();
        db.ausfuehren("commit", QStringLiteral("Die neuen Einträge können nicht gespeichert werden."));
    } catch (...) {
        sqlite3_exec(db.handle(), "rollback", nullptr, nullptr, nullptr);
        throw;
    }
}

}   // namespace

const QStringList &Logeintrag::spalten()
{
    static const QStringList namen{"callsign", "skip",  "vorname",  "land", "swert", "rwert",    "datum",
                                   "uhrzeit",  "lanal", "frequenz", "band", "ort",   "bemerkung"};
    return namen;
}

const QStringList &Logeintrag::beschriftungen()
{
    static const QStringList namen{"CallSign", "Skip",  "Vorname",  "Land",       "S-Wert", "R-Wert",   "Datum",
                                   "Uhrzeit",  "Kanal", "Frequenz", "Modulation", "QTH",    "Bemerkung"};
    return namen;
}

QString Logeintrag::alsText() const
{
    QStringList teile;
    for (const Wert &w : werte)
        teile.append(w ? *w : QStringLiteral("\u2205"));
    return teile.join(QLatin1Char('|'));
}

QString Logdaten::standardDatei()
{
    return Speicherorte::datei(Verbindung::dateiName(Verbindungstext::log));
}

QList<Logeintrag> Logdaten::lesen(const QString &datenbank, const QString &abfrage, const Fortschritt &fortschritt)
{
    SqliteDatei db(datenbank, SqliteDatei::Art::NurLesen);
    const QString was = QStringLiteral("Die Einträge des Logs können nicht gelesen werden.");
    // A query may search and sort as the windows do.
    if (!registriereUnicodeLike(db.handle()) || !Sortierung::registrieren(db.handle()))
        throw DatenFehler(was, db.text());

    qint64 gesamt = 0;
    {
        SqliteAnweisung zaehlen(db, QStringLiteral("select count(*) from (%1)").arg(abfrage), was);
        if (sqlite3_step(*zaehlen) == SQLITE_ROW)
            gesamt = sqlite3_column_int64(*zaehlen, 0);
    }
    SqliteAnweisung s(db, abfrage, was);
    const QList<int> felder = spaltenZuordnen(*s, was);
    QList<Logeintrag> aus;
    aus.reserve(gesamt);
    int rc;
    while ((rc = sqlite3_step(*s)) == SQLITE_ROW) {
        Logeintrag e;
        for (int c = 0; c < Logeintrag::anzahl; ++c)
            e.werte[c] = wertLesen(*s, felder.at(c));
        aus.append(e);
        if (aus.size() % 256 == 0 && !weiter(fortschritt, aus.size(), gesamt))
            throw Abgebrochen();
    }
    if (rc != SQLITE_DONE)
        throw DatenFehler(was, db.text());
    return aus;
}

QString Logdaten::bemerkungAlsText(const QString &rtf)
{
    QString text = Rtf::alsText(rtf);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString Logdaten::bemerkungAusText(const QString &text)
{
    QTextDocument d;
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSizeF(12);
    d.setDefaultFont(schrift);
    d.setPlainText(text);
    return Rtf::schreiben(d);
}

QString Logdaten::schluessel(const Logeintrag &e)
{
    auto teil = [](const Logeintrag::Wert &w, auto lesen) -> QString {
        if (!w)
            return QStringLiteral("\u2205");
        return lesen(*w);
    };
    const QString call = teil(e[Logeintrag::callsign], [](const QString &t) { return t.trimmed().toUpper(); });
    const QString datum = teil(e[Logeintrag::datum], [](const QString &t) {
        const auto d = Logdatum::tag(t);
        return d ? d->toString(Qt::ISODate) : t.trimmed();
    });
    const QString zeit = teil(e[Logeintrag::uhrzeit], [](const QString &t) {
        const auto z = Logdatum::uhrzeit(t);
        return z ? z->zeit.toString(QStringLiteral("HH:mm")) : t.trimmed();
    });
    const QString freq = teil(e[Logeintrag::frequenz], [](const QString &t) {
        const auto hz = Frequenz::hertz(t);
        return hz ? QString::number(*hz) + QStringLiteral(" Hz") : t.trimmed();
    });
    return QStringList{call, datum, zeit, freq}.join(QChar(0x1F));
}

namespace {

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

// The keys of the records in the log, each with 0 for "in the log".
QHash<QString, int> schluesselImLog(SqliteDatei &db)
{
    QHash<QString, int> bekannt;
    SqliteAnweisung alle(db, QStringLiteral("select callsign, datum, uhrzeit, frequenz from Kontakt"),
                         QStringLiteral("Das Log kann nicht gelesen werden."));
    while (sqlite3_step(*alle) == SQLITE_ROW) {
        Logeintrag e;
        e[Logeintrag::callsign] = wertLesen(*alle, 0);
        e[Logeintrag::datum] = wertLesen(*alle, 1);
        e[Logeintrag::uhrzeit] = wertLesen(*alle, 2);
        e[Logeintrag::frequenz] = wertLesen(*alle, 3);
        bekannt.insert(Logdaten::schluessel(e), 0);
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
        if (sqlite3_step(*m_s) != SQLITE_DONE)
            throw DatenFehler(QStringLiteral("Datensatz %1 kann nicht ins Log geschrieben werden; das Log bleibt "
                                             "unverändert.")
                                  .arg(satz.nummer),
                              m_db.text());
    }

private:
    SqliteDatei &m_db;
    SqliteAnweisung m_s;
};

}   // namespace

Logdaten::Bericht Logdaten::importieren(const QString &datenbank, const QList<Importsatz> &saetze, bool rest,
                                        const Fortschritt &fortschritt)
{
    Bericht bericht;
    for (const Importsatz &s : saetze) {
        const bool nein = !s.fehler.isEmpty();
        bericht.ergebnisse.append(
            {nein ? Ergebnis::Art::Abgelehnt : Ergebnis::Art::Aufgenommen, s.nummer, s.zeile, s.fehler});
    }
    bericht.geschrieben = rest || bericht.anzahl(Ergebnis::Art::Abgelehnt) == 0;

    SqliteDatei db(datenbank, SqliteDatei::Art::LesenSchreiben);
    const QStringList ziel = logSpalten(db, datenbank);
    inTransaktion(db, [&] {
        QHash<QString, int> bekannt = schluesselImLog(db);   // key -> number in the file, 0 for the log
        Einfueger einfuegen(db, ziel);
        for (int r = 0; r < saetze.size(); ++r) {
            if (!weiter(fortschritt, r, saetze.size()))
                throw Abgebrochen();
            Ergebnis &erg = bericht.ergebnisse[r];
            if (erg.art == Ergebnis::Art::Abgelehnt)
                continue;
            const QString k = schluessel(saetze.at(r).eintrag);
            if (const auto it = bekannt.constFind(k); it != bekannt.constEnd()) {
                erg.art = Ergebnis::Art::Vorhanden;
                erg.grund = it.value() == 0 ? QStringLiteral("steht schon im Log")
                                            : QStringLiteral("gleicht Datensatz %1 der Datei").arg(it.value());
                continue;
            }
            bekannt.insert(k, saetze.at(r).nummer);
            if (bericht.geschrieben)
                einfuegen.schreiben(saetze.at(r));
        }
        weiter(fortschritt, saetze.size(), saetze.size());
    });
    return bericht;
}

int Logdaten::Bericht::anzahl(Ergebnis::Art art) const
{
    return int(std::count_if(ergebnisse.begin(), ergebnisse.end(), [art](const Ergebnis &e) { return e.art == art; }));
}
