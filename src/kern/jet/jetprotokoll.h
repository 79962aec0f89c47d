// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/jet/jetdatei.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the reader program tremvik-jetleser writes on its output for the
// program: a version line's record first, then records of one kind each,
//
//   <kind: one letter><length in decimal digits>:<that many bytes>\n
//
// so that no value can be taken for a record's end and the reader of the
// stream knows every size before it holds the bytes. Kinds:
//   V  "tremvik-jetleser 1"              first, always
//   F  the format in words
//   T  a table of the catalogue          S  a column: "<type> <length> <name>"
//   U  why the table before cannot be read (the catalogue goes on)
//   Z  a record begins; as many values follow as the table has columns:
//      N null, B "0"/"1", I a whole number, G a Single's 32 and D a
//      Double's 64 bits in hex, Q a date "<julian day> <ms of the day>",
//      W text in UTF-8, X bytes
//   P  records read so far (a sign of life)   A  the number of records
//   E  what failed, R why                     K  the end; nothing follows
namespace Jetprotokoll {

const QByteArray kennung = QByteArrayLiteral("tremvik-jetleser 1");

// One record, ready to be written.
QByteArray feld(char art, const QByteArray &inhalt = QByteArray());
QByteArray feld(char art, const QString &text);
// A value as its record (see Jet::Zeile for the kinds of values).
QByteArray wert(const QVariant &w);
// A column as its record.
QByteArray spalte(const Jet::Spalte &s);

// Everything a run of the reader said.
struct Antwort
{
    struct Eintrag
    {
        QString name;
        QList<Jet::Spalte> spalten;
        QString fehler;   // why the table cannot be read; empty if it can
    };

    QString format;
    QList<Eintrag> katalog;
    // The columns and records of the table read.
    Jet::Tabelle tabelle;
    qint64 anzahl = -1;
    qint64 gelesen = 0;
    // A failure the reader reported: what, and why.
    std::optional<std::pair<QString, QString>> fehler;
    bool ende = false;
};

// Reads the stream as it comes, in pieces of any size. A stream that
// breaks these rules, or grows beyond hoechstens bytes, makes nehmen()
// throw Verstoss; nothing of it is trusted beyond that point.
class Leser
{
public:
    struct Verstoss
    {
        QString grund;   // German, for the user
        bool zuGross = false;
    };

    explicit Leser(qint64 hoechstens);

    void nehmen(const QByteArray &bytes);
    const Antwort &antwort() const { return m_antwort; }
    Antwort &antwort() { return m_antwort; }
    qint64 bytes() const { return m_bytes; }

private:
    void feldNehmen(char art, const QByteArray &inhalt);
    [[noreturn]] void verstoss(const QString &grund) const;

    Antwort m_antwort;
    qint64 m_hoechstens;
    qint64 m_bytes = 0;
    QByteArray m_puffer;
    qsizetype m_pos = 0;
    bool m_kennungGelesen = false;
    // Values still owed to the record begun last.
    int m_offeneWerte = 0;
};

}
