// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/auswertung/frm_statistik.h"
#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/druckauftrag.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/bemerkungsfeld.h"
#include "fenster/log/frm_eintrag.h"
#include "kern/daten/adodc.h"
#include "testhilfe.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

// Working with several windows: the menu "Fenster", the keys that act on
// the active child window only, the words in the status bar, and what the
// settings keep across starts (column widths, the statistics' period, the
// folders of the file dialogs).
class TestFenstermenue : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    void starten()
    {
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QVERIFY(QTest::qWaitForWindowActive(haupt.get()));
        QTRY_VERIFY(haupt->frm_eintrag());
    }

    // The window list of menu "Fenster" as the user opens it: the titles,
    // the active one marked with "*".
    QStringList liste() const
    {
        Q_EMIT haupt->fenster->aboutToShow();
        QStringList l;
        for (QAction *a : haupt->fenster->actions())
            if (a->objectName() == QLatin1String("fenster_eintrag"))
                l << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
        return l;
    }

    QAction *eintrag(int i) const
    {
        Q_EMIT haupt->fenster->aboutToShow();
        QList<QAction *> l;
        for (QAction *a : haupt->fenster->actions())
            if (a->objectName() == QLatin1String("fenster_eintrag"))
                l << a;
        return l.value(i);
    }

    static void taste(QWidget *w, QKeyCombination k) { QTest::keyClick(w, k.key(), k.keyboardModifiers()); }

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::sql(ordner->frequenzDatei(),
                       QStringLiteral("insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464',"
                                      "'84,295');"
                                      "insert into bos values ('NI','Hameln','THW','Heros Hameln','240','172,940');"));
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("insert into Kontakt (callsign, datum, frequenz) values "
                                                          "('DL1AAA', '01.05.2024', '145,500');"));
        Testhilfe::leeren();
        starten();
    }
    void cleanup()
    {
        haupt.reset();
        ordner.reset();
        QSettings().clear();
        Dateidialog::setzeErsatz({});
        Druckauftrag::setzeDruckerwahl({});
    }

    // The menu lists the open windows in the order they opened, the active
    // one checked, and follows them as they open, change and close.
    void fensterListe()
    {
        QCOMPARE(liste(), QStringList({"&1 Eigene Einträge *"}));
        haupt->bos->trigger();
        haupt->stat->trigger();
        QCOMPARE(liste(), QStringList({"&1 Eigene Einträge", "&2 BOS-Frequenzen 2 Datensätze", "&3 Statistik *"}));
        eintrag(1)->trigger();
        QCOMPARE(haupt->mdi()->activeSubWindow()->widget(), haupt->frm_bos());
        QCOMPARE(liste(), QStringList({"&1 Eigene Einträge", "&2 BOS-Frequenzen 2 Datensätze *", "&3 Statistik"}));
        // A window closed that was not the active one leaves the list too.
        qobject_cast<QMdiSubWindow *>(haupt->frm_eintrag()->parentWidget())->close();
        QCOMPARE(liste(), QStringList({"&1 BOS-Frequenzen 2 Datensätze *", "&2 Statistik"}));

        haupt->fenster_nebeneinander->trigger();
        haupt->fenster_ueberlappend->trigger();
        haupt->fenster_alleschliessen->trigger();
        QVERIFY(haupt->mdi()->subWindowList().isEmpty() || !haupt->mdi()->subWindowList().front()->isVisible());
        QCOMPARE(liste(), QStringList());
        QVERIFY(!haupt->fenster_schliessen->isEnabled() && !haupt->fenster_alleschliessen->isEnabled()
                && !haupt->fenster_nebeneinander->isEnabled());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // Ctrl+W and Ctrl+F4 close the active child window, one at a time;
    // with none open they do nothing.
    void schliessenMitTasten()
    {
        haupt->bos->trigger();
        auto *bos = qobject_cast<FrequenzListe *>(haupt->frm_bos());
        QVERIFY(bos);
        bos->txt_ort->setFocus();
        taste(bos->txt_ort, Qt::CTRL | Qt::Key_W);
        QTRY_VERIFY(!haupt->frm_bos());
        QCOMPARE(haupt->mdi()->activeSubWindow()->widget(), haupt->frm_eintrag());
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        log->txt_land->setFocus();
        taste(log->txt_land, Qt::CTRL | Qt::Key_F4);
        QTRY_VERIFY(!haupt->frm_eintrag());
        QVERIFY(!haupt->fenster_schliessen->isEnabled());
        taste(haupt.get(), Qt::CTRL | Qt::Key_W);
        QVERIFY(haupt->isVisible());
        QVERIFY(haupt->fenster_schliessen->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)));
    }

    // The keys act on the window in front only: Ctrl+N in a list begins no
    // record in the log; Ctrl+F and Ctrl+P of menu "Frequenzen" go to the
    // list in front (its first search box, its "Drucken …") and leave the
    // log window's own Ctrl+F and Ctrl+P alone; a dot in the list's
    // frequency search is the decimal comma.
    void tastenNurImAktivenFenster()
    {
        int gedruckt = 0;
        Druckauftrag::setzeDruckerwahl([&gedruckt](QPrinter &) {
            ++gedruckt;
            return false;
        });
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(!haupt->dfsdfs_suchen->isEnabled() && !haupt->dfsdfs_drucken->isEnabled());
        haupt->bos->trigger();
        auto *bos = qobject_cast<FrequenzListe *>(haupt->frm_bos());
        QVERIFY(haupt->dfsdfs_suchen->isEnabled() && haupt->dfsdfs_drucken->isEnabled());
        bos->DataGrid1->setFocus();
        taste(bos->DataGrid1, Qt::CTRL | Qt::Key_N);
        QVERIFY(log->cmd_neu->isEnabled());   // still in Browse
        bos->txt_ort->setText(QStringLiteral("Ham"));
        taste(bos->DataGrid1, Qt::CTRL | Qt::Key_F);
        QCOMPARE(QApplication::focusWidget(), bos->txt_ort);
        QCOMPARE(bos->txt_ort->selectedText(), QStringLiteral("Ham"));
        taste(bos->txt_ort, Qt::CTRL | Qt::Key_P);
        QCOMPARE(gedruckt, 1);
        bos->txt_freq->setFocus();
        QTest::keyClicks(bos->txt_freq, QStringLiteral("84.295"));
        QTest::mouseClick(bos->cmd_suchefreq, Qt::LeftButton);
        QCOMPARE(bos->Adodc1->RecordSource(),
                 QStringLiteral("select * from [bos] where Freq like '%84.295%' order by Ort asc"));
        QCOMPARE(bos->Adodc1->RecordCount(), 1);
        QCOMPARE(bos->DataGrid1->model()->index(0, 1).data().toString(), QStringLiteral("Hamburg"));

        // Back in the log, Ctrl+F and Ctrl+N act there, Ctrl+P prints its
        // overview (once: no key is claimed twice).
        eintrag(0)->trigger();
        QVERIFY(!haupt->dfsdfs_suchen->isEnabled() && !haupt->dfsdfs_drucken->isEnabled());
        log->SSTab1->setCurrentIndex(1);
        log->txt_suchbegriff->setFocus();
        taste(log->txt_suchbegriff, Qt::CTRL | Qt::Key_P);
        QCOMPARE(gedruckt, 2);
        log->txt_land->setFocus();
        taste(log->txt_land, Qt::CTRL | Qt::Key_F);
        QCOMPARE(QApplication::focusWidget(), log->txt_suchbegriff);
        taste(log->txt_suchbegriff, Qt::CTRL | Qt::Key_N);
        QVERIFY(!log->cmd_neu->isEnabled());
        QCOMPARE(bos->Adodc1->RecordCount(), 1);
        Druckauftrag::setzeDruckerwahl({});
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // Ctrl+Tab in the log's remark is a tab character, not the area's
    // switch to another window.
    void tabulatorInDerBemerkung()
    {
        haupt->bos->trigger();
        haupt->erre->trigger();
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        log->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(log->cmd_bearbeiten, Qt::LeftButton);
        log->RichTextBox1->setFocus();
        QTest::keyClick(log->RichTextBox1, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(log->RichTextBox1->toPlainText(), QStringLiteral("\t"));
        QCOMPARE(haupt->mdi()->activeSubWindow()->widget(), log);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // The words after an action stand in the status bar for a while, never
    // as a box, and go again.
    void worteInDerStatusleiste()
    {
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(!haupt->lbl_status->isVisible());
        log->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(log->cmd_neu, Qt::LeftButton);
        log->txt_callsign->setText(QStringLiteral("DL2NEU"));
        QTest::mouseClick(log->cmd_speichern, Qt::LeftButton);
        QVERIFY(haupt->lbl_status->isVisible());
        QCOMPARE(haupt->lbl_status->text(), QStringLiteral("Eintrag gespeichert"));
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // An export says where it wrote how much, beside its summary.
        QTemporaryDir ausgabe;
        const QString csv = ausgabe.filePath(QStringLiteral("log.csv"));
        Dateidialog::setzeErsatz([&](Dateidialog::Art, const QString &, const QStringList &) {
            return Dateidialog::Wahl{csv, QString()};
        });
        haupt->logexport->trigger();
        QCOMPARE(haupt->lbl_status->text(), QStringLiteral("Export: 2 Einträge nach %1 geschrieben").arg(csv));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        Testhilfe::leeren();

        // A picture of a chart, proposed in the folder of the last one.
        haupt->stat->trigger();
        auto *stat = qobject_cast<frm_statistik *>(haupt->frm_statistik());
        QString vorschlag;
        frm_statistik::setzeDateiwahl([&](QWidget *, const QString &v) {
            vorschlag = v;
            return ausgabe.filePath(QStringLiteral("bild.png"));
        });
        QTest::mouseClick(stat->cmd_bild, Qt::LeftButton);
        QCOMPARE(haupt->lbl_status->text(), QStringLiteral("Bild gespeichert: ") + ausgabe.filePath("bild.png"));
        QTest::mouseClick(stat->cmd_bild, Qt::LeftButton);
        QCOMPARE(QFileInfo(vorschlag).path(), ausgabe.path());
        frm_statistik::setzeDateiwahl({});
        QVERIFY(Testhilfe::meldungen().isEmpty());
        // A long word keeps the window as it is.
        const int breite = haupt->minimumSizeHint().width();
        Meldung::status(QStringLiteral("PDF gespeichert: /") + QString(2000, QLatin1Char('x')));
        QVERIFY(haupt->lbl_status->text().size() < 300);
        QCOMPARE(haupt->minimumSizeHint().width(), breite);
        QTRY_VERIFY_WITH_TIMEOUT(!haupt->lbl_status->isVisible(), 10000);
    }

    // Column widths of the lists and of the log's overview, the statistics'
    // period and the folders of the file dialogs are there again after a
    // new start.
    void gemerktUeberDenNeustart()
    {
        haupt->bos->trigger();
        auto *bos = qobject_cast<FrequenzListe *>(haupt->frm_bos());
        const int bosBreite = bos->DataGrid1->columnWidth(1);
        bos->DataGrid1->horizontalHeader()->resizeSection(1, bosBreite + 57);
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        const int logBreite = log->DataGrid1->columnWidth(2);
        log->DataGrid1->horizontalHeader()->resizeSection(2, logBreite / 2);

        haupt->stat->trigger();
        auto *stat = qobject_cast<frm_statistik *>(haupt->frm_statistik());
        QVERIFY(stat);
        stat->chk_zeitraum->click();
        stat->dat_von->setDate(QDate(2024, 1, 1));
        stat->dat_bis->setDate(QDate(2024, 6, 30));
        QTest::mouseClick(stat->cmd_anzeigen, Qt::LeftButton);

        QTemporaryDir ausgabe;
        Dateidialog::setzeErsatz([&](Dateidialog::Art art, const QString &, const QStringList &) {
            return Dateidialog::Wahl{ausgabe.filePath(art == Dateidialog::Art::Speichern ? QStringLiteral("x.adi")
                                                                                         : QStringLiteral("y.adi")),
                                     QString()};
        });
        Dateidialog::zeigen(nullptr, Dateidialog::Art::Speichern, QString(), {});
        QTemporaryDir bilder;
        Dateidialog::merkeOrdner(Dateidialog::Ordner::Bild, bilder.filePath(QStringLiteral("a.png")));

        haupt.reset();   // the program ends
        starten();
        haupt->bos->trigger();
        bos = qobject_cast<FrequenzListe *>(haupt->frm_bos());
        QCOMPARE(bos->DataGrid1->columnWidth(1), bosBreite + 57);
        log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QCOMPARE(log->DataGrid1->columnWidth(2), logBreite / 2);
        haupt->stat->trigger();
        stat = qobject_cast<frm_statistik *>(haupt->frm_statistik());
        QVERIFY(stat->chk_zeitraum->isChecked() && stat->dat_von->isEnabled());
        QCOMPARE(stat->dat_von->date(), QDate(2024, 1, 1));
        QCOMPARE(stat->dat_bis->date(), QDate(2024, 6, 30));
        QCOMPARE(Dateidialog::letzterOrdner(Dateidialog::Ordner::Export), ausgabe.path());
        QCOMPARE(Dateidialog::letzterOrdner(Dateidialog::Ordner::Bild), bilder.path());
        QCOMPARE(Dateidialog::letzterOrdner(Dateidialog::Ordner::Import), QDir::homePath());

        // Widths for other columns, or out of all measure, are passed over;
        // a folder that is gone is too.
        haupt.reset();
        QSettings().setValue(QStringLiteral("Spaltenbreiten/frm_bos"), QVariantList{1, 2});
        QSettings().setValue(QStringLiteral("Spaltenbreiten/frm_eintrag"),
                             QVariantList{2655, 1875, 99999999, -5, QStringLiteral("x")});
        bilder.remove();
        starten();
        haupt->bos->trigger();
        bos = qobject_cast<FrequenzListe *>(haupt->frm_bos());
        QCOMPARE(bos->DataGrid1->columnWidth(1), bosBreite);
        log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QCOMPARE(log->DataGrid1->columnWidth(2), logBreite);
        QCOMPARE(Dateidialog::letzterOrdner(Dateidialog::Ordner::Bild), QDir::homePath());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }
};

TREMVIK_TEST_MAIN(TestFenstermenue)
#include "tst_fenstermenue.moc"
