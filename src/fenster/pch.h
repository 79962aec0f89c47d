// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Precompiled header of the windows: the Qt includes almost every file needs.
#include <QtCore>
#include <QtGui>
#include <QtSql>
#include <QtWidgets>
