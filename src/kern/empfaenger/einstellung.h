// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The receiver the user connected to last, kept with QSettings: host and
// port, and whether the program connects to it when it starts (until the
// user disconnects).
struct EmpfaengerEinstellung
{
    QString host = QStringLiteral("localhost");
    quint16 port = 4532;   // rigctld's own port
    bool verbinden = false;

    static EmpfaengerEinstellung lesen();
    void schreiben() const;
};
