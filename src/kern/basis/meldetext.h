// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>

// What a message may say of things from outside: a value quoted in a
// refusal is an excerpt of a few dozen characters, a list of names stops
// after a few dozen and counts the rest. A file holding a value of 100 MB or
// 200,000 unknown names makes a message of a few lines, not of megabytes.
namespace Meldetext {

// Characters of a value a message quotes, and names or lines it lists.
constexpr int auszug = 40;
constexpr int liste = 30;

// The start of a value as a message shows it: at most hoechstens
// characters, "…" where it was cut; line breaks and tabs as blanks, other
// control characters as their visible pictures (␀, ␛).
QString ausschnitt(QStringView text, int hoechstens = auszug);
// The same in the German quotes: „…“.
QString zitat(QStringView text, int hoechstens = auszug);

// Names joined by trenner, at most hoechstens of them (each an excerpt of
// twice the length, room for a count after a name), then "und 12 weitere".
QString aufzaehlung(const QStringList &namen, int hoechstens = liste, const QString &trenner = QStringLiteral(", "));
// Lines of a list, at most hoechstens, then a line "… und 12 weitere."
QStringList zeilen(const QStringList &zeilen, int hoechstens = liste);

}
