// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/ergebnis.h"

#include <QtTest>

#include <memory>

// The outcome of expected failures: what it is decides, never its reason's
// text; a value only where the work was done.
class TestErgebnis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void artEntscheidetNichtDerText()
    {
        const Ergebnis<> ohneGrund = Ergebnis<>::fehler(QString());
        QVERIFY(!ohneGrund.ok());
        QVERIFY(!ohneGrund);
        QVERIFY(ohneGrund.istFehler());

        const Ergebnis<> stop = Ergebnis<>::abgebrochen();
        QVERIFY(!stop.ok() && !stop.istFehler() && stop.istAbgebrochen());
        QVERIFY(stop.grund().isEmpty());

        const Ergebnis<> gut = Ergebnis<>::erledigt();
        QVERIFY(gut.ok() && bool(gut) && !gut.istFehler() && !gut.istAbgebrochen());
    }

    void wertNurWennErledigt()
    {
        Ergebnis<std::unique_ptr<int>> e = Ergebnis<std::unique_ptr<int>>::erledigt(std::make_unique<int>(7));
        QCOMPARE(*e.wert(), 7);
        const auto f = Ergebnis<QString>::fehler(QStringLiteral("Der Datenträger ist voll."));
        QCOMPARE(f.grund(), QStringLiteral("Der Datenträger ist voll."));
        QVERIFY_THROWS_EXCEPTION(std::bad_optional_access, f.wert());
    }

    void weitergereicht()
    {
        const auto f = Ergebnis<>::weiter(Ergebnis<int>::fehler(QStringLiteral("kaputt")));
        QVERIFY(f.istFehler());
        QCOMPARE(f.grund(), QStringLiteral("kaputt"));
        QVERIFY(Ergebnis<QString>::weiter(Ergebnis<>::abgebrochen()).istAbgebrochen());
        // A success is no failure to pass on; it must not turn into one that
        // reads as done.
        QVERIFY(!Ergebnis<int>::weiter(Ergebnis<>::erledigt()).ok());
    }
};

QTEST_APPLESS_MAIN(TestErgebnis)
#include "tst_ergebnis.moc"
