// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/basis/befehlszeile.h"

#include "kern/basis/speicherorte.h"

#include <QCoreApplication>

#include <cstdio>

std::optional<QString> Befehlszeile::antwort(const QStringList &argumente)
{
    if (argumente.contains(QLatin1String("--version")))
        return QStringLiteral("tremvik-tool " TREMVIK_VERSION "\n");
    if (!argumente.contains(QLatin1String("--help")) && !argumente.contains(QLatin1String("-h")))
        return std::nullopt;
    const bool installiert = Speicherorte::art() == Speicherorte::Art::Installiert;
    return QStringLiteral("Aufruf: tremvik-tool [--version | --help]\n"
                          "\n"
                          "tremvik-tool schlägt Frequenzlisten nach (BOS, Flugfunk, AFU-Repeater,\n"
                          "Fernwirken) und führt das eigene Empfangslog. Ohne Angaben öffnet es sein\n"
                          "Hauptfenster.\n"
                          "\n"
                          "  --version   zeigt die Version und endet\n"
                          "  --help, -h  zeigt diese Hilfe und endet\n"
                          "\n"
                          "Dateien%1:\n"
                          "  Eigene Einträge:  %2\n"
                          "  Frequenzlisten:   %3\n"
                          "\n"
                          "Werkzeuge: tremvik-frequenzen (Frequenzlisten als CSV und für andere\n"
                          "Programme), tremvik-log (das Log als ADIF oder CSV), tremvik-jet (Einträge\n"
                          "und Listen aus älteren Datenbanken im Jet-Format übernehmen).\n")
        .arg(installiert ? QString() : QStringLiteral(" (neben dem Programm)"), Speicherorte::logDatei(),
             Speicherorte::frequenzDatei());
}

std::optional<int> Befehlszeile::beantworten(int argc, char *argv[])
{
    QStringList argumente;
    for (int i = 1; i < argc; ++i)
        argumente.append(QString::fromLocal8Bit(argv[i]));
    if (!argumente.contains(QLatin1String("--version")) && !argumente.contains(QLatin1String("--help"))
        && !argumente.contains(QLatin1String("-h")))
        return std::nullopt;
    // Only for where the program lies; no window, no display needed.
    QCoreApplication app(argc, argv);
    const QByteArray text = antwort(argumente).value_or(QString()).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
