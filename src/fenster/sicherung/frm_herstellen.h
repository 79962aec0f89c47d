// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/sicherung/dateiauswahl.h"

#include <functional>

class QLabel;
class QPushButton;

// The window "Datenwiederherstellung": puts the backup copy from the folder
// chosen in the folder list back in place of the log database. A log in
// the older Jet format under that name is not copied: its records are
// added to the log, after a question.
class frm_herstellen : public DateiauswahlFenster
{
    Q_OBJECT
public:
    // Closes the log window if it is open; false if it stayed open.
    using LogfensterSchliessen = std::function<bool()>;

    // The main window hands over how to close a log window that the user
    // opened again meanwhile, before the restore replaces its file.
    explicit frm_herstellen(LogfensterSchliessen logfensterSchliessen = {}, QWidget *parent = nullptr);

    QPushButton *cmd_datenherstellen = nullptr;
    QLabel *Label2 = nullptr;

    // The target (the log where the program keeps it) and the source file name of
    // the last click.
    QString ziel;
    QString quelle;

public Q_SLOTS:
    void cmd_datenherstellen_Click();

private:
    bool datei_vorhanden(const QString &datei) const;
    // The chosen file is a log in the older Jet format: asks, then adds its
    // records to the log and reports how many.
    void jetUebernehmen();

    LogfensterSchliessen m_logfensterSchliessen;
};
