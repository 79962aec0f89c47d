// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's walk through the text: groups and their state, control
// words and symbols, characters, paragraphs and table rows.
#include "kern/formate/rtfleser_p.h"

#include <limits>

using namespace RtfLeser;
using namespace RtfLeser::Intern;

namespace {

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

}   // namespace

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

Dokument RtfLeser::lesen(const QString &rtf)
{
    // Whatever precedes the first group (blanks, a byte order mark) is no
    // part of the document.
    const qsizetype anfang = rtf.indexOf(QLatin1Char('{'));
    Leser leser(anfang > 0 ? rtf.mid(anfang) : rtf);
    return leser.lesen();
}
