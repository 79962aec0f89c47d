// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/dateidialog.h"
#include "fenster/empfaenger/frm_suchlauf.h"
#include "fenster/empfaenger/frm_verbinden.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/frm_eintrag.h"
#include "kern/empfaenger/empfaengerhilfe.h"
#include "kern/empfaenger/rigctl.h"
#include "testhilfe.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

using Phase = Suchlauf::Phase;

// The scan window, opened from a list window of the real main window over
// the rows it shows, against a receiver of the test's.
class TestSuchlaufFenster : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<Empfaengerhilfe::Server> server;
    std::unique_ptr<frm_main> haupt;

    void verbinden()
    {
        haupt->empf_verbinden->trigger();
        auto *d = haupt->findChild<frm_verbinden *>();
        QVERIFY(d);
        d->txt_host->setText(QStringLiteral("127.0.0.1"));
        d->txt_port->setValue(server->port());
        QTest::mouseClick(d->cmd_verbinden, Qt::LeftButton);
        QTRY_VERIFY(haupt->empfaenger()->verbunden());
    }

    FrequenzListe *bos()
    {
        haupt->bos_Click();
        return qobject_cast<FrequenzListe *>(haupt->frm_bos());
    }

    frm_suchlauf *fenster() const { return qobject_cast<frm_suchlauf *>(haupt->frm_suchlauf()); }

    // "Suchlauf …" from the grid's context menu, after the tuning entries.
    frm_suchlauf *suchlaufAus(FrequenzListe *liste)
    {
        liste->DataGrid1_ContextMenu(QPoint(5, 5));
        auto *menue = liste->findChild<QMenu *>(QStringLiteral("mnu_grid"));
        if (!menue)
            return nullptr;
        const QList<QAction *> a = menue->actions();
        const int hier = a.indexOf(liste->mnu_suchlauf);
        menue->close();
        if (hier < 1 || a.at(hier - 1) != (liste->mnu_eingabe ? liste->mnu_eingabe : liste->mnu_abstimmen))
            return nullptr;
        liste->mnu_suchlauf->trigger();
        return fenster();
    }

    // Quick settings: no dwell, on at the first reading below the threshold.
    static void schnell(frm_suchlauf *w)
    {
        w->txt_verweilen->setValue(0.0);
        w->txt_nachlauf->setValue(0.0);
    }

    static QStringList kanaele(frm_suchlauf *w)
    {
        QStringList l;
        for (const Suchkanal &k : w->suchlauf()->kanaele())
            l << k.frequenzText;
        return l;
    }

    static QStringList spalte(QTableWidget *t, int s)
    {
        QStringList l;
        for (int z = 0; z < t->rowCount(); ++z)
            l << t->item(z, s)->text();
        return l;
    }

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464','86,355');"
                           "insert into bos values ('HH','Hamburg-Harburg','Feuerwehr','Florian Harburg','465',"
                           "'86,375');"
                           "insert into bos values ('HH','Hamburg','Polizei','Peter Hamburg','','172,940');"
                           "insert into bos values ('HH','Hamburg','Rettung','Rotkreuz Hamburg','','86,355');"
                           "insert into bos values ('NI','Hameln','THW','Heros Hameln','240','172,960');"
                           "insert into bos values ('NI','Hannover','Feuerwehr','Florian Hannover','','85,995');"
                           "insert into bos values ('XX','Hamburg','Polizei','Peter','','unbekannt');"
                           "insert into flugfunk values ('118,805','Hamburg (EDDH) TWR');"
                           "insert into flugfunk values ('121,500','Notfrequenz');"));
        Testhilfe::leeren();
        server = std::make_unique<Empfaengerhilfe::Server>();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
    }
    void cleanup()
    {
        haupt.reset();
        server.reset();
        ordner.reset();
        QSettings().clear();
        Dateidialog::setzeErsatz({});
    }

    void ueberEinemSuchergebnis()
    {
        // A signal on exactly two frequencies of the rows found, and on one
        // the search left out.
        server->staerke = {{86375000, -10}, {172940000, -20}, {85995000, -5}};
        verbinden();
        FrequenzListe *liste = bos();
        liste->txt_ort->setText(QStringLiteral("Hamburg"));
        QTest::mouseClick(liste->cmd_sucheort, Qt::LeftButton);
        // Sorted by frequency, as a click on the header asks.
        liste->DataGrid1_HeadClick(5);
        frm_suchlauf *w = suchlaufAus(liste);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Suchlauf \u2013 BOS-Frequenzen"));
        // The rows shown, in their order, one channel per frequency.
        QCOMPARE(kanaele(w), QStringList({"86,355", "86,375", "172,940"}));
        QCOMPARE(w->suchlauf()->kanaele().at(0).rufname, QStringLiteral("Florian Hamburg 1"));
        QVERIFY(w->lbl_stand->text().contains(QStringLiteral("1 Zeile ohne gültige Frequenz übergangen")));

        schnell(w);
        // Each signal goes once its hit is recorded.
        connect(w->suchlauf(), &Suchlauf::trefferNeu, this,
                [this, w](int i) { server->staerke.remove(w->suchlauf()->treffer().at(i).kanal.hz); });
        QVERIFY(w->cmd_start->isEnabled());
        QVERIFY(!w->cmd_stopp->isEnabled());
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        QVERIFY(w->cmd_stopp->isEnabled());
        QTRY_VERIFY(w->suchlauf()->stand().durchlaeufe >= 1);
        QTest::mouseClick(w->cmd_stopp, Qt::LeftButton);
        QCOMPARE(w->suchlauf()->stand().phase, Phase::Steht);

        // Exactly those two, newest first.
        QCOMPARE(spalte(w->DataGrid1, 1), QStringList({"172,940", "86,375"}));
        QCOMPARE(spalte(w->DataGrid1, 2), QStringList({"Hamburg", "Hamburg-Harburg"}));
        QCOMPARE(spalte(w->DataGrid1, 3), QStringList({"Peter Hamburg", "Florian Harburg"}));
        QCOMPARE(spalte(w->DataGrid1, 4), QStringList({"\u221220 dB", "\u221210 dB"}));
        QVERIFY(!server->abgestimmt().contains(85995000));
        QVERIFY(w->lbl_stand->text().contains(QStringLiteral("Durchl")));

        // "Ins Log …" on a hit: NEU in the log window, filled from the hit.
        const Suchtreffer *harburg = w->treffer(1);
        QVERIFY(harburg);
        w->DataGrid1->setCurrentCell(1, 0);
        QVERIFY(w->cmd_inslog->isEnabled());
        QTest::mouseClick(w->cmd_inslog, Qt::LeftButton);
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(log);
        QCOMPARE(log->SSTab1->currentIndex(), 0);
        QVERIFY(log->cmd_speichern->isEnabled());
        QCOMPARE(log->txt_frequenz->text(), QStringLiteral("86,375"));
        QCOMPARE(log->txt_band->text(), QStringLiteral("FM"));
        QCOMPARE(log->txt_ort->text(), QStringLiteral("Hamburg-Harburg"));
        QCOMPARE(log->txt_callsign->text(), QStringLiteral("Florian Harburg"));
        QCOMPARE(log->txt_datum->text(), harburg->zeit.toString(QStringLiteral("dd.MM.yyyy")));
        QCOMPARE(log->txt_uhrzeit->text(), harburg->zeit.toString(QStringLiteral("HH:mm")));
        // Values the program filled in: left untouched, nothing is stored.
        log->parentWidget()->close();
        QTRY_VERIFY(!haupt->frm_eintrag());
        QCOMPARE(Testhilfe::zahl(ordner->logDatei(), QStringLiteral("select count(*) from Kontakt")), 0);
        // Again by a double-click on the hit, and "SPEICHERN" stores it.
        const QRect r = w->DataGrid1->visualRect(w->DataGrid1->model()->index(1, 0));
        QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
        log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(log);
        QCOMPARE(log->txt_frequenz->text(), QStringLiteral("86,375"));
        QTest::mouseClick(log->cmd_speichern, Qt::LeftButton);
        QCOMPARE(
            Testhilfe::abfrage(ordner->logDatei(), QStringLiteral("select frequenz, band, ort, callsign from Kontakt")),
            QStringList({"86,375|FM|Hamburg-Harburg|Florian Harburg"}));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void einFensterUndAuslassen()
    {
        verbinden();
        FrequenzListe *liste = bos();
        // From the menu "Empfänger", for the list in front.
        QVERIFY(haupt->empf_suchlauf->isEnabled());
        haupt->empf_suchlauf->trigger();
        frm_suchlauf *w = fenster();
        QVERIFY(w);
        QCOMPARE(kanaele(w).size(), 5);
        // The scan window in front is no list: nothing to scan from the menu.
        emit haupt->empf->aboutToShow();
        QVERIFY(!haupt->empf_suchlauf->isEnabled());

        schnell(w);
        server->staerke = {{86375000, -10}};
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        QTRY_COMPARE(w->suchlauf()->stand().phase, Phase::Haelt);
        QVERIFY(w->lbl_kanal->text().startsWith(QStringLiteral("86,375 MHz \u2013 Hamburg-Harburg")));
        QCOMPARE(w->lbl_staerke->text(), QStringLiteral("\u221210 dB"));
        // Left out: on at once, and kept while the window is open, also
        // when the list's rows come again.
        QTest::mouseClick(w->cmd_auslassen, Qt::LeftButton);
        QCOMPARE(w->suchlauf()->stand().phase, Phase::Sucht);
        QVERIFY(w->cmd_aufnehmen->isEnabled());
        liste->txt_ort->setText(QStringLiteral("Ham"));
        QTest::mouseClick(liste->cmd_sucheort, Qt::LeftButton);
        liste->mnu_suchlauf->trigger();
        QCOMPARE(fenster(), w);   // one window
        QCOMPARE(w->suchlauf()->stand().phase, Phase::Steht);
        const int harburg = kanaele(w).indexOf(QStringLiteral("86,375"));
        QVERIFY(harburg >= 0);
        QVERIFY(w->suchlauf()->ausgelassen(harburg));
        // Another list's rows: its own channels, none left out.
        haupt->flug_Click();
        qobject_cast<FrequenzListe *>(haupt->frm_flug())->mnu_suchlauf->trigger();
        QCOMPARE(w->windowTitle(), QStringLiteral("Suchlauf \u2013 FlugFunk"));
        QCOMPARE(w->suchlauf()->anzahlAusgelassen(), 0);
        QCOMPARE(w->suchlauf()->kanaele().at(0).modulation, Modulation::Am);
        // Taken in again.
        liste->mnu_suchlauf->trigger();
        QVERIFY(w->suchlauf()->ausgelassen(harburg));
        QTest::mouseClick(w->cmd_aufnehmen, Qt::LeftButton);
        QCOMPARE(w->suchlauf()->anzahlAusgelassen(), 0);
    }

    void doppelklickUndSchliessenHalten()
    {
        verbinden();
        FrequenzListe *liste = bos();
        liste->mnu_suchlauf->trigger();
        frm_suchlauf *w = fenster();
        schnell(w);
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        QTRY_VERIFY(server->abgestimmt().size() > 3);

        // Tuning from the list by double-click stops the scan.
        const QRect r = liste->DataGrid1->visualRect(liste->DataGrid1->model()->index(0, 0));
        QTest::mouseClick(liste->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(liste->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(w->suchlauf()->stand().phase, Phase::Steht);
        QVERIFY(w->lbl_stand->text().contains(QStringLiteral("von Hand")));
        QVERIFY(w->cmd_start->isEnabled());

        // Closing the window stops the scan: the receiver is tuned no more.
        QTRY_COMPARE(server->hz, 86355000);
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        const int bisher = server->abgestimmt().size();
        QTRY_VERIFY(server->abgestimmt().size() > bisher + 5);
        w->parentWidget()->close();
        QTRY_VERIFY(!haupt->frm_suchlauf());
        const int vorher = server->abgestimmt().size();
        QTest::qWait(200);
        QVERIFY(server->abgestimmt().size() <= vorher + 1);
    }

    void ohneVerbindungUndVerloren()
    {
        FrequenzListe *liste = bos();
        liste->mnu_suchlauf->trigger();
        frm_suchlauf *w = fenster();
        QVERIFY(w);
        // Not connected: nothing to start, and the button says why.
        QVERIFY(!w->cmd_start->isEnabled());
        QCOMPARE(w->cmd_start->toolTip(),
                 QStringLiteral("Kein Empfänger verbunden \u2013 Empfänger \u2192 Verbinden \u2026"));
        verbinden();
        QVERIFY(w->cmd_start->isEnabled());
        schnell(w);
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        QTRY_VERIFY(server->abgestimmt().size() > 3);
        // The link goes: the scan waits and says so; it comes back by itself.
        static_cast<RigctlEmpfaenger *>(haupt->empfaenger())->setzeFristen({1500, 300, 500});
        server->alleTrennen();
        QTRY_COMPARE(w->suchlauf()->stand().phase, Phase::Wartet);
        QVERIFY(w->lbl_stand->text().startsWith(QStringLiteral("Wartet auf den Empfänger: ")));
        QVERIFY(w->cmd_stopp->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(w->suchlauf()->stand().phase, Phase::Sucht, 10000);
        QTest::mouseClick(w->cmd_stopp, Qt::LeftButton);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void trefferSpeichern()
    {
        server->staerke = {{172940000, -20}};
        verbinden();
        bos()->mnu_suchlauf->trigger();
        frm_suchlauf *w = fenster();
        schnell(w);
        QVERIFY(!w->cmd_speichern->isEnabled());
        QTest::mouseClick(w->cmd_start, Qt::LeftButton);
        QTRY_COMPARE(w->DataGrid1->rowCount(), 1);
        QTest::mouseClick(w->cmd_stopp, Qt::LeftButton);

        QTemporaryDir ziel;
        QString datei = ziel.filePath(QStringLiteral("treffer.csv"));
        Dateidialog::setzeErsatz([&](Dateidialog::Art, const QString &, const QStringList &) {
            return Dateidialog::Wahl{datei, QString()};
        });
        QVERIFY(w->cmd_speichern->isEnabled());
        QTest::mouseClick(w->cmd_speichern, Qt::LeftButton);
        const QList<QByteArray> zeilen = Testhilfe::lies(datei).split('\n');
        QCOMPARE(zeilen.value(0),
                 QByteArray("\xEF\xBB\xBFZeit;Frequenz;Modulation;Ort;Rufname;Stärke (dB);Dauer (s)\r"));
        QVERIFY(zeilen.value(1).contains(";172,940;FM;Hamburg;Peter Hamburg;-20;"));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().front().text.startsWith(QStringLiteral("1 Treffer nach")));

        // A file that cannot be written: said, with its reason.
        Testhilfe::leeren();
        datei = ziel.filePath(QStringLiteral("fehlt/treffer.csv"));
        QTest::mouseClick(w->cmd_speichern, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().front().symbol, Meldung::Symbol::Fehler);
        QVERIFY(Testhilfe::meldungen().front().text.contains(QStringLiteral("kann nicht geschrieben werden")));
    }
};

TREMVIK_TEST_MAIN(TestSuchlaufFenster)
#include "tst_suchlauffenster.moc"
