// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/austauschhilfe.h"
#include "kern/austausch/listenformat.h"

using namespace Austauschhilfe;

// Bookmarks as the receiver programs write them, taken into a list: Gqrx's
// bookmarks.csv and SDR++'s frequency manager JSON, told by their content;
// a file of no known kind is named as such.
class TestFremdlisten : public QObject
{
    Q_OBJECT

    // A bookmarks.csv as Gqrx saves it: the tag section, an empty line, the
    // bookmarks with Gqrx's column widths.
    static QByteArray gqrxDatei()
    {
        return "# Tag name          ;  color\n"
               "Flugfunk            ; #40a0ff\n"
               "Marine              ; #00ff00\n"
               "Untagged            ; #c0c0c0\n"
               "\n"
               "# Frequency ; Name                     ; Modulation          ;  Bandwidth; Tags\n"
               "   118800000; Hamburg (EDDH) TWR (Kanal 118,805); AM                  ;       8330; Flugfunk\n"
               "   118808333; Bremen APP               ; AM                  ;      10000; Flugfunk,Favoriten\n"
               "   121500000; Notfrequenz              ; AM-Sync             ;      10000; Flugfunk\n"
               "   122800000; Segelflug                ; Narrow FM           ;      10000; Flugfunk\n"
               "   156800000; Kanal 16                 ; Narrow FM           ;      10000; Marine\n"
               "   145500000; Anruf 2 m                ; Narrow FM           ;      10000; \n";
    }

    static QStringList zeilen(const Csv::Tabelle &t)
    {
        QStringList aus{t.kopf.join('|')};
        for (int r = 0; r < t.zeilen.size(); ++r) {
            QStringList z;
            for (const Csv::Feld &f : t.zeilen.at(r))
                z.append(f.value_or(QStringLiteral("∅")));
            aus.append(QString::number(t.zeilenNummern.at(r)) + ": " + z.join('|'));
        }
        return aus;
    }

    // The fault a file is refused with, as "line: reason".
    static QString fehler(const QByteArray &daten, const QString &tabelle = "flugfunk")
    {
        try {
            Listenformat::einlesen(daten, tabelle);
        } catch (const Csv::Fehler &f) {
            return QString::number(f.zeile()) + ": " + f.grund();
        }
        return "angenommen";
    }

private Q_SLOTS:
    // The bookmarks of the list's own tag, carriers back to channel names,
    // what does not fit told per bookmark; the same with CRLF.
    void gqrxLesezeichen()
    {
        for (const QByteArray &daten : {gqrxDatei(), QByteArray(gqrxDatei()).replace("\n", "\r\n")}) {
            QStringList hinweise;
            const Csv::Tabelle t = Listenformat::einlesen(daten, "flugfunk", &hinweise);
            QCOMPARE(zeilen(t), (QStringList{"Frquenz|Ort", "7: 118,805|Hamburg (EDDH) TWR", "8: 118,810|Bremen APP",
                                             "9: 121,500|Notfrequenz", "10: 122,800|Segelflug"}));
            QCOMPARE(hinweise, (QStringList{gr("Zeile 10 (Segelflug) übernommen, aber mit der Modulation „Narrow "
                                               "FM“; die Liste wird mit AM gehört."),
                                            gr("Zeile 11 (Kanal 16) nicht übernommen: Tag „Marine“, nicht „Flugfunk“."),
                                            gr("Zeile 12 (Anruf 2 m) nicht übernommen: Tag „Untagged“, nicht "
                                               "„Flugfunk“.")}));
        }

        // No bookmark with the list's tag: all of them are meant.
        QStringList hinweise;
        const Csv::Tabelle bos = Listenformat::einlesen(gqrxDatei(), "bos", &hinweise);
        QCOMPARE(bos.kopf, (QStringList{"Freq", "Rufname"}));
        QCOMPARE(bos.zeilen.size(), 6);
        QCOMPARE(bos.zeilen.first(), (Csv::Zeile{gr("118,800"), gr("Hamburg (EDDH) TWR (Kanal 118,805)")}));
        QCOMPARE(bos.zeilen.last(), (Csv::Zeile{gr("145,500"), gr("Anruf 2 m")}));
        QCOMPARE(hinweise.size(), 3);   // the AM bookmarks in an FM list
        QVERIFY(hinweise.first().startsWith(gr("Zeile 7 (Hamburg (EDDH) TWR (Kanal 118,805)) übernommen, aber")));

        // Bookmarks without Gqrx's tag section are still taken.
        QCOMPARE(zeilen(Listenformat::einlesen("145500000;Anruf;Narrow FM;10000;\n", "afu")),
                 (QStringList{"Ausgabe|Standort", gr("1: 145,5000|Anruf")}));
    }

