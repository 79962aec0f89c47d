// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/austausch/austauschhilfe.h"
#include "kern/austausch/logaustausch.h"
#include "kern/bestaende/logsuche.h"
#include "kern/formate/csv.h"

#include <QElapsedTimer>
#include <QProcess>
#include <sys/stat.h>
#include <sys/statvfs.h>

using namespace Austauschhilfe;
using Format = Logaustausch::Format;
using Art = Logdaten::Ergebnis::Art;

// Files as other programs and spreadsheets write them, and files no
// program should write, through the import: what comes in, what is told,
// and that a refusal leaves the log as it was.
class TestLogimport : public QObject
{
    Q_OBJECT

    static AdifZuordnung::Zeitbezug utc() { return {false, QTimeZone::utc()}; }

    static Logaustausch::Importergebnis importieren(const QString &log, const QByteArray &daten, Format format,
                                                    bool rest = false)
    {
        return Logaustausch::importieren(log, daten, format, utc(), rest, QStringLiteral("datei"));
    }

    // Fifty receptions, each of its own, with the forms the log writes.
    static QList<Logeintrag> fuenfzig()
    {
        QList<Logeintrag> aus;
        for (int i = 0; i < 50; ++i) {
            Logeintrag e;
            e[Logeintrag::callsign] = QStringLiteral("DL%1ABC").arg(i % 10) + QChar('A' + i / 10);
            e[Logeintrag::vorname] = QStringLiteral("Jürgen");
            e[Logeintrag::datum] = QDate(2006, 6, 1).addDays(i).toString(i % 7 ? "dd.MM.yyyy" : "d.M.yyyy");
            e[Logeintrag::uhrzeit] = QTime(8, 0).addSecs(i * 600).toString("HH:mm");
            e[Logeintrag::frequenz] = QStringLiteral("145,%1").arg(i * 25, 3, 10, QLatin1Char('0'));
            e[Logeintrag::band] = QStringLiteral("FM");
            e[Logeintrag::swert] = QStringLiteral("9+30");
            e[Logeintrag::rwert] = QStringLiteral("5");
            aus.append(e);
        }
        return aus;
    }

    // A German CSV as LibreOffice saves it again after opening it: dates
    // with two-digit years, times with seconds, numbers without trailing
    // zeros, no byte order mark, LF.
    static QByteArray wieVonLibreOffice(const QByteArray &csv)
    {
        Csv::Dialekt d;
        d.trenner = ';';
        Csv::Tabelle t = Csv::lesen(csv, d);
        const int datum = int(t.kopf.indexOf("Datum")), zeit = int(t.kopf.indexOf("Uhrzeit")),
                  freq = int(t.kopf.indexOf("Frequenz"));
        for (Csv::Zeile &z : t.zeilen) {
            if (const auto tag = QDate::fromString(z[datum].value_or(QString()), "d.M.yyyy"); tag.isValid())
                z[datum] = tag.toString("dd.MM.yy");
            if (z[zeit])
                z[zeit] = *z[zeit] + ":00";
            if (z[freq]) {
                QString f = *z[freq];
                while (f.contains(',') && f.endsWith('0'))
                    f.chop(1);
                if (f.endsWith(','))
                    f.chop(1);
                z[freq] = f;
            }
        }
        return Csv::schreiben(t.kopf, t.zeilen, d);
    }

