#pragma once
// Precompiled header: the Qt includes almost every file needs.
#include <QtCore>
#include <QtGui>
#include <QtWidgets>
#include <QtSql>
