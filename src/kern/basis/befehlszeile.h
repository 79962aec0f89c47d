// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <optional>

// The two questions the program answers on the console, without opening a
// window: "--version" and "--help" (also "-h"). Any other argument is left
// to Qt and otherwise ignored: the program itself reads no command line.
namespace Befehlszeile {

// The text to print for these arguments (without the program's name), or
// nothing when the program is to start its window.
std::optional<QString> antwort(const QStringList &argumente);

// Prints the answer, if any, and returns the exit code; nothing when the
// window is to start. Called before the application object exists.
std::optional<int> beantworten(int argc, char *argv[]);

}
