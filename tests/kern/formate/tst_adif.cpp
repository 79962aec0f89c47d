// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/adif.h"
#include "kernhilfe.h"

#include <QElapsedTimer>

// Reading and writing ADI and ADX as files: lengths in bytes or characters,
// files of other programs, broken records and what becomes of them.
class TestAdif : public QObject
{
    Q_OBJECT

    // A record as one text: "NAME=value" joined by '|', or "Fehler: ..."
    static QString darstellen(const Adif::Datensatz &s)
    {
        if (!s.fehler.isEmpty())
            return QStringLiteral("Fehler: ") + s.fehler;
        QStringList teile;
        for (const Adif::Feld &f : s.felder)
            teile.append(f.name + QLatin1Char('=') + f.wert);
        return teile.join(QLatin1Char('|'));
    }
    static QStringList darstellen(const Adif::Datei &d)
    {
        QStringList aus;
        for (const Adif::Datensatz &s : d.datensaetze)
            aus.append(QStringLiteral("%1@%2 ").arg(s.nummer).arg(s.zeile) + darstellen(s));
        return aus;
    }

private Q_SLOTS:
    void laengen_data()
    {
        QTest::addColumn<QByteArray>("adi");
        QTest::addColumn<QString>("erwartet");
        // "Müller" is 6 characters and 7 bytes in UTF-8.
        QTest::newRow("Bytes") << QByteArray("<NAME:7>M\xC3\xBCller <EOR>") << QStringLiteral("NAME=Müller");
        QTest::newRow("Zeichen") << QByteArray("<NAME:6>M\xC3\xBCller<EOR>") << QStringLiteral("NAME=Müller");
        QTest::newRow("Zeichen, Zeilenende danach")
            << QByteArray("<NAME:6>M\xC3\xBCller\r\n<QTH:3>Ulm<EOR>") << QStringLiteral("NAME=Müller|QTH=Ulm");
        // "ä b" is 3 characters or 4 bytes; with 3 the value could be "ä " (3
        // bytes, then "b" - does not fit) or "ä b" (3 characters): characters.
        QTest::newRow("nur Zeichen passen") << QByteArray("<QTH:3>\xC3\xA4 b<EOR>") << QStringLiteral("QTH=ä b");
        // Both readings fit: "ä" (2 bytes) and "ä " (2 characters, with the
        // blank): bytes win.
        QTest::newRow("beide passen, Bytes gewinnen") << QByteArray("<QTH:2>\xC3\xA4 <EOR>") << QStringLiteral("QTH=ä");
        QTest::newRow("Wert mit spitzen Klammern")
            << QByteArray("<NOTES:7>a <b> c<EOR>") << QStringLiteral("NOTES=a <b> c");
        QTest::newRow("Länge 0") << QByteArray("<CALL:0><QTH:1>x<eor>") << QStringLiteral("CALL=|QTH=x");
        QTest::newRow("Typangabe") << QByteArray("<QSO_DATE:8:d>20060630<EOR>") << QStringLiteral("QSO_DATE=20060630");
        QTest::newRow("Zeilenumbruch im Wert")
            << QByteArray("<NOTES:10>eins\r\nzwei<EOR>") << QStringLiteral("NOTES=eins\r\nzwei");
        QTest::newRow("Emoji, 4 Bytes") << QByteArray("<QTH:5>\xF0\x9F\x93\xBBx<EOR>")
                                        << QStringLiteral("QTH=\U0001F4FBx");
    }
    void laengen()
    {
        QFETCH(QByteArray, adi);
        QFETCH(QString, erwartet);
        const Adif::Datei d = Adi::lesen(adi);
        QCOMPARE(d.datensaetze.size(), 1);
        QCOMPARE(darstellen(d.datensaetze.first()), erwartet);
        QVERIFY(!d.windows1252);
    }

