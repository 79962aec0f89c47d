// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/logdatum.h"
#include "kern/bestaende/logeintrag.h"
#include "kernhilfe.h"

#include <sqlite3.h>

// The one reader of the log's dates and times: which forms it takes, the
// century of a two-digit year, and that the statistics (through SQL) and the
// import's duplicate check read every stored form alike.
class TestLogdatum : public QObject
{
    Q_OBJECT

    const QDate heute{2025, 6, 15};

    // What the statistics' SQL functions make of a date and a time.
    static QStringList perSql(const QString &datum, const QString &zeit)
    {
        sqlite3 *db = nullptr;
        sqlite3_open(":memory:", &db);
        if (!Logdatum::registriere(db))
            return {"nicht registriert"};
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, "select log_tag(?), log_minute(?)", -1, &s, nullptr);
        const QByteArray d = datum.toUtf8(), z = zeit.toUtf8();
        sqlite3_bind_text(s, 1, d.constData(), int(d.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, z.constData(), int(z.size()), SQLITE_TRANSIENT);
        QStringList aus;
        if (sqlite3_step(s) == SQLITE_ROW)
            for (int k = 0; k < 2; ++k)
                aus << (sqlite3_column_type(s, k) == SQLITE_NULL
                            ? QStringLiteral("NULL")
                            : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, k))));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return aus;
    }

    static Logeintrag eintrag(const QString &datum, const QString &zeit)
    {
        Logeintrag e;
        e[Logeintrag::callsign] = QStringLiteral("DL1ABC");
        e[Logeintrag::datum] = datum;
        e[Logeintrag::uhrzeit] = zeit;
        e[Logeintrag::frequenz] = QStringLiteral("145,500");
        return e;
    }

