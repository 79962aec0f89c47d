// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/daten/sqlitedatei.h"
#include "kernhilfe.h"

#include <sqlite3.h>

// Building a database file: put in place only when everything went well,
// and never over an existing file when that is asked for. SQLite's failures
// in German; the one statement wrapper.
class TestSqliteDatei : public QObject
{
    Q_OBJECT
    QTemporaryDir ordner;
    const QByteArray schema = "pragma journal_mode = delete; create table t (a text);";

    QString datei(const char *name) { return ordner.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void legtAnUndFuellt()
    {
        QVERIFY(SqliteDatei::anlegen(datei("neu.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Nie,
                                     [](SqliteDatei &db) { db.ausfuehren("insert into t values ('x')", QString()); }));
        SqliteDatei db(datei("neu.db"), SqliteDatei::Art::NurLesen);
        QCOMPARE(db.spalten(QStringLiteral("t")), QStringList({"a"}));
        QCOMPARE(QDir(ordner.path()).entryList(QDir::Files), QStringList({"neu.db"}));
    }

    void ersetztNieEineVorhandeneDatei()
    {
        Testhilfe::schreibe(datei("log.db"), "meine Einträge");
        QVERIFY(!SqliteDatei::anlegen(datei("log.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Nie));
        QCOMPARE(Testhilfe::lies(datei("log.db")), QByteArray("meine Einträge"));
        QVERIFY(SqliteDatei::anlegen(datei("log.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Ja));
        QVERIFY(Testhilfe::lies(datei("log.db")).startsWith("SQLite format 3"));
    }

    void fehlerLassenNichtsZurueck()
    {
        Testhilfe::schreibe(datei("alt.db"), "alt");
        try {
            SqliteDatei::anlegen(datei("alt.db"), "create tabel kaputt", QStringLiteral("kaputt.sql"),
                                 SqliteDatei::Ersetzen::Ja);
            QFAIL("ein falsches Schema muss scheitern");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.meldung().contains(QStringLiteral("kaputt.sql")), qPrintable(f.meldung()));
        }
        try {
            SqliteDatei::anlegen(
                datei("alt.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Ja,
                [](SqliteDatei &db) { db.ausfuehren("insert into fehlt values (1)", QStringLiteral("x")); });
            QFAIL("ein Fehler beim Füllen muss scheitern");
        } catch (const DatenFehler &) {
        }
        QCOMPARE(Testhilfe::lies(datei("alt.db")), QByteArray("alt"));
        QCOMPARE(QDir(ordner.path()).entryList({QStringLiteral("*.entsteht*")}, QDir::Files), QStringList());
    }

    // The common results in German with SQLite's words after them; any
    // other result in SQLite's words alone.
    void meldungenAufDeutsch_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("deutsch");
        QTest::newRow("NOTADB") << SQLITE_NOTADB << "keine Datenbank";
        QTest::newRow("CORRUPT") << SQLITE_CORRUPT << "beschädigt";
        QTest::newRow("BUSY") << SQLITE_BUSY << "anderen Programm";
        QTest::newRow("LOCKED") << SQLITE_LOCKED << "gesperrt";
        QTest::newRow("READONLY") << SQLITE_READONLY << "nicht geschrieben";
        QTest::newRow("FULL") << SQLITE_FULL << "Datenträger ist voll";
        QTest::newRow("CANTOPEN") << SQLITE_CANTOPEN << "nicht öffnen";
        QTest::newRow("IOERR_READ") << SQLITE_IOERR_READ << "Ein-/Ausgabefehler";
        QTest::newRow("PERM") << SQLITE_PERM << "nicht erlaubt";
        QTest::newRow("NOMEM") << SQLITE_NOMEM << "Arbeitsspeicher";
        QTest::newRow("MISMATCH") << SQLITE_MISMATCH << "";
    }
    void meldungenAufDeutsch()
    {
        QFETCH(int, code);
        QFETCH(QString, deutsch);
        const QString text = sqliteText(nullptr, code);
        const QString original = QString::fromUtf8(sqlite3_errstr(code));
        if (deutsch.isEmpty()) {
            QCOMPARE(text, original);
        } else {
            QVERIFY2(text.contains(deutsch), qPrintable(text));
            QVERIFY2(text.endsWith(QStringLiteral(" (") + original + QLatin1Char(')')), qPrintable(text));
        }
    }

    // Failures of real files: SQLite's own message follows the German one.
    void echteFehlerAufDeutsch()
    {
        Testhilfe::schreibe(datei("brief.db"), QByteArray(4096, 'x'));
        try {
            SqliteDatei db(datei("brief.db"), SqliteDatei::Art::NurLesen);
            QFAIL("eine fremde Datei muss scheitern");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.meldung().contains(QStringLiteral("keine Datenbank. (file is not a database)")),
                     qPrintable(f.meldung()));
            QCOMPARE(f.code(), SQLITE_NOTADB);
        }

        QVERIFY(SqliteDatei::anlegen(datei("a.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Nie));
        SqliteDatei leser(datei("a.db"), SqliteDatei::Art::NurLesen);
        sqlite3_busy_timeout(leser.handle(), 0);
        SqliteDatei schreiber(datei("a.db"), SqliteDatei::Art::LesenSchreiben);
        schreiber.ausfuehren("begin exclusive", QString());
        try {
            SqliteAnweisung s(leser, QStringLiteral("select count(*) from t"), QStringLiteral("Lesen"));
            s.schritt();
            QFAIL("eine gesperrte Datei muss scheitern");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.meldung().startsWith(QStringLiteral("Lesen\n\nDie Datenbank wird gerade von einem anderen "
                                                           "Programm benutzt")),
                     qPrintable(f.meldung()));
            QVERIFY2(f.meldung().endsWith(QStringLiteral("(database is locked)")), qPrintable(f.meldung()));
        }
        schreiber.ausfuehren("rollback", QString());
        try {
            leser.ausfuehren("insert into t values ('x')", QStringLiteral("Schreiben"));
            QFAIL("eine nur lesend geöffnete Datei darf nicht geschrieben werden");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.meldung().contains(QStringLiteral("nicht geschrieben werden. (attempt to write a readonly")),
                     qPrintable(f.meldung()));
        }
        // Not among the common ones: SQLite's text alone.
        try {
            leser.ausfuehren("selec 1", QStringLiteral("Tippfehler"));
            QFAIL("ein Tippfehler muss scheitern");
        } catch (const DatenFehler &f) {
            QCOMPARE(f.meldung(), QStringLiteral("Tippfehler\n\nnear \"selec\": syntax error"));
        }
        // A table or column that is not there, named in German.
        try {
            leser.ausfuehren("select * from fehlt", QStringLiteral("Lesen"));
            QFAIL("eine fehlende Tabelle muss scheitern");
        } catch (const DatenFehler &f) {
            QCOMPARE(f.meldung(), QStringLiteral("Lesen\n\nDie Tabelle \u201Efehlt\u201C fehlt in der Datenbank. "
                                                 "(no such table: fehlt)"));
        }
        try {
            leser.ausfuehren("select b from t", QStringLiteral("Lesen"));
            QFAIL("eine fehlende Spalte muss scheitern");
        } catch (const DatenFehler &f) {
            QCOMPARE(f.meldung(), QStringLiteral("Lesen\n\nDie Spalte \u201Eb\u201C fehlt in der Datenbank. "
                                                 "(no such column: b)"));
        }
    }

    // Parameters keep their type, and a text with NUL characters stays whole.
    void anweisungBindetWerte()
    {
        QVERIFY(SqliteDatei::anlegen(datei("b.db"), schema, QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Nie));
        SqliteDatei db(datei("b.db"), SqliteDatei::Art::LesenSchreiben);
        SqliteAnweisung s(db, QStringLiteral("select ?, typeof(?2), ?3, typeof(?3), length(?4), ?4 is null"),
                          QString());
        const QString mitNull = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        s.binde(1, mitNull);
        s.binde(2, QVariant(qlonglong(5)));
        s.binde(3, 2.5);
        s.binde(4, QVariant());
        QVERIFY(s.schritt());
        QCOMPARE(s.wert(0).toString(), mitNull);
        QCOMPARE(s.wert(1).toString(), QStringLiteral("integer"));
        QCOMPARE(s.wert(2).toDouble(), 2.5);
        QCOMPARE(s.wert(3).toString(), QStringLiteral("real"));
        QVERIFY(s.istNull(4));
        QCOMPARE(s.zahl(5), qint64(1));
        QVERIFY(!s.schritt());
    }

    // A transaction is whole or not there: committed when the work returns;
    // rolled back when it throws or its commit fails, after which the
    // connection takes the next transaction. Each way out says what failed.
    void transaktionGanzOderGarNicht()
    {
        QVERIFY(
            SqliteDatei::anlegen(datei("tr.db"),
                                 "create table eltern (id integer primary key);"
                                 "create table kind (e integer references eltern(id) deferrable initially deferred);",
                                 QStringLiteral("s.sql"), SqliteDatei::Ersetzen::Nie));
        SqliteDatei db(datei("tr.db"), SqliteDatei::Art::LesenSchreiben);
        sqlite3_busy_timeout(db.handle(), 0);
        db.ausfuehren("pragma foreign_keys = on", QString());
        const QString gesperrt = QStringLiteral("gesperrt"), nicht = QStringLiteral("nicht gespeichert");
        auto zahl = [&](const char *sql) { return Testhilfe::zahl(datei("tr.db"), QString::fromLatin1(sql)); };

        db.transaktion(gesperrt, nicht, [&] { db.ausfuehren("insert into eltern values (1), (2)", QString()); });
        QCOMPARE(zahl("select count(*) from eltern"), 2);

        QCOMPARE(Testhilfe::fehlerVon([&] {
                     db.transaktion(gesperrt, nicht, [&] {
                         db.ausfuehren("insert into eltern values (3)", QString());
                         throw DatenFehler(QStringLiteral("mittendrin"));
                     });
                 }),
                 QStringLiteral("mittendrin"));
        QVERIFY(sqlite3_get_autocommit(db.handle()));
        QCOMPARE(zahl("select count(*) from eltern"), 2);

        // The commit itself refuses: a child without its parent.
        QVERIFY(Testhilfe::fehlerVon([&] {
                    db.transaktion(gesperrt, nicht, [&] {
                        db.ausfuehren("insert into eltern values (4)", QString());
                        db.ausfuehren("insert into kind values (99)", QString());
                    });
                }).startsWith(nicht));
        QVERIFY(sqlite3_get_autocommit(db.handle()));
        QCOMPARE(zahl("select count(*) from eltern"), 2);
        QCOMPARE(zahl("select count(*) from kind"), 0);

        // Another writer holds the file: the work does not even start.
        {
            SqliteDatei anderer(datei("tr.db"), SqliteDatei::Art::LesenSchreiben);
            anderer.ausfuehren("begin immediate", QString());
            bool begonnen = false;
            QVERIFY(Testhilfe::fehlerVon([&] {
                        db.transaktion(gesperrt, nicht, [&] { begonnen = true; });
                    }).startsWith(gesperrt));
            QVERIFY(!begonnen);
            anderer.ausfuehren("rollback", QString());
        }
        QCOMPARE(db.transaktion(gesperrt, nicht, [&] { db.ausfuehren("insert into eltern values (5)", QString()); }),
                 SqliteDatei::Abschluss::Festschreiben);
        QCOMPARE(zahl("select count(*) from eltern"), 3);

        // The work decides that nothing is to be written after all: what it
        // did is gone, with no failure, and the next transaction begins.
        QCOMPARE(db.transaktion(gesperrt, nicht,
                                [&] {
                                    db.ausfuehren("insert into eltern values (6)", QString());
                                    return SqliteDatei::Abschluss::Verwerfen;
                                }),
                 SqliteDatei::Abschluss::Verwerfen);
        QVERIFY(sqlite3_get_autocommit(db.handle()));
        QCOMPARE(zahl("select count(*) from eltern"), 3);
        db.transaktion(gesperrt, nicht, [&] {
            db.ausfuehren("insert into eltern values (7)", QString());
            return SqliteDatei::Abschluss::Festschreiben;
        });
        QCOMPARE(zahl("select count(*) from eltern"), 4);
    }

    void oeffnenLegtNichtsAn()
    {
        QVERIFY_THROWS_EXCEPTION(DatenFehler, SqliteDatei(datei("fehlt.db"), SqliteDatei::Art::LesenSchreiben));
        QVERIFY(!QFile::exists(datei("fehlt.db")));
    }
};

TREMVIK_KERN_TEST_MAIN(TestSqliteDatei)
#include "tst_sqlitedatei.moc"
