// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"
#include "kern/daten/abfrage.h"
#include "kern/daten/zeilencache.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
class SqliteAnweisung;

// Reads the rows of one query from an SQLite connection by position, a page
// at a time, for a Zeilencache. Every read is a statement of its own that
// runs to its end, so no read lock is held between reads and other programs
// may write the file while a window shows it.
//
// How a position is found depends on the sort:
// - Index: an index on the sort column (or the key) orders the rows by
//   (sort column, key). A page is read from the nearest known row (the first
//   or last row of a page read before), from the first or from the last row,
//   with "(column, key) > (?, ?)" on the index; a far jump first steps over
//   the rows between on the index alone. Whether an index serves the sort is
//   looked up when a page other than the first is wanted.
// - Schluesselliste: no index serves the sort (or a collation of the query
//   or a second sort column asks for another order), so the query's keys are read once, in order
//   (keys only: 8 bytes a row), and a page is read by its keys.
// - Versatz: the table has no key (a view): pages are read by their offset.
// - Folge: a free statement (Abfrage::frei) runs once and its rows are read
//   in order as they are asked for; it keeps its place between reads (and
//   with it a read lock on what it reads), and runs anew only for a row
//   before its place.
//
// A damaged file: a read that finds the file damaged does not end the
// reading. The loader takes the keys in order from the index (which does not
// read the damaged rows themselves), reads every row by its key, and gives
// an unreadable row as empty cells. schaden() holds the first failure.
class Zeilenlader : public Zeilenquelle
{
public:
    enum class Weg { Index, Schluesselliste, Versatz, Folge };

    // Prepares the query; throws DatenFehler when it cannot run (no such
    // table or column). datei names the file in messages.
    Zeilenlader(sqlite3 *db, const Abfrage &abfrage, const QString &datei);
    ~Zeilenlader() override;

    const QStringList &felder() const { return m_felder; }
    // The table's integer primary key among the fields, or -1 (then the
    // rows can be read but not written back).
    int schluesselFeld() const { return m_schluesselFeld; }
    // The table and the key column, as SQL names.
    const QString &tabelleSql() const { return m_tabelle; }
    const QString &schluesselSql() const { return m_schluessel; }
    Weg weg() const { return m_weg; }

    // The number of rows of the query. Throws DatenFehler.
    int zaehle();
    void lies(int start, int anzahl, int gesamt, Zeilenblock &ziel) override;
    void auslassen(qint64 schluessel) override;
    // One record by its key, in the order of felder(); empty if there is
    // none. Throws DatenFehler.
    QVector<QVariant> datensatz(qint64 schluessel);

    // The first read that found the file damaged, if one did.
    const std::optional<DatenFehler> &schaden() const { return m_schaden; }
    // Makes a failure of the file known: after it the rows are read by key.
    void beschaedigt(const DatenFehler &f);

private:
    // Ends a statement's run on every way out: it lets go of its read lock.
    struct Lauf
    {
        SqliteAnweisung &s;
        ~Lauf();
    };
    struct Anker
    {
        QVariant wert;   // the sort column's value as SQLite holds it
        qint64 schluessel;
    };
    // In the order of the index the rows whose sort column is NULL come
    // first (by key), then the others (by sort column and key). A read from
    // the first or the last row runs over the whole order (Alle); a read from
    // a row runs in that row's part and from there into the next part.
    enum class Teil { Alle, Null, Werte };

    SqliteAnweisung &anweisung(const QString &sql);
    // The WHERE clause: the search, the records left out, and weitere,
    // whose values werte holds already (they come after the search's).
    QString bedingung(const QString &weitere, QVector<QVariant> &werte) const;
    QString reihenfolge(Teil teil, bool rueckwaerts) const;
    Teil teilVon(const Anker &a) const;
    // The next part in a direction, or Alle when there is none.
    Teil naechsterTeil(Teil teil, bool rueckwaerts) const;
    // The condition for the rows of a part, or for those of its rows after
    // (op ">", ">=") or before ("<", "<=") a row.
    QString teilBedingung(Teil teil, const Anker *von, const char *op, QVector<QVariant> &werte) const;
    // The statement that reads rows in such a range; or, with nurFinden,
    // only the sort value and key of the row a given number of rows on. Its
    // parameters: teilWerte, then the limit (and the offset).
    QString teilSql(Teil teil, const Anker *von, const char *op, bool rueckwaerts, bool nurFinden) const;
    SqliteAnweisung &teilAnweisung(Teil teil, const Anker *von, const char *op, bool rueckwaerts, bool nurFinden);
    QVector<QVariant> teilWerte(Teil teil, const Anker *von) const;
    QString versatzSql() const;
    void zeileAnhaengen(SqliteAnweisung &s, Zeilenblock &ziel, int versatz);
    // The row that stands ueber rows after (before) von, or after the
    // first (before the last) row of all when von is null.
    std::optional<Anker> finde(const Anker *von, bool rueckwaerts, int ueber);
    // Up to anzahl rows from von on (von itself or not), in the direction
    // read; returns how many, with the first and the last of them.
    int liesAb(const Anker *von, bool einschliesslich, bool rueckwaerts, int anzahl, Zeilenblock &aus, Anker &erster,
               Anker &letzter);
    // Appends the rows of a page statement (key, then the fields) to aus,
    // counting on from n rows read before; returns the new count, with the
    // first row read at all and the last one.
    int zeilenAnhaengen(SqliteAnweisung &s, int n, Zeilenblock &aus, Anker &erster, Anker &letzter);
    void liesIndex(int start, int anzahl, int gesamt, Zeilenblock &ziel);
    void liesSchluessel(int start, int anzahl, Zeilenblock &ziel);
    void liesVersatz(int start, int anzahl, Zeilenblock &ziel);
    void liesFolge(int start, int anzahl, Zeilenblock &ziel);
    void listeLesen(bool robust);
    bool indexDient() const;

    sqlite3 *m_db;
    Abfrage m_abfrage;
    QString m_datei;
    QString m_tabelle;
    QString m_schluessel;   // "rowid" or the key column; empty: none
    QString m_sortierung;   // the sort column as SQL, empty: by key
    QString m_dann;         // the sort among its equal rows, with direction
    QStringList m_felder;
    int m_schluesselFeld = -1;
    int m_sortFeld = -1;
    Weg m_weg = Weg::Index;
    bool m_indexGeprueft = false;
    std::vector<qint64> m_ausgelassen;   // ascending
    QHash<QString, std::shared_ptr<SqliteAnweisung>> m_anweisungen;
    QHash<int, SqliteAnweisung *> m_teilAnweisungen;   // the page statements among them
    std::map<int, Anker> m_anker;                      // rows read before, by position (ascending)
    std::vector<qint64> m_liste;                       // Schluesselliste: the keys in order
    std::optional<DatenFehler> m_schaden;
    std::unique_ptr<SqliteAnweisung> m_folge;   // Folge: the free statement
    int m_folgeStelle = 0;                      // rows it gave so far
    bool m_folgeEnde = false;
};
