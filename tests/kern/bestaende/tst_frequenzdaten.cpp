// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/bestaende/frequenzdaten.h"
#include "kern/bestaende/herkunft.h"
#include "kernhilfe.h"

#include <QProcess>

// Building the shipped frequency database and moving a table's rows between
// the database and CSV files: a bad file never changes anything.
class TestFrequenzdaten : public QObject
{
    Q_OBJECT

    static QString quellen(const QString &name) { return QStringLiteral(TREMVIK_QUELLEN "/db/") + name; }

    // The results of a query, one text per row: the values joined by '|',
    // NULL as '∅'. A failing query gives "Fehler: ...".
    static QStringList abfrage(const QString &datei, const QString &sql)
    {
        return Testhilfe::abfrage(datei, sql, QStringLiteral("\u2205"));
    }
    static QStringList zeilen(const QString &datei, const QString &tabelle)
    {
        return abfrage(datei, QStringLiteral("select * from %1 order by rowid").arg(tabelle));
    }

    // Some rows in bos that a failed import must leave alone.
    static void bosFuellen(const QString &datei)
    {
        Testhilfe::sql(
            datei, QStringLiteral("insert into bos values ('BW','Ulm','Feuerwehr','Florian Ulm','464','86,355');"
                                  "insert into bos values ('HH','Hamburg','THW','Heros Hamburg 21/10','240','172,940');"
                                  "insert into bos values ('BY',NULL,'','x','1','2');"));
    }

private Q_SLOTS:
    void schemaLegtLeereTabellenAn()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        const QStringList spalten[] = {
            {"BL|TEXT", "Ort|TEXT", "Benutzer|TEXT", "Rufname|TEXT", "Kanal|TEXT", "Freq|TEXT"},
            {"Frquenz|TEXT", "Ort|TEXT"},
            {"Standort|TEXT", "Eingabe|TEXT", "Ausgabe|TEXT"},
            {"Frequenz|TEXT", "Stadt|TEXT", "Firma|TEXT", "Anwenderart|TEXT", "Rufname|TEXT"},
        };
        for (int i = 0; i < 4; ++i) {
            const QString t = Frequenzdaten::tabellen().at(i);
            QCOMPARE(abfrage(db, QStringLiteral("select name, type from pragma_table_info('%1')").arg(t)), spalten[i]);
            QCOMPARE(abfrage(db, QStringLiteral("select count(*) from %1").arg(t)), QStringList{"0"});
        }
        QCOMPARE(abfrage(db, "pragma journal_mode"), QStringList{"delete"});
    }

    void importErsetztZeilen()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        bosFuellen(db);
        // Columns in another order and letter case; Benutzer is left out
        // and stays NULL.
        const QByteArray csv = "\xEF\xBB\xBF"
                               "freq,KANAL,Ort,bl,Rufname\r\n"
                               "\"86,355\",464,O'Brien,BW,\"Florian \"\"Eins\"\"\"\r\n"
                               "\"172,940\",,\"zwei\nZeilen\",HH,\"\"\r\n";
        QCOMPARE(Frequenzdaten::importieren(db, "BOS", csv, "bos.csv"), 2);
        QCOMPARE(zeilen(db, "bos"), (QStringList{
                                        "BW|O'Brien|\u2205|Florian \"Eins\"|464|86,355",
                                        "HH|zwei\nZeilen|\u2205||\u2205|172,940",
                                    }));
        // The apostrophe is found by a search as the lists run it.
        QCOMPARE(abfrage(db, "select Ort from [bos] where Ort like '%O''B%' order by Ort asc"), QStringList{"O'Brien"});
        // The other tables are not touched.
        Testhilfe::sql(db, "insert into afu values ('R1','1','2')");
        QCOMPARE(Frequenzdaten::importieren(db, "bos", QByteArray("Ort\nx\n"), "bos.csv"), 1);
        QCOMPARE(zeilen(db, "afu"), QStringList{"R1|1|2"});
    }

    void fehlerhafteDateiAendertNichts_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("grund");
        QTest::newRow("unbekannte Spalte")
            << QByteArray("BL,Ort,Stadt\nBW,Ulm,x\n") << 1 << "keine Spalte \u201EStadt\u201C";
        QTest::newRow("leere Datei") << QByteArray() << 1 << "leer";
        QTest::newRow("nur Kopfzeile") << QByteArray("BL,Ort\r\n") << 2 << "kein Datensatz";
        QTest::newRow("offenes Anführungszeichen")
            << QByteArray("BL,Ort\nBW,Ulm\nBY,\"Hof\nBE,Berlin\n") << 3 << "nicht mehr geschlossen";
        QTest::newRow("Anführungszeichen im Feld")
            << QByteArray("BL,Ort\nBW,Ulm\nBY,H\"of\n") << 3 << "mitten in einem Feld";
        QTest::newRow("falsche Feldzahl") << QByteArray("BL,Ort\nBW,Ulm\nBW,Ulm\nBY,Hof,x\n") << 4 << "Felder";
        // Refused by the database in the middle of the file, after rows were
        // already written: the transaction takes them back.
        QTest::newRow("Datenbank lehnt Zeile ab")
            << QByteArray("BL,Ort\nBW,Ulm\nBY,Hof\nXX,Verboten\nBE,Berlin\n") << 4 << "nimmt den Datensatz nicht an";
    }
    void fehlerhafteDateiAendertNichts()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, zeile);
        QFETCH(QString, grund);
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        bosFuellen(db);
        Testhilfe::sql(db, "create trigger nein before insert on bos when new.BL = 'XX' "
                           "begin select raise(abort, 'BL XX gibt es nicht'); end;");
        const QStringList vorher = zeilen(db, "bos");
        const QByteArray dateiVorher = Testhilfe::lies(db);
        try {
            Frequenzdaten::importieren(db, "bos", csv, "neu.csv");
            QFAIL("Die Datei wurde angenommen.");
        } catch (const Csv::Fehler &f) {
            QCOMPARE(f.zeile(), zeile);
            QVERIFY2(f.meldung().startsWith(QStringLiteral("neu.csv, Zeile %1: ").arg(zeile)), qPrintable(f.meldung()));
            QVERIFY2(f.grund().contains(grund), qPrintable(f.grund()));
        }
        QCOMPARE(zeilen(db, "bos"), vorher);
        QCOMPARE(Testhilfe::lies(db), dateiVorher);
    }

    void falscheTabelleOderDatenbank()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        bosFuellen(db);
        const QByteArray csv("BL,Ort\nBW,Ulm\n");
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::importieren(db, "Kontakt", csv, "x.csv"));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::exportieren(db, "sqlite_master"));
        try {
            Frequenzdaten::tabelle("boss");
            QFAIL("boss angenommen");
        } catch (const DatenFehler &f) {
            QVERIFY(f.meldung().contains(QStringLiteral("Unbekannte Tabelle \u201Eboss\u201C")));
        }
        // A database without the table: nothing changes.
        Testhilfe::sql(db, "drop table afu");
        QVERIFY_THROWS_EXCEPTION(DatenFehler,
                                 Frequenzdaten::importieren(db, "afu", QByteArray("Standort\nx\n"), "x.csv"));
        QCOMPARE(zeilen(db, "bos").size(), 3);
        // A missing database file is not created.
        const QString fehlt = ordner.pfad() + "/fehlt.dorlem-fasq";
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::importieren(fehlt, "bos", csv, "x.csv"));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::exportieren(fehlt, "bos"));
        QVERIFY(!QFile::exists(fehlt));
        // A CSV file that is not there.
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::importieren(db, "bos", ordner.pfad() + "/fehlt.csv"));
    }

    void bauenMitDenMitgeliefertenListen()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        const QList<int> anzahl = Frequenzdaten::bauen(db, quellen("frequenzen.sql"), quellen("frequenzen"));
        QCOMPARE(anzahl, (QList<int>{160, 729, 116, 51}));
        for (int i = 0; i < 4; ++i) {
            const QString t = Frequenzdaten::tabellen().at(i);
            const QString csv = quellen("frequenzen/" + t + ".csv");
            QCOMPARE(int(Csv::lesen(Testhilfe::lies(csv)).zeilen.size()), anzahl.at(i));
            QCOMPARE(abfrage(db, "select count(*) from " + t), QStringList{QString::number(anzahl.at(i))});
            // Written out again, each table is its file byte for byte.
            QCOMPARE(Frequenzdaten::exportieren(db, t), Testhilfe::lies(csv));
        }
        QCOMPARE(abfrage(db, "select tbl_name || '(' || name || ')' from sqlite_master where type = 'index' and sql is "
                             "not null order by 1"),
                 (QStringList{"afu(afu_Standort)", "bos(bos_Ort)", "fernwirken(fernwirken_Frequenz)",
                              "flugfunk(flugfunk_Ort)"}));
        QCOMPARE(abfrage(db, "select name from pragma_index_info('bos_Ort')"), QStringList{"Ort"});
        QCOMPARE(abfrage(db, "select name from pragma_index_info('fernwirken_Frequenz')"), QStringList{"Frequenz"});
        QCOMPARE(abfrage(db, "pragma journal_mode"), QStringList{"delete"});
        QCOMPARE(abfrage(db, "select Frquenz, Ort from flugfunk where Ort like 'Bautzen (EDAB) ATIS'"),
                 QStringList{"123,290|Bautzen (EDAB) ATIS"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Frequenzen.dorlem-fasq"});

        // Each list says where it comes from; three are examples.
        QCOMPARE(abfrage(db, "select tabelle, beispiel from herkunft order by rowid"),
                 (QStringList{"bos|1", "flugfunk|0", "afu|1", "fernwirken|1"}));
        const QMap<QString, Herkunft::Liste> herkunft = Herkunft::lesen(db);
        QCOMPARE(herkunft.size(), 4);
        QVERIFY(herkunft["flugfunk"].quelle.contains("OurAirports") && herkunft["flugfunk"].hinweis.isEmpty());
        QVERIFY(herkunft["afu"].hinweis.contains("kein realer Standort"));
        for (const char *t : {"bos", "afu", "fernwirken"})
            QVERIFY2(herkunft[t].beispiel && herkunft[t].hinweis.startsWith("Beispieldaten"), t);
    }

    // A list replaced by rows of the user's own is no longer the shipped
    // one: its origin goes in the same transaction, and only on success.
    void eigeneListeVerliertDieHerkunft()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        Frequenzdaten::bauen(db, quellen("frequenzen.sql"), quellen("frequenzen"));
        const QString herkunft = "select tabelle from herkunft order by rowid";

        QVERIFY_THROWS_EXCEPTION(Csv::Fehler,
                                 Frequenzdaten::importieren(db, "afu", QByteArray("Standort\n\"x\n"), "kaputt.csv"));
        QCOMPARE(abfrage(db, herkunft), (QStringList{"bos", "flugfunk", "afu", "fernwirken"}));

        QCOMPARE(Frequenzdaten::importieren(db, "AFU", QByteArray("Standort\nDB0XY\n"), "eigene.csv"), 1);
        QCOMPARE(abfrage(db, herkunft), (QStringList{"bos", "flugfunk", "fernwirken"}));
        QVERIFY(!Herkunft::lesen(db).contains("afu"));

        Frequenzdaten::ersetzen(
            db, {{"bos", Csv::lesen("Ort\nUlm\n"), "a.csv"}, {"fernwirken", Csv::lesen("Stadt\nUlm\n"), "b.csv"}});
        QCOMPARE(abfrage(db, herkunft), QStringList{"flugfunk"});

        // A database from before, without the table: the import works as ever.
        Testhilfe::sql(db, "drop table herkunft");
        QCOMPARE(Frequenzdaten::importieren(db, "bos", QByteArray("Ort\nHof\n"), "c.csv"), 1);
        QVERIFY(Herkunft::lesen(db).isEmpty());
    }

    void bauenScheitertOhneSchaden()
    {
        QTemporaryDir dir;
        const QString ordner = dir.filePath("listen");
        QDir().mkpath(ordner);
        for (const QString &t : Frequenzdaten::tabellen())
            QVERIFY(QFile::copy(quellen("frequenzen/" + t + ".csv"), ordner + "/" + t + ".csv"));
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        Testhilfe::schreibe(db, "der alte Stand");

        // A broken row in the last file.
        QByteArray afu = Testhilfe::lies(ordner + "/fernwirken.csv");
        afu += "\"1,0\",x,y\n";
        Testhilfe::schreibe(ordner + "/fernwirken.csv", afu);
        try {
            Frequenzdaten::bauen(db, quellen("frequenzen.sql"), ordner);
            QFAIL("gebaut");
        } catch (const Csv::Fehler &f) {
            QCOMPARE(f.zeile(), 53);
            QVERIFY(f.meldung().contains("fernwirken.csv, Zeile 53"));
        }
        // A schema whose tables lack columns of the lists.
        QVERIFY(QFile::remove(ordner + "/fernwirken.csv"));
        QVERIFY(QFile::copy(quellen("frequenzen/fernwirken.csv"), ordner + "/fernwirken.csv"));
        const QString schema = dir.filePath("schema.sql");
        Testhilfe::schreibe(
            schema, "create table bos (BL, Ort); create table flugfunk (Frquenz, Ort); create table afu (Standort);");
        QVERIFY_THROWS_EXCEPTION(Csv::Fehler, Frequenzdaten::bauen(db, schema, ordner));
        // A missing list.
        QVERIFY(QFile::remove(ordner + "/afu.csv"));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Frequenzdaten::bauen(db, quellen("frequenzen.sql"), ordner));

        QCOMPARE(Testhilfe::lies(db), QByteArray("der alte Stand"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Frequenzen.dorlem-fasq", "schema.sql"}));
    }

    void exportUndImportGebenDieselbenZeilen()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        Testhilfe::sql(
            db, QStringLiteral("insert into fernwirken values ('0,1291','Mainhausen (Mainflingen)','Funk ''EFR''','a "
                               "\"b\" c','DCF49');"
                               "insert into fernwirken values (NULL,'','zwei\nZeilen','drei\r\nZeilen',' Leer ');"
                               "insert into fernwirken values ('868,300',NULL,NULL,NULL,NULL);"
                               "insert into fernwirken values ('Süd, Ost',',','\"','''','München');"));
        const QStringList vorher = zeilen(db, "fernwirken");
        const QByteArray csv = Frequenzdaten::exportieren(db, "fernwirken");
        QVERIFY(
            csv.startsWith("Frequenz,Stadt,Firma,Anwenderart,Rufname\n\"0,1291\",Mainhausen (Mainflingen),Funk 'EFR',"
                           "\"a \"\"b\"\" c\",DCF49\n,\"\",\"zwei\nZeilen\""));
        QVERIFY(csv.contains("\n\"868,300\",,,,\n"));

        // Into another database and back out: the same rows, the same text.
        QTemporaryDir dir;
        const QString zweite = dir.filePath("zweite.dorlem-fasq");
        Testhilfe::ausSchema(zweite, "frequenzen.sql");
        QCOMPARE(Frequenzdaten::importieren(zweite, "fernwirken", csv, "export.csv"), 4);
        QCOMPARE(zeilen(zweite, "fernwirken"), vorher);
        QCOMPARE(Frequenzdaten::exportieren(zweite, "fernwirken"), csv);
        // Importing its own export changes nothing.
        QCOMPARE(Frequenzdaten::importieren(db, "fernwirken", csv, "export.csv"), 4);
        QCOMPARE(zeilen(db, "fernwirken"), vorher);
    }

    void werkzeug()
    {
        const QString programm = QStringLiteral(TREMVIK_BIN "/tremvik-frequenzen");
        if (!QFile::exists(programm))
            QSKIP("tremvik-frequenzen ist nicht gebaut");
        Testhilfe::Programmordner ordner;
        const QString db = ordner.frequenzDatei();
        bosFuellen(db);
        const QStringList vorher = zeilen(db, "bos");
        auto lauf = [&](const QStringList &argumente, QByteArray *aus = nullptr, QByteArray *fehler = nullptr) {
            QProcess p;
            p.start(programm, argumente);
            p.waitForFinished(60000);
            if (aus)
                *aus = p.readAllStandardOutput();
            if (fehler)
                *fehler = p.readAllStandardError();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };

        QByteArray aus, fehler;
        QCOMPARE(lauf({"export", db, "bos"}, &aus), 0);
        QCOMPARE(aus, Frequenzdaten::exportieren(db, "bos"));

        const QString csv = ordner.pfad() + "/neu.csv";
        Testhilfe::schreibe(csv, "BL,Ort\nBW,Ulm\nBY,\"Hof\n");
        QVERIFY(lauf({"import", db, "bos", csv}, &aus, &fehler) != 0);
        QVERIFY2(QString::fromUtf8(fehler).contains("neu.csv, Zeile 3: Das Anführungszeichen"), fehler.constData());
        QCOMPARE(zeilen(db, "bos"), vorher);

        Testhilfe::schreibe(csv, "BL,Ort\nBW,O'Brien\n");
        QCOMPARE(lauf({"import", db, "bos", csv}, &aus), 0);
        QCOMPARE(QString::fromUtf8(aus), QStringLiteral("bos: 1 Zeile eingelesen.\n"));
        QCOMPARE(zeilen(db, "bos"), QStringList{"BW|O'Brien|\u2205|\u2205|\u2205|\u2205"});

        QVERIFY(lauf({"import", db, "Funk", csv}, nullptr, &fehler) != 0);
        QVERIFY(QString::fromUtf8(fehler).contains(QStringLiteral("Unbekannte Tabelle \u201EFunk\u201C")));
        QCOMPARE(lauf({"export", db}, nullptr, &fehler), 2);
        QVERIFY(fehler.contains("Aufruf:"));
    }

    // The command line around the work: build, the database named by --db
    // in both spellings, help, and what is refused before anything is done.
    void werkzeugAufruf()
    {
        const QString programm = QStringLiteral(TREMVIK_BIN "/tremvik-frequenzen");
        if (!QFile::exists(programm))
            QSKIP("tremvik-frequenzen ist nicht gebaut");
        struct Lauf
        {
            int code;
            QString aus, fehler;
        };
        auto lauf = [&](const QStringList &argumente) {
            QProcess p;
            p.start(programm, argumente);
            p.waitForFinished(60000);
            return Lauf{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                        QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
        };
        Testhilfe::Programmordner ordner;

        const QString neu = ordner.pfad() + "/neu.db";
        Lauf l = lauf({"build", neu, quellen("frequenzen"), quellen("frequenzen.sql")});
        QCOMPARE(l.code, 0);
        QVERIFY2(l.aus.startsWith(neu + " angelegt (bos ") && l.aus.contains(", fernwirken ")
                     && l.aus.endsWith(" Zeilen).\n"),
                 qPrintable(l.aus));
        const QStringList bos = zeilen(neu, "bos");
        QVERIFY(!bos.isEmpty());
        // build takes no --db; the file stays as it was.
        l = lauf({"build", "--db", neu, ordner.pfad() + "/x.db", quellen("frequenzen"), quellen("frequenzen.sql")});
        QCOMPARE(l.code, 2);
        QVERIFY(l.fehler.contains(QStringLiteral("Falsche Zahl von Angaben für \u201Ebuild\u201C")));
        QVERIFY(!QFile::exists(ordner.pfad() + "/x.db"));

        // --db before or after the command, "--db DATEI" or "--db=DATEI".
        const QString csv = ordner.pfad() + "/eins.csv";
        Testhilfe::schreibe(csv, "BL,Ort\nBW,Ulm\n");
        l = lauf({"--db=" + neu, "import", "bos", csv});
        QCOMPARE(l.code, 0);
        QCOMPARE(l.aus, QStringLiteral("bos: 1 Zeile eingelesen.\n"));
        QCOMPARE(zeilen(neu, "bos"), QStringList{"BW|Ulm|\u2205|\u2205|\u2205|\u2205"});
        l = lauf({"export", "bos", "--db", neu});
        QCOMPARE(l.code, 0);
        QCOMPARE(l.aus.toUtf8(), Frequenzdaten::exportieren(neu, "bos"));
        // Both a --db and an older first argument: one too many.
        QCOMPARE(lauf({"export", neu, "bos", "--db", neu}).code, 2);

        QCOMPARE(lauf({"--db=", "export", "bos"}).code, 2);
        l = lauf({"--help"});
        QCOMPARE(l.code, 0);
        QVERIFY(l.aus.startsWith("Aufruf:"));
        l = lauf({"bauen", neu});
        QCOMPARE(l.code, 2);
        QVERIFY(l.fehler.contains(QStringLiteral("Unbekannter Befehl \u201Ebauen\u201C")));
        QVERIFY(l.fehler.contains("Aufruf:"));
        QCOMPARE(zeilen(neu, "bos"), QStringList{"BW|Ulm|\u2205|\u2205|\u2205|\u2205"});
    }
};

TREMVIK_KERN_TEST_MAIN(TestFrequenzdaten)
#include "tst_frequenzdaten.moc"