    void gqrxFehler()
    {
        QByteArray kaputt = gqrxDatei();
        kaputt.replace("   121500000;", "   121.5 MHz;");
        QCOMPARE(fehler(kaputt), gr("9: „121.5 MHz“ ist keine Frequenz in Hertz."));
        QCOMPARE(fehler(QByteArray(gqrxDatei()).replace("; AM-Sync             ;      10000; Flugfunk", "; AM")),
                 gr("9: Ein Lesezeichen hat fünf durch Semikolon getrennte Felder (Frequenz, Name, Modulation, "
                    "Bandbreite, Tags), diese Zeile hat 3."));
        QCOMPARE(fehler("# Tag name          ;  color\nFlugfunk            ; #40a0ff\n\n"),
                 gr("1: Die Datei enthält keine Lesezeichen."));
        // A frequency beyond any list's, and a long name, told briefly.
        const QString lang = fehler(QByteArray(gqrxDatei()).replace("   121500000;", "1" + QByteArray(80, '0') + ";"));
        QVERIFY2(lang.size() < 120 && lang.contains(gr("…“ ist keine Frequenz")), qPrintable(lang));
    }

    // SDR++ writes an exported list in one line, its settings with all lists
    // indented; the lists are its tags.
    void sdrppListen()
    {
        const QByteArray export_ =
            R"x({"bookmarks":{"Hamburg (EDDH) TWR (Kanal 118,805)":{"bandwidth":10000.0,"frequency":118800000.0,)x"
            R"x("mode":2},"Langen Radar":{"bandwidth":8330.0,"frequency":136991666.99999999,"mode":2},)x"
            R"x("Segelflug":{"bandwidth":12500.0,"frequency":122800000.0,"mode":0}}})x";
        QStringList hinweise;
        QCOMPARE(zeilen(Listenformat::einlesen(export_, "flugfunk", &hinweise)),
                 (QStringList{"Frquenz|Ort", "1: 118,805|Hamburg (EDDH) TWR", "1: 136,990|Langen Radar",
                              "1: 122,800|Segelflug"}));
        QCOMPARE(hinweise, QStringList{gr("Zeile 1 (Segelflug) übernommen, aber mit der Modulation „NFM“; die Liste "
                                          "wird mit AM gehört.")});

        const QByteArray einstellungen = "{\n"
                                         "    \"bookmarkDisplayMode\": 1,\n"
                                         "    \"lists\": {\n"
                                         "        \"Flugfunk\": {\n"
                                         "            \"bookmarks\": {\n"
                                         "                \"Bremen APP\": {\n"
                                         "                    \"bandwidth\": 10000.0,\n"
                                         "                    \"frequency\": 118808333.0,\n"
                                         "                    \"mode\": 2\n"
                                         "                },\n"
                                         "                \"M\\u00fcnchen \\\"Tower\\\"\": {\n"
                                         "                    \"bandwidth\": 10000.0,\n"
                                         "                    \"frequency\": 118700000.0,\n"
                                         "                    \"mode\": 2\n"
                                         "                }\n"
                                         "            },\n"
                                         "            \"showOnWaterfall\": true\n"
                                         "        },\n"
                                         "        \"General\": {\n"
                                         "            \"bookmarks\": {\n"
                                         "                \"Kanal 16\": {\n"
                                         "                    \"bandwidth\": 12500.0,\n"
                                         "                    \"frequency\": 156800000.0,\n"
                                         "                    \"mode\": 0\n"
                                         "                }\n"
                                         "            },\n"
                                         "            \"showOnWaterfall\": true\n"
                                         "        }\n"
                                         "    },\n"
                                         "    \"selectedList\": \"General\"\n"
                                         "}\n";
        hinweise.clear();
        QCOMPARE(zeilen(Listenformat::einlesen(einstellungen, "flugfunk", &hinweise)),
                 (QStringList{"Frquenz|Ort", "6: 118,810|Bremen APP", gr("11: 118,700|München \"Tower\"")}));
        QCOMPARE(hinweise, QStringList{gr("Zeile 21 (Kanal 16) nicht übernommen: Liste „General“, nicht „Flugfunk“.")});
    }

