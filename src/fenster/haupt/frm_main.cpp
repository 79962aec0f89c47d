// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"

#include "fenster/austausch/austauschdialoge.h"
#include "fenster/auswertung/frm_statistik.h"
#include "fenster/bausteine/geometrie.h"
#include "fenster/bausteine/kindfenster.h"
#include "fenster/bausteine/meldung.h"
#include "fenster/empfaenger/frm_suchlauf.h"
#include "fenster/empfaenger/frm_verbinden.h"
#include "fenster/empfaenger/frm_waslaeuft.h"
#include "fenster/hilfe/frm_handbuch.h"
#include "fenster/hilfe/frm_ueber.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/frm_eintrag.h"
#include "fenster/sicherung/frm_autosicherung.h"
#include "fenster/sicherung/frm_herstellen.h"
#include "fenster/sicherung/frm_sicherung.h"
#include "kern/basis/dateikopie.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/logsperre.h"
#include "kern/basis/speicherorte.h"
#include "kern/bestaende/logeintrag.h"
#include "kern/bestaende/logsuche.h"
#include "kern/bestaende/papierkorb.h"
#include "kern/empfaenger/einstellung.h"
#include "kern/empfaenger/rigctl.h"
#include "kern/sicherung/autosicherung.h"
#include "kern/sicherung/sicherungsdatei.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

