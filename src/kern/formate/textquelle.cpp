// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/formate/textquelle.h"

#include "kern/formate/textkodierung.h"

#include <QIODevice>

namespace {

constexpr qint64 stueck = 256 * 1024;

// UTF-16 without a byte order mark: ASCII text has a zero byte in every
// other place. Nothing else starts that way.
Textquelle::Kodierung ohneBom(const QByteArray &anfang)
{
    const qsizetype n = std::min<qsizetype>(anfang.size(), 64) & ~qsizetype(1);
    if (n < 4)
        return Textquelle::Kodierung::Utf8;
    bool le = true, be = true;
    for (qsizetype k = 0; k < n; k += 2) {
        const char a = anfang.at(k), b = anfang.at(k + 1);
        le = le && a != 0 && b == 0;
        be = be && a == 0 && b != 0;
    }
    return le ? Textquelle::Kodierung::Utf16LE : be ? Textquelle::Kodierung::Utf16BE : Textquelle::Kodierung::Utf8;
}

// Checks UTF-8 piece by piece, a sequence may be split between pieces.
class Utf8Pruefung
{
public:
    // Whether the bytes go on as UTF-8; where not, fehlerBei is the index
    // of the byte that does not fit.
    bool weiter(const QByteArray &bytes)
    {
        for (qsizetype k = 0; k < bytes.size(); ++k) {
            const uchar b = uchar(bytes.at(k));
            fehlerBei = k;
            if (offen == 0) {
                if (b < 0x80)
                    continue;
                if (b >= 0xC2 && b <= 0xDF) {
                    offen = 1;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    offen = 2;
                    unten = b == 0xE0 ? 0xA0 : 0x80;
                    oben = b == 0xED ? 0x9F : 0xBF;
                    continue;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    offen = 3;
                    unten = b == 0xF0 ? 0x90 : 0x80;
                    oben = b == 0xF4 ? 0x8F : 0xBF;
                    continue;
                } else {
                    return false;
                }
                unten = 0x80;
                oben = 0xBF;
                continue;
            }
            if (b < unten || b > oben)
                return false;
            unten = 0x80;
            oben = 0xBF;
            --offen;
        }
        return true;
    }
    bool vollstaendig() const { return offen == 0; }
    qsizetype fehlerBei = 0;

private:
    int offen = 0;   // continuation bytes still to come
    uchar unten = 0x80, oben = 0xBF;
};

}   // namespace

Textquelle::Textquelle(QIODevice &geraet) : m_geraet(geraet)
{
    m_groesse = geraet.size();
    const QByteArray anfang = geraet.peek(64);
    qint64 bom = 0;
    if (anfang.startsWith("\xEF\xBB\xBF")) {
        bom = 3;
    } else if (anfang.startsWith("\xFF\xFE")) {
        m_kodierung = Kodierung::Utf16LE;
        bom = 2;
    } else if (anfang.startsWith("\xFE\xFF")) {
        m_kodierung = Kodierung::Utf16BE;
        bom = 2;
    } else {
        m_kodierung = ohneBom(anfang);
    }
    if (m_kodierung == Kodierung::Utf8) {
        // One pass: is every byte sequence UTF-8?
        Utf8Pruefung pruefung;
        bool utf8 = true;
        while (utf8 && !geraet.atEnd())
            utf8 = pruefung.weiter(geraet.read(stueck));
        if (!utf8 || !pruefung.vollstaendig())
            m_kodierung = Kodierung::Windows1252;
        geraet.seek(0);
    }
    geraet.read(bom);
    m_gelesen = bom;
    if (m_kodierung == Kodierung::Utf8)
        m_decoder = QStringDecoder(QStringDecoder::Utf8);
    else if (m_kodierung == Kodierung::Utf16LE)
        m_decoder = QStringDecoder(QStringDecoder::Utf16LE);
    else if (m_kodierung == Kodierung::Utf16BE)
        m_decoder = QStringDecoder(QStringDecoder::Utf16BE);
}

std::optional<int> Textquelle::utf8Fehler(QIODevice &geraet)
{
    Utf8Pruefung pruefung;
    int zeile = 1;
    while (!geraet.atEnd()) {
        const QByteArray bytes = geraet.read(stueck);
        if (!pruefung.weiter(bytes))
            return zeile + int(bytes.left(pruefung.fehlerBei).count('\n'));
        zeile += int(bytes.count('\n'));
    }
    if (!pruefung.vollstaendig())
        return zeile;
    return std::nullopt;
}

QString Textquelle::naechstes()
{
    for (;;) {
        if (m_ende)
            return QString();
        const QByteArray bytes = m_geraet.read(stueck);
        m_gelesen += bytes.size();
        QString text = m_halbesPaar.isNull() ? QString() : QString(m_halbesPaar);
        m_halbesPaar = QChar();
        if (bytes.isEmpty())
            m_ende = true;
        else
            text += windows1252() ? Textkodierung::ausWindows1252(bytes) : m_decoder.decode(bytes);
        if (!m_ende && !text.isEmpty() && text.back().isHighSurrogate()) {
            m_halbesPaar = text.back();
            text.chop(1);
        }
        if (!text.isEmpty() || m_ende)
            return text;
    }
}
