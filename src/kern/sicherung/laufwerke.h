// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

#include <functional>

// The volumes the drive list offers: the mounted file systems a user keeps
// files on (the root file system, removable media, further disks and
// network shares) and the home folder, without the kernel's and the
// system's own mounts.
namespace Laufwerke {
struct Laufwerk
{
    QString pfad;   // mount path, the folder the drive list moves to
    QString name;   // label shown beside the path
    QString text() const;
    bool operator==(const Laufwerk &o) const { return pfad == o.pfad && name == o.name; }
};

// One line of /proc/self/mountinfo, as far as it matters here.
struct Einhaengung
{
    QString pfad;
    QString typ;
    QString quelle;
};
QList<Einhaengung> ausMountinfo(const QByteArray &text);

// Keeps the mounts a user works with, each mount path once (the last mount
// wins), "/" always, sorted by path; the home folder is added when it is not
// a mount of its own. label(quelle) names a volume by its device.
QList<Laufwerk> auswahl(const QList<Einhaengung> &einhaengungen, const QString &home,
                        const std::function<QString(const QString &quelle)> &label = {});

// The volumes of this machine now.
QList<Laufwerk> liste();

// The index of the volume that holds the folder: the longest path that is
// the folder itself or one of its ancestors; -1 for an empty list.
int zu(const QString &ordner, const QList<Laufwerk> &laufwerke);
}
