// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringView>

struct sqlite3;

// The orders in which a list can be sorted by a column the user clicks, as
// SQL collations on a connection ("order by Freq collate frequenz"):
//
// - frequenz: frequencies in MHz as numbers, exactly (Frequenz::hertz), so
//   "27,185" comes before "145,500" and "84,295" before "172,220". Texts
//   that are no frequency come after every frequency, among themselves in
//   the order of deutsch. Two spellings of one frequency ("145,5",
//   "145,500") stand in the order of their characters.
// - deutsch: German dictionary order: letter case and accents count only
//   between otherwise equal texts, "ä" sorts with "a", "ß" as "ss". Texts
//   equal in that order stand in the order of their characters.
//
// Both are total orders: two texts compare equal only when they are equal.
// SQLite sorts NULL before every text whatever the collation.
namespace Sortierung {

inline const QString frequenz = QStringLiteral("frequenz");
inline const QString deutsch = QStringLiteral("deutsch");

// Registers both collations on one connection; false if SQLite refused.
bool registrieren(sqlite3 *db);

// The comparisons themselves: below, equal to or above zero.
int vergleicheFrequenz(QStringView a, QStringView b);
int vergleicheDeutsch(QStringView a, QStringView b);

}
