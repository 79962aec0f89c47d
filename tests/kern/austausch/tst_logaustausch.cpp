// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/adifzuordnung.h"
#include "kern/austausch/austauschhilfe.h"
#include "kern/austausch/logaustausch.h"
#include "kern/austausch/logcsv.h"
#include "kern/bestaende/logsuche.h"

using namespace Austauschhilfe;
using Format = Logaustausch::Format;

// The log out to ADIF and CSV and back in: nothing lost on the way through
// tremvik, files of other programs read as they are, and an import that
// never replaces, never duplicates and never takes half a broken file.
class TestLogaustausch : public QObject
{
    Q_OBJECT

    static AdifZuordnung::Zeitbezug berlin(bool ortszeit = true) { return {ortszeit, QTimeZone("Europe/Berlin")}; }
    static Logaustausch::Optionen optionen(Format format, bool ortszeit = true)
    {
        Logaustausch::Optionen o;
        o.format = format;
        o.zeit = berlin(ortszeit);
        o.erstellt = QDateTime(QDate(2024, 5, 1), QTime(12, 0), QTimeZone::utc());
        return o;
    }
    static QString endung(Format f)
    {
        return f == Format::Adx ? "adx" : (f == Format::CsvDeutsch || f == Format::CsvRfc) ? "csv" : "adi";
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(QTimeZone("Europe/Berlin").isValid()); }

