// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/empfaenger/rigctl.h"

#include "kern/basis/protokoll.h"

#include <QSignalBlocker>
#include <QTcpSocket>

namespace {
// A reply longer than this is no reply of the protocol's.
constexpr int hoechstePufferGroesse = 64 * 1024;
constexpr int hoechsteZeilen = 64;
}

RigctlEmpfaenger::RigctlEmpfaenger(QObject *parent) : Empfaenger(parent), m_socket(new QTcpSocket(this))
{
    m_frist.setSingleShot(true);
    m_wiederholung.setSingleShot(true);
    m_abfrage.setInterval(m_fristen.abfrageMs);
    connect(&m_frist, &QTimer::timeout, this, &RigctlEmpfaenger::fristAbgelaufen);
    connect(&m_wiederholung, &QTimer::timeout, this, [this] { aufbauen(true); });
    connect(&m_abfrage, &QTimer::timeout, this, &RigctlEmpfaenger::abfragen);
    connect(m_socket, &QTcpSocket::connected, this, &RigctlEmpfaenger::tcpVerbunden);
    connect(m_socket, &QTcpSocket::readyRead, this, &RigctlEmpfaenger::lesen);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError fehler) {
        switch (fehler) {
        case QAbstractSocket::ConnectionRefusedError: socketVerloren(QStringLiteral("Verbindung abgelehnt")); break;
        case QAbstractSocket::RemoteHostClosedError:
            socketVerloren(QStringLiteral("der Empfänger hat die Verbindung beendet"));
            break;
        case QAbstractSocket::HostNotFoundError:
            socketVerloren(QStringLiteral("Rechner \u201E%1\u201C nicht gefunden").arg(m_host));
            break;
        default: socketVerloren(m_socket->errorString()); break;
        }
    });
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { socketVerloren(QStringLiteral("der Empfänger hat die Verbindung beendet")); });
}

RigctlEmpfaenger::~RigctlEmpfaenger()
{
    const QSignalBlocker still(m_socket);
    m_socket->abort();
}

void RigctlEmpfaenger::setzeFristen(const Fristen &fristen)
{
    m_fristen = fristen;
    m_abfrage.setInterval(m_fristen.abfrageMs);
}

QString RigctlEmpfaenger::adresse() const
{
    return m_host + QLatin1Char(':') + QString::number(m_port);
}

void RigctlEmpfaenger::setzeZustand(const EmpfaengerZustand &zustand)
{
    if (zustand == m_zustand)
        return;
    m_zustand = zustand;
    Q_EMIT zustandGeaendert(m_zustand);
}

// ---------------------------------------------------------------------------
// Connecting and losing the connection

void RigctlEmpfaenger::verbinden(const QString &host, quint16 port)
{
    m_host = host.trimmed();
    m_port = port;
    m_ohneChkVfo = false;
    m_nurEinfach = false;
    m_ohneStaerke = false;
    m_ohneDcd = false;
    aufbauen(false);
}

void RigctlEmpfaenger::abbrechen()
{
    m_frist.stop();
    m_abfrage.stop();
    {
        const QSignalBlocker still(m_socket);
        m_socket->abort();
    }
    m_warteschlange.clear();
    m_laufend.reset();
    m_puffer.clear();
    m_zeilen.clear();
}

void RigctlEmpfaenger::trennen()
{
    m_wiederholung.stop();
    abbrechen();
    EmpfaengerZustand z;
    z.adresse = m_port ? adresse() : QString();
    setzeZustand(z);
}

