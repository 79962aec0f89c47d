// SPDX-License-Identifier: GPL-3.0-or-later
// What the parts of tremvik-bench share: which cases run (--nur) and how a
// run is timed (--cpu).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace Bench {

// The words given with --nur (default: every group).
QStringList &nurWoerter();

// Whether a case runs: its group is among the words, or its name begins with
// a word that is not a group's name ("list-load" runs that case alone).
bool gewaehlt(const char *fall);

// Whether any case of a group runs.
bool gruppeGewaehlt(const char *gruppe);

// With --cpu the time is the CPU time of the measuring thread rather than
// the time on the clock: steadier on a machine busy with other work.
bool &cpuZeit();

// The time f takes, in milliseconds.
double miss(const std::function<void()> &f);

// The median of a case's runs.
double median(std::vector<double> v);

// The peak resident memory of the process, in MB, and setting it back to
// what the process holds now, so that a case's peak is its own.
double spitzeMb();
void spitzeZuruecksetzen();

void importFaelle(const QString &ordner, int zeilen);

}   // namespace Bench

// scan-sweep (suchlauf.cpp): paced by the fake receiver's answers, it is
// timed on the clock, with or without --cpu.
void suchlaufFall(const QString &ordner, int n);
