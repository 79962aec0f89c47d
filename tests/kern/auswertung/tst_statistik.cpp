// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/auswertung/fixture.h"
#include "kern/auswertung/statistik.h"
#include "kern/basis/datenfehler.h"
#include "kern/bestaende/logdatum.h"
#include "kern/daten/recordset.h"
#include "kern/daten/verbindung.h"

#include <sqlite3.h>

#include <cstdio>

using Reihe = Statistik::Reihe;

// The figures of the log against a log with known answers, the records behind
// every bar, the period at its edges, and reading dates and times.
class TestStatistik : public QObject
{
    Q_OBJECT
    std::unique_ptr<Testhilfe::Programmordner> ordner;

    static QStringList balken(Statistik &s, Reihe r, bool auchNullen = false)
    {
        QStringList l;
        for (const Statistik::Balken &b : s.reihe(r))
            if (auchNullen || b.anzahl > 0)
                l << b.schluessel + QLatin1Char('=') + QString::number(b.anzahl);
        return l;
    }

    static QList<qint64> ids(Recordset &rs)
    {
        QList<qint64> l;
        for (int i = 0; i < rs.RecordCount(); ++i)
            l << rs.wert(i, 0).toLongLong();
        return l;
    }

    static QList<qint64> hinter(Statistik &s, Reihe r, const QString &schluessel)
    {
        Statistik::Auswahl a;
        a.reihe = r;
        a.schluessel = schluessel;
        return ids(s.eintraege(a));
    }

    static Statistik::Zeitraum zeitraum(const char *von, const char *bis)
    {
        return {QDate::fromString(QString::fromLatin1(von), QStringLiteral("dd.MM.yyyy")),
                QDate::fromString(QString::fromLatin1(bis), QStringLiteral("dd.MM.yyyy"))};
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        legeFixtureAn(ordner->logDatei());
    }
    void cleanup() { ordner.reset(); }