void RigctlEmpfaenger::aufbauen(bool erneut)
{
    m_wiederholung.stop();
    abbrechen();
    m_protokoll = Rigctl::Protokoll{};
    m_protokoll.erweitert = !m_nurEinfach;
    m_erweitert = m_nurEinfach ? std::optional<bool>(false) : std::nullopt;
    m_modusLesbar = true;
    m_fmnGeht = true;

    // After a loss the state stays Getrennt, with its reason, until the
    // receiver answers again.
    if (!erneut) {
        EmpfaengerZustand z;
        z.art = EmpfaengerZustand::Art::Verbinde;
        z.adresse = adresse();
        setzeZustand(z);
    }
    m_frist.start(m_fristen.antwortMs);
    qCDebug(protokollEmpfaenger).noquote() << "verbinde mit" << Protokoll::kurz(adresse());
    // Unbuffered: a command goes out as it is written, a reply is read as it
    // comes, with no copy and no turn of the event loop in between.
    m_socket->connectToHost(m_host, m_port, QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void RigctlEmpfaenger::tcpVerbunden()
{
    m_frist.stop();
    // One short line asked, one short reply awaited: nothing is to wait
    // for more to send.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!m_ohneChkVfo)
        m_warteschlange.push_back({Rigctl::Befehl::ChkVfo, {}});
    m_warteschlange.push_back({Rigctl::Befehl::FreqLesen, {}});
    senden();
}

void RigctlEmpfaenger::socketVerloren(const QString &grund)
{
    // Reported once: a loss already handled waits for its next attempt.
    if (m_zustand.art == EmpfaengerZustand::Art::NichtVerbunden || m_wiederholung.isActive())
        return;
    verloren(grund);
}

void RigctlEmpfaenger::verloren(const QString &grund)
{
    abbrechen();
    EmpfaengerZustand z;
    z.art = EmpfaengerZustand::Art::Getrennt;
    z.adresse = adresse();
    z.grund = grund;
    z.wiederholungSekunden = std::max(1, (m_fristen.wiederholungMs + 999) / 1000);
    qCInfo(protokollEmpfaenger).noquote() << "getrennt:" << Protokoll::kurz(grund);
    setzeZustand(z);
    m_wiederholung.start(m_fristen.wiederholungMs);
}

void RigctlEmpfaenger::fristAbgelaufen()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        verloren(QStringLiteral("keine Antwort beim Verbindungsaufbau"));
        return;
    }
    // A server that left the check or the extended form unanswered is not
    // asked for them again.
    if (m_laufend && m_laufend->befehl == Rigctl::Befehl::ChkVfo)
        m_ohneChkVfo = true;
    else if (m_laufend && m_laufend->befehl == Rigctl::Befehl::FreqLesen && !m_erweitert)
        m_nurEinfach = true;
    // Nor one that left a level or the squelch unanswered for them.
    else if (m_laufend && m_laufend->befehl == Rigctl::Befehl::StaerkeLesen)
        m_ohneStaerke = true;
    else if (m_laufend && m_laufend->befehl == Rigctl::Befehl::DcdLesen)
        m_ohneDcd = true;
    verloren(QStringLiteral("der Empfänger antwortet nicht"));
}

// ---------------------------------------------------------------------------
// Commands and replies

void RigctlEmpfaenger::abfragen()
{
    if (m_zustand.art != EmpfaengerZustand::Art::Verbunden)
        return;
    // A reading asked already, sent or waiting, is enough; a scan's steps
    // do not hold it back.
    const auto liest = [](const Auftrag &a) { return a.befehl == Rigctl::Befehl::FreqLesen; };
    if ((m_laufend && liest(*m_laufend)) || std::any_of(m_warteschlange.begin(), m_warteschlange.end(), liest))
        return;
    m_warteschlange.push_back({Rigctl::Befehl::FreqLesen, {}});
    if (m_modusLesbar)
        m_warteschlange.push_back({Rigctl::Befehl::ModusLesen, {}});
    senden();
}

QByteArray RigctlEmpfaenger::modusArgumente(Modulation modulation) const
{
    if (modulation == Modulation::Am)
        return QByteArrayLiteral("AM 0");
    return m_fmnGeht ? QByteArrayLiteral("FMN 0") : QByteArrayLiteral("FM 12500");
}

void RigctlEmpfaenger::abstimmen(qint64 hz, Modulation modulation)
{
    if (!verbunden() || !Rigctl::moeglich(hz))
        return;
    Q_EMIT vonHandAbgestimmt();
    // Waiting commands are readings or an older tuning: this one replaces them.
    m_warteschlange.clear();
    m_warteschlange.push_back({Rigctl::Befehl::FreqSetzen, QByteArray::number(hz)});
    m_warteschlange.push_back({Rigctl::Befehl::ModusSetzen, modusArgumente(modulation)});
    m_warteschlange.push_back({Rigctl::Befehl::FreqLesen, {}});
    if (m_modusLesbar)
        m_warteschlange.push_back({Rigctl::Befehl::ModusLesen, {}});
    senden();
}

quint64 RigctlEmpfaenger::suchAbstimmen(qint64 hz, std::optional<Modulation> modulation)
{
    if (!verbunden())
        return 0;
    const quint64 nummer = ++m_auftraege;
    if (!Rigctl::moeglich(hz)) {
        spaeterAntworten([this, nummer] { Q_EMIT abgestimmt(nummer, false); });
        return nummer;
    }
    m_warteschlange.push_back({Rigctl::Befehl::FreqSetzen, QByteArray::number(hz), nummer, !modulation});
    if (modulation)
        m_warteschlange.push_back({Rigctl::Befehl::ModusSetzen, modusArgumente(*modulation), nummer, true});
    senden();
    return nummer;
}

