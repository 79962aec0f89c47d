// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringDecoder>

#include <optional>

class QIODevice;

// The text of a file from another program, read piece by piece so that no
// file is ever held whole: the readers of ADI and CSV take it from here.
// The encoding is the file's own: UTF-8, or UTF-16 when a byte order mark
// (or the zero bytes of ASCII text in UTF-16) says so; a file whose bytes
// are not all UTF-8 is Windows-1252, as older Windows programs write it.
// Deciding that takes one pass over the bytes before the text is given out.
class Textquelle
{
public:
    enum class Kodierung { Utf8, Windows1252, Utf16LE, Utf16BE };

    // Reads from geraet, which is open and can seek back to its start.
    explicit Textquelle(QIODevice &geraet);

    Kodierung kodierung() const { return m_kodierung; }
    bool windows1252() const { return m_kodierung == Kodierung::Windows1252; }

    // The next piece of the text (a byte order mark dropped); empty at the
    // end. A pair of UTF-16 surrogates is never parted.
    QString naechstes();
    bool amEnde() const { return m_ende; }

    // The line of the first byte sequence that is not UTF-8, reading the
    // device from where it stands; nothing when all of it is UTF-8.
    static std::optional<int> utf8Fehler(QIODevice &geraet);

    // For progress: the bytes read so far, and all of them.
    qint64 gelesen() const { return m_gelesen; }
    qint64 groesse() const { return m_groesse; }

private:
    QIODevice &m_geraet;
    Kodierung m_kodierung = Kodierung::Utf8;
    QStringDecoder m_decoder;
    QChar m_halbesPaar;   // a high surrogate held back for the next piece
    qint64 m_gelesen = 0;
    qint64 m_groesse = 0;
    bool m_ende = false;
};
