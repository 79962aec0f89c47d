// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/sicherung/sicherung.h"
#include "kern/basis/pfad.h"

#include "kern/daten/sqlitedatei.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Sicherung::Lesesperre::Lesesperre(const QString &datei)
{
    int rc;
    try {
        m_db = std::make_unique<SqliteDatei>(datei, SqliteDatei::Art::LesenSchreiben);
        sqlite3_busy_timeout(m_db->handle(), Sicherung::wartezeitMs);
        rc = sqlite3_exec(m_db->handle(), "begin; select count(*) from sqlite_master;", nullptr, nullptr, nullptr);
    } catch (const DatenFehler &f) {
        rc = f.code();   // a missing or unreadable file: the copy itself reports it
    }
    if (rc == SQLITE_OK)
        m_gesperrt = true;
    else if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        m_belegt = true;
    // Any other error: not a database the lock could hold; the file is
    // copied as it is.
}

Sicherung::Lesesperre::~Lesesperre()
{
    if (m_gesperrt)
        sqlite3_exec(m_db->handle(), "rollback", nullptr, nullptr, nullptr);
}

namespace {
// The lock SQLite's own writers take before they change a database file:
// a write lock over its lock bytes (the pending and the reserved byte and
// the shared range, 1 GiB into the file). While it is held no other
// connection reads the file or is part-way through a write; one that is
// keeps the lock from being taken. It is an open file description lock, so
// it also stands against SQLite connections of this very program, and
// closing another descriptor of the file does not let go of it.
class Schreibsperre
{
public:
    enum class Ergebnis { Gesperrt, Belegt, Fehler };