quint64 RigctlEmpfaenger::signalLesen(Signalart art)
{
    if (!verbunden())
        return 0;
    const quint64 nummer = ++m_auftraege;
    const bool staerke = art == Signalart::Staerke;
    if (staerke ? m_ohneStaerke : m_ohneDcd) {
        // Asked once and left unanswered: the receiver has no such reading.
        spaeterAntworten([this, nummer, art] {
            Signalwert w;
            w.auftrag = nummer;
            w.art = art;
            w.rprt = -11;
            Q_EMIT signalGelesen(w);
        });
        return nummer;
    }
    m_warteschlange.push_back({staerke ? Rigctl::Befehl::StaerkeLesen : Rigctl::Befehl::DcdLesen,
                               staerke ? QByteArrayLiteral("STRENGTH") : QByteArray(), nummer, true});
    senden();
    return nummer;
}

void RigctlEmpfaenger::suchAuftraegeVerwerfen()
{
    m_warteschlange.erase(
        std::remove_if(m_warteschlange.begin(), m_warteschlange.end(), [](const Auftrag &a) { return a.nummer != 0; }),
        m_warteschlange.end());
}

void RigctlEmpfaenger::spaeterAntworten(const std::function<void()> &antwort)
{
    QMetaObject::invokeMethod(this, antwort, Qt::QueuedConnection);
}

void RigctlEmpfaenger::senden()
{
    if (m_laufend || m_warteschlange.empty() || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_laufend = m_warteschlange.front();
    m_warteschlange.pop_front();
    m_zeilen.clear();
    m_frist.start(m_fristen.antwortMs);
    const QByteArray zeile = Rigctl::zeile(m_laufend->befehl, m_protokoll, m_laufend->argumente);
    qCDebug(protokollEmpfaenger).noquote() << "->" << Protokoll::kurz(zeile.trimmed());
    m_socket->write(zeile);
}

void RigctlEmpfaenger::lesen()
{
    // What has come; a block read short means there is no more for now.
    // Unbuffered, the end of the connection shows here, and only here.
    char block[4096];
    qint64 n = 0;
    while ((n = m_socket->read(block, sizeof block)) > 0) {
        m_puffer.append(block, int(n));
        if (n < qint64(sizeof block) || m_puffer.size() > hoechstePufferGroesse)
            break;
    }
    if (n < 0) {
        socketVerloren(m_socket->error() == QAbstractSocket::RemoteHostClosedError
                           ? QStringLiteral("der Empfänger hat die Verbindung beendet")
                           : m_socket->errorString());
        return;
    }
    for (int ende = m_puffer.indexOf('\n'); ende >= 0; ende = m_puffer.indexOf('\n')) {
        QByteArray zeile = m_puffer.left(ende);
        m_puffer.remove(0, ende + 1);
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        if (!m_laufend)
            continue;   // nothing was asked: not an answer
        m_zeilen.append(zeile);
        const std::optional<bool> erweitert =
            m_laufend->befehl == Rigctl::Befehl::FreqLesen ? m_erweitert : std::optional<bool>(m_protokoll.erweitert);
        if (Rigctl::vollstaendig(m_laufend->befehl, erweitert, m_zeilen)) {
            m_frist.stop();
            const Auftrag auftrag = *m_laufend;
            m_laufend.reset();
            qCDebug(protokollEmpfaenger).noquote() << "<-" << Protokoll::kurz(m_zeilen.join('\n'));
            const Rigctl::Antwort antwort = Rigctl::lesen(auftrag.befehl, m_zeilen);
            // Nothing else was asked, so whatever follows is not an answer.
            m_puffer.clear();
            beantwortet(auftrag, antwort);
            m_zeilen.clear();
            senden();
            return;
        }
        if (m_zeilen.size() > hoechsteZeilen)
            break;
    }
    if (m_puffer.size() > hoechstePufferGroesse || m_zeilen.size() > hoechsteZeilen)
        verloren(QStringLiteral("unverständliche Antwort"));
}

void RigctlEmpfaenger::beantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort)
{
    using Rigctl::Befehl;
    if (!antwort.gelesen) {
        verloren(QStringLiteral("unverständliche Antwort \u201E%1\u201C")
                     .arg(EmpfaengerZustand::sichtbar(QString::fromUtf8(m_zeilen.value(0)).left(40))));
        return;
    }
    if (auftrag.nummer) {
        suchBeantwortet(auftrag, antwort);
        return;
    }
    EmpfaengerZustand z = m_zustand;
    switch (auftrag.befehl) {
    case Befehl::ChkVfo: m_protokoll.vfo = antwort.vfo; return;

    case Befehl::FreqLesen:
        if (!frequenzBeantwortet(antwort, z))
            return;
        break;

    case Befehl::ModusLesen:
        if (antwort.rprt != 0)
            m_modusLesbar = false;   // the mode stays unknown
        else
            z.modus = QString::fromUtf8(antwort.modus);
        break;

    case Befehl::FreqSetzen:
        z.grund = antwort.rprt != 0 ? QStringLiteral("Frequenz nicht gesetzt: ") + Rigctl::fehlertext(antwort.rprt)
                                    : QString();
        break;

    case Befehl::ModusSetzen:
        if (!modusGesetzt(auftrag, antwort, z))
            return;
        break;

    case Befehl::StaerkeLesen:
    case Befehl::DcdLesen: return;   // only a scan asks for them
    }
    setzeZustand(z);
}

