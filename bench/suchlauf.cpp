// SPDX-License-Identifier: GPL-3.0-or-later
// bench scan-sweep: one sweep of a scan over a list's channels, as the
// program runs it (main window, list window, scan window, the rigctl client
// in the event loop), against a fake receiver that answers at once on a
// thread of its own, with no dwell. The floor sends the very lines the scan
// sent, one after the other, over one blocking socket, and reads each reply.

#include "bench.h"
#include "fenster/empfaenger/frm_suchlauf.h"
#include "fenster/haupt/frm_main.h"
#include "fenster/listen/frm_liste.h"
#include "kern/basis/programmverzeichnis.h"
#include "kern/daten/verbindung.h"
#include "kern/empfaenger/rigctl.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <sqlite3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Writes all of it; false when the other side is gone.
bool alles(int fd, const std::string &text)
{
    size_t weg = 0;
    while (weg < text.size()) {
        const ssize_t n = ::send(fd, text.data() + weg, text.size() - weg, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        weg += size_t(n);
    }
    return true;
}

void ohneVerzoegerung(int fd)
{
    int ja = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &ja, sizeof ja);
}

// A receiver behind the rigctl protocol, as rigctld answers in the extended
// and the plain form; a weak signal everywhere. It notes the lines it gets
// while told to.
class Attrappe
{
public:
    Attrappe()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int ja = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &ja, sizeof ja);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(m_fd, 8);
        socklen_t l = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &l);
        m_port = ntohs(a.sin_port);
        m_annehmen = std::thread([this] { annehmen(); });
    }
    ~Attrappe()
    {
        m_ende = true;
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_annehmen.join();
        for (std::thread &t : m_verbindungen)
            t.join();
    }

    quint16 port() const { return m_port; }
    void mitschreiben(bool ja)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_mitschreiben = ja;
        if (ja)
            m_zeilen.clear();
    }
    std::vector<std::string> zeilen()
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_zeilen;
    }

    static std::string antwort(const std::string &zeile)
    {
        const bool erweitert = zeile.rfind("+\\", 0) == 0;
        const std::string befehl = erweitert ? zeile.substr(2) : zeile;
        auto beginnt = [&](const char *b) { return befehl.rfind(b, 0) == 0; };
        if (befehl == "\\chk_vfo")
            return "0\n";
        if (erweitert) {
            if (beginnt("get_freq"))
                return "get_freq:\nFrequency: 145000000\nRPRT 0\n";
            if (beginnt("get_mode"))
                return "get_mode:\nMode: FMN\nPassband: 12500\nRPRT 0\n";
            if (beginnt("set_freq") || beginnt("set_mode"))
                return befehl + "\nRPRT 0\n";
            if (beginnt("get_level"))
                return "get_level: STRENGTH\n-54\nRPRT 0\n";
            return "RPRT -11\n";
        }
        if (befehl == "f")
            return "145000000\n";
        if (befehl == "m")
            return "FMN\n12500\n";
        if (beginnt("l "))
            return "-54\n";
        return "RPRT 0\n";
    }

private:
    void annehmen()
    {
        while (!m_ende) {
            const int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0)
                return;
            ohneVerzoegerung(c);
            m_verbindungen.emplace_back([this, c] { bedienen(c); });
        }
    }

    void bedienen(int c)
    {
        std::string puffer;
        char block[4096];
        for (;;) {
            const ssize_t n = ::recv(c, block, sizeof block, 0);
            if (n <= 0)
                break;
            puffer.append(block, size_t(n));
            for (size_t ende = puffer.find('\n'); ende != std::string::npos; ende = puffer.find('\n')) {
                const std::string zeile = puffer.substr(0, ende);
                puffer.erase(0, ende + 1);
                {
                    std::lock_guard<std::mutex> l(m_mutex);
                    if (m_mitschreiben)
                        m_zeilen.push_back(zeile);
                }
                if (!alles(c, antwort(zeile)))
                    break;
            }
        }
        ::close(c);
    }

    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_ende{false};
    std::thread m_annehmen;
    std::vector<std::thread> m_verbindungen;
    std::mutex m_mutex;
    bool m_mitschreiben = false;
    std::vector<std::string> m_zeilen;
};

