// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/einstellung.h"

#include <QSettings>

EmpfaengerEinstellung EmpfaengerEinstellung::lesen()
{
    EmpfaengerEinstellung e;
    const QSettings s;
    const QString host = s.value(QStringLiteral("Empfaenger/Host")).toString().trimmed();
    if (!host.isEmpty())
        e.host = host;
    bool ok = false;
    const uint port = s.value(QStringLiteral("Empfaenger/Port")).toUInt(&ok);
    if (ok && port > 0 && port <= 65535)
        e.port = quint16(port);
    e.verbinden = s.value(QStringLiteral("Empfaenger/Verbinden"), false).toBool();
    return e;
}

void EmpfaengerEinstellung::schreiben() const
{
    QSettings s;
    s.setValue(QStringLiteral("Empfaenger/Host"), host);
    s.setValue(QStringLiteral("Empfaenger/Port"), port);
    s.setValue(QStringLiteral("Empfaenger/Verbinden"), verbinden);
}
