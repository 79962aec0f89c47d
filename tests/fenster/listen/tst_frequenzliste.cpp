// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "kern/daten/adodc.h"
#include "testhilfe.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>

// The four frequency list windows, driven through the real main window.
class TestFrequenzliste : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    void fuellen()
    {
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("delete from bos; delete from flugfunk; delete from afu; delete from fernwirken;"
                           "insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464','86,355');"
                           "insert into bos values ('BY','München','Polizei','Pegasus 12','411','85,335');"
                           "insert into bos values ('NI','Hameln','THW','Heros Hameln','240','172,940');"
                           "insert into bos values ('HH','Hamburg''s Hafen','DLRG','Pelikan 7','145','84,515');"
                           "insert into bos values ('BE','Berlin',NULL,NULL,'101','169,810');"
                           "insert into bos values ('SH','100%_Kiel','Feuerwehr','Florian Kiel','452','86,115');"
                           "insert into flugfunk values ('118,805','Hamburg (EDDH) TWR');"
                           "insert into flugfunk values ('121,755','Bremen (EDDW) GND');"
                           "insert into flugfunk values ('123,455','Aachen');"
                           "insert into afu values ('Relais Ulm','145,0000','145,6000');"
                           "insert into afu values ('Relais Aalen','438,6500','431,0500');"
                           "insert into fernwirken values ('169,4125','Kreis Harburg','Stadtwerke','Wasser','ZFA 1');"
                           "insert into fernwirken values ('0,1291','Mainhausen','EFR','Energie','DCF49');"
                           "insert into fernwirken values ('433,050','Hamburg','Hafen AG','Kran','KR 2');"));
    }

    FrequenzListe *oeffne(void (frm_main::*slot)(), KindFenster *(frm_main::*holen)() const)
    {
        (haupt.get()->*slot)();
        return qobject_cast<FrequenzListe *>((haupt.get()->*holen)());
    }

    static QStringList spalte(FrequenzListe *w, int c)
    {
        QStringList s;
        auto *m = w->DataGrid1->model();
        for (int r = 0; r < m->rowCount(); ++r)
            s << m->index(r, c).data().toString();
        return s;
    }

    static QStringList kopf(FrequenzListe *w)
    {
        QStringList s;
        auto *m = w->DataGrid1->model();
        for (int c = 0; c < m->columnCount(); ++c)
            s << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return s;
    }

    static void suche(QLineEdit *feld, QPushButton *knopf, const QString &text)
    {
        feld->clear();
        QTest::keyClicks(feld, text);
        QTest::mouseClick(knopf, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        fuellen();
        Testhilfe::leeren();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
    }
    void cleanup()
    {
        haupt.reset();
        ordner.reset();
    }

    void titelSpaltenUndSortierung()
    {
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        QVERIFY(bos);
        QCOMPARE(bos->objectName(), QStringLiteral("frm_bos"));
        QCOMPARE(bos->windowTitle(), QStringLiteral("BOS-Frequenzen   6 Datensätze"));
        QCOMPARE(kopf(bos), QStringList({"BL", "Ort", "Benutzer", "Rufname", "Kanal", "Freq"}));
        QCOMPARE(spalte(bos, 1),
                 QStringList({"100%_Kiel", "Berlin", "Hamburg", "Hamburg's Hafen", "Hameln", "München"}));
        QCOMPARE(bos->DataGrid1->columnWidth(1), 242);   // 3630 twips at 96 dpi

        auto *flug = oeffne(&frm_main::flug_Click, &frm_main::frm_flug);
        QCOMPARE(flug->windowTitle(), QStringLiteral(" FlugFunk   3 Datensätze"));
        QCOMPARE(kopf(flug), QStringList({"Frequenz", "Ort"}));
        QCOMPARE(spalte(flug, 0), QStringList({"123,455", "121,755", "118,805"}));
        QVERIFY(!flug->Frame2 && !flug->txt_rufname && !flug->cmd_sucherufname);
        QVERIFY(!flug->findChild<QLineEdit *>(QStringLiteral("txt_rufname")));

        auto *afu = oeffne(&frm_main::afu_Click, &frm_main::frm_afu);
        QCOMPARE(afu->windowTitle(), QStringLiteral("AFU - Repeater   2 Datensätze"));
        QCOMPARE(kopf(afu), QStringList({"Standort", "Eingabe", "Ausgabe"}));
        QCOMPARE(spalte(afu, 0), QStringList({"Relais Aalen", "Relais Ulm"}));
        QCOMPARE(afu->Frame2->title(), QStringLiteral("Suche mit Eingabefrequenz"));
        QCOMPARE(afu->Frame4->title(), QStringLiteral("Suche mit Ausgabefrequenz"));

        auto *fw = oeffne(&frm_main::fw_Click, &frm_main::frm_fw);
        QCOMPARE(fw->windowTitle(), QStringLiteral("Fernwirken   3 Datensätze"));
        QCOMPARE(kopf(fw), QStringList({"Frequenz", "Kreis/Stadt", "Firma", "Anwenderart"}));
        QCOMPARE(spalte(fw, 0), QStringList({"0,1291", "169,4125", "433,050"}));
        QVERIFY(!fw->Frame2->isVisible());
        QVERIFY(fw->Frame1->isVisible() && fw->Frame4->isVisible());
    }

    void fensterFesteGroesseOhneMinMax()
    {
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        auto *sub = qobject_cast<QMdiSubWindow *>(bos->parentWidget());
        QVERIFY(sub);
        QCOMPARE(bos->size(), QSize(827, 565));   // 12405 x 8475 twips
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        QVERIFY(!(sub->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(sub->windowFlags() & Qt::WindowCloseButtonHint);
    }

    // The first control in tab order has the focus on opening, and Tab goes
    // through the controls in the window's order, down to the grid.
    void ersterFokusUndTabReihenfolge()
    {
        auto reihe = [](FrequenzListe *w, const QList<QWidget *> &erwartet) {
            QTRY_COMPARE(QApplication::focusWidget(), erwartet.front());
            for (qsizetype i = 1; i < erwartet.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QVERIFY2(QApplication::focusWidget() == erwartet[i], qPrintable(w->objectName()));
            }
        };
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        reihe(bos, {bos->cmd_reset, bos->cmd_suchefreq, bos->txt_freq, bos->cmd_sucherufname, bos->txt_rufname,
                    bos->cmd_sucheort, bos->txt_ort, bos->DataGrid1});
        auto *flug = oeffne(&frm_main::flug_Click, &frm_main::frm_flug);
        reihe(flug, {flug->txt_ort, flug->cmd_sucheort, flug->txt_freq, flug->cmd_suchefreq, flug->cmd_reset,
                     flug->DataGrid1});
        auto *afu = oeffne(&frm_main::afu_Click, &frm_main::frm_afu);
        reihe(afu, {afu->txt_ort, afu->cmd_sucheort, afu->txt_rufname, afu->cmd_sucherufname, afu->txt_freq,
                    afu->cmd_suchefreq, afu->cmd_reset, afu->DataGrid1});
        // The hidden call-name search of the telecontrol list is passed over.
        auto *fw = oeffne(&frm_main::fw_Click, &frm_main::frm_fw);
        reihe(fw, {fw->txt_ort, fw->cmd_sucheort, fw->txt_freq, fw->cmd_suchefreq, fw->cmd_reset, fw->DataGrid1});
    }

    // Every search builds exactly its query and shows exactly its rows.
    void suchenBauenIhreAbfrage_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("abfrage");
        QTest::addColumn<QStringList>("erste");
        QTest::newRow("bos Ort") << 0 << "txt_ort"
                                 << "ham"
                                 << "select * from [bos] where Ort like '%ham%' order by Ort asc"
                                 << QStringList({"Hamburg", "Hamburg's Hafen", "Hameln"});
        QTest::newRow("bos Umlaut") << 0 << "txt_ort"
                                    << "MÜN"
                                    << "select * from [bos] where Ort like '%MÜN%' order by Ort asc"
                                    << QStringList({"München"});
        QTest::newRow("bos Rufname") << 0 << "txt_rufname"
                                     << "Florian"
                                     << "select * from [bos] where Rufname like '%Florian%' order by Ort asc"
                                     << QStringList({"100%_Kiel", "Hamburg"});
        QTest::newRow("bos Freq") << 0 << "txt_freq"
                                  << "35"
                                  << "select * from [bos] where Freq like '%35%' order by Ort asc"
                                  << QStringList({"Hamburg", "München"});
        QTest::newRow("bos leer ohne NULL")
            << 0 << "txt_rufname"
            << ""
            << "select * from [bos] where Rufname like '%%' order by Ort asc"
            << QStringList({"100%_Kiel", "Hamburg", "Hamburg's Hafen", "Hameln", "München"});
        QTest::newRow("bos Apostroph") << 0 << "txt_ort"
                                       << "'"
                                       << "select * from [bos] where Ort like '%''%' order by Ort asc"
                                       << QStringList({"Hamburg's Hafen"});
        QTest::newRow("bos Apostroph im Wort")
            << 0 << "txt_ort"
            << "Hamburg's"
            << "select * from [bos] where Ort like '%Hamburg''s%' order by Ort asc" << QStringList({"Hamburg's Hafen"});
        QTest::newRow("bos Prozent ist Platzhalter") << 0 << "txt_ort"
                                                     << "H%n"
                                                     << "select * from [bos] where Ort like '%H%n%' order by Ort asc"
                                                     << QStringList({"Hamburg's Hafen", "Hameln", "München"});
        QTest::newRow("bos Unterstrich ist Platzhalter")
            << 0 << "txt_ort"
            << "Ham_u"
            << "select * from [bos] where Ort like '%Ham_u%' order by Ort asc"
            << QStringList({"Hamburg", "Hamburg's Hafen"});
        QTest::newRow("bos Leerzeichen zählt")
            << 0 << "txt_ort"
            << " Hafen"
            << "select * from [bos] where Ort like '% Hafen%' order by Ort asc" << QStringList({"Hamburg's Hafen"});
        QTest::newRow("flug Ort") << 1 << "txt_ort"
                                  << "EDD"
                                  << "select * from [flugfunk] where Ort like '%EDD%' order by Ort asc"
                                  << QStringList({"121,755", "118,805"});
        QTest::newRow("flug Frequenz") << 1 << "txt_freq"
                                       << "8,8"
                                       << "select * from [flugfunk] where Frquenz like '%8,8%' order by Ort asc"
                                       << QStringList({"118,805"});
        QTest::newRow("afu Standort") << 2 << "txt_ort"
                                      << "ulm"
                                      << "select * from [afu] where standort like '%ulm%' order by standort asc"
                                      << QStringList({"Relais Ulm"});
        QTest::newRow("afu Eingabe") << 2 << "txt_rufname"
                                     << "438"
                                     << "select * from [afu] where eingabe like '%438%' order by standort asc"
                                     << QStringList({"Relais Aalen"});
        QTest::newRow("afu Ausgabe") << 2 << "txt_freq"
                                     << "145,6"
                                     << "select * from [afu] where ausgabe like '%145,6%' order by standort asc"
                                     << QStringList({"Relais Ulm"});
        QTest::newRow("fw Stadt") << 3 << "txt_ort"
                                  << "HA"
                                  << "select * from [fernwirken] where Stadt like '%HA%' order by Frequenz asc"
                                  << QStringList({"0,1291", "169,4125", "433,050"});
        QTest::newRow("fw Frequenz") << 3 << "txt_freq"
                                     << "169"
                                     << "select * from [fernwirken] where Frequenz like '%169%' order by Frequenz asc"
                                     << QStringList({"169,4125"});
    }
    void suchenBauenIhreAbfrage()
    {
        QFETCH(int, art);
        QFETCH(QString, feld);
        QFETCH(QString, text);
        QFETCH(QString, abfrage);
        QFETCH(QStringList, erste);
        const std::pair<void (frm_main::*)(), KindFenster *(frm_main::*)() const> wege[] = {
            {&frm_main::bos_Click, &frm_main::frm_bos},
            {&frm_main::flug_Click, &frm_main::frm_flug},
            {&frm_main::afu_Click, &frm_main::frm_afu},
            {&frm_main::fw_Click, &frm_main::frm_fw}};
        auto *w = oeffne(wege[art].first, wege[art].second);
        const QString titel = w->windowTitle();
        auto *box = w->findChild<QLineEdit *>(feld);
        QPushButton *knopf = box == w->txt_ort    ? w->cmd_sucheort
                             : box == w->txt_freq ? w->cmd_suchefreq
                                                  : w->cmd_sucherufname;
        suche(box, knopf, text);
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
        QCOMPARE(w->Adodc1->RecordSource(), abfrage);
        const int sortSpalte = art == 1 ? 0 : art == 0 ? 1 : 0;
        QCOMPARE(spalte(w, sortSpalte), erste);
        QCOMPARE(w->windowTitle(), titel);   // the title keeps the count read at load
        QCOMPARE(box->text(), text);
    }

    // A NUL character cannot occur in the lists: a search for it finds
    // nothing, in every search box (the hidden one of frm_fw too).
    void nulZeichenFindetNichts()
    {
        const std::pair<void (frm_main::*)(), KindFenster *(frm_main::*)() const> wege[] = {
            {&frm_main::bos_Click, &frm_main::frm_bos},
            {&frm_main::flug_Click, &frm_main::frm_flug},
            {&frm_main::afu_Click, &frm_main::frm_afu},
            {&frm_main::fw_Click, &frm_main::frm_fw}};
        const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        int kaesten = 0;
        for (const auto &weg : wege) {
            auto *w = oeffne(weg.first, weg.second);
            const QString titel = w->windowTitle();
            const std::pair<QLineEdit *, void (FrequenzListe::*)()> suchen[] = {
                {w->txt_ort, &FrequenzListe::cmd_sucheort_Click},
                {w->txt_rufname, &FrequenzListe::cmd_sucherufname_Click},
                {w->txt_freq, &FrequenzListe::cmd_suchefreq_Click}};
            for (const auto &suche : suchen) {
                if (!suche.first)
                    continue;
                ++kaesten;
                suche.first->setText(text);
                (w->*suche.second)();
                QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
                QCOMPARE(w->Adodc1->RecordCount(), 0);
                QVERIFY(w->Adodc1->RecordSource().contains(text));
                QCOMPARE(w->windowTitle(), titel);
                QCOMPARE(suche.first->text(), text);
            }
            w->cmd_reset_Click();
            QVERIFY(w->Adodc1->RecordCount() > 0);
        }
        QCOMPARE(kaesten, 11);
    }

    void sucheErsetztStattEinzuengen()
    {
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        suche(bos->txt_ort, bos->cmd_sucheort, QStringLiteral("Ham"));
        QCOMPARE(bos->Adodc1->RecordCount(), 3);
        suche(bos->txt_freq, bos->cmd_suchefreq, QStringLiteral("86,"));
        QCOMPARE(spalte(bos, 1), QStringList({"100%_Kiel", "Hamburg"}));
        QCOMPARE(bos->txt_ort->text(), QStringLiteral("Ham"));
    }

    void resetLeertDieFelder()
    {
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        QTest::keyClicks(bos->txt_ort, QStringLiteral("Ham"));
        QTest::keyClicks(bos->txt_rufname, QStringLiteral("Flo"));
        QTest::keyClicks(bos->txt_freq, QStringLiteral("86"));
        QTest::mouseClick(bos->cmd_sucheort, Qt::LeftButton);
        QCOMPARE(bos->Adodc1->RecordCount(), 3);
        QTest::mouseClick(bos->cmd_reset, Qt::LeftButton);
        QCOMPARE(bos->Adodc1->RecordSource(), QStringLiteral("select * from [bos] order by Ort asc"));
        QCOMPARE(bos->Adodc1->RecordCount(), 6);
        QVERIFY(bos->txt_ort->text().isEmpty() && bos->txt_rufname->text().isEmpty()
                && bos->txt_freq->text().isEmpty());

        // The hidden call-name box of the telecontrol list is emptied too.
        auto *fw = oeffne(&frm_main::fw_Click, &frm_main::frm_fw);
        fw->txt_rufname->setText(QStringLiteral("ZFA"));
        fw->txt_ort->setText(QStringLiteral("x"));
        QTest::mouseClick(fw->cmd_reset, Qt::LeftButton);
        QVERIFY(fw->txt_rufname->text().isEmpty() && fw->txt_ort->text().isEmpty());
    }

    // Return and Enter in a search box start no search, in any box of any
    // list (no button is the default one); the box's button, focused and
    // pressed with the space bar, does.
    void eingabetasteSuchtNicht_data()
    {
        QTest::addColumn<int>("liste");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("abfrage");
        QTest::addColumn<int>("treffer");
        const QList<std::tuple<int, const char *, const char *, const char *, int>> faelle{
            {0, "txt_ort", "Ham", "select * from [bos] where Ort like '%Ham%' order by Ort asc", 3},
            {0, "txt_rufname", "Florian", "select * from [bos] where Rufname like '%Florian%' order by Ort asc", 2},
            {0, "txt_freq", "86,", "select * from [bos] where Freq like '%86,%' order by Ort asc", 2},
            {1, "txt_ort", "EDD", "select * from [flugfunk] where Ort like '%EDD%' order by Ort asc", 2},
            {1, "txt_freq", "123", "select * from [flugfunk] where Frquenz like '%123%' order by Ort asc", 1},
            {2, "txt_ort", "Ulm", "select * from [afu] where standort like '%Ulm%' order by standort asc", 1},
            {2, "txt_rufname", "438", "select * from [afu] where eingabe like '%438%' order by standort asc", 1},
            {2, "txt_freq", "145", "select * from [afu] where ausgabe like '%145%' order by standort asc", 1},
            {3, "txt_ort", "Hamburg", "select * from [fernwirken] where Stadt like '%Hamburg%' order by Frequenz asc",
             1},
            {3, "txt_rufname", "ZFA", "select * from [fernwirken] where Rufname like '%ZFA%' order by Frequenz asc", 1},
            {3, "txt_freq", "433", "select * from [fernwirken] where Frequenz like '%433%' order by Frequenz asc", 1},
        };
        const char *namen[] = {"bos", "flug", "afu", "fw"};
        for (const auto &[liste, feld, text, abfrage, treffer] : faelle)
            QTest::addRow("%s %s", namen[liste], feld)
                << liste << QString::fromUtf8(feld) << QString::fromUtf8(text) << QString::fromUtf8(abfrage) << treffer;
    }
    void eingabetasteSuchtNicht()
    {
        QFETCH(int, liste);
        QFETCH(QString, feld);
        QFETCH(QString, text);
        QFETCH(QString, abfrage);
        QFETCH(int, treffer);
        const std::pair<void (frm_main::*)(), KindFenster *(frm_main::*)() const> fenster[] = {
            {&frm_main::bos_Click, &frm_main::frm_bos},
            {&frm_main::flug_Click, &frm_main::frm_flug},
            {&frm_main::afu_Click, &frm_main::frm_afu},
            {&frm_main::fw_Click, &frm_main::frm_fw}};
        FrequenzListe *w = oeffne(fenster[liste].first, fenster[liste].second);
        const QString geladen = w->Adodc1->RecordSource();
        auto *box = w->findChild<QLineEdit *>(feld);
        QVERIFY(box);
        if (!box->isVisibleTo(w)) {
            // The hidden call-name search of the telecontrol list: no one
            // can type there, and nothing searches.
            QVERIFY(!box->isVisible());
            QCOMPARE(geladen, QStringLiteral("select * from [fernwirken] order by Frequenz asc"));
            return;
        }
        box->setFocus();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w->Adodc1->RecordSource(), geladen);
        QCOMPARE(box->text(), text);

        auto *knopf = box->parentWidget()->findChild<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(knopf && !knopf->isDefault());
        knopf->setFocus();
        QTest::keyClick(knopf, Qt::Key_Space);
        QCOMPARE(w->Adodc1->RecordSource(), abfrage);
        QCOMPARE(w->Adodc1->RecordCount(), treffer);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void wiederOeffnenAendertNichtsSchliessenLiestNeu()
    {
        auto *bos = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        suche(bos->txt_ort, bos->cmd_sucheort, QStringLiteral("Ham"));
        QCOMPARE(oeffne(&frm_main::bos_Click, &frm_main::frm_bos), bos);
        QCOMPARE(bos->Adodc1->RecordCount(), 3);
        QCOMPARE(bos->txt_ort->text(), QStringLiteral("Ham"));

        Testhilfe::sql(ordner->frequenzDatei(),
                       QStringLiteral("insert into bos values ('HB','Bremen','THW','Heros','1','2')"));
        QPointer<QWidget> rahmen = bos->parentWidget();
        rahmen->close();
        QTRY_VERIFY(rahmen.isNull());
        QVERIFY(!haupt->frm_bos());
        auto *neu = oeffne(&frm_main::bos_Click, &frm_main::frm_bos);
        QCOMPARE(neu->windowTitle(), QStringLiteral("BOS-Frequenzen   7 Datensätze"));
        QVERIFY(neu->txt_ort->text().isEmpty());
    }

    void leereTabelle()
    {
        Testhilfe::sql(ordner->frequenzDatei(), QStringLiteral("delete from afu"));
        auto *afu = oeffne(&frm_main::afu_Click, &frm_main::frm_afu);
        QCOMPARE(afu->windowTitle(), QStringLiteral("AFU - Repeater   0 Datensätze"));
        QCOMPARE(afu->DataGrid1->model()->rowCount(), 0);
        suche(afu->txt_ort, afu->cmd_sucheort, QStringLiteral("x"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    void fehlendeDatenbankWirdGemeldet()
    {
        QFile::remove(ordner->frequenzDatei());
        QVERIFY(!oeffne(&frm_main::bos_Click, &frm_main::frm_bos));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.contains(ordner->frequenzDatei()));
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QVERIFY(!QFile::exists(ordner->frequenzDatei()));   // opening never creates it
        QVERIFY(haupt->isVisible());
    }
};

TREMVIK_TEST_MAIN(TestFrequenzliste)
#include "tst_frequenzliste.moc"
