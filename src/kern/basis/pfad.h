// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// File names as the system reads them.
namespace Pfad {

// The file a name finally stands for: a symbolic link is followed (also
// when its target does not exist yet) to the name of the file behind it,
// so a file written there replaces the link's target, not the link. Any
// other name is returned unchanged; empty when links lead in a circle.
QString aufgeloest(const QString &datei);

// The folder of a full file name ("/" for a file in the root).
QString ordnerVon(const QString &datei);

// Makes a folder and the folders above it that are missing. The folder
// itself gets the rights given, those above it the usual ones (both as far
// as the umask allows); folders that exist keep theirs. Returns 0, or the
// errno of the step that failed (ENOTDIR where a part of the path is no
// folder), and then in stelle the folder that could not be made.
int anlegen(const QString &ordner, unsigned rechte = 0777, QString *stelle = nullptr);

}