// A scan's steps leave the state alone: what the receiver is on is read
// twice a second as ever, not hundreds of times a second as a fast scan
// tunes it.
void RigctlEmpfaenger::suchBeantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort)
{
    using Rigctl::Befehl;
    switch (auftrag.befehl) {
    case Befehl::FreqSetzen:
        if (antwort.rprt != 0)
            m_suchFehler = auftrag.nummer;
        break;
    case Befehl::ModusSetzen: {
        // Narrow FM as FM with a narrow passband, as when tuned by hand.
        EmpfaengerZustand egal = m_zustand;
        if (!modusGesetzt(auftrag, antwort, egal))
            return;
        break;
    }
    case Befehl::StaerkeLesen:
    case Befehl::DcdLesen: signalBeantwortet(auftrag, antwort); return;
    default: break;
    }
    if (auftrag.letzter)
        Q_EMIT abgestimmt(auftrag.nummer, m_suchFehler != auftrag.nummer);
}

void RigctlEmpfaenger::signalBeantwortet(const Auftrag &auftrag, const Rigctl::Antwort &antwort)
{
    Signalwert w;
    w.auftrag = auftrag.nummer;
    w.art = auftrag.befehl == Rigctl::Befehl::StaerkeLesen ? Signalart::Staerke : Signalart::Rauschsperre;
    w.gelesen = antwort.rprt == 0;
    w.db = antwort.db;
    w.offen = antwort.offen;
    w.rprt = antwort.rprt;
    Q_EMIT signalGelesen(w);
}

bool RigctlEmpfaenger::frequenzBeantwortet(const Rigctl::Antwort &antwort, EmpfaengerZustand &z)
{
    using Rigctl::Befehl;
    if (!m_erweitert) {
        // The first reading tells whether the server knows the extended form.
        if (!antwort.erweitert) {
            m_erweitert = false;
            m_protokoll.erweitert = false;
            m_warteschlange.push_front({Befehl::FreqLesen, {}});
            return false;
        }
        m_erweitert = antwort.erweitert;
        m_protokoll.erweitert = *antwort.erweitert;
    }
    const QString lesefehler = QStringLiteral("Frequenz nicht lesbar: ");
    if (z.art != EmpfaengerZustand::Art::Verbunden) {
        z.art = EmpfaengerZustand::Art::Verbunden;
        z.adresse = adresse();
        z.modus.clear();
        z.wiederholungSekunden = 0;
        z.grund.clear();
        m_abfrage.start();
        if (m_modusLesbar)
            m_warteschlange.push_back({Befehl::ModusLesen, {}});
    }
    if (antwort.rprt != 0) {
        z.grund = lesefehler + Rigctl::fehlertext(antwort.rprt);
    } else if (!antwort.einwand.isEmpty()) {
        // Not a frequency a receiver can have: not taken, and said so.
        z.hz = 0;
        z.grund = lesefehler + antwort.einwand;
    } else {
        z.hz = antwort.hz;
        if (z.grund.startsWith(lesefehler))
            z.grund.clear();
    }
    return true;
}

bool RigctlEmpfaenger::modusGesetzt(const Auftrag &auftrag, const Rigctl::Antwort &antwort, EmpfaengerZustand &z)
{
    if (antwort.rprt == 0)
        return true;
    // A receiver without Hamlib's narrow FM gets FM with a narrow passband,
    // unless it has no mode setting at all.
    if (auftrag.argumente.startsWith("FMN ") && antwort.rprt != -11 && antwort.rprt != -4) {
        m_fmnGeht = false;
        Auftrag nochmal = auftrag;
        nochmal.argumente = modusArgumente(Modulation::FmSchmal);
        m_warteschlange.push_front(nochmal);
        return false;
    }
    z.grund = QStringLiteral("Modulation nicht gesetzt: ") + Rigctl::fehlertext(antwort.rprt);
    return true;
}
