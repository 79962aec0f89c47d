// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <type_traits>

struct sqlite3;
struct sqlite3_stmt;

// An SQL name in double quotes, inner quotes doubled.
QString sqlName(const QString &bezeichner);

// SQLite's report of a failure in German: the common result codes (file is
// no database, locked, damaged, read-only, disk full, ...) in words of their
// own, and a missing table or column, followed by SQLite's text in
// parentheses; any other failure as SQLite's text alone. rc is the result
// of the failed call (its extended code, or the primary one); with rc == 0
// the handle's last error is taken.
QString sqliteText(sqlite3 *db, int rc = 0);
// The failure of a step that the program tried (was), with sqliteText.
DatenFehler sqliteFehler(const QString &was, sqlite3 *db, int rc = 0);
// Whether a result code says that the file itself is damaged (or is no
// database at all), as opposed to a passing state such as a lock.
bool sqliteBeschaedigt(int rc);

// One raw SQLite connection to a database file, closed on every way out:
// for the tools that build and fill the database files. (The windows use
// Verbindung.) Failures throw DatenFehler with the file's name.
class SqliteDatei
{
public:
    enum class Art { NurLesen, LesenSchreiben, Anlegen };

    // Opening never creates a file, except with Art::Anlegen.
    SqliteDatei(const QString &datei, Art art);
    ~SqliteDatei();
    SqliteDatei(const SqliteDatei &) = delete;
    SqliteDatei &operator=(const SqliteDatei &) = delete;

    sqlite3 *handle() const { return m_db; }
    // SQLite's text for the last failure (see sqliteText).
    QString text() const;
    void ausfuehren(const QByteArray &sql, const QString &was);
    // The columns of a table in their order; the table must exist.
    QStringList spalten(const QString &tabelle);

    // How a transaction ends when its work returns: committed, or rolled
    // back without a failure (work that finds that nothing is to be
    // written after all).
    enum class Abschluss { Festschreiben, Verwerfen };

    // Runs arbeit in one write transaction, begun at once ("begin
    // immediate"), so no other writer comes between what it reads and what
    // it writes. When arbeit returns it is committed, unless arbeit returns
    // Abschluss::Verwerfen; when arbeit throws, or the commit fails, it is
    // rolled back, nothing of it remains and the exception passes on.
    // gesperrt is the message when the transaction cannot begin (another
    // program writes, or the file is read-only), nichtGespeichert when the
    // commit fails. Every rollback is followed by a read: after a failed
    // write (a full disk) SQLite leaves the rollback to the next reader,
    // and until then the file stays grown with its journal beside it; the
    // read gives it back as it was before anybody is told so. Returns how
    // it ended.
    template <typename Arbeit>
    Abschluss transaktion(const QString &gesperrt, const QString &nichtGespeichert, Arbeit &&arbeit)
    {
        if constexpr (std::is_void_v<std::invoke_result_t<Arbeit &>>)
            return transaktionMit(gesperrt, nichtGespeichert, [&arbeit] {
                arbeit();
                return Abschluss::Festschreiben;
            });
        else
            return transaktionMit(gesperrt, nichtGespeichert, std::function<Abschluss()>(std::ref(arbeit)));
    }

    enum class Ersetzen { Ja, Nie };
    // Builds a database file: the schema (read from schemaDatei, which
    // messages name) runs on a new file beside ziel, then
    // fuellen (if any); only when all went well is the file put in place.
    // With Ersetzen::Nie an existing ziel is never replaced, and the result
    // is false. A failure throws and leaves ziel as it was, with no
    // temporary file behind.
    static bool anlegen(const QString &ziel, const QByteArray &schema, const QString &schemaDatei, Ersetzen ersetzen,
                        const std::function<void(SqliteDatei &)> &fuellen = {});

private:
    Abschluss transaktionMit(const QString &gesperrt, const QString &nichtGespeichert,
                             const std::function<Abschluss()> &arbeit);
    // Rolls back what the open transaction did, and reads once (see transaktion).
    void zurueckrollen();

    QString m_datei;
    sqlite3 *m_db = nullptr;
};

// A prepared statement, finalised on every way out; the one statement
// wrapper of the program, over a SqliteDatei or the handle of a Verbindung.
// Every failure throws DatenFehler with "was" (what the statement is for)
// and SQLite's words.
class SqliteAnweisung
{
public:
    SqliteAnweisung(sqlite3 *db, const QString &sql, const QString &was);
    SqliteAnweisung(SqliteDatei &db, const QString &sql, const QString &was);
    ~SqliteAnweisung();
    SqliteAnweisung(const SqliteAnweisung &) = delete;
    SqliteAnweisung &operator=(const SqliteAnweisung &) = delete;
    sqlite3_stmt *operator*() const { return m_s; }

    // Parameters count from 1. A null QVariant binds NULL; whole numbers
    // and floating point keep their type; everything else binds as text
    // (embedded NUL characters included).
    void binde(int nummer, const QVariant &wert);
    void bindeZahl(int nummer, qint64 zahl);
    // One step: true with a row, false when the statement is done.
    bool schritt();
    // Runs a statement that returns no row to its end.
    void ausfuehren();
    // Ends the run: the statement lets go of its read lock and can run
    // again with new parameters.
    void zuruecksetzen();

    int spalten() const;
    QString spaltenName(int spalte) const;
    bool istNull(int spalte) const;
    qint64 zahl(int spalte) const;
    // A value as SQLite holds it: null, whole number, floating point or text.
    QVariant wert(int spalte) const;
    // The UTF-8 text of a value and its length in bytes (no copy).
    const char *utf8(int spalte, int &laenge) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_s = nullptr;
    QString m_was;
};
