// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/sicherung/generationskopie.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/pfad.h"

#include <QFile>
#include <QThread>
#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::function<void(int)> &schrittHaken()
{
    static std::function<void(int)> h;
    return h;
}

// SQLite's failure in German words of the program's own: the system's
// reason where there is one (a full disk, a file too large, no right to
// write), never SQLite's English text.
QString sqliteGrund(int rc, int system)
{
    switch (rc & 0xff) {
    case SQLITE_FULL: return Dateikopie::grund(system == EDQUOT || system == EFBIG ? system : ENOSPC);
    case SQLITE_IOERR:
        return system ? Dateikopie::grund(system) : QStringLiteral("Ein- oder Ausgabefehler des Datenträgers");
    case SQLITE_CANTOPEN:
        return system ? Dateikopie::grund(system) : QStringLiteral("Die Datei lässt sich nicht öffnen");
    case SQLITE_READONLY: return QStringLiteral("Die Datei darf nicht geschrieben werden");
    case SQLITE_PERM:
    case SQLITE_AUTH: return Dateikopie::grund(EACCES);
    case SQLITE_NOTADB: return QStringLiteral("Die Datei ist keine Datenbank");
    case SQLITE_CORRUPT: return QStringLiteral("Die Datenbank ist beschädigt");
    case SQLITE_NOMEM: return QStringLiteral("Der Arbeitsspeicher reicht nicht aus");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("Die Datenbank ist von einem anderen Programm gesperrt");
    default: return QStringLiteral("Die Datenbank meldet den Fehler %1").arg(rc);
    }
}

// Pages per step of the copy: a step holds the log's read lock for about a
// millisecond, so the user's writes wait no longer than that.
constexpr int seitenJeSchritt = 128;
// New beginnings after which the rest is copied in one step: a user who
// writes all the time would otherwise keep the copy from ever ending.
constexpr int neuanfaengeHoechstens = 3;
// How long the copy waits, at a stretch, for a lock of the log that a
// writer holds before it gives up.
constexpr int wartezeitMs = 60000;

}   // namespace

