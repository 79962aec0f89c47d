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

}
