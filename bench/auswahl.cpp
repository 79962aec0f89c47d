// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <ctime>
#include <iterator>

namespace {

struct Fall
{
    const char *name;
    const char *gruppe;
};

// Every case with its group. start (the program starting with its log
// window) is one of the log cases; start-due-backup is a group of its own.
constexpr Fall Faelle[] = {
    {"list-load", "list"},
    {"list-search", "list"},
    {"list-jump-end", "list"},
    {"list-jump-middle", "list"},
    {"list-scroll-end", "list"},
    {"list-sort-freq", "list"},
    {"log-load", "log"},
    {"log-search", "log"},
    {"log-save", "log"},
    {"start", "log"},
    {"remark-read", "remark"},
    {"remark-write", "remark"},
    {"remark-fonts", "remark"},
    {"remark-fonts-show", "remark"},
    {"remark-show", "remark"},
    {"stats-open", "stats"},
    {"start-due-backup", "start"},
    {"log-import", "import"},
    {"import-fields-adi", "import"},
    {"import-fields-adx", "import"},
    {"import-columns-csv", "import"},
    {"scan-sweep", "scan"},
};

bool istGruppe(const QString &wort)
{
    return std::any_of(std::begin(Faelle), std::end(Faelle),
                       [&](const Fall &f) { return wort == QLatin1String(f.gruppe); });
}

const char *gruppeVon(const char *fall)
{
    for (const Fall &f : Faelle)
        if (qstrcmp(f.name, fall) == 0)
            return f.gruppe;
    return "";
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}   // namespace

namespace Bench {

QStringList &nurWoerter()
{
    static QStringList woerter = {QStringLiteral("list"),  QStringLiteral("log"),   QStringLiteral("remark"),
                                  QStringLiteral("stats"), QStringLiteral("start"), QStringLiteral("import"),
                                  QStringLiteral("scan")};
    return woerter;
}

bool gewaehlt(const char *fall)
{
    const QString name = QString::fromLatin1(fall);
    const QString gruppe = QString::fromLatin1(gruppeVon(fall));
    return std::any_of(nurWoerter().begin(), nurWoerter().end(),
                       [&](const QString &w) { return w == gruppe || (!istGruppe(w) && name.startsWith(w)); });
}

bool gruppeGewaehlt(const char *gruppe)
{
    return std::any_of(std::begin(Faelle), std::end(Faelle),
                       [&](const Fall &f) { return qstrcmp(f.gruppe, gruppe) == 0 && gewaehlt(f.name); });
}

bool &cpuZeit()
{
    static bool cpu = false;
    return cpu;
}

double miss(const std::function<void()> &f)
{
    if (cpuZeit()) {
        const double anfang = cpuMs();
        f();
        return cpuMs() - anfang;
    }
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double spitzeMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &z : f.readAll().split('\n'))
        if (z.startsWith("VmHWM:"))
            return z.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void spitzeZuruecksetzen()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

}   // namespace Bench
