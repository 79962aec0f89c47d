// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Über tremvik-tool …": the version, the licence, where the frequency
// lists come from and on what terms (and which of them are examples), and
// where the user's files lie, each path in a box of its own that the user
// can select and copy, or copy with the button beside it. The paths are the
// ones the program uses at this moment.
class frm_ueber : public QDialog
{
    Q_OBJECT
public:
    explicit frm_ueber(QWidget *parent = nullptr);

    QLabel *lbl_titel = nullptr;
    QLabel *lbl_lizenz = nullptr;
    QLabel *lbl_listen = nullptr;
    QLineEdit *txt_log = nullptr;
    QLineEdit *txt_frequenzen = nullptr;
    QLineEdit *txt_sicherungen = nullptr;
    QLineEdit *txt_einstellungen = nullptr;
    QPushButton *cmd_schliessen = nullptr;

    // The text about the four lists in the frequency database datei.
    static QString listenText(const QString &datei);
};
