// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QVariant>
#include <QVector>

#include <unordered_map>
#include <vector>

// Rows of a query, compactly: for every row its key, the text of its cells
// back to back and, for every cell, where its text ends (NULL marked apart).
class Zeilenblock
{
public:
    explicit Zeilenblock(int felder = 0) : m_felder(felder) { }

    int felder() const { return m_felder; }
    int zeilen() const { return int(m_schluessel.size()); }

    // A row is begun with its key and then given exactly felder() cells.
    void neueZeile(qint64 schluessel);
    void zelle(const char *utf8, int laenge);
    void nullZelle();
    // A row of null cells: a place held for a row the block does not carry.
    void leereZeile(qint64 schluessel);
    void kopiereZeile(const Zeilenblock &von, int zeile);
    // Drops every row from the given one on.
    void kuerzen(int zeilen);
    // Frees the room kept for growing once the block is complete.
    void abschliessen();

    qint64 schluessel(int zeile) const { return m_schluessel[size_t(zeile)]; }
    // A null QVariant for NULL, otherwise the cell's text.
    QVariant wert(int zeile, int feld) const;

private:
    int m_felder;
    QByteArray m_text;
    std::vector<quint32> m_enden;
    std::vector<qint64> m_schluessel;
};

// Where a row cache gets its rows from: the rows that the query gives now,
// in its order, less every row whose key it was told to leave out.
class Zeilenquelle
{
public:
    virtual ~Zeilenquelle() = default;
    // Appends the rows from position start on, at most anzahl of them, to
    // ziel; fewer when the query ends before. gesamt is the number of rows
    // that the cache expects from the query (so a source may read a page
    // near the end from the end). Throws DatenFehler.
    virtual void lies(int start, int anzahl, int gesamt, Zeilenblock &ziel) = 0;
    // The record with this key no longer counts among the query's rows:
    // the cache keeps its own copy (it was written, added or deleted).
    virtual void auslassen(qint64 schluessel) = 0;
};

// The rows of a data view as the grid and the bound fields see them: the
// query's rows as they were counted ("base rows"), read a page at a time
// from a Zeilenquelle when they are first asked for, with the writes of the
// view laid over them. A changed row keeps its place, a deleted one leaves
// the rows, an added one is appended at the end; nothing is read again after
// a write. Only a bounded number of pages is kept; a page that was let go is
// read again when it is needed.
//
// Knows no database: the source does the reading.
class Zeilencache
{
public:
    // Pages of 40 rows by default, about two screens of a grid; 256 pages
    // are some 10,000 rows.
    Zeilencache(Zeilenquelle &quelle, int basisAnzahl, int felder, int seitenGroesse = 40, int hoechstSeiten = 256);

    // The rows shown: base rows less deleted ones, plus added rows.
    int anzahl() const;

    // A cell of a shown row; null for NULL, and for a row past the end of
    // what the source gives. Throws DatenFehler when its page cannot be read.
    QVariant wert(int zeile, int feld);
    QVector<QVariant> zeile(int zeile);
    // The key of a shown row. Throws DatenFehler likewise.
    qint64 schluessel(int zeile);

    // The writes of the view, after the database took them.
    // A shown row holds these values now; it keeps its place.
    void aendern(int zeile, const QVector<QVariant> &werte);
    // A shown row is gone.
    void loeschen(int zeile);
    // A new record: appended as the last row, whose number is returned.
    int anhaengen(qint64 schluessel, const QVector<QVariant> &werte);

    // How many pages are held now (for tests and measurements).
    int seitenImSpeicher() const { return int(m_seiten.size()); }

private:
    struct Seite
    {
        Zeilenblock zeilen;
        quint64 benutzt = 0;
    };
    struct Geaendert
    {
        qint64 schluessel;
        QVector<QVariant> werte;
    };
    struct Angehaengt
    {
        qint64 schluessel;
        QVector<QVariant> werte;
        bool geloescht = false;
    };

    int basisRest() const { return m_basisAnzahl - int(m_geloescht.size()); }
    int basisZeile(int zeile) const;   // shown row -> base row
    int angehaengt(int zeile) const;   // shown row past the base rows -> index
    void beruehren(int basis, qint64 schluessel);
    // Base rows that are left out of the source before a base row.
    int beruehrtVor(int basis) const;
    const Zeilenblock &seite(int nummer);

    Zeilenquelle &m_quelle;
    const int m_basisAnzahl;
    const int m_felder;
    const int m_seitenGroesse;
    const int m_hoechstSeiten;
    quint64 m_uhr = 0;
    std::unordered_map<int, Seite> m_seiten;
    // The overlay. m_beruehrt holds every changed or deleted base row, in
    // order: the source leaves their records out, so the base row b stands
    // at position b - beruehrtVor(b) among the source's rows.
    std::unordered_map<int, Geaendert> m_geaendert;
    std::vector<int> m_geloescht;
    std::vector<int> m_beruehrt;
    std::vector<Angehaengt> m_angehaengt;
};
