// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// The program's diagnostics, one category per area; all are silent unless
// switched on, e.g. QT_LOGGING_RULES="tremvik.*=true" for everything or
// "tremvik.empfaenger.debug=true" for the receiver's dialogue alone.
//
//   tremvik.empfaenger  the rigctl dialogue: connecting, each command and
//                       reply, losses
//   tremvik.sicherung   the automatic backup: whether a run is due, the
//                       copy, and which generations the rotation removes
//   tremvik.import      the choices of an import: format, character set,
//                       time reference, records refused or already there
//   tremvik.daten       failures the data view met, also those it does not
//                       show again
Q_DECLARE_LOGGING_CATEGORY(protokollEmpfaenger)
Q_DECLARE_LOGGING_CATEGORY(protokollSicherung)
Q_DECLARE_LOGGING_CATEGORY(protokollImport)
Q_DECLARE_LOGGING_CATEGORY(protokollDaten)

namespace Protokoll {
// Text from outside (a reply, a file's value, a database's message) as a
// line of the diagnostics may carry it: at most `hoechstens` characters,
// then "…"; line breaks, control codes and bytes that are no UTF-8 as
// escapes ("\n", "\x1b", "\ufffd"), so that a line stays one line.
QString kurz(const QString &text, int hoechstens = 200);
QString kurz(const QByteArray &bytes, int hoechstens = 200);
}
