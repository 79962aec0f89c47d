// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMap>
#include <QString>

// Where the rows of the frequency lists come from, as the frequency database
// says of itself: its table herkunft holds one row for each list whose rows
// are still the ones shipped with the program (built from
// db/frequenzen/herkunft.csv). A list the user replaced with rows of their
// own has no row there, and neither has any list of a database without the
// table (an older file, or one built from other lists).
namespace Herkunft {

struct Liste
{
    QString tabelle;
    // Invented or computed rows, no real radio stations.
    bool beispiel = false;
    // What the user is told while the list is shown; empty for real data.
    QString hinweis;
    QString quelle;
    QString bedingungen;
};

// The rows of herkunft for the four lists, by table. The texts come from a
// file and are shown as they may be: on one line, control characters as
// blanks, at most laenge characters each. Throws DatenFehler when the file
// cannot be read.
QMap<QString, Liste> lesen(const QString &datei);
constexpr int laenge = 300;

// A text from outside on one line with only visible characters, cut to at
// most hoechstens characters (the last one then "…").
QString einzeilig(const QString &text, int hoechstens = laenge);

}