    void fehlerhafteDatensaetze_data()
    {
        QTest::addColumn<QByteArray>("adi");
        QTest::addColumn<QStringList>("erwartet");
        QTest::newRow("Länge zu kurz: nie abgeschnitten")
            << QByteArray("<CALL:2>x1<EOR>\n<NAME:4>Meier<QTH:3>Ulm<EOR>\n<CALL:2>x3<EOR>")
            << QStringList{"1@1 CALL=x1",
                           "2@2 Fehler: Feld NAME: Die Länge 4 passt nicht zum Wert \u201EMeie\u201C; "
                           "danach folgt \u201Er<QTH:3>Ulm<\u201C statt der nächsten Angabe.",
                           "3@3 CALL=x3"};
        QTest::newRow("Länge zu lang")
            << QByteArray("<NAME:9>Meier<QTH:3>Ulm<EOR>\n<CALL:2>x2<EOR>")
            << QStringList{"1@1 Fehler: Feld NAME: Die Länge 9 passt nicht zum Wert \u201EMeier<QTH\u201C; "
                           "danach folgt \u201E:3>Ulm<EOR> \u201C statt der nächsten Angabe.",
                           "2@2 CALL=x2"};
        QTest::newRow("über das Dateiende") << QByteArray("<CALL:2>x1<EOR><NAME:99>Meier")
                                            << QStringList{"1@1 CALL=x1", "2@1 Fehler: Feld NAME: "
                                                                          "Die Länge 99 reicht über das Ende der "
                                                                          "Datei hinaus."};
        QTest::newRow("ohne EOR am Ende") << QByteArray("<CALL:2>x1<EOR>\n<CALL:2>x2\n")
                                          << QStringList{"1@1 CALL=x1", "2@2 Fehler: Der Datensatz endet ohne <EOR>."};
        // A tag without a length carries no value: it is passed over, and
        // the text after it is no data.
        QTest::newRow("Angabe ohne Länge")
            << QByteArray("<CALL>x1<EOR>\n<CALL:2>x2<EOR>") << QStringList{"1@2 CALL=x2"};
        QTest::newRow("keine Zahl") << QByteArray("<CALL:-2>x1<EOR>")
                                    << QStringList{"1@1 Fehler: Das Feld \u201E<CALL:-2>\u201C hat keine gültige "
                                                   "Länge."};
        QTest::newRow("Feld doppelt, verschieden")
            << QByteArray("<CALL:2>x1<CALL:2>x2<EOR><CALL:2>x3 <CALL:2>x3<EOR>")
            << QStringList{"1@1 Fehler: Das Feld CALL steht zweimal im Datensatz, mit verschiedenen Werten.",
                           "2@1 CALL=x3"};
    }
    void fehlerhafteDatensaetze()
    {
        QFETCH(QByteArray, adi);
        QFETCH(QStringList, erwartet);
        QCOMPARE(darstellen(Adi::lesen(adi)), erwartet);
    }

    // An ADI file as another program writes it: a header, <eor> in small
    // letters, fields tremvik does not know, Windows-1252.
    void andereProgramme()
    {
        const QByteArray adi = "Log exportiert von IrgendeinLog 4.2\r\n"
                               "<adif_ver:5>3.1.4 <programid:12>IrgendeinLog <EOH>\r\n"
                               "<call:6>DL1ABC<band:2>2m <qso_date:8>20060630 <time_on:4>1945 <name:6>J\xFCrgen"
                               "<gridsquare:4>JO31<eor>\r\n"
                               "<CALL:5>DB0XY <NAME:5>Bj\xF6rn <QTH:4>K\xF6ln <EOR>\r\n";
        const Adif::Datei d = Adi::lesen(adi);
        QVERIFY(d.windows1252);
        QCOMPARE(d.kopf.size(), 2);
        QCOMPARE(d.kopf.at(1).name, QStringLiteral("PROGRAMID"));
        QCOMPARE(darstellen(d),
                 (QStringList{QStringLiteral("1@3 CALL=DL1ABC|BAND=2m|QSO_DATE=20060630|TIME_ON=1945|NAME=Jürgen|"
                                             "GRIDSQUARE=JO31"),
                              QStringLiteral("2@4 CALL=DB0XY|NAME=Björn|QTH=Köln")}));

        // No header at all, records over several lines, an empty record.
        const Adif::Datei ohne = Adi::lesen("<CALL:6>DL1ABC\n<FREQ:7>145.500\n<EOR>\n<EOR>\n<Call:2>x2<Eor>");
        QCOMPARE(darstellen(ohne), (QStringList{"1@1 CALL=DL1ABC|FREQ=145.500", "2@5 CALL=x2"}));
        QVERIFY(ohne.kopf.isEmpty());
        // A header without free text.
        QCOMPARE(darstellen(Adi::lesen("<ADIF_VER:5>3.1.6<EOH><CALL:2>x1<EOR>")), QStringList{"1@1 CALL=x1"});
        // Text of the header holding a '<'.
        QCOMPARE(darstellen(Adi::lesen("Export <heute>, a<b\n<EOH>\n<CALL:2>x1<EOR>")), QStringList{"1@3 CALL=x1"});
        // Windows-1252's own characters beyond Latin-1.
        QCOMPARE(darstellen(Adi::lesen("<NOTES:8>\x84\x80 5\x96"
                                       "6\x93\x85<EOR>")),
                 QStringList{QStringLiteral("1@1 NOTES=„€ 5–6“…")});
    }

