// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/empfaenger/frm_verbinden.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/meldung.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

frm_verbinden::frm_verbinden(const QString &host, quint16 port, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_verbinden"));
    setWindowTitle(QStringLiteral("Empfänger verbinden"));
    Geometrie::festeGroesse(this, 5400, 2400);

    Label1 = new QLabel(QStringLiteral("Rechner"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Geometrie::setze(Label1, 240, 300, 1200, 300);
    txt_host = new QLineEdit(host, this);
    txt_host->setObjectName(QStringLiteral("txt_host"));
    Geometrie::setze(txt_host, 1440, 240, 3720, 375);
    Label1->setBuddy(txt_host);

    Label2 = new QLabel(QStringLiteral("Port"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Geometrie::setze(Label2, 240, 780, 1200, 300);
    txt_port = new QSpinBox(this);
    txt_port->setObjectName(QStringLiteral("txt_port"));
    txt_port->setRange(1, 65535);
    txt_port->setGroupSeparatorShown(false);
    txt_port->setValue(port);
    Geometrie::setze(txt_port, 1440, 720, 1215, 375);
    Label2->setBuddy(txt_port);

    Label3 = new QLabel(QStringLiteral("rigctld oder ein SDR-Programm mit rigctl-Server"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Geometrie::setze(Label3, 240, 1200, 4920, 375);

    cmd_verbinden = new QPushButton(QStringLiteral("Verbinden"), this);
    cmd_verbinden->setObjectName(QStringLiteral("cmd_verbinden"));
    cmd_verbinden->setDefault(true);
    Geometrie::setze(cmd_verbinden, 1440, 1800, 1695, 375);
    cmd_abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmd_abbrechen->setObjectName(QStringLiteral("cmd_abbrechen"));
    Geometrie::setze(cmd_abbrechen, 3240, 1800, 1695, 375);

    connect(cmd_verbinden, &QPushButton::clicked, this, &frm_verbinden::cmd_verbinden_Click);
    connect(cmd_abbrechen, &QPushButton::clicked, this, &QDialog::reject);
}

QString frm_verbinden::host() const
{
    return txt_host->text().trimmed();
}

quint16 frm_verbinden::port() const
{
    return quint16(txt_port->value());
}

void frm_verbinden::cmd_verbinden_Click()
{
    if (host().isEmpty()) {
        Meldung::zeigen(QStringLiteral("Bitte den Rechner angeben, auf dem der Empfänger erreichbar ist."),
                        Meldung::Symbol::Fehler);
        txt_host->setFocus();
        return;
    }
    accept();
}
