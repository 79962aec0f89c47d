// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/geometrie.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/hilfe/frm_handbuch.h"
#include "fenster/hilfe/frm_ueber.h"
#include "kern/basis/logsperre.h"
#include "kern/bestaende/frequenzdaten.h"
#include "testhilfe.h"

#include <QDirIterator>
#include <QHelpEvent>
#include <QTextBrowser>
#include <QToolTip>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

#include <csignal>

// The main window: start state, menu, one instance per child window kind,
// the program message and the end of the program.
class TestHauptfenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;

    static QList<QMdiSubWindow *> offen(frm_main &h)
    {
        QList<QMdiSubWindow *> l;
        for (QMdiSubWindow *s : h.mdi()->subWindowList())
            if (s->isVisible())
                l << s;
        return l;
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::leeren();
    }
    void cleanup() { ordner.reset(); }

    void startzustand()
    {
        frm_main h;
        h.zeigen();
        QCOMPARE(h.windowTitle(), QStringLiteral("TREMVIK - Frequenzen"));
        QVERIFY(h.isMaximized());
        QCOMPARE(offen(h).size(), 1);
        QVERIFY(h.frm_eintrag());
        QCOMPARE(h.frm_eintrag()->windowTitle(), QStringLiteral("Eigene Einträge"));
        QVERIFY(!h.frm_bos() && !h.frm_sicherung() && !h.frm_herstellen());
        QVERIFY(!h.windowIcon().isNull());
        QCOMPARE(QApplication::applicationName(), QStringLiteral("tremvik-tool"));
        QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // The log window opens wholly inside the maximised main window, also
    // once the window system has had its say about the size.
    void logfensterLiegtImHauptfenster()
    {
        frm_main h;
        h.zeigen();
        auto *sub = qobject_cast<QMdiSubWindow *>(h.frm_eintrag()->parentWidget());
        QVERIFY(sub);
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QCoreApplication::processEvents();
        QVERIFY(h.isMaximized());
        QVERIFY2(
            h.mdi()->viewport()->rect().contains(sub->geometry()),
            qPrintable(QStringLiteral("%1,%2 %3x%4").arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())));
    }

    // A second program on the same program directory: the log stays with
    // the first, and the second says so; its lists still work.
    void zweitesProgrammOeffnetDasLogNicht()
    {
        auto erstes = std::make_unique<frm_main>();
        erstes->zeigen();
        QVERIFY(erstes->frm_eintrag());
        QVERIFY(Testhilfe::meldungen().isEmpty());

        frm_main zweites;
        zweites.zeigen();
        QVERIFY(!zweites.frm_eintrag());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Die eigenen Einträge (")));
        QVERIFY(Testhilfe::meldungen()[0].text.contains(ordner->logDatei()));
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);

        Testhilfe::leeren();
        zweites.erre->trigger();
        zweites.wer->trigger();
        QVERIFY(!zweites.frm_eintrag() && !zweites.frm_herstellen());
        QCOMPARE(Testhilfe::meldungen().size(), 2);
        zweites.bos->trigger();
        zweites.sicher->trigger();   // a backup only reads the log
        QVERIFY(zweites.frm_bos() && zweites.frm_sicherung());
        QCOMPARE(Testhilfe::meldungen().size(), 2);
        QVERIFY(erstes->frm_eintrag());

        // Once the first program has ended, the log opens in the second.
        erstes.reset();
        Testhilfe::leeren();
        zweites.erre->trigger();
        QVERIFY(zweites.frm_eintrag());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void menue()
    {
        frm_main h;
        QStringList oben;
        for (QAction *a : h.menuBar()->actions())
            oben << a->objectName() + QLatin1Char('=') + a->text();
        // After "?", which acts at once, the manual and the about box, which
        // do too.
        QCOMPARE(oben, QStringList({"prog=Programm", "dfsdfs=Frequenzen", "erre=eigene Einträge", "dv=Datenverwaltung",
                                    "empf=Empfänger", "ausw=Auswertung", "fenster=Fenster", "help=?",
                                    "handbuch=Handbuch", "ueber=Über tremvik-tool \u2026"}));
        for (QAction *a : {h.help, h.handbuch, h.ueber})
            QVERIFY(!a->menu());
        auto eintraege = [](QMenu *m) {
            QStringList l;
            for (QAction *a : m->actions())
                l << a->objectName() + QLatin1Char('=') + a->text();
            return l;
        };
        QCOMPARE(eintraege(h.prog), QStringList({"end=ENDE"}));
        // After the lists, after a separator, the keys for the list in front.
        QCOMPARE(eintraege(h.dfsdfs),
                 QStringList({"bos=BOS", "flug=Flugfunk", "afu=AFU-Repeater", "fw=Fernwirken",
                              "dfsdfs_tasten=", "dfsdfs_suchen=Suchen", "dfsdfs_drucken=Drucken \u2026"}));
        // The entries of the program come first; the exchange and the
        // automatic backups follow, each after a separator.
        QCOMPARE(eintraege(h.dv), QStringList({"sicher=Sicherung", "wer=Wiederherstellung", "dv_austausch=",
                                               "logexport=Log exportieren …", "logimport=Log importieren …",
                                               "dv_autosicherung=", "autosicher=Automatische Sicherungen \u2026"}));
        QCOMPARE(eintraege(h.ausw), QStringList({"stat=Statistik …"}));
        // The shortcuts: F1 for the manual, Ctrl+F and Ctrl+P for the list in
        // front; the Part's entries have none. The menu "Empfänger" and the
        // list keys offer what can be done now (a connection to end, a list
        // in front); every other entry is always there. (Menu "Fenster" has
        // its keys, acts on the windows open and lists them with a check
        // mark.)
        const QHash<QAction *, QKeySequence> tasten{{h.handbuch, QKeySequence(Qt::Key_F1)},
                                                    {h.dfsdfs_suchen, QKeySequence(Qt::CTRL | Qt::Key_F)},
                                                    {h.dfsdfs_drucken, QKeySequence(Qt::CTRL | Qt::Key_P)}};
        const QList<QAction *> jetzt = h.empf->actions() << h.dfsdfs_suchen << h.dfsdfs_drucken;
        const QList<QAction *> fensterMenue = h.fenster->actions() << h.fenster->menuAction();
        for (QAction *a : h.findChildren<QAction *>())
            if (!fensterMenue.contains(a))
                QVERIFY2(a->shortcut() == tasten.value(a) && !a->isCheckable() && (a->isEnabled() || jetzt.contains(a)),
                         qPrintable(a->objectName()));
        QCOMPARE(
            eintraege(h.fenster),
            QStringList({"fenster_ueberlappend=Überlappend", "fenster_nebeneinander=Nebeneinander", "=",
                         "fenster_schliessen=Schließen", "fenster_alleschliessen=Alle schließen", "fenster_liste="}));
        // German standard buttons come from Qt's translations.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        QCOMPARE(QLocale().toString(1234.5, 'f', 1), QStringLiteral("1.234,5"));
    }

    void einFensterJeArtUndFrischNachDemSchliessen()
    {
        frm_main h;
        h.zeigen();
        h.bos->trigger();
        KindFenster *bos = h.frm_bos();
        QVERIFY(bos);
        h.bos->trigger();
        QCOMPARE(h.frm_bos(), bos);
        QCOMPARE(h.mdi()->activeSubWindow()->widget(), bos);
        h.erre->trigger();
        QCOMPARE(h.mdi()->activeSubWindow()->widget(), h.frm_eintrag());
        QCOMPARE(offen(h).size(), 2);

        QPointer<QWidget> alt = bos;
        bos->parentWidget()->close();
        QTRY_VERIFY(alt.isNull());
        QVERIFY(!h.frm_bos());
        h.bos->trigger();
        QVERIFY(h.frm_bos());
        QCOMPARE(offen(h).size(), 2);

        // The system menu offers no way to minimise or maximise, and the
        // window keeps its size.
        auto *sub = qobject_cast<QMdiSubWindow *>(h.frm_bos()->parentWidget());
        QStringList eintraege;
        for (QAction *a : sub->systemMenu()->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator())
                eintraege << a->text().remove(QLatin1Char('&'));
        const QString alle = eintraege.join(QLatin1Char('|'));
        QVERIFY2(alle.contains(QStringLiteral("Schließen")), qPrintable(alle));
        QVERIFY2(!alle.contains(QLatin1String("Minimieren")) && !alle.contains(QLatin1String("Maximieren")),
                 qPrintable(alle));
        const QSize vorher = sub->size();
        sub->resize(vorher + QSize(50, 50));
        QCOMPARE(sub->size(), vorher);
    }

    // Every child window fills its frame: the frame is as large as the
    // window's fixed size and a border, with no empty band around it.
    void jedesFensterFuelltSeinenRahmen()
    {
        frm_main h;
        h.zeigen();
        for (QAction *a : {h.bos, h.flug, h.afu, h.fw, h.sicher, h.stat, h.autosicher, h.empf_waslaeuft, h.wer})
            a->trigger();
        QCOMPARE(offen(h).size(), 9);   // the restore window closed the log
        for (QMdiSubWindow *sub : offen(h)) {
            const QRect w = sub->widget()->geometry();
            const int rand = w.left();
            QVERIFY2(sub->width() - w.right() - 1 == rand && sub->height() - w.bottom() - 1 == rand,
                     qPrintable(QStringLiteral("%1: Fenster %2x%3 bei %4,%5 im Rahmen %6x%7")
                                    .arg(sub->widget()->objectName())
                                    .arg(w.width())
                                    .arg(w.height())
                                    .arg(w.left())
                                    .arg(w.top())
                                    .arg(sub->width())
                                    .arg(sub->height())));
        }
    }

    void sicherungSchliesstDasLog()
    {
        frm_main h;
        h.zeigen();
        h.bos->trigger();
        QPointer<KindFenster> log = h.frm_eintrag();
        h.sicher->trigger();
        QTRY_VERIFY(log.isNull());
        QVERIFY(h.frm_sicherung());
        QVERIFY(h.frm_bos());   // other windows stay open
        h.wer->trigger();
        QVERIFY(h.frm_herstellen() && h.frm_sicherung());
        QVERIFY(!h.frm_eintrag());   // and the log does not come back by itself
        h.frm_herstellen()->parentWidget()->close();
        QVERIFY(!h.frm_eintrag());
    }

    void programmMeldung()
    {
        frm_main h;
        h.zeigen();
        h.help->trigger();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.startsWith(QStringLiteral("Der Meister der Frequenz! ")));
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Keins);
        QCOMPARE(offen(h).size(), 1);
    }

    // F1 opens the manual at the section of the window in front, in a
    // window of its own that ends with the program.
    void handbuchMitF1()
    {
        Testhilfe::Installation inst;
        const QDir gebaut(QStringLiteral(TREMVIK_BIN "/../share/tremvik-tool/handbuch"));
        const QString ziel = inst.pfad(QStringLiteral("share/tremvik-tool/handbuch"));
        QDirIterator it(gebaut.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString datei = it.next();
            const QString kopie = ziel + QLatin1Char('/') + gebaut.relativeFilePath(datei);
            QVERIFY(QDir().mkpath(QFileInfo(kopie).path()) && QFile::copy(datei, kopie));
        }

        frm_main h;
        h.zeigen();
        QVERIFY(QTest::qWaitForWindowActive(&h));
        // The key is named where the entry stands: the menu bar's tooltip
        // over "Handbuch" (none over "?", which has no key).
        auto tipp = [&h](QAction *a) {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return QStringLiteral("(bleibt stehen)");
            const QPoint stelle = h.menuBar()->actionGeometry(a).center();
            QHelpEvent frage(QEvent::ToolTip, stelle, h.menuBar()->mapToGlobal(stelle));
            QCoreApplication::sendEvent(h.menuBar(), &frage);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipp(h.handbuch), QStringLiteral("Handbuch (F1)"));
        QCOMPARE(tipp(h.help), QString());
        QToolTip::hideText();
        h.bos->trigger();
        QTest::keyClick(h.frm_bos(), Qt::Key_F1);
        QPointer<frm_handbuch> handbuch = h.frm_handbuch();
        QVERIFY(handbuch);
        QVERIFY(handbuch->isVisible() && handbuch->isWindow());
        QCOMPARE(handbuch->txt_handbuch->source().toLocalFile(), ziel + QStringLiteral("/handbuch.md"));
        QCOMPARE(handbuch->txt_handbuch->source().fragment(), QStringLiteral("frequenzlisten"));

        h.erre->trigger();
        QVERIFY(QTest::qWaitForWindowActive(&h));
        QTest::keyClick(h.frm_eintrag(), Qt::Key_F1);
        QCOMPARE(h.frm_handbuch(), handbuch.data());
        QCOMPARE(handbuch->txt_handbuch->source().fragment(), QStringLiteral("eigene-einträge"));
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // Ending the program closes it: no window is left to keep it running.
        h.end->trigger();
        QVERIFY(!handbuch->isVisible());
    }

    // While a list of examples is in front, the status bar says so; a list
    // of real data, any other window or the user's own list says nothing.
    // The titles stay as they are.
    void beispieldatenInDerStatuszeile()
    {
        QFile::remove(ordner->frequenzDatei());
        Frequenzdaten::bauen(ordner->frequenzDatei(), QStringLiteral(TREMVIK_QUELLEN "/db/frequenzen.sql"),
                             QStringLiteral(TREMVIK_QUELLEN "/db/frequenzen"));
        frm_main h;
        h.zeigen();
        QVERIFY(h.lbl_daten->text().isEmpty());
        h.afu->trigger();
        QVERIFY2(h.lbl_daten->text().startsWith(QStringLiteral("Beispieldaten")), qPrintable(h.lbl_daten->text()));
        QVERIFY(h.lbl_daten->text().contains(QStringLiteral("kein realer Standort")));
        QVERIFY(h.frm_afu()->windowTitle().startsWith(QStringLiteral("AFU - Repeater   ")));
        h.flug->trigger();
        QVERIFY(h.lbl_daten->text().isEmpty());
        h.fw->trigger();
        QVERIFY(h.lbl_daten->text().startsWith(QStringLiteral("Beispieldaten")));
        h.afu->trigger();
        QVERIFY(h.lbl_daten->text().contains(QStringLiteral("kein realer Standort")));
        // Also while another window of the program has the focus.
        h.ueber->trigger();
        QVERIFY(h.frm_ueber());
        QTest::qWait(20);
        QVERIFY(h.lbl_daten->text().contains(QStringLiteral("kein realer Standort")));
        h.frm_ueber()->close();

        h.erre->trigger();
        QVERIFY(h.lbl_daten->text().isEmpty());
        for (KindFenster *f : {h.frm_afu(), h.frm_flug(), h.frm_fw()})
            f->parentWidget()->close();
        QTRY_VERIFY(!h.frm_afu());

        // The user's own list is no example.
        Frequenzdaten::importieren(ordner->frequenzDatei(), QStringLiteral("afu"),
                                   QByteArray("Standort,Eingabe,Ausgabe\nDB0XY,\"145,000\",\"145,600\"\n"),
                                   QStringLiteral("eigene.csv"));
        h.afu->trigger();
        QVERIFY(h.frm_afu());
        QVERIFY(h.lbl_daten->text().isEmpty());
    }

    void endeSchliesstAlles()
    {
        frm_main h;
        h.zeigen();
        h.bos->trigger();
        h.afu->trigger();
        QPointer<KindFenster> bos = h.frm_bos(), log = h.frm_eintrag();
        h.end->trigger();
        QVERIFY(!h.isVisible());
        QTRY_VERIFY(bos.isNull() && log.isNull());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // A missing log database is reported with its path; the program goes on,
    // and the other windows still open. Nothing is made in the program
    // folder: no log, no lock file, also when the log is asked for again.
    void fehlendesLogBeimStart()
    {
        QFile::remove(ordner->logDatei());
        const QStringList vorher =
            QDir(ordner->pfad()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        {
            frm_main h;
            h.zeigen();
            QVERIFY(!h.frm_eintrag());
            QCOMPARE(Testhilfe::meldungen().size(), 1);
            QVERIFY(Testhilfe::meldungen()[0].text.contains(ordner->logDatei()));
            QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
            QVERIFY(!QFile::exists(ordner->logDatei()));
            QVERIFY(h.isVisible());
            h.bos->trigger();
            QVERIFY(h.frm_bos());
            h.erre->trigger();
            h.wer->trigger();
            QVERIFY(h.frm_herstellen());
            QCOMPARE(QDir(ordner->pfad()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), vorher);
        }
        QCOMPARE(QDir(ordner->pfad()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), vorher);

        // With the log the lock file stands while the program runs, and
        // goes with it.
        Testhilfe::ausSchema(ordner->logDatei(), QStringLiteral("kontakt.sql"));
        {
            frm_main h;
            h.zeigen();
            QVERIFY(h.frm_eintrag());
            QVERIFY(QFile::exists(ordner->logDatei() + QStringLiteral(".lock")));
            h.end->trigger();
        }
        QVERIFY(!QFile::exists(ordner->logDatei() + QStringLiteral(".lock")));
    }

    // The program asked to end from outside (a logout, kill, Ctrl+C) ends
    // as with "ENDE": no lock file is left beside the log.
    void endeVonAussenLaesstKeineSperrdatei()
    {
        const QString programm = ordner->pfad() + QStringLiteral("/tremvik-tool");
        QVERIFY(QFile::copy(QStringLiteral(TREMVIK_BIN "/tremvik-tool"), programm));
        QTemporaryDir einstellungen;
        const QString sperre = ordner->logDatei() + QStringLiteral(".lock");
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), einstellungen.path());
            p.setProcessEnvironment(env);
            p.start(programm, {});
            QVERIFY(p.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(sperre), 20000);
            ::kill(pid_t(p.processId()), signal);
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            QVERIFY(!QFile::exists(sperre));
        }
    }

    // Asked to end while it still starts, with the message that another
    // program uses the log before it: it ends, nothing of it stays running.
    void endeVonAussenWaehrendDesStarts()
    {
        const QString programm = ordner->pfad() + QStringLiteral("/tremvik-tool");
        QVERIFY(QFile::copy(QStringLiteral(TREMVIK_BIN "/tremvik-tool"), programm));
        QTemporaryDir einstellungen;
        Logsperre halter(ordner->logDatei());
        QVERIFY(halter.nehmen());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), einstellungen.path());
        p.setProcessEnvironment(env);
        p.start(programm, {});
        QVERIFY(p.waitForStarted());
        // Once it catches SIGTERM, it is past the start of its own.
        auto faengt = [&p] {
            QFile status(QStringLiteral("/proc/%1/status").arg(p.processId()));
            if (!status.open(QIODevice::ReadOnly))
                return false;
            for (const QByteArray &zeile : status.readAll().split('\n'))
                if (zeile.startsWith("SigCgt:"))
                    return ((zeile.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(faengt(), 20000);
        ::kill(pid_t(p.processId()), SIGTERM);
        const bool geendet = p.waitForFinished(20000);
        if (!geendet)
            p.kill();
        QVERIFY(geendet);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(halter.gehalten());
    }

    // A lock file that is a folder, or one that another program holds,
    // is told as what it is: no running tremvik-tool is claimed.
    void sperreOhneLaufendesProgramm()
    {
        const QString sperre = ordner->logDatei() + QStringLiteral(".lock");
        QVERIFY(QDir().mkpath(sperre));
        {
            frm_main h;
            h.zeigen();
            QVERIFY(!h.frm_eintrag());
            QCOMPARE(Testhilfe::meldungen().size(), 1);
            const QString text = Testhilfe::meldungen()[0].text;
            QVERIFY2(text.contains(
                         QStringLiteral("Wo die Sperrdatei \u201E%1\u201C hingehört, liegt ein Ordner.").arg(sperre))
                         && !text.contains(QStringLiteral("laufenden tremvik-tool")),
                     qPrintable(text));
            h.bos->trigger();
            QVERIFY(h.frm_bos());
        }
        QVERIFY(QFileInfo(sperre).isDir());
        QVERIFY(QDir().rmdir(sperre));

        const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
        if (flock.isEmpty() || !QFile::exists(QStringLiteral("/proc/locks")))
            QSKIP("flock (util-linux) oder /proc/locks fehlt");
        Testhilfe::leeren();
        QProcess halter;
        halter.start(flock,
                     {sperre, QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("echo bereit; exec cat")});
        QByteArray ausgabe;
        while (halter.waitForStarted() && !ausgabe.contains("bereit") && halter.waitForReadyRead())
            ausgabe += halter.readAllStandardOutput();
        {
            frm_main h;
            h.zeigen();
            QVERIFY(!h.frm_eintrag());
            QCOMPARE(Testhilfe::meldungen().size(), 1);
            const QString text = Testhilfe::meldungen()[0].text;
            QVERIFY2(text.contains(
                         QStringLiteral("hält das Programm \u201Eflock\u201C (Prozess %1)").arg(halter.processId()))
                         && !text.contains(QStringLiteral("laufenden tremvik-tool")),
                     qPrintable(text));
        }
        halter.closeWriteChannel();
        QVERIFY(halter.waitForFinished());
    }

    // Restored from maximised, the client area between the menu bar and the
    // status bar has its size of 10980 x 7500 twips.
    void arbeitsflaecheInNormalgroesse()
    {
        frm_main h;
        h.zeigen();
        h.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QVERIFY(h.statusBar()->isVisible());
        QTRY_COMPARE(h.mdi()->size(), QSize(Geometrie::twips(10980), Geometrie::twips(7500)));
    }

    // A log file that is empty (a disk that ran full) or another database
    // (the frequency file copied over it) is reported in German, naming
    // what is missing; the file stays as it was.
    void leeresOderFremdesLogBeimStart_data()
    {
        QTest::addColumn<bool>("leer");
        QTest::newRow("leer") << true;
        QTest::newRow("fremd") << false;
    }
    void leeresOderFremdesLogBeimStart()
    {
        QFETCH(bool, leer);
        QFile::remove(ordner->logDatei());
        if (leer)
            Testhilfe::schreibe(ordner->logDatei(), QByteArray());
        else
            QVERIFY(QFile::copy(ordner->frequenzDatei(), ordner->logDatei()));
        const QByteArray vorher = Testhilfe::lies(ordner->logDatei());
        frm_main h;
        h.zeigen();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const QString text = Testhilfe::meldungen()[0].text;
        QVERIFY2(text.contains(QStringLiteral("Die Tabelle \u201EKontakt\u201C fehlt in der Datenbank.")),
                 qPrintable(text));
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QCOMPARE(Testhilfe::lies(ordner->logDatei()), vorher);
    }
};

TREMVIK_TEST_MAIN(TestHauptfenster)
#include "tst_hauptfenster.moc"