frm_main::frm_main(QWidget *parent) : QMainWindow(parent), m_mdi(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(QStringLiteral("TREMVIK - Frequenzen"));
    m_mdi->setObjectName(QStringLiteral("mdi"));
    m_mdi->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdi);

    auto aktion = [this](const QString &name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        return a;
    };
    auto liste = [this](const QString &name, const QString &text) {
        QMenu *m = menuBar()->addMenu(text);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    prog = liste(QStringLiteral("prog"), QStringLiteral("Programm"));
    end = aktion(QStringLiteral("end"), QStringLiteral("ENDE"));
    prog->addAction(end);

    dfsdfs = liste(QStringLiteral("dfsdfs"), QStringLiteral("Frequenzen"));
    bos = aktion(QStringLiteral("bos"), QStringLiteral("BOS"));
    flug = aktion(QStringLiteral("flug"), QStringLiteral("Flugfunk"));
    afu = aktion(QStringLiteral("afu"), QStringLiteral("AFU-Repeater"));
    fw = aktion(QStringLiteral("fw"), QStringLiteral("Fernwirken"));
    dfsdfs->addActions({bos, flug, afu, fw});

    erre = aktion(QStringLiteral("erre"), QStringLiteral("eigene Einträge"));
    menuBar()->addAction(erre);

    dv = liste(QStringLiteral("dv"), QStringLiteral("Datenverwaltung"));
    sicher = aktion(QStringLiteral("sicher"), QStringLiteral("Sicherung"));
    wer = aktion(QStringLiteral("wer"), QStringLiteral("Wiederherstellung"));
    dv->addActions({sicher, wer});
    dv->addSeparator()->setObjectName(QStringLiteral("dv_austausch"));
    logexport = aktion(QStringLiteral("logexport"), QStringLiteral("Log exportieren …"));
    logimport = aktion(QStringLiteral("logimport"), QStringLiteral("Log importieren …"));
    dv->addActions({logexport, logimport});

    // The figures of the log.
    ausw = liste(QStringLiteral("ausw"), QStringLiteral("Auswertung"));
    stat = aktion(QStringLiteral("stat"), QStringLiteral("Statistik …"));
    ausw->addAction(stat);

    help = aktion(QStringLiteral("help"), QStringLiteral("?"));
    menuBar()->addAction(help);
    handbuch = aktion(QStringLiteral("handbuch"), QStringLiteral("Handbuch"));
    handbuch->setShortcut(QKeySequence(Qt::Key_F1));
    handbuch->setToolTip(QStringLiteral("Handbuch (F1)"));
    menuBar()->addAction(handbuch);
    ueber = aktion(QStringLiteral("ueber"), QStringLiteral("Über tremvik-tool \u2026"));
    menuBar()->addAction(ueber);

    connect(end, &QAction::triggered, this, &frm_main::end_Click);
    connect(bos, &QAction::triggered, this, &frm_main::bos_Click);
    connect(flug, &QAction::triggered, this, &frm_main::flug_Click);
    connect(afu, &QAction::triggered, this, &frm_main::afu_Click);
    connect(fw, &QAction::triggered, this, &frm_main::fw_Click);
    connect(erre, &QAction::triggered, this, &frm_main::erre_Click);
    connect(sicher, &QAction::triggered, this, &frm_main::sicher_Click);
    connect(wer, &QAction::triggered, this, &frm_main::wer_Click);
    connect(logexport, &QAction::triggered, this, &frm_main::logexport_Click);
    connect(logimport, &QAction::triggered, this, &frm_main::logimport_Click);
    connect(stat, &QAction::triggered, this, &frm_main::stat_Click);
    connect(help, &QAction::triggered, this, &frm_main::help_Click);
    connect(handbuch, &QAction::triggered, this, &frm_main::handbuch_Click);
    connect(ueber, &QAction::triggered, this, &frm_main::ueber_Click);

    empfaengerBauen();
    autosicherungBauen();
    fensterMenueBauen();
    tastenBauen();
    statusBauen();
    m_papierkorb = std::make_shared<Papierkorb>();

    lbl_daten = new QLabel(this);
    lbl_daten->setObjectName(QStringLiteral("lbl_daten"));
    statusBar()->addPermanentWidget(lbl_daten);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frm_main::datenAnzeigen);

    // Size when restored: client area 10980 x 7500 twips between the menu
    // bar and the status bar, centred.
    resize(Geometrie::twips(10980),
           Geometrie::twips(7500) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

frm_main::~frm_main()
{
    Meldung::setzeStatusanzeige({});
    // The child windows (and with the log window its connection) go before
    // the log's lock is given back.
    qDeleteAll(m_mdi->subWindowList());
    delete m_handbuch;
}

::frm_handbuch *frm_main::frm_handbuch() const
{
    return m_handbuch;
}

::frm_ueber *frm_main::frm_ueber() const
{
    return m_ueber;
}

void frm_main::zeigen()
{
    showMaximized();
    // The log window opens at once; the automatic backup of the day runs
    // in the background once the start is over. A log that cannot be opened is
    // not copied either: its message says so, once.
    const Autosicherung::Einstellung sicherung = Autosicherung::Einstellung::lesen();
    const bool faellig = Autosicherung::Lauf::faellig(sicherung);
    if (faellig && QFileInfo::exists(Autosicherung::logdatei()))
        m_ladeZusatz = [ordner = sicherung.ordnerOderStandard()] {
            return QStringLiteral("Die automatische Sicherung wurde deshalb nicht angelegt. ")
                   + Autosicherung::bestand(ordner);
        };
    MDIForm_Load();
    m_ladeZusatz = {};
    if (faellig && m_eintrag)
        autosicherungStarten();
    // The receiver the user left connected: the connection comes up in the
    // background, start-up does not wait for it.
    const EmpfaengerEinstellung e = EmpfaengerEinstellung::lesen();
    if (e.verbinden)
        m_empfaenger->verbinden(e.host, e.port);
}

QString frm_main::programmMeldung()
{
    return QStringLiteral("Der Meister der Frequenz! https://tremvik.example.org");
}

KindFenster *frm_main::zeigeKind(QPointer<KindFenster> &fenster, const std::function<KindFenster *()> &erzeuge)
{
    if (fenster) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(fenster->parentWidget())) {
            sub->showNormal();
            sub->raise();
            m_mdi->setActiveSubWindow(sub);
        }
        return fenster;
    }
    KindFenster *w = erzeuge();
    try {
        w->Form_Load();
    } catch (const DatenFehler &f) {
        Meldung::zeigen(m_ladeZusatz ? f.meldung() + QStringLiteral("\n\n") + m_ladeZusatz() : f.meldung(),
                        Meldung::Symbol::Fehler);
        delete w;   // closed rather than left half-built
        return nullptr;
    }
    fenster = w;
    const QSize groesse = w->size();
    w->setFixedSize(groesse);
    QMdiSubWindow *sub = m_mdi->addSubWindow(w, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                    | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->setOption(QMdiSubWindow::RubberBandResize, false);
    sub->adjustSize();
    sub->setFixedSize(sub->sizeHint());
    sub->show();
    // The area places a new window so that it fits the client area as it is
    // now. At start that is still the restored size (the window system
    // maximises the main window later, and in its own time), and a window
    // wider or higher than that would begin left of or above the area and
    // stay there. It begins at the area's edge instead, and is wholly
    // inside once the main window has its full size.
    if (sub->x() < 0 || sub->y() < 0)
        sub->move(std::max(0, sub->x()), std::max(0, sub->y()));
    m_mdi->setActiveSubWindow(sub);
    w->setFocus();
    return w;
}

