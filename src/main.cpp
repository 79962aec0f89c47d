// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/anwendung.h"
#include "fenster/haupt/frm_main.h"
#include "kern/basis/befehlszeile.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The signals that ask the program to end (a logout, kill, Ctrl+C) reach
// the window's thread through this pair of sockets.
int signalWeg[2] = {-1, -1};
// Set once the program was asked to end: asked while it was still starting
// (a message shown before the main loop ran), it does not go on into it.
bool endeVerlangt = false;

void beendenVerlangt(int)
{
    const char c = 1;
    (void)!::write(signalWeg[0], &c, 1);
}

// Asked to end from outside, the program ends as with "ENDE": the log
// window writes its input, the automatic backup stops, and the lock file
// beside the log goes. Should a window stay open, the program ends anyway.
void beendenVonAussen(QApplication &app, frm_main &hauptfenster)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalWeg) != 0)
        return;
    auto *melder = new QSocketNotifier(signalWeg[1], QSocketNotifier::Read, &app);
    QObject::connect(melder, &QSocketNotifier::activated, &hauptfenster, [&hauptfenster] {
        char c;
        (void)!::read(signalWeg[1], &c, 1);
        endeVerlangt = true;
        hauptfenster.close();
        // Every event loop ends, also that of a message shown at start
        // (quit() would not end one before the main loop runs).
        QCoreApplication::exit(0);
    });
    struct sigaction aktion = {};
    aktion.sa_handler = beendenVerlangt;
    sigemptyset(&aktion.sa_mask);
    aktion.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &aktion, nullptr);
}
}

int main(int argc, char *argv[])
{
    // --version and --help answer on the console.
    if (const std::optional<int> ende = Befehlszeile::beantworten(argc, argv))
        return *ende;
    const QtMessageHandler ausgabe = Anwendung::ohneAnzeigeMelden();
    QApplication app(argc, argv);
    qInstallMessageHandler(ausgabe);
    Anwendung::einrichten(app);
    frm_main hauptfenster;
    beendenVonAussen(app, hauptfenster);
    hauptfenster.zeigen();
    if (endeVerlangt)
        return 0;
    return app.exec();
}
