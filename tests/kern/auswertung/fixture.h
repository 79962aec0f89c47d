// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kernhilfe.h"

// A log with known figures: months across a year boundary, hours around
// midnight, umlauts, blanks and an apostrophe in places, empty, missing and
// malformed dates and times, most countries with a single record.
//
//  id  callsign  land            datum         uhrzeit    band   ort
//   1  DL1AAA    Deutschland     30.11.2005    23:59      FM     München
//   2  DL1AAA    Deutschland     01.12.2005    00:00      FM     München
//   3  OE3XYZ    Österreich      31.12.2005    23:30      AM     Wien
//   4  F5ABC     Frankreich      01.01.2006    0:15       FM     Straßburg
//   5  DL2BBB    Deutschland     1.2.2006      7:05       "FM "  " Köln"
//   6  HB9XX     Schweiz         29.02.2006 x  12:00      USB    Zürich
//   7  SP1A      Polen           "" x          10:00      FM     Köln
//   8  ON4B      Belgien         NULL x        "" x       NULL   L'Aquila
//   9  G4C       Großbritannien  31.02.2006 x  18:45      AM     Köln
//  10  I1D       Italien         15.03.06 x    9:30:15    FM     L'Aquila
//  11  DL3CCC    Deutschland     15.03.2006    25:00 x    LSB    Köln
//  12  DL1AAA    Deutschland     29.02.2008    12:30      FM     München
//  13  9A1A      Kroatien        abc x         xx x       FM     ""
//
// (x: cannot be read.)
inline void legeFixtureAn(const QString &logDatei)
{
    Testhilfe::sql(logDatei, QStringLiteral("insert into Kontakt (id, callsign, land, datum, uhrzeit, band, ort) values"
                                            " (1, 'DL1AAA', 'Deutschland', '30.11.2005', '23:59', 'FM', 'München'),"
                                            " (2, 'DL1AAA', 'Deutschland', '01.12.2005', '00:00', 'FM', 'München'),"
                                            " (3, 'OE3XYZ', 'Österreich', '31.12.2005', '23:30', 'AM', 'Wien'),"
                                            " (4, 'F5ABC', 'Frankreich', '01.01.2006', '0:15', 'FM', 'Straßburg'),"
                                            " (5, 'DL2BBB', 'Deutschland', '1.2.2006', '7:05', 'FM ', ' Köln'),"
                                            " (6, 'HB9XX', 'Schweiz', '29.02.2006', '12:00', 'USB', 'Zürich'),"
                                            " (7, 'SP1A', 'Polen', '', '10:00', 'FM', 'Köln'),"
                                            " (8, 'ON4B', 'Belgien', NULL, '', NULL, 'L''Aquila'),"
                                            " (9, 'G4C', 'Großbritannien', '31.02.2006', '18:45', 'AM', 'Köln'),"
                                            " (10, 'I1D', 'Italien', '15.03.06', '9:30:15', 'FM', 'L''Aquila'),"
                                            " (11, 'DL3CCC', 'Deutschland', '15.03.2006', '25:00', 'LSB', 'Köln'),"
                                            " (12, 'DL1AAA', 'Deutschland', '29.02.2008', '12:30', 'FM', 'München'),"
                                            " (13, '9A1A', 'Kroatien', 'abc', 'xx', 'FM', '')"));
}
