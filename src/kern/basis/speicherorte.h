// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <functional>

// Where the program's two database files are, for the windows and the
// tools alike. The program runs in one of two ways:
//
// - From a folder that holds its database files (the build folder, a
//   copied program folder): both files are used there, in the program
//   directory, as they always were. A file missing there is an error.
// - Installed: the executable in PREFIX/bin, nothing of the databases
//   beside it, the shipped files in PREFIX/share/tremvik-tool/. The
//   frequency database is read there, read-only, unless the user has one of
//   their own in the data folder ($XDG_DATA_HOME/tremvik-tool, by default
//   ~/.local/share/tremvik-tool), made by one of the tools. The log always
//   lives in the data folder.
//
// On the first start of an installed program, when no log was ever created
// in the data folder, the empty log shipped in share/ is copied there; the
// program notes in its settings that it did. A log that was created once
// and is missing now is an error: it is never replaced by an empty one.
namespace Speicherorte {

enum class Art { Programmverzeichnis, Installiert };
Art art();

// "tremvik.dorlem-fasq" and "Frequenzen.dorlem-fasq", as the connection
// strings name them.
QString logName();
QString frequenzName();

// PREFIX/share/tremvik-tool, beside the program's bin folder.
QString installiert();
// $XDG_DATA_HOME/tremvik-tool (~/.local/share/tremvik-tool, also when
// XDG_DATA_HOME is not an absolute path).
QString datenordner();

// The log the program uses: its full name, whether it exists or not.
QString logDatei();
// The folder that holds it.
QString logOrdner();
// The frequency database the program reads.
QString frequenzDatei();
// The full name of a database file that a connection string names by its
// bare name: the log, the frequency database, or else a file in the
// program directory.
QString datei(const QString &name);

// The log, ready to be opened: on the first start of an installed program
// the empty log is put in place. Returns its full name. Throws DatenFehler
// when the log was created once and is missing now, or when it cannot be
// created.
QString logBereitstellen();

// Changes the frequency database that the program reads: arbeit() runs on
// the file. An installed program without a database of the user's own
// gets one: a copy of the shipped file in the data folder, which takes the
// place of the shipped one only when arbeit() succeeded; should it throw,
// no file is left behind. Returns the file that was changed.
QString frequenzenAendern(const std::function<void(const QString &datei)> &arbeit);

// The settings file (what the program remembers between runs: the
// receiver, the automatic backups, the logs it created).
QString einstellungsDatei();

// The user manual that "Handbuch" shows: share/tremvik-tool/handbuch/
// beside the bin folder, in the build folder as installed (there it is
// also linked from the documentation folder, share/doc/tremvik-tool/).
QString handbuch();

// The folders the backup and restore windows refuse: the program directory
// and, installed, the data folder that holds the log.
QStringList eigeneOrdner();

}
