// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/daten/abfrage.h"
#include "kern/basis/datenfehler.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
class Zeilencache;
class Zeilenlader;

// The rows of one query over one table, as the grid and the bound fields see
// them. The count is exact (taken when the record set is opened); the rows
// are read a page at a time where they are shown (Zeilenlader), kept in a
// bounded cache (Zeilencache), and no read holds the file between two reads.
//
// Writes go straight to the table by its integer key and are then laid over
// the rows read so far: nothing is read again after a write.
//
// A read that fails while the grid paints cannot be thrown: its row shows
// empty, and the failure goes once to the report function. A file found
// damaged is read on past its bad rows by key, and no write goes to it.
class Recordset
{
public:
    // Runs the query's count. Throws DatenFehler. datei names the file in
    // messages.
    Recordset(sqlite3 *db, const Abfrage &abfrage, const QString &datei);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    int RecordCount() const;
    // Index of a field by name, letter case ignored; -1 if there is none.
    int feldIndex(const QString &name) const;

    // Where failures of reading are reported: the first failure to read
    // rows, and that the file is damaged, once each per record set. What
    // happened before the function was set is handed to it at once.
    void setzeBericht(std::function<void(const DatenFehler &)> bericht);

    // The value of one field of one row: a null QVariant for NULL, otherwise
    // the value as text. A row that cannot be read gives null (and a report).
    QVariant wert(int zeile, int feld);
    QVector<QVariant> zeile(int zeile);

    // Writing needs the table's integer key among the fields, and a file
    // that is not known to be damaged.
    bool beschreibbar() const { return m_schluesselFeld >= 0; }
    bool beschaedigt() const;
    // The failure that showed the file damaged, if one did.
    const std::optional<DatenFehler> &schaden() const;
    // The file was found damaged before (by an earlier record set on it):
    // its rows are read by key from the start, nothing is written, and the
    // damage is not reported again.
    void schadenBekannt(const DatenFehler &f);
    // Throws DatenFehler, saying why, when no record can be written.
    void schreibbarPruefen();
    // Writes the given fields of a row. Throws DatenFehler.
    void aendern(int zeile, const QHash<int, QVariant> &werte);
    // Inserts a record and appends it as the last row. Once the database
    // took it, and before the row is there, vorher gets its row number.
    // Returns that row.
    int einfuegen(const QHash<int, QVariant> &werte, const std::function<void(int)> &vorher = {});
    // Deletes a row from the table; vorher runs once the database took it,
    // before the row leaves the record set.
    void loeschen(int zeile, const std::function<void()> &vorher = {});

private:
    // A failure of a write: a damaged file is made known before it passes on.
    [[noreturn]] void schreibfehler(const DatenFehler &f);
    void schadenMelden();
    void melden(const DatenFehler &f);

    sqlite3 *m_db;
    QString m_datei;
    std::unique_ptr<Zeilenlader> m_lader;
    std::unique_ptr<Zeilencache> m_cache;
    QStringList m_felder;
    int m_schluesselFeld = -1;
    std::function<void(const DatenFehler &)> m_bericht;
    std::vector<DatenFehler> m_offen;   // reports made before there was a report function
    bool m_lesefehlerGemeldet = false;
    bool m_schadenGemeldet = false;
};
