// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/dateidialog.h"
#include "kern/daten/adodc.h"
#include "kern/basis/frequenz.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/frm_eintrag.h"
#include "fenster/haupt/frm_main.h"
#include "testhilfe.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

// Sorting a list window by a column through its header: frequencies and
// channels as numbers, text in German order, on top of what the window
// shows, until "R E S E T".
class TestListensortierung : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    // The places in the list's own order (by their characters), with their
    // frequencies and channels.
    void fuellen()
    {
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("delete from bos; delete from flugfunk; delete from afu; delete from fernwirken;"
                           "insert into bos values ('NW','Aachen','Feuerwehr','Florian Aachen','464','4,7');"
                           "insert into bos values ('BE','Berlin','Feuerwehr','Florian Berlin','411','unbekannt');"
                           "insert into bos values ('NW','Essen','THW','Heros Essen','240',NULL);"
                           "insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg','53','86,355');"
                           "insert into bos values ('NI','Hameln','THW','Heros Hameln','101','84,295');"
                           "insert into bos values ('BY','München','Polizei','Pegasus 12','352','172,220');"
                           "insert into bos values ('BY','Ofen','DLRG','Pelikan 7','207','85,3350');"
                           "insert into bos values ('BW','Öhringen','DLRG','Pelikan 2','463','145,5');"
                           "insert into bos values ('SH','Strasse','THW','Heros 1','410','145,500');"
                           "insert into bos values ('SH','Straße','THW','Heros 2','409','27,185');"
                           "insert into bos values ('BW','Überlingen','Polizei','Pegasus 3','219','');"
                           "insert into bos values ('BW','Ulm','Feuerwehr','Florian Ulm','1045','438,650');"
                           "insert into bos values ('BY','Zwiesel','Polizei','Pegasus 9','99','0,1291');"
                           "insert into flugfunk values ('118,805','Hamburg (EDDH) TWR');"
                           "insert into flugfunk values ('8,364','Bremen (EDDW) GND');"
                           "insert into flugfunk values ('123,455','Aachen');"
                           "insert into afu values ('Relais Ulm','145,0000','145,6000');"
                           "insert into afu values ('Relais Aalen','438,6500','431,0500');"
                           "insert into afu values ('Relais Kiel','51,8100','51,2100');"
                           "insert into fernwirken values ('169,4125','Kreis Harburg','Stadtwerke','Wasser','ZFA 1');"
                           "insert into fernwirken values ('0,1291','Mainhausen','EFR','Energie','DCF49');"
                           "insert into fernwirken values ('433,050','Hamburg','Hafen AG','Kran','KR 2');"
                           "insert into fernwirken values ('27,195','Lübeck','Hafen AG','Kran','KR 3');"));
    }

    FrequenzListe *oeffne(void (frm_main::*slot)(), KindFenster *(frm_main::*holen)() const)
    {
        (haupt.get()->*slot)();
        return qobject_cast<FrequenzListe *>((haupt.get()->*holen)());
    }
    FrequenzListe *bos() { return oeffne(&frm_main::bos_Click, &frm_main::frm_bos); }

    static int spaltenNummer(QTableView *grid, const QString &titel)
    {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == titel)
                return c;
        return -1;
    }

    static QStringList spalte(QTableView *grid, const QString &titel)
    {
        const int c = spaltenNummer(grid, titel);
        QStringList s;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            const QVariant v = grid->model()->index(r, c).data();
            s << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        }
        return s;
    }

    // A mouse click on the header, in the middle of the column's caption.
    static void kopfKlick(QTableView *grid, const QString &titel)
    {
        QHeaderView *kopf = grid->horizontalHeader();
        const int c = spaltenNummer(grid, titel);
        QVERIFY2(c >= 0, qPrintable(titel));
        grid->scrollTo(grid->model()->index(0, c));
        const QPoint mitte(kopf->sectionViewportPosition(c) + kopf->sectionSize(c) / 2, kopf->height() / 2);
        QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {}, mitte);
    }

    // The column and direction the header shows; -1 for none.
    static std::pair<int, Qt::SortOrder> anzeige(QTableView *grid)
    {
        QHeaderView *kopf = grid->horizontalHeader();
        if (!kopf->isSortIndicatorShown())
            return {-1, Qt::AscendingOrder};
        return {kopf->sortIndicatorSection(), kopf->sortIndicatorOrder()};
    }

    static QStringList umgekehrt(QStringList l)
    {
        std::reverse(l.begin(), l.end());
        return l;
    }

    static void suche(QLineEdit *feld, QPushButton *knopf, const QString &text)
    {
        feld->clear();
        QTest::keyClicks(feld, text);
        QTest::mouseClick(knopf, Qt::LeftButton);
    }

    const QStringList eigeneOrdnung{"Aachen",  "Berlin", "Essen", "Hamburg", "Hameln",   "München",   "Ofen",
                                    "Strasse", "Straße", "Ulm",   "Zwiesel", "Öhringen", "Überlingen"};

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

    // "Freq" sorts the frequencies by their value whatever their length and
    // decimals, the texts that are no frequency after them; a second click
    // turns the order round. Count, title and query text stay the list's.
    void frequenzenNachIhremWert()
    {
        FrequenzListe *w = bos();
        QVERIFY(w);
        const QString titel = w->windowTitle();
        QCOMPARE(spalte(w->DataGrid1, "Ort"), eigeneOrdnung);
        QCOMPARE(anzeige(w->DataGrid1).first, -1);

        kopfKlick(w->DataGrid1, "Freq");
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
        const QStringList aufsteigend{"NULL",  "0,1291",  "4,7",     "27,185",  "84,295", "85,3350",  "86,355",
                                      "145,5", "145,500", "172,220", "438,650", "",       "unbekannt"};
        QCOMPARE(spalte(w->DataGrid1, "Freq"), aufsteigend);
        const QStringList frequenzen = spalte(w->DataGrid1, "Freq");
        QVERIFY(frequenzen.indexOf("84,295") < frequenzen.indexOf("172,220"));
        QCOMPARE(anzeige(w->DataGrid1), std::make_pair(spaltenNummer(w->DataGrid1, "Freq"), Qt::AscendingOrder));
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [bos] order by Ort asc"));
        QCOMPARE(w->Adodc1->RecordCount(), 13);
        QCOMPARE(w->windowTitle(), titel);
        QCOMPARE(w->Adodc1->aktuelleZeile(), 0);
        QCOMPARE(w->DataGrid1->currentIndex().row(), 0);

        kopfKlick(w->DataGrid1, "Freq");
        QCOMPARE(spalte(w->DataGrid1, "Freq"), umgekehrt(aufsteigend));
        QCOMPARE(anzeige(w->DataGrid1), std::make_pair(spaltenNummer(w->DataGrid1, "Freq"), Qt::DescendingOrder));
        kopfKlick(w->DataGrid1, "Freq");
        QCOMPARE(spalte(w->DataGrid1, "Freq"), aufsteigend);

        // Channels are numbers too.
        kopfKlick(w->DataGrid1, "Kanal");
        QCOMPARE(spalte(w->DataGrid1, "Kanal"), QStringList({"53", "99", "101", "207", "219", "240", "352", "409",
                                                             "410", "411", "463", "464", "1045"}));
        QCOMPARE(anzeige(w->DataGrid1), std::make_pair(spaltenNummer(w->DataGrid1, "Kanal"), Qt::AscendingOrder));
    }

    // Every frequency column of the four lists, the repeaters' input and
    // output included, sorts by value.
    void jedeFrequenzspalteNachWert()
    {
        const struct
        {
            void (frm_main::*oeffnen)();
            KindFenster *(frm_main::*holen)() const;
            QStringList spalten;
        } listen[] = {{&frm_main::bos_Click, &frm_main::frm_bos, {"Freq"}},
                      {&frm_main::flug_Click, &frm_main::frm_flug, {"Frequenz"}},
                      {&frm_main::afu_Click, &frm_main::frm_afu, {"Eingabe", "Ausgabe"}},
                      {&frm_main::fw_Click, &frm_main::frm_fw, {"Frequenz"}}};
        for (const auto &l : listen) {
            FrequenzListe *w = oeffne(l.oeffnen, l.holen);
            for (const QString &titel : l.spalten) {
                kopfKlick(w->DataGrid1, titel);
                qint64 vorher = -1;
                for (const QString &f : spalte(w->DataGrid1, titel)) {
                    const std::optional<qint64> hz = Frequenz::hertz(f);
                    if (!hz)
                        continue;   // no frequency: after all of them
                    QVERIFY2(*hz >= vorher, qPrintable(w->objectName() + " " + titel + ": " + f));
                    vorher = *hz;
                }
            }
        }
        auto *fw = qobject_cast<FrequenzListe *>(haupt->frm_fw());
        QCOMPARE(spalte(fw->DataGrid1, "Frequenz"), QStringList({"0,1291", "27,195", "169,4125", "433,050"}));
        auto *afu = qobject_cast<FrequenzListe *>(haupt->frm_afu());
        QCOMPARE(spalte(afu->DataGrid1, "Ausgabe"), QStringList({"51,2100", "145,6000", "431,0500"}));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // Text in German order: umlauts with their letter, ß as ss; rows equal
    // in the clicked column stay in the list's own order, also reversed.
    void textInDeutscherOrdnung()
    {
        FrequenzListe *w = bos();
        kopfKlick(w->DataGrid1, "Ort");
        const QStringList deutsch{"Aachen",   "Berlin",  "Essen",  "Hamburg",    "Hameln", "München", "Ofen",
                                  "Öhringen", "Strasse", "Straße", "Überlingen", "Ulm",    "Zwiesel"};
        QCOMPARE(spalte(w->DataGrid1, "Ort"), deutsch);
        kopfKlick(w->DataGrid1, "Ort");
        QCOMPARE(spalte(w->DataGrid1, "Ort"), umgekehrt(deutsch));

        kopfKlick(w->DataGrid1, "BL");
        QCOMPARE(spalte(w->DataGrid1, "Ort"),
                 QStringList({"Berlin", "Ulm", "Öhringen", "Überlingen", "München", "Ofen", "Zwiesel", "Hamburg",
                              "Hameln", "Aachen", "Essen", "Strasse", "Straße"}));
        kopfKlick(w->DataGrid1, "BL");
        QCOMPARE(spalte(w->DataGrid1, "Ort"),
                 QStringList({"Strasse", "Straße", "Aachen", "Essen", "Hameln", "Hamburg", "München", "Ofen", "Zwiesel",
                              "Ulm", "Öhringen", "Überlingen", "Berlin"}));
        QCOMPARE(anzeige(w->DataGrid1), std::make_pair(0, Qt::DescendingOrder));
    }

    // A sort after a search orders only the rows found, and a later search
    // keeps the order; the query texts stay exactly the list's own.
    void sortierungNachSuche()
    {
        FrequenzListe *w = bos();
        const QString titel = w->windowTitle();
        suche(w->txt_ort, w->cmd_sucheort, "en");
        QCOMPARE(spalte(w->DataGrid1, "Ort"),
                 QStringList({"Aachen", "Essen", "München", "Ofen", "Öhringen", "Überlingen"}));
        kopfKlick(w->DataGrid1, "Freq");
        QCOMPARE(spalte(w->DataGrid1, "Ort"),
                 QStringList({"Essen", "Aachen", "Ofen", "Öhringen", "München", "Überlingen"}));
        QCOMPARE(w->Adodc1->RecordCount(), 6);
        QCOMPARE(w->Adodc1->RecordSource(),
                 QStringLiteral("select * from [bos] where Ort like '%en%' order by Ort asc"));

        suche(w->txt_freq, w->cmd_suchefreq, "8");
        QCOMPARE(w->Adodc1->RecordSource(),
                 QStringLiteral("select * from [bos] where Freq like '%8%' order by Ort asc"));
        QCOMPARE(spalte(w->DataGrid1, "Freq"), QStringList({"27,185", "84,295", "85,3350", "86,355", "438,650"}));
        QCOMPARE(anzeige(w->DataGrid1).first, spaltenNummer(w->DataGrid1, "Freq"));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("en"));
        QCOMPARE(w->windowTitle(), titel);
    }

    // "R E S E T" shows the whole list in its own order again, without the
    // header's indicator; a failed sort leaves rows and indicator as they were.
    void resetBeendetDieSortierung()
    {
        FrequenzListe *w = bos();
        suche(w->txt_ort, w->cmd_sucheort, "Ham");
        kopfKlick(w->DataGrid1, "Freq");
        kopfKlick(w->DataGrid1, "Freq");
        QCOMPARE(spalte(w->DataGrid1, "Ort"), QStringList({"Hamburg", "Hameln"}));
        QTest::mouseClick(w->cmd_reset, Qt::LeftButton);
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [bos] order by Ort asc"));
        QCOMPARE(w->Adodc1->gezeigteAbfrage().text(), w->Adodc1->RecordSource());
        QCOMPARE(spalte(w->DataGrid1, "Ort"), eigeneOrdnung);
        QCOMPARE(anzeige(w->DataGrid1).first, -1);
        QVERIFY(w->txt_ort->text().isEmpty());
        // A new click starts ascending again.
        kopfKlick(w->DataGrid1, "Freq");
        QCOMPARE(spalte(w->DataGrid1, "Freq").value(1), QStringLiteral("0,1291"));

        // A sort that cannot run (the list's own sort column is gone): the
        // message, and the rows and the indicator stay.
        Testhilfe::sql(ordner->frequenzDatei(), QStringLiteral("alter table bos rename column Ort to Ortsname"));
        const QStringList vorher = spalte(w->DataGrid1, "Freq");
        kopfKlick(w->DataGrid1, "Kanal");
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(spalte(w->DataGrid1, "Freq"), vorher);
        QCOMPARE(anzeige(w->DataGrid1), std::make_pair(spaltenNummer(w->DataGrid1, "Freq"), Qt::AscendingOrder));
    }

    // The export writes the rows in the order the grid shows them.
    void exportInDerGezeigtenOrdnung()
    {
        const QString datei = ordner->pfad() + QStringLiteral("/bos.csv");
        Dateidialog::setzeErsatz([&](Dateidialog::Art, const QString &, const QStringList &) {
            return Dateidialog::Wahl{datei, QStringLiteral("CSV von tremvik-tool (*.csv)")};
        });
        FrequenzListe *w = bos();
        suche(w->txt_ort, w->cmd_sucheort, "en");
        kopfKlick(w->DataGrid1, "Freq");
        kopfKlick(w->DataGrid1, "Freq");
        w->liste_exportieren->trigger();
        Dateidialog::setzeErsatz({});
        const QString text = QString::fromUtf8(Testhilfe::lies(datei));
        const QStringList orte = spalte(w->DataGrid1, "Ort");
        QCOMPARE(orte, QStringList({"Überlingen", "München", "Öhringen", "Ofen", "Aachen", "Essen"}));
        int vorher = -1;
        for (const QString &ort : orte) {   // every place after the one before it
            const int stelle = text.indexOf(ort);
            QVERIFY2(stelle > vorher, qPrintable(ort + "\n" + text));
            vorher = stelle;
        }
    }

    // The log overview's header keeps its own behaviour: no sorting.
    void logUebersichtSortiertNicht()
    {
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        QVERIFY(log);
        const QString vorher = log->Adodc1->RecordSource();
        kopfKlick(log->DataGrid1, log->DataGrid1->model()->headerData(2, Qt::Horizontal).toString());
        QCOMPARE(log->Adodc1->RecordSource(), vorher);
        QVERIFY(!log->Adodc1->ordnung());
        QVERIFY(!log->DataGrid1->horizontalHeader()->isSortIndicatorShown());
    }
};

TREMVIK_TEST_MAIN(TestListensortierung)
#include "tst_listensortierung.moc"
