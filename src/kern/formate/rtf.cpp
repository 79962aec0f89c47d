// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/rtf.h"
#include "kern/formate/rtfleser.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <iterator>
#include <set>

using namespace RtfLeser;

namespace {
// What the RTF gave where the box draws a run otherwise: the family (the run
// has none of its own and is drawn in the document's default font), and the
// size in half points with the size drawn instead. Text typed after such a
// run takes them over, as it takes over any format.
constexpr int urFamilie = QTextFormat::UserProperty + 1;
constexpr int urHalbpunkte = QTextFormat::UserProperty + 2;
constexpr int gezeigteHalbpunkte = QTextFormat::UserProperty + 3;

// The size the RTF gave a run drawn in another; 0 if the run is drawn in its
// own or the user has given it a size since.
int urGroesse(const QTextCharFormat &f)
{
    if (!f.hasProperty(urHalbpunkte) || !f.hasProperty(QTextFormat::FontPointSize)
        || f.fontPointSize() != f.intProperty(gezeigteHalbpunkte) / 2.0)
        return 0;
    return f.intProperty(urHalbpunkte);
}

// The families of a run as the RTF gives them; empty if none.
QStringList familien(const QTextCharFormat &f)
{
    QStringList liste;
    if (f.hasProperty(QTextFormat::FontFamilies))
        liste = f.fontFamilies().toStringList();
    if (liste.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
        liste = QStringList{f.font().family()};
    if (liste.isEmpty() && f.hasProperty(urFamilie))
        liste = QStringList{f.stringProperty(urFamilie)};
    return liste;
}
}

bool Rtf::istRtf(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace() || c == QChar::ByteOrderMark)
            continue;
        return QStringView(text).mid(i).startsWith(QLatin1String("{\\rtf"));
    }
    return false;
}

QString Rtf::ausBytes(const QByteArray &daten)
{
    QString text;
    text.reserve(daten.size());
    if (!istRtf(QString::fromLatin1(daten.left(64)))) {
        text = QString::fromUtf8(daten);
        return text;
    }
    // An RTF file is 7-bit text; any 8-bit byte in it is in the document's
    // code page, which is just what \'hh means.
    static const char hex[] = "0123456789abcdef";
    for (char b : daten) {
        const uchar u = uchar(b);
        if (u < 0x80) {
            text.append(QLatin1Char(b));
        } else {
            text.append(QLatin1String("\\'"));
            text.append(QLatin1Char(hex[u >> 4]));
            text.append(QLatin1Char(hex[u & 15]));
        }
    }
    return text;
}

QString Rtf::schriftfamilie(const QTextCharFormat &format)
{
    return familien(format).value(0);
}

double Rtf::punktgroesse(const QTextCharFormat &format)
{
    if (const int ur = urGroesse(format))
        return ur / 2.0;
    return format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0;
}

// ---------------------------------------------------------------- reading

namespace {

// Which family and size the box draws a run in (see Rtf::lesen), taken in
// the order the runs use them. A font of its own is one family in one size,
// weight, slant and vertical alignment; weight, slant and alignment are
// always drawn as given, and the family and size are given up in turn.
class Schriftwahl
{
public:
    struct Bild
    {
        QString familie;   // empty: the document's default font
        int halbpunkte;
    };
    // A run in a family (empty: the default font) with the properties z.
    Bild waehlen(const QString &familie, const Zeichen &z);

private:
    static int naechste(const std::set<int> &groessen, int halbpunkte);

