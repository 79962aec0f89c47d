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
};

TREMVIK_TEST_MAIN(TestWerkzeuge)
#include "tst_werkzeuge.moc"
