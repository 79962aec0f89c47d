// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtCore>
#include <QtGui>
#include <QtSql>
#include <QtTest>
#include <QtWidgets>
