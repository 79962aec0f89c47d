// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Precompiled header of the core's tests: no widgets.
#include <QtCore>
#include <QtGui>
#include <QtSql>
#include <QtTest>
