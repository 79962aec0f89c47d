// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/bausteine/kindfenster.h"
#include "kern/empfaenger/suchlauf.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Suchlauf – <list>": scans the channels of a list window's rows on the
// program's receiver and lists where it halted ("Treffer"). The main window
// hands it the channels and the receiver; "Ins Log …" goes up as a signal.
// Closing the window stops the scan.
class frm_suchlauf : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_suchlauf(Empfaenger *empfaenger, std::unique_ptr<Suchuhr> uhr = Suchuhr::echt(),
                          QWidget *parent = nullptr);
    ~frm_suchlauf() override;

    // The channels of a list's rows (which stops a scan under way); the
    // channels left out of that list before are left out again. ohneFrequenz:
    // rows left out because their value is no frequency.
    void setzeKanaele(const QString &liste, const QVector<Suchkanal> &kanaele, int ohneFrequenz = 0);
    QString liste() const { return m_liste; }

    Suchlauf *suchlauf() const { return m_suchlauf; }
    // The hit of a row of the table.
    const Suchtreffer *treffer(int zeile) const;

    QLabel *Label1 = nullptr;
    QLabel *lbl_kanal = nullptr;
    QLabel *Label2 = nullptr;
    QProgressBar *pb_staerke = nullptr;
    QLabel *lbl_staerke = nullptr;
    QLabel *lbl_stand = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label4 = nullptr;
    QDoubleSpinBox *txt_verweilen = nullptr;   // seconds
    QLabel *Label5 = nullptr;
    QSpinBox *txt_schwelle = nullptr;   // dB relative to S9
    QLabel *Label6 = nullptr;
    QDoubleSpinBox *txt_nachlauf = nullptr;
    QLabel *Label7 = nullptr;
    QDoubleSpinBox *txt_hoechstens = nullptr;
    QLabel *Label8 = nullptr;
    QComboBox *cbo_signal = nullptr;   // strength or squelch
    QPushButton *cmd_start = nullptr;
    QPushButton *cmd_stopp = nullptr;
    QPushButton *cmd_weiter = nullptr;
    QPushButton *cmd_auslassen = nullptr;
    QPushButton *cmd_aufnehmen = nullptr;
    QLabel *Label3 = nullptr;
    QTableWidget *DataGrid1 = nullptr;   // the hits, newest first
    QPushButton *cmd_inslog = nullptr;
    QPushButton *cmd_speichern = nullptr;

Q_SIGNALS:
    // "Ins Log …": a new log record with these values (by column of the
    // log), filled in by the program.
    void insLog(const QHash<QString, QString> &werte);

public Q_SLOTS:
    void cmd_start_Click();
    void cmd_stopp_Click();
    void cmd_weiter_Click();
    void cmd_auslassen_Click();
    void cmd_aufnehmen_Click();
    void cmd_inslog_Click();
    void cmd_speichern_Click();
    void DataGrid1_DblClick();
    void einstellung_Change();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The one place that applies the scan's phase and the receiver's state
    // to the buttons.
    void anwenden();
    // The channel, the reading and the count, at most a few times a second.
    void anzeigen();
    void standGeaendert();
    void trefferNeu(int index);
    void trefferZeigen(int index);
    Suchlauf::Einstellung einstellung() const;

    QPointer<Empfaenger> m_empfaenger;
    Suchlauf *m_suchlauf;
    QString m_liste;
    int m_ohneFrequenz = 0;
    // The channels left out, by list, as their frequencies.
    QHash<QString, QSet<qint64>> m_ausgelassen;
    QTimer m_anzeige;
    Suchlauf::Phase m_gezeigtePhase = Suchlauf::Phase::Steht;
    bool m_gelaufen = false;   // the scan ran since the channels came
};