private Q_SLOTS:
    void daten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("tag");
        QTest::newRow("wie getippt") << "30.06.2006" << QDate(2006, 6, 30);
        QTest::newRow("einstellig") << "1.7.2006" << QDate(2006, 7, 1);
        QTest::newRow("Blanks außen") << " 01.07.2006\t" << QDate(2006, 7, 1);
        QTest::newRow("ISO") << "2006-07-01" << QDate(2006, 7, 1);
        QTest::newRow("ADIF") << "20060701" << QDate(2006, 7, 1);
        QTest::newRow("zweistelliges Jahr") << "30.06.06" << QDate();
        QTest::newRow("Schalttag") << "29.02.2008" << QDate(2008, 2, 29);
        QTest::newRow("kein Schalttag") << "29.02.2006" << QDate();
        QTest::newRow("kein Schalttag, ADIF") << "20060229" << QDate();
        QTest::newRow("31. Februar") << "31.02.2006" << QDate();
        QTest::newRow("Monat 13") << "01.13.2006" << QDate();
        QTest::newRow("Tag 0") << "00.01.2006" << QDate();
        QTest::newRow("Tippfehler im Jahr") << "01.07.0206" << QDate();
        QTest::newRow("dreistelliges Jahr") << "01.07.206" << QDate();
        QTest::newRow("fünfstelliges Jahr") << "01.07.20066" << QDate();
        QTest::newRow("dreistelliger Tag") << "001.07.2006" << QDate();
        QTest::newRow("ISO einstellig") << "2006-7-1" << QDate();
        QTest::newRow("neun Ziffern") << "200607011" << QDate();
        QTest::newRow("ADIF außerhalb der Jahrgänge") << "18990101" << QDate();
        QTest::newRow("mit Uhrzeit") << "01.07.2006 21:45" << QDate();
        QTest::newRow("leer") << "" << QDate();
        QTest::newRow("Ziffern anderer Schrift") << QString::fromUtf8("٠١.٠٧.٢٠٠٦") << QDate();
    }
    void daten()
    {
        QFETCH(QString, text);
        QFETCH(QDate, tag);
        QCOMPARE(Logdatum::tag(text).value_or(QDate()), tag);
    }

    void zeiten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("zeit");   // as the log writes it; empty: no time
        QTest::newRow("wie getippt") << "21:45"
                                     << "21:45";
        QTest::newRow("einstellige Stunde") << "7:05"
                                            << "07:05";
        QTest::newRow("Mitternacht") << "0:00"
                                     << "00:00";
        QTest::newRow("Sekunden") << " 23:59:59 "
                                  << "23:59:59";
        QTest::newRow("mit Punkt") << "21.45"
                                   << "21:45";
        QTest::newRow("ADIF") << "2145"
                              << "21:45";
        QTest::newRow("ADIF mit Sekunden") << "214530"
                                           << "21:45:30";
        for (const char *falsch :
             {"24:00", "12:60", "12:5", "12:45:7", "12:45 Uhr", "945", "21:45.30", "2460", "21:45:60", "", "abc"})
            QTest::newRow(falsch) << falsch << "";
    }
    void zeiten()
    {
        QFETCH(QString, text);
        QFETCH(QString, zeit);
        const auto gelesen = Logdatum::uhrzeit(text);
        QCOMPARE(gelesen ? Logdatum::zeitText(*gelesen) : QString(), zeit);
        QCOMPARE(Logdatum::minute(text).has_value(), !zeit.isEmpty());
    }

    // A spreadsheet's cell: a date with or without a time; a two-digit year
    // is the nearest one not in the future.
    void zeitpunkte()
    {
        auto text = [&](const char *zelle) {
            const auto p = Logdatum::zeitpunkt(QString::fromUtf8(zelle), heute);
            if (!p)
                return QStringLiteral("-");
            return Logdatum::datumText(p->tag) + (p->uhrzeit ? " " + Logdatum::zeitText(*p->uhrzeit) : QString());
        };
        QCOMPARE(text("30.06.06 21:45:00"), "30.06.2006 21:45:00");
        QCOMPARE(text("24.12.99"), "24.12.1999");
        QCOMPARE(text("1.12.25"), "01.12.2025");
        QCOMPARE(text("01.01.26"), "01.01.1926");
        QCOMPARE(text("2006-06-30T21:45"), "30.06.2006 21:45");
        QCOMPARE(text("2006-06-30 21:45:00"), "30.06.2006 21:45:00");
        QCOMPARE(text("30.06.2006  21.45"), "30.06.2006 21:45");
        QCOMPARE(text("1.7.06"), "01.07.2006");
        QCOMPARE(text(" 30.06.2006 "), "30.06.2006");
        QCOMPARE(text("30.06.2006 2145"), "-");
        QCOMPARE(text("30.06.2006 21:45 Uhr"), "-");
        QCOMPARE(text("30.06.2006T"), "-");
        QCOMPARE(text("21:45"), "-");
    }

    // Every form either reader took before: the statistics read each as
    // the import's duplicate check does, and equal dates and times give
    // equal keys.
    void statistikUndImportLesenGleich_data()
    {
        QTest::addColumn<QString>("datum");
        QTest::addColumn<QString>("zeit");
        QTest::newRow("die Form des Logs") << "01.07.2006"
                                           << "21:45";
        QTest::newRow("einstellig") << "1.7.2006"
                                    << "21:45:00";
        QTest::newRow("ISO, Punkt") << "2006-07-01"
                                    << "21.45";
        QTest::newRow("ADIF") << "20060701"
                              << "2145";
        QTest::newRow("ADIF mit Sekunden") << "20060701"
                                           << "214530";
        QTest::newRow("Sekunden") << "01.07.2006"
                                  << "21:45:30";
        QTest::newRow("Blanks") << " 01.07.2006 "
                                << " 21:45 ";
    }
    void statistikUndImportLesenGleich()
    {
        QFETCH(QString, datum);
        QFETCH(QString, zeit);
        QCOMPARE(perSql(datum, zeit), (QStringList{"2006-07-01", QString::number(21 * 60 + 45)}));
        QCOMPARE(Logdatum::tag(datum), QDate(2006, 7, 1));
        QCOMPARE(Logdatum::minute(zeit), 21 * 60 + 45);
        QCOMPARE(Logdaten::schluessel(eintrag(datum, zeit)), Logdaten::schluessel(eintrag("01.07.2006", "21:45")));
    }

    // What neither reads is compared by its text, and counts as no date.
    void ungelesenesBleibtText()
    {
        QCOMPARE(perSql("Sommer 2006", "abends"), (QStringList{"NULL", "NULL"}));
        QCOMPARE(perSql("01.07.06", "21:45"), (QStringList{"NULL", QString::number(21 * 60 + 45)}));
        QVERIFY(Logdaten::schluessel(eintrag("01.07.06", "21:45"))
                != Logdaten::schluessel(eintrag("01.07.2006", "21:45")));
        QCOMPARE(Logdaten::schluessel(eintrag("Sommer 2006", "abends")),
                 Logdaten::schluessel(eintrag(" Sommer 2006", "abends ")));
        QVERIFY(Logdaten::schluessel(eintrag("Sommer 2006", "abends"))
                != Logdaten::schluessel(eintrag("Winter 2006", "abends")));
        QVERIFY(Logdaten::schluessel(eintrag("01.07.2006", "21:45"))
                != Logdaten::schluessel(eintrag("01.07.2006", "21:46")));
    }
};

TREMVIK_KERN_TEST_MAIN(TestLogdatum)
#include "tst_logdatum.moc"
