// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/rtf.h"
#include "kernhilfe.h"

#include <QDir>
#include <QTextDocument>

// Replays the fuzzing corpus (fuzz/corpus/rtf): every input that once found
// a fault or new code must still read without harm, and the writer's RTF of
// it must read back to the same text.
class TestRtfKorpus : public QObject
{
    Q_OBJECT

    static QString pruefen(const QString &eingabe)
    {
        QTextDocument d;
        Rtf::lesen(eingabe, &d);
        const QString text = Rtf::alsText(eingabe);
        if (!Rtf::istRtf(eingabe))
            return QString();
        QString roh = d.toRawText();
        roh.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        roh.replace(QChar::LineSeparator, QLatin1Char('\n'));
        if (roh != text)
            return QStringLiteral("alsText weicht vom Dokument ab");
        const QString rtf = Rtf::schreiben(d);
        for (QChar c : rtf) {
            if (c.unicode() > 0x7F)
                return QStringLiteral("geschriebenes RTF ist nicht ASCII");
        }
        QTextDocument wieder;
        Rtf::lesen(rtf, &wieder);
        if (wieder.toRawText() != d.toRawText() || wieder.blockCount() != d.blockCount())
            return QStringLiteral("Text nach dem Zurücklesen verändert");
        return QString();
    }

private Q_SLOTS:
    void korpus()
    {
        const QDir dir(QStringLiteral(TREMVIK_QUELLEN "/fuzz/corpus/rtf"));
        const QStringList dateien = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(dateien.size() > 10, qPrintable(dir.path()));
        for (const QString &name : dateien) {
            QFile f(dir.filePath(name));
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
            const QByteArray bytes = f.readAll();
            for (const QString &eingabe : {Rtf::ausBytes(bytes), QString::fromUtf8(bytes)}) {
                const QString fehler = pruefen(eingabe);
                QVERIFY2(fehler.isEmpty(), qPrintable(name + QLatin1String(": ") + fehler));
            }
        }
    }
};

TREMVIK_GUI_TEST_MAIN(TestRtfKorpus)
#include "tst_rtf_korpus.moc"