    static QString mounten(const QString &ordner, const char *groesse)
    {
        QProcess p;
        p.start("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=%1").arg(groesse), "tmpfs", ordner});
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return QString();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(QTimeZone("Europe/Berlin").isValid()); }

    // A LoTW report: its three records come in; the comments after values
    // and the end marker cost nothing, the marker is told once.
    void lotwBericht()
    {
        Testhilfe::Programmordner ordner;
        QByteArray adi = "ARRL Logbook of the World Status Report\nGenerated at 2021-08-25 10:12:34\nfor XX1XX\n"
                         "<PROGRAMID:4>LoTW\n<APP_LoTW_NUMREC:1>3\n\n<eoh>\n";
        for (const char *call : {"DL1ABC", "OE3XYZ", "F5ABC"})
            adi += "\n<APP_LoTW_OWNCALL:5>XX1XX\n<CALL:" + QByteArray::number(qstrlen(call)) + ">" + call
                   + "\n<BAND:3>20M\n<FREQ:8>14.07400\n<MODE:3>FT8\n<QSO_DATE:8>20210823\n"
                     "<APP_LoTW_RXQSO:19>2021-08-23 04:13:11 // QSO record inserted/modified at LoTW\n"
                     "<TIME_ON:6>031200\n<QSL_RCVD:1>Y\n<eor>\n";
        adi += "\n<APP_LoTW_EOF>\n";
        const auto ein = importieren(ordner.logDatei(), adi, Format::Adi);
        QCOMPARE(ein.bericht.aufgenommen, 3);
        QCOMPARE(ein.bericht.abgelehnt, 0);
        QVERIFY(ein.bericht.geschrieben);
        QCOMPARE(logInhalt(ordner.logDatei()).last(), gr("F5ABC|∅|∅|∅|∅|∅|23.08.2021|03:12:00|∅|14,074|FT8|∅|∅"));
        const QString text = Logaustausch::zusammenfassung(ein);
        QCOMPARE(text.count("APP_LOTW_EOF"), 1);
        QVERIFY2(text.contains(gr("Angaben ohne Länge tragen keinen Wert und wurden übergangen: <APP_LOTW_EOF> (1×)")),
                 qPrintable(text));
    }

    // The log exported for a spreadsheet and saved again by it comes back
    // as fifty duplicates: nothing is added, the file stays byte for byte.
    void vonDerTabellenkalkulationZurueck()
    {
        Testhilfe::Programmordner ordner;
        einfuegen(ordner.logDatei(), fuenfzig());
        Logaustausch::Optionen o;
        o.format = Format::CsvDeutsch;
        const QString datei = ordner.pfad() + "/log.csv";
        Logaustausch::exportieren(ordner.logDatei(), Logsuche::alle().text(), datei, o);
        const QByteArray gespeichert = wieVonLibreOffice(Testhilfe::lies(datei));
        QVERIFY(gespeichert.contains(";01.06.06;08:00:00;;145;FM;"));

        const QByteArray vorher = Testhilfe::lies(ordner.logDatei());
        const auto ein = importieren(ordner.logDatei(), gespeichert, Format::CsvDeutsch);
        QCOMPARE(ein.bericht.vorhanden, 50);
        QCOMPARE(ein.bericht.aufgenommen, 0);
        QCOMPARE(Testhilfe::lies(ordner.logDatei()), vorher);

        // Into an empty log, the dates go in the log's form, all four digits.
        Testhilfe::Programmordner leer;
        const auto neu = importieren(leer.logDatei(), gespeichert, Format::CsvDeutsch);
        QCOMPARE(neu.bericht.aufgenommen, 50);
        QCOMPARE(neu.zweistelligeJahre, 50);
        const QStringList log = logInhalt(leer.logDatei());
        QVERIFY2(log.first().contains("|01.06.2006|08:00:00|"), qPrintable(log.first()));
        QVERIFY(Logaustausch::zusammenfassung(neu).contains(gr("50 Daten hatten ein zweistelliges Jahr")));
        // ISO dates with a time, and a time with a point, as other programs write them.
        const auto iso = importieren(leer.logDatei(),
                                     "CallSign;Datum;Uhrzeit;Frequenz\r\nG4ABC;2024-01-31 21:45;;7,1\r\n"
                                     "G4ABD;2024-01-31;21.46;7,1\r\nG4ABE;Sommer;;7,1\r\n",
                                     Format::CsvDeutsch);
        QCOMPARE(iso.bericht.aufgenommen, 3);
        const QStringList danach = logInhalt(leer.logDatei()).mid(50);
        QCOMPARE(danach, (QStringList{gr("G4ABC|∅|∅|∅|∅|∅|31.01.2024|21:45|∅|7,1|∅|∅|∅"),
                                      gr("G4ABD|∅|∅|∅|∅|∅|31.01.2024|21:46|∅|7,1|∅|∅|∅"),
                                      gr("G4ABE|∅|∅|∅|∅|∅|Sommer|∅|∅|7,1|∅|∅|∅")}));
    }

    // Texts a spreadsheet would run go out marked and come back exact; a
    // repeater's offset stays a number.
    void formelnHinUndZurueck()
    {
        Testhilfe::Programmordner quelle;
        einfuegen(quelle.logDatei(),
                  {eintrag({"=HYPERLINK(\"http://x\";\"Klick\")", "+49 40 1234", "@SUM(A1)", "-", "-0,6", "'=1+1",
                            "30.06.2006", "21:45", "+5", "145,500", "FM", "a=b", nullptr})});
        for (const Format format : {Format::CsvDeutsch, Format::CsvRfc}) {
            Logaustausch::Optionen o;
            o.format = format;
            const QString datei = quelle.pfad() + "/formeln.csv";
            Logaustausch::exportieren(quelle.logDatei(), Logsuche::alle().text(), datei, o);
            const QByteArray csv = Testhilfe::lies(datei);
            const Csv::Tabelle roh = [&] {
                Csv::Dialekt d;
                d.trenner = format == Format::CsvDeutsch ? ';' : ',';
                d.formelnAlsText = false;
                return Csv::lesen(csv, d);
            }();
            static const QRegularExpression zahl("^[+-]\\d+([.,]\\d+)?$");
            for (const Csv::Feld &f : roh.zeilen.first())
                if (f && !f->isEmpty())
                    QVERIFY2(!QString("=+-@\t\r").contains(f->front()) || zahl.match(*f).hasMatch(), qPrintable(*f));
            Testhilfe::Programmordner ziel;
            QCOMPARE(importieren(ziel.logDatei(), csv, format).bericht.aufgenommen, 1);
            QCOMPARE(logInhalt(ziel.logDatei()), logInhalt(quelle.logDatei()));
        }
    }

    // Control characters are taken out (line breaks stay in the remark),
    // and each record where that changed a value is named.
    void steuerzeichen()
    {
        Testhilfe::Programmordner ordner;
        static const char adi[] = "<CALL:8>DL\0"
                                  "1AB\x1B\x7F <NAME:4>Max\x07 <NOTES:10>eins\r\nzw\x01i <EOR>\n"
                                  "<CALL:6>G4ABCD <EOR>\n"
                                  "<CALL:3>\x01\x02\x03 <QTH:5>Ulm\r\n <EOR>\n";
        const auto ein = importieren(ordner.logDatei(), QByteArray(adi, sizeof adi - 1), Format::Adi);
        QVERIFY2(ein.bericht.aufgenommen == 3, qPrintable(Logaustausch::zusammenfassung(ein)));
        QCOMPARE(ein.bericht.geaendert, 2);
        const QList<Logeintrag> log = Logdaten::lesen(ordner.logDatei(), "select * from Kontakt order by id");
        QCOMPARE(*log.at(0)[Logeintrag::callsign], "DL1AB");
        QCOMPARE(*log.at(0)[Logeintrag::vorname], "Max");
        QCOMPARE(Logdaten::bemerkungAlsText(*log.at(0)[Logeintrag::bemerkung]), "eins\nzwi");
        QVERIFY(!log.at(2)[Logeintrag::callsign]);       // an empty CALL is none
        QCOMPARE(*log.at(2)[Logeintrag::ort], "Ulm ");   // CR LF: one blank
        const QString text = Logaustausch::zusammenfassung(ein);
        QVERIFY2(text.contains(gr("Verändert übernommen:\nDatensatz 1 (Zeile 1): Feld CALL: Steuerzeichen entfernt; "
                                  "Feld NAME: Steuerzeichen entfernt; Feld NOTES: Steuerzeichen entfernt\n"
                                  "Datensatz 3 (Zeile 4): Feld CALL: nur Steuerzeichen, das Feld blieb leer; Feld QTH: "
                                  "Steuerzeichen entfernt")),
                 qPrintable(QString(text).replace("\n", "|")));

        // The same in a spreadsheet's file.
        Testhilfe::Programmordner csv;
        static const char zeilen[] = "CallSign;QTH\r\nDL1\0"
                                     "AB;\"Groß\nGrönau\"\r\n";
        const auto c = importieren(csv.logDatei(), QByteArray(zeilen, sizeof zeilen - 1), Format::CsvDeutsch);
        QCOMPARE(c.bericht.geaendert, 1);
        QCOMPARE(logInhalt(csv.logDatei()), QStringList{gr("DL1AB|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅|Groß Grönau|∅")});
    }

    // What is no file to read says what it is; a file in UTF-16 is read.
    void wasKeineDateiIst()
    {
        Testhilfe::Programmordner ordner;
        const QString p = ordner.pfad();
        QVERIFY(::mkfifo(QFile::encodeName(p + "/pipe.adi").constData(), 0600) == 0);
        QDir(p).mkdir("ordner.adi");
        QFile::link(p + "/kreis2.adi", p + "/kreis1.adi");
        QFile::link(p + "/kreis1.adi", p + "/kreis2.adi");
        QFile::link(p + "/fehlt.adi", p + "/verwaist.adi");
        QFile::link("/dev/zero", p + "/null.adi");
        const QByteArray vorher = Testhilfe::lies(ordner.logDatei());
        const QList<QPair<QString, QString>> faelle = {
            {"pipe.adi", gr("benannte Pipe (FIFO)")},
            {"ordner.adi", gr("Das ist ein Ordner, keine Datei.")},
            {"null.adi", gr("Gerätedatei")},
            {"kreis1.adi", gr("führen im Kreis")},
            {"verwaist.adi", gr("Die Verknüpfung zeigt auf eine Datei, die nicht vorhanden ist.")},
            {"fehlt.adi", gr("Die Datei ist nicht vorhanden.")},
        };
        for (const auto &[name, grund] : faelle) {
            QElapsedTimer uhr;
            uhr.start();
            const QString f = Testhilfe::fehlerVon(
                [&] { Logaustausch::importieren(ordner.logDatei(), p + "/" + name, utc(), false); });
            QVERIFY2(f.contains(grund), qPrintable(name + ": " + f));
            QVERIFY(uhr.elapsed() < 5000);
        }
        QCOMPARE(Testhilfe::lies(ordner.logDatei()), vorher);

        const QString text = QStringLiteral("<CALL:6>DL1ABC <NAME:6>Jürgen <EOR>\r\n");
        Testhilfe::schreibe(p + "/utf16.adi",
                            QByteArray("\xFF\xFE")
                                + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
        const auto ein = Logaustausch::importieren(ordner.logDatei(), p + "/utf16.adi", utc(), false);
        QCOMPARE(logInhalt(ordner.logDatei()), QStringList{gr("DL1ABC|∅|Jürgen|∅|∅|∅|∅|∅|∅|∅|∅|∅|∅")});
        QVERIFY(Logaustausch::zusammenfassung(ein).contains("UTF-16"));
    }

    // However much a file holds, the summary stays a few kilobytes and the
    // import takes time in proportion to the file.
    void grosseDateienKurzeMeldungen()
    {
        Testhilfe::Programmordner ordner;
        // One record of 40,000 fields, each unknown to the log.
        QByteArray felder = "<CALL:6>DL1ABC";
        for (int k = 0; k < 40000; ++k)
            felder += "<FELD_" + QByteArray::number(k) + ":1>x";
        felder += "<EOR>";
        QElapsedTimer uhr;
        uhr.start();
        const auto ein = importieren(ordner.logDatei(), felder, Format::Adi);
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(ein.bericht.aufgenommen, 1);
        QString text = Logaustausch::zusammenfassung(ein);
        QVERIFY2(text.size() < 4096, qPrintable(text.left(500)));
        QVERIFY2(text.contains(gr(" und 970 weitere; dazu 39000 weitere Felder")), qPrintable(text.right(200)));

        // A field name of any length is listed short, and counted right.
        const QByteArray lang(2000, 'L');
        const auto namen = importieren(
            ordner.logDatei(), "<CALL:2>X1 <" + lang + ":1>x <EOR>\n<CALL:2>X2 <" + lang + ":1>y <EOR>\n", Format::Adi);
        QVERIFY2(Logaustausch::zusammenfassung(namen).contains(QString(40, 'L') + gr("… (2×)")),
                 qPrintable(Logaustausch::zusammenfassung(namen).right(200)));

        // A value of a megabyte with a wrong length, and thousands of
        // refused records.
        QByteArray kaputt = "<NOTES:5>" + QByteArray(1024 * 1024, 'x') + "<EOR>\n";
        for (int k = 0; k < 5000; ++k)
            kaputt += "<CALL:9>DL1ABC<EOR>\n";
        const QByteArray vorher = Testhilfe::lies(ordner.logDatei());
        const auto nein = importieren(ordner.logDatei(), kaputt, Format::Adi);
        QCOMPARE(nein.bericht.abgelehnt, 5001);
        QVERIFY(!nein.bericht.geschrieben);
        QCOMPARE(Testhilfe::lies(ordner.logDatei()), vorher);
        text = Logaustausch::zusammenfassung(nein);
        QVERIFY2(text.size() < 8192, qPrintable(text.left(500)));
        QVERIFY(text.contains(gr("… und 4971 weitere.")));
    }

    // A disk that fills during the import: the log is rolled back, its
    // file as it was and no larger, no journal beside it.
    void volleFestplatte()
    {
        QTemporaryDir platte;
        if (const QString nein = mounten(platte.path(), "1m"); !nein.isEmpty())
            QSKIP(qPrintable("Kein tmpfs: " + nein));
        const auto aushaengen = qScopeGuard([&] { QProcess::execute("umount", {platte.path()}); });
        const QString log = platte.filePath("tremvik.dorlem-fasq");
        Testhilfe::ausSchema(log, "kontakt.sql");
        const QByteArray vorher = Testhilfe::lies(log);
        struct statvfs frei;
        QVERIFY(::statvfs(QFile::encodeName(platte.path()).constData(), &frei) == 0);
        QByteArray adi;
        for (int k = 0; k < 40000; ++k)
            adi += "<CALL:8>DL" + QByteArray::number(100000 + k) + " <FREQ:7>145.500 <NAME:40>" + QByteArray(40, 'x')
                   + " <EOR>\n";
        const QString f = Testhilfe::fehlerVon([&] { importieren(log, adi, Format::Adi); });
        QVERIFY2(f.contains(gr("Der Datenträger ist voll")) && f.contains(gr("das Log bleibt unverändert")),
                 qPrintable(f));
        QCOMPARE(Testhilfe::lies(log), vorher);
        QVERIFY(!QFile::exists(log + "-journal"));
        struct statvfs danach;
        QVERIFY(::statvfs(QFile::encodeName(platte.path()).constData(), &danach) == 0);
        QCOMPARE(danach.f_bfree, frei.f_bfree);
    }
};

TREMVIK_KERN_TEST_MAIN(TestLogimport)
#include "tst_logimport.moc"
