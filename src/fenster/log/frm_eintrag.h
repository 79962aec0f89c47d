// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fenster/bausteine/kindfenster.h"

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QVector>

#include <memory>

class Adodc;
class Bemerkungsfeld;
class Empfaenger;
class Papierkorb;
class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QToolButton;

// The log window "Eigene Einträge": the user's own reception log. Tab "LOG"
// shows the current record in twelve boxes and the formatted remark, with the
// buttons that create, edit, store, cancel and delete records; tab
// "Übersicht" lists the records and searches them by one of five columns.
//
// Its editing state is one value, and one place sets every button and field
// from it. The state follows the data: when the record being created or
// edited is left by anything but the editing buttons (a refresh by "RESET" or
// "SUCHEN", a move in the grid), the data view writes its input or drops an
// untouched new record, and the window is in Browse on the record it then
// shows. A write that fails keeps the input, the record and the state.
class frm_eintrag : public KindFenster
{
    Q_OBJECT
public:
    explicit frm_eintrag(QWidget *parent = nullptr);

    void Form_Load() override;

    // The receiver whose frequency and mode "NEU" and "vom Empfänger" take
    // into the record; null: the window has no receiver functions.
    void setzeEmpfaenger(Empfaenger *empfaenger);
    // Where the records deleted with "LÖSCHEN" are kept for Ctrl+Z: the
    // main window's, so that they can be brought back until the program
    // ends; without one the window keeps its own.
    void setzePapierkorb(std::shared_ptr<Papierkorb> korb);
    // The query whose records the overview shows: all, or a search's.
    QString abfrage() const;
    // Shows the records of that query anew (others were added to the log).
    // While a record is being made or edited, that input stays as it is,
    // and the overview shows the new records once it is saved or cancelled.
    void neuLaden();
    // Shows one record (by its key) on tab "LOG", listing every record first
    // if a search left it out. Not while a record is being edited: that is
    // said in a message. False when it is not shown.
    bool zeigeDatensatz(qint64 id);
    // "NEU" with values the program fills in, by column ("frequenz", "band",
    // "ort", "callsign", "datum", "uhrzeit", …): tab "LOG" shows the new
    // record with them. They are not the user's input: left without a change
    // by the user, the record is dropped; once the user typed into it, it is
    // stored with them. Not while a record is being edited or a new one
    // holds input: that is said in a message. False when no new record began.
    bool neuVorbelegt(const QHash<QString, QString> &werte);

    Adodc *Adodc1 = nullptr;
    QTabWidget *SSTab1 = nullptr;

    // Tab "LOG".
    QFrame *Shape1 = nullptr;
    QFrame *Frame2 = nullptr;
    QLabel *Label11 = nullptr, *Label10 = nullptr, *Label1 = nullptr, *Label6 = nullptr;
    QLabel *Label13 = nullptr, *Label12 = nullptr, *Label14 = nullptr, *Label15 = nullptr;
    QLabel *Label16 = nullptr, *Label17 = nullptr, *Label18 = nullptr, *Label5 = nullptr;
    QLineEdit *txt_callsign = nullptr, *txt_skip = nullptr, *txt_vorname = nullptr, *txt_land = nullptr;
    QLineEdit *txt_swert = nullptr, *txt_rwert = nullptr, *txt_datum = nullptr, *txt_uhrzeit = nullptr;
    QLineEdit *txt_kanal = nullptr, *txt_frequenz = nullptr, *txt_band = nullptr, *txt_ort = nullptr;
    QFrame *Frame1 = nullptr;
    QFrame *Frame5 = nullptr;
    Bemerkungsfeld *RichTextBox1 = nullptr;
    QFrame *Frame3 = nullptr;
    QPushButton *cmd_neu = nullptr;
    QPushButton *cmd_bearbeiten = nullptr;
    QPushButton *cmd_abbrechen = nullptr;
    QPushButton *cmd_speichern = nullptr;
    QPushButton *cmd_loeschen = nullptr;   // objectName "cmd_löschen"
    // "vom Empfänger", beside the frequency: shown with a receiver, usable
    // while connected in New and Edit.
    QToolButton *cmd_vomempfaenger = nullptr;
    // "Jetzt", beside date and time: both filled with the local time now;
    // usable in New and Edit, never in the Tab key's order.
    QToolButton *cmd_jetzt = nullptr;

    // Tab "Übersicht".
    QFrame *Shape2 = nullptr;
    QTableView *DataGrid1 = nullptr;
    QFrame *Frame4 = nullptr;
    QLineEdit *txt_suchbegriff = nullptr;
    QPushButton *cmd_suchen = nullptr;
    QPushButton *cmd_alle = nullptr;
    QPushButton *cmd_drucken = nullptr;
    QLabel *lbl_treffer = nullptr;
    QRadioButton *opt_frequenz = nullptr;
    QRadioButton *opt_skip = nullptr;      // searches the call sign
    QRadioButton *opt_vorname = nullptr;   // searches the date
    QRadioButton *opt_qth = nullptr;
    QRadioButton *opt_land = nullptr;

