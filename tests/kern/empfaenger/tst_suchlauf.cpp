// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/empfaengerhilfe.h"
#include "kern/empfaenger/rigctl.h"
#include "kern/empfaenger/suchlauf.h"

using Phase = Suchlauf::Phase;

namespace {

// A clock the test moves on by hand. A scan waits on it for its dwell and
// between readings while halted; everything else comes from the receiver.
class Testuhr : public Suchuhr
{
public:
    qint64 jetztMs = 0;
    QDateTime basis{QDate(2026, 5, 1), QTime(21, 45, 0)};

    qint64 ms() const override { return jetztMs; }
    QDateTime jetzt() const override { return basis.addMSecs(jetztMs); }
    void nach(int ms, QObject *kontext, std::function<void()> f) override
    {
        m_wecker.push_back({jetztMs + ms, kontext, std::move(f)});
    }
    bool wartet() const { return !m_wecker.empty(); }

    // The scan whose changes vor() watches.
    Suchlauf *suchlauf = nullptr;

    // Lets up to ms pass, one waiting call after the other; after each, the
    // receiver's answers are awaited until the scan waits on the clock
    // again. Ends early, at once, when a change of the scan makes genug()
    // hold, and returns whether it did.
    bool vor(
        qint64 ms, const std::function<bool()> &genug = [] { return false; })
    {
        bool erreicht = false;
        const QMetaObject::Connection c =
            QObject::connect(suchlauf, &Suchlauf::standGeaendert, [&] { erreicht = erreicht || genug(); });
        const qint64 ziel = jetztMs + ms;
        while (!m_wecker.empty() && !erreicht) {
            auto naechster = std::min_element(m_wecker.begin(), m_wecker.end(),
                                              [](const Wecker &a, const Wecker &b) { return a.zeit < b.zeit; });
            if (naechster->zeit > ziel)
                break;
            const Wecker w = *naechster;
            m_wecker.erase(naechster);
            jetztMs = w.zeit;
            if (w.kontext)
                w.f();
            QElapsedTimer frist;
            frist.start();
            while (m_wecker.empty() && !erreicht && frist.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        QObject::disconnect(c);
        if (!erreicht)
            jetztMs = ziel;
        return erreicht;
    }

private:
    struct Wecker
    {
        qint64 zeit;
        QPointer<QObject> kontext;
        std::function<void()> f;
    };
    std::vector<Wecker> m_wecker;
};

QVector<Suchkanal> bosKanaele(const QStringList &frequenzen)
{
    Kanalliste l(Funkdienst::Bos);
    for (const QString &f : frequenzen)
        l.zeile(f, QStringLiteral("Ort ") + f, QStringLiteral("Ruf ") + f);
    return l.kanaele();
}

QStringList trefferListe(const Suchlauf &s)
{
    QStringList l;
    for (const Suchtreffer &t : s.treffer())
        l << t.kanal.frequenzText;
    return l;
}

}   // namespace

// The scan against a rigctl server of the test's that has a signal on
// chosen frequencies only, with the clock in the test's hand.
class TestSuchlauf : public QObject
{
    Q_OBJECT

    std::unique_ptr<Empfaengerhilfe::Server> server;
    std::unique_ptr<RigctlEmpfaenger> empfaenger;
    Testuhr *uhr = nullptr;
    std::unique_ptr<Suchlauf> suchlauf;

    const QStringList frequenzen{"86,355", "86,375", "86,395", "86,415", "86,435"};

    // The defaults, but no dwell: the scan goes by the receiver's answers
    // alone, and by the clock only while halted.
    static Suchlauf::Einstellung schnell()
    {
        Suchlauf::Einstellung e;
        e.verweilenMs = 0;
        return e;
    }

