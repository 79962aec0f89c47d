// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/csv.h"
#include "kernhilfe.h"

#include <QElapsedTimer>

// The CSV dialect of the frequency lists: what is read, what is refused
// (with the right line), and that writing and reading give back the table.
class TestCsv : public QObject
{
    Q_OBJECT

    // A row as one text: fields joined by '|', NULL as '∅'.
    static QString darstellen(const Csv::Zeile &z)
    {
        QStringList teile;
        for (const Csv::Feld &f : z)
            teile.append(f ? *f : QStringLiteral("\u2205"));
        return teile.join(QLatin1Char('|'));
    }
    static QStringList darstellen(const QList<Csv::Zeile> &zeilen)
    {
        QStringList aus;
        for (const Csv::Zeile &z : zeilen)
            aus.append(darstellen(z));
        return aus;
    }

private Q_SLOTS:
    void lesen_data()
    {
        QTest::addColumn<QByteArray>("daten");
        QTest::addColumn<QStringList>("kopf");
        QTest::addColumn<QStringList>("zeilen");
        const QStringList ab{"a", "b"};

        QTest::newRow("einfach") << QByteArray("a,b\n1,2\n3,4\n") << ab << QStringList{"1|2", "3|4"};
        QTest::newRow("ohne Zeilenende am Schluss") << QByteArray("a,b\n1,2") << ab << QStringList{"1|2"};
        QTest::newRow("CRLF") << QByteArray("a,b\r\n1,2\r\n3,4\r\n") << ab << QStringList{"1|2", "3|4"};
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF"
                                           "a,b\r\n1,2\r\n")
                             << ab << QStringList{"1|2"};
        QTest::newRow("Komma in Anführungszeichen")
            << QByteArray("a,b\n\"118,805\",\"Hamburg, TWR\"\n") << ab << QStringList{"118,805|Hamburg, TWR"};
        QTest::newRow("verdoppelte Anführungszeichen")
            << QByteArray("a,b\n\"sagt \"\"hallo\"\"\",\"\"\"\"\n") << ab << QStringList{"sagt \"hallo\"|\""};
        QTest::newRow("Zeilenumbruch im Feld") << QByteArray("a,b\n\"eins\nzwei\",\"drei\r\nvier\"\n5,6\n") << ab
                                               << QStringList{"eins\nzwei|drei\r\nvier", "5|6"};
        QTest::newRow("leer ist NULL, \"\" ist leerer Text")
            << QByteArray("a,b,c\n,\"\",x\nx,,\n") << QStringList{"a", "b", "c"}
            << QStringList{"\u2205||x", "x|\u2205|\u2205"};
        QTest::newRow("Leerzeilen übersprungen")
            << QByteArray("\na,b\n\n1,2\r\n\r\n3,4\n\n") << ab << QStringList{"1|2", "3|4"};
        QTest::newRow("Apostroph und Umlaute") << QByteArray("a,b\nO'Brien,M\xC3\xBC"
                                                             "nchen ' or '1'='1\n")
                                               << ab << QStringList{QStringLiteral("O'Brien|München ' or '1'='1")};
        QTest::newRow("Leerzeichen bleiben") << QByteArray("a,b\n x ,\" y \"\n") << ab << QStringList{" x | y "};
        QTest::newRow("Kopf wird getrimmt")
            << QByteArray(" Ort ,\"BL\"\nx,y\n") << QStringList{"Ort", "BL"} << QStringList{"x|y"};
    }
    void lesen()
    {
        QFETCH(QByteArray, daten);
        QFETCH(QStringList, kopf);
        QFETCH(QStringList, zeilen);
        try {
            const Csv::Tabelle t = Csv::lesen(daten);
            QCOMPARE(t.kopf, kopf);
            QCOMPARE(darstellen(t.zeilen), zeilen);
        } catch (const Csv::Fehler &f) {
            QFAIL(qPrintable(f.meldung()));
        }
    }

    void zeilenNummern()
    {
        // A value over two lines shifts the numbers of the rows after it.
        const Csv::Tabelle t = Csv::lesen("\r\na,b\r\n\"x\r\ny\",1\r\n\r\n2,3\r\n4,5");
        QCOMPARE(t.kopfZeile, 2);
        QCOMPARE(t.zeilenNummern, (QList<int>{3, 6, 7}));
    }

    void fehlerhaft_data()
    {
        QTest::addColumn<QByteArray>("daten");
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("grund");

        QTest::newRow("leere Datei") << QByteArray() << 1 << "leer";
        QTest::newRow("nur BOM") << QByteArray("\xEF\xBB\xBF") << 1 << "leer";
        QTest::newRow("nur Leerzeilen") << QByteArray("\n\r\n\n") << 1 << "leer";
        QTest::newRow("nur Kopfzeile") << QByteArray("a,b\n") << 2 << "kein Datensatz";
        QTest::newRow("nur Kopfzeile ohne Zeilenende") << QByteArray("a,b") << 2 << "kein Datensatz";
        QTest::newRow("Anführungszeichen nicht geschlossen")
            << QByteArray("a,b\n1,2\n\"offen,3\n4,5\n") << 3 << "nicht mehr geschlossen";
        QTest::newRow("Anführungszeichen mitten im Feld")
            << QByteArray("a,b\n1,2\n3,x\"y\n") << 3 << "mitten in einem Feld";
        QTest::newRow("Leerzeichen vor dem Anführungszeichen")
            << QByteArray("a,b\n1, \"2\"\n") << 2 << "mitten in einem Feld";
        QTest::newRow("Text nach dem schließenden Anführungszeichen")
            << QByteArray("a,b\n\"x\" ,1\n") << 2 << "schließenden Anführungszeichen";
        QTest::newRow("zu viele Felder") << QByteArray("a,b\n1,2\n3,4,5\n") << 3 << "3 Felder, die Kopfzeile aber 2";
        QTest::newRow("zu wenige Felder") << QByteArray("a,b\n1\n") << 2 << "1 Felder, die Kopfzeile aber 2";
        QTest::newRow("nach mehrzeiligem Feld") << QByteArray("a,b\n\"x\ny\",1\n2\n") << 4 << "Felder";
        QTest::newRow("kein UTF-8") << QByteArray("a,b\n1,2\n\xFF\xFE,3\n") << 3 << "UTF-8";
        QTest::newRow("Spalte ohne Namen")
            << QByteArray("a,,b\n1,2,3\n") << 1 << "Spalte 2 der Kopfzeile hat keinen Namen";
        QTest::newRow("Spalte doppelt") << QByteArray("Ort,BL,ort\n1,2,3\n") << 1 << "zweimal";
    }
    void fehlerhaft()
    {
        QFETCH(QByteArray, daten);
        QFETCH(int, zeile);
        QFETCH(QString, grund);
        try {
            Csv::lesen(daten);
            QFAIL("Die Datei wurde angenommen.");
        } catch (const Csv::Fehler &f) {
            QCOMPARE(f.zeile(), zeile);
            QVERIFY2(f.grund().contains(grund), qPrintable(f.grund()));
            QVERIFY(f.meldung().startsWith(QStringLiteral("Zeile %1: ").arg(zeile)));
            QVERIFY(f.inDatei("bos.csv").meldung().startsWith(QStringLiteral("bos.csv, Zeile %1: ").arg(zeile)));
        }
    }

    void feld_data()
    {
        QTest::addColumn<QString>("wert");
        QTest::addColumn<bool>("istNull");
        QTest::addColumn<QByteArray>("geschrieben");
        QTest::newRow("NULL") << QString() << true << QByteArray("");
        QTest::newRow("leerer Text") << QString("") << false << QByteArray("\"\"");
        QTest::newRow("schlicht") << "Ulm" << false << QByteArray("Ulm");
        QTest::newRow("Apostroph") << "O'Brien" << false << QByteArray("O'Brien");
        QTest::newRow("Komma") << "86,355" << false << QByteArray("\"86,355\"");
        QTest::newRow("Anführungszeichen") << "a\"b" << false << QByteArray("\"a\"\"b\"");
        QTest::newRow("LF") << "a\nb" << false << QByteArray("\"a\nb\"");
        QTest::newRow("CR") << "a\rb" << false << QByteArray("\"a\rb\"");
        QTest::newRow("Umlaut") << QStringLiteral("Süd") << false
                                << QByteArray("S\xC3\xBC"
                                              "d");
    }
    void feld()
    {
        QFETCH(QString, wert);
        QFETCH(bool, istNull);
        QFETCH(QByteArray, geschrieben);
        QCOMPARE(Csv::feld(istNull ? Csv::Feld() : Csv::Feld(wert)), geschrieben);
    }

    void schreibenUndLesen()
    {
        const QStringList kopf{"Frequenz", "Stadt", "Rufname"};
        const QList<Csv::Zeile> zeilen{
            {QString("0,1291"), QString("Mainhausen (Mainflingen)"), QString("DCF49")},
            {Csv::Feld(), QString(""), QString("O'Brien \"Funk\"")},
            {QString("a\nb\r\nc"), QString(" x "), Csv::Feld()},
            {Csv::Feld(), Csv::Feld(), Csv::Feld()},
        };
        const QByteArray text = Csv::schreiben(kopf, zeilen);
        QVERIFY(text.startsWith("Frequenz,Stadt,Rufname\n\"0,1291\",Mainhausen (Mainflingen),DCF49\n"));
        QVERIFY(text.contains("\n,,\n"));
        const Csv::Tabelle t = Csv::lesen(text);
        QCOMPARE(t.kopf, kopf);
        QCOMPARE(darstellen(t.zeilen), darstellen(zeilen));
        QCOMPARE(t.zeilen, zeilen);
    }

    // The relatives of the dialect that other programs write.
    void andereDialekte()
    {
        Csv::Dialekt d;
        d.trenner = ';';
        d.kommentare = true;
        const QByteArray text = "\xEF\xBB\xBF# Liste von Hand\r\nFreq;Ort\r\n# mitten drin\r\n145,500;\"Ulm; S\xC3\xBC"
                                "d\"\r\n\"#1\";,\r\n";
        const Csv::Tabelle t = Csv::lesen(text, d);
        QCOMPARE(t.kopf, (QStringList{"Freq", "Ort"}));
        QCOMPARE(t.kopfZeile, 2);
        QCOMPARE(darstellen(t.zeilen), (QStringList{QStringLiteral("145,500|Ulm; Süd"), "#1|,"}));
        QCOMPARE(t.zeilenNummern, (QList<int>{4, 5}));
        // Without comments a '#' line is a row like any other.
        QVERIFY_THROWS_EXCEPTION(Csv::Fehler, Csv::lesen("a,b\n# x\n1,2\n"));

        QCOMPARE(Csv::trennerErkennen("# a;b;c\n\nFreq,Ort,\"x;y;z\"\n"), ',');
        QCOMPARE(Csv::trennerErkennen(QString::fromUtf8("\xEF\xBB\xBF"
                                                        "Freq;Ort;BL\n1,5;2;3")),
                 ';');
        QCOMPARE(Csv::trennerErkennen(""), ',');

        // Writing: separator, line end, and a leading '#' kept from being a comment.
        Csv::Dialekt s;
        s.trenner = ';';
        s.zeilenende = "\r\n";
        QCOMPARE(Csv::zeile({QString("#5"), QString("a;b"), QString("1,5"), Csv::Feld()}, s),
                 QByteArray("\"#5\";\"a;b\";1,5;\r\n"));
        QCOMPARE(Csv::zeile({QString("x"), QString("#5")}), QByteArray("x,#5\n"));
        const QList<Csv::Zeile> zeilen{{QString("#a"), QString("1,5")}, {Csv::Feld(), QString("")}};
        QCOMPARE(Csv::lesen(Csv::schreiben({"A", "B"}, zeilen, s), d).zeilen, zeilen);
    }

    // A text a spreadsheet would run as a formula is written with the
    // apostrophe that makes it text; reading takes it off, numbers stay as
    // they are, and every text comes back exactly.
    void formelnAlsText_data()
    {
        QTest::addColumn<QString>("wert");
        QTest::addColumn<QByteArray>("geschrieben");
        QTest::newRow("Formel") << "=1+1" << QByteArray("'=1+1");
        QTest::newRow("Hyperlink") << "=HYPERLINK(\"http://x\";\"Klick\")"
                                   << QByteArray("\"'=HYPERLINK(\"\"http://x\"\";\"\"Klick\"\")\"");
        QTest::newRow("plus") << "+49 40 1234" << QByteArray("'+49 40 1234");
        QTest::newRow("minus allein") << "-" << QByteArray("'-");
        QTest::newRow("at") << "@SUM(A1)" << QByteArray("'@SUM(A1)");
        QTest::newRow("Tab") << "\tx" << QByteArray("'\tx");
        QTest::newRow("CR") << "\rx" << QByteArray("\"'\rx\"");
        QTest::newRow("negative Zahl") << "-0,6" << QByteArray("\"-0,6\"");
        QTest::newRow("negative Zahl, Punkt") << "-7.6" << QByteArray("-7.6");
        QTest::newRow("positive Zahl") << "+5" << QByteArray("+5");
        QTest::newRow("Apostroph vor Formel") << "'=1+1" << QByteArray("''=1+1");
        QTest::newRow("Apostroph, keine Formel") << "'hallo" << QByteArray("'hallo");
        QTest::newRow("Formel mitten drin") << "a=b" << QByteArray("a=b");
    }
    void formelnAlsText()
    {
        QFETCH(QString, wert);
        QFETCH(QByteArray, geschrieben);
        QCOMPARE(Csv::feld(wert), geschrieben);
        const QByteArray datei = Csv::schreiben({"Wert"}, {{wert}});
        QCOMPARE(Csv::lesen(datei).zeilen.first().first(), std::optional<QString>(wert));
        // Without the mark (a file for a program that is no spreadsheet).
        Csv::Dialekt roh;
        roh.formelnAlsText = false;
        QCOMPARE(Csv::lesen(Csv::schreiben({"Wert"}, {{wert}}, roh), roh).zeilen.first().first(),
                 std::optional<QString>(wert));
        // A mark another program set is taken off as well.
        QCOMPARE(Csv::lesen("Wert\n'=2*3\n").zeilen.first().first(), std::optional<QString>("=2*3"));
    }

    // Reading takes time in proportion to the file: a header of 40,000
    // columns (a reader that looks back over the names read so far for a
    // repeated one takes twenty seconds).
    void vieleSpaltenInLinearerZeit()
    {
        QByteArray kopf, zeile;
        for (int k = 0; k < 40000; ++k) {
            kopf += (k ? "," : "") + QByteArray("Spalte") + QByteArray::number(k);
            zeile += (k ? "," : "") + QByteArray::number(k);
        }
        QElapsedTimer uhr;
        uhr.start();
        const Csv::Tabelle t = Csv::lesen(kopf + "\n" + zeile + "\n");
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(t.kopf.size(), 40000);
        // A repeated name is still found, in any letter case, and told short.
        const QString lang(100000, 'x');
        const QString f =
            Testhilfe::fehlerVon([&] { Csv::lesen((lang + ",a," + lang.toUpper()).toUtf8() + "\n1,2,3\n"); });
        QVERIFY2(f.size() < 200 && f.contains(QStringLiteral("steht zweimal")), qPrintable(f));
        // A row with far more fields than the header is refused with its count.
        QCOMPARE(Testhilfe::fehlerVon([] { Csv::lesen("a,b\n" + QByteArray(100000, ',') + "\n"); }),
                 QStringLiteral("Zeile 2: Der Datensatz hat 100001 Felder, die Kopfzeile aber 2."));
    }
};

TREMVIK_KERN_TEST_MAIN(TestCsv)
#include "tst_csv.moc"
