// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"

#include "fenster/bausteine/meldung.h"
#include "fenster/listen/frm_liste.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>

// The main window's menu "Fenster" over its child windows, the keys that act
// on them (and on the list in front), and the words after an action in its
// status bar.

namespace {
// How long the words after an action stay.
constexpr int statusMs = 6000;
// A word quoting a file path stays a word: the middle of a long one goes.
constexpr int statusZeichen = 200;

// The menu bar shows no tooltips of its own: an entry that acts at once and
// has a key ("Handbuch", F1) names it in its tooltip, shown here.
class Leistentipps : public QObject
{
public:
    explicit Leistentipps(QMenuBar *leiste) : QObject(leiste) { leiste->installEventFilter(this); }

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        if (ereignis->type() != QEvent::ToolTip)
            return false;
        auto *leiste = static_cast<QMenuBar *>(objekt);
        const auto *hilfe = static_cast<QHelpEvent *>(ereignis);
        QAction *a = leiste->actionAt(hilfe->pos());
        if (a && !a->menu() && !a->shortcut().isEmpty())
            QToolTip::showText(hilfe->globalPos(), a->toolTip(), leiste, leiste->actionGeometry(a));
        else
            QToolTip::hideText();
        return true;
    }
};
}

void frm_main::fensterMenueBauen()
{
    fenster = new QMenu(QStringLiteral("Fenster"), this);
    fenster->setObjectName(QStringLiteral("fenster"));
    fenster->menuAction()->setObjectName(QStringLiteral("fenster"));
    // After the program's own menus, right before "?".
    QAction *vor = nullptr;
    for (QAction *a : menuBar()->actions())
        if (a->objectName() == QLatin1String("help"))
            vor = a;
    menuBar()->insertMenu(vor, fenster);

    auto aktion = [this](const char *name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromUtf8(name));
        fenster->addAction(a);
        return a;
    };
    fenster_ueberlappend = aktion("fenster_ueberlappend", QStringLiteral("Überlappend"));
    fenster_nebeneinander = aktion("fenster_nebeneinander", QStringLiteral("Nebeneinander"));
    fenster->addSeparator();
    fenster_schliessen = aktion("fenster_schliessen", QStringLiteral("Schließen"));
    fenster_schliessen->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    fenster_alleschliessen = aktion("fenster_alleschliessen", QStringLiteral("Alle schließen"));
    fenster->addSeparator()->setObjectName(QStringLiteral("fenster_liste"));

    connect(fenster_ueberlappend, &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    connect(fenster_nebeneinander, &QAction::triggered, m_mdi, &QMdiArea::tileSubWindows);
    connect(fenster_schliessen, &QAction::triggered, this, &frm_main::fenster_schliessen_Click);
    connect(fenster_alleschliessen, &QAction::triggered, this, &frm_main::fenster_alleschliessen_Click);
    connect(fenster, &QMenu::aboutToShow, this, &frm_main::fensterMenueAuffrischen);
    // Closing a window activates another one (or none).
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frm_main::fensterMenueAuffrischen);
    fensterMenueAuffrischen();
}

void frm_main::fensterMenueAuffrischen()
{
    const QList<QMdiSubWindow *> offen = m_mdi->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow *aktiv = m_mdi->activeSubWindow();
    fenster_ueberlappend->setEnabled(!offen.isEmpty());
    fenster_nebeneinander->setEnabled(!offen.isEmpty());
    fenster_schliessen->setEnabled(aktiv != nullptr);
    fenster_alleschliessen->setEnabled(!offen.isEmpty());

    // A child window's own menu would close it with the same keys: they are
    // this menu's alone, so that a key means one thing.
    const QList<QKeySequence> tasten = fenster_schliessen->shortcuts();
    for (QMdiSubWindow *sub : offen)
        if (QMenu *eigenes = sub->systemMenu())
            for (QAction *a : eigenes->actions())
                for (const QKeySequence &t : a->shortcuts())
                    if (tasten.contains(t))
                        a->setShortcuts({});

    // The list after the last separator, made anew. An entry may be the one
    // being triggered right now: it goes once that is over.
    const QList<QAction *> alle = fenster->actions();
    for (qsizetype i = alle.indexOf(findChild<QAction *>(QStringLiteral("fenster_liste"))) + 1;
         i > 0 && i < alle.size(); ++i) {
        fenster->removeAction(alle[i]);
        alle[i]->deleteLater();
    }
    int nummer = 0;
    for (QMdiSubWindow *sub : offen) {
        const QString titel = (sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle())
                                  .simplified()
                                  .replace(QLatin1Char('&'), QLatin1String("&&"));
        ++nummer;
        auto *a = new QAction(nummer < 10 ? QStringLiteral("&%1 %2").arg(nummer).arg(titel) : titel, fenster);
        a->setObjectName(QStringLiteral("fenster_eintrag"));
        a->setCheckable(true);
        a->setChecked(sub == aktiv);
        QPointer<QMdiSubWindow> ziel(sub);
        connect(a, &QAction::triggered, this, [this, ziel] {
            if (!ziel)
                return;
            ziel->showNormal();
            m_mdi->setActiveSubWindow(ziel);
        });
        fenster->addAction(a);
    }
}

