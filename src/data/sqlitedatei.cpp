#include "data/sqlitedatei.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
QString zitiert(const QString &text)
{
    return QStringLiteral("\u201E%1\u201C").arg(text);
}
}

QString sqlName(const QString &bezeichner)
{
    QString n = bezeichner;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
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
    if (sqlite3_open_v2(QFile::encodeName(datei).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const QString text = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatenFehler(kannNicht, text);
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
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

void SqliteDatei::ausfuehren(const QByteArray &sql, const QString &was)
{
    char *fehler = nullptr;
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &fehler) != SQLITE_OK) {
        const QString text = QString::fromUtf8(fehler ? fehler : sqlite3_errmsg(m_db));
        sqlite3_free(fehler);
        throw DatenFehler(was, text);
    }
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

SqliteAnweisung::SqliteAnweisung(SqliteDatei &db, const QString &sql, const QString &was)
{
    if (sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &m_s, nullptr) != SQLITE_OK)
        throw DatenFehler(was, db.text());
}

SqliteAnweisung::~SqliteAnweisung()
{
    sqlite3_finalize(m_s);
}
