// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/verbindung.h"

#include "kern/basis/datenfehler.h"
#include "kern/daten/sortierung.h"
#include "kern/basis/speicherorte.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/unicodelike.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QVariant>
#include <sqlite3.h>

#include <atomic>

QString Verbindung::dateiName(const QString &verbindungsText)
{
    const auto teile = verbindungsText.split(QLatin1Char(';'));
    for (const QString &teil : teile) {
        const int gleich = teil.indexOf(QLatin1Char('='));
        if (gleich > 0 && teil.left(gleich).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            return teil.mid(gleich + 1).trimmed();
    }
    return QString();
}

Verbindung::Verbindung(const QString &verbindungsText, Zugriff zugriff)
{
    static std::atomic<int> zaehler{0};
    m_name = QStringLiteral("tremvik-%1").arg(++zaehler);

    const QString name = dateiName(verbindungsText);
    // The log is put in place on an installed program's first start.
    if (QFileInfo(name).isAbsolute())
        m_datei = name;
    else if (name == Speicherorte::logName() && zugriff == Zugriff::LesenSchreiben)
        m_datei = Speicherorte::logBereitstellen();
    else
        m_datei = Speicherorte::datei(name);
    const QString kannNicht =
        QStringLiteral("Die Datenbankdatei \u201E%1\u201C kann nicht geöffnet werden.").arg(m_datei);

    const QFileInfo info(m_datei);
    if (!info.exists())
        throw DatenFehler(kannNicht, QStringLiteral("Die Datei ist nicht vorhanden."));
    if (!info.isFile())
        throw DatenFehler(kannNicht, QStringLiteral("Das ist keine Datei."));

    // "mode=rw" opens read-write but never creates the file; the read-only
    // open never creates one either.
    QString uri = QUrl::fromLocalFile(m_datei).toString(QUrl::FullyEncoded);
    if (zugriff == Zugriff::LesenSchreiben)
        uri += QStringLiteral("?mode=rw");
    QString optionen = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000");
    if (zugriff == Zugriff::NurLesen)
        optionen += QStringLiteral(";QSQLITE_OPEN_READONLY");

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(uri);
        db.setConnectOptions(optionen);
        if (!db.open()) {
            bool zahl = false;
            const int rc = db.lastError().nativeErrorCode().toInt(&zahl);
            const QString text =
                zahl && rc != 0
                    ? sqliteText(nullptr, rc)
                    : (db.lastError().driverText() + QLatin1Char(' ') + db.lastError().databaseText()).trimmed();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DatenFehler(kannNicht, text, zahl ? rc : 0);
        }
        const QVariant h = db.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(h.data());
    }
    if (!m_handle) {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
        throw DatenFehler(kannNicht, QStringLiteral("Der SQLite-Treiber liefert keine Verbindung."));
    }

    // Opening is lazy in SQLite: reading the schema is what finds out whether
    // the file is a database at all.
    // A name in double quotes is always a name: a misspelt column is an
    // error, never quietly the text of its name.
    sqlite3_db_config(m_handle, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    const int rc = sqlite3_exec(m_handle, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    // Every search matches by the like() that folds all of Unicode; without
    // it a search would quietly find less than it should.
    const bool mitLike = rc == SQLITE_OK && registriereUnicodeLike(m_handle);
    // A click on a column's header sorts by these orders; without them such
    // a sort would fail only when asked for.
    const bool mitOrdnungen = mitLike && Sortierung::registrieren(m_handle);
    if (!mitOrdnungen) {
        const QString wasNicht =
            !mitLike ? QStringLiteral("Die Suche ohne Unterschied von Groß- und Kleinschreibung lässt sich nicht "
                                      "einrichten. ")
                     : QStringLiteral("Die Sortierung der Spalten (Frequenzen als Zahlen, Texte nach dem deutschen "
                                      "Alphabet) lässt sich nicht einrichten. ");
        const DatenFehler f = rc != SQLITE_OK ? sqliteFehler(kannNicht, m_handle, rc)
                                              : DatenFehler(kannNicht, wasNicht + sqliteText(m_handle),
                                                            sqlite3_extended_errcode(m_handle));
        m_handle = nullptr;
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
        throw f;
    }
}

Verbindung::~Verbindung()
{
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}
