// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"

#include "kern/bestaende/logsuche.h"

using Eintraghilfe::zustand;

// The log window over a log file that is not well: a damaged page, a file
// that is no database. The user sees what can be read, learns once what is
// wrong, and nothing is written over the file.
class TestLogdatei : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Testhilfe::leeren(); }

    void beschaedigteSeite()
    {
        Eintraghilfe::Fenster f("");
        f.sql(QStringLiteral("with recursive z(i) as (select 1 union all select i + 1 from z where i < 400) "
                             "insert into Kontakt (callsign, frequenz, ort, bemerkung) select 'DL' || i, "
                             "printf('%03d,%d', (i * 13) % 400, i % 10), 'Ort ' || i, printf('%.250c', 'x') from z"));
        const QStringList alle =
            f.lies(QStringLiteral("select callsign from Kontakt order by frequenz, id")).split(QLatin1Char('\n'));
        QVERIFY(Testhilfe::beschaedigeTabelle(f.datei(), QStringLiteral("Kontakt")));
        const QByteArray kaputt = Testhilfe::lies(f.datei());
        QStringList lesbar;
        for (const QString &call : alle) {
            const QString r = f.lies(QStringLiteral("select callsign from Kontakt where id = %1").arg(call.mid(2)));
            lesbar << (r.startsWith(QLatin1String("Fehler")) ? QString() : r);
        }
        QVERIFY(lesbar.contains(QString()));

        f.oeffnen();
        frm_eintrag *w = f.w.get();
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("400 Einträge"));
        QCOMPARE(f.gridRufzeichen(), lesbar);   // every readable record, in its place
        QCoreApplication::processEvents();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const Testhilfe::Meldung m = Testhilfe::meldungen().first();
        QCOMPARE(m.symbol, Meldung::Symbol::Fehler);
        QVERIFY2(m.text.contains(f.datei()) && m.text.contains(QStringLiteral("beschädigt")), qPrintable(m.text));
        // Scrolling through once more says nothing new.
        f.gridRufzeichen();
        QCoreApplication::processEvents();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        Testhilfe::leeren();

        // A change to a readable record is refused with a word, and kept.
        const int zeile = int(lesbar.indexOf(QStringLiteral("DL5")) >= 0 ? lesbar.indexOf(QStringLiteral("DL5"))
                                                                         : lesbar.indexOf(QStringLiteral("DL6")));
        QVERIFY(zeile >= 0);
        f.zeile(zeile);
        QCOMPARE(w->txt_callsign->text(), lesbar[zeile]);
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_ort, QStringLiteral("Bonn"));
        f.klick(w->cmd_speichern);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY2(Testhilfe::meldungen().first().text.contains(QStringLiteral("Wiederherstellung")),
                 qPrintable(Testhilfe::meldungen().first().text));
        QCOMPARE(w->txt_ort->text(), QStringLiteral("Bonn"));
        f.klick(w->cmd_abbrechen);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        Testhilfe::leeren();

        // No new record is begun.
        f.klick(w->cmd_neu);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QCOMPARE(zustand(w), QStringLiteral("Browse"));
        QCOMPARE(Testhilfe::lies(f.datei()), kaputt);

        // A search reads past the bad rows too.
        Testhilfe::leeren();
        f.klick(w->opt_qth);
        f.klick(w->txt_suchbegriff);
        Eintraghilfe::schreibe(w->txt_suchbegriff, QStringLiteral("Ort 1"));
        f.klick(w->cmd_suchen);
        QStringList treffer;
        for (const QString &c : lesbar)
            if (!c.isEmpty() && c.mid(2).startsWith(QLatin1Char('1')))
                treffer << c;
        QCOMPARE(f.gridRufzeichen(), treffer);
        QCOMPARE(w->lbl_treffer->text(), Logsuche::trefferText(treffer.size()));
        QCoreApplication::processEvents();
        QVERIFY(Testhilfe::meldungen().isEmpty());   // said once is enough
        f.w.reset();
        QCOMPARE(Testhilfe::lies(f.datei()), kaputt);
    }

    // A log that is no database: the window does not open, and the message
    // says so in German, SQLite's words after it.
    void keineDatenbank()
    {
        Eintraghilfe::Fenster f("");
        Testhilfe::schreibe(f.datei(), QByteArray(8192, 'x'));
        auto w = std::make_unique<frm_eintrag>();
        QVERIFY(!Meldung::abfangen([&] { w->Form_Load(); }));
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const QString text = Testhilfe::meldungen().first().text;
        QVERIFY2(text.contains(f.datei()) && text.contains(QStringLiteral("keine Datenbank. (file is not a database)")),
                 qPrintable(text));
    }
};

TREMVIK_TEST_MAIN(TestLogdatei)
#include "tst_logdatei.moc"
