// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/druckauftrag.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/log/eintraghilfe.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QPrinter>
#include <QSettings>
#include <QToolButton>

#define OEFFNEN(f)                                                                                                     \
    f.oeffnen();                                                                                                       \
    if (QTest::currentTestFailed())                                                                                    \
        return;

using Eintraghilfe::Fenster;
using Eintraghilfe::zustand;

// The log window worked from the keyboard (Tab through the remark, the
// keys of the buttons, the search term), the words it says after an
// action, "Jetzt", and bringing a deleted record back with Ctrl+Z.
class TestEintragTasten : public QObject
{
    Q_OBJECT

    QStringList worte;   // what the window said in the status bar

    static void taste(QWidget *w, QKeyCombination k) { QTest::keyClick(w, k.key(), k.keyboardModifiers()); }

    // Every column of every record, with its type and bytes, by key.
    static QString roh(const Fenster &f)
    {
        return f.lies(QStringLiteral(
            "select id, typeof(callsign), hex(callsign), typeof(skip), hex(skip), typeof(vorname), hex(vorname),"
            " typeof(land), hex(land), typeof(swert), hex(swert), typeof(rwert), hex(rwert), typeof(datum),"
            " hex(datum), typeof(uhrzeit), hex(uhrzeit), typeof(lanal), hex(lanal), typeof(frequenz), hex(frequenz),"
            " typeof(band), hex(band), typeof(ort), hex(ort), typeof(bemerkung), hex(bemerkung)"
            " from Kontakt order by id"));
    }

    // Makes the record with that call sign current and switches to Edit.
    static void bearbeite(Fenster &f, const QString &rufzeichen)
    {
        f.zeile(int(f.gridRufzeichen().indexOf(rufzeichen)));
        QCOMPARE(f.w->txt_callsign->text(), rufzeichen);
        f.klick(f.w->cmd_bearbeiten);
    }

private Q_SLOTS:
    void init()
    {
        Testhilfe::leeren();
        worte.clear();
        Meldung::setzeStatusanzeige([this](const QString &text, QAction *) { worte << text; });
    }
    void cleanup()
    {
        Meldung::setzeStatusanzeige({});
        Druckauftrag::setzeDruckerwahl({});
    }

