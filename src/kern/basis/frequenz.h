// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringView>

#include <optional>

// Frequencies as the tables and the log hold them: text in MHz with a
// decimal comma ("145,500", "0,1291", "169,40625"). Converted to hertz
// exactly, by integer arithmetic on the digits, never through a floating
// point number: "169,40625" is 169406250 Hz, not 169406249.99.
//
// One converter for everything that turns a list's or a log's frequency into
// a number: tuning a receiver, exporting to other programs, sorting.
namespace Frequenz {

// The largest frequency taken: 999999,999999 MHz (just under 1 THz).
constexpr qint64 hoechsteHz = 999'999'999'999LL;

// The frequency in hertz, or nothing when the text is not a frequency.
// Taken: blanks around the value, a comma or a point as the decimal mark,
// no decimals ("27" is 27 MHz), a leading decimal mark (",5" is 0,5 MHz),
// any number of decimals so long as the value is a whole number of hertz
// ("145,5000000" yes, "145,50000001" no), and a unit "MHz" after the number.
// Not taken: an empty text, signs, thousands separators, both a comma and a
// point, inner blanks, other letters, a value above hoechsteHz.
std::optional<qint64> hertz(QStringView mhz);

// Why a text is not a frequency, in German, fit for a message; empty when
// it is one.
QString einwand(QStringView mhz);

// Hertz as text in MHz, as the tables write it: a decimal comma (or the
// given mark) and at least mindestStellen decimals, more only where the
// value needs them (145500000 -> "145,500", 169406250 -> "169,40625",
// 129100 -> "0,1291").
QString mhzText(qint64 hz, QChar komma = QLatin1Char(','), int mindestStellen = 3);

}

// The aviation channels, for tuning a receiver to a list's row and for the
// files that receivers and their programs load.
namespace Funkdienste {

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

// The other way: the name an aviation carrier is written with. A carrier that
// only an 8.33 kHz channel has gets that channel's name (118,808333 MHz is
// "118,810"); a carrier on a 25 kHz edge is both the 25 kHz channel and the
// first 8.33 kHz channel of its block, and achtKomma33 says which name is
// meant (118,800 MHz: "118,800" or "118,805"). Any other value is its own
// name. flugfunk() of the result is always the carrier again.
qint64 flugfunkName(qint64 traegerHz, bool achtKomma33 = false);

}
