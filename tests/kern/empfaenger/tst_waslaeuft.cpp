// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/datenfehler.h"
#include "kern/empfaenger/waslaeuft.h"
#include "kernhilfe.h"

// "What is on this frequency?" over a frequency database: each service's
// raster, 8.33 kHz aviation channels, repeater input and output, the
// adjustable telecontrol raster, the order of the rows found.
class TestWasLaeuft : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testhilfe::Programmordner> ordner;

    // The rows found, as "list frequency distance" (and "E" for an input).
    static QStringList funde(const WasLaeuft &w, qint64 hz) { return text(w.suche(hz)); }
    static QStringList text(const QVector<WasLaeuft::Fund> &funde)
    {
        QStringList l;
        for (const WasLaeuft::Fund &f : funde)
            l << QStringLiteral("%1 %2 %3%4")
                     .arg(Funkdienste::name(f.dienst), f.frequenzText, QString::number(f.abstand),
                          f.eingabe ? QStringLiteral(" E") : QString());
        return l;
    }

private Q_SLOTS:
    void init()
    {
        ordner = std::make_unique<Testhilfe::Programmordner>();
        Testhilfe::sql(
            ordner->frequenzDatei(),
            QStringLiteral("insert into bos values ('HH','Hamburg','Feuerwehr','Florian Hamburg 1','464','86,355');"
                           "insert into bos values ('HH','Hamburg','Polizei','Peter 1','465','86,375');"
                           "insert into bos values ('XX','Nirgends',NULL,NULL,NULL,'86,36x');"
                           "insert into bos values ('HH','Hafen','Wasserschutz','Wasser 1','','433,050');"
                           "insert into flugfunk values ('118,805','Hamburg (EDDH) TWR');"
                           "insert into flugfunk values ('118,810','Bremen (EDDW) GND');"
                           "insert into flugfunk values ('118,800','Altkanal 25 kHz');"
                           "insert into flugfunk values ('243,000','UHF');"
                           "insert into afu values ('Relais A','145,0000','145,6000');"
                           "insert into afu values ('Relais B','438,6500',NULL);"
                           "insert into fernwirken values ('169,40625','Ebersberg','Stadtwerke','Wasser','ZFA 1');"
                           "insert into fernwirken values ('169,4125','Kempten','Zweckverband','Wasser','ZFA 2');"
                           "insert into fernwirken values ('433,050','Hamburg','Hafen AG','Kran','KR 2');"
                           "insert into fernwirken values (' 86,356 ','Hamburg','Werk','Pumpe','P 1');"));
    }
    void cleanup() { ordner.reset(); }

    void bosRaster()
    {
        const WasLaeuft w(ordner->frequenzDatei());
        // 20 kHz raster: half of it either side, the neighbour channel not.
        QCOMPARE(funde(w, 86355000), QStringList({"BOS 86,355 0"}));
        QCOMPARE(funde(w, 86366000), QStringList({"BOS 86,375 9000"}));
        // Right between two channels both count, in the table's order.
        QCOMPARE(funde(w, 86365000), QStringList({"BOS 86,355 -10000", "BOS 86,375 10000"}));
        QCOMPARE(funde(w, 86000000), QStringList());
        // Rows whose value is no frequency are left out and counted; so is
        // the repeater without an output.
        QCOMPARE(w.ohneFrequenz(), 2);
        const WasLaeuft::Fund f = w.suche(86355000).value(0);
        QCOMPARE(f.ort, QStringLiteral("Hamburg"));
        QCOMPARE(f.angaben, QStringLiteral("Feuerwehr, Florian Hamburg 1, Kanal 464"));
    }

    void flugfunkKanaele()
    {
        // 8.33 kHz channel names and their carriers.
        QCOMPARE(Funkdienste::flugfunk(118805000).hz, 118800000);
        QCOMPARE(Funkdienste::flugfunk(118810000).hz, 118808333);
        QCOMPARE(Funkdienste::flugfunk(118815000).hz, 118816667);
        QCOMPARE(Funkdienste::flugfunk(136990000).hz, 136991667);
        QVERIFY(Funkdienste::flugfunk(118805000).achtKomma33);
        // A 25 kHz channel, a UHF frequency and an odd value are what they say.
        for (qint64 hz : {118800000LL, 243005000LL, 118820000LL, 118801000LL}) {
            QCOMPARE(Funkdienste::flugfunk(hz).hz, hz);
            QCOMPARE(Funkdienste::flugfunk(hz).rasterHz, 12500);
        }
        QCOMPARE(Funkdienste::traeger(Funkdienst::Flugfunk, 118805000), 118800000);
        QCOMPARE(Funkdienste::traeger(Funkdienst::Bos, 118805000), 118805000);
        QCOMPARE(Funkdienste::modulation(Funkdienst::Flugfunk), Modulation::Am);
        QCOMPARE(Funkdienste::modulation(Funkdienst::Afu), Modulation::FmSchmal);

        const WasLaeuft w(ordner->frequenzDatei());
        // On 118,800 MHz: the 8.33 kHz channel "118,805" and the 25 kHz one.
        QCOMPARE(funde(w, 118800000), QStringList({"Flugfunk 118,805 0", "Flugfunk 118,800 0"}));
        // 4 kHz off: still both (8.33 kHz reaches 4166 Hz, 12.5 kHz 6250 Hz).
        QCOMPARE(funde(w, 118804000), QStringList({"Flugfunk 118,805 -4000", "Flugfunk 118,800 -4000"}));
        // Near the next 8.33 kHz carrier only that channel.
        QCOMPARE(funde(w, 118808000), QStringList({"Flugfunk 118,810 333"}));
        QCOMPARE(w.suche(118808000).value(0).angaben, QStringLiteral("8,33-kHz-Kanal, Träger 118,808333 MHz"));
        QCOMPARE(funde(w, 243000000), QStringList({"Flugfunk 243,000 0"}));
    }

    void kanalnameUndTraeger()
    {
        // An 8.33 kHz channel asked for by its name, as the list and many a
        // receiver's display write it, or by its carrier: the same rows.
        const WasLaeuft w(ordner->frequenzDatei());
        for (qint64 hz : {118805000LL, 118800000LL})
            QCOMPARE(funde(w, hz), QStringList({"Flugfunk 118,805 0", "Flugfunk 118,800 0"}));
        for (qint64 hz : {118810000LL, 118808333LL})
            QCOMPARE(funde(w, hz), QStringList({"Flugfunk 118,810 0"}));
        // Away from the aviation band a value means itself.
        QCOMPARE(funde(w, 86355000), QStringList({"BOS 86,355 0"}));
    }

    void naechsteEintraege()
    {
        const WasLaeuft w(ordner->frequenzDatei());
        // Nothing on 433,000 MHz: the nearest of each list, nearest first,
        // whichever side (the nearest of all lies above it).
        QVERIFY(w.suche(433000000).isEmpty());
        QCOMPARE(text(w.naechste(433000000, 1)),
                 QStringList({"BOS 433,050 50000", "Fernwirken 433,050 50000", "AFU-Repeater 438,6500 5650000 E",
                              "Flugfunk 243,000 -190000000"}));
        // Several of a list, from both sides by distance.
        QCOMPARE(text(w.naechste(100000000, 2)).filter(QStringLiteral("BOS")),
                 QStringList({"BOS 86,375 -13625000", "BOS 86,355 -13645000"}));
        QCOMPARE(text(w.naechste(300000000, 3)).filter(QStringLiteral("BOS")),
                 QStringList({"BOS 433,050 133050000", "BOS 86,375 -213625000", "BOS 86,355 -213645000"}));
        // An aviation channel name counts from its carrier.
        QCOMPARE(text(w.naechste(118830000, 1)).filter(QStringLiteral("Flugfunk")),
                 QStringList({"Flugfunk 118,810 -16667"}));
    }

    void relaisEinUndAusgabe()
    {
        const WasLaeuft w(ordner->frequenzDatei());
        QCOMPARE(funde(w, 145600000), QStringList({"AFU-Repeater 145,6000 0"}));
        QCOMPARE(funde(w, 145000000), QStringList({"AFU-Repeater 145,0000 0 E"}));
        QCOMPARE(w.suche(145000000).value(0).angaben, QStringLiteral("Eingabe (Ausgabe 145,6000)"));
        QCOMPARE(w.suche(145000000).value(0).ort, QStringLiteral("Relais A"));
        // 12.5 kHz raster: 6250 Hz either side, not one hertz more.
        QCOMPARE(funde(w, 145006250), QStringList({"AFU-Repeater 145,0000 -6250 E"}));
        QCOMPARE(funde(w, 145006251), QStringList());
        QCOMPARE(funde(w, 438650000), QStringList({"AFU-Repeater 438,6500 0 E"}));
    }

    void fernwirkRasterUndReihenfolge()
    {
        WasLaeuft w(ordner->frequenzDatei());
        QCOMPARE(w.fernwirkRaster(), 1000);
        QCOMPARE(funde(w, 169406250), QStringList({"Fernwirken 169,40625 0"}));
        QCOMPARE(funde(w, 169409000), QStringList());
        // A coarser raster takes in the neighbours, nearest first.
        w.setzeFernwirkRaster(12500);
        QCOMPARE(funde(w, 169409000), QStringList({"Fernwirken 169,40625 -2750", "Fernwirken 169,4125 3500"}));
        // Across lists: nearest first; at the same distance in menu order.
        QCOMPARE(funde(w, 86355000), QStringList({"BOS 86,355 0", "Fernwirken 86,356 1000"}));
        QCOMPARE(funde(w, 433050000), QStringList({"BOS 433,050 0", "Fernwirken 433,050 0"}));
        w.setzeFernwirkRaster(0);
        QCOMPARE(w.fernwirkRaster(), 1);
    }

    void fehlendeDatenbank()
    {
        QVERIFY_THROWS_EXCEPTION(DatenFehler, WasLaeuft(ordner->pfad() + QStringLiteral("/gibtsnicht")));
        Testhilfe::sql(ordner->frequenzDatei(), QStringLiteral("drop table afu;"));
        QVERIFY_THROWS_EXCEPTION(DatenFehler, WasLaeuft(ordner->frequenzDatei()));
    }
};

TREMVIK_KERN_TEST_MAIN(TestWasLaeuft)
#include "tst_waslaeuft.moc"
