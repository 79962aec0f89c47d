// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/bausteine/kindfenster.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The window "Automatische Sicherungen": the folder of the automatic
// backups (changeable), whether they are made, what the last run had to
// tell, and the generations in the folder with date, size and record
// count. "Diese Sicherung wiederherstellen" asks, naming both sides, and
// then puts the chosen one in place of the log by the rules of the restore
// window: the copy is checked, the log window is closed first, the log as
// it was is kept, and the log is replaced in one rename.
class frm_autosicherung : public KindFenster
{
    Q_OBJECT
public:
    // logFreigeben makes the log free to be replaced (the log window
    // closed); false when it is not, and the user has been told why.
    explicit frm_autosicherung(std::function<bool()> logFreigeben, QWidget *parent = nullptr);

    void Form_Load() override;

    QLabel *lbl_ordner = nullptr;
    QLineEdit *txt_ordner = nullptr;
    QPushButton *cmd_ordner = nullptr;
    QCheckBox *chk_aktiv = nullptr;
    // What the last run at start had to tell (empty when all went well).
    QLabel *lbl_bericht = nullptr;
    QTreeWidget *lst_sicherungen = nullptr;
    QLabel *lbl_regel = nullptr;
    QPushButton *cmd_wiederherstellen = nullptr;

    // In place of the folder dialog (tests): the folder chosen, empty to
    // cancel. An empty function restores the dialog.
    using Ordnerwahl = std::function<QString(const QString &bisher)>;
    static void setzeOrdnerwahl(Ordnerwahl wahl);

public Q_SLOTS:
    void cmd_ordner_Click();
    void chk_aktiv_Click(bool an);
    void cmd_wiederherstellen_Click();
    // Reads the folder's generations and the last run's report anew.
    void listeFuellen();

private:
    std::function<bool()> m_logFreigeben;
};
