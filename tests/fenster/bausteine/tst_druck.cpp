// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"

#include "fenster/bausteine/druckauftrag.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "kern/bestaende/frequenzdaten.h"
#include "kern/druck/tabellendruck.h"
#include "kern/formate/rtf.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardItemModel>
#include <QTabWidget>

// Lists and the log on paper and as PDF files, read back with poppler's
// pdftotext, pdfinfo and pdffonts.
class TestDruck : public QObject
{
    Q_OBJECT

    QTemporaryDir ablage;
    std::unique_ptr<Testhilfe::Programmordner> ordner;
    std::unique_ptr<frm_main> haupt;

    static QString poppler(const QString &programm, const QStringList &argumente)
    {
        QProcess p;
        p.start(programm, argumente);
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            return QStringLiteral("FEHLER: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The text of every page, laid out as printed.
    static QStringList seiten(const QString &pdf)
    {
        QStringList s = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
        if (!s.isEmpty() && s.last().trimmed().isEmpty())
            s.removeLast();
        return s;
    }
    static QString info(const QString &pdf, const QString &feld)
    {
        const QString text = poppler(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(feld), QRegularExpression::MultilineOption)
                .match(text);
        return m.hasMatch() ? m.captured(1).trimmed() : text;
    }
    static bool quer(const QString &pdf)
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("([\\d.]+) x ([\\d.]+)")).match(info(pdf, QStringLiteral("Page size")));
        return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
    }
    QString datei(const QString &name) const { return ablage.filePath(name); }

    // The next save dialog answers with this file.
    static void speichernAls(const QString &pdf)
    {
        Druckauftrag::setzeDateiwahl([pdf](const QString &) { return pdf; });
    }
    // The next print dialog chooses a printer that writes this PDF file.
    static void druckerIn(const QString &pdf)
    {
        Druckauftrag::setzeDruckerwahl([pdf](QPrinter &drucker) {
            drucker.setOutputFormat(QPrinter::PdfFormat);
            drucker.setOutputFileName(pdf);
            return true;
        });
    }

