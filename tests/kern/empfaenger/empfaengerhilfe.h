// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the receiver tests: a real rigctld (Hamlib's dummy rig) on a free
// port, rigctl to ask it what it was told, and a server of our own for what
// rigctld will not do (refuse a mode, fall silent, drop the connection, dawdle).
#include "kernhilfe.h"

#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace Empfaengerhilfe {

// A port nobody listens on right now.
inline quint16 freierPort()
{
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0))
        return 0;
    return s.serverPort();
}

// rigctld -m 1 (the dummy rig) on 127.0.0.1, stopped with the object.
class Rigctld
{
public:
    static bool vorhanden()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty()
               && !QStandardPaths::findExecutable(QStringLiteral("rigctl")).isEmpty();
    }

    explicit Rigctld(quint16 port = 0) : m_port(port ? port : freierPort()) { }
    ~Rigctld() { stoppen(); }

    quint16 port() const { return m_port; }

    // Starts it and waits until it takes connections.
    bool starten(const QStringList &zusatz = {})
    {
        m_zusatz = zusatz;
        m_p = std::make_unique<QProcess>();
        m_p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_p->start(QStringLiteral("rigctld"),
                   QStringList{QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                               QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(m_port)}
                       + zusatz);
        if (!m_p->waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, m_port);
            if (s.waitForConnected(200))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    // Ends it the hard way, as a crash or a kill would.
    void stoppen()
    {
        if (!m_p)
            return;
        m_p->kill();
        m_p->waitForFinished(5000);
        m_p.reset();
    }

    // What "rigctl -m 2 -r 127.0.0.1:PORT args" prints, trimmed.
    QString rigctl(const QStringList &args) const
    {
        QProcess p;
        QStringList alle{QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                         QStringLiteral("127.0.0.1:%1").arg(m_port)};
        if (m_zusatz.contains(QStringLiteral("--vfo")))
            alle << QStringLiteral("--vfo");
        p.start(QStringLiteral("rigctl"), alle + args);
        if (!p.waitForFinished(10000))
            return QStringLiteral("<rigctl hängt>");
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

private:
    quint16 m_port;
    QStringList m_zusatz;
    std::unique_ptr<QProcess> m_p;
};

// A rigctl server of our own that speaks only the plain commands f, m, F, M,
// "l STRENGTH" and "\get_dcd", and answers anything else with "RPRT 1" (as
// several SDR programs do), or as the test makes it.
class Server : public QObject
{
public:
    Server()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++verbindungen;
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    while (s->canReadLine()) {
                        const QByteArray zeile = s->readLine().trimmed();
                        empfangen << zeile;
                        antworten(s, zeile);
                    }
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }

    // How it behaves.
    int modusFehler = 0;           // the RPRT code for M; 0: takes it
    QByteArray fmnFehler;          // the answer to "M FMN ..." when set
    bool stumm = false;            // never answers
    bool unbekanntStumm = false;   // says nothing to commands it does not know
    int verzoegerungMs = 0;        // answers that late
    bool abbrechenBeiF = false;    // sends half a frequency and hangs up, once
    // The signal: the strength (dB over S9) on a frequency, ruhe elsewhere;
    // the squelch is open over dcdSchwelle.
    QHash<qint64, int> staerke;
    int ruhe = -54;
    int dcdSchwelle = -40;
    bool ohneStaerke = false;   // knows no "l STRENGTH"
    bool ohneDcd = false;       // knows no "\get_dcd"

    // What it was told and holds.
    QList<QByteArray> empfangen;
    // The frequencies it was tuned to, in order.
    QList<qint64> abgestimmt() const
    {
        QList<qint64> l;
        for (const QByteArray &z : empfangen)
            if (z.startsWith("F "))
                l << z.mid(2).toLongLong();
        return l;
    }
    qint64 hz = 145500000;
    QByteArray modus = "FM";
    int verbindungen = 0;
    // Lines that came while an answer was still owed: the client did not wait.
    int ueberlappt = 0;

    // Closes every open connection.
    void alleTrennen()
    {
        for (QTcpSocket *s : findChildren<QTcpSocket *>())
            s->abort();
    }

private:
    void antworten(QTcpSocket *s, const QByteArray &zeile)
    {
        if (stumm)
            return;
        const QList<QByteArray> teile = zeile.split(' ');
        const QByteArray befehl = teile.value(0);
        QByteArray antwort;
        if (befehl == "f") {
            if (abbrechenBeiF) {
                abbrechenBeiF = false;
                s->write("14550");
                s->flush();
                s->disconnectFromHost();
                return;
            }
            antwort = QByteArray::number(hz) + '\n';
        } else if (befehl == "m") {
            antwort = modus + "\n12500\n";
        } else if (befehl == "F") {
            hz = teile.value(1).toLongLong();
            antwort = "RPRT 0\n";
        } else if (befehl == "l" && teile.value(1) == "STRENGTH" && !ohneStaerke) {
            antwort = QByteArray::number(staerke.value(hz, ruhe)) + '\n';
        } else if (befehl == "\\get_dcd" && !ohneDcd) {
            antwort = (staerke.value(hz, ruhe) > dcdSchwelle ? "1" : "0") + QByteArray("\n");
        } else if (befehl == "M") {
            if (!fmnFehler.isEmpty() && teile.value(1) == "FMN") {
                antwort = fmnFehler;
            } else if (modusFehler) {
                antwort = "RPRT " + QByteArray::number(modusFehler) + '\n';
            } else {
                modus = teile.value(1);
                antwort = "RPRT 0\n";
            }
        } else {
            if (unbekanntStumm)
                return;
            antwort = "RPRT 1\n";
        }
        if (m_ausstehend > 0)
            ++ueberlappt;
        ++m_ausstehend;
        QPointer<QTcpSocket> ziel(s);
        auto senden = [this, ziel, antwort] {
            --m_ausstehend;
            if (ziel)
                ziel->write(antwort);
        };
        if (verzoegerungMs > 0)
            QTimer::singleShot(verzoegerungMs, this, senden);
        else
            senden();
    }

    int m_ausstehend = 0;
    QTcpServer m_server{this};
};

}
