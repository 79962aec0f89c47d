// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kern/basis/frequenz.h"
#include "kern/empfaenger/empfaenger.h"

#include <QString>

// The four services of the frequency lists, as the receiver functions see
// them: the mode a row is tuned with and the raster of the service's
// channels, within which a receiver's frequency counts as "on" a row.
enum class Funkdienst { Bos, Flugfunk, Afu, Fernwirken };

namespace Funkdienste {

// The list's name as the menu "Frequenzen" writes it.
QString name(Funkdienst dienst);
// Aviation AM, all others narrow FM.
Modulation modulation(Funkdienst dienst);
// The channel raster in hertz: BOS 20 kHz, aviation and repeaters 12.5 kHz,
// telecontrol 1 kHz (the default; the window lets the user change it).
qint64 raster(Funkdienst dienst);

// The frequency a receiver is tuned to for a list's value: the carrier of an
// aviation channel (Funkdienste::flugfunk, kern/basis/frequenz.h), any other
// value as it is.
qint64 traeger(Funkdienst dienst, qint64 geschriebenHz);

}
