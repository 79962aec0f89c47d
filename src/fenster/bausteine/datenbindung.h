// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QVector>

class Adodc;
class QLineEdit;
class QTableView;

// One column of a bound grid: caption, bound field, width in twips.
struct GridSpalte
{
    QString titel;
    QString feld;
    int breiteTwips;
};

// The window side of a data view (data/adodc.h): the controls bound to it
// and the messages for its failures.
namespace Datenbindung {

// The grid shows the data view's rows in exactly these columns at their
// widths; it selects whole rows and is not edited in place. The grid's
// current row and the data view's current record follow each other. When
// the data view refuses a move (the record being left cannot be written),
// the grid says why and goes back to the record.
void grid(Adodc *daten, QTableView *grid, const QVector<GridSpalte> &spalten);

// The widths the user gives the grid's columns are kept in the settings
// under the name (the window's) and are the grid's again at the next start;
// widths kept for another set of columns, or out of all measure, are passed
// over.
void breitenMerken(QTableView *grid, const QString &name);

// A table of rows that are only read (hits, results, records): whole rows
// are chosen one at a time, nothing is edited in place, no row numbers, no
// wrapped cells, headings on the left, the last column taking the rest.
void nurZeilen(QTableView *tabelle);

// A text box bound to one field: it shows the current record's value, and
// what the user types there goes into that field (an empty box is NULL).
void feld(Adodc *daten, QLineEdit *feld, const QString &feldName);

// The failures that the data view signals (rows that cannot be read, a
// damaged file) are shown as messages, each once.
void fehlerMelden(Adodc *daten);
}