void frm_main::MDIForm_Load()
{
    erre_Click();
}

void frm_main::bos_Click()
{
    zeigeKind(m_bos, [this] { return liste(FrequenzListe::Art::Bos); });
}

void frm_main::flug_Click()
{
    zeigeKind(m_flug, [this] { return liste(FrequenzListe::Art::Flug); });
}

void frm_main::afu_Click()
{
    zeigeKind(m_afu, [this] { return liste(FrequenzListe::Art::Afu); });
}

void frm_main::fw_Click()
{
    zeigeKind(m_fw, [this] { return liste(FrequenzListe::Art::Fw); });
}

bool frm_main::logFrei()
{
    // The log of an installed program's first start is put in place first:
    // the lock stands from its beginning. A log that is missing otherwise
    // is reported by the window that opens it.
    QString logdatei;
    try {
        logdatei = Speicherorte::logBereitstellen();
    } catch (const DatenFehler &) {
        logdatei = Sicherungsdatei::logdatei();
    }
    // No log, no lock file: there is nothing two programs could share.
    if (!QFileInfo::exists(logdatei))
        return true;
    if (!m_logsperre)
        m_logsperre = std::make_unique<Logsperre>(logdatei);
    const bool schonGehalten = m_logsperre->gehalten();
    if (m_logsperre->nehmen()) {
        // What restores killed part-way left beside the log goes now.
        if (!schonGehalten)
            Dateikopie::raeumeAuf(logdatei);
        return true;
    }
    const QString sperrdatei = zitiert(m_logsperre->sperrdatei());
    const QString danach = QStringLiteral("Die Frequenzlisten stehen weiter zur Verfügung.");
    QString text;
    switch (m_logsperre->hindernis()) {
    case Logsperre::Hindernis::Programm:
    case Logsperre::Hindernis::Keins:
        text =
            QStringLiteral("Die eigenen Einträge (%1) werden schon von einem anderen laufenden tremvik-tool benutzt.\n"
                           "Hier können sie erst geöffnet oder wiederhergestellt werden, wenn jenes Programm beendet "
                           "ist. ")
                .arg(logdatei)
            + danach;
        break;
    case Logsperre::Hindernis::Prozess:
        text = QStringLiteral("Die eigenen Einträge (%1) sind gesperrt: Die Sperrdatei %2 hält das Programm %3.\n"
                              "Hier können sie erst geöffnet oder wiederhergestellt werden, wenn jenes Programm die "
                              "Sperre freigibt. ")
                   .arg(logdatei, sperrdatei, m_logsperre->prozess())
               + danach;
        break;
    case Logsperre::Hindernis::Unbekannt:
        text = QStringLiteral("Die eigenen Einträge (%1) sind gesperrt: Ein anderer Prozess hält die Sperrdatei %2; "
                              "welcher, sagt das System nicht.\n"
                              "Hier können sie erst geöffnet oder wiederhergestellt werden, wenn er die Sperre "
                              "freigibt. ")
                   .arg(logdatei, sperrdatei)
               + danach;
        break;
    case Logsperre::Hindernis::Fremd:
        text = QStringLiteral("Die eigenen Einträge (%1) können nicht geöffnet werden: Wo die Sperrdatei %2 "
                              "hingehört, liegt %3.\n"
                              "Das Programm braucht dort seine Sperrdatei, damit nie zwei Programme zugleich die "
                              "eigenen Einträge ändern. Bitte entfernen oder umbenennen Sie, was dort liegt. ")
                   .arg(logdatei, sperrdatei, m_logsperre->fremd())
               + danach;
        break;
    }
    Meldung::zeigen(text, Meldung::Symbol::Fehler);
    return false;
}

