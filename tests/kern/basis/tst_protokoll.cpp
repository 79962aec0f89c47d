// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/protokoll.h"

#include <QtTest>

// The diagnostics are silent until switched on, and text from outside never
// makes a line longer than its bound nor breaks it.
class TestProtokoll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stummBisEingeschaltet()
    {
        for (const QLoggingCategory *k :
             {&protokollEmpfaenger(), &protokollSicherung(), &protokollImport(), &protokollDaten()}) {
            QVERIFY2(QByteArray(k->categoryName()).startsWith("tremvik."), k->categoryName());
            QVERIFY(!k->isDebugEnabled() && !k->isInfoEnabled() && !k->isWarningEnabled());
        }
        QLoggingCategory::setFilterRules(QStringLiteral("tremvik.empfaenger.debug=true"));
        QVERIFY(protokollEmpfaenger().isDebugEnabled());
        QVERIFY(!protokollDaten().isDebugEnabled());
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(!protokollEmpfaenger().isDebugEnabled());
    }

    void fremderTextBegrenzt()
    {
        QCOMPARE(Protokoll::kurz(QStringLiteral("RPRT -11")), QStringLiteral("RPRT -11"));
        QCOMPARE(Protokoll::kurz(QStringLiteral("a\nb\r\x1b[2J\\")), QStringLiteral("a\\nb\\r\\x1b[2J\\\\"));
        QCOMPARE(Protokoll::kurz(QString(500, QLatin1Char('x')), 10), QString(10, QLatin1Char('x')) + QChar(0x2026));

        // A flood of bytes: bounded, one line, decoded only as far as shown.
        const QByteArray flut = QByteArray(10 * 1024 * 1024, '\n');
        const QString zeile = Protokoll::kurz(flut, 20);
        QCOMPARE(zeile.size(), 2 * 20 + 1);
        QVERIFY(!zeile.contains(QLatin1Char('\n')));
        QCOMPARE(Protokoll::kurz(QByteArray("Fre\xff\xfeq")), QStringLiteral("Fre\\ufffd\\ufffdq"));
        QCOMPARE(Protokoll::kurz(QByteArray("abc"), 3), QStringLiteral("abc"));
    }
};

QTEST_APPLESS_MAIN(TestProtokoll)
#include "tst_protokoll.moc"
