// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"

#include "kern/bestaende/logsuche.h"
#include "fenster/bausteine/geometrie.h"

using Eintraghilfe::Fenster;
using Eintraghilfe::zustand;

#define OEFFNEN(f)                                                                                                     \
    f.oeffnen();                                                                                                       \
    if (QTest::currentTestFailed())                                                                                    \
        return;

// The search panel of the log window: the query of each option, hits and
// count, the message for no hits, empty terms, apostrophes, "RESET" and the
// count text across tab switches.
class TestEintragSuche : public QObject
{
    Q_OBJECT

    static QRadioButton *knopf(frm_eintrag *w, const QString &name) { return w->findChild<QRadioButton *>(name); }

private Q_SLOTS:
    void init() { Testhilfe::leeren(); }

    void abfragetexte()
    {
        QCOMPARE(Logsuche::alle().text(), QStringLiteral("select * from [Kontakt] order by frequenz asc"));
        QCOMPARE(Logsuche::suche(Logsuche::Spalte::Land, QStringLiteral("Italien")).text(),
                 QStringLiteral("select * from [Kontakt] where land Like '%Italien%' order by frequenz asc"));
        QCOMPARE(Logsuche::suche(Logsuche::Spalte::CallSign, QStringLiteral("O'B''x")).text(),
                 QStringLiteral("select * from [Kontakt] where callSign Like '%O''B''''x%' order by frequenz asc"));
        QCOMPARE(Logsuche::suche(Logsuche::Spalte::Datum, QStringLiteral(" %_ ")).text(),
                 QStringLiteral("select * from [Kontakt] where datum Like '% %_ %' order by frequenz asc"));
        QCOMPARE(Logsuche::trefferText(12), QStringLiteral("12 Einträge"));
        QCOMPARE(Logsuche::trefferText(0), QStringLiteral("0 Einträge"));
        QCOMPARE(Logsuche::keineTreffer(QStringLiteral("XY")),
                 QStringLiteral("Der Suchbegriff XY konnte nicht gefunden werden! Bitte überprüfen Sie die Eingabe!"));
    }