    void schreibenUndLesen()
    {
        Adif::Datei d;
        d.kopf = Adif::kopf(QDateTime(QDate(2024, 5, 1), QTime(12, 0), QTimeZone::utc()));
        Adif::Datensatz s;
        s.setze("CALL", "DL1ABC");
        s.setze("NAME", QStringLiteral("Jürgen"));
        s.setze("NOTES", QStringLiteral("Zeile <1>\r\nZeile 2 <EOR>"));
        s.setze("APP_TREMVIK_KANAL", QStringLiteral("Ü1"), 'I');
        s.setze("APP_TREMVIK_BEMERKUNG", QStringLiteral("{\\rtf1 a\\par\r\n}"), 'M');
        s.setze("QTH", QStringLiteral("a\x01z"));
        d.datensaetze = {s, s};

        const QByteArray adi = Adi::schreiben(d);
        QVERIFY(adi.startsWith("tremvik-tool: Log im ADIF-Format\r\n<ADIF_VER:5>3.1.6\r\n"));
        QVERIFY(adi.contains("<NAME:7>J\xC3\xBCrgen "));
        QVERIFY(adi.contains("<APP_TREMVIK_KANAL:3>\xC3\x9C"
                             "1 "));
        QVERIFY(adi.contains("<CREATED_TIMESTAMP:15>20240501 120000\r\n<EOH>\r\n"));
        const Adif::Datei a = Adi::lesen(adi);
        QCOMPARE(darstellen(a.datensaetze.at(1)), darstellen(s));
        QCOMPARE(a.kopf.size(), 4);

        const QByteArray ascii = Adi::schreiben(d, true);
        for (const char c : ascii)
            QVERIFY(uchar(c) < 0x80);
        QVERIFY(ascii.contains("<NAME:7>Juergen "));

        const QByteArray adx = Adx::schreiben(d);
        QVERIFY(adx.contains("<APP PROGRAMID=\"TREMVIK\" FIELDNAME=\"KANAL\" TYPE=\"I\">\xC3\x9C"
                             "1</APP>"));
        const Adif::Datei x = Adx::lesen(adx);
        QCOMPARE(x.datensaetze.size(), 2);
        Adif::Datensatz ohneSteuerzeichen = s;
        ohneSteuerzeichen.setze("QTH", QStringLiteral("a\uFFFDz"));
        QCOMPARE(darstellen(x.datensaetze.at(0)), darstellen(ohneSteuerzeichen));
        QCOMPARE(x.datensaetze.at(1).nummer, 2);
        QCOMPARE(x.kopf.at(0).wert, QStringLiteral("3.1.6"));
    }

