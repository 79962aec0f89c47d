// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/auswertung/frm_statistik.h"
#include "testhilfe.h"
#include "kern/auswertung/fixture.h"
#include "fenster/log/frm_eintrag.h"
#include "fenster/haupt/frm_main.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

using Reihe = Statistik::Reihe;

// The statistics window offscreen: its figures, the click on a bar or a row
// and the records it lists, the way to the log window, the period and
// writing the chart as an image.
class TestStatistikfenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;
    QTemporaryDir ablage;

    static QBarSet *balken(frm_statistik &w)
    {
        const auto serien = w.gezeigtesDiagramm()->series();
        auto *s = serien.isEmpty() ? nullptr : qobject_cast<QAbstractBarSeries *>(serien.first());
        return s && !s->barSets().isEmpty() ? s->barSets().first() : nullptr;
    }

    // Clicks with the mouse in the middle of a bar of the chart shown.
    static void klickeBalken(frm_statistik &w, int index)
    {
        QChart *c = w.gezeigtesDiagramm();
        QBarSet *b = balken(w);
        QVERIFY(b);
        auto *serie = c->series().first();
        const bool waagerecht = qobject_cast<QHorizontalBarSeries *>(serie) != nullptr;
        const QPointF wert = waagerecht ? QPointF(b->at(index) / 2, index) : QPointF(index, b->at(index) / 2);
        QChartView *v = w.diagramm[size_t(w.gezeigteReihe())];
        const QPoint punkt = v->mapFromScene(c->mapToScene(c->mapToPosition(wert, serie)));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, punkt);
    }

    static QStringList spalte(QTableView *grid, int spalte)
    {
        QStringList l;
        for (int z = 0; z < grid->model()->rowCount(); ++z)
            l << grid->model()->index(z, spalte).data().toString();
        return l;
    }

    void oeffne(frm_statistik &w)
    {
        w.Form_Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        legeFixtureAn(ordner->logDatei());
        Testhilfe::leeren();
    }
    void cleanup()
    {
        frm_statistik::setzeDateiwahl({});
        ordner.reset();
    }

    void zeigtDieZahlenUndWirdGezeichnet()
    {
        frm_statistik w;
        oeffne(w);
        QCOMPARE(w.windowTitle(), QStringLiteral("Statistik"));
        QCOMPARE(w.lbl_eintraege->text(), QStringLiteral("13 Einträge"));
        QCOMPARE(w.cmd_ohnedatum->text(), QStringLiteral("ohne gültiges Datum: 6"));
        QCOMPARE(w.cmd_ohnezeit->text(), QStringLiteral("ohne gültige Uhrzeit: 3"));
        QStringList reiter;
        for (int i = 0; i < w.SSTab1->count(); ++i)
            reiter << w.SSTab1->tabText(i);
        QCOMPARE(reiter,
                 QStringList({"Monate", "Stunden", "Wochentage", "Modulation", "Länder", "Orte", "Rufzeichen"}));

        // The month chart: a bar per month, together the records with a date.
        QBarSet *b = balken(w);
        QVERIFY(b);
        QCOMPARE(b->count(), 28);
        QCOMPARE(b->sum(), 13.0 - 6.0);
        QCOMPARE(w.tabelle[0]->rowCount(), 28);
        QCOMPARE(w.tabelle[0]->item(1, 0)->text(), QStringLiteral("Dezember 2005"));
        QCOMPARE(w.tabelle[0]->item(1, 1)->text(), QStringLiteral("2"));
        QCOMPARE(w.dat_von->date(), QDate(2005, 11, 30));
        QCOMPARE(w.dat_bis->date(), QDate(2008, 2, 29));

        // Every tab draws its chart; lying bars put the most frequent on top.
        for (int r = 0; r < Statistik::AnzahlReihen; ++r) {
            w.SSTab1->setCurrentIndex(r);
            QImage bild = w.grab().toImage();
            QVERIFY(!bild.isNull());
            if (qEnvironmentVariableIsSet("TREMVIK_BILDER"))
                bild.save(QStringLiteral("%1/statistik-%2.png").arg(qEnvironmentVariable("TREMVIK_BILDER")).arg(r));
        }
        w.SSTab1->setCurrentIndex(int(Reihe::Land));
        QCOMPARE(balken(w)->count(), 9);
        QCOMPARE(balken(w)->at(8), 5.0);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void klickListetDieEintraegeDahinter()
    {
        frm_statistik w;
        oeffne(w);
        klickeBalken(w, 1);   // December 2005
        QCOMPARE(w.lbl_auswahl->text(), QStringLiteral("Monat \u201EDezember 2005\u201C: 2 Einträge"));
        QCOMPARE(spalte(w.DataGrid1, 0), QStringList({"01.12.2005", "31.12.2005"}));
        QCOMPARE(spalte(w.DataGrid1, 2), QStringList({"DL1AAA", "OE3XYZ"}));
        QCOMPARE(w.tabelle[0]->currentRow(), 1);
        QVERIFY(balken(w)->isBarSelected(1));

        // A lying bar, and a row of the table beside it.
        w.SSTab1->setCurrentIndex(int(Reihe::Ort));
        klickeBalken(w, balken(w)->count() - 1);   // the top one: Köln
        QCOMPARE(spalte(w.DataGrid1, 4), QStringList({"Köln", "Köln", " Köln", "Köln"}));
        QTableWidget *t = w.tabelle[size_t(Reihe::Ort)];
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(2, 0)).center());
        QCOMPARE(w.lbl_auswahl->text(), QStringLiteral("QTH \u201EL'Aquila\u201C: 2 Einträge"));
        QCOMPARE(spalte(w.DataGrid1, 1), QStringList({"", "9:30:15"}));

        // What is counted apart is listed the same way.
        QTest::mouseClick(w.cmd_ohnedatum, Qt::LeftButton);
        QCOMPARE(w.DataGrid1->model()->rowCount(), 6);
        QCOMPARE(w.lbl_auswahl->text(), QStringLiteral("ohne gültiges Datum: 6 Einträge"));
        QCOMPARE(t->currentRow(), -1);
    }

    void doppelklickZeigtDenEintragImLog()
    {
        QList<qint64> gezeigt;
        frm_statistik w([&](qint64 id) { gezeigt << id; });
        oeffne(w);
        w.SSTab1->setCurrentIndex(int(Reihe::Land));
        w.waehleBalken(Reihe::Land, 1);   // Belgien
        QCOMPARE(w.DataGrid1->model()->rowCount(), 1);
        const QRect zelle = w.DataGrid1->visualRect(w.DataGrid1->model()->index(0, 2));
        QTest::mouseClick(w.DataGrid1->viewport(), Qt::LeftButton, {}, zelle.center());
        QVERIFY(gezeigt.isEmpty());
        QTest::mouseDClick(w.DataGrid1->viewport(), Qt::LeftButton, {}, zelle.center());
        QCOMPARE(gezeigt, QList<qint64>({8}));
    }

    void ausDemHauptfensterUndZurueckInsLog()
    {
        frm_main h;
        h.zeigen();
        h.stat->trigger();
        auto *w = qobject_cast<frm_statistik *>(h.frm_statistik());
        QVERIFY(w);
        h.stat->trigger();
        QCOMPARE(h.frm_statistik(), w);
        auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
        const QSize groesse = sub->size();
        sub->resize(groesse + QSize(40, 40));
        QCOMPARE(sub->size(), groesse);

        // The log window lists only its search's hits; the record chosen in
        // the statistics is not among them.
        auto *log = qobject_cast<frm_eintrag *>(h.frm_eintrag());
        log->opt_qth->setChecked(true);
        log->txt_suchbegriff->setText(QStringLiteral("Wien"));
        log->cmd_suchen_Click();
        QCOMPARE(log->lbl_treffer->text(), QStringLiteral("1 Einträge"));

        h.mdi()->setActiveSubWindow(sub);
        w->waehleBalken(Reihe::Rufzeichen, 0);   // DL1AAA: records 1, 2 and 12
        const QRect zweite = w->DataGrid1->visualRect(w->DataGrid1->model()->index(1, 0));
        QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, zweite.center());
        QTest::mouseDClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, zweite.center());
        QCOMPARE(h.mdi()->activeSubWindow()->widget(), log);
        QCOMPARE(log->SSTab1->currentIndex(), 0);
        QCOMPARE(log->txt_datum->text(), QStringLiteral("01.12.2005"));
        QCOMPARE(log->txt_callsign->text(), QStringLiteral("DL1AAA"));
        QCOMPARE(log->lbl_treffer->text(), QStringLiteral("13 Einträge"));

        // While a record is being edited the log window stays on it.
        log->cmd_bearbeiten_Click();
        log->txt_skip->setText(QStringLiteral("in Arbeit"));
        QVERIFY(!log->zeigeDatensatz(12));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(log->txt_datum->text(), QStringLiteral("01.12.2005"));
        QCOMPARE(log->txt_skip->text(), QStringLiteral("in Arbeit"));
        log->cmd_abbrechen_Click();

        // A record deleted since the figures were counted.
        Testhilfe::leeren();
        QCoreApplication::processEvents();   // the log window lets go of the file between reads
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("delete from Kontakt where id = 12"));
        QVERIFY(!log->zeigeDatensatz(12));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
    }

    void zeitraum()
    {
        frm_statistik w;
        oeffne(w);
        QVERIFY(!w.dat_von->isEnabled());
        QTest::mouseClick(w.chk_zeitraum, Qt::LeftButton);
        QVERIFY(w.dat_von->isEnabled() && w.dat_bis->isEnabled());
        w.dat_von->setDate(QDate(2005, 12, 1));
        w.dat_bis->setDate(QDate(2006, 1, 1));
        QTest::mouseClick(w.cmd_anzeigen, Qt::LeftButton);
        QCOMPARE(w.lbl_eintraege->text(), QStringLiteral("3 Einträge von 13 im Zeitraum"));
        QCOMPARE(balken(w)->count(), 2);
        QVERIFY(w.gezeigtesDiagramm()->title().endsWith(QStringLiteral("01.12.2005 bis 01.01.2006")));

        // A period that ends before it begins changes nothing.
        w.dat_von->setDate(QDate(2006, 1, 2));
        QTest::mouseClick(w.cmd_anzeigen, Qt::LeftButton);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QCOMPARE(w.zahlen().gezaehlt, 3);

        // Without the period: the whole log again, read anew.
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("delete from Kontakt where id = 2"));
        QTest::mouseClick(w.chk_zeitraum, Qt::LeftButton);
        QTest::mouseClick(w.cmd_anzeigen, Qt::LeftButton);
        QCOMPARE(w.lbl_eintraege->text(), QStringLiteral("12 Einträge"));
        QCOMPARE(w.DataGrid1->model()->rowCount(), 0);
    }

    void bildSpeichern()
    {
        frm_statistik w;
        oeffne(w);
        const QString png = ablage.filePath(QStringLiteral("monate.png"));
        QVERIFY(w.speichereBild(png));
        const QImage bild(png);
        QCOMPARE(bild.size(), w.diagramm[0]->size());

        w.SSTab1->setCurrentIndex(int(Reihe::Stunde));
        const QString svg = ablage.filePath(QStringLiteral("stunden.SVG"));
        QVERIFY(w.speichereBild(svg));
        QVERIFY(QSvgRenderer(svg).isValid());
        QVERIFY(Testhilfe::lies(svg).contains("Empfänge je Stunde"));

        // Through the button: a name without a known suffix becomes a PNG;
        // cancelling writes nothing.
        QString antwort = ablage.filePath(QStringLiteral("ohne"));
        QString vorschlag;
        frm_statistik::setzeDateiwahl([&](QWidget *, const QString &v) {
            vorschlag = v;
            return antwort;
        });
        QTest::mouseClick(w.cmd_bild, Qt::LeftButton);
        QVERIFY(vorschlag.endsWith(QStringLiteral("statistik-stunden.png")));
        QVERIFY(!QImage(antwort + QStringLiteral(".png")).isNull());
        antwort.clear();
        const int vorher = QDir(ablage.path()).count();
        QTest::mouseClick(w.cmd_bild, Qt::LeftButton);
        QCOMPARE(QDir(ablage.path()).count(), vorher);

        // A place that cannot be written is reported; nothing is left there.
        QVERIFY(!w.speichereBild(ablage.filePath(QStringLiteral("fehlt/bild.png"))));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QVERIFY(!QFile::exists(ablage.filePath(QStringLiteral("fehlt"))));
    }
};

TREMVIK_TEST_MAIN(TestStatistikfenster)
#include "tst_statistikfenster.moc"
