// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenster/log/frm_eintrag.h"

#include "fenster/bausteine/druckauftrag.h"
#include "fenster/bausteine/meldung.h"
#include "fenster/log/bemerkungsfeld.h"
#include "kern/basis/datenfehler.h"
#include "kern/daten/adodc.h"
#include "kern/druck/eintragsdruck.h"
#include "kern/druck/tabellendruck.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTextDocument>

// The log window on paper: the overview's records and the record shown.

void frm_eintrag::druckmenueBauen()
{
    auto aktion = [this](const char *name, const QString &text, void (frm_eintrag::*slot)()) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    uebersicht_drucken =
        aktion("uebersicht_drucken", QStringLiteral("Drucken …"), &frm_eintrag::uebersicht_drucken_Click);
    uebersicht_pdf =
        aktion("uebersicht_pdf", QStringLiteral("Als PDF speichern …"), &frm_eintrag::uebersicht_pdf_Click);
    eintrag_drucken =
        aktion("eintrag_drucken", QStringLiteral("Eintrag drucken …"), &frm_eintrag::eintrag_drucken_Click);
    DataGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    DataGrid1->addActions({uebersicht_drucken, uebersicht_pdf, eintrag_drucken});
    for (QWidget *w : {static_cast<QWidget *>(Shape1), static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Frame1),
                       static_cast<QWidget *>(Frame3)}) {
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->addAction(eintrag_drucken);
    }
}

// The records the overview shows, after a search only those found.
void frm_eintrag::uebersicht_drucken_Click()
{
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ") + lbl_treffer->text();
    Druckauftrag::drucken(this, titel, [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}

void frm_eintrag::uebersicht_pdf_Click()
{
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ") + lbl_treffer->text();
    Druckauftrag::alsPdf(this, titel, windowTitle(), [this, titel](QPagedPaintDevice &geraet) {
        return Tabellendruck(*DataGrid1->model(), titel).drucken(geraet);
    });
}

// The record the tab "LOG" shows, as it shows it.
void frm_eintrag::eintrag_drucken_Click()
{
    if (Adodc1->aktuelleZeile() < 0 && m_zustand != Zustand::Neu) {
        Meldung::fehler(KeinDatensatz());
        return;
    }
    const QVector<QPair<QLabel *, QLineEdit *>> felder{
        {Label11, txt_callsign}, {Label10, txt_skip},     {Label1, txt_vorname}, {Label6, txt_land},
        {Label13, txt_swert},    {Label12, txt_rwert},    {Label14, txt_datum},  {Label15, txt_uhrzeit},
        {Label16, txt_kanal},    {Label17, txt_frequenz}, {Label18, txt_band},   {Label5, txt_ort}};
    QVector<Eintragsdruck::Feld> werte;
    for (const auto &[beschriftung, feld] : felder)
        werte.append({beschriftung->text(), feld->text()});
    const QString titel = windowTitle() + QStringLiteral(" \u2013 ")
                          + (txt_callsign->text().isEmpty() ? QStringLiteral("Eintrag") : txt_callsign->text());
    Druckauftrag::drucken(this, titel, [this, titel, werte](QPagedPaintDevice &geraet) {
        return Eintragsdruck(titel, werte, *RichTextBox1->document()).drucken(geraet);
    });
}
