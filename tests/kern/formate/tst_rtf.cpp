// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/rtf.h"
#include "kern/formate/rtfhilfe.h"
#include "kernhilfe.h"

#include <QFontDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

// The remark's RTF: reading, writing, and what word processors make of it.
using namespace Rtfhilfe;

class TestRtf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rundreiseFormate()
    {
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(QStringLiteral("Normal "), format("Arial", 12));
        c.insertText(QStringLiteral("fett"), format("Arial", 12, true));
        c.insertText(QStringLiteral(" kursiv"), format("Arial", 12, false, true));
        c.insertText(QStringLiteral(" unter"), format("Arial", 12, false, false, true));
        c.insertText(QStringLiteral(" durch"), format("Arial", 12, false, false, false, true));
        c.insertText(QStringLiteral(" alles"), format("Arial", 12, true, true, true, true, QColor(0, 128, 0)));
        QTextBlockFormat mitte;
        mitte.setAlignment(Qt::AlignHCenter);
        c.insertBlock(mitte);
        c.insertText(QStringLiteral("Rot 20 pt"), format("Times New Roman", 20, false, false, false, false, Qt::red));
        c.insertText(QStringLiteral(" Blau 7,5"), format("Courier New", 7.5, false, false, false, false, Qt::blue));
        QTextBlockFormat rechts;
        rechts.setAlignment(Qt::AlignRight);
        c.insertBlock(rechts);
        c.insertText(QStringLiteral("rechts in MS Sans Serif"), format("MS Sans Serif", 8));
        QTextBlockFormat block;
        block.setAlignment(Qt::AlignJustify);
        c.insertBlock(block);
        c.insertText(QStringLiteral("Blocksatz\tmit Tab"), format("Verdana", 10));
        c.insertText(QString(QChar::LineSeparator) + QStringLiteral("und Zeilenumbruch"), format("Verdana", 10));
        c.insertBlock(QTextBlockFormat());
        c.insertBlock(QTextBlockFormat());
        c.insertText(QStringLiteral("nach zwei leeren Absätzen {\\ Klammern }"), format("Arial", 12));
        c.insertBlock(QTextBlockFormat());

        const QString rtf = Rtf::schreiben(d);
        QVERIFY(nurAscii(rtf));
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0")));
        QVERIFY(rtf.endsWith(QLatin1Char('}')));
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        QCOMPARE(beschreibung(wieder), beschreibung(d));
        QCOMPARE(wieder.blockCount(), d.blockCount());
        // Reading again and writing again changes nothing.
        QCOMPARE(Rtf::schreiben(wieder), rtf);
    }

    void deutscheZeichen()
    {
        const QString text = QStringLiteral("ä ö ü Ä Ö Ü ß € „Anführung“ ‚einfach‘ – — … © ł 中 😀");
        QTextDocument d;
        QTextCursor(&d).insertText(text, format("Arial", 12));
        const QString rtf = Rtf::schreiben(d);
        QVERIFY(nurAscii(rtf));
        // Windows-1252 where it has the character, else a signed \uN.
        for (const char *teil :
             {"\\'e4 \\'f6 \\'fc \\'c4 \\'d6 \\'dc \\'df \\'80 \\'84Anf\\'fchrung\\'93", "\\'82einfach\\'91",
              "\\'96 \\'97 \\'85 \\'a9", "\\u322?", "\\u20013?", "\\u-10179?\\u-8704?"})
            QVERIFY2(rtf.contains(QLatin1String(teil)), teil);
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        QCOMPARE(wieder.toPlainText(), text);
        QCOMPARE(Rtf::alsText(rtf), text);
    }

    void zeichenLesen_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp1252") << "{\\rtf1\\ansi \\'e4\\'f6\\'fc\\'c4\\'d6\\'dc\\'df\\'80\\'84x\\'93\\'96}"
                                << "äöüÄÖÜß€„x“–";
        QTest::newRow("ohne ansicpg 1252") << "{\\rtf1 \\'80\\'9f\\'E4}"
                                           << "€Ÿä";
        QTest::newRow("ansicpg1250") << "{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8\\'b3}"
                                     << "ščł";
        QTest::newRow("fcharset204")
            << "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}\\'e4\\f1 \\'cf\\'f0\\'e8}"
            << "äПри";
        // A font's code page wins over its character set, in either order.
        QTest::newRow("cpg") << "{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1251 A;}{\\f1\\cpg1251\\fcharset0 B;}}"
                                "\\f0 \\'cf\\f1 \\'f0\\f2 \\'e8}"
                             << "Прè";
        QTest::newRow("u mit uc1") << "{\\rtf1 \\u8364\\'80x\\u8364?y}"
                                   << "€x€y";
        QTest::newRow("u negativ") << "{\\rtf1 \\u-4064?\\u-10179?\\u-8704?}" << QString(QChar(0xF020)) + "😀";
        QTest::newRow("uc0") << "{\\rtf1\\uc0 \\u8364 x\\u8222\\u8220}"
                             << "€x„“";
        QTest::newRow("uc2") << "{\\rtf1\\uc2 \\u8364\\'80\\'80x\\u20013??y}"
                             << "€x中y";
        QTest::newRow("uc gilt in der Gruppe") << "{\\rtf1{\\uc2\\u8364??}\\u8364?x}"
                                               << "€€x";
        QTest::newRow("Gruppe beendet Ersatz") << "{\\rtf1\\uc3\\u8364{x}y}"
                                               << "€xy";
        QTest::newRow("Steuerwort beendet Ersatz") << "{\\rtf1\\uc1\\u8364\\par x}"
                                                   << "€\nx";
        QTest::newRow("Sonderzeichen")
            << "{\\rtf1 a\\tab b\\line c\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\{\\}\\\\}"
            << "a\tb\nc—–•‘’“”\u00a0{}\\";
        QTest::newRow("Zeilenende im Quelltext") << "{\\rtf1 ge\r\nteilt\\\r\nneu}"
                                                 << "geteilt\nneu";
    }

    void zeichenLesen()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(Rtf::alsText(rtf), text);
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        QString roh = d.toRawText();
        roh.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
        QCOMPARE(roh, text);
    }

    void aufbauLesen_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("kein RTF") << "Hallo\nWelt {\\b}"
                                  << "Hallo\nWelt {\\b}";
        QTest::newRow("leer") << ""
                              << "";
        QTest::newRow("nur Kopf") << "{\\rtf1}"
                                  << "";
        QTest::newRow("Leerraum vorn") << " \r\n{\\rtf1 a}"
                                       << "a";
        QTest::newRow("letztes par") << "{\\rtf1 a\\par}"
                                     << "a";
        QTest::newRow("leerer letzter Absatz") << "{\\rtf1 a\\par\\par}"
                                               << "a\n";
        QTest::newRow("ohne par") << "{\\rtf1 a\\par b}"
                                  << "a\nb";
        QTest::newRow("nach dem Ende") << "{\\rtf1 a}b\\par c"
                                       << "a";
        QTest::newRow("offen") << "{\\rtf1{\\b fett\\par kein Ende"
                               << "fett\nkein Ende";
        QTest::newRow("ausgelassene Ziele")
            << "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}"
               "{\\info{\\title Titel}{\\author Autor}}{\\*\\generator Msftedit;}{\\*\\unbekannt geheim {x}}"
               "{\\header Kopf}{\\footer Fuss}{\\pict\\pngblip 89504e47}{\\object{\\*\\objdata 0102}}"
               "{\\*\\themedata 504b}{\\listtable{\\list x}}{\\*\\pn{\\pntxtb A}}sichtbar}"
            << "sichtbar";
        QTest::newRow("Feld") << "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt Verweis}}}"
                              << "Verweis";
        QTest::newRow("bin") << "{\\rtf1 a{\\pict\\bin4 }}{}b}c}"
                             << "ac";
        QTest::newRow("bin zu gross") << "{\\rtf1 a\\bin999999999 bc}"
                                      << "a";
        QTest::newRow("Tabelle") << "{\\rtf1\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row c}"
                                 << "a\tb\nc";
        QTest::newRow("Steuerwort zu lang") << "{\\rtf1 a\\" + QString(40, QLatin1Char('x')) + " b}"
                                            << "ab";
        QTest::newRow("Zahl zu gross") << "{\\rtf1\\fs99999999999999999999 a\\u99999999999?b}"
                                       << "ab";
    }

    void aufbauLesen()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(Rtf::alsText(rtf), text);
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        QCOMPARE(d.toPlainText(), text);
    }

    void formateLesen()
    {
        const QString rtf = QStringLiteral(
            "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "\\pard\\qc\\fs32 a\\b b\\i c\\ul d\\ulnone\\strike e\\plain f\\f0\\cf2 g{\\cf1\\b0 h}i\\cf9 j\\par"
            "\\qr\\pard k\\qj l}");
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        QCOMPARE(beschreibung(d),
                 QStringLiteral("mitte:[Arial 16]a[Arial 16 fett]b[Arial 16 fett kursiv]c[Arial 16 fett kursiv unter]d"
                                "[Arial 16 fett kursiv durch]e[Arial 12]f[Times New Roman 12 #0000ff]g"
                                "[Times New Roman 12 #ff0000]h[Times New Roman 12 #0000ff]i[Times New Roman 12]j\n"
                                "block:[Times New Roman 12]kl"));
    }

    void grenzen()
    {
        // Nesting far beyond the limit: the text is read all the same.
        QString tief = QStringLiteral("{\\rtf1 ");
        for (int i = 0; i < 20000; ++i)
            tief += QLatin1String("{\\b ");
        tief += QLatin1String("innen");
        for (int i = 0; i < 20000; ++i)
            tief += QLatin1Char('}');
        tief += QLatin1String("aussen}");
        QCOMPARE(Rtf::alsText(tief), QStringLiteral("innenaussen"));
        QTextDocument d;
        Rtf::lesen(tief, &d);
        QCOMPARE(d.toPlainText(), QStringLiteral("innenaussen"));
        QCOMPARE(formatVon(d, QStringLiteral("aussen")).fontWeight(), int(QFont::Normal));

        // The text read is capped.
        const QString gross = QStringLiteral("{\\rtf1 ") + QString(9 << 20, QLatin1Char('x')) + QLatin1Char('}');
        QCOMPARE(Rtf::alsText(gross).size(), qsizetype(8 << 20));
    }

    void tiefeGruppen_data()
    {
        QTest::addColumn<QString>("innen");
        QTest::addColumn<QString>("text");
        QTest::newRow("verborgenes Ziel") << "{\\*\\x versteckt} sichtbar"
                                          << " sichtbar";
        QTest::newRow("Ziel mit Gruppen") << "{\\*\\x a{b}{{c}}d}e{\\info{\\title T}}f"
                                          << "ef";
        QTest::newRow("Schriften und Farben")
            << "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Ost;}}{\\colortbl;\\red1\\green2\\blue3;}\\f1 \\'b3"
            << "ł";
        QTest::newRow("uc gilt in der Gruppe") << "{\\uc2\\u8364??}\\u8364?x"
                                               << "€€x";
        QTest::newRow("Absaetze") << "a{\\par b}\\par{c\\line d}"
                                  << "a\nb\nc\nd";
    }

    void tiefeGruppen()
    {
        // Beyond the limit of nesting the text is the same as near the top,
        // and each closing brace closes its own group.
        QFETCH(QString, innen);
        QFETCH(QString, text);
        const QString flach = QStringLiteral("{\\rtf1 ") + innen + QLatin1Char('}');
        QCOMPARE(Rtf::alsText(flach), text);
        const QString tief = tiefVerschachtelt(innen, QString(), QStringLiteral("Ende}nicht mehr"));
        QCOMPARE(Rtf::alsText(tief), text + QStringLiteral("Ende"));
        QTextDocument d;
        Rtf::lesen(tief, &d);
        QCOMPARE(d.toPlainText(), text + QStringLiteral("Ende"));
    }

    void tiefeGruppenFormate()
    {
        // The formatting of a group beyond the limit ends with it, and the
        // groups around it get their own back.
        const QString rtf = tiefVerschachtelt(QStringLiteral("{\\b fett}{\\cf1 rot} normal"),
                                              QStringLiteral("{\\colortbl;\\red255\\green0\\blue0;}\\i\\qc"),
                                              QStringLiteral("\\par\\pard aussen"));
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        QCOMPARE(d.toPlainText(), QStringLiteral("fettrot normal\naussen"));
        QCOMPARE(beschreibung(d),
                 QStringLiteral("mitte:[ 12 fett kursiv]fett[ 12 kursiv #ff0000]rot[ 12 kursiv] normal\n"
                                "links:[ 12 kursiv]aussen"));
    }

    void vieleSchriftenUndFarben()
    {
        // 32,000 fonts and colours, each used once: each run keeps its own,
        // and the writer's tables hold each one once, in the order of use.
        constexpr int anzahl = 32000;
        QString schriften, farben, text;
        for (int i = 0; i < anzahl; ++i) {
            schriften += QStringLiteral("{\\f%1 Schrift %1;}").arg(i);
            farben += QStringLiteral("\\red%1\\green%2\\blue7;").arg(i % 256).arg(i / 256);
            text += QStringLiteral("{\\f%1\\cf%2 x}").arg(anzahl - 1 - i).arg(i + 1);
        }
        const QString rtf = QStringLiteral("{\\rtf1{\\fonttbl%1}{\\colortbl;%2}%3}").arg(schriften, farben, text);
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        int n = 0;
        for (auto it = d.begin().begin(); !it.atEnd(); ++it, ++n) {
            const QTextCharFormat f = it.fragment().charFormat();
            QCOMPARE(Rtf::schriftfamilie(f), QStringLiteral("Schrift %1").arg(anzahl - 1 - n));
            QCOMPARE(f.foreground().color(), QColor(n % 256, n / 256, 7));
        }
        QCOMPARE(n, anzahl);

        const QString geschrieben = Rtf::schreiben(d);
        QVERIFY(geschrieben.contains(QStringLiteral("{\\f0\\fnil\\fcharset0 Schrift %1;}{\\f1\\fnil").arg(anzahl - 1)));
        QVERIFY(geschrieben.contains(QStringLiteral("{\\f%1\\fnil\\fcharset0 Schrift 0;}}").arg(anzahl - 1)));
        QVERIFY(geschrieben.contains(QLatin1String("{\\colortbl;\\red0\\green0\\blue7;\\red1\\green0\\blue7;")));
        QVERIFY(geschrieben.contains(QLatin1String("{\\plain\\f1\\fs24\\cf2 x}")));
        QCOMPARE(geschrieben.count(QLatin1String("\\red")), anzahl);
        QTextDocument wieder;
        Rtf::lesen(geschrieben, &wieder);
        QCOMPARE(Rtf::schreiben(wieder), geschrieben);
    }

    void schriftenUeberDerGrenze()
    {
        // Once the limit of fonts is reached, a run is drawn in the nearest
        // size its family is drawn in (of two as near, the smaller), and a
        // family not drawn yet in the document's default font.
        // The paragraph mark is drawn in the document's first font (Fehlt 0
        // at 12 pt), the runs alternate two families in 32 sizes.
        QString tabelle, text;
        for (int i = 0; i < Rtf::maxSchriften; ++i)
            tabelle += QStringLiteral("{\\f%1 Fehlt %1;}").arg(i);
        for (int i = 0; i < Rtf::maxSchriften - 1; ++i)
            text += QStringLiteral("{\\f%1\\fs%2 a%3 }").arg(i % 2).arg(10 * (i / 2 + 1)).arg(i);
        text += QLatin1String("{\\f0\\fs14 mehr}{\\f0\\fs16 weniger}{\\f0\\fs15 mitte}{\\f1\\fs3000 riesig}"
                              "{\\f9\\fs20 neu}{\\f9\\fs22 neu2}{\\f0\\b\\fs14 fett}");
        QTextDocument d;
        d.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        Rtf::lesen(QStringLiteral("{\\rtf1{\\fonttbl%1}%2}").arg(tabelle, text), &d);
        const auto gezeigt = [&](const QString &lauf) {
            const QTextCharFormat f = formatVon(d, lauf);
            return f.fontFamilies().toStringList().value(0, QStringLiteral("Standard")) + QLatin1Char(' ')
                   + QString::number(f.fontPointSize());
        };
        QCOMPARE(gezeigt(QStringLiteral("a62")), QStringLiteral("Fehlt 0 160"));
        QCOMPARE(gezeigt(QStringLiteral("mehr")), QStringLiteral("Fehlt 0 5"));
        QCOMPARE(gezeigt(QStringLiteral("weniger")), QStringLiteral("Fehlt 0 10"));
        QCOMPARE(gezeigt(QStringLiteral("mitte")), QStringLiteral("Fehlt 0 5"));
        QCOMPARE(gezeigt(QStringLiteral("riesig")), QStringLiteral("Fehlt 1 155"));
        // The default font is drawn in the size of the first run that needs
        // it, and later ones in the nearest of its sizes.
        QCOMPARE(gezeigt(QStringLiteral("neu")), QStringLiteral("Standard 10"));
        QCOMPARE(gezeigt(QStringLiteral("neu2")), QStringLiteral("Standard 10"));
        // Bold is a font of its own: drawn bold all the same.
        QCOMPARE(gezeigt(QStringLiteral("fett")), QStringLiteral("Standard 7"));
        QCOMPARE(formatVon(d, QStringLiteral("fett")).fontWeight(), int(QFont::Bold));
        QCOMPARE(Rtf::schriftfamilie(formatVon(d, QStringLiteral("neu2"))), QStringLiteral("Fehlt 9"));
        QCOMPARE(Rtf::punktgroesse(formatVon(d, QStringLiteral("neu2"))), 11.0);
        QCOMPARE(Rtf::punktgroesse(formatVon(d, QStringLiteral("riesig"))), 1500.0);
    }

    void gewoehnlicheDokumenteUnveraendert_data()
    {
        QTest::addColumn<QString>("rtf");
        for (const char *name : {"wordpad.rtf", "word.rtf", "libreoffice.rtf", "textedit.rtf", "richtextbox.rtf"})
            QTest::newRow(name) << rtfDatei(QString::fromLatin1(name));
        QString text;
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("{\\f%1\\fs%2%3 Lauf %4 }")
                        .arg(i % 4)
                        .arg(16 + 4 * (i % 10))
                        .arg(i % 3 ? "" : "\\b")
                        .arg(i);
        QTest::newRow("vier Schriften in zehn Groessen")
            << QStringLiteral("{\\rtf1\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Calibri;}{\\f2 Courier "
                              "New;}{\\f3 Arial;}}%1}")
                   .arg(text);
    }

    void gewoehnlicheDokumenteUnveraendert()
    {
        // A remark with the fonts and sizes of everyday use is drawn in
        // every family and size it names.
        QFETCH(QString, rtf);
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
            QList<QTextFormat> formate{b.charFormat()};
            for (auto it = b.begin(); !it.atEnd(); ++it)
                formate << it.fragment().charFormat();
            for (const QTextFormat &f : formate) {
                const QTextCharFormat z = f.toCharFormat();
                QCOMPARE(z.fontFamilies().toStringList().value(0), Rtf::schriftfamilie(z));
                QCOMPARE(z.fontPointSize(), Rtf::punktgroesse(z));
                const auto eigene = f.properties().keys();
                QVERIFY(std::all_of(eigene.begin(), eigene.end(), [](int p) { return p < QTextFormat::UserProperty; }));
            }
        }
    }

    void schreibenUngewoehnliches()
    {
        // Sizes beyond what RTF can hold, font names with RTF's own
        // characters, characters that are no text.
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(QStringLiteral("riesig"), format("Arial", 1e9));
        c.insertText(QStringLiteral("winzig"), format("Arial", 0.1));
        c.insertText(QStringLiteral("seltsam"), format("A;b{c}\\d é", 12));
        c.insertText(QStringLiteral("x\u0001\u0007y\u00a0z"), format("Arial", 12));
        const QString rtf = Rtf::schreiben(d);
        QVERIFY(nurAscii(rtf));
        QVERIFY(rtf.contains(QLatin1String("\\fs3276 riesig")));
        QVERIFY(rtf.contains(QLatin1String("\\fs1 winzig")));
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        QCOMPARE(wieder.toPlainText(), QStringLiteral("riesigwinzigseltsamxy z"));
        QCOMPARE(formatVon(wieder, QStringLiteral("seltsam")).fontFamilies().toStringList().value(0),
                 QStringLiteral("Ab{c}\\d é"));
        QCOMPARE(formatVon(wieder, QStringLiteral("riesig")).fontPointSize(), 1638.0);
        // Only a font name loses its semicolon, the text keeps it.
        QTextDocument semikolon;
        QTextCursor(&semikolon).insertText(QStringLiteral("a;b"), format("A;b", 12));
        QTextDocument semikolonWieder;
        Rtf::lesen(Rtf::schreiben(semikolon), &semikolonWieder);
        QCOMPARE(semikolonWieder.toPlainText(), QStringLiteral("a;b"));
    }

    void eingefuegtesHtml()
    {
        // What pasting from a web page leaves in the box: sizes in pixels,
        // lists, tables, pictures. The text stays, the pictures go.
        QTextDocument d;
        d.setHtml(QStringLiteral("<p><span style='font-size:20px'>Pixel</span> <b>fett</b></p>"
                                 "<ul><li>eins</li></ul><table><tr><td>a</td><td>b</td></tr></table>"
                                 "<p>Bild <img src='x.png'> da</p>"));
        const QString rtf = Rtf::schreiben(d);
        QVERIFY(rtf.contains(QLatin1String("\\fs30 Pixel")));
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        QCOMPARE(wieder.toPlainText(), QStringLiteral("Pixel fett\neins\na\nb\n\nBild  da"));
        QCOMPARE(formatVon(wieder, QStringLiteral("fett")).fontWeight(), int(QFont::Bold));
    }

    void absatzmarke()
    {
        // An empty line keeps its size; an empty document stays one empty
        // paragraph.
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(QStringLiteral("oben"), format("Arial", 12));
        QTextCharFormat gross = format("Arial", 28);
        c.insertBlock(QTextBlockFormat(), gross);
        c.insertBlock(QTextBlockFormat(), format("Arial", 12));
        c.insertText(QStringLiteral("unten"), format("Arial", 12));
        QTextDocument wieder;
        Rtf::lesen(Rtf::schreiben(d), &wieder);
        QCOMPARE(wieder.blockCount(), 3);
        QCOMPARE(wieder.findBlockByNumber(1).charFormat().fontPointSize(), 28.0);

        QTextDocument leer;
        QTextDocument leerWieder;
        Rtf::lesen(Rtf::schreiben(leer), &leerWieder);
        QCOMPARE(leerWieder.blockCount(), 1);
        QVERIFY(leerWieder.isEmpty());
    }

    void lesenErsetztUndIstNichtRueckgaengig()
    {
        QTextDocument d;
        d.setPlainText(QStringLiteral("alt"));
        Rtf::lesen(QStringLiteral("{\\rtf1 neu}"), &d);
        QCOMPARE(d.toPlainText(), QStringLiteral("neu"));
        QVERIFY(!d.isUndoAvailable());
        QVERIFY(!d.isModified());
    }

    void textfeldVorgabe()
    {
        // What the remark box holds when the window is built, as the old
        // control stored it; the font name stays Arial.
        QTextDocument d;
        Rtf::lesen(rtfDatei(QStringLiteral("richtextbox.rtf")), &d);
        QCOMPARE(beschreibung(d), QStringLiteral("links:[Arial 12]RichTextBox1"));
        const QString rtf = Rtf::schreiben(d);
        QVERIFY(rtf.contains(QLatin1String("Arial;")));
        QVERIFY(rtf.contains(QLatin1String("\\fs24")));
    }

    void textverarbeitungen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("WordPad") << "wordpad.rtf";
        QTest::newRow("Word") << "word.rtf";
        QTest::newRow("LibreOffice") << "libreoffice.rtf";
    }

    void textverarbeitungen()
    {
        QFETCH(QString, name);
        const QString rtf = rtfDatei(name);
        QVERIFY(!rtf.isEmpty());
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        pruefeBericht(d);
        // Nothing from headers, footers, style sheets, pictures, theme data.
        for (const char *fremd :
             {"Kopfzeile", "Normal", "Msftedit", "LibreOffice", "Empfangsbericht", "504b03", "0100090000"})
            QVERIFY2(!d.toPlainText().contains(QLatin1String(fremd)), fremd);
        QCOMPARE(Rtf::alsText(rtf), d.toPlainText());

        QTextDocument wieder;
        Rtf::lesen(Rtf::schreiben(d), &wieder);
        QCOMPARE(beschreibung(wieder), beschreibung(d));
        pruefeBericht(wieder);
    }

    void textverarbeitungEinzelheiten()
    {
        QTextDocument word;
        Rtf::lesen(rtfDatei(QStringLiteral("word.rtf")), &word);
        // A font with \fcharset238 reads its bytes as Windows-1250.
        QVERIFY(word.toPlainText().contains(QStringLiteral("Ende łódź")));
        QCOMPARE(formatVon(word, QStringLiteral("Unterstrichen")).fontPointSize(), 14.0);
        QCOMPARE(formatVon(word, QStringLiteral("Unterstrichen")).fontFamilies().toStringList().value(0),
                 QStringLiteral("Times New Roman"));

        QTextDocument wordpad;
        Rtf::lesen(rtfDatei(QStringLiteral("wordpad.rtf")), &wordpad);
        QVERIFY(formatVon(wordpad, QStringLiteral("grün")).fontUnderline());
        QCOMPARE(formatVon(wordpad, QStringLiteral("grün")).foreground().color(), QColor(0, 128, 0));
        QVERIFY(wordpad.toPlainText().contains(QStringLiteral("·\tAufzählung")));
        QCOMPARE(formatVon(wordpad, QStringLiteral("Times 14")).fontPointSize(), 14.0);

        // TextEdit: a font table without groups, "\\" + line end as a new
        // paragraph, \uc0.
        QTextDocument textedit;
        Rtf::lesen(rtfDatei(QStringLiteral("textedit.rtf")), &textedit);
        QCOMPARE(textedit.toPlainText(), QStringLiteral("Empfang in Köln, Kanal 80, rot\n„Zitat“ €"));
        QCOMPARE(formatVon(textedit, QStringLiteral("Kanal")).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatVon(textedit, QStringLiteral("Kanal")).fontFamilies().toStringList().value(0),
                 QStringLiteral("Helvetica-Bold"));
        QCOMPARE(formatVon(textedit, QStringLiteral("rot")).foreground().color(), QColor(251, 0, 7));
        QCOMPARE(formatVon(textedit, QStringLiteral("Zitat")).foreground().style(), Qt::NoBrush);
    }

    void werkzeug()
    {
        const QString programm = QStringLiteral(TREMVIK_BIN "/tremvik-rtf");
        QProcess p;
        p.start(programm, {QStringLiteral("roundtrip"), datei(QStringLiteral("libreoffice.rtf"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString rtf = QString::fromLatin1(p.readAllStandardOutput());
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1")));
        QTextDocument d;
        Rtf::lesen(rtf, &d);
        pruefeBericht(d);

        p.start(programm, {QStringLiteral("totext"), datei(QStringLiteral("wordpad.rtf"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString text = Rtf::alsText(rtfDatei(QStringLiteral("wordpad.rtf")));
        QVERIFY(text.endsWith(QLatin1Char('\n')));   // the paragraph of the picture
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), text);

        p.start(programm, {QStringLiteral("totext"), QStringLiteral("/gibt/es/nicht.rtf")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("kann nicht gelesen werden")));

        p.start(programm, {QStringLiteral("anders")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("Aufruf: tremvik-rtf")));
    }

    void libreOfficeOeffnetGeschriebenes()
    {
        // Where LibreOffice is installed: it reads what schreiben() writes,
        // and its own RTF of it reads back with the same text and formats.
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice ist nicht installiert");
        // What the test needs is Writer with its RTF filter, which
        // distributions package apart from soffice itself. With them in
        // place, every failure of the conversion is one of the test.
        const QDir programm = QFileInfo(soffice).canonicalPath();
        for (const char *teil : {"libswlo.so", "libwriterfilterlo.so"})
            if (!programm.exists(QString::fromLatin1(teil)))
                QSKIP(qPrintable(QStringLiteral("LibreOffice Writer mit RTF-Filter ist nicht installiert (%1 fehlt)")
                                     .arg(programm.filePath(QString::fromLatin1(teil)))));
        QTextDocument d;
        Rtf::lesen(rtfDatei(QStringLiteral("wordpad.rtf")), &d);
        QTemporaryDir dir;
        QFile ein(dir.filePath(QStringLiteral("ein.rtf")));
        QVERIFY(ein.open(QIODevice::WriteOnly));
        ein.write(Rtf::schreiben(d).toLatin1());
        ein.close();
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profil")),
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("odt"),
                          QStringLiteral("--outdir"), dir.filePath(QStringLiteral("odt")), ein.fileName()});
        QVERIFY(p.waitForFinished(120000));
        const QString odt = dir.filePath(QStringLiteral("odt/ein.odt"));
        QVERIFY2(QFile::exists(odt), p.readAllStandardError().constData());
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profil")),
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                          QStringLiteral("--outdir"), dir.path(), odt});
        QVERIFY(p.waitForFinished(120000));
        QFile aus(dir.filePath(QStringLiteral("ein.rtf")));
        QVERIFY(aus.open(QIODevice::ReadOnly));
        const QString rtf = Rtf::ausBytes(aus.readAll());
        QVERIFY(rtf.contains(QLatin1String("LibreOffice")));
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        QCOMPARE(wieder.toPlainText(), d.toPlainText());
        pruefeBericht(wieder);
    }
};

TREMVIK_GUI_TEST_MAIN(TestRtf)
#include "tst_rtf.moc"