    void aufbauen(const Suchlauf::Einstellung &e = schnell())
    {
        server = std::make_unique<Empfaengerhilfe::Server>();
        empfaenger = std::make_unique<RigctlEmpfaenger>();
        RigctlEmpfaenger::Fristen f;
        f.antwortMs = 1500;
        f.wiederholungMs = 300;
        f.abfrageMs = 60000;   // no readings between the scan's steps
        empfaenger->setzeFristen(f);
        empfaenger->verbinden(QStringLiteral("127.0.0.1"), server->port());
        QTRY_VERIFY(empfaenger->verbunden());
        auto eigene = std::make_unique<Testuhr>();
        uhr = eigene.get();
        suchlauf = std::make_unique<Suchlauf>(empfaenger.get(), std::move(eigene));
        uhr->suchlauf = suchlauf.get();
        suchlauf->setzeEinstellung(e);
        suchlauf->setzeKanaele(bosKanaele(frequenzen));
    }

    Phase phase() const { return suchlauf->stand().phase; }
    int kanal() const { return suchlauf->stand().kanal; }

private Q_SLOTS:
    void cleanup()
    {
        suchlauf.reset();
        empfaenger.reset();
        server.reset();
    }

    void kanaeleAusZeilen()
    {
        // One channel per frequency tuned to, in the rows' order, with the
        // first row's place and call name.
        Kanalliste bos(Funkdienst::Bos);
        bos.zeile(QStringLiteral(" 86,355 "), QStringLiteral("Hamburg"), QStringLiteral("Florian Hamburg 1"));
        bos.zeile(QStringLiteral("172,940"), QStringLiteral("Hameln"), QString());
        bos.zeile(QStringLiteral("86,3550"), QStringLiteral("Harburg"), QStringLiteral("Florian Harburg"));
        bos.zeile(QStringLiteral("unbekannt"), QStringLiteral("Irgendwo"), QString());
        bos.zeile(QString(), QString(), QString());
        QCOMPARE(bos.kanaele().size(), 2);
        QCOMPARE(bos.ohneFrequenz(), 2);
        const Suchkanal &k = bos.kanaele().at(0);
        QCOMPARE(k.frequenzText, QStringLiteral("86,355"));
        QCOMPARE(k.hz, 86355000);
        QCOMPARE(k.ort, QStringLiteral("Hamburg"));
        QCOMPARE(k.rufname, QStringLiteral("Florian Hamburg 1"));
        QCOMPARE(k.zeilen, 2);
        QCOMPARE(k.modulation, Modulation::FmSchmal);

        // Aviation: AM on the carrier; a channel name and its 25 kHz twin on
        // the same carrier are one channel.
        Kanalliste flug(Funkdienst::Flugfunk);
        flug.zeile(QStringLiteral("118,805"), QStringLiteral("Hamburg TWR"), QString());
        flug.zeile(QStringLiteral("118,800"), QStringLiteral("Altkanal"), QString());
        flug.zeile(QStringLiteral("118,810"), QStringLiteral("Bremen GND"), QString());
        QCOMPARE(flug.kanaele().size(), 2);
        QCOMPARE(flug.kanaele().at(0).hz, 118800000);
        QCOMPARE(flug.kanaele().at(0).modulation, Modulation::Am);
        QCOMPARE(flug.kanaele().at(1).hz, 118808333);
        QCOMPARE(flug.kanaele().at(1).frequenzText, QStringLiteral("118,810"));

        // Nothing a receiver cannot have.
        Kanalliste fw(Funkdienst::Fernwirken);
        fw.zeile(QStringLiteral("400000"), QString(), QString());   // 400 GHz
        QCOMPARE(fw.kanaele().size(), 0);
        QCOMPARE(fw.ohneFrequenz(), 1);
    }

    void haeltAufDenAktivenKanaelen()
    {
        aufbauen();
        server->staerke = {{86375000, -10}, {86415000, -25}};
        suchlauf->starten();
        QCOMPARE(phase(), Phase::Sucht);
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 1);
        QCOMPARE(suchlauf->stand().db, std::optional<int>(-10));
        // The first channel was tuned with the mode, the next without.
        QCOMPARE(server->empfangen.count("M FMN 0"), 1);
        QCOMPARE(server->abgestimmt(), QList<qint64>({86355000, 86375000}));

