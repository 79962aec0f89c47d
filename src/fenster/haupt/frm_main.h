// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class Logsperre;
class Papierkorb;
class QTimer;
#include "fenster/bausteine/kindfenster.h"
#include "fenster/listen/frm_liste.h"

class Empfaenger;
namespace Autosicherung {
class Lauf;
struct Ergebnis;
}
class RigctlEmpfaenger;
struct EmpfaengerZustand;

// The main window: a multiple-document frame with the menu bar. It keeps one
// shared instance of every child window, created when it is first shown and
// destroyed when it is closed.
//
// Only one running program uses the log database: the main window takes the
// log's lock (Logsperre) before it first opens the log window or the restore
// window, and keeps it until it is destroyed. While another program holds
// it, both are refused with a message; the frequency lists and the backup
// (which only reads the log) still work.
class frm_handbuch;
class frm_ueber;

class frm_main : public QMainWindow
{
    Q_OBJECT
public:
    explicit frm_main(QWidget *parent = nullptr);
    ~frm_main() override;

    // Shows the window maximised and runs its load handler.
    void zeigen();

    QMdiArea *mdi() const { return m_mdi; }
    // The open child windows, by kind (null when not open).
    KindFenster *frm_bos() const { return m_bos; }
    KindFenster *frm_flug() const { return m_flug; }
    KindFenster *frm_afu() const { return m_afu; }
    KindFenster *frm_fw() const { return m_fw; }
    KindFenster *frm_eintrag() const { return m_eintrag; }
    KindFenster *frm_sicherung() const { return m_sicherung; }
    KindFenster *frm_herstellen() const { return m_herstellen; }
    KindFenster *frm_waslaeuft() const { return m_waslaeuft; }
    KindFenster *frm_suchlauf() const { return m_suchlauf; }
    KindFenster *frm_autosicherung() const { return m_autosicherungFenster; }
    // The automatic backup of the log at start.
    Autosicherung::Lauf *autosicherung() const { return m_autosicherung; }
    // The receiver connection, handed to the list and log windows.
    RigctlEmpfaenger *empfaenger() const { return m_empfaenger; }
    KindFenster *frm_statistik() const { return m_statistik; }
    // The manual's window and the about box, while they are open.
    ::frm_handbuch *frm_handbuch() const;
    ::frm_ueber *frm_ueber() const;

    static QString programmMeldung();
    // Closes the log window if it is open (it writes its pending input first);
    // false if it stayed open because that input could not be written.
    bool schliesseEintrag();

