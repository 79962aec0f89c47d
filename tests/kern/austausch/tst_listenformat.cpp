#include "kern/austausch/listenformat.h"
#include "kern/austausch/austauschhilfe.h"
#include "kern/bestaende/frequenzdaten.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Austauschhilfe;
using Format = Listenformat::Format;

// The frequency lists in the formats of receivers and their programs:
// golden files, exact frequencies, and the way back in.
class TestListenformat : public QObject
{
    Q_OBJECT

    static QString quellen(const QString &name) { return QStringLiteral(TREMVIK_QUELLEN "/db/") + name; }

    // The shipped frequency database in a folder of its own.
    static QString gebaut(const QTemporaryDir &dir)
    {
        const QString db = dir.filePath("Frequenzen.dorlem-fasq");
        Frequenzdaten::bauen(db, quellen("frequenzen.sql"), quellen("frequenzen"));
        return db;
    }

    // A few rows of each list with the edges that matter.
    static Listenformat::Liste liste(const QString &tabelle)
    {
        Listenformat::Liste l;
        l.tabelle = tabelle;
        if (tabelle == "bos") {
            l.spalten = QStringList{"BL", "Ort", "Benutzer", "Rufname", "Kanal", "Freq"};
            l.zeilen = {{gr("BW"), gr("Ulm"), gr("Feuerwehr"), gr("Florian Ulm 1/44-1"), gr("464"), gr("86,355")},
                        {gr("HH"), gr("Hamburg; Süd"), Csv::Feld(), gr("Florian Ulm 1/44-1"), gr("240"), gr("172,940")},
                        {gr("BY"), gr("Hof"), gr("THW"), gr("Heros, Hof"), gr("1"), gr("noch offen")}};
        } else if (tabelle == "afu") {
            l.spalten = QStringList{"Standort", "Eingabe", "Ausgabe"};
            l.zeilen = {{gr("RV48"), gr("145,0000"), gr("145,6000")},
                        {gr("RU692"), gr("431,0750"), gr("438,6750")},
                        {gr("Simplex"), gr("145,5000"), gr("145,5000")},
                        {gr("kaputt"), gr("?"), gr("145,6125")}};
        } else if (tabelle == "flugfunk") {
            l.spalten = QStringList{"Frquenz", "Ort"};
            l.zeilen = {{gr("118,805"), gr("Hamburg (EDDH) TWR")}, {gr("121,500"), gr("Notfrequenz")}};
        } else {
            l.spalten = QStringList{"Frequenz", "Stadt", "Firma", "Anwenderart", "Rufname"};
            l.zeilen = {{gr("0,1291"), gr("Mainflingen"), gr("EFR"), gr("Tarif=Last"), gr("DCF49")},
                        {gr("169,40625"), Csv::Feld(), gr("Stadtwerke"), Csv::Feld(), Csv::Feld()}};
        }
        return l;
    }

private Q_SLOTS:
    void goldeneDateien_data()
    {
        QTest::addColumn<QString>("tabelle");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("datei");
        for (const QString t : {"bos", "flugfunk", "afu", "fernwirken"}) {
            QTest::addRow("%s chirp", qPrintable(t)) << t << int(Format::Chirp) << t + "-chirp.csv";
            QTest::addRow("%s gqrx", qPrintable(t)) << t << int(Format::Gqrx) << t + "-gqrx.csv";
            QTest::addRow("%s sdrpp", qPrintable(t)) << t << int(Format::Sdrpp) << t + "-sdrpp.json";
        }
        QTest::addRow("bos csv") << "bos" << int(Format::Csv) << "bos.csv";
    }
    void goldeneDateien()
    {
        QFETCH(QString, tabelle);
        QFETCH(int, format);
        QFETCH(QString, datei);
        const Listenformat::Ausgabe aus = Listenformat::schreiben(liste(tabelle), Format(format));
        QVERIFY(golden(datei, aus.daten));
    }

