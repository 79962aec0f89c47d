// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/empfaenger/empfaenger.h"
#include "kern/empfaenger/waslaeuft.h"
#include "fenster/bausteine/kindfenster.h"

#include <QPointer>

#include <memory>
#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Was läuft hier?": the rows of all four lists on one frequency, nearest
// first. It follows the receiver's frequency while "dem Empfänger folgen" is
// ticked and a receiver is connected; a frequency typed into the box (in MHz,
// as the lists write it) is looked up with "Anzeigen" or Enter and stops the
// following. A double-click on a row tunes the receiver to it.
class frm_waslaeuft : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_waslaeuft(QWidget *parent = nullptr);
    ~frm_waslaeuft() override;

    // The receiver to follow and tune; null: none.
    void setzeEmpfaenger(Empfaenger *empfaenger);

    // Reads the frequency database; throws DatenFehler.
    void Form_Load() override;

    QLabel *Label1 = nullptr;
    QLineEdit *txt_frequenz = nullptr;
    QPushButton *cmd_anzeigen = nullptr;
    QCheckBox *chk_folgen = nullptr;
    QLabel *Label2 = nullptr;
    QDoubleSpinBox *txt_fwraster = nullptr;   // telecontrol raster in kHz
    QLabel *lbl_ergebnis = nullptr;
    QTableWidget *DataGrid1 = nullptr;

    // The frequency whose rows are shown.
    std::optional<qint64> gezeigt() const { return m_gezeigt; }

public Q_SLOTS:
    void cmd_anzeigen_Click();
    void txt_frequenz_Change();
    void chk_folgen_Click();
    void txt_fwraster_Change();
    void DataGrid1_DblClick();

private:
    // The one place that applies the receiver's state to the window.
    void empfaengerAnwenden(const EmpfaengerZustand &zustand);
    void zeige(qint64 hz);

    QPointer<Empfaenger> m_empfaenger;
    std::unique_ptr<WasLaeuft> m_suche;
    std::optional<qint64> m_gezeigt;
    QVector<WasLaeuft::Fund> m_funde;
};
