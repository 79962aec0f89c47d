// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/logsperre.h"

#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// A name from the file system or another process, fit for a message: no
// control characters, and not longer than a line.
QString lesbar(const QByteArray &roh)
{
    QString text = QString::fromLocal8Bit(roh);
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QChar(0xfffd);
    if (text.size() > 80)
        text = text.left(79) + QChar(0x2026);
    return text;
}

QByteArray verweisZiel(const QByteArray &pfad)
{
    char ziel[4096];
    const ssize_t n = ::readlink(pfad.constData(), ziel, sizeof ziel);
    return n > 0 ? QByteArray(ziel, int(n)) : QByteArray();
}

// What lies under a name that is no plain file, in German.
QString artVon(const struct stat &st, const QByteArray &pfad)
{
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("ein Ordner");
    if (S_ISLNK(st.st_mode)) {
        const QByteArray ziel = verweisZiel(pfad);
        return ziel.isEmpty() ? QStringLiteral("ein symbolischer Verweis")
                              : QStringLiteral("ein symbolischer Verweis auf %1").arg(zitiert(lesbar(ziel)));
    }
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("ein Socket");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("eine Gerätedatei");
    return QStringLiteral("etwas anderes als eine Datei");
}

QByteArray lies(const QByteArray &datei, qint64 hoechstens)
{
    QFile f(QFile::decodeName(datei));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QByteArray();
    return f.read(hoechstens);
}

// The process holding an flock() on the file with this device and inode,
// as the system lists the locks; 0 when it does not tell.
pid_t flockHalter(dev_t geraet, ino_t inode)
{
    const QByteArray geraetText = QByteArray::number(major(geraet), 16).rightJustified(2, '0') + ':'
                                  + QByteArray::number(minor(geraet), 16).rightJustified(2, '0') + ':'
                                  + QByteArray::number(qulonglong(inode));
    const QByteArray inodeText = ':' + QByteArray::number(qulonglong(inode));
    pid_t genau = 0, gleicheNummer = 0;
    for (const QByteArray &zeile : lies("/proc/locks", 4 << 20).split('\n')) {
        // "1: FLOCK  ADVISORY  WRITE 4711 08:01:1234 0 EOF"; waiting locks
        // carry "->" and are passed over.
        const QList<QByteArray> teile = zeile.simplified().split(' ');
        if (teile.size() < 6 || teile[1] != "FLOCK")
            continue;
        const pid_t pid = pid_t(teile[4].toLong());
        if (pid <= 0)
            continue;
        if (teile[5] == geraetText)
            genau = pid;
        else if (teile[5].endsWith(inodeText))
            gleicheNummer = pid;   // a file system that shows another device number
    }
    return genau ? genau : gleicheNummer;
}
}

Logsperre::Logsperre(const QString &logdatei) : m_sperrdatei(logdatei + QStringLiteral(".lock")) { }

Logsperre::~Logsperre()
{
    freigeben();
}

bool Logsperre::nehmen()
{
    if (gehalten())
        return true;
    m_hindernis = Hindernis::Keins;
    m_prozess.clear();
    m_fremd.clear();
    auto fremd = [this](const QString &was) {
        m_hindernis = Hindernis::Fremd;
        m_fremd = was;
        return false;
    };
    const QByteArray pfad = QFile::encodeName(m_sperrdatei);
    // The holder removes the file before it lets go of the lock, so a lock
    // won on a file that is no longer under this name is worthless: try
    // again with the file there now.
    for (int versuch = 0; versuch < 8; ++versuch) {
        // Only a plain file is opened: a folder, a link, a pipe or a
        // device under the name is the user's, and stays as it is.
        struct stat st;
        if (::lstat(pfad.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return fremd(artVon(st, pfad));
        int fd;
        do
            fd = ::open(pfad.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            const int fehler = errno;
            switch (fehler) {
            // A folder where no file can be made holds no log that could
            // be written either.
            case EACCES:
            case EPERM:
            case EROFS:
            case ENOENT:
            case ENOTDIR:
            case ENOSPC:
            case EDQUOT: m_ohneDatei = true; return true;
            default: break;
            }
            if (::lstat(pfad.constData(), &st) == 0 && !S_ISREG(st.st_mode))
                return fremd(artVon(st, pfad));
            return fremd(QStringLiteral("eine Datei, die sich nicht öffnen lässt: %1").arg(Dateikopie::grund(fehler)));
        }
        if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
            ::close(fd);
            return fremd(artVon(st, pfad));
        }
        int rc;
        do
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const bool belegt = errno == EWOULDBLOCK;
            if (belegt)
                halterSuchen(fd);
            ::close(fd);
            if (belegt)
                return false;
            // No flock() on this file system: the program cannot tell, and
            // lets the user work as before.
            m_ohneDatei = true;
            return true;
        }
        struct stat jetzt;
        if (::fstat(fd, &st) == 0 && ::lstat(pfad.constData(), &jetzt) == 0 && st.st_dev == jetzt.st_dev
            && st.st_ino == jetzt.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    m_hindernis = Hindernis::Unbekannt;
    return false;
}

// Who holds the lock: another copy of this program, or some other program.
// A lock is never put down to a running tremvik-tool unless the system
// names one.
void Logsperre::halterSuchen(int fd)
{
    m_hindernis = Hindernis::Unbekannt;
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return;
    const pid_t pid = flockHalter(st.st_dev, st.st_ino);
    if (pid <= 0)
        return;
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    const QByteArray name = lies(proc + "/comm", 64).trimmed();
    const QByteArray programm = verweisZiel(proc + "/exe");
    if (pid == ::getpid() || (!programm.isEmpty() && programm == verweisZiel("/proc/self/exe"))
        || name == "tremvik-tool") {
        m_hindernis = Hindernis::Programm;
        m_prozess = QStringLiteral("Prozess %1").arg(pid);
        return;
    }
    m_hindernis = Hindernis::Prozess;
    m_prozess = name.isEmpty() ? QStringLiteral("Prozess %1").arg(pid)
                               : QStringLiteral("%1 (Prozess %2)").arg(zitiert(lesbar(name))).arg(pid);
}

void Logsperre::freigeben()
{
    m_ohneDatei = false;
    if (m_fd < 0)
        return;
    ::unlink(QFile::encodeName(m_sperrdatei).constData());
    ::close(m_fd);
    m_fd = -1;
}
