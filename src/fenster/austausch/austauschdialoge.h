// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QWidget;

// The exchange as the windows offer it: a file dialog (the format chosen by
// the file type), for ADIF the question how the times are meant, a progress
// dialog that can cancel without leaving half of the work, and a closing
// summary as a message.
namespace Austauschdialoge {

// "Log exportieren …": the records the query yields (the log window's, or
// all) into a file the user picks.
void logExportieren(QWidget *eltern, const QString &datenbank, const QString &abfrage);

// "Log importieren …": records of a file the user picks into the log.
// Asks before taking the rest of a file with refused records. Returns
// whether records were added.
bool logImportieren(QWidget *eltern, const QString &datenbank);

// "Liste exportieren …": the rows a list window shows (its query over its
// table) into a file the user picks.
void listeExportieren(QWidget *eltern, const QString &datenbank, const QString &tabelle, const QString &abfrage);

}