    void chirpUndAndere()
    {
        const auto bos = Listenformat::schreiben(liste("bos"), Format::Chirp);
        // A value that is no frequency is named, never guessed.
        QCOMPARE(bos.zeilen, 2);
        QCOMPARE(bos.hinweise, QStringList{gr("Zeile 3 (Heros, Hof) ausgelassen: „noch offen“ ist keine Frequenz: "
                                              "Die Frequenz enthält das Zeichen „n“.")});
        // Back in, the comment gives the other columns again, "; " in a value too.
        const Csv::Tabelle zurueck = Listenformat::einlesen(bos.daten, "bos");
        QCOMPARE(zurueck.kopf, (QStringList{"Freq", "Rufname", "BL", "Ort", "Benutzer", "Kanal"}));
        QCOMPARE(zurueck.zeilen.at(1), (Csv::Zeile{gr("172,940"), gr("Florian Ulm 1/44-1"), gr("HH"),
                                                   gr("Hamburg; Süd"), Csv::Feld(), gr("240")}));
        // Repeaters: the offset from input and output, down to the hertz.
        const auto afu = Listenformat::schreiben(liste("afu"), Format::Chirp);
        QVERIFY(afu.daten.contains("\r\n1,RV48,145.600000,-,0.600000,"));
        QVERIFY(afu.daten.contains("\r\n2,RU692,438.675000,-,7.600000,"));
        QVERIFY(afu.daten.contains("\r\n3,Simplex,145.500000,,0.000000,"));
        QCOMPARE(afu.hinweise.size(), 1);
        QVERIFY(Listenformat::schreiben(liste("flugfunk"), Format::Chirp).daten.contains(",Tone->Tone,AM,"));

        // SDR++: every name once, the mode index of NFM and AM, hertz exact.
        const QJsonObject fw =
            QJsonDocument::fromJson(Listenformat::schreiben(liste("fernwirken"), Format::Sdrpp).daten).object();
        const QJsonObject z = fw.value("bookmarks").toObject();
        // A row without a name goes by its other columns.
        QCOMPARE(z.keys(), (QStringList{"DCF49", "Stadtwerke"}));
        QCOMPARE(z.value("DCF49").toObject().value("frequency").toDouble(), 129100.0);
        QCOMPARE(qint64(z.value("Stadtwerke").toObject().value("frequency").toDouble()), 169406250);
        const QJsonObject b = QJsonDocument::fromJson(Listenformat::schreiben(liste("bos"), Format::Sdrpp).daten)
                                  .object()
                                  .value("bookmarks")
                                  .toObject();
        QCOMPARE(b.keys(), (QStringList{"Florian Ulm 1/44-1", "Florian Ulm 1/44-1 (2)"}));
        QCOMPARE(b.value("Florian Ulm 1/44-1").toObject().value("mode").toInt(), 0);
        const QJsonObject f = QJsonDocument::fromJson(Listenformat::schreiben(liste("flugfunk"), Format::Sdrpp).daten)
                                  .object()
                                  .value("bookmarks")
                                  .toObject();
        QCOMPARE(f.value("Notfrequenz").toObject().value("mode").toInt(), 2);

        // Gqrx: no ';' in a name.
        QVERIFY(!Listenformat::schreiben(liste("fernwirken"), Format::Gqrx).daten.contains("Tarif=Last;"));
    }

