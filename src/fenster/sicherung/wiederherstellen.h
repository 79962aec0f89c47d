// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <functional>

// The last steps of every restore of the log, as the backup windows take
// them: the backup quelle checked as a log database; the user's consent
// (zustimmen, where one is given: false stops here without a word); the
// log window closed (logfensterSchliessen, where one is given; it answers
// whether it could); the log ziel as it is kept among the automatic
// backups, marked as taken before a restore; the log replaced in one
// rename. Each outcome is told to the user; ort names the place restored
// from in the messages of the copy, and the success message says where the
// earlier log is kept. Returns whether the log was replaced.
bool logWiederherstellen(const QString &quelle, const QString &ziel, const QString &ort,
                         const std::function<bool()> &logfensterSchliessen,
                         const std::function<bool()> &zustimmen = {});
