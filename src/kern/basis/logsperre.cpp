#include "kern/basis/logsperre.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Logsperre::Logsperre(const QString &logdatei) : m_sperrdatei(logdatei + QStringLiteral(".lock")) { }

Logsperre::~Logsperre()
{
    freigeben();
}

bool Logsperre::nehmen()
{
    if (gehalten())
        return true;
    const QByteArray pfad = QFile::encodeName(m_sperrdatei);
    // The holder removes the file before it lets go of the lock, so a lock
    // won on a file that is no longer under this name is worthless: try
    // again with the file there now.
    for (int versuch = 0; versuch < 8; ++versuch) {
        int fd;
        do
            fd = ::open(pfad.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            // A folder where no file can be made holds no log that could be
            // written either.
            switch (errno) {
            case EACCES:
            case EPERM:
            case EROFS:
            case ENOENT:
            case ENOTDIR:
            case ENOSPC:
            case EDQUOT: m_ohneDatei = true; return true;
            default: return false;
            }
        }
        int rc;
        do
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const bool belegt = errno == EWOULDBLOCK;
            ::close(fd);
            if (belegt)
                return false;
            // No flock() on this file system: the program cannot tell, and
            // lets the user work as before.
            m_ohneDatei = true;
            return true;
        }
        struct stat offen, jetzt;
        if (::fstat(fd, &offen) == 0 && ::lstat(pfad.constData(), &jetzt) == 0 && offen.st_dev == jetzt.st_dev
            && offen.st_ino == jetzt.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
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