    FrequenzListe *liste(void (frm_main::*slot)(), KindFenster *(frm_main::*holen)() const)
    {
        (haupt.get()->*slot)();
        return qobject_cast<FrequenzListe *>((haupt.get()->*holen)());
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *p : {"pdftotext", "pdfinfo", "pdffonts"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(p)).isEmpty())
                QSKIP("poppler-utils (pdftotext, pdfinfo, pdffonts) fehlt: PDF-Ausgaben nicht prüfbar");
        QVERIFY(ablage.isValid());
    }
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::leeren();
    }
    void cleanup()
    {
        haupt.reset();
        ordner.reset();
        Druckauftrag::setzeDateiwahl({});
        Druckauftrag::setzeDruckerwahl({});
    }

    // The shipped aviation list: every one of its rows, with the column
    // headers and the page number on every page.
    void flugfunkListeVollstaendig()
    {
        const QString quellen = QStringLiteral(TREMVIK_QUELLEN "/db/");
        Frequenzdaten::bauen(ordner->frequenzDatei(), quellen + QStringLiteral("frequenzen.sql"),
                             quellen + QStringLiteral("frequenzen"));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        FrequenzListe *flug = liste(&frm_main::flug_Click, &frm_main::frm_flug);
        QVERIFY(flug);
        QCOMPARE(flug->windowTitle(), QStringLiteral(" FlugFunk   729 Datensätze"));
        QVERIFY(flug->DataGrid1->actions().contains(flug->liste_pdf));
        QVERIFY(flug->DataGrid1->actions().contains(flug->liste_drucken));

        const QString pdf = datei(QStringLiteral("flugfunk.pdf"));
        speichernAls(pdf);
        flug->liste_pdf->trigger();
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));

        const QStringList s = seiten(pdf);
        QVERIFY2(s.size() > 1, qPrintable(s.value(0)));
        QCOMPARE(info(pdf, QStringLiteral("Pages")), QString::number(s.size()));
        QVERIFY(!quer(pdf));
        const QRegularExpression kopf(QStringLiteral("^\\s*Frequenz\\s+Ort\\s*$"), QRegularExpression::MultilineOption);
        QMultiHash<QString, int> gedruckt;   // "frequency|place" -> page
        for (int i = 0; i < s.size(); ++i) {
            QVERIFY2(s[i].contains(kopf), qPrintable(QStringLiteral("Seite %1 ohne Spaltenköpfe").arg(i + 1)));
            QVERIFY(s[i].contains(QStringLiteral("FlugFunk 729 Datensätze")));
            QVERIFY(s[i].contains(QStringLiteral("Seite %1 von %2").arg(i + 1).arg(s.size())));
            static const QRegularExpression zeile(QStringLiteral("^\\s*(\\d+,\\d+)\\s{2,}(\\S.*\\S)\\s*$"));
            for (const QString &z : s[i].split(QLatin1Char('\n'))) {
                const QRegularExpressionMatch m = zeile.match(z);
                if (m.hasMatch())
                    gedruckt.insert(m.captured(1) + QLatin1Char('|') + m.captured(2), i);
            }
        }
        QCOMPARE(gedruckt.size(), 729);
        const QStringList tabelle =
            Eintraghilfe::lies(ordner->frequenzDatei(), QStringLiteral("select Frquenz, Ort from flugfunk"))
                .split(QLatin1Char('\n'));
        QCOMPARE(tabelle.size(), 729);
        for (const QString &z : tabelle)
            QVERIFY2(gedruckt.contains(z), qPrintable(z));
        QVERIFY(gedruckt.contains(QStringLiteral("125,050|Schwäbisch Hall Adolf Würth (EDTY) RADAR")));
    }

    // After a search only the rows found; a window too wide for a portrait
    // page turns to landscape and wraps what does not fit, losing nothing.
    void sucheUmlauteUndQuerformat()
    {
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464','86,355');"
                           "insert into bos values ('BY','München','Polizei','Pegasus 12','411','85,335');"
                           "insert into bos values ('BY','Fürth','Straßenmeisterei','Bayern Süd','411','85,995');"
                           "insert into fernwirken values ('169,4125','Kreis Harburg','Stadtwerke',"
                           "'Wasserversorgung Pumpwerke Hochbehälter Druckerhöhung Notstrom Leitstelle "
                           "Fernüberwachung aller Brunnen im ganzen Kreisgebiet samt Außenstellen','ZFA 1');"));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        FrequenzListe *bos = liste(&frm_main::bos_Click, &frm_main::frm_bos);
        bos->txt_ort->setText(QStringLiteral("ü"));
        QTest::mouseClick(bos->cmd_sucheort, Qt::LeftButton);
        QCOMPARE(bos->Adodc1->RecordCount(), 2);

        const QString pdf = datei(QStringLiteral("bos.pdf"));
        druckerIn(pdf);
        bos->liste_drucken->trigger();
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QStringList s = seiten(pdf);
        QCOMPARE(s.size(), 1);
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("BL\\s+Ort\\s+Benutzer\\s+Rufname\\s+Kanal\\s+Freq"))));
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("BY\\s+Fürth\\s+Straßenmeisterei\\s+Bayern Süd"))));
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("BY\\s+München\\s+Polizei\\s+Pegasus 12"))));
        QVERIFY(!s[0].contains(QStringLiteral("Hamburg")));
        QVERIFY(s[0].contains(QStringLiteral("BOS-Frequenzen 3 Datensätze")));
        QVERIFY(s[0].contains(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))));
        QVERIFY(!quer(pdf));

        FrequenzListe *fw = liste(&frm_main::fw_Click, &frm_main::frm_fw);
        const QString quer = datei(QStringLiteral("fw.pdf"));
        speichernAls(quer);
        fw->liste_pdf->trigger();
        QVERIFY(Testhilfe::meldungen().isEmpty());
        QVERIFY(TestDruck::quer(quer));
        const QString text = seiten(quer).join(QLatin1Char('\n'));
        for (const QString &wort :
             QStringLiteral("Wasserversorgung Pumpwerke Hochbehälter Druckerhöhung Notstrom Leitstelle "
                            "Fernüberwachung aller Brunnen im ganzen Kreisgebiet samt Außenstellen")
                 .split(QLatin1Char(' ')))
            QVERIFY2(text.contains(wort), qPrintable(wort));
    }

    void spaltenbreiten()
    {
        using B = QVector<double>;
        // Room to spare: shared out in proportion.
        QCOMPARE(Tabellendruck::breiten(B{10, 30}, 80), (B{20, 60}));
        // Too wide: the narrow ones keep their width, the wide ones share the rest.
        QCOMPARE(Tabellendruck::breiten(B{10, 100, 20, 300}, 100), (B{10, 35, 20, 35}));
        // All of them wide: equal shares.
        QCOMPARE(Tabellendruck::breiten(B{200, 300}, 100), (B{50, 50}));
        QCOMPARE(Tabellendruck::breiten(B{}, 100), B{});
    }

    // The overview as PDF, and one record with its formatted remark.
    void logUebersichtUndEintrag()
    {
        Eintraghilfe::Fenster f;
        const QString rtf =
            QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Gute Verbindung, {\\b fettes Signal} "
                           "\\'fcber den Gr\\'f6\\'dfteil der Nacht.\\par Zweiter Absatz.}");
        f.sql(QStringLiteral("update Kontakt set bemerkung = '%1', ort = 'Güstrow' where callsign = 'OE2BBB'")
                  .arg(QString(rtf).replace(QLatin1Char('\''), QStringLiteral("''"))));
        f.oeffnen();
        if (QTest::currentTestFailed())
            return;
        frm_eintrag *w = f.w.get();
        QVERIFY(w->DataGrid1->actions().contains(w->uebersicht_pdf));
        QVERIFY(w->Frame3->actions().contains(w->eintrag_drucken));

        const QString pdf = datei(QStringLiteral("log.pdf"));
        speichernAls(pdf);
        w->uebersicht_pdf->trigger();
        QStringList s = seiten(pdf);
        QCOMPARE(s.size(), 1);
        QVERIFY(s[0].contains(QStringLiteral("Eigene Einträge – 4 Einträge")));
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("Frequenz\\s+Datum\\s+CallSign\\s+QTH\\s+R-Wert"))));
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("27,185\\s+02.02.2021\\s+OE2BBB\\s+Güstrow\\s+4"))));
        QVERIFY(s[0].contains(QRegularExpression(QStringLiteral("7,100\\s+04.04.2023\\s+DL4DDD\\s+2"))));
        QVERIFY(s[0].contains(QStringLiteral("Seite 1 von 1")));

        // After a search, only what was found; the right click on a row
        // makes it the record that is printed.
        w->txt_suchbegriff->setText(QStringLiteral("OE2"));
        f.klick(w->cmd_suchen);
        QCOMPARE(w->lbl_treffer->text(), QStringLiteral("1 Einträge"));
        w->uebersicht_pdf->trigger();
        s = seiten(pdf);
        QVERIFY(s[0].contains(QStringLiteral("OE2BBB")));
        QVERIFY(!s[0].contains(QStringLiteral("DL1AAA")));
        QVERIFY(s[0].contains(QStringLiteral("Eigene Einträge – 1 Einträge")));

        f.klick(w->cmd_alle);
        const QRect r = w->DataGrid1->visualRect(w->DataGrid1->model()->index(1, 0));
        QTest::mouseClick(w->DataGrid1->viewport(), Qt::RightButton, {}, r.center());
        QCOMPARE(w->txt_callsign->text(), QStringLiteral("OE2BBB"));
        const QString eintrag = datei(QStringLiteral("eintrag.pdf"));
        druckerIn(eintrag);
        w->eintrag_drucken->trigger();
        QVERIFY(Testhilfe::meldungen().isEmpty());
        const QString text = seiten(eintrag).join(QLatin1Char('\n'));
        QVERIFY(text.contains(QStringLiteral("Eigene Einträge – OE2BBB")));
        for (const char *paar : {"CallSign\\s+OE2BBB", "Vorname\\s+Bernd", "Land\\s+Österreich", "QTH\\s+Güstrow",
                                 "Frequenz\\s+27,185", "Kanal\\s+2", "Modulation\\s+AM", "Uhrzeit\\s+11:00"})
            QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(paar))), paar);
        QVERIFY(text.contains(QStringLiteral("Bemerkung")));
        QVERIFY(text.contains(QStringLiteral("Gute Verbindung, fettes Signal über den Größteil der Nacht.")));
        QVERIFY(text.contains(QStringLiteral("Zweiter Absatz.")));
        // The bold run keeps its weight on paper.
        QVERIFY(poppler(QStringLiteral("pdffonts"), {eintrag}).contains(QStringLiteral("Bold")));
    }

    // A long remark flows on over further pages, each with its frame.
    void langeBemerkungUeberSeiten()
    {
        Eintraghilfe::Fenster f;
        QString rtf = QStringLiteral("{\\rtf1\\ansi\\f0\\fs24 ");
        for (int i = 1; i <= 120; ++i)
            rtf += QStringLiteral("Absatz %1 der Bemerkung.\\par ").arg(i);
        rtf += QLatin1Char('}');
        f.sql(QStringLiteral("update Kontakt set bemerkung = '%1'").arg(rtf));
        f.oeffnen();
        if (QTest::currentTestFailed())
            return;
        const QString pdf = datei(QStringLiteral("lang.pdf"));
        druckerIn(pdf);
        f.w->eintrag_drucken->trigger();
        const QStringList s = seiten(pdf);
        QVERIFY(s.size() >= 2);
        const QString alles = s.join(QLatin1Char('\n'));
        for (int i = 1; i <= 120; ++i)
            QVERIFY2(alles.contains(QStringLiteral("Absatz %1 der Bemerkung.").arg(i)), qPrintable(QString::number(i)));
        for (int i = 0; i < s.size(); ++i)
            QVERIFY(s[i].contains(QStringLiteral("Seite %1 von %2").arg(i + 1).arg(s.size())));
    }

    // Cancelled dialogs do nothing; a file that cannot be written is
    // reported, and one that was there stays whole.
    void abbruchUndSchreibfehler()
    {
        QStandardItemModel modell(3, 2);
        for (int z = 0; z < 3; ++z)
            for (int s = 0; s < 2; ++s)
                modell.setItem(z, s, new QStandardItem(QStringLiteral("Z%1S%2").arg(z).arg(s)));
        const auto seiten = [&modell](QPagedPaintDevice &g) {
            return Tabellendruck(modell, QStringLiteral("T")).drucken(g);
        };

        bool gefragt = false;
        Druckauftrag::setzeDruckerwahl([&gefragt](QPrinter &) { return !(gefragt = true); });
        Druckauftrag::drucken(nullptr, QStringLiteral("T"), seiten);
        QVERIFY(gefragt);
        Druckauftrag::setzeDateiwahl([](const QString &vorschlag) {
            [&] { QVERIFY(vorschlag.endsWith(QStringLiteral("/Eigene Einträge.pdf"))); }();
            return QString();
        });
        Druckauftrag::alsPdf(nullptr, QStringLiteral("T"), QStringLiteral("Eigene Einträge"), seiten);
        QVERIFY(Testhilfe::meldungen().isEmpty());

        speichernAls(datei(QStringLiteral("fehlt/t.pdf")));
        Druckauftrag::alsPdf(nullptr, QStringLiteral("T"), QStringLiteral("T"), seiten);
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        QVERIFY(Testhilfe::meldungen()[0].text.contains(QStringLiteral("kann nicht geschrieben werden: Die Datei "
                                                                       "oder der Ordner existiert nicht")));
        QVERIFY(!QFile::exists(datei(QStringLiteral("fehlt/t.pdf"))));

        const QString alt = datei(QStringLiteral("alt.pdf"));
        Testhilfe::schreibe(alt, "alt");
        QVERIFY(!Druckauftrag::pdfSchreiben(alt, QStringLiteral("T"), [](QPagedPaintDevice &) { return false; }).ok());
        QCOMPARE(Testhilfe::lies(alt), QByteArray("alt"));
        QCOMPARE(QDir(ablage.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files), QStringList());
    }

    // A title as a file name: what no disk takes is replaced or dropped.
    void dateinamen()
    {
        using Druckauftrag::dateiname;
        QCOMPARE(dateiname(QStringLiteral("Eigene Einträge \u2013 Florian Lübeck 83/1")),
                 QStringLiteral("Eigene Einträge \u2013 Florian Lübeck 83-1"));
        QCOMPARE(dateiname(QStringLiteral("12:30 Uhr C:\\x *?\"<>|")), QStringLiteral("12-30 Uhr C--x ------"));
        QCOMPARE(dateiname(QString::fromUtf8("a\0b\x1b[1mc\x7f", 10) + QChar(0x85) + QStringLiteral("d")),
                 QStringLiteral("ab[1mc d"));
        QCOMPARE(dateiname(QStringLiteral("Zeile 1\n\tZeile 2\r\n")), QStringLiteral("Zeile 1 Zeile 2"));
        QCOMPARE(dateiname(QStringLiteral(" ..versteckt. ")), QStringLiteral("versteckt"));
        QCOMPARE(dateiname(QStringLiteral("\x01/")), QStringLiteral("-"));
        QCOMPARE(dateiname(QStringLiteral(" \x02 ")), QStringLiteral("Ausdruck"));
        for (const QString &lang : {QString(300, QChar(0xfc)), QString::fromUtf8("\xf0\x9f\x93\xbb").repeated(120)}) {
            const QString n = dateiname(lang);
            QVERIFY(n.toUtf8().size() <= 200 && n.toUtf8().size() > 190);
            QCOMPARE(QString::fromUtf8(n.toUtf8()), n);   // no half of a character
        }
    }

    // "Eintrag drucken …" into a PDF file: the print dialog proposes a name
    // a disk takes, the file holds the record, and the PDF keeps the real
    // title. Into a folder that is not there, the message says so.
    void eintragAlsPdf()
    {
        Testhilfe::sql(
            ordner->logDatei(),
            QStringLiteral("insert into Kontakt (callsign, frequenz) values ('Florian Lübeck 83/1', '172,940');"));
        haupt = std::make_unique<frm_main>();
        haupt->zeigen();
        QTRY_VERIFY(haupt->frm_eintrag());
        auto *log = qobject_cast<frm_eintrag *>(haupt->frm_eintrag());
        log->SSTab1->setCurrentIndex(0);
        QCOMPARE(log->txt_callsign->text(), QStringLiteral("Florian Lübeck 83/1"));

        QString vorgeschlagen;
        QString pdf = datei(QStringLiteral("eintrag.pdf"));
        Druckauftrag::setzeDruckerwahl([&](QPrinter &drucker) {
            vorgeschlagen = drucker.docName();
            drucker.setOutputFormat(QPrinter::PdfFormat);
            drucker.setOutputFileName(pdf);
            return true;
        });
        log->eintrag_drucken->trigger();
        QCOMPARE(vorgeschlagen, QStringLiteral("Eigene Einträge \u2013 Florian Lübeck 83-1.pdf"));
        QVERIFY2(Testhilfe::meldungen().isEmpty(), qPrintable(Testhilfe::meldungen().value(0).text));
        QVERIFY(seiten(pdf).join(QString()).contains(QStringLiteral("Florian Lübeck 83/1")));
        QCOMPARE(info(pdf, QStringLiteral("Title")), QStringLiteral("Eigene Einträge \u2013 Florian Lübeck 83/1"));
        QCOMPARE(haupt->lbl_status->text(), QStringLiteral("PDF gespeichert: ") + pdf);

        pdf = datei(QStringLiteral("fehlt/eintrag.pdf"));
        log->eintrag_drucken->trigger();
        QCOMPARE(Testhilfe::meldungen().size(), 1);
        const QString text = Testhilfe::meldungen()[0].text;
        QVERIFY2(text.contains(QStringLiteral("Die Datei oder der Ordner existiert nicht")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("schreibgeschützt")) && !text.contains(QStringLiteral("Drucker")));
    }

    // "Als PDF speichern …" proposes the name as a file name in the folder
    // of the last PDF, which is kept across starts.
    void pdfOrdnerGemerkt()
    {
        QSettings().remove(QStringLiteral("Ordner/PDF"));
        const auto seiten = [](QPagedPaintDevice &g) {
            QPainter p(&g);
            p.drawText(100, 100, QStringLiteral("x"));
            return true;
        };
        QString vorschlag;
        Druckauftrag::setzeDateiwahl([&](const QString &v) {
            vorschlag = v;
            return datei(QStringLiteral("gewaehlt.pdf"));
        });
        Druckauftrag::alsPdf(nullptr, QStringLiteral("T"), QStringLiteral("Relais 145/6: Ulm"), seiten);
        QCOMPARE(QFileInfo(vorschlag).fileName(), QStringLiteral("Relais 145-6- Ulm.pdf"));
        QVERIFY(QFile::exists(datei(QStringLiteral("gewaehlt.pdf"))));
        Druckauftrag::alsPdf(nullptr, QStringLiteral("T"), QStringLiteral("Zweite"), seiten);
        QCOMPARE(vorschlag, datei(QStringLiteral("Zweite.pdf")));
        QCOMPARE(QSettings().value(QStringLiteral("Ordner/PDF")).toString(), ablage.path());
        QSettings().remove(QStringLiteral("Ordner/PDF"));
    }
};

TREMVIK_TEST_MAIN(TestDruck)
#include "tst_druck.moc"
