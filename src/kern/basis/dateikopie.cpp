// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/dateikopie.h"

#include "kern/basis/pfad.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
Dateikopie::Stoerung &stoerung()
{
    static Dateikopie::Stoerung s;
    return s;
}

int gestoert(Dateikopie::Schritt schritt, qint64 geschrieben)
{
    return stoerung() ? stoerung()(schritt, geschrieben) : 0;
}

int schliesse(int fd)
{
    // close() is not retried on EINTR: the descriptor is gone either way.
    return ::close(fd) == 0 ? 0 : errno;
}

int schreibeAlles(int fd, const char *daten, qint64 laenge)
{
    while (laenge > 0) {
        const ssize_t n = ::write(fd, daten, size_t(laenge));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        daten += n;
        laenge -= n;
    }
    return 0;
}

mode_t neueRechte()
{
    const mode_t maske = ::umask(0);
    ::umask(maske);
    return 0666 & ~maske;
}

// "<name>.tmp-" followed by the six letters or digits mkstemp() puts in.
bool istTempName(const char *name, const QByteArray &praefix)
{
    if (std::strncmp(name, praefix.constData(), size_t(praefix.size())) != 0)
        return false;
    const char *rest = name + praefix.size();
    if (std::strlen(rest) != 6)
        return false;
    for (const char *c = rest; *c; ++c)
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9')))
            return false;
    return true;
}

// Makes the temporary file beside the target and locks it, so that a copy
// running elsewhere does not take it for a leftover. A cleanup may have
// removed the new file before the lock was taken; then it starts over.
// Returns the descriptor (or -1 with errno set) and the file's name.
int neueTempDatei(const QByteArray &ziel, QByteArray &name)
{
    for (int versuch = 0; versuch < 8; ++versuch) {
        name = ziel + ".tmp-XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK)
                return fd;   // no flock() on this file system: no cleanup removes the file either
            ::close(fd);     // a cleanup holds it and removes it
            continue;
        }
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_nlink > 0)
            return fd;
        ::close(fd);   // removed by a cleanup before the lock was taken
    }
    errno = EBUSY;
    return -1;
}