    // The must: the shipped lists exported and imported into an empty copy
    // give back the same rows, through tremvik's CSV and through CHIRP.
    void mitgelieferteListenHinUndZurueck_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("CSV") << int(Format::Csv);
        QTest::newRow("CHIRP") << int(Format::Chirp);
    }
    void mitgelieferteListenHinUndZurueck()
    {
        QFETCH(int, format);
        QTemporaryDir quelle, ziel;
        const QString db = gebaut(quelle);
        Testhilfe::Programmordner leer;
        for (const QString &t : Frequenzdaten::tabellen()) {
            const Listenformat::Liste l = Listenformat::lesen(db, t);
            const Listenformat::Ausgabe aus = Listenformat::schreiben(l, Format(format));
            QVERIFY2(aus.hinweise.isEmpty(), qPrintable(aus.hinweise.join('\n')));
            QCOMPARE(aus.zeilen, int(l.zeilen.size()));
            const Csv::Tabelle gelesen = Listenformat::einlesen(aus.daten, t);
            QCOMPARE(Frequenzdaten::importieren(leer.frequenzDatei(), t, gelesen, "x.csv"), int(l.zeilen.size()));
            QCOMPARE(Frequenzdaten::exportieren(leer.frequenzDatei(), t), Frequenzdaten::exportieren(db, t));
        }
    }

    // A window exports what it shows: the rows of its query, in its order.
    void abfrageDesFensters()
    {
        QTemporaryDir dir;
        const QString db = gebaut(dir);
        const Listenformat::Liste l =
            Listenformat::lesen(db, "flugfunk", "select * from [flugfunk] where Ort like '%EDDH%' order by Ort asc");
        QVERIFY(l.zeilen.size() > 2);
        for (const Csv::Zeile &z : l.zeilen)
            QVERIFY(z.at(1)->contains("EDDH"));
        QVERIFY(std::is_sorted(l.zeilen.begin(), l.zeilen.end(),
                               [](const Csv::Zeile &a, const Csv::Zeile &b) { return *a.at(1) < *b.at(1); }));
    }

    // Files as CHIRP and German spreadsheets write them.
    void einlesenFremderDateien()
    {
        // CHIRP's own export, in another column order, with comments and a
        // byte order mark, and one saved by a German spreadsheet.
        const QByteArray chirp = "\xEF\xBB\xBF# von CHIRP\r\nLocation,Name,Frequency,Duplex,Offset,Mode,Comment\r\n"
                                 "0,DB0XY,439.075000,-,7.600000,FM,\r\n"
                                 "1,DB0ZZ,145.6,+,0.6,FM,Relais am Berg\r\n"
                                 "2,Split,145.6,split,145.0,FM,\r\n"
                                 "3,Aus,145.6,off,0,FM,\r\n";
        const Csv::Tabelle afu = Listenformat::einlesen(chirp, "afu");
        QCOMPARE(afu.kopf, (QStringList{"Ausgabe", "Standort", "Eingabe"}));
        QCOMPARE(afu.zeilenNummern, (QList<int>{3, 4, 5, 6}));
        QStringList zeilen;
        for (const Csv::Zeile &z : afu.zeilen)
            zeilen.append(z.at(0).value_or("-") + "|" + z.at(1).value_or("-") + "|" + z.at(2).value_or("-"));
        QCOMPARE(zeilen, (QStringList{"439,0750|DB0XY|431,4750", "145,6000|DB0ZZ (Relais am Berg)|146,2000",
                                      "145,6000|Split|145,0000", "145,6000|Aus|-"}));

        const QByteArray deutsch = "Location;Name;Frequency;Duplex;Offset;Comment\r\n"
                                   "1;Florian Hof;\"86,355\";;0,000000;Freier Text\r\n";
        const Csv::Tabelle bos = Listenformat::einlesen(deutsch, "bos");
        QCOMPARE(bos.zeilen.first().at(0), Csv::Feld("86,355"));
        QCOMPARE(bos.zeilen.first().at(1), Csv::Feld("Florian Hof"));
        QCOMPARE(bos.zeilen.first().at(3), Csv::Feld("Freier Text"));   // Ort

        // Our own CSV as a spreadsheet saves it: semicolons, decimal comma
        // without quotes, Windows-1252.
        const Csv::Tabelle eigen = Listenformat::einlesen("Frquenz;Ort\r\n118,805;M\xFC"
                                                          "nchen TWR\r\n",
                                                          "flugfunk");
        QCOMPARE(eigen.kopf, (QStringList{"Frquenz", "Ort"}));
        QCOMPARE(eigen.zeilen.first().at(1), Csv::Feld(gr("München TWR")));

        // A fault names its line; nothing is guessed.
        auto fehler = [](const QByteArray &daten, const QString &tabelle) -> QString {
            try {
                Listenformat::einlesen(daten, tabelle);
            } catch (const Csv::Fehler &f) {
                return QString::number(f.zeile()) + ": " + f.grund();
            }
            return "angenommen";
        };
        QCOMPARE(fehler("Location,Name,Frequency\r\n1,a,145.5\r\n2,b,145.5.1\r\n", "bos"),
                 gr("3: Frequency: „145.5.1“ ist keine Frequenz: Die Frequenz hat mehr als ein Dezimalzeichen."));
        QCOMPARE(fehler("Location,Name,Frequency,Duplex,Offset\r\n1,a,145.5,x,0.6\r\n", "afu"),
                 gr("2: Duplex „x“ ist keiner der Werte +, -, split, off oder leer."));
        QCOMPARE(fehler("Location,Name\r\n1,a\r\n", "afu"), gr("1: Der CHIRP-Datei fehlt die Spalte Frequency."));
    }
};

TREMVIK_KERN_TEST_MAIN(TestListenformat)
#include "tst_listenformat.moc"
