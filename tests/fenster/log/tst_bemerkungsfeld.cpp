// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/eintraghilfe.h"
#include "kern/formate/rtf.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>

#define OEFFNEN(f)                                                                                                     \
    f.oeffnen();                                                                                                       \
    if (QTest::currentTestFailed())                                                                                    \
        return;

// Showing a remark with very many formatting runs: runs that look the same
// are laid out as one, beyond a bound the remark is shown without its
// formatting and the user is told, and what is stored stays as it is until
// the remark is changed.
class TestBemerkungsfeld : public QObject
{
    Q_OBJECT

    QStringList worte;

    // n runs in one paragraph, bold and italic by turns.
    static QString abwechselnd(int n, QString *text = nullptr)
    {
        QString laeufe;
        for (int i = 0; i < n; ++i) {
            const QString wort = QStringLiteral("Wort%1 ").arg(i);
            laeufe += QString::fromLatin1(i % 2 ? "{\\i %1}" : "{\\b %1}").arg(wort);
            if (text)
                *text += wort;
        }
        return QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard %1\\par}").arg(laeufe);
    }

    // n runs, each naming a font of its own (past the first few they are
    // all drawn in the same one), bold by pairs: n / 2 runs look different.
    static QString eigeneSchriften(int n)
    {
        QString schriften = QStringLiteral("{\\f0 Arial;}"), laeufe;
        for (int i = 0; i < n; ++i) {
            schriften += QStringLiteral("{\\f%1 Schrift %1;}").arg(i + 1);
            laeufe += QStringLiteral("{\\f%1%2 Wort%3 }").arg(i + 1).arg(i / 2 % 2 ? "\\b" : "").arg(i);
        }
        return QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl%1}\\pard %2\\par}").arg(schriften, laeufe);
    }

    // The formats the layout has to tell apart in the first paragraph.
    static int formatwechsel(const QTextDocument *d)
    {
        int wechsel = 0, vorher = -1;
        for (auto it = d->begin().begin(); !it.atEnd(); ++it) {
            wechsel += it.fragment().charFormatIndex() != vorher;
            vorher = it.fragment().charFormatIndex();
        }
        return wechsel;
    }

private Q_SLOTS:
    void init()
    {
        Testhilfe::leeren();
        worte.clear();
        Meldung::setzeStatusanzeige([this](const QString &text, QAction *) { worte << text; });
    }
    void cleanup() { Meldung::setzeStatusanzeige({}); }

    // An ordinary remark is shown with its formatting and without a word.
    void gewoehnlich()
    {
        Bemerkungsfeld feld;
        feld.zeigeRtf(
            QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b fett} und {\\i schr\\'e4g}\\par}"));
        QVERIFY(!feld.ohneFormatierung());
        QCOMPARE(feld.toPlainText(), QStringLiteral("fett und schräg"));
        QVERIFY(feld.document()->find(QStringLiteral("fett")).charFormat().fontWeight() >= QFont::Bold);
        QVERIFY(!feld.document()->isModified());
        QVERIFY(feld.toolTip().isEmpty() && worte.isEmpty());
        feld.zeigeRtf(QVariant());
        QCOMPARE(feld.toPlainText(), QString());
    }

    // 32,000 runs that all look different: shown as plain text, quickly,
    // and the box and the status bar say why.
    void zuVieleLaeufe()
    {
        QString text;
        const QString rtf = abwechselnd(32000, &text);
        Bemerkungsfeld feld;
        feld.resize(450, 265);
        feld.show();
        QElapsedTimer uhr;
        uhr.start();
        feld.zeigeRtf(rtf);
        (void)feld.grab();
        QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(feld.ohneFormatierung());
        QCOMPARE(feld.toPlainText(), text);
        QCOMPARE(formatwechsel(feld.document()), 1);
        QVERIFY(!feld.document()->isModified());
        QCOMPARE(feld.toolTip(), Bemerkungsfeld::ohneFormatierungText());
        QCOMPARE(worte, QStringList({Bemerkungsfeld::ohneFormatierungText()}));
        // The next remark shows as it is again; the earlier documents go.
        feld.zeigeRtf(QStringLiteral("{\\rtf1 {\\b kurz}}"));
        QVERIFY(!feld.ohneFormatierung() && feld.toolTip().isEmpty());
        QCOMPARE(feld.findChildren<QTextDocument *>(Qt::FindDirectChildrenOnly).size(), 1);
    }

    // Runs that differ only in what is not drawn (the names of fonts not
    // drawn) are laid out as one: the remark keeps its formatting, in time
    // linear in its runs.
    void gleichAussehendeLaeufe()
    {
        Bemerkungsfeld feld;
        feld.resize(450, 265);
        feld.show();
        QElapsedTimer uhr;
        uhr.start();
        feld.zeigeRtf(eigeneSchriften(32000));
        (void)feld.grab();
        QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(!feld.ohneFormatierung());
        QVERIFY(formatwechsel(feld.document()) <= 16000 + Rtf::maxSchriften);
        QVERIFY(feld.document()->find(QStringLiteral("Wort30002 ")).charFormat().fontWeight() >= QFont::Bold);
        QVERIFY(feld.document()->find(QStringLiteral("Wort30001 ")).charFormat().fontWeight() < QFont::Bold);
        QVERIFY(worte.isEmpty());
    }

    // In the log window: a record with such a remark keeps it byte for byte
    // when other fields are changed; changed itself, it is stored as shown.
    void gespeichertBleibtSie()
    {
        Eintraghilfe::Fenster f(nullptr);
        const QString rtf = abwechselnd(25000);
        f.sql(QStringLiteral("insert into Kontakt (callsign, frequenz, bemerkung) values ('DL1RTF', '1', '%1');")
                  .arg(rtf));
        const QString vorher = f.lies(QStringLiteral("select hex(bemerkung) from Kontakt"));
        OEFFNEN(f);
        frm_eintrag *w = f.w.get();
        f.zeile(0);
        QVERIFY(w->RichTextBox1->ohneFormatierung());
        QCOMPARE(w->RichTextBox1->toolTip(), Bemerkungsfeld::ohneFormatierungText());
        f.klick(w->cmd_bearbeiten);
        f.tippe(w->txt_callsign, QStringLiteral("DL2RTF"));
        f.klick(w->cmd_speichern);
        QCOMPARE(f.lies(QStringLiteral("select callsign from Kontakt")), QStringLiteral("DL2RTF"));
        QCOMPARE(f.lies(QStringLiteral("select hex(bemerkung) from Kontakt")), vorher);

        f.klick(w->cmd_bearbeiten);
        f.klick(w->RichTextBox1);
        w->RichTextBox1->moveCursor(QTextCursor::Start);
        QTest::keyClicks(w->RichTextBox1, QStringLiteral("Neu: "));
        f.klick(w->cmd_speichern);
        const QString neu = Rtf::alsText(f.lies(QStringLiteral("select bemerkung from Kontakt")));
        QVERIFY(neu.startsWith(QStringLiteral("Neu: Wort0 Wort1 ")));
        QVERIFY(neu.contains(QStringLiteral("Wort24999")));
        QVERIFY(Testhilfe::meldungen().isEmpty());
    }
};

TREMVIK_TEST_MAIN(TestBemerkungsfeld)
#include "tst_bemerkungsfeld.moc"
