// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/sicherung/laufwerke.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace {
// File systems that hold no user files: the kernel's views, and the
// layers and images that containers and packages mount.
const QSet<QString> &pseudoTypen()
{
    static const QSet<QString> t = {
        QStringLiteral("proc"),          QStringLiteral("sysfs"),
        QStringLiteral("devtmpfs"),      QStringLiteral("devpts"),
        QStringLiteral("tmpfs"),         QStringLiteral("ramfs"),
        QStringLiteral("cgroup"),        QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"),    QStringLiteral("pstore"),
        QStringLiteral("bpf"),           QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),       QStringLiteral("configfs"),
        QStringLiteral("fusectl"),       QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),     QStringLiteral("autofs"),
        QStringLiteral("binfmt_misc"),   QStringLiteral("rpc_pipefs"),
        QStringLiteral("nsfs"),          QStringLiteral("efivarfs"),
        QStringLiteral("selinuxfs"),     QStringLiteral("squashfs"),
        QStringLiteral("overlay"),       QStringLiteral("aufs"),
        QStringLiteral("nfsd"),          QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"),   QStringLiteral("fuse.lxcfs"),
        QStringLiteral("fuse.snapfuse"),
    };
    return t;
}

bool unter(const QString &pfad, const QString &ordner)
{
    return pfad == ordner || pfad.startsWith(ordner + QLatin1Char('/'));
}

// Places where the system mounts things of its own.
bool systemOrt(const QString &pfad)
{
    if (unter(pfad, QStringLiteral("/run/media")))
        return false;
    for (const char *o : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/var/lib", "/var/snap", "/tmp",
                          "/var/tmp", "/etc", "/usr", "/bin", "/sbin", "/lib", "/lib64", "/opt"})
        if (unter(pfad, QLatin1String(o)))
            return true;
    return false;
}

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
QString entschluesseln(const QByteArray &feld)
{
    QByteArray aus;
    aus.reserve(feld.size());
    for (int i = 0; i < feld.size(); ++i) {
        if (feld[i] == '\\' && i + 3 < feld.size()) {
            bool ok = false;
            const int wert = feld.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && wert < 256) {
                aus.append(char(wert));
                i += 3;
                continue;
            }
        }
        aus.append(feld[i]);
    }
    return QFile::decodeName(aus);
}

QString ohneTrenner(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

// udev writes unsafe characters of a label as \xHH.
QString udevName(const QByteArray &feld)
{
    QByteArray aus;
    for (int i = 0; i < feld.size(); ++i) {
        if (feld[i] == '\\' && i + 3 < feld.size() && feld[i + 1] == 'x') {
            bool ok = false;
            const int wert = feld.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                aus.append(char(wert));
                i += 3;
                continue;
            }
        }
        aus.append(feld[i]);
    }
    return QString::fromUtf8(aus);
}

// Labels of block devices, from the links udev keeps in /dev/disk/by-label.
QString geraeteLabel(const QString &quelle)
{
    static QHash<QString, QString> labels;
    static bool gelesen = false;
    if (!gelesen) {
        gelesen = true;
        QDirIterator it(QStringLiteral("/dev/disk/by-label"), QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QString geraet = it.fileInfo().canonicalFilePath();
            if (!geraet.isEmpty())
                labels.insert(geraet, udevName(QFile::encodeName(it.fileName())));
        }
    }
    const QString geraet = QFileInfo(quelle).canonicalFilePath();
    return labels.value(geraet.isEmpty() ? quelle : geraet);
}
}

QString Laufwerke::Laufwerk::text() const
{
    return name.isEmpty() ? pfad : pfad + QStringLiteral("   [") + name + QLatin1Char(']');
}

QList<Laufwerke::Einhaengung> Laufwerke::ausMountinfo(const QByteArray &text)
{
    // id parent major:minor root mount-point options [optional...] - type source super-options
    QList<Einhaengung> liste;
    const QList<QByteArray> zeilen = text.split('\n');
    for (const QByteArray &zeile : zeilen) {
        const QList<QByteArray> f = zeile.simplified().split(' ');
        const int trenner = f.indexOf("-");
        if (f.size() < 5 || trenner < 5 || trenner + 2 >= f.size())
            continue;
        liste.append({entschluesseln(f[4]), entschluesseln(f[trenner + 1]), entschluesseln(f[trenner + 2])});
    }
    return liste;
}

