// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include <functional>
#include <optional>

class QPushButton;
class QRadioButton;

// Asks how the log's times are meant, before they go to or come from ADIF,
// whose times are UTC: local time (converted) or already UTC.
class frm_zeiten : public QDialog
{
    Q_OBJECT
public:
    explicit frm_zeiten(bool ausfuhr, QWidget *parent = nullptr);

    QRadioButton *opt_ortszeit = nullptr;
    QRadioButton *opt_utc = nullptr;
    QPushButton *cmd_ok = nullptr;
    QPushButton *cmd_abbrechen = nullptr;

    bool ortszeit() const;

    // Shows the dialog: true for local time, false for UTC, nothing when the
    // user cancelled. Tests put a function in place of the dialog.
    static std::optional<bool> fragen(QWidget *eltern, bool ausfuhr);
    using Ersatz = std::function<std::optional<bool>(bool ausfuhr)>;
    static void setzeErsatz(Ersatz ersatz);

public Q_SLOTS:
    void cmd_ok_Click();
    void cmd_abbrechen_Click();
};
