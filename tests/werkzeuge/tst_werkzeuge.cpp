// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhilfe.h"
#include "kern/austausch/austauschhilfe.h"
#include "kern/bestaende/frequenzdaten.h"

#include <QProcess>

using namespace Austauschhilfe;

// tremvik-log and the list formats of tremvik-frequenzen on the command
// line, as scripts use them.
class TestWerkzeuge : public QObject
{
    Q_OBJECT

    struct Lauf
    {
        int code = -1;
        QString aus, fehler;
    };
    static Lauf starte(const QString &programm, const QStringList &argumente)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TZ", "Europe/Berlin");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TREMVIK_BIN "/") + programm, argumente);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *p : {"tremvik-log", "tremvik-frequenzen"})
            if (!QFileInfo(QStringLiteral(TREMVIK_BIN "/") + p).isExecutable())
                QSKIP(qPrintable(QStringLiteral("%1 ist nicht gebaut.").arg(p)));
    }

    // An ADI file written by another program: a header, <eor> and <EOR>,
    // fields the log has no place for, one record with a wrong length.
    void importAusAnderemProgramm()
    {
        Testhilfe::Programmordner ordner;
        const QString datei = ordner.pfad() + "/fremd.adi";
        Testhilfe::schreibe(datei, "Erzeugt von FremdLog\n<ADIF_VER:5>3.1.4\n<PROGRAMID:8>FremdLog\n<EOH>\n"
                                   "<CALL:6>DL1ABC <QSO_DATE:8>20060630 <TIME_ON:4>1945 <BAND:2>2m <FREQ:7>145.500 "
                                   "<MODE:2>FM <NAME:7>J\xC3\xBCrgen <STATION_CALLSIGN:5>DL0XX <eor>\n"
                                   "<CALL:5>DB0XY <NAME:3>Bj\xC3\xB6rn <EOR>\n"
                                   "<call:4>G4AB <qth:6>London <Eor>\n");
        const QStringList db{"--db", ordner.logDatei()};

        const Lauf ohne = starte("tremvik-log", QStringList{"import", datei} + db);
        QCOMPARE(ohne.code, 1);
        QVERIFY2(ohne.fehler.contains(gr("Datensatz 2 (Zeile 6): Feld NAME: Die Länge 3 passt nicht")),
                 qPrintable(ohne.fehler));
        QVERIFY(ohne.fehler.contains("--rest"));
        QCOMPARE(logInhalt(ordner.logDatei()), QStringList());

        const Lauf rest = starte("tremvik-log", QStringList{"import", datei, "--rest"} + db);
        QCOMPARE(rest.code, 0);
        QVERIFY2(rest.aus.contains(gr("2 Datensätze ins Log aufgenommen, 0 schon vorhanden, 1 abgelehnt.")),
                 qPrintable(rest.aus));
        QVERIFY(rest.aus.contains(gr("Datensatz 2 (Zeile 6): Feld NAME")));
        QVERIFY(rest.aus.contains(gr("nicht übernommen: BAND (1×), STATION_CALLSIGN (1×)")));
        QCOMPARE(logInhalt(ordner.logDatei()),
                 (QStringList{gr("DL1ABC|∅|Jürgen|∅|∅|∅|30.06.2006|21:45|∅|145,500|FM|∅|∅"),
                              gr("G4AB|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅|London|∅")}));

        // Once more: everything is there already.
        const Lauf nochmal = starte("tremvik-log", QStringList{"import", datei, "--rest"} + db);
        QCOMPARE(nochmal.code, 0);
        QVERIFY(nochmal.aus.contains(gr("0 Datensätze ins Log aufgenommen, 2 schon vorhanden, 1 abgelehnt.")));
        QCOMPARE(logInhalt(ordner.logDatei()).size(), 2);
    }

    void exportUndZurueck_data()
    {
        QTest::addColumn<QStringList>("optionen");
        QTest::newRow("adi") << QStringList{"log.adi"};
        QTest::newRow("adi utc") << QStringList{"log.adi", "--utc"};
        QTest::newRow("adi ascii") << QStringList{"log.ADI", "--ascii", "--ortszeit"};
        QTest::newRow("adx") << QStringList{"log.adx"};
        QTest::newRow("csv") << QStringList{"log.csv"};
        QTest::newRow("csv rfc") << QStringList{"log.csv", "--csv=rfc"};
    }
    void exportUndZurueck()
    {
        QFETCH(QStringList, optionen);
        Testhilfe::Programmordner quelle, ziel;
        einfuegen(quelle.logDatei(), beispiele());
        const QString datei = quelle.pfad() + "/" + optionen.takeFirst();
        const Lauf aus = starte("tremvik-log", QStringList{"export", datei, "--db", quelle.logDatei()} + optionen);
        QCOMPARE(aus.code, 0);
        QVERIFY2(aus.aus.startsWith(gr("5 Einträge nach „%1“ geschrieben").arg(datei)), qPrintable(aus.aus));
        optionen.removeAll("--ascii");
        optionen.removeAll("--csv=rfc");
        const Lauf ein = starte("tremvik-log", QStringList{"import", datei, "--db", ziel.logDatei()} + optionen);
        QCOMPARE(ein.code, 0);
        QCOMPARE(logInhalt(ziel.logDatei()), alsText(Logdaten::lesen(quelle.logDatei(), "select * from Kontakt "
                                                                                        "order by frequenz asc")));
    }

    void falscherAufruf()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.logDatei();
        QCOMPARE(starte("tremvik-log", {}).code, 2);
        QCOMPARE(starte("tremvik-log", {"--help"}).code, 0);
        QCOMPARE(starte("tremvik-log", {"export"}).code, 2);
        QCOMPARE(starte("tremvik-log", {"export", "a.adi", "--rest"}).code, 2);
        QCOMPARE(starte("tremvik-log", {"import", "a.adi", "--ascii"}).code, 2);
        QCOMPARE(starte("tremvik-log", {"export", "a.adi", "--utc", "--ortszeit"}).code, 2);
        QCOMPARE(starte("tremvik-log", {"lesen", "a.adi"}).code, 2);
        const Lauf endung = starte("tremvik-log", {"export", ordner.pfad() + "/log.txt", "--db", db});
        QCOMPARE(endung.code, 1);
        QVERIFY(endung.fehler.contains(".adi, .adx und .csv"));
        QCOMPARE(starte("tremvik-log", {"export", ordner.pfad() + "/log.adx", "--ascii", "--db", db}).code, 1);
        const Lauf fehlt = starte("tremvik-log", {"import", ordner.pfad() + "/fehlt.adi", "--db", db});
        QCOMPARE(fehlt.code, 1);
        QVERIFY(fehlt.fehler.contains("nicht vorhanden"));
        // A log that is not there is not made.
        QCOMPARE(starte("tremvik-log", {"export", ordner.pfad() + "/x.adi", "--db", ordner.pfad() + "/kein.db"}).code,
                 1);
        QVERIFY(!QFile::exists(ordner.pfad() + "/kein.db"));
        QVERIFY(!QFile::exists(ordner.pfad() + "/x.adi"));
    }

    // The reason a damaged ADX file cannot be read comes from Qt's XML
    // reader, in German as in the program; the log stays as it was.
    void kaputteAdxDatei()
    {
        Testhilfe::Programmordner ordner;
        const QString db = ordner.logDatei();
        einfuegen(db, beispiele());
        const QStringList vorher = logInhalt(db);
        const QString datei = ordner.pfad() + "/kaputt.adx";
        Testhilfe::schreibe(datei, "<?xml version=\"1.0\"?>\n<ADX><RECORDS><RECORD><CALL>DL1XYZ</NAME>");
        const Lauf l = starte("tremvik-log", {"import", datei, "--db", db});
        QCOMPARE(l.code, 1);
        QVERIFY2(l.fehler.contains("Die ADX-Datei kann nicht gelesen werden (Zeile 2, in Datensatz 1)"),
                 qPrintable(l.fehler));
        QVERIFY2(!l.fehler.contains("tag mismatch"), qPrintable(l.fehler));
        QVERIFY2(l.fehler.contains(QStringLiteral("schließenden Elemente")), qPrintable(l.fehler));
        QCOMPARE(logInhalt(db), vorher);
    }

    // Whatever a file holds, the console gets a few kilobytes: a value of a
    // megabyte quoted short, thousands of refused records and unknown
    // fields counted.
    void kurzeAusgabe()
    {
        Testhilfe::Programmordner ordner;
        const QString datei = ordner.pfad() + "/riesig.adi";
        QByteArray adi = "<NOTES:5>" + QByteArray(1024 * 1024, 'x') + "<EOR>\n";
        for (int k = 0; k < 20000; ++k)
            adi += "<CALL:6>DL1ABC <F" + QByteArray::number(k) + ":1>x <EOR>\n<CALL:9>X<EOR>\n";
        Testhilfe::schreibe(datei, adi);
        for (const QString &rest : {QString(), QStringLiteral("--rest")}) {
            const Lauf l = starte("tremvik-log", QStringList{"import", datei, "--db", ordner.logDatei()}
                                                     + (rest.isEmpty() ? QStringList() : QStringList{rest}));
            QVERIFY2(l.aus.size() + l.fehler.size() < 8192, qPrintable(l.fehler.left(300) + l.aus.left(300)));
            QVERIFY2((l.aus + l.fehler).contains(gr("… und ")), qPrintable(l.aus + l.fehler));
        }
        QCOMPARE(logInhalt(ordner.logDatei()).size(), 1);
    }

    void listenformate()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        Frequenzdaten::bauen(db, TREMVIK_QUELLEN "/db/frequenzen.sql", TREMVIK_QUELLEN "/db/frequenzen");
        // The own CSV stays byte for byte what it was, with or without --format.
        const QByteArray bos = Testhilfe::lies(TREMVIK_QUELLEN "/db/frequenzen/bos.csv");
        QCOMPARE(starte("tremvik-frequenzen", {"export", db, "bos"}).aus.toUtf8(), bos);
        QCOMPARE(starte("tremvik-frequenzen", {"export", db, "bos", "--format", "csv"}).aus.toUtf8(), bos);
        const Lauf chirp = starte("tremvik-frequenzen", {"export", db, "afu", "--format=chirp"});
        QCOMPARE(chirp.code, 0);
        QVERIFY(chirp.aus.startsWith("Location,Name,Frequency,"));
        QVERIFY(chirp.aus.contains(",145.575000,-,0.600000,"));   // RV46: input 0.6 MHz below the output
        QVERIFY(starte("tremvik-frequenzen", {"export", db, "flugfunk", "--format", "gqrx"}).aus.contains("; AM "));
        QVERIFY(starte("tremvik-frequenzen", {"--format", "sdrpp", "export", db, "fernwirken"}).code != 0);
        QVERIFY(starte("tremvik-frequenzen", {"export", db, "fernwirken", "--format", "sdrpp"})
                    .aus.contains("\"frequency\": 129100"));
        QCOMPARE(starte("tremvik-frequenzen", {"export", db, "bos", "--format", "pdf"}).code, 2);

        // CHIRP's file read back into a table.
        Testhilfe::schreibe(dir.filePath("afu-chirp.csv"), chirp.aus.toUtf8());
        const Lauf ein = starte("tremvik-frequenzen", {"import", db, "afu", dir.filePath("afu-chirp.csv")});
        QCOMPARE(ein.code, 0);
        QCOMPARE(ein.aus, "afu: 116 Zeilen eingelesen.\n");
        QCOMPARE(starte("tremvik-frequenzen", {"export", db, "afu"}).aus.toUtf8(),
                 Testhilfe::lies(TREMVIK_QUELLEN "/db/frequenzen/afu.csv"));
        // A faulty file names its line and changes nothing.
        Testhilfe::schreibe(dir.filePath("kaputt.csv"), "Location,Name,Frequency\r\n1,a,145.5\r\n2,b,x\r\n");
        const Lauf kaputt = starte("tremvik-frequenzen", {"import", db, "afu", dir.filePath("kaputt.csv")});
        QCOMPARE(kaputt.code, 1);
        QVERIFY2(kaputt.fehler.contains("kaputt.csv, Zeile 3: Frequency"), qPrintable(kaputt.fehler));
        QCOMPARE(starte("tremvik-frequenzen", {"export", db, "afu"}).aus.toUtf8(),
                 Testhilfe::lies(TREMVIK_QUELLEN "/db/frequenzen/afu.csv"));
    }

    // Bookmarks of Gqrx and SDR++ come in by their content, with what was
    // left out told per bookmark; aviation goes out on its carriers. A file
    // that is refused leaves the database as it was, to the byte.
    void lesezeichenHinUndHer()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        Frequenzdaten::bauen(db, TREMVIK_QUELLEN "/db/frequenzen.sql", TREMVIK_QUELLEN "/db/frequenzen");

        const Lauf gqrx = starte("tremvik-frequenzen", {"export", "--db", db, "flugfunk", "--format", "gqrx"});
        QVERIFY(gqrx.aus.contains(gr("   123850000; Leipzig–Altenburg (EDAC) ATIS (Kanal 123,855); AM ")));
        QVERIFY(starte("tremvik-frequenzen", {"export", "--db", db, "flugfunk", "--format", "sdrpp"})
                    .aus.contains("\"frequency\": 123850000"));
        const Lauf chirp = starte("tremvik-frequenzen", {"export", "--db", db, "flugfunk", "--format", "chirp"});
        QVERIFY(chirp.aus.contains(gr(",\"Leipzig-Altenburg (EDAC) ATIS (Kanal 123,855)\",123.850000,")));
        QVERIFY(chirp.aus.contains(gr(",Ort=Leipzig–Altenburg (EDAC) ATIS\r\n")));
        QCOMPARE(chirp.fehler, QString());

        const QString bookmarks = dir.filePath("bookmarks.csv");
        Testhilfe::schreibe(bookmarks, "# Tag name          ;  color\nFlugfunk            ; #40a0ff\n"
                                       "Marine              ; #00ff00\n\n"
                                       "# Frequency ; Name                     ; Modulation          ;  Bandwidth; "
                                       "Tags\n"
                                       "   118800000; Hamburg (EDDH) TWR (Kanal 118,805); AM                  ;      "
                                       "10000; Flugfunk\n"
                                       "   156800000; Kanal 16                 ; Narrow FM           ;      10000; "
                                       "Marine\n");
        const Lauf ein = starte("tremvik-frequenzen", {"import", "--db", db, "flugfunk", bookmarks});
        QCOMPARE(ein.code, 0);
        QCOMPARE(ein.aus, gr("flugfunk: 1 Zeile eingelesen.\n"
                             "Zeile 7 (Kanal 16) nicht übernommen: Tag „Marine“, nicht „Flugfunk“.\n"));
        QCOMPARE(starte("tremvik-frequenzen", {"export", "--db", db, "flugfunk"}).aus,
                 "Frquenz,Ort\n\"118,805\",Hamburg (EDDH) TWR\n");

        const QString json = dir.filePath("sdrpp.json");
        Testhilfe::schreibe(json, "{\"bookmarks\":{\"Florian Hof\":{\"bandwidth\":12500.0,\"frequency\":86355000.0,"
                                  "\"mode\":0},\"Heros Hof\":{\"bandwidth\":12500.0,\"frequency\":172940000.0,"
                                  "\"mode\":0}}}");
        const Lauf sdrpp = starte("tremvik-frequenzen", {"import", "--db", db, "bos", json});
        QCOMPARE(sdrpp.code, 0);
        QCOMPARE(sdrpp.aus, "bos: 2 Zeilen eingelesen.\n");
        QCOMPARE(starte("tremvik-frequenzen", {"export", "--db", db, "bos"}).aus,
                 "BL,Ort,Benutzer,Rufname,Kanal,Freq\n,,,Florian Hof,,\"86,355\"\n,,,Heros Hof,,\"172,940\"\n");

        // Refused: nothing changes.
        const QByteArray vorher = Testhilfe::lies(db);
        const QList<std::pair<QByteArray, QString>> kaputt{
            {"# Tag name ; color\n\n   abc; Name; AM; 10000; Flugfunk\n",
             gr("kaputt, Zeile 3: „abc“ ist keine Frequenz in Hertz.")},
            {"{\"bookmarks\": {\"A\": {\"frequency\": 1}", gr("kaputt, Zeile 1: Die JSON-Datei ist fehlerhaft")},
            {"{\"bookmarks\": {}}", gr("kaputt, Zeile 1: Die Datei enthält keine Lesezeichen.")},
            {"Hallo;Welt\n1;2;3\n", gr("kaputt, Zeile 1: Die Datei hat keines der bekannten Formate.")},
        };
        for (const auto &[inhalt, grund] : kaputt) {
            Testhilfe::schreibe(dir.filePath("kaputt"), inhalt);
            const Lauf l = starte("tremvik-frequenzen", {"import", "--db", db, "flugfunk", dir.filePath("kaputt")});
            QCOMPARE(l.code, 1);
            QVERIFY2(l.fehler.contains(grund), qPrintable(l.fehler));
            QCOMPARE(l.aus, QString());
            QVERIFY(Testhilfe::lies(db) == vorher);
        }
        // What is far larger than any list is not read at all.
        QFile gross(dir.filePath("gross.csv"));
        QVERIFY(gross.open(QIODevice::WriteOnly) && gross.resize(65LL * 1024 * 1024));
        gross.close();
        const Lauf l = starte("tremvik-frequenzen", {"import", "--db", db, "flugfunk", gross.fileName()});
        QCOMPARE(l.code, 1);
        QVERIFY2(l.fehler.contains(gr("ist mit 65 MB zu groß für eine Frequenzliste (höchstens 64 MB).")),
                 qPrintable(l.fehler));
        QVERIFY(Testhilfe::lies(db) == vorher);
    }
};

TREMVIK_TEST_MAIN(TestWerkzeuge)
#include "tst_werkzeuge.moc"
