// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/rigctl.h"
#include "kern/empfaenger/rigctlprotokoll.h"
#include "kern/empfaenger/empfaengerhilfe.h"

#include <algorithm>

using Art = EmpfaengerZustand::Art;

// The rigctl client: reading the protocol's replies, then the client against
// a real rigctld and against servers that serve only part of the protocol,
// are slow, fall silent or hang up.
class TestRigctl : public QObject
{
    Q_OBJECT

    // Short deadlines, so that losses and new attempts come quickly.
    static RigctlEmpfaenger::Fristen kurz()
    {
        RigctlEmpfaenger::Fristen f;
        f.antwortMs = 1500;
        f.wiederholungMs = 300;
        f.abfrageMs = 100;
        return f;
    }

private Q_SLOTS:
    // An address from the settings shows no control codes in the status bar
    // or a tooltip.
    void zustandsTexteSichtbar()
    {
        EmpfaengerZustand z;
        z.art = EmpfaengerZustand::Art::Getrennt;
        z.adresse = QStringLiteral("rig\x1b[2J\x07:4532");
        z.grund = QStringLiteral("Verbindung abgelehnt");
        QVERIFY(z.statusText().startsWith(QStringLiteral("Empfänger getrennt (rig\u00B7[2J\u00B7:4532)")));
        for (const QString &text : {z.statusText(), z.warumNicht()})
            QVERIFY(std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }));
    }

    void antwortenLesen()
    {
        using Rigctl::Befehl;
        using L = QList<QByteArray>;

        // Plain replies end by their number of lines, or early with "RPRT".
        QVERIFY(Rigctl::vollstaendig(Befehl::FreqLesen, false, L{"145000000"}));
        QVERIFY(!Rigctl::vollstaendig(Befehl::ModusLesen, false, L{"FM"}));
        QVERIFY(Rigctl::vollstaendig(Befehl::ModusLesen, false, L{"FM", "15000"}));
        QVERIFY(Rigctl::vollstaendig(Befehl::ModusLesen, false, L{"RPRT -11"}));
        // Extended replies end with their "RPRT" line, whatever came before.
        QVERIFY(!Rigctl::vollstaendig(Befehl::FreqLesen, true, L{"get_freq:", "Frequency: 145000000"}));
        QVERIFY(Rigctl::vollstaendig(Befehl::FreqLesen, true, L{"get_freq:", "Frequency: 145000000", "RPRT 0"}));
        // While the form is not known, a bare number is a plain reply.
        QVERIFY(Rigctl::vollstaendig(Befehl::FreqLesen, std::nullopt, L{"145000000"}));
        QVERIFY(!Rigctl::vollstaendig(Befehl::FreqLesen, std::nullopt, L{"get_freq:"}));

        Rigctl::Antwort a = Rigctl::lesen(Befehl::FreqLesen, L{"get_freq:", "Frequency: 86355000", "RPRT 0"});
        QVERIFY(a.gelesen);
        QCOMPARE(a.hz, 86355000);
        QCOMPARE(a.erweitert, std::optional<bool>(true));
        a = Rigctl::lesen(Befehl::FreqLesen, L{"145000000.000000"});
        QCOMPARE(a.hz, 145000000);
        QCOMPARE(a.erweitert, std::optional<bool>(false));
        // "RPRT 1" alone: the server does not know the command; the form stays open.
        a = Rigctl::lesen(Befehl::FreqLesen, L{"RPRT 1"});
        QVERIFY(a.gelesen);
        QCOMPARE(a.rprt, 1);
        QVERIFY(!a.erweitert.has_value());
        // A rig error in extended form still tells the form.
        a = Rigctl::lesen(Befehl::FreqLesen, L{"get_freq:", "RPRT -5"});
        QCOMPARE(a.rprt, -5);
        QCOMPARE(a.erweitert, std::optional<bool>(true));
        QVERIFY(!Rigctl::lesen(Befehl::FreqLesen, L{"Hallo"}).gelesen);

        a = Rigctl::lesen(Befehl::ModusLesen, L{"get_mode:", "Mode: FMN", "Passband: 12500", "RPRT 0"});
        QCOMPARE(a.modus, QByteArray("FMN"));
        QCOMPARE(a.passband, 12500);
        a = Rigctl::lesen(Befehl::ModusLesen, L{"AM", "8000"});
        QCOMPARE(a.modus, QByteArray("AM"));
        a = Rigctl::lesen(Befehl::ModusLesen, L{"get_mode:", "Mode: PKTUSB", "Passband: 3000", "RPRT 0"});
        QCOMPARE(a.modus, QByteArray("PKTUSB"));
        // What cannot be a mode's name is no mode: a huge word, control
        // characters, bytes beyond ASCII.
        for (const QByteArray &falsch :
             {QByteArray(60000, 'X'), QByteArray("F\x1b[2JM"), QByteArray("FM\xff\xfe"), QByteArray("FM\0N", 4)}) {
            a = Rigctl::lesen(Befehl::ModusLesen, L{"get_mode:", "Mode: " + falsch, "Passband: 0", "RPRT 0"});
            QVERIFY(!a.gelesen);
            QVERIFY(a.modus.isEmpty());
            QVERIFY(!Rigctl::lesen(Befehl::ModusLesen, L{falsch, "0"}).gelesen);
        }

        // The check, as the versions wrote its answer.
        for (const QByteArray &z : {QByteArray("1"), QByteArray("CHKVFO 1"), QByteArray("ChkVFO: 1")})
            QVERIFY2(Rigctl::lesen(Befehl::ChkVfo, L{z}).vfo, z.constData());
        QVERIFY(!Rigctl::lesen(Befehl::ChkVfo, L{"0"}).vfo);
        QVERIFY(Rigctl::lesen(Befehl::ChkVfo, L{"RPRT -4"}).gelesen);

        QCOMPARE(Rigctl::lesen(Befehl::ModusSetzen, L{"set_mode: FMN 0", "RPRT -11"}).rprt, -11);
        QCOMPARE(Rigctl::fehlertext(-11), QStringLiteral("Funktion nicht verfügbar (RPRT -11)"));
        QCOMPARE(Rigctl::fehlertext(-99), QStringLiteral("Befehl abgewiesen (RPRT -99)"));
        QCOMPARE(Rigctl::fehlertext(1), QStringLiteral("Befehl abgewiesen (RPRT 1)"));

        QCOMPARE(Rigctl::hertz("145500000.6"), std::optional<qint64>(145500001));
        QVERIFY(!Rigctl::hertz("-5"));
        QVERIFY(!Rigctl::hertz("145,5"));
        QVERIFY(!Rigctl::hertz("99999999999999"));

        // A frequency no receiver can have (beyond 1 Hz to 300 GHz) is read
        // but not taken, and the reply says why.
        for (const QByteArray &z : {QByteArray("9999999999999"), QByteArray("0"), QByteArray("300000000001")}) {
            a = Rigctl::lesen(Befehl::FreqLesen, L{z});
            QVERIFY(a.gelesen);
            QCOMPARE(a.hz, 0);
            QCOMPARE(a.einwand, QString::fromLatin1(z) + QStringLiteral(" Hz liegt außerhalb von 1 Hz bis 300 GHz"));
        }
        QVERIFY(Rigctl::lesen(Befehl::FreqLesen, L{"get_freq:", "Frequency: 9999999999999", "RPRT 0"}).hz == 0);
        QCOMPARE(Rigctl::lesen(Befehl::FreqLesen, L{"300000000000"}).hz, 300000000000LL);
        QCOMPARE(Rigctl::lesen(Befehl::FreqLesen, L{"1"}).hz, 1);

        // Signal strength and squelch, in either form.
        a = Rigctl::lesen(Befehl::StaerkeLesen, L{"get_level: STRENGTH", "-38", "RPRT 0"});
        QVERIFY(a.gelesen);
        QCOMPARE(a.db, -38);
        QCOMPARE(Rigctl::lesen(Befehl::StaerkeLesen, L{"-45.600000"}).db, -46);
        QCOMPARE(Rigctl::lesen(Befehl::StaerkeLesen, L{"+12"}).db, 12);
        QCOMPARE(Rigctl::lesen(Befehl::StaerkeLesen, L{"get_level: STRENGTH", "Level: 7", "RPRT 0"}).db, 7);
        a = Rigctl::lesen(Befehl::StaerkeLesen, L{"RPRT -11"});
        QVERIFY(a.gelesen);
        QCOMPARE(a.rprt, -11);
        for (const QByteArray &falsch : {QByteArray("laut"), QByteArray("-99999"), QByteArray("-"), QByteArray("5."),
                                         QByteArray("1e5"), QByteArray(50000, '9')})
            QVERIFY2(!Rigctl::lesen(Befehl::StaerkeLesen, L{falsch}).gelesen, falsch.left(20).constData());
        a = Rigctl::lesen(Befehl::DcdLesen, L{"get_dcd:", "DCD: 1", "RPRT 0"});
        QVERIFY(a.gelesen && a.offen);
        a = Rigctl::lesen(Befehl::DcdLesen, L{"0"});
        QVERIFY(a.gelesen && !a.offen);
        QVERIFY(!Rigctl::lesen(Befehl::DcdLesen, L{"2"}).gelesen);
        QVERIFY(Rigctl::vollstaendig(Befehl::StaerkeLesen, false, L{"-38"}));
        QVERIFY(!Rigctl::vollstaendig(Befehl::DcdLesen, true, L{"get_dcd:", "DCD: 1"}));

        // The command lines: extended, plain, and with a VFO argument.
        QCOMPARE(Rigctl::zeile(Befehl::StaerkeLesen, {true, true}, "STRENGTH"),
                 QByteArray("+\\get_level currVFO STRENGTH\n"));
        QCOMPARE(Rigctl::zeile(Befehl::StaerkeLesen, {false, false}, "STRENGTH"), QByteArray("l STRENGTH\n"));
        QCOMPARE(Rigctl::zeile(Befehl::DcdLesen, {false, false}), QByteArray("\\get_dcd\n"));
        QCOMPARE(Rigctl::zeile(Befehl::FreqSetzen, {true, false}, "86355000"), QByteArray("+\\set_freq 86355000\n"));
        QCOMPARE(Rigctl::zeile(Befehl::ModusSetzen, {false, false}, "AM 0"), QByteArray("M AM 0\n"));
        QCOMPARE(Rigctl::zeile(Befehl::FreqLesen, {true, true}), QByteArray("+\\get_freq currVFO\n"));
        QCOMPARE(Rigctl::zeile(Befehl::ChkVfo, {true, true}), QByteArray("\\chk_vfo\n"));
    }

    void echterRigctld_data()
    {
        QTest::addColumn<QStringList>("zusatz");
        QTest::addColumn<QString>("host");
        QTest::newRow("normal") << QStringList() << QStringLiteral("127.0.0.1");
        // The default host, by name.
        QTest::newRow("vfo-Modus") << QStringList{QStringLiteral("--vfo")} << QStringLiteral("localhost");
    }
    void echterRigctld()
    {
        QFETCH(QStringList, zusatz);
        QFETCH(QString, host);
        if (!Empfaengerhilfe::Rigctld::vorhanden())
            QSKIP("rigctld/rigctl fehlen (Paket libhamlib-utils)");
        Empfaengerhilfe::Rigctld rigctld;
        QVERIFY(rigctld.starten(zusatz));
        const QStringList vfo = zusatz.isEmpty() ? QStringList() : QStringList{QStringLiteral("currVFO")};
        QCOMPARE(rigctld.rigctl(QStringList{QStringLiteral("F")} + vfo + QStringList{QStringLiteral("433500000")}),
                 QString());

        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        QSignalSpy spy(&e, &Empfaenger::zustandGeaendert);
        e.verbinden(host, rigctld.port());
        QCOMPARE(e.zustand().art, Art::Verbinde);
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
        QCOMPARE(e.zustand().hz, 433500000);
        QTRY_VERIFY(!e.zustand().modus.isEmpty());

        e.abstimmen(86355000, Modulation::FmSchmal);
        QTRY_COMPARE(e.zustand().hz, 86355000);
        QTRY_COMPARE(e.zustand().modus, QStringLiteral("FMN"));
        QCOMPARE(rigctld.rigctl(QStringList{QStringLiteral("f")} + vfo), QStringLiteral("86355000"));
        QCOMPARE(rigctld.rigctl(QStringList{QStringLiteral("m")} + vfo).section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("FMN"));

        e.abstimmen(118800000, Modulation::Am);
        QTRY_COMPARE(e.zustand().modus, QStringLiteral("AM"));
        QCOMPARE(rigctld.rigctl(QStringList{QStringLiteral("f")} + vfo), QStringLiteral("118800000"));
        QCOMPARE(e.zustand().grund, QString());

        // A change made at the radio shows within a reading or two.
        rigctld.rigctl(QStringList{QStringLiteral("F")} + vfo + QStringList{QStringLiteral("145500000")});
        QTRY_COMPARE(e.zustand().hz, 145500000);

        e.trennen();
        QCOMPARE(e.zustand().art, Art::NichtVerbunden);
        for (const QList<QVariant> &signal : spy)
            QVERIFY(signal.at(0).value<EmpfaengerZustand>().art != Art::Getrennt);
    }

    void unmoeglicheFrequenz()
    {
        // A receiver that says 10 THz: connected, but the frequency is not
        // taken (a new log record gets none), and the status bar says why.
        Empfaengerhilfe::Server server;
        server.hz = 9999999999999;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
        QCOMPARE(e.zustand().hz, 0);
        QCOMPARE(e.zustand().grund,
                 QStringLiteral("Frequenz nicht lesbar: 9999999999999 Hz liegt außerhalb von 1 Hz bis 300 GHz"));
        QVERIFY(e.zustand().statusText().startsWith(QStringLiteral("Empfänger: Frequenz unbekannt")));
        QVERIFY(e.zustand().statusText().contains(QStringLiteral("außerhalb von 1 Hz bis 300 GHz")));
        // Nor is such a frequency sent.
        e.abstimmen(400'000'000'000LL, Modulation::FmSchmal);
        // A frequency it can have is taken again, and the reason goes.
        server.hz = 145500000;
        QTRY_COMPARE(e.zustand().hz, 145500000);
        QCOMPARE(e.zustand().grund, QString());
        QVERIFY(!server.empfangen.contains("F 400000000000"));
    }

    void abgelehntDannDa()
    {
        // Nobody listens: refused, no message, and tried again until someone does.
        const quint16 port = Empfaengerhilfe::freierPort();
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), port);
        QTRY_COMPARE(e.zustand().art, Art::Getrennt);
        QCOMPARE(e.zustand().grund, QStringLiteral("Verbindung abgelehnt"));
        QVERIFY(e.zustand().statusText().contains(QStringLiteral("getrennt")));
        QVERIFY(!e.zustand().warumNicht().isEmpty());
        e.abstimmen(86355000, Modulation::FmSchmal);   // not connected: nothing happens

        QTcpServer spaeter;
        QVERIFY(spaeter.listen(QHostAddress::LocalHost, port));
        QTRY_VERIFY(spaeter.hasPendingConnections());
    }

    void stummerServer()
    {
        // Connected, but no answer ever: lost after the deadline, and the
        // event loop runs all the while.
        Empfaengerhilfe::Server server;
        server.stumm = true;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        int ticks = 0;
        QTimer uhr;
        connect(&uhr, &QTimer::timeout, this, [&] { ++ticks; });
        uhr.start(20);
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE(e.zustand().art, Art::Getrennt);
        QCOMPARE(e.zustand().grund, QStringLiteral("der Empfänger antwortet nicht"));
        QVERIFY(ticks > 10);
        // It keeps trying, and once the server speaks it is connected.
        server.stumm = false;
        QTRY_COMPARE_WITH_TIMEOUT(e.zustand().art, Art::Verbunden, 15000);
        QVERIFY(server.verbindungen >= 2);
    }

    void teilweiserServer()
    {
        // Plain commands only, "RPRT 1" to anything else, "RPRT -11" to M:
        // still tuned, and the refused mode is told in the state.
        Empfaengerhilfe::Server server;
        server.modusFehler = -11;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
        QCOMPARE(e.zustand().hz, 145500000);
        QTRY_COMPARE(e.zustand().modus, QStringLiteral("FM"));

        server.empfangen.clear();
        e.abstimmen(86355000, Modulation::FmSchmal);
        QTRY_COMPARE(server.hz, 86355000);
        QTRY_VERIFY(e.zustand().grund.contains(QStringLiteral("Funktion nicht verfügbar")));
        QCOMPARE(e.zustand().art, Art::Verbunden);
        QTRY_COMPARE(e.zustand().hz, 86355000);
        // The mode was asked once: a receiver without the function gets no second try.
        QCOMPARE(server.empfangen.count("M FMN 0"), 1);
        QVERIFY(!server.empfangen.contains("M FM 12500"));
        QVERIFY(e.zustand().statusText().contains(QStringLiteral("Modulation nicht gesetzt")));

        // A tuning that goes through clears it.
        server.modusFehler = 0;
        e.abstimmen(118800000, Modulation::Am);
        QTRY_COMPARE(e.zustand().modus, QStringLiteral("AM"));
        QCOMPARE(e.zustand().grund, QString());
    }

    void ohneSchmalesFm()
    {
        // A receiver that does not know "FMN" gets FM with a narrow passband,
        // at once from then on.
        Empfaengerhilfe::Server server;
        server.fmnFehler = "RPRT -1\n";
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
        e.abstimmen(86355000, Modulation::FmSchmal);
        QTRY_COMPARE(server.empfangen.count("M FM 12500"), 1);
        QTRY_COMPARE(e.zustand().modus, QStringLiteral("FM"));
        QCOMPARE(e.zustand().grund, QString());
        e.abstimmen(86255000, Modulation::FmSchmal);
        QTRY_COMPARE(server.empfangen.count("M FM 12500"), 2);
        QCOMPARE(server.empfangen.count("M FMN 0"), 1);
        QCOMPARE(server.hz, 86255000);
    }

    void abbruchMittenInDerAntwort()
    {
        // Half a frequency, then the connection is gone: lost, no guess at
        // the number, and connected again on the next attempt.
        Empfaengerhilfe::Server server;
        server.abbrechenBeiF = true;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        QList<EmpfaengerZustand> zustaende;
        connect(&e, &Empfaenger::zustandGeaendert, this, [&](const EmpfaengerZustand &z) { zustaende << z; });
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
        QCOMPARE(e.zustand().hz, 145500000);
        QVERIFY(server.verbindungen >= 2);
        const auto getrennt = std::find_if(zustaende.begin(), zustaende.end(),
                                           [](const EmpfaengerZustand &z) { return z.art == Art::Getrennt; });
        QVERIFY(getrennt != zustaende.end());
        QCOMPARE(getrennt->grund, QStringLiteral("der Empfänger hat die Verbindung beendet"));
        for (const EmpfaengerZustand &z : zustaende)
            QVERIFY(z.hz != 14550);

        // Dropped while connected: lost, then back.
        zustaende.clear();
        server.alleTrennen();
        QTRY_VERIFY(std::any_of(zustaende.begin(), zustaende.end(),
                                [](const EmpfaengerZustand &z) { return z.art == Art::Getrennt; }));
        QTRY_COMPARE(e.zustand().art, Art::Verbunden);
    }

    void langsamerServer()
    {
        // Every answer takes 600 ms, within the deadline: slow, but it works,
        // and no command is sent before the answer to the one before.
        Empfaengerhilfe::Server server;
        server.verzoegerungMs = 600;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE_WITH_TIMEOUT(e.zustand().art, Art::Verbunden, 10000);
        e.abstimmen(172940000, Modulation::FmSchmal);
        e.abstimmen(172960000, Modulation::FmSchmal);   // the later one wins
        QTRY_COMPARE_WITH_TIMEOUT(e.zustand().hz, 172960000, 10000);
        QCOMPARE(server.hz, 172960000);
        QCOMPARE(e.zustand().art, Art::Verbunden);
        QCOMPARE(server.ueberlappt, 0);
        QCOMPARE(server.verbindungen, 1);
    }

    void antwortetMuell()
    {
        // Something that answers every line with bytes of no protocol: lost,
        // with a reason the status bar can show (no control codes, no broken
        // characters).
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [s] {
                while (s->canReadLine()) {
                    s->readLine();
                    s->write("\x1b[2J\x07M\xc3\xbcll\xff\xfe\tEnde\n");
                }
            });
        });
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.serverPort());
        QTRY_COMPARE(e.zustand().art, Art::Getrennt);
        QCOMPARE(e.zustand().grund,
                 QStringLiteral("unverständliche Antwort \u201E\u00B7[2J\u00B7Müll\u00B7\u00B7\u00B7Ende\u201C"));
        QCOMPARE(e.zustand().modus, QString());
    }

    // Switched on, the diagnostics tell the dialogue line by line; a reply
    // of garbage stays one bounded line without control codes.
    void dialogImProtokoll()
    {
        static QStringList zeilen;
        zeilen.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("tremvik.empfaenger.debug=true"));
        const QtMessageHandler vorher =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &k, const QString &text) {
                if (QByteArray(k.category) == "tremvik.empfaenger")
                    zeilen << text;
            });
        auto zurueck = qScopeGuard([vorher] {
            qInstallMessageHandler(vorher);
            QLoggingCategory::setFilterRules(QString());
        });

        Empfaengerhilfe::Server server;
        RigctlEmpfaenger e;
        e.setzeFristen(kurz());
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE_WITH_TIMEOUT(e.zustand().art, Art::Verbunden, 10000);
        e.abstimmen(86355000, Modulation::Am);
        QTRY_COMPARE(server.hz, 86355000);
        QTRY_VERIFY(zeilen.contains(QStringLiteral("-> M AM 0")));
        QVERIFY2(zeilen.contains(QStringLiteral("-> F 86355000")), qPrintable(zeilen.join(QLatin1Char('\n'))));
        QVERIFY(zeilen.contains(QStringLiteral("<- RPRT 0")));
        e.trennen();

        QTcpServer muell;
        QVERIFY(muell.listen(QHostAddress::LocalHost, 0));
        connect(&muell, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *s = muell.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [s] {
                s->readAll();
                s->write(QByteArray(20000, '\x1b') + '\n');
            });
        });
        zeilen.clear();
        e.verbinden(QStringLiteral("127.0.0.1"), muell.serverPort());
        QTRY_COMPARE(e.zustand().art, Art::Getrennt);
        QVERIFY(!zeilen.isEmpty());
        for (const QString &z : std::as_const(zeilen)) {
            QVERIFY2(z.size() < 1000, qPrintable(z.left(100)));
            QVERIFY(std::all_of(z.begin(), z.end(), [](QChar c) { return c.isPrint(); }));
        }
    }

    void schweigtZuUnbekanntem()
    {
        // A server that ignores what it does not know: the check and the
        // extended form time out once each, then it is served plain commands.
        Empfaengerhilfe::Server server;
        server.unbekanntStumm = true;
        RigctlEmpfaenger e;
        RigctlEmpfaenger::Fristen f = kurz();
        f.antwortMs = 500;
        e.setzeFristen(f);
        e.verbinden(QStringLiteral("127.0.0.1"), server.port());
        QTRY_COMPARE_WITH_TIMEOUT(e.zustand().art, Art::Verbunden, 15000);
        QCOMPARE(e.zustand().hz, 145500000);
        e.abstimmen(86355000, Modulation::FmSchmal);
        QTRY_COMPARE(server.hz, 86355000);
        QCOMPARE(server.verbindungen, 3);
    }
};

TREMVIK_KERN_TEST_MAIN(TestRigctl)
#include "tst_rigctl.moc"
