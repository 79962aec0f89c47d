// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/sicherung/sicherungsdatei.h"

#include "kern/basis/speicherorte.h"
#include "kern/daten/sqlitedatei.h"
#include "kern/daten/verbindung.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool statVon(const QString &pfad, struct stat &st)
{
    if (pfad.isEmpty())
        return false;
    return ::stat(QFile::encodeName(pfad).constData(), &st) == 0;
}

QString textSpalte(sqlite3_stmt *s, int spalte)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, spalte)));
}

// The columns of Kontakt the log window binds, searches and writes.
const QStringList &logSpalten()
{
    static const QStringList spalten{"callsign", "skip",  "vorname",  "land", "swert", "rwert",    "datum",
                                     "uhrzeit",  "lanal", "frequenz", "band", "ort",   "bemerkung"};
    return spalten;
}

QString beschaedigtText()
{
    return QStringLiteral("Die Datenbank ist beschädigt oder kann nicht gelesen werden");
}

// The table, its columns and its key, and then (ganz) the pages.
Ergebnis<> pruefeInhalt(sqlite3 *db, bool ganz)
{
    const QString beschaedigt = beschaedigtText();
    sqlite3_stmt *s = nullptr;
    // Table names are compared as SQLite does: without letter case.
    int rc = sqlite3_prepare_v2(
        db, "select 1 from sqlite_master where type = 'table' and name = 'Kontakt' collate nocase", -1, &s, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(s);
    sqlite3_finalize(s);
    if (rc == SQLITE_DONE)
        return Ergebnis<>::fehler(
            QStringLiteral("Die Datenbank enthält keine eigenen Einträge (Tabelle Kontakt fehlt)"));
    if (rc != SQLITE_ROW)
        return Ergebnis<>::fehler(beschaedigt);

    // Every column the program uses, and the key: one column id of type
    // INTEGER that is the row's own number (a key declared otherwise, or
    // over a table without row numbers, gets an index of its own).
    QStringList fehlend = logSpalten();
    QStringList schluessel;
    bool schluesselIstId = false;
    rc = sqlite3_prepare_v2(db, "pragma table_info(Kontakt)", -1, &s, nullptr);
    while (rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW) {
        const QString name = textSpalte(s, 1);
        fehlend.removeIf([&name](const QString &f) { return f.compare(name, Qt::CaseInsensitive) == 0; });
        if (sqlite3_column_int(s, 5) > 0) {
            schluessel << name;
            schluesselIstId = name.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0
                              && textSpalte(s, 2).trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        }
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_OK)
        return Ergebnis<>::fehler(beschaedigt);
    rc = sqlite3_prepare_v2(db, "pragma index_list(Kontakt)", -1, &s, nullptr);
    while (rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        if (textSpalte(s, 3) == QLatin1String("pk"))
            schluesselIstId = false;
    sqlite3_finalize(s);
    if (rc != SQLITE_OK)
        return Ergebnis<>::fehler(beschaedigt);

    QStringList maengel;
    if (fehlend.size() == 1)
        maengel << QStringLiteral("der Tabelle Kontakt fehlt die Spalte %1").arg(fehlend[0]);
    else if (!fehlend.isEmpty())
        maengel << QStringLiteral("der Tabelle Kontakt fehlen die Spalten %1").arg(fehlend.join(QStringLiteral(", ")));
    if (schluessel.size() != 1 || !schluesselIstId)
        maengel << QStringLiteral("die Tabelle Kontakt hat keinen ganzzahligen Schlüssel id (id INTEGER PRIMARY KEY)");
    if (!maengel.isEmpty()) {
        QString text = maengel.join(QStringLiteral("; "));
        text[0] = text[0].toUpper();
        return Ergebnis<>::fehler(text);
    }
    if (!ganz)
        return Ergebnis<>::erledigt();

    // A file whose pages are damaged passes the look-ups above; restoring
    // it would lose the log at its next use.
    rc = sqlite3_prepare_v2(db, "pragma quick_check", -1, &s, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(s);
    const bool gut = rc == SQLITE_ROW && sqlite3_column_text(s, 0)
                     && qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), "ok") == 0;
    sqlite3_finalize(s);
    return gut ? Ergebnis<>::erledigt() : Ergebnis<>::fehler(QStringLiteral("Die Datenbank ist beschädigt"));
}
}

QString Sicherungsdatei::name()
{
    return Verbindung::dateiName(Verbindungstext::log);
}

QString Sicherungsdatei::in(const QString &ordner)
{
    return ordner + QLatin1Char('/') + name();
}

QString Sicherungsdatei::logdatei()
{
    return Speicherorte::logDatei();
}

QString Sicherungsdatei::journal(const QString &datei)
{
    return datei + QStringLiteral("-journal");
}

bool Sicherungsdatei::gleich(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    struct stat sa, sb;
    if (!statVon(a, sa) || !statVon(b, sb))
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool Sicherungsdatei::vorhanden(const QString &datei)
{
    const QString name = datei.trimmed();
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return false;
    const QString blatt = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (blatt.startsWith(QLatin1Char('.')))
        return false;
    struct stat st;
    return statVon(name, st) && S_ISREG(st.st_mode);
}

Ergebnis<> Sicherungsdatei::pruefeLogdatenbank(const QString &datei, Pruefung pruefung)
{
    const QByteArray pfad = QFile::encodeName(datei);

    // The header first: SQLite would take an empty file for an empty
    // database, and a foreign file should not reach it at all.
    {
        const int fd = ::open(pfad.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return Ergebnis<>::fehler(QStringLiteral("Die Datei kann nicht gelesen werden"));
        char kopf[16] = {};
        ssize_t n;
        do
            n = ::read(fd, kopf, sizeof kopf);
        while (n < 0 && errno == EINTR);
        ::close(fd);
        if (n < 0)
            return Ergebnis<>::fehler(QStringLiteral("Die Datei kann nicht gelesen werden"));
        if (n == 0)
            return Ergebnis<>::fehler(QStringLiteral("Die Datei ist leer"));
        if (n < 16 || std::memcmp(kopf, "SQLite format 3", 16) != 0)
            return Ergebnis<>::fehler(QStringLiteral("Die Datei ist keine Datenbank"));
    }

    // A writer of the log that is committing holds it for a moment: the
    // check waits for it (three seconds at most) rather than take the file
    // for damaged.
    try {
        SqliteDatei db(datei, SqliteDatei::Art::NurLesen);
        return pruefeInhalt(db.handle(), pruefung == Pruefung::Ganz);
    } catch (const DatenFehler &) {
        return Ergebnis<>::fehler(beschaedigtText());
    }
}
