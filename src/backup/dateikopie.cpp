#include "backup/dateikopie.h"

#include "backup/sicherungsdatei.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
    case EBUSY:
    case ETXTBSY: return QStringLiteral("Die Datei wird gerade benutzt");
    case ENODEV:
    case ENXIO: return QStringLiteral("Der Datenträger ist nicht bereit");
    default:
        return QStringLiteral("Systemfehler %1 (%2)").arg(fehler).arg(QString::fromLocal8Bit(std::strerror(fehler)));
    }
}

Dateikopie::Ergebnis Dateikopie::kopiere(const QString &quelle, const QString &ziel, const Pruefung &pruefen)
{
    auto fehlschlag = [](const QString &text) { return Ergebnis{false, text}; };

    const QByteArray q = QFile::encodeName(quelle);
    const QByteArray z = QFile::encodeName(ziel);

    int ein;
    do
        ein = ::open(q.constData(), O_RDONLY | O_CLOEXEC);
    while (ein < 0 && errno == EINTR);
    if (ein < 0)
        return fehlschlag(QStringLiteral("Die Quelldatei %1 kann nicht gelesen werden: %2.").arg(quelle, grund(errno)));
    struct stat st;
    if (::fstat(ein, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(ein);
        return fehlschlag(QStringLiteral("Die Quelldatei %1 ist keine gewöhnliche Datei.").arg(quelle));
    }

    // The temporary file lies beside the target, so the rename stays within
    // one file system and is atomic.
    QByteArray temp = z + ".tmp-XXXXXX";
    const int aus = ::mkostemp(temp.data(), O_CLOEXEC);
    if (aus < 0) {
        const int e = errno;
        ::close(ein);
        return fehlschlag(QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden: %2.")
                              .arg(Sicherungsdatei::ordnerVon(ziel), grund(e)));
    }
    const QString tempName = QFile::decodeName(temp);

    int ausOffen = aus;
    auto abbrechen = [&](const QString &text) {
        ::close(ein);
        if (ausOffen >= 0)
            ::close(ausOffen);
        ::unlink(temp.constData());
        return fehlschlag(text);
    };
    auto schreibfehler = [&](int e) {
        return abbrechen(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.").arg(ziel, grund(e)));
    };

    // The copy keeps the rights of the file it replaces; a new file gets
    // the usual rights of the user's new files.
    struct stat alt;
    const mode_t rechte =
        ::stat(z.constData(), &alt) == 0 && S_ISREG(alt.st_mode) ? (alt.st_mode & 07777) : neueRechte();
    ::fchmod(aus, rechte);

    QByteArray puffer(int(blockGroesse), Qt::Uninitialized);
    qint64 geschrieben = 0;
    for (;;) {
        const ssize_t n = ::read(ein, puffer.data(), size_t(puffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abbrechen(
                QStringLiteral("Die Quelldatei %1 kann nicht gelesen werden: %2.").arg(quelle, grund(errno)));
        }
        if (n == 0)
            break;
        if (const int e = gestoert(Schritt::Schreiben, geschrieben))
            return schreibfehler(e);
        if (const int e = schreibeAlles(aus, puffer.constData(), n))
            return schreibfehler(e);
        geschrieben += n;
    }

    if (const int e = gestoert(Schritt::Sync, geschrieben))
        return schreibfehler(e);
    if (::fsync(aus) != 0)
        return schreibfehler(errno);
    ausOffen = -1;
    if (const int e = schliesse(aus))
        return schreibfehler(e);

    if (pruefen) {
        const QString einwand = pruefen(tempName);
        if (!einwand.isEmpty())
            return abbrechen(einwand);
    }

    if (const int e = gestoert(Schritt::Umbenennen, geschrieben))
        return schreibfehler(e);
    if (::rename(temp.constData(), z.constData()) != 0)
        return schreibfehler(errno);
    ::close(ein);

    // Make the rename itself durable; the data is already on disk, so a
    // folder that cannot be synced is no reason to report a failure.
    const int ordner =
        ::open(QFile::encodeName(Sicherungsdatei::ordnerVon(ziel)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordner >= 0) {
        ::fsync(ordner);
        ::close(ordner);
    }
    return Ergebnis{true, QString()};
}
