// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/datenfehler.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The CSV dialect of the frequency lists: UTF-8 (a leading byte order mark is
// skipped), a header line, comma as separator, fields with a comma, a quote
// or a line break in double quotes with inner quotes doubled (RFC 4180).
// Lines end in LF or CRLF. Frequencies use the decimal comma and therefore
// always stand in quotes.
//
// A cell left empty (nothing between the commas) is NULL, the value that is
// not there; "" in quotes is an empty text. Writing keeps the difference, so
// a table survives writing and reading unchanged. Lines that are entirely
// empty are skipped.
//
// Files from other programs come in relatives of this dialect: a semicolon
// as separator (German spreadsheets, which also write the decimal comma
// without quotes), comment lines that start with '#', CRLF throughout. A
// Dialekt says which one is read or written.
//
// A spreadsheet takes a cell that starts with '=', '+', '-', '@', a tab or a
// carriage return for a formula and runs it when the file is opened. Such a
// text (not a plain number like "-0,6") is written with an apostrophe in
// front, which spreadsheets show as text; reading takes it off again, so the
// way there and back stays exact.
namespace Csv {

using Feld = std::optional<QString>;
using Zeile = QList<Feld>;

struct Tabelle
{
    QStringList kopf;           // the column names of the header line, trimmed
    int kopfZeile = 1;          // the line of the file that holds the header
    QList<Zeile> zeilen;        // each with as many fields as the header
    QList<int> zeilenNummern;   // the line of the file on which each row begins
};

struct Dialekt
{
    char trenner = ',';
    // Reading: a line whose first character is '#' is a comment and skipped.
    bool kommentare = false;
    // Writing: how a line ends.
    QByteArray zeilenende = "\n";
    // Formula-like texts marked as text (writing) and the mark taken off
    // (reading); files for programs that are no spreadsheet go without.
    bool formelnAlsText = true;
};

// What a reader takes at most: a field of more characters, a header of
// more columns is refused, so that no file can fill the memory.
constexpr qsizetype hoechstLaenge = 16 * 1024 * 1024;
constexpr qsizetype hoechstSpalten = 100000;

// A file that is not in this dialect, or does not fit its table. zeile() is
// the line of the file (counted from 1) where the fault lies, grund() says
// what is wrong; the message names the file (if known), the line and the
// fault: "bos.csv, Zeile 7: ...".
class Fehler : public DatenFehler
{
public:
    Fehler(int zeile, const QString &grund, const QString &datei = QString());
    int zeile() const { return m_zeile; }
    const QString &grund() const { return m_grund; }
    // The same fault, told for the named file.
    Fehler inDatei(const QString &datei) const { return Fehler(m_zeile, m_grund, datei); }

private:
    int m_zeile;
    QString m_grund;
};

// Reads a whole file. Refuses (throws Fehler) an empty file, a header
// without rows, a header with an empty or repeated name, broken quoting, a
// row whose field count differs from the header's, and text that is not
// UTF-8.
Tabelle lesen(const QByteArray &daten);
Tabelle lesen(const QByteArray &daten, const Dialekt &dialekt);
// The same for text already decoded (from another encoding).
Tabelle lesenText(const QString &text, const Dialekt &dialekt);

// Reads a file one row at a time, from text given piece by piece; the
// header is read when the reader is made. Refuses (throws Fehler) what
// lesen() refuses, at the row where it lies.
class Leser
{
public:
    using Quelle = std::function<QString()>;   // the next piece of text; empty at the end
    Leser(Quelle quelle, const Dialekt &dialekt);
    ~Leser();
    const QStringList &kopf() const;
    int kopfZeile() const;
    // The next row, with the line of the file it begins on; nothing at the end.
    std::optional<Zeile> naechste(int &zeile);

private:
    struct Zustand;
    std::unique_ptr<Zustand> d;
};

// The separator the first line that is neither empty nor a comment uses:
// ';' where it holds more semicolons than commas (outside quotes), else ','.
char trennerErkennen(const QString &text);

// One field as it is written: empty for NULL, in quotes where needed, a
// formula-like text marked as text.
QByteArray feld(const Feld &wert, char trenner = ',', bool formelnAlsText = true);
// One line with its line end. A first field that starts with '#' stands in
// quotes, so that no reader takes the line for a comment.
QByteArray zeile(const Zeile &felder, const Dialekt &dialekt = Dialekt());
// Header and rows.
QByteArray schreiben(const QStringList &kopf, const QList<Zeile> &zeilen, const Dialekt &dialekt = Dialekt());

}
