// SPDX-License-Identifier: GPL-3.0-or-later
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

    // Takes the lock unless this object holds it already. False when a
    // process holds it (another program, or another Logsperre), or when
    // something that is no lock file lies under its name; hindernis() then
    // says which. A folder in which no lock file can be made counts as
    // free: nobody can write a log there.
    bool nehmen();
    bool gehalten() const { return m_fd >= 0 || m_ohneDatei; }
    void freigeben();

    const QString &sperrdatei() const { return m_sperrdatei; }

    // Why the last nehmen() failed.
    enum class Hindernis {
        Keins,
        Programm,    // another tremvik-tool holds the lock
        Prozess,     // another program holds it (prozess() names it)
        Unbekannt,   // a process holds it; the system does not say which
        Fremd,       // something else lies under the lock file's name
    };
    Hindernis hindernis() const { return m_hindernis; }
    // The holder, as "„name“ (Prozess 1234)", where the system tells it.
    const QString &prozess() const { return m_prozess; }
    // For Fremd: what lies there instead ("ein Ordner", ...) or why the
    // file cannot be used, in German.
    const QString &fremd() const { return m_fremd; }

private:
    void halterSuchen(int fd);

    QString m_sperrdatei;
    int m_fd = -1;
    bool m_ohneDatei = false;
    Hindernis m_hindernis = Hindernis::Keins;
    QString m_prozess;
    QString m_fremd;
};