    void suchen_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("begriff");
        QTest::addColumn<QString>("abfrage");
        QTest::addColumn<QStringList>("treffer");
        auto z = [](const char *name, const char *opt, const char *begriff, const char *abfrage, QStringList t) {
            QTest::newRow(name) << QString::fromLatin1(opt) << QString::fromUtf8(begriff) << QString::fromUtf8(abfrage)
                                << t;
        };
        z("CallSign", "opt_skip", "DL", "select * from [Kontakt] where callSign Like '%DL%' order by frequenz asc",
          {"DL1AAA", "DL4DDD"});
        z("CallSign Groß/klein", "opt_skip", "oe2",
          "select * from [Kontakt] where callSign Like '%oe2%' order by frequenz asc", {"OE2BBB"});
        z("Datum", "opt_vorname", "2022", "select * from [Kontakt] where datum Like '%2022%' order by frequenz asc",
          {"F3CCC"});
        z("QTH Teil", "opt_qth", "ambu", "select * from [Kontakt] where ort Like '%ambu%' order by frequenz asc",
          {"DL1AAA"});
        z("Frequenz", "opt_frequenz", ",1", "select * from [Kontakt] where frequenz Like '%,1%' order by frequenz asc",
          {"OE2BBB", "DL4DDD"});
        z("Land Umlaut", "opt_land", "österreich",
          "select * from [Kontakt] where land Like '%österreich%' order by frequenz asc", {"OE2BBB"});
        z("Unterstrich ein Zeichen", "opt_skip", "D_1",
          "select * from [Kontakt] where callSign Like '%D_1%' order by frequenz asc", {"DL1AAA"});
        z("Prozent", "opt_frequenz", "4%6", "select * from [Kontakt] where frequenz Like '%4%6%' order by frequenz asc",
          {"F3CCC"});
        // Rows whose column is NULL are left out.
        z("leer QTH", "opt_qth", "", "select * from [Kontakt] where ort Like '%%' order by frequenz asc",
          {"DL1AAA", "OE2BBB", "F3CCC", "I0EEE"});
        z("leer Land", "opt_land", "", "select * from [Kontakt] where land Like '%%' order by frequenz asc",
          {"DL1AAA", "OE2BBB", "F3CCC"});
        z("Apostroph", "opt_qth", "L'Aq", "select * from [Kontakt] where ort Like '%L''Aq%' order by frequenz asc",
          {"I0EEE"});
        z("Suchbegriff im Datensatz", "opt_skip", "...Suchbegriff",
          "select * from [Kontakt] where callSign Like '%...Suchbegriff%' order by frequenz asc", {"X...Suchbegriff"});
    }
    void suchen()
    {
        QFETCH(QString, option);
        QFETCH(QString, begriff);
        QFETCH(QString, abfrage);
        QFETCH(QStringList, treffer);
        Fenster f;
        f.sql(QStringLiteral("insert into Kontakt (callsign, ort, frequenz) values ('I0EEE', 'L''Aquila', '9,999'),"
                             " ('X...Suchbegriff', NULL, '0');"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(knopf(w, option));
        if (begriff != QLatin1String("...Suchbegriff")) {   // else searched as it stands
            f.klick(w->txt_suchbegriff);
            Eintraghilfe::schreibe(w->txt_suchbegriff, begriff);
        }
        f.klick(w->cmd_suchen);
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
        QCOMPARE(w->Adodc1->RecordSource(), abfrage);
        QCOMPARE(f.gridRufzeichen(), treffer);
        QCOMPARE(w->lbl_treffer->text(), Logsuche::trefferText(treffer.size()));
        QCOMPARE(w->txt_suchbegriff->text(), begriff);
        QVERIFY(knopf(w, option)->isChecked());
        // The first hit is current.
        QCOMPARE(w->txt_callsign->text(), treffer.first());
    }

    void keineTreffer()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->opt_land);
        f.klick(w->txt_suchbegriff);
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("Italien"));
        f.klick(w->cmd_suchen);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(
            Testhilfe::meldungen().first().text,
            QStringLiteral("Der Suchbegriff Italien konnte nicht gefunden werden! Bitte überprüfen Sie die Eingabe!"));
        QCOMPARE(Testhilfe::meldungen().first().symbol, Meldung::Symbol::Fehler);
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [Kontakt] order by frequenz asc"));
        QCOMPARE(f.gridRufzeichen().size(), 4);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("Italien"));
        QVERIFY(w->opt_land->isChecked());
    }

    // Before the box was clicked, its initial text is the term.
    void suchbegriffWieEsSteht()
    {
        Fenster f;
        OEFFNEN(f);
        f.klick(f.w->cmd_suchen);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().first().text,
                 QStringLiteral(
                     "Der Suchbegriff ...Suchbegriff konnte nicht gefunden werden! Bitte überprüfen Sie die Eingabe!"));
        QCOMPARE(f.gridRufzeichen().size(), 4);
    }

    // Blanks are part of the term, and the message shows the term as typed.
    void leerzeichenUndApostroph()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->opt_qth);
        f.klick(w->txt_suchbegriff);
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("Wien "));
        f.klick(w->cmd_suchen);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(
            Testhilfe::meldungen().first().text,
            QStringLiteral("Der Suchbegriff Wien  konnte nicht gefunden werden! Bitte überprüfen Sie die Eingabe!"));
        Testhilfe::leeren();

        f.klick(w->txt_suchbegriff);
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("x' or '1'='1"));
        f.klick(w->cmd_suchen);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen().first().text.startsWith(QStringLiteral("Der Suchbegriff x' or '1'='1 konnte")));
        QCOMPARE(f.gridRufzeichen().size(), 4);
    }

    void klickLeertFeld()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->txt_suchbegriff);
        QCOMPARE(w->txt_suchbegriff->text(), QString());
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("DL"));
        QTest::mouseClick(w->txt_suchbegriff, Qt::RightButton);
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("DL"));
        // Moving in with Tab keeps the term.
        f.klick(w->cmd_alle);
        QTest::keyClick(w->cmd_alle, Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), w->txt_suchbegriff);
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("DL"));
        f.klick(w->txt_suchbegriff);
        QCOMPARE(w->txt_suchbegriff->text(), QString());
    }

    // The count text: hits after a search, kept over tab switches, all after
    // "RESET"; "RESET" keeps term and option.
    void zaehlerUndReset()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->opt_qth);
        f.klick(w->txt_suchbegriff);
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("a"));
        f.klick(w->cmd_suchen);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("2 Einträge"));   // Hamburg, Paris
        w->SSTab1->setCurrentIndex(0);
        w->SSTab1->setCurrentIndex(1);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("2 Einträge"));

        // "ABBRECHEN" runs the search again.
        f.zeile(1);
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_ort, QStringLiteral("Bonn"));
        QCOMPARE(zustand(w), QStringLiteral("Edit"));
        f.klick(w->cmd_abbrechen);
        QCOMPARE(f.gridRufzeichen(), QStringList({"DL1AAA", "F3CCC"}));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'F3CCC'"), QStringLiteral("Paris"));

        // Searching leaves the record being edited: the window is in Browse.
        f.klick(w->cmd_bearbeiten);
        f.klick(w->cmd_suchen);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));

        f.klick(w->cmd_alle);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        QCOMPARE(w->DataGrid1->columnWidth(0), Geometrie::twips(2655));   // the grid keeps its columns
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [Kontakt] order by frequenz asc"));
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("a"));
        QVERIFY(w->opt_qth->isChecked());
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // A NUL character cannot occur in the log: for every column the search
    // finds nothing, says so and shows all records again.
    void nulZeichen()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        const QString begriff = QStringLiteral("DL") + QChar(0);
        for (QRadioButton *option : {w->opt_skip, w->opt_vorname, w->opt_qth, w->opt_frequenz, w->opt_land}) {
            Testhilfe::leeren();
            f.klick(option);
            w->txt_suchbegriff->setText(begriff);
            f.klick(w->cmd_suchen);
            QCOMPARE(Testhilfe::meldungen().size(), 1);
            QCOMPARE(Testhilfe::meldungen().first().text, Logsuche::keineTreffer(begriff));
            QCOMPARE(f.gridRufzeichen().size(), 4);
            QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        }
    }

    // An empty log: the message, and the count stays 0.
    void leererLog()
    {
        Fenster f("");
        OEFFNEN(f);
        f.klick(f.w->txt_suchbegriff);
        f.klick(f.w->cmd_suchen);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(f.w->lbl_treffer->text(), QStringLiteral("0 Einträge"));
    }
};

TREMVIK_TEST_MAIN(TestEintragSuche)
#include "tst_eintragsuche.moc"