// The floor: the lines over one blocking socket, each reply read whole (an
// extended reply ends with its "RPRT" line, a plain one has its lines).
double boden(quint16 port, const std::vector<std::string> &zeilen)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ohneVerzoegerung(fd);
    std::string puffer;
    char block[4096];
    QElapsedTimer t;
    t.start();
    for (const std::string &z : zeilen) {
        alles(fd, z + '\n');
        const size_t erwartet = Attrappe::antwort(z).size();
        while (puffer.size() < erwartet) {
            const ssize_t n = ::recv(fd, block, sizeof block, 0);
            if (n <= 0)
                break;
            puffer.append(block, size_t(n));
        }
        puffer.erase(0, erwartet);
    }
    const double ms = t.nsecsElapsed() / 1e6;
    ::close(fd);
    return ms;
}

void datenbanken(const QString &ordner, int n)
{
    auto datei = [&](const QString &verbindung) {
        const QString pfad = ordner + QLatin1Char('/') + Verbindung::dateiName(verbindung);
        QFile::remove(pfad);
        return QFile::encodeName(pfad);
    };
    auto schema = [](const char *name) {
        QFile f(QStringLiteral(TREMVIK_QUELLEN "/db/") + QLatin1String(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    sqlite3 *db = nullptr;
    sqlite3_open(datei(Verbindungstext::log).constData(), &db);
    sqlite3_exec(db, schema("kontakt.sql").constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    sqlite3_open(datei(Verbindungstext::frequenzen).constData(), &db);
    sqlite3_exec(db, schema("frequenzen.sql").constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "insert into bos values ('HH', ?, 'Feuerwehr', ?, '', ?)", -1, &s, nullptr);
    for (int i = 0; i < n; ++i) {
        // n channels 12.5 kHz apart from 440 MHz up.
        const qint64 hz = 440'000'000 + qint64(i) * 12'500;
        const QByteArray ort = "Ort " + QByteArray::number(i);
        const QByteArray ruf = "Florian " + QByteArray::number(i);
        const QByteArray freq =
            QByteArray::number(hz / 1'000'000) + ',' + QByteArray::number(hz % 1'000'000 + 1'000'000).mid(1);
        sqlite3_bind_text(s, 1, ort.constData(), ort.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, ruf.constData(), ruf.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, freq.constData(), freq.size(), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}   // namespace

void suchlaufFall(const QString &ordner, int n)
{
    datenbanken(ordner, n);
    Programmverzeichnis::setzen(ordner);
    Attrappe empfaenger;
    frm_main haupt;
    haupt.zeigen();
    haupt.empfaenger()->verbinden(QStringLiteral("127.0.0.1"), empfaenger.port());
    while (!haupt.empfaenger()->verbunden())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    haupt.bos_Click();
    auto *liste = qobject_cast<FrequenzListe *>(haupt.frm_bos());
    liste->mnu_suchlauf->trigger();
    auto *fenster = qobject_cast<frm_suchlauf *>(haupt.frm_suchlauf());
    fenster->txt_verweilen->setValue(0.0);
    if (fenster->suchlauf()->kanaele().size() != n) {
        std::fprintf(stderr, "tremvik-bench: %d Kanäle statt %d\n", int(fenster->suchlauf()->kanaele().size()), n);
        return;
    }

    // One sweep from the first channel, through the button.
    auto durchlauf = [&] {
        liste->mnu_suchlauf->trigger();   // the channels anew: the first is current
        QEventLoop schleife;
        QObject::connect(fenster->suchlauf(), &Suchlauf::standGeaendert, &schleife, [&] {
            if (fenster->suchlauf()->stand().durchlaeufe >= 1) {
                fenster->suchlauf()->stoppen();
                schleife.quit();
            }
        });
        QElapsedTimer t;
        t.start();
        fenster->cmd_start->click();
        schleife.exec();
        return t.nsecsElapsed() / 1e6;
    };

    durchlauf();   // warm
    // Either side is paced by the other end's answers, so another process
    // that takes the processor for a moment only ever adds to a run: the
    // fastest of several runs tells what the work needs.
    std::vector<double> u, b;
    for (int i = 0; i < 9; ++i) {
        empfaenger.mitschreiben(true);
        u.push_back(durchlauf());
        const std::vector<std::string> zeilen = empfaenger.zeilen();
        empfaenger.mitschreiben(false);
        QCoreApplication::processEvents();
        b.push_back(boden(empfaenger.port(), zeilen));
    }
    std::sort(u.begin(), u.end());
    std::sort(b.begin(), b.end());
    const double mu = u.front(), mb = b.front();
    std::printf("bench scan-sweep rows=%d ms=%.2f floor_ms=%.2f ratio=%.2f rss_mb=%.1f\n", n, mu, mb,
                mb > 0 ? mu / mb : 0.0, Bench::spitzeMb());
    std::fflush(stdout);
}
