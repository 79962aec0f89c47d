#pragma once
#include <QString>

// The query texts of the data windows. A search query is the window's fixed
// head for the chosen column, the user's text between '%' and '%', and the
// window's fixed tail, which starts with the closing apostrophe:
//   select * from [bos] where Ort like '%Ham%' order by Ort asc
namespace Abfrage {
// The user's text goes in as typed, so '%' and '_' keep their wildcard
// meaning; only apostrophes are doubled, so that "Hamburg's" is matched
// literally instead of breaking the statement.
QString suche(const QString &kopf, const QString &text, const QString &schwanz);
}
