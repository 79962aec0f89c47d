#pragma once
#include <QString>

#include <functional>

// The last steps of every restore of the log, as the backup windows take
// them: the backup quelle checked as a log database, the log window closed
// (logfensterSchliessen, where one is given; it answers whether it could),
// the log ziel replaced in one rename. Each outcome is told to the user;
// ort names the place restored from in the messages of the copy. Returns
// whether the log was replaced.
bool logWiederherstellen(const QString &quelle, const QString &ziel, const QString &ort,
                         const std::function<bool()> &logfensterSchliessen);