// SQLite's online backup of one database file into another, in steps.
// Between steps the log is free; a write by another connection makes SQLite
// begin anew, so what arrives is one committed state.
Ergebnis<> Generationskopie::sqlite(const QString &quelle, const QString &ziel, const std::atomic<bool> *abbrechen)
{
    sqlite3 *ein = nullptr;
    sqlite3 *aus = nullptr;
    auto ende = [&](Ergebnis<> e) {
        sqlite3_close(aus);
        sqlite3_close(ein);
        return e;
    };
    int rc = sqlite3_open_v2(QFile::encodeName(quelle).constData(), &ein, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return ende(Ergebnis<>::fehler(QStringLiteral("Die Logdatenbank %1 kann nicht geöffnet werden: %2.")
                                           .arg(quelle, sqliteGrund(rc, sqlite3_system_errno(ein)))));
    rc = sqlite3_open_v2(QFile::encodeName(ziel).constData(), &aus, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return ende(Ergebnis<>::fehler(QStringLiteral("Die Datei %1 kann nicht angelegt werden: %2.")
                                           .arg(ziel, sqliteGrund(rc, sqlite3_system_errno(aus)))));
    // The copy is a temporary file until it is complete: no journal beside it.
    sqlite3_exec(aus, "pragma journal_mode = off", nullptr, nullptr, nullptr);

    sqlite3_backup *b = sqlite3_backup_init(aus, "main", ein, "main");
    if (!b)
        return ende(Ergebnis<>::fehler(QStringLiteral("Die Sicherung kann nicht beginnen: %1.")
                                           .arg(sqliteGrund(sqlite3_extended_errcode(aus), 0))));
    int schritt = 0;
    int neuanfaenge = 0;
    int gewartet = 0;
    int rest = -1;
    bool inEinem = false;
    do {
        if (abbrechen && abbrechen->load()) {
            sqlite3_backup_finish(b);
            return ende(Ergebnis<>::abgebrochen());
        }
        rc = sqlite3_backup_step(b, inEinem ? -1 : seitenJeSchritt);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            gewartet = 0;
            // A write between two steps: SQLite has begun anew.
            const int jetzt = sqlite3_backup_remaining(b);
            if (rc == SQLITE_OK && rest >= 0 && jetzt > rest && ++neuanfaenge >= neuanfaengeHoechstens)
                inEinem = true;
            rest = jetzt;
            if (schrittHaken())
                schrittHaken()(++schritt);
        } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // A write of the log is being committed: wait for it.
            if (gewartet >= wartezeitMs)
                break;
            QThread::msleep(10);
            gewartet += 10;
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(b);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return ende(Ergebnis<>::fehler(
            QStringLiteral("Die Logdatenbank %1 war eine Minute lang zum Schreiben gesperrt.").arg(quelle)));
    if (rc != SQLITE_DONE) {
        // Which side failed: reading the log, or writing the copy.
        const int art = rc & 0xff;
        const bool beimLesen =
            art == SQLITE_CORRUPT || art == SQLITE_NOTADB || rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ;
        int system = sqlite3_system_errno(beimLesen ? ein : aus);
        if (!system)
            system = sqlite3_system_errno(beimLesen ? aus : ein);
        const QString grund = sqliteGrund(rc, system);
        return ende(Ergebnis<>::fehler(
            beimLesen ? QStringLiteral("Die Logdatenbank %1 kann nicht gelesen werden: %2.").arg(quelle, grund)
                      : QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, grund)));
    }
    return ende(Ergebnis<>::erledigt());
}

Ergebnis<> Generationskopie::bytes(const QString &quelle, int aus, const QString &ziel)
{
    auto fehlschlag = [](const QString &grund) { return Ergebnis<>::fehler(grund); };
    if (::ftruncate(aus, 0) != 0 || ::lseek(aus, 0, SEEK_SET) != 0)
        return fehlschlag(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, Dateikopie::grund(errno)));
    int ein;
    do
        ein = ::open(QFile::encodeName(quelle).constData(), O_RDONLY | O_CLOEXEC);
    while (ein < 0 && errno == EINTR);
    if (ein < 0)
        return fehlschlag(
            QStringLiteral("Die Logdatenbank %1 kann nicht gelesen werden: %2.").arg(quelle, Dateikopie::grund(errno)));
    QByteArray puffer(int(Dateikopie::blockGroesse), Qt::Uninitialized);
    QString fehler;
    for (;;) {
        const ssize_t n = ::read(ein, puffer.data(), size_t(puffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            fehler = QStringLiteral("Die Logdatenbank %1 kann nicht gelesen werden: %2.")
                         .arg(quelle, Dateikopie::grund(errno));
            break;
        }
        if (n == 0)
            break;
        for (ssize_t geschrieben = 0; geschrieben < n && fehler.isEmpty();) {
            const ssize_t w = ::write(aus, puffer.constData() + geschrieben, size_t(n - geschrieben));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                fehler = QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.")
                             .arg(ziel, Dateikopie::grund(w < 0 ? errno : ENOSPC));
            else
                geschrieben += w;
        }
        if (!fehler.isEmpty())
            break;
    }
    ::close(ein);
    return fehler.isEmpty() ? Ergebnis<>::erledigt() : fehlschlag(fehler);
}

Ergebnis<> Generationskopie::anlegen(const QString &ziel, const Fuellen &fuellen, const Pruefen &pruefen)
{
    QString tempName;
    const int fd = Dateikopie::tempDatei(ziel, tempName);
    if (fd < 0)
        return Ergebnis<>::fehler(QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden: %2.")
                                      .arg(Pfad::ordnerVon(ziel), Dateikopie::grund(errno)));
    const QByteArray temp = QFile::encodeName(tempName);
    auto verwerfen = [&](Ergebnis<> e) {
        ::unlink(temp.constData());
        ::close(fd);
        return e;
    };
    const Ergebnis<> k = fuellen(tempName, fd);
    if (!k)
        return verwerfen(k);
    if (::fsync(fd) != 0)
        return verwerfen(Ergebnis<>::fehler(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, Dateikopie::grund(errno))));
    if (pruefen) {
        const Ergebnis<> einwand = pruefen(tempName);
        if (!einwand)
            return verwerfen(einwand);
    }
    if (::rename(temp.constData(), QFile::encodeName(ziel).constData()) != 0)
        return verwerfen(Ergebnis<>::fehler(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, Dateikopie::grund(errno))));
    ::close(fd);
    const int ordnerFd =
        ::open(QFile::encodeName(Pfad::ordnerVon(ziel)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd >= 0) {
        ::fsync(ordnerFd);
        ::close(ordnerFd);
    }
    return Ergebnis<>::erledigt();
}

void Generationskopie::setzeSchritt(std::function<void(int)> schritt)
{
    schrittHaken() = std::move(schritt);
}
