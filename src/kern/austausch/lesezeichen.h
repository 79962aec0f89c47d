// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/austausch/listenart.h"
#include "kern/formate/csv.h"

#include <QString>
#include <QStringList>

// Bookmarks of receiver programs read into a list's columns: Gqrx's
// bookmarks.csv and the JSON of SDR++'s frequency manager (a list it
// exported, or its whole settings file with all lists). The frequency in
// hertz becomes the list's MHz with a decimal comma (an aviation carrier its
// channel name), the bookmark's name the list's name; of bookmarks with
// tags or in lists, those of the list's own tag are taken where the file
// has any. A bookmark whose mode is not the list's is taken and told.
namespace Lesezeichen {

// Whether decoded text is of the kind: JSON starts with '{' or '['; a Gqrx
// file with its tag section ("# Tag name", "tag; #rrggbb") or with a line
// of five ';'-separated fields whose first is a number of hertz.
bool istJson(const QString &text);
bool istGqrx(const QString &text);

// The rows for the list. Throw Csv::Fehler naming the line of a fault, or
// when no bookmark is left; hinweise gets what was left out or taken
// otherwise, per bookmark.
Csv::Tabelle gqrx(const QString &text, const Listenart::Art &art, QStringList &hinweise);
Csv::Tabelle sdrpp(const QString &text, const Listenart::Art &art, QStringList &hinweise);

}