    // Context menus: the overview grid's records on paper or as PDF, and the
    // current record with its remark on paper (in the grid's menu and in
    // that of the panels of tab "LOG").
    QAction *uebersicht_drucken = nullptr;
    QAction *uebersicht_pdf = nullptr;
    QAction *eintrag_drucken = nullptr;

    // Keys, acting only where a click on their button would: Ctrl+N "NEU",
    // Ctrl+S "SPEICHERN", Escape "ABBRECHEN", Ctrl+F the search term, Ctrl+P
    // the overview's "Drucken …", Ctrl+Z brings the last deleted record back.
    QAction *taste_neu = nullptr;
    QAction *taste_speichern = nullptr;
    QAction *taste_abbrechen = nullptr;
    QAction *taste_suchen = nullptr;
    QAction *rueckgaengig = nullptr;

public Q_SLOTS:
    void SSTab1_Click(int vorherigerReiter);
    void DataGrid1_Click();
    void txt_datum_GotFocus();
    void cmd_neu_Click();
    void cmd_bearbeiten_Click();
    void cmd_speichern_Click();
    void cmd_loeschen_Click();
    void cmd_abbrechen_Click();
    void cmd_suchen_Click();
    void cmd_alle_Click();
    void txt_suchbegriff_Click();
    // The data view's current record changed (zeile -1: a new record or none).
    void Adodc1_MoveComplete(int zeile);
    void cmd_vomempfaenger_Click();
    void uebersicht_drucken_Click();
    void uebersicht_pdf_Click();
    void eintrag_drucken_Click();
    void cmd_jetzt_Click();
    void rueckgaengig_Click();

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override;
    // Unwritten input is written before the window closes; if that fails the
    // window stays open with the input.
    void closeEvent(QCloseEvent *ereignis) override;

private:
    // Browse: only "NEU" and "BEARBEITEN", the boxes locked but txt_land.
    // Neu: a new record, not written yet, is current. Bearbeiten: the current
    // record may hold input not written yet.
    enum class Zustand { Browse, Neu, Bearbeiten };
    // The one place that applies the editing state to the buttons and fields.
    void zustandSetzen(Zustand neu);
    // The state's parts and names: the fields' flags, and the states that the
    // buttons lead to.
    void felder_sperren();
    void felder_freigeben();
    void status_neu();
    void status_normal();
    void status_bearbeiten();

    void bauen();
    void bindeFelder();
    void tastenBauen();
    // "Eintrag gespeichert" in the status bar, with a word on a date or time
    // that cannot be read as one (it is stored as typed all the same).
    void gespeichertMelden();
    // The one place that applies the bin's state to Ctrl+Z.
    void rueckgaengigAnwenden();
    std::shared_ptr<Papierkorb> m_papierkorb;
    // Begins a new record with the program's values (see neuVorbelegt);
    // a failure is said in a message. False when none began.
    bool neuAnlegen(const QHash<QString, QString> &werte);
    QVector<QLineEdit *> sperrbareFelder() const;
    void trefferSetzen();
    // The row of the record with that key in the overview, or -1; and the
    // key of the current record, or -1.
    int zeileVon(qint64 id) const;
    qint64 aktuelleId() const;
    // Records added to the log while one was being made or edited are shown
    // once the window is back in Browse: the rows are read anew and the
    // record shown stays current.
    void neuLadenNachholen();
    bool m_neuLadenOffen = false;
    void druckmenueBauen();
    // Ctrl+B, Ctrl+I and Ctrl+U in the remark: the format goes on or off for
    // the selection, or for what is typed next.
    enum class Format { Fett, Kursiv, Unterstrichen };
    void formatUmschalten(Format format);
    // A format key (bold, italic, underline) in the remark while it can be
    // edited: taken, and on a key press the format switched. False for
    // any other key.
    bool formatTaste(QKeyEvent *taste);
    // Ctrl+Tab in the remark while it can be edited: a tab character.
    bool tabulatorTaste(QKeyEvent *taste);

    // Controls on a tab are placed relative to the tab container, whatever
    // room its tab bar takes.
    struct AufReiter
    {
        QWidget *w;
        QRect twips;
    };
    void aufReiter(QWidget *w, int links, int oben, int breite, int hoehe);
    void reiterAusrichten();
    QVector<AufReiter> m_aufReiter;
    Zustand m_zustand = Zustand::Browse;

    // The one place that applies the receiver's state and the editing state
    // to the button "vom Empfänger".
    void empfaengerAnwenden();
    // Frequency and mode from the receiver, by column ("frequenz", "band").
    QHash<QString, QString> empfaengerWerte() const;
    QPointer<Empfaenger> m_empfaenger;
};
