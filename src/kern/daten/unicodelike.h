// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct sqlite3;

// Replaces SQLite's like() (two and three arguments) on one connection with a
// version that folds case for all of Unicode, not only for ASCII, so that
// "münchen" finds "MÜNCHEN". '%' and '_' keep their meaning, ESCAPE works as
// in SQLite, and a NULL argument gives NULL.
// Returns false if SQLite refused the registration.
bool registriereUnicodeLike(sqlite3 *db);