        // Gone quiet: on after the hang time, to the next active channel.
        server->staerke.remove(86375000);
        QVERIFY(uhr->vor(5000, [this] { return phase() != Phase::Haelt || kanal() != 1; }));
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 3);
        server->staerke.clear();
        QVERIFY(uhr->vor(5000, [this] { return phase() != Phase::Haelt; }));
        // The sweep ends and the next begins; no further hits.
        QTRY_VERIFY(suchlauf->stand().durchlaeufe >= 1);
        suchlauf->stoppen();
        QCOMPARE(phase(), Phase::Steht);
        QCOMPARE(trefferListe(*suchlauf), QStringList({"86,375", "86,415"}));
        const Suchtreffer &t = suchlauf->treffer().at(0);
        QCOMPARE(t.hoechsteDb, std::optional<int>(-10));
        QCOMPARE(t.kanal.ort, QStringLiteral("Ort 86,375"));
        QCOMPARE(t.zeit, uhr->basis);
        QCOMPARE(suchlauf->treffer().at(1).hoechsteDb, std::optional<int>(-25));
    }

    void nachlaufUndHoechstens()
    {
        // The default hang time (2 s) and hold time (10 s), readings every 200 ms.
        aufbauen();
        QCOMPARE(suchlauf->einstellung().nachlaufMs, 2000);
        QCOMPARE(suchlauf->einstellung().hoechstensMs, 10000);
        server->staerke = {{86355000, -5}};
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Haelt);
        QVERIFY(uhr->wartet());

        // Stronger at 200 ms, quiet from 400 ms on: still halted 1.8 s
        // later, on at 2 s; the hit lasted 400 ms and keeps its strongest
        // reading.
        server->staerke[86355000] = 3;
        QVERIFY(!uhr->vor(200));
        server->staerke.clear();
        const auto weiter = [this] { return phase() != Phase::Haelt; };
        QVERIFY(!uhr->vor(2000, weiter));
        QCOMPARE(uhr->jetztMs, 2200);
        QVERIFY(uhr->vor(1000, weiter));
        QCOMPARE(uhr->jetztMs, 2400);
        suchlauf->stoppen();
        QCOMPARE(suchlauf->treffer().size(), 1);
        QCOMPARE(suchlauf->treffer().at(0).hoechsteDb, std::optional<int>(3));
        QCOMPARE(suchlauf->treffer().at(0).dauerMs, 400);

