// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/rtfhilfe.h"
#include "testhilfe.h"

#include <QFontDatabase>
#include <QTextEdit>

// The remark's RTF in the box the user sees: read into it in one go, drawn
// in a bounded number of fonts, and typed into after text in a stand-in
// font.
using namespace Rtfhilfe;

class TestRtfFeld : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vieleLaeufe()
    {
        // One paragraph of 32,000 runs: the document is built in one go, as
        // often told of a change (and laid out anew) as for a single run, and
        // every run keeps its format.
        constexpr int laeufe = 32000;
        auto absatz = [](int n) {
            QString rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}");
            for (int i = 0; i < n; ++i)
                rtf += QString::fromLatin1(i % 2 ? "{\\i w%1 }" : "{\\b w%1 }").arg(i);
            return rtf + QLatin1Char('}');
        };
        QTextEdit feld;
        QTextDocument *d = feld.document();
        int aenderungen = 0;
        connect(d, &QTextDocument::contentsChange, this, [&] { ++aenderungen; });
        Rtf::lesen(absatz(1), d);
        const int eineAenderungen = aenderungen;
        aenderungen = 0;
        Rtf::lesen(absatz(laeufe), d);
        QCOMPARE(aenderungen, eineAenderungen);
        QCOMPARE(d->blockCount(), 1);
        int n = 0;
        for (auto it = d->begin().begin(); !it.atEnd(); ++it, ++n) {
            const QTextFragment f = it.fragment();
            QCOMPARE(f.text(), QStringLiteral("w%1 ").arg(n));
            QCOMPARE(f.charFormat().fontWeight() >= QFont::DemiBold, n % 2 == 0);
            QCOMPARE(f.charFormat().fontItalic(), n % 2 == 1);
        }
        QCOMPARE(n, laeufe);

        const QString geschrieben = Rtf::schreiben(*d);
        QTextDocument wieder;
        Rtf::lesen(geschrieben, &wieder);
        QCOMPARE(beschreibung(wieder), beschreibung(*d));
        QCOMPARE(Rtf::schreiben(wieder), geschrieben);
    }

    void vieleSchriftenZeigen_data()
    {
        QTest::addColumn<int>("anzahl");
        QTest::addColumn<QString>("art");
        QTest::newRow("16000 fehlende Schriften") << 16000 << "Schriften";
        QTest::newRow("3200 Groessen") << 3200 << "Groessen";
        QTest::newRow("Schriften, Groessen und Arten gemischt") << 12000 << "gemischt";
    }

    void vieleSchriftenZeigen()
    {
        // A remark with thousands of fonts is drawn in a bounded number of
        // them: every weight, slant and alignment as given, families and
        // sizes beyond the limit in fonts drawn already. What is written
        // back is what the RTF held, byte for byte.
        QFETCH(int, anzahl);
        QFETCH(QString, art);
        const QStringList installiert = QFontDatabase::families().mid(0, 8);
        const auto format = [&](int i) {
            QTextCharFormat f;
            if (art == QLatin1String("Schriften")) {
                f.setFontFamilies({QStringLiteral("Fehlt %1").arg(i)});
                f.setFontPointSize(12);
            } else if (art == QLatin1String("Groessen")) {
                f.setFontFamilies({QStringLiteral("Arial")});
                f.setFontPointSize((i + 1) / 2.0);
            } else {
                const int familie = i % 24;
                f.setFontFamilies(
                    {familie < installiert.size() ? installiert.at(familie) : QStringLiteral("Fehlt %1").arg(familie)});
                f.setFontPointSize(6 + i % 50);
                f.setFontWeight(i % 2 ? QFont::Bold : QFont::Normal);
                f.setFontItalic(i % 4 >= 2);
                f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(i / 4 % 3));
            }
            return f;
        };
        const QTextDocument *vorlage = laeufe(anzahl, format, this);
        const QString rtf = Rtf::schreiben(*vorlage);

        QTextEdit feld;
        feld.resize(600, 400);
        Rtf::lesen(rtf, feld.document());
        feld.show();
        QVERIFY(!feld.grab().isNull());
        const QSet<QString> schriften = gezeichneteSchriften(*feld.document());
        // Well below the few hundred fonts past which Qt's font cache drops
        // and rebuilds them while drawing.
        QVERIFY2(schriften.size() <= 100, qPrintable(QString::number(schriften.size())));
        QCOMPARE(Rtf::schreiben(*feld.document()), rtf);

        int n = 0;
        for (auto it = feld.document()->begin().begin(); !it.atEnd(); ++it, ++n) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QTextCharFormat soll = format(n);
            QCOMPARE(it.fragment().text(), QStringLiteral("w%1 ").arg(n));
            QCOMPARE(Rtf::schriftfamilie(f), soll.fontFamilies().toStringList().value(0));
            QCOMPARE(Rtf::punktgroesse(f), soll.fontPointSize());
            QCOMPARE(f.fontWeight(), soll.fontWeight());
            QCOMPARE(f.fontItalic(), soll.fontItalic());
            QCOMPARE(f.verticalAlignment(), soll.verticalAlignment());
        }
        QCOMPARE(n, anzahl);
    }

    void eingabeNachErsatzschrift()
    {
        // Text typed after a run drawn in a stand-in font takes over the
        // run's own font and size; a size or family the user gives a run
        // replaces them.
        QString tabelle, text;
        for (int i = 0; i <= Rtf::maxSchriften + 1; ++i) {
            tabelle += QStringLiteral("{\\f%1 Fehlt %1;}").arg(i);
            text += QStringLiteral("{\\f%1\\fs%2 w%1 }").arg(i).arg(20 + i);
        }
        text += QStringLiteral("{\\f0\\fs%1 zuletzt}").arg(300);
        QTextEdit feld;
        Rtf::lesen(QStringLiteral("{\\rtf1{\\fonttbl%1}%2}").arg(tabelle, text), feld.document());
        const QTextCharFormat letzte = formatVon(*feld.document(), QStringLiteral("zuletzt"));
        QVERIFY(letzte.fontPointSize() != 150.0);
        QVERIFY(formatVon(*feld.document(), QStringLiteral("w64")).fontFamilies().toStringList().isEmpty());

        feld.moveCursor(QTextCursor::End);
        QTest::keyClicks(&feld, QStringLiteral(" getippt"));
        QTextCursor c = feld.document()->find(QStringLiteral("w64 "));
        QTextCharFormat fett;
        fett.setFontWeight(QFont::Bold);
        c.mergeCharFormat(fett);
        QTextCursor groesse = feld.document()->find(QStringLiteral("w63 "));
        QTextCharFormat zwanzig;
        zwanzig.setFontPointSize(20);
        groesse.mergeCharFormat(zwanzig);
        QTextCursor familie = feld.document()->find(QStringLiteral("w65 "));
        QTextCharFormat courier;
        courier.setFontFamilies({QStringLiteral("Courier New")});
        familie.mergeCharFormat(courier);

        const QString rtf = Rtf::schreiben(*feld.document());
        QVERIFY2(rtf.contains(QLatin1String("\\fs300 zuletzt getippt}")), qPrintable(rtf.right(300)));
        QVERIFY(rtf.contains(QLatin1String("Fehlt 64;")));
        QVERIFY(rtf.contains(QLatin1String("\\fs84\\b w64 }")));
        QVERIFY(rtf.contains(QLatin1String("\\fs40 w63 }")));
        QVERIFY(rtf.contains(QLatin1String("Courier New;")));
        QVERIFY(!rtf.contains(QLatin1String("Fehlt 65;")));
    }
};

TREMVIK_TEST_MAIN(TestRtfFeld)
#include "tst_rtffeld.moc"
