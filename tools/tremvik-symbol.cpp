// SPDX-License-Identifier: GPL-3.0-or-later
// tremvik-symbol: writes the program's icon as PNG, for the icon theme of
// an installed program.
//
//   tremvik-symbol EIN.xpm AUS.png
//
// The icon is kept once, as the XPM images the program itself shows; the
// build turns each into the PNG that desktops look up by size.

#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("Aufruf: tremvik-symbol EIN.xpm AUS.png\n"
                   "  schreibt das Bild EIN unverändert als PNG-Datei AUS.\n",
                   stderr);
        return 2;
    }
    QImageReader leser(QString::fromLocal8Bit(argv[1]));
    const QImage bild = leser.read();
    if (bild.isNull()) {
        std::fprintf(stderr, "tremvik-symbol: %s kann nicht gelesen werden: %s\n", argv[1],
                     qPrintable(leser.errorString()));
        return 1;
    }
    if (!bild.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "tremvik-symbol: %s kann nicht geschrieben werden.\n", argv[2]);
        return 1;
    }
    return 0;
}
