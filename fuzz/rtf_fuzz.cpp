// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the RTF reader: whatever the bytes, reading must not
// crash, hang or leak, and what the writer makes of the result must read
// back to the same text.

#include "kern/formate/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

static QGuiApplication *anwendung = nullptr;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char *argv[] = {name, nullptr};
    anwendung = new QGuiApplication(argc, argv);
    return 0;
}

static void pruefen(const QString &eingabe)
{
    QTextDocument dokument;
    Rtf::lesen(eingabe, &dokument);
    const QString text = Rtf::alsText(eingabe);
    if (!Rtf::istRtf(eingabe))
        return;

    // The plain text is the document's text.
    QString roh = dokument.toRawText();
    roh.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    roh.replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (roh != text)
        std::abort();

    // The writer's RTF is pure ASCII and reads back to the same text.
    const QString rtf = Rtf::schreiben(dokument);
    for (QChar c : rtf) {
        if (c.unicode() > 0x7F)
            std::abort();
    }
    QTextDocument wieder;
    Rtf::lesen(rtf, &wieder);
    if (wieder.toRawText() != dokument.toRawText() || wieder.blockCount() != dokument.blockCount())
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t groesse)
{
    const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(groesse));
    // As a file holds it (8-bit bytes in the code page) and as a database
    // field might (every character literal).
    pruefen(Rtf::ausBytes(bytes));
    pruefen(QString::fromUtf8(bytes));
    return 0;
}
