// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/unicodelike.h"
#include "kernhilfe.h"

#include <sqlite3.h>

// like() must fold case for all of Unicode and keep SQLite's meaning of
// '%', '_', ESCAPE and NULL.
class TestUnicodeLike : public QObject
{
    Q_OBJECT
    sqlite3 *db = nullptr;

    QVariant frage(const QString &ausdruck)
    {
        const QString v = Testhilfe::abfrage(db, QStringLiteral("select ") + ausdruck, QStringLiteral("NULL")).value(0);
        if (v == QLatin1String("NULL"))
            return QVariant();
        return v;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        QVERIFY(registriereUnicodeLike(db));
    }
    void cleanupTestCase() { sqlite3_close(db); }

    void vergleich_data()
    {
        QTest::addColumn<QString>("ausdruck");
        QTest::addColumn<QVariant>("erwartet");
        auto z = [](const char *name, const char *a, QVariant e) { QTest::newRow(name) << QString::fromUtf8(a) << e; };
        z("Umlaut klein findet groß", "'MÜNCHEN' like '%münchen%'", 1);
        z("Umlaut groß findet klein", "'münchen' like '%MÜN%'", 1);
        z("ß und Akzente", "'Straße Café' like '%STRASSE%'", 0);
        z("Akzent gefaltet", "'CAFÉ' like 'café'", 1);
        z("Griechisch", "'ΑΘΉΝΑ' like 'αθήνα'", 1);
        z("ASCII", "'Hamburg' like 'ham%'", 1);
        z("Kelvinzeichen", "'Kiel' like '%kiel%'", 1);
        z("Teiltext nach Umlaut", "'Düsseldorf Feuerwache' like '%WACHE%'", 1);
        z("Teiltext hinten abgeschnitten", "'Feuerwach' like '%wache%'", 0);
        z("nicht enthalten", "'Hamburg' like '%Bremen%'", 0);
        z("Unterstrich ein Zeichen", "'Bär' like 'B_r'", 1);
        z("Unterstrich nicht zwei", "'Baar' like 'B_r'", 0);
        z("Prozent mitten", "'145,500' like '1%5%0'", 1);
        z("leeres Muster leerer Text", "'' like ''", 1);
        z("leeres Muster", "'x' like ''", 0);
        z("zwei Prozent passen auf leer", "'' like '%%'", 1);
        z("Rückverfolgung", "'aaab' like '%a%ab'", 1);
        z("Rückverfolgung fehlschlagend", "'aaac' like '%a%ab'", 0);
        z("Muster länger", "'ab' like 'abc'", 0);
        z("Escape Prozent", "'50%' like '50\\%' escape '\\'", 1);
        z("Escape Prozent wörtlich", "'500' like '50\\%' escape '\\'", 0);
        z("Escape Unterstrich", "'a_b' like 'a!_b' escape '!'", 1);
        z("Escape Umlaut", "'x' like '%x%' escape 'ü'", 1);
        z("NULL Text", "NULL like '%a%'", QVariant());
        z("NULL Muster", "'a' like NULL", QVariant());
        z("NULL Escape", "'a' like 'a' escape NULL", QVariant());
        z("Zahl als Text", "145500 like '%55%'", 1);
        z("Escape zu lang", "'a' like 'a' escape 'ab'",
          QStringLiteral("Fehler: ESCAPE expression must be a single character"));
    }
    void vergleich()
    {
        QFETCH(QString, ausdruck);
        QFETCH(QVariant, erwartet);
        const QVariant v = frage(ausdruck);
        QCOMPARE(v.isNull(), erwartet.isNull());
        if (!erwartet.isNull())
            QCOMPARE(v.toString(), erwartet.toString());
    }

    // The folded pattern is kept per statement; a pattern bound anew for each
    // row must not reuse the one before.
    void wechselndesMusterJeZeile()
    {
        QCOMPARE(sqlite3_exec(db,
                              "create table t(a, m); insert into t values ('Köln','%KÖ%'),('Köln','%bonn%'),"
                              "('BONN','%bonn%'),(NULL,'%'),('x',NULL);",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QCOMPARE(Testhilfe::abfrage(db, QStringLiteral("select count(*) from t where a like m")),
                 QStringList{QStringLiteral("2")});
    }

    void kaputtesUtf8StehtNichtStill()
    {
        QCOMPARE(frage(QStringLiteral("cast(x'C3' as text) like '%a%'")).toInt(), 0);
        QCOMPARE(frage(QStringLiteral("cast(x'41E2' as text) like 'a%'")).toInt(), 1);
    }
};

TREMVIK_KERN_TEST_MAIN(TestUnicodeLike)
#include "tst_unicodelike.moc"
