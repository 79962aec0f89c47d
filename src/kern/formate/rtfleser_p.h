// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The RTF reader's machinery, shared by the files that make it up: the
// reader walks the text (rtfleser.cpp), knows RTF's control words
// (rtfsteuerwoerter.cpp), keeps the document's head, its destinations and
// colour table (rtftabellen.cpp), and its fonts with their code pages
// (rtfschriften.cpp). Nothing outside the reader includes this.
#include "kern/formate/rtfleser.h"

#include <QByteArray>
#include <QHash>
#include <QStringDecoder>

#include <map>

namespace RtfLeser::Intern {

enum class Ziel {
    Text,        // the document's text
    Schriften,   // \fonttbl
    Farben,      // \colortbl
    Weg,         // a destination the reader skips
};

struct Zustand
{
    Zeichen zeichen;
    Ausrichtung ausrichtung = Ausrichtung::Links;
    int uc = 1;
    Ziel ziel = Ziel::Text;
};

enum class Wort {
    Unbekannt,
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    Fonttbl,
    Colortbl,
    F,
    Fs,
    Fcharset,
    Cpg,
    B,
    I,
    Ul,
    Ulnone,
    Strike,
    Cf,
    Hintergrund,
    Super,
    Sub,
    Nosupersub,
    Plain,
    Pard,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Ql,
    Qc,
    Qr,
    Qj,
    Red,
    Green,
    Blue,
    U,
    Uc,
    Bin,
    Weg,
    Zeichen,
};

struct Eintrag
{
    Wort wort;
    char16_t zeichen = 0;   // for Wort::Zeichen
};

// The control words the reader knows, by name.
const QHash<QString, Eintrag> &woerter();

// The code page of a font's \fcharsetN; 0 = the document's code page.
int codepageVonZeichensatz(int zeichensatz);

constexpr int maxAbsaetze = 200000;

class Leser
{
public:
    explicit Leser(QString text) : m_in(std::move(text)), m_ende(m_in.size()) { }
    Dokument lesen();

private:
    void gruppeAuf();
    void gruppeZu();
    void steuerung();
    void wort(QStringView name, bool hatZahl, int zahl);
    // The control words of the document's head (code page, font and colour
    // tables, destinations that are no text), of a run's character format,
    // and of the text (paragraphs, characters, binary data); the first two
    // answer whether the word was theirs.
    bool kopfWort(Wort w, bool hatZahl, int zahl);
    bool zeichenWort(Wort w, bool hatZahl, int zahl);
    void textWort(const Eintrag &e, bool hatZahl, int zahl);
    // Steps of those: a word of the font table (false for \f outside it),
    // a colour's share in the colour table, the end of a table row, a \uN
    // character, and \binN data, which is skipped.
    bool schriftWort(Wort w, bool hatZahl, int zahl);
    void farbAnteil(Wort w, bool hatZahl, int zahl);
    void zeilenEnde();
    void unicodeZeichen(bool hatZahl, int zahl);
    void binaerUeberspringen(bool hatZahl, int zahl);
    void symbol(QChar c);
    void byteLesen();
    void textZeichen(QChar c);
    void ausgeben(QChar c);
    void bytesAusgeben();
    void absatzEnde();
    void schriftAbschliessen();
    int aktuelleCodepage() const;
    QString dekodieren(const QByteArray &bytes, int codepage);
    // Whether a character is the fallback of a \uN and to be dropped.
    bool ersatzUeberspringen()
    {
        if (m_ueberspringen > 0) {
            --m_ueberspringen;
            return true;
        }
        return false;
    }

    const QString m_in;
    const qsizetype m_ende;
    qsizetype m_pos = 0;
    bool m_fertig = false;

    QList<Zustand> m_stapel;
    Zustand m_z;
    // Groups deeper than maxTiefe keep only what decides whether their text
    // is text at all: per group the destination and \uc it was opened in,
    // one byte each. Their character and paragraph formatting is not kept:
    // closing one of them returns to the formatting the first one met.
    QByteArray m_ueberlauf;
    Zustand m_ueberlaufBasis;

    Dokument m_dok;
    Absatz m_absatz;
    bool m_absatzGesehen = false;
    qsizetype m_zeichen = 0;

    int m_ansicpg = 1252;
    QHash<int, int> m_schriftCodepage;
    std::map<int, QStringDecoder> m_decoder;
    QByteArray m_bytes;
    int m_ueberspringen = 0;

    // The font table entry being read.
    bool m_schriftOffen = false;
    int m_schriftNummer = 0;
    int m_schriftCp = 0;
    QString m_schriftName;

    // The colour table entry being read.
    int m_rot = 0, m_gruen = 0, m_blau = 0;
    bool m_farbeGesetzt = false;
};

}
