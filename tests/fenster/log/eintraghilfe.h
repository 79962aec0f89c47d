// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the log window's tests: a program directory with four sample
// records, the window opened on it, clicks as the user makes them, and a
// second connection that reads the file back.
#include "kern/daten/adodc.h"
#include "fenster/log/bemerkungsfeld.h"
#include "fenster/log/frm_eintrag.h"
#include "testhilfe.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

#include <memory>

namespace Eintraghilfe {

// Sorted by frequency (as text): DL1AAA, OE2BBB, F3CCC, DL4DDD.
inline const char *beispiele =
    "insert into Kontakt (callsign, skip, vorname, land, swert, rwert, datum, uhrzeit, lanal, frequenz, band, ort)"
    " values ('DL1AAA','Alpha','Anna','Deutschland','9','5','01.01.2020','10:00','1','145,500','FM','Hamburg'),"
    " ('OE2BBB','Bravo','Bernd','Österreich','8','4','02.02.2021','11:00','2','27,185','AM','Wien'),"
    " ('F3CCC','Charlie','Claire','Frankreich','7','3','03.03.2022','12:00','3','446,006','FM','Paris'),"
    " ('DL4DDD',NULL,'Dora',NULL,'6','2','04.04.2023','13:00','4','7,100','SSB',NULL);";

// The rows of a query on the file, through a connection of its own: fields
// joined by "|", rows by "\n", NULL shown as "-".
inline QString lies(const QString &datei, const QString &sql)
{
    return Testhilfe::abfrage(datei, sql).join(QLatin1Char('\n'));
}

// The editing state that the flags show: "Browse", "New" or "Edit" when the
// buttons, the eleven boxes, txt_land and the remark agree with one of the
// three, otherwise the flags themselves.
inline QString zustand(const frm_eintrag *w)
{
    QString knoepfe;
    for (const QPushButton *k : {w->cmd_neu, w->cmd_bearbeiten, w->cmd_speichern, w->cmd_loeschen, w->cmd_abbrechen})
        knoepfe += k->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    int gesperrt = 0;
    for (const QLineEdit *f : {w->txt_callsign, w->txt_skip, w->txt_swert, w->txt_rwert, w->txt_datum, w->txt_uhrzeit,
                               w->txt_kanal, w->txt_frequenz, w->txt_band, w->txt_ort, w->txt_vorname})
        gesperrt += f->isReadOnly();
    const QString felder = gesperrt == 11  ? QStringLiteral("gesperrt")
                           : gesperrt == 0 ? QStringLiteral("frei")
                                           : QString::number(gesperrt) + QStringLiteral(" gesperrt");
    const QString bemerkung = QStringLiteral("%1%2").arg(w->RichTextBox1->isReadOnly() ? "ro" : "rw",
                                                         w->RichTextBox1->isEnabled() ? "+" : "-");
    const bool land = !w->txt_land->isReadOnly() && w->txt_land->isEnabled();
    const QString flags = knoepfe + QLatin1Char(' ') + felder + QLatin1Char(' ') + bemerkung
                          + (land ? QString() : QStringLiteral(" txt_land gesperrt"));
    if (flags == QLatin1String("11000 gesperrt ro-"))
        return QStringLiteral("Browse");
    if (flags == QLatin1String("00101 frei rw+"))
        return QStringLiteral("New");
    if (flags == QLatin1String("01111 frei rw+"))
        return QStringLiteral("Edit");
    return flags;
}

// Types a text into a control key by key, letters beyond ASCII included.
inline void schreibe(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

class Fenster
{
public:
    explicit Fenster(const char *sql = beispiele)
    {
        if (sql && *sql)
            Testhilfe::sql(ordner.logDatei(), QString::fromUtf8(sql));
        Testhilfe::leeren();
    }
    ~Fenster() { w.reset(); }

    // Opens the window as the main window does: load, then show.
    void oeffnen()
    {
        w = std::make_unique<frm_eintrag>();
        w->Form_Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    QString datei() const { return ordner.logDatei(); }
    QString lies(const QString &sql) const { return Eintraghilfe::lies(datei(), sql); }
    void sql(const QString &text) const { Testhilfe::sql(datei(), text); }

    // A click on a control, after choosing the tab it lies on.
    void klick(QWidget *c)
    {
        w->SSTab1->setCurrentIndex(w->SSTab1->widget(0)->isAncestorOf(c) ? 0 : 1);
        QTest::mouseClick(c, Qt::LeftButton);
    }
    // A click on a row of the grid (tab "Übersicht").
    void zeile(int z)
    {
        w->SSTab1->setCurrentIndex(1);
        const QRect r = w->DataGrid1->visualRect(w->DataGrid1->model()->index(z, 0));
        QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Replaces a box's text as the user does: click in, select all, type.
    void tippe(QLineEdit *f, const QString &text)
    {
        klick(f);
        f->selectAll();
        if (text.isEmpty())
            QTest::keyClick(f, Qt::Key_Delete);
        schreibe(f, text);
    }
    // The call signs that the grid shows, in order.
    QStringList gridRufzeichen() const
    {
        QStringList r;
        const QAbstractItemModel *m = w->DataGrid1->model();
        for (int z = 0; z < m->rowCount(); ++z)
            r << m->index(z, 2).data().toString();
        return r;
    }

    Testhilfe::Programmordner ordner;
    std::unique_ptr<frm_eintrag> w;
};
}
