#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The rows of one query over one table, as the grid and the bound fields see
// them. The count is exact (read with a count query when the record set is
// opened); the rows themselves are read from the statement on demand, in
// order, and kept compactly, so that the first screen of a large table shows
// at once and a million rows fit in well under a hundred megabytes.
//
// Writes go straight to the table by its integer key and are then laid over
// the rows read so far: nothing is read again after a write.
class Recordset
{
public:
    // Prepares the statement and counts its rows. Throws DatenFehler.
    Recordset(sqlite3 *db, const QString &sql);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    const QString &sql() const { return m_sql; }
    int RecordCount() const;
    // Index of a field by name, letter case ignored; -1 if there is none.
    int feldIndex(const QString &name) const;

    // The value of one field of one row: a null QVariant for NULL, otherwise
    // the value as text. Throws DatenFehler if the rows cannot be read.
    QVariant wert(int zeile, int feld);
    QVector<QVariant> zeile(int zeile);

    // Writing needs the table's integer key among the fields.
    bool beschreibbar() const { return m_schluesselFeld >= 0; }
    // Writes the given fields of a row. Throws DatenFehler.
    void aendern(int zeile, const QHash<int, QVariant> &werte);
    // Inserts a record and appends it as the last row; returns its row.
    int einfuegen(const QHash<int, QVariant> &werte);
    // Deletes a row from the table and from this record set.
    void loeschen(int zeile);

    // A running statement holds a read lock on the file. A record set that
    // can be written stops its statement here (the data view calls this when
    // the screen has its rows), so other programs can write the file while a
    // window shows it; the next read starts it again.
    void anhalten();

private:
    struct Seite;
    void leseBis(int basisZeile);
    int basisZeile(int zeile) const;   // row -> row of the statement, or -1
    QVariant basisWert(int basisZeile, int feld);
    void bereiteTabelleVor();
    QVector<QVariant> leseDatensatz(qint64 schluessel);
    void vorDemSchreiben();

    sqlite3 *m_db;
    QString m_sql;
    QString m_tabelle;
    sqlite3_stmt *m_stmt = nullptr;
    QStringList m_felder;
    int m_schluesselFeld = -1;
    int m_basisAnzahl = 0;   // rows the statement yields (exact count)
    int m_gelesen = 0;       // rows read from the statement so far
    bool m_ende = false;
    bool m_angehalten = false;   // the statement was stopped and runs again
    // Keys of the rows read or written so far. A write first ends the running
    // statement (so that SQLite commits at once); reading on starts it again
    // and passes over every row it has already given.
    QSet<qint64> m_bekannt;
    std::vector<std::unique_ptr<Seite>> m_seiten;
    // Changes laid over the statement's rows.
    QHash<int, QVector<QVariant>> m_geaendert;   // statement row -> values
    std::vector<int> m_geloescht;                // statement rows, ascending
    QVector<QVector<QVariant>> m_angehaengt;     // inserted rows
    QVector<bool> m_angehaengtGeloescht;
};
