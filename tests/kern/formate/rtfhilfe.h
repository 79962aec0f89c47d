// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the tests of the remark's RTF: its sample files, and documents
// described, built and checked.
#include "kern/formate/rtf.h"

#include <QFile>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest>

#include <functional>

namespace Rtfhilfe {

inline QString datei(const QString &name)
{
    return QStringLiteral(TREMVIK_QUELLEN "/tests/kern/formate/rtf/") + name;
}

inline QString rtfDatei(const QString &name)
{
    QFile f(datei(name));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return Rtf::ausBytes(f.readAll());
}

inline QString ausrichtung(const QTextBlock &b)
{
    const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        return QStringLiteral("mitte");
    if (a & Qt::AlignJustify)
        return QStringLiteral("block");
    if (a & Qt::AlignRight)
        return QStringLiteral("rechts");
    return QStringLiteral("links");
}

inline QString art(const QTextCharFormat &f)
{
    QString s = f.fontFamilies().toStringList().value(0) + QLatin1Char(' ') + QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        s += QLatin1String(" fett");
    if (f.fontItalic())
        s += QLatin1String(" kursiv");
    if (f.fontUnderline())
        s += QLatin1String(" unter");
    if (f.fontStrikeOut())
        s += QLatin1String(" durch");
    if (f.foreground().style() != Qt::NoBrush)
        s += QLatin1Char(' ') + f.foreground().color().name();
    return s;
}

// A document as readable lines: per paragraph its alignment, then its runs
// as [format]text; neighbouring runs of the same format are joined.
inline QString beschreibung(const QTextDocument &d)
{
    QStringList zeilen;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
        QString zeile = ausrichtung(b) + QLatin1Char(':');
        QString letzte;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString a = art(it.fragment().charFormat());
            if (a != letzte)
                zeile += QLatin1Char('[') + a + QLatin1Char(']');
            letzte = a;
            zeile += it.fragment().text();
        }
        zeilen << zeile;
    }
    return zeilen.join(QLatin1Char('\n'));
}

// The format of the run holding a text.
inline QTextCharFormat formatVon(const QTextDocument &d, const QString &text)
{
    const QTextCursor c = d.find(text);
    if (c.isNull())
        return QTextCharFormat();
    QTextCursor innen(c);
    innen.setPosition(c.selectionStart() + 1);
    return innen.charFormat();
}

inline Qt::Alignment ausrichtungVon(const QTextDocument &d, const QString &text)
{
    return d.find(text).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

inline QTextCharFormat format(const QString &familie, double pt, bool fett = false, bool kursiv = false,
                              bool unter = false, bool durch = false, QColor farbe = QColor())
{
    QTextCharFormat f;
    f.setFontFamilies({familie});
    f.setFontPointSize(pt);
    f.setFontWeight(fett ? QFont::Bold : QFont::Normal);
    f.setFontItalic(kursiv);
    f.setFontUnderline(unter);
    f.setFontStrikeOut(durch);
    if (farbe.isValid())
        f.setForeground(farbe);
    return f;
}

// An RTF body read inside so many groups that it lies beyond the reader's
// limit of nesting.
inline QString tiefVerschachtelt(const QString &innen, const QString &davor = QString(),
                                 const QString &danach = QString())
{
    return QStringLiteral("{\\rtf1") + davor + QLatin1Char(' ') + QString(300, QLatin1Char('{')) + innen
           + QString(300, QLatin1Char('}')) + danach + QLatin1Char('}');
}

inline bool nurAscii(const QString &s)
{
    for (QChar c : s) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// The checks the word-processor documents share: they all hold the same
// report, with these formats.
inline void pruefeBericht(const QTextDocument &d)
{
    QVERIFY(d.toPlainText().startsWith(QStringLiteral("Empfang am 30.06.2006")));
    QVERIFY(d.toPlainText().contains(QStringLiteral("Grüße")));
    QVERIFY(d.toPlainText().contains(QStringLiteral("äöü ÄÖÜ ß € „Zitat“")));
    QCOMPARE(formatVon(d, QStringLiteral("Kanal 80")).fontWeight(), int(QFont::Bold));
    QVERIFY(!formatVon(d, QStringLiteral("Kanal 80")).fontItalic());
    QVERIFY(formatVon(d, QStringLiteral("sehr gut")).fontItalic());
    QCOMPARE(formatVon(d, QStringLiteral("Empfang")).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatVon(d, QStringLiteral("Empfang")).fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    QCOMPARE(formatVon(d, QStringLiteral("Rote")).foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat blau = formatVon(d, QStringLiteral("blau fett kursiv"));
    QCOMPARE(blau.foreground().color(), QColor(0, 0, 255));
    QCOMPARE(blau.fontWeight(), int(QFont::Bold));
    QVERIFY(blau.fontItalic());
    QCOMPARE(formatVon(d, QStringLiteral("Empfang")).foreground().style(), Qt::NoBrush);
    QVERIFY(formatVon(d, QStringLiteral("durchgestrichen")).fontStrikeOut());
    QVERIFY(!formatVon(d, QStringLiteral("durchgestrichen")).fontUnderline());
    QCOMPARE(ausrichtungVon(d, QStringLiteral("durchgestrichen")), Qt::AlignHCenter);
    QCOMPARE(ausrichtungVon(d, QStringLiteral("Grüße")), Qt::AlignRight);
    QCOMPARE(ausrichtungVon(d, QStringLiteral("Empfang")), Qt::AlignLeft);
}

// The fonts a box draws a document in: family, size, weight, slant and
// vertical alignment of every run, each a font engine of its own.
inline QSet<QString> gezeichneteSchriften(const QTextDocument &d)
{
    QSet<QString> schriften;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            schriften.insert(f.font().resolve(d.defaultFont()).key() + QString::number(f.verticalAlignment()));
        }
    }
    return schriften;
}

// One paragraph of runs "wN ", each in the format given, as a document.
QTextDocument *laeufe(int n, const std::function<QTextCharFormat(int)> &format, QObject *eltern)
{
    auto *d = new QTextDocument(eltern);
    QTextCursor c(d);
    c.beginEditBlock();
    for (int i = 0; i < n; ++i) {
        QTextCharFormat f = format(i);
        // The family once more as a single one, as the reader gives it: the
        // document's table of formats hashes a list of families by its type
        // alone.
        if (f.hasProperty(QTextFormat::FontFamilies))
            f.setProperty(QTextFormat::FontFamily, f.fontFamilies().toStringList().value(0));
        c.insertText(QStringLiteral("w%1 ").arg(i), f);
    }
    c.endEditBlock();
    return d;
}
}
