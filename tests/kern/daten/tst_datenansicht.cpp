// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/abfrage.h"
#include "kern/daten/adodc.h"
#include "kern/basis/datenfehler.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/daten/verbindung.h"
#include "kernhilfe.h"

#include <sqlite3.h>

// The data view against temporary database files: opening, counting, the two
// query shapes, reading on demand and writing back.
class TestDatenansicht : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;

    static int zaehle(const QString &datei, const char *sql) { return Testhilfe::zahl(datei, QString::fromUtf8(sql)); }

    // A bound field without a window: what the user typed, and what the data
    // view showed in it last.
    struct Feld
    {
        QString text, gezeigt;
    };
    static void binde(Adodc &a, Feld &f, const QString &name)
    {
        a.binde({name, [&f]() -> QVariant { return f.text.isEmpty() ? QVariant() : QVariant(f.text); },
                 [&f](const QVariant &v) { f.text = f.gezeigt = v.toString(); }, [&f] { return f.text != f.gezeigt; }});
    }
    static const Abfrage &logAlle()
    {
        static const Abfrage a = Abfrage::alle(QStringLiteral("Kontakt"), QStringLiteral("frequenz"));
        return a;
    }
    static QAbstractItemModel *spalten(Adodc &a, const QVector<ModellSpalte> &s)
    {
        a.modell()->setzeSpalten(s);
        return a.modell();
    }

    void vieleKontakte(int n)
    {
        Testhilfe::sql(
            ordner->logDatei(),
            QStringLiteral(
                "with recursive z(i) as (select 1 union all select i + 1 from z where i < %1) "
                "insert into Kontakt (callsign, frequenz, ort) select 'DL' || i, printf('%06d', i), 'Ort ' || i from z")
                .arg(n));
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
    }
    void cleanup() { ordner.reset(); }

    void verbindungstextUndDatei()
    {
        QCOMPARE(Verbindung::dateiName(Verbindungstext::log), QStringLiteral("tremvik.dorlem-fasq"));
        QCOMPARE(Verbindung::dateiName(Verbindungstext::frequenzen), QStringLiteral("Frequenzen.dorlem-fasq"));
        // The file is found in the program directory, not the working directory.
        const QString vorher = QDir::currentPath();
        QDir::setCurrent(QDir::tempPath());
        Verbindung v(Verbindungstext::log, Verbindung::Zugriff::LesenSchreiben);
        QDir::setCurrent(vorher);
        QCOMPARE(v.datei(), ordner->logDatei());
    }

    void oeffnenLegtNieEineDateiAn_data()
    {
        QTest::addColumn<bool>("schreibend");
        QTest::newRow("Log") << true;
        QTest::newRow("Frequenzen") << false;
    }
    void oeffnenLegtNieEineDateiAn()
    {
        QFETCH(bool, schreibend);
        const QString datei = schreibend ? ordner->logDatei() : ordner->frequenzDatei();
        QVERIFY(QFile::remove(datei));
        Adodc a(schreibend ? Verbindungstext::log : Verbindungstext::frequenzen,
                Abfrage::tabelle(schreibend ? QStringLiteral("Kontakt") : QStringLiteral("bos")),
                schreibend ? Verbindung::Zugriff::LesenSchreiben : Verbindung::Zugriff::NurLesen, nullptr);
        try {
            a.Refresh();
            QFAIL("eine fehlende Datei muss ein Fehler sein");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.meldung().contains(datei), qPrintable(f.meldung()));
        }
        QVERIFY(!QFile::exists(datei));
    }

    void fremdeDateiIstEinFehler()
    {
        Testhilfe::schreibe(ordner->logDatei(), QByteArray(4096, 'x'));
        try {
            Verbindung v(Verbindungstext::log, Verbindung::Zugriff::LesenSchreiben);
            QFAIL("eine fremde Datei muss ein Fehler sein");
        } catch (const DatenFehler &e) {
            QVERIFY(e.meldung().contains(ordner->logDatei()));
            QVERIFY2(e.meldung().contains(QLatin1String("not a database")), qPrintable(e.meldung()));
        }
    }

    void frequenzdatenbankNurLesend()
    {
        Verbindung v(Verbindungstext::frequenzen, Verbindung::Zugriff::NurLesen);
        QVERIFY(sqlite3_exec(v.handle(), "delete from bos", nullptr, nullptr, nullptr) != SQLITE_OK);
    }

    void abgelehnteAbfrageMeldetSichUndAendertNichts()
    {
        const Abfrage alle = Abfrage::alle(QStringLiteral("bos"), QStringLiteral("Ort"));
        Adodc a(Verbindungstext::frequenzen, alle, Verbindung::Zugriff::NurLesen, nullptr);
        a.Refresh();
        const int vorher = a.RecordCount();
        a.setRecordSource(Abfrage::suche(alle, QStringLiteral("gibtsnicht"), QStringLiteral("a")));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, a.Refresh());
        QCOMPARE(a.RecordCount(), vorher);
        // zeige() keeps the old record source when the new query fails.
        a.setRecordSource(alle);
        a.Refresh();
        QVERIFY_THROWS_EXCEPTION(DatenFehler,
                                 a.zeige(Abfrage::alle(QStringLiteral("gibtsnicht"), QStringLiteral("Ort"))));
        QCOMPARE(a.RecordSource(), QStringLiteral("select * from [bos] order by Ort asc"));
        QCOMPARE(a.RecordCount(), vorher);
        // A record source only reads: a text that would end the statement is
        // searched for as it stands.
        const int zeilen = zaehle(ordner->frequenzDatei(), "select count(*) from bos");
        a.zeige(Abfrage::suche(alle, QStringLiteral("Ort"), QStringLiteral("x'; delete from bos; --")));
        QCOMPARE(a.RecordCount(), 0);
        QCOMPARE(zaehle(ordner->frequenzDatei(), "select count(*) from bos"), zeilen);
    }

    // The count is exact from the start, while the rows are read as needed;
    // a search counts without its ORDER BY and still sorts.
    void zaehltGenauUndLiestBeiBedarf()
    {
        vieleKontakte(1000);
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("update Kontakt set ort = NULL where id % 10 = 0"));
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        QAbstractItemModel *grid = spalten(a, {{QStringLiteral("Frequenz"), QStringLiteral("frequenz")},
                                               {QStringLiteral("QTH"), QStringLiteral("ort")}});
        a.Refresh();
        QCOMPARE(a.RecordCount(), 1000);
        QCOMPARE(grid->rowCount(), 1000);
        QCOMPARE(grid->index(999, 0).data().toString(), QStringLiteral("001000"));
        QCOMPARE(grid->index(0, 1).data().toString(), QStringLiteral("Ort 1"));
        QVERIFY(grid->index(9, 1).data().isNull());
        a.setRecordSource(Abfrage::suche(logAlle(), QStringLiteral("ort"), QString(), QStringLiteral("Like")));
        QCOMPARE(a.RecordSource(), QStringLiteral("select * from [Kontakt] where ort Like '%%' order by frequenz asc"));
        a.Refresh();
        QCOMPARE(a.RecordCount(), 900);   // NULL is not matched by an empty search
        QCOMPARE(grid->index(8, 0).data().toString(), QStringLiteral("000009"));
        QCOMPARE(grid->index(9, 0).data().toString(), QStringLiteral("000011"));
    }

    // A write in the middle of reading is committed at once and the rows read
    // later neither repeat nor lose a record.
    void schreibenWaehrendDesLesens()
    {
        vieleKontakte(600);
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        Feld frequenz, call;
        binde(a, frequenz, QStringLiteral("frequenz"));
        binde(a, call, QStringLiteral("callsign"));
        QAbstractItemModel *grid = spalten(a, {{QStringLiteral("Frequenz"), QStringLiteral("frequenz")}});
        a.Refresh();
        QCOMPARE(frequenz.text, QStringLiteral("000001"));
        // Move the first record behind rows not read yet.
        frequenz.text = QStringLiteral("000450x");
        a.Update();
        QCOMPARE(zaehle(ordner->logDatei(), "select count(*) from Kontakt where frequenz = '000450x'"), 1);
        // A new record sorts into the unread rows too.
        a.AddNew();
        QVERIFY(frequenz.text.isEmpty());
        frequenz.text = QStringLiteral("000300x");
        call.text = QStringLiteral("NEU");
        a.Update();
        QCOMPARE(zaehle(ordner->logDatei(), "select count(*) from Kontakt where callsign = 'NEU'"), 1);
        QCOMPARE(a.RecordCount(), 601);
        QCOMPARE(a.aktuelleZeile(), 600);
        a.setAktuelleZeile(1);
        a.Delete();
        QCOMPARE(a.RecordCount(), 600);
        QCOMPARE(frequenz.text, QStringLiteral("000003"));
        QCOMPARE(zaehle(ordner->logDatei(), "select count(*) from Kontakt"), 600);

        QStringList gesehen;
        for (int r = 0; r < a.RecordCount(); ++r)
            gesehen << grid->index(r, 0).data().toString();
        QCOMPARE(gesehen.size(), 600);
        QCOMPARE(QSet<QString>(gesehen.begin(), gesehen.end()).size(), 600);
        QCOMPARE(gesehen.front(), QStringLiteral("000450x"));   // changed in place
        QCOMPARE(gesehen.back(), QStringLiteral("000300x"));    // added at the end
        QVERIFY(!gesehen.contains(QStringLiteral("000002")));   // deleted
    }

    // An open log view does not lock the file against other writers, and
    // rows read after such a write still come out once each.
    void offeneAnsichtSperrtDieDateiNicht()
    {
        vieleKontakte(300);
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        QAbstractItemModel *grid = spalten(a, {{QStringLiteral("Frequenz"), QStringLiteral("frequenz")}});
        a.Refresh();
        QCOMPARE(grid->index(3, 0).data().toString(), QStringLiteral("000004"));
        QCoreApplication::processEvents();
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("update Kontakt set ort = 'anders' where id = 250"));
        QStringList gesehen;
        for (int r = 0; r < a.RecordCount(); ++r)
            gesehen << grid->index(r, 0).data().toString();
        QCOMPARE(QSet<QString>(gesehen.begin(), gesehen.end()).size(), 300);
        QCOMPARE(gesehen.back(), QStringLiteral("000300"));
    }

    void neuerDatensatzOhneEingabeWirdVerworfen()
    {
        vieleKontakte(3);
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        Feld call;
        binde(a, call, QStringLiteral("callsign"));
        a.Refresh();
        a.AddNew();
        QVERIFY(!a.hatAenderungen());
        a.setAktuelleZeile(2);
        QCOMPARE(zaehle(ordner->logDatei(), "select count(*) from Kontakt"), 3);
        QCOMPARE(call.text, QStringLiteral("DL3"));
        // Input on a record that is left is written first.
        call.text = QStringLiteral("DL3X");
        a.setAktuelleZeile(0);
        QCOMPARE(zaehle(ordner->logDatei(), "select count(*) from Kontakt where callsign = 'DL3X'"), 1);
        // Cancel throws the input away.
        call.text = QStringLiteral("weg");
        a.Cancel();
        QCOMPARE(call.text, QStringLiteral("DL1"));
        QVERIFY(!a.hatAenderungen());
    }

    void abgelehntesSchreibenBehaeltDieEingabe()
    {
        vieleKontakte(2);
        Testhilfe::sql(
            ordner->logDatei(),
            QStringLiteral(
                "create trigger sperre before update on Kontakt begin select raise(abort, 'gesperrt'); end;"));
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        Feld call;
        binde(a, call, QStringLiteral("callsign"));
        a.Refresh();
        call.text = QStringLiteral("NEU");
        try {
            a.setAktuelleZeile(1);
            QFAIL("das Schreiben muss scheitern");
        } catch (const DatenFehler &f) {
            QVERIFY(f.meldung().contains(QLatin1String("gesperrt")));
        }
        QCOMPARE(a.aktuelleZeile(), 0);
        QCOMPARE(call.text, QStringLiteral("NEU"));
        QVERIFY(a.hatAenderungen());
    }

    void ohneAktuellenDatensatz()
    {
        Adodc a(Verbindungstext::log, logAlle(), Verbindung::Zugriff::LesenSchreiben, nullptr);
        a.Refresh();
        QCOMPARE(a.RecordCount(), 0);
        QCOMPARE(a.aktuelleZeile(), -1);
        QVERIFY_THROWS_EXCEPTION(KeinDatensatz, a.Update());
        QVERIFY_THROWS_EXCEPTION(KeinDatensatz, a.Delete());
    }
};

TREMVIK_KERN_TEST_MAIN(TestDatenansicht)
#include "tst_datenansicht.moc"
