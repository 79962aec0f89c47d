// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/sicherung/dateiauswahl.h"

class QLabel;
class QPushButton;

// The window "Datensicherung": copies the log database into the folder
// chosen in the folder list.
class frm_sicherung : public DateiauswahlFenster
{
    Q_OBJECT
public:
    explicit frm_sicherung(QWidget *parent = nullptr);

    QPushButton *cmd_datensicherung = nullptr;
    QLabel *Label1 = nullptr;

    // The target and the source file name of the last click.
    QString ziel;
    QString quelle;

public Q_SLOTS:
    void cmd_datensicherung_Click();
};
