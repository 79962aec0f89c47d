#pragma once
#include <QtCore>
#include <QtGui>
#include <QtSql>
#include <QtTest>
#include <QtWidgets>
