// SPDX-License-Identifier: GPL-3.0-or-later
#include "kern/druck/eintragsdruck.h"

#include "kern/druck/seitenrahmen.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

Eintragsdruck::Eintragsdruck(QString titel, QVector<Feld> felder, const QTextDocument &bemerkung)
    : m_titel(std::move(titel)), m_felder(std::move(felder)), m_bemerkung(bemerkung)
{
}

bool Eintragsdruck::drucken(QPagedPaintDevice &geraet)
{
    seiteEinrichten(geraet, false);
    const Seitenrahmen rahmen(geraet, m_titel);
    const QRectF rumpf = rahmen.rumpf();

    // One document for the whole record, laid out for the device, so that
    // the remark flows on over the pages.
    QTextDocument dokument;
    dokument.documentLayout()->setPaintDevice(&geraet);
    dokument.setDefaultFont(m_bemerkung.defaultFont());
    dokument.setDocumentMargin(0);
    dokument.setPageSize(rumpf.size());
    QTextCursor c(&dokument);
    // Lengths in a document are counted at 96 dpi and scaled to the device.
    auto mm = [](double millimeter) { return millimeter * 96 / 25.4; };

    QTextCharFormat beschriftung;
    beschriftung.setFont(Seitenrahmen::schrift(10, true));
    QTextCharFormat wert;
    wert.setFont(Seitenrahmen::schrift(10));

    QTextTableFormat tabelle;
    tabelle.setBorder(0);
    tabelle.setCellPadding(mm(0.6));
    tabelle.setCellSpacing(0);
    tabelle.setColumnWidthConstraints(
        {QTextLength(QTextLength::PercentageLength, 25), QTextLength(QTextLength::PercentageLength, 75)});
    if (!m_felder.isEmpty()) {
        QTextTable *t = c.insertTable(m_felder.size(), 2, tabelle);
        for (int i = 0; i < m_felder.size(); ++i) {
            t->cellAt(i, 0).firstCursorPosition().insertText(m_felder[i].first, beschriftung);
            t->cellAt(i, 1).firstCursorPosition().insertText(m_felder[i].second, wert);
        }
        c.movePosition(QTextCursor::End);
    }

    QTextBlockFormat abstand;
    abstand.setTopMargin(mm(5));
    abstand.setBottomMargin(mm(2));
    c.insertBlock(abstand, beschriftung);
    c.insertText(QStringLiteral("Bemerkung"), beschriftung);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertFragment(QTextDocumentFragment(&m_bemerkung));

    m_seiten = dokument.pageCount();
    QPainter maler;
    if (!maler.begin(&geraet))
        return false;
    for (int seite = 0; seite < m_seiten; ++seite) {
        if (seite > 0)
            geraet.newPage();
        rahmen.zeichne(maler, seite + 1, m_seiten);
        maler.save();
        maler.translate(rumpf.left(), rumpf.top() - seite * rumpf.height());
        const QRectF ausschnitt(0, seite * rumpf.height(), rumpf.width(), rumpf.height());
        QAbstractTextDocumentLayout::PaintContext kontext;
        kontext.clip = ausschnitt;
        kontext.palette.setColor(QPalette::Text, Qt::black);
        maler.setClipRect(ausschnitt);
        dokument.documentLayout()->draw(&maler, kontext);
        maler.restore();
    }
    return maler.end();
}