    // Tab leaves the remark like any box; Ctrl+Tab puts a tab into it.
    void tabInDerBemerkung()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->cmd_neu);
        f.klick(w->RichTextBox1);
        QTest::keyClicks(w->RichTextBox1, QStringLiteral("a"));
        QTest::keyClick(w->RichTextBox1, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClicks(w->RichTextBox1, QStringLiteral("b"));
        QCOMPARE(QApplication::focusWidget(), w->RichTextBox1);
        QTest::keyClick(w->RichTextBox1, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != w->RichTextBox1);
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("a\tb"));
        // Shift+Tab comes back, and leaves again the other way.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w->RichTextBox1);
        QTest::keyClick(w->RichTextBox1, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w->txt_band);
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("a\tb"));
    }

    // Each key does what a click on its button does, and nothing where
    // the button cannot be clicked.
    void tastenWieKnoepfe()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        QCOMPARE(w->SSTab1->currentIndex(), 1);
        w->DataGrid1->setFocus();

        // Browse: nothing to store or cancel.
        taste(w->DataGrid1, Qt::CTRL | Qt::Key_S);
        taste(w->DataGrid1, Qt::Key_Escape);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QVERIFY(worte.isEmpty());

        // Ctrl+N: a new record on tab "LOG"; again it does nothing.
        taste(w->DataGrid1, Qt::CTRL | Qt::Key_N);
        QCOMPARE(zustand(w), QStringLiteral("New"));
        QCOMPARE(w->SSTab1->currentIndex(), 0);
        w->txt_callsign->setFocus();
        QTest::keyClicks(w->txt_callsign, QStringLiteral("DL7TST"));
        taste(w->txt_callsign, Qt::CTRL | Qt::Key_N);
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DL7TST"));
        // Ctrl+S stores it and says so.
        taste(w->txt_callsign, Qt::CTRL | Qt::Key_S);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt where callsign = 'DL7TST'")), QStringLiteral("1"));
        QCOMPARE(worte, QStringList({"Eintrag gespeichert"}));

        // Escape drops a new record's input.
        taste(w->txt_land, Qt::CTRL | Qt::Key_N);
        w->txt_callsign->setFocus();
        QTest::keyClicks(w->txt_callsign, QStringLiteral("DL8WEG"));
        taste(w->txt_callsign, Qt::Key_Escape);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt where callsign = 'DL8WEG'")), QStringLiteral("0"));

        // Ctrl+F goes into the search term without emptying it (only a
        // click empties it); Return starts no search, "SUCHEN" does.
        const QString alle = w->abfrage();
        taste(w->txt_land, Qt::CTRL | Qt::Key_F);
        QCOMPARE(w->SSTab1->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), w->txt_suchbegriff);
        QCOMPARE(w->txt_suchbegriff->selectedText(), QStringLiteral("...Suchbegriff"));
        QTest::keyClicks(w->txt_suchbegriff, QStringLiteral("DL"));
        QTest::keyClick(w->txt_suchbegriff, Qt::Key_Return);
        QTest::keyClick(w->txt_suchbegriff, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w->abfrage(), alle);
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("DL"));
        f.klick(w->cmd_suchen);
        QCOMPARE(w->abfrage(),
                 QStringLiteral("select * from [Kontakt] where callSign Like '%DL%' order by frequenz asc"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("3 Einträge"));

        // Ctrl+P prints the overview where its menu is, not from tab "LOG".
        int gedruckt = 0;
        Druckauftrag::setzeDruckerwahl([&gedruckt](QPrinter &) {
            ++gedruckt;
            return false;
        });
        taste(w->txt_suchbegriff, Qt::CTRL | Qt::Key_P);
        QCOMPARE(gedruckt, 1);
        QVERIFY(w->uebersicht_drucken->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_P));
        w->SSTab1->setCurrentIndex(0);
        w->txt_land->setFocus();
        taste(w->txt_land, Qt::CTRL | Qt::Key_P);
        QCOMPARE(gedruckt, 1);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // In the frequency search a dot is the decimal comma; the query reads
    // as typed, and a value stored with a dot is still found.
    void punktImFrequenzfeld()
    {
        Fenster f;
        f.sql(QStringLiteral("insert into Kontakt (callsign, frequenz) values ('DK5PKT', '14.070');"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->opt_frequenz);
        f.klick(w->txt_suchbegriff);
        QTest::keyClicks(w->txt_suchbegriff, QStringLiteral("145.5"));
        f.klick(w->cmd_suchen);
        QCOMPARE(w->abfrage(),
                 QStringLiteral("select * from [Kontakt] where frequenz Like '%145.5%' order by frequenz asc"));
        QCOMPARE(f.gridRufzeichen(), QStringList({"DL1AAA"}));
        f.tippe(w->txt_suchbegriff, QStringLiteral("14.07"));
        f.klick(w->cmd_suchen);
        QCOMPARE(f.gridRufzeichen(), QStringList({"DK5PKT"}));
        // Other columns keep the dot a dot.
        f.klick(w->opt_vorname);
        f.tippe(w->txt_suchbegriff, QStringLiteral("01.01"));
        f.klick(w->cmd_suchen);
        QCOMPARE(f.gridRufzeichen(), QStringList({"DL1AAA"}));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // "Jetzt" fills date and time with the local time, only in New and
    // Edit, and never takes the focus; what it fills counts as typed.
    void jetzt()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        QVERIFY(w->cmd_jetzt);
        QCOMPARE(w->cmd_jetzt->focusPolicy(), Qt::NoFocus);
        // In the panel, set apart from the time box (not seen as part of it).
        QVERIFY(w->Frame2->rect().contains(w->cmd_jetzt->geometry()));
        QVERIFY(w->cmd_jetzt->x() - w->txt_uhrzeit->geometry().right() > 2);
        QVERIFY(!w->cmd_jetzt->isEnabled());
        f.klick(w->cmd_neu);
        QVERIFY(w->cmd_jetzt->isEnabled());
        QCOMPARE(w->txt_datum->text(), QString());   // NEU itself leaves the record empty
        const QDateTime vorher = QDateTime::currentDateTime();
        f.klick(w->cmd_jetzt);
        const QDateTime nachher = QDateTime::currentDateTime();
        const QDateTime gefuellt = QDateTime::fromString(
            w->txt_datum->text() + QLatin1Char(' ') + w->txt_uhrzeit->text(), QStringLiteral("dd.MM.yyyy HH:mm"));
        QVERIFY2(gefuellt.isValid(), qPrintable(w->txt_datum->text() + QLatin1Char(' ') + w->txt_uhrzeit->text()));
        QVERIFY(gefuellt >= vorher.addSecs(-60) && gefuellt <= nachher);
        f.klick(w->cmd_alle);   // left: it is stored
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt")), QStringLiteral("5"));
        QVERIFY(!w->cmd_jetzt->isEnabled());
    }

    // A date or a time that cannot be read as one is stored as typed, and
    // the status bar says so; any write says "Eintrag gespeichert".
    void unmoeglichesDatum()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->cmd_neu);
        f.tippe(w->txt_callsign, QStringLiteral("DL0ZT"));
        f.tippe(w->txt_datum, QStringLiteral("31.02.2026"));
        f.tippe(w->txt_uhrzeit, QStringLiteral("25:99"));
        f.klick(w->cmd_speichern);
        QCOMPARE(f.lies(QStringLiteral("select datum, uhrzeit from Kontakt where callsign = 'DL0ZT'")),
                 QStringLiteral("31.02.2026|25:99"));
        QCOMPARE(worte.size(), 1);
        QCOMPARE(worte.last(),
                 QStringLiteral("Eintrag gespeichert \u2013 \u201E31.02.2026\u201C ist kein gültiges Datum "
                                "(TT.MM.JJJJ), \u201E25:99\u201C ist keine gültige Uhrzeit (HH:MM)"));
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // Changes written by leaving the record are said the same way.
        bearbeite(f, QStringLiteral("DL0ZT"));
        f.tippe(w->txt_datum, QStringLiteral("28.02.2026"));
        f.tippe(w->txt_uhrzeit, QStringLiteral("23:59"));
        f.zeile(0);
        QCOMPARE(worte.last(), QStringLiteral("Eintrag gespeichert"));
        QCOMPARE(f.lies(QStringLiteral("select datum, uhrzeit from Kontakt where callsign = 'DL0ZT'")),
                 QStringLiteral("28.02.2026|23:59"));
    }

    // After LÖSCHEN, Ctrl+Z brings the record back with its key, every
    // column's type and bytes as they were; again and again, the last
    // deleted first.
    void loeschenRueckgaengig()
    {
        Fenster f;
        // Values of every kind SQLite keeps: text beyond UTF-8, a number, a
        // float, bytes, NULL, a remark in RTF.
        f.sql(QStringLiteral(
            "insert into Kontakt (id, callsign, skip, vorname, land, swert, rwert, datum, frequenz, band, bemerkung)"
            " values (40, 'DL9ROH', cast(X'48C3A4FF00' as text), 7, 2.5, X'00FF', NULL, '', '433,920', 'FM',"
            " '{\\rtf1\\ansi {\\b fett} \\u252?ber}');"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        const QString vorher = roh(f);

        bearbeite(f, QStringLiteral("DL9ROH"));
        f.klick(w->cmd_loeschen);
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt where id = 40")), QStringLiteral("0"));
        QCOMPARE(worte.last(), QStringLiteral("Eintrag gelöscht \u2013 Rückgängig (Strg+Z)"));
        QVERIFY(w->rueckgaengig->isEnabled());
        bearbeite(f, QStringLiteral("OE2BBB"));
        f.klick(w->cmd_loeschen);

        w->cmd_neu->setFocus();
        taste(w->cmd_neu, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(worte.last(), QStringLiteral("Eintrag zurückgeholt"));
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("OE2BBB"));   // shown where it was deleted
        QCOMPARE(w->SSTab1->currentIndex(), 0);
        // The focus in a box with nothing of its own to undo.
        w->txt_land->setFocus();
        taste(w->txt_land, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(roh(f), vorher);
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DL9ROH"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("5 Einträge"));
        QVERIFY(!w->rueckgaengig->isEnabled());
        taste(w->txt_land, Qt::CTRL | Qt::Key_Z);   // nothing left: nothing happens
        QCOMPARE(roh(f), vorher);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // A key taken by a record made meanwhile: the record comes back whole
    // under a new key.
    void rueckgaengigSchluesselVergeben()
    {
        Fenster f(nullptr);
        f.sql(QStringLiteral("insert into Kontakt (id, callsign, ort) values (1, 'DL1EINS', 'Ulm'),"
                             " (2, 'DL2ZWEI', 'Kiel');"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        bearbeite(f, QStringLiteral("DL2ZWEI"));
        f.klick(w->cmd_loeschen);
        f.klick(w->cmd_neu);
        f.tippe(w->txt_callsign, QStringLiteral("DL3NEU"));
        f.klick(w->cmd_speichern);
        QCOMPARE(f.lies(QStringLiteral("select id from Kontakt where callsign = 'DL3NEU'")), QStringLiteral("2"));
        w->rueckgaengig->trigger();
        QCOMPARE(f.lies(QStringLiteral("select id, callsign, ort from Kontakt order by id")),
                 QStringLiteral("1|DL1EINS|Ulm\n2|DL3NEU|-\n3|DL2ZWEI|Kiel"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }

    // The deleted records stay in the main window's keeping until the
    // program ends: the log window closed and opened again still brings
    // them back, and the status bar's "Rückgängig" does it too.
    void rueckgaengigBisZumEnde()
    {
        Meldung::setzeStatusanzeige({});
        QSettings().clear();
        Testhilfe::Programmordner ordner;
        Testhilfe::sql(ordner.logDatei(), QString::fromUtf8(Eintraghilfe::beispiele));
        const QString vorher =
            Eintraghilfe::lies(ordner.logDatei(), QStringLiteral("select * from Kontakt order by id"));
        frm_main haupt;
        haupt.zeigen();
        QTRY_VERIFY(haupt.frm_eintrag());
        auto *w = qobject_cast<frm_eintrag *>(haupt.frm_eintrag());
        w->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(w->cmd_bearbeiten, Qt::LeftButton);
        QTest::mouseClick(w->cmd_loeschen, Qt::LeftButton);
        QTest::mouseClick(w->cmd_bearbeiten, Qt::LeftButton);
        QTest::mouseClick(w->cmd_loeschen, Qt::LeftButton);
        QCOMPARE(Testhilfe::zahl(ordner.logDatei(), QStringLiteral("select count(*) from Kontakt")), 2);
        QVERIFY(haupt.lbl_status->isVisible());
        QVERIFY(haupt.lbl_status->text().contains(QStringLiteral("<a href=\"aktion\">Rückgängig</a>")));

        haupt.sicher->trigger();   // closes the log window
        QVERIFY(!haupt.frm_eintrag());
        haupt.erre->trigger();
        w = qobject_cast<frm_eintrag *>(haupt.frm_eintrag());
        QVERIFY(w && w->rueckgaengig->isEnabled());
        w->rueckgaengig->trigger();
        QCOMPARE(Testhilfe::zahl(ordner.logDatei(), QStringLiteral("select count(*) from Kontakt")), 3);
        QCOMPARE(haupt.lbl_status->text(), QStringLiteral("Eintrag zurückgeholt"));

        // The link in the status bar.
        w->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(w->cmd_bearbeiten, Qt::LeftButton);
        QTest::mouseClick(w->cmd_loeschen, Qt::LeftButton);
        Q_EMIT haupt.lbl_status->linkActivated(QStringLiteral("aktion"));
        QCOMPARE(Testhilfe::zahl(ordner.logDatei(), QStringLiteral("select count(*) from Kontakt")), 3);
        w->rueckgaengig->trigger();
        QCOMPARE(Eintraghilfe::lies(ordner.logDatei(), QStringLiteral("select * from Kontakt order by id")), vorher);
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }
};

TREMVIK_TEST_MAIN(TestEintragTasten)
#include "tst_eintragtasten.moc"