    void adxAndererProgramme()
    {
        const QByteArray adx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER></HEADER>\n"
                               "<RECORDS>\n"
                               "<RECORD><CALL>DL1ABC</CALL><NAME_INTL>J\xC3\xBCrgen</NAME_INTL>"
                               "<APP PROGRAMID=\"LOGX\" FIELDNAME=\"Farbe\" TYPE=\"S\">rot</APP>"
                               "<USERDEF FIELDNAME=\"EPC\">32</USERDEF></RECORD>\n"
                               "<record><call>x2</call></record>\n"
                               "</RECORDS></ADX>";
        QCOMPARE(darstellen(Adx::lesen(adx)),
                 (QStringList{QStringLiteral("1@4 CALL=DL1ABC|NAME_INTL=Jürgen|APP_LOGX_FARBE=rot|USERDEF_EPC=32"),
                              "2@5 CALL=x2"}));

        // Broken XML: the whole file is refused, with the record it broke in.
        try {
            Adx::lesen(
                "<ADX><RECORDS><RECORD><CALL>a</CALL></RECORD>\n<RECORD><CALL>b</NAME></RECORD></RECORDS></ADX>");
            QFAIL("Die kaputte Datei wurde angenommen.");
        } catch (const DatenFehler &f) {
            QVERIFY2(f.was().contains(QStringLiteral("Zeile 2, in Datensatz 2")), qPrintable(f.meldung()));
        }
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Adx::lesen("<CALL:2>x1<EOR>"));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Adx::lesen("<?xml version=\"1.0\"?><HTML/>"));
    }

    // A report as the ARRL's LoTW writes it: a header of free text, a
    // comment after some values, and an end marker without a length.
    void lotwBericht()
    {
        const QByteArray adi = "ARRL Logbook of the World Status Report\n"
                               "Generated at 2021-08-25 10:12:34\n"
                               "for XX1XX\n"
                               "Query:\n"
                               "    QSL ONLY: YES\n"
                               "\n"
                               "<PROGRAMID:4>LoTW\n"
                               "<APP_LoTW_LASTQSL:19>2021-08-25 10:05:38\n"
                               "<APP_LoTW_NUMREC:1>3\n"
                               "\n"
                               "<eoh>\n";
        QByteArray datei = adi;
        for (const char *call : {"DL1ABC", "OE3XYZ", "F5ABC"}) {
            datei += "\n<APP_LoTW_OWNCALL:5>XX1XX\n<CALL:" + QByteArray::number(qstrlen(call)) + ">" + call
                     + "\n<BAND:3>20M\n<FREQ:8>14.07400\n<MODE:3>FT8\n<QSO_DATE:8>20210823\n"
                       "<APP_LoTW_RXQSO:19>2021-08-23 04:13:11 // QSO record inserted/modified at LoTW\n"
                       "<TIME_ON:6>031200\n"
                       "<APP_LoTW_QSO_TIMESTAMP:20>2021-08-23T03:12:00Z // QSO Date & Time; ISO-8601\n"
                       "<QSL_RCVD:1>Y\n<eor>\n";
        }
        datei += "\n<APP_LoTW_EOF>\n";
        const Adif::Datei d = Adi::lesen(datei);
        QCOMPARE(d.datensaetze.size(), 3);
        for (const Adif::Datensatz &s : d.datensaetze)
            QVERIFY2(s.fehler.isEmpty(), qPrintable(s.fehler));
        QCOMPARE(d.datensaetze.at(2).wert("CALL"), std::optional<QString>("F5ABC"));
        QCOMPARE(d.datensaetze.at(0).wert("APP_LOTW_RXQSO"), std::optional<QString>("2021-08-23 04:13:11"));
        QCOMPARE(d.datensaetze.at(1).zeile, 25);
        QCOMPARE(d.kopf.size(), 3);
        QCOMPARE(d.ohneLaenge, (QMap<QString, int>{{"APP_LOTW_EOF", 1}}));
    }

    // Text after a value is no data, as long as it does not say that the
    // length was wrong: a reading that ends in the middle of a letter, runs
    // on into the value or swallows a tag.
    void textNachDemWert_data()
    {
        QTest::addColumn<QByteArray>("adi");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("Kommentar") << QByteArray("<CALL:5>DL1AB // gehört\n<EOR>") << "CALL=DL1AB";
        // "Müller" is 6 characters, 7 bytes: each reading is followed by a blank.
        QTest::newRow("Bytes, Kommentar") << QByteArray("<NAME:7>M\xC3\xBCller // x<EOR>") << "NAME=Müller";
        QTest::newRow("Zeichen, Kommentar") << QByteArray("<NAME:6>M\xC3\xBCller // x<EOR>") << "NAME=Müller";
        QTest::newRow("mitten im Buchstaben")
            << QByteArray("<NAME:3>\xC3\xBC\xC3\xBC x y<EOR>")
            << QStringLiteral("Fehler: Feld NAME: Die Länge 3 passt nicht zum Wert „üü “; danach folgt „x y<EOR>“ "
                              "statt der nächsten Angabe.");
        QTest::newRow("schluckt eine Angabe")
            << QByteArray("<NAME:14>Meier <QTH:3>U lm<EOR>")
            << QStringLiteral("Fehler: Feld NAME: Die Länge 14 passt nicht zum Wert „Meier <QTH:3>U“; danach folgt "
                              "„ lm<EOR>“ statt der nächsten Angabe.");
        QTest::newRow("schluckt das Ende")
            << QByteArray("<NAME:10>Meier<EOR> x<CALL:2>x1<EOR>")
            << QStringLiteral("Fehler: Feld NAME: Die Länge 10 passt nicht zum Wert „Meier<EOR>“; danach folgt "
                              "„ x<CALL:2>x1“ statt der nächsten Angabe.");
    }
    void textNachDemWert()
    {
        QFETCH(QByteArray, adi);
        QFETCH(QString, erwartet);
        const Adif::Datei d = Adi::lesen(adi);
        QVERIFY(!d.datensaetze.isEmpty());
        QCOMPARE(darstellen(d.datensaetze.first()), erwartet);
    }

    // UTF-16 as Windows programs write it, with and without its byte order mark.
    void utf16()
    {
        const QString text = QStringLiteral("<CALL:6>DL1ABC <NAME:6>Jürgen <EOR>\r\n");
        const QByteArray le =
            QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QByteArray be = "\xFE\xFF";
        for (const QChar c : text)
            be += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
        for (const QByteArray &datei : {le, be, le.mid(2)}) {
            const Adif::Datei d = Adi::lesen(datei);
            QCOMPARE(darstellen(d), QStringList{QStringLiteral("1@1 CALL=DL1ABC|NAME=Jürgen")});
        }
    }

    // Reading takes time in proportion to the file: a record of 40,000
    // fields, each name once or every name the same, and as ADX.
    void vieleFelderInLinearerZeit()
    {
        QByteArray verschieden, gleich, adx = "<ADX><RECORDS><RECORD>";
        for (int k = 0; k < 40000; ++k) {
            verschieden += "<F" + QByteArray::number(k) + ":1>x";
            gleich += "<CALL:2>x1 ";
            adx += "<F" + QByteArray::number(k) + ">x</F" + QByteArray::number(k) + ">";
        }
        verschieden += "<EOR>";
        gleich += "<EOR>";
        adx += "</RECORD></RECORDS></ADX>";
        QElapsedTimer uhr;
        uhr.start();
        const Adif::Datei a = Adi::lesen(verschieden);
        const Adif::Datei b = Adi::lesen(gleich);
        const Adif::Datei c = Adx::lesen(adx);
        // A reader that looks back over the record's fields for each new one
        // takes half a minute.
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(a.datensaetze.first().felder.size(), 40000);
        QCOMPARE(b.datensaetze.first().felder.size(), 1);
        QCOMPARE(c.datensaetze.first().felder.size(), 40000);
    }

    // What a refusal quotes of a value stays short, however long the value.
    void meldungenBleibenKurz()
    {
        const QByteArray riesig(1024 * 1024, 'x');
        const QStringList fehler = {
            Adi::lesen("<NOTES:10>" + riesig + "<EOR>").datensaetze.first().fehler,
            Adi::lesen("<NOTES:" + QByteArray::number(riesig.size() - 1) + ">" + riesig + "<EOR>")
                .datensaetze.first()
                .fehler,
            Adi::lesen("<" + riesig + ":1>x<EOR>").datensaetze.first().fehler,
            Adi::lesen("<CALL:" + riesig.left(30) + "00>x<EOR>").datensaetze.first().fehler,
            Testhilfe::fehlerVon(
                [&] { Adx::lesen("<ADX><RECORDS><RECORD><" + riesig + ">x</y></RECORD></RECORDS></ADX>"); }),
        };
        for (const QString &f : fehler)
            QVERIFY2(!f.isEmpty() && f.size() < 1024, qPrintable(f.left(200)));
        QVERIFY2(fehler.at(1).contains(QStringLiteral("Wert „%1…“").arg(QString(40, 'x'))), qPrintable(fehler.at(1)));
        QVERIFY2(fehler.at(0).contains(QStringLiteral("„xxxxxxxxxx“; danach folgt „xxxxxxxxxxxx“")),
                 qPrintable(fehler.at(0)));
        // A value longer than any the log holds is refused without reading it whole.
        QVERIFY(Adi::lesen("<NOTES:99999999999>x<EOR>").datensaetze.first().fehler.contains(QStringLiteral("länger")));
    }

    // ADX: an entity the reader cannot resolve is named, not quietly
    // dropped; no file outside is read for it; text that is not in the
    // file's encoding is told as such, with its line.
    void adxEntitaetenUndKodierung()
    {
        // Declared in the file: read. Not declared (with or without a DTD):
        // left out, and said so in the record.
        for (const QByteArray &dtd : {QByteArray(), QByteArray("<!DOCTYPE ADX SYSTEM \"adx.dtd\">\n"),
                                      QByteArray("<!DOCTYPE ADX [<!ENTITY gruss \"73\">]>\n")}) {
            const Adif::Datei d = Adx::lesen(dtd
                                             + "<ADX><RECORDS><RECORD><CALL>&x;</CALL><NAME>K&amp;ln &#246; &y;"
                                               "</NAME></RECORD></RECORDS></ADX>");
            const Adif::Datensatz &s = d.datensaetze.first();
            QCOMPARE(darstellen(s), QStringLiteral("CALL=|NAME=K&ln ö "));
            QCOMPARE(s.hinweise,
                     (QStringList{QStringLiteral("Feld CALL: Die Entität „&x;“ ist nicht bekannt oder "
                                                 "verweist auf eine andere Datei; sie wurde ausgelassen, "
                                                 "das Feld blieb leer."),
                                  QStringLiteral("Feld NAME: Die Entität „&y;“ ist nicht bekannt oder "
                                                 "verweist auf eine andere Datei; sie wurde ausgelassen.")}));
        }
        QCOMPARE(darstellen(Adx::lesen("<!DOCTYPE ADX [<!ENTITY gruss \"73\">]><ADX><RECORDS><RECORD>"
                                       "<NAME>&gruss; de Max</NAME></RECORD></RECORDS></ADX>")),
                 QStringList{"1@1 NAME=73 de Max"});
        // An entity that points at another file: nothing of it is read, and
        // the file is refused, for nobody could tell which values lack it.
        const QString aussen = Testhilfe::fehlerVon([] {
            Adx::lesen("<?xml version=\"1.0\"?>\n<!DOCTYPE ADX [<!ENTITY aussen SYSTEM \"file:///etc/hostname\">]>\n"
                       "<ADX><RECORDS><RECORD><CALL>&aussen;</CALL></RECORD></RECORDS></ADX>");
        });
        QVERIFY2(aussen.contains(QStringLiteral("&aussen; (file:///etc/hostname)")), qPrintable(aussen));

        const QString kodierung = Testhilfe::fehlerVon([] {
            Adx::lesen("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><RECORDS>\n<RECORD><CALL>DL1ABC</CALL>"
                       "</RECORD>\n<RECORD><NAME>J\xFCrgen</NAME></RECORD></RECORDS></ADX>");
        });
        QVERIFY2(kodierung.contains(QStringLiteral("In Zeile 4 steht ein Byte, das in UTF-8 nicht vorkommt")),
                 qPrintable(kodierung));
        QVERIFY(!kodierung.contains(QStringLiteral("keine ADX-Datei")));
    }
};

TREMVIK_KERN_TEST_MAIN(TestAdif)
#include "tst_adif.moc"
