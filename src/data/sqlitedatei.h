#pragma once
#include "data/datenfehler.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// An SQL name in double quotes, inner quotes doubled.
QString sqlName(const QString &bezeichner);

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
    // SQLite's text for the last failure.
    QString text() const;
    void ausfuehren(const QByteArray &sql, const QString &was);
    // The columns of a table in their order; the table must exist.
    QStringList spalten(const QString &tabelle);

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
    QString m_datei;
    sqlite3 *m_db = nullptr;
};

// A prepared statement, finalised on every way out.
class SqliteAnweisung
{
public:
    SqliteAnweisung(SqliteDatei &db, const QString &sql, const QString &was);
    ~SqliteAnweisung();
    SqliteAnweisung(const SqliteAnweisung &) = delete;
    SqliteAnweisung &operator=(const SqliteAnweisung &) = delete;
    sqlite3_stmt *operator*() const { return m_s; }

private:
    sqlite3_stmt *m_s = nullptr;
};