void frm_main::erre_Click()
{
    if (!m_eintrag && !logFrei())
        return;
    zeigeKind(m_eintrag, [this] {
        auto *w = new ::frm_eintrag;
        w->setzeEmpfaenger(m_empfaenger);
        w->setzePapierkorb(m_papierkorb);
        return w;
    });
}

bool frm_main::schliesseEintrag()
{
    if (!m_eintrag)
        return true;
    QWidget *sub = m_eintrag->parentWidget();
    if (!(sub ? sub->close() : m_eintrag->close()))
        return false;
    // Destroyed at once, not later: its connection to the log database must
    // be gone before a backup or a restore touches the file.
    delete (sub ? sub : static_cast<QWidget *>(m_eintrag.data()));
    return true;
}

void frm_main::sicher_Click()
{
    if (!schliesseEintrag())
        return;
    zeigeKind(m_sicherung, [] { return new ::frm_sicherung; });
}

void frm_main::wer_Click()
{
    if (!schliesseEintrag())
        return;
    if (!m_herstellen && !logFrei())
        return;
    // The lock is taken again right before the log is replaced: a log that
    // is missing now has none yet.
    zeigeKind(m_herstellen,
              [this] { return new ::frm_herstellen([this] { return logFrei() && schliesseEintrag(); }); });
}

// The export takes what the open log window shows (after a search only the
// records found), otherwise every record.
void frm_main::logexport_Click()
{
    const auto *log = qobject_cast<::frm_eintrag *>(m_eintrag.data());
    Austauschdialoge::logExportieren(this, Logdaten::standardDatei(), log ? log->abfrage() : Logsuche::alle().text());
}

// An open log window shows the records anew after an import.
void frm_main::logimport_Click()
{
    if (Austauschdialoge::logImportieren(this, Logdaten::standardDatei()))
        if (auto *log = qobject_cast<::frm_eintrag *>(m_eintrag.data()))
            log->neuLaden();
}

void frm_main::stat_Click()
{
    zeigeKind(m_statistik, [this] { return new ::frm_statistik([this](qint64 id) { zeigeEintrag(id); }); });
}

void frm_main::zeigeEintrag(qint64 id)
{
    erre_Click();
    if (auto *log = qobject_cast<::frm_eintrag *>(m_eintrag.data()))
        log->zeigeDatensatz(id);
}

void frm_main::help_Click()
{
    Meldung::zeigen(programmMeldung());
}

