#pragma once
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

// An aviation channel. Since the 8.33 kHz raster, a VHF aviation frequency
// is written as a channel name: "118,805" is the 8.33 kHz channel on
// 118,800 MHz, "118,810" the one on 118,808333 MHz, "118,815" the one on
// 118,816667 MHz; "118,800" is the 25 kHz channel on 118,800 MHz. Names of
// other shapes, and frequencies outside 117,975 to 137 MHz, are what they say.
struct Kanal
{
    qint64 hz;          // the carrier, to whole hertz
    qint64 rasterHz;    // 8333 for an 8.33 kHz channel, else 12500
    bool achtKomma33;   // written as an 8.33 kHz channel name
};
Kanal flugfunk(qint64 geschriebenHz);

// The frequency a receiver is tuned to for a list's value: the carrier of an
// aviation channel, any other value as it is.
qint64 traeger(Funkdienst dienst, qint64 geschriebenHz);

}
