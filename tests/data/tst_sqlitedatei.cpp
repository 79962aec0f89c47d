#include "data/sqlitedatei.h"
#include "testhilfe.h"

// Building a database file: put in place only when everything went well,
// and never over an existing file when that is asked for.
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

    void oeffnenLegtNichtsAn()
    {
        QVERIFY_THROWS_EXCEPTION(DatenFehler, SqliteDatei(datei("fehlt.db"), SqliteDatei::Art::LesenSchreiben));
        QVERIFY(!QFile::exists(datei("fehlt.db")));
    }
};

TREMVIK_TEST_MAIN(TestSqliteDatei)
#include "tst_sqlitedatei.moc"
