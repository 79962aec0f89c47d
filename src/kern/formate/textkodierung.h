// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

// Text of files from other programs: UTF-8 as it should be, or Windows-1252
// as older Windows programs write it; and ASCII for formats that allow
// nothing else.
namespace Textkodierung {

struct Text
{
    QString text;
    bool windows1252 = false;   // the bytes were not UTF-8
};

// The text of a file: UTF-8 when every byte sequence is UTF-8 (a leading
// byte order mark is dropped), otherwise Windows-1252, in which every byte
// is a character. Never fails and never drops a byte.
Text dekodieren(const QByteArray &daten);
// Windows-1252 bytes as text; the five bytes the code page leaves open
// become the control characters of the same number.
QString ausWindows1252(const QByteArray &daten);

// The text in ASCII: umlauts as German writes them without ("ä" -> "ae",
// "ß" -> "ss"), letters with other accents as the bare letter, typographic
// quotes and dashes as their plain forms; what has no ASCII form becomes
// '?'. Line breaks stay; other control characters become blanks.
QString ascii(const QString &text);
bool istAscii(const QString &text);
}
