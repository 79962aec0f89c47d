#pragma once
// Precompiled header: the Qt includes almost every file needs.
#include <QtCore>
#include <QtGui>
#include <QtSql>
#include <QtWidgets>