        // A signal that stays: on after the hold time.
        server->staerke = {{86375000, -5}};
        uhr->jetztMs = 100000;
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 1);
        QVERIFY(!uhr->vor(9800, weiter));
        QVERIFY(uhr->vor(200, weiter));
        QCOMPARE(uhr->jetztMs, 110000);
        QCOMPARE(suchlauf->treffer().at(1).dauerMs, 10000);
    }

    void verweilen()
    {
        // After tuning the scan waits the dwell time before it reads.
        Suchlauf::Einstellung e = schnell();
        e.verweilenMs = 300;
        aufbauen(e);
        suchlauf->starten();
        QTRY_VERIFY(uhr->wartet());
        QVERIFY(!server->empfangen.contains("l STRENGTH"));
        uhr->vor(299);
        QVERIFY(!server->empfangen.contains("l STRENGTH"));
        uhr->vor(1, [this] { return server->empfangen.contains("l STRENGTH"); });
        QTRY_COMPARE(server->abgestimmt().size(), 2);
        QCOMPARE(server->empfangen.count("l STRENGTH"), 1);
    }

    void nurRauschsperre()
    {
        // A receiver without strength: the scan reads the squelch instead,
        // says so, and halts where it is open.
        aufbauen();
        server->ohneStaerke = true;
        server->staerke = {{86395000, -20}};
        QSignalSpy gewechselt(suchlauf.get(), &Suchlauf::signalartGewechselt);
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 2);
        QCOMPARE(gewechselt.size(), 1);
        QCOMPARE(suchlauf->stand().offen, std::optional<bool>(true));
        QCOMPARE(suchlauf->treffer().size(), 1);
        QCOMPARE(suchlauf->treffer().at(0).art, Signalart::Rauschsperre);
        QCOMPARE(suchlauf->treffer().at(0).staerkeText(), QStringLiteral("offen"));
        QCOMPARE(server->empfangen.count("l STRENGTH"), 1);
        server->staerke.clear();
        QVERIFY(uhr->vor(5000, [this] { return phase() != Phase::Haelt; }));
        QTRY_VERIFY(suchlauf->stand().durchlaeufe >= 1);
        QCOMPARE(suchlauf->treffer().size(), 1);

        // A receiver with neither: the scan stops and says why.
        suchlauf->stoppen();
        server->ohneDcd = true;
        suchlauf->setzeEinstellung(schnell());
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Steht);
        QVERIFY2(suchlauf->stand().grund.startsWith(QStringLiteral("Der Empfänger liefert weder")),
                 qPrintable(suchlauf->stand().grund));
        QCOMPARE(suchlauf->treffer().size(), 1);
    }

    void auslassen()
    {
        aufbauen();
        server->staerke = {{86375000, -10}, {86395000, -10}};
        // Left out before the start: never tuned, never a hit.
        suchlauf->auslassen(1);
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 2);
        // Left out while halted on it: on at once, and not again.
        suchlauf->auslassen(2);
        QCOMPARE(phase(), Phase::Sucht);
        QTRY_VERIFY(suchlauf->stand().durchlaeufe >= 2);
        suchlauf->stoppen();
        QVERIFY(!server->abgestimmt().contains(86375000));
        QCOMPARE(server->abgestimmt().count(86395000), 1);
        QCOMPARE(trefferListe(*suchlauf), QStringList({"86,395"}));
        QCOMPARE(suchlauf->anzahlAusgelassen(), 2);

        // Every channel left out: nothing to start.
        for (int i = 0; i < frequenzen.size(); ++i)
            suchlauf->auslassen(i);
        suchlauf->starten();
        QCOMPARE(phase(), Phase::Steht);
        QCOMPARE(suchlauf->stand().grund, QStringLiteral("Alle Kanäle sind ausgelassen."));
    }

    void verbindungWegUndZurueck()
    {
        aufbauen();
        server->staerke = {{86395000, -10}};
        suchlauf->starten();
        QTRY_COMPARE(phase(), Phase::Haelt);
        // The link goes: the scan waits and says why; the hit ends.
        server->alleTrennen();
        QTRY_COMPARE(phase(), Phase::Wartet);
        QVERIFY(suchlauf->stand().grund.contains(QStringLiteral("getrennt")));
        // Back: on with the same channel, the mode set anew.
        server->empfangen.clear();
        QTRY_COMPARE(phase(), Phase::Haelt);
        QCOMPARE(kanal(), 2);
        QCOMPARE(server->abgestimmt().value(0), 86395000);
        QCOMPARE(server->empfangen.count("M FMN 0"), 1);
        QCOMPARE(suchlauf->treffer().size(), 2);

        // Tuned by hand (a list's double-click): the scan stops.
        empfaenger->abstimmen(145500000, Modulation::FmSchmal);
        QCOMPARE(phase(), Phase::Steht);
        QVERIFY(!suchlauf->stand().grund.isEmpty());
        QTRY_COMPARE(server->hz, 145500000);
        QTest::qWait(100);
        QCOMPARE(server->hz, 145500000);
    }

    void gestopptStimmtNichtMehrAb()
    {
        // A scan started and stopped while the receiver is still busy with
        // the user's tuning: its first step, waiting behind, is not sent.
        aufbauen();
        server->verzoegerungMs = 50;
        empfaenger->abstimmen(145500000, Modulation::FmSchmal);
        suchlauf->starten();
        QCOMPARE(phase(), Phase::Sucht);
        suchlauf->stoppen();
        QTRY_COMPARE(server->hz, 145500000);
        QTest::qWait(300);
        QCOMPARE(server->abgestimmt(), QList<qint64>({145500000}));
        QCOMPARE(server->hz, 145500000);
    }

    void echterRigctld()
    {
        // A sweep through the dummy rig of Hamlib, as fast as it answers.
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten());
        RigctlEmpfaenger e;
        e.verbinden(QStringLiteral("127.0.0.1"), rigctld.port());
        QTRY_VERIFY(e.verbunden());
        Suchlauf s(&e);
        Suchlauf::Einstellung einstellung;
        einstellung.verweilenMs = 0;
        einstellung.schwelleDb = 60;   // nothing is that strong
        s.setzeEinstellung(einstellung);
        QStringList f;
        for (int i = 0; i < 20; ++i)
            f << QStringLiteral("439,%1").arg(100 + 25 * i);
        s.setzeKanaele(bosKanaele(f));
        s.starten();
        QTRY_VERIFY_WITH_TIMEOUT(s.stand().durchlaeufe >= 1, 20000);
        s.stoppen();
        QCOMPARE(s.stand().grund, QString());
        QVERIFY(s.treffer().isEmpty());
        QVERIFY(s.stand().letzterDurchlaufMs >= 0);
        QVERIFY(e.zustand().grund.isEmpty());
        // The state follows by its readings, twice a second.
        const QString zuletzt = rigctld.rigctl({QStringLiteral("f")});
        QVERIFY(zuletzt.startsWith(QStringLiteral("439")));
        QTRY_COMPARE(QString::number(e.zustand().hz), zuletzt);
        QCOMPARE(e.zustand().modus, QStringLiteral("FMN"));
    }

    void trefferFuerLogUndDatei()
    {
        Suchtreffer a;
        a.zeit = QDateTime(QDate(2026, 5, 1), QTime(21, 45, 12));
        a.kanal = bosKanaele({QStringLiteral("86,3550")}).at(0);
        a.kanal.rufname = QStringLiteral("Florian; \"Hamburg\" 1");
        a.hoechsteDb = -12;
        a.dauerMs = 12345;
        Suchtreffer b;
        b.zeit = QDateTime(QDate(2026, 5, 1), QTime(22, 0, 1));
        Kanalliste flug(Funkdienst::Flugfunk);
        flug.zeile(QStringLiteral("118,810"), QStringLiteral("Bremen GND"), QString());
        b.kanal = flug.kanaele().at(0);
        b.art = Signalart::Rauschsperre;
        b.dauerMs = 800;

        // NEU as the hit fills it: frequency and mode as tuned.
        const QHash<QString, QString> w = a.logWerte();
        QCOMPARE(w.value(QStringLiteral("frequenz")), QStringLiteral("86,355"));
        QCOMPARE(w.value(QStringLiteral("band")), QStringLiteral("FM"));
        QCOMPARE(w.value(QStringLiteral("ort")), QStringLiteral("Ort 86,3550"));
        QCOMPARE(w.value(QStringLiteral("callsign")), QStringLiteral("Florian; \"Hamburg\" 1"));
        QCOMPARE(w.value(QStringLiteral("datum")), QStringLiteral("01.05.2026"));
        QCOMPARE(w.value(QStringLiteral("uhrzeit")), QStringLiteral("21:45"));
        QCOMPARE(w.size(), 6);
        const QHash<QString, QString> v = b.logWerte();
        QCOMPARE(v.value(QStringLiteral("frequenz")), QStringLiteral("118,808333"));
        QCOMPARE(v.value(QStringLiteral("band")), QStringLiteral("AM"));
        QVERIFY(!v.contains(QStringLiteral("callsign")));

        QCOMPARE(a.staerkeText(), QStringLiteral("\u221212 dB"));
        QCOMPARE(a.dauerText(), QStringLiteral("12,3 s"));
        // The file: newest first, for German spreadsheets.
        QCOMPARE(Treffertabelle::csv({a, b}),
                 QByteArray("\xEF\xBB\xBFZeit;Frequenz;Modulation;Ort;Rufname;Stärke (dB);Dauer (s)\r\n"
                            "01.05.2026 22:00:01;118,810;AM;Bremen GND;;offen;0,8\r\n"
                            "01.05.2026 21:45:12;86,3550;FM;Ort 86,3550;\"Florian; \"\"Hamburg\"\" 1\";-12;12,3\r\n"));
    }
};

TREMVIK_KERN_TEST_MAIN(TestSuchlauf)
#include "tst_suchlauf.moc"
