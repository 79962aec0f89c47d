// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Inside of the RTF reader: the text broken into paragraphs and runs, with
// the font and colour tables as the document gave them. Rtf::lesen and
// Rtf::alsText build the document or the plain text from this.
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

namespace RtfLeser {

// Character properties in RTF's own terms; font and colours are indices into
// the document's tables and are looked up only when the text is built.
struct Zeichen
{
    int schrift = -1;               // \fN; -1 = the document's default font (\deffN)
    int halbpunkte = 24;            // \fsN
    bool fett = false;              // \b
    bool kursiv = false;            // \i
    bool unterstrichen = false;     // \ul
    bool durchgestrichen = false;   // \strike
    int farbe = 0;                  // \cfN, 0 = automatic
    int hintergrund = 0;            // \highlightN / \cbN, 0 = none
    int hochTief = 0;               // \super = 1, \sub = -1

    bool operator==(const Zeichen &o) const
    {
        return schrift == o.schrift && halbpunkte == o.halbpunkte && fett == o.fett && kursiv == o.kursiv
               && unterstrichen == o.unterstrichen && durchgestrichen == o.durchgestrichen && farbe == o.farbe
               && hintergrund == o.hintergrund && hochTief == o.hochTief;
    }
    bool operator!=(const Zeichen &o) const { return !(*this == o); }
};

enum class Ausrichtung { Links, Mitte, Rechts, Block };

struct Lauf
{
    QString text;
    Zeichen zeichen;
};

struct Absatz
{
    QList<Lauf> laeufe;
    Ausrichtung ausrichtung = Ausrichtung::Links;
    Zeichen marke;   // the properties of the paragraph mark (empty lines)
};

struct Dokument
{
    QList<Absatz> absaetze;          // never empty
    QHash<int, QString> schriften;   // font number -> family name
    int standardSchrift = 0;         // \deffN
    QList<QColor> farben;            // colour table; invalid = automatic
};

// Reads RTF text (it must start with "{\rtf"). Never fails; stops at the end
// of the outermost group, at the end of the text or at the size limit.
Dokument lesen(const QString &rtf);

// Limits that keep hostile input from costing unbounded time or memory.
constexpr int maxTiefe = 256;               // nesting depth of groups with their own formatting
constexpr qsizetype maxZeichen = 8 << 20;   // characters of text read
constexpr int maxNamenslaenge = 256;        // length of a font name

// Windows-1252: the character of a byte, and the byte of a character (-1 if
// the code page has none).
QChar ausCp1252(uchar byte);
int nachCp1252(QChar c);
}
