// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/frequenz.h"

#include <QtTest>

// The converter is exact at every length of the decimals and refuses what
// is not a frequency instead of guessing.
class TestFrequenz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hertz_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("hz");
        QTest::newRow("drei Stellen") << "145,500" << qint64(145'500'000);
        QTest::newRow("fünf Stellen, kein Rundungsfehler") << "169,40625" << qint64(169'406'250);
        QTest::newRow("vier Stellen") << "145,7875" << qint64(145'787'500);
        QTest::newRow("kHz unter 1 MHz") << "0,1291" << qint64(129'100);
        QTest::newRow("Langwelle, eine Stelle") << "0,1" << qint64(100'000);
        QTest::newRow("ohne Nachkommastellen") << "27" << qint64(27'000'000);
        QTest::newRow("Komma am Ende") << "27," << qint64(27'000'000);
        QTest::newRow("Komma vorn") << ",5" << qint64(500'000);
        QTest::newRow("Punkt statt Komma") << "118.805" << qint64(118'805'000);
        QTest::newRow("Leerzeichen außen") << "  84,295 \t" << qint64(84'295'000);
        QTest::newRow("Einheit") << "433,92 MHz" << qint64(433'920'000);
        QTest::newRow("Einheit klein, ohne Blank") << "433,92mhz" << qint64(433'920'000);
        QTest::newRow("sechs Stellen: 1 Hz") << "0,000001" << qint64(1);
        QTest::newRow("Nullen über sechs Stellen") << "145,50000000" << qint64(145'500'000);
        QTest::newRow("führende Nullen") << "0084,295" << qint64(84'295'000);
        QTest::newRow("Null") << "0" << qint64(0);
        QTest::newRow("größte") << "999999,999999" << Frequenz::hoechsteHz;
    }
    void hertz()
    {
        QFETCH(QString, text);
        QFETCH(qint64, hz);
        QCOMPARE(Frequenz::hertz(text), std::optional<qint64>(hz));
        QVERIFY(Frequenz::einwand(text).isEmpty());
    }

    void keineFrequenz_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *t : {"", "   ", ",", "MHz", "-145,5", "+145,5", "1.296,000", "145,500,0", "145 500",
                              "145,5 kHz", "abc", "145,5a", "1e6", "145,50000001", "1000000", "0x10", "١٤٥"})
            QTest::newRow(t) << QString::fromUtf8(t);
    }
    void keineFrequenz()
    {
        QFETCH(QString, text);
        QCOMPARE(Frequenz::hertz(text), std::nullopt);
        const QString grund = Frequenz::einwand(text);
        QVERIFY(grund.contains(QStringLiteral("keine Frequenz")));
    }

    void text_data()
    {
        QTest::addColumn<qint64>("hz");
        QTest::addColumn<QString>("text");
        QTest::newRow("drei Stellen bleiben") << qint64(145'500'000) << "145,500";
        QTest::newRow("mehr wo nötig") << qint64(169'406'250) << "169,40625";
        QTest::newRow("unter 1 MHz") << qint64(129'100) << "0,1291";
        QTest::newRow("ganze MHz") << qint64(27'000'000) << "27,000";
        QTest::newRow("1 Hz") << qint64(1) << "0,000001";
    }
    void text()
    {
        QFETCH(qint64, hz);
        QFETCH(QString, text);
        QCOMPARE(Frequenz::mhzText(hz), text);
        QCOMPARE(Frequenz::hertz(text), std::optional<qint64>(hz));
    }

    void andereSchreibweise()
    {
        QCOMPARE(Frequenz::mhzText(118'805'000, QLatin1Char('.')), QStringLiteral("118.805"));
        QCOMPARE(Frequenz::mhzText(27'000'000, QLatin1Char('.'), 0), QStringLiteral("27"));
        QCOMPARE(Frequenz::mhzText(-1), QString());
    }

    // Every frequency of the shipped lists converts, and back to the same value.
    void ausgelieferteListen()
    {
        const QString ordner = QStringLiteral(TREMVIK_QUELLEN "/db/frequenzen/");
        int geprueft = 0;
        for (const char *datei : {"bos.csv", "flugfunk.csv", "afu.csv", "fernwirken.csv"}) {
            QFile f(ordner + QLatin1String(datei));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString inhalt = QString::fromUtf8(f.readAll());
            static const QRegularExpression wert(QStringLiteral("\"(\\d+,\\d+)\""));
            for (auto it = wert.globalMatch(inhalt); it.hasNext();) {
                const QString t = it.next().captured(1);
                const auto hz = Frequenz::hertz(t);
                QVERIFY2(hz.has_value(), qPrintable(t));
                QCOMPARE(Frequenz::hertz(Frequenz::mhzText(*hz)), hz);
                ++geprueft;
            }
        }
        QVERIFY(geprueft > 1000);
    }

    // Every aviation channel name leads to its carrier and back to the same
    // name; a carrier on a 25 kHz edge is the 25 kHz channel unless the
    // 8.33 kHz one is asked for, and values beside the raster stay.
    void flugfunkkanalHinUndZurueck()
    {
        for (qint64 name = 117'975'000; name <= 137'000'000; name += 5000) {
            const Funkdienste::Kanal k = Funkdienste::flugfunk(name);
            QCOMPARE(Funkdienste::flugfunkName(k.hz, k.achtKomma33), name);
        }
        QCOMPARE(Funkdienste::flugfunkName(118'808'333), qint64(118'810'000));
        QCOMPARE(Funkdienste::flugfunkName(118'816'667), qint64(118'815'000));
        QCOMPARE(Funkdienste::flugfunkName(118'800'000), qint64(118'800'000));
        QCOMPARE(Funkdienste::flugfunkName(118'800'000, true), qint64(118'805'000));
        for (const qint64 hz : {qint64(118'808'000), qint64(118'803'000), qint64(243'008'333), qint64(0)})
            QCOMPARE(Funkdienste::flugfunkName(hz, true), hz);
    }
};

QTEST_APPLESS_MAIN(TestFrequenz)
#include "tst_frequenz.moc"
