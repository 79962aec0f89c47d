// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/formate/csv.h"

#include <QList>
#include <QString>
#include <QStringList>

// How the four lists go into the files of receivers and their programs,
// which know a frequency, a name and perhaps a comment, and how such a
// file's bookmark comes back into a list's columns. Shared by the writers
// and the readers of Listenformat.
namespace Listenart {

struct Art
{
    const char *tabelle;
    const char *frequenz;
    const char *name;
    const char *eingabe;           // the repeater input (afu), or nullptr
    QStringList kommentar;         // the other columns, in the CHIRP comment
    const char *freierKommentar;   // where a comment of another file goes, or nullptr
    bool am;                       // aviation: AM, otherwise FM
    int stellen;                   // decimals of the table's frequencies
    const char *tag;               // Gqrx tag and SDR++ list
    const char *farbe;
    bool kanalnamen;   // the frequencies are channel names (aviation)
};

// The four lists, in the order of the menu.
const QList<Art> &arten();
// The list of a table; throws DatenFehler for an unknown table.
const Art &artVon(const QString &tabelle);

QString q(const char *text);

// What a receiver is tuned to for a frequency of the list: the carrier of an
// aviation channel (Funkdienste::flugfunk), any other value as it is; and the
// channel's name where it is not the carrier ("118,805"), else empty.
struct Traeger
{
    qint64 hz = 0;
    QString kanalname;
};
Traeger traeger(const Art &art, qint64 geschriebenHz);

// A name with the channel it stands for: "Hamburg (EDDH) TWR (Kanal
// 118,805)", "Kanal 118,805" without a name, the name alone without a
// channel name.
QString mitKanal(const QString &name, const QString &kanalname);

// The way back, for a bookmark: the list's frequency and name for a carrier
// in hertz and a bookmark's name. An aviation carrier gets the channel name
// that the bookmark's name gives (mitKanal), or else the one that only an
// 8.33 kHz channel has; that channel, and a name made of the frequency alone
// ("121,500 MHz"), are taken out of the name, and nothing left is no name.
struct Zurueck
{
    QString frequenz;
    Csv::Feld name;
};
Zurueck zurueck(const Art &art, qint64 hz, const QString &name);

// A text from a file, fit to be quoted in a message: one line, at most a
// few dozen characters.
QString kurz(const QString &text);

}