    // Menu entries.
    QMenu *prog = nullptr;
    QAction *end = nullptr;
    QMenu *dfsdfs = nullptr;
    QAction *bos = nullptr;
    QAction *flug = nullptr;
    QAction *afu = nullptr;
    QAction *fw = nullptr;
    // After the lists, for the list in front: Ctrl+F into its first search
    // box, Ctrl+P its "Drucken …".
    QAction *dfsdfs_suchen = nullptr;
    QAction *dfsdfs_drucken = nullptr;
    QAction *erre = nullptr;
    QMenu *dv = nullptr;
    QAction *sicher = nullptr;
    QAction *wer = nullptr;
    // Exchange of the log with other programs, after a separator.
    QAction *logexport = nullptr;
    QAction *logimport = nullptr;
    QMenu *ausw = nullptr;
    QAction *stat = nullptr;
    // After the entries above: the automatic backups.
    QAction *autosicher = nullptr;
    QAction *help = nullptr;
    // After "?": the manual (F1, at the section of the window in front) and
    // the about box.
    QAction *handbuch = nullptr;
    QAction *ueber = nullptr;
    // Menu "Empfänger", after the program's own menus.
    QMenu *empf = nullptr;
    QAction *empf_verbinden = nullptr;
    QAction *empf_trennen = nullptr;
    QAction *empf_waslaeuft = nullptr;
    // A scan over the rows of the list window in front.
    QAction *empf_suchlauf = nullptr;
    // The receiver's state in the status bar.
    QLabel *lbl_empfaenger = nullptr;
    // In the status bar while a list of example data is in front: says so.
    QLabel *lbl_daten = nullptr;
    // The automatic backup in the status bar: running, or why it failed.
    QLabel *lbl_autosicherung = nullptr;
    // Menu "Fenster", after the program's own menus and before "?": the
    // child windows arranged, closed, and listed (the active one checked).
    QMenu *fenster = nullptr;
    QAction *fenster_ueberlappend = nullptr;
    QAction *fenster_nebeneinander = nullptr;
    QAction *fenster_schliessen = nullptr;   // Ctrl+W, Ctrl+F4: the active one
    QAction *fenster_alleschliessen = nullptr;
    // The words after an action, in the status bar for a few seconds; an
    // action offered with them is a link in them.
    QLabel *lbl_status = nullptr;

public Q_SLOTS:
    void MDIForm_Load();
    void bos_Click();
    void flug_Click();
    void afu_Click();
    void fw_Click();
    void erre_Click();
    void sicher_Click();
    void wer_Click();
    void logexport_Click();
    void logimport_Click();
    void stat_Click();
    void help_Click();
    void handbuch_Click();
    void ueber_Click();
    void end_Click();
    void empf_verbinden_Click();
    void empf_trennen_Click();
    void empf_waslaeuft_Click();
    void empf_suchlauf_Click();
    void autosicher_Click();
    void fenster_schliessen_Click();
    void fenster_alleschliessen_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Brings the log window to the front on one record (for the statistics).
    void zeigeEintrag(qint64 id);
    KindFenster *zeigeKind(QPointer<KindFenster> &fenster, const std::function<KindFenster *()> &erzeuge);
    // A list window, given the receiver.
    FrequenzListe *liste(FrequenzListe::Art art);
    void empfaengerBauen();
    // The one place that shows the receiver's state in the main window: the
    // status bar and what the menu "Empfänger" offers.
    void empfaengerAnzeigen();
    // The list window in front, if a list window is.
    FrequenzListe *vordereListe() const;
    // Opens the scan window (or brings it to the front) over the rows a list shows.
    void suchlaufZeigen(FrequenzListe *liste);
    // Brings the log window to the front with a new record of these values.
    void insLog(const QHash<QString, QString> &werte);
    // Whether this program may use the log: takes the lock if need be, and
    // tells the user when another program holds it.
    bool logFrei();
    void autosicherungBauen();
    void autosicherungStarten();
    void autosicherungFertig(const Autosicherung::Ergebnis &ergebnis, const QString &ordner);
    void autosicherungAnzeigen(const QString &text, const QString &ganz = QString());
    void fensterMenueBauen();
    // The one place that applies the open child windows to menu "Fenster".
    void fensterMenueAuffrischen();
    void statusBauen();
    void tastenBauen();
    // The one place that applies the window in front to the list keys.
    void tastenAnzeigen();
    void statusZeigen(const QString &text, QAction *aktion);

    QMdiArea *m_mdi;
    std::unique_ptr<Logsperre> m_logsperre;
    QPointer<KindFenster> m_bos, m_flug, m_afu, m_fw, m_eintrag, m_sicherung, m_herstellen;
    QPointer<KindFenster> m_waslaeuft;
    QPointer<KindFenster> m_suchlauf;
    RigctlEmpfaenger *m_empfaenger = nullptr;
    QPointer<KindFenster> m_statistik;
    Autosicherung::Lauf *m_autosicherung = nullptr;
    QPointer<KindFenster> m_autosicherungFenster;
    // The one place that says in the status bar what the list in front holds.
    void datenAnzeigen();
    QPointer<::frm_handbuch> m_handbuch;
    QPointer<::frm_ueber> m_ueber;
    // Added to the message of a child window that cannot be loaded (at
    // start: what that means for the automatic backup); empty: nothing.
    std::function<QString()> m_ladeZusatz;
    // The log records deleted in this run, for the log window's undo.
    std::shared_ptr<Papierkorb> m_papierkorb;
    QTimer *m_statusZeit = nullptr;
    QPointer<QAction> m_statusAktion;
};
