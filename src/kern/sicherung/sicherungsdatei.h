// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/ergebnis.h"

#include <QString>

// The rules for the log database file in the backup and restore windows:
// how its name is formed from a folder, when a folder or file is the
// program's own, whether a backup copy is present, and whether a file is a
// log database at all.
namespace Sicherungsdatei {
// "tremvik.dorlem-fasq"
QString name();

// The folder followed by "/" and the file name, unchanged: no separator is
// removed or added, so the root "/" yields "//tremvik.dorlem-fasq".
QString in(const QString &ordner);

// The log database where the program keeps it (beside the program, or in
// an installed program's data folder): the file the log window, the backup
// and the restore use.
QString logdatei();

// The rollback journal SQLite keeps beside a database file.
QString journal(const QString &datei);

// True when both texts are equal, or when both name the same existing file
// or folder under different spellings (a symbolic link, "..", a second
// mount of the same folder): same device and inode.
bool gleich(const QString &a, const QString &b);

// True only for an existing regular file of exactly this name (leading and
// trailing blanks removed) that is not hidden (its name does not begin with
// "."). Any error of the look-up yields false.
bool vorhanden(const QString &datei);

// Checks that a file is a log database the program can work with, without
// changing or creating anything: an SQLite database whose pages pass a
// quick check, holding the table Kontakt with every column the log window
// uses (letter case ignored) and the integer key id through which records
// are written back. Done when it is; else failed with the reason in
// German, naming what is missing, fit to be shown to the user. With
// Pruefung::Aufbau only the header, the table and its columns are looked
// at, not the pages: that is quick whatever the file's size.
enum class Pruefung { Aufbau, Ganz };
Ergebnis<> pruefeLogdatenbank(const QString &datei, Pruefung pruefung = Pruefung::Ganz);
}
