// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/bausteine/anwendung.h"

#include "fenster/bausteine/geometrie.h"
#include "kern/basis/sprache.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace {
QtMessageHandler vorherigeAusgabe = nullptr;

void ohneAnzeige(QtMsgType typ, const QMessageLogContext &ort, const QString &text)
{
    if (typ != QtFatalMsg) {
        if (vorherigeAusgabe)
            vorherigeAusgabe(typ, ort, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(typ, ort, text)));
        return;
    }
    // The only failure while the application is made: no platform to
    // show windows on, mostly no display at all.
    const QByteArray b = QStringLiteral("tremvik-tool: Das Hauptfenster kann nicht geöffnet werden, weil keine "
                                        "grafische Anzeige erreichbar ist (DISPLAY oder WAYLAND_DISPLAY).\n")
                             .toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}
}

void Anwendung::einrichten(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("tremvik-tool"));
    QApplication::setApplicationVersion(QStringLiteral(TREMVIK_VERSION));
    QApplication::setOrganizationName(QStringLiteral("tremvik-tool"));
    QApplication::setDesktopFileName(QStringLiteral("tremvik-tool"));

    // Liberation Sans has Arial's metrics; fontconfig usually says so too.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Sprache::qtTexteDeutsch(app);

    QIcon icon;
    icon.addFile(QStringLiteral(":/tremvik/tremvik-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/tremvik/tremvik-32.xpm"), QSize(32, 32));
    QApplication::setWindowIcon(icon);
    QApplication::setFont(Geometrie::standardSchrift());
}

QtMessageHandler Anwendung::ohneAnzeigeMelden()
{
    vorherigeAusgabe = qInstallMessageHandler(ohneAnzeige);
    return vorherigeAusgabe;
}
