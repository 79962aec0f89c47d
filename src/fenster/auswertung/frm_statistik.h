// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/bausteine/kindfenster.h"
#include "kern/auswertung/statistik.h"

#include <array>
#include <functional>
#include <memory>

class EintragsModell;
class QChart;
class QChartView;
class QCheckBox;
class QDateEdit;
class QLabel;
class QModelIndex;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

// The statistics window "Statistik": the log at a glance. For the whole log
// or a period it shows receptions per month, hour, weekday, modulation and
// country and the most frequent places and call signs, each as a chart with
// its numbers in a table beside it. A click on a bar or a row lists the
// records behind it below; a double-click on one of them shows it in the log
// window. Records whose date or time cannot be read are counted apart and
// listed the same way.
class frm_statistik : public KindFenster
{
    Q_OBJECT
public:
    // What the window calls to show a record in the log window (its key);
    // the main window hands it over.
    using ZeigeEintrag = std::function<void(qint64 id)>;
    explicit frm_statistik(ZeigeEintrag zeigeEintrag = {}, QWidget *parent = nullptr);
    ~frm_statistik() override;

    // Opens the log read-only and shows the figures of the whole log.
    void Form_Load() override;

    // The period controls.
    QCheckBox *chk_zeitraum = nullptr;
    QDateEdit *dat_von = nullptr;
    QLabel *lbl_bis = nullptr;
    QDateEdit *dat_bis = nullptr;
    QPushButton *cmd_anzeigen = nullptr;
    // The counts.
    QLabel *lbl_eintraege = nullptr;
    QPushButton *cmd_ohnedatum = nullptr;
    QPushButton *cmd_ohnezeit = nullptr;
    // One tab per series, each with its chart and its table.
    QTabWidget *SSTab1 = nullptr;
    std::array<QChartView *, Statistik::AnzahlReihen> diagramm{};
    std::array<QTableWidget *, Statistik::AnzahlReihen> tabelle{};
    QPushButton *cmd_bild = nullptr;
    // The records behind the bar chosen.
    QLabel *lbl_auswahl = nullptr;
    QTableView *DataGrid1 = nullptr;

    const Statistik::Zahlen &zahlen() const { return m_zahlen; }
    Statistik::Reihe gezeigteReihe() const;
    // The chart of the tab shown, built (with its table) if it is not yet.
    // Throws DatenFehler.
    QChart *gezeigtesDiagramm();
    // Lists the records behind a bar (its index in the series).
    void waehleBalken(Statistik::Reihe reihe, int index);
    // Writes the chart shown as PNG or as SVG, by the file's suffix (PNG when
    // it has neither). Reports a failure and returns false.
    bool speichereBild(const QString &datei);

    // Asks for the file to write an image to; an empty text: cancelled.
    using Dateiwahl = std::function<QString(QWidget *eltern, const QString &vorschlag)>;
    // Replaces the file dialog (an empty function restores it).
    static void setzeDateiwahl(Dateiwahl wahl);

public Q_SLOTS:
    void chk_zeitraum_Click();
    void cmd_anzeigen_Click();
    void cmd_ohnedatum_Click();
    void cmd_ohnezeit_Click();
    void cmd_bild_Click();
    void SSTab1_Click(int reiter);
    void tabelle_Click(int reihe, int zeile);
    void DataGrid1_DblClick(const QModelIndex &index);

private:
    void bauen();
    void berechne(const Statistik::Zeitraum &zeitraum);
    void zeigeZahlen();
    // Counts a series and shows it in its table and chart, once per computation.
    void baue(Statistik::Reihe reihe);
    void fuelleTabelle(Statistik::Reihe reihe);
    QChart *baueDiagramm(Statistik::Reihe reihe);
    void liste(const Statistik::Auswahl &auswahl, const QString &titel);
    void markiere(Statistik::Reihe reihe, int index);

    ZeigeEintrag m_zeigeEintrag;
    std::unique_ptr<Statistik> m_statistik;
    Statistik::Zahlen m_zahlen;
    std::array<bool, Statistik::AnzahlReihen> m_gebaut{};
    EintragsModell *m_modell = nullptr;
};