    void datumLesen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("tag");
        QTest::newRow("wie getippt") << "30.06.2006" << QDate(2006, 6, 30);
        QTest::newRow("einstellig") << "1.7.2006" << QDate(2006, 7, 1);
        QTest::newRow("Blanks außen") << " 01.07.2006\t" << QDate(2006, 7, 1);
        QTest::newRow("Schalttag") << "29.02.2008" << QDate(2008, 2, 29);
        QTest::newRow("kein Schalttag") << "29.02.2006" << QDate();
        QTest::newRow("31. Februar") << "31.02.2006" << QDate();
        QTest::newRow("Monat 13") << "01.13.2006" << QDate();
        QTest::newRow("Tag 0") << "00.01.2006" << QDate();
        QTest::newRow("zweistelliges Jahr") << "15.03.06" << QDate();
        QTest::newRow("Tippfehler im Jahr") << "01.07.0206" << QDate();
        QTest::newRow("fünfstelliges Jahr") << "01.07.20066" << QDate();
        QTest::newRow("dreistelliger Tag") << "001.07.2006" << QDate();
        QTest::newRow("mit Uhrzeit") << "01.07.2006 21:45" << QDate();
        QTest::newRow("ISO") << "2006-07-01" << QDate(2006, 7, 1);
        QTest::newRow("leer") << "" << QDate();
        QTest::newRow("Ziffern anderer Schrift") << QString::fromUtf8("٠١.٠٧.٢٠٠٦") << QDate();
    }
    void datumLesen()
    {
        QFETCH(QString, text);
        QFETCH(QDate, tag);
        const auto gelesen = Logdatum::tag(text);
        QCOMPARE(gelesen.value_or(QDate()), tag);
    }

    void uhrzeitLesen()
    {
        QCOMPARE(Logdatum::minute(u"21:45"), 21 * 60 + 45);
        QCOMPARE(Logdatum::minute(u"0:00"), 0);
        QCOMPARE(Logdatum::minute(u" 23:59:59 "), 23 * 60 + 59);
        QCOMPARE(Logdatum::minute(u"1245"), 12 * 60 + 45);
        for (const char16_t *falsch : {u"24:00", u"12:60", u"12:5", u"12:45:7", u"12:45 Uhr", u"", u"abc"})
            QVERIFY2(!Logdatum::minute(falsch), qPrintable(QString::fromUtf16(falsch)));
    }

    void zahlenDesGanzenLogs()
    {
        Statistik s(Verbindungstext::log);
        const Statistik::Zahlen z = s.berechne({});
        QCOMPARE(z.imLog, 13);
        QCOMPARE(z.gezaehlt, 13);
        QCOMPARE(z.ohneDatum, 6);
        QCOMPARE(z.ohneUhrzeit, 3);
        QCOMPARE(z.erster, QDate(2005, 11, 30));
        QCOMPARE(z.letzter, QDate(2008, 2, 29));

        // A bar for every month from the first to the last, across the years.
        const QVector<Statistik::Balken> &monate = s.reihe(Reihe::Monat);
        QCOMPARE(monate.size(), 28);
        QCOMPARE(monate.first().schluessel, QStringLiteral("2005-11"));
        QCOMPARE(monate.first().text, QStringLiteral("November 2005"));
        QCOMPARE(monate.last().schluessel, QStringLiteral("2008-02"));
        QCOMPARE(balken(s, Reihe::Monat),
                 QStringList({"2005-11=1", "2005-12=2", "2006-01=1", "2006-02=1", "2006-03=1", "2008-02=1"}));
        QCOMPARE(Statistik::summe(s.reihe(Reihe::Monat)), z.imLog - z.ohneDatum);

        QCOMPARE(s.reihe(Reihe::Stunde).size(), 24);
        QCOMPARE(balken(s, Reihe::Stunde), QStringList({"0=2", "7=1", "9=1", "10=1", "12=2", "18=1", "23=2"}));
        QCOMPARE(Statistik::summe(s.reihe(Reihe::Stunde)), z.imLog - z.ohneUhrzeit);

        QCOMPARE(balken(s, Reihe::Wochentag, true), QStringList({"1=0", "2=0", "3=3", "4=1", "5=1", "6=1", "7=1"}));
        QCOMPARE(s.reihe(Reihe::Wochentag).first().text, QStringLiteral("Montag"));

        // Blanks around a value make no value of their own; empty ones are
        // counted, under "(ohne Angabe)".
        QCOMPARE(balken(s, Reihe::Modulation), QStringList({"FM=8", "AM=2", "=1", "LSB=1", "USB=1"}));
        QCOMPARE(s.reihe(Reihe::Modulation)[2].text, QStringLiteral("(ohne Angabe)"));
        QCOMPARE(balken(s, Reihe::Land),
                 QStringList({"Deutschland=5", "Belgien=1", "Frankreich=1", "Großbritannien=1", "Italien=1",
                              "Kroatien=1", "Polen=1", "Schweiz=1", "Österreich=1"}));
        QCOMPARE(Statistik::summe(s.reihe(Reihe::Land)), z.imLog);

        // The most frequent: no empty place, at most ten call signs.
        QCOMPARE(balken(s, Reihe::Ort),
                 QStringList({"Köln=4", "München=3", "L'Aquila=2", "Straßburg=1", "Wien=1", "Zürich=1"}));
        QCOMPARE(balken(s, Reihe::Rufzeichen), QStringList({"DL1AAA=3", "9A1A=1", "DL2BBB=1", "DL3CCC=1", "F5ABC=1",
                                                            "G4C=1", "HB9XX=1", "I1D=1", "OE3XYZ=1", "ON4B=1"}));
    }

    void jederBalkenListetGenauSeineEintraege()
    {
        Statistik s(Verbindungstext::log);
        for (const Statistik::Zeitraum &zr : {Statistik::Zeitraum(), zeitraum("01.12.2005", "01.01.2006")}) {
            s.berechne(zr);
            for (int r = 0; r < Statistik::AnzahlReihen; ++r)
                for (const Statistik::Balken &b : s.reihe(Reihe(r)))
                    QCOMPARE(hinter(s, Reihe(r), b.schluessel).size(), b.anzahl);
        }
        s.berechne({});
        QCOMPARE(hinter(s, Reihe::Monat, QStringLiteral("2005-12")), QList<qint64>({2, 3}));
        QCOMPARE(hinter(s, Reihe::Monat, QStringLiteral("2007-01")), QList<qint64>());
        // By date and time: the first of January's quarter past midnight after
        // the 1st of December's midnight.
        QCOMPARE(hinter(s, Reihe::Stunde, QStringLiteral("0")), QList<qint64>({2, 4}));
        QCOMPARE(hinter(s, Reihe::Wochentag, QStringLiteral("3")), QList<qint64>({1, 5, 11}));
        QCOMPARE(hinter(s, Reihe::Modulation, QStringLiteral("FM")).size(), 8);
        QCOMPARE(hinter(s, Reihe::Modulation, QString()), QList<qint64>({8}));
        QCOMPARE(hinter(s, Reihe::Land, QStringLiteral("Österreich")), QList<qint64>({3}));
        QCOMPARE(hinter(s, Reihe::Ort, QStringLiteral("Köln")), QList<qint64>({7, 9, 5, 11}));
        QCOMPARE(hinter(s, Reihe::Ort, QStringLiteral("L'Aquila")), QList<qint64>({8, 10}));
        // A key is a value, never SQL.
        QCOMPARE(hinter(s, Reihe::Ort, QStringLiteral("x' or '1'='1")), QList<qint64>());
        QCOMPARE(hinter(s, Reihe::Stunde, QStringLiteral("1 or 1=1")), QList<qint64>());

        // The columns the grid shows, as stored.
        Statistik::Auswahl a;
        a.reihe = Reihe::Land;
        a.schluessel = QStringLiteral("Frankreich");
        Recordset &rs = s.eintraege(a);
        QCOMPARE(rs.zeile(0),
                 QVector<QVariant>({QStringLiteral("4"), QStringLiteral("01.01.2006"), QStringLiteral("0:15"),
                                    QStringLiteral("F5ABC"), QVariant(), QStringLiteral("Straßburg")}));

        a.art = Statistik::Auswahl::Art::OhneDatum;
        QCOMPARE(ids(s.eintraege(a)), QList<qint64>({6, 7, 8, 9, 10, 13}));
        a.art = Statistik::Auswahl::Art::OhneUhrzeit;
        QCOMPARE(ids(s.eintraege(a)), QList<qint64>({8, 13, 11}));
    }

    void zeitraumAnSeinenRaendern()
    {
        Statistik s(Verbindungstext::log);
        // Both ends belong to the period; the days just outside do not.
        Statistik::Zahlen z = s.berechne(zeitraum("01.12.2005", "31.12.2005"));
        QCOMPARE(z.gezaehlt, 2);
        QCOMPARE(z.imLog, 13);
        QCOMPARE(z.ohneDatum, 6);   // of the whole log: they are in no period
        QCOMPARE(z.ohneUhrzeit, 0);
        QCOMPARE(balken(s, Reihe::Monat, true), QStringList({"2005-12=2"}));
        QCOMPARE(balken(s, Reihe::Stunde), QStringList({"0=1", "23=1"}));
        QCOMPARE(balken(s, Reihe::Modulation), QStringList({"AM=1", "FM=1"}));
        QCOMPARE(balken(s, Reihe::Land), QStringList({"Deutschland=1", "Österreich=1"}));

        z = s.berechne(zeitraum("01.12.2005", "01.01.2006"));
        QCOMPARE(balken(s, Reihe::Monat, true), QStringList({"2005-12=2", "2006-01=1"}));
        z = s.berechne(zeitraum("30.11.2005", "30.11.2005"));
        QCOMPARE(z.gezaehlt, 1);
        QCOMPARE(hinter(s, Reihe::Rufzeichen, QStringLiteral("DL1AAA")), QList<qint64>({1}));

        // A period without records still has its months, all 0.
        z = s.berechne(zeitraum("01.01.2007", "31.12.2007"));
        QCOMPARE(z.gezaehlt, 0);
        QCOMPARE(s.reihe(Reihe::Monat).size(), 12);
        QCOMPARE(Statistik::summe(s.reihe(Reihe::Monat)), 0);
        QVERIFY(s.reihe(Reihe::Modulation).isEmpty());

        // An open end runs to the log's last month.
        z = s.berechne({QDate(2006, 1, 1), QDate()});
        QCOMPARE(z.gezaehlt, 4);
        QCOMPARE(s.reihe(Reihe::Monat).size(), 26);
        QCOMPARE(s.reihe(Reihe::Monat).last().schluessel, QStringLiteral("2008-02"));

        // Records of the period whose time cannot be read: only those.
        z = s.berechne(zeitraum("01.03.2006", "31.03.2006"));
        QCOMPARE(z.ohneUhrzeit, 1);
        Statistik::Auswahl a;
        a.art = Statistik::Auswahl::Art::OhneUhrzeit;
        QCOMPARE(ids(s.eintraege(a)), QList<qint64>({11}));
    }

    void leeresLog()
    {
        Testhilfe::sql(ordner->logDatei(), QStringLiteral("delete from Kontakt"));
        Statistik s(Verbindungstext::log);
        const Statistik::Zahlen z = s.berechne({});
        QCOMPARE(z.imLog, 0);
        QVERIFY(s.reihe(Reihe::Monat).isEmpty());
        QCOMPARE(s.reihe(Reihe::Stunde).size(), 24);
        QCOMPARE(Statistik::summe(s.reihe(Reihe::Stunde)), 0);
        QVERIFY(!z.erster.isValid());
    }

    void liestNurUndSperrtDasLogNicht()
    {
        const QByteArray vorher = Testhilfe::lies(ordner->logDatei());
        Statistik s(Verbindungstext::log);
        s.berechne({});
        Statistik::Auswahl a;
        a.reihe = Reihe::Modulation;
        a.schluessel = QStringLiteral("FM");
        Recordset &rs = s.eintraege(a);
        rs.wert(0, 0);   // a list that has begun to be read
        QCOMPARE(Testhilfe::lies(ordner->logDatei()), vorher);

        // The log window can still write while the list is open.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(ordner->logDatei()).constData(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 100);
        const int rc = sqlite3_exec(db, "update Kontakt set band = 'AM' where id = 1", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(rc, SQLITE_OK);
        // The list is the one counted; the next computation sees the change.
        QCOMPARE(rs.RecordCount(), 8);
        s.berechne({});
        QCOMPARE(balken(s, Reihe::Modulation).first(), QStringLiteral("FM=7"));
    }

    void fehlendesUndWiederhergestelltesLog()
    {
        Statistik s(Verbindungstext::log);
        QCOMPARE(s.berechne({}).imLog, 13);

        // A restore puts a new file in place of the log: the next computation
        // counts that one, not the file it replaced.
        const QString neu = ordner->pfad() + QStringLiteral("/neu.db");
        Testhilfe::ausSchema(neu, QStringLiteral("kontakt.sql"));
        Testhilfe::sql(neu, QStringLiteral("insert into Kontakt (datum) values ('01.01.2020')"));
        QVERIFY(std::rename(QFile::encodeName(neu).constData(), QFile::encodeName(ordner->logDatei()).constData())
                == 0);
        QCOMPARE(s.berechne({}).imLog, 1);

        QFile::remove(ordner->logDatei());
        QVERIFY_THROWS_EXCEPTION(DatenFehler, s.berechne({}));
        QVERIFY(!QFile::exists(ordner->logDatei()));
    }
};

TREMVIK_KERN_TEST_MAIN(TestStatistik)
#include "tst_statistik.moc"
