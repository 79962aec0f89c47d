// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Verbinden …": asks for the host and port of the receiver's rigctl server.
// The main window shows it window-modal without waiting for it and connects
// when it is accepted.
class frm_verbinden : public QDialog
{
    Q_OBJECT
public:
    frm_verbinden(const QString &host, quint16 port, QWidget *parent = nullptr);

    QString host() const;
    quint16 port() const;

    QLabel *Label1 = nullptr;
    QLineEdit *txt_host = nullptr;
    QLabel *Label2 = nullptr;
    QSpinBox *txt_port = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *cmd_verbinden = nullptr;
    QPushButton *cmd_abbrechen = nullptr;

public Q_SLOTS:
    void cmd_verbinden_Click();
};