    ~Schreibsperre()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Tries for up to the given time. A missing file needs no lock, nor one
    // that nobody may write (no writer can be part-way through it then).
    Ergebnis nehmen(const QString &datei, int wartezeitMs)
    {
        do
            m_fd = ::open(QFile::encodeName(datei).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        while (m_fd < 0 && errno == EINTR);
        if (m_fd < 0) {
            m_fehler = errno;
            return errno == ENOENT || errno == EACCES || errno == EPERM || errno == EROFS ? Ergebnis::Gesperrt
                                                                                          : Ergebnis::Fehler;
        }
        QElapsedTimer uhr;
        uhr.start();
        for (;;) {
            struct flock sperre = {};
            sperre.l_type = F_WRLCK;
            sperre.l_whence = SEEK_SET;
            sperre.l_start = pendingByte;
            sperre.l_len = 2 + 510;   // pending, reserved, shared range
            if (::fcntl(m_fd, F_OFD_SETLK, &sperre) == 0)
                return Ergebnis::Gesperrt;
            if (errno != EAGAIN && errno != EACCES && errno != EINTR) {
                m_fehler = errno;
                return Ergebnis::Fehler;
            }
            if (uhr.elapsed() >= wartezeitMs)
                return Ergebnis::Belegt;
            QThread::msleep(20);
        }
    }
    int fehler() const { return m_fehler; }

private:
    static constexpr off_t pendingByte = 0x40000000;
    int m_fd = -1;
    int m_fehler = 0;
};

// Copies over the target and removes a rollback journal left beside it: it
// belongs to the replaced file, and SQLite would apply it to the new one.
// The journal is put aside, not deleted, until the new file is in place;
// should the rename fail, the old file gets it back.
::Ergebnis<> ersetze(const QString &quelle, const QString &ziel, const Dateikopie::Pruefung &pruefen)
{
    const QByteArray journal = QFile::encodeName(Sicherungsdatei::journal(ziel));
    const QByteArray beiseite = journal + ".alt";
    bool verschoben = false;

    const ::Ergebnis<> e = Dateikopie::kopiere(quelle, ziel, [&](const QString &temp) {
        if (pruefen) {
            const ::Ergebnis<> einwand = pruefen(temp);
            if (!einwand)
                return einwand;
        }
        if (::rename(journal.constData(), beiseite.constData()) == 0)
            verschoben = true;
        else if (errno != ENOENT)
            return ::Ergebnis<>::fehler(QStringLiteral("Die Journaldatei %1 kann nicht entfernt werden: %2.")
                                            .arg(QFile::decodeName(journal), Dateikopie::grund(errno)));
        return ::Ergebnis<>::erledigt();
    });
    if (verschoben && !e.ok())
        ::rename(beiseite.constData(), journal.constData());
    else if (e.ok())
        ::unlink(beiseite.constData());   // also one a killed copy left
    return e;
}

// The name a copy replaces: a symbolic link's target rather than the link.
::Ergebnis<QString> ersetzbar(const QString &ziel)
{
    const QString datei = Pfad::aufgeloest(ziel);
    if (datei.isEmpty())
        return ::Ergebnis<QString>::fehler(
            QStringLiteral("Die Datei %1 ist ein Verweis, der im Kreis führt.").arg(ziel));
    return ::Ergebnis<QString>::erledigt(datei);
}
}

Ergebnis<> Sicherung::sichern(const QString &quelle, const QString &ziel)
{
    const ::Ergebnis<QString> datei = ersetzbar(ziel);
    if (!datei)
        return ::Ergebnis<>::weiter(datei);
    Sicherung::Lesesperre sperre(quelle);
    if (sperre.belegt())
        return ::Ergebnis<>::fehler(
            QStringLiteral("Die Datenbank %1 wird gerade von einem anderen Programm beschrieben.").arg(quelle));
    // A backup that restore would refuse must not take the place of one it
    // would accept: the copied bytes are checked as restore checks them.
    return ersetze(quelle, datei.wert(), [&quelle](const QString &temp) {
        const ::Ergebnis<> einwand = Sicherungsdatei::pruefeLogdatenbank(temp);
        return einwand
                   ? einwand
                   : ::Ergebnis<>::fehler(
                       QStringLiteral("Die Logdatenbank %1 ist nicht in Ordnung: %2.").arg(quelle, einwand.grund()));
    });
}

Ergebnis<> Sicherung::wiederherstellen(const QString &quelle, const QString &ziel)
{
    const ::Ergebnis<QString> ersetzt = ersetzbar(ziel);
    if (!ersetzt)
        return ::Ergebnis<>::weiter(ersetzt);
    const QString &datei = ersetzt.wert();
    Schreibsperre sperre;
    // Check the bytes that will become the log, not only the file they
    // came from; then wait, as a backup does, for a writer of the log to
    // end, and keep every other connection out until the file is replaced.
    return ersetze(quelle, datei, [&](const QString &temp) {
        const ::Ergebnis<> einwand = Sicherungsdatei::pruefeLogdatenbank(temp);
        if (!einwand)
            return ::Ergebnis<>::fehler(
                QStringLiteral("Die Datei %1 ist keine gültige Sicherungskopie: %2.").arg(quelle, einwand.grund()));
        // A log that is new here is the user's alone, as a new log always
        // is; one that is replaced keeps its rights.
        struct stat st;
        if (::stat(QFile::encodeName(datei).constData(), &st) != 0 && errno == ENOENT)
            ::chmod(QFile::encodeName(temp).constData(), 0600);
        switch (sperre.nehmen(datei, wartezeitMs)) {
        case Schreibsperre::Ergebnis::Gesperrt: return ::Ergebnis<>::erledigt();
        case Schreibsperre::Ergebnis::Belegt:
            return ::Ergebnis<>::fehler(
                QStringLiteral("Die Datenbank %1 wird gerade von einem anderen Programm benutzt.").arg(datei));
        case Schreibsperre::Ergebnis::Fehler: break;
        }
        return ::Ergebnis<>::fehler(QStringLiteral("Die Datenbank %1 kann nicht gesperrt werden: %2.")
                                        .arg(datei, Dateikopie::grund(sperre.fehler())));
    });
}
