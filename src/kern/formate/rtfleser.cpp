#include "kern/formate/rtfleser.h"

#include <QByteArray>
#include <QStringDecoder>

#include <limits>
#include <map>

using namespace RtfLeser;

// Windows-1252 from 0x80 to 0x9F; the five bytes the code page leaves free
// keep their C1 code points, as Windows does.
static const char16_t cp1252Oben[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar RtfLeser::ausCp1252(uchar byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(cp1252Oben[byte - 0x80]);
    return QChar(byte);
}

int RtfLeser::nachCp1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (cp1252Oben[i] == u && !(u >= 0x80 && u < 0xA0))
            return 0x80 + i;
    }
    return -1;
}

namespace {

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

const QHash<QString, Eintrag> &woerter()
{
    static const QHash<QString, Eintrag> tabelle = [] {
        QHash<QString, Eintrag> t;
        const struct
        {
            const char *name;
            Wort wort;
        } liste[] = {
            {"ansi", Wort::Ansi},
            {"mac", Wort::Mac},
            {"pc", Wort::Pc},
            {"pca", Wort::Pca},
            {"ansicpg", Wort::Ansicpg},
            {"deff", Wort::Deff},
            {"fonttbl", Wort::Fonttbl},
            {"colortbl", Wort::Colortbl},
            {"f", Wort::F},
            {"fs", Wort::Fs},
            {"fcharset", Wort::Fcharset},
            {"cpg", Wort::Cpg},
            {"b", Wort::B},
            {"i", Wort::I},
            {"ulnone", Wort::Ulnone},
            {"strike", Wort::Strike},
            {"striked", Wort::Strike},
            {"cf", Wort::Cf},
            {"cb", Wort::Hintergrund},
            {"highlight", Wort::Hintergrund},
            {"super", Wort::Super},
            {"sub", Wort::Sub},
            {"nosupersub", Wort::Nosupersub},
            {"plain", Wort::Plain},
            {"pard", Wort::Pard},
            {"par", Wort::Par},
            {"sect", Wort::Par},
            {"page", Wort::Par},
            {"line", Wort::Line},
            {"tab", Wort::Tab},
            {"cell", Wort::Cell},
            {"nestcell", Wort::Cell},
            {"row", Wort::Row},
            {"nestrow", Wort::Row},
            {"ql", Wort::Ql},
            {"qc", Wort::Qc},
            {"qr", Wort::Qr},
            {"qj", Wort::Qj},
            {"red", Wort::Red},
            {"green", Wort::Green},
            {"blue", Wort::Blue},
            {"u", Wort::U},
            {"uc", Wort::Uc},
            {"bin", Wort::Bin},
        };
        for (const auto &e : liste)
            t.insert(QString::fromLatin1(e.name), {e.wort});
        // Every kind of underline is an underline here.
        for (const char *ul :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
              "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.insert(QString::fromLatin1(ul), {Wort::Ul});
        // Destinations whose content is not part of the text.
        for (const char *weg : {"info",
                                "stylesheet",
                                "pict",
                                "object",
                                "header",
                                "headerl",
                                "headerr",
                                "headerf",
                                "footer",
                                "footerl",
                                "footerr",
                                "footerf",
                                "listtable",
                                "listoverridetable",
                                "revtbl",
                                "rsidtbl",
                                "xmlnstbl",
                                "filetbl",
                                "themedata",
                                "colorschememapping",
                                "latentstyles",
                                "datastore",
                                "generator",
                                "footnote",
                                "annotation",
                                "atnid",
                                "atnauthor",
                                "atndate",
                                "atnref",
                                "fldinst",
                                "bkmkstart",
                                "bkmkend",
                                "pn",
                                "pntxta",
                                "pntxtb",
                                "mmathPr",
                                "xe",
                                "tc",
                                "txe",
                                "template",
                                "pgdsctbl",
                                "nonshppict",
                                "shpinst",
                                "objdata",
                                "ftnsep",
                                "ftnsepc",
                                "aftnsep",
                                "aftnsepc",
                                "fchars",
                                "lchars",
                                "userprops",
                                "docvar",
                                "author",
                                "operator",
                                "title",
                                "subject",
                                "keywords",
                                "comment",
                                "doccomm",
                                "company",
                                "manager",
                                "category",
                                "hlinkbase",
                                "private",
                                "wgrffmtfilter",
                                "defchp",
                                "defpap",
                                "listpicture",
                                "protusertbl",
                                "passwordhash",
                                "blipuid",
                                "picprop",
                                "panose",
                                "falt",
                                "fontemb",
                                "fontfile",
                                "expandedcolortbl"})
            t.insert(QString::fromLatin1(weg), {Wort::Weg});
        const struct
        {
            const char *name;
            char16_t c;
        } zeichen[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"emspace", 0x2003}, {"enspace", 0x2002},   {"qmspace", 0x2005},
            {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"zwj", 0x200D},    {"zwnj", 0x200C},   {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &e : zeichen)
            t.insert(QString::fromLatin1(e.name), {Wort::Zeichen, e.c});
        return t;
    }();
    return tabelle;
}

// The code page of a font's \fcharsetN; 0 = the document's code page.
int codepageVonZeichensatz(int zeichensatz)
{
    switch (zeichensatz) {
    case 2: return 1252;   // Symbol: its bytes are read like Windows-1252
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

bool istBuchstabe(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool istZiffer(QChar c)
{
    const char16_t u = c.unicode();
    return u >= '0' && u <= '9';
}

int hexWert(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

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

Dokument Leser::lesen()
{
    while (m_pos < m_ende && !m_fertig) {
        const QChar c = m_in.at(m_pos);
        switch (c.unicode()) {
        case '{':
            ++m_pos;
            gruppeAuf();
            break;
        case '}':
            ++m_pos;
            gruppeZu();
            break;
        case '\\': steuerung(); break;
        case '\r':
        case '\n':
            ++m_pos;   // line breaks in the file are not text
            break;
        default:
            ++m_pos;
            if (ersatzUeberspringen())
                break;
            bytesAusgeben();
            textZeichen(c);
        }
    }
    bytesAusgeben();
    schriftAbschliessen();

    // A last \par closes the last paragraph, as in the word processors; it
    // does not open an empty one after it.
    if (!m_absatz.laeufe.isEmpty() || !m_absatzGesehen) {
        m_absatz.ausrichtung = m_z.ausrichtung;
        m_absatz.marke = m_z.zeichen;
        m_dok.absaetze.append(m_absatz);
    }
    if (m_dok.absaetze.isEmpty()) {
        Absatz leer;
        leer.marke = m_z.zeichen;
        m_dok.absaetze.append(leer);
    }
    return std::move(m_dok);
}

void Leser::gruppeAuf()
{
    bytesAusgeben();
    m_ueberspringen = 0;
    if (m_stapel.size() < maxTiefe) {
        m_stapel.append(m_z);
        return;
    }
    if (m_ueberlauf.isEmpty())
        m_ueberlaufBasis = m_z;
    // Two bits of destination, \uc (0 to 16) above them.
    m_ueberlauf.append(char(int(m_z.ziel) | m_z.uc << 2));
}

void Leser::gruppeZu()
{
    bytesAusgeben();
    m_ueberspringen = 0;
    if (m_z.ziel == Ziel::Schriften)
        schriftAbschliessen();
    if (!m_ueberlauf.isEmpty()) {
        const int gespeichert = uchar(m_ueberlauf.back());
        m_ueberlauf.chop(1);
        m_z.zeichen = m_ueberlaufBasis.zeichen;
        m_z.ausrichtung = m_ueberlaufBasis.ausrichtung;
        m_z.ziel = Ziel(gespeichert & 3);
        m_z.uc = gespeichert >> 2;
        return;
    }
    if (m_stapel.size() <= 1) {
        // The end of the outermost group is the end of the document; the
        // state of its last paragraph stays as it was.
        m_fertig = true;
        return;
    }
    m_z = m_stapel.takeLast();
}

void Leser::steuerung()
{
    ++m_pos;   // the backslash
    if (m_pos >= m_ende)
        return;
    const QChar c = m_in.at(m_pos);
    if (c == QLatin1Char('\'')) {
        ++m_pos;
        byteLesen();
        return;
    }
    bytesAusgeben();
    if (!istBuchstabe(c)) {
        ++m_pos;
        if (ersatzUeberspringen())
            return;
        symbol(c);
        return;
    }
    const qsizetype anfang = m_pos;
    while (m_pos < m_ende && istBuchstabe(m_in.at(m_pos)))
        ++m_pos;
    const QStringView name = QStringView(m_in).mid(anfang, m_pos - anfang);
    bool negativ = false;
    if (m_pos + 1 < m_ende && m_in.at(m_pos) == QLatin1Char('-') && istZiffer(m_in.at(m_pos + 1))) {
        negativ = true;
        ++m_pos;
    }
    bool hatZahl = false;
    qint64 zahl = 0;
    while (m_pos < m_ende && istZiffer(m_in.at(m_pos))) {
        hatZahl = true;
        if (zahl < (qint64(1) << 40))
            zahl = zahl * 10 + (m_in.at(m_pos).unicode() - '0');
        ++m_pos;
    }
    if (negativ)
        zahl = -zahl;
    zahl = qBound(qint64(std::numeric_limits<int>::min()), zahl, qint64(std::numeric_limits<int>::max()));
    if (m_pos < m_ende && m_in.at(m_pos) == QLatin1Char(' '))
        ++m_pos;   // the delimiter belongs to the control word
    // A control word ends the fallback of a \uN: writers put the fallback
    // right after it, and a \par must never be lost to it.
    m_ueberspringen = 0;
    if (name.size() <= 32)
        wort(name, hatZahl, int(zahl));
}

void Leser::wort(QStringView name, bool hatZahl, int zahl)
{
    const Eintrag e = woerter().value(name.toString(), Eintrag{Wort::Unbekannt});
    if (e.wort == Wort::Unbekannt)
        return;
    if (!kopfWort(e.wort, hatZahl, zahl) && !zeichenWort(e.wort, hatZahl, zahl))
        textWort(e, hatZahl, zahl);
}

bool Leser::kopfWort(Wort w, bool hatZahl, int zahl)
{
    switch (w) {
    case Wort::Ansi: m_ansicpg = 1252; break;
    case Wort::Mac: m_ansicpg = 10000; break;
    case Wort::Pc: m_ansicpg = 437; break;
    case Wort::Pca: m_ansicpg = 850; break;
    case Wort::Ansicpg:
        if (hatZahl && zahl > 0 && zahl <= 65535)
            m_ansicpg = zahl;
        break;
    case Wort::Deff:
        if (hatZahl)
            m_dok.standardSchrift = zahl;
        break;
    case Wort::Fonttbl: m_z.ziel = Ziel::Schriften; break;
    case Wort::Colortbl:
        m_z.ziel = Ziel::Farben;
        m_farbeGesetzt = false;
        m_rot = m_gruen = m_blau = 0;
        break;
    case Wort::F:
    case Wort::Fcharset:
    case Wort::Cpg: return schriftWort(w, hatZahl, zahl);
    case Wort::Red:
    case Wort::Green:
    case Wort::Blue: farbAnteil(w, hatZahl, zahl); break;
    case Wort::Weg: m_z.ziel = Ziel::Weg; break;
    default: return false;
    }
    return true;
}

bool Leser::schriftWort(Wort w, bool hatZahl, int zahl)
{
    const bool inTabelle = m_z.ziel == Ziel::Schriften;
    switch (w) {
    case Wort::F:
        // In the font table a new font; in the text the run's font.
        if (!inTabelle)
            return false;
        schriftAbschliessen();
        m_schriftOffen = true;
        m_schriftNummer = hatZahl ? zahl : 0;
        m_schriftCp = 0;
        m_schriftName.clear();
        break;
    case Wort::Fcharset:
        if (inTabelle && m_schriftOffen && hatZahl && m_schriftCp == 0)
            m_schriftCp = codepageVonZeichensatz(zahl);
        break;
    case Wort::Cpg:
        if (inTabelle && m_schriftOffen && hatZahl && zahl > 0 && zahl <= 65535)
            m_schriftCp = zahl;
        break;
    default: break;
    }
    return true;
}

void Leser::farbAnteil(Wort w, bool hatZahl, int zahl)
{
    if (m_z.ziel != Ziel::Farben)
        return;
    const int wert = hatZahl ? qBound(0, zahl, 255) : 0;
    (w == Wort::Red ? m_rot : w == Wort::Green ? m_gruen : m_blau) = wert;
    m_farbeGesetzt = true;
}

bool Leser::zeichenWort(Wort w, bool hatZahl, int zahl)
{
    const bool an = !hatZahl || zahl != 0;
    Zeichen &z = m_z.zeichen;
    switch (w) {
    case Wort::F:
        if (hatZahl)
            z.schrift = zahl;
        break;
    case Wort::Fs:
        if (!hatZahl)
            z.halbpunkte = 24;
        else if (zahl > 0)
            z.halbpunkte = qMin(zahl, 3276);
        break;
    case Wort::B: z.fett = an; break;
    case Wort::I: z.kursiv = an; break;
    case Wort::Ul: z.unterstrichen = an; break;
    case Wort::Ulnone: z.unterstrichen = false; break;
    case Wort::Strike: z.durchgestrichen = an; break;
    case Wort::Cf: z.farbe = hatZahl ? qMax(zahl, 0) : 0; break;
    case Wort::Hintergrund: z.hintergrund = hatZahl ? qMax(zahl, 0) : 0; break;
    case Wort::Super: z.hochTief = 1; break;
    case Wort::Sub: z.hochTief = -1; break;
    case Wort::Nosupersub: z.hochTief = 0; break;
    case Wort::Plain: z = Zeichen(); break;
    default: return false;
    }
    return true;
}

void Leser::textWort(const Eintrag &e, bool hatZahl, int zahl)
{
    const bool text = m_z.ziel == Ziel::Text;
    switch (e.wort) {
    case Wort::Pard:
    case Wort::Ql: m_z.ausrichtung = Ausrichtung::Links; break;
    case Wort::Qc: m_z.ausrichtung = Ausrichtung::Mitte; break;
    case Wort::Qr: m_z.ausrichtung = Ausrichtung::Rechts; break;
    case Wort::Qj: m_z.ausrichtung = Ausrichtung::Block; break;
    case Wort::Par:
        if (text)
            absatzEnde();
        break;
    case Wort::Row:
        if (text)
            zeilenEnde();
        break;
    case Wort::Line: ausgeben(QChar::LineSeparator); break;
    case Wort::Tab:
    case Wort::Cell: ausgeben(QLatin1Char('\t')); break;
    case Wort::Zeichen: ausgeben(QChar(e.zeichen)); break;
    case Wort::U: unicodeZeichen(hatZahl, zahl); break;
    case Wort::Uc:
        if (hatZahl)
            m_z.uc = qBound(0, zahl, 16);
        break;
    case Wort::Bin: binaerUeberspringen(hatZahl, zahl); break;
    default: break;
    }
}

void Leser::zeilenEnde()
{
    // The last cell's tab is no part of the text.
    if (!m_absatz.laeufe.isEmpty() && m_absatz.laeufe.last().text.endsWith(QLatin1Char('\t')))
        m_absatz.laeufe.last().text.chop(1);
    absatzEnde();
}

void Leser::unicodeZeichen(bool hatZahl, int zahl)
{
    if (!hatZahl)
        return;
    // The parameter is a signed 16-bit number.
    const int code = zahl < 0 ? zahl + 65536 : zahl;
    if (code > 0 && code <= 0xFFFF)
        ausgeben(QChar(char16_t(code)));
    m_ueberspringen = m_z.uc;
}

void Leser::binaerUeberspringen(bool hatZahl, int zahl)
{
    // Binary data of the given length; a length beyond the end of the text
    // means the rest is broken.
    if (!hatZahl || zahl <= 0)
        return;
    if (zahl > m_ende - m_pos)
        m_fertig = true;
    else
        m_pos += zahl;
}

void Leser::symbol(QChar c)
{
    switch (c.unicode()) {
    case '\\':
    case '{':
    case '}': textZeichen(c); break;
    case '~': ausgeben(QChar::Nbsp); break;
    case '-': ausgeben(QChar::SoftHyphen); break;
    case '_': ausgeben(QChar(0x2011)); break;
    case '*':
        // An ignorable destination: whatever it is, its content is not text.
        m_z.ziel = Ziel::Weg;
        break;
    case '\r':
    case '\n':
        if (m_z.ziel == Ziel::Text)
            absatzEnde();
        break;
    case '\t': ausgeben(QLatin1Char('\t')); break;
    default: break;   // \| \: and others without meaning here
    }
}

void Leser::byteLesen()
{
    int wert = 0;
    int ziffern = 0;
    while (ziffern < 2 && m_pos < m_ende) {
        const int h = hexWert(m_in.at(m_pos));
        if (h < 0)
            break;
        wert = wert * 16 + h;
        ++ziffern;
        ++m_pos;
    }
    if (ziffern == 0 || ersatzUeberspringen() || m_z.ziel == Ziel::Weg)
        return;
    m_bytes.append(char(wert));
}

void Leser::textZeichen(QChar c)
{
    switch (m_z.ziel) {
    case Ziel::Text: ausgeben(c); break;
    case Ziel::Schriften:
        if (c == QLatin1Char(';'))
            schriftAbschliessen();
        else if (m_schriftOffen && m_schriftName.size() < maxNamenslaenge)
            m_schriftName.append(c);
        break;
    case Ziel::Farben:
        if (c == QLatin1Char(';')) {
            m_dok.farben.append(m_farbeGesetzt ? QColor(m_rot, m_gruen, m_blau) : QColor());
            m_farbeGesetzt = false;
            m_rot = m_gruen = m_blau = 0;
        }
        break;
    case Ziel::Weg: break;
    }
}

void Leser::ausgeben(QChar c)
{
    if (m_z.ziel != Ziel::Text) {
        if (m_z.ziel == Ziel::Schriften)
            textZeichen(c);
        return;
    }
    const char16_t u = c.unicode();
    // Control characters and the characters the text document reserves for
    // its own structure are not text.
    if ((u < 0x20 && u != '\t') || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC)
        return;
    if (m_zeichen >= maxZeichen) {
        m_fertig = true;
        return;
    }
    ++m_zeichen;
    if (m_absatz.laeufe.isEmpty() || m_absatz.laeufe.last().zeichen != m_z.zeichen)
        m_absatz.laeufe.append(Lauf{QString(), m_z.zeichen});
    m_absatz.laeufe.last().text.append(c);
}

void Leser::bytesAusgeben()
{
    if (m_bytes.isEmpty())
        return;
    const QString text = dekodieren(m_bytes, aktuelleCodepage());
    m_bytes.clear();
    for (QChar c : text)
        ausgeben(c);
}

void Leser::absatzEnde()
{
    if (m_dok.absaetze.size() >= maxAbsaetze) {
        m_fertig = true;
        return;
    }
    m_absatz.ausrichtung = m_z.ausrichtung;
    m_absatz.marke = m_z.zeichen;
    m_dok.absaetze.append(m_absatz);
    m_absatz = Absatz();
    m_absatzGesehen = true;
}

void Leser::schriftAbschliessen()
{
    if (!m_schriftOffen)
        return;
    bytesAusgeben();
    m_schriftOffen = false;
    m_dok.schriften.insert(m_schriftNummer, m_schriftName.trimmed());
    m_schriftCodepage.insert(m_schriftNummer, m_schriftCp);
    m_schriftName.clear();
}

int Leser::aktuelleCodepage() const
{
    int cp = 0;
    if (m_z.ziel == Ziel::Schriften) {
        cp = m_schriftCp;
    } else {
        const int schrift = m_z.zeichen.schrift < 0 ? m_dok.standardSchrift : m_z.zeichen.schrift;
        cp = m_schriftCodepage.value(schrift, 0);
    }
    return cp ? cp : m_ansicpg;
}

QString Leser::dekodieren(const QByteArray &bytes, int codepage)
{
    if (codepage == 65001)
        return QString::fromUtf8(bytes);
    if (codepage != 1252) {
        auto it = m_decoder.find(codepage);
        if (it == m_decoder.end()) {
            QList<QByteArray> namen;
            switch (codepage) {
            case 10000: namen << "macintosh"; break;
            case 932:
                namen << "windows-31j"
                      << "Shift_JIS";
                break;
            case 936: namen << "GBK"; break;
            case 949:
                namen << "windows-949"
                      << "EUC-KR";
                break;
            case 950: namen << "Big5"; break;
            case 437: namen << "IBM437"; break;
            case 850: namen << "IBM850"; break;
            default: break;
            }
            const QByteArray zahl = QByteArray::number(codepage);
            namen << "windows-" + zahl << "cp" + zahl << "ibm-" + zahl;
            QStringDecoder gefunden;
            for (const QByteArray &name : namen) {
                QStringDecoder d(name.constData(), QStringDecoder::Flag::Stateless);
                if (d.isValid()) {
                    gefunden = std::move(d);
                    break;
                }
            }
            it = m_decoder.emplace(codepage, std::move(gefunden)).first;
        }
        if (it->second.isValid())
            return it->second.decode(bytes);
    }
    // Windows-1252, also for code pages this system cannot decode.
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.append(ausCp1252(uchar(b)));
    return text;
}

}   // namespace

Dokument RtfLeser::lesen(const QString &rtf)
{
    // Whatever precedes the first group (blanks, a byte order mark) is no
    // part of the document.
    const qsizetype anfang = rtf.indexOf(QLatin1Char('{'));
    Leser leser(anfang > 0 ? rtf.mid(anfang) : rtf);
    return leser.lesen();
}
