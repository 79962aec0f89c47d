// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"

#include "fenster/bausteine/geometrie.h"
#include "fenster/haupt/frm_main.h"
#include "kern/formate/rtf.h"

#include <QBuffer>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTabBar>
#include <QToolButton>

using Eintraghilfe::Fenster;
using Eintraghilfe::zustand;

#define OEFFNEN(f)                                                                                                     \
    f.oeffnen();                                                                                                       \
    if (QTest::currentTestFailed())                                                                                    \
        return;

// The log window: loading, the editing states Browse, New and Edit with every
// transition, the date box, what happens to input when the user leaves a
// record, writes the database rejects, the remark, and the window opened and
// closed by the main window.
class TestEintrag : public QObject
{
    Q_OBJECT

    static QString heute() { return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")); }

    // Whether the record the window shows fits the state its buttons show: in
    // New one not written yet (no row of the grid), otherwise the grid's
    // current row, a stored record.
    static bool passtZumDatensatz(Fenster &f)
    {
        const frm_eintrag *w = f.w.get();
        const int zeile = w->Adodc1->aktuelleZeile();
        const int gridZeile = w->DataGrid1->currentIndex().isValid() ? w->DataGrid1->currentIndex().row() : -1;
        if (zustand(w) == QLatin1String("New"))
            return zeile == -1 && gridZeile == -1;
        if (zeile < 0 || gridZeile != zeile)
            return false;
        const QString rufzeichen = w->DataGrid1->model()->index(zeile, 2).data().toString();
        return w->txt_callsign->text() == rufzeichen
               && f.lies(QStringLiteral("select count(*) from Kontakt where callsign = '%1'").arg(rufzeichen))
                      == QLatin1String("1");
    }

private Q_SLOTS:
    void init() { Testhilfe::leeren(); }

    void startZustand()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        QCOMPARE(w->windowTitle(), QStringLiteral("Eigene Einträge"));
        QCOMPARE(w->SSTab1->currentIndex(), 1);
        QCOMPARE(w->SSTab1->tabText(0), QStringLiteral("LOG"));
        QCOMPARE(w->SSTab1->tabText(1), QStringLiteral("Übersicht"));
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [Kontakt] order by frequenz asc"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        QCOMPARE(f.gridRufzeichen(), QStringList({"DL1AAA", "OE2BBB", "F3CCC", "DL4DDD"}));
        // The first record fills the boxes, the channel from `lanal`.
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DL1AAA"));
        QCOMPARE(w->txt_kanal->text(), QStringLiteral("1"));
        QCOMPARE(w->txt_frequenz->text(), QStringLiteral("145,500"));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Hamburg"));
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("...Suchbegriff"));
        QVERIFY(w->opt_skip->isChecked());
        QVERIFY(w->cmd_drucken->isHidden());
        QCOMPARE(w->cmd_loeschen->objectName(), QStringLiteral("cmd_löschen"));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("cmd_löschen")), w->cmd_loeschen);
        QVERIFY(!w->Adodc1->hatAenderungen());

        // Controls on the tabs are placed relative to the tab container.
        auto aufReiter = [w](QWidget *c) { return QRect(c->mapTo(w->SSTab1, QPoint(0, 0)), c->size()); };
        QCOMPARE(aufReiter(w->Shape2), Geometrie::rechteck(120, 360, 10935, 7215));
        QCOMPARE(aufReiter(w->DataGrid1), Geometrie::rechteck(240, 480, 10695, 5535));
        QCOMPARE(aufReiter(w->Frame4), Geometrie::rechteck(240, 6120, 10695, 1215));
        w->SSTab1->setCurrentIndex(0);
        QCOMPARE(aufReiter(w->Frame2), Geometrie::rechteck(360, 600, 10575, 2295));
        QCOMPARE(aufReiter(w->Frame3), Geometrie::rechteck(8040, 3000, 2895, 4335));
        w->SSTab1->setCurrentIndex(1);

        // The grid's columns.
        const QAbstractItemModel *m = w->DataGrid1->model();
        QCOMPARE(m->columnCount(), 5);
        QStringList titel;
        for (int i = 0; i < 5; ++i)
            titel << m->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(titel, QStringList({"Frequenz", "Datum", "CallSign", "QTH", "R-Wert"}));
        QCOMPARE(w->DataGrid1->columnWidth(0), Geometrie::twips(2655));
        QCOMPARE(w->DataGrid1->columnWidth(4), Geometrie::twips(1215));

        // Tab visits the boxes in the order of the log sheet.
        const QList<QWidget *> reihe{w->txt_land,     w->txt_vorname, w->txt_ort,     w->txt_callsign,
                                     w->txt_skip,     w->txt_datum,   w->txt_uhrzeit, w->txt_kanal,
                                     w->txt_frequenz, w->txt_swert,   w->txt_rwert,   w->txt_band};
        f.klick(w->txt_land);
        for (int i = 1; i < reihe.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), reihe[i]);
        }
        QVERIFY(!w->Adodc1->hatAenderungen());   // the locked date box stayed as it was
    }

    void leererLog()
    {
        Fenster f("");
        OEFFNEN(f);
        QCOMPARE(f.w->lbl_treffer->text(), QStringLiteral("0 Einträge"));
        QCOMPARE(f.w->txt_callsign->text(), QString());
        QCOMPARE(f.w->RichTextBox1->toPlainText(), QString());
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));

        // "BEARBEITEN" and "LÖSCHEN" without a record say nothing.
        f.klick(f.w->cmd_bearbeiten);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Edit"));
        f.klick(f.w->cmd_loeschen);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        f.klick(f.w->cmd_bearbeiten);
        f.klick(f.w->cmd_speichern);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QVERIFY(Testhilfe::meldungen().isEmpty());

        // Input typed there has no record to go to: it is not dropped
        // silently, the user is told and the window stays in Edit.
        f.klick(f.w->cmd_bearbeiten);
        Eintraghilfe::schreibe(f.w->txt_callsign, QStringLiteral("X"));
        f.klick(f.w->cmd_speichern);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Edit"));
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("X"));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen()[0].symbol, Meldung::Symbol::Fehler);
        QVERIFY(Testhilfe::meldungen()[0].text.contains(QStringLiteral("NEU")));
        f.klick(f.w->cmd_abbrechen);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QCOMPARE(f.w->txt_callsign->text(), QString());
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("0"));
        Testhilfe::leeren();

        // The first record of an empty log.
        f.klick(f.w->cmd_neu);
        f.tippe(f.w->txt_callsign, QStringLiteral("DA0NEU"));
        f.klick(f.w->cmd_speichern);
        QCOMPARE(f.lies("select callsign from Kontakt"), QStringLiteral("DA0NEU"));
        QCOMPARE(f.gridRufzeichen(), QStringList({"DA0NEU"}));
    }

    // Every caption fits its control in the window's fonts.
    void beschriftungenPassen()
    {
        Fenster f;
        OEFFNEN(f);
        const auto labels = f.w->findChildren<QLabel *>();
        for (const QLabel *l : labels) {
            const QFontMetrics fm(l->font());
            QVERIFY2(fm.horizontalAdvance(l->text()) <= l->width() && fm.height() <= l->height(),
                     qPrintable(l->objectName()));
        }
        const auto knoepfe = f.w->findChildren<QAbstractButton *>();
        for (const QAbstractButton *k : knoepfe) {
            // A tool button showing its icon alone has its text for the
            // screen reader only.
            const auto *werkzeug = qobject_cast<const QToolButton *>(k);
            if (k->text().isEmpty() || (werkzeug && werkzeug->toolButtonStyle() == Qt::ToolButtonIconOnly))
                continue;
            const QFontMetrics fm(k->font());
            int noetig = fm.horizontalAdvance(k->text());
            if (qobject_cast<const QRadioButton *>(k))
                noetig = k->sizeHint().width();
            QVERIFY2(noetig <= k->width() && fm.ascent() + fm.descent() <= k->height() + 1,
                     qPrintable(QStringLiteral("%1: %2 x %3 in %4 x %5")
                                    .arg(k->objectName())
                                    .arg(noetig)
                                    .arg(fm.ascent() + fm.descent())
                                    .arg(k->width())
                                    .arg(k->height())));
        }
        for (int i = 0; i < 2; ++i) {
            const QFontMetrics fm(f.w->SSTab1->tabBar()->font());
            QVERIFY(fm.horizontalAdvance(f.w->SSTab1->tabText(i)) < f.w->SSTab1->tabBar()->tabRect(i).width());
        }
    }

    void neuTippenSpeichern()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->cmd_neu);
        QCOMPARE(zustand(w), QStringLiteral("New"));
        QCOMPARE(w->txt_callsign->text(), QString());
        QCOMPARE(w->RichTextBox1->toPlainText(), QString());
        QVERIFY(w->DataGrid1->selectionModel()->selectedRows().isEmpty());

        const QList<QPair<QLineEdit *, QString>> eingaben{
            {w->txt_callsign, "9A1XYZ"},  {w->txt_skip, "Delta"},    {w->txt_vorname, "Đuro"},
            {w->txt_land, "Kroatien"},    {w->txt_swert, "9+10"},    {w->txt_rwert, "5"},
            {w->txt_datum, "05.05.2024"}, {w->txt_uhrzeit, "22:15"}, {w->txt_kanal, "80"},
            {w->txt_frequenz, "3,650"},   {w->txt_band, "LSB"},      {w->txt_ort, "Split"}};
        for (const auto &e : eingaben)
            f.tippe(e.first, e.second);
        f.klick(w->RichTextBox1);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral("Grüße aus Split"));
        f.klick(w->cmd_speichern);

        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(f.lies("select callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal, frequenz, band, ort"
                        " from Kontakt where callsign = '9A1XYZ'"),
                 QStringLiteral("9A1XYZ|Delta|Đuro|Kroatien|9+10|5|05.05.2024|22:15|80|3,650|LSB|Split"));
        QCOMPARE(Rtf::alsText(f.lies("select bemerkung from Kontakt where callsign = '9A1XYZ'")).trimmed(),
                 QStringLiteral("Grüße aus Split"));
        // The stored record stays current and is listed; the count is read at
        // the next tab switch.
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("9A1XYZ"));
        QCOMPARE(f.gridRufzeichen().size(), 5);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        w->SSTab1->setCurrentIndex(1);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("5 Einträge"));
        QVERIFY(!w->Adodc1->hatAenderungen());
    }

    void neuAbbrechen()
    {
        Fenster f;
        OEFFNEN(f);
        f.zeile(2);
        f.klick(f.w->cmd_neu);
        f.tippe(f.w->txt_callsign, QStringLiteral("WEG"));
        Eintraghilfe::schreibe(f.w->RichTextBox1, QStringLiteral("auch weg"));
        f.klick(f.w->cmd_abbrechen);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));
        // The query ran again: the first record is current.
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("DL1AAA"));
        QCOMPARE(f.gridRufzeichen().size(), 4);
        QCOMPARE(f.w->RichTextBox1->toPlainText(), QString());
    }

    void bearbeitenAbbrechen()
    {
        Fenster f;
        OEFFNEN(f);
        f.zeile(1);
        QCOMPARE(f.w->SSTab1->currentIndex(), 0);   // the click in the grid shows "LOG"
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("OE2BBB"));
        f.klick(f.w->cmd_bearbeiten);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Edit"));
        f.tippe(f.w->txt_ort, QStringLiteral("Linz"));
        f.klick(f.w->cmd_abbrechen);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Wien"));
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("DL1AAA"));
        QCOMPARE(f.w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
    }

    void bearbeitenZweimalDannAbbrechen()
    {
        Fenster f;
        OEFFNEN(f);
        f.zeile(1);
        f.klick(f.w->cmd_bearbeiten);
        f.tippe(f.w->txt_ort, QStringLiteral("Linz"));
        f.klick(f.w->cmd_bearbeiten);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Edit"));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Linz"));
        f.tippe(f.w->txt_ort, QStringLiteral("Graz"));
        f.klick(f.w->cmd_abbrechen);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Linz"));
    }

    void bearbeitenSpeichern()
    {
        Fenster f;
        OEFFNEN(f);
        f.zeile(2);
        f.klick(f.w->cmd_bearbeiten);
        f.tippe(f.w->txt_rwert, QStringLiteral("1"));
        f.tippe(f.w->txt_skip, QString());   // emptied: stored as NULL
        f.klick(f.w->cmd_speichern);
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));
        QCOMPARE(f.lies("select rwert, skip, ort from Kontakt where callsign = 'F3CCC'"), QStringLiteral("1|-|Paris"));
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));
        // The row is updated in place: same place, same record current.
        QCOMPARE(f.w->DataGrid1->model()->index(2, 4).data().toString(), QStringLiteral("1"));
        QCOMPARE(f.w->Adodc1->aktuelleZeile(), 2);
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("F3CCC"));
    }

    // "BEARBEITEN" in Browse writes a country typed there; so does leaving the record.
    void landInBrowse()
    {
        Fenster f;
        OEFFNEN(f);
        f.zeile(3);
        QCOMPARE(f.w->txt_land->text(), QString());
        f.tippe(f.w->txt_land, QStringLiteral("Dänemark"));
        QVERIFY(f.w->Adodc1->hatAenderungen());
        f.klick(f.w->cmd_bearbeiten);
        QCOMPARE(f.lies("select land from Kontakt where callsign = 'DL4DDD'"), QStringLiteral("Dänemark"));
        f.klick(f.w->cmd_abbrechen);

        f.zeile(1);
        f.tippe(f.w->txt_land, QStringLiteral("Schweiz"));
        f.zeile(0);
        QCOMPARE(f.lies("select land from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Schweiz"));
        QCOMPARE(zustand(f.w.get()), QStringLiteral("Browse"));

        f.tippe(f.w->txt_land, QStringLiteral("Italien"));
        f.klick(f.w->cmd_neu);
        QCOMPARE(f.lies("select land from Kontakt where callsign = 'DL1AAA'"), QStringLiteral("Italien"));
        QCOMPARE(zustand(f.w.get()), QStringLiteral("New"));
    }

    void datumsfeld()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        // Browse: entering the box changes nothing.
        f.klick(w->txt_datum);
        QCOMPARE(QApplication::focusWidget(), w->txt_datum);
        QCOMPARE(w->txt_datum->text(), QStringLiteral("01.01.2020"));
        QVERIFY(!w->Adodc1->hatAenderungen());

        // New: today's date in the German short form, whatever the locale.
        const QLocale vorher;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        f.klick(w->cmd_neu);
        f.klick(w->txt_datum);
        QLocale::setDefault(vorher);
        QCOMPARE(w->txt_datum->text(), heute());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$")).match(heute()).hasMatch());
        QCOMPARE(w->txt_uhrzeit->text(), QString());
        f.klick(w->cmd_abbrechen);

        // Edit: moving in with Tab replaces the stored date; "SPEICHERN" keeps it.
        f.zeile(1);
        f.klick(w->cmd_bearbeiten);
        f.klick(w->txt_skip);
        QTest::keyClick(w->txt_skip, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->txt_datum);
        QCOMPARE(w->txt_datum->text(), heute());
        // A date typed over it survives the focus coming back to the box.
        w->txt_datum->selectAll();
        Eintraghilfe::schreibe(w->txt_datum, QStringLiteral("24.12.2023"));
        QFocusEvent zurueck(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(w->txt_datum, &zurueck);
        QFocusEvent menue(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(w->txt_datum, &menue);
        QCOMPARE(w->txt_datum->text(), QStringLiteral("24.12.2023"));
        f.klick(w->cmd_speichern);
        QCOMPARE(f.lies("select datum from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("24.12.2023"));

        // Saved and locked: the focus leaving the buttons does not touch it.
        QVERIFY(!w->Adodc1->hatAenderungen());
        f.klick(w->txt_datum);
        QCOMPARE(w->txt_datum->text(), QStringLiteral("24.12.2023"));
    }

    void loeschen()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        QVERIFY(!w->cmd_loeschen->isEnabled());   // only in Edit
        f.zeile(1);
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_ort, QStringLiteral("geändert"));
        f.klick(w->cmd_loeschen);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(f.lies("select callsign from Kontakt order by id"), QStringLiteral("DL1AAA\nF3CCC\nDL4DDD"));
        QCOMPARE(f.gridRufzeichen(), QStringList({"DL1AAA", "F3CCC", "DL4DDD"}));
        // The next record is current; the count text waits for the next reading.
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("F3CCC"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        QVERIFY(!w->Adodc1->hatAenderungen());

        // At the end the previous one.
        f.zeile(2);
        f.klick(w->cmd_bearbeiten);
        f.klick(w->cmd_loeschen);
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("F3CCC"));
        w->SSTab1->setCurrentIndex(1);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("2 Einträge"));
    }

    // A write or delete the database rejects is told, and nothing is lost.
    // (The triggers are in place before the window opens: an open list holds
    // a read lock on the file.)
    void abgelehntesSchreiben()
    {
        Fenster f;
        f.sql(
            QStringLiteral("create trigger nein_u before update on Kontakt when new.ort = 'Linz' or new.land = 'Malta'"
                           " begin select raise(abort, 'gesperrt'); end;"
                           "create trigger nein_i before insert on Kontakt when new.callsign = 'DA0NEU'"
                           " begin select raise(abort, 'gesperrt'); end;"
                           "create trigger nein_d before delete on Kontakt when old.callsign = 'OE2BBB'"
                           " begin select raise(abort, 'gesperrt'); end;"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        auto pruefeMeldung = [] {
            QStringList texte;
            for (const auto &m : Testhilfe::meldungen())
                texte << m.text;
            QVERIFY2(texte.size() == 1, qPrintable(texte.join(QLatin1String(" / "))));
            QVERIFY(Testhilfe::meldungen().first().text.contains(QLatin1String("gesperrt")));
            QCOMPARE(Testhilfe::meldungen().first().symbol, Meldung::Symbol::Fehler);
            Testhilfe::leeren();
        };

        // Edit, "SPEICHERN".
        f.zeile(1);
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_ort, QStringLiteral("Linz"));
        f.klick(w->cmd_speichern);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("Edit"));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Linz"));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Wien"));

        // Edit, "BEARBEITEN" again.
        f.klick(w->cmd_bearbeiten);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("Edit"));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Linz"));

        // Leaving the record by a click in the grid: the record stays current.
        f.zeile(3);
        QTest::qWait(0);
        pruefeMeldung();
        QCOMPARE(w->Adodc1->aktuelleZeile(), 1);
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Linz"));
        QCOMPARE(w->DataGrid1->currentIndex().row(), 1);
        QCOMPARE(zustand(w), QStringLiteral("Edit"));

        // ...by a search or "RESET": the list stays as it was.
        f.klick(w->cmd_alle);
        pruefeMeldung();
        f.klick(w->opt_land);
        f.klick(w->txt_suchbegriff);
        f.klick(w->cmd_suchen);
        pruefeMeldung();
        QCOMPARE(w->Adodc1->RecordSource(), QStringLiteral("select * from [Kontakt] order by frequenz asc"));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Linz"));

        // "LÖSCHEN".
        f.klick(w->cmd_loeschen);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("Edit"));
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));
        QCOMPARE(f.gridRufzeichen().size(), 4);
        QCOMPARE(w->DataGrid1->verticalHeader()->count(), 4);   // the grid saw no row go
        QCOMPARE(w->DataGrid1->currentIndex().row(), 1);
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Linz"));

        // The input corrected, the write goes through.
        f.tippe(w->txt_ort, QStringLiteral("Graz"));
        f.klick(w->cmd_speichern);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Graz"));

        // New, "SPEICHERN".
        f.klick(w->cmd_neu);
        f.tippe(w->txt_callsign, QStringLiteral("DA0NEU"));
        f.klick(w->RichTextBox1);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral("Notiz"));
        f.klick(w->cmd_speichern);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("New"));
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DA0NEU"));
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("Notiz"));
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));
        QCOMPARE(w->DataGrid1->verticalHeader()->count(), 4);   // nor a row come
        // Leaving it by "RESET" or the grid: the input stays, and so does New.
        f.klick(w->cmd_alle);
        pruefeMeldung();
        f.zeile(0);
        QTest::qWait(0);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("New"));
        QVERIFY(passtZumDatensatz(f));
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("DA0NEU"));

        f.tippe(w->txt_callsign, QStringLiteral("DA0NEV"));
        f.klick(w->cmd_speichern);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(Rtf::alsText(f.lies("select bemerkung from Kontakt where callsign = 'DA0NEV'")).trimmed(),
                 QStringLiteral("Notiz"));

        // A country typed in Browse that cannot be written keeps "NEU" from starting.
        f.tippe(w->txt_land, QStringLiteral("Malta"));
        f.klick(w->cmd_neu);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(w->txt_land->text(), QStringLiteral("Malta"));

        // ...nor "BEARBEITEN", nor leaving the record.
        f.klick(w->cmd_bearbeiten);
        pruefeMeldung();
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        f.zeile(1);
        pruefeMeldung();
        QCOMPARE(w->txt_land->text(), QStringLiteral("Malta"));
    }

    // Leaving a new record: written if the user typed, dropped if not.
    void neuVerlassen()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.klick(w->cmd_neu);
        f.klick(w->cmd_alle);
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));

        f.klick(w->cmd_abbrechen);
        f.klick(w->cmd_neu);
        f.tippe(w->txt_callsign, QStringLiteral("DA1REST"));
        f.klick(w->cmd_alle);
        QCOMPARE(f.lies("select count(*) from Kontakt where callsign = 'DA1REST'"), QStringLiteral("1"));
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("5 Einträge"));

        f.klick(w->cmd_abbrechen);
        f.klick(w->cmd_neu);
        f.tippe(w->txt_callsign, QStringLiteral("DA2SUCH"));
        f.klick(w->cmd_suchen);   // "...Suchbegriff": no hits, the list comes back
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(f.lies("select count(*) from Kontakt where callsign = 'DA2SUCH'"), QStringLiteral("1"));

        f.klick(w->cmd_abbrechen);
        f.klick(w->cmd_neu);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral("nur eine Bemerkung"));
        f.zeile(0);
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("7"));
        QCOMPARE(w->txt_callsign->text(), f.gridRufzeichen().first());
        QCOMPARE(w->Adodc1->aktuelleZeile(), 0);

        f.klick(w->cmd_abbrechen);
        f.klick(w->cmd_neu);
        f.zeile(1);
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("7"));
    }

    // Leaving a changed record by a click in the grid writes it; the window is
    // in Browse on the record clicked.
    void bearbeitenVerlassen()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.zeile(0);
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_swert, QStringLiteral("1"));
        f.zeile(2);
        QCOMPARE(f.lies("select swert from Kontakt where callsign = 'DL1AAA'"), QStringLiteral("1"));
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("F3CCC"));
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(w->DataGrid1->model()->index(0, 2).data().toString(), QStringLiteral("DL1AAA"));
    }

    // Leaving a new or edited record by any way but its own buttons: the
    // input is written (an untouched new record dropped) and the window is in
    // Browse on the record it shows, so "SPEICHERN" cannot write over another
    // record. Switching tabs leaves nothing and keeps the state.
    void verlassenJederWeg_data()
    {
        QTest::addColumn<QString>("weg");
        QTest::addColumn<QString>("eingabe");
        for (const char *weg : {"RESET", "SUCHEN", "SUCHEN ohne Treffer", "Gridklick", "Pfeiltaste", "Reiter"})
            for (const char *eingabe : {"neu", "neu getippt", "bearbeitet"})
                QTest::addRow("%s, %s", weg, eingabe) << QString::fromLatin1(weg) << QString::fromLatin1(eingabe);
    }
    void verlassenJederWeg()
    {
        QFETCH(QString, weg);
        QFETCH(QString, eingabe);
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        const QString andere = QStringLiteral("select * from Kontakt where id in (1, 3, 4) order by id");
        const QString vorher = f.lies(andere);
        const bool neu = eingabe != QLatin1String("bearbeitet");
        if (neu) {
            f.klick(w->cmd_neu);
            if (eingabe == QLatin1String("neu getippt"))
                f.tippe(w->txt_callsign, QStringLiteral("DA0NEU"));
            else
                f.klick(w->txt_skip);
        } else {
            f.zeile(1);
            f.klick(w->cmd_bearbeiten);
            f.tippe(w->txt_ort, QStringLiteral("Linz"));
        }
        const QString vorZustand = zustand(w);

        if (weg == QLatin1String("RESET")) {
            f.klick(w->cmd_alle);
        } else if (weg == QLatin1String("SUCHEN")) {
            f.klick(w->txt_suchbegriff);
            Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("DL"));
            f.klick(w->cmd_suchen);
        } else if (weg == QLatin1String("SUCHEN ohne Treffer")) {
            f.klick(w->cmd_suchen);
        } else if (weg == QLatin1String("Gridklick")) {
            f.zeile(2);
        } else if (weg == QLatin1String("Pfeiltaste")) {
            w->SSTab1->setCurrentIndex(1);
            QTest::keyClick(w->DataGrid1, Qt::Key_Down);
        } else {
            // The focus is in a box of "LOG" and moves on when the tab changes.
            QTabBar *leiste = w->SSTab1->tabBar();
            QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(1).center());
            QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(0).center());
        }
        const bool reiter = weg == QLatin1String("Reiter");
        QCOMPARE(Testhilfe::meldungen().size(), weg == QLatin1String("SUCHEN ohne Treffer") ? 1 : 0);
        QCOMPARE(zustand(w), reiter ? vorZustand : QStringLiteral("Browse"));
        QVERIFY(passtZumDatensatz(f));
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt where callsign = 'DA0NEU'")),
                 eingabe == QLatin1String("neu getippt") && !reiter ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(f.lies(QStringLiteral("select ort from Kontakt where id = 2")),
                 !neu && !reiter ? QStringLiteral("Linz") : QStringLiteral("Wien"));

        // What the user types now goes to the record the window is on, or nowhere.
        f.tippe(w->txt_callsign, QStringLiteral("NEU1"));
        f.klick(w->cmd_speichern);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QVERIFY(passtZumDatensatz(f));
        QCOMPARE(f.lies(andere), vorher);
        QCOMPARE(f.lies(QStringLiteral("select count(*) from Kontakt where callsign = 'NEU1'")),
                 reiter ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(f.lies(QStringLiteral("select callsign from Kontakt where id = 2")),
                 reiter && !neu ? QStringLiteral("NEU1") : QStringLiteral("OE2BBB"));
    }

    void schliessenSchreibt()
    {
        Fenster f;
        f.sql(QStringLiteral("create trigger nein before insert on Kontakt when new.callsign = 'DA0ZU'"
                             " begin select raise(abort, 'gesperrt'); end;"));
        OEFFNEN(f);
        f.zeile(1);
        f.klick(f.w->cmd_bearbeiten);
        f.tippe(f.w->txt_ort, QStringLiteral("Salzburg"));
        QVERIFY(f.w->close());
        QCOMPARE(f.lies("select ort from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("Salzburg"));

        // A new record nobody typed into is dropped.
        OEFFNEN(f);
        f.klick(f.w->cmd_neu);
        QVERIFY(f.w->close());
        QCOMPARE(f.lies("select count(*) from Kontakt"), QStringLiteral("4"));

        // A write that fails keeps the window open with the input.
        OEFFNEN(f);
        f.klick(f.w->cmd_neu);
        f.tippe(f.w->txt_callsign, QStringLiteral("DA0ZU"));
        QVERIFY(!f.w->close());
        QVERIFY(f.w->isVisible());
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(Testhilfe::meldungen().first().symbol, Meldung::Symbol::Fehler);
        QCOMPARE(f.w->txt_callsign->text(), QStringLiteral("DA0ZU"));
        QCOMPARE(zustand(f.w.get()), QStringLiteral("New"));
        f.tippe(f.w->txt_callsign, QStringLiteral("DA0AUF"));
        QVERIFY(f.w->close());
        QCOMPARE(f.lies("select count(*) from Kontakt where callsign = 'DA0AUF'"), QStringLiteral("1"));
    }

    // Ctrl+B, Ctrl+I and Ctrl+U format the selection of the remark, and the
    // formatting is stored with it.
    void bemerkungFormatieren()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        QCOMPARE(w->RichTextBox1->font().pointSizeF(), 12.0);
        f.zeile(0);
        f.klick(w->cmd_bearbeiten);
        f.klick(w->RichTextBox1);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral("laut und leise"));
        QTextCursor c = w->RichTextBox1->textCursor();
        c.setPosition(0);
        c.setPosition(4, QTextCursor::KeepAnchor);
        w->RichTextBox1->setTextCursor(c);
        QTest::keyClick(w->RichTextBox1, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(w->RichTextBox1, Qt::Key_I, Qt::ControlModifier);
        QTest::keyClick(w->RichTextBox1, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("laut und leise"));
        auto format = [w](int pos) {
            QTextCursor k(w->RichTextBox1->document());
            k.setPosition(pos);
            return k.charFormat();
        };
        QVERIFY(format(2).fontWeight() >= QFont::Bold);
        QVERIFY(format(2).fontItalic());
        QVERIFY(format(2).fontUnderline());
        QVERIFY(format(8).fontWeight() < QFont::Bold);
        QVERIFY(!format(8).fontItalic());
        QTest::keyClick(w->RichTextBox1, Qt::Key_B, Qt::ControlModifier);   // and off again
        QVERIFY(format(2).fontWeight() < QFont::Bold);
        QTest::keyClick(w->RichTextBox1, Qt::Key_B, Qt::ControlModifier);

        // Pasted rich text keeps its formatting.
        QTextCursor ende = w->RichTextBox1->textCursor();
        ende.movePosition(QTextCursor::End);
        w->RichTextBox1->setTextCursor(ende);
        w->RichTextBox1->moveCursor(QTextCursor::End);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral(" "));
        auto *daten = new QMimeData;
        daten->setHtml(QStringLiteral("<i>kursiv</i>"));
        QApplication::clipboard()->setMimeData(daten);
        QTest::keyClick(w->RichTextBox1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("laut und leise kursiv"));
        QVERIFY(format(18).fontItalic());
        QVERIFY(!format(12).fontItalic());

        f.klick(w->cmd_speichern);
        const QString gespeichert = f.lies("select bemerkung from Kontakt where callsign = 'DL1AAA'");
        QCOMPARE(Rtf::alsText(gespeichert).trimmed(), QStringLiteral("laut und leise kursiv"));
        // Locked in Browse: the keys do nothing.
        QVERIFY(!w->RichTextBox1->isEnabled());

        if (!gespeichert.startsWith(QLatin1String("{\\rtf")))
            QSKIP("the remark is stored without RTF formatting in this build");
        f.zeile(1);
        f.zeile(0);
        QVERIFY(format(2).fontWeight() >= QFont::Bold);
        QVERIFY(format(2).fontItalic());
        QVERIFY(format(2).fontUnderline());
        QVERIFY(format(8).fontWeight() < QFont::Bold);
        QVERIFY(format(18).fontItalic());
    }

    // Pictures cannot be stored with the remark: pasted or dropped rich text
    // keeps its text and formatting without them, and a picture alone is
    // refused with a message.
    void bemerkungOhneBilder()
    {
        Fenster f;
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.zeile(0);
        f.klick(w->cmd_bearbeiten);
        f.klick(w->RichTextBox1);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral("alt "));

        QImage bild(4, 4, QImage::Format_RGB32);
        bild.fill(Qt::red);
        QByteArray png;
        QBuffer puffer(&png);
        QVERIFY(puffer.open(QIODevice::WriteOnly) && bild.save(&puffer, "PNG"));
        const QString img =
            QStringLiteral("<img src=\"data:image/png;base64,%1\">").arg(QString::fromLatin1(png.toBase64()));
        auto einfuegen = [w](QMimeData *daten) {
            QApplication::clipboard()->setMimeData(daten);
            QTest::keyClick(w->RichTextBox1, Qt::Key_V, Qt::ControlModifier);
        };
        auto fett = [w](int pos) {
            QTextCursor k(w->RichTextBox1->document());
            k.setPosition(pos);
            return k.charFormat().fontWeight() >= QFont::Bold;
        };

        auto *html = new QMimeData;
        html->setHtml(QStringLiteral("<b>fett</b>") + img + QStringLiteral(" normal"));
        einfuegen(html);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("alt fett normal"));
        QVERIFY(fett(6));
        QVERIFY(!fett(10));
        // One undo takes the whole paste back.
        w->RichTextBox1->undo();
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("alt "));
        w->RichTextBox1->redo();
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("alt fett normal"));

        // A picture alone, as image data or as HTML: refused, the remark as it was.
        auto *nurBild = new QMimeData;
        nurBild->setImageData(bild);
        einfuegen(nurBild);
        auto *nurImg = new QMimeData;
        nurImg->setHtml(img + QStringLiteral("<br>"));
        einfuegen(nurImg);
        QCOMPARE(Testhilfe::meldungen().size(), 2);
        for (const auto &m : Testhilfe::meldungen()) {
            QCOMPARE(m.text, QStringLiteral("Bilder können in der Bemerkung nicht gespeichert werden."));
            QCOMPARE(m.symbol, Meldung::Symbol::Fehler);
        }
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("alt fett normal"));
        Testhilfe::leeren();

        // Dropped rich text, at the end.
        QMimeData gezogen;
        gezogen.setHtml(QStringLiteral("<i>kursiv</i>") + img);
        w->RichTextBox1->moveCursor(QTextCursor::End);
        Eintraghilfe::schreibe(w->RichTextBox1, QStringLiteral(" "));
        const QPoint ende = w->RichTextBox1->viewport()->rect().bottomRight() - QPoint(2, 2);
        QDragEnterEvent hinein(ende, Qt::CopyAction, &gezogen, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->RichTextBox1->viewport(), &hinein);
        QDropEvent fallen(ende, Qt::CopyAction, &gezogen, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->RichTextBox1->viewport(), &fallen);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QCOMPARE(w->RichTextBox1->toPlainText(), QStringLiteral("alt fett normal kursiv"));

        // What the box shows is what is stored.
        f.klick(w->cmd_speichern);
        QCOMPARE(Rtf::alsText(f.lies("select bemerkung from Kontakt where callsign = 'DL1AAA'")).trimmed(),
                 QStringLiteral("alt fett normal kursiv"));
    }

    // Formatting alone is a change; a record shown again is not.
    void bemerkungGeaendert()
    {
        Fenster f;
        f.sql(QStringLiteral("update Kontakt set bemerkung = 'alt' where callsign = 'OE2BBB'"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.zeile(1);
        QCOMPARE(Rtf::alsText(Rtf::schreiben(*w->RichTextBox1->document())).trimmed(), QStringLiteral("alt"));
        f.klick(w->cmd_bearbeiten);
        QVERIFY(!w->Adodc1->hatAenderungen());
        w->RichTextBox1->selectAll();
        QTest::keyClick(w->RichTextBox1, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(w->Adodc1->hatAenderungen());
        f.klick(w->cmd_abbrechen);
        QVERIFY(!w->Adodc1->hatAenderungen());
        QCOMPARE(f.lies("select bemerkung from Kontakt where callsign = 'OE2BBB'"), QStringLiteral("alt"));
        // Undo cannot reach back into the record shown before.
        f.zeile(0);
        QVERIFY(!w->RichTextBox1->document()->isUndoAvailable());
    }

    // The main window opens the log at start and from its menu; "Sicherung"
    // closes it, writing its input first.
    void hauptfenster()
    {
        Testhilfe::Programmordner ordner;
        Testhilfe::sql(ordner.logDatei(), QString::fromUtf8(Eintraghilfe::beispiele));
        Testhilfe::sql(ordner.logDatei(),
                       QStringLiteral("create trigger nein before update on Kontakt"
                                      " when new.ort = 'Bremen' begin select raise(abort, 'gesperrt'); end;"));
        frm_main haupt;
        haupt.zeigen();
        auto *w = qobject_cast<frm_eintrag *>(haupt.frm_eintrag());
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("4 Einträge"));
        QCOMPARE(haupt.mdi()->subWindowList().size(), 1);
        haupt.erre_Click();
        QCOMPARE(haupt.frm_eintrag(), w);
        QCOMPARE(haupt.mdi()->subWindowList().size(), 1);
        // The client area is 11250 x 7740 twips.
        QCOMPARE(w->size(), QSize(Geometrie::twips(11250), Geometrie::twips(7740)));

        w->SSTab1->setCurrentIndex(0);
        w->cmd_bearbeiten->click();
        w->txt_ort->setText(QStringLiteral("Bremen"));
        haupt.sicher_Click();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(haupt.frm_eintrag(), w);
        QVERIFY(!haupt.frm_sicherung());
        Testhilfe::leeren();

        w->txt_ort->setText(QStringLiteral("Bremerhaven"));
        haupt.sicher_Click();
        QTest::qWait(0);
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(!haupt.frm_eintrag());
        QVERIFY(haupt.frm_sicherung());
        QCOMPARE(
            Eintraghilfe::lies(ordner.logDatei(), QStringLiteral("select ort from Kontakt where callsign = 'DL1AAA'")),
            QStringLiteral("Bremerhaven"));

        // Opened again: the whole list, "Übersicht", Browse, a fresh search panel.
        haupt.erre_Click();
        w = qobject_cast<frm_eintrag *>(haupt.frm_eintrag());
        QVERIFY(w);
        QCOMPARE(w->SSTab1->currentIndex(), 1);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(w->txt_suchbegriff->text(), QStringLiteral("...Suchbegriff"));

        // Ending the program writes pending input too.
        w->SSTab1->setCurrentIndex(0);
        w->cmd_neu->click();
        w->txt_callsign->setText(QStringLiteral("DA0END"));
        QVERIFY(haupt.close());
        QCOMPARE(Eintraghilfe::lies(ordner.logDatei(),
                                    QStringLiteral("select count(*) from Kontakt where callsign = 'DA0END'")),
                 QStringLiteral("1"));
    }
};

TREMVIK_TEST_MAIN(TestEintrag)
#include "tst_eintrag.moc"