// The manual opens at the section of the window in front.
void frm_main::handbuch_Click()
{
    const QMdiSubWindow *vorn = m_mdi->currentSubWindow();
    const QString abschnitt =
        ::frm_handbuch::abschnittFuer(vorn && vorn->widget() ? vorn->widget()->objectName() : QString());
    if (!m_handbuch) {
        // A window of its own, not a child: it stays where the user puts
        // it, also behind the main window.
        auto *h = new ::frm_handbuch;
        if (!h->laden(Speicherorte::handbuch())) {
            delete h;
            return;
        }
        m_handbuch = h;
    }
    m_handbuch->zeigeAbschnitt(abschnitt);
    m_handbuch->show();
    m_handbuch->raise();
    m_handbuch->activateWindow();
}

void frm_main::ueber_Click()
{
    if (m_ueber) {
        m_ueber->raise();
        m_ueber->activateWindow();
        return;
    }
    m_ueber = new ::frm_ueber(this);
    m_ueber->setAttribute(Qt::WA_DeleteOnClose);
    m_ueber->open();   // window-modal; nothing waits for it
}

void frm_main::datenAnzeigen()
{
    // The window in front, also while the main window is not active.
    const QMdiSubWindow *vorn = m_mdi->currentSubWindow();
    const auto *liste = vorn ? qobject_cast<const FrequenzListe *>(vorn->widget()) : nullptr;
    lbl_daten->setText(liste ? liste->hinweis() : QString());
}

void frm_main::end_Click()
{
    close();
}

void frm_main::closeEvent(QCloseEvent *event)
{
    m_mdi->closeAllSubWindows();
    // A child that could not write its input stays open, and so does the program.
    const auto offen = m_mdi->subWindowList();
    if (std::any_of(offen.begin(), offen.end(), [](QMdiSubWindow *s) { return s->isVisible(); })) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_handbuch)
        m_handbuch->close();
    // A backup running now stops; the window does not wait for it.
    m_autosicherung->abbrechen();
}

// ---------------------------------------------------------------------------
// The automatic backup: at start, once the log window stands, on a thread of
// its own.

void frm_main::autosicherungBauen()
{
    m_autosicherung = new Autosicherung::Lauf(this);
    m_autosicherung->setObjectName(QStringLiteral("autosicherung"));
    connect(m_autosicherung, &Autosicherung::Lauf::begonnen, this,
            [this] { autosicherungAnzeigen(QStringLiteral("Die eigenen Einträge werden gesichert \u2026")); });
    connect(m_autosicherung, &Autosicherung::Lauf::fertig, this, &frm_main::autosicherungFertig);

    dv->addSeparator()->setObjectName(QStringLiteral("dv_autosicherung"));
    autosicher = new QAction(QStringLiteral("Automatische Sicherungen \u2026"), this);
    autosicher->setObjectName(QStringLiteral("autosicher"));
    dv->addAction(autosicher);
    connect(autosicher, &QAction::triggered, this, &frm_main::autosicher_Click);

    lbl_autosicherung = new QLabel(this);
    lbl_autosicherung->setObjectName(QStringLiteral("lbl_autosicherung"));
    // A long reason does not widen the window: it is cut, and shown whole
    // as the tooltip.
    lbl_autosicherung->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl_autosicherung->setMinimumWidth(Geometrie::twips(3000));
    statusBar()->addPermanentWidget(lbl_autosicherung, 1);
    lbl_autosicherung->hide();
}

void frm_main::autosicherungAnzeigen(const QString &text, const QString &ganz)
{
    lbl_autosicherung->setVisible(!text.isEmpty());
    lbl_autosicherung->setText(
        lbl_autosicherung->fontMetrics().elidedText(text, Qt::ElideRight, Geometrie::twips(9000)));
    lbl_autosicherung->setToolTip(ganz.isEmpty() ? text : ganz);
}

void frm_main::autosicherungStarten()
{
    m_autosicherung->starten(Autosicherung::logdatei(), Autosicherung::Einstellung::lesen(),
                             Autosicherung::startVerzoegerungMs());
}

