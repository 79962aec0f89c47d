// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/austauschhilfe.h"
#include "kern/austausch/listenformat.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/empfaenger/funkdienst.h"

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
        // An input that is no frequency: still heard on the output, and told.
        QVERIFY(afu.daten.contains("\r\n4,kaputt,145.612500,,0.000000,"));
        QVERIFY(afu.hinweise.isEmpty());
        QCOMPARE(afu.anmerkungen,
                 QStringList{gr("Zeile 4 (kaputt) als Simplex geschrieben: Eingabe „?“ ist keine Frequenz: Die "
                                "Frequenz enthält das Zeichen „?“.")});
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

    // Gqrx reads a bookmark from one line: a name with a line break or a ';'
    // must not split it (the bookmark was lost).
    void gqrxEinLesezeichenJeZeile()
    {
        Listenformat::Liste l = liste("fernwirken");
        l.zeilen[0][4] = gr("Zähler\nNord; Süd\r\tOst");
        const QByteArray daten = Listenformat::schreiben(l, Format::Gqrx).daten;
        const QList<QByteArray> zeilen = daten.split('\n');
        const int leer = int(zeilen.indexOf(QByteArray()));
        QCOMPARE(zeilen.size() - leer - 3, 2);   // header, two bookmarks, the final line end
        for (int i = leer + 2; i < zeilen.size() - 1; ++i)
            QCOMPARE(zeilen.at(i).count(';'), 4);
        QVERIFY(daten.contains(gr("; Zähler Nord, Süd  Ost ").toUtf8()));
    }

    // An aviation channel name is not a frequency: the files that receivers
    // load carry the carrier that the program tunes to, and the channel's
    // name stays in the bookmark's; the way back gives the list again.
    void flugfunkMitTraeger()
    {
        Listenformat::Liste l;
        l.tabelle = "flugfunk";
        l.spalten = QStringList{"Frquenz", "Ort"};
        l.zeilen = {{gr("118,805"), gr("Hamburg (EDDH) TWR")},
                    {gr("118,810"), gr("Bremen (EDDW) APP")},
                    {gr("118,815"), Csv::Feld()},
                    {gr("121,500"), gr("Notfrequenz")},
                    {gr("136,990"), gr("Langen Radar")},
                    {gr("243,000"), gr("Militär Not")},
                    {gr("118,800"), gr("Alt (25 kHz)")}};
        const QList<std::pair<qint64, QString>> erwartet{{118800000, gr("Hamburg (EDDH) TWR (Kanal 118,805)")},
                                                         {118808333, gr("Bremen (EDDW) APP (Kanal 118,810)")},
                                                         {118816667, gr("Kanal 118,815")},
                                                         {121500000, gr("Notfrequenz")},
                                                         {136991667, gr("Langen Radar (Kanal 136,990)")},
                                                         {243000000, gr("Militär Not")},
                                                         {118800000, gr("Alt (25 kHz)")}};
        // One converter: what the receiver is tuned to for the row.
        for (int i = 0; i < l.zeilen.size(); ++i)
            QCOMPARE(erwartet.at(i).first,
                     Funkdienste::traeger(Funkdienst::Flugfunk, *Frequenz::hertz(*l.zeilen.at(i).at(0))));

        const Listenformat::Ausgabe gqrx = Listenformat::schreiben(l, Format::Gqrx);
        QList<std::pair<qint64, QString>> gelesen;
        for (const QByteArray &z : gqrx.daten.split('\n')) {
            const QList<QByteArray> f = z.split(';');
            if (f.size() == 5 && !z.startsWith('#'))
                gelesen.append({f.at(0).trimmed().toLongLong(), QString::fromUtf8(f.at(1).trimmed())});
        }
        QCOMPARE(gelesen, erwartet);

        const QJsonObject sdrpp = QJsonDocument::fromJson(Listenformat::schreiben(l, Format::Sdrpp).daten)
                                      .object()
                                      .value("bookmarks")
                                      .toObject();
        for (const auto &[hz, name] : erwartet)
            QCOMPARE(qint64(sdrpp.value(name).toObject().value("frequency").toDouble()), hz);

        const Listenformat::Ausgabe chirp = Listenformat::schreiben(l, Format::Chirp);
        QVERIFY(chirp.daten.contains("\r\n1,\"Hamburg (EDDH) TWR (Kanal 118,805)\",118.800000,,"));
        QVERIFY(chirp.daten.contains("\r\n2,\"Bremen (EDDW) APP (Kanal 118,810)\",118.808333,,"));
        QVERIFY(chirp.daten.contains("\r\n3,\"Kanal 118,815\",118.816667,,"));
        QVERIFY(chirp.daten.contains("\r\n6,Militaer Not,243.000000,"));

        // Back in: the channel names and the exact names again.
        QList<Csv::Zeile> sortiert = l.zeilen;
        const auto nachText = [](const Csv::Zeile &a, const Csv::Zeile &b) {
            return a.at(0).value_or("") + a.at(1).value_or("") < b.at(0).value_or("") + b.at(1).value_or("");
        };
        std::sort(sortiert.begin(), sortiert.end(), nachText);
        for (const Format f : {Format::Gqrx, Format::Sdrpp, Format::Chirp}) {
            const Csv::Tabelle t = Listenformat::einlesen(Listenformat::schreiben(l, f).daten, "flugfunk");
            QCOMPARE(t.kopf, (QStringList{"Frquenz", "Ort"}));
            QList<Csv::Zeile> zurueck = t.zeilen;
            std::sort(zurueck.begin(), zurueck.end(), nachText);   // SDR++ keeps them by name
            QCOMPARE(zurueck, sortiert);
        }
    }

    // CHIRP for listeners: a repeater without an input is simplex, a pair
    // across bands is "split" as CHIRP writes it; radios get ASCII names,
    // the comment keeps the exact ones.
    void chirpFuerHoerer()
    {
        Listenformat::Liste l;
        l.tabelle = "afu";
        l.spalten = QStringList{"Standort", "Eingabe", "Ausgabe"};
        l.zeilen = {{gr("RV48"), gr("145,0000"), gr("145,6000")},
                    {gr("Kreuzband"), gr("145,2000"), gr("435,3000")},
                    {gr("Nur hören"), Csv::Feld(), gr("439,1500")},
                    {gr("Leer"), gr(" "), gr("145,7000")},
                    {gr("Oben"), gr("438,6750"), gr("431,0750")},
                    {gr("Lübeck–Süd"), gr("431,0500"), gr("438,6500")},
                    {gr("Ärzte\nNotdienst"), gr("145,0125"), gr("145,6125")}};
        const Listenformat::Ausgabe aus = Listenformat::schreiben(l, Format::Chirp);
        QCOMPARE(aus.zeilen, 7);
        QVERIFY(aus.hinweise.isEmpty());
        QVERIFY(aus.anmerkungen.isEmpty());
        const QList<QByteArray> zeilen = aus.daten.split('\n');
        QCOMPARE(zeilen.at(1), "1,RV48,145.600000,-,0.600000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,\r");
        QCOMPARE(zeilen.at(2), "2,Kreuzband,435.300000,split,145.200000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,"
                               "\r");
        QCOMPARE(zeilen.at(3), gr("3,Nur hoeren,439.150000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,"
                                  "Standort=Nur hören\r")
                                   .toUtf8());
        QVERIFY(zeilen.at(4).startsWith("4,Leer,145.700000,,0.000000,"));
        QVERIFY(zeilen.at(5).startsWith("5,Oben,431.075000,+,7.600000,"));
        QVERIFY(zeilen.at(6).startsWith("6,Luebeck-Sued,438.650000,-,7.600000,"));
        QVERIFY(zeilen.at(6).endsWith(gr(",Standort=Lübeck–Süd\r").toUtf8()));
        QVERIFY(zeilen.at(7).startsWith("7,Aerzte Notdienst,145.612500,-,"));

        // Back in: the inputs from split and offset, the exact names; a
        // listen-only repeater comes back as simplex.
        const Csv::Tabelle t = Listenformat::einlesen(aus.daten, "afu");
        QStringList zurueck;
        for (const Csv::Zeile &z : t.zeilen)
            zurueck.append(z.at(1).value_or("-") + "|" + z.at(2).value_or("-") + "|" + z.at(0).value_or("-"));
        QCOMPARE(zurueck, (QStringList{gr("RV48|145,0000|145,6000"), gr("Kreuzband|145,2000|435,3000"),
                                       gr("Nur hören|439,1500|439,1500"), gr("Leer|145,7000|145,7000"),
                                       gr("Oben|438,6750|431,0750"), gr("Lübeck–Süd|431,0500|438,6500"),
                                       gr("Ärzte\nNotdienst|145,0125|145,6125")}));

        // The exact name comes first in a comment of other columns, and a
        // value with "; " in it survives.
        Listenformat::Liste bos = liste("bos");
        bos.zeilen[1][3] = gr("Florian Groß Grönau 1");
        const Listenformat::Ausgabe b = Listenformat::schreiben(bos, Format::Chirp);
        QVERIFY(b.daten.contains(gr("2,Florian Gross Groenau 1,172.940000,,0.000000,,88.5,88.5,023,NN,023,"
                                    "Tone->Tone,FM,5.00,,50W,Rufname=Florian Groß Grönau 1; BL=HH; "
                                    "Ort=Hamburg; Süd; Kanal=240\r\n")
                                     .toUtf8()));
        QCOMPARE(Listenformat::einlesen(b.daten, "bos").zeilen.at(1),
                 (Csv::Zeile{gr("172,940"), gr("Florian Groß Grönau 1"), gr("HH"), gr("Hamburg; Süd"), Csv::Feld(),
                             gr("240")}));
    }

    // The must: the shipped lists exported and imported into an empty copy
    // give back the same rows, through tremvik's CSV and through CHIRP, and
    // aviation through Gqrx, which holds all of its columns.
    void mitgelieferteListenHinUndZurueck_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("tabellen");
        QTest::newRow("CSV") << int(Format::Csv) << Frequenzdaten::tabellen();
        QTest::newRow("CHIRP") << int(Format::Chirp) << Frequenzdaten::tabellen();
        QTest::newRow("Gqrx") << int(Format::Gqrx) << QStringList{"flugfunk"};
    }
    void mitgelieferteListenHinUndZurueck()
    {
        QFETCH(int, format);
        QFETCH(QStringList, tabellen);
        QTemporaryDir quelle, ziel;
        const QString db = gebaut(quelle);
        Testhilfe::Programmordner leer;
        for (const QString &t : tabellen) {
            const Listenformat::Liste l = Listenformat::lesen(db, t);
            const Listenformat::Ausgabe aus = Listenformat::schreiben(l, Format(format));
            QVERIFY2(aus.hinweise.isEmpty(), qPrintable(aus.hinweise.join('\n')));
            QCOMPARE(aus.zeilen, int(l.zeilen.size()));
            if (Format(format) == Format::Gqrx) {
                // Every bookmark on the carrier the program tunes the row to.
                const QList<QByteArray> zeilen = aus.daten.split('\n');
                int neben = 0;
                for (int i = 0; i < l.zeilen.size(); ++i) {
                    const qint64 geschrieben = *Frequenz::hertz(*l.zeilen.at(i).at(0));
                    const qint64 hz = zeilen.at(i + 4).split(';').first().trimmed().toLongLong();
                    QCOMPARE(hz, Funkdienste::traeger(Funkdienst::Flugfunk, geschrieben));
                    neben += hz != geschrieben;
                }
                QVERIFY2(neben > 500, qPrintable(QString::number(neben)));
            }
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
