#include "fenster/sicherung/wiederherstellen.h"
#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "fenster/bausteine/meldung.h"

bool logWiederherstellen(const QString &quelle, const QString &ziel, const QString &ort,
                         const std::function<bool()> &logfensterSchliessen)
{
    // Restoring anything but a log database would cost the whole log.
    const QString einwand = Sicherungsdatei::pruefeLogdatenbank(quelle);
    if (!einwand.isEmpty()) {
        Meldung::zeigen(QStringLiteral("Die Datei %1 ist keine gültige Sicherungskopie der eigenen Einträge.\n%2.\n"
                                       "Die Daten wurden nicht wiederhergestellt.")
                            .arg(quelle, einwand),
                        Meldung::Symbol::Fehler);
        return false;
    }

    // A log window opened again meanwhile holds the log database open; its
    // connection would go on writing into the replaced file.
    if (logfensterSchliessen && !logfensterSchliessen()) {
        Meldung::zeigen(QStringLiteral("Das Fenster \"Eigene Einträge\" konnte nicht geschlossen werden.\n"
                                       "Die Daten wurden nicht wiederhergestellt."),
                        Meldung::Symbol::Fehler);
        return false;
    }

    const Ergebnis<> e = Sicherung::wiederherstellen(quelle, ziel);
    if (!e) {
        Meldung::zeigen(QStringLiteral("Die Daten konnten nicht von %1 wiederhergestellt werden.\n%2\n"
                                       "Die bisherigen eigenen Einträge sind unverändert.")
                            .arg(ort, e.grund()),
                        Meldung::Symbol::Fehler);
        return false;
    }
    Meldung::zeigen(QStringLiteral("Daten wurden erfolgreich von ") + ort + QStringLiteral(" wiederhergestellt"));
    return true;
}
