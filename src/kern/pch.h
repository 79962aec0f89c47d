// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Precompiled header of the core: Qt's modules without windows, so that a
// widget used here is a compile error.
#include <QtCore>
#include <QtSql>
