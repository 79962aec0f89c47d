// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-rtf: reads an RTF file as the log window reads a remark.
//
//   tremvik-rtf totext DATEI      prints the plain text (UTF-8)
//   tremvik-rtf roundtrip DATEI   reads the file and writes it anew as RTF
//
// DATEI "-" is standard input.

#include "konsole.h"
#include "kern/formate/rtf.h"

#include <QFile>
#include <QCoreApplication>
#include <QTextDocument>

#include <cstdio>

static int aufruf(std::FILE *wohin = stderr)
{
    std::fprintf(wohin, "Aufruf: tremvik-rtf totext DATEI\n"
                         "        tremvik-rtf roundtrip DATEI\n"
                         "  totext     gibt den reinen Text der RTF-Datei aus\n"
                         "  roundtrip  liest die Datei und gibt sie neu geschrieben als RTF aus\n"
                         "  DATEI \"-\" steht für die Standardeingabe.\n");
    return 2;
}

static void ausgeben(const QByteArray &daten)
{
    std::fwrite(daten.constData(), 1, size_t(daten.size()), stdout);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    if (argc == 2 && (qstrcmp(argv[1], "--help") == 0 || qstrcmp(argv[1], "-h") == 0)) {
        aufruf(stdout);
        return 0;
    }
    if (argc != 3)
        return aufruf();
    const QByteArray befehl = argv[1];
    if (befehl != "totext" && befehl != "roundtrip") {
        std::fprintf(stderr, "tremvik-rtf: unbekannter Befehl \"%s\"\n", argv[1]);
        return aufruf();
    }

    const QString name = QString::fromLocal8Bit(argv[2]);
    QFile datei;
    bool offen;
    if (name == QLatin1String("-"))
        offen = datei.open(stdin, QIODevice::ReadOnly);
    else {
        datei.setFileName(name);
        offen = datei.open(QIODevice::ReadOnly);
    }
    if (!offen) {
        std::fprintf(stderr, "tremvik-rtf: Die Datei \"%s\" kann nicht gelesen werden: %s\n", qPrintable(name),
                     qPrintable(datei.errorString()));
        return 1;
    }
    const QByteArray daten = datei.readAll();
    if (datei.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "tremvik-rtf: Fehler beim Lesen von \"%s\": %s\n", qPrintable(name),
                     qPrintable(datei.errorString()));
        return 1;
    }
    const QString text = Rtf::ausBytes(daten);

    if (befehl == "totext") {
        QString klartext = Rtf::alsText(text);
        if (!klartext.endsWith(QLatin1Char('\n')))
            klartext += QLatin1Char('\n');
        ausgeben(klartext.toUtf8());
    } else {
        QTextDocument dokument;
        Rtf::lesen(text, &dokument);
        ausgeben(Rtf::schreiben(dokument).toLatin1());
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tremvik-rtf: Die Ausgabe kann nicht geschrieben werden.\n");
        return 1;
    }
    return 0;
}
