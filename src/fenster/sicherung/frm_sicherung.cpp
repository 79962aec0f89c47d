// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/sicherung/frm_sicherung.h"

#include "kern/sicherung/sicherung.h"
#include "kern/sicherung/sicherungsdatei.h"
#include "kern/basis/speicherorte.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

frm_sicherung::frm_sicherung(QWidget *parent) : DateiauswahlFenster(parent)
{
    setObjectName(QStringLiteral("frm_sicherung"));
    setWindowTitle(QStringLiteral("Datensicherung"));
    Geometrie::festeGroesse(this, 7935, 3135);

    baueFrame1();
    baueFile1();
    baueDir1();
    baueDrive1();

    cmd_datensicherung = new QPushButton(QStringLiteral("X"), this);
    cmd_datensicherung->setObjectName(QStringLiteral("cmd_datensicherung"));
    cmd_datensicherung->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12, true));
    Geometrie::setze(cmd_datensicherung, 240, 2640, 375, 375);

    Label1 = new QLabel(QStringLiteral("Sicherung Starten"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Geometrie::schrift(QStringLiteral("MS Sans Serif"), 12));
    Geometrie::setze(Label1, 480, 2640, 2175, 375);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label starts under the button; its text begins beside it.
    Label1->setContentsMargins(Geometrie::twips(240 + 375 - 480 + 60), 0, 0, 0);
    cmd_datensicherung->raise();

    // Tab order: the button, then drive, folder and file list.
    setTabOrder(cmd_datensicherung, Drive1);
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setFocusProxy(cmd_datensicherung);

    listenOeffnen();
    connect(cmd_datensicherung, &QPushButton::clicked, this, &frm_sicherung::cmd_datensicherung_Click);
}

void frm_sicherung::cmd_datensicherung_Click()
{
    const QString ordner = Dir1->pfad();
    ziel = Sicherungsdatei::in(ordner);
    quelle = Sicherungsdatei::in(Speicherorte::logOrdner());

    // Also under another spelling of the same folder or file: a copy onto
    // its own source is never started. An installed program's data folder
    // is refused like the program directory.
    if (eigenerOrdner(ordner) || Sicherungsdatei::gleich(ziel, quelle)) {
        Meldung::zeigen(QStringLiteral("Das Programmverzeichnis kann nicht zur Datensicherung gewählt werden"),
                        Meldung::Symbol::Fehler);
        return;
    }

    const Ergebnis<> e = Sicherung::sichern(quelle, ziel);
    if (!e) {
        Meldung::zeigen(QStringLiteral("Die Daten konnten nicht nach %1 gesichert werden.\n%2\n"
                                       "Eine vorhandene Sicherungskopie ist unverändert.")
                            .arg(ordner, e.grund()),
                        Meldung::Symbol::Fehler);
        return;
    }
    Meldung::zeigen(QStringLiteral("Daten wurden erfolgreich nach ") + ordner + QStringLiteral(" gesichert"));
    schliessen();
}