// What a run has to tell (a failure, generations dated in the future) is
// shown in the status bar and in "Automatische Sicherungen"; a box says it
// once per cause: again only when the cause changes or after a run that
// went well.
void frm_main::autosicherungFertig(const Autosicherung::Ergebnis &ergebnis, const QString &ordner)
{
    autosicherungAnzeigen(QString());
    if (ergebnis.art == Autosicherung::Ergebnis::Art::Abgebrochen)
        return;
    Autosicherung::Bericht bericht;
    bericht.zeit = Autosicherung::jetzt();
    bericht.ordner = ordner;
    QString meldung;
    if (ergebnis.art == Autosicherung::Ergebnis::Art::Fehler) {
        bericht.grund = QStringLiteral("Die automatische Sicherung wurde nicht angelegt: ") + ergebnis.grund;
        meldung = Autosicherung::meldung(ergebnis, ordner);
    } else if (!ergebnis.zukunft.isEmpty()) {
        meldung = Autosicherung::zukunftMeldung(ergebnis, ordner);
        bericht.grund = meldung.section(QLatin1Char('\n'), 0, 0);
    }
    autosicherungAnzeigen(bericht.grund);
    const bool neu = Autosicherung::Bericht::lesen().grund != bericht.grund;
    bericht.schreiben();
    if (neu && !meldung.isEmpty())
        Meldung::zeigen(meldung, ergebnis.art == Autosicherung::Ergebnis::Art::Fehler ? Meldung::Symbol::Fehler
                                                                                      : Meldung::Symbol::Keins);
    if (auto *w = qobject_cast<::frm_autosicherung *>(m_autosicherungFenster.data()))
        w->listeFuellen();
}

void frm_main::autosicher_Click()
{
    // A restore needs the log as the restore window does: this program's to
    // use, and its window closed.
    zeigeKind(m_autosicherungFenster,
              [this] { return new ::frm_autosicherung([this] { return logFrei() && schliesseEintrag(); }); });
}

// ---------------------------------------------------------------------------
// The receiver

void frm_main::empfaengerBauen()
{
    m_empfaenger = new RigctlEmpfaenger(this);
    m_empfaenger->setObjectName(QStringLiteral("empfaenger"));

    empf = new QMenu(QStringLiteral("Empfänger"), this);
    empf->setObjectName(QStringLiteral("empf"));
    empf->menuAction()->setObjectName(QStringLiteral("empf"));
    // Right after "Datenverwaltung", whatever follows it.
    const QList<QAction *> oben = menuBar()->actions();
    const int nachDv = oben.indexOf(dv->menuAction()) + 1;
    menuBar()->insertMenu(oben.value(nachDv, help), empf);
    auto aktion = [this](const QString &name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        empf->addAction(a);
        return a;
    };
    empf_verbinden = aktion(QStringLiteral("empf_verbinden"), QStringLiteral("Verbinden \u2026"));
    empf_trennen = aktion(QStringLiteral("empf_trennen"), QStringLiteral("Trennen"));
    empf_waslaeuft = aktion(QStringLiteral("empf_waslaeuft"), QStringLiteral("Was läuft hier?"));
    empf_suchlauf = aktion(QStringLiteral("empf_suchlauf"), QStringLiteral("Suchlauf \u2026"));
    connect(empf_verbinden, &QAction::triggered, this, &frm_main::empf_verbinden_Click);
    connect(empf_trennen, &QAction::triggered, this, &frm_main::empf_trennen_Click);
    connect(empf_waslaeuft, &QAction::triggered, this, &frm_main::empf_waslaeuft_Click);
    connect(empf_suchlauf, &QAction::triggered, this, &frm_main::empf_suchlauf_Click);

    lbl_empfaenger = new QLabel(this);
    lbl_empfaenger->setObjectName(QStringLiteral("lbl_empfaenger"));
    statusBar()->addWidget(lbl_empfaenger, 1);
    connect(m_empfaenger, &Empfaenger::zustandGeaendert, this, &frm_main::empfaengerAnzeigen);
    // What the menu offers follows the window in front, too.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frm_main::empfaengerAnzeigen);
    connect(empf, &QMenu::aboutToShow, this, &frm_main::empfaengerAnzeigen);
    empfaengerAnzeigen();
}

