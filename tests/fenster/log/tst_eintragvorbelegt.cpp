// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"
#include "fenster/haupt/frm_main.h"
#include "kern/empfaenger/empfaengerhilfe.h"
#include "kern/empfaenger/rigctl.h"

#include <QAction>
#include <QDate>
#include <QSettings>
#include <QTabBar>

// A new record with values the program filled in (the receiver's frequency
// and mode on "NEU", today's date on entering the date box, the values
// another window hands over): none of it is the user's input. Left in any
// way without a change, the record is dropped; once the user typed into it,
// it is stored with those values.
class TestEintragVorbelegt : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    frm_eintrag *log() const { return qobject_cast<frm_eintrag *>(haupt->frm_eintrag()); }
    int anzahl() const { return Testhilfe::zahl(ordner->logDatei(), QStringLiteral("select count(*) from Kontakt")); }
    QString zeilen(const char *sql) const { return Eintraghilfe::lies(ordner->logDatei(), QString::fromUtf8(sql)); }

    // A click on a control of the log window, on the tab it lies on.
    void klick(QWidget *c)
    {
        frm_eintrag *w = log();
        w->SSTab1->setCurrentIndex(w->SSTab1->widget(0)->isAncestorOf(c) ? 0 : 1);
        QTest::mouseClick(c, Qt::LeftButton);
    }
    void tabKlick(int reiter)
    {
        QTabBar *leiste = log()->SSTab1->tabBar();
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(reiter).center());
    }
    void gridKlick(int zeile)
    {
        frm_eintrag *w = log();
        w->SSTab1->setCurrentIndex(1);
        const QRect r = w->DataGrid1->visualRect(w->DataGrid1->model()->index(zeile, 0));
        QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }

    // Every way of leaving a record being made, as the user does it.
    void verlassen(const QString &wie)
    {
        if (wie == QLatin1String("RESET"))
            klick(log()->cmd_alle);
        else if (wie == QLatin1String("SUCHEN")) {
            log()->txt_suchbegriff->setText(QStringLiteral("DL"));
            klick(log()->cmd_suchen);
        } else if (wie == QLatin1String("Grid"))
            gridKlick(1);
        else if (wie == QLatin1String("Reiter")) {
            tabKlick(1);
            tabKlick(0);
            tabKlick(1);
            gridKlick(0);
        } else if (wie == QLatin1String("Sicherung"))
            haupt->sicher->trigger();
        else if (wie == QLatin1String("Wiederherstellung"))
            haupt->wer->trigger();
        else if (wie == QLatin1String("ENDE"))
            haupt->end->trigger();
        else
            QFAIL("unbekannter Weg");
    }

    // The receiver on 145.5 MHz FM, connected.
    bool empfaengerVerbinden(Empfaengerhilfe::Rigctld &rigctld)
    {
        if (!rigctld.starten())
            return false;
        rigctld.rigctl({QStringLiteral("F"), QStringLiteral("145500000")});
        rigctld.rigctl({QStringLiteral("M"), QStringLiteral("FM"), QStringLiteral("0")});
        haupt->empfaenger()->verbinden(QStringLiteral("127.0.0.1"), rigctld.port());
        return QTest::qWaitFor(
            [this] { return haupt->lbl_empfaenger->text().startsWith(QStringLiteral("Empfänger: 145,500 MHz FM")); },
            10000);
    }

    // The log window open again after a way of leaving closed it; after
    // ENDE the program is started anew.
    bool wiederOeffnen(Empfaengerhilfe::Rigctld &rigctld)
    {
        if (!haupt->isVisible()) {
            haupt = std::make_unique<frm_main>();
            haupt->zeigen();
            if (!QTest::qWaitForWindowActive(haupt.get()))
                return false;
            haupt->empfaenger()->verbinden(QStringLiteral("127.0.0.1"), rigctld.port());
            if (!QTest::qWaitFor(
                    [this] {
                        return haupt->lbl_empfaenger->text().startsWith(QStringLiteral("Empfänger: 145,500 MHz FM"));
                    },
                    10000))
                return false;
        }
        if (!log())
            haupt->erre->trigger();
        return QTest::qWaitFor([this] { return log() != nullptr; }, 5000);
    }

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::sql(ordner->logDatei(),
                       QStringLiteral("insert into Kontakt (callsign, frequenz, band) values ('DL1AAA','27,185','AM'),"
                                      " ('DL2BBB','446,006','FM');"));
        Testhilfe::leeren();
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QVERIFY(QTest::qWaitForWindowActive(haupt.get()));
        QTRY_VERIFY(log());
    }
    void cleanup()
    {
        haupt.reset();
        ordner.reset();
        QSettings().clear();
    }

    void wegeDesVerlassens_data()
    {
        QTest::addColumn<QString>("wie");
        for (const char *wie : {"RESET", "SUCHEN", "Grid", "Reiter", "Sicherung", "Wiederherstellung", "ENDE"})
            QTest::newRow(wie) << QString::fromUtf8(wie);
    }
    // NEU with a receiver connected fills in its frequency and mode; left
    // without a word typed, nothing is stored. Typed into, the record is
    // stored with the receiver's values, whichever way it is left.
    void wegeDesVerlassens()
    {
        QFETCH(QString, wie);
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(empfaengerVerbinden(rigctld));

        klick(log()->cmd_neu);
        QCOMPARE(log()->txt_frequenz->text(), QStringLiteral("145,500"));
        QCOMPARE(log()->txt_band->text(), QStringLiteral("FM"));
        verlassen(wie);
        QCOMPARE(anzahl(), 2);

        // Twice in a row, as the user found it.
        QVERIFY(wiederOeffnen(rigctld));
        klick(log()->cmd_neu);
        QCOMPARE(log()->txt_frequenz->text(), QStringLiteral("145,500"));
        verlassen(wie);
        QCOMPARE(anzahl(), 2);
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // Typed into, the record keeps the receiver's values.
        QVERIFY(wiederOeffnen(rigctld));
        klick(log()->cmd_neu);
        klick(log()->txt_callsign);
        Eintraghilfe::schreibe(log()->txt_callsign, QStringLiteral("DL9NEU"));
        verlassen(wie);
        QCOMPARE(zeilen("select callsign, frequenz, band from Kontakt where callsign = 'DL9NEU'"),
                 QStringLiteral("DL9NEU|145,500|FM"));
        QCOMPARE(anzahl(), 3);
    }

    // A record the user typed into and emptied again holds only the
    // receiver's values: it is dropped. A changed receiver value is input.
    void eingabeZurueckgenommen()
    {
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(empfaengerVerbinden(rigctld));
        frm_eintrag *w = log();

        klick(w->cmd_neu);
        klick(w->txt_callsign);
        Eintraghilfe::schreibe(w->txt_callsign, QStringLiteral("X"));
        QTest::keyClick(w->txt_callsign, Qt::Key_Backspace);
        klick(w->cmd_alle);
        QCOMPARE(anzahl(), 2);

        klick(w->cmd_neu);
        klick(w->txt_band);
        w->txt_band->selectAll();
        Eintraghilfe::schreibe(w->txt_band, QStringLiteral("NFM"));
        klick(w->cmd_alle);
        QCOMPARE(zeilen("select callsign, frequenz, band from Kontakt where band = 'NFM'"),
                 QStringLiteral("-|145,500|NFM"));

        // "vom Empfänger" is the user's own choice: what it takes counts as typed.
        klick(w->cmd_neu);
        klick(w->cmd_vomempfaenger);
        klick(w->cmd_alle);
        QCOMPARE(anzahl(), 3);
        haupt->sicher->trigger();
        QCOMPARE(anzahl(), 3);
    }

    // Today's date filled in on entering the date box of a new record is
    // the program's too; stored with the record once the user typed.
    void datumBeimBetreten()
    {
        frm_eintrag *w = log();
        const QString heute = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        klick(w->cmd_neu);
        klick(w->txt_datum);
        QCOMPARE(w->txt_datum->text(), heute);
        klick(w->cmd_alle);
        QCOMPARE(anzahl(), 2);

        klick(w->cmd_neu);
        klick(w->txt_datum);
        klick(w->txt_ort);
        Eintraghilfe::schreibe(w->txt_ort, QStringLiteral("Kiel"));
        gridKlick(0);
        QCOMPARE(zeilen("select ort, datum from Kontakt where ort = 'Kiel'"), QStringLiteral("Kiel|") + heute);

        // In Edit, entering the box still changes the stored date.
        gridKlick(0);
        klick(w->cmd_bearbeiten);
        klick(w->txt_datum);
        klick(w->cmd_alle);
        QCOMPARE(Testhilfe::zahl(ordner->logDatei(),
                                 QStringLiteral("select count(*) from Kontakt where datum = '%1'").arg(heute)),
                 2);
    }

    // Another window hands over the values of a new record by column.
    void neuVorbelegt()
    {
        frm_eintrag *w = log();
        const QHash<QString, QString> werte{{"frequenz", "121,500"}, {"band", "AM"},          {"ort", "Hamburg"},
                                            {"CallSign", "DAH123"},  {"datum", "07.12.2026"}, {"uhrzeit", "16:23"}};
        QVERIFY(w->neuVorbelegt(werte));
        QCOMPARE(w->SSTab1->currentIndex(), 0);
        QCOMPARE(Eintraghilfe::zustand(w), QStringLiteral("New"));
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DAH123"));
        QCOMPARE(w->txt_uhrzeit->text(), QStringLiteral("16:23"));
        haupt->wer->trigger();
        QCOMPARE(anzahl(), 2);

        haupt->erre->trigger();
        w = log();
        QVERIFY(w);
        w->DataGrid1->setFocus();
        gridKlick(1);   // DL2BBB
        QVERIFY(w->neuVorbelegt(werte));
        // Handed over again before anything was typed: begun anew, and
        // ABBRECHEN still goes back to the record shown before.
        QVERIFY(w->neuVorbelegt({{"frequenz", "118,800"}}));
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("118,800"));
        QCOMPARE(w->txt_callsign->text(), QString());
        klick(w->cmd_abbrechen);
        QCOMPARE(anzahl(), 2);

        QVERIFY(w->neuVorbelegt(werte));
        klick(w->txt_skip);
        Eintraghilfe::schreibe(w->txt_skip, QStringLiteral("Tower"));
        // With input in the new record, another hand-over is refused.
        QVERIFY(!w->neuVorbelegt({{"frequenz", "118,800"}}));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().front().text.contains(QStringLiteral("speichern oder abbrechen")));
        klick(w->cmd_speichern);
        QCOMPARE(zeilen("select callsign, skip, frequenz, band, ort, datum, uhrzeit from Kontakt where skip = 'Tower'"),
                 QStringLiteral("DAH123|Tower|121,500|AM|Hamburg|07.12.2026|16:23"));
        QCOMPARE(Eintraghilfe::zustand(w), QStringLiteral("Browse"));
    }
};

TREMVIK_TEST_MAIN(TestEintragVorbelegt)
#include "tst_eintragvorbelegt.moc"