// Opens a file for reading, again where a signal interrupts; -1 with errno
// set when it cannot be opened.
int oeffneLesend(const QByteArray &pfad)
{
    int fd;
    do
        fd = ::open(pfad.constData(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The rights of a copy: those of the file it replaces; a new file gets the
// usual rights of the user's new files.
mode_t rechteFuer(const QByteArray &ziel)
{
    struct stat alt;
    return ::stat(ziel.constData(), &alt) == 0 && S_ISREG(alt.st_mode) ? (alt.st_mode & 07777) : neueRechte();
}

struct Uebertragung
{
    qint64 geschrieben = 0;   // bytes written
    int fehler = 0;           // errno of the failure, 0: all copied
    bool beimLesen = false;   // the failure was in reading the source
};

// Copies everything from ein to aus, block by block.
Uebertragung uebertrage(int ein, int aus)
{
    Uebertragung u;
    QByteArray puffer(int(Dateikopie::blockGroesse), Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(ein, puffer.data(), size_t(puffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            u.fehler = errno;
            u.beimLesen = true;
            return u;
        }
        if (n == 0)
            return u;
        u.fehler = gestoert(Dateikopie::Schritt::Schreiben, u.geschrieben);
        if (!u.fehler)
            u.fehler = schreibeAlles(aus, puffer.constData(), n);
        if (u.fehler)
            return u;
        u.geschrieben += n;
    }
}

// Makes a rename in the target's folder durable. The data is on disk
// already, so a folder that cannot be synced is no failure.
void ordnerSichern(const QString &ziel)
{
    const int ordner = ::open(QFile::encodeName(Pfad::ordnerVon(ziel)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordner >= 0) {
        ::fsync(ordner);
        ::close(ordner);
    }
}
}

int Dateikopie::tempDatei(const QString &ziel, QString &name)
{
    QByteArray temp;
    const int fd = neueTempDatei(QFile::encodeName(ziel), temp);
    name = fd < 0 ? QString() : QFile::decodeName(temp);
    return fd;
}

int Dateikopie::raeumeAuf(const QString &ziel)
{
    const QByteArray ordner = QFile::encodeName(Pfad::ordnerVon(ziel));
    const QByteArray z = QFile::encodeName(ziel);
    const QByteArray praefix = z.mid(z.lastIndexOf('/') + 1) + ".tmp-";

    const int ordnerFd = ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd < 0)
        return 0;
    DIR *d = ::fdopendir(ordnerFd);
    if (!d) {
        ::close(ordnerFd);
        return 0;
    }
    int entfernt = 0;
    while (const dirent *e = ::readdir(d)) {
        if (!istTempName(e->d_name, praefix))
            continue;
        const int fd = ::openat(ordnerFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // Only a plain file that nobody holds, and only while this lock
        // keeps a new copy from taking it.
        struct stat offen, jetzt;
        if (::fstat(fd, &offen) == 0 && S_ISREG(offen.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::fstatat(ordnerFd, e->d_name, &jetzt, AT_SYMLINK_NOFOLLOW) == 0 && jetzt.st_dev == offen.st_dev
            && jetzt.st_ino == offen.st_ino && ::unlinkat(ordnerFd, e->d_name, 0) == 0)
            ++entfernt;
        ::close(fd);
    }
    ::closedir(d);
    return entfernt;
}

void Dateikopie::setzeStoerung(Stoerung s)
{
    stoerung() = std::move(s);
}

QString Dateikopie::grund(int fehler)
{
    switch (fehler) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Der Datenträger ist voll");
    case EFBIG: return QStringLiteral("Die Datei ist für den Datenträger zu groß");
    case EROFS: return QStringLiteral("Der Datenträger ist schreibgeschützt");
    case EACCES:
    case EPERM: return QStringLiteral("Der Zugriff wurde verweigert");
    case ENOENT: return QStringLiteral("Die Datei oder der Ordner existiert nicht");
    case ENOTDIR: return QStringLiteral("Ein Teil des Pfades ist kein Ordner");
    case EISDIR: return QStringLiteral("Am Ziel befindet sich ein Ordner dieses Namens");
    case EIO: return QStringLiteral("Ein- oder Ausgabefehler des Datenträgers");
    case ENAMETOOLONG: return QStringLiteral("Der Pfad ist zu lang");
    case ELOOP: return QStringLiteral("Verweise auf Verweise führen im Kreis");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("Die Datei wird gerade benutzt");
    case ENODEV:
    case ENXIO: return QStringLiteral("Der Datenträger ist nicht bereit");
    default:
        return QStringLiteral("Systemfehler %1 (%2)").arg(fehler).arg(QString::fromLocal8Bit(std::strerror(fehler)));
    }
}

namespace {

// Where putting a file in place failed.
enum class Stelle { Anlegen, Lesen, Schreiben, Pruefung };

struct Ablage
{
    int fehler = 0;   // errno of the failure; 0 with no einwand: done
    Stelle stelle = Stelle::Schreiben;
    QString einwand;           // the check's objection
    bool eingewandt = false;   // the check objected (whatever its words)
    bool ok() const { return fehler == 0 && !eingewandt; }
};

// Puts a file in place whole: `schreiben` fills a locked temporary file
// beside the target, which goes to disk, passes the check and is renamed
// over the target. On a failure the target stays as it was and the
// temporary file is gone.
Ablage ablegen(const QString &ziel, const std::function<Uebertragung(int aus)> &schreiben,
               const Dateikopie::Pruefung &pruefen)
{
    const QByteArray z = QFile::encodeName(ziel);
    Dateikopie::raeumeAuf(ziel);

    // The temporary file lies beside the target, so the rename stays within
    // one file system and is atomic.
    QByteArray temp;
    const int aus = neueTempDatei(z, temp);
    if (aus < 0)
        return Ablage{errno, Stelle::Anlegen, {}};
    const QString tempName = QFile::decodeName(temp);
    // A second descriptor of the same open file keeps its lock until the
    // file is renamed or removed; the first one is closed when written.
    const int sperre = ::fcntl(aus, F_DUPFD_CLOEXEC, 0);

    int ausOffen = aus;
    auto abbrechen = [&](Ablage a) {
        if (ausOffen >= 0)
            ::close(ausOffen);
        ::unlink(temp.constData());
        if (sperre >= 0)
            ::close(sperre);
        return a;
    };
    auto schreibfehler = [&](int e) { return abbrechen(Ablage{e, Stelle::Schreiben, {}}); };

    ::fchmod(aus, rechteFuer(z));

    const Uebertragung u = schreiben(aus);
    if (u.fehler)
        return abbrechen(Ablage{u.fehler, u.beimLesen ? Stelle::Lesen : Stelle::Schreiben, {}});
    const qint64 geschrieben = u.geschrieben;

    if (const int e = gestoert(Dateikopie::Schritt::Sync, geschrieben))
        return schreibfehler(e);
    if (::fsync(aus) != 0)
        return schreibfehler(errno);
    ausOffen = -1;
    if (const int e = schliesse(aus))
        return schreibfehler(e);

    if (pruefen) {
        const Ergebnis<> einwand = pruefen(tempName);
        if (!einwand)
            return abbrechen(Ablage{0, Stelle::Pruefung, einwand.grund(), true});
    }

    if (const int e = gestoert(Dateikopie::Schritt::Umbenennen, geschrieben))
        return schreibfehler(e);
    if (::rename(temp.constData(), z.constData()) != 0)
        return schreibfehler(errno);
    if (sperre >= 0)
        ::close(sperre);

    ordnerSichern(ziel);
    return Ablage{};
}
}   // namespace

Ergebnis<> Dateikopie::kopiere(const QString &quelle, const QString &ziel, const Pruefung &pruefen)
{
    auto fehlschlag = [](const QString &text) { return ::Ergebnis<>::fehler(text); };

    const int ein = oeffneLesend(QFile::encodeName(quelle));
    if (ein < 0)
        return fehlschlag(QStringLiteral("Die Quelldatei %1 kann nicht gelesen werden: %2.").arg(quelle, grund(errno)));
    struct stat st;
    if (::fstat(ein, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(ein);
        return fehlschlag(QStringLiteral("Die Quelldatei %1 ist keine gewöhnliche Datei.").arg(quelle));
    }

    const Ablage a = ablegen(
        ziel, [ein](int aus) { return uebertrage(ein, aus); }, pruefen);
    ::close(ein);
    if (a.ok())
        return ::Ergebnis<>::erledigt();
    switch (a.stelle) {
    case Stelle::Anlegen:
        return fehlschlag(QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden: %2.")
                              .arg(Pfad::ordnerVon(ziel), grund(a.fehler)));
    case Stelle::Lesen:
        return fehlschlag(
            QStringLiteral("Die Quelldatei %1 kann nicht gelesen werden: %2.").arg(quelle, grund(a.fehler)));
    case Stelle::Pruefung: return fehlschlag(a.einwand);
    case Stelle::Schreiben: break;
    }
    return fehlschlag(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, grund(a.fehler)));
}

Ergebnis<> Dateikopie::schreibe(const QString &ziel, const QByteArray &daten)
{
    // A link is written through: the file behind it is replaced.
    const QString datei = Pfad::aufgeloest(ziel);
    if (datei.isEmpty())
        return ::Ergebnis<>::fehler(grund(ELOOP) + QLatin1Char('.'));
    const Ablage a = ablegen(datei,
                             [&daten](int aus) {
                                 Uebertragung u;
                                 while (u.geschrieben < daten.size()) {
                                     const qint64 n = std::min(blockGroesse, daten.size() - u.geschrieben);
                                     u.fehler = gestoert(Schritt::Schreiben, u.geschrieben);
                                     if (!u.fehler)
                                         u.fehler = schreibeAlles(aus, daten.constData() + u.geschrieben, n);
                                     if (u.fehler)
                                         return u;
                                     u.geschrieben += n;
                                 }
                                 return u;
                             },
                             {});
    return a.ok() ? ::Ergebnis<>::erledigt() : ::Ergebnis<>::fehler(grund(a.fehler) + QLatin1Char('.'));
}
