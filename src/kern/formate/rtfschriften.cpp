// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of a document: the entries of its font table, the code page
// each one's text is written in, and the decoding of bytes in it.
#include "kern/formate/rtfleser_p.h"

using namespace RtfLeser;
using namespace RtfLeser::Intern;

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

// The code page of a font's \fcharsetN; 0 = the document's code page.
int RtfLeser::Intern::codepageVonZeichensatz(int zeichensatz)
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
