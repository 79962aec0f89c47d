#include "shell/anwendung.h"

#include "shell/geometrie.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void Anwendung::einrichten(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("tremvik-tool"));
    QApplication::setApplicationVersion(QStringLiteral(TREMVIK_VERSION));
    QApplication::setOrganizationName(QStringLiteral("tremvik-tool"));
    QApplication::setDesktopFileName(QStringLiteral("tremvik-tool"));

    // Liberation Sans has Arial's metrics; fontconfig usually says so too.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    qtTexteDeutsch(app);

    QIcon icon;
    icon.addFile(QStringLiteral(":/tremvik/tremvik-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/tremvik/tremvik-32.xpm"), QSize(32, 32));
    QApplication::setWindowIcon(icon);
    QApplication::setFont(Geometrie::standardSchrift());
}

void Anwendung::qtTexteDeutsch(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
