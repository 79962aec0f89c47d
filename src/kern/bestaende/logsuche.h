// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/daten/abfrage.h"

#include <QString>

// The queries and texts of the log window's list: all records, the search
// over one of five columns, the count text and the message for a search
// without hits.
namespace Logsuche {

// The column a search runs over, as the option buttons choose it.
enum class Spalte { CallSign, Datum, Qth, Frequenz, Land };

// Every record, sorted by frequency:
// "select * from [Kontakt] order by frequenz asc".
Abfrage alle();
// The records whose column contains the term anywhere, e.g.
// "select * from [Kontakt] where land Like '%Italien%' order by frequenz asc".
// The term goes in as the user typed it; '%' and '_' keep their meaning, an
// apostrophe is matched as itself (and doubled in the text). Over the
// frequency, a dot also stands for the decimal comma.
Abfrage suche(Spalte spalte, const QString &begriff);
// "12 Einträge".
QString trefferText(int anzahl);
// The message for a search that found nothing.
QString keineTreffer(const QString &begriff);
}
