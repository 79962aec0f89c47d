#pragma once
#include <QString>

// The queries and texts of the log window's list: all records, the search
// over one of five columns, the count text and the message for a search
// without hits.
namespace Logsuche {

// The column a search runs over, as the option buttons choose it.
enum class Spalte { CallSign, Datum, Qth, Frequenz, Land };

// Every record, sorted by frequency.
QString alle();
// The records whose column contains the term anywhere. The term goes in as
// the user typed it, except that an apostrophe is doubled, so it is matched
// literally and cannot end the quoted pattern; '%' and '_' keep their meaning.
QString suche(Spalte spalte, const QString &begriff);
// "12 Einträge".
QString trefferText(int anzahl);
// The message for a search that found nothing.
QString keineTreffer(const QString &begriff);
}