    void sdrppFehler()
    {
        QVERIFY(fehler("{\n  \"bookmarks\": {\n    \"A\": {\"frequency\": 1}\n")
                    .startsWith(gr("4: Die JSON-Datei ist fehlerhaft: ")));
        QCOMPARE(fehler("{\"bookmarks\": {\n\"A\": {\"frequency\": 118800000},\n\"B\": {\"mode\": 2}}}"),
                 gr("3: Das Lesezeichen „B“ hat keine Frequenz in Hertz („frequency“)."));
        for (const char *falsch : {"-5", "\"118800000\"", "1e15", "null"})
            QVERIFY(fehler(QByteArray("{\"bookmarks\": {\"B\": {\"frequency\": ") + falsch + "}}}")
                        .contains(gr("hat keine Frequenz in Hertz")));
        QCOMPARE(fehler("{\"bookmarks\": {\"B\": 5}}"),
                 gr("1: Das Lesezeichen „B“ hat keine Frequenz in Hertz („frequency“)."));
        QCOMPARE(fehler("{\"name\": \"kein SDR++\"}"),
                 gr("1: Die JSON-Datei ist keine Frequenzliste von SDR++: Ihr fehlt „bookmarks“ (eine exportierte "
                    "Liste) oder „lists“ (die Einstellungen des Frequenzmanagers)."));
        QCOMPARE(fehler("[1, 2]"), fehler("{\"name\": \"kein SDR++\"}"));
        QCOMPARE(fehler("{\"bookmarks\": {}}"), gr("1: Die Datei enthält keine Lesezeichen."));
    }

    // What is none of the known kinds is named as such, not read as a CSV
    // whose records do not fit its header.
    void unbekanntesFormat()
    {
        const QString grund = gr("Die Datei hat keines der bekannten Formate. Eingelesen werden CSV-Listen von "
                                 "tremvik-tool (Kopfzeile mit den Spaltennamen der Tabelle, hier Frquenz, Ort), "
                                 "CHIRP-CSV-Dateien (Kopfzeile ab „Location“), Gqrx-Lesezeichen (bookmarks.csv) und "
                                 "Frequenzlisten von SDR++ (JSON).");
        QCOMPARE(fehler("\n# eine Notiz\nHallo;Welt\n1;2;3\n"), "3: " + grund);
        QCOMPARE(fehler(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), "1: " + grund);
        // Our own CSV with a column of another list is still read as ours
        // (the import then names the column), and its faults are its own.
        QCOMPARE(fehler("Frequenz,Stadt\n\"1,5\",Hof\n", "flugfunk"), "angenommen");
        QCOMPARE(fehler("Frquenz;Ort\n118,805;Hof;zu viel\n"),
                 gr("2: Der Datensatz hat 3 Felder, die Kopfzeile aber 2."));
        QCOMPARE(fehler(""), gr("1: Die Datei ist leer; erwartet wird eine Kopfzeile mit den Spaltennamen und darunter "
                                "die Datensätze."));
    }
};

TREMVIK_KERN_TEST_MAIN(TestFremdlisten)
#include "tst_fremdlisten.moc"
