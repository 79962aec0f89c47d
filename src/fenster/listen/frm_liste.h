// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/bausteine/kindfenster.h"
#include "kern/basis/ergebnis.h"
#include "kern/empfaenger/suchkanal.h"

#include <QPointer>

class Adodc;
class Empfaenger;
class QAction;
class QModelIndex;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;

// A frequency list window: one table of the frequency database in a grid,
// sorted, its record count in the title, narrowed by up to three searches.
// The four lists (frm_bos, frm_flug, frm_afu, frm_fw) are this one window
// with four sets of settings, see the catalogue in frm_liste.cpp.
class FrequenzListe : public KindFenster
{
    Q_OBJECT
public:
    enum class Art { Bos, Flug, Afu, Fw };
    static FrequenzListe *erzeuge(Art art);
    explicit FrequenzListe(Art art, QWidget *parent = nullptr);

    void Form_Load() override;
    Art art() const { return m_art; }
    // The table of the frequency database the window shows.
    QString tabelle() const;
    // What the user is to know about the rows while the window is in front:
    // that they are examples, not real stations (read at load from the
    // database's own record of where its lists come from); else empty.
    QString hinweis() const { return m_hinweis; }

    // The receiver that a double-click or the grid's context menu tunes to
    // a row's frequency; null: the window has no receiver functions.
    void setzeEmpfaenger(Empfaenger *empfaenger);

    // The list's name as its title begins ("BOS-Frequenzen").
    QString listenName() const;
    // The channels of the rows the grid shows, in the order it shows them,
    // for a scan; refused for more rows than a scan takes.
    Ergebnis<Kanalliste> suchkanaele() const;
    static constexpr int hoechsteSuchzeilen = 100000;
    // Into the first search box, its text selected (the main window's
    // Ctrl+F while the list is in front).
    void sucheWaehlen();

    // Controls; frm_flug has no Frame2, txt_rufname or cmd_sucherufname.
    QGroupBox *Frame1 = nullptr;
    QLineEdit *txt_ort = nullptr;
    QPushButton *cmd_sucheort = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLineEdit *txt_rufname = nullptr;
    QPushButton *cmd_sucherufname = nullptr;
    QGroupBox *Frame4 = nullptr;
    QLineEdit *txt_freq = nullptr;
    QPushButton *cmd_suchefreq = nullptr;
    QPushButton *cmd_reset = nullptr;
    QTableView *DataGrid1 = nullptr;
    Adodc *Adodc1 = nullptr;
    // The grid's context menu, with a receiver: "Empfänger abstimmen", and
    // for the repeaters the input as well (else null).
    QAction *mnu_abstimmen = nullptr;
    QAction *mnu_eingabe = nullptr;
    // After them: "Suchlauf …" over the rows shown.
    QAction *mnu_suchlauf = nullptr;
    // The grid's context menu.
    QAction *liste_exportieren = nullptr;
    // And the rows it shows, on paper or as PDF.
    QAction *liste_drucken = nullptr;
    QAction *liste_pdf = nullptr;

Q_SIGNALS:
    // "Liste exportieren …" was chosen: the rows the grid shows (the query
    // over the table of that database) are to go into a file.
    void exportieren(const QString &datenbank, const QString &tabelle, const QString &abfrage);
    // "Suchlauf …" was chosen: a scan over the rows shown (suchkanaele()).
    void suchlaufVerlangt();
    // Words for the main window's status bar: why a double-click did not tune.
    void statusHinweis(const QString &text);

public Q_SLOTS:
    void cmd_sucheort_Click();
    void cmd_sucherufname_Click();
    void cmd_suchefreq_Click();
    void cmd_reset_Click();
    void DataGrid1_DblClick(const QModelIndex &index);
    void DataGrid1_ContextMenu(const QPoint &pos);
    void mnu_abstimmen_Click();
    void mnu_eingabe_Click();
    void mnu_suchlauf_Click();
    // "Liste exportieren …": the rows the grid shows, into a file.
    void liste_exportieren_Click();
    void liste_drucken_Click();
    void liste_pdf_Click();
    // A click on a column's header: the rows shown sorted by that column,
    // reversed by a second click.
    void DataGrid1_HeadClick(int spalte);

private:
    // The one place that shows the data view's order in the grid's header.
    void ordnungZeigen();
    void suche(QLineEdit *feld, const char *spalte);
    // Tunes the receiver to the row's frequency (a repeater's input with eingabe).
    void abstimmen(int zeile, bool eingabe);
    // The one place that applies the receiver's state to the window.
    void empfaengerAnwenden();

    // The database file the window reads.
    QString datenbank() const;

    Art m_art;
    QString m_hinweis;
    QPointer<Empfaenger> m_empfaenger;
};
