// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/sqlitedatei.h"

#include "kern/basis/datenfehler.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

QString sqlName(const QString &bezeichner)
{
    QString n = bezeichner;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString sqliteText(sqlite3 *db, int rc)
{
    if (rc == 0)
        rc = db ? sqlite3_extended_errcode(db) : SQLITE_ERROR;
    // SQLite's own words: the handle's message when it belongs to this
    // failure, else the general text of the code.
    QString original;
    if (db && (sqlite3_extended_errcode(db) == rc || sqlite3_errcode(db) == rc))
        original = QString::fromUtf8(sqlite3_errmsg(db));
    if (original.isEmpty())
        original = QString::fromUtf8(sqlite3_errstr(rc));

    QString deutsch;
    switch (rc & 0xff) {
    case SQLITE_NOTADB: deutsch = QStringLiteral("Die Datei ist keine Datenbank."); break;
    case SQLITE_CORRUPT: deutsch = QStringLiteral("Die Datenbankdatei ist beschädigt."); break;
    case SQLITE_BUSY:
        deutsch = QStringLiteral("Die Datenbank wird gerade von einem anderen Programm benutzt und ist gesperrt.");
        break;
    case SQLITE_LOCKED: deutsch = QStringLiteral("Eine Tabelle der Datenbank ist gerade gesperrt."); break;
    case SQLITE_READONLY: deutsch = QStringLiteral("Die Datenbank darf nicht geschrieben werden."); break;
    case SQLITE_FULL: deutsch = QStringLiteral("Der Datenträger ist voll."); break;
    case SQLITE_CANTOPEN: deutsch = QStringLiteral("Die Datenbankdatei lässt sich nicht öffnen."); break;
    case SQLITE_IOERR:
        deutsch = QStringLiteral("Die Datei lässt sich nicht lesen oder schreiben (Ein-/Ausgabefehler).");
        break;
    case SQLITE_PERM: deutsch = QStringLiteral("Der Zugriff auf die Datei ist nicht erlaubt."); break;
    case SQLITE_NOMEM: deutsch = QStringLiteral("Der Arbeitsspeicher reicht nicht aus."); break;
    case SQLITE_CONSTRAINT: deutsch = QStringLiteral("Die Datenbank nimmt den Wert nicht an."); break;
    case SQLITE_TOOBIG: deutsch = QStringLiteral("Der Wert ist zu groß."); break;
    case SQLITE_PROTOCOL: deutsch = QStringLiteral("Die Sperre der Datenbankdatei lässt sich nicht setzen."); break;
    case SQLITE_INTERRUPT: deutsch = QStringLiteral("Der Vorgang wurde abgebrochen."); break;
    case SQLITE_ERROR: {
        // A table or column that is not there: a file that is empty, or
        // another database than the one expected.
        static const QString keineTabelle = QStringLiteral("no such table: ");
        static const QString keineSpalte = QStringLiteral("no such column: ");
        if (original.startsWith(keineTabelle))
            deutsch = QStringLiteral("Die Tabelle %1 fehlt in der Datenbank.")
                          .arg(zitiert(original.mid(keineTabelle.size())));
        else if (original.startsWith(keineSpalte))
            deutsch =
                QStringLiteral("Die Spalte %1 fehlt in der Datenbank.").arg(zitiert(original.mid(keineSpalte.size())));
        else
            return original;
        break;
    }
    default: return original;
    }
    return deutsch + QStringLiteral(" (") + original + QLatin1Char(')');
}

DatenFehler sqliteFehler(const QString &was, sqlite3 *db, int rc)
{
    if (rc == 0)
        rc = db ? sqlite3_extended_errcode(db) : SQLITE_ERROR;
    return DatenFehler(was, sqliteText(db, rc), rc);
}

bool sqliteBeschaedigt(int rc)
{
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

SqliteDatei::SqliteDatei(const QString &datei, Art art) : m_datei(datei)
{
    const QString kannNicht = QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden.").arg(zitiert(datei));
    if (art != Art::Anlegen) {
        // Opening never creates a file: a wrong name is an error.
        const QFileInfo info(datei);
        if (!info.exists())
            throw DatenFehler(kannNicht, QStringLiteral("Die Datei ist nicht vorhanden."));
        if (!info.isFile())
            throw DatenFehler(kannNicht, QStringLiteral("Das ist keine Datei."));
    }
    const int flags = art == Art::NurLesen         ? SQLITE_OPEN_READONLY
                      : art == Art::LesenSchreiben ? SQLITE_OPEN_READWRITE
                                                   : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFile::encodeName(datei).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const DatenFehler f = sqliteFehler(kannNicht, m_db, rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw f;
    }
    sqlite3_busy_timeout(m_db, 3000);
    // A file that is no database fails here, not halfway through.
    if (art != Art::Anlegen) {
        try {
            ausfuehren("select count(*) from sqlite_master", kannNicht);
        } catch (...) {
            sqlite3_close(m_db);
            throw;
        }
    }
}

SqliteDatei::~SqliteDatei()
{
    sqlite3_close(m_db);
}

QString SqliteDatei::text() const
{
    return sqliteText(m_db);
}

void SqliteDatei::ausfuehren(const QByteArray &sql, const QString &was)
{
    const int rc = sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteFehler(was, m_db, rc);
}

SqliteDatei::Abschluss SqliteDatei::transaktionMit(const QString &gesperrt, const QString &nichtGespeichert,
                                                   const std::function<Abschluss()> &arbeit)
{
    ausfuehren("begin immediate", gesperrt);
    try {
        const Abschluss abschluss = arbeit();
        if (abschluss == Abschluss::Verwerfen)
            zurueckrollen();
        else
            ausfuehren("commit", nichtGespeichert);
        return abschluss;
    } catch (...) {
        zurueckrollen();
        throw;
    }
}

void SqliteDatei::zurueckrollen()
{
    sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
}

QStringList SqliteDatei::spalten(const QString &tabelle)
{
    QStringList namen;
    SqliteAnweisung info(*this, QStringLiteral("pragma table_info(") + sqlName(tabelle) + QLatin1Char(')'),
                         QStringLiteral("Die Spalten der Tabelle %1 lassen sich nicht lesen.").arg(tabelle));
    while (sqlite3_step(*info) == SQLITE_ROW)
        namen.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(*info, 1))));
    if (namen.isEmpty())
        throw DatenFehler(QStringLiteral("Die Datenbank %1 enthält keine Tabelle %2.").arg(zitiert(m_datei), tabelle));
    return namen;
}

