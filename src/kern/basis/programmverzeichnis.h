// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The program directory: the folder that holds the executable, as a full
// path without a trailing separator (except "/" itself). Both database files
// live here, whatever the working directory is.
namespace Programmverzeichnis {
QString pfad();
// For tests and tools that run the windows on a folder of their own.
void setzen(const QString &pfad);
// The full name of a file in the program directory.
QString datei(const QString &name);
}