void frm_main::fenster_schliessen_Click()
{
    // A window that cannot write its input stays open and says why.
    if (QMdiSubWindow *sub = m_mdi->activeSubWindow())
        sub->close();
}

void frm_main::fenster_alleschliessen_Click()
{
    m_mdi->closeAllSubWindows();
}

// ---------------------------------------------------------------------------
// The keys for the list in front, in menu "Frequenzen" after the lists, and
// the keys of the menu bar's own entries named in their tooltips

void frm_main::tastenBauen()
{
    new Leistentipps(menuBar());

    dfsdfs->addSeparator()->setObjectName(QStringLiteral("dfsdfs_tasten"));
    dfsdfs_suchen = new QAction(QStringLiteral("Suchen"), this);
    dfsdfs_suchen->setObjectName(QStringLiteral("dfsdfs_suchen"));
    dfsdfs_suchen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    dfsdfs_drucken = new QAction(QStringLiteral("Drucken \u2026"), this);
    dfsdfs_drucken->setObjectName(QStringLiteral("dfsdfs_drucken"));
    dfsdfs_drucken->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    dfsdfs->addActions({dfsdfs_suchen, dfsdfs_drucken});
    connect(dfsdfs_suchen, &QAction::triggered, this, [this] {
        if (FrequenzListe *l = vordereListe())
            l->sucheWaehlen();
    });
    connect(dfsdfs_drucken, &QAction::triggered, this, [this] {
        if (FrequenzListe *l = vordereListe(); l && l->liste_drucken->isEnabled())
            l->liste_drucken->trigger();
    });
    // Disabled while no list is in front, so that the log window's own
    // Ctrl+F and Ctrl+P are the only ones there.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frm_main::tastenAnzeigen);
    connect(dfsdfs, &QMenu::aboutToShow, this, &frm_main::tastenAnzeigen);
    tastenAnzeigen();
}

void frm_main::tastenAnzeigen()
{
    const bool liste = vordereListe() != nullptr;
    dfsdfs_suchen->setEnabled(liste);
    dfsdfs_drucken->setEnabled(liste);
}

// ---------------------------------------------------------------------------
// The words after an action

void frm_main::statusBauen()
{
    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setTextFormat(Qt::RichText);
    lbl_status->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lbl_status->setMinimumWidth(1);   // a long word never widens the window
    // Set apart from the receiver's state that follows it.
    lbl_status->setContentsMargins(0, 0, 3 * lbl_status->fontMetrics().averageCharWidth(), 0);
    lbl_status->hide();
    statusBar()->insertWidget(0, lbl_status);
    connect(lbl_status, &QLabel::linkActivated, this, [this] {
        if (m_statusAktion && m_statusAktion->isEnabled())
            m_statusAktion->trigger();
    });
    m_statusZeit = new QTimer(this);
    m_statusZeit->setSingleShot(true);
    m_statusZeit->setInterval(statusMs);
    connect(m_statusZeit, &QTimer::timeout, this, [this] {
        lbl_status->hide();
        lbl_status->clear();
        m_statusAktion = nullptr;
    });
    Meldung::setzeStatusanzeige([this](const QString &text, QAction *aktion) { statusZeigen(text, aktion); });
}

void frm_main::statusZeigen(const QString &text, QAction *aktion)
{
    QString wort = text.simplified();
    if (wort.size() > statusZeichen)
        wort = wort.left(statusZeichen / 2) + QStringLiteral("\u2026") + wort.right(statusZeichen / 2 - 1);
    QString html = wort.toHtmlEscaped();
    m_statusAktion = aktion;
    if (aktion) {
        const QString name = aktion->text().remove(QLatin1Char('&')).toHtmlEscaped();
        const QString link = QStringLiteral("<a href=\"aktion\">%1</a>").arg(name);
        const qsizetype stelle = html.indexOf(name);
        if (stelle >= 0)
            html.replace(stelle, name.size(), link);
        else
            html += QStringLiteral(" \u2013 ") + link;
    }
    lbl_status->setText(html);
    lbl_status->setToolTip(wort);
    lbl_status->show();
    m_statusZeit->start();
}