bool SqliteDatei::anlegen(const QString &ziel, const QByteArray &schema, const QString &schemaDatei, Ersetzen ersetzen,
                          const std::function<void(SqliteDatei &)> &fuellen)
{
    if (ersetzen == Ersetzen::Nie && QFileInfo::exists(ziel))
        return false;
    const QString neu = ziel + QStringLiteral(".entsteht");
    auto aufraeumen = [&] {
        QFile::remove(neu);
        QFile::remove(neu + QStringLiteral("-journal"));
    };
    aufraeumen();
    try {
        {
            SqliteDatei db(neu, Art::Anlegen);
            // The schema runs on its own: it may set the journal mode, which a
            // transaction would not allow.
            db.ausfuehren(schema,
                          QStringLiteral("Das Schema %1 lässt sich nicht ausführen.").arg(zitiert(schemaDatei)));
            if (fuellen)
                fuellen(db);
        }
        const QByteArray von = QFile::encodeName(neu), nach = QFile::encodeName(ziel);
        if (ersetzen == Ersetzen::Nie) {
            // link() never replaces an existing file.
            if (::link(von.constData(), nach.constData()) != 0) {
                const int fehler = errno;
                aufraeumen();
                if (fehler == EEXIST)
                    return false;
                throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden.").arg(zitiert(ziel)),
                                  QString::fromLocal8Bit(std::strerror(fehler)));
            }
            aufraeumen();
        } else if (std::rename(von.constData(), nach.constData()) != 0) {
            throw DatenFehler(QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(zitiert(ziel)),
                              QString::fromLocal8Bit(std::strerror(errno)));
        }
    } catch (...) {
        aufraeumen();
        throw;
    }
    return true;
}

SqliteAnweisung::SqliteAnweisung(sqlite3 *db, const QString &sql, const QString &was) : m_db(db), m_was(was)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_s, nullptr);
    if (rc != SQLITE_OK || !m_s) {
        const DatenFehler f = sqliteFehler(was, db, rc);
        sqlite3_finalize(m_s);
        throw f;
    }
}

SqliteAnweisung::SqliteAnweisung(SqliteDatei &db, const QString &sql, const QString &was)
    : SqliteAnweisung(db.handle(), sql, was)
{
}

SqliteAnweisung::~SqliteAnweisung()
{
    sqlite3_finalize(m_s);
}

void SqliteAnweisung::binde(int nummer, const QVariant &wert)
{
    int rc;
    switch (wert.isNull() ? QMetaType::UnknownType : wert.typeId()) {
    case QMetaType::UnknownType: rc = sqlite3_bind_null(m_s, nummer); break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt: rc = sqlite3_bind_int64(m_s, nummer, wert.toLongLong()); break;
    case QMetaType::Double: rc = sqlite3_bind_double(m_s, nummer, wert.toDouble()); break;
    default: {
        const QByteArray text = wert.toString().toUtf8();
        rc = sqlite3_bind_text(m_s, nummer, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
    if (rc != SQLITE_OK)
        throw sqliteFehler(m_was, m_db, rc);
}

void SqliteAnweisung::bindeZahl(int nummer, qint64 zahl)
{
    const int rc = sqlite3_bind_int64(m_s, nummer, zahl);
    if (rc != SQLITE_OK)
        throw sqliteFehler(m_was, m_db, rc);
}

bool SqliteAnweisung::schritt()
{
    const int rc = sqlite3_step(m_s);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DatenFehler f = sqliteFehler(m_was, m_db, sqlite3_extended_errcode(m_db));
    sqlite3_reset(m_s);
    throw f;
}

void SqliteAnweisung::ausfuehren()
{
    while (schritt()) { }
}

void SqliteAnweisung::zuruecksetzen()
{
    sqlite3_reset(m_s);
}

int SqliteAnweisung::spalten() const
{
    return sqlite3_column_count(m_s);
}

QString SqliteAnweisung::spaltenName(int spalte) const
{
    return QString::fromUtf8(sqlite3_column_name(m_s, spalte));
}

bool SqliteAnweisung::istNull(int spalte) const
{
    return sqlite3_column_type(m_s, spalte) == SQLITE_NULL;
}

qint64 SqliteAnweisung::zahl(int spalte) const
{
    return sqlite3_column_int64(m_s, spalte);
}

QVariant SqliteAnweisung::wert(int spalte) const
{
    switch (sqlite3_column_type(m_s, spalte)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(m_s, spalte)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_s, spalte));
    default: {
        int n = 0;
        const char *t = utf8(spalte, n);
        return QString::fromUtf8(t, n);
    }
    }
}

const char *SqliteAnweisung::utf8(int spalte, int &laenge) const
{
    const char *t = reinterpret_cast<const char *>(sqlite3_column_text(m_s, spalte));
    laenge = sqlite3_column_bytes(m_s, spalte);
    return t;
}
