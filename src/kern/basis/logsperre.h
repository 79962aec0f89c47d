#pragma once
#include <QString>

// The right of one running program to use a log database. Two programs on
// one log would each keep their own view of it: after a restore by one, the
// other would go on writing into the replaced file, and what it wrote would
// be lost.
//
// The right is a lock file beside the log (its name followed by ".lock"),
// locked with flock() for as long as the program holds it. The system lets
// go of that lock when the program ends in any way, so a crash never leaves
// a lock behind that stands in the way; the file itself is removed when the
// lock is given back.
class Logsperre
{
public:
    explicit Logsperre(const QString &logdatei);
    ~Logsperre();   // gives the lock back
    Logsperre(const Logsperre &) = delete;
    Logsperre &operator=(const Logsperre &) = delete;

    // Takes the lock unless this object holds it already. False when
    // another program (or another Logsperre) holds it. A folder in which no
    // lock file can be made counts as free: nobody can write a log there.
    bool nehmen();
    bool gehalten() const { return m_fd >= 0 || m_ohneDatei; }
    void freigeben();

    const QString &sperrdatei() const { return m_sperrdatei; }

private:
    QString m_sperrdatei;
    int m_fd = -1;
    bool m_ohneDatei = false;
};
