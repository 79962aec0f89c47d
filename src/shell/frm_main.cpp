#include "shell/frm_main.h"

#include "backup/frm_herstellen.h"
#include "backup/frm_sicherung.h"
#include "lists/frm_liste.h"
#include "log/frm_eintrag.h"
#include "shell/geometrie.h"
#include "shell/kindfenster.h"
#include "shell/meldung.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

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

    help = aktion(QStringLiteral("help"), QStringLiteral("?"));
    menuBar()->addAction(help);

    connect(end, &QAction::triggered, this, &frm_main::end_Click);
    connect(bos, &QAction::triggered, this, &frm_main::bos_Click);
    connect(flug, &QAction::triggered, this, &frm_main::flug_Click);
    connect(afu, &QAction::triggered, this, &frm_main::afu_Click);
    connect(fw, &QAction::triggered, this, &frm_main::fw_Click);
    connect(erre, &QAction::triggered, this, &frm_main::erre_Click);
    connect(sicher, &QAction::triggered, this, &frm_main::sicher_Click);
    connect(wer, &QAction::triggered, this, &frm_main::wer_Click);
    connect(help, &QAction::triggered, this, &frm_main::help_Click);

    // Size when restored: client area 10980 x 7500 twips, centred.
    resize(Geometrie::twips(10980), Geometrie::twips(7500) + menuBar()->sizeHint().height());
}

frm_main::~frm_main() = default;

void frm_main::zeigen()
{
    showMaximized();
    MDIForm_Load();
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
    if (!Meldung::abfangen([w] { w->Form_Load(); })) {
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
    zeigeKind(m_bos, [] { return FrequenzListe::erzeuge(FrequenzListe::Art::Bos); });
}

void frm_main::flug_Click()
{
    zeigeKind(m_flug, [] { return FrequenzListe::erzeuge(FrequenzListe::Art::Flug); });
}

void frm_main::afu_Click()
{
    zeigeKind(m_afu, [] { return FrequenzListe::erzeuge(FrequenzListe::Art::Afu); });
}

void frm_main::fw_Click()
{
    zeigeKind(m_fw, [] { return FrequenzListe::erzeuge(FrequenzListe::Art::Fw); });
}

void frm_main::erre_Click()
{
    zeigeKind(m_eintrag, [] { return new ::frm_eintrag; });
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
    zeigeKind(m_herstellen, [] { return new ::frm_herstellen; });
}

void frm_main::help_Click()
{
    Meldung::zeigen(programmMeldung());
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
}