    // Per family drawn and kind of letter (bold, italic, raised or
    // lowered), the sizes drawn.
    QHash<QPair<QString, int>, std::set<int>> m_groessen;
    int m_schriften = 0;
};

int Schriftwahl::naechste(const std::set<int> &groessen, int halbpunkte)
{
    // Of two as near, the smaller.
    const auto oben = groessen.lower_bound(halbpunkte);
    if (oben == groessen.end())
        return *std::prev(oben);
    if (oben == groessen.begin())
        return *oben;
    const int unten = *std::prev(oben);
    return halbpunkte - unten <= *oben - halbpunkte ? unten : *oben;
}

Schriftwahl::Bild Schriftwahl::waehlen(const QString &familie, const Zeichen &z)
{
    const int art = int(z.fett) | int(z.kursiv) << 1 | (z.hochTief + 1) << 2;
    const int halbpunkte = z.halbpunkte;
    Bild bild{familie, halbpunkte};
    auto it = m_groessen.find({familie, art});
    if (it != m_groessen.end() && it->count(halbpunkte) != 0)
        return bild;
    if (m_schriften < Rtf::maxSchriften) {
        m_groessen[{familie, art}].insert(halbpunkte);
        ++m_schriften;
        return bild;
    }
    if (it == m_groessen.end()) {
        // A family not drawn in this kind yet: the default font.
        bild.familie.clear();
        it = m_groessen.find({bild.familie, art});
        if (it == m_groessen.end()) {
            // Once for each kind of letter.
            m_groessen[{bild.familie, art}].insert(halbpunkte);
            ++m_schriften;
            return bild;
        }
    }
    bild.halbpunkte = naechste(*it, halbpunkte);
    return bild;
}

QTextCharFormat zeichenFormat(const Zeichen &z, const Dokument &d, Schriftwahl &wahl)
{
    QTextCharFormat f;
    const int nummer = z.schrift < 0 ? d.standardSchrift : z.schrift;
    const QString familie = d.schriften.value(nummer);
    const Schriftwahl::Bild bild = wahl.waehlen(familie, z);
    if (!bild.familie.isEmpty()) {
        f.setFontFamilies(QStringList{bild.familie});
        // The same name once more as the single family: the document's
        // table of formats hashes a list of families by its type alone, and
        // a remark with thousands of fonts would search one bucket for each.
        f.setProperty(QTextFormat::FontFamily, bild.familie);
    } else if (!familie.isEmpty()) {
        f.setProperty(urFamilie, familie);
    }
    f.setFontPointSize(bild.halbpunkte / 2.0);
    if (bild.halbpunkte != z.halbpunkte) {
        f.setProperty(urHalbpunkte, z.halbpunkte);
        f.setProperty(gezeigteHalbpunkte, bild.halbpunkte);
    }
    f.setFontWeight(z.fett ? QFont::Bold : QFont::Normal);
    f.setFontItalic(z.kursiv);
    f.setFontUnderline(z.unterstrichen);
    f.setFontStrikeOut(z.durchgestrichen);
    if (z.farbe < d.farben.size() && d.farben.at(z.farbe).isValid())
        f.setForeground(d.farben.at(z.farbe));
    if (z.hintergrund > 0 && z.hintergrund < d.farben.size() && d.farben.at(z.hintergrund).isValid())
        f.setBackground(d.farben.at(z.hintergrund));
    if (z.hochTief > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (z.hochTief < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

Qt::Alignment qtAusrichtung(Ausrichtung a)
{
    switch (a) {
    case Ausrichtung::Mitte: return Qt::AlignHCenter;
    case Ausrichtung::Rechts: return Qt::AlignRight;
    case Ausrichtung::Block: return Qt::AlignJustify;
    case Ausrichtung::Links: break;
    }
    return Qt::AlignLeft;
}

}   // namespace

void Rtf::lesen(const QString &rtf, QTextDocument *dokument)
{
    if (!dokument)
        return;
    // Loading is not an edit the user could undo.
    const bool rueckgaengig = dokument->isUndoRedoEnabled();
    dokument->setUndoRedoEnabled(false);
    if (!istRtf(rtf)) {
        dokument->setPlainText(rtf);
    } else {
        const Dokument d = RtfLeser::lesen(rtf);
        dokument->clear();
        QTextCursor cursor(dokument);
        // One edit: the document and its layout take in the whole remark at
        // once instead of laying out the paragraph anew for every run.
        cursor.beginEditBlock();
        Schriftwahl wahl;
        bool erster = true;
        for (const Absatz &absatz : d.absaetze) {
            QTextBlockFormat bf;
            bf.setAlignment(qtAusrichtung(absatz.ausrichtung));
            const QTextCharFormat marke = zeichenFormat(absatz.marke, d, wahl);
            if (erster) {
                cursor.setBlockFormat(bf);
                cursor.setBlockCharFormat(marke);
                erster = false;
            } else {
                cursor.insertBlock(bf, marke);
            }
            for (const Lauf &lauf : absatz.laeufe)
                cursor.insertText(lauf.text, zeichenFormat(lauf.zeichen, d, wahl));
        }
        cursor.endEditBlock();
    }
    dokument->setUndoRedoEnabled(rueckgaengig);
    dokument->setModified(false);
}

QString Rtf::alsText(const QString &rtf)
{
    if (!istRtf(rtf))
        return rtf;
    const Dokument d = RtfLeser::lesen(rtf);
    QString text;
    for (qsizetype i = 0; i < d.absaetze.size(); ++i) {
        if (i > 0)
            text.append(QLatin1Char('\n'));
        for (const Lauf &lauf : d.absaetze.at(i).laeufe)
            text.append(lauf.text);
    }
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

// ---------------------------------------------------------------- writing

namespace {

struct Eigenschaften
{
    QString familie;
    int halbpunkte = 24;
    bool fett = false;
    bool kursiv = false;
    bool unterstrichen = false;
    bool durchgestrichen = false;
    QColor farbe;
    QColor hintergrund;
    int hochTief = 0;
};

Eigenschaften eigenschaften(const QTextCharFormat &f, const QFont &standard)
{
    Eigenschaften e;
    QStringList namen = familien(f);
    if (namen.isEmpty())
        namen = standard.families();
    if (namen.isEmpty())
        namen = QStringList{standard.family()};
    e.familie = namen.value(0).trimmed();
    if (e.familie.isEmpty())
        e.familie = QStringLiteral("Arial");

    // Pasted HTML may give sizes in pixels; RTF knows only points (96 dpi).
    double punkt = f.hasProperty(QTextFormat::FontPointSize)   ? f.fontPointSize()
                   : f.hasProperty(QTextFormat::FontPixelSize) ? f.intProperty(QTextFormat::FontPixelSize) * 0.75
                   : standard.pointSizeF() > 0                 ? standard.pointSizeF()
                                                               : standard.pixelSize() * 0.75;
    if (!(punkt > 0))
        punkt = 12;
    e.halbpunkte = qRound(qBound(0.5, punkt, 1638.0) * 2);
    if (const int ur = urGroesse(f))
        e.halbpunkte = ur;
    e.fett = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : standard.bold();
    e.kursiv = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : standard.italic();
    e.unterstrichen = (f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline))
                          ? f.fontUnderline()
                          : standard.underline();
    e.durchgestrichen = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : standard.strikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        e.farbe = f.foreground().color();
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        e.hintergrund = f.background().color();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        e.hochTief = 1;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        e.hochTief = -1;
    return e;
}

class Schreiber
{
public:
    explicit Schreiber(const QTextDocument &d) : m_dok(d), m_standard(d.defaultFont()) { }
    QString schreiben();

private:
    void formatSchreiben(const QTextCharFormat &f);
    void textSchreiben(QStringView text);
    int schrift(const QString &familie);
    int farbe(const QColor &c);
    static void escapen(QString &aus, QStringView text, bool inTabelle);

    const QTextDocument &m_dok;
    const QFont m_standard;
    QString m_text;
    // The tables in the order of first use, and the number of each entry.
    QStringList m_schriften;
    QHash<QString, int> m_schriftNummern;
    QList<QRgb> m_farben;
    QHash<QRgb, int> m_farbNummern;
};

int Schreiber::schrift(const QString &familie)
{
    auto it = m_schriftNummern.constFind(familie);
    if (it == m_schriftNummern.cend()) {
        it = m_schriftNummern.insert(familie, int(m_schriften.size()));
        m_schriften.append(familie);
    }
    return *it;
}

int Schreiber::farbe(const QColor &c)
{
    const QRgb rgb = c.rgb() | 0xFF000000u;
    auto it = m_farbNummern.constFind(rgb);
    if (it == m_farbNummern.cend()) {
        it = m_farbNummern.insert(rgb, int(m_farben.size()));
        m_farben.append(rgb);
    }
    return *it + 1;   // entry 0 is the automatic colour
}

void Schreiber::formatSchreiben(const QTextCharFormat &f)
{
    const Eigenschaften e = eigenschaften(f, m_standard);
    m_text += QStringLiteral("\\f%1\\fs%2").arg(schrift(e.familie)).arg(e.halbpunkte);
    if (e.fett)
        m_text += QLatin1String("\\b");
    if (e.kursiv)
        m_text += QLatin1String("\\i");
    if (e.unterstrichen)
        m_text += QLatin1String("\\ul");
    if (e.durchgestrichen)
        m_text += QLatin1String("\\strike");
    if (e.farbe.isValid())
        m_text += QStringLiteral("\\cf%1").arg(farbe(e.farbe));
    if (e.hintergrund.isValid())
        m_text += QStringLiteral("\\highlight%1").arg(farbe(e.hintergrund));
    if (e.hochTief > 0)
        m_text += QLatin1String("\\super");
    else if (e.hochTief < 0)
        m_text += QLatin1String("\\sub");
    m_text += QLatin1Char(' ');
}

// A character that is not written (after tab, line and the special spaces
// and hyphens are taken): ';' in the font table, which would end an entry
// and which no font name needs, and the text document's structure, which is
// no text.
bool weggelassen(char16_t u, bool inTabelle)
{
    if (u == ';')
        return inTabelle;
    return u < 0x20 || u == QChar::ParagraphSeparator || u == QChar::ObjectReplacementCharacter || u == 0xFDD0
           || u == 0xFDD1;
}

void Schreiber::escapen(QString &aus, QStringView text, bool inTabelle)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            aus += QLatin1Char('\\');
            aus += c;
        } else if (u == '\t') {
            aus += QLatin1String("\\tab ");
        } else if (u == QChar::LineSeparator) {
            aus += QLatin1String("\\line ");
        } else if (u == QChar::Nbsp) {
            aus += QLatin1String("\\~");
        } else if (u == QChar::SoftHyphen) {
            aus += QLatin1String("\\-");
        } else if (u == 0x2011) {
            aus += QLatin1String("\\_");
        } else if (weggelassen(u, inTabelle)) {
            continue;
        } else if (u < 0x80) {
            aus += c;
        } else if (const int b = nachCp1252(c); b >= 0) {
            aus += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
        } else {
            // \uN takes a signed 16-bit number; "?" is the fallback for
            // readers that do not know \u.
            aus += QStringLiteral("\\u%1?").arg(int(qint16(u)));
        }
    }
}

void Schreiber::textSchreiben(QStringView text)
{
    escapen(m_text, text, false);
}

QString Schreiber::schreiben()
{
    for (QTextBlock block = m_dok.begin(); block.isValid(); block = block.next()) {
        m_text += QLatin1String("\\pard\\plain");
        const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            m_text += QLatin1String("\\qc");
        else if (a & Qt::AlignJustify)
            m_text += QLatin1String("\\qj");
        else if (a & Qt::AlignRight)
            m_text += QLatin1String("\\qr");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty() || fragment.charFormat().isImageFormat())
                continue;   // pictures are not kept
            m_text += QLatin1String("{\\plain");
            formatSchreiben(fragment.charFormat());
            textSchreiben(fragment.text());
            m_text += QLatin1Char('}');
        }
        // The paragraph mark carries the block's own character format: it
        // sets the height of an empty line.
        formatSchreiben(block.charFormat());
        m_text += QLatin1String("\\par\n");
    }

    QString kopf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl");
    for (int i = 0; i < m_schriften.size(); ++i) {
        const QString &name = m_schriften.at(i);
        const QString n = name.toLower();
        const char *art = "\\fnil";
        if (n.contains(QLatin1String("courier")) || n.contains(QLatin1String("mono")) || n == QLatin1String("consolas"))
            art = "\\fmodern";
        else if (n.contains(QLatin1String("times"))
                 || (n.contains(QLatin1String("serif")) && !n.contains(QLatin1String("sans"))))
            art = "\\froman";
        else if (n.contains(QLatin1String("arial")) || n.contains(QLatin1String("sans"))
                 || n.contains(QLatin1String("helvetica")) || n.contains(QLatin1String("verdana"))
                 || n.contains(QLatin1String("tahoma")))
            art = "\\fswiss";
        kopf += QStringLiteral("{\\f%1%2\\fcharset0 ").arg(i).arg(QLatin1String(art));
        escapen(kopf, name, true);
        kopf += QLatin1String(";}");
    }
    kopf += QLatin1String("}\n{\\colortbl;");
    for (QRgb rgb : m_farben)
        kopf += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(qRed(rgb)).arg(qGreen(rgb)).arg(qBlue(rgb));
    kopf += QLatin1String("}\n{\\*\\generator tremvik-tool;}\\viewkind4\n");
    return kopf + m_text + QLatin1Char('}');
}

}   // namespace

QString Rtf::schreiben(const QTextDocument &dokument)
{
    Schreiber s(dokument);
    return s.schreiben();
}
