// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/sicherung/frm_herstellen.h"
#include "fenster/sicherung/wiederherstellen.h"

#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "kern/basis/speicherorte.h"
#include "kern/jet/jetdatei.h"
#include "kern/jet/uebernahme.h"
#include "kern/bestaende/logeintrag.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/hintergrund.h"
#include "fenster/bausteine/meldung.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

frm_herstellen::frm_herstellen(LogfensterSchliessen logfensterSchliessen, QWidget *parent)
    : DateiauswahlFenster(parent), m_logfensterSchliessen(std::move(logfensterSchliessen))
{
    setObjectName(QStringLiteral("frm_herstellen"));
    setWindowTitle(QStringLiteral("Datenwiederherstellung"));
    Geometrie::festeGroesse(this, 7860, 3135);

    cmd_datenherstellen = new QPushButton(QStringLiteral("X"), this);
    cmd_datenherstellen->setObjectName(QStringLiteral("cmd_datenherstellen"));
    cmd_datenherstellen->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12, true));
    Geometrie::setze(cmd_datenherstellen, 240, 2640, 375, 375);

    baueFrame1();
    baueDrive1();
    baueDir1();
    baueFile1();

    Label2 = new QLabel(QStringLiteral("Wiederherstellung starten"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12));
    Geometrie::setze(Label2, 720, 2640, 2895, 375);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Tab order: file, folder and drive list, then the button.
    setTabOrder(File1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, cmd_datenherstellen);
    setFocusProxy(File1);

    listenOeffnen();
    connect(cmd_datenherstellen, &QPushButton::clicked, this, &frm_herstellen::cmd_datenherstellen_Click);
}

bool frm_herstellen::datei_vorhanden(const QString &datei) const
{
    return Sicherungsdatei::vorhanden(datei);
}

void frm_herstellen::cmd_datenherstellen_Click()
{
    const QString ordner = Dir1->pfad();
    ziel = Sicherungsdatei::in(Speicherorte::logOrdner());
    quelle = Sicherungsdatei::in(ordner).trimmed();

    if (eigenerOrdner(ordner) || Sicherungsdatei::gleich(quelle, ziel)) {
        Meldung::zeigen(QStringLiteral("Bitte den Speicherort der Sicherungskopie wählen"), Meldung::Symbol::Fehler);
        return;
    }

    if (!datei_vorhanden(quelle)) {
        Meldung::zeigen(QStringLiteral("Datei nicht gefunden"));
        schliessen();
        return;
    }

    // A log kept in the older Jet format is not copied over the log: its
    // records are added to it.
    if (JetDatei::istJet(quelle)) {
        jetUebernehmen();
        return;
    }

    if (logWiederherstellen(quelle, ziel, ordner, m_logfensterSchliessen))
        schliessen();
}

void frm_herstellen::jetUebernehmen()
{
    if (!Meldung::frage(quelle + QStringLiteral(" ist eine ältere Datenbank im Jet-Format. Einträge übernehmen?")))
        return;
    // The Jet file is read by a process of its own, which a damaged file
    // may keep busy until its limits end it; the window waits meanwhile
    // and offers to cancel.
    Uebernahme::Logergebnis e;
    Jet::Aufsicht aufsicht;
    const QPointer<frm_herstellen> fenster(this);
    try {
        const QString jet = quelle, log = Speicherorte::logBereitstellen();
        Hintergrund::ausfuehren(this, QStringLiteral("Die Einträge werden aus %1 übernommen …").arg(jet),
                                aufsicht.abbrechen, aufsicht.zeilen,
                                [&] { e = Uebernahme::logAusJet(jet, log, &aufsicht); });
    } catch (const Abgebrochen &) {
        Meldung::zeigen(QStringLiteral("Die Übernahme wurde abgebrochen.\nDie bisherigen eigenen Einträge sind "
                                       "unverändert."));
        return;
    } catch (const DatenFehler &f) {
        Meldung::zeigen(QStringLiteral("Die Einträge konnten nicht übernommen werden.\n%1\n"
                                       "Die bisherigen eigenen Einträge sind unverändert.")
                            .arg(f.meldung()),
                        Meldung::Symbol::Fehler);
        return;
    }
    QString bericht = e.neu == 1 ? QStringLiteral("1 Eintrag wurde von %1 übernommen.").arg(quelle)
                                 : QStringLiteral("%1 Einträge wurden von %2 übernommen.").arg(e.neu).arg(quelle);
    if (e.vorhanden > 0)
        bericht += e.vorhanden == 1 ? QStringLiteral("\n1 Eintrag war schon vorhanden.")
                                    : QStringLiteral("\n%1 Einträge waren schon vorhanden.").arg(e.vorhanden);
    Meldung::zeigen(bericht);
    if (fenster)
        schliessen();
}
