// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/sortierung.h"
#include "kernhilfe.h"

#include <sqlite3.h>

#include <random>

// The collations a clicked column sorts by, through SQLite as the lists use
// them.
class TestSortierung : public QObject
{
    Q_OBJECT

    // The texts sorted by "order by t collate <kollation>" (NULL as "NULL").
    static QStringList sortiert(const QStringList &texte, const QString &kollation, bool ab = false)
    {
        sqlite3 *db = nullptr;
        sqlite3_open(":memory:", &db);
        if (!Sortierung::registrieren(db))
            return {QStringLiteral("nicht registriert")};
        sqlite3_exec(db, "create table t (t text)", nullptr, nullptr, nullptr);
        for (const QString &t : texte) {
            sqlite3_stmt *s = nullptr;
            sqlite3_prepare_v2(db, "insert into t values (?)", -1, &s, nullptr);
            if (t != QLatin1String("NULL"))
                sqlite3_bind_text(s, 1, t.toUtf8().constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(s);
            sqlite3_finalize(s);
        }
        QStringList r;
        sqlite3_stmt *s = nullptr;
        const QByteArray sql = QStringLiteral("select t from t order by t collate %1 %2")
                                   .arg(kollation, ab ? QStringLiteral("desc") : QStringLiteral("asc"))
                                   .toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            r << (sqlite3_column_type(s, 0) == SQLITE_NULL
                      ? QStringLiteral("NULL")
                      : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0))));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return r;
    }

private Q_SLOTS:
    // Frequencies as numbers whatever their length and decimals; what is no
    // frequency after them; one frequency's spellings by their characters.
    void frequenzen()
    {
        const QStringList texte{"172,220", "84,295",    "145,500", "27,185",        "0,1291", "1240",
                                "7,1",     "unbekannt", "",        "145,5",         "NULL",   " 145,5",
                                "Ärger",   "438.650",   "85,3350", "999999,999999", "Anruf"};
        QCOMPARE(sortiert(texte, Sortierung::frequenz),
                 QStringList({"NULL", "0,1291", "7,1", "27,185", "84,295", "85,3350", " 145,5", "145,5", "145,500",
                              "172,220", "438.650", "1240", "999999,999999", "", "Anruf", "Ärger", "unbekannt"}));
        QVERIFY(Sortierung::vergleicheFrequenz(u"84,295", u"172,220") < 0);
        QVERIFY(Sortierung::vergleicheFrequenz(u"145,5 MHz", u"146") < 0);
        QVERIFY(Sortierung::vergleicheFrequenz(u"1000000", u"1") > 0);   // too large: no frequency
    }

    // Plain frequencies are compared on their bytes: for every pair of a
    // mixed set of texts that agrees with the full comparison.
    void einfacheUndVolleGleich()
    {
        QStringList texte{"0",      "00",        ",5",        "5,",    ",",       "0,500000",    "0,5000001",
                          "999999", "1000000",   "0999999,9", "145,5", "145,500", "145,5000000", "27,185",
                          "27.185", "145,5 MHz", " 145,5",    "1,2,3", "",        "0,000001",    "0,0000001"};
        const QString zeichen = QStringLiteral("0012599,. Mzaä");
        std::mt19937 zufall(3);
        for (int i = 0; i < 400; ++i) {
            QString t;
            for (int n = int(zufall() % 10); n > 0; --n)
                t += zeichen[int(zufall() % zeichen.size())];
            texte << t;
        }
        sqlite3 *db = nullptr;
        sqlite3_open(":memory:", &db);
        QVERIFY(Sortierung::registrieren(db));
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, "select (?1 collate frequenz) < ?2, (?1 collate frequenz) = ?2", -1, &s, nullptr);
        int falsch = 0;
        for (const QString &a : texte) {
            const QByteArray a8 = a.toUtf8();
            for (const QString &b : texte) {
                const QByteArray b8 = b.toUtf8();
                sqlite3_bind_text(s, 1, a8.constData(), a8.size(), SQLITE_STATIC);
                sqlite3_bind_text(s, 2, b8.constData(), b8.size(), SQLITE_STATIC);
                sqlite3_step(s);
                const int sql = sqlite3_column_int(s, 1) ? 0 : sqlite3_column_int(s, 0) ? -1 : 1;
                sqlite3_reset(s);
                const int voll = Sortierung::vergleicheFrequenz(a, b);
                if (sql != voll && ++falsch < 5)
                    qWarning("%s / %s: %d statt %d", qPrintable(a), qPrintable(b), sql, voll);
            }
        }
        sqlite3_finalize(s);
        sqlite3_close(db);
        QCOMPARE(falsch, 0);
    }

    // German dictionary order: umlauts with their letter, ß as ss, case and
    // accents only between otherwise equal words.
    void deutsch()
    {
        const QStringList texte{"Zwiesel", "Ärzte", "Arzt", "Abend", "Öhringen", "Ofen",   "Straße", "Strasse",
                                "Strand",  "Über",  "Ulm",  "apfel", "Apfel",    "Zürich", "Zug"};
        const QStringList erwartet{"Abend",   "apfel",  "Apfel", "Arzt", "Ärzte", "Ofen",   "Öhringen", "Strand",
                                   "Strasse", "Straße", "Über",  "Ulm",  "Zug",   "Zürich", "Zwiesel"};
        QCOMPARE(sortiert(texte, Sortierung::deutsch), erwartet);
        QStringList ab = erwartet;
        std::reverse(ab.begin(), ab.end());
        QCOMPARE(sortiert(texte, Sortierung::deutsch, true), ab);
        // Equal only when equal.
        QVERIFY(Sortierung::vergleicheDeutsch(u"Straße", u"Strasse") != 0);
        QCOMPARE(Sortierung::vergleicheDeutsch(u"Köln", u"Köln"), 0);
    }
};

TREMVIK_KERN_TEST_MAIN(TestSortierung)
#include "tst_sortierung.moc"
