// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/austausch/frm_zeiten.h"
#include "fenster/bausteine/dateidialog.h"
#include "fenster/bausteine/hintergrund.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "fenster/log/frm_eintrag.h"
#include "kern/austausch/austauschhilfe.h"
#include "kern/austausch/logaustausch.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/bestaende/logsuche.h"
#include "testhilfe.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace Austauschhilfe;

// Notes each progress dialog as it is shown, by its text.
class Fenstersicht : public QObject
{
public:
    explicit Fenstersicht(QStringList &gezeigt) : m_gezeigt(gezeigt) { qApp->installEventFilter(this); }
    ~Fenstersicht() override { qApp->removeEventFilter(this); }
    std::function<void(QWidget *)> beiAnzeige;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            if (auto *d = qobject_cast<QProgressDialog *>(o)) {
                m_gezeigt.append(d->labelText());
                if (beiAnzeige)
                    beiAnzeige(d);
            }
        return false;
    }

private:
    QStringList &m_gezeigt;
};

// The exchange in the program: the menu entries of "Datenverwaltung", the
// context menu of the list grids, their dialogs and what they leave behind.
class TestAustauschfenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;
    // What the file and time dialogs answer, and what they were asked.
    Dateidialog::Wahl wahl;
    std::optional<bool> ortszeit = true;
    QStringList gefragt;

    static int anzahl(frm_main &h)
    {
        auto *log = qobject_cast<frm_eintrag *>(h.frm_eintrag());
        return log ? log->lbl_treffer->text().section(QLatin1Char(' '), 0, 0).toInt() : -1;
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::leeren();
        gefragt.clear();
        ortszeit = true;
        Dateidialog::setzeErsatz([this](Dateidialog::Art art, const QString &titel, const QStringList &filter) {
            gefragt.append(QStringLiteral("%1: %2").arg(titel, filter.join(QStringLiteral(" | "))));
            Q_UNUSED(art)
            return wahl;
        });
        frm_zeiten::setzeErsatz([this](bool ausfuhr) {
            gefragt.append(ausfuhr ? QStringLiteral("Zeiten, Export") : QStringLiteral("Zeiten, Import"));
            return ortszeit;
        });
    }
    void cleanup()
    {
        Dateidialog::setzeErsatz({});
        frm_zeiten::setzeErsatz({});
        ordner.reset();
    }

    // After a search, only the records found; the file type chooses the format.
    void exportDesSuchergebnisses()
    {
        einfuegen(ordner->logDatei(), beispiele());
        frm_main h;
        h.zeigen();
        auto *log = qobject_cast<frm_eintrag *>(h.frm_eintrag());
        QVERIFY(log);
        log->opt_qth->setChecked(true);
        log->txt_suchbegriff->setText(gr("grönau"));
        log->cmd_suchen->click();
        QCOMPARE(anzahl(h), 1);

        const QString datei = ordner->pfad() + "/gefunden.adx";
        wahl = {datei, gr("ADX, ADIF als XML (*.adx)")};
        h.logexport->trigger();
        QCOMPARE(gefragt, (QStringList{gr("Log exportieren: ADIF (*.adi) | ADIF, nur ASCII (*.adi) | ADX, ADIF als "
                                          "XML (*.adx) | CSV für Tabellenkalkulationen (*.csv) | CSV nach RFC 4180 "
                                          "(*.csv)"),
                                       "Zeiten, Export"}));
        const QByteArray adx = Testhilfe::lies(datei);
        QVERIFY(adx.contains("<CALL>Florian Luebeck 83/1</CALL>"));
        QCOMPARE(adx.count("<RECORD>"), 1);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().first().text.startsWith(gr("1 Eintrag nach „%1“ geschrieben (ADIF (ADX); "
                                                                  "Ortszeit in UTC umgerechnet).")
                                                                   .arg(datei)));

        // Without the log window: every record; CSV asks nothing about times.
        h.schliesseEintrag();
        gefragt.clear();
        wahl = {ordner->pfad() + "/alle.csv", gr("CSV nach RFC 4180 (*.csv)")};
        h.logexport->trigger();
        QCOMPARE(gefragt.size(), 1);
        QVERIFY(Testhilfe::lies(wahl.datei).startsWith("CallSign,Skip,"));
        QCOMPARE(Testhilfe::lies(wahl.datei).count("\r\n"), 6);   // header and 5 records

        // Cancelled in the file or the time dialog: nothing is written.
        Testhilfe::leeren();
        wahl = {};
        h.logexport->trigger();
        wahl = {ordner->pfad() + "/nie.adi", gr("ADIF (*.adi)")};
        ortszeit.reset();
        h.logexport->trigger();
        QVERIFY(!QFile::exists(wahl.datei));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // An import shows up in the open log window at once.
    void importZeigtDasLogNeu()
    {
        // The file of another log.
        QTemporaryDir quelle;
        const QString andereDb = quelle.filePath("anderes.db");
        Testhilfe::ausSchema(andereDb, "kontakt.sql");
        einfuegen(andereDb, beispiele());
        const QString datei = quelle.filePath("log.adi");
        Logaustausch::exportieren(andereDb, Logsuche::alle().text(), datei, Logaustausch::Optionen());

        frm_main h;
        h.zeigen();
        QCOMPARE(anzahl(h), 0);
        wahl = {datei, gr("ADIF (*.adi *.adx)")};
        h.logimport->trigger();
        QCOMPARE(gefragt.last(), QStringLiteral("Zeiten, Import"));
        QCOMPARE(anzahl(h), 5);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY2(Testhilfe::meldungen().first().text.contains(gr("5 Datensätze ins Log aufgenommen, 0 schon "
                                                                 "vorhanden, 0 abgelehnt.")),
                 qPrintable(Testhilfe::meldungen().first().text));
        QCOMPARE(logInhalt(ordner->logDatei()),
                 alsText(Logdaten::lesen(andereDb, "select * from Kontakt order by frequenz asc")));

        // A record being made stays as it is: the window is not refreshed.
        auto *log = qobject_cast<frm_eintrag *>(h.frm_eintrag());
        log->cmd_neu->click();
        log->txt_callsign->setText("NEU1");
        Testhilfe::schreibe(ordner->pfad() + "/eins.adi", "<CALL:4>G4XY<EOR>");
        wahl = {ordner->pfad() + "/eins.adi", QString()};
        h.logimport->trigger();
        QCOMPARE(log->txt_callsign->text(), "NEU1");
        QVERIFY(log->cmd_speichern->isEnabled());
        QCOMPARE(logInhalt(ordner->logDatei()).size(), 6);
        // Once it is saved, the overview shows every record of the log, and
        // the saved record stays the one shown.
        log->cmd_speichern->click();
        QCOMPARE(logInhalt(ordner->logDatei()).size(), 7);
        QCOMPARE(anzahl(h), 7);
        QCOMPARE(log->DataGrid1->model()->rowCount(), 7);
        QCOMPARE(log->txt_callsign->text(), "NEU1");

        // The same for a record being edited and then cancelled, and for a
        // record left by a click in the overview.
        log->cmd_bearbeiten->click();
        Testhilfe::schreibe(ordner->pfad() + "/eins.adi", "<CALL:4>G4YZ<EOR>");
        h.logimport->trigger();
        QCOMPARE(anzahl(h), 7);
        log->cmd_abbrechen->click();
        QCOMPARE(anzahl(h), 8);
        QCOMPARE(log->DataGrid1->model()->rowCount(), 8);

        log->cmd_neu->click();
        Testhilfe::schreibe(ordner->pfad() + "/eins.adi", "<CALL:4>G4ZZ<EOR>");
        h.logimport->trigger();
        log->DataGrid1->setCurrentIndex(log->DataGrid1->model()->index(2, 0));
        QVERIFY(!log->cmd_speichern->isEnabled());
        QTRY_COMPARE(anzahl(h), 9);
        QCOMPARE(log->DataGrid1->model()->rowCount(), 9);
        QCOMPARE(logInhalt(ordner->logDatei()).size(), 9);
    }

    // A file with refused records: the user decides about the rest.
    void abgelehnteDatensaetze()
    {
        const QString datei = ordner->pfad() + "/fremd.adi";
        Testhilfe::schreibe(datei, "<CALL:4>G4AB<EOR>\n<CALL:2>DL1<EOR>\n<CALL:4>G4CD<EOR>\n");
        frm_main h;
        h.zeigen();
        wahl = {datei, QString()};
        h.logimport->trigger();
        QCOMPARE(Testhilfe::fragen().size(), 1);
        QVERIFY2(Testhilfe::fragen().first().startsWith(gr("1 von 3 Datensätzen aus „fremd.adi“ können nicht "
                                                           "übernommen werden:\n\nDatensatz 2 (Zeile 2): Feld CALL")),
                 qPrintable(Testhilfe::fragen().first()));
        QVERIFY(Testhilfe::fragen().first().endsWith(gr("Die übrigen 2 Datensätze trotzdem ins Log aufnehmen?")));
        QCOMPARE(logInhalt(ordner->logDatei()), QStringList());
        QVERIFY(Testhilfe::meldungen().isEmpty());

        Testhilfe::antworten(true);
        h.logimport->trigger();
        QCOMPARE(logInhalt(ordner->logDatei()).size(), 2);
        QCOMPARE(anzahl(h), 2);
        QVERIFY(Testhilfe::meldungen().first().text.contains(gr("2 Datensätze ins Log aufgenommen")));

        // A file with nothing to take, and a file that is no ADI at all.
        Testhilfe::leeren();
        Testhilfe::schreibe(datei, "<CALL:2>DL1<EOR>");
        h.logimport->trigger();
        QVERIFY(Testhilfe::fragen().isEmpty());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().first().text.endsWith(gr("Es wurde nichts ins Log aufgenommen.")));
        Testhilfe::leeren();
        wahl = {ordner->pfad() + "/fehlt.adx", QString()};
        h.logimport->trigger();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().first().symbol, Meldung::Symbol::Fehler);
        QCOMPARE(logInhalt(ordner->logDatei()).size(), 2);
    }

    // Each list grid offers its export in its context menu.
    void listeExportieren()
    {
        Frequenzdaten::bauen(ordner->frequenzDatei(), TREMVIK_QUELLEN "/db/frequenzen.sql",
                             TREMVIK_QUELLEN "/db/frequenzen");
        frm_main h;
        h.zeigen();
        h.afu->trigger();
        auto *afu = qobject_cast<FrequenzListe *>(h.frm_afu());
        QVERIFY(afu);
        QCOMPARE(afu->DataGrid1->contextMenuPolicy(), Qt::CustomContextMenu);
        QVERIFY(afu->DataGrid1->actions().contains(afu->liste_exportieren));
        QCOMPARE(afu->liste_exportieren->text(), gr("Liste exportieren …"));

        afu->txt_ort->setText("RV4");
        afu->cmd_sucheort->click();
        wahl = {ordner->pfad() + "/relais.csv", "CHIRP (*.csv)"};
        afu->liste_exportieren->trigger();
        QCOMPARE(gefragt.first(), gr("Liste exportieren: CSV von tremvik-tool (*.csv) | CHIRP (*.csv) | "
                                     "Gqrx-Lesezeichen (*.csv) | SDR++-Frequenzliste (*.json)"));
        const QByteArray chirp = Testhilfe::lies(wahl.datei);
        QVERIFY(chirp.startsWith("Location,Name,Frequency,"));
        QCOMPARE(chirp.count("\r\n"), 5);   // RV46 to RV49
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().first().text, gr("4 Zeilen nach „%1“ geschrieben (CHIRP).").arg(wahl.datei));

        // A repeater whose input is no frequency is written as simplex, and
        // the message says so.
        Testhilfe::sql(ordner->frequenzDatei(),
                       "update afu set Eingabe = '?' where Standort like 'Relaiskanal RV47 %'");
        Testhilfe::leeren();
        afu->liste_exportieren->trigger();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY2(Testhilfe::meldungen().first().text.endsWith(
                     gr("(CHIRP).\n\nAnders geschrieben:\nZeile 2 (Relaiskanal RV47 (2 m, Ablage -0,6 MHz) - kein "
                        "realer Standort) als Simplex geschrieben: Eingabe „?“ ist keine Frequenz: Die Frequenz "
                        "enthält das Zeichen „?“.")),
                 qPrintable(Testhilfe::meldungen().first().text));
        QCOMPARE(Testhilfe::lies(wahl.datei).count("\r\n"), 5);

        h.flug->trigger();
        wahl = {ordner->pfad() + "/flug.json", "SDR++-Frequenzliste (*.json)"};
        qobject_cast<FrequenzListe *>(h.frm_flug())->liste_exportieren->trigger();
        QVERIFY(Testhilfe::lies(wahl.datei).contains("\"mode\": 2"));
    }

    // Long work shows its progress, off the window's thread, and can be
    // stopped; the progress window is gone before the result is shown, so
    // that the message's OK is the one to click. Short work shows none.
    void fortschrittUndErgebnis()
    {
        QByteArray adi;
        for (int k = 0; k < 60000; ++k)
            adi += "<CALL:8>DL" + QByteArray::number(100000 + k) + " <FREQ:7>145.500 <EOR>\n";
        const QString datei = ordner->pfad() + "/gross.adi";
        Testhilfe::schreibe(datei, adi);
        // A remark made from NOTES off the window's thread, as one made on it.
        Testhilfe::schreibe(ordner->pfad() + "/klein.adi", "<CALL:4>G4AB<NOTES:11>Sch\xC3\xB6n\r\nklar<EOR>");

        // The progress dialogs shown, and whether one was still open at a message.
        QStringList gezeigt, beiMeldung;
        Fenstersicht sicht(gezeigt);
        ::Meldung::setzeAnzeige([&](const QString &text, ::Meldung::Symbol symbol) {
            Testhilfe::meldungen().append({text, symbol});
            const auto offen = [] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (qobject_cast<QProgressDialog *>(w) && w->isVisible())
                        return true;
                return false;
            }();
            beiMeldung.append(offen ? "offen" : "zu");
        });
        const auto zurueck = qScopeGuard([] {
            ::Meldung::setzeAnzeige([](const QString &text, ::Meldung::Symbol symbol) {
                Testhilfe::meldungen().append({text, symbol});
            });
            Hintergrund::setzeVerzoegerung(400);
        });

        frm_main h;
        h.zeigen();
        wahl = {ordner->pfad() + "/klein.adi", QString()};
        h.logimport->trigger();
        QCOMPARE(gezeigt, QStringList());
        QCOMPARE(beiMeldung, QStringList{"zu"});
        const QList<Logeintrag> klein = Logdaten::lesen(ordner->logDatei(), "select * from Kontakt");
        QCOMPARE(*klein.first()[Logeintrag::bemerkung], Logdaten::bemerkungAusText(gr("Schön\nklar")));

        Hintergrund::setzeVerzoegerung(0);
        wahl = {datei, QString()};
        beiMeldung.clear();
        h.logimport->trigger();
        QCOMPARE(gezeigt, QStringList{"Die Datensätze werden ins Log aufgenommen …"});
        QCOMPARE(beiMeldung, QStringList{"zu"});
        QCOMPARE(anzahl(h), 60001);

        // Stopped: the log is as it was. (The same file again would only
        // find duplicates; a new one.)
        for (char &c : adi)
            if (c == 'D')
                c = 'F';
        Testhilfe::schreibe(datei, adi);
        Testhilfe::leeren();
        beiMeldung.clear();
        const QByteArray vorher = Testhilfe::lies(ordner->logDatei());
        sicht.beiAnzeige = [](QWidget *d) {
            QTimer::singleShot(100, d, [d] {
                if (auto *knopf = d->findChild<QPushButton *>())
                    knopf->click();
            });
        };
        h.logimport->trigger();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().first().text, gr("Der Import wurde abgebrochen; das Log ist unverändert."));
        QCOMPARE(beiMeldung, QStringList{"zu"});
        QCOMPARE(Testhilfe::lies(ordner->logDatei()), vorher);
        QCOMPARE(anzahl(h), 60001);
    }

    void zeitenDialog()
    {
        frm_zeiten d(true);
        QCOMPARE(d.opt_ortszeit->text(), gr("Zeiten sind Ortszeit (umrechnen in UTC)"));
        QCOMPARE(d.opt_utc->text(), gr("Zeiten sind schon UTC"));
        QVERIFY(d.ortszeit());
        d.opt_utc->setChecked(true);
        QVERIFY(!d.ortszeit());
        d.show();
        d.cmd_ok->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        frm_zeiten ein(false);
        ein.show();
        ein.cmd_abbrechen->click();
        QCOMPARE(ein.result(), int(QDialog::Rejected));
    }
};

TREMVIK_TEST_MAIN(TestAustauschfenster)
#include "tst_austauschfenster.moc"