void frm_main::empfaengerAnzeigen()
{
    const EmpfaengerZustand z = m_empfaenger->zustand();
    lbl_empfaenger->setText(z.statusText());
    // "Trennen" while a connection is wanted: made, being made, or tried again.
    empf_trennen->setEnabled(z.art != EmpfaengerZustand::Art::NichtVerbunden);
    empf_suchlauf->setEnabled(vordereListe() != nullptr);
    empf_suchlauf->setToolTip(
        vordereListe() ? QString() : QStringLiteral("Zuerst eine Liste öffnen (Menü \u201EFrequenzen\u201C)."));
}

FrequenzListe *frm_main::vordereListe() const
{
    const QMdiSubWindow *sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<FrequenzListe *>(sub->widget()) : nullptr;
}

FrequenzListe *frm_main::liste(FrequenzListe::Art art)
{
    FrequenzListe *w = FrequenzListe::erzeuge(art);
    w->setzeEmpfaenger(m_empfaenger);
    connect(w, &FrequenzListe::suchlaufVerlangt, this, [this, w] { suchlaufZeigen(w); });
    connect(w, &FrequenzListe::statusHinweis, this,
            [this](const QString &text) { statusBar()->showMessage(text, 10000); });
    connect(w, &FrequenzListe::exportieren, w,
            [w](const QString &datei, const QString &tabelle, const QString &abfrage) {
                Austauschdialoge::listeExportieren(w, datei, tabelle, abfrage);
            });
    return w;
}

void frm_main::empf_verbinden_Click()
{
    const EmpfaengerEinstellung e = EmpfaengerEinstellung::lesen();
    auto *dialog = new frm_verbinden(e.host, e.port, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        EmpfaengerEinstellung neu;
        neu.host = dialog->host();
        neu.port = dialog->port();
        neu.verbinden = true;
        neu.schreiben();
        m_empfaenger->verbinden(neu.host, neu.port);
    });
    dialog->open();   // window-modal; nothing waits for it
}

void frm_main::empf_trennen_Click()
{
    m_empfaenger->trennen();
    EmpfaengerEinstellung e = EmpfaengerEinstellung::lesen();
    e.verbinden = false;
    e.schreiben();
}

void frm_main::empf_waslaeuft_Click()
{
    zeigeKind(m_waslaeuft, [this] {
        auto *w = new ::frm_waslaeuft;
        w->setzeEmpfaenger(m_empfaenger);
        return w;
    });
}

void frm_main::empf_suchlauf_Click()
{
    if (FrequenzListe *liste = vordereListe())
        suchlaufZeigen(liste);
}

void frm_main::suchlaufZeigen(FrequenzListe *liste)
{
    const Ergebnis<Kanalliste> kanaele = liste->suchkanaele();
    if (!kanaele) {
        Meldung::zeigen(kanaele.grund(), Meldung::Symbol::Fehler);
        return;
    }
    auto *w = qobject_cast<::frm_suchlauf *>(zeigeKind(m_suchlauf, [this] {
        auto *neu = new ::frm_suchlauf(m_empfaenger);
        connect(neu, &::frm_suchlauf::insLog, this, &frm_main::insLog);
        return neu;
    }));
    if (w)
        w->setzeKanaele(liste->listenName(), kanaele.wert().kanaele(), kanaele.wert().ohneFrequenz());
}

// "Ins Log …" of the scan: a new record in the log window with the hit's
// values, as the program filled them in.
void frm_main::insLog(const QHash<QString, QString> &werte)
{
    erre_Click();
    if (auto *log = qobject_cast<::frm_eintrag *>(m_eintrag.data()))
        log->neuVorbelegt(werte);
}