namespace {
// A mount that is no volume a user keeps files on (proc, tmpfs, snaps ...),
// or one below the system's own folders.
bool keinLaufwerk(const Laufwerke::Einhaengung &e, const QString &pfad)
{
    const bool pseudo = pseudoTypen().contains(e.typ)
                        || (e.typ.startsWith(QLatin1String("fuse.")) && e.typ.contains(QLatin1String("snap")));
    return pseudo || systemOrt(pfad) || !pfad.startsWith(QLatin1Char('/'));
}

// The name a volume is shown with: its label, else its device.
QString geraeteName(const Laufwerke::Einhaengung &e, const std::function<QString(const QString &)> &label)
{
    const QString name = label ? label(e.quelle) : QString();
    if (!name.isEmpty())
        return name;
    return e.quelle.startsWith(QLatin1String("/dev/")) ? e.quelle.mid(5) : e.quelle;
}
}

QList<Laufwerke::Laufwerk> Laufwerke::auswahl(const QList<Einhaengung> &einhaengungen, const QString &home,
                                              const std::function<QString(const QString &)> &label)
{
    QMap<QString, Laufwerk> nachPfad;
    nachPfad.insert(QStringLiteral("/"), {QStringLiteral("/"), QStringLiteral("System")});
    for (const Einhaengung &e : einhaengungen) {
        const QString pfad = ohneTrenner(e.pfad);
        if (pfad == QLatin1String("/")) {
            const QString l = label ? label(e.quelle) : QString();
            nachPfad.insert(pfad, {pfad, l.isEmpty() ? QStringLiteral("System") : l});
        } else if (keinLaufwerk(e, pfad)) {
            nachPfad.remove(pfad);   // a pseudo mount over a real one hides it
        } else {
            nachPfad.insert(pfad, {pfad, geraeteName(e, label)});
        }
    }
    const QString h = ohneTrenner(QDir::cleanPath(home));
    if (!h.isEmpty() && h != QLatin1String("/"))
        nachPfad.insert(h, {h, QStringLiteral("Persönlicher Ordner")});
    return nachPfad.values();   // QMap keeps them sorted by path
}

QList<Laufwerke::Laufwerk> Laufwerke::liste()
{
    QList<Einhaengung> einhaengungen;
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        einhaengungen = ausMountinfo(f.readAll());
    } else {
        const auto volumes = QStorageInfo::mountedVolumes();
        for (const QStorageInfo &v : volumes)
            einhaengungen.append({v.rootPath(), QString::fromUtf8(v.fileSystemType()), QString::fromUtf8(v.device())});
    }
    QList<Laufwerk> alle = auswahl(einhaengungen, QDir::homePath(), geraeteLabel);
    // Files mounted over files (a container's /etc/hosts) are no volumes.
    alle.erase(
        std::remove_if(alle.begin(), alle.end(),
                       [](const Laufwerk &l) { return l.pfad != QLatin1String("/") && !QFileInfo(l.pfad).isDir(); }),
        alle.end());
    return alle;
}

int Laufwerke::zu(const QString &ordner, const QList<Laufwerk> &laufwerke)
{
    int beste = -1;
    for (int i = 0; i < laufwerke.size(); ++i) {
        const QString &p = laufwerke[i].pfad;
        const bool passt = p == QLatin1String("/") ? ordner.startsWith(QLatin1Char('/')) : unter(ordner, p);
        if (passt && (beste < 0 || p.size() > laufwerke[beste].pfad.size()))
            beste = i;
    }
    if (beste < 0 && !laufwerke.isEmpty()) {
        for (int i = 0; i < laufwerke.size(); ++i)
            if (laufwerke[i].pfad == QLatin1String("/"))
                return i;
        return 0;
    }
    return beste;
}
