// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/sicherung/wiederherstellen.h"
#include "fenster/bausteine/meldung.h"
#include "kern/sicherung/autosicherung.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QFile>

bool logWiederherstellen(const QString &quelle, const QString &ziel, const QString &ort,
                         const std::function<bool()> &logfensterSchliessen, const std::function<bool()> &zustimmen)
{
    // Restoring anything but a log database would cost the whole log.
    const Ergebnis<> einwand = Sicherungsdatei::pruefeLogdatenbank(quelle);
    if (!einwand) {
        Meldung::zeigen(QStringLiteral("Die Datei %1 ist keine gültige Sicherungskopie der eigenen Einträge.\n%2.\n"
                                       "Die Daten wurden nicht wiederhergestellt.")
                            .arg(quelle, einwand.grund()),
                        Meldung::Symbol::Fehler);
        return false;
    }
    if (zustimmen && !zustimmen())
        return false;

    // A log window opened again meanwhile holds the log database open; its
    // connection would go on writing into the replaced file.
    if (logfensterSchliessen && !logfensterSchliessen()) {
        Meldung::zeigen(QStringLiteral("Das Fenster \"Eigene Einträge\" konnte nicht geschlossen werden.\n"
                                       "Die Daten wurden nicht wiederhergestellt."),
                        Meldung::Symbol::Fehler);
        return false;
    }

    // What the restore replaces stays within reach: the log as it is now
    // goes among the automatic backups first. Without that copy the log is
    // not replaced.
    const Autosicherung::Ergebnis aufbewahrt = Autosicherung::aufbewahren(
        ziel, Autosicherung::Einstellung::lesen().ordnerOderStandard(), Autosicherung::jetzt());
    if (aufbewahrt.art == Autosicherung::Ergebnis::Art::Fehler) {
        Meldung::zeigen(QStringLiteral("Die Daten wurden nicht von %1 wiederhergestellt: Die bisherigen eigenen "
                                       "Einträge lassen sich vorher nicht aufbewahren.\n%2\n"
                                       "Die bisherigen eigenen Einträge sind unverändert.")
                            .arg(ort, aufbewahrt.grund),
                        Meldung::Symbol::Fehler);
        return false;
    }

    const Ergebnis<> e = Sicherung::wiederherstellen(quelle, ziel);
    if (!e) {
        // The log is as it was: its copy is not needed.
        if (!aufbewahrt.datei.isEmpty())
            QFile::remove(aufbewahrt.datei);
        Meldung::zeigen(QStringLiteral("Die Daten konnten nicht von %1 wiederhergestellt werden.\n%2\n"
                                       "Die bisherigen eigenen Einträge sind unverändert.")
                            .arg(ort, e.grund()),
                        Meldung::Symbol::Fehler);
        return false;
    }
    QString text = QStringLiteral("Daten wurden erfolgreich von ") + ort + QStringLiteral(" wiederhergestellt");
    if (!aufbewahrt.datei.isEmpty())
        text += QStringLiteral("\nDie bisherigen eigenen Einträge sind aufbewahrt in %1").arg(aufbewahrt.datei);
    Meldung::zeigen(text);
    return true;
}