    void rundreise_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("ortszeit");
        QTest::newRow("ADI, Ortszeit") << int(Format::Adi) << true;
        QTest::newRow("ADI, UTC") << int(Format::Adi) << false;
        QTest::newRow("ADI nur ASCII") << int(Format::AdiAscii) << true;
        QTest::newRow("ADX") << int(Format::Adx) << true;
        QTest::newRow("CSV deutsch") << int(Format::CsvDeutsch) << true;
        QTest::newRow("CSV RFC 4180") << int(Format::CsvRfc) << true;
    }
    // Exported and imported into an empty copy, the log comes back equal
    // in every column, the remark's RTF included.
    void rundreise()
    {
        QFETCH(int, format);
        QFETCH(bool, ortszeit);
        Testhilfe::Programmordner quelle, ziel;
        einfuegen(quelle.logDatei(), beispiele());
        const QString datei = quelle.pfad() + "/log." + endung(Format(format));
        const auto o = optionen(Format(format), ortszeit);
        const auto exportiert = Logaustausch::exportieren(quelle.logDatei(), Logsuche::alle().text(), datei, o);
        QCOMPARE(exportiert.eintraege, 5);

        const auto ein = Logaustausch::importieren(ziel.logDatei(), datei, o.zeit, false);
        const Logdaten::Bericht &b = ein.bericht;
        QCOMPARE(b.abgelehnt, 0);
        QCOMPARE(b.geaendert, 0);
        QVERIFY2(ein.uebergangen.isEmpty(), qPrintable(ein.uebergangen.keys().join(',')));
        QVERIFY(b.geschrieben);
        QCOMPARE(b.anzahl(Logdaten::Ergebnis::Art::Aufgenommen), 5);
        // In the order of the export: by frequency, as text.
        QCOMPARE(logInhalt(ziel.logDatei()), alsText(Logdaten::lesen(quelle.logDatei(), Logsuche::alle().text())));
    }

    void goldeneDateien()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), beispiele());
        const QList<Logeintrag> alle = Logdaten::lesen(ordner.logDatei(), "select * from Kontakt order by id");
        QVERIFY(golden("log.adi", Logaustausch::daten(alle, optionen(Format::Adi))));
        QVERIFY(golden("log-ascii.adi", Logaustausch::daten(alle, optionen(Format::AdiAscii))));
        QVERIFY(golden("log.adx", Logaustausch::daten(alle, optionen(Format::Adx))));
        QVERIFY(golden("log-de.csv", Logaustausch::daten(alle, optionen(Format::CsvDeutsch))));
        QVERIFY(golden("log-rfc.csv", Logaustausch::daten(alle, optionen(Format::CsvRfc))));
    }

    // Every length in an ADI file counts the bytes of its UTF-8 value, so
    // each value ends right before the blank that parts the fields.
    void umlauteMitRichtigerLaenge()
    {
        const QByteArray adi = Logaustausch::daten(beispiele(), optionen(Format::Adi));
        // Walks the file tag by tag, skipping each value by its length.
        static const QRegularExpression tag("\\G<([A-Z_]+)(?::(\\d+))?>");
        const QString latin1 = QString::fromLatin1(adi);   // one character per byte
        qsizetype pos = adi.indexOf("<ADIF_VER");
        int felder = 0;
        while ((pos = adi.indexOf('<', pos)) >= 0) {
            const auto m = tag.match(latin1, pos);
            QVERIFY2(m.hasMatch(), adi.mid(pos, 20).constData());
            pos = m.capturedEnd();
            if (m.captured(2).isEmpty())
                continue;   // EOH, EOR
            pos += m.captured(2).toInt();
            const QByteArray danach = adi.mid(pos, 2);
            QVERIFY2(danach == "\r\n" || danach.startsWith(' '), qPrintable(m.captured(0)));
            ++felder;
        }
        QVERIFY(felder > 40);
        QVERIFY(adi.contains("<NAME:7>J\xC3\xBCrgen "));
        QVERIFY(adi.contains("<QTH:13>Gro\xC3\x9F Gr\xC3\xB6nau "));
        QVERIFY(adi.contains("<APP_TREMVIK_SKIP:21>M\xC3\xBCller-L\xC3\xBC"
                             "denscheidt "));
        QVERIFY(adi.contains("<APP_TREMVIK_KANAL:3>\xC3\x9C"
                             "7 "));
        // Read back, the fields hold the exact text.
        const Adif::Datei d = Adi::lesen(adi);
        QCOMPARE(d.datensaetze.first().wert("COUNTRY"), std::optional<QString>(gr("Österreich")));
    }

    // What goes into which ADIF field, and what only into tremvik's own.
    void zuordnung()
    {
        // (The fields of each record as a whole are in the golden files.)
        const QList<Logeintrag> b = beispiele();
        // Without a date there is neither QSO_DATE nor TIME_ON; the texts
        // that are no frequency and no ADIF report stay tremvik's.
        const auto ohne = AdifZuordnung::ausEintrag(b.at(2), AdifZuordnung::Form::Adi, berlin());
        QVERIFY(!ohne.mitDatumUndZeit);
        QVERIFY(!ohne.satz.wert("TIME_ON") && !ohne.satz.wert("FREQ"));
        QCOMPARE(ohne.satz.wert("MODE"), std::optional<QString>("DIGITALVOICE"));
        QCOMPARE(ohne.satz.wert("SUBMODE"), std::optional<QString>("DMR"));
        QCOMPARE(ohne.satz.wert("APP_TREMVIK_UHRZEIT"), std::optional<QString>("12:00"));
        QCOMPARE(ohne.satz.wert("APP_TREMVIK_FREQUENZ"), std::optional<QString>("unbekannt"));
        QCOMPARE(ohne.satz.wert("APP_TREMVIK_SWERT"), std::optional<QString>("S9"));
        // 02:30 on the day the clocks go forward does not exist in Berlin:
        // it is taken as winter time, and the log's own text kept beside.
        const auto luecke = AdifZuordnung::ausEintrag(b.at(3), AdifZuordnung::Form::Adi, berlin());
        QVERIFY(luecke.mitDatumUndZeit);
        QCOMPARE(luecke.satz.wert("TIME_ON"), std::optional<QString>("0130"));
        QCOMPARE(luecke.satz.wert("APP_TREMVIK_UHRZEIT"), std::optional<QString>("02:30"));
        QCOMPARE(luecke.satz.wert("SUBMODE"), std::optional<QString>("USB"));
        QCOMPARE(luecke.satz.wert("APP_TREMVIK_MODULATION"), std::optional<QString>("usb"));
        // Midnight in winter: the UTC date is the day before.
        const auto winter = AdifZuordnung::ausEintrag(b.at(4), AdifZuordnung::Form::Adi, berlin());
        QCOMPARE(winter.satz.wert("QSO_DATE"), std::optional<QString>("20231231"));
        QCOMPARE(winter.satz.wert("TIME_ON"), std::optional<QString>("2330"));
        QCOMPARE(winter.satz.wert("APP_TREMVIK_DATUM"), std::optional<QString>("1.1.2024"));
        QCOMPARE(winter.satz.wert("FREQ"), std::optional<QString>("7.100"));
        // Times already in UTC are taken as they are.
        const auto utc = AdifZuordnung::ausEintrag(b.at(4), AdifZuordnung::Form::Adi, berlin(false));
        QCOMPARE(utc.satz.wert("QSO_DATE"), std::optional<QString>("20240101"));
        QCOMPARE(utc.satz.wert("TIME_ON"), std::optional<QString>("0030"));
        // ASCII only: the exact texts percent-encoded, and nothing else beyond ASCII.
        const auto ascii = AdifZuordnung::ausEintrag(b.at(0), AdifZuordnung::Form::AdiAscii, berlin());
        QCOMPARE(ascii.satz.wert("APP_TREMVIK_VORNAME_PROZENT"), std::optional<QString>("J%C3%BCrgen"));
        QVERIFY(!ascii.satz.wert("NAME_INTL"));
    }

    void modusUndRapport_data()
    {
        QTest::addColumn<QString>("modulation");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("submode");
        QTest::newRow("FM") << "FM"
                            << "FM"
                            << "";
        QTest::newRow("NFM") << "nfm"
                             << "FM"
                             << "";
        QTest::newRow("WFM") << "WFM"
                             << "FM"
                             << "";
        QTest::newRow("AM") << " AM "
                            << "AM"
                            << "";
        QTest::newRow("USB") << "USB"
                             << "SSB"
                             << "USB";
        QTest::newRow("DMR") << "DMR"
                             << "DIGITALVOICE"
                             << "DMR";
        QTest::newRow("D-STAR") << "D-Star"
                                << "DIGITALVOICE"
                                << "DSTAR";
        QTest::newRow("TETRA") << "TETRA"
                               << "DIGITALVOICE"
                               << "";
        QTest::newRow("POCSAG") << "POCSAG"
                                << "PKT"
                                << "";
        QTest::newRow("FT4") << "FT4"
                             << "MFSK"
                             << "FT4";
        QTest::newRow("unbekannt") << "Kauderwelsch"
                                   << ""
                                   << "";
    }
    void modusUndRapport()
    {
        QFETCH(QString, modulation);
        QFETCH(QString, mode);
        QFETCH(QString, submode);
        const AdifZuordnung::Modus m = AdifZuordnung::modus(modulation);
        QCOMPARE(m.mode, mode);
        QCOMPARE(m.submode, submode);
    }

    // Records as other programs write them.
    void fremdeFelder_data()
    {
        QTest::addColumn<QByteArray>("adi");
        QTest::addColumn<QString>("eintrag");
        QTest::addColumn<QString>("fehler");
        QTest::newRow("vollständig") << QByteArray(
            "<CALL:6>DL1ABC<QSO_DATE:8>20060630<TIME_ON:6>194530<FREQ:6>14.074<MODE:3>FT8"
            "<RST_SENT:3>-10<RST_RCVD:3>-05<NAME:4>Hans<EOR>")
                                     << gr("DL1ABC|∅|Hans|∅|-10|∅|30.06.2006|21:45:30|∅|14,074|FT8|∅|∅") << "";
        QTest::newRow("RST mit Ton") << QByteArray("<CALL:4>G4AB<RST_SENT:3>599<EOR>")
                                     << gr("G4AB|∅|∅|∅|599|∅|∅|∅|∅|∅|∅|∅|∅") << "";
        QTest::newRow("RST 59+20") << QByteArray("<CALL:4>G4AB<RST_SENT:5>59+20<EOR>")
                                   << gr("G4AB|∅|∅|∅|9+20|5|∅|∅|∅|∅|∅|∅|∅") << "";
        QTest::newRow("Frequenz mit Komma, Submode")
            << QByteArray("<CALL:4>G4AB<FREQ:7>7,09500<MODE:3>SSB<SUBMODE:3>LSB<EOR>")
            << gr("G4AB|∅|∅|∅|∅|∅|∅|∅|∅|7,095|LSB|∅|∅") << "";
        QTest::newRow("nur Datum, ohne Umrechnung")
            << QByteArray("<CALL:4>G4AB<QSO_DATE:8>20240101<EOR>") << gr("G4AB|∅|∅|∅|∅|∅|01.01.2024|∅|∅|∅|∅|∅|∅") << "";
        QTest::newRow("feiner als ein Hertz") << QByteArray("<CALL:4>G4AB<FREQ:10>14.0740001<EOR>") << ""
                                              << gr("FREQ: „14.0740001“ ist keine Frequenz: Die Frequenz ist "
                                                    "feiner als ein Hertz angegeben.");
        QTest::newRow("zu groß") << QByteArray("<CALL:4>G4AB<FREQ:7>1000000<EOR>") << ""
                                 << gr("FREQ: „1000000“ ist keine Frequenz: Die Frequenz ist zu groß.");
        QTest::newRow("Datum falsch") << QByteArray("<CALL:4>G4AB<QSO_DATE:8>20240231<EOR>") << ""
                                      << gr("QSO_DATE „20240231“ ist kein Datum (JJJJMMTT).");
        QTest::newRow("Zeit falsch") << QByteArray("<CALL:4>G4AB<TIME_ON:3>945<EOR>") << ""
                                     << gr("TIME_ON „945“ ist keine Uhrzeit (HHMM oder HHMMSS).");
        QTest::newRow("nichts fürs Log") << QByteArray("<BAND:2>2m<GRIDSQUARE:4>JO31<EOR>") << ""
                                         << gr("Der Datensatz enthält keines der Felder, die das Log aufnimmt.");
    }
    void fremdeFelder()
    {
        QFETCH(QByteArray, adi);
        QFETCH(QString, eintrag);
        QFETCH(QString, fehler);
        const Adif::Datei d = Adi::lesen(adi);
        QCOMPARE(d.datensaetze.size(), 1);
        const AdifZuordnung::Eingabe e = AdifZuordnung::inEintrag(d.datensaetze.first(), berlin());
        QCOMPARE(e.fehler, fehler);
        if (fehler.isEmpty())
            QCOMPARE(e.eintrag.alsText(), eintrag);
    }

    // tremvik-log import's must: a file of another program adds every valid
    // record and names each refused one; the notes become the remark.
    void importAndererProgramme()
    {
        Testhilfe::Programmordner ordner;
        const QByteArray adi = "ADIF Export von AnderesLog\r\n<ADIF_VER:5>3.1.0 <EOH>\r\n"
                               "<call:6>DL1ABC<qso_date:8>20060630<time_on:4>1945<freq:7>145.500<mode:2>FM"
                               "<band:2>2m<name:6>J\xFCrgen<notes:11>Sch\xF6n\r\nklar<comment:3>QSB<eor>\r\n"
                               "<CALL:5>DB0XY<NAME:5>Bj\xF6rn<QTH:7>K\xF6ln<EOR>\r\n"
                               "<CALL:4>G4AB<BAND:3>20m<EOR>\r\n";
        Testhilfe::schreibe(ordner.pfad() + "/fremd.adi", adi);
        // Without the rest nothing is written ...
        const QByteArray vorher = Testhilfe::lies(ordner.logDatei());
        const auto nichts = Logaustausch::importieren(ordner.logDatei(), ordner.pfad() + "/fremd.adi", berlin(), false);
        QCOMPARE(nichts.kodierung, Textquelle::Kodierung::Windows1252);
        QCOMPARE(nichts.bericht.abgelehnt, 1);
        const QStringList abgelehnt = Logaustausch::abgelehnte(nichts);
        QCOMPARE(abgelehnt.size(), 1);
        QVERIFY2(abgelehnt.first().startsWith(gr("Datensatz 2 (Zeile 5): Feld QTH: Die Länge 7 passt nicht zum Wert "
                                                 "„Köln<EO“")),
                 qPrintable(abgelehnt.first()));
        QVERIFY(!nichts.bericht.geschrieben);
        QCOMPARE(Testhilfe::lies(ordner.logDatei()), vorher);
        QVERIFY(Logaustausch::zusammenfassung(nichts).contains(gr("wurde nichts ins Log aufgenommen")));
        // ... with it the valid records are.
        const auto ein = Logaustausch::importieren(ordner.logDatei(), ordner.pfad() + "/fremd.adi", berlin(), true);
        const Logdaten::Bericht &bericht = ein.bericht;
        QVERIFY(bericht.geschrieben);
        const QStringList log = logInhalt(ordner.logDatei());
        QCOMPARE(log.size(), 2);
        QVERIFY2(log.at(0).startsWith(gr("DL1ABC|∅|Jürgen|∅|∅|∅|30.06.2006|21:45|∅|145,500|FM|∅|{\\rtf")),
                 qPrintable(log.at(0)));
        const QList<Logeintrag> e = Logdaten::lesen(ordner.logDatei(), "select * from Kontakt order by id");
        QCOMPARE(Logdaten::bemerkungAlsText(*e.at(0)[Logeintrag::bemerkung]), gr("Schön\nklar\nQSB"));
        QCOMPARE(log.at(1), gr("G4AB|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅"));
        const QString text = Logaustausch::zusammenfassung(ein);
        QVERIFY2(text.contains(gr("2 Datensätze ins Log aufgenommen, 0 schon vorhanden, 1 abgelehnt.")),
                 qPrintable(text));
        QVERIFY(text.contains(gr("Datensatz 2 (Zeile 5): Feld QTH")));
        QVERIFY(text.contains(gr("nicht übernommen: BAND (2×)")));
        QVERIFY(text.contains("Windows-1252"));
    }

    void duplikate()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), {eintrag({"DL1ABC", nullptr, nullptr, nullptr, nullptr, nullptr, "1.7.2006",
                                               "8:05", nullptr, "145,5", nullptr, nullptr, nullptr})});
        const QByteArray adi =
            "<CALL:6>dl1abc<QSO_DATE:8>20060701<TIME_ON:4>0805<FREQ:3>145<EOR>\n"        // other freq
            "<CALL:6>dl1abc <QSO_DATE:8>20060701<TIME_ON:4>0805<FREQ:7>145.500<EOR>\n"   // in the log
            "<CALL:6>DL1ABC<QSO_DATE:8>20060701<TIME_ON:4>0805<FREQ:3>145<EOR>\n";       // = 1
        const auto b =
            Logaustausch::importieren(ordner.logDatei(), adi, Format::Adi, berlin(false), false, "d.adi").bericht;
        using Art = Logdaten::Ergebnis::Art;
        QCOMPARE(b.aufgenommen, 1);
        const QList<Logdaten::Ergebnis> vorhanden = b.genannte(Art::Vorhanden);
        QCOMPARE(vorhanden.size(), 2);
        QCOMPARE(vorhanden.at(0).nummer, 2);
        QCOMPARE(vorhanden.at(0).grund, "steht schon im Log");
        QCOMPARE(vorhanden.at(1).nummer, 3);
        QCOMPARE(vorhanden.at(1).grund, "gleicht Datensatz 1 der Datei");
        QCOMPARE(logInhalt(ordner.logDatei()).size(), 2);
        // The same file again adds nothing.
        const auto nochmal =
            Logaustausch::importieren(ordner.logDatei(), adi, Format::Adi, berlin(false), false).bericht;
        QCOMPARE(nochmal.anzahl(Art::Vorhanden), 3);
        QCOMPARE(logInhalt(ordner.logDatei()).size(), 2);
    }

    void deutscheTabellenkalkulation()
    {
        // Our own file, read back.
        const QByteArray de = Logaustausch::daten(beispiele(), optionen(Format::CsvDeutsch));
        QVERIFY(de.startsWith("\xEF\xBB\xBF"
                              "CallSign;Skip;Vorname;Land;S-Wert;R-Wert;Datum;Uhrzeit;Kanal;Frequenz;"
                              "Modulation;QTH;Bemerkung;Bemerkung (RTF)\r\n"));
        QVERIFY(de.contains(";169,40625;"));
        const LogCsv::Gelesen g = LogCsv::lesen(de);
        QList<Logeintrag> gelesen;
        for (const auto &s : g.saetze)
            gelesen.append(s.eintrag);
        QCOMPARE(alsText(gelesen), alsText(beispiele()));
        QVERIFY(Logaustausch::daten(beispiele(), optionen(Format::CsvRfc)).contains(",169.40625,"));

        // As a spreadsheet saves it after editing: Windows-1252, other column
        // order, no RTF, an unknown column, rows of nothing but separators.
        const QByteArray hand = "Datum;QTH;callsign;Frequenz;Bemerkung;Farbe\r\n"
                                "30.06.2006;K\xF6ln;DL1ABC;145,500;\"zwei\r\nZeilen\";rot\r\n"
                                ";;;;;\r\n"
                                "01.07.2006;;DB0XY;439,1;;\r\n";
        const LogCsv::Gelesen h = LogCsv::lesen(hand);
        QVERIFY(h.windows1252);
        QCOMPARE(h.uebergangen, QStringList{"Farbe"});
        QCOMPARE(h.saetze.size(), 2);
        QCOMPARE(h.saetze.at(1).nummer, 3);
        QCOMPARE(h.saetze.at(1).zeile, 5);
        Logeintrag koeln = h.saetze.at(0).eintrag;
        QCOMPARE(Logdaten::bemerkungAlsText(*koeln[Logeintrag::bemerkung]), "zwei\nZeilen");
        koeln[Logeintrag::bemerkung].reset();
        QCOMPARE(koeln.alsText(), gr("DL1ABC|∅|∅|∅|∅|∅|30.06.2006|∅|∅|145,500|∅|Köln|∅"));
        QVERIFY_THROWS_EXCEPTION(Csv::Fehler, LogCsv::lesen("Farbe;Form\r\nrot;rund\r\n"));
    }

    // The remark's RTF holds line breaks; ADIF's multi-line strings break
    // lines with CR LF, and the remark comes back exactly.
    void mehrzeiligeAnwendungsfelder()
    {
        Logeintrag e = beispiele().at(1);
        e[Logeintrag::bemerkung] = Logdaten::bemerkungAusText(gr("Erste Zeile\nzweite Zeile\ndritte Zeile"));
        QVERIFY(e[Logeintrag::bemerkung]->contains('\n'));
        for (const Format format : {Format::Adi, Format::Adx}) {
            const QByteArray datei = Logaustausch::daten({e}, optionen(format));
            const qsizetype anfang =
                datei.indexOf(format == Format::Adx ? "FIELDNAME=\"BEMERKUNG\"" : "APP_TREMVIK_BEMERKUNG");
            QVERIFY(anfang > 0);
            const QByteArray feld =
                datei.mid(anfang, datei.indexOf(format == Format::Adx ? "</APP>" : "<EOR>", anfang) - anfang);
            const QByteArray umbruch = format == Format::Adx ? "&#13;\n" : "\r\n";
            QVERIFY2(feld.count('\n') >= 3 && feld.count('\n') == feld.count(umbruch), feld.constData());
            Testhilfe::Programmordner ziel;
            QCOMPARE(Logaustausch::importieren(ziel.logDatei(), datei, format, berlin(), false).bericht.aufgenommen, 1);
            QCOMPARE(logInhalt(ziel.logDatei()), QStringList{e.alsText()});
        }
    }

    // Records other logbooks refuse are counted before the file goes on:
    // without date or time, and without a modulation ADIF knows.
    void ohneModulation()
    {
        QList<Logeintrag> e = beispiele();
        e[1][Logeintrag::band].reset();
        e[3][Logeintrag::band] = QStringLiteral("Kauderwelsch");
        Logaustausch::Exportbericht b;
        const QByteArray adi = Logaustausch::daten(e, optionen(Format::Adi), &b);
        QCOMPARE(b.ohneModulation, 2);
        QCOMPARE(Adi::lesen(adi).datensaetze.at(1).wert("MODE"), std::nullopt);
        b.datei = "x.adi";
        QVERIFY2(Logaustausch::zusammenfassung(b).endsWith(
                     gr("1 Eintrag ist ohne Datum oder Uhrzeit; andere Logbücher nehmen ihn nicht als gültige "
                        "Verbindung an.\n\n2 Einträge sind ohne Modulation (oder mit einer, die ADIF nicht kennt); "
                        "andere Logbücher nehmen sie nicht als gültige Verbindung an.")),
                 qPrintable(Logaustausch::zusammenfassung(b)));
        Logaustausch::daten(e, optionen(Format::CsvDeutsch), &b);
        QCOMPARE(b.ohneModulation, 0);
    }

    // After a search only the records found are exported.
    void nurDieGefundenen()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), beispiele());
        const QString datei = ordner.pfad() + "/suche.csv";
        // Case is folded beyond ASCII, as the log window's search does it.
        const auto b =
            Logaustausch::exportieren(ordner.logDatei(), Logsuche::suche(Logsuche::Spalte::Qth, gr("GRÖNAU")).text(),
                                      datei, optionen(Format::CsvRfc));
        QCOMPARE(b.eintraege, 1);
        QVERIFY(Testhilfe::lies(datei).contains("Florian L\xC3\xBC"
                                                "beck 83/1"));
    }

    // A cancel leaves everything as it was: the file before the export, the
    // log before the import.
    void abbrechen()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), beispiele());
        const QString datei = ordner.pfad() + "/log.adi";
        Testhilfe::schreibe(datei, "alt");
        auto nein = [](qint64, qint64) { return false; };
        QVERIFY_THROWS_EXCEPTION(Abgebrochen, Logaustausch::exportieren(ordner.logDatei(), Logsuche::alle().text(),
                                                                        datei, optionen(Format::Adi), nein));
        QCOMPARE(Testhilfe::lies(datei), QByteArray("alt"));
        QCOMPARE(QDir(ordner.pfad()).entryList(QDir::Files).size(), 3);

        Testhilfe::Programmordner leer;
        const QByteArray adi = Logaustausch::daten(beispiele(), optionen(Format::Adi));
        const QByteArray vorher = Testhilfe::lies(leer.logDatei());
        int schritte = 0;
        auto spaet = [&](qint64, qint64) { return ++schritte < 4; };
        QVERIFY_THROWS_EXCEPTION(Abgebrochen, Logaustausch::importieren(leer.logDatei(), adi, Format::Adi, berlin(),
                                                                        false, QString(), spaet));
        QCOMPARE(logInhalt(leer.logDatei()), QStringList());
        QCOMPARE(Testhilfe::lies(leer.logDatei()), vorher);
    }

    void zusammenfassungDesExports()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), beispiele());
        const auto b = Logaustausch::exportieren(ordner.logDatei(), Logsuche::alle().text(), ordner.pfad() + "/x.adi",
                                                 optionen(Format::Adi));
        QCOMPARE(b.ohneDatumOderZeit, 1);
        QCOMPARE(Logaustausch::zusammenfassung(b),
                 gr("5 Einträge nach „%1“ geschrieben (ADIF (ADI); Ortszeit in UTC umgerechnet).\n\n"
                    "1 Eintrag ist ohne Datum oder Uhrzeit; andere Logbücher nehmen ihn nicht als gültige "
                    "Verbindung an.")
                     .arg(ordner.pfad() + "/x.adi"));
        QVERIFY_THROWS_EXCEPTION(
            DatenFehler, Logaustausch::importieren(ordner.logDatei(), ordner.pfad() + "/fehlt.adi", berlin(), false));
        QVERIFY_THROWS_EXCEPTION(
            DatenFehler, Logaustausch::importieren(ordner.logDatei(), ordner.pfad() + "/x.txt", berlin(), false));
        // A file that is no log is refused before anything is written.
        QVERIFY_THROWS_EXCEPTION(DatenFehler, Logaustausch::importieren(ordner.frequenzDatei(), "<CALL:2>x1<EOR>",
                                                                        Format::Adi, berlin(), false));
    }
};

TREMVIK_KERN_TEST_MAIN(TestLogaustausch)
#include "tst_logaustausch.moc"
