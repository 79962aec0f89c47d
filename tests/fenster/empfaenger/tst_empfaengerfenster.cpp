// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/empfaenger/frm_verbinden.h"
#include "fenster/empfaenger/frm_waslaeuft.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/frm_eintrag.h"
#include "kern/empfaenger/empfaengerhilfe.h"
#include "kern/empfaenger/rigctl.h"
#include "testhilfe.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

// The receiver in the program's windows, driven through the real main
// window: the menu "Empfänger", the status bar, tuning from the list
// windows, "NEU" and "vom Empfänger" in the log, and "Was läuft hier?".
class TestEmpfaengerFenster : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    QString status() const { return haupt->lbl_empfaenger->text(); }

    // "Verbinden …" with a host and port, as the user fills in the dialog.
    void verbinden(quint16 port)
    {
        haupt->empf_verbinden->trigger();
        auto *d = haupt->findChild<frm_verbinden *>();
        QVERIFY(d);
        QVERIFY(d->isVisible());
        d->txt_host->setText(QStringLiteral("127.0.0.1"));
        d->txt_port->setValue(port);
        QTest::mouseClick(d->cmd_verbinden, Qt::LeftButton);
    }

    FrequenzListe *liste(void (frm_main::*oeffnen)(), KindFenster *(frm_main::*holen)() const)
    {
        (haupt.get()->*oeffnen)();
        return qobject_cast<FrequenzListe *>((haupt.get()->*holen)());
    }

    // The row of the grid whose column holds the text.
    static int zeile(QAbstractItemView *grid, int spalte, const QString &text)
    {
        const QAbstractItemModel *m = grid->model();
        for (int z = 0; z < m->rowCount(); ++z)
            if (m->index(z, spalte).data().toString() == text)
                return z;
        return -1;
    }

    // A double-click as the platform delivers it: press and release, then
    // the second press as a double-click.
    static void doppelklick(QAbstractItemView *grid, int z)
    {
        const QRect r = grid->visualRect(grid->model()->index(z, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

    static void waehle(QAbstractItemView *grid, int z)
    {
        const QRect r = grid->visualRect(grid->model()->index(z, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

    // The first value of a query on the log file, through a connection of its own.
    QString logWert(const char *sql) const
    {
        return Testhilfe::abfrage(ordner->logDatei(), QString::fromUtf8(sql), QString())
            .value(0, QStringLiteral("<nichts>"));
    }

    frm_eintrag *eintrag() const { return qobject_cast<frm_eintrag *>(haupt->frm_eintrag()); }

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464','86,355');"
                           "insert into bos values ('NI','Hameln','THW','Heros Hameln','240','172,940');"
                           "insert into bos values ('XX','Irgendwo','Polizei','Peter','','unbekannt');"
                           "insert into flugfunk values ('118,805','Hamburg (EDDH) TWR');"
                           "insert into flugfunk values ('121,500','Notfrequenz');"
                           "insert into afu values ('Relais Ulm','145,0000','145,6000');"
                           "insert into fernwirken values ('169,40625','Ebersberg','Stadtwerke','Wasser','ZFA');"));
        Testhilfe::leeren();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
    }
    void cleanup()
    {
        haupt.reset();
        ordner.reset();
        QSettings().clear();
    }

    void ohneEmpfaengerWieBisher()
    {
        QStringList oben;
        for (QAction *a : haupt->menuBar()->actions())
            oben << a->objectName();
        QCOMPARE(oben,
                 QStringList({"prog", "dfsdfs", "erre", "dv", "empf", "ausw", "fenster", "help", "handbuch", "ueber"}));
        QStringList eintraege;
        for (QAction *a : haupt->empf->actions())
            eintraege << a->text();
        QCOMPARE(eintraege, QStringList({"Verbinden \u2026", "Trennen", "Was läuft hier?", "Suchlauf \u2026"}));
        QCOMPARE(status(), QStringLiteral("Empfänger: nicht verbunden"));
        // Nothing to end, no list to scan.
        QVERIFY(!haupt->empf_trennen->isEnabled());
        QVERIFY(!haupt->empf_suchlauf->isEnabled());

        // The list's receiver entries are there but disabled, and say why;
        // a double-click tunes nothing and says why in the status bar.
        FrequenzListe *bos = liste(&frm_main::bos_Click, &frm_main::frm_bos);
        QVERIFY(bos && bos->mnu_abstimmen);
        QVERIFY(!bos->mnu_abstimmen->isEnabled());
        QCOMPARE(bos->mnu_abstimmen->toolTip(),
                 QStringLiteral("Kein Empfänger verbunden \u2013 Empfänger \u2192 Verbinden \u2026"));
        QCOMPARE(bos->mnu_abstimmen->text(), QStringLiteral("Empfänger abstimmen"));
        QCOMPARE(haupt->statusBar()->currentMessage(), QString());
        doppelklick(bos->DataGrid1, zeile(bos->DataGrid1, 5, QStringLiteral("86,355")));
        QCOMPARE(haupt->statusBar()->currentMessage(),
                 QStringLiteral("Kein Empfänger verbunden \u2013 Empfänger \u2192 Verbinden \u2026"));
        QCOMPARE(bos->windowTitle(), QStringLiteral("BOS-Frequenzen   3 Datensätze"));
        // A list in front can be scanned.
        QVERIFY(haupt->empf_suchlauf->isEnabled());
        QVERIFY(!liste(&frm_main::flug_Click, &frm_main::frm_flug)->mnu_eingabe);
        QVERIFY(liste(&frm_main::afu_Click, &frm_main::frm_afu)->mnu_eingabe);

        // NEU is exactly as without a receiver: empty fields.
        haupt->erre_Click();
        frm_eintrag *w = eintrag();
        QVERIFY(w && w->cmd_vomempfaenger);
        QVERIFY(!w->cmd_vomempfaenger->isEnabled());
        w->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(w->cmd_neu, Qt::LeftButton);
        QCOMPARE(w->txt_frequenz->text(), QString());
        QCOMPARE(w->txt_band->text(), QString());
        QVERIFY(!w->cmd_vomempfaenger->isEnabled());
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(!QSettings().contains(QStringLiteral("Empfaenger/Verbinden")));
    }

    void bosDoppelklickStimmtAb()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        verbinden(rigctld.port());
        QTRY_VERIFY(status().startsWith(QStringLiteral("Empfänger: 145,000 MHz")));
        QVERIFY(status().contains(QStringLiteral("(127.0.0.1:%1)").arg(rigctld.port())));

        FrequenzListe *bos = liste(&frm_main::bos_Click, &frm_main::frm_bos);
        QVERIFY(bos->mnu_abstimmen->isEnabled());
        doppelklick(bos->DataGrid1, zeile(bos->DataGrid1, 5, QStringLiteral("86,355")));
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("86355000"));
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("m")}).section(QLatin1Char('\n'), 0, 0), QStringLiteral("FMN"));
        QTRY_VERIFY(status().startsWith(QStringLiteral("Empfänger: 86,355 MHz FMN")));

        // A row whose value is no frequency is said so, not guessed at.
        doppelklick(bos->DataGrid1, zeile(bos->DataGrid1, 5, QStringLiteral("unbekannt")));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().front().text.contains(QStringLiteral("ist keine Frequenz")));
        QCOMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("86355000"));
        // The searches are as they were.
        QCOMPARE(bos->windowTitle(), QStringLiteral("BOS-Frequenzen   3 Datensätze"));
    }

    void kontextmenue()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        verbinden(rigctld.port());
        QTRY_VERIFY(status().contains(QStringLiteral("MHz")));

        // Aviation: AM, on the carrier of the 8.33 kHz channel "118,805".
        FrequenzListe *flug = liste(&frm_main::flug_Click, &frm_main::frm_flug);
        const int z = zeile(flug->DataGrid1, 0, QStringLiteral("118,805"));
        const QPoint punkt = flug->DataGrid1->visualRect(flug->DataGrid1->model()->index(z, 0)).center();
        flug->DataGrid1_ContextMenu(punkt);
        auto *menue = flug->findChild<QMenu *>(QStringLiteral("mnu_grid"));
        QVERIFY(menue && menue->isVisible() && menue->toolTipsVisible());
        QCOMPARE(menue->actions().value(0), flug->mnu_abstimmen);
        menue->close();
        QCOMPARE(flug->DataGrid1->currentIndex().row(), z);
        flug->mnu_abstimmen->trigger();
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("118800000"));
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("m")}).section(QLatin1Char('\n'), 0, 0), QStringLiteral("AM"));

        // A repeater: output by double-click, input from the context menu.
        FrequenzListe *afu = liste(&frm_main::afu_Click, &frm_main::frm_afu);
        waehle(afu->DataGrid1, 0);
        QVERIFY(afu->mnu_eingabe->isEnabled());
        afu->mnu_eingabe->trigger();
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("145000000"));
        doppelklick(afu->DataGrid1, 0);
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("145600000"));
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("m")}).section(QLatin1Char('\n'), 0, 0), QStringLiteral("FMN"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void neuUndVomEmpfaenger()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("145500000")});
        rigctld.rigctl({QStringLiteral("M"), QStringLiteral("FMN"), QStringLiteral("0")});
        verbinden(rigctld.port());
        QTRY_VERIFY(status().startsWith(QStringLiteral("Empfänger: 145,500 MHz FMN")));

        frm_eintrag *w = eintrag();
        w->SSTab1->setCurrentIndex(0);
        QVERIFY(!w->cmd_vomempfaenger->isEnabled());   // Browse
        QVERIFY(w->cmd_vomempfaenger->toolTip().contains(QStringLiteral("NEU")));
        QTest::mouseClick(w->cmd_neu, Qt::LeftButton);
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("145,500"));
        QCOMPARE(w->txt_band->text(), QStringLiteral("FM"));
        QVERIFY(w->cmd_vomempfaenger->isEnabled());
        w->txt_callsign->setText(QStringLiteral("DL1ABC"));
        QTest::mouseClick(w->cmd_speichern, Qt::LeftButton);
        QCOMPARE(logWert("select frequenz || '|' || band from Kontakt"), QStringLiteral("145,500|FM"));
        QVERIFY(!w->cmd_vomempfaenger->isEnabled());

        // Edit: the button takes the receiver's frequency and mode now.
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("27185000")});
        rigctld.rigctl({QStringLiteral("M"), QStringLiteral("AM"), QStringLiteral("0")});
        QTRY_VERIFY(status().startsWith(QStringLiteral("Empfänger: 27,185 MHz AM")));
        QTest::mouseClick(w->cmd_bearbeiten, Qt::LeftButton);
        QVERIFY(w->cmd_vomempfaenger->isEnabled());
        QTest::mouseClick(w->cmd_vomempfaenger, Qt::LeftButton);
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("27,185"));
        QCOMPARE(w->txt_band->text(), QStringLiteral("AM"));
        QTest::mouseClick(w->cmd_speichern, Qt::LeftButton);
        QCOMPARE(logWert("select frequenz || '|' || band from Kontakt"), QStringLiteral("27,185|AM"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void wasLaeuftHier()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("86355000")});
        verbinden(rigctld.port());
        QTRY_VERIFY(status().contains(QStringLiteral("86,355 MHz")));

        haupt->empf_waslaeuft->trigger();
        auto *w = qobject_cast<frm_waslaeuft *>(haupt->frm_waslaeuft());
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Was läuft hier?"));
        haupt->empf_waslaeuft->trigger();
        QCOMPARE(haupt->frm_waslaeuft(), w);   // one instance
        QTRY_COMPARE(w->DataGrid1->rowCount(), 1);
        QCOMPARE(w->DataGrid1->item(0, 0)->text(), QStringLiteral("BOS"));
        QCOMPARE(w->DataGrid1->item(0, 3)->text(), QStringLiteral("Hamburg"));
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("86,355"));

        // It follows the receiver.
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("118802000")});
        QTRY_COMPARE(w->txt_frequenz->text(), QStringLiteral("118,802"));
        QCOMPARE(w->DataGrid1->rowCount(), 1);
        QCOMPARE(w->DataGrid1->item(0, 1)->text(), QStringLiteral("118,805"));
        QCOMPARE(w->DataGrid1->item(0, 2)->text(), QStringLiteral("\u22122"));

        // A typed frequency stops the following.
        w->txt_frequenz->selectAll();
        QTest::keyClicks(w->txt_frequenz, QStringLiteral("145,6"));
        QTest::keyClick(w->txt_frequenz, Qt::Key_Return);
        QVERIFY(!w->chk_folgen->isChecked());
        QCOMPARE(w->DataGrid1->rowCount(), 1);
        QCOMPARE(w->DataGrid1->item(0, 0)->text(), QStringLiteral("AFU-Repeater"));
        QCOMPARE(w->lbl_ergebnis->text(),
                 QStringLiteral("1 Eintrag auf 145,600 MHz (1 Zeile ohne gültige Frequenz übergangen)"));
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("86355000")});
        QTRY_VERIFY(status().contains(QStringLiteral("86,355 MHz")));
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("145,6"));

        // A double-click on a row tunes the receiver to it.
        doppelklick(w->DataGrid1, 0);
        QTRY_COMPARE(rigctld.rigctl({QStringLiteral("f")}), QStringLiteral("145600000"));

        w->txt_frequenz->setText(QStringLiteral("14x"));
        QTest::mouseClick(w->cmd_anzeigen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().front().text.contains(QStringLiteral("ist keine Frequenz")));
    }

    void wasLaeuftHierOhneEmpfaenger()
    {
        haupt->empf_waslaeuft->trigger();
        auto *w = qobject_cast<frm_waslaeuft *>(haupt->frm_waslaeuft());
        QVERIFY(w);
        QVERIFY(!w->chk_folgen->isEnabled());
        QVERIFY(!w->chk_folgen->toolTip().isEmpty());
        w->txt_frequenz->setText(QStringLiteral("169,4075"));
        QTest::mouseClick(w->cmd_anzeigen, Qt::LeftButton);
        // Nothing on it: what each list has nearest, nearest first.
        QCOMPARE(w->lbl_ergebnis->text(), QStringLiteral("Nichts bekannt auf 169,4075 MHz \u2013 die "
                                                         "nächstgelegenen Einträge jeder Liste (1 Zeile ohne gültige "
                                                         "Frequenz übergangen)"));
        QCOMPARE(w->DataGrid1->item(0, 0)->text(), QStringLiteral("Fernwirken"));
        QCOMPARE(w->DataGrid1->item(0, 2)->text(), QStringLiteral("\u22121,25"));
        // The telecontrol raster is the user's to widen.
        w->txt_fwraster->setValue(12.5);
        QCOMPARE(w->DataGrid1->rowCount(), 1);
        QCOMPARE(w->DataGrid1->item(0, 0)->text(), QStringLiteral("Fernwirken"));
        QCOMPARE(w->DataGrid1->item(0, 2)->text(), QStringLiteral("\u22121,25"));

        // An aviation channel as the list writes it is found on its carrier.
        w->txt_frequenz->setText(QStringLiteral("118,805"));
        QTest::mouseClick(w->cmd_anzeigen, Qt::LeftButton);
        QCOMPARE(w->DataGrid1->rowCount(), 1);
        QCOMPARE(w->DataGrid1->item(0, 1)->text(), QStringLiteral("118,805"));
        QCOMPARE(w->DataGrid1->item(0, 2)->text(), QStringLiteral("0"));
        QVERIFY(w->lbl_ergebnis->text().startsWith(QStringLiteral("1 Eintrag auf 118,805 MHz")));
    }

    void rigctldBeendetUndZurueck()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        auto rigctld = std::make_unique<Empfaengerhilfe::Rigctld>();
        QVERIFY(rigctld->starten());
        const quint16 port = rigctld->port();
        verbinden(port);
        QTRY_VERIFY(status().contains(QStringLiteral("MHz")));
        FrequenzListe *bos = liste(&frm_main::bos_Click, &frm_main::frm_bos);
        QVERIFY(bos->mnu_abstimmen->isEnabled());

        rigctld->stoppen();
        QTRY_VERIFY_WITH_TIMEOUT(status().contains(QStringLiteral("getrennt")), 5000);
        QVERIFY(!bos->mnu_abstimmen->isEnabled());
        QVERIFY(bos->mnu_abstimmen->toolTip().contains(QStringLiteral("getrennt")));
        // The program tries again until the user ends it.
        QVERIFY(haupt->empf_trennen->isEnabled());
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());

        rigctld = std::make_unique<Empfaengerhilfe::Rigctld>(port);
        QVERIFY(rigctld->starten());
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QStringLiteral("Empfänger: 145,000 MHz")), 20000);
        QVERIFY(bos->mnu_abstimmen->isEnabled());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void stummerUndTeilweiserServer()
    {
        // A server that never answers: the program goes on, the status bar
        // tells the state, no message.
        Empfaengerhilfe::Server stumm;
        stumm.stumm = true;
        verbinden(stumm.port());
        QCOMPARE(status(), QStringLiteral("Empfänger: verbinde mit 127.0.0.1:%1 \u2026").arg(stumm.port()));
        FrequenzListe *bos = liste(&frm_main::bos_Click, &frm_main::frm_bos);
        QVERIFY(bos);
        QVERIFY(!bos->mnu_abstimmen->isEnabled());
        QVERIFY(bos->mnu_abstimmen->toolTip().contains(QStringLiteral("antwortet noch nicht")));
        QTRY_COMPARE_WITH_TIMEOUT(status(),
                                  QStringLiteral("Empfänger getrennt (127.0.0.1:%1): der Empfänger antwortet nicht "
                                                 "\u2013 neuer Versuch alle 3 s")
                                      .arg(stumm.port()),
                                  10000);
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // One that refuses the mode: the frequency is tuned all the same.
        Empfaengerhilfe::Server teilweise;
        teilweise.modusFehler = -11;
        verbinden(teilweise.port());
        QTRY_VERIFY(status().startsWith(QStringLiteral("Empfänger: 145,500 MHz FM")));
        doppelklick(bos->DataGrid1, zeile(bos->DataGrid1, 5, QStringLiteral("172,940")));
        QTRY_COMPARE(teilweise.hz, 172940000);
        QTRY_VERIFY(status().contains(QStringLiteral("Modulation nicht gesetzt: Funktion nicht verfügbar")));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void einstellungBleibt()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        verbinden(rigctld.port());
        QTRY_VERIFY(status().contains(QStringLiteral("MHz")));
        QCOMPARE(QSettings().value(QStringLiteral("Empfaenger/Host")).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(QSettings().value(QStringLiteral("Empfaenger/Port")).toInt(), int(rigctld.port()));

        // The next start connects by itself, in the background.
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QVERIFY(haupt->frm_eintrag());
        QTRY_VERIFY(status().contains(QStringLiteral("MHz")));
        // The dialog offers what was used last.
        haupt->empf_verbinden->trigger();
        auto *d = haupt->findChild<frm_verbinden *>();
        QCOMPARE(d->txt_host->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(d->txt_port->value(), int(rigctld.port()));
        QTest::mouseClick(d->cmd_abbrechen, Qt::LeftButton);

        // After "Trennen" it does not; there is nothing more to end.
        QVERIFY(haupt->empf_trennen->isEnabled());
        haupt->empf_trennen->trigger();
        QCOMPARE(status(), QStringLiteral("Empfänger: nicht verbunden"));
        QVERIFY(!haupt->empf_trennen->isEnabled());
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTest::qWait(300);
        QCOMPARE(status(), QStringLiteral("Empfänger: nicht verbunden"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }
};

TREMVIK_TEST_MAIN(TestEmpfaengerFenster)
#include "tst_empfaengerfenster.moc"
