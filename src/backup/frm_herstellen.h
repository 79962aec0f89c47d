#pragma once
#include "backup/dateiauswahl.h"

#include <functional>

class QLabel;
class QPushButton;

// The window "Datenwiederherstellung": puts the backup copy from the folder
// chosen in the folder list back in place of the log database.
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

    // The target (in the program directory) and the source file name of
    // the last click.
    QString ziel;
    QString quelle;

public Q_SLOTS:
    void cmd_datenherstellen_Click();

private:
    bool datei_vorhanden(const QString &datei) const;

    LogfensterSchliessen m_logfensterSchliessen;
};
